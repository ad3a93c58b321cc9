// The weights dialog opened alone on a function of three ascending inputs,
// with a recompute callback that counts its calls.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "desktop/tests/FunctTestKit.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>

#include "desktop/WeightForm.h"
#include "desktop/WeightSlider.h"
#include "platform/QtApplication.h"
#include "platform/ScriptedPrompts.h"

namespace mivo {
namespace {

class WeightForm : public ::testing::Test {
protected:
    void SetUp() override {
        funct = fixture.car->Funct();
    }
    void Load() {
        form.LoadFunction(*fixture.car, *funct, [this] { ++recomputes; });
        form.FormShow();
    }
    std::vector<std::string> Required() const { return Texts(&TWeightRow::ReqWei); }
    std::vector<std::string> Current() const { return Texts(&TWeightRow::ActWei); }
    std::vector<int> Sliders() const {
        std::vector<int> values;
        for (int i = 0; i < form.RowCount(); ++i) values.push_back(form.Row(i)->AttTrack()->value());
        return values;
    }
    std::vector<std::string> Texts(QLabel* (TWeightRow::*label)() const) const {
        std::vector<std::string> texts;
        for (int i = 0; i < form.RowCount(); ++i) texts.push_back((form.Row(i)->*label)()->text().toStdString());
        return texts;
    }
    void Move(int row, int value) { form.Row(row)->AttTrack()->setValue(value); }

