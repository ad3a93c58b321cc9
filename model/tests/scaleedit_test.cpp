// Scale edits: value names, bad/good classes, value remaps and the scale
// editor's working state, which changes nothing in the model before it is
// handed over.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/MivoAttribute.h"
#include "model/MivoFile.h"
#include "model/MivoFunction.h"
#include "model/MivoModel.h"
#include "model/MivoObject.h"
#include "model/MivoScale.h"
#include "model/RunTime.h"
#include "model/ScaleEdit.h"
#include "model/tests/TableFixture.h"

namespace mivo {
namespace {

using fixture::MakeScale;
using fixture::TTable;

std::vector<std::string> RuleStrings(const TMivoFunction& f) {
    std::vector<std::string> out;
    for (int r = 0; r < f.RuleCount(); ++r) out.push_back(f.Rules().Get(r));
    return out;
}

std::vector<std::string> Snapshot(TMivoModel& model) {
    std::vector<std::string> lines;
    SaveToStrings(model, lines);
    return lines;
}

// The fixture: Car (Cost x Safety), Cost (Price x Upkeep), four options.
struct TThreeLevels {
    TMivoModel Model;
    TMivoAttribute* Car;
    TMivoAttribute* Cost;
    TMivoAttribute* Price;
    TMivoAttribute* Upkeep;
    TMivoAttribute* Safety;

