// Reports as plain text. TTextFormatter lays a report out on pages of
// W x H characters (H <= 0: one endless page) and draws every element into
// character pages: texts overwrite columns of a row, rules become runs of
// box-drawing characters, tree prefixes become glyphs of the chosen style,
// graphics become the placeholder "*Graphic*". TDataFormatter uses the same
// pages but writes every row as the texts of its boxes separated by TAB
// characters, for import into spreadsheets.
//
// A device unit is one character horizontally and one row vertically.
// Output is UTF-8; columns are display columns: a wide (CJK) character
// takes two, a combining mark none (DisplayWidth.h).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/SafeFile.h"
#include "reports/Formatter.h"

namespace mivo {

// One page of character rows. Rectangles are 0-based columns and rows,
// inclusive. New rows are copies of the blank row (width blanks).
class TTextPage {
public:
    explicit TTextPage(std::int32_t width);

    std::int32_t Width() const { return width_; }
    int RowCount() const { return static_cast<int>(base_ + rows_.size()); }
    // Row i as UTF-8; "Range check error" outside 0..RowCount-1.
    std::string Row(int index) const;

    // Appends blank rows until the page has more rows than rect's Bottom.
    void EnsureRow(const TRect& rect);
    // EnsureRow; pads the row at rect's Bottom to Right + 1 characters.
    void EnsureRect(const TRect& rect);
    // Appends a non-empty text to the last row.
    void AppendText(const std::string& text);
    // Appends a non-empty text to row `row` (0-based), adding blank rows up
    // to it; nothing for a negative row.
    void AppendToRow(std::int32_t row, const std::string& text);
    // Writes the text into row Top from column Left, dropping characters
    // that fall outside the row (the row written is padded to at least the
    // page width and rect's Right + 1); only when Top >= 0 and
    // Bottom >= Top. Control characters (CR, LF, TAB, ...) are written as
    // blanks, so that a text never breaks a row.
    void WriteAt(const TRect& rect, const std::string& text);
    // As WriteAt, but when row Top lies within clip's rows only the columns
    // clip.Left..clip.Right are written.
    void WriteClipped(const TRect& rect, const TRect& clip, const std::string& text);
    // Removes blanks, TAB and other control characters at the end of every
    // row.
    void TrimLines();

private:
    void Write(const TRect& rect, const std::string& text, std::int64_t fromColumn, std::int64_t toColumn);
    // Puts a character of 1 or 2 columns at the column, blanking what is
    // left of any wide character it overwrites.
    void PutCell(std::u32string& row, std::size_t column, char32_t ch, int columns);
    // Adds a combining mark to the character at the column.
    void AttachMark(std::u32string& row, std::size_t column, char32_t mark);

    std::int32_t width_;
    std::u32string blankRow_;
    // One cell per column: a character, the right half of a wide one, or
    // the index of a character with its combining marks in clusters_.
    // Rows base_ on, in a deque: a million rows grow without being moved.
    std::deque<std::u32string> rows_;
    std::vector<std::u32string> clusters_;

    // The rows are written from the top down (a long report's page runs
    // to a million rows): a row far enough above the lowest one written
    // leaves rows_ and is kept as its UTF-8 text, less its trailing
    // blanks, in a pool of blocks (frozen): a quarter of its size as cells
    // or less. Should it be written once more, it is made cells again and
    // kept apart (kept_), as are the rows with wide characters or combining
    // marks, which are never frozen.
    struct TFrozenRow {
        std::uint32_t Block = 0;
        std::uint32_t Start = 0;
        std::uint32_t Length = 0;
        std::uint32_t Blanks = 0;  // after the text
        bool Frozen = false;
    };
    static constexpr std::size_t PoolBlock = 1 << 20;
    static constexpr std::size_t LiveRows = 1024;
    std::string_view FrozenText(const TFrozenRow& frozen) const {
        return std::string_view(pool_[frozen.Block]).substr(frozen.Start, frozen.Length);
    }
    // Row `index` as cells, made so again when it was frozen.
    std::u32string& LiveRow(std::size_t index);
    // Row `index` was written: rows far above it are frozen.
    void Written(std::size_t index);
    // The row as frozen text; not frozen where it cannot be.
    TFrozenRow Freeze(const std::u32string& row);
    std::size_t base_ = 0;            // the first row in rows_
    std::deque<TFrozenRow> frozen_;   // of the rows before base_
    std::vector<std::string> pool_;
    std::unordered_map<std::size_t, std::u32string> kept_;  // rows before base_ held as cells
};

class TTextFormatter : public TFormatter {
public:
    // Origin and size in characters and rows.
    TTextFormatter(TReport& report, TPoint origin, TPoint size);
    ~TTextFormatter() override;

