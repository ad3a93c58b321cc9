// The structured groups of a report: the word-wrapped paragraph, the
// numbered section, the table with its column definitions, rows and cells,
// and the report document at the root with its page header and footer.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "reports/Groups.h"
#include "reports/WidthCache.h"

namespace mivo {

// Texts broken into lines at the width the paragraph is given. FirstPrefix
// starts the first line, NextPrefix every later one, LineSuffix ends every
// line (all three owned by the paragraph, not among its children, and made
// when first asked for: most paragraphs never have them, and lay their
// lines out with one empty text in their place). With Justify the free
// width of every full line goes to its blanks.
//
// A line break in a text (CR LF, CR or LF) starts a new line, at any
// width, unless the formatter joins lines (tab output: one blank between
// them); an empty line shows a blank, a break at the end of a text starts
// nothing (LineBreaks.h).
class TRptParagraph : public TRptVerticalGroup {
public:
    explicit TRptParagraph(TRpt* owner);
    ~TRptParagraph() override;
    const char* ClassName() const override { return "TRptParagraph"; }

    TRptText& NextPrefix() { return Affix(nextPrefix_); }
    TRptText& LineSuffix() { return Affix(lineSuffix_); }
    TRptText& FirstPrefix() { return Affix(firstPrefix_); }
    // The prefixes and the suffix once made; null before.
    TRptText* NextPrefixIfAny() const { return nextPrefix_.get(); }
    TRptText* LineSuffixIfAny() const { return lineSuffix_.get(); }
    TRptText* FirstPrefixIfAny() const { return firstPrefix_.get(); }
    // The affix, or the empty text that stands in for any that is missing.
    TRptText& AffixOrEmpty(TRptText* affix);
    bool IsEmptyAffix(const TRptText* text) const { return text && text == emptyAffix_.get(); }

    bool Justify = false;

private:
    // SetTreePrefix made the prefixes (kept beside Justify, in its padding).
    bool treePrefix_ = false;

public:

    // Unwrapped: one line, or one per line of a text with line breaks.
    std::unique_ptr<TBox> CreateNaturalBox() override;
    // Word wrap at the width (no wrapping for a width below 1). A word
    // wider than a line is broken after its last "," or ";" that fits, or
    // anywhere when none does.
    std::unique_ptr<TBox> CreateBoxForWidth(std::int32_t width) override;
    // The narrowest width the paragraph wraps to without a text running
    // past its lines: the prefix, the suffix and a few characters, or more
    // where a number or a "value:count" item is wider (those never break
    // inside). A tree prefix counts only as wide as it may be compressed.
    std::int32_t MinimumWidth();
    // The narrowest width at which no word has to break: the prefix, the
    // suffix and the widest word (a word of a list ends after its "," or
    // ";").
    std::int32_t WordWidth();

    // Lines of a tree item: the first line starts with the tree prefix
    // `keys`, every later one with the lines that go on beside it, so that
    // the item's text wraps under itself. `stem`: inputs follow in the rows
    // below (TRptTree::Stem). At a width too narrow for prefix and text the
    // prefix is compressed, down to half the width.
    void SetTreePrefix(const std::string& keys, bool stem);
    bool HasTreePrefix() const;

private:
    // The widest piece and the widest unbreakable piece of the texts.
    struct TPieceWidths {
        std::int32_t widest = 0;
        std::int32_t unbreakable = 0;
    };
    TPieceWidths MeasurePieces();
    // The natural widths of the prefixes and of the suffix.
    std::int32_t PrefixWidth();
    std::int32_t SuffixWidth();
    TRptText& Affix(std::unique_ptr<TRptText>& affix);

    std::unique_ptr<TRptText> nextPrefix_;
    std::unique_ptr<TRptText> lineSuffix_;
    std::unique_ptr<TRptText> firstPrefix_;
    std::unique_ptr<TRptText> emptyAffix_;
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
    bool SetsContext() const override { return true; }

    // The number preceded by those of all enclosing sections and tables,
    // outermost first, joined by "." ("2.3").
    std::string GetNumberPath() const;

private:
    std::unique_ptr<TRptHVGroup> heading_;
};

class TRptCell;
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
    // of natural width to their widest one-column cell. Given a width, a
    // table wider than it narrows its columns of natural width, the widest
    // first, down to what their cells need at least (NarrowColumns).
    void ComputeColumns(std::int32_t width);

    // The cells of each column that span that column alone, row by row.
    std::vector<std::vector<TRptCell*>> OneColumnCells() const;

    // The width of one level of the tree prefixes in column n while the
    // table is laid out; -1: the prefixes' own width (TreeLevelWidthFor).
    std::int32_t TreeLevelWidth(int n) const;
    void SetTreeLevelWidth(int n, std::int32_t width);

    // The width of the separator between two columns (after
    // ComputeColumns; 0 with fewer than two columns).
    std::int32_t SeparatorWidth() const;

    // A new column (after a separator text when there are columns and the
    // separator is not empty).
    TRptField* AddField(std::string heading);
    TRptRow* NewRow();

