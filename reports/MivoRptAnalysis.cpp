// The analysis reports of one model's options: the plus-minus-one analysis,
// the selective explanation and the comparison of options.
#include <algorithm>
#include <unordered_set>

#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "reports/MivoRpt.h"
#include "reports/MivoRptBuilder.h"

namespace mivo {

namespace {

// --- plus-minus-one analysis ------------------------------------------------------------

// A "-1" or "+1" cell: blank for the analysed attribute itself and where the
// step leaves its value unchanged, the marker where no step was possible,
// else the value the step gives.
void AddMarkerCell(const TReportContext& ctx, TRptRow& row, bool analysed, const std::string& entry,
                   const std::string& current, const TMivoScale* scale, const char* marker, std::uint8_t align) {
    TRptCell* cell = row.NewCell();
    if (analysed || (!entry.empty() && entry == current)) {
        cell->NewLine()->AddText(" ");
    } else if (entry.empty()) {
        TRptLine* line = cell->NewLine();
        line->SetHorzAlign(align);
        line->AddText(marker);
    } else {
        ctx.AddEvaluationValueCell(*cell, scale, entry);
    }
}

void AddPlusMinusAnalysis(const TReportContext& ctx, int option, const TAnalysisList& attributes,
                          const std::vector<std::string>& minus, const std::vector<std::string>& plus) {
    const std::string title = "Plus-Minus-1 analysis";
    TRptSection* section = ctx.OpenSection(ctx.Report(), title, title, ctx.PageBreakMode());
    TRptTable* table = ctx.OpenTable(*section, title, 4);
    ctx.AddHeadingRow(*table, {"Attribute", "-1", ctx.Model().OptionName(option), "+1"});
    const TMivoAttribute* analysed = attributes.front().Attribute;
    const TMivoScale* scale = analysed ? analysed->Scale() : nullptr;
    const std::string current = attributes.front().Text.empty() ? std::string("*") : attributes.front().Text;
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        const TAnalysisItem& item = attributes[i];
        TRptRow* row = table->NewRow();
        if (item.Attribute != nullptr) {
            ctx.AddAttributeNameCell(*row, *item.Attribute);
        } else {
            row->NewCell()->AddText(" ");
        }
        AddMarkerCell(ctx, *row, i == 0, minus[i], current, scale, "[", alEnd);
        ctx.AddEvaluationValueCell(*row->NewCell(), item.Attribute ? item.Attribute->Scale() : nullptr, item.Text);
        AddMarkerCell(ctx, *row, i == 0, plus[i], current, scale, "]", alStart);
    }
    section->NewBlankLine();
}

// --- selective explanation -------------------------------------------------------------

// The attributes whose value for the option has a bad (weak points) or good
// (strong points) member, in pre-order.
std::vector<TMivoAttribute*> CollectWeakStrongPoints(const TMivoModel& model, int option, bool strong) {
    std::vector<TMivoAttribute*> points;
    for (TMivoAttribute* attribute : model.Attributes()) {
        const TMivoScale* scale = attribute->Scale();
        if (scale == nullptr) continue;
        const TValueSet values = attribute->OptValueSet(option);
        bool marked = false;
        for (int v = 0; v < scale->Count() && !marked; ++v) {
            if (values.test(static_cast<std::size_t>(v))) marked = strong ? scale->IsGood(v) : scale->IsBad(v);
        }
        if (marked) points.push_back(attribute);
    }
    return points;
}

// Rows for the listed attributes: each group is a connected part of the tree
// of listed attributes, from its topmost member in pre-order, and groups
// are separated by empty rows.
void AddExplanationRows(const TReportContext& ctx, TRptTable& table, int option,
                        const std::vector<TMivoAttribute*>& points) {
    std::unordered_set<const TMivoAttribute*> remaining(points.begin(), points.end());
    for (TMivoAttribute* top : points) {
        if (!remaining.contains(top)) continue;
        std::vector<TMivoAttribute*> stack{top};
        while (!stack.empty()) {
            TMivoAttribute* attribute = stack.back();
            stack.pop_back();
            if (remaining.erase(attribute) == 0) continue;
            TRptRow* row = table.NewRow();
            const std::size_t pending = stack.size();
            for (int i = attribute->InpCount() - 1; i >= 0; --i) {
                if (remaining.contains(attribute->Inputs(i))) stack.push_back(attribute->Inputs(i));
            }
            // Its inputs listed below it are the rows its tree line reaches.
            ctx.AddAttributeNameCell(*row, *attribute, stack.size() > pending);
            ctx.AddEvaluationValueCell(*row->NewCell(), attribute->Scale(), attribute->GetOptValue(option));
        }
        table.NewRow()->NewBlankLine();
    }
}

void AddSelectiveExplanation(const TReportContext& ctx, int option, const std::vector<TMivoAttribute*>& points,
                             const std::string& heading) {
    TRptSection* section = ctx.OpenSection(ctx.Report(), "Selective explanation", heading, ctx.PageBreakMode());
    if (points.empty()) {
        section->NewLine()->AddText("None");
        section->NewBlankLine();
        return;
    }
    TRptTable* table = ctx.OpenTable(*section, "", 2);
    ctx.AddHeadingRow(*table, {"Attribute", ctx.Model().OptionName(option)});
    AddExplanationRows(ctx, *table, option, points);
    section->NewBlankLine();
}

// --- comparison of options ---------------------------------------------------------------

void AddComparisonOfOptions(const TReportContext& ctx, int main, const std::vector<int>& others) {
    const std::string title = "Comparison of options";
    const TMivoModel& model = ctx.Model();
    std::vector<std::string> headings{"Attribute", model.OptionName(main)};
    for (int option : others) headings.push_back(model.OptionName(option));
    TRptTable* table = ctx.OpenChunkedTable(ctx.Report(), title, headings, 2);
    for (TMivoAttribute* attribute : model.Attributes()) {
        TRptRow* row = table->NewRow();
        ctx.AddAttributeNameCell(*row, *attribute);
        const std::string mainValue = attribute->GetOptValue(main);
        ctx.AddEvaluationValueCell(*row->NewCell(), attribute->Scale(), mainValue);
        for (int option : others) {
            const std::string value = attribute->GetOptValue(option);
            if (value == mainValue) {
                row->NewCell()->AddText(" ");
            } else {
                ctx.AddEvaluationValueCell(*row->NewCell(), attribute->Scale(), value);
            }
        }
    }
}

}  // namespace