    int PageCount() const { return static_cast<int>(pages_.size()); }
    // Page i, from 1; "Range check error" outside 1..PageCount.
    TTextPage& GetPage(int index) const;
    // The last page; null before the first.
    TTextPage* CurrentPage() const { return pages_.empty() ? nullptr : pages_.back().get(); }

    // After Run: the pages that have rows, a form feed before each but the
    // first, every row ended by a line end (a page's rows begin with the
    // origin's empty rows and columns, the margins); "*** ABORTED ***" at
    // the end of an aborted run.
    void WriteToFile(std::ostream& out) const;
    // The same into a safe file writer, so that several reports can go into
    // one file; the caller commits it.
    void WriteToFile(TSafeFileWriter& writer) const;
    // The text as the whole new contents of the file at `path`. The file is
    // replaced only when every write succeeded: on failure EFileError is
    // raised and the previous file is left exactly as it was.
    void SaveToFile(const std::string& path) const;
    std::string ToText() const;

    void BeginFormatting() override;
    void NewPage() override;
    void EndPage() override;

    std::int32_t TextWidth(const std::string& text) override;
    std::int32_t TextHeight(const std::string& text) override;
    // Characters x cells per tree level (at least one cell per level).
    std::int32_t TreeWidth(const std::string& text) override;
    // 10 characters to the inch; lines, digits and ems are one unit each.
    std::int32_t MeasureToDevice(TMeasure measure) override;
    void TextOut(const TRect& rect, const std::string& text) override;
    void TextRect(const TRect& rect, const TRect& clip, const std::string& text) override;
    void DrawTree(const TRect& rect, const std::string& text) override;
    void DrawTreeContinuation(const TRect& rect, const std::string& keys) override;
    // A run of ─ (one rule) or ═ (more) between markers on one row.
    void DrawRules(const TRect& begin, const TRect& end, std::int32_t count) override;
    void DrawFrame(const TRect&, std::uint8_t, bool, const std::string&) override {}
    void DrawGraphic(const TRect& rect, const TDrawCallback& callback, const TParam* param) override;

protected:
    // The current page; drawing before the first page fails with an
    // assertion.
    TTextPage& Page();

private:
    // The output of WriteToFile, piece by piece.
    void WriteText(const std::function<void(std::string_view)>& write) const;
    // The glyphs of a tree prefix in `width` characters (its levels take
    // fewer cells when it is narrower than its tree width).
    std::string TreeGlyphs(const std::string& text, std::int32_t width) const;

    std::vector<std::unique_ptr<TTextPage>> pages_;
};

// Tab-delimited text: every row holds the texts of its boxes; a gap between
// two texts becomes one TAB, texts that touch are joined unless an empty
// fill lies between them (a page header's texts at natural widths). Every
// text goes
// to the row of its top edge, whatever was drawn before it. Control
// characters inside a text become blanks, so a text never adds a field or
// a row. Rules are left out; of a run of blank lines every other one is
// skipped.
class TDataFormatter : public TTextFormatter {
public:
    using TTextFormatter::TTextFormatter;

    void NewPage() override;
    void TextOut(const TRect& rect, const std::string& text) override;
    void TextRect(const TRect& rect, const TRect& clip, const std::string& text) override;
    void DrawTree(const TRect& rect, const std::string& text) override;
    void DrawTreeContinuation(const TRect& rect, const std::string& keys) override;
    void DrawRules(const TRect&, const TRect&, std::int32_t) override {}
    void DrawFill(const TRect& rect) override;
    // A cell stays one field: the lines of a text are joined by a blank.
    bool KeepsLineBreaks() const override { return false; }

private:
    // The right edge of the last text on a row of the current page; -1 for
    // a row without text so far.
    std::int32_t& LastRight(std::int32_t row);
    void Placed(const TRect& rect);

    std::vector<std::int32_t> lastRight_;
    // Rows whose next text starts a new field although it touches the last.
    std::vector<bool> fieldBreak_;
    std::int32_t blankCount_ = 0;
};

// The text with every control character (code below 32: CR, LF, TAB, form
// feed, ...) replaced by a blank.
std::string BlankControlCharacters(std::string_view text);

}  // namespace mivo
