// Checks and fixes for structural edits of the attribute tree.
#include "model/TreeEdit.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "model/MivoAttribute.h"

namespace mivo {

int SubtreeHeight(const TMivoAttribute& attribute) {
    // Depth-first with an explicit stack of (attribute, its level).
    int height = 0;
    std::vector<std::pair<const TMivoAttribute*, int>> stack{{&attribute, 1}};
    while (!stack.empty()) {
        const auto [node, level] = stack.back();
        stack.pop_back();
        height = std::max(height, level);
        for (int i = 0; i < node->InpCount(); ++i) stack.emplace_back(node->Inputs(i), level + 1);
    }
    return height;
}

int LevelAsInput(const TMivoAttribute& parent, const TMivoAttribute& subtree) {
    return parent.Level() + SubtreeHeight(subtree);
}

bool FitsDepth(const TMivoAttribute& parent, const TMivoAttribute& subtree) {
    return LevelAsInput(parent, subtree) <= MaxAttributeLevel;
}

TTableSize CheckTableSize(std::int64_t rules) {
    if (rules <= LargeTableRules) return TTableSize::Accepted;
    if (rules <= MaxNewTableRules) return TTableSize::Large;
    return TTableSize::TooLarge;
}

void CutValuesToOptions(TMivoAttribute& subtree, int options) {
    std::vector<TMivoAttribute*> stack{&subtree};
    while (!stack.empty()) {
        TMivoAttribute* node = stack.back();
        stack.pop_back();
        node->TruncateValues(options);
        for (int i = 0; i < node->InpCount(); ++i) stack.push_back(node->Inputs(i));
    }
}

}  // namespace mivo
