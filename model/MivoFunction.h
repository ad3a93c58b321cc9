// The decision table of one aggregate attribute.
//
// A table holds one rule for every combination of the values of the
// attribute's inputs. A rule is a string of n + 3 bytes for n inputs:
//
//   bytes 0 .. n-1   the value of each input ('0' + value index)
//   byte  n          the low end of the result interval
//   byte  n + 1      the high end of the result interval
//   byte  n + 2      '+' when the user entered the rule, '-' when not
//
// Positions are always counted from the attribute's current number of
// inputs. The rules are kept in canonical order: an odometer over the input
// values with the last input varying fastest, which is the ascending order
// of the rule strings by byte value. The model file stores rule data in
// that order and reads it back by position.
//
// Evaluation (`Evaluate`) finds the rules that match the inputs' value sets
// directly: in canonical order the rule of input values (v0, ..., vn-1) sits
// at index sum(vk * stride k). Whether the table really is in canonical
// layout is checked once after every change of the input bytes (Init,
// Assign, SortRules, EditRules) and remembered; a table that is not is
// evaluated by scanning every rule, which gives the same result.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/Lists.h"
#include "model/MivoObject.h"
#include "model/Utils.h"

namespace mivo {

class TMivoAttribute;

// Most rules one decision table may have.
inline constexpr std::int64_t MaxRuleCount = 1048576;

// Raised by TMivoFunction::Init when the table would be too large:
// attribute name, rule count (decimal text), MaxRuleCount.
inline constexpr const char* STooManyRules =
    "The decision table of attribute \"%s\" would have %s rules; at most %d rules are allowed";

// Number of rules of a table over input scales of these sizes, computed
// without overflow; `limit` + 1 when the product exceeds `limit` (so the
// result never overflows). A size below 1 gives 0.
std::int64_t RuleProduct(const std::vector<int>& sizes, std::int64_t limit);

class TMivoFunction : public TMivoObject {
public:
    TMivoFunction();
    ~TMivoFunction() override;

    // --- the table ------------------------------------------------------

    // The aggregate attribute whose table this is (not owned); nullptr
    // until Init succeeds.
    TMivoAttribute* Attribute() const { return attribute_; }

    // The rule strings in canonical order.
    const TStrList& Rules() const { return rules_; }
    // Write access for operations that rewrite rule strings wholesale
    // (input bytes included). The evaluation index is checked again on the
    // next evaluation. Interval ends and flags are better changed through
    // SetRuleLow, SetRuleHigh and SetRuleEntered.
    TStrList& EditRules();

    // Copies the description, Attribute, the rule strings, RequiredWeights,
    // UseWeights, Consist and Rounding. K, C, ModelState, ConsistState,
    // ActualWeights and NormWeights stay as they are (so the copy has no
    // fit of its rules until it makes one).
    void Assign(const TMivoFunction& other);

    // The attribute exists and can have a decision table.
    static bool CanInit(const TMivoAttribute* attribute);

    // Builds the full table for the attribute: every rule carries the whole
    // output scale and is not entered; the weight arrays get one element
    // per input (ActualWeights and NormWeights 0, RequiredWeights 100/n).
    // When the attribute cannot have a table, the function is left without
    // attribute and without rules. A table of more than MaxRuleCount rules
    // raises EMivoError (STooManyRules) and changes nothing.
    void Init(TMivoAttribute* attribute);

    int RuleCount() const { return rules_.Count(); }
    // Number of inputs of Attribute (0 without attribute).
    int ArgCount() const;
    // Sizes of the input scales (0 for an input without scale).
    std::vector<int> InputSizes() const;

    // Rule and input indices are 0-based. A rule index outside the table
    // raises EListError "List index out of bounds (%d)"; an input index
    // outside 0..ArgCount-1 or a byte position outside the rule string
    // raises ERangeError.
    int ArgValue(int input, int rule) const;
    int RuleLow(int rule) const;
    int RuleHigh(int rule) const;
    // Store one end (no check against the other end); a value outside
    // 0..207 raises ERangeError.
    void SetRuleLow(int rule, int value);
    void SetRuleHigh(int rule, int value);
    void SetRuleValue(int rule, int value);
    bool RuleEntered(int rule) const;
    void SetRuleEntered(int rule, bool entered);
    // Whole output scale, not entered.
    void ClearRule(int rule);

    int EnteredCount() const;
    // Marks rules entered: every one when `all`, otherwise the single-valued
    // ones; never unmarks.
    void EnterRules(bool all);
    // Rules whose interval contains value v.
    int ValueRuleCount(int v) const;
    // Mean over the rules of 1 - (high - low) / (m - 1), m the size of the
    // output scale; 0 for a table without rules or an output scale of
    // fewer than two values.
    double Determinedness() const;
    // "name:count" for each output value, joined by ",".
    std::string DistributionText() const;
    // "Rules: e/r (p%), determined: d% [distribution]", two decimals each.
    std::string StatusText() const;
    // wox true: the first input varies fastest; false: canonical order.
    void SortRules(bool wox);
    // The rule indices in Wox order (the first input varies fastest), the
    // rules left where they are: entry j is the rule at position j of that
    // order. For a table in canonical layout they follow from the input
    // sizes; any other table is sorted by its input bytes from the last
    // input back, as SortRules (true) would order it.
    std::vector<int> WoxRuleOrder() const;

    // --- evaluation -----------------------------------------------------

    // The value set of the attribute for one value string per input (in
    // input order): the union of the intervals of all rules that match,
    // where a rule matches when each input's string is empty, "*", or
    // contains the rule's byte for that input. The result is the members'
    // bytes in increasing order; the empty string when no rule matches or
    // when the union covers the whole output scale (any value). Bytes of an
    // input string outside that input's scale match nothing. The output
    // scale must have 1..256 values and there must be a string for every
    // input (ERangeError otherwise).
    std::string Evaluate(const std::vector<std::string>& args) const;

