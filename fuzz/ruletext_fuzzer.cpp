// needs: model/RuleText.h
// Rule text import on arbitrary text, under every setting of the value
// format, the rule selection and the interval form (the first byte picks
// them). A table that took the import is written out as rule text and that
// text must import again without changing a rule.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "fuzz/FuzzInput.h"
#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoScale.h"
#include "model/MivoSettings.h"
#include "model/RuleText.h"

using namespace mivo;

namespace {

std::unique_ptr<TMivoDiscreteScale> Scale(std::vector<std::string> names) {
    auto scale = std::make_unique<TMivoDiscreteScale>();
    for (const std::string& name : names) scale->AddValue(name);
    scale->DefaultBounds();
    return scale;
}

std::vector<std::string> Numbered(const char* prefix, int n) {
    std::vector<std::string> names;
    for (int v = 0; v < n; ++v) names.push_back(prefix + std::to_string(v));
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text = fuzz::AsText(data, size);
    const unsigned form = fuzz::TakeByte(text);

    TMivoSettings settings;
    settings.FncDataType = static_cast<std::uint8_t>(form % 3);
    settings.FncFormatType = static_cast<std::uint8_t>((form / 3) % 3);
    settings.FncDataAll = (form & 128) != 0;

    // Result "bad" "ok" "good" over inputs of 12 values (two-digit numbers)
    // and of names that look like interval forms.
    TMivoAttribute goal("goal");
    goal.SetScale(Scale({"bad", "ok", "good"}));
    auto wide = std::make_unique<TMivoAttribute>("wide");
    wide->SetScale(Scale(Numbered("w", 12)));
    goal.AddInput(std::move(wide));
    auto odd = std::make_unique<TMivoAttribute>("odd");
    odd->SetScale(Scale({"<=1", "a:b", "+", "1"}));
    goal.AddInput(std::move(odd));
    TMivoFunction* funct = goal.CreateFunction();
    if (funct == nullptr) std::abort();

    bool imported = false;
    fuzz::Guarded([&] {
        ImportText(*funct, std::string(text), settings);
        imported = true;
    });
    if (!imported) return 0;

    // Importing the table's own text changes nothing.
    const std::vector<std::string> lines = RulesToText(*funct, settings);
    try {
        const TRuleImport again = ImportStrings(*funct, lines, settings);
        if (again.Changed != 0) {
            std::fprintf(stderr, "re-importing written rules changed %d rules\n", again.Changed);
            std::abort();
        }
    } catch (const Exception& e) {
        std::fprintf(stderr, "written rules do not import again: %s\n", e.Message().c_str());
        std::abort();
    }
    return 0;
}
