// The state and the shared building blocks of one report build: the model being
// reported, the report being built, the page-break mode of its sections,
// the bad and good value styling, and the elements every section is made
// of (section opening, table with heading row, attribute name cell, styled
// values, value ranges and value lists). Used by the builders of MivoRpt.h
// only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/MivoSettings.h"
#include "reports/DateTime.h"
#include "reports/Graphics.h"
#include "reports/Report.h"

namespace mivo {

class TMivoAttribute;
class TMivoModel;
class TMivoScale;

class TReportContext {
public:
    // The state for reporting `model` (SetReportModel): page-break mode
    // pbNewPage when the model's PageBreak setting is on, else
    // pbKeepTogether; the bad and good colours and font styles.
    explicit TReportContext(TMivoModel& model);

    TMivoModel& Model() const { return model_; }
    const TMivoSettings& Settings() const;
    // The report made by NewModelReport (assertion before).
    TReport& Report() const;
    std::int32_t PageBreakMode() const { return pageBreakMode_; }

    // A report without owner, with the font and pen, made the current one,
    // its header filled: "Mivo" left, the time of day, a blank and the file
    // name in the middle, "Page " and the page number right, over a rule.
    std::unique_ptr<TReport> NewModelReport(const std::string& fileName, const TFont& font, const TPen& pen);

    // The standard section opening: a section titled `title` with the
    // page-break mode, a bold heading line grown by 1 point, half a line of
    // space.
    TRptSection* OpenSection(TRptGroup& parent, const std::string& title, const std::string& heading,
                             std::int32_t pageBreakMode) const;
    // A flowing table with `columns` columns of natural width, headed " ".
    TRptTable* OpenTable(TRptGroup& parent, const std::string& title, int columns) const;
    // The section of a table too wide to show whole: a chunked section
    // titled `title` (TRptChunkedSection) with the standard opening, whose
    // table of the same title, headed by `headings`, shows the first
    // `keyColumns` columns in every chunk and at most
    // TMivoSettings::EvalColumns of the others; a blank line after the
    // table; chunks after the first have an empty heading. The caller
    // adds the rows.
    TRptTable* OpenChunkedTable(TRptGroup& parent, const std::string& title, const std::vector<std::string>& headings,
                                int keyColumns) const;
    // A bold heading row over a rule, one cell per heading (a paragraph, so
    // that a long heading wraps in a narrow column), then a tenth of a line
    // of space.
    TRptRow* AddHeadingRow(TRptTable& table, const std::vector<std::string>& headings) const;

    // The first cell of an attribute row: a tree item of the tree prefix
    // and the name (bold and italic when linked, bold with inputs), which
    // wraps under itself in a narrow column. `stem`: the attribute's inputs
    // follow in the rows below (by default: it has inputs).
    TRptCell* AddAttributeNameCell(TRptRow& row, const TMivoAttribute& attribute) const;
    TRptCell* AddAttributeNameCell(TRptRow& row, const TMivoAttribute& attribute, bool stem) const;

    // Value `index` of the scale as a styled text (bad or good); the index
    // + 1 without a discrete scale or for an index outside the scale.
    TRptText* AddScaleValue(TRptGroup& line, const TMivoScale* scale, int index, int trim = 0) const;
    // The values low..high in a new paragraph of the cell: a single value;
    // "*" for the whole scale; "<=" high, ">=" low or low ":" high on an
    // ordered scale; the values joined by ";" on an unordered one.
    TRptParagraph* FormatValueRange(TRptGroup& cell, const TMivoScale* scale, int low, int high) const;
    // A value string in a new paragraph of the cell (it wraps where the
    // column is narrow): the values' names (cut to EvalTrim characters when
    // above 0) styled and joined by "; "; "*" for an empty or "*" string;
    // the string itself without a scale.
    TRptParagraph* AddEvaluationValueCell(TRptGroup& cell, const TMivoScale* scale, const std::string& value) const;

private:
    TMivoModel& model_;
    TReport* report_ = nullptr;
    std::int32_t pageBreakMode_;
    TColor badColor_;
    TColor goodColor_;
    TFontStyles badFontStyle_;
    TFontStyles goodFontStyle_;
};

// The file name without its directory.
std::string FileNameWithoutDirectory(const std::string& fileName);

// The active model window's file name without directory; the caller has
// checked that there is an active model window.
std::string ActiveModelFileName();

// A host is registered and it has an active model window.
bool ModelWindowActive();

// The time of day for report headers, from the registered clock.
TDateTime ReportTime();

}  // namespace mivo
