// The report dialog: the report-part selection, the report font, the
// settings of the model, and the model it remembers for one showing only.
#include "model/MivoModel.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include "reports/ui/RptForm.h"
#include "reports/ui/SettingsForm.h"
#include "reports/ui/tests/DialogTest.h"

namespace mivo {
namespace {

class RptFormTest : public TDialogTest {
protected:
    TSettingsForm settings{prompts};
    TRptForm form{prompts, &settings};
};

TEST_F(RptFormTest, SelectionIsTheCheckedItemsAndAllNineAreTheFullSet) {
    ASSERT_EQ(form.RptList->count(), 9);
    EXPECT_EQ(form.RptList->item(0)->text(), "Model description");
    EXPECT_EQ(form.RptList->item(8)->text(), "Chart");
    EXPECT_EQ(form.GetSelection(), FullValueSet());  // all checked at first

    form.RptList->item(3)->setCheckState(Qt::Unchecked);
    TValueSet eight;
    for (int i = 0; i < 9; ++i)
        if (i != 3) eight.set(i);
    EXPECT_EQ(form.GetSelection(), eight);

    form.SetSelection(FullValueSet());
    for (int i = 0; i < 9; ++i) EXPECT_EQ(form.RptList->item(i)->checkState(), Qt::Checked) << i;
    TValueSet nine;
    for (int i = 0; i < 9; ++i) nine.set(i);
    form.SetSelection(nine);
    EXPECT_EQ(form.GetSelection(), FullValueSet());

    TValueSet some;
    some.set(2);
    some.set(5);
    some.set(200);  // a member without an item is not shown
    form.SetSelection(some);
    some.reset(200);
    EXPECT_EQ(form.GetSelection(), some);
}

TEST_F(RptFormTest, PopupMenuSelectsAndUnselectsEveryItem) {
    ASSERT_EQ(form.RptList->actions().size(), 2);
    EXPECT_EQ(form.UnselectAllItem->text(), "Unselect all reports");
    form.UnselectAllItem->trigger();
    EXPECT_TRUE(form.GetSelection().none());
    form.SelectAllItem->trigger();
    EXPECT_EQ(form.GetSelection(), FullValueSet());
}

TEST_F(RptFormTest, FontChangedOnlyWhenTheFontDialogIsConfirmedDuringThisShowing) {
    const TFont start{"Arial", 10, 0, 0x00FF0000};
    form.SetReportFont(start);
    prompts.ExpectExec([&](QDialog&) {
        prompts.ExpectFont(std::nullopt);
        form.FontBtn->click();
        EXPECT_FALSE(form.FontChanged());
        TCanvasFont chosen;
        chosen.Name = "Courier New";
        chosen.SetSize(14);
        chosen.Style = fsBold;
        chosen.Color = 0x00FF0000;
        prompts.ExpectFont(chosen);
        form.FontBtn->click();
        EXPECT_TRUE(form.FontChanged());
        return 1;
    });
    EXPECT_EQ(form.Execute(&model), 1);
    EXPECT_TRUE(form.FontChanged());
    EXPECT_EQ(form.ReportFont(), (TFont{"Courier New", 14, fsBold, 0x00FF0000}));

    // The next showing starts afresh, the font chosen stays.
    prompts.ExpectExec([&](QDialog&) {
        EXPECT_FALSE(form.FontChanged());
        return 2;
    });
    EXPECT_EQ(form.Execute(&model), 2);
    EXPECT_FALSE(form.FontChanged());
    EXPECT_EQ(form.ReportFont().Name, "Courier New");
    EXPECT_EQ(prompts.Log().front().Kind, TPromptKind::Exec);
    EXPECT_EQ(prompts.Log().front().Text, "RptForm");
}

TEST_F(RptFormTest, ARealShowingResetsFontChanged) {
    prompts.ExpectFont(TCanvasFont{});
    form.FontBtnClick();
    ASSERT_TRUE(form.FontChanged());
    form.show();
    EXPECT_FALSE(form.FontChanged());
    form.reject();
}

TEST_F(RptFormTest, SettingsShowsTheReportPageAloneAndStoresTheHiddenFieldsAsLoaded) {
    TMivoSettings& s = model.Settings;
    s.Linking = true;
    s.Undoing = false;
    s.OptDataType = 0;
    s.OptTranspose = true;
    s.FncFormatType = 2;
    s.FncDataAll = false;
    TMivoSettings expected = s;
    expected.PageBreak = true;
    expected.EvalCol = 5;

    prompts.ExpectExec([&](QDialog&) {  // the report dialog
        form.SettingsBtn->click();
        return 1;
    });
    prompts.ExpectExec([&](QDialog& dialog) {  // the settings dialog over it
        EXPECT_EQ(&dialog, &settings);
        EXPECT_TRUE(settings.Pages->isTabVisible(0));
        EXPECT_FALSE(settings.Pages->isTabVisible(1));
        EXPECT_FALSE(settings.Pages->isTabVisible(2));
        settings.PageCheck->setChecked(true);
        return 1;
    });
    EXPECT_EQ(form.Execute(&model), 1);
    EXPECT_EQ(model.Settings, expected);
    EXPECT_TRUE(model.Modified);  // stored settings mark the model changed
    EXPECT_EQ(form.Model(), nullptr);
    EXPECT_EQ(settings.Model(), nullptr);
    ASSERT_EQ(prompts.Log().size(), 2u);
    EXPECT_EQ(prompts.Log()[1].Text, "SettingsForm");
}

TEST_F(RptFormTest, CancelledSettingsStoreNothing) {
    const TMivoSettings before = model.Settings;
    prompts.ExpectExec([&](QDialog&) {
        form.SettingsBtn->click();
        return 1;
    });
    prompts.ExpectExec([&](QDialog&) {
        settings.PageCheck->setChecked(true);
        return 2;
    });
    form.Execute(&model);
    EXPECT_EQ(model.Settings, before);
    EXPECT_FALSE(model.Modified);
}

TEST_F(RptFormTest, TheModelIsForgottenOnClose) {
    form.SetModel(&model);
    form.show();
    form.reject();
    EXPECT_EQ(form.Model(), nullptr);
    // Without a model "Settings..." opens nothing.
    form.SettingsBtn->click();
    EXPECT_TRUE(prompts.Log().empty());
}

}  // namespace
}  // namespace mivo