// --- entries -------------------------------------------------------------------------------

std::unique_ptr<TReport> BuildPlusMinusReport(TMivoModel* model, int option, const TAnalysisList& attributes,
                                              const std::vector<std::string>& minus,
                                              const std::vector<std::string>& plus, const TFont& font,
                                              const TPen& pen) {
    if (model == nullptr || attributes.empty() || minus.size() != attributes.size() ||
        plus.size() != attributes.size() || !ModelWindowActive()) {
        return nullptr;
    }
    TReportContext ctx(*model);
    auto report = ctx.NewModelReport(ActiveModelFileName(), font, pen);
    AddPlusMinusAnalysis(ctx, option, attributes, minus, plus);
    return report;
}

std::unique_ptr<TReport> BuildSelectiveExplanationReport(TMivoModel* model, int option, const TFont& font,
                                                         const TPen& pen) {
    if (model == nullptr || !ModelWindowActive()) return nullptr;
    TReportContext ctx(*model);
    auto report = ctx.NewModelReport(ActiveModelFileName(), font, pen);
    AddSelectiveExplanation(ctx, option, CollectWeakStrongPoints(*model, option, false), "Weak points");
    AddSelectiveExplanation(ctx, option, CollectWeakStrongPoints(*model, option, true), "Strong points");
    return report;
}

std::unique_ptr<TReport> BuildComparisonReport(TMivoModel* model, const std::vector<int>& options,
                                               const TFont& font, const TPen& pen) {
    if (model == nullptr || options.empty() || !ModelWindowActive()) return nullptr;
    TReportContext ctx(*model);
    auto report = ctx.NewModelReport(ActiveModelFileName(), font, pen);
    if (options.size() > 1) {
        AddComparisonOfOptions(ctx, options.front(), std::vector<int>(options.begin() + 1, options.end()));
    }
    return report;
}

}  // namespace mivo
