#include "desktop/Analyses.h"

#include <memory>
#include <string>
#include <vector>

#include "desktop/CompOptForm.h"
#include "platform/QtBusyCursor.h"
#include "reports/MivoRpt.h"
#include "reports/Report.h"

namespace mivo {

namespace {

void EvaluateIfNeeded(TMivoModel& model) {
    if (model.NeedsEvaluation) model.Reevaluate();
}

// Builds under the hourglass (restored on every path), then shows the
// report, or an empty preview when none was built.
template <class Build>
void ShowAnalysis(TReportViewer& viewer, Build&& build) {
    std::unique_ptr<TReport> report;
    {
        TBusyCursor busy;
        report = build(viewer.ReportFont(), viewer.PreviewPen());
    }
    viewer.ShowReport(std::move(report));
}

}  // namespace

bool IsAnalysableOption(const TMivoModel& model, int option) { return option >= 0 && option < model.OptionCount(); }

bool RunPlusMinusAnalysis(TMivoModel& model, TMivoAttribute* attribute, int option, TReportViewer& viewer) {
    if (attribute == nullptr || !IsAnalysableOption(model, option)) return false;
    EvaluateIfNeeded(model);
    ShowAnalysis(viewer, [&](const TFont& font, const TPen& pen) {
        TAnalysisList attributes;
        std::vector<std::string> lower, higher;
        attribute->PlusMinusOne(option, attributes, lower, higher);
        // One step lower is the "-1" column, one step higher the "+1" one.
        return BuildPlusMinusReport(&model, option, attributes, /*minus=*/lower, /*plus=*/higher, font, pen);
    });
    return true;
}

bool RunSelectiveExplanation(TMivoModel& model, int option, TReportViewer& viewer) {
    if (!IsAnalysableOption(model, option)) return false;
    EvaluateIfNeeded(model);
    ShowAnalysis(viewer, [&](const TFont& font, const TPen& pen) {
        return BuildSelectiveExplanationReport(&model, option, font, pen);
    });
    return true;
}

bool RunComparison(TMivoModel& model, TCompOptForm& form, TPrompts& prompts, TReportViewer& viewer) {
    const std::vector<int> selection = form.Execute(prompts, model);
    if (selection.empty()) return false;
    EvaluateIfNeeded(model);
    ShowAnalysis(viewer, [&](const TFont& font, const TPen& pen) {
        return BuildComparisonReport(&model, selection, font, pen);
    });
    return true;
}

}  // namespace mivo
