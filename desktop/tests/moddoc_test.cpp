// The model description dialog: the model's own name and description, its
// lines, and Cancel changing nothing.
#include "desktop/ModDocForm.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "platform/QtApplication.h"
#include "platform/ScriptedPrompts.h"

namespace mivo {
namespace {

TEST(ModDocForm, OkTakesTheModelsNameAndDescription) {
    EnsureGuiApplication();
    TMivoModel model;
    model.Root()->AddInput(std::make_unique<TMivoAttribute>("First attribute"));
    model.SetName("Bicycle");
    model.SetDescription("Line one\r\n\r\nLine three");
    model.Modified = false;
    TDocForm form;
    bool labelled = false;
    for (QLabel* label : form.findChildren<QLabel*>()) labelled |= label->text() == "Model &description";
    EXPECT_TRUE(labelled);

    TScriptedPrompts prompts;
    prompts.ExpectExec([](QDialog& d) {
        auto& f = dynamic_cast<TDocForm&>(d);
        EXPECT_EQ(f.NameEdit->text(), "Bicycle");
        EXPECT_EQ(f.DescEdit->toPlainText(), "Line one\n\nLine three");
        f.NameEdit->setText("Bicycle choice");
        f.DescEdit->setPlainText("Only\nčas");
        return DialogOk;
    });
    EXPECT_TRUE(EditModelDescription(form, prompts, model));
    EXPECT_EQ(model.GetName(), "Bicycle choice");
    EXPECT_EQ(model.GetDescription(), "Only\r\nčas");
    EXPECT_EQ(model.FirstAttribute()->GetName(), "First attribute");
    EXPECT_TRUE(model.Modified);
}

TEST(ModDocForm, CancelOrNoChangeLeavesTheModelAlone) {
    EnsureGuiApplication();
    TMivoModel model;
    model.SetName("Kept");
    model.Modified = false;
    TDocForm form;
    TScriptedPrompts prompts;
    prompts.ExpectExec([](QDialog& d) {
        dynamic_cast<TDocForm&>(d).NameEdit->setText("Changed");
        return DialogCancel;
    });
    EXPECT_FALSE(EditModelDescription(form, prompts, model));
    prompts.ExpectExec([](QDialog&) { return DialogOk; });
    EXPECT_FALSE(EditModelDescription(form, prompts, model));
    EXPECT_EQ(model.GetName(), "Kept");
    EXPECT_FALSE(model.Modified);
    EXPECT_TRUE(prompts.Failures().empty());
}

}  // namespace
}  // namespace mivo
