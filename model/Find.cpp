#include "model/Find.h"

#include <algorithm>

#include "model/Locale.h"
#include "model/MivoAttribute.h"
#include "model/MivoScale.h"

namespace mivo {

bool TextMatches(const TFindSearch& search, std::string_view text) {
    if (search.FindText.empty()) return false;
    if (search.FindCase) return text.find(search.FindText) != std::string_view::npos;
    return FoldCase(text).find(FoldCase(search.FindText)) != std::string::npos;
}

bool AttributeMatches(const TFindSearch& search, const TMivoAttribute* attribute) {
    if (attribute == nullptr) return false;
    if (search.FindName && TextMatches(search, attribute->GetName())) return true;
    if (search.FindDesc && TextMatches(search, attribute->GetDescription())) return true;
    if (search.FindScale) {
        if (const auto* scale = dynamic_cast<const TMivoDiscreteScale*>(attribute->Scale())) {
            for (int v = 0; v < scale->Count(); ++v)
                if (TextMatches(search, scale->ValueName(v))) return true;
        }
    }
    return false;
}

TMivoAttribute* FindNextAttribute(const TFindSearch& search, const std::vector<TMivoAttribute*>& preorder,
                                  const TMivoAttribute* selected) {
    const auto at = std::find(preorder.begin(), preorder.end(), selected);
    if (selected == nullptr || at == preorder.end()) return nullptr;
    const std::size_t start = static_cast<std::size_t>(at - preorder.begin());
    for (std::size_t step = 1; step < preorder.size(); ++step) {
        TMivoAttribute* candidate = preorder[(start + step) % preorder.size()];
        if (AttributeMatches(search, candidate)) return candidate;
    }
    return nullptr;
}

int FindNextRow(const TFindSearch& search, const std::vector<TMivoAttribute*>& rows, int current) {
    const int count = static_cast<int>(rows.size());
    if (count == 0) return -1;
    if (current < 0) {  // before the first row: every row once
        for (int i = 0; i < count; ++i)
            if (AttributeMatches(search, rows[static_cast<std::size_t>(i)])) return i;
        return -1;
    }
    const int start = std::min(current, count - 1);
    for (int step = 1; step < count; ++step) {
        const int i = (start + step) % count;
        if (AttributeMatches(search, rows[static_cast<std::size_t>(i)])) return i;
    }
    return -1;
}

}  // namespace mivo
