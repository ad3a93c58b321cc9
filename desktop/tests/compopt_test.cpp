// The compare-options dialog: filling, the disabled main option, keeping
// the choice for the same options, the selection array.
#include "desktop/CompOptForm.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include "platform/QtApplication.h"
#include "platform/ScriptedPrompts.h"

namespace mivo {
namespace {

void AddOptions(TMivoModel& model, int n) {
    for (int i = 0; i < n; ++i) model.AddOption("Option " + std::to_string(i));
}
void Check(TCompOptForm& form, int i, bool checked) {
    form.OptSel->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

TEST(CompOptForm, OneOptionLeavesOnlyCancel) {
    EnsureGuiApplication();
    TMivoModel model;
    AddOptions(model, 1);
    TCompOptForm form;
    TScriptedPrompts prompts;
    prompts.ExpectExec([](QDialog& d) {
        auto& f = dynamic_cast<TCompOptForm&>(d);
        EXPECT_EQ(f.OptSel->count(), 1);
        EXPECT_FALSE(f.MainOptSel->isEnabled());
        EXPECT_FALSE(f.OKBtn->isEnabled());
        // Ticking the only option, or all of them, leaves Compare disabled.
        Check(f, 0, true);
        EXPECT_FALSE(f.OKBtn->isEnabled());
        f.SelAllClick();
        EXPECT_FALSE(f.OKBtn->isEnabled());
        f.OKBtn->click();  // disabled: does nothing
        return DialogOk;   // even a forced OK yields no comparison
    });
    EXPECT_TRUE(form.Execute(prompts, model).empty());

    TMivoModel none;
    prompts.ExpectExec([](QDialog&) { return DialogOk; });
    EXPECT_TRUE(form.Execute(prompts, none).empty());
    EXPECT_TRUE(prompts.Failures().empty());
}

TEST(CompOptForm, TheMainOptionIsDisabledAndDoesNotCount) {
    EnsureGuiApplication();
    TMivoModel model;
    AddOptions(model, 4);
    TCompOptForm form;
    form.LoadModel(&model);
    EXPECT_EQ(form.MainOptSel->currentIndex(), 0);
    EXPECT_FALSE(form.OptSel->item(0)->flags() & Qt::ItemIsEnabled);
    EXPECT_FALSE(form.OKBtn->isEnabled());

    // Select all, then uncheck every other: only the main option checked.
    form.SelAllClick();
    EXPECT_TRUE(form.OKBtn->isEnabled());
    EXPECT_EQ(form.CheckedCount(), 3);
    for (int i = 1; i < 4; ++i) Check(form, i, false);
    EXPECT_EQ(form.OptSel->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(form.CheckedCount(), 0);
    EXPECT_FALSE(form.OKBtn->isEnabled());

    // Main option 2 with options 0 and 3 checked.
    form.UnSelAllClick();
    form.MainOptSel->setCurrentIndex(2);
    EXPECT_TRUE(form.OptSel->item(0)->flags() & Qt::ItemIsEnabled);
    EXPECT_FALSE(form.OptSel->item(2)->flags() & Qt::ItemIsEnabled);
    Check(form, 0, true);
    Check(form, 2, true);  // disabled: ignored
    Check(form, 3, true);
    EXPECT_TRUE(form.OKBtn->isEnabled());
    EXPECT_EQ(form.GetSelection(), (std::vector<int>{2, 0, 3}));
}

TEST(CompOptForm, TheSameOptionsKeepTheChoiceAndARenameRefills) {
    EnsureGuiApplication();
    TMivoModel model;
    AddOptions(model, 3);
    TCompOptForm form;
    TScriptedPrompts prompts;
    prompts.ExpectExec([](QDialog& d) {
        auto& f = dynamic_cast<TCompOptForm&>(d);
        f.MainOptSel->setCurrentIndex(1);
        f.OptSel->item(2)->setCheckState(Qt::Checked);
        f.OKBtn->click();
        return f.result();
    });
    EXPECT_EQ(form.Execute(prompts, model), (std::vector<int>{1, 2}));

    // Reopened for the same model: the previous choice again.
    prompts.ExpectExec([](QDialog& d) {
        auto& f = dynamic_cast<TCompOptForm&>(d);
        EXPECT_EQ(f.MainOptSel->currentIndex(), 1);
        EXPECT_EQ(f.OptSel->item(2)->checkState(), Qt::Checked);
        return DialogCancel;
    });
    EXPECT_TRUE(form.Execute(prompts, model).empty());

    // A renamed option refills both lists and clears the checks.
    model.SetOptionName(0, "Renamed");
    form.LoadModel(&model);
    EXPECT_EQ(form.MainOptSel->currentIndex(), 0);
    EXPECT_EQ(form.OptSel->item(0)->text(), "Renamed");
    EXPECT_EQ(form.CheckedCount(), 0);
    EXPECT_TRUE(prompts.Failures().empty());
}

}  // namespace
}  // namespace mivo
