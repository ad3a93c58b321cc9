#include "reports/ui/PrintPreview.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QScrollBar>
#include <QStyle>

#include "model/SafeFile.h"
#include "platform/ErrorDisplay.h"
#include "platform/QtCanvas.h"
#include "platform/QtFontSource.h"
#include "reports/PrintFormatter.h"
#include "reports/TextFormatter.h"

namespace mivo {

namespace {

constexpr std::int32_t DefaultResolution = 300;
constexpr std::int32_t DefaultPageExtent = 5000;

TColor ToColor(const QColor& color) {
    return CanvasRgb(static_cast<std::uint8_t>(color.red()), static_cast<std::uint8_t>(color.green()),
                     static_cast<std::uint8_t>(color.blue()));
}

TPrinterOrientation OrientationOf(const TReport& report) {
    return report.PageOrientation == 1 ? TPrinterOrientation::Landscape : TPrinterOrientation::Portrait;
}

// Reads one value of the printer; an unreachable device gives `fallback`.
template <class F>
std::int32_t AskPrinter(F&& ask, std::int32_t fallback) {
    try {
        return ask();
    } catch (const EPrinterError&) {
        return fallback;
    }
}

}  // namespace

// The surface the page is painted on; its size is at least the zoomed page
// with its shadow, and at least the visible area, so the page stays
// centred.
class TPrintPreview::TPageWidget : public QWidget {
public:
    explicit TPageWidget(TPrintPreview& preview) : preview_(preview) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        Guarded([&] {
            QPainter painter(this);
            TQtCanvas canvas(&painter);
            preview_.PaintPage(canvas, width(), height());
        });
    }

private:
    TPrintPreview& preview_;
};

// One formatting, printing or saving job: the busy flag is set for its
// length, and a cancel from an earlier job is forgotten.
class TPrintPreview::TJobScope {
public:
    TJobScope(TPrintPreview& preview, bool& busy) : preview_(preview), busy_(busy) {
        preview.aborted_ = false;
        busy_ = true;
    }
    ~TJobScope() {
        busy_ = false;
        if (preview_.OnJobEnded) Guarded([&] { preview_.OnJobEnded(); });
    }
    TJobScope(const TJobScope&) = delete;
    TJobScope& operator=(const TJobScope&) = delete;

private:
    TPrintPreview& preview_;
    bool& busy_;
};

TPrintPreview::TPrintPreview(TPrinter* printer, QWidget* parent, TFontSource* fonts)
    : QScrollArea(parent), printer_(printer), fonts_(fonts) {
    if (!fonts_) {
        ownFonts_ = std::make_unique<TQtFontSource>();
        fonts_ = ownFonts_.get();
    }
    shadowColor_ = ToColor(palette().color(QPalette::Dark));
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    horizontalScrollBar()->setSingleStep(ScrollStep);
    verticalScrollBar()->setSingleStep(ScrollStep);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
    auto page = std::make_unique<TPageWidget>(*this);
    paintBox_ = page.get();
    setWidget(page.release());
    printerSignature_ = ReadPrinterSignature();
    UpdateScrollRange();
    updating_ = false;
}

TPrintPreview::~TPrintPreview() = default;

// --- reports and pages ------------------------------------------------------------

TReport& TPrintPreview::GetReport(int index) const { return *At(reports_, index); }

const TPageMetafile& TPrintPreview::GetPageMetafile(int index) const { return *At(pages_, index - 1); }

const TPageMetafile* TPrintPreview::CurrentMetafile() const {
    if (currentPage_ < 1 || currentPage_ > PageCount()) return nullptr;
    return pages_[static_cast<std::size_t>(currentPage_ - 1)].get();
}

TReport* TPrintPreview::ReportOfPage(std::int32_t page) const {
    for (const auto& report : reports_)
        if (report->FirstPage <= page && page <= report->LastPage) return report.get();
    return nullptr;
}

void TPrintPreview::RefuseWhileBusy() const {
    if (Busy()) throw EPreviewBusy();
}

void TPrintPreview::AddReport(std::unique_ptr<TReport> report) {
    if (!report) return;
    RefuseWhileBusy();
    reports_.push_back(std::move(report));
    TReport& added = *reports_.back();
    TJobScope job(*this, formatting_);
    // The current page stays within the pages however formatting ends.
    TGuardedOnExit clamp([this] { ClampCurrentPage(); });
    FormatReport(added);
}

