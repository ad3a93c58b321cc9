#include "platform/FakePrinter.h"

namespace mivo {

namespace {
const char* const NotPrinting = "Printer is not currently printing";
const char* const PrintingInProgress = "Printing in progress";
const char* const DeviceUnreachable = "Printer device not available";
}  // namespace

TFakePrinter::TFakePrinter(std::int32_t resolution, std::int32_t paperWidth, std::int32_t paperHeight,
                           TFontSource* fonts)
    : resolution_(resolution), paper_width_(paperWidth), paper_height_(paperHeight), fonts_(fonts) {
    canvas_.Font().PixelsPerInch = resolution;
    canvas_.Font().SetSize(10);
}

std::int32_t TFakePrinter::ResolutionX() {
    if (unreachable_) throw EPrinterError(DeviceUnreachable);
    return resolution_;
}

std::int32_t TFakePrinter::ResolutionY() { return ResolutionX(); }

std::int32_t TFakePrinter::PageWidth() {
    return orientation_ == TPrinterOrientation::Portrait ? paper_width_ : paper_height_;
}

std::int32_t TFakePrinter::PageHeight() {
    return orientation_ == TPrinterOrientation::Portrait ? paper_height_ : paper_width_;
}

void TFakePrinter::SetOrientation(TPrinterOrientation orientation) {
    if (Printing()) throw EPrinterError(PrintingInProgress);
    orientation_ = orientation;
}

void TFakePrinter::SetOutputFileName(const std::string& fileName) {
    if (Printing()) throw EPrinterError(PrintingInProgress);
    output_file_name_ = fileName;
}

void TFakePrinter::StartPage() {
    open_->Pages.push_back(std::make_unique<TPageMetafile>(PageWidth(), PageHeight(), resolution_));
    page_canvas_ = std::make_unique<TMetafileCanvas>(*open_->Pages.back(), Fonts());
}

void TFakePrinter::BeginDoc() {
    if (Printing()) throw EPrinterError(PrintingInProgress);
    log_.push_back("BeginDoc");
    aborted_ = false;
    open_.emplace();
    open_->Title = title_;
    open_->Orientation = orientation_;
    StartPage();
}

void TFakePrinter::NewPage() {
    if (!Printing()) throw EPrinterError(NotPrinting);
    log_.push_back("NewPage");
    StartPage();
}

void TFakePrinter::EndDoc() {
    if (!Printing()) throw EPrinterError(NotPrinting);
    log_.push_back("EndDoc");
    page_canvas_.reset();
    documents_.push_back(std::move(*open_));
    open_.reset();
}

void TFakePrinter::Abort() {
    if (!Printing()) return;
    log_.push_back("Abort");
    page_canvas_.reset();
    open_->Aborted = true;
    documents_.push_back(std::move(*open_));
    open_.reset();
    aborted_ = true;
}

std::int32_t TFakePrinter::PageNumber() const {
    return open_ ? static_cast<std::int32_t>(open_->Pages.size()) : 0;
}

// --- the page canvas -----------------------------------------------------

TMetafileCanvas& TFakePrinter::TPageCanvas::Target() {
    if (!printer_.page_canvas_) throw EPrinterError(NotPrinting);
    TMetafileCanvas& target = *printer_.page_canvas_;
    target.Font() = Font();
    target.Pen() = Pen();
    target.Brush() = Brush();
    target.MoveTo(PenPos().X, PenPos().Y);
    return target;
}

std::int32_t TFakePrinter::TPageCanvas::TextWidth(std::string_view text) {
    return printer_.Fonts().TextWidth(Font(), text);
}
std::int32_t TFakePrinter::TPageCanvas::TextHeight(std::string_view text) {
    return printer_.Fonts().TextHeight(Font(), text);
}
void TFakePrinter::TPageCanvas::TextOut(std::int32_t x, std::int32_t y, std::string_view text) {
    Target().TextOut(x, y, text);
}
void TFakePrinter::TPageCanvas::TextRect(const TCanvasRect& clip, std::int32_t x, std::int32_t y,
                                         std::string_view text) {
    Target().TextRect(clip, x, y, text);
}
void TFakePrinter::TPageCanvas::Rectangle(const TCanvasRect& rect) { Target().Rectangle(rect); }
void TFakePrinter::TPageCanvas::RoundRect(const TCanvasRect& rect, std::int32_t w, std::int32_t h) {
    Target().RoundRect(rect, w, h);
}
void TFakePrinter::TPageCanvas::Ellipse(const TCanvasRect& rect) { Target().Ellipse(rect); }
void TFakePrinter::TPageCanvas::Polygon(std::span<const TCanvasPoint> points) { Target().Polygon(points); }
void TFakePrinter::TPageCanvas::FillRect(const TCanvasRect& rect) { Target().FillRect(rect); }
void TFakePrinter::TPageCanvas::StretchDraw(const TCanvasRect& dest, const TPageMetafile& metafile) {
    Target().StretchDraw(dest, metafile);
}
void TFakePrinter::TPageCanvas::DrawLine(TCanvasPoint from, TCanvasPoint to) {
    TMetafileCanvas& target = Target();
    target.MoveTo(from.X, from.Y);
    target.LineTo(to.X, to.Y);
}

}  // namespace mivo
