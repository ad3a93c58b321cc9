// Rule and option-value rewrites after scale and input edits: every rule and
// every value keeps its meaning, and an insert followed by the matching
// delete gives back what was there.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoScale.h"
#include "model/RuleAdjust.h"
#include "model/tests/TableFixture.h"

namespace mivo {
namespace {

using fixture::TTable;

std::vector<std::string> RuleStrings(const TMivoFunction& f) {
    std::vector<std::string> out;
    for (int r = 0; r < f.RuleCount(); ++r) out.push_back(f.Rules().Get(r));
    return out;
}

TMivoDiscreteScale& ScaleOf(TMivoAttribute& a) { return dynamic_cast<TMivoDiscreteScale&>(*a.Scale()); }

bool IsCanonical(const TMivoFunction& f) {
    const auto rules = RuleStrings(f);
    return std::is_sorted(rules.begin(), rules.end());
}

// Inserts value v into the scale of input p and adjusts the table, as the
// scale editor does.
void InsertInputValue(TTable& t, int p, int v) {
    ScaleOf(*t.Root().Inputs(p)).InsertValue(v, "new");
    InsertArgValue(t.F(), p, v);
}
void DeleteInputValue(TTable& t, int p, int v) {
    ScaleOf(*t.Root().Inputs(p)).DeleteValue(v);
    DeleteArgValue(t.F(), p, v);
}

// --- inputs' scales ----------------------------------------------------------

TEST(InsertArgValue, FirstValueMovesOldRulesUpAndDerivesTheNewOnes) {
    TTable t({{2}, {2}}, {3});
    t.Enter("00", 1);
    t.Enter("11", 2);
    t.F().Update(false);

    InsertInputValue(t, 0, 0);
    EXPECT_EQ(RuleStrings(t.F()),
              (std::vector<std::string>{"0001-", "0102-", "1011+", "1112-", "2012-", "2122+"}));
    // The new rules for value 0 are worse than "10" on input 0 and so get
    // at most its result; "01" is incomparable with "10" and below "21".
    EXPECT_EQ(t.F().ConsistState, 1);
}

TEST(InsertArgValue, AppendedValueKeepsOldBytesAndAddsOneRulePerCombination) {
    TTable t({{2}, {3}}, {3});
    t.Enter("02", 2);
    const std::vector<std::string> before = RuleStrings(t.F());

    InsertInputValue(t, 0, 2);  // value 2 appended to input 0
    const std::vector<std::string> after = RuleStrings(t.F());
    ASSERT_EQ(after.size(), 9u);
    EXPECT_TRUE(IsCanonical(t.F()));
    // The first six rules are the old ones, unchanged but for derivation of
    // rules not entered.
    EXPECT_EQ(after[2], before[2]);
    for (int r = 6; r < 9; ++r) {
        EXPECT_EQ(after[static_cast<std::size_t>(r)][0], '2');
        EXPECT_EQ(after[static_cast<std::size_t>(r)].back(), '-');
    }
    // "22" lies above the entered "02" = 2.
    EXPECT_EQ(t.Interval("22"), "22");
}

TEST(DeleteArgValue, LastValueRemovesOneRulePerCombinationOfTheOthers) {
    TTable t({{3}, {2}}, {3});
    t.Enter("10", 1);
    t.Enter("21", 2);
    DeleteInputValue(t, 0, 2);
    EXPECT_EQ(t.F().RuleCount(), 4);
    EXPECT_EQ(RuleStrings(t.F())[2], "1011+");
    EXPECT_TRUE(IsCanonical(t.F()));

    DeleteInputValue(t, 1, 0);  // value 0 of the last input: "x1" -> "x0"
    EXPECT_EQ(RuleStrings(t.F()), (std::vector<std::string>{"0002-", "1002-"}));
}

TEST(InputValueEdits, InsertThenDeleteRestoresTheTableAtEveryPositionAndValue) {
    for (int p = 0; p < 3; ++p) {
        for (int v = 0; v <= 3; ++v) {
            TTable t({{2}, {3}, {2}}, {4});
            if (v > t.Root().Inputs(p)->ScaleSize()) continue;
            t.Enter("000", 0);
            t.Enter("121", 3);
            t.Enter("110", 1, 2);
            t.F().Update(false);
            const std::vector<std::string> before = RuleStrings(t.F());

            InsertInputValue(t, p, v);
            const int size = t.Root().Inputs(p)->ScaleSize();  // with the new value
            EXPECT_EQ(t.F().RuleCount(), static_cast<int>(before.size()) / (size - 1) * size);
            EXPECT_TRUE(IsCanonical(t.F()));
            EXPECT_EQ(t.F().EnteredCount(), 3);

            DeleteInputValue(t, p, v);
            EXPECT_EQ(RuleStrings(t.F()), before) << "position " << p << ", value " << v;
        }
    }
}

// --- own scale -----------------------------------------------------------------

// A table of three rules over one input of three values whose intervals are
// set to the given low..high pairs; entered when `entered`.
struct TIntervalTable {
    TTable table{{{3}}, {3}};
    TIntervalTable(const std::vector<std::pair<int, int>>& intervals, bool entered = true) {
        for (int r = 0; r < 3; ++r) {
            table.F().SetRuleLow(r, intervals[static_cast<std::size_t>(r)].first);
            table.F().SetRuleHigh(r, intervals[static_cast<std::size_t>(r)].second);
            table.F().SetRuleEntered(r, entered);
        }
    }
    std::vector<std::string> Results() const {
        std::vector<std::string> out;
        for (int r = 0; r < 3; ++r) out.push_back(table.Interval(std::string(1, ValueChar(r))));
        return out;
    }
};

TEST(InsertFunctValue, EachEndMovesByItself) {
    TIntervalTable t({{0, 2}, {2, 2}, {0, 0}});
    ScaleOf(t.table.Root()).InsertValue(1, "new");
    InsertFunctValue(t.table.F(), 1);
    EXPECT_EQ(t.Results(), (std::vector<std::string>{"03", "33", "00"}));
    EXPECT_EQ(t.table.F().EnteredCount(), 3);
}

TEST(DeleteFunctValue, IntervalsLoseTheValue) {
    TIntervalTable t({{0, 2}, {2, 2}, {1, 2}});
    ScaleOf(t.table.Root()).DeleteValue(1);
    DeleteFunctValue(t.table.F(), 1);
    EXPECT_EQ(t.Results(), (std::vector<std::string>{"01", "11", "11"}));
    EXPECT_EQ(t.table.F().EnteredCount(), 3);
}

TEST(DeleteFunctValue, IntervalOfTheDeletedValueAloneBecomesWholeScaleNotEntered) {
    struct Case {
        int deleted;
        std::vector<std::pair<int, int>> intervals;
        std::vector<std::string> results;
    };
    const Case cases[] = {
        {1, {{1, 1}, {0, 0}, {2, 2}}, {"01", "00", "11"}},
        {0, {{0, 0}, {0, 1}, {1, 2}}, {"01", "00", "01"}},  // never a high end of -1
        {2, {{2, 2}, {0, 2}, {1, 1}}, {"01", "01", "11"}},
    };
    for (const Case& c : cases) {
        TIntervalTable t(c.intervals);
        ScaleOf(t.table.Root()).DeleteValue(c.deleted);
        DeleteFunctValue(t.table.F(), c.deleted);
        EXPECT_EQ(t.Results(), c.results) << "deleted " << c.deleted;
        EXPECT_FALSE(t.table.F().RuleEntered(0)) << "deleted " << c.deleted;
        EXPECT_EQ(t.table.F().EnteredCount(), 2);
    }
    // The next update derives the cleared rule from its neighbours.
    TIntervalTable t({{0, 0}, {1, 1}, {2, 2}});
    ScaleOf(t.table.Root()).DeleteValue(1);
    DeleteFunctValue(t.table.F(), 1);
    t.table.F().Update(false);
    EXPECT_EQ(t.Results(), (std::vector<std::string>{"00", "01", "11"}));
}

TEST(OwnValueEdits, InsertThenDeleteRestoresEveryInterval) {
    for (int v = 0; v <= 3; ++v) {
        TIntervalTable t({{0, 2}, {1, 1}, {2, 2}});
        t.table.F().SetRuleEntered(1, false);
        const std::vector<std::string> before = RuleStrings(t.table.F());
        ScaleOf(t.table.Root()).InsertValue(v, "new");
        InsertFunctValue(t.table.F(), v);
        ScaleOf(t.table.Root()).DeleteValue(v);
        DeleteFunctValue(t.table.F(), v);
        EXPECT_EQ(RuleStrings(t.table.F()), before) << "value " << v;
    }
}

// --- moving inputs ----------------------------------------------------------------

TEST(ExchangeArgs, RestoresCanonicalOrderAndKeepsResultsAndWeightsWithTheirInputs) {
    TTable t({{3}, {2}}, {6});
    // A distinct result per rule: the rule's position.
    for (int r = 0; r < 6; ++r) t.F().SetRuleValue(r, r);
    t.F().SetRuleEntered(3, true);
    t.F().RequiredWeights = {70, 30};
    const std::vector<std::string> before = RuleStrings(t.F());

    t.Root().MoveInputDown(0);
    ExchangeArgs(t.F(), 1, 2);
    // Rules "00" "01" "02" "10" "11" "12" with the results that "00" "10"
    // "20" "01" "11" "21" had.
    EXPECT_EQ(RuleStrings(t.F()),
              (std::vector<std::string>{"0000-", "0122-", "0244-", "1011-", "1133+", "1255-"}));
    EXPECT_EQ(t.F().RequiredWeights, (TFloatList{30, 70}));
    // The table still evaluates as before: in1 = 1, in0 = 2 is the old "21".
    EXPECT_EQ(t.F().Evaluate({"1", "2"}), "5");

    t.Root().MoveInputUp(1);
    ExchangeArgs(t.F(), 2, 1);
    EXPECT_EQ(RuleStrings(t.F()), before);
    EXPECT_EQ(t.F().RequiredWeights, (TFloatList{70, 30}));
}

// --- option values -------------------------------------------------------------------

TEST(OptionValues, InsertAndDeleteShiftTheValueBytes) {
    struct Case {
        std::string value;
        int v;
        std::string inserted;  // after ValuesAfterInsert (v)
        std::string deleted;   // after ValuesAfterDelete (v)
    };
    const Case cases[] = {
        {"13", 2, "14", "12"},  // insert: 3 moves up; delete: 2 absent, 3 moves down
        {"13", 1, "24", "2"},
        {"*", 0, "*", "*"},
        {"", 0, "", ""},
        {"0", 0, "1", ""},  // the only value deleted: undefined
        {"012", 3, "012", "012"},
    };
    for (const Case& c : cases) {
        TMivoAttribute a("a");
        a.SetOptValue(0, "2");
        a.SetOptValue(1, c.value);
        TMivoAttribute b("b");
        b.SetOptValue(0, "2");
        b.SetOptValue(1, c.value);
        ValuesAfterInsert(a, c.v);
        EXPECT_EQ(a.GetOptValue(1), c.inserted) << c.value << " insert " << c.v;
        ValuesAfterDelete(b, c.v);
        EXPECT_EQ(b.GetOptValue(1), c.deleted) << c.value << " delete " << c.v;
        // Insert then delete of the same value gives back the original.
        ValuesAfterDelete(a, c.v);
        EXPECT_EQ(a.GetOptValue(1), c.value);
        EXPECT_EQ(a.GetOptValue(0), "2");
    }
}

// --- the scale editor's sequence over a tree -------------------------------------------

TEST(ScaleEditorSequence, InsertThenDeleteRestoresTablesAndOptionValues) {
    // top over (mid, x); mid over (a, b).
    TMivoAttribute top("top");
    top.SetScale(fixture::MakeScale({3}));
    auto mid_owner = std::make_unique<TMivoAttribute>("mid");
    mid_owner->SetScale(fixture::MakeScale({3}));
    TMivoAttribute* mid = top.AddInput(std::move(mid_owner));
    for (const char* name : {"a", "b"}) {
        auto input = std::make_unique<TMivoAttribute>(name);
        input->SetScale(fixture::MakeScale({2}));
        mid->AddInput(std::move(input));
    }
    auto x = std::make_unique<TMivoAttribute>("x");
    x->SetScale(fixture::MakeScale({2}));
    top.AddInput(std::move(x));
    TMivoFunction* own = mid->CreateFunction();
    TMivoFunction* parent = top.CreateFunction();
    ASSERT_TRUE(own && parent);
    own->SetRuleValue(0, 0);
    own->SetRuleEntered(0, true);
    own->SetRuleLow(3, 1);
    own->SetRuleEntered(3, true);
    parent->SetRuleValue(0, 0);
    parent->SetRuleEntered(0, true);
    parent->SetRuleValue(5, 2);
    parent->SetRuleEntered(5, true);
    own->Update(false);
    parent->Update(false);
    mid->SetOptValue(0, "2");
    mid->SetOptValue(1, "01");
    mid->SetOptValue(2, "*");
    const std::vector<std::string> own_before = RuleStrings(*own);
    const std::vector<std::string> parent_before = RuleStrings(*parent);
    const std::vector<std::string> values_before = mid->Values().ToVector();

    for (int v = 0; v <= 3; ++v) {
        ScaleOf(*mid).InsertValue(v, "new");
        ValuesAfterInsert(*mid, v);
        InsertFunctValue(*own, v);
        InsertArgValue(*parent, top.InputIndex(mid), v);
        EXPECT_EQ(parent->RuleCount(), 8);

        ScaleOf(*mid).DeleteValue(v);
        ValuesAfterDelete(*mid, v);
        DeleteFunctValue(*own, v);
        DeleteArgValue(*parent, top.InputIndex(mid), v);
        EXPECT_EQ(RuleStrings(*own), own_before) << "value " << v;
        EXPECT_EQ(RuleStrings(*parent), parent_before) << "value " << v;
        EXPECT_EQ(mid->Values(), values_before) << "value " << v;
    }
}

// --- errors ----------------------------------------------------------------------------

TEST(RuleAdjustErrors, ValueBeyondTheByteRangeOverflowsAndChangesNothing) {
    const char top = ValueChar(MaxScaleValues - 1);
    TMivoAttribute a("a");
    a.SetOptValue(0, std::string("0") + top);
    EXPECT_THROW(ValuesAfterInsert(a, 1), EIntOverflow);
    EXPECT_EQ(a.GetOptValue(0), std::string("0") + top);

    TTable t({{2}, {2}}, {MaxScaleValues});
    const std::vector<std::string> before = RuleStrings(t.F());  // high ends at 207
    EXPECT_THROW(InsertFunctValue(t.F(), 5), EIntOverflow);
    EXPECT_EQ(RuleStrings(t.F()), before);
    EXPECT_THROW(InsertArgValue(t.F(), 0, MaxScaleValues), EIntOverflow);
    EXPECT_EQ(RuleStrings(t.F()), before);
    EXPECT_THROW(InsertArgValue(t.F(), 2, 0), ERangeError);
    EXPECT_THROW(ExchangeArgs(t.F(), 0, 1), ERangeError);
    EXPECT_EQ(RuleStrings(t.F()), before);
}

}  // namespace
}  // namespace mivo
