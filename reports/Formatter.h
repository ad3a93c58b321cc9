// The formatter: turns one report into pages. It builds the box tree of the
// whole report once, then flows the boxes onto pages of a fixed size: every
// page gets the report's header, the heading of the current section or
// table and the report's footer; groups are kept together or broken across
// pages by their page-break mode; boxes that do not fit are split into
// their children when they are vertical groups.
//
// TFormatter is abstract: it is the one boundary between the engine and a
// drawing target. Concrete formatters implement text measurement, measure
// conversion, fonts and pens, text, tree lines, rules, frames and
// owner-drawn graphics (TextFormatter.h for text pages; the printer and
// page-record formatter over a drawing surface).
//
// It also keeps the report stack, the chain of elements being measured or
// drawn, from which fonts, pens and the current section and table are
// known.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "reports/Boxes.h"
#include "reports/DateTime.h"
#include "reports/Graphics.h"
#include "reports/Measures.h"
#include "reports/WidthCache.h"

namespace mivo {

class TReport;
class TRpt;
class TRptGroup;
class TRptSection;
class TRptTable;

class TFormatter {
public:
    // Progress events: the page number, the lines on the current page, the
    // lines done and the total lines. Abort may be called from them.
    using TProgressEvent =
        std::function<void(TFormatter& formatter, int page, int linesOnPage, int linesDone, int totalLines)>;
    // A uniform pseudo-random integer in 0..n-1 (n >= 1).
    using TRandomSource = std::function<int(int n)>;

    // Page origin and size in device units; with a width <= 0 the report is
    // laid out at its natural widths, with a height <= 0 it is one endless
    // page. The report is not owned and must outlive the formatter's runs.
    TFormatter(TReport& report, TPoint origin, TPoint size);
    virtual ~TFormatter();
    TFormatter(const TFormatter&) = delete;
    TFormatter& operator=(const TFormatter&) = delete;

    // --- settings, before Run ---
    std::uint8_t GetTreeStyle() const { return treeStyle_; }
    void SetTreeStyle(std::uint8_t style) { treeStyle_ = style; }
    std::int32_t GetCellsPerTreeLevel() const { return cellsPerTreeLevel_; }
    void SetCellsPerTreeLevel(std::int32_t cells) { cellsPerTreeLevel_ = cells; }
    std::int32_t GetFirstWantedPage() const { return firstWantedPage_; }
    void SetFirstWantedPage(std::int32_t page) { firstWantedPage_ = page; }
    // Pages after it are not drawn; < 1: no limit.
    std::int32_t GetLastWantedPage() const { return lastWantedPage_; }
    void SetLastWantedPage(std::int32_t page) { lastWantedPage_ = page; }
    // The number shown for page 1.
    std::int32_t GetFirstPageNumber() const { return firstPageNumber_; }
    void SetFirstPageNumber(std::int32_t number) { firstPageNumber_ = number; }
    TProgressEvent OnNewPage;
    TProgressEvent OnProgress;
    // Sources of the start time and of the stretch remainders; both default
    // to the system's (the random source to a fixed-seed generator, so
    // layouts are reproducible).
    void SetClock(TClock clock);
    void SetRandomSource(TRandomSource source);
    // The locale's date and time formats for the date and time macros.
    const TDateFormats& DateFormats() const { return dateFormats_; }
    void SetDateFormats(const TDateFormats& formats) { dateFormats_ = formats; }

    // --- state ---
    TReport& Report() const { return report_; }
    TPoint PageOrigin() const { return origin_; }
    TPoint PageSize() const { return size_; }
    const TDateTime& StartTime() const { return startTime_; }
    std::int32_t PageNumber() const { return pageNumber_; }
    std::int32_t LineHeight() const { return lineHeight_; }
    std::int32_t RemainingHeight() const { return remainingHeight_; }
    int TotalLines() const { return totalLines_; }
    int LinesDone() const { return linesDone_; }
    int LinesOnPage() const { return linesOnPage_; }
    bool Aborted() const { return aborted_; }
    bool Formatting() const { return formatting_; }
    TRptSection* CurrentSection() const { return currentSection_; }
    TRptTable* CurrentTable() const { return currentTable_; }
    TRptGroup* HeaderGroup() const { return headerGroup_; }
    TRptGroup* FooterGroup() const { return footerGroup_; }
    TRptGroup* HeadingGroup() const { return headingGroup_; }
    TPageBox& PageBox() { return *pageBox_; }
    int ReportStackDepth() const { return static_cast<int>(stack_.size()); }

