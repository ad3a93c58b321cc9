// Small models with long attribute names and deep trees, for the layout of
// the reports that show attribute trees: names of a given length in one of
// several scripts, a balanced tree of aggregates, a chain of short names
// below it, decision tables that give every aggregate its value
// distribution, and a few evaluated options.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "reports/Utf8Text.h"

namespace mivo::longnames {

enum class TScript { Latin, Cyrillic, Greek, Cjk };

inline const char* ScriptName(TScript script) {
    switch (script) {
        case TScript::Latin: return "Latin";
        case TScript::Cyrillic: return "Cyrillic";
        case TScript::Greek: return "Greek";
        case TScript::Cjk: return "CJK";
    }
    return "";
}

// Words of the script (CJK is written without blanks).
inline std::vector<std::string> ScriptWords(TScript script) {
    switch (script) {
        case TScript::Latin:
            return {"Přesná", "ocenění", "façade", "déjà", "Größe", "naïve", "Ångström", "jalapeño", "smörgåsbord"};
        case TScript::Cyrillic:
            return {"Оценка", "стоимости", "ремонта", "жилого", "помещения", "на", "окраине", "города"};
        case TScript::Greek:
            return {"Αξιολόγηση", "της", "ποιότητας", "κατοικίας", "στην", "περιοχή", "του", "λιμανιού"};
        case TScript::Cjk: return {"住宅", "品質", "評価", "周辺", "環境", "交通", "便利", "安全"};
    }
    return {};
}

// The three values of every scale, worst first.
inline std::vector<std::string> ScriptValues(TScript script) {
    switch (script) {
        case TScript::Latin: return {"poor", "fair", "excellent"};
        case TScript::Cyrillic: return {"низкий", "средний", "высокий"};
        case TScript::Greek: return {"χαμηλό", "μέτριο", "υψηλό"};
        case TScript::Cjk: return {"低", "中", "高"};
    }
    return {};
}

// A name of exactly `length` characters (at least its number's), starting
// with its number so that names differ: "A12 Přesná ocenění …".
inline std::string LongName(TScript script, std::size_t length, int number) {
    const std::vector<std::string> words = ScriptWords(script);
    const std::string separator = script == TScript::Cjk ? "" : " ";
    std::string name = "A" + std::to_string(number);
    for (std::size_t w = static_cast<std::size_t>(number); CodePointCount(name) < length; ++w)
        name += separator + words[w % words.size()];
    std::u32string chars = DecodeCodePoints(name);
    chars.resize(std::max<std::size_t>(length, CodePointCount("A" + std::to_string(number))));
    while (!chars.empty() && chars.back() == U' ') chars.back() = U'x';
    return EncodeCodePoints(chars);
}

struct TShape {
    TScript script = TScript::Latin;
    std::size_t nameLength = 55;
    // Levels of the balanced tree below its top attribute, and the inputs
    // of each of its aggregates.
    int depth = 4;
    int breadth = 2;
    // A chain of this many levels with short names below the first leaf.
    int chain = 0;
    int options = 3;
    // Given to every attribute.
    std::string description;
};

// The script's three values, or its worst and best one.
inline std::unique_ptr<TMivoDiscreteScale> ThreeValueScale(TScript script, int values = 3) {
    auto scale = std::make_unique<TMivoDiscreteScale>();
    const std::vector<std::string> names = ScriptValues(script);
    for (std::size_t v = 0; v < names.size(); ++v)
        if (values >= 3 || v != 1) scale->AddValue(names[v]);
    scale->DefaultBounds();
    return scale;
}

// Every aggregate below `attribute` (and it) gets a table whose value is
// the rounded mean of its inputs' values.
inline void GiveTables(TMivoAttribute& attribute) {
    for (int i = 0; i < attribute.InpCount(); ++i) GiveTables(*attribute.Inputs(i));
    if (attribute.InpCount() == 0) return;
    TMivoFunction* function = attribute.CreateFunction();
    if (function == nullptr) return;
    const int top = attribute.Scale()->Count() - 1;
    for (int r = 0; r < function->RuleCount(); ++r) {
        int sum = 0;
        for (int k = 0; k < function->ArgCount(); ++k) sum += function->ArgValue(k, r);
        function->SetRuleValue(r, std::min(top, (sum + function->ArgCount() / 2) / function->ArgCount()));
        function->SetRuleEntered(r, true);
    }
}

inline std::unique_ptr<TMivoModel> LongNameModel(const TShape& shape) {
    auto model = std::make_unique<TMivoModel>();
    int number = 1;
    auto add = [&](TMivoAttribute& parent, std::string name) {
        auto attribute = std::make_unique<TMivoAttribute>(std::move(name));
        attribute->SetScale(ThreeValueScale(shape.script));
        attribute->SetDescription(shape.description);
        return parent.AddInput(std::move(attribute));
    };
    TMivoAttribute* top = add(*model->Root(), LongName(shape.script, shape.nameLength, number++));
    std::vector<TMivoAttribute*> level{top};
    for (int d = 0; d < shape.depth; ++d) {
        std::vector<TMivoAttribute*> next;
        for (TMivoAttribute* parent : level)
            for (int b = 0; b < shape.breadth; ++b)
                next.push_back(add(*parent, LongName(shape.script, shape.nameLength, number++)));
        level = std::move(next);
    }
    TMivoAttribute* deepest = level.front();
    for (int c = 0; c < shape.chain; ++c) deepest = add(*deepest, "C" + std::to_string(c + 1));
    GiveTables(*top);
    for (int o = 0; o < shape.options; ++o) model->AddOption("Option " + std::to_string(o + 1));
    int leaf = 0;
    for (TMivoAttribute* attribute : model->Attributes()) {
        if (attribute->InpCount() > 0) continue;
        for (int o = 0; o < shape.options; ++o) attribute->SetOptValueIndex(o, (o + leaf) % 3);
        ++leaf;
    }
    model->Reevaluate();
    return model;
}

// A model whose top attribute has `inputs` basic inputs of `values` values
// each (2 or 3, names of the script), for a rule table of many inputs.
inline std::unique_ptr<TMivoModel> WideRuleModel(TScript script, int inputs, std::size_t nameLength,
                                                 int values = 3) {
    auto model = std::make_unique<TMivoModel>();
    auto top = std::make_unique<TMivoAttribute>(LongName(script, nameLength, 1));
    top->SetScale(ThreeValueScale(script, values));
    TMivoAttribute* aggregate = model->Root()->AddInput(std::move(top));
    for (int i = 0; i < inputs; ++i) {
        auto input = std::make_unique<TMivoAttribute>(LongName(script, nameLength, i + 2));
        input->SetScale(ThreeValueScale(script, values));
        aggregate->AddInput(std::move(input));
    }
    GiveTables(*aggregate);
    model->Reevaluate();
    return model;
}

}  // namespace mivo::longnames
