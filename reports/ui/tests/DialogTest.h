// The fixture of the dialog tests: scripted prompts that also receive the
// errors of the dialogs' handlers, an unmarked model, and a check at the
// end that the script was used up and met no unexpected request.
#pragma once

#include <gtest/gtest.h>

#include "model/MivoModel.h"
#include "platform/ErrorDisplay.h"
#include "platform/QtApplication.h"
#include "platform/ScriptedPrompts.h"

namespace mivo {

class TDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureGuiApplication(); }
    void SetUp() override {
        previous_ = SetErrorPrompts(&prompts);
        model.Modified = false;
    }
    void TearDown() override {
        SetErrorPrompts(previous_);
        EXPECT_TRUE(prompts.Failures().empty());
        EXPECT_EQ(prompts.Pending(), 0u);
    }

    TScriptedPrompts prompts;
    TMivoModel model;

private:
    TPrompts* previous_ = nullptr;
};

}  // namespace mivo