    std::unique_ptr<TBox> CreateNaturalBox() override;
    std::unique_ptr<TBox> CreateBoxForWidth(std::int32_t width) override;

private:
    // The fields of the heading line in order.
    const std::vector<TRptField*>& Fields() const;

    std::unique_ptr<TRptLine> headingLine_;
    std::vector<std::int32_t> treeLevels_;
    mutable std::vector<TRptField*> fields_;
    mutable int indexedItems_ = -1;
};

// What the cells of a column need whatever its width, measured once: the
// widest word of all cells and of those below the heading row, the widest
// floor, whether a cell holds a tree item, and the widest floor of a cell
// that cannot wrap (at least one unit).
struct TColumnNeeds {
    std::int32_t words = 0;
    std::int32_t bodyWords = 0;
    std::int32_t least = 0;
    bool tree = false;
    std::int32_t unwrapped = 1;
};

// A section that shows one of its tables in chunks of columns, each chunk
// laid out as the section is (its children in order, the table showing
// only the chunk's columns) and paginated as the section would be (its
// page-break mode applies to every chunk). Every chunk repeats the table's
// first KeyColumns columns and takes some of the others: without a width
// ChunkColumns of them; given a width, as few chunks as fit it, each of at
// most ChunkColumns and at least one column, their sizes as even as the
// widths allow. On a page the cells of the heading row may wrap into
// HeadingLines lines, so a column is sized by its other cells and its
// heading wrapped (a key column of tree items by its share of the width at
// most); a chunk that is still too wide narrows its columns of natural
// width as a table does (FitColumnWidths), whose paragraphs wrap.
// Chunks after the first show NextHeading in place of the section's first
// child, its heading.
//
// Every cell is measured a fixed number of times for a box of the
// section, however many chunks there are.
class TRptChunkedSection : public TRptSection {
public:
    explicit TRptChunkedSection(TRpt* owner);
    ~TRptChunkedSection() override;
    const char* ClassName() const override { return "TRptChunkedSection"; }

    TRptLine& NextHeading() { return *nextHeading_; }
    // The table shown in chunks, one of the children (null: shown whole).
    TRptTable* ChunkedTable = nullptr;
    std::int32_t KeyColumns = 1;
    std::int32_t ChunkColumns = 5;
    // Lines a heading cell (TRptCell::InHeadingRow) may take when the
    // chunks are sized.
    std::int32_t HeadingLines = 3;

    // The columns after the key columns, chunk by chunk, for the width
    // (natural widths below 1); measures the table's cells given a width.
    std::vector<std::vector<int>> ColumnChunks(std::int32_t width);

    std::unique_ptr<TBox> CreateNaturalBox() override;
    std::unique_ptr<TBox> CreateBoxForWidth(std::int32_t width) override;

private:
    // The widths chunks are sized and laid out by, measured once for a box
    // of the section, per column: its natural width, the least its cells
    // take without a text running out of them (Floor), and what it takes
    // with its heading cells wrapped into HeadingLines lines (Compact).
    struct TColumnMeasures {
        std::vector<std::int32_t> Natural;
        std::vector<std::int32_t> Floor;
        std::vector<std::int32_t> Compact;
        // Of the columns of proportional width, given a width.
        std::vector<TColumnNeeds> Needs;
        std::int32_t Separator = 0;
        std::vector<std::vector<TRptCell*>> Cells;  // of each column, given a width
    };
    // Computes the table's columns at natural widths and measures them;
    // Floor and Compact only given a width (else they are Natural).
    TColumnMeasures MeasureColumns(std::int32_t width);
    // Compact for one column from its one-column cells.
    std::int32_t CompactWidth(const std::vector<TRptCell*>& cells, std::int32_t floor, std::int32_t natural) const;
    int KeyCount() const;
    // The width key column `column` takes in every chunk at the width.
    std::int32_t KeyColumnWidth(int column, std::int32_t width) const;
    std::vector<std::vector<int>> ChunksOf(const TColumnMeasures& measures, std::int32_t width) const;
    // Natural widths where the columns fit the width; else the columns
    // give up width down to Compact, the widest first (their headings
    // wrap), and when that is not enough as a table's columns do.
    std::vector<std::int32_t> WidthsOf(const TColumnMeasures& measures, const std::vector<int>& columns,
                                       std::int32_t width) const;
    // The key columns followed by the chunk's.
    std::vector<int> ColumnsOfChunk(const std::vector<int>& chunk) const;
    // The section's box: a deferred box for each chunk (TDeferredBox), so
    // that the page flow holds the boxes of one chunk at a time.
    std::unique_ptr<TBox> BuildChunks(bool forWidth, std::int32_t width);
    // What every chunk's box is built from, worked out once for a box of
    // the section.
    struct TChunkPlan;
    // The box of chunk k of the plan; `measuring`: only to be measured,
    // with stand-ins for the cells of the key columns that are copied.
    std::unique_ptr<TBox> BuildChunk(const TChunkPlan& plan, std::size_t k, bool measuring);