void TPrintPreview::Clear() {
    RefuseWhileBusy();
    FreePages();
    reports_.clear();
    firstPageNumber_ = 1;
    ClampCurrentPage();
}

void TPrintPreview::FreePages() { pages_.clear(); }

// Formats one report and appends its pages. The report's page range is
// reset first, so a report whose formatting fails (or is cancelled before
// it starts) claims no pages.
void TPrintPreview::FormatReport(TReport& report) {
    report.FirstPage = 0;
    report.LastPage = 0;
    if (aborted_) return;
    TPrintFormatter formatter(report, printer_, leftMargin_, rightMargin_, topMargin_, bottomMargin_, fonts_);
    formatter.SetFirstPageNumber(CheckedAdd(static_cast<std::int32_t>(PageCount()), firstPageNumber_));
    formatter.OnNewPage = OnFormatNewPage;
    formatter.OnProgress = OnFormatProgress;
    RunFormatter(formatter);
    for (auto& page : formatter.ClearPages()) {
        pages_.push_back(std::move(page));
        if (report.FirstPage == 0) report.FirstPage = PageCount();
        report.LastPage = PageCount();
    }
    printerSignature_ = ReadPrinterSignature();
}

void TPrintPreview::ReformatAll() {
    RefuseWhileBusy();
    TJobScope job(*this, formatting_);
    // The current page stays within the pages however formatting ends.
    TGuardedOnExit clamp([this] { ClampCurrentPage(); });
    FreePages();
    // No report claims pages until it has been formatted again, so one that
    // fails (or is not reached) claims none.
    for (auto& report : reports_) report->FirstPage = report->LastPage = 0;
    for (auto& report : reports_) FormatReport(*report);
    printerSignature_ = ReadPrinterSignature();
}

void TPrintPreview::ClampCurrentPage() {
    if (pages_.empty())
        currentPage_ = 0;
    else if (currentPage_ <= 0)
        currentPage_ = 1;
    else if (currentPage_ > PageCount())
        currentPage_ = PageCount();
    UpdateScrollRange();
}

// --- layout -------------------------------------------------------------------------

void TPrintPreview::SetMargins(double left, double top, double right, double bottom) {
    RefuseWhileBusy();
    leftMargin_ = MakeMeasure(mkMillimetres, static_cast<float>(left));
    topMargin_ = MakeMeasure(mkMillimetres, static_cast<float>(top));
    rightMargin_ = MakeMeasure(mkMillimetres, static_cast<float>(right));
    bottomMargin_ = MakeMeasure(mkMillimetres, static_cast<float>(bottom));
    ReformatAll();
}

void TPrintPreview::SetFirstPageNumber(std::int32_t number) {
    if (number == firstPageNumber_) return;
    RefuseWhileBusy();
    firstPageNumber_ = number;
    ReformatAll();
}

TPrintPreview::TPrinterSignature TPrintPreview::ReadPrinterSignature() const {
    TPrinterSignature s;
    if (!printer_) return s;
    TPrinter& p = *printer_;
    s.Index = p.Index();
    s.ResolutionX = AskPrinter([&] { return p.ResolutionX(); }, 0);
    s.ResolutionY = AskPrinter([&] { return p.ResolutionY(); }, 0);
    s.PortraitWidth = AskPrinter([&] { return p.PageWidth(); }, 0);
    s.PortraitHeight = AskPrinter([&] { return p.PageHeight(); }, 0);
    if (p.Orientation() == TPrinterOrientation::Landscape) std::swap(s.PortraitWidth, s.PortraitHeight);
    return s;
}

void TPrintPreview::CheckPrinter() {
    if (!printer_) return;
    RefuseWhileBusy();
    if (ReadPrinterSignature() != printerSignature_) ReformatAll();
    printerSignature_ = ReadPrinterSignature();
}

// --- zoom and paging --------------------------------------------------------------

void TPrintPreview::SetZoom(std::int64_t percent) {
    zoom_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(percent, MinZoom, MaxZoom));
    UpdateScrollRange();
}

int TPrintPreview::AvailableExtent(bool vertical) const {
    const QSize client = maximumViewportSize();
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return (vertical ? client.height() : client.width()) - scrollBar - 2 * (shadowSize_ + 1);
}

