// Reports as plain text. TTextFormatter lays a report out on pages of
// W x H characters (H <= 0: one endless page) and draws every element into
// character pages: texts overwrite columns of a row, rules become runs of
// box-drawing characters, tree prefixes become glyphs of the chosen style,
// graphics become the placeholder "*Graphic*". TDataFormatter uses the same
// pages but writes every row as the texts of its boxes separated by TAB
// characters, for import into spreadsheets.
//
// A device unit is one character horizontally and one row vertically.
// Output is UTF-8; columns count characters (code points).
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "reports/Formatter.h"

namespace mivo {

// One page of character rows. Rectangles are 0-based columns and rows,
// inclusive. New rows are copies of the blank row (width blanks).
class TTextPage {
public:
    explicit TTextPage(std::int32_t width);

    std::int32_t Width() const { return width_; }
    int RowCount() const { return static_cast<int>(rows_.size()); }
    // Row i as UTF-8; "Range check error" outside 0..RowCount-1.
    std::string Row(int index) const;

    // Appends blank rows until the page has more rows than rect's Bottom.
    void EnsureRow(const TRect& rect);
    // EnsureRow; pads the row at rect's Bottom to Right + 1 characters.
    void EnsureRect(const TRect& rect);
    // Appends a non-empty text to the last row.
    void AppendText(const std::string& text);
    // Writes the text into row Top from column Left, dropping characters
    // that fall outside the row (the row is at least the page width and
    // rect's Right + 1 long); only when Top >= 0 and Bottom >= Top.
    void WriteAt(const TRect& rect, const std::string& text);
    // As WriteAt, but when row Top lies within clip's rows only the columns
    // clip.Left..clip.Right are written.
    void WriteClipped(const TRect& rect, const TRect& clip, const std::string& text);
    // Removes blanks, TAB and other control characters at the end of every
    // row.
    void TrimLines();

private:
    void Write(const TRect& rect, const std::string& text, std::int64_t fromColumn, std::int64_t toColumn);

    std::int32_t width_;
    std::u32string blankRow_;
    std::vector<std::u32string> rows_;
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
    std::string ToText() const;

    void BeginFormatting() override;
    void NewPage() override;
    void EndPage() override;

    std::int32_t TextWidth(const std::string& text) override;
    std::int32_t TextHeight(const std::string& text) override;
    std::int32_t TreeWidth(const std::string& text) override;
    // 10 characters to the inch; lines, digits and ems are one unit each.
    std::int32_t MeasureToDevice(TMeasure measure) override;
    void TextOut(const TRect& rect, const std::string& text) override;
    void TextRect(const TRect& rect, const TRect& clip, const std::string& text) override;
    void DrawTree(const TRect& rect, const std::string& text) override;
    // A run of ─ (one rule) or ═ (more) between markers on one row.
    void DrawRules(const TRect& begin, const TRect& end, std::int32_t count) override;
    void DrawFrame(const TRect&, std::uint8_t, bool, const std::string&) override {}
    void DrawGraphic(const TRect& rect, const TDrawCallback& callback, const TParam* param) override;

protected:
    // The current page; drawing before the first page fails with an
    // assertion.
    TTextPage& Page();

private:
    std::vector<std::unique_ptr<TTextPage>> pages_;
};

// Tab-delimited text: every row holds the texts of its boxes; a gap between
// two texts becomes one TAB, texts that touch are joined. Rules are left
// out; of a run of blank lines every other one is skipped.
class TDataFormatter : public TTextFormatter {
public:
    using TTextFormatter::TTextFormatter;

    void NewPage() override;
    void TextOut(const TRect& rect, const std::string& text) override;
    void TextRect(const TRect& rect, const TRect& clip, const std::string& text) override;
    void DrawTree(const TRect& rect, const std::string& text) override;
    void DrawRules(const TRect&, const TRect&, std::int32_t) override {}

private:
    std::int32_t lastRow_ = -1;
    std::int32_t lastRight_ = -1;
    std::int32_t blankCount_ = 0;
};

}  // namespace mivo
