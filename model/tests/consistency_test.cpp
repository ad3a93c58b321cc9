// Monotonicity of decision tables: dominance of rules, the consistency
// check and the derivation of rules that were not entered.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "model/Monotone.h"
#include "model/RunTime.h"
#include "model/tests/TableFixture.h"

namespace mivo {
namespace {

constexpr unsigned char Unordered = 0, Ascending = 1, Descending = 2;

using Rules = std::vector<std::string>;

// Two inputs of two values each; rules "00".."11" with the given intervals
// and entered flags.
Rules TwoByTwo(const std::vector<std::string>& tails) {
    const char* inputs[] = {"00", "01", "10", "11"};
    Rules rules;
    for (int i = 0; i < 4; ++i) rules.push_back(std::string(inputs[i]) + tails[static_cast<std::size_t>(i)]);
    return rules;
}

TEST(MonotoneCompare, Outcomes) {
    TMonotoneTable table({Ascending, Descending, Unordered}, Ascending, 3);
    struct Case {
        const char* a;
        const char* b;
        int expected;
    } cases[] = {
        {"000", "000", RuleEqual},
        {"000", "100", RuleBelow},
        {"100", "000", RuleAbove},
        {"010", "000", RuleBelow},         // descending input: higher index is worse
        {"100", "010", RuleAbove},         // better on both
        {"110", "000", RuleIncomparable},  // better on one, worse on the other
        {"001", "000", RuleIncomparable},  // differs on the unordered input
        {"101", "000", RuleIncomparable},
    };
    for (const Case& c : cases) EXPECT_EQ(table.Compare(c.a, c.b), c.expected) << c.a << " vs " << c.b;
}

TEST(MonotoneCompare, CharactersAboveAsciiCompareAsUnsigned) {
    TMonotoneTable table({Ascending}, Ascending, 3);
    const std::string high(1, static_cast<char>('0' + 200));
    EXPECT_EQ(table.Compare(high, "5"), RuleAbove);
    EXPECT_EQ(table.Compare("5", high), RuleBelow);
}

TEST(MonotoneCompare, ShortRuleRaisesRangeError) {
    TMonotoneTable table({Ascending, Ascending}, Ascending, 3);
    EXPECT_THROW(table.Compare("0", "00"), ERangeError);
}

TEST(MonotoneDerive, AscendingOutput) {
    TMonotoneTable table({Ascending, Ascending}, Ascending, 3);
    Rules rules = TwoByTwo({"00+", "02-", "02-", "22+"});
    table.DeriveByMonotonicity(rules);
    EXPECT_EQ(rules, TwoByTwo({"00+", "02-", "02-", "22+"}));

    rules = TwoByTwo({"11+", "02-", "02-", "11+"});
    table.DeriveByMonotonicity(rules);
    EXPECT_EQ(rules, TwoByTwo({"11+", "11-", "11-", "11+"}));
}

TEST(MonotoneDerive, DescendingOutput) {
    TMonotoneTable table({Ascending, Ascending}, Descending, 3);
    Rules rules = TwoByTwo({"22+", "02-", "02-", "00+"});
    EXPECT_TRUE(table.IsConsistent(rules));
    table.DeriveByMonotonicity(rules);
    EXPECT_EQ(rules, TwoByTwo({"22+", "02-", "02-", "00+"}));

    rules = TwoByTwo({"11+", "02-", "02-", "11+"});
    table.DeriveByMonotonicity(rules);
    EXPECT_EQ(rules, TwoByTwo({"11+", "11-", "11-", "11+"}));
}

TEST(MonotoneDerive, OneSidedBoundsAndNoBounds) {
    TMonotoneTable table({Ascending, Ascending}, Ascending, 3);
    // Only "00" entered with 1: every other rule is above it, low end 1.
    Rules rules = TwoByTwo({"11+", "02-", "02-", "02-"});
    table.DeriveByMonotonicity(rules);
    EXPECT_EQ(rules, TwoByTwo({"11+", "12-", "12-", "12-"}));

    // "01" entered: "10" is incomparable to it and keeps the whole scale,
    // even when it held a narrower interval before.
    rules = TwoByTwo({"02-", "11+", "11-", "02-"});
    table.DeriveByMonotonicity(rules);
    EXPECT_EQ(rules, TwoByTwo({"01-", "11+", "02-", "12-"}));
}

TEST(MonotoneDerive, BoundsFromTheNearestEnteredRules) {
    // One input of four values, output of four: "0" = 0..1 and "2" = 1..2
    // entered. "1" lies between them (low 0 from below, high 2 from above);
    // "3" is above both, so its low end is the larger one.
    TMonotoneTable table({Ascending}, Ascending, 4);
    Rules rules = {"001+", "100-", "212+", "333-"};
    table.DeriveByMonotonicity(rules);
    EXPECT_EQ(rules, (Rules{"001+", "102-", "212+", "313-"}));
}

TEST(MonotoneDerive, NoRoomClearsEveryRuleNotEntered) {
    // "00" = 2 and "11" = 0 leave "01" no interval; "10", derived earlier
    // or later, returns to the whole scale as well.
    TMonotoneTable table({Ascending, Ascending}, Ascending, 3);
    Rules rules = TwoByTwo({"22+", "11-", "11-", "00+"});
    EXPECT_FALSE(table.IsConsistent(rules));
    table.DeriveByMonotonicity(rules);
    EXPECT_EQ(rules, TwoByTwo({"22+", "02-", "02-", "00+"}));
}

TEST(MonotoneDerive, UnorderedOutputGetsWholeScale) {
    TMonotoneTable table({Ascending, Ascending}, Unordered, 3);
    Rules rules = TwoByTwo({"22+", "11-", "00-", "00+"});
    EXPECT_TRUE(table.IsConsistent(rules));
    table.DeriveByMonotonicity(rules);
    EXPECT_EQ(rules, TwoByTwo({"22+", "02-", "02-", "00+"}));
}

TEST(MonotoneConsistency, Cases) {
    struct Case {
        std::vector<unsigned char> inputs;
        unsigned char output;
        std::vector<std::string> tails;
        bool consistent;
    } cases[] = {
        {{Ascending, Ascending}, Ascending, {"00+", "02-", "02-", "22+"}, true},
        {{Ascending, Ascending}, Ascending, {"22+", "02-", "02-", "00+"}, false},
        // Rules not entered never count, however wrong they look.
        {{Ascending, Ascending}, Ascending, {"11+", "00-", "22-", "11+"}, true},
        // Equal low ends, but the high end of the lower rule is higher.
        {{Ascending, Ascending}, Ascending, {"02+", "02-", "02-", "11+"}, false},
        {{Ascending, Ascending}, Descending, {"00+", "02-", "02-", "22+"}, false},
        {{Ascending, Ascending}, Descending, {"22+", "02-", "02-", "00+"}, true},
        // Descending input turns "00" into the better rule.
        {{Descending, Descending}, Ascending, {"22+", "02-", "02-", "00+"}, true},
        // "00" and "11" differ on an unordered input: no condition links them.
        {{Unordered, Ascending}, Ascending, {"22+", "02-", "02-", "00+"}, true},
        // But "10" and "11" still compare on the ordered input.
        {{Unordered, Ascending}, Ascending, {"02-", "02-", "22+", "00+"}, false},
    };
    for (const Case& c : cases) {
        TMonotoneTable table(c.inputs, c.output, 3);
        EXPECT_EQ(table.IsConsistent(TwoByTwo(c.tails)), c.consistent)
            << c.tails[0] << " " << c.tails[1] << " " << c.tails[2] << " " << c.tails[3];
    }
}

// A complete table in canonical order is handled as a grid; the result
// must be that of comparing every pair of rules.
TEST(MonotoneGrid, AgreesWithPairwiseComparison) {
    std::mt19937 random(20240611);
    const std::vector<int> sizes = {3, 2, 4};
    int inconsistent = 0, noRoom = 0;
    for (int round = 0; round < 400; ++round) {
        std::vector<unsigned char> orders;
        for (std::size_t k = 0; k < sizes.size(); ++k)
            orders.push_back(static_cast<unsigned char>(random() % 3));
        const unsigned char output = static_cast<unsigned char>(1 + random() % 2);
        const int m = 2 + static_cast<int>(random() % 4);
        const unsigned enteredShare = 1 + random() % 6;  // of 8

        Rules rules;
        for (int a = 0; a < sizes[0]; ++a)
            for (int b = 0; b < sizes[1]; ++b)
                for (int c = 0; c < sizes[2]; ++c) {
                    int low = static_cast<int>(random() % static_cast<unsigned>(m));
                    int high = static_cast<int>(random() % static_cast<unsigned>(m));
                    if (low > high) std::swap(low, high);
                    const bool entered = random() % 8 < enteredShare;
                    rules.push_back({char('0' + a), char('0' + b), char('0' + c), char('0' + low),
                                     char('0' + high), entered ? '+' : '-'});
                }

        const TMonotoneTable pairwise(orders, output, m);
        const TMonotoneTable grid(orders, output, m, sizes);
        const bool consistent = pairwise.IsConsistent(rules);
        ASSERT_EQ(grid.IsConsistent(rules), consistent) << "round " << round;
        if (!consistent) ++inconsistent;

        Rules byPairs = rules, byGrid = rules;
        pairwise.DeriveByMonotonicity(byPairs);
        grid.DeriveByMonotonicity(byGrid);
        ASSERT_EQ(byGrid, byPairs) << "round " << round;
        Rules cleared = rules;
        pairwise.ClearNotEntered(cleared);
        if (byPairs == cleared) ++noRoom;
    }
    // Both outcomes occur often enough to have been compared.
    EXPECT_GT(inconsistent, 50);
    EXPECT_LT(inconsistent, 350);
    EXPECT_GT(noRoom, 20);
}

TEST(MonotoneGrid, TableOutOfOrderFallsBackToPairs) {
    // Canonical content but "10" and "01" exchanged: same result as pairs.
    TMonotoneTable grid({Ascending, Ascending}, Ascending, 3, {2, 2});
    Rules rules = {"0000+", "1002-", "0102-", "1122+"};
    grid.DeriveByMonotonicity(rules);
    EXPECT_EQ(rules, (Rules{"0000+", "1002-", "0102-", "1122+"}));
    rules = {"0011+", "1002-", "0102-", "1111+"};
    grid.DeriveByMonotonicity(rules);
    EXPECT_EQ(rules, (Rules{"0011+", "1011-", "0111-", "1111+"}));
}

// --- the decision table's own operations --------------------------------

using fixture::TTable;

TEST(FunctionConsistency, CompareRulesFollowsInputScaleOrders) {
    TTable t({{2, soAscending}, {2, soDescending}}, {3});
    TMivoFunction& f = t.F();
    EXPECT_EQ(f.CompareRules(t.Find("00"), t.Find("10")), RuleBelow);
    EXPECT_EQ(f.CompareRules(t.Find("01"), t.Find("00")), RuleBelow);
    EXPECT_EQ(f.CompareRules(t.Find("10"), t.Find("01")), RuleAbove);
    EXPECT_EQ(f.CompareRules(t.Find("11"), t.Find("00")), RuleIncomparable);
    EXPECT_EQ(f.CompareRules(t.Find("11"), t.Find("11")), RuleEqual);
    EXPECT_THROW(f.CompareRules(0, f.RuleCount()), EListError);
}

TEST(FunctionConsistency, UpdateDerivesFromEnteredRules) {
    struct Case {
        std::uint8_t outputOrder;
        int low00, high00, low11, high11;
        const char* derived;  // interval of "01" and "10"
    } cases[] = {
        {soAscending, 0, 0, 2, 2, "02"},
        {soAscending, 1, 1, 1, 1, "11"},
        {soAscending, 0, 1, 1, 2, "02"},
        {soDescending, 2, 2, 0, 0, "02"},
        {soDescending, 1, 1, 1, 1, "11"},
        {soDescending, 2, 2, 1, 1, "12"},
    };
    for (const Case& c : cases) {
        TTable t({{2}, {2}}, {3, c.outputOrder});
        t.Enter("00", c.low00, c.high00);
        t.Enter("11", c.low11, c.high11);
        t.F().Update(false);
        EXPECT_EQ(t.F().ConsistState, 1);
        EXPECT_TRUE(t.F().Consist);
        EXPECT_EQ(t.Interval("01"), c.derived) << int(c.outputOrder) << " " << c.low00 << c.low11;
        EXPECT_EQ(t.Interval("10"), c.derived);
        EXPECT_EQ(t.F().EnteredCount(), 2);
    }
}

TEST(FunctionConsistency, InconsistencyIsRecordedAndSwitchesDerivationOff) {
    TTable t({{2}, {2}}, {3});
    TMivoFunction& f = t.F();
    t.Enter("00", 2);
    t.Enter("11", 0);
    // A narrowed rule that must return to the whole scale.
    f.SetRuleValue(t.Find("01"), 1);
    EXPECT_FALSE(f.IsConsistent());
    EXPECT_NO_THROW(f.Update(false));
    EXPECT_EQ(f.ConsistState, -1);
    EXPECT_FALSE(f.Consist);
    EXPECT_EQ(t.Interval("01"), "02");
    EXPECT_EQ(t.Interval("10"), "02");
    // The entered rules stay as they are.
    EXPECT_EQ(t.Interval("00"), "22");
    EXPECT_EQ(t.Interval("11"), "00");

    // Repaired, the state follows, but derivation stays off until the
    // user switches it on again.
    f.SetRuleValue(t.Find("11"), 2);
    f.Update(false);
    EXPECT_EQ(f.ConsistState, 1);
    EXPECT_FALSE(f.Consist);
    EXPECT_EQ(t.Interval("01"), "02");
    f.Consist = true;
    f.Update(false);
    EXPECT_EQ(t.Interval("01"), "22");
}

TEST(FunctionConsistency, NoDeriveRefreshesOnlyTheState) {
    TTable t({{2}, {2}}, {3});
    TMivoFunction& f = t.F();
    EXPECT_EQ(f.ConsistState, 0);
    t.Enter("00", 1);
    f.SetRuleValue(t.Find("11"), 0);  // not entered, against the entered rule
    f.Update(true);
    EXPECT_EQ(f.ConsistState, 1);
    EXPECT_EQ(t.Interval("11"), "00");
    EXPECT_EQ(t.Interval("01"), "02");
}

TEST(FunctionConsistency, UnorderedScales) {
    // Unordered output: always consistent, rules not entered get the
    // whole scale.
    TTable unorderedOutput({{2}, {2}}, {3, soUnordered});
    unorderedOutput.Enter("00", 2);
    unorderedOutput.Enter("11", 0);
    unorderedOutput.F().SetRuleValue(unorderedOutput.Find("01"), 1);
    unorderedOutput.F().Update(false);
    EXPECT_EQ(unorderedOutput.F().ConsistState, 1);
    EXPECT_TRUE(unorderedOutput.F().Consist);
    EXPECT_EQ(unorderedOutput.Interval("01"), "02");

    // Unordered first input: "00" and "11" are incomparable; "01" is
    // bounded from below by "00" only.
    TTable unorderedInput({{2, soUnordered}, {2}}, {3});
    unorderedInput.Enter("00", 2);
    unorderedInput.Enter("11", 0);
    unorderedInput.F().Update(false);
    EXPECT_EQ(unorderedInput.F().ConsistState, 1);
    EXPECT_EQ(unorderedInput.Interval("01"), "22");
    EXPECT_EQ(unorderedInput.Interval("10"), "00");
}

}  // namespace
}  // namespace mivo