void TPrintPreview::ZoomToFit(bool vertical) {
    const int available = AvailableExtent(vertical);
    const std::int32_t extent = PageExtent(vertical);
    if (available <= 0 || extent <= 0) return;
    SetZoom(static_cast<std::int64_t>(std::trunc(available * 100.0 * ScaleFactor(vertical) / extent)));
}

void TPrintPreview::ZoomPageWidth() { ZoomToFit(false); }

void TPrintPreview::ZoomPageHeight() { ZoomToFit(true); }

void TPrintPreview::ZoomWholePage() {
    const QSize client = maximumViewportSize();
    const std::int32_t w = ZoomedExtent(false);
    const std::int32_t h = ZoomedExtent(true);
    if (w <= 0 || h <= 0 || client.width() <= 0 || client.height() <= 0) return;
    if (static_cast<double>(w) / h > static_cast<double>(client.width()) / client.height())
        ZoomPageWidth();
    else
        ZoomPageHeight();
}

void TPrintPreview::GoToPage(std::int64_t page) {
    const std::int64_t clamped = pages_.empty() ? 0 : std::clamp<std::int64_t>(page, 1, PageCount());
    if (clamped == currentPage_) return;
    currentPage_ = static_cast<std::int32_t>(clamped);
    UpdateScrollRange();
}

void TPrintPreview::Scroll(QScrollBar& bar, int delta) {
    // A scroll bar without range is hidden: nothing to scroll.
    if (bar.maximum() <= bar.minimum()) return;
    bar.setValue(std::clamp(bar.value() + delta, bar.minimum(), bar.maximum()));
}

void TPrintPreview::ScrollDown() { Scroll(*verticalScrollBar(), ScrollStep); }
void TPrintPreview::ScrollUp() { Scroll(*verticalScrollBar(), -ScrollStep); }
void TPrintPreview::ScrollRight() { Scroll(*horizontalScrollBar(), ScrollStep); }
void TPrintPreview::ScrollLeft() { Scroll(*horizontalScrollBar(), -ScrollStep); }

// --- page geometry ----------------------------------------------------------------

std::int32_t TPrintPreview::PageExtent(bool vertical) const {
    if (const TPageMetafile* page = CurrentMetafile()) return vertical ? page->Height() : page->Width();
    if (printer_) {
        TPrinter& p = *printer_;
        return AskPrinter([&] { return vertical ? p.PageHeight() : p.PageWidth(); }, DefaultPageExtent);
    }
    return DefaultPageExtent;
}

double TPrintPreview::ScreenResolution(bool vertical) const {
    const int dpi = vertical ? paintBox_->logicalDpiY() : paintBox_->logicalDpiX();
    return dpi > 0 ? dpi : 96.0;
}

double TPrintPreview::ScaleFactor(bool vertical) const {
    if (updating_) return 1.0;
    std::int32_t resolution = DefaultResolution;
    if (const TPageMetafile* page = CurrentMetafile()) {
        resolution = page->Resolution();
    } else if (printer_) {
        TPrinter& p = *printer_;
        resolution = AskPrinter([&] { return vertical ? p.ResolutionY() : p.ResolutionX(); }, DefaultResolution);
        if (resolution < 1) resolution = DefaultResolution;
    }
    return resolution / ScreenResolution(vertical);
}

std::int32_t TPrintPreview::ZoomedExtent(bool vertical) const {
    return RoundToInt32(PageExtent(vertical) * static_cast<double>(zoom_) / ScaleFactor(vertical) / 100.0);
}

TCanvasRect TPrintPreview::PageRect(int areaWidth, int areaHeight) const {
    const std::int32_t w = ZoomedExtent(false);
    const std::int32_t h = ZoomedExtent(true);
    const std::int32_t left = (areaWidth - w) / 2;
    const std::int32_t top = (areaHeight - h) / 2;
    return {left, top, left + w, top + h};
}

