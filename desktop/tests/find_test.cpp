// The find dialog: its button, the stored search taken only on "Find",
// and the enabling of "Find next" by the stored search.
#include "desktop/FindForm.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "platform/QtApplication.h"
#include "platform/ScriptedPrompts.h"

namespace mivo {
namespace {

TEST(FindForm, StartsWithAnEmptySearchInNames) {
    EnsureGuiApplication();
    TFindForm form;
    EXPECT_EQ(form.Search(), TFindSearch{});
    EXPECT_FALSE(form.FindBtn->isEnabled());
    EXPECT_EQ(form.windowTitle(), "Find");
    EXPECT_TRUE(form.FindBtn->isDefault());

    // The button follows the text and the places to look in.
    form.FindEdit->setText("price");
    EXPECT_TRUE(form.FindBtn->isEnabled());
    form.AttChk->setChecked(false);
    EXPECT_FALSE(form.FindBtn->isEnabled());
    form.ScaleChk->setChecked(true);
    EXPECT_TRUE(form.FindBtn->isEnabled());
    form.FindEdit->clear();
    EXPECT_FALSE(form.FindBtn->isEnabled());
}

TEST(FindForm, FindStoresTheSearchAndCancelKeepsIt) {
    EnsureGuiApplication();
    TFindForm form;
    TScriptedPrompts prompts;
    // Type, Cancel: the stored search stays, and "Find next" stays off
    // although the dialog's button was enabled.
    prompts.ExpectExec([](QDialog& d) {
        auto& f = dynamic_cast<TFindForm&>(d);
        f.FindEdit->setText("PRICE");
        f.CaseChk->setChecked(true);
        EXPECT_TRUE(f.FindBtn->isEnabled());
        f.CancelBtn->click();
        return f.result();
    });
    EXPECT_EQ(form.Execute(prompts), DialogCancel);
    EXPECT_EQ(form.Search(), TFindSearch{});
    EXPECT_FALSE(FindNextEnabled(form.Search(), true));

    // Reopened, the controls show the stored search again; then Find.
    prompts.ExpectExec([](QDialog& d) {
        auto& f = dynamic_cast<TFindForm&>(d);
        EXPECT_EQ(f.FindEdit->text(), "");
        EXPECT_FALSE(f.CaseChk->isChecked());
        f.FindEdit->setText("Čas");
        f.DescChk->setChecked(true);
        f.FindBtn->click();
        return f.result();
    });
    EXPECT_EQ(form.Execute(prompts), DialogOk);
    EXPECT_EQ(form.Search(), (TFindSearch{"Čas", true, true, false, false}));
    EXPECT_TRUE(FindNextEnabled(form.Search(), true));
    EXPECT_FALSE(FindNextEnabled(form.Search(), false));  // nothing selected, or no rows
    EXPECT_TRUE(prompts.Failures().empty());

    // An OK with nothing to look for stores nothing.
    prompts.ExpectExec([](QDialog& d) {
        dynamic_cast<TFindForm&>(d).FindEdit->clear();
        return DialogOk;
    });
    EXPECT_EQ(form.Execute(prompts), DialogCancel);
    EXPECT_EQ(form.Search().FindText, "Čas");
}

}  // namespace
}  // namespace mivo
