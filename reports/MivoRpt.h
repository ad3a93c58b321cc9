// The builders of the model's reports: the model report with its nine
// parts, the rules report of one decision table, and the three analysis
// reports of the evaluation page (plus-minus-one analysis, selective
// explanation, comparison of options).
//
// Every builder returns a new report document that belongs to the caller
// (the print preview takes it over), or null when there is nothing to
// build. The report's header shows the product name, the time of day with
// the active model window's file name and the page number.
//
// The builders read the main window through the registered TReportHost
// (ReportHost.h): without a host, or with no active model window, the model
// report and the analysis reports are not built. The time of day comes from
// the registered clock (the system clock when none is set), so that a
// report can be built reproducibly.
//
// Value styling: a value that is bad on its scale is shown in the model's
// bad colour and bad font style, a good one in the good colour and style
// (model settings BadColor, BadFontStyle, GoodColor, GoodFontStyle).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/MivoAttribute.h"
#include "model/Utils.h"
#include "reports/DateTime.h"
#include "reports/Graphics.h"
#include "reports/Measures.h"
#include "reports/Report.h"
#include "reports/ReportHost.h"

namespace mivo {

class TMivoFunction;
class TMivoModel;
class TMivoScale;

// --- the main window and the clock ------------------------------------------

// Registers the host the builders read (null: none); returns the previous
// one. The host is not owned.
TReportHost* SetReportHost(TReportHost* host);
TReportHost* GetReportHost();
// Registers the source of the header's time of day (empty: the system
// clock); returns the previous one.
TClock SetReportClock(TClock clock);

// --- members of the report-part set (TMivoSettings::ReportParts) -----------

enum TReportPart : int {
    rpModelDescription = 0,
    rpAttributeTree = 1,
    rpScales = 2,
    rpScaleDescriptions = 3,
    rpFunctionSummary = 4,
    rpRuleTables = 5,
    rpWeights = 6,
    rpEvaluationResults = 7,
    rpChart = 8,
};

// --- model reports ------------------------------------------------------------

// The model report: the sections whose members are in `parts`, in the order
// of TReportPart. Null without a model, for an empty set, or when no model
// window is active. The chart section is built only when one of the model
// window's chart panels (Chart1, Chart2, Chart3, Chart4Panel) is visible.
// Weights of the decision tables are recomputed over all rules.
std::unique_ptr<TReport> BuildModelReport(TMivoModel* model, const TValueSet& parts, const TFont& font,
                                          const TPen& pen);

// The rules report of one decision table: `function` (which may differ from
// the attribute's stored one, as in the rule editor) shown for `attribute`.
// Null without a model; without an attribute the report has its header
// only. Needs no active model window; the header names no file.
std::unique_ptr<TReport> BuildFunctionRulesReport(TMivoModel* model, TMivoFunction* function,
                                                  TMivoAttribute* attribute, const TPen& pen, const TFont& font);

// --- analysis reports ---------------------------------------------------------

// The plus-minus-one analysis of one attribute for option `option`, from
// the lists of TMivoAttribute::CollectForAnalysis and PlusMinusOne. Null
// without a model, for an empty attribute list, for lists of different
// lengths, or when no model window is active.
std::unique_ptr<TReport> BuildPlusMinusReport(TMivoModel* model, int option, const TAnalysisList& attributes,
                                              const std::vector<std::string>& minus,
                                              const std::vector<std::string>& plus, const TFont& font,
                                              const TPen& pen);

// The weak points and the strong points of option `option`. Null without a
// model or when no model window is active.
std::unique_ptr<TReport> BuildSelectiveExplanationReport(TMivoModel* model, int option, const TFont& font,
                                                         const TPen& pen);

// The comparison of options with the first of `options` (the main option).
// Null without a model, for an empty list, or when no model window is
// active. With the main option alone the report has its header only.
std::unique_ptr<TReport> BuildComparisonReport(TMivoModel* model, const std::vector<int>& options,
                                               const TFont& font, const TPen& pen);

// --- helpers shared with the desktop and the tests ----------------------------

// The tree-line prefix of an attribute in the key characters of Graphics.h
// ('-' blank, '│', '├', '└'): empty for an attribute without a parent and for
// the top attributes, one key per level below them.
std::string AttributeTreePrefix(const TMivoAttribute& attribute);

// The rectangle (inclusive) cut at its bottom or right edge to the shape of
// a panel of the given size; the top-left corner stays.
TRect FitChartRect(const TRect& rect, std::int32_t panelWidth, std::int32_t panelHeight);

// Draws the active model window's chart into the rectangle: the first
// visible of Chart1, Chart2, Chart3, else the four charts of a visible
// Chart4Panel, else nothing. The drawing callback of the chart section.
void DrawChart(TDrawSurface& surface, const TRect& rect);

}  // namespace mivo
