// The text-dimensions dialog: limits, and the last confirmed values kept
// through Cancel, both through the prompt layer and through the dialog's
// own buttons.
#include <gtest/gtest.h>

#include <QSpinBox>

#include "platform/ScriptedPrompts.h"
#include "reports/ui/TextDim.h"
#include "reports/ui/tests/PreviewTestKit.h"

namespace mivo {
namespace {

class TextDimTest : public testing::TGuiTest {};

TEST_F(TextDimTest, ValuesLieWithinLimitsAndCancelRestoresTheConfirmedOnes) {
    TTextDimForm dims;
    EXPECT_EQ(dims.windowTitle(), "Text Dimensions");
    EXPECT_EQ(dims.GetTextWidth(), 80);
    EXPECT_EQ(dims.GetTextHeight(), 0);
    for (auto [typed, kept] : std::initializer_list<std::pair<int, int>>{
             {2'000'000'000, 1000}, {-5, 0}, {0, 0}, {1000, 1000}, {132, 132}}) {
        dims.EditWidth().setValue(typed);
        EXPECT_EQ(dims.EditWidth().value(), kept) << typed;
    }

    TScriptedPrompts prompts;
    prompts.ExpectExec([&](QDialog&) {
        EXPECT_EQ(dims.EditWidth().value(), 80);  // shows the confirmed values
        dims.EditWidth().setValue(120);
        dims.EditHeight().setValue(66);
        return QDialog::Accepted;
    });
    EXPECT_TRUE(dims.Execute(prompts));
    EXPECT_EQ(dims.GetTextWidth(), 120);
    EXPECT_EQ(dims.GetTextHeight(), 66);

    prompts.ExpectExec([&](QDialog&) {
        dims.EditWidth().setValue(10);
        return QDialog::Rejected;
    });
    EXPECT_FALSE(dims.Execute(prompts));
    EXPECT_EQ(dims.GetTextWidth(), 120);
    EXPECT_EQ(dims.EditWidth().value(), 120);

    // The dialog's own buttons do the same.
    dims.EditHeight().setValue(5);
    dims.reject();
    EXPECT_EQ(dims.EditHeight().value(), 66);
    dims.EditHeight().setValue(5);
    dims.accept();
    EXPECT_EQ(dims.GetTextHeight(), 5);
}

}  // namespace
}  // namespace mivo
