// The analyses handed to the report viewer: the plus-minus columns bound by
// name, re-evaluation first, no analysis without an option, the comparison
// through its dialog.
#include "desktop/Analyses.h"
#include "desktop/CompOptForm.h"
#include "desktop/Commands.h"
#include "desktop/ModelWindowState.h"
#include "reports/tests/ReportFixture.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include "platform/QtApplication.h"
#include "platform/ScriptedPrompts.h"

namespace mivo {
namespace {

using namespace mivo::testing;

// Keeps every report it is shown.
class KeepingViewer : public TReportViewer {
public:
    TFont ReportFont() const override { return testing::ReportFont(); }
    TPen PreviewPen() const override { return TPen{}; }
    void ShowReport(std::unique_ptr<TReport> report) override {
        ++shown;
        if (report) reports.push_back(std::move(report));
    }
    int shown = 0;
    std::vector<std::unique_ptr<TReport>> reports;
};

class Analyses : public ::testing::Test {
protected:
    Analyses() : scope_(&host) { EnsureGuiApplication(); }
    StubHost host;
    std::unique_ptr<TMivoModel> model = LoadFixtureModel();
    KeepingViewer viewer;

private:
    HostScope scope_;
};

TEST_F(Analyses, PlusMinusPutsTheLowerStepUnderMinusOne) {
    // Price of Flint is at its lowest value: "[" under -1, and its raised
    // result under +1.
    ASSERT_TRUE(RunPlusMinusAnalysis(*model, model->FindByName("Bicycle"), model->IndexOfOption("Flint"), viewer));
    ASSERT_EQ(viewer.reports.size(), 1u);
    ExpectFixture(AsText(*viewer.reports[0]), "plus_minus.txt");
}

TEST_F(Analyses, TheModelIsEvaluatedFirst) {
    const int flint = model->IndexOfOption("Flint");
    TMivoAttribute* bicycle = model->FindByName("Bicycle");
    const std::string evaluated = bicycle->GetOptValue(flint);
    bicycle->SetOptValue(flint, "");
    model->Changed();
    ASSERT_TRUE(RunSelectiveExplanation(*model, flint, viewer));
    EXPECT_FALSE(model->NeedsEvaluation);
    EXPECT_EQ(bicycle->GetOptValue(flint), evaluated);
    EXPECT_EQ(viewer.shown, 1);
}

TEST_F(Analyses, NothingRunsWithoutAnOption) {
    TMivoAttribute* bicycle = model->FindByName("Bicycle");
    for (int option : {-1, model->OptionCount(), 1000}) {
        EXPECT_FALSE(RunPlusMinusAnalysis(*model, bicycle, option, viewer));
        EXPECT_FALSE(RunSelectiveExplanation(*model, option, viewer));
    }
    EXPECT_FALSE(RunPlusMinusAnalysis(*model, nullptr, 0, viewer));
    model->DeleteAllOptions();
    EXPECT_FALSE(RunPlusMinusAnalysis(*model, bicycle, 0, viewer));
    EXPECT_EQ(viewer.shown, 0);
}

TEST_F(Analyses, TheAnalysesAreEnabledOnlyWithACurrentOption) {
    TModelWindowState state;
    state.ReplaceModel(std::move(model));
    const int aggregateRow = 2;  // Bicycle, no value box
    struct Case {
        bool options;
        int column;
        bool enabled;
    } cases[] = {{true, 1, true}, {true, 0, false}, {true, 13, false}, {false, 1, false}, {false, 0, false}};
    for (const Case& c : cases) {
        if (!c.options) state.Model().DeleteAllOptions();
        TEnablingFacts facts;
        state.EvalGridRow = aggregateRow;
        state.EvalGridCol = c.column;
        const TCommandStates commands = CommandStates(state, facts);
        EXPECT_EQ(commands.Enabled(TCommandId::PlusMinus), c.enabled) << c.options << " " << c.column;
        EXPECT_EQ(commands.Enabled(TCommandId::SelExpl), c.enabled) << c.options << " " << c.column;
    }
}

TEST_F(Analyses, TheComparisonTakesTheDialogsSelection) {
    TCompOptForm form;
    TScriptedPrompts prompts;
    prompts.ExpectExec([](QDialog& d) {
        auto& f = dynamic_cast<TCompOptForm&>(d);
        f.MainOptSel->setCurrentIndex(2);
        f.OptSel->item(0)->setCheckState(Qt::Checked);
        f.OptSel->item(3)->setCheckState(Qt::Checked);
        f.OKBtn->click();
        return f.result();
    });
    ASSERT_TRUE(RunComparison(*model, form, prompts, viewer));
    ASSERT_EQ(viewer.reports.size(), 1u);
    const std::string text = AsText(*viewer.reports[0], {200, 0});
    // The main option's column first, then the compared ones in order.
    const auto main = text.find(model->OptionName(2)), first = text.find(model->OptionName(0)),
               second = text.find(model->OptionName(3));
    ASSERT_NE(main, std::string::npos);
    EXPECT_LT(main, first);
    EXPECT_LT(first, second);

    prompts.ExpectExec([](QDialog&) { return DialogCancel; });
    EXPECT_FALSE(RunComparison(*model, form, prompts, viewer));
    EXPECT_EQ(viewer.shown, 1);
    EXPECT_TRUE(prompts.Failures().empty());
}

}  // namespace
}  // namespace mivo