    using S = std::vector<std::string>;
    using I = std::vector<int>;
    struct Application {
        Application() { EnsureGuiApplication(); }
    } application;  // before any widget
    testkit::TTestModel fixture;
    TMivoFunction* funct = nullptr;
    TWeiForm form;
    int recomputes = 0;
};

TEST_F(WeightForm, FreshInputsShowEqualWeights) {
    Load();
    EXPECT_EQ(form.windowTitle(), "Weights: Car");
    ASSERT_EQ(form.RowCount(), 3);
    EXPECT_EQ(form.Row(1)->AttName()->text(), "Safety");
    EXPECT_EQ(Required(), (S{"33", "33", "33"}));
    EXPECT_EQ(Sliders(), (I{33, 33, 33}));
    EXPECT_EQ(Current(), (S{"0", "0", "0"}));  // rules that say nothing yet
    EXPECT_TRUE(form.RoundButton(1)->isChecked());
    const TWeightSlider& slider = *form.Row(0)->AttTrack();
    EXPECT_EQ(slider.minimum(), 0);
    EXPECT_EQ(slider.maximum(), 100);
    EXPECT_EQ(slider.pageStep(), 10);
    EXPECT_EQ(slider.tickInterval(), 10);
    EXPECT_EQ(slider.tickPosition(), QSlider::TicksAbove);
}

TEST_F(WeightForm, CurrentWeightsAreMarkedOnTheSliders) {
    // The result follows Price alone: Price has all the weight.
    for (int r = 0; r < funct->RuleCount(); ++r) {
        funct->SetRuleValue(r, funct->ArgValue(0, r));
        funct->SetRuleEntered(r, true);
    }
    Load();
    EXPECT_EQ(Current(), (S{"100", "0", "0"}));
    EXPECT_EQ(form.Row(0)->AttTrack()->Marker(), 100);
    EXPECT_EQ(form.Row(1)->AttTrack()->Marker(), 0);
}

TEST_F(WeightForm, SlidersAndNormalization) {
    Load();
    Move(0, 50);
    EXPECT_EQ(Required(), (S{"50", "33", "33"}));
    EXPECT_NEAR(form.Required()[1], 100.0 / 3, 1e-9);  // the unmoved rows keep their weight
    form.SumBtn()->click();
    EXPECT_EQ(Required(), (S{"43", "29", "29"}));
    EXPECT_EQ(Sliders(), (I{43, 29, 29}));
    form.MaxBtn()->click();
    EXPECT_EQ(Required(), (S{"100", "67", "67"}));
    EXPECT_EQ(Sliders(), (I{100, 67, 67}));
    EXPECT_EQ(recomputes, 0);
    EXPECT_NEAR(funct->RequiredWeights[0], 100.0 / 3, 1e-9);  // nothing stored yet

    // All at zero: both normalizations leave them so.
    for (int i = 0; i < 3; ++i) Move(i, 0);
    form.SumBtn()->click();
    EXPECT_EQ(Required(), (S{"0", "0", "0"}));
    form.MaxBtn()->click();
    EXPECT_EQ(Required(), (S{"0", "0", "0"}));
    EXPECT_EQ(Sliders(), (I{0, 0, 0}));
}

TEST_F(WeightForm, StoredWeightsAsTheSlidersShowThem) {
    struct Case {
        TFloatList stored;
        S texts;
        I sliders;
    };
    const Case cases[] = {
        {{12.5, 13.5, 74}, {"12", "14", "74"}, {12, 14, 74}},
        {{250, -5, 1e300}, {"250", "-5", "1e+300"}, {100, 0, 100}},
        {{-1e300, 0.5, 99.5}, {"-1e+300", "0", "100"}, {0, 0, 100}},
        {{40, 60}, {"33", "33", "33"}, {33, 33, 33}},  // a list of another length
        {{}, {"33", "33", "33"}, {33, 33, 33}},
    };
    for (const Case& c : cases) {
        funct->RequiredWeights = c.stored;
        Load();
        EXPECT_EQ(Required(), c.texts);
        EXPECT_EQ(Sliders(), c.sliders);
    }
    // Moving another slider keeps what the sliders cannot show.
    funct->RequiredWeights = {250, -5, 1e300};
    Load();
    Move(1, 20);
    EXPECT_EQ(Required(), (S{"250", "20", "1e+300"}));
    form.OKBtn()->click();
    EXPECT_EQ(funct->RequiredWeights, (TFloatList{250, 20, 1e300}));
}

TEST_F(WeightForm, MissingCurrentWeightsShowAsZero) {
    funct->ActualWeights = {70};
    Load();  // the rules say nothing: computing sets the one element to 0
    EXPECT_EQ(Current(), (S{"0", "0", "0"}));
    ASSERT_EQ(form.Current().size(), 3u);
}

TEST_F(WeightForm, RoundingIsLoadedAndStored) {
    struct Case {
        int stored;
        int button;
        int back;
    };
    const Case cases[] = {{5, 2, 1}, {-3, 0, -1}, {0, 1, 0}, {1, 2, 1}};
    for (const Case& c : cases) {
        funct->Rounding = c.stored;
        Load();
        EXPECT_TRUE(form.RoundButton(c.button)->isChecked()) << c.stored;
        form.OKBtn()->click();
        EXPECT_EQ(funct->Rounding, c.back);
        EXPECT_TRUE(funct->UseWeights);
    }
}

TEST_F(WeightForm, CancelStoresNothingAndEveryShowingReloads) {
    Load();
    form.RoundButton(0)->setChecked(true);
    Move(2, 90);
    form.CancelBtn()->click();
    EXPECT_EQ(funct->Rounding, 0);
    EXPECT_FALSE(funct->UseWeights);
    form.FormShow();
    EXPECT_TRUE(form.RoundButton(1)->isChecked());
    EXPECT_EQ(Required(), (S{"33", "33", "33"}));
    EXPECT_EQ(recomputes, 0);
}

TEST_F(WeightForm, ApplyThenCancelKeepsWhatApplyStored) {
    Load();
    Move(0, 70);
    form.RoundButton(2)->setChecked(true);
    form.ApplyBtn()->click();
    EXPECT_EQ(recomputes, 1);
    EXPECT_EQ(funct->RequiredWeights[0], 70);
    EXPECT_EQ(funct->Rounding, 1);
    EXPECT_TRUE(funct->UseWeights);
    EXPECT_EQ(Required(), (S{"70", "33", "33"}));
    Move(0, 10);
    form.CancelBtn()->click();
    EXPECT_EQ(funct->RequiredWeights[0], 70);
    form.FormShow();
    EXPECT_EQ(Required(), (S{"70", "33", "33"}));
    EXPECT_TRUE(form.RoundButton(2)->isChecked());
}

TEST_F(WeightForm, ExecuteShowsThroughThePrompts) {
    form.LoadFunction(*fixture.car, *funct, [this] { ++recomputes; });
    TScriptedPrompts prompts;
    prompts.ExpectExec([this](QDialog& dialog) {
        EXPECT_EQ(&dialog, &form);
        EXPECT_EQ(Required(), (S{"33", "33", "33"}));
        form.OKBtn()->click();
        return dialog.result();
    });
    EXPECT_EQ(form.Execute(prompts), QDialog::Accepted);
    EXPECT_EQ(recomputes, 1);
    ASSERT_EQ(prompts.Log().size(), 1u);
    EXPECT_EQ(prompts.Log()[0].Text, "Weights");
}

TEST_F(WeightForm, RowsScrollWhenTheyDoNotFitTheScreen) {
    TMivoAttribute wide("Wide");
    wide.SetScale(testkit::MakeScale({"no", "yes"}));
    for (int k = 0; k < 40; ++k) testkit::AddAttribute(wide, "Input " + std::to_string(k + 1), {"no", "yes"});
    TMivoFunction empty;  // no rules needed for the rows
    form.LoadFunction(wide, empty, [] {});
    form.FormShow();
    ASSERT_EQ(form.RowCount(), 40);
    EXPECT_EQ(Required().back(), "2");  // 2.5 to the even neighbour
    EXPECT_EQ(form.RowArea()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_LT(form.height(), 40 * TWeightRow::RowHeight);
    // Loading a smaller table again drops the rows of the first.
    Load();
    EXPECT_EQ(form.RowCount(), 3);
    EXPECT_EQ(form.RowArea()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST_F(WeightForm, WeightTexts) {
    struct Case {
        double weight;
        const char* text;
    };
    const Case cases[] = {{33.333, "33"}, {12.5, "12"}, {13.5, "14"}, {-0.4, "0"}, {-5, "-5"},
                          {1e300, "1e+300"}, {123456789012345.0, "123456789012345"}};
    for (const Case& c : cases) EXPECT_EQ(WeightText(c.weight), c.text) << c.weight;
}

}  // namespace
}  // namespace mivo