void TPrintPreview::PaintPage(TCanvas& canvas, int areaWidth, int areaHeight) const {
    TCanvasDrawSurface surface(canvas);
    GradientFill(surface, TRect{0, 0, areaWidth, areaHeight}, 0x000000, true, ToColor(palette().color(QPalette::Window)));

    const TCanvasRect page = PageRect(areaWidth, areaHeight);
    canvas.Pen().Style = TCanvasPenStyle::Solid;
    canvas.Pen().Width = 1;
    if (const std::int32_t s = shadowSize_; s > 0) {
        canvas.Brush() = {shadowColor_, TCanvasBrushStyle::Solid};
        canvas.Pen().Color = shadowColor_;
        canvas.Rectangle({page.Right, page.Top + s, page.Right + s, page.Bottom + s});
        canvas.Rectangle({page.Left + s, page.Bottom, page.Right, page.Bottom + s});
    }
    canvas.Brush() = {0xFFFFFF, TCanvasBrushStyle::Solid};
    canvas.Pen().Color = 0x000000;
    canvas.Rectangle(page);
    if (const TPageMetafile* metafile = CurrentMetafile()) canvas.StretchDraw(page, *metafile);
}

void TPrintPreview::SetShadowColor(TColor color) {
    shadowColor_ = color;
    paintBox_->update();
}

void TPrintPreview::SetShadowSize(std::int32_t size) {
    shadowSize_ = std::max<std::int32_t>(size, 0);
    UpdateScrollRange();
}

void TPrintPreview::UpdateScrollRange() {
    const int rangeW = ZoomedExtent(false) + 2 * shadowSize_ + 2;
    const int rangeH = ZoomedExtent(true) + 2 * shadowSize_ + 2;
    // The paint box covers the visible area and the whole zoomed page: a
    // dimension that overflows takes a scroll bar off the other.
    const QSize full = maximumViewportSize();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    QSize area = full;
    if (rangeW > area.width()) area.rheight() -= bar;
    if (rangeH > area.height()) area.rwidth() -= bar;
    if (rangeW > area.width() && area.height() == full.height()) area.rheight() -= bar;
    paintBox_->resize(std::max(area.width(), rangeW), std::max(area.height(), rangeH));
    if (!updating_) {
        horizontalScrollBar()->setValue(0);
        verticalScrollBar()->setValue(0);
    }
    paintBox_->update();
}

void TPrintPreview::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    const int h = horizontalScrollBar()->value();
    const int v = verticalScrollBar()->value();
    UpdateScrollRange();
    horizontalScrollBar()->setValue(h);
    verticalScrollBar()->setValue(v);
}

// --- printing -------------------------------------------------------------------------

std::int32_t TPrintPreview::GetPrintFrom() const { return std::max<std::int32_t>(printFrom_, 1); }

std::int32_t TPrintPreview::GetPrintTo() const {
    if (pages_.empty()) return 0;
    if (printTo_ < 0 || printTo_ > PageCount()) return PageCount();
    return std::max(printFrom_, printTo_);
}

void TPrintPreview::SetPrintFrom(std::int32_t page) {
    printFrom_ = page;
    if (0 < printTo_ && printTo_ < page) printTo_ = page;
}

void TPrintPreview::SetPrintTo(std::int32_t page) {
    printTo_ = page;
    if (0 < page && page < printFrom_) printFrom_ = page;
}

std::int32_t TPrintPreview::PrintPageCount() const { return GetPrintTo() - GetPrintFrom() + 1; }

void TPrintPreview::Print(std::int32_t from, std::int32_t to) {
    if (!printer_) return;
    RefuseWhileBusy();
    aborted_ = false;
    const std::int32_t savedFrom = printFrom_;
    const std::int32_t savedTo = printTo_;
    try {
        SetPrintFrom(from);
        SetPrintTo(to);
        PrintPages();
    } catch (...) {
        printFrom_ = savedFrom;
        printTo_ = savedTo;
        throw;
    }
    printFrom_ = savedFrom;
    printTo_ = savedTo;
}

void TPrintPreview::PrintPages() {
    if (!printer_) return;
    RefuseWhileBusy();
    TPrinter& printer = *printer_;
    if (printer.Printing()) printer.EndDoc();
    const std::int64_t total64 = std::int64_t{PrintPageCount()} * copies_;
    if (total64 < 1) return;
    const int total = CheckedCast<int>(total64);

    TJobScope job(*this, printing_);
    // The preview makes the copies itself; the printer must not multiply
    // them.
    const std::int32_t printerCopies = printer.Copies();
    printer.SetCopies(1);
    int printed = 0;
    try {
        const std::int32_t from = GetPrintFrom();
        const std::int32_t to = GetPrintTo();
        if (collate_) {
            for (std::int32_t copy = 0; copy < copies_; ++copy)
                for (std::int32_t page = from; page <= to; ++page) PrintPage(page, printed, total);
        } else {
            for (std::int32_t page = from; page <= to; ++page)
                for (std::int32_t copy = 0; copy < copies_; ++copy) PrintPage(page, printed, total);
        }
        if (printer.Printing()) throw EPreviewError("TPrintPreview: Print job not terminated");
    } catch (...) {
        aborted_ = true;
        if (printer.Printing()) printer.Abort();
        printer.SetCopies(printerCopies);
        throw;
    }
    printer.SetCopies(printerCopies);
}