    // --- weights and the linear model ---
    bool UseWeights = false;         // fill not-entered rules from the weights model
    std::int32_t Rounding = 0;       // negative down, 0 none, positive up
    double K = 0;                    // slope of the linear model
    double C = 0;                    // intercept of the linear model
    std::int32_t ModelState = 0;     // 0 not fitted, 1 fitted, -1 the last fit failed
    TFloatList ActualWeights;        // weights computed from the rules, summing to 100
    TFloatList NormWeights;          // actual weight times input scale size, summing to 100
    TFloatList RequiredWeights;      // weights asked for by the user

    // Least-squares fit of the rules' interval midpoints by the input value
    // indices over all rules or the entered ones: ActualWeights := |w(k)|,
    // NormWeights := |w(k)| times the size of input k's scale, each scaled
    // to sum 100. An unsolvable system (too few distinct rules, an input
    // that never varies, a result that is not finite) sets every element
    // the arrays already have to 0 and keeps their lengths.
    void ComputeWeights(bool allRules);
    // Fits K and C of mid(r) ≈ K·Σ x(k,r)·RequiredWeights(k) + C over all
    // rules or the entered ones (RequiredWeights is first reset to equal
    // weights summing to 100 when it does not have one element per input).
    // Success: ModelState 1. No used rule, the same weighted sum in every
    // used rule, or a value that is not finite: K = C = 0, ModelState -1
    // and UseWeights off. Never raises an arithmetic error.
    void FitLinearModel(bool allRules);
    // K · Σ x(k,r)·RequiredWeights(k) + C; inputs without a required weight
    // contribute nothing.
    double LinearValue(int rule) const;
    // LinearValue + Rounding·Eps rounded to the nearest index (a half to
    // the even neighbour) and clamped to the output scale; NaN gives 0.
    int RoundedValue(int rule) const;
    // Nothing unless UseWeights; otherwise every rule not entered gets the
    // single value RoundedValue, kept inside its current interval when
    // `keepInside`, else inside the whole scale. K and C are used as they
    // stand; Update makes sure they are a fit of the current rules.
    void FillFromWeights(bool keepInside);
    // K and C come from a successful fit of the rules as they are now: no
    // rule that fit used has changed since, nor RequiredWeights. A table
    // that was just built, read or assigned has none (K and C are not
    // stored in the model file).
    bool HasCurrentFit() const;
    // --- end of weights and the linear model ---

    // --- consistency and derivation ---
    bool Consist = true;             // derive not-entered rules monotonically ("Use scale orders")
    std::int32_t ConsistState = 0;   // 0 not yet determined, 1 consistent, -1 inconsistent

    // Dominance of the inputs of rule a over rule b by the input scale
    // orders: 0 a below b, 1 a above b, 2 incomparable, 3 equal inputs
    // (TRuleDominance in model/Monotone.h).
    int CompareRules(int a, int b) const;
    // No entered rule below another gives a better result interval (both
    // ends compared in the output scale's order); true for an unordered
    // output. Rules not entered never count.
    bool IsConsistent() const;
    // Every rule not entered gets the whole output scale.
    void ClearNotEntered();
    // Every rule not entered gets the tightest interval the entered rules
    // allow by monotonicity; when they leave no room for one, or the output
    // is unordered, every rule not entered gets the whole scale.
    void DeriveByMonotonicity();
    // Records ConsistState (1 or -1; inconsistency also switches Consist
    // off, it is state, not an error); unless `noDerive`, then derives
    // (Consist on) or clears (off) the rules not entered and, with
    // UseWeights, fills them from the weights model. The weights model is
    // fitted first (over the entered rules) when there is no current fit;
    // a failed fit switches UseWeights off, so nothing is filled from it.
    void Update(bool noDerive);
    // --- end of consistency and derivation ---

private:
    // The rule string of rule r (list index error outside the table).
    const std::string& Rule(int rule) const { return rules_.Get(rule); }
    // Replaces byte `position` of rule r (range error outside the string).
    void SetRuleByte(int rule, int position, char code);
    // Stores the new text of rule r; a change of a rule that the current
    // fit used makes the fit stale.
    void PutRule(int rule, const std::string& text);
    // The weights model is no fit of the current rules any more.
    void FitChanged() { fit_current_ = false; }
    // Size of the attribute's own scale (0 without attribute or scale).
    int OutputSize() const;

    // True when the rules are the complete table over these input sizes in
    // canonical order, so that rule indices follow from input values.
    bool HasCanonicalLayout(const std::vector<int>& sizes) const;
    std::string EvaluateByIndex(const std::vector<std::string>& args, const std::vector<int>& sizes,
                                int outputSize) const;
    std::string EvaluateByScan(const std::vector<std::string>& args, int outputSize) const;

    void LayoutChanged() { layout_checked_ = false; }

    TMivoAttribute* attribute_ = nullptr;
    TStrList rules_;

    // Result of the last canonical-layout check and the input sizes it was
    // made for.
    mutable bool layout_checked_ = false;
    mutable bool layout_canonical_ = false;
    mutable std::vector<int> layout_sizes_;

    // Whether K and C fit the current rules: set by a successful fit,
    // cleared by every change of a rule the fit used (entered rules, or
    // every rule after a fit over all rules) and by Init and Assign.
    bool fit_current_ = false;
    bool fit_all_rules_ = false;     // the current fit used every rule
    TFloatList fit_weights_;         // RequiredWeights at the time of the fit
};

}  // namespace mivo
