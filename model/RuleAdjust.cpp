// Rule and option-value rewrites that follow scale and input edits.
//
// Every operation first computes the complete new set of strings and only
// then stores it, so an error (a value index beyond the byte range) leaves
// the table or the value list exactly as it was.
#include "model/RuleAdjust.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoScale.h"
#include "model/RunTime.h"

namespace mivo {

namespace {

constexpr char NotEnteredFlag = '-';

// The byte of value index v, for a value that is about to be written: an
// index beyond the byte range is an overflow, a negative one a range error.
char CodeOf(int v) {
    if (v < 0) throw ERangeError();
    if (v >= MaxScaleValues) throw EIntOverflow();
    return ValueChar(v);
}

// The byte `delta` values away from `code`.
char Shifted(char code, int delta) { return CodeOf(CharValue(code) + delta); }

std::vector<std::string> RuleStrings(const TMivoFunction& funct) {
    std::vector<std::string> rules;
    rules.reserve(static_cast<std::size_t>(funct.RuleCount()));
    for (int r = 0; r < funct.RuleCount(); ++r) rules.push_back(funct.Rules().Get(r));
    return rules;
}

// Replaces every rule string at once (one change notification).
void StoreRules(TMivoFunction& funct, const std::vector<std::string>& rules) {
    TStrList& list = funct.EditRules();
    list.BeginUpdate();
    list.Clear();
    for (const std::string& rule : rules) list.Add(rule);
    list.EndUpdate();
}

// Canonical order: rule strings ascending by byte value (std::string
// compares its characters as unsigned bytes).
void SortCanonical(std::vector<std::string>& rules) { std::sort(rules.begin(), rules.end()); }

// Byte offsets of a rule of n inputs: input k at k, then low, high, flag.
struct TRuleLayout {
    std::size_t Low;
    std::size_t High;
    std::size_t Flag;
    explicit TRuleLayout(int inputs)
        : Low(static_cast<std::size_t>(inputs)), High(Low + 1), Flag(Low + 2) {}
};

// The high end of the whole output scale.
char WholeScaleHigh(const TMivoFunction& funct) {
    const int m = funct.Attribute() ? funct.Attribute()->ScaleSize() : 0;
    return CodeOf(std::max(m - 1, 0));
}

// 0-based input position, checked against the table's inputs.
std::size_t InputPosition(const TMivoFunction& funct, int position) {
    CheckIndex(position, funct.ArgCount());
    return static_cast<std::size_t>(position);
}

void SwapWeights(TFloatList& weights, std::size_t a, std::size_t b) {
    if (a < weights.size() && b < weights.size()) std::swap(weights[a], weights[b]);
}

}  // namespace

// ---------------------------------------------------------------------------
// The inputs' scales

void InsertArgValue(TMivoFunction& funct, int position, int v) {
    const std::size_t p = InputPosition(funct, position);
    const TRuleLayout at(funct.ArgCount());
    const char code = CodeOf(v);
    const char whole_high = WholeScaleHigh(funct);

    std::vector<std::string> rules = RuleStrings(funct);
    std::vector<std::string> added;
    for (std::string& rule : rules) {
        // One new rule per combination of the other inputs: each rule at the
        // input's first value stands for one such combination.
        if (At(rule, p) == '0') {
            std::string copy = rule;
            copy[p] = code;
            At(copy, at.Low) = '0';
            At(copy, at.High) = whole_high;
            At(copy, at.Flag) = NotEnteredFlag;
            added.push_back(std::move(copy));
        }
        if (CharValue(rule[p]) >= v) rule[p] = Shifted(rule[p], +1);
    }
    rules.insert(rules.end(), std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
    SortCanonical(rules);
    StoreRules(funct, rules);
    funct.Update(false);
}

void DeleteArgValue(TMivoFunction& funct, int position, int v) {
    const std::size_t p = InputPosition(funct, position);
    std::vector<std::string> rules;
    rules.reserve(static_cast<std::size_t>(funct.RuleCount()));
    for (int r = 0; r < funct.RuleCount(); ++r) {
        std::string rule = funct.Rules().Get(r);
        const int value = CharValue(At(rule, p));
        if (value == v) continue;
        if (value > v) rule[p] = Shifted(rule[p], -1);
        rules.push_back(std::move(rule));
    }
    // Removing values and lowering the higher ones keeps the order.
    StoreRules(funct, rules);
    funct.Update(false);
}

// ---------------------------------------------------------------------------
// The own scale

void InsertFunctValue(TMivoFunction& funct, int v) {
    const TRuleLayout at(funct.ArgCount());
    std::vector<std::string> rules = RuleStrings(funct);
    for (std::string& rule : rules) {
        char& low = At(rule, at.Low);
        char& high = At(rule, at.High);
        if (CharValue(low) >= v) low = Shifted(low, +1);
        if (CharValue(high) >= v) high = Shifted(high, +1);
    }
    StoreRules(funct, rules);
}

void DeleteFunctValue(TMivoFunction& funct, int v) {
    const TRuleLayout at(funct.ArgCount());
    const char whole_high = WholeScaleHigh(funct);
    std::vector<std::string> rules = RuleStrings(funct);
    for (std::string& rule : rules) {
        char& low = At(rule, at.Low);
        char& high = At(rule, at.High);
        int new_low = CharValue(low);
        int new_high = CharValue(high);
        if (new_low > v) --new_low;
        if (new_high >= v) --new_high;
        if (new_high < new_low || new_high < 0) {
            // The interval held the deleted value alone: nothing of the
            // user's result is left, so the rule is cleared for derivation.
            low = '0';
            high = whole_high;
            At(rule, at.Flag) = NotEnteredFlag;
        } else {
            low = CodeOf(new_low);
            high = CodeOf(new_high);
        }
    }
    StoreRules(funct, rules);
}

// ---------------------------------------------------------------------------
// Moving inputs

void ExchangeArgs(TMivoFunction& funct, int p, int q) {
    const std::size_t a = InputPosition(funct, p - 1);
    const std::size_t b = InputPosition(funct, q - 1);
    std::vector<std::string> rules = RuleStrings(funct);
    for (std::string& rule : rules) std::swap(At(rule, a), At(rule, b));
    SortCanonical(rules);
    StoreRules(funct, rules);
    SwapWeights(funct.RequiredWeights, a, b);
    SwapWeights(funct.ActualWeights, a, b);
    SwapWeights(funct.NormWeights, a, b);
}

// ---------------------------------------------------------------------------
// Option values

void ValuesAfterInsert(TMivoAttribute& attribute, int v) {
    if (v < 0) throw ERangeError();
    std::vector<std::string> values = attribute.Values().ToVector();
    for (std::string& text : values)
        for (char& c : text)
            if (CharValue(c) >= v) c = Shifted(c, +1);
    attribute.SetValues(TValueStrings(values));
}

void ValuesAfterDelete(TMivoAttribute& attribute, int v) {
    if (v < 0) throw ERangeError();
    std::vector<std::string> values = attribute.Values().ToVector();
    for (std::string& text : values) {
        std::string out;
        out.reserve(text.size());
        for (char c : text) {
            const int value = CharValue(c);
            if (value == v) continue;
            out += value > v ? Shifted(c, -1) : c;
        }
        text = std::move(out);
    }
    attribute.SetValues(TValueStrings(values));
}

}  // namespace mivo