    std::unique_ptr<TRptLine> nextHeading_;
};

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
    // Width of the cell's natural box. The three measures are taken once
    // while the formatter builds the report's boxes (TFormatter::Widths).
    std::int32_t MeasureNaturalWidth();
    // The narrowest the cell can be without a text running out of it: a
    // paragraph wraps down to a few characters (TRptParagraph::MinimumWidth),
    // anything else keeps its natural width.
    std::int32_t MeasureMinimumWidth();
    // The narrowest the cell can be without a word breaking
    // (TRptParagraph::WordWidth); anything else keeps its natural width.
    std::int32_t MeasureWordWidth();
    // Every child is a paragraph, which wraps at any width (breaking words
    // where it must).
    bool WrapsAtAnyWidth() const;
    // The cell is in its table's first row, the heading row of the tables
    // the builders make.
    bool InHeadingRow() const;
    // The cell's tree item (a paragraph with a tree prefix); null for none.
    TRptParagraph* TreeItem() const;
    bool HoldsTree() const { return TreeItem() != nullptr; }

    // While measuring, the natural box; otherwise the box for the span.
    std::unique_ptr<TBox> CreateNaturalBox() override;

private:
    // The widest child: a paragraph by the given measure, anything else by
    // its natural width.
    std::int32_t WidestChild(std::int32_t (TRptParagraph::*paragraphWidth)());
    std::int32_t MeasureNaturalBoxWidth();

    bool measuring_ = false;
    // The three measures while the formatter remembers them.
    TWidthSlot widths_;
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
    void SetFormatter(TFormatter* formatter) {
        formatter_ = formatter;
        formatterChanges_.fetch_add(1, std::memory_order_relaxed);
    }
    // How many times any report has changed its formatter: what an element
    // answered for its formatter holds while this stays the same.
    static std::uint32_t FormatterChanges() { return formatterChanges_.load(std::memory_order_relaxed); }
    bool SetsContext() const override { return true; }

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
    static inline std::atomic<std::uint32_t> formatterChanges_{0};
    std::unique_ptr<TRptHVGroup> header_;
    std::unique_ptr<TRptHVGroup> footer_;
    std::int32_t tableCounter_ = 1;
};

// The tree items of a column: the width of the deepest prefix, its number
// of levels and the natural width of the widest cell (zero without items).
struct TTreeColumn {
    std::int32_t Deepest = 0;
    std::int32_t Levels = 0;
    std::int32_t Natural = 0;
};
TTreeColumn MeasureTreeColumn(const std::vector<TRptCell*>& cells);

// The width of one tree level in the column laid out `width` wide: -1 (the
// prefixes' own) where the column is as wide as its items or its deepest
// prefix takes at most half of it; else the deepest prefix is compressed
// into half the width, at least one unit a level. Every row of the column
// gets the same, so that the lines stay in place.
std::int32_t TreeLevelWidthFor(const TTreeColumn& column, std::int32_t width);

// The tree lines of the row's cells reach the foot of the row: in a cell
// of a tree item shorter than the row, the tree box of its last line grows
// down to the row's foot.
void ExtendTreeLines(TBoxGroup& row);
// The same where it is known which children of the row are the boxes of
// cells of tree items (`tree`, by child index).
void ExtendTreeLines(TBoxGroup& row, const std::vector<bool>& tree);

// The share of a table's width (in percent) that a column of tree items
// takes at most when the table must be narrowed, and that width.
inline constexpr int TreeColumnSharePercent = 50;
std::int32_t TreeColumnCeiling(std::int32_t room);

// How far a column may be narrowed: `words` keeps every word whole,
// `bodyWords` every word below the heading row (the table's first row),
// `least` is the floor (a few characters, or a number or "value:count"
// item); `most` is its widest (a column of tree items keeps to its share).
// `lastResort` is the floor where even the `least` floors leave the page:
// the width of its widest cell that cannot wrap, else one unit (a
// character in text), so that an item wider than any column it can get
// breaks rather than run over the next column. A column of fixed width
// keeps its width.
struct TColumnLimits {
    std::int32_t words;
    std::int32_t bodyWords;
    std::int32_t least;
    std::int32_t most;
    std::int32_t lastResort = 1;
};
TColumnLimits ColumnLimits(const TRptField& field, const std::vector<TRptCell*>& cells, std::int32_t width,
                           std::int32_t room);

// ColumnLimits from what the cells of a column need, measured once.
TColumnNeeds MeasureColumnNeeds(const std::vector<TRptCell*>& cells);
TColumnLimits ColumnLimits(const TRptField& field, const TColumnNeeds& needs, std::int32_t width, std::int32_t room);

// Narrows the widths until they add up to at most `room`: first down to
// their `most`; then, widest first, down to their `words` where all words
// fit so; else down to their `bodyWords` (heading words break first) where
// those fit; else, widest first, down to their floors `least`; and where
// those do not fit either, widest first down to their `lastResort`.
void FitColumnWidths(std::vector<std::int32_t>& widths, const std::vector<TColumnLimits>& limits, std::int32_t room);

// Narrows the widths, widest first, until they add up to at most `room`
// (all of them cut to one cap); none goes below its floor, so with floors
// that do not fit the widths end at their floors.
void NarrowColumns(std::vector<std::int32_t>& widths, const std::vector<std::int32_t>& floors, std::int32_t room);

}  // namespace mivo
