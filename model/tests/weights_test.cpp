// Weights of decision tables: the Cholesky least-squares solver, the
// straight-line fit of the linear model and the rounding of its values.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cmath>
#include <limits>

#include "model/Cholesky.h"
#include "model/MivoFile.h"
#include "model/MivoModel.h"
#include "model/RuleAdjust.h"
#include "model/LinearFit.h"
#include "model/RunTime.h"
#include "model/tests/TableFixture.h"

namespace mivo {
namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Fills the upper triangle of a symmetric matrix given row by row.
TMatrix Upper(std::initializer_list<std::initializer_list<double>> rows) {
    TMatrix a(static_cast<int>(rows.size()));
    int i = 0;
    for (const auto& row : rows) {
        int j = 0;
        for (double v : row) {
            if (j >= i) a(i, j) = v;
            ++j;
        }
        ++i;
    }
    return a;
}

TEST(Cholesky, SolvesSymmetricPositiveDefiniteSystem) {
    // A = [[4,2,2],[2,5,3],[2,3,6]], x = (1,-2,3) gives b = (6,1,14); the
    // lower triangle holds garbage that must never be read.
    TMatrix a = Upper({{4, 2, 2}, {0, 5, 3}, {0, 0, 6}});
    a(1, 0) = a(2, 0) = a(2, 1) = 1e9;
    TFloatList x(3, 0.0);
    ASSERT_TRUE(CholeskySolve(a, x, {6, 1, 14}));
    EXPECT_NEAR(x[0], 1, 1e-12);
    EXPECT_NEAR(x[1], -2, 1e-12);
    EXPECT_NEAR(x[2], 3, 1e-12);
}

TEST(Cholesky, SizeIsTheShorterVector) {
    TMatrix a = Upper({{2, 0, 0}, {0, 4, 0}, {0, 0, 0}});  // singular only in row 2
    TFloatList x(2, 0.0);
    ASSERT_TRUE(CholeskySolve(a, x, {2, 8, 99}));
    EXPECT_DOUBLE_EQ(x[0], 1);
    EXPECT_DOUBLE_EQ(x[1], 2);

    TFloatList big(4, 0.0);
    EXPECT_THROW(CholeskySolve(a, big, {1, 1, 1, 1}), ERangeError);
}

TEST(Cholesky, RefusesSingularAndBadSystems) {
    struct Case {
        const char* what;
        TMatrix a;
    } cases[] = {
        {"zero matrix", TMatrix(2)},
        {"negative pivot", Upper({{1, 2}, {0, 1}})},
        {"dependent column", Upper({{1, 2, 3}, {0, 4, 6}, {0, 0, 9}})},
        // A dependent column whose pivot is a rounding residue, not 0:
        // x = (0.1, 0.2, 0.3), second column 3x. Relative test catches it.
        {"rounding residue", Upper({{0.14, 0.42}, {0, 1.26}})},
        {"NaN", Upper({{NaN, 0}, {0, 1}})},
        {"infinite off-diagonal", Upper({{1, Inf}, {0, 1}})},
    };
    for (Case& c : cases) {
        TFloatList x(static_cast<std::size_t>(c.a.Size()), 0.0);
        TFloatList b(static_cast<std::size_t>(c.a.Size()), 1.0);
        EXPECT_FALSE(CholeskySolve(c.a, x, b)) << c.what;
    }
}

TEST(Cholesky, PivotThresholdIsRelativeToTheDiagonalAndAtLeastAbsolute) {
    struct Case {
        double diagonal, coupling;  // [[1, coupling], [coupling, diagonal]]
        bool solvable;
    } cases[] = {
        {1e-11, 0, true},
        {1e-13, 0, false},              // below the absolute floor of Eps
        {1e6, 1e3 * (1 - 1e-14), false},  // pivot 2e-8, below Eps relative to 1e6
        {1e6, 1e3 * (1 - 1e-4), true},    // pivot about 200, clearly positive
    };
    for (const Case& c : cases) {
        TMatrix a = Upper({{1, c.coupling}, {0, c.diagonal}});
        TFloatList x(2, 0.0);
        EXPECT_EQ(CholeskySolve(a, x, {1, 1}), c.solvable) << c.diagonal << " " << c.coupling;
    }
}

TEST(Cholesky, SubstitutionGivesZeroForZeroDiagonal) {
    TMatrix u = Upper({{2, 1}, {0, 0}});
    TFloatList y(2, 0.0);
    ForwardSubstitution(u, {4, 5}, y);
    EXPECT_EQ(y, (TFloatList{2, 0}));
    TFloatList x(2, 0.0);
    BackSubstitution(u, {4, 5}, x);
    EXPECT_EQ(x, (TFloatList{2, 0}));
}

TEST(LinearFit, ExactLine) {
    auto fit = FitLine({0, 100, 200}, {0, 1, 2});
    ASSERT_TRUE(fit);
    EXPECT_NEAR(fit->K, 0.01, 1e-15);
    EXPECT_NEAR(fit->C, 0, 1e-12);

    // Least squares through scattered points: y = 0.5 h + 1 fits (0,1),
    // (2,2), (4,3) exactly; a symmetric disturbance leaves it unchanged.
    fit = FitLine({0, 2, 4, 0, 2, 4}, {1.5, 2, 3.5, 0.5, 2, 2.5});
    ASSERT_TRUE(fit);
    EXPECT_NEAR(fit->K, 0.5, 1e-12);
    EXPECT_NEAR(fit->C, 1, 1e-12);
}

TEST(LinearFit, LargeOffsetStaysAccurate) {
    // Uncentred sums lose every digit of the slope here.
    const double base = 1e9;
    auto fit = FitLine({base, base + 1, base + 2}, {0, 1, 2});
    ASSERT_TRUE(fit);
    EXPECT_NEAR(fit->K, 1, 1e-6);
    EXPECT_NEAR(fit->C, -base, 1e-3);
}

TEST(LinearFit, NoFit) {
    const double third = 100.0 / 3;
    struct Case {
        const char* what;
        TFloatList h, y;
    } cases[] = {
        {"no points", {}, {}},
        {"lengths differ", {1, 2}, {1}},
        {"one point", {5}, {1}},
        {"all h the same", {50, 50, 50}, {0, 1, 2}},
        // Sums of equal weights that differ only by rounding.
        {"h equal up to rounding", {third + third + third, 100, third * 3}, {0, 1, 2}},
        {"all h zero", {0, 0}, {0, 1}},
        {"NaN value", {0, NaN, 2}, {0, 1, 2}},
        {"infinite mid", {0, 1, 2}, {0, Inf, 2}},
        {"overflowing squares", {1e200, 2e200, 3e200}, {0, 1, 2}},
    };
    for (const Case& c : cases) EXPECT_FALSE(FitLine(c.h, c.y)) << c.what;
}

TEST(LinearFit, RoundToScale) {
    struct Case {
        double value;
        int rounding;
        int size;
        int expected;
    } cases[] = {
        {1.5, 0, 5, 2}, {1.5, -1, 5, 1}, {1.5, 1, 5, 2},
        {2.5, 0, 5, 2}, {2.5, -1, 5, 2}, {2.5, 1, 5, 3},
        {1.4, 0, 5, 1}, {1.6, 0, 5, 2}, {-0.5, 0, 5, 0},
        {-0.7, 0, 5, 0}, {7.3, 0, 5, 4}, {4.5, 0, 5, 4},
        // Far outside the integer range: clamped, never a range error.
        {1e300, 0, 5, 4}, {-1e300, 0, 5, 0}, {Inf, 0, 5, 4}, {-Inf, 0, 5, 0},
        {NaN, 0, 5, 0}, {2.5, INT_MAX, 5, 3}, {2.5, INT_MIN, 5, 2},
        {3.0, 0, 1, 0}, {3.0, 0, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RoundToScale(c.value, c.rounding, c.size), c.expected)
            << c.value << " rounding " << c.rounding << " size " << c.size;
}

// --- the decision table's weights ----------------------------------------

using fixture::TTable;

std::vector<std::string> RuleStringsOf(const TMivoFunction& f) {
    std::vector<std::string> out;
    for (int r = 0; r < f.RuleCount(); ++r) out.push_back(f.Rules().Get(r));
    return out;
}

void ExpectWeights(const TFloatList& actual, const TFloatList& expected, const char* what) {
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (std::size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-9) << what << " " << i;
}

TEST(FunctionWeights, ComputeWeightsOverAllRules) {
    TTable single({{3}}, {3});
    single.Enter("0", 0);
    single.Enter("1", 1);
    single.Enter("2", 2);
    single.F().ComputeWeights(true);
    ExpectWeights(single.F().ActualWeights, {100}, "one input");
    ExpectWeights(single.F().NormWeights, {100}, "one input");

    TTable pair({{2}, {2}}, {3});
    pair.Enter("00", 0);
    pair.Enter("01", 1);
    pair.Enter("10", 1);
    pair.Enter("11", 2);
    pair.F().ComputeWeights(true);
    ExpectWeights(pair.F().ActualWeights, {50, 50}, "two inputs");
    ExpectWeights(pair.F().NormWeights, {50, 50}, "two inputs");

    // result = x0 + x1 over inputs of 3 and 2 values: equal actual weights,
    // normalised weights in the ratio of the scale sizes.
    TTable uneven({{3}, {2}}, {4});
    for (const char* r : {"00", "01", "10", "11", "20", "21"}) uneven.Enter(r, (r[0] - '0') + (r[1] - '0'));
    uneven.F().ComputeWeights(true);
    ExpectWeights(uneven.F().ActualWeights, {50, 50}, "uneven");
    ExpectWeights(uneven.F().NormWeights, {60, 40}, "uneven");
}

TEST(FunctionWeights, ComputeWeightsFromEnteredRulesUsesIntervalMidpoints) {
    // mid = 0.5·x0 + 1·x1 holds exactly on the entered rules, two of them
    // through interval midpoints; "00" is not entered and its whole-scale
    // midpoint 1 would spoil the fit were it used.
    TTable t({{3}, {2}}, {3});
    TMivoFunction& f = t.F();
    t.Enter("01", 1);
    t.Enter("10", 0, 1);
    t.Enter("11", 1, 2);
    t.Enter("20", 1);
    t.Enter("21", 2);
    f.ComputeWeights(false);
    ExpectWeights(f.ActualWeights, {100.0 / 3, 200.0 / 3}, "entered");
    ExpectWeights(f.NormWeights, {300.0 / 7, 400.0 / 7}, "entered");  // 0.5·3 : 1·2

    f.ComputeWeights(true);
    ASSERT_EQ(f.ActualWeights.size(), 2u);
    EXPECT_GT(std::fabs(f.ActualWeights[0] - 100.0 / 3), 1);
}

TEST(FunctionWeights, UnsolvableSystemGivesZerosOfTheSameLength) {
    struct Case {
        const char* what;
        std::vector<const char*> entered;
    } cases[] = {
        {"one entered rule", {"01"}},
        {"no entered rule", {}},
        {"first input constant", {"00", "01"}},
        {"dependent inputs", {"00", "11"}},
    };
    for (const Case& c : cases) {
        TTable t({{2}, {2}}, {3});
        for (const char* r : c.entered) t.Enter(r, 1);
        t.F().ActualWeights = {10, 20, 30};
        t.F().NormWeights = {};
        t.F().ComputeWeights(false);
        EXPECT_EQ(t.F().ActualWeights, (TFloatList{0, 0, 0})) << c.what;
        EXPECT_TRUE(t.F().NormWeights.empty()) << c.what;
    }
}

TEST(FunctionWeights, FitAndFillFromRequiredWeights) {
    TTable t({{3}}, {3});
    TMivoFunction& f = t.F();
    t.Enter("0", 0);
    t.Enter("2", 2);
    f.UseWeights = true;
    f.FitLinearModel(false);
    EXPECT_EQ(f.ModelState, 1);
    EXPECT_NEAR(f.K, 0.01, 1e-15);
    EXPECT_NEAR(f.C, 0, 1e-12);
    EXPECT_NEAR(f.LinearValue(t.Find("1")), 1, 1e-12);
    f.Update(false);
    EXPECT_EQ(t.Interval("1"), "11");
    EXPECT_EQ(f.EnteredCount(), 2);
}

TEST(FunctionWeights, FitResetsRequiredWeightsOfTheWrongLength) {
    TTable t({{2}, {2}, {2}}, {4});
    t.F().RequiredWeights = {70, 30};
    t.F().FitLinearModel(true);
    ExpectWeights(t.F().RequiredWeights, {100.0 / 3, 100.0 / 3, 100.0 / 3}, "required");
}

TEST(FunctionWeights, FailedFitSwitchesWeightsOff) {
    struct Case {
        const char* what;
        TFloatList required;
        std::vector<const char*> entered;
    } cases[] = {
        {"no used rule", {50, 50}, {}},
        {"same weighted sum", {50, 50}, {"01", "10"}},
        // 100/3 each: "01", "10" sum to the same up to rounding.
        {"same sum up to rounding", {100.0 / 3, 100.0 / 3}, {"01", "10"}},
        {"all weights zero", {0, 0}, {"00", "11"}},
        {"NaN weight", {NaN, 50}, {"00", "11"}},
        {"infinite weight", {Inf, 50}, {"00", "11"}},
        {"overflow", {1e300, 1e300}, {"00", "11"}},
    };
    for (const Case& c : cases) {
        TTable t({{2}, {2}}, {3});
        TMivoFunction& f = t.F();
        int value = 0;
        for (const char* r : c.entered) t.Enter(r, value++);
        f.RequiredWeights = c.required;
        f.K = 5;
        f.C = 7;
        f.UseWeights = true;
        EXPECT_NO_THROW(f.FitLinearModel(false)) << c.what;
        EXPECT_EQ(f.ModelState, -1) << c.what;
        EXPECT_EQ(f.K, 0) << c.what;
        EXPECT_EQ(f.C, 0) << c.what;
        EXPECT_FALSE(f.UseWeights) << c.what;
        // The next update leaves the rules not entered to derivation alone,
        // as in the same table that never used weights.
        TTable plain({{2}, {2}}, {3});
        value = 0;
        for (const char* r : c.entered) plain.Enter(r, value++);
        f.Update(false);
        plain.F().Update(false);
        for (const char* r : {"00", "01", "10", "11"}) {
            EXPECT_EQ(t.Interval(r), plain.Interval(r)) << c.what << " " << r;
        }
    }
}

TEST(FunctionWeights, RoundedValueRoundsAndClamps) {
    // One input of 2 values, required weight 100: the linear value of rule
    // "1" is 100·K + C.
    TTable t({{2}}, {5});
    TMivoFunction& f = t.F();
    const int rule = t.Find("1");
    struct Case {
        double linear;
        int rounding;
        int expected;
    } cases[] = {
        {1.5, 0, 2}, {1.5, -1, 1}, {1.5, 1, 2}, {2.5, 0, 2}, {2.5, -1, 2}, {2.5, 1, 3},
        {-3, 0, 0},  {9, 0, 4},    {1e300, 0, 4}, {-1e300, 0, 0}, {Inf, 0, 4}, {NaN, 0, 0},
    };
    for (const Case& c : cases) {
        f.K = 0;
        f.C = c.linear;
        f.Rounding = c.rounding;
        EXPECT_EQ(f.RoundedValue(rule), c.expected) << c.linear << " " << c.rounding;
    }
}

TEST(FunctionWeights, FillClampsBeforeApplyingTheInterval) {
    TTable t({{3}}, {4});
    TMivoFunction& f = t.F();
    t.Enter("0", 3);
    f.SetRuleLow(t.Find("1"), 1);
    f.SetRuleHigh(t.Find("1"), 2);
    f.K = 0;
    f.C = -5;  // below the scale: clamped to 0, then into the rule's 1..2

    f.FillFromWeights(true);  // weights off: nothing happens
    EXPECT_EQ(t.Interval("1"), "12");

    f.UseWeights = true;
    f.FillFromWeights(true);
    EXPECT_EQ(t.Interval("0"), "33");  // entered rules stay
    EXPECT_EQ(t.Interval("1"), "11");
    EXPECT_EQ(t.Interval("2"), "00");
    f.FillFromWeights(false);
    EXPECT_EQ(t.Interval("1"), "00");

    f.C = 1e300;  // far above the scale, and above the 32-bit range
    EXPECT_NO_THROW(f.FillFromWeights(false));
    EXPECT_EQ(t.Interval("1"), "33");
}

TEST(FunctionWeights, UpdateKeepsWeightValuesInsideDerivedIntervals) {
    // One ascending input of 5 values, output of 5: "0" = 0, "1" = 4 and
    // "3" = 4 entered. The fit over them gives 3.43 for "2", which
    // derivation pins to 4.
    TTable t({{5}}, {5});
    TMivoFunction& f = t.F();
    t.Enter("0", 0);
    t.Enter("1", 4);
    t.Enter("3", 4);
    f.UseWeights = true;
    f.Update(false);
    EXPECT_EQ(f.ModelState, 1);
    EXPECT_EQ(f.RoundedValue(t.Find("2")), 3);
    EXPECT_EQ(t.Interval("2"), "44");

    // With derivation off the whole scale is the limit.
    f.Consist = false;
    f.Update(false);
    EXPECT_EQ(t.Interval("2"), "33");
}

TEST(FunctionWeights, UpdateFitsFirstWhenTheFitIsNotOfTheCurrentRules) {
    // Entered "00" = 0 and "11" = 2 over two inputs of 2 values: with equal
    // weights the fit gives 1 for "01" and "10".
    TTable t({{2}, {2}}, {3});
    TMivoFunction& f = t.F();
    t.Enter("00", 0);
    t.Enter("11", 2);
    f.UseWeights = true;
    EXPECT_FALSE(f.HasCurrentFit());
    f.Update(false);
    EXPECT_TRUE(f.HasCurrentFit());
    EXPECT_EQ(t.Interval("01"), "11");
    EXPECT_EQ(t.Interval("10"), "11");

    // Filling and deriving rules not entered keeps the fit; entering a
    // rule, changing an entered one or the required weights does not.
    f.Update(false);
    EXPECT_TRUE(f.HasCurrentFit());
    t.Enter("01", 2);
    EXPECT_FALSE(f.HasCurrentFit());
    f.Update(false);
    EXPECT_TRUE(f.HasCurrentFit());
    f.RequiredWeights = {70, 30};
    EXPECT_FALSE(f.HasCurrentFit());

    // A copy has no fit of its own.
    TMivoFunction copy;
    copy.Assign(f);
    EXPECT_FALSE(copy.HasCurrentFit());

    // A fit that fails switches weights off: derivation alone fills.
    TTable single({{2}, {2}}, {3});
    single.Enter("00", 1);
    single.F().UseWeights = true;
    single.F().Update(false);
    EXPECT_EQ(single.F().ModelState, -1);
    EXPECT_FALSE(single.F().UseWeights);
    EXPECT_EQ(single.Interval("11"), "12");
}

// K and C are not stored: a table read from a file fills from weights only
// after a fit of its rules, so editing it gives what the same edit gives
// after an explicit fit.
TEST(FunctionWeights, ReadTableFillsFromAFitAfterAScaleEdit) {
    const std::string path = ::testing::TempDir() + "weights_fit.mvo";
    {
        TMivoModel model;
        TMivoAttribute* top = model.Root()->AddInput(std::make_unique<TMivoAttribute>("top"));
        top->SetScale(fixture::MakeScale({3}));
        for (const char* name : {"a", "b"}) {
            TMivoAttribute* input = top->AddInput(std::make_unique<TMivoAttribute>(name));
            input->SetScale(fixture::MakeScale({2}));
        }
        TMivoFunction* f = top->CreateFunction();
        f->SetRuleValue(0, 0);  // "00" = 0
        f->SetRuleEntered(0, true);
        f->SetRuleValue(3, 2);  // "11" = 2
        f->SetRuleEntered(3, true);
        f->UseWeights = true;
        f->Update(false);
        SaveToFile(model, path);
    }
    // Inserts value 2 at the end of input a's scale, as the scale editor does.
    const auto insertValue = [](TMivoModel& model) {
        TMivoAttribute* top = model.FirstAttribute();
        TMivoAttribute* a = top->Inputs(0);
        dynamic_cast<TMivoDiscreteScale&>(*a->Scale()).InsertValue(2, "new");
        ValuesAfterInsert(*a, 2);
        InsertArgValue(*top->Funct(), 0, 2);
        return RuleStringsOf(*top->Funct());
    };
    TMivoModel read;
    LoadFromFile(read, path);
    const std::vector<std::string> afterRead = insertValue(read);

    TMivoModel fitted;
    LoadFromFile(fitted, path);
    fitted.FirstAttribute()->Funct()->FitLinearModel(false);
    const std::vector<std::string> afterFit = insertValue(fitted);

    EXPECT_EQ(afterRead, afterFit);
    EXPECT_EQ(afterRead, (std::vector<std::string>{"0000+", "0111-", "1011-", "1122+", "2022-", "2122-"}));
    EXPECT_TRUE(read.FirstAttribute()->Funct()->UseWeights);
    std::remove(path.c_str());
}

}  // namespace
}  // namespace mivo
