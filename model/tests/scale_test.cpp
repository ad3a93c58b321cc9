#include "model/MivoScale.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/MivoUtl.h"

namespace mivo {
namespace {

std::unique_ptr<TMivoDiscreteScale> MakeScale(std::initializer_list<const char*> names,
                                              std::uint8_t order = soAscending) {
    auto scale = std::make_unique<TMivoDiscreteScale>();
    scale->Order = order;
    for (const char* name : names) scale->AddValue(name, "");
    scale->DefaultBounds();
    return scale;
}

// "b", "n" or "g" for each value: bad, neutral, good (bad tested first).
std::string Classes(const TMivoScale& scale) {
    std::string classes;
    for (int i = 0; i < scale.Count(); ++i) classes += scale.IsBad(i) ? 'b' : scale.IsGood(i) ? 'g' : 'n';
    return classes;
}

TEST(Scale, NewScaleHasTheDefaults) {
    TMivoDiscreteScale scale;
    EXPECT_EQ(scale.Order, soAscending);
    EXPECT_EQ(scale.Unit, "");
    EXPECT_EQ(scale.BGLow, -1.7e308);
    EXPECT_EQ(scale.BGHigh, 1.7e308);
    EXPECT_TRUE(scale.Interval);
    EXPECT_EQ(scale.Count(), 0);
    EXPECT_EQ(scale.HighInt(), -1);
    EXPECT_EQ(scale.ScaleString(), "+ ");  // the blank follows any non-empty head
}

TEST(Scale, DefaultBoundsGiveClassesAndScaleString) {
    auto asc = MakeScale({"low", "mid", "high"});
    EXPECT_EQ(Classes(*asc), "bng");
    EXPECT_EQ(asc->ScaleString(), "+ low(-);mid;high(+)");

    auto desc = MakeScale({"good", "ok", "poor"}, soDescending);
    desc->SetName("Quality");
    desc->Unit = "pts";
    EXPECT_EQ(Classes(*desc), "gnb");
    EXPECT_EQ(desc->ScaleString(), "Quality-[pts] good(+);ok;poor(-)");

    auto unordered = MakeScale({"red", "blue"}, soUnordered);
    unordered->SetName("Colour");
    EXPECT_EQ(Classes(*unordered), "nn");
    EXPECT_EQ(unordered->ScaleString(), "Colour red;blue");
    EXPECT_DOUBLE_EQ(unordered->GetBadBound(), -Eps);
    EXPECT_DOUBLE_EQ(unordered->GetGoodBound(), 1 + Eps);

    auto two = MakeScale({"no", "yes"});
    EXPECT_EQ(Classes(*two), "bg");
    EXPECT_DOUBLE_EQ(two->LowFloat(), -0.5 + Eps);
    EXPECT_DOUBLE_EQ(two->HighFloat(), 1.5 - Eps);
}

TEST(Scale, InsertionShiftsTheBounds) {
    auto appended = MakeScale({"low", "mid", "high"});
    appended->AddValue("top");
    EXPECT_EQ(appended->BGLow, 0.5);
    EXPECT_EQ(appended->BGHigh, 2.5);
    EXPECT_EQ(Classes(*appended), "bnng");

    auto inserted = MakeScale({"low", "mid", "high"});
    inserted->InsertValue(2, "upper");
    EXPECT_EQ(inserted->BGHigh, 1.5);
    EXPECT_EQ(Classes(*inserted), "bngg");
    EXPECT_EQ(inserted->ValueName(2), "upper");

    auto front = MakeScale({"low", "mid", "high"});
    front->InsertValue(0, "bottom");
    EXPECT_EQ(front->BGLow, 1.5);
    EXPECT_EQ(front->BGHigh, 2.5);
    EXPECT_EQ(Classes(*front), "bbng");

    auto at_end = MakeScale({"low", "mid", "high"});
    at_end->InsertValue(3, "top");  // i == Count behaves as AddValue
    EXPECT_EQ(Classes(*at_end), "bnng");
    EXPECT_THROW(at_end->InsertValue(5, "far"), EListError);
}

TEST(Scale, DeletionShiftsTheBounds) {
    auto scale = MakeScale({"low", "mid", "high"});
    scale->AddValue("top");
    scale->BGHigh = 1.5;  // low bad, mid neutral, high and top good
    scale->DeleteValue(0);
    EXPECT_EQ(scale->BGLow, -0.5);
    EXPECT_EQ(scale->BGHigh, 0.5);
    EXPECT_EQ(Classes(*scale), "ngg");
    EXPECT_EQ(scale->ValueName(0), "mid");

    auto last = MakeScale({"a", "b", "c", "d"});
    last->DeleteValue(3);  // i > HighInt: the upper group moves down
    EXPECT_EQ(last->BGHigh, 1.5);
    EXPECT_EQ(Classes(*last), "bng");
    EXPECT_THROW(last->DeleteValue(3), EListError);
}

TEST(Scale, ScalesOfOneValueHaveNoClasses) {
    auto grown = std::make_unique<TMivoDiscreteScale>();
    grown->BGLow = 0.5;
    grown->BGHigh = 0.5;
    grown->AddValue("only");
    EXPECT_EQ(grown->BGLow, -1.7e308);
    EXPECT_EQ(grown->BGHigh, 1.7e308);
    EXPECT_EQ(Classes(*grown), "n");

    auto shrunk = MakeScale({"no", "yes"});
    shrunk->DeleteValue(1);
    EXPECT_EQ(shrunk->BGLow, -1.7e308);
    EXPECT_EQ(shrunk->BGHigh, 1.7e308);
    EXPECT_EQ(Classes(*shrunk), "n");
}

TEST(Scale, SettingABoundPullsTheOtherAlong) {
    auto asc = MakeScale({"a", "b", "c", "d"});
    asc->BGHigh = 1.5;
    asc->SetBadBound(2);
    EXPECT_EQ(asc->BGLow, 2);
    EXPECT_EQ(asc->BGHigh, 2);
    EXPECT_TRUE(asc->IsBad(2));
    EXPECT_TRUE(asc->IsGood(2));
    EXPECT_EQ(asc->ScaleString(), "+ a(-);b(-);c(-);d(+)");
    asc->SetGoodBound(0.5);
    EXPECT_EQ(asc->BGLow, 0.5);
    EXPECT_EQ(asc->BGHigh, 0.5);

    auto desc = MakeScale({"a", "b", "c"}, soDescending);
    desc->SetBadBound(0.2);  // BGHigh := 0.2, then BGLow follows
    EXPECT_EQ(desc->BGHigh, 0.2);
    EXPECT_EQ(desc->BGLow, 0.2);
    desc->SetGoodBound(1.7);  // BGLow := 1.7, then BGHigh follows
    EXPECT_EQ(desc->BGLow, 1.7);
    EXPECT_EQ(desc->BGHigh, 1.7);
    EXPECT_EQ(desc->GetGoodBound(), 1.7);
}

TEST(Scale, ComparisonsFollowTheDirection) {
    auto asc = MakeScale({"a", "b", "c"});
    auto desc = MakeScale({"a", "b", "c"}, soDescending);
    auto unordered = MakeScale({"a", "b", "c"}, soUnordered);
    EXPECT_TRUE(asc->IsBetter(2, 1));
    EXPECT_TRUE(desc->IsWorse(2, 1));
    EXPECT_TRUE(asc->IsBetterOrEqual(1 + Eps / 2, 1 + Eps));
    EXPECT_FALSE(asc->IsBetter(1, 1));
    EXPECT_TRUE(desc->IsBetterOrEqual(0, 1));
    for (double x : {0.0, 1.0, 2.0}) {
        EXPECT_FALSE(unordered->IsBetter(x, 1));
        EXPECT_FALSE(unordered->IsWorse(x, 1));
        EXPECT_FALSE(unordered->IsBetterOrEqual(x, x));
        EXPECT_FALSE(unordered->IsWorseOrEqual(x, x));
    }
}

TEST(Scale, EqualityAndAssign) {
    auto a = MakeScale({"low", "high"});
    auto b = MakeScale({"low", "high"});
    a->SetValueDescription(1, "the best");
    EXPECT_TRUE(a->EqualStructure(b.get()));
    EXPECT_FALSE(a->Equal(b.get()));
    b->SetValueDescription(1, "the best");
    b->SetName("other name");
    EXPECT_TRUE(a->Equal(b.get()));
    b->SetValueName(0, "Low");
    EXPECT_FALSE(a->Equal(b.get()));
    EXPECT_FALSE(a->EqualStructure(nullptr));
    EXPECT_FALSE(a->Equal(nullptr));

    auto c = MakeScale({"low", "high"});
    c->Unit = "kg";
    EXPECT_TRUE(a->EqualStructure(c.get()));
    c->SetValueDescription(1, "the best");
    EXPECT_FALSE(a->Equal(c.get()));
    c->Unit = "";
    c->BGLow = 0.5 + Eps / 2;
    EXPECT_TRUE(a->Equal(c.get()));
    auto d = MakeScale({"low", "high"}, soDescending);
    EXPECT_FALSE(a->EqualStructure(d.get()));

    // An assigned copy of a scale with bounds that AddValue would move.
    auto source = MakeScale({"a", "b", "c", "d"}, soDescending);
    source->SetName("Source");
    source->Unit = "u";
    source->BGLow = 1;
    source->BGHigh = 1.5;
    source->Interval = false;
    source->SetValueDescription(2, "third");
    TMivoDiscreteScale copy;
    copy.Assign(source.get());
    EXPECT_TRUE(copy.Equal(source.get()));
    EXPECT_EQ(copy.BGLow, 1);
    EXPECT_EQ(copy.BGHigh, 1.5);
    EXPECT_FALSE(copy.Interval);
    EXPECT_EQ(copy.GetName(), "");
    EXPECT_EQ(copy.ValueDescription(2), "third");
    EXPECT_NE(copy.Value(0), source->Value(0));
    copy.Assign(&copy);
    EXPECT_EQ(copy.Count(), 4);
}

TEST(Scale, MovingValuesKeepsTheBoundsInPlace) {
    auto scale = MakeScale({"a", "b", "c"});
    scale->MoveValueDown(0);
    EXPECT_EQ(scale->ValueName(0), "b");
    EXPECT_EQ(scale->ValueName(1), "a");
    scale->MoveValueUp(2);
    EXPECT_EQ(scale->ScaleString(), "+ b(-);c;a(+)");
    EXPECT_THROW(scale->MoveValueUp(0), EListError);
    EXPECT_THROW(scale->MoveValueDown(2), EListError);
    EXPECT_THROW(scale->ValueName(3), EListError);
    EXPECT_THROW(scale->SetValueName(-1, "x"), EListError);
}

TEST(Scale, HoldsAtMost208Values) {
    TMivoDiscreteScale scale;
    scale.SetName("Big");
    for (int i = 0; i < MaxScaleValues; ++i) scale.AddValue(std::to_string(i));
    EXPECT_EQ(scale.Count(), 208);
    try {
        scale.AddValue("one too many");
        FAIL() << "no error";
    } catch (const EMivoError& e) {
        EXPECT_EQ(e.Message(), "Scale \"Big\" cannot hold more than 208 values");
    }
    EXPECT_THROW(scale.InsertValue(0, "x"), EMivoError);
    EXPECT_EQ(scale.Count(), 208);
    EXPECT_EQ(scale.ValueName(0), "0");

    // The last index still travels as one byte, and back.
    EXPECT_EQ(static_cast<unsigned char>(ValueChar(207)), 255);
    EXPECT_EQ(CharValue(ValueChar(207)), 207);
    EXPECT_EQ(CharValue('0'), 0);
    EXPECT_EQ(CharValue('*'), '*' - '0');
    EXPECT_THROW(ValueChar(208), ERangeError);
    EXPECT_THROW(ValueChar(-1), ERangeError);
}

}  // namespace
}  // namespace mivo
