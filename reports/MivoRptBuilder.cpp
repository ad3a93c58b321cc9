#include "reports/MivoRptBuilder.h"

#include <utility>

#include "model/CodePage.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "model/RunTime.h"
#include "reports/MivoRpt.h"

namespace mivo {

// --- the main window and the clock ------------------------------------------------

namespace {

TReportHost* registeredHost = nullptr;
TClock registeredClock;

}  // namespace

TReportHost* SetReportHost(TReportHost* host) { return std::exchange(registeredHost, host); }

TReportHost* GetReportHost() { return registeredHost; }

TClock SetReportClock(TClock clock) { return std::exchange(registeredClock, std::move(clock)); }

TDateTime ReportTime() { return registeredClock ? registeredClock() : Now(); }

bool ModelWindowActive() { return registeredHost && registeredHost->HasActiveModelWindow(); }

std::string FileNameWithoutDirectory(const std::string& fileName) {
    const auto slash = fileName.find_last_of("/\\");
    return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

std::string ActiveModelFileName() {
    return registeredHost ? FileNameWithoutDirectory(registeredHost->ActiveFileName()) : std::string();
}

// --- TReportContext ---------------------------------------------------------------------

namespace {

// Puts an element of the header line at the line's foot. The line is as high
// as its larger texts; its elements of one report-font line (the other texts
// and the rule markers) then end where those end, so that all texts share
// their bottom and the rule runs under all of them.
template <class T>
T* AtLineFoot(T* element) {
    element->SetVertPlacement(plEnd);
    return element;
}

}  // namespace

TReportContext::TReportContext(TMivoModel& model)
    : model_(model),
      pageBreakMode_(model.Settings.PageBreak ? pbNewPage : pbKeepTogether),
      badColor_(model.Settings.BadColor),
      goodColor_(model.Settings.GoodColor),
      badFontStyle_(model.Settings.BadFontStyle),
      goodFontStyle_(model.Settings.GoodFontStyle) {}

const TMivoSettings& TReportContext::Settings() const { return model_.Settings; }

TReport& TReportContext::Report() const {
    MIVO_ASSERT(report_ != nullptr, "No current report");
    return *report_;
}

std::unique_ptr<TReport> TReportContext::NewModelReport(const std::string& fileName, const TFont& font,
                                                        const TPen& pen) {
    auto report = std::make_unique<TReport>();
    report->SetFont(font);
    report->SetPen(pen);
    report_ = report.get();

    TRptHVGroup& header = report->Header();
    TRptLine* line = header.NewLine();
    AtLineFoot(line->BeginLiner(2));
    TRptText* product = line->AddText("Mivo");
    product->SetFontSize(fcAdd, 2);
    product->SetBold(true);
    product->SetVertAlign(alEnd);
    // As high as its larger font, so that the line grows to hold it instead
    // of it reaching above the printable area.
    product->SetHeightMeasure(NaturalSize);
    line->AddFill();
    // The time and the file name; a name too long for the line is shown
    // with an ellipsis in place of its start, so that the page number stays
    // on the paper.
    AtLineFoot(line->AddText(TimeToStr(ReportTime(), LocaleDateFormats()) + " "));
    AtLineFoot(line->AddText(fileName))->ShortenAtStart = true;
    line->AddFill();
    AtLineFoot(line->AddText("Page "));
    TRptMacro* page = line->AddMacro("PAGE");
    page->SetFontSize(fcAdd, 2);
    page->SetVertAlign(alEnd);
    page->SetHeightMeasure(NaturalSize);
    AtLineFoot(line->EndLiner());
    header.VerticalSpace(0.5f);
    return report;
}

namespace {

// A section's heading line: the text bold and a point larger.
void AddSectionHeading(TRptGroup& line, const std::string& heading) {
    TRptText* text = line.AddText(heading);
    text->SetBold(true);
    text->SetFontSize(fcAdd, 1);
}

}  // namespace

TRptSection* TReportContext::OpenSection(TRptGroup& parent, const std::string& title, const std::string& heading,
                                         std::int32_t pageBreakMode) const {
    TRptSection* section = parent.NewSection(title);
    section->PageBreakMode = pageBreakMode;
    AddSectionHeading(*section->NewLine(), heading);
    section->VerticalSpace(0.5f);
    return section;
}

TRptTable* TReportContext::OpenChunkedTable(TRptGroup& parent, const std::string& title,
                                            const std::vector<std::string>& headings, int keyColumns) const {
    TRptChunkedSection* section = parent.NewChunkedSection(title);
    section->PageBreakMode = pageBreakMode_;
    AddSectionHeading(*section->NewLine(), title);
    section->VerticalSpace(0.5f);
    AddSectionHeading(section->NextHeading(), "");
    TRptTable* table = OpenTable(*section, title, static_cast<int>(headings.size()));
    AddHeadingRow(*table, headings);
    section->NewBlankLine();
    section->ChunkedTable = table;
    section->KeyColumns = keyColumns;
    section->ChunkColumns = Settings().EvalColumns();
    return table;
}

TRptTable* TReportContext::OpenTable(TRptGroup& parent, const std::string& title, int columns) const {
    TRptTable* table = parent.NewTable(title);
    table->PageBreakMode = pbFlow;
    for (int i = 0; i < columns; ++i) table->AddField(" ")->SetWidthMeasure(NaturalSize);
    return table;
}

TRptRow* TReportContext::AddHeadingRow(TRptTable& table, const std::vector<std::string>& headings) const {
    TRptRow* row = table.NewRow();
    row->SetBold(true);
    row->BeginLiner(2);
    for (const std::string& heading : headings) row->NewCell()->NewParagraph()->AddText(heading);
    row->EndLiner();
    table.VerticalSpace(0.1f);
    return row;
}

TRptCell* TReportContext::AddAttributeNameCell(TRptRow& row, const TMivoAttribute& attribute) const {
    return AddAttributeNameCell(row, attribute, attribute.IsAggregate());
}

TRptCell* TReportContext::AddAttributeNameCell(TRptRow& row, const TMivoAttribute& attribute, bool stem) const {
    TRptCell* cell = row.NewCell();
    TRptParagraph* item = cell->NewParagraph();
    item->SetTreePrefix(AttributeTreePrefix(attribute), stem);
    TRptText* name = item->AddText(attribute.GetName());
    if (attribute.Link() != nullptr) {
        name->SetFontStyle(fcAdd, fsBold | fsItalic);
    } else if (attribute.IsAggregate()) {
        name->SetFontStyle(fcAdd, fsBold);
    }
    return cell;
}

TRptText* TReportContext::AddScaleValue(TRptGroup& line, const TMivoScale* scale, int index, int trim) const {
    const auto* discrete = dynamic_cast<const TMivoDiscreteScale*>(scale);
    // A value outside the scale (option values are kept as the file has
    // them) shows as its number instead of failing the whole report.
    if (discrete == nullptr || index < 0 || index >= discrete->Count()) {
        return line.AddText(std::to_string(index + 1));
    }
    std::string name = discrete->ValueName(index);
    if (trim > 0) name = CutToCodePoints(name, static_cast<std::size_t>(trim));
    TRptText* text = line.AddText(std::move(name));
    if (discrete->IsBad(index)) {
        text->SetFontStyle(fcAdd, badFontStyle_);
        text->SetFontColor(badColor_);
    } else if (discrete->IsGood(index)) {
        text->SetFontStyle(fcAdd, goodFontStyle_);
        text->SetFontColor(goodColor_);
    }
    return text;
}

TRptParagraph* TReportContext::FormatValueRange(TRptGroup& cell, const TMivoScale* scale, int low, int high) const {
    TRptParagraph* line = cell.NewParagraph();
    if (low == high) {
        AddScaleValue(*line, scale, low);
        return line;
    }
    const int last = scale ? scale->Count() - 1 : -1;
    const bool whole = low == 0 && high == last;
    if (scale == nullptr || !scale->IsOrdered()) {
        if (whole) {
            line->AddText("*");
            return line;
        }
        for (int v = low; v <= high; ++v) {
            if (v > low) line->AddText(";");
            AddScaleValue(*line, scale, v);
        }
        return line;
    }
    if (whole) {
        line->AddText("*");
    } else if (low == 0) {
        line->AddText("<=");
        AddScaleValue(*line, scale, high);
    } else if (high == last) {
        line->AddText(">=");
        AddScaleValue(*line, scale, low);
    } else {
        AddScaleValue(*line, scale, low);
        line->AddText(":");
        AddScaleValue(*line, scale, high);
    }
    return line;
}

TRptParagraph* TReportContext::AddEvaluationValueCell(TRptGroup& cell, const TMivoScale* scale,
                                                      const std::string& value) const {
    TRptParagraph* line = cell.NewParagraph();
    if (scale == nullptr) {
        line->AddText(value);
    } else if (value.empty() || value == "*") {
        line->AddText("*");
    } else {
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (i > 0) line->AddText("; ");
            AddScaleValue(*line, scale, CharValue(value[i]), Settings().EvalTrim);
        }
    }
    return line;
}

}  // namespace mivo