    TThreeLevels() {
        LoadFromFile(Model, MIVO_TEST_DATA "/model/three-levels.mvo");
        Car = Model.FindByName("Car");
        Cost = Model.FindByName("Cost");
        Price = Model.FindByName("Price");
        Upkeep = Model.FindByName("Upkeep");
        Safety = Model.FindByName("Safety");
    }
};

// The names of the members of an option's value at the attribute, sorted
// ("*" for any, "" for undefined), joined by ";".
std::string ValueNames(const TMivoAttribute& attribute, int option) {
    const std::string text = attribute.GetOptValue(option);
    if (text.empty() || text == "*") return text;
    const auto& scale = dynamic_cast<const TMivoDiscreteScale&>(*attribute.Scale());
    std::vector<std::string> names;
    for (char c : text) names.push_back(scale.ValueName(CharValue(c)));
    std::sort(names.begin(), names.end());
    std::string out;
    for (const std::string& name : names) out += (out.empty() ? "" : ";") + name;
    return out;
}

std::string Classes(const TMivoScale& scale) {
    std::string out;
    for (int i = 0; i < scale.Count(); ++i) {
        const bool bad = scale.IsBad(i), good = scale.IsGood(i);
        out += bad && good ? '!' : bad ? 'b' : good ? 'g' : 'n';
    }
    return out;
}

TEST(ScaleEditNames, BlanksForBreaks) {
    EXPECT_EQ(BlankBreaks("a\tb\rc\nd"), "a b c d");
    EXPECT_EQ(BlankBreaks("plain"), "plain");
}

TEST(ScaleEditNames, RefusedNames) {
    auto scale = MakeScale({3});  // v0 v1 v2
    const struct {
        const char* name;
        const char* problem;
    } cases[] = {
        {"", SValueNameEmpty},
        {"   ", SValueNameEmpty},
        {"\t", SValueNameEmpty},
        {"*", SValueNameAny},
        {" * ", SValueNameAny},
        {"a;b", "A value name cannot hold \";\": \"a;b\"."},
        {"v2", "The scale already has a value named \"v2\"."},
        {"V2", ""},  // names compare exactly
        {"v1", ""},  // its own name
        {"a*", ""},
        {"new\tname", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ValueNameProblem(*scale, 1, c.name), c.problem) << c.name;

    EXPECT_EQ(RepeatedValueName(*scale), std::nullopt);
    scale->SetValueName(2, "v0");
    EXPECT_EQ(RepeatedValueName(*scale), "v0");
}

TEST(ScaleEditClasses, BadAndGoodGiveExactlyThatClass) {
    // From the default bounds of every small ordered scale, for every value.
    for (std::uint8_t order : {soAscending, soDescending}) {
        for (int n = 2; n <= 5; ++n) {
            for (int k = 0; k < n; ++k) {
                for (int what = 0; what < 3; ++what) {
                    auto scale = MakeScale({n, order});
                    if (what == 0) MarkBad(*scale, k);
                    if (what == 1) MarkGood(*scale, k);
                    if (what == 2) MarkNeutral(*scale, k);
                    const std::string at = "order " + std::to_string(order) + " n " + std::to_string(n) + " k " +
                                           std::to_string(k) + " op " + std::to_string(what);
                    EXPECT_EQ(scale->IsBad(k), what == 0) << at;
                    EXPECT_EQ(scale->IsGood(k), what == 1) << at;
                    EXPECT_LE(scale->BGLow, scale->BGHigh) << at;
                    // The worse side of a bad value is bad, the better side of
                    // a good one good.
                    for (int i = 0; i < n; ++i) {
                        const bool worse = order == soAscending ? i < k : i > k;
                        if (what == 0 && worse) {
                            EXPECT_TRUE(scale->IsBad(i)) << at << " i " << i;
                        }
                        if (what == 1 && !worse && i != k) {
                            EXPECT_TRUE(scale->IsGood(i)) << at << " i " << i;
                        }
                    }
                }
            }
        }
    }
}

TEST(ScaleEditClasses, PulledBoundStopsAtTheNextHalfStep) {
    const struct {
        std::uint8_t order;
        int op;  // 0 bad, 1 good, 2 neutral
        int k;
        const char* classes;
        double low, high;
    } cases[] = {
        // Ascending, four values, bounds 0.5 and 2.5: "bnng".
        {soAscending, 0, 3, "bbbb", 3, 3.5},
        {soAscending, 1, 0, "gggg", -0.5, 0},
        {soAscending, 0, 1, "bbng", 1, 2.5},
        {soAscending, 2, 0, "nnng", -0.5, 2.5},
        {soAscending, 2, 3, "bnnn", 0.5, 3.5},
        // Descending: "gnnb".
        {soDescending, 0, 0, "bbbb", -0.5, 0},
        {soDescending, 1, 3, "gggg", 3, 3.5},
        {soDescending, 2, 0, "nnnb", -0.5, 2.5},
    };
    for (const auto& c : cases) {
        auto scale = MakeScale({4, c.order});
        if (c.op == 0) MarkBad(*scale, c.k);
        if (c.op == 1) MarkGood(*scale, c.k);
        if (c.op == 2) MarkNeutral(*scale, c.k);
        EXPECT_EQ(Classes(*scale), c.classes) << int(c.order) << " " << c.op << " " << c.k;
        EXPECT_DOUBLE_EQ(scale->BGLow, c.low) << int(c.order) << " " << c.op << " " << c.k;
        EXPECT_DOUBLE_EQ(scale->BGHigh, c.high) << int(c.order) << " " << c.op << " " << c.k;
    }
}

TEST(ScaleEditValues, ExchangeAndClip) {
    const TValueStrings values{"0", "1", "02", "12", "*", "", "3"};
    EXPECT_EQ(ExchangeValueMembers(values, 0, 1).ToVector(),
              (std::vector<std::string>{"1", "0", "12", "02", "*", "", "3"}));
    EXPECT_EQ(ClipValueMembers(values, 2).ToVector(), (std::vector<std::string>{"0", "1", "0", "1", "*", "", ""}));
    EXPECT_EQ(ClipValueMembers(values, 1).ToVector(), (std::vector<std::string>{"0", "", "0", "", "*", "", ""}));
}

TEST(ScaleEditTables, ExchangedResultIntervals) {
    // Output of five values; values 1 and 2 change places.
    TTable t({{7}}, {5});
    const struct {
        int low, high;
        const char* after;
    } cases[] = {
        {0, 0, "00"}, {1, 1, "22"}, {2, 2, "11"}, {0, 1, "02"},  // {0, 2}: widened
        {2, 4, "14"},                                            // {1, 3, 4}: widened
        {1, 2, "12"}, {3, 4, "34"},
    };
    int r = 0;
    for (const auto& c : cases) {
        t.F().SetRuleLow(r, c.low);
        t.F().SetRuleHigh(r, c.high);
        t.F().SetRuleEntered(r, true);
        ++r;
    }
    ExchangeFunctValues(t.F(), 1, 2);
    r = 0;
    for (const auto& c : cases) {
        EXPECT_EQ(t.F().Rules().Get(r).substr(1, 3), std::string(c.after) + "+") << c.low << ".." << c.high;
        ++r;
    }
}

TEST(ScaleEditTables, ExchangedInputCodesAreSortedBack) {
    TTable t({{3}, {2}}, {6});
    for (int r = 0; r < t.F().RuleCount(); ++r) t.F().SetRuleValue(r, r);  // "00"->0 ... "21"->5
    ExchangeArgValues(t.F(), 0, 0, 2);
    EXPECT_EQ(RuleStrings(t.F()), (std::vector<std::string>{"0044-", "0155-", "1022-", "1133-", "2000-", "2111-"}));
}

TEST(ScaleEdit, StartsFromCopiesAndLeavesTheModelAlone) {
    TThreeLevels f;
    const auto before = Snapshot(f.Model);
    const int objects = GlobalMivoList().Count();
    {
        TScaleEdit edit(*f.Cost);
        EXPECT_EQ(edit.SourceScale(), f.Cost->Scale());
        EXPECT_NE(&edit.Scale(), f.Cost->Scale());
        EXPECT_NE(edit.OwnTable(), f.Cost->Funct());
        EXPECT_NE(edit.ParentTable(), f.Car->Funct());
        EXPECT_EQ(RuleStrings(*edit.OwnTable()), RuleStrings(*f.Cost->Funct()));
        edit.InsertValue(0);
        edit.MoveValueDown(1);
        edit.DeleteValue(3);
        edit.SetValueName(0, "cheap");
        edit.MarkBad(2);
        edit.SetOrder(soDescending);
        edit.SetInterval(false);
        EXPECT_EQ(Snapshot(f.Model), before);
    }
    EXPECT_EQ(Snapshot(f.Model), before);
    EXPECT_EQ(GlobalMivoList().Count(), objects);

    // An attribute without a scale starts with the single value "new value".
    TMivoAttribute bare("bare");
    TScaleEdit fresh(bare);
    EXPECT_EQ(fresh.SourceScale(), nullptr);
    ASSERT_EQ(fresh.Count(), 1);
    EXPECT_EQ(fresh.Scale().ValueName(0), SNewValue);
    EXPECT_EQ(fresh.OwnTable(), nullptr);
}

TEST(ScaleEdit, InsertShiftsValuesAndBothTables) {
    TThreeLevels f;
    TScaleEdit edit(*f.Price);  // Price is input 0 of Cost; no table of its own
    edit.InsertValue(0, "very high");
    TMivoDiscreteScale* scale = edit.Apply();
    EXPECT_EQ(f.Price->Scale(), scale);
    EXPECT_EQ(scale->ValueName(0), "very high");
    EXPECT_EQ(f.Price->Values().ToVector(), (std::vector<std::string>{"1", "2", "3", "23"}));
    // Cost's table: four rows of Price now, the old rules one value up, the
    // new ones derived for "very high" (at most what "high" gives).
    const auto rules = RuleStrings(*f.Cost->Funct());
    ASSERT_EQ(rules.size(), 8u);
    EXPECT_EQ(rules[0], "0000-");
    EXPECT_EQ(rules[1], "0100-");
    EXPECT_EQ(rules[2], "1000+");
    EXPECT_EQ(rules[7], "3122+");
}

TEST(ScaleEdit, DeletingARulesOnlyResultKeepsTheTableInsideTheScale) {
    TThreeLevels f;
    TScaleEdit edit(*f.Cost);
    edit.DeleteValue(2);  // "low": the only result of Cost's rule "21"
    edit.Apply();
    const TMivoFunction& cost = *f.Cost->Funct();
    for (int r = 0; r < cost.RuleCount(); ++r) EXPECT_LE(cost.RuleHigh(r), 1) << cost.Rules().Get(r);
    EXPECT_EQ(cost.Rules().Get(cost.RuleCount() - 1), "2111-");  // cleared, then derived
    // Car's table lost the rules of Cost = low.
    EXPECT_EQ(f.Car->Funct()->RuleCount(), 4);

    TMivoModel back;
    LoadFromStrings(back, Snapshot(f.Model));
    EXPECT_EQ(RuleStrings(*back.FindByName("Cost")->Funct()), RuleStrings(cost));
}

TEST(ScaleEdit, MovesKeepEveryMeaning) {
    TThreeLevels f;
    // Every rule entered: a move reorders an ordered scale, so rules derived
    // from the orders may be derived differently afterwards.
    f.Car->Funct()->EnterRules(true);
    f.Model.Reevaluate();
    std::vector<std::string> cost, car;
    for (int o = 0; o < f.Model.OptionCount(); ++o) {
        cost.push_back(ValueNames(*f.Cost, o));
        car.push_back(ValueNames(*f.Car, o));
    }
    const std::string classes = Classes(*f.Cost->Scale());

    // Cost's results are single values or medium..low, which stays one
    // interval when low moves up (a move that splits an interval widens it,
    // see ExchangedResultIntervals). Upkeep's move reorders Cost's rules.
    TScaleEdit edit(*f.Cost);
    edit.MoveValueUp(2);  // high, low, medium
    edit.Apply();
    TScaleEdit upkeep(*f.Upkeep);
    upkeep.MoveValueDown(0);  // low, high
    upkeep.Apply();
    EXPECT_EQ(dynamic_cast<TMivoDiscreteScale&>(*f.Cost->Scale()).ValueName(1), "low");
    EXPECT_EQ(Classes(*f.Cost->Scale()), classes);  // classes stay with the positions
    for (int o = 0; o < f.Model.OptionCount(); ++o) EXPECT_EQ(ValueNames(*f.Cost, o), cost[o]) << o;

    // Both tables follow, so evaluation gives the same values by name.
    f.Model.Reevaluate();
    for (int o = 0; o < f.Model.OptionCount(); ++o) {
        EXPECT_EQ(ValueNames(*f.Cost, o), cost[o]) << o;
        EXPECT_EQ(ValueNames(*f.Car, o), car[o]) << o;
    }
    // Car's rules are in canonical order again.
    const auto rules = RuleStrings(*f.Car->Funct());
    EXPECT_TRUE(std::is_sorted(rules.begin(), rules.end()));
}

TEST(ScaleEdit, ParentRuleCountAndFullScale) {
    TThreeLevels f;
    TScaleEdit edit(*f.Cost);
    EXPECT_EQ(edit.ParentRulesAfterAdd(), 8);  // (3 + 1) x 2
    TScaleEdit top(*f.Car);
    EXPECT_EQ(top.ParentRulesAfterAdd(), 0);

    TMivoAttribute a("a");
    a.SetScale(MakeScale({MaxScaleValues - 1}));
    TScaleEdit big(a);
    EXPECT_TRUE(big.CanAdd());
    big.InsertValue(big.Count());
    EXPECT_FALSE(big.CanAdd());
    EXPECT_THROW(big.InsertValue(0), EMivoError);
    EXPECT_EQ(big.Count(), MaxScaleValues);
}

TEST(ScaleEdit, RefusesBadNamesAndUseAfterApply) {
    TThreeLevels f;
    TScaleEdit edit(*f.Upkeep);
    EXPECT_THROW(edit.SetValueName(0, "low"), EMivoError);
    EXPECT_THROW(edit.SetValueName(0, "a;b"), EMivoError);
    EXPECT_EQ(edit.Scale().ValueName(0), "high");
    edit.SetValueName(0, "very\thigh");
    EXPECT_EQ(edit.Scale().ValueName(0), "very high");
    edit.Apply();
    EXPECT_THROW(edit.Apply(), EMivoError);
    EXPECT_THROW(edit.InsertValue(0), EMivoError);
}

TEST(ScaleEdit, RoundsLeaveTheRegistryAsItWas) {
    TThreeLevels f;
    const int objects = GlobalMivoList().Count();
    for (int round = 0; round < 100; ++round) {
        TScaleEdit edit(*f.Cost);
        edit.InsertValue(1, "v" + std::to_string(round));
        edit.DeleteValue(1);
        if (round % 2 == 0) edit.Apply();
    }
    EXPECT_EQ(GlobalMivoList().Count(), objects);
}

}  // namespace
}  // namespace mivo
