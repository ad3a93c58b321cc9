// A small attribute tree for decision-table tests: one aggregate attribute
// over basic inputs with discrete scales of the given sizes and orders.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoScale.h"
#include "model/RunTime.h"

namespace mivo::fixture {

struct TScaleShape {
    int Size;
    std::uint8_t Order = soAscending;
};

inline std::unique_ptr<TMivoDiscreteScale> MakeScale(TScaleShape shape) {
    auto scale = std::make_unique<TMivoDiscreteScale>();
    scale->Order = shape.Order;
    for (int v = 0; v < shape.Size; ++v) scale->AddValue("v" + std::to_string(v));
    scale->DefaultBounds();
    return scale;
}

class TTable {
public:
    TTable(const std::vector<TScaleShape>& inputs, TScaleShape output) : root_("goal") {
        root_.SetScale(MakeScale(output));
        int k = 0;
        for (const TScaleShape& shape : inputs) {
            auto input = std::make_unique<TMivoAttribute>("in" + std::to_string(k++));
            input->SetScale(MakeScale(shape));
            root_.AddInput(std::move(input));
        }
        funct_ = root_.CreateFunction();
        MIVO_ASSERT(funct_ != nullptr, "test table without function");
    }

    TMivoFunction& F() { return *funct_; }
    TMivoAttribute& Root() { return root_; }

    // Index of the rule whose input bytes are `inputs` ("01").
    int Find(const std::string& inputs) const {
        for (int r = 0; r < funct_->RuleCount(); ++r)
            if (funct_->Rules().Get(r).compare(0, inputs.size(), inputs) == 0) return r;
        throw Exception("no rule " + inputs);
    }

    // Enters rule `inputs` with the interval low..high.
    void Enter(const std::string& inputs, int low, int high) {
        const int r = Find(inputs);
        funct_->SetRuleLow(r, low);
        funct_->SetRuleHigh(r, high);
        funct_->SetRuleEntered(r, true);
    }
    void Enter(const std::string& inputs, int value) { Enter(inputs, value, value); }

    // "low high" of rule `inputs`, e.g. "02" for 0..2.
    std::string Interval(const std::string& inputs) const {
        const std::string& rule = funct_->Rules().Get(Find(inputs));
        return rule.substr(inputs.size(), 2);
    }

private:
    TMivoAttribute root_;
    TMivoFunction* funct_ = nullptr;
};

}  // namespace mivo::fixture
