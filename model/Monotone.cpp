#include "model/Monotone.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

#include "model/RunTime.h"

namespace mivo {

namespace {

constexpr unsigned char Unordered = 0;
constexpr unsigned char Descending = 2;

// Placeholders of grid cells without an entered rule.
constexpr int NoLowerBound = INT_MIN;
constexpr int NoUpperBound = INT_MAX;

unsigned char CodeAt(std::string_view rule, std::size_t position) {
    CheckIndex(position, rule.size());
    return static_cast<unsigned char>(rule[position]);
}

char IndexChar(int index) { return static_cast<char>(static_cast<unsigned char>('0' + index)); }

}  // namespace

TMonotoneTable::TMonotoneTable(std::vector<unsigned char> inputOrders, unsigned char outputOrder,
                               int outputSize, std::vector<int> inputSizes)
    : inputOrders_(std::move(inputOrders)),
      outputOrder_(outputOrder),
      outputSize_(outputSize),
      inputSizes_(std::move(inputSizes)) {}

bool TMonotoneTable::Entered(std::string_view rule) const { return CodeAt(rule, FlagPosition()) == '+'; }

std::vector<std::size_t> TMonotoneTable::EnteredRules(const std::vector<std::string>& rules) const {
    std::vector<std::size_t> entered;
    for (std::size_t j = 0; j < rules.size(); ++j)
        if (Entered(rules[j])) entered.push_back(j);
    return entered;
}

int TMonotoneTable::Low(std::string_view rule) const { return CodeAt(rule, inputOrders_.size()) - '0'; }

int TMonotoneTable::High(std::string_view rule) const { return CodeAt(rule, inputOrders_.size() + 1) - '0'; }

void TMonotoneTable::SetInterval(std::string& rule, int low, int high) const {
    CheckIndex(FlagPosition(), rule.size());
    rule[inputOrders_.size()] = IndexChar(low);
    rule[inputOrders_.size() + 1] = IndexChar(high);
}

int TMonotoneTable::Compare(std::string_view a, std::string_view b) const {
    int result = RuleEqual;
    for (std::size_t k = 0; k < inputOrders_.size(); ++k) {
        const unsigned char x = CodeAt(a, k);
        const unsigned char y = CodeAt(b, k);
        if (x == y) continue;
        const unsigned char order = inputOrders_[k];
        if (order == Unordered) return RuleIncomparable;
        const bool below = order == Descending ? x > y : x < y;
        if (below) {
            if (result == RuleAbove) return RuleIncomparable;
            result = RuleBelow;
        } else {
            if (result == RuleBelow) return RuleIncomparable;
            result = RuleAbove;
        }
    }
    return result;
}

// --- grid layout -------------------------------------------------------------

bool TMonotoneTable::IsGrid(const std::vector<std::string>& rules) const {
    const std::size_t n = inputOrders_.size();
    if (inputSizes_.size() != n) return false;
    std::uint64_t product = 1;
    for (int size : inputSizes_) {
        if (size < 1 || __builtin_mul_overflow(product, static_cast<std::uint64_t>(size), &product))
            return false;
    }
    if (product != rules.size()) return false;
    // Walk the odometer alongside the rules.
    std::vector<int> digits(n, 0);
    for (const std::string& rule : rules) {
        for (std::size_t k = 0; k < n; ++k)
            if (CodeAt(rule, k) != static_cast<unsigned char>(IndexChar(digits[k]))) return false;
        for (std::size_t k = n; k-- > 0;) {
            if (++digits[k] < inputSizes_[k]) break;
            digits[k] = 0;
        }
    }
    return true;
}

void TMonotoneTable::Spread(std::vector<int>& cells, bool towardBetter, bool takeMax) const {
    const std::size_t count = cells.size();
    std::size_t stride = 1;  // the last input varies fastest
    for (std::size_t k = inputOrders_.size(); k-- > 0;) {
        const std::size_t size = static_cast<std::size_t>(inputSizes_[k]);
        const unsigned char order = inputOrders_[k];
        if (order != Unordered && size > 1) {
            auto combine = [&](std::size_t to, std::size_t from) {
                cells[to] = takeMax ? std::max(cells[to], cells[from]) : std::min(cells[to], cells[from]);
            };
            // Values flow toward the higher indices of an ascending input
            // when they flow toward the better values.
            const bool upward = (order != Descending) == towardBetter;
            if (upward) {
                for (std::size_t r = 0; r < count; ++r)
                    if ((r / stride) % size != 0) combine(r, r - stride);
            } else {
                for (std::size_t r = count; r-- > 0;)
                    if ((r / stride) % size != size - 1) combine(r, r + stride);
            }
        }
        stride *= size;
    }
}

// --- consistency -------------------------------------------------------------

bool TMonotoneTable::IsConsistent(const std::vector<std::string>& rules) const {
    if (outputOrder_ == Unordered) return true;
    return IsGrid(rules) ? IsConsistentOnGrid(rules) : IsConsistentPairwise(rules);
}

bool TMonotoneTable::IsConsistentPairwise(const std::vector<std::string>& rules) const {
    const bool descending = outputOrder_ == Descending;
    const std::vector<std::size_t> entered = EnteredRules(rules);
    for (std::size_t i : entered) {
        const std::string& ruleI = rules[i];
        const int lowI = Low(ruleI), highI = High(ruleI);
        for (std::size_t j : entered) {
            const std::string& ruleJ = rules[j];
            const int c = Compare(ruleJ, ruleI);
            if (c != RuleBelow && c != RuleAbove) continue;
            // "No worse" in the output's own direction: j below i must not
            // be better than i, j above i must not be worse.
            const bool jMustBeLower = (c == RuleBelow) != descending;
            const int lowJ = Low(ruleJ), highJ = High(ruleJ);
            const bool holds = jMustBeLower ? lowJ <= lowI && highJ <= highI
                                            : lowJ >= lowI && highJ >= highI;
            if (!holds) return false;
        }
    }
    return true;
}

bool TMonotoneTable::IsConsistentOnGrid(const std::vector<std::string>& rules) const {
    // Every pair of comparable rules is one rule below another, so it is
    // enough to hold each entered rule against all entered rules below it
    // (itself included, which never fails): on an ascending output their
    // largest ends must not exceed its own, on a descending output their
    // smallest ends must not fall short of its own.
    const bool ascending = outputOrder_ != Descending;
    const int none = ascending ? NoLowerBound : NoUpperBound;
    std::vector<int> lows(rules.size(), none), highs(rules.size(), none);
    for (std::size_t r = 0; r < rules.size(); ++r) {
        if (!Entered(rules[r])) continue;
        lows[r] = Low(rules[r]);
        highs[r] = High(rules[r]);
    }
    Spread(lows, true, ascending);
    Spread(highs, true, ascending);
    for (std::size_t r = 0; r < rules.size(); ++r) {
        if (!Entered(rules[r])) continue;
        const int low = Low(rules[r]), high = High(rules[r]);
        const bool holds = ascending ? lows[r] <= low && highs[r] <= high : lows[r] >= low && highs[r] >= high;
        if (!holds) return false;
    }
    return true;
}

// --- derivation --------------------------------------------------------------

void TMonotoneTable::ClearNotEntered(std::vector<std::string>& rules) const {
    for (std::string& rule : rules)
        if (!Entered(rule)) SetInterval(rule, 0, TopIndex());
}

void TMonotoneTable::DeriveByMonotonicity(std::vector<std::string>& rules) const {
    std::vector<std::pair<int, int>> derived;
    const bool room = outputOrder_ != Unordered &&
                      (IsGrid(rules) ? DeriveOnGrid(rules, derived) : DerivePairwise(rules, derived));
    if (!room) {
        ClearNotEntered(rules);
        return;
    }
    for (std::size_t r = 0; r < rules.size(); ++r)
        if (!Entered(rules[r])) SetInterval(rules[r], derived[r].first, derived[r].second);
}

bool TMonotoneTable::DerivePairwise(const std::vector<std::string>& rules,
                                    std::vector<std::pair<int, int>>& out) const {
    // Ascending output: entered rules below bound the low end, those above
    // the high end; a descending output swaps the roles.
    const bool descending = outputOrder_ == Descending;
    const int lowSource = descending ? RuleAbove : RuleBelow;
    const int highSource = descending ? RuleBelow : RuleAbove;
    const std::vector<std::size_t> entered = EnteredRules(rules);
    out.assign(rules.size(), {0, TopIndex()});
    for (std::size_t i = 0; i < rules.size(); ++i) {
        if (Entered(rules[i])) continue;
        int low = 0;
        int high = TopIndex();
        for (std::size_t j : entered) {
            const std::string& other = rules[j];
            const int c = Compare(other, rules[i]);
            if (c == lowSource)
                low = std::max(low, Low(other));
            else if (c == highSource)
                high = std::min(high, High(other));
        }
        if (low > high) return false;
        out[i] = {low, high};
    }
    return true;
}

bool TMonotoneTable::DeriveOnGrid(const std::vector<std::string>& rules,
                                  std::vector<std::pair<int, int>>& out) const {
    // Ascending output: the low end is the largest low end of the entered
    // rules no better than the rule, the high end the smallest high end of
    // those no worse; a descending output swaps the directions.
    const bool ascending = outputOrder_ != Descending;
    std::vector<int> lows(rules.size(), NoLowerBound), highs(rules.size(), NoUpperBound);
    for (std::size_t r = 0; r < rules.size(); ++r) {
        if (!Entered(rules[r])) continue;
        lows[r] = Low(rules[r]);
        highs[r] = High(rules[r]);
    }
    Spread(lows, ascending, true);
    Spread(highs, !ascending, false);
    out.assign(rules.size(), {0, TopIndex()});
    for (std::size_t r = 0; r < rules.size(); ++r) {
        if (Entered(rules[r])) continue;
        const int low = std::max(lows[r], 0);
        const int high = std::min(highs[r], TopIndex());
        if (low > high) return false;
        out[r] = {low, high};
    }
    return true;
}

}  // namespace mivo
