// Decision tables: building, rule access, summary figures, sorting, and
// evaluation checked against the rule-by-rule reference algorithm.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "model/Locale.h"
#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoScale.h"

namespace mivo {
namespace {

std::unique_ptr<TMivoDiscreteScale> MakeScale(int size, const std::string& prefix = "v") {
    auto scale = std::make_unique<TMivoDiscreteScale>();
    for (int v = 0; v < size; ++v) scale->AddValue(prefix + std::to_string(v));
    scale->DefaultBounds();
    return scale;
}

// An aggregate attribute with a scale of `outSize` values over basic inputs
// with scales of the given sizes (0: no scale).
std::unique_ptr<TMivoAttribute> MakeAggregate(int outSize, const std::vector<int>& inSizes,
                                              const std::string& name = "agg") {
    auto attribute = std::make_unique<TMivoAttribute>(name);
    attribute->SetScale(MakeScale(outSize, "out"));
    for (std::size_t k = 0; k < inSizes.size(); ++k) {
        auto input = std::make_unique<TMivoAttribute>("in" + std::to_string(k));
        if (inSizes[k] > 0) input->SetScale(MakeScale(inSizes[k]));
        attribute->AddInput(std::move(input));
    }
    return attribute;
}

std::vector<std::string> RuleStrings(const TMivoFunction& f) {
    std::vector<std::string> out;
    for (int r = 0; r < f.RuleCount(); ++r) out.push_back(f.Rules().Get(r));
    return out;
}

// The specified algorithm: every rule in table order; a rule matches when
// each input's string is empty, "*" or contains the rule's input byte; its
// interval joins the result; a result covering the whole scale gives "".
std::string ReferenceEvaluate(const TMivoFunction& f, const std::vector<std::string>& args) {
    const int m = f.Attribute()->ScaleSize();
    const std::size_t n = static_cast<std::size_t>(f.ArgCount());
    std::vector<bool> result(static_cast<std::size_t>(m), false);
    for (int r = 0; r < f.RuleCount(); ++r) {
        const std::string& rule = f.Rules().Get(r);
        bool matches = true;
        for (std::size_t k = 0; k < n; ++k) {
            const std::string& s = args[k];
            if (!(s.empty() || s == "*" || s.find(rule[k]) != std::string::npos)) matches = false;
        }
        if (!matches) continue;
        for (int v = CharValue(rule[n]); v <= CharValue(rule[n + 1]); ++v) result[static_cast<std::size_t>(v)] = true;
        if (std::all_of(result.begin(), result.end(), [](bool b) { return b; })) return "";
    }
    std::string out;
    for (int v = 0; v < m; ++v)
        if (result[static_cast<std::size_t>(v)]) out += ValueChar(v);
    return out;
}

TEST(FunctionInit, BuildsOdometerTableWithWholeIntervals) {
    auto a = MakeAggregate(4, {3, 2});
    TMivoFunction f;
    f.Init(a.get());
    EXPECT_EQ(f.Attribute(), a.get());
    EXPECT_EQ(RuleStrings(f),
              (std::vector<std::string>{"0003-", "0103-", "1003-", "1103-", "2003-", "2103-"}));
    EXPECT_EQ(f.ArgCount(), 2);
    EXPECT_EQ(f.ActualWeights, (TFloatList{0, 0}));
    EXPECT_EQ(f.NormWeights, (TFloatList{0, 0}));
    EXPECT_EQ(f.RequiredWeights, (TFloatList{50, 50}));
    EXPECT_EQ(f.EnteredCount(), 0);
}

TEST(FunctionInit, AttributeThatCannotHaveTableLeavesEmptyTable) {
    auto good = MakeAggregate(3, {2, 2});
    TMivoFunction f;
    f.Init(good.get());
    ASSERT_EQ(f.RuleCount(), 4);

    auto oneValueInput = MakeAggregate(3, {2, 1});
    EXPECT_FALSE(TMivoFunction::CanInit(oneValueInput.get()));
    EXPECT_FALSE(TMivoFunction::CanInit(nullptr));
    f.Init(oneValueInput.get());
    EXPECT_EQ(f.Attribute(), nullptr);
    EXPECT_EQ(f.RuleCount(), 0);
    // Summary figures of an empty table are defined.
    EXPECT_EQ(f.Determinedness(), 0.0);
    SetDecimalSeparator('.');
    EXPECT_EQ(f.StatusText(), "Rules: 0/0 (0.00%), determined: 0.00% []");
}

TEST(FunctionInit, RefusesTablesAboveTheRuleLimitAndChangesNothing) {
    struct Case {
        std::vector<int> sizes;
        std::string count;
    };
    const Case cases[] = {
        {{33, 32, 32, 32}, "1081344"},
        {std::vector<int>(8, 208), "3503536769037500416"},
        {std::vector<int>(12, 208), "more than 18446744073709551615"},  // beyond 64 bits
    };
    auto small = MakeAggregate(3, {2, 2});
    for (const Case& c : cases) {
        TMivoFunction f;
        f.Init(small.get());
        const auto before = RuleStrings(f);
        auto big = MakeAggregate(3, c.sizes, "Huge");
        try {
            f.Init(big.get());
            FAIL() << "no error for " << c.count;
        } catch (const EMivoError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("\"Huge\""), std::string::npos) << message;
            EXPECT_NE(message.find(c.count), std::string::npos) << message;
            EXPECT_NE(message.find("1048576"), std::string::npos) << message;
        }
        EXPECT_EQ(f.Attribute(), small.get());
        EXPECT_EQ(RuleStrings(f), before);
        EXPECT_EQ(big->FunctionSize(), c.sizes.size() > 4 ? 2147483647 : 1081344);
    }
}

TEST(FunctionInit, AcceptsExactlyTheRuleLimit) {
    auto a = MakeAggregate(2, {32, 32, 32, 32});
    TMivoFunction f;
    f.Init(a.get());
    ASSERT_EQ(f.RuleCount(), MaxRuleCount);
    EXPECT_EQ(f.Rules().Get(f.RuleCount() - 1), "OOOO01-");
    // Single values find their rule directly.
    f.SetRuleValue(f.RuleCount() - 1, 0);
    EXPECT_EQ(f.Evaluate({"O", "O", "O", "O"}), "0");
    EXPECT_EQ(f.Evaluate({"N", "O", "O", "O"}), "");
}

TEST(FunctionRules, ReadAndWriteSingleRules) {
    auto a = MakeAggregate(4, {3, 2});
    TMivoFunction f;
    f.Init(a.get());
    f.SetRuleLow(3, 1);
    f.SetRuleHigh(3, 2);
    f.SetRuleEntered(3, true);
    EXPECT_EQ(f.Rules().Get(3), "1112+");
    EXPECT_EQ(f.ArgValue(0, 3), 1);
    EXPECT_EQ(f.ArgValue(1, 3), 1);
    EXPECT_EQ(f.RuleLow(3), 1);
    EXPECT_EQ(f.RuleHigh(3), 2);
    EXPECT_TRUE(f.RuleEntered(3));
    f.SetRuleValue(4, 3);
    EXPECT_EQ(f.Rules().Get(4), "2033-");
    f.ClearRule(3);
    EXPECT_EQ(f.Rules().Get(3), "1103-");

    EXPECT_THROW(f.RuleLow(6), EListError);
    EXPECT_THROW(f.RuleLow(-1), EListError);
    EXPECT_THROW(f.ArgValue(2, 0), ERangeError);
    EXPECT_THROW(f.ArgValue(-1, 0), ERangeError);
    EXPECT_THROW(f.SetRuleLow(0, 208), ERangeError);
    EXPECT_THROW(f.SetRuleValue(0, -1), ERangeError);
    EXPECT_EQ(f.Rules().Get(0), "0003-");
}

TEST(FunctionRules, EnterRulesMarksOnlyWhatIsAskedAndNeverUnmarks) {
    auto a = MakeAggregate(3, {2, 2});
    TMivoFunction f;
    f.Init(a.get());
    f.SetRuleValue(0, 1);  // single value, not entered
    f.SetRuleLow(1, 1);    // interval 1..2
    f.SetRuleEntered(2, true);
    f.SetRuleLow(2, 0);  // entered with the whole scale
    f.EnterRules(false);
    EXPECT_TRUE(f.RuleEntered(0));
    EXPECT_FALSE(f.RuleEntered(1));
    EXPECT_TRUE(f.RuleEntered(2));
    EXPECT_FALSE(f.RuleEntered(3));
    f.EnterRules(true);
    EXPECT_EQ(f.EnteredCount(), 4);
    EXPECT_EQ(f.Rules().Get(1), "0112+");
}

TEST(FunctionSummary, DistributionDeterminednessAndStatus) {
    SetDecimalSeparator('.');
    auto a = MakeAggregate(3, {2, 2});
    TMivoFunction f;
    f.Init(a.get());
    f.SetRuleValue(0, 0);
    f.SetRuleEntered(0, true);
    f.SetRuleLow(1, 1);  // 1..2
    // 0..0, 1..2, 0..2, 0..2: full-interval rules count for every value.
    EXPECT_EQ(f.DistributionText(), "out0:3,out1:3,out2:3");
    EXPECT_EQ(f.ValueRuleCount(0), 3);
    EXPECT_DOUBLE_EQ(f.Determinedness(), (1.0 + 0.5 + 0 + 0) / 4);
    EXPECT_EQ(f.StatusText(), "Rules: 1/4 (25.00%), determined: 37.50% [out0:3,out1:3,out2:3]");

    SetDecimalSeparator(',');
    EXPECT_EQ(f.StatusText(), "Rules: 1/4 (25,00%), determined: 37,50% [out0:3,out1:3,out2:3]");
    SetDecimalSeparator('.');

    // An output scale reduced to one value: no division by zero.
    auto* scale = dynamic_cast<TMivoDiscreteScale*>(a->Scale());
    scale->DeleteValue(2);
    scale->DeleteValue(1);
    EXPECT_EQ(f.Determinedness(), 0.0);
    EXPECT_NE(f.StatusText().find("determined: 0.00%"), std::string::npos);
}

TEST(FunctionSort, WoxOrderAndBackWithValuesAboveNine) {
    auto a = MakeAggregate(2, {12, 2});
    TMivoFunction f;
    f.Init(a.get());
    for (int r = 0; r < f.RuleCount(); ++r) f.SetRuleValue(r, r % 2);
    const auto canonical = RuleStrings(f);

    f.SortRules(true);
    const auto wox = RuleStrings(f);
    // First input fastest: "00", "10", ..., ";0", "01", ...
    EXPECT_EQ(wox[0].substr(0, 2), "00");
    EXPECT_EQ(wox[1].substr(0, 2), "10");
    EXPECT_EQ(wox[10].substr(0, 2), ":0");
    EXPECT_EQ(wox[11].substr(0, 2), ";0");
    EXPECT_EQ(wox[12].substr(0, 2), "01");

    f.SortRules(false);
    EXPECT_EQ(RuleStrings(f), canonical);
    EXPECT_EQ(canonical[18].substr(0, 2), "90");
    EXPECT_EQ(canonical[20].substr(0, 2), ":0");
    EXPECT_EQ(canonical[22].substr(0, 2), ";0");
    EXPECT_EQ(f.Evaluate({";", "1"}), "1");
}

TEST(FunctionSort, WoxRuleOrderListsTheRulesAsSortingWould) {
    // The order computed for a canonical table, and the one sorted for a
    // table already in Wox order, both give the rules SortRules (true)
    // gives.
    auto a = MakeAggregate(3, {3, 12, 2});
    TMivoFunction f;
    f.Init(a.get());
    for (int r = 0; r < f.RuleCount(); ++r) f.SetRuleValue(r, r % 3);
    TMivoFunction sorted;
    sorted.Assign(f);
    sorted.SortRules(true);
    const auto wox = RuleStrings(sorted);
    for (TMivoFunction* table : {&f, &sorted}) {
        const std::vector<int> order = table->WoxRuleOrder();
        ASSERT_EQ(order.size(), wox.size());
        for (std::size_t j = 0; j < order.size(); ++j)
            EXPECT_EQ(table->Rules().Get(order[j]), wox[j]) << j;
    }
}

TEST(FunctionAssign, CopiesTableButNotComputedState) {
    auto a = MakeAggregate(3, {2, 2});
    TMivoFunction source;
    source.Init(a.get());
    source.SetDescription("table");
    source.SetRuleValue(2, 1);
    source.UseWeights = true;
    source.Consist = false;
    source.Rounding = -1;
    source.RequiredWeights = {70, 30};
    source.K = 5;
    source.ConsistState = 1;

    TMivoFunction copy;
    copy.ModelState = -1;
    copy.ConsistState = -1;
    copy.C = 2;
    copy.ActualWeights = {1};
    copy.Assign(source);
    EXPECT_EQ(copy.GetDescription(), "table");
    EXPECT_EQ(copy.Attribute(), a.get());
    EXPECT_EQ(RuleStrings(copy), RuleStrings(source));
    EXPECT_EQ(copy.RequiredWeights, (TFloatList{70, 30}));
    EXPECT_TRUE(copy.UseWeights);
    EXPECT_FALSE(copy.Consist);
    EXPECT_EQ(copy.Rounding, -1);
    EXPECT_EQ(copy.ModelState, -1);
    EXPECT_EQ(copy.ConsistState, -1);
    EXPECT_EQ(copy.K, 0);
    EXPECT_EQ(copy.C, 2);
    EXPECT_EQ(copy.ActualWeights, (TFloatList{1}));
    EXPECT_EQ(copy.Evaluate({"1", "0"}), "1");
}

TEST(FunctionEvaluate, SetsMatchRulesAndWholeScaleGivesUndefined) {
    auto a = MakeAggregate(3, {4, 2});
    TMivoFunction f;
    f.Init(a.get());
    // Rule "i j" gets the value min(i, 2).
    for (int r = 0; r < f.RuleCount(); ++r) f.SetRuleValue(r, std::min(f.ArgValue(0, r), 2));
    struct Case {
        std::vector<std::string> args;
        std::string result;
    };
    const Case cases[] = {
        {{"0", "1"}, "0"},
        {{"13", "0"}, "12"},   // "13" matches input bytes "1" and "3"
        {{"31", "*"}, "12"},   // order and duplicates of members do not matter
        {{"", "0"}, ""},       // covers 0..2: any value
        {{"*", ""}, ""},
        {{"012", "1"}, ""},
        {{"7", "0"}, ""},      // a byte outside the input scale matches nothing
        {{"17", "0"}, "1"},
        {{"1", "!"}, ""},      // below '0'
        {{"3\xFF", "01"}, "2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(f.Evaluate(c.args), c.result) << c.args[0] << "," << c.args[1];
        EXPECT_EQ(ReferenceEvaluate(f, c.args), c.result) << c.args[0] << "," << c.args[1];
    }
    EXPECT_THROW(f.Evaluate({"0"}), ERangeError);
}

// Random tables over random scales, random value strings (single values,
// sets, "*", "", bytes outside the scales): the direct look-up and the
// reference scan agree, also after the rules were shuffled out of
// canonical order.
TEST(FunctionEvaluate, DirectLookupAgreesWithReferenceOnRandomTables) {
    std::mt19937 rng(12345);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto randomValue = [&](int size) {
        switch (pick(0, 9)) {
            case 0: return std::string();
            case 1: return std::string("*");
            case 2: return std::string(1, static_cast<char>('0' + size + pick(0, 3)));  // outside
            case 3: return std::string(1, static_cast<char>(pick(0, 255)));            // any byte
            default: {
                std::string s;
                const int count = pick(1, std::min(size, 4));
                for (int j = 0; j < count; ++j) s += ValueChar(pick(0, size - 1));
                return s;
            }
        }
    };
    int lookups = 0;
    for (int table = 0; table < 2000; ++table) {
        const int n = pick(1, 4);
        std::vector<int> sizes;
        for (int k = 0; k < n; ++k) sizes.push_back(pick(2, 6));
        const int m = pick(2, 7);
        auto a = MakeAggregate(m, sizes);
        TMivoFunction f;
        f.Init(a.get());
        for (int r = 0; r < f.RuleCount(); ++r) {
            int lo = pick(0, m - 1), hi = pick(0, m - 1);
            if (pick(0, 2) > 0) hi = lo;  // mostly single values
            f.SetRuleLow(r, std::min(lo, hi));
            f.SetRuleHigh(r, std::max(lo, hi));
        }
        const bool shuffled = table % 5 == 0;
        if (shuffled) {
            auto rules = RuleStrings(f);
            std::shuffle(rules.begin(), rules.end(), rng);
            TStrList& edit = f.EditRules();
            for (int r = 0; r < edit.Count(); ++r) edit.Put(r, rules[static_cast<std::size_t>(r)]);
        }
        for (int trial = 0; trial < 20; ++trial) {
            std::vector<std::string> args;
            for (int size : sizes) args.push_back(randomValue(size));
            ASSERT_EQ(f.Evaluate(args), ReferenceEvaluate(f, args)) << "table " << table;
            ++lookups;
        }
        if (shuffled) {
            // Back in canonical order the direct look-up applies again.
            f.SortRules(false);
            std::vector<std::string> args;
            for (int size : sizes) args.push_back(randomValue(size));
            ASSERT_EQ(f.Evaluate(args), ReferenceEvaluate(f, args));
        }
    }
    EXPECT_EQ(lookups, 40000);
}

// The evaluation index follows changes of the table and of the scales.
TEST(FunctionEvaluate, FollowsRuleAndScaleChanges) {
    auto a = MakeAggregate(3, {2, 2});
    TMivoFunction f;
    f.Init(a.get());
    f.SetRuleValue(3, 2);
    EXPECT_EQ(f.Evaluate({"1", "1"}), "2");
    f.SetRuleValue(3, 0);
    EXPECT_EQ(f.Evaluate({"1", "1"}), "0");

    // A third value on input 0 without new rules: the table no longer
    // covers every combination and is scanned instead.
    dynamic_cast<TMivoDiscreteScale*>(a->Inputs(0)->Scale())->AddValue("extra");
    EXPECT_EQ(f.Evaluate({"1", "1"}), "0");
    EXPECT_EQ(f.Evaluate({"2", "1"}), "");
    EXPECT_EQ(f.Evaluate({"2", "1"}), ReferenceEvaluate(f, {"2", "1"}));

    // Rules rewritten through EditRules (inputs exchanged) are checked again.
    f.Init(a.get());
    for (int r = 0; r < f.RuleCount(); ++r) f.SetRuleValue(r, f.ArgValue(0, r));
    EXPECT_EQ(f.Evaluate({"2", "0"}), "2");
    TStrList& rules = f.EditRules();
    for (int r = 0; r < rules.Count(); ++r) {
        std::string s = rules.Get(r);
        s[0] = s[0] == '2' ? '0' : (s[0] == '0' ? '2' : s[0]);
        rules.Put(r, s);
    }
    EXPECT_EQ(f.Evaluate({"2", "0"}), "0");
    EXPECT_EQ(f.Evaluate({"0", "1"}), "2");
}

}  // namespace
}  // namespace mivo
