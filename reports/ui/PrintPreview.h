// The print preview: holds finished reports, formats each into one page
// metafile per page, shows one page at a time scaled by a zoom percentage
// inside a scrolling area, moves between pages, prints a page range with
// copies and collation, and writes its reports as plain or tab-delimited
// text.
//
// Ownership: the preview owns the reports handed to AddReport and the page
// metafiles made from them, until Clear. The printer is handed in and not
// owned; without one, pages are laid out on A4 sheets at 300 dots per inch
// and measured with the font source (the real fonts by default).
//
// Long work (formatting, printing, saving text) calls the progress events,
// whose handlers may let window messages through. While such a job runs
// the preview is busy: Cancel stops it (the running formatter is aborted
// at the next box, the printing loop before the next page), and Clear,
// AddReport, anything that reformats and a second job are refused with
// EPreviewBusy, so nothing frees the pages or reports a job is using.
//
// Zoom: every zoom, typed, chosen or fitted, lies in MinZoom..MaxZoom
// percent.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QScrollArea>

#include "model/MivoSettings.h"
#include "model/RunTime.h"
#include "platform/FontSource.h"
#include "platform/PageMetafile.h"
#include "platform/Printer.h"
#include "reports/Formatter.h"
#include "reports/Measures.h"
#include "reports/Report.h"

class QPainter;

namespace mivo {

class TCanvas;

// A command the preview cannot carry out while it formats or prints.
class EPreviewBusy : public Exception {
public:
    EPreviewBusy() : Exception("The preview is busy formatting or printing") {}
};

// An internal error of the preview (a print job left open, a page without
// a report).
class EPreviewError : public Exception {
public:
    using Exception::Exception;
};

class TPrintPreview : public QScrollArea {
    Q_OBJECT

public:
    static constexpr std::int32_t MinZoom = 10;
    static constexpr std::int32_t MaxZoom = 400;
    // Scroll step of both scroll bars, in screen pixels.
    static constexpr int ScrollStep = 16;

    // Text modes of SaveAsText.
    enum TTextMode : int { tmText = 0, tmData = 1 };

    // Printing events: pages printed so far, pages in the job, the page
    // number and the number of pages.
    using TPrintEvent = std::function<void(int printed, int total, int page, int pageCount)>;

    // `printer` (not owned) may be null. `fonts` (not owned) measures text
    // without a printer; null: the real fonts.
    explicit TPrintPreview(TPrinter* printer, QWidget* parent = nullptr, TFontSource* fonts = nullptr);
    ~TPrintPreview() override;

    // --- reports and pages ---
    int ReportCount() const { return static_cast<int>(reports_.size()); }
    // Report i, from 0 ("Range check error" outside).
    TReport& GetReport(int index) const;
    int PageCount() const { return static_cast<int>(pages_.size()); }
    // Page metafile i, from 1 ("Range check error" outside).
    const TPageMetafile& GetPageMetafile(int index) const;
    std::int32_t CurrentPage() const { return currentPage_; }
    // The current page's metafile; null when CurrentPage is not a page.
    const TPageMetafile* CurrentMetafile() const;
    // The first report whose page range holds page p; null for none.
    TReport* ReportOfPage(std::int32_t page) const;

    // Takes the report over, appends it and formats it at once. Errors of
    // the formatting pass on; the report then stays, without pages.
    void AddReport(std::unique_ptr<TReport> report);
    // Frees all reports and pages; the first page number returns to 1.
    void Clear();

    // --- layout ---
    TMeasure LeftMargin() const { return leftMargin_; }
    TMeasure TopMargin() const { return topMargin_; }
    TMeasure RightMargin() const { return rightMargin_; }
    TMeasure BottomMargin() const { return bottomMargin_; }
    // Millimetres; reformats everything.
    void SetMargins(double left, double top, double right, double bottom);
    std::int32_t FirstPageNumber() const { return firstPageNumber_; }
    // The number printed on the first page; reformats when it changes.
    void SetFirstPageNumber(std::int32_t number);
    // Formats every report again; with a cancel on the way the reports not
    // reached have no pages.
    void ReformatAll();

    TPrinter* Printer() const { return printer_; }
    // What pages are measured with without a printer.
    TFontSource& Fonts() const { return *fonts_; }
    // Reformats when the printer (which may have been changed in the print
    // dialog) differs from the one the pages were laid out for: another
    // printer, resolution or paper.
    void CheckPrinter();

    // --- zoom and paging ---
    std::int32_t Zoom() const { return zoom_; }
    // Stores the percentage clamped to MinZoom..MaxZoom.
    void SetZoom(std::int64_t percent);
    // Zooms so that the page fits the width, the height or as a whole; a
    // window without size (or a page without extent) keeps the zoom.
    void ZoomPageWidth();
    void ZoomPageHeight();
    void ZoomWholePage();

    // Clamped to 1..PageCount (0 without pages).
    void GoToPage(std::int64_t page);
    void NextPage() { GoToPage(std::int64_t{currentPage_} + 1); }
    void PrevPage() { GoToPage(std::int64_t{currentPage_} - 1); }
    void ScrollDown();
    void ScrollUp();
    void ScrollRight();
    void ScrollLeft();

