// Compact rules: the listed boxes, checked by hand on small tables and
// against the plain depth-first search (no remembered boxes) on random ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "model/CompactRules.h"
#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoScale.h"
#include "model/MivoSettings.h"
#include "model/tests/TableFixture.h"

namespace mivo {
namespace {

using fixture::TTable;
using Strings = std::vector<std::string>;

TMivoSettings EnteredOnly(bool on) {
    TMivoSettings s;
    s.EnteredOnly = on;
    return s;
}

bool Allows(const TMivoFunction& f, int r, int v) { return f.RuleLow(r) <= v && v <= f.RuleHigh(r); }

bool Inside(const std::string& rule, const std::string& lo, const std::string& hi) {
    for (std::size_t k = 0; k < lo.size(); ++k) {
        const auto x = static_cast<unsigned char>(rule[k]);
        if (x < static_cast<unsigned char>(lo[k]) || x > static_cast<unsigned char>(hi[k])) return false;
    }
    return true;
}

bool BoxHolds(const TMivoFunction& f, int v, const std::string& lo, const std::string& hi) {
    for (int r = 0; r < f.RuleCount(); ++r)
        if (Inside(f.Rules().Get(r), lo, hi) && !Allows(f, r, v)) return false;
    return true;
}

// The search exactly as described, without remembering explored boxes.
Strings PlainSearch(const TMivoFunction& f, int v, bool enteredOnly) {
    const std::size_t n = static_cast<std::size_t>(f.ArgCount());
    std::vector<int> sizes;
    for (std::size_t k = 0; k < n; ++k) sizes.push_back(f.Attribute()->Inputs(static_cast<int>(k))->ScaleSize());
    Strings seeds;
    for (int r = 0; r < f.RuleCount(); ++r)
        if (Allows(f, r, v) && (!enteredOnly || f.RuleEntered(r))) seeds.push_back(f.Rules().Get(r).substr(0, n));
    std::sort(seeds.begin(), seeds.end());  // value bytes below 'A': text order is byte order

    Strings result;
    std::function<bool(std::string&, std::string&)> grow = [&](std::string& lo, std::string& hi) {
        if (!BoxHolds(f, v, lo, hi)) return false;
        bool extended = false;
        for (std::size_t k = 0; k < n; ++k) {
            if (CharValue(hi[k]) >= sizes[k] - 1) continue;
            ++hi[k];
            if (grow(lo, hi)) extended = true;
            --hi[k];
        }
        for (std::size_t k = 0; k < n; ++k) {
            if (lo[k] <= '0') continue;
            --lo[k];
            if (grow(lo, hi)) extended = true;
            ++lo[k];
        }
        if (!extended && std::find(result.begin(), result.end(), lo + hi) == result.end()) result.push_back(lo + hi);
        return true;
    };
    while (!seeds.empty()) {
        std::string lo = seeds.front(), hi = seeds.front();
        grow(lo, hi);
        for (const std::string& box : result)
            for (std::size_t s = seeds.size(); s-- > 0;)
                if (Inside(seeds[s], box.substr(0, n), box.substr(n))) seeds.erase(seeds.begin() + static_cast<long>(s));
    }
    return result;
}

// --- small tables by hand ----------------------------------------------------------------

// A table over inputs of the given sizes whose rules allow v exactly where
// `allows` lists their input bytes; every other rule gets the value 1.
void AllowOnly(TTable& t, const Strings& allows, int v = 0) {
    for (int r = 0; r < t.F().RuleCount(); ++r) {
        const std::string inputs = t.F().Rules().Get(r).substr(0, static_cast<std::size_t>(t.F().ArgCount()));
        t.F().SetRuleValue(r, std::find(allows.begin(), allows.end(), inputs) != allows.end() ? v : 1);
        t.F().SetRuleEntered(r, true);
    }
}

TEST(CompactRules, HandCases) {
    struct Case {
        std::vector<fixture::TScaleShape> inputs;
        Strings allows;
        Strings boxes;
    };
    const Case cases[] = {
        {{{2}, {2}}, {"00", "11"}, {"0000", "1111"}},
        {{{2}, {2}}, {"00", "01", "10"}, {"0010", "0001"}},
        {{{2}, {2}}, {}, {}},
        {{{3}, {2}}, {"00", "01", "10", "11", "20", "21"}, {"0021"}},
        // An L shape over 3 x 3: two maximal boxes through the corner.
        {{{3}, {3}}, {"00", "01", "02", "10", "20"}, {"0020", "0002"}},
    };
    for (const Case& c : cases) {
        TTable t(c.inputs, {3});
        AllowOnly(t, c.allows);
        EXPECT_EQ(CompactRules(t.F(), 0, TMivoSettings()), c.boxes) << ::testing::PrintToString(c.allows);
    }
}

TEST(CompactRules, WholeTableAllowingTheValueIsOneBox) {
    TTable t({{2}, {4}, {3}}, {3});  // every rule has the whole scale
    for (int v = 0; v < 3; ++v) EXPECT_EQ(CompactRules(t.F(), v, TMivoSettings()), Strings{"000132"}) << v;
    EXPECT_TRUE(CompactRules(t.F(), 3, TMivoSettings()).empty());
}

TEST(CompactRules, EnteredOnlyLimitsTheSeedsButNotTheBoxes) {
    TTable t({{2}, {2}}, {3});
    AllowOnly(t, {"00", "01", "10"});
    t.F().SetRuleEntered(t.Find("01"), false);  // still allows 0
    // Without the setting "01" needs a cover; with it only "00" and "10" do,
    // and "01" still lies inside the box it allows.
    EXPECT_EQ(CompactRules(t.F(), 0, EnteredOnly(false)), (Strings{"0010", "0001"}));
    EXPECT_EQ(CompactRules(t.F(), 0, EnteredOnly(true)), (Strings{"0010", "0001"}));
    t.F().SetRuleEntered(t.Find("00"), false);
    EXPECT_EQ(CompactRules(t.F(), 0, EnteredOnly(true)), (Strings{"0010"}));
}

TEST(CompactRules, NothingWithoutATable) {
    TMivoFunction empty;
    EXPECT_TRUE(CompactRules(empty, 0, TMivoSettings()).empty());
    TTable t({{2}, {2}}, {3});
    // An input left with one value: the attribute cannot have a table.
    dynamic_cast<TMivoDiscreteScale&>(*t.Root().Inputs(1)->Scale()).DeleteValue(1);
    EXPECT_TRUE(CompactRules(t.F(), 0, TMivoSettings()).empty());
}

TEST(CompactRules, TwoRulesWithTheSameInputsDoNotStallTheSearch) {
    TTable t({{2}}, {2});
    TStrList& rules = t.F().EditRules();
    rules.Clear();
    for (const char* rule : {"000-", "011-", "101-"}) rules.Add(rule);
    // Seed "0" is blocked by the second rule of the same inputs.
    EXPECT_EQ(CompactRules(t.F(), 0, TMivoSettings()), Strings{"11"});
}

// --- random tables -------------------------------------------------------------------------

TEST(CompactRules, RandomTablesMatchThePlainSearchAndCoverExactly) {
    std::mt19937 random(20240611);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int round = 0; round < 300; ++round) {
        std::vector<fixture::TScaleShape> inputs(static_cast<std::size_t>(pick(1, 3)));
        for (auto& shape : inputs) shape.Size = pick(2, 4);
        const int m = pick(2, 4);
        TTable t(inputs, {m});
        TMivoFunction& f = t.F();
        for (int r = 0; r < f.RuleCount(); ++r) {
            const int low = pick(0, m - 1);
            f.SetRuleLow(r, low);
            f.SetRuleHigh(r, pick(0, 2) == 0 ? pick(low, m - 1) : low);
            f.SetRuleEntered(r, pick(0, 3) != 0);
        }
        const std::size_t n = inputs.size();
        for (bool entered_only : {false, true}) {
            for (int v = 0; v < m; ++v) {
                const Strings boxes = CompactRules(f, v, EnteredOnly(entered_only));
                ASSERT_EQ(boxes, PlainSearch(f, v, entered_only)) << "round " << round << " value " << v;
                for (const std::string& box : boxes) {
                    std::string lo = box.substr(0, n), hi = box.substr(n);
                    ASSERT_TRUE(BoxHolds(f, v, lo, hi)) << box;
                    for (std::size_t k = 0; k < n; ++k) {
                        if (CharValue(hi[k]) < inputs[k].Size - 1) {
                            ++hi[k];
                            EXPECT_FALSE(BoxHolds(f, v, lo, hi)) << box << " not maximal";
                            --hi[k];
                        }
                        if (lo[k] > '0') {
                            --lo[k];
                            EXPECT_FALSE(BoxHolds(f, v, lo, hi)) << box << " not maximal";
                            ++lo[k];
                        }
                    }
                }
                // Every rule to cover lies in a box.
                for (int r = 0; r < f.RuleCount(); ++r) {
                    if (!Allows(f, r, v) || (entered_only && !f.RuleEntered(r))) continue;
                    const std::string& rule = f.Rules().Get(r);
                    EXPECT_TRUE(std::any_of(boxes.begin(), boxes.end(), [&](const std::string& box) {
                        return Inside(rule, box.substr(0, n), box.substr(n));
                    })) << rule << " not covered";
                }
            }
        }
    }
}

}  // namespace
}  // namespace mivo
