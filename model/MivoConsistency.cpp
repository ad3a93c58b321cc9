// Decision tables: consistency with the scale orders and the monotone
// derivation of rules that were not entered.
#include <string>
#include <utility>
#include <vector>

#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoScale.h"
#include "model/Monotone.h"

namespace mivo {

namespace {

// Order of a scale; an attribute without scale orders nothing.
unsigned char OrderOf(const TMivoAttribute* attribute) {
    const TMivoScale* scale = attribute ? attribute->Scale() : nullptr;
    return scale ? scale->Order : soUnordered;
}

// The scale orders and sizes of a function's table.
TMonotoneTable MonotoneTableOf(const TMivoFunction& funct) {
    const TMivoAttribute* attribute = funct.Attribute();
    const int n = funct.ArgCount();
    std::vector<unsigned char> inputOrders;
    std::vector<int> inputSizes;
    inputOrders.reserve(static_cast<std::size_t>(n));
    inputSizes.reserve(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        inputOrders.push_back(OrderOf(attribute->Inputs(k)));
        inputSizes.push_back(attribute->Inputs(k)->ScaleSize());
    }
    return TMonotoneTable(std::move(inputOrders), OrderOf(attribute), attribute ? attribute->ScaleSize() : 0,
                          std::move(inputSizes));
}

std::vector<std::string> RuleStrings(const TStrList& rules) {
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(rules.Count()));
    for (int r = 0; r < rules.Count(); ++r) out.push_back(rules.Get(r));
    return out;
}

}  // namespace

int TMivoFunction::CompareRules(int a, int b) const { return MonotoneTableOf(*this).Compare(Rule(a), Rule(b)); }

bool TMivoFunction::IsConsistent() const { return MonotoneTableOf(*this).IsConsistent(RuleStrings(rules_)); }

void TMivoFunction::ClearNotEntered() {
    for (int r = 0; r < RuleCount(); ++r)
        if (!RuleEntered(r)) ClearRule(r);
}

void TMivoFunction::DeriveByMonotonicity() {
    std::vector<std::string> derived = RuleStrings(rules_);
    MonotoneTableOf(*this).DeriveByMonotonicity(derived);
    // Only interval ends change; the input bytes and flags stay.
    const int n = ArgCount();
    for (int r = 0; r < RuleCount(); ++r) {
        const std::string& rule = derived[static_cast<std::size_t>(r)];
        if (rule == Rule(r)) continue;
        SetRuleLow(r, CharValue(rule[static_cast<std::size_t>(n)]));
        SetRuleHigh(r, CharValue(rule[static_cast<std::size_t>(n) + 1]));
    }
}

void TMivoFunction::Update(bool noDerive) {
    // Inconsistency is state, not an error: it is recorded and switches
    // monotone derivation off until the user switches it on again.
    if (IsConsistent()) {
        ConsistState = 1;
    } else {
        ConsistState = -1;
        Consist = false;
    }
    if (noDerive) return;
    // Filling from weights needs K and C of the rules as they are now, not
    // those of an earlier table (or none at all, after a read).
    if (UseWeights && !HasCurrentFit()) FitLinearModel(false);
    if (Consist)
        DeriveByMonotonicity();
    else
        ClearNotEntered();
    if (UseWeights) FillFromWeights(Consist);
}

}  // namespace mivo
