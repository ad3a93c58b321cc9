// Monotonicity of a decision table over ordered scales.
//
// A rule is a string: one value character per input ('0' + index), then the
// low and the high end of its result interval, then "+" when the user
// entered it and "-" when not. "Better" means a higher index on an ascending
// scale and a lower one on a descending scale; an unordered scale orders
// nothing.
//
// `TMonotoneTable` knows only the scale orders and sizes, so the checks and
// the derivation work on plain rule strings. Any list of rules is handled by
// comparing rules pairwise (quadratic in the number of rules). A complete
// table in canonical order (an odometer over the input values, the last
// input fastest) over known input sizes is handled as a grid instead:
// bounds flow from neighbour to neighbour along each ordered input, which
// gives the same result in time linear in the number of rules.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mivo {

// Outcomes of comparing the inputs of two rules a and b.
enum TRuleDominance : int {
    RuleBelow = 0,         // on every input where they differ, a is worse
    RuleAbove = 1,         // on every input where they differ, a is better
    RuleIncomparable = 2,  // an unordered input differs, or a is better on one and worse on another
    RuleEqual = 3,         // the same input values
};

class TMonotoneTable {
public:
    // `inputOrders`: the order code of each input's scale (0 unordered,
    // 2 descending, any other ascending, as the scales hold them);
    // `outputOrder` likewise for the attribute's own scale of `outputSize`
    // values; `inputSizes`, when given, the number of values of each input's
    // scale (enables the grid path).
    TMonotoneTable(std::vector<unsigned char> inputOrders, unsigned char outputOrder, int outputSize,
                   std::vector<int> inputSizes = {});

    int InputCount() const noexcept { return static_cast<int>(inputOrders_.size()); }

    // Dominance of rule a over rule b (0..3, TRuleDominance). A rule shorter
    // than the inputs raises ERangeError.
    int Compare(std::string_view a, std::string_view b) const;

    // True when no pair of entered rules breaks monotonicity: a rule below
    // another has both ends of its interval no better than the other's. An
    // unordered output is always consistent; rules not entered never count.
    bool IsConsistent(const std::vector<std::string>& rules) const;

    // Gives every rule not entered the whole output scale.
    void ClearNotEntered(std::vector<std::string>& rules) const;

    // Gives every rule not entered the tightest interval that the entered
    // rules allow: no worse than any entered rule below it and no better than
    // any entered rule above it. When the entered rules leave no room for
    // some rule, or the output is unordered, every rule not entered gets the
    // whole scale instead. Only entered rules are used, so the result does
    // not depend on the order of the rules.
    void DeriveByMonotonicity(std::vector<std::string>& rules) const;

private:
    // The rules are the complete table over inputSizes_ in canonical order.
    bool IsGrid(const std::vector<std::string>& rules) const;
    // Combines every grid cell with the cells before it along each ordered
    // input, so that each cell ends up holding the maximum (or minimum) over
    // all cells no better (towardBetter) or no worse than itself.
    void Spread(std::vector<int>& cells, bool towardBetter, bool takeMax) const;
    bool IsConsistentPairwise(const std::vector<std::string>& rules) const;
    bool IsConsistentOnGrid(const std::vector<std::string>& rules) const;
    // The derived interval of every rule not entered, or false when the
    // entered rules leave no room for one of them.
    bool DerivePairwise(const std::vector<std::string>& rules, std::vector<std::pair<int, int>>& out) const;
    bool DeriveOnGrid(const std::vector<std::string>& rules, std::vector<std::pair<int, int>>& out) const;

    std::size_t FlagPosition() const noexcept { return inputOrders_.size() + 2; }
    // Highest index of the output scale (0 for a scale without values).
    int TopIndex() const noexcept { return outputSize_ > 1 ? outputSize_ - 1 : 0; }
    bool Entered(std::string_view rule) const;
    std::vector<std::size_t> EnteredRules(const std::vector<std::string>& rules) const;
    int Low(std::string_view rule) const;
    int High(std::string_view rule) const;
    void SetInterval(std::string& rule, int low, int high) const;

    std::vector<unsigned char> inputOrders_;
    unsigned char outputOrder_;
    int outputSize_;
    std::vector<int> inputSizes_;
};

}  // namespace mivo
