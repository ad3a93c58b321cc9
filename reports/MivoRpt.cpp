// The model report, its sections and the rules report of one decision
// table.
#include "reports/MivoRpt.h"

#include <algorithm>
#include <array>

#include "model/CompactRules.h"
#include "model/MivoFunction.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "model/RunTime.h"
#include "reports/LineBreaks.h"
#include "reports/MivoRptBuilder.h"
#include "reports/Utf8Text.h"

namespace mivo {

// --- tree prefix ------------------------------------------------------------------------

namespace {

bool IsLastInput(const TMivoAttribute& attribute, const TMivoAttribute& parent) {
    const int count = parent.InpCount();
    return count > 0 && parent.Inputs(count - 1) == &attribute;
}

}  // namespace

std::string AttributeTreePrefix(const TMivoAttribute& attribute) {
    const TMivoAttribute* parent = attribute.Parent();
    if (parent == nullptr) return {};
    // Keys from the top level down; the key of the top level is dropped, so
    // the top attributes (the inputs of the invisible root) get none.
    std::vector<char32_t> keys{IsLastInput(attribute, *parent) ? TreeKeyCorner : TreeKeyTee};
    for (const TMivoAttribute* a = parent; a->Parent() != nullptr; a = a->Parent()) {
        keys.push_back(IsLastInput(*a, *a->Parent()) ? TreeKeyBlank : TreeKeyVertical);
    }
    std::string prefix;
    for (auto key = keys.rbegin() + 1; key != keys.rend(); ++key) prefix += EncodeCodePoint(*key);
    return prefix;
}

// --- sections of the model report -----------------------------------------------------

namespace {

using TColumnHeadings = std::vector<std::string>;

void AddModelDescription(TReportContext& ctx) {
    const TMivoModel& model = ctx.Model();
    const std::string name = model.GetName();
    const std::string description = model.GetDescription();
    if (name.empty() && description.empty()) return;
    TRptSection* section =
        ctx.OpenSection(ctx.Report(), "Model description", "Model description", ctx.PageBreakMode());
    if (!name.empty()) {
        section->NewParagraph()->AddText(name);
        section->NewBlankLine();
    }
    if (!description.empty()) {
        for (const std::string& line : SplitLines(description)) {
            section->NewParagraph()->AddText(line.empty() ? std::string(" ") : line);
        }
        section->NewBlankLine();
    }
}

// A section with one table of attribute rows, `fill` adding the cells after
// the name cell.
template <class Fill>
void AddAttributeTable(TReportContext& ctx, const std::string& title, const TColumnHeadings& headings, Fill fill) {
    TRptSection* section = ctx.OpenSection(ctx.Report(), title, title, ctx.PageBreakMode());
    TRptTable* table = ctx.OpenTable(*section, title, static_cast<int>(headings.size()));
    ctx.AddHeadingRow(*table, headings);
    for (TMivoAttribute* attribute : ctx.Model().Attributes()) {
        TRptRow* row = table->NewRow();
        ctx.AddAttributeNameCell(*row, *attribute);
        fill(*row, *attribute);
    }
    section->NewBlankLine();
}

void AddAttributeTree(TReportContext& ctx) {
    AddAttributeTable(ctx, "Attribute tree", {"Attribute", "Description"},
                      [](TRptRow& row, const TMivoAttribute& attribute) {
                          row.NewCell()->NewParagraph()->AddText(attribute.GetDescription());
                      });
}

void AddScaleLine(const TReportContext& ctx, TRptGroup& cell, const TMivoScale* scale) {
    TRptParagraph* line = cell.NewParagraph();
    if (scale == nullptr) {
        line->AddText("<undefined>");
        return;
    }
    for (int v = 0; v < scale->Count(); ++v) {
        if (v > 0) line->AddText("; ");
        ctx.AddScaleValue(*line, scale, v);
    }
}

void AddScales(TReportContext& ctx) {
    AddAttributeTable(ctx, "Scales", {"Attribute", "Scale"}, [&ctx](TRptRow& row, const TMivoAttribute& attribute) {
        AddScaleLine(ctx, *row.NewCell(), attribute.Scale());
    });
}

void AddScaleDescriptions(TReportContext& ctx) {
    bool first = true;
    for (TMivoAttribute* attribute : ctx.Model().Attributes()) {
        const std::string name = attribute->GetName();
        TRptSection* section = ctx.Report().NewSection(name);
        section->PageBreakMode = first ? ctx.PageBreakMode() : pbKeepTogether;
        first = false;
        // A paragraph, so that a name wider than the page wraps (a name
        // without blanks, as in CJK, breaks between its characters).
        TRptText* heading = section->NewParagraph()->AddText(name);
        heading->SetBold(true);
        heading->SetFontSize(fcAdd, 1);
        section->VerticalSpace(0.3f);
        const std::string description = attribute->GetDescription();
        if (!description.empty()) {
            section->NewParagraph()->AddText(description);
            section->VerticalSpace(0.3f);
        }
        const auto* scale = dynamic_cast<const TMivoDiscreteScale*>(attribute->Scale());
        if (attribute->Scale() == nullptr) {
            section->NewLine()->AddText("<undefined>");
        } else {
            TRptTable* table = ctx.OpenTable(*section, name, 3);
            for (int v = 0; v < attribute->Scale()->Count(); ++v) {
                TRptRow* row = table->NewRow();
                TRptCell* number = row->NewCell();
                number->SetHorzAlign(alEnd);
                number->AddText(std::to_string(v + 1) + ".");
                ctx.AddScaleValue(*row->NewCell()->NewParagraph(), attribute->Scale(), v);
                row->NewCell()->NewParagraph()->AddText(scale ? scale->ValueDescription(v) : std::string());
            }
        }
        ctx.Report().NewBlankLine();
    }
}

// A right-aligned line holding one text in a new cell.
void AddRightAlignedCell(TRptRow& row, const std::string& text) {
    TRptLine* line = row.NewCell()->NewLine();
    line->SetHorzAlign(alEnd);
    line->AddText(text);
}

void AddFunctionSummary(TReportContext& ctx) {
    AddAttributeTable(ctx, "Functions", {"Attribute", "Rules", "Defined", "Determined", "Values"},
                      [](TRptRow& row, const TMivoAttribute& attribute) {
                          TRptCell* rules = row.NewCell();
                          if (attribute.IsBasic()) return;
                          const TMivoFunction* funct = attribute.Funct();
                          if (funct == nullptr) {
                              rules->NewLine()->AddText("<undefined>");
                              return;
                          }
                          const int entered = funct->EnteredCount();
                          const int count = funct->RuleCount();
                          TRptLine* line = rules->NewLine();
                          line->SetHorzAlign(alEnd);
                          line->AddText(Format("%d/%d", entered, count));
                          const double defined = count > 0 ? entered * 100.0 / count : 0.0;
                          AddRightAlignedCell(row, FloatToStrFixed(defined, 2) + "%");
                          AddRightAlignedCell(row, FloatToStrFixed(funct->Determinedness() * 100.0, 2) + "%");
                          row.NewCell()->NewParagraph()->AddText(funct->DistributionText());
                      });
}

// --- rule tables ---------------------------------------------------------------------------

const TMivoScale* InputScale(const TMivoAttribute& attribute, int input) {
    return attribute.Inputs(input)->Scale();
}

double WeightOf(const TFloatList& weights, int input) {
    return input < static_cast<int>(weights.size()) ? weights[static_cast<std::size_t>(input)] : 0.0;
}

// A right-aligned rule number cell.
TRptText* AddNumberCell(TRptRow& row, int number) {
    TRptCell* cell = row.NewCell();
    cell->SetHorzAlign(alEnd);
    return cell->AddText(std::to_string(number));
}

void AddElementaryRows(const TReportContext& ctx, TRptTable& table, const TMivoAttribute& attribute,
                       const TMivoFunction& funct) {
    const TMivoSettings& settings = ctx.Settings();
    const int inputs = std::min(attribute.InpCount(), funct.ArgCount());
    for (int i = 0; i < funct.RuleCount(); ++i) {
        const bool entered = funct.RuleEntered(i);
        if (settings.EnteredOnly && !entered) continue;
        TRptRow* row = table.NewRow();
        if (settings.ShowNum) {
            TRptText* number = AddNumberCell(*row, i + 1);
            if (entered) number->SetBold(true);
        }
        for (int j = 0; j < inputs; ++j) {
            const int value = funct.ArgValue(j, i);
            ctx.FormatValueRange(*row->NewCell(), InputScale(attribute, j), value, value);
        }
        ctx.FormatValueRange(*row->NewCell(), attribute.Scale(), funct.RuleLow(i), funct.RuleHigh(i));
    }
}

void AddCompactRows(const TReportContext& ctx, TRptTable& table, const TMivoAttribute& attribute,
                    const TMivoFunction& funct) {
    const TMivoSettings& settings = ctx.Settings();
    const int inputs = attribute.InpCount();
    const int values = attribute.ScaleSize();
    int number = 0;
    for (int v = 0; v < values; ++v) {
        std::vector<std::string> rules = CompactRules(funct, v, settings);
        std::sort(rules.begin(), rules.end());
        for (std::size_t r = 0; r < rules.size(); ++r) {
            const std::string& rule = rules[r];
            if (static_cast<int>(rule.size()) < 2 * inputs) continue;
            TRptRow* row = table.NewRow();
            const bool lastOfValue = r + 1 == rules.size();
            if (lastOfValue) row->BeginLiner(2);
            ++number;
            if (settings.ShowNum) AddNumberCell(*row, number);
            for (int j = 0; j < inputs; ++j) {
                const int low = CharValue(rule[static_cast<std::size_t>(j)]);
                const int high = CharValue(rule[static_cast<std::size_t>(inputs + j)]);
                ctx.FormatValueRange(*row->NewCell(), InputScale(attribute, j), low, high);
            }
            ctx.FormatValueRange(*row->NewCell(), attribute.Scale(), v, v);
            if (lastOfValue) row->EndLiner();
        }
    }
}

// The rule table of one attribute: the function's weights (recomputed over
// all rules) under the heading row, then the compact or elementary rules;
// "<undefined>" below the table without a function. Also the body of the
// rules report.
void AddRuleTable(TReportContext& ctx, TRptTable& table, const TMivoAttribute& attribute,
                         TMivoFunction* funct) {
    const TMivoSettings& settings = ctx.Settings();
    const int inputs = attribute.InpCount();
    // A function edited elsewhere may not yet match the attribute's inputs;
    // its weights are then left as they are.
    const bool usable = funct != nullptr && funct->ArgCount() == inputs;
    for (int i = 0; i < (settings.ShowNum ? 1 : 0) + inputs + 1; ++i) {
        table.AddField(" ")->SetWidthMeasure(NaturalSize);
    }
    if (usable) funct->ComputeWeights(true);

    TColumnHeadings headings;
    if (settings.ShowNum) headings.emplace_back(" ");
    for (int j = 0; j < inputs; ++j) headings.push_back(attribute.Inputs(j)->GetName());
    headings.push_back(attribute.GetName());
    ctx.AddHeadingRow(table, headings);

    if (funct != nullptr && settings.ShowWeights) {
        TRptRow* row = table.NewRow();
        row->BeginLiner(2);
        if (settings.ShowNum) row->NewCell()->AddText(" ");
        for (int j = 0; j < inputs; ++j) {
            row->NewCell()->AddText(FloatToStrFixed(WeightOf(funct->ActualWeights, j), settings.WeightDec) + "%");
        }
        row->NewCell()->AddText(" ");
        row->EndLiner();
        table.VerticalSpace(0.1f);
    }

    if (funct == nullptr) {
        ctx.Report().NewLine()->AddText("<undefined>");
    } else if (settings.ComplexRules) {
        AddCompactRows(ctx, table, attribute, *funct);
    } else {
        AddElementaryRows(ctx, table, attribute, *funct);
    }
    ctx.Report().NewBlankLine();
}

void AddRuleTables(TReportContext& ctx) {
    bool first = true;
    for (TMivoAttribute* attribute : ctx.Model().Attributes()) {
        if (attribute->IsBasic()) continue;
        TRptSection* section = ctx.Report().NewSection("Tables");
        section->PageBreakMode = first ? ctx.PageBreakMode() : pbKeepTogether;
        TRptText* heading = section->NewLine()->AddText(first ? "Tables" : "");
        heading->SetBold(true);
        heading->SetFontSize(fcAdd, 1);
        section->VerticalSpace(0.5f);
        first = false;
        TRptTable* table = section->NewTable("Tables");
        table->PageBreakMode = pbFlow;
        AddRuleTable(ctx, *table, *attribute, attribute->Funct());
    }
}

// --- weights -------------------------------------------------------------------------------

constexpr std::array<const char*, 4> WeightHeadings = {"Local", "Global", "Loc.norm.", "Glob.norm."};

void ComputeAllWeights(const TMivoModel& model) {
    for (TMivoAttribute* attribute : model.Attributes()) {
        TMivoFunction* funct = attribute->Funct();
        if (funct != nullptr && funct->ArgCount() == attribute->InpCount()) funct->ComputeWeights(true);
    }
}

// One attribute's weight row with the products of the local weights above
// it (global) and of the normalised ones (global normalised).
struct TWeightRow {
    const TMivoAttribute* Attribute;
    double Global;
    double GlobalNorm;
};

// The rows of the whole tree in pre-order. Returns the factors handed down
// to the attribute's inputs.
std::pair<double, double> AddWeightRow(const TReportContext& ctx, TRptTable& table, const TWeightRow& item) {
    const TMivoSettings& settings = ctx.Settings();
    const TMivoAttribute& attribute = *item.Attribute;
    TRptRow* row = table.NewRow();
    ctx.AddAttributeNameCell(*row, attribute);
    const TMivoAttribute* parent = attribute.Parent();
    const TMivoFunction* funct = parent ? parent->Funct() : nullptr;
    if (funct == nullptr) {
        if (parent != nullptr && parent != ctx.Model().Root()) row->NewCell()->AddText("?");
        return {item.Global, item.GlobalNorm};
    }
    const int input = parent->InputIndex(&attribute);
    const double local = WeightOf(funct->ActualWeights, input) / 100.0;
    const double localNorm = WeightOf(funct->NormWeights, input) / 100.0;
    const std::array<double, 4> shown = {local * 100.0, local * 100.0 * item.Global, localNorm * 100.0,
                                         localNorm * 100.0 * item.GlobalNorm};
    for (std::size_t k = 0; k < shown.size(); ++k) {
        if (!settings.WeightShow.test(k)) continue;
        row->NewCell()->AddText(FloatToStrFixed(shown[k], settings.WeightDec));
    }
    return {item.Global * local, item.GlobalNorm * localNorm};
}

void AddWeightRows(const TReportContext& ctx, TRptTable& table) {
    const TMivoAttribute* root = ctx.Model().Root();
    std::vector<TWeightRow> stack;
    for (int i = root->InpCount() - 1; i >= 0; --i) stack.push_back({root->Inputs(i), 1.0, 1.0});
    while (!stack.empty()) {
        const TWeightRow item = stack.back();
        stack.pop_back();
        const auto [global, globalNorm] = AddWeightRow(ctx, table, item);
        for (int i = item.Attribute->InpCount() - 1; i >= 0; --i) {
            stack.push_back({item.Attribute->Inputs(i), global, globalNorm});
        }
    }
}

void AddAverageWeights(TReportContext& ctx) {
    const TMivoSettings& settings = ctx.Settings();
    if (settings.WeightShow.none()) return;
    TColumnHeadings headings{"Attribute"};
    for (std::size_t k = 0; k < WeightHeadings.size(); ++k) {
        if (settings.WeightShow.test(k)) headings.emplace_back(WeightHeadings[k]);
    }
    TRptSection* section = ctx.OpenSection(ctx.Report(), "Average weights", "Average weights", ctx.PageBreakMode());
    TRptTable* table = ctx.OpenTable(*section, "Average weights", static_cast<int>(headings.size()));
    for (int c = 1; c < table->FieldCount(); ++c) table->GetField(c)->SetHorzAlign(alEnd);
    ctx.AddHeadingRow(*table, headings);
    ComputeAllWeights(ctx.Model());
    AddWeightRows(ctx, *table);
    section->NewBlankLine();
}

// --- evaluation results and chart -----------------------------------------------------

void AddEvaluationResults(TReportContext& ctx) {
    const TMivoModel& model = ctx.Model();
    std::vector<int> options;
    for (int option = 0; option < model.OptionCount(); ++option) {
        if (model.OptionSelected(option)) options.push_back(option);
    }
    if (options.empty()) return;
    TColumnHeadings headings{"Attribute"};
    for (int option : options) headings.push_back(model.OptionName(option));
    TRptTable* table = ctx.OpenChunkedTable(ctx.Report(), "Evaluation results", headings, 1);
    for (TMivoAttribute* attribute : model.Attributes()) {
        TRptRow* row = table->NewRow();
        ctx.AddAttributeNameCell(*row, *attribute);
        for (int option : options) {
            ctx.AddEvaluationValueCell(*row->NewCell(), attribute->Scale(), attribute->GetOptValue(option));
        }
    }
}

bool PanelVisible(const TReportHost& host, TChartId id) {
    const TChartPanel* panel = host.ChartPanel(id);
    return panel != nullptr && panel->Visible();
}

bool AnyChartVisible() {
    const TReportHost* host = GetReportHost();
    if (host == nullptr || !host->HasActiveModelWindow()) return false;
    for (TChartId id : {TChartId::Chart1, TChartId::Chart2, TChartId::Chart3, TChartId::Chart4Panel}) {
        if (PanelVisible(*host, id)) return true;
    }
    return false;
}

void AddChart(TReportContext& ctx) {
    TReport& report = ctx.Report();
    report.SetVertPlacement(plStretch);
    TRptSection* section = ctx.OpenSection(report, "Chart", "Chart", pbNewPage);
    section->SetVertPlacement(plStretch);
    TRptDraw* draw = section->AddDraw([](TDrawSurface& surface, const TRect& rect, const TParam*) { DrawChart(surface, rect); },
                                      std::make_unique<TParam>(0));
    draw->SetWidthMeasure(MakeMeasure(mkDevice, 0.0f));
    draw->SetHeightMeasure(MakeMeasure(mkDevice, 0.0f));
    draw->SetHorzPlacement(plStretch);
    draw->SetVertPlacement(plStretch);
    section->NewBlankLine();
}

void DrawPanel(TChartPanel* panel, TDrawSurface& surface, const TRect& rect) {
    if (panel != nullptr) panel->Draw(surface, rect);
}

void DrawFourCharts(const TReportHost& host, TDrawSurface& surface, const TRect& rect) {
    const TChartPanel* first = host.ChartPanel(TChartId::Chart4A);
    const TRect r = first ? FitChartRect(rect, first->Width(), first->Height()) : rect;
    const std::int32_t c = (r.Bottom - r.Top + 1) / 2;
    const std::int32_t f = (r.Right - r.Left + 1) / 2;
    DrawPanel(host.ChartPanel(TChartId::Chart4A), surface, {r.Left, r.Top, r.Right - f, r.Bottom - c});
    DrawPanel(host.ChartPanel(TChartId::Chart4B), surface, {r.Left + f + 1, r.Top, r.Right, r.Bottom - c});
    DrawPanel(host.ChartPanel(TChartId::Chart4C), surface, {r.Left, r.Top + c + 1, r.Right - f, r.Bottom});
    DrawPanel(host.ChartPanel(TChartId::Chart4D), surface, {r.Left + f + 1, r.Top + c + 1, r.Right, r.Bottom});
}

}  // namespace

TRect FitChartRect(const TRect& rect, std::int32_t panelWidth, std::int32_t panelHeight) {
    const double H = std::max(panelHeight, 1);
    const double W = std::max(panelWidth, 1);
    const double h = static_cast<double>(rect.Bottom) - rect.Top + 1;
    const double w = static_cast<double>(rect.Right) - rect.Left + 1;
    TRect fitted = rect;
    if (h >= H * w / W) {
        fitted.Bottom = CheckedSub(rect.Bottom, CheckedCast<std::int32_t>(static_cast<std::int64_t>(h - H * w / W)));
    } else {
        fitted.Right = CheckedSub(rect.Right, CheckedCast<std::int32_t>(static_cast<std::int64_t>(w - W * h / H)));
    }
    return fitted;
}

void DrawChart(TDrawSurface& surface, const TRect& rect) {
    const TReportHost* host = GetReportHost();
    if (host == nullptr || !host->HasActiveModelWindow()) return;
    for (TChartId id : {TChartId::Chart1, TChartId::Chart2, TChartId::Chart3}) {
        TChartPanel* panel = host->ChartPanel(id);
        if (panel != nullptr && panel->Visible()) {
            panel->Draw(surface, FitChartRect(rect, panel->Width(), panel->Height()));
            return;
        }
    }
    if (PanelVisible(*host, TChartId::Chart4Panel)) DrawFourCharts(*host, surface, rect);
}

// --- entries -----------------------------------------------------------------------------

std::unique_ptr<TReport> BuildModelReport(TMivoModel* model, const TValueSet& parts, const TFont& font,
                                          const TPen& pen) {
    if (model == nullptr || parts.none() || !ModelWindowActive()) return nullptr;
    TReportContext ctx(*model);
    auto report = ctx.NewModelReport(ActiveModelFileName(), font, pen);
    using TSectionBuilder = void (*)(TReportContext&);
    const std::array<std::pair<TReportPart, TSectionBuilder>, 8> sections = {{
        {rpModelDescription, AddModelDescription},
        {rpAttributeTree, AddAttributeTree},
        {rpScales, AddScales},
        {rpScaleDescriptions, AddScaleDescriptions},
        {rpFunctionSummary, AddFunctionSummary},
        {rpRuleTables, AddRuleTables},
        {rpWeights, AddAverageWeights},
        {rpEvaluationResults, AddEvaluationResults},
    }};
    for (const auto& [part, build] : sections) {
        if (parts.test(part)) build(ctx);
    }
    if (parts.test(rpChart) && AnyChartVisible()) AddChart(ctx);
    return report;
}

std::unique_ptr<TReport> BuildFunctionRulesReport(TMivoModel* model, TMivoFunction* function,
                                                  TMivoAttribute* attribute, const TPen& pen, const TFont& font) {
    if (model == nullptr) return nullptr;
    TReportContext ctx(*model);
    auto report = ctx.NewModelReport("", font, pen);
    if (attribute != nullptr) {
        TRptSection* section = ctx.OpenSection(*report, "Decision rules", "Decision rules", ctx.PageBreakMode());
        TRptTable* table = section->NewTable("Decision rules");
        table->PageBreakMode = pbFlow;
        AddRuleTable(ctx, *table, *attribute, function);
    }
    return report;
}

}  // namespace mivo