    // A random index 0..n-1 from the random source.
    int RandomIndex(int n);
    // How many random indices were drawn (for n > 1) so far: a layout that
    // draws none is the same whenever it is made.
    std::uint64_t RandomDraws() const { return randomDraws_; }

    // --- fonts, pens, line height ---
    virtual void ApplyFont(const TFont* /*font*/) {}
    virtual void ApplyPen(const TPen* /*pen*/) {}
    // Line height := the height of "Wg".
    virtual void MeasureLineHeight();
    virtual void ResetLineHeight() { lineHeight_ = -1; }
    void EnsureFontApplied();
    void EnsurePenApplied();
    void EnsureLineHeight();
    // Around building the boxes of a line: the line height becomes that of
    // "Wg" in the line's font, and afterwards the enclosing line's height
    // comes back (a line nested in a cell of another line does not make the
    // rest of the outer line measure itself anew). Outside any line the
    // height is forgotten.
    void BeginLineHeight(TRpt* line);
    void EndLineHeight();
    void MarkFontNotApplied() { fontApplied_ = false; }
    void MarkPenNotApplied() { penApplied_ = false; }

    // --- report stack ---
    // The context (UpdateContext) follows while formatting.
    virtual void PushReport(TRpt* element);
    // An empty stack fails with "Formatter: Report stack underflow".
    virtual void PopReport();
    // Header, footer, current section, table and heading from the stack.
    // Inside the current page's header, heading or footer the section and
    // table are those of the page's start, with which they were measured.
    virtual void UpdateContext();
    // The top of the stack; empty: "Formatter: Undefined current report".
    TRpt* CurrentReport() const;

    // --- pagination ---
    // The element's box for the page width (natural widths without one).
    virtual std::unique_ptr<TBox> MakeBox(TRpt* element);
    // Attaches the formatter to the report and builds the report's box.
    virtual std::unique_ptr<TBox> BuildReportBox();
    virtual void BeginFormatting();
    virtual void EndFormatting() { formatting_ = false; }
    virtual bool PageWanted() const;
    virtual void NewPage();
    virtual void EndPage();
    // A new page unless the current one is empty.
    virtual void PageBreak();
    virtual bool Fits(std::int32_t height) const;
    // A group box with a vertical main axis.
    virtual bool IsGroupBox(const TBox& box) const;
    // Breaks the page as the box's page-break mode asks; whether it fits.
    virtual bool CheckPageBreak(TBox& box);
    // Places the box on the page, or its children when it is a vertical
    // group that does not fit or holds a box that must start a new page.
    // A deferred box is built and flowed, and freed after the page on
    // which its flow ends.
    virtual void FlowBox(TBox& box);
    // A box that is not split into children (a row) and is taller than the
    // room of a page below its header, heading and footer.
    bool IsTallerThanAPage(const TBox& box) const;
    // Places such a box in bands (TBandBox), from the current page on: each
    // band takes the rest of a page, cut between lines.
    void FlowInBands(TBox& box);
    // Whether a box below this vertical group (through vertical groups)
    // always starts a new page.
    bool HasForcedBreakInside(const TBox& box) const;
    // A box of blank space only: a blank line, a vertical space, a row of
    // them. Blank space never starts a page: where it does not fit at the
    // bottom of a page, or would be the first thing on a later page, it is
    // dropped instead of carried over.
    static bool IsBlankSpace(const TBox& box);
    // Formats the whole report. Whatever happens, the box tree is freed, the
    // report is detached from the formatter and the page state is reset.
    virtual void Run();
    virtual void Abort() { aborted_ = true; }
    // Boxes built during the flow (deferred boxes) are built as the report's
    // box tree is: the context does not follow the report stack meanwhile,
    // and afterwards it is what it was.
    std::unique_ptr<TBox> BuildAside(const std::function<std::unique_ptr<TBox>()>& build);
    // Widths of cells measured while the report's box tree is built.
    TWidthCache& Widths() { return widths_; }
    // Progress while the box tree is built, which takes long for a table
    // of many cells: OnProgress with page 0 and `done` of `total` steps.
    // The element building stops at its next step once aborted.
    void BuildProgress(int done, int total);

