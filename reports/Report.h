// The structured groups of a report: the word-wrapped paragraph, the
// numbered section, the table with its column definitions, rows and cells,
// and the report document at the root with its page header and footer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "reports/Groups.h"

namespace mivo {

// Texts broken into lines at the width the paragraph is given. FirstPrefix
// starts the first line, NextPrefix every later one, LineSuffix ends every
// line (all three owned by the paragraph, not among its children). With
// Justify the free width of every full line goes to its blanks.
class TRptParagraph : public TRptVerticalGroup {
public:
    explicit TRptParagraph(TRpt* owner);
    ~TRptParagraph() override;
    const char* ClassName() const override { return "TRptParagraph"; }

    TRptText& NextPrefix() { return *nextPrefix_; }
    TRptText& LineSuffix() { return *lineSuffix_; }
    TRptText& FirstPrefix() { return *firstPrefix_; }

    bool Justify = false;

    // One unwrapped line.
    std::unique_ptr<TBox> CreateNaturalBox() override;
    // Word wrap at the width (no wrapping for a width below 1).
    std::unique_ptr<TBox> CreateBoxForWidth(std::int32_t width) override;

private:
    std::unique_ptr<TRptText> nextPrefix_;
    std::unique_ptr<TRptText> lineSuffix_;
    std::unique_ptr<TRptText> firstPrefix_;
};

// A numbered section. Its heading group (owned, not among its children) is
// shown at the top of every page that starts while the section is current.
class TRptSection : public TRptVerticalGroup {
public:
    explicit TRptSection(TRpt* owner);
    ~TRptSection() override;
    const char* ClassName() const override { return "TRptSection"; }

    TRptHVGroup& HeadingGroup() { return *heading_; }
    std::int32_t Number = 0;

    // The number preceded by those of all enclosing sections and tables,
    // outermost first, joined by "." ("2.3").
    std::string GetNumberPath() const;

private:
    std::unique_ptr<TRptHVGroup> heading_;
};

class TRptRow;

// A table: its heading line (owned, never drawn) holds the column
// definitions (fields) with separator texts between them; its children
// are rows.
class TRptTable : public TRptSection {
public:
    explicit TRptTable(TRpt* owner);
    ~TRptTable() override;
    const char* ClassName() const override { return "TRptTable"; }

    TRptLine& HeadingLine() { return *headingLine_; }
    std::string Separator = "  ";

    int FieldCount() const;
    // Field n (from 0); null outside 0..FieldCount-1.
    TRptField* GetField(int n) const;
    // Width of field n's heading box (0 before the columns are computed).
    std::int32_t GetColumnWidth(int n) const;
    void SetColumnWidth(int n, std::int32_t width);
    // Left edge of field n's heading box.
    std::int32_t GetColumnLeft(int n) const;
    // Column widths and positions from the heading line, widening columns
    // of natural width to their widest one-column cell.
    void ComputeColumns(std::int32_t width);

    // A new column (after a separator text when there are columns and the
    // separator is not empty).
    TRptField* AddField(std::string heading);
    TRptRow* NewRow();

    std::unique_ptr<TBox> CreateNaturalBox() override;
    std::unique_ptr<TBox> CreateBoxForWidth(std::int32_t width) override;

private:
    std::unique_ptr<TRptLine> headingLine_;
};

class TRptCell;

// A table row; its cells are placed at the columns of the table. The owner
// must be a table ("Owner of TRptRow must be TRptTable").
class TRptRow : public TRptLine {
public:
    explicit TRptRow(TRpt* owner);
    const char* ClassName() const override { return "TRptRow"; }

    TRptTable* GetTable() const;
    std::int32_t NextColumn() const { return nextColumn_; }

    // A cell spanning n columns (n >= 1, else the assertion "Too few
    // columns for NewMultiCell: n"); the table grows columns as needed.
    TRptCell* NewMultiCell(std::int32_t n);
    // A one-column cell taking its column's placement, alignment, measures,
    // font and pen.
    TRptCell* NewCell();

    // The row's children laid out, then cells moved to their columns.
    std::unique_ptr<TBox> CreateNaturalBox() override;
    // The natural box given the width (no new layout).
    std::unique_ptr<TBox> CreateBoxForWidth(std::int32_t width) override;

private:
    std::int32_t nextColumn_ = 0;
};

// A table cell spanning FirstColumn..LastColumn. The owner must be a row
// ("Owner of TRptCell must be TRptRow").
class TRptCell : public TRptHVGroup {
public:
    explicit TRptCell(TRpt* owner);
    const char* ClassName() const override { return "TRptCell"; }

    std::int32_t FirstColumn = -1;
    std::int32_t LastColumn = -1;

    TRptTable* GetTable() const;
    // Sum of the spanned columns' widths (separators not counted).
    std::int32_t SpanWidth() const;
    // Width of the cell's natural box.
    std::int32_t MeasureNaturalWidth();

    // While measuring, the natural box; otherwise the box for the span.
    std::unique_ptr<TBox> CreateNaturalBox() override;

private:
    bool measuring_ = false;
};

// The report document: the root of a report tree, with its page header and
// footer (owned, not among its children).
class TReport : public TRptVerticalGroup {
public:
    TReport();
    ~TReport() override;
    const char* ClassName() const override { return "TReport"; }

    // The formatter formatting the report now; null between runs.
    TFormatter* GetFormatter() const override { return formatter_; }
    void SetFormatter(TFormatter* formatter) { formatter_ = formatter; }

    TRptHVGroup& Header() { return *header_; }
    TRptHVGroup& Footer() { return *footer_; }

    // The table counter, then incremented (the first table is number 1).
    std::int32_t NextTableNumber();

    // Paper orientation: 0 portrait, 1 landscape.
    std::uint8_t PageOrientation = 0;
    // The report's page range in the print preview.
    std::int32_t FirstPage = 0;
    std::int32_t LastPage = 0;

private:
    TFormatter* formatter_ = nullptr;
    std::unique_ptr<TRptHVGroup> header_;
    std::unique_ptr<TRptHVGroup> footer_;
    std::int32_t tableCounter_ = 1;
};

}  // namespace mivo
