// The analyses of the evaluation page: the plus-minus-one analysis of an
// attribute for an option, the selective explanation of an option and the
// comparison of options. Each re-evaluates the model when it needs it,
// builds its report under the hourglass and hands it to the report viewer,
// which shows it modally (an empty preview when no report was built).
#pragma once

#include "model/MivoModel.h"
#include "platform/Prompts.h"
#include "reports/ReportViewer.h"

namespace mivo {

class TCompOptForm;

// An analysis needs an option that exists: 0 <= option < option count.
bool IsAnalysableOption(const TMivoModel& model, int option);

// The plus-minus-one analysis: the value of `attribute` for `option` when
// each basic attribute below it is one step lower (column "-1") or higher
// ("+1"). Nothing without an attribute or an option that exists; returns
// whether the analysis ran. Every value of the option is as before
// afterwards.
bool RunPlusMinusAnalysis(TMivoModel& model, TMivoAttribute* attribute, int option, TReportViewer& viewer);

// The weak and strong points of the option; nothing for an option that
// does not exist.
bool RunSelectiveExplanation(TMivoModel& model, int option, TReportViewer& viewer);

// The compare dialog on the model's options; on "Compare" the comparison
// of the main option with the checked ones. Returns whether it ran.
bool RunComparison(TMivoModel& model, TCompOptForm& form, TPrompts& prompts, TReportViewer& viewer);

}  // namespace mivo