    // --- primitives of a concrete formatter ---
    virtual std::int32_t TextWidth(const std::string& text) = 0;
    virtual std::int32_t TextHeight(const std::string& text) = 0;
    // Width of a tree prefix.
    virtual std::int32_t TreeWidth(const std::string& text) = 0;
    virtual std::int32_t MeasureToDevice(TMeasure measure) = 0;
    // Text at the rectangle's top left.
    virtual void TextOut(const TRect& rect, const std::string& text) = 0;
    // The same, clipped to clip.
    virtual void TextRect(const TRect& rect, const TRect& clip, const std::string& text) = 0;
    virtual void DrawTree(const TRect& rect, const std::string& text) = 0;
    // The tree lines that go on below an item's line, beside the rest of its
    // row (keys of vertical lines and blanks only), over every row of the
    // rectangle.
    virtual void DrawTreeContinuation(const TRect& rect, const std::string& keys) { DrawTree(rect, keys); }
    // count parallel rules from the begin marker's to the end marker's
    // rectangle.
    virtual void DrawRules(const TRect& begin, const TRect& end, std::int32_t count) = 0;
    // Outline of a box.
    virtual void DrawFrame(const TRect& rect, std::uint8_t penStyle, bool rounded, const std::string& caption) = 0;
    virtual void DrawGraphic(const TRect& rect, const TDrawCallback& callback, const TParam* param) = 0;
    // An empty fill lies at the rectangle; only tab output marks it (the
    // texts on either side become separate fields).
    virtual void DrawFill(const TRect& /*rect*/) {}
    // A line break in a paragraph's text starts a new line; a formatter
    // whose rows are records (tab output) joins the lines with a blank.
    virtual bool KeepsLineBreaks() const { return true; }

protected:
    // Frees the boxes of the current page and detaches the report; run on
    // every end of Run.
    void ResetRunState();

private:
    friend class TReport;
    // The report is being freed while attached to this formatter.
    void ForgetReport() { reportGone_ = true; }
    // The header, heading or footer group of the current page.
    bool IsPageFurniture(const TRpt* element) const;
    // Only these elements change the context on the stack (a report, a
    // section or table, the page's header, heading or footer): pushing or
    // popping any other leaves it as it is.
    bool AffectsContext(const TRpt* element) const;

    TReport& report_;
    TPoint origin_;
    TPoint size_;
    TDateTime startTime_;
    std::uint8_t treeStyle_ = 1;
    std::int32_t cellsPerTreeLevel_ = 2;
    std::int32_t firstWantedPage_ = 1;
    std::int32_t lastWantedPage_ = -1;
    std::int32_t firstPageNumber_ = 1;
    std::int32_t lineHeight_ = -1;
    std::vector<std::int32_t> outerLineHeights_;
    std::vector<TRpt*> stack_;
    bool fontApplied_ = false;
    bool penApplied_ = false;
    std::unique_ptr<TPageBox> pageBox_;
    std::int32_t pageNumber_ = 0;
    TRptSection* currentSection_ = nullptr;
    TRptTable* currentTable_ = nullptr;
    TRptGroup* headerGroup_ = nullptr;
    TRptGroup* footerGroup_ = nullptr;
    TRptGroup* headingGroup_ = nullptr;
    // The section and table current when the page began, and its header,
    // heading and footer groups.
    TRptSection* pageSection_ = nullptr;
    TRptTable* pageTable_ = nullptr;
    std::array<const TRpt*, 3> pageFurniture_{};
    std::unique_ptr<TBox> headerBox_;
    std::unique_ptr<TBox> footerBox_;
    std::unique_ptr<TBox> headingBox_;
    std::int32_t remainingHeight_ = 0;
    // The room of the current page below its header and heading and above
    // its footer.
    std::int32_t pageRoom_ = 0;
    // The bands of boxes taller than a page, until their page is done.
    std::vector<std::unique_ptr<TBox>> bands_;
    // The boxes built for deferred boxes whose flow is over, until the
    // current page is done.
    std::vector<std::unique_ptr<TBox>> flowed_;
    int totalLines_ = 0;
    int linesDone_ = 0;
    int linesOnPage_ = 0;
    bool aborted_ = false;
    bool formatting_ = false;
    TClock clock_;
    TRandomSource random_;
    std::minstd_rand generator_{1};
    std::uint64_t randomDraws_ = 0;
    TDateFormats dateFormats_;
    bool reportGone_ = false;
    TWidthCache widths_;
};

// The formatter of the element's report; an element outside a formatting
// run fails with the assertion "Report is not being formatted".
TFormatter& FormatterOf(const TRpt& element);

}  // namespace mivo