    // --- page geometry, in the page's device units and screen pixels ---
    // The current page's height or width; else the printer's page; else
    // 5000.
    std::int32_t PageExtent(bool vertical) const;
    // Page units per screen pixel: the resolution the page was recorded at
    // (the printer's, else 300) over the screen's pixels per inch.
    double ScaleFactor(bool vertical) const;
    std::int32_t ZoomedExtent(bool vertical) const;
    // The page rectangle within a paint area of the given size.
    TCanvasRect PageRect(int areaWidth, int areaHeight) const;
    // Paints the background, shadow, page and the current page's metafile
    // onto a canvas of the given size.
    virtual void PaintPage(TCanvas& canvas, int areaWidth, int areaHeight) const;
    // The widget the page is painted on.
    QWidget& PaintBox() const { return *paintBox_; }

    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor color);
    std::int32_t ShadowSize() const { return shadowSize_; }
    void SetShadowSize(std::int32_t size);

    // --- printing ---
    std::int32_t GetPrintFrom() const;
    std::int32_t GetPrintTo() const;
    void SetPrintFrom(std::int32_t page);
    void SetPrintTo(std::int32_t page);
    std::int32_t PrintPageCount() const;
    bool Collate() const { return collate_; }
    void SetCollate(bool collate) { collate_ = collate; }
    std::int32_t Copies() const { return copies_; }
    void SetCopies(std::int32_t copies) { copies_ = copies; }
    // Prints pages from..to (a later "to" below "from" pulls "from" down);
    // the print range is the same afterwards. Without a printer nothing.
    void Print(std::int32_t from, std::int32_t to);
    // Prints the print range, Copies times, collated or not. The printer's
    // own copies setting is 1 during the job and restored afterwards.
    void PrintPages();

    // --- text ---
    // Writes every report as text (width x height characters; 0 keeps its
    // meaning: natural widths, one endless page) or as tab-delimited text,
    // a form feed between reports when the height is positive. The file is
    // replaced only at the end: an error or a cancel leaves an existing
    // file as it was. Returns false when cancelled.
    bool SaveAsText(const std::string& fileName, std::int32_t width, std::int32_t height, int mode);

    // --- jobs ---
    // Stops the running job; a print job is aborted on the printer.
    void Cancel();
    // The last job (print, formatting or text save) was cancelled; cleared
    // when a job starts.
    bool Aborted() const { return aborted_; }
    bool Printing() const { return printing_; }
    bool Formatting() const { return formatting_; }
    bool Busy() const { return printing_ || formatting_; }

    TFormatter::TProgressEvent OnFormatNewPage;
    TFormatter::TProgressEvent OnFormatProgress;
    TPrintEvent OnPrintPage;
    TPrintEvent OnPagePrinted;
    // Called when a job has ended, however it ended, once the preview is no
    // longer busy (the window returns to its idle layout).
    std::function<void()> OnJobEnded;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class TPageWidget;
    class TJobScope;
    struct TPrinterSignature {
        std::int32_t Index = -1;
        std::int32_t ResolutionX = 0;
        std::int32_t ResolutionY = 0;
        std::int32_t PortraitWidth = 0;
        std::int32_t PortraitHeight = 0;
        bool operator==(const TPrinterSignature&) const = default;
    };

    void RefuseWhileBusy() const;
    void FormatReport(TReport& report);
    void RunFormatter(TFormatter& formatter);
    void FreePages();
    void ClampCurrentPage();
    void UpdateScrollRange();
    TPrinterSignature ReadPrinterSignature() const;
    // Pixels per inch of the screen the page is shown on.
    double ScreenResolution(bool vertical) const;
    // The client area the page has to fit in, less a scroll bar and the
    // shadow; 0 or less when the window has no size yet.
    int AvailableExtent(bool vertical) const;
    void ZoomToFit(bool vertical);
    void Scroll(QScrollBar& bar, int delta);
    void PrintPage(std::int32_t page, int& printed, int total);
    void DrawOnPrinter(const TPageMetafile& page);

    std::vector<std::unique_ptr<TReport>> reports_;
    std::vector<std::unique_ptr<TPageMetafile>> pages_;
    std::int32_t currentPage_ = 0;
    std::int32_t firstPageNumber_ = 1;
    TMeasure leftMargin_ = MakeMeasure(mkMillimetres, 25);
    TMeasure topMargin_ = MakeMeasure(mkMillimetres, 20);
    TMeasure rightMargin_ = MakeMeasure(mkMillimetres, 20);
    TMeasure bottomMargin_ = MakeMeasure(mkMillimetres, 20);
    QWidget* paintBox_ = nullptr;  // owned by the scroll area
    std::int32_t zoom_ = 50;
    TColor shadowColor_;
    std::int32_t shadowSize_ = 5;
    TPrinter* printer_;
    TPrinterSignature printerSignature_;
    std::unique_ptr<TFontSource> ownFonts_;
    TFontSource* fonts_;
    std::int32_t printFrom_ = 1;
    std::int32_t printTo_ = -1;
    bool collate_ = true;
    std::int32_t copies_ = 1;
    bool aborted_ = false;
    bool printing_ = false;
    bool formatting_ = false;
    bool updating_ = true;
    TFormatter* activeFormatter_ = nullptr;
};

}  // namespace mivo
