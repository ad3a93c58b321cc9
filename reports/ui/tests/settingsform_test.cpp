// The settings dialog: controls loaded from and stored into a model's
// settings record, its pages, colour swatches, "Default", and the model it
// remembers for one round only.
#include "model/MivoModel.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QSpinBox>
#include <QTabWidget>

#include "reports/ui/SettingsForm.h"
#include "reports/ui/tests/DialogTest.h"

namespace mivo {
namespace {

// A record with every field the dialog edits away from its default.
TMivoSettings Unusual() {
    TMivoSettings s;
    s.Linking = true;
    s.Undoing = false;
    s.WeightShow.reset(0);
    s.WeightShow.reset(3);
    s.PageBreak = true;
    s.BadColor = 0x02ABCDEF;  // bits above the colour must survive
    s.GoodColor = 0x00102030;
    s.BadFontStyle = fsItalic | fsUnderline;
    s.GoodFontStyle = 0;
    s.WeightDec = 3;
    s.EvalCol = 12;
    s.EvalTrim = 40;
    s.ShowWeights = false;
    s.ShowNum = false;
    s.ComplexRules = false;
    s.EnteredOnly = true;
    s.OptDataType = 2;
    s.OptDataAll = false;
    s.OptTranspose = true;
    s.OptLevels = false;
    s.FncDataType = 0;
    s.FncDataAll = false;
    s.FncFormatType = 2;
    return s;
}

class SettingsFormTest : public TDialogTest {
protected:
    TSettingsForm form{prompts};
};

TEST_F(SettingsFormTest, UnsetColumnCountShowsAndStoresFive) {
    model.Settings.EvalCol = 0;
    form.LoadSettings(&model);
    EXPECT_EQ(form.ColEdit->value(), 5);
    EXPECT_TRUE(form.StoreSettings());
    EXPECT_EQ(model.Settings.EvalCol, 5);
    EXPECT_TRUE(model.Modified);
}

TEST_F(SettingsFormTest, StoringUntouchedControlsChangesNothingAndLeavesTheModelUnmarked) {
    for (const TMivoSettings& settings : {TMivoSettings{}, Unusual()}) {
        TMivoSettings loaded = settings;
        loaded.EvalCol = 7;  // a set count shows as it is
        model.Settings = loaded;
        form.LoadSettings(&model);
        EXPECT_FALSE(form.StoreSettings());
        EXPECT_EQ(model.Settings, loaded);
        EXPECT_FALSE(model.Modified);
    }
}

TEST_F(SettingsFormTest, ControlsCarryEveryEditedFieldAndNoOther) {
    TMivoSettings shown = Unusual();
    model.Settings.ReportParts.reset(4);
    model.Settings.FontSize = 14;
    model.Settings.FontName = "Courier New";
    const TMivoSettings before = model.Settings;
    form.LoadSettings(&model, &shown);
    EXPECT_TRUE(form.StoreSettings());

    TMivoSettings expected = shown;
    expected.ReportParts = before.ReportParts;  // the report dialog's fields stay
    expected.FontSize = before.FontSize;
    expected.FontName = before.FontName;
    EXPECT_EQ(model.Settings, expected);
    EXPECT_EQ(model.Settings.BadColor, 0x02ABCDEFu);
    EXPECT_TRUE(model.Modified);
}

TEST_F(SettingsFormTest, ControlsStandForTheirFields) {
    model.Settings = TMivoSettings{};
    form.LoadSettings(&model);
    EXPECT_EQ(form.OdtCombo->currentText(), "base 1");
    EXPECT_EQ(form.AttCombo->currentText(), "all");
    EXPECT_EQ(form.DimCombo->currentText(), "normal (attributes \\ options)");
    EXPECT_EQ(form.LevCombo->currentText(), "indent");
    EXPECT_EQ(form.FmtCombo->currentText(), "from:to");
    EXPECT_TRUE(form.BBCheck->isChecked());
    EXPECT_FALSE(form.BICheck->isChecked());
    EXPECT_TRUE(form.GICheck->isChecked());
    EXPECT_TRUE(form.UndoCheck->isChecked());
    for (QComboBox* combo : {form.OdtCombo, form.AttCombo, form.DimCombo, form.LevCombo, form.FncOdtCombo,
                             form.RulCombo, form.FmtCombo})
        EXPECT_FALSE(combo->isEditable());

    form.DimCombo->setCurrentIndex(1);
    form.AttCombo->setCurrentIndex(1);
    form.RulCombo->setCurrentIndex(1);
    form.FmtCombo->setCurrentIndex(0);
    form.GUCheck->setChecked(true);
    form.FShowCheckList->item(3)->setCheckState(Qt::Checked);
    form.TrimEdit->setValue(8);
    ASSERT_TRUE(form.StoreSettings());
    EXPECT_TRUE(model.Settings.OptTranspose);
    EXPECT_FALSE(model.Settings.OptDataAll);
    EXPECT_FALSE(model.Settings.FncDataAll);
    EXPECT_EQ(model.Settings.FncFormatType, 0);
    EXPECT_EQ(model.Settings.GoodFontStyle, fsBold | fsItalic | fsUnderline);
    EXPECT_TRUE(model.Settings.EnteredOnly);
    EXPECT_EQ(model.Settings.EvalTrim, 8);
}

TEST_F(SettingsFormTest, UncheckingGlobalWeightsLeavesEveryMemberButOne) {
    form.LoadSettings(&model);
    form.WShowCheckList->item(1)->setCheckState(Qt::Unchecked);
    ASSERT_TRUE(form.StoreSettings());
    TValueSet expected = FullValueSet();
    expected.reset(1);
    EXPECT_EQ(model.Settings.WeightShow, expected);
}

TEST_F(SettingsFormTest, DefaultThenCancelChangesNothing) {
    model.Settings = Unusual();
    const TMivoSettings before = model.Settings;
    prompts.ExpectExec([&](QDialog&) {
        form.ResetBtn->click();
        EXPECT_EQ(form.ColEdit->value(), 5);
        EXPECT_FALSE(form.LinkCheck->isChecked());
        EXPECT_EQ(form.BadPanel->Color(), 255u);
        form.CancelBtn->click();
        return 2;
    });
    bool changed = true;
    EXPECT_EQ(form.Run(model, true, &changed), 2);
    EXPECT_FALSE(changed);
    EXPECT_EQ(model.Settings, before);
    EXPECT_FALSE(model.Modified);
    EXPECT_EQ(form.Model(), nullptr);
}

TEST_F(SettingsFormTest, DefaultThenOkStoresTheDefaults) {
    model.Settings = Unusual();
    prompts.ExpectExec([&](QDialog&) {
        form.ResetBtn->click();
        return 1;
    });
    bool changed = false;
    EXPECT_EQ(form.Run(model, true, &changed), 1);
    EXPECT_TRUE(changed);
    TMivoSettings expected;
    expected.EvalCol = 5;
    EXPECT_EQ(model.Settings, expected);
    EXPECT_TRUE(model.Modified);
}

TEST_F(SettingsFormTest, SwatchesTakeAChosenColourAndKeepTheirValueOtherwise) {
    model.Settings.BadColor = 0x80000005;  // a value with its top bits set
    form.LoadSettings(&model);
    prompts.ExpectColour(std::nullopt);
    form.BadPanel->click();
    EXPECT_EQ(form.BadPanel->Color(), 0x80000005u);
    prompts.ExpectColour(TColor{0x00123456});
    form.GoodPanel->click();
    EXPECT_EQ(form.GoodPanel->Color(), 0x00123456u);
    ASSERT_TRUE(form.StoreSettings());
    EXPECT_EQ(model.Settings.BadColor, 0x80000005u);
    EXPECT_EQ(model.Settings.GoodColor, 0x00123456u);
}

TEST_F(SettingsFormTest, PagesNotShownAreHiddenNotRemoved) {
    form.Pages->setCurrentIndex(2);
    form.SetPages(false);
    EXPECT_EQ(form.Pages->count(), 3);
    EXPECT_TRUE(form.Pages->isTabVisible(0));
    EXPECT_FALSE(form.Pages->isTabVisible(1));
    EXPECT_FALSE(form.Pages->isTabVisible(2));
    EXPECT_EQ(form.Pages->currentIndex(), 0);
    form.SetPages(true);
    EXPECT_TRUE(form.Pages->isTabVisible(1));
    EXPECT_TRUE(form.Pages->isTabVisible(2));
}

TEST_F(SettingsFormTest, TheModelIsForgottenOnEveryWayOut) {
    // Closed with Cancel.
    form.LoadSettings(&model);
    form.reject();
    EXPECT_EQ(form.Model(), nullptr);
    EXPECT_FALSE(form.StoreSettings());
    // Stored after OK.
    form.LoadSettings(&model);
    form.accept();
    EXPECT_EQ(form.Model(), &model);
    form.StoreSettings();
    EXPECT_EQ(form.Model(), nullptr);
    // A run that fails half-way.
    prompts.ExpectExec([](QDialog&) -> int { throw Exception("lost window"); });
    EXPECT_THROW(form.Run(model, true), Exception);
    EXPECT_EQ(form.Model(), nullptr);
    // Without a model the dialog loads nothing and Default does nothing.
    form.ColEdit->setValue(17);
    form.LoadSettings(nullptr);
    form.ResetBtnClick();
    EXPECT_EQ(form.ColEdit->value(), 17);
}

}  // namespace
}  // namespace mivo
