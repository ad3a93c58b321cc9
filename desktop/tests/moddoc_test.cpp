// The model description dialog: the model's own name and description, its
// lines, Cancel changing nothing, and a paste from an empty clipboard.
#include "desktop/ModDocForm.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>

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

// A clipboard that holds nothing hands over data without a format; the
// description box pastes nothing from it (Qt's own box crashes on it).
TEST(ModDocForm, PastingAnEmptyClipboardDoesNothingAndTextStillPastes) {
    EnsureGuiApplication();
    TDocForm form;
    form.SetModelDescription("Typed");
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.NameEdit->setFocus();
    QTest::keyClick(form.NameEdit, Qt::Key_Tab);
    ASSERT_TRUE(form.DescEdit->hasFocus());
    form.DescEdit->moveCursor(QTextCursor::End);

    QGuiApplication::clipboard()->setMimeData(new QMimeData);
    QTest::keyClick(form.DescEdit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(form.DescEdit, Qt::Key_Insert, Qt::ShiftModifier);
    form.DescEdit->paste();
    EXPECT_EQ(form.DescEdit->toPlainText(), "Typed");

    QGuiApplication::clipboard()->setText(" and pasted");
    QTest::keyClick(form.DescEdit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form.DescEdit->toPlainText(), "Typed and pasted");
    QGuiApplication::clipboard()->clear();
}

}  // namespace
}  // namespace mivo