void TPrintPreview::PrintPage(std::int32_t page, int& printed, int total) {
    if (aborted_) return;
    TPrinter& printer = *printer_;
    const TReport* report = ReportOfPage(page);
    if (!report) throw EPreviewError(Format("TPrintPreview: ReportOfPage(%s) failed", std::to_string(page)));
    // One document covers consecutive pages of one orientation, titled
    // after the first report in it.
    const TPrinterOrientation orientation = OrientationOf(*report);
    if (printer.Printing() && printer.Orientation() == orientation) {
        printer.NewPage();
    } else {
        if (printer.Printing()) printer.EndDoc();
        printer.SetTitle(report->GetTitle());
        printer.SetOrientation(orientation);
        printer.BeginDoc();
    }
    ++printed;
    if (OnPrintPage) OnPrintPage(printed, total, page, PageCount());
    if (!aborted_) DrawOnPrinter(GetPageMetafile(page));
    if (OnPagePrinted) OnPagePrinted(printed, total, page, PageCount());
    if (aborted_)
        printer.Abort();
    else if (printed >= total)
        printer.EndDoc();
}

// Pages are recorded at the printer's resolution and drawn unscaled; a
// page recorded at another resolution (the device could not be asked when
// it was laid out) is scaled to the printer's.
void TPrintPreview::DrawOnPrinter(const TPageMetafile& page) {
    TPrinter& printer = *printer_;
    const std::int32_t rx = AskPrinter([&] { return printer.ResolutionX(); }, page.Resolution());
    const std::int32_t ry = AskPrinter([&] { return printer.ResolutionY(); }, page.Resolution());
    TCanvas& canvas = printer.Canvas();
    if (rx == page.Resolution() && ry == page.Resolution()) {
        page.Play(canvas);
        return;
    }
    const double sx = static_cast<double>(rx) / page.Resolution();
    const double sy = static_cast<double>(ry) / page.Resolution();
    canvas.StretchDraw({0, 0, RoundToInt32(page.Width() * sx), RoundToInt32(page.Height() * sy)}, page);
}

// --- text --------------------------------------------------------------------------------

bool TPrintPreview::SaveAsText(const std::string& fileName, std::int32_t width, std::int32_t height, int mode) {
    RefuseWhileBusy();
    TJobScope job(*this, formatting_);
    TSafeFileWriter file(fileName);
    for (std::size_t i = 0; i < reports_.size(); ++i) {
        TReport& report = *reports_[i];
        std::unique_ptr<TTextFormatter> formatter;
        if (mode == tmData)
            formatter = std::make_unique<TDataFormatter>(report, TPoint{0, 0}, TPoint{0, height});
        else
            formatter = std::make_unique<TTextFormatter>(report, TPoint{0, 0}, TPoint{width, height});
        formatter->OnNewPage = OnFormatNewPage;
        formatter->OnProgress = OnFormatProgress;
        RunFormatter(*formatter);
        // A cancelled save writes nothing: the file stays as it was.
        if (aborted_) return false;
        formatter->WriteToFile(file);
        if (height > 0 && i + 1 < reports_.size()) file.Write("\f");
    }
    file.Commit();
    return true;
}

// --- jobs ----------------------------------------------------------------------------------

// The formatter is the one Cancel aborts while it runs.
void TPrintPreview::RunFormatter(TFormatter& formatter) {
    activeFormatter_ = &formatter;
    TGuardedOnExit forget([this] { activeFormatter_ = nullptr; });
    formatter.Run();
}

void TPrintPreview::Cancel() {
    aborted_ = true;
    if (activeFormatter_) activeFormatter_->Abort();
}

}  // namespace mivo
