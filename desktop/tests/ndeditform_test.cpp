// The name and description dialog: loads the texts, keeps itself open while
// the caller's check refuses the name, and closes with OK or Cancel.
#include <gtest/gtest.h>

#include <string>

#include <QLineEdit>
#include <QPushButton>

#include "desktop/NDEditForm.h"
#include "platform/QtApplication.h"
#include "platform/ScriptedPrompts.h"

namespace mivo {
namespace {

TEST(NameDescEditForm, LoadsChecksAndCloses) {
    EnsureGuiApplication();
    TScriptedPrompts prompts;
    TNameDescEditForm form(prompts);
    form.Load("Editing 1. attribute value Price", "high", "more than we hoped");
    EXPECT_EQ(form.windowTitle(), "Editing 1. attribute value Price");
    EXPECT_EQ(form.Name(), "high");
    EXPECT_EQ(form.Description(), "more than we hoped");
    EXPECT_TRUE(form.OKBtn()->isDefault());

    form.SetNameCheck([](const std::string& name) { return name == "bad" ? std::string("No.") : std::string(); });
    form.NameEdit()->setText("bad");
    prompts.ExpectMessage(TMsgAnswer::Ok);
    form.OKBtn()->click();
    EXPECT_EQ(form.result(), 0);  // still open
    ASSERT_EQ(prompts.Log().size(), 1u);
    EXPECT_EQ(prompts.Log()[0].MsgKind, TMsgKind::Error);
    EXPECT_EQ(prompts.Log()[0].Text, "No.");

    form.NameEdit()->setText("dear");
    form.OKBtn()->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.Name(), "dear");

    TNameDescEditForm other(prompts);
    other.CancelBtn()->click();
    EXPECT_EQ(other.result(), QDialog::Rejected);
    EXPECT_TRUE(prompts.Failures().empty());
}

}  // namespace
}  // namespace mivo
