#include "reports/PrintFormatter.h"

#include <functional>

#include "model/RunTime.h"
#include "reports/Graphics.h"
#include "reports/Measures.h"
#include "reports/Report.h"
#include "reports/Utf8Text.h"

namespace mivo {

namespace {

// Measures on a canvas: the canvas's font is set for the measurement and
// put back afterwards. Page canvases of a printer set-up measure this way
// on the printer's canvas.
class TCanvasFontSource : public TFontSource {
public:
    explicit TCanvasFontSource(TCanvas& canvas) : canvas_(canvas) {}

    std::int32_t TextWidth(const TCanvasFont& font, std::string_view text) override {
        TCanvasFont saved = canvas_.Font();
        canvas_.Font() = font;
        std::int32_t w = canvas_.TextWidth(text);
        canvas_.Font() = saved;
        return w;
    }
    std::int32_t TextHeight(const TCanvasFont& font, std::string_view text) override {
        TCanvasFont saved = canvas_.Font();
        canvas_.Font() = font;
        std::int32_t h = canvas_.TextHeight(text);
        canvas_.Font() = saved;
        return h;
    }

private:
    TCanvas& canvas_;
};

// The canvas font takes every attribute of the engine's font; the size in
// points becomes a height at the canvas font's pixels per inch. An empty
// name keeps the canvas's family.
void CopyFont(TCanvas& canvas, const TFont& font) {
    TCanvasFont& f = canvas.Font();
    if (!font.Name.empty()) f.Name = font.Name;
    f.SetSize(font.Size);
    f.Style = font.Style;
    f.Color = font.Color;
}

void CopyPen(TCanvas& canvas, const TPen& pen) {
    TCanvasPen& p = canvas.Pen();
    p.Color = pen.Color;
    p.Width = pen.Width;
    p.Style = pen.Style <= static_cast<std::uint8_t>(TCanvasPenStyle::Clear) ? static_cast<TCanvasPenStyle>(pen.Style)
                                                                              : TCanvasPenStyle::Solid;
}

// The font's pixels per inch := resolution, keeping its size in points: the
// size is read first (at the pixels per inch it was set for), nudged (down
// from 144 points, else up) and set back, so the height is recomputed for
// the new resolution.
void ApplyResolutionTo(TCanvas& canvas, std::int32_t resolution) {
    TCanvasFont& f = canvas.Font();
    const std::int32_t size = f.Size();
    f.PixelsPerInch = resolution;
    f.SetSize(size >= 144 ? size - 1 : size + 1);
    f.SetSize(size);
}

// A measure in device units at the resolution; lines, digits and ems are
// measured in the current font on demand.
std::int32_t ConvertMeasure(TMeasure m, std::int32_t resolution, const std::function<std::int32_t()>& lineHeight,
                            const std::function<std::int32_t(const std::string&)>& width) {
    const double value = m.Value;
    switch (m.Kind) {
        case mkNatural: return -1;
        case mkLines: return RoundToInt32(lineHeight() * value);
        case mkMillimetres: return RoundToInt32(resolution * value / 25.4);
        case mkInches: return RoundToInt32(resolution * value);
        case mkPoints: return RoundToInt32(resolution * value / 72.27);
        case mkDigits: return RoundToInt32(width("9") * value);
        case mkEms: return RoundToInt32(width("M") * value);
        default: return RoundToInt32(value);
    }
}

// Engine rectangles include their right and bottom edges; canvas
// rectangles end just before them.
TCanvasRect ToCanvasRect(const TRect& r) {
    return {r.Left, r.Top, CheckedAdd(r.Right, std::int32_t{1}), CheckedAdd(r.Bottom, std::int32_t{1})};
}

}  // namespace

// --- the engine's drawing surface over a canvas ----------------------------

void TCanvasDrawSurface::SetBrushColor(TColor color) {
    canvas_.Brush().Color = color;
    canvas_.Brush().Style = TCanvasBrushStyle::Solid;
}

void TCanvasDrawSurface::FillRect(const TRect& rect) { canvas_.FillRect({rect.Left, rect.Top, rect.Right, rect.Bottom}); }

// --- the device ----------------------------------------------------------------

namespace detail {

TPrintDevice::TPrintDevice(TReport& report, TPrinter* printer, TFontSource* fonts, TMeasure left, TMeasure right,
                           TMeasure top, TMeasure bottom)
    : printer_(printer) {
    if (printer) {
        const auto orientation =
            report.PageOrientation == 1 ? TPrinterOrientation::Landscape : TPrinterOrientation::Portrait;
        if (printer->Orientation() != orientation) printer->SetOrientation(orientation);
        try {
            resolution_ = printer->ResolutionX();
        } catch (const EPrinterError&) {
            resolution_ = 300;
        }
        if (resolution_ < 1) resolution_ = 300;
        baseCanvas_ = &printer->Canvas();
        printerFonts_ = std::make_unique<TCanvasFontSource>(printer->Canvas());
        pageFonts_ = printerFonts_.get();
    } else {
        if (!fonts) {
            ownFonts_ = std::make_unique<TFixedFontSource>();
            fonts = ownFonts_.get();
        }
        pageFonts_ = fonts;
        baseMetafile_ =
            std::make_unique<TPageMetafile>(DevicePageWidth(report), DevicePageHeight(report), resolution_);
        ownBaseCanvas_ = std::make_unique<TMetafileCanvas>(*baseMetafile_, *fonts);
        baseCanvas_ = ownBaseCanvas_.get();
    }

    // The margins in the report's font, on the base canvas.
    TCanvas& canvas = *baseCanvas_;
    if (const TFont* font = report.GetEffectiveFont()) CopyFont(canvas, *font);
    ApplyResolutionTo(canvas, resolution_);
    auto lineHeight = [&] { return canvas.TextHeight("Wg"); };
    auto width = [&](const std::string& text) { return canvas.TextWidth(text); };
    auto device = [&](TMeasure m) { return ConvertMeasure(m, resolution_, lineHeight, width); };
    areaOrigin_ = {device(left), device(top)};
    const std::int32_t w = CheckedSub(CheckedSub(DevicePageWidth(report), device(right)), areaOrigin_.X);
    const std::int32_t h = CheckedSub(CheckedSub(DevicePageHeight(report), device(bottom)), areaOrigin_.Y);
    areaSize_ = {w < 0 ? 0 : w, h < 0 ? 0 : h};
}

TPrintDevice::~TPrintDevice() = default;

std::int32_t TPrintDevice::DevicePageWidth(const TReport& report) {
    if (printer_) return printer_->PageWidth();
    return RoundToInt32(resolution_ * (report.PageOrientation == 1 ? 297.0 : 210.0) / 25.4);
}

std::int32_t TPrintDevice::DevicePageHeight(const TReport& report) {
    if (printer_) return printer_->PageHeight();
    return RoundToInt32(resolution_ * (report.PageOrientation == 1 ? 210.0 : 297.0) / 25.4);
}

}  // namespace detail

// --- the formatter ---------------------------------------------------------------

TPrintFormatter::TPrintFormatter(TReport& report, TPrinter* printer, TMeasure left, TMeasure right, TMeasure top,
                                 TMeasure bottom, TFontSource* fonts)
    : TPrintDevice(report, printer, fonts, left, right, top, bottom),
      TFormatter(report, areaOrigin_, areaSize_) {
    SetCanvas(*baseCanvas_);
}

TPrintFormatter::~TPrintFormatter() = default;

std::int32_t TPrintFormatter::PageWidth() { return DevicePageWidth(Report()); }

std::int32_t TPrintFormatter::PageHeight() { return DevicePageHeight(Report()); }

TPageMetafile& TPrintFormatter::GetPageMetafile(int index) const {
    CheckIndex(index - 1, pageList_.size());
    return *pageList_[static_cast<std::size_t>(index - 1)];
}

std::vector<std::unique_ptr<TPageMetafile>> TPrintFormatter::ClearPages() {
    std::vector<std::unique_ptr<TPageMetafile>> pages;
    pages.swap(pageList_);
    return pages;
}

void TPrintFormatter::SetCanvas(TCanvas& canvas) {
    canvas_ = &canvas;
    canvas.Brush().Style = TCanvasBrushStyle::Clear;
    ApplyFont(Report().GetEffectiveFont());
    ApplyPen(Report().GetEffectivePen());
    MarkFontNotApplied();
    MarkPenNotApplied();
    ApplyResolution();
}

void TPrintFormatter::ApplyResolution() { ApplyResolutionTo(*canvas_, resolution_); }

void TPrintFormatter::ApplyFont(const TFont* font) {
    if (font) CopyFont(*canvas_, *font);
}

// Without a pen anywhere up the report tree, the default pen (a solid black
// line of one unit), so that a frame's pen style does not linger.
void TPrintFormatter::ApplyPen(const TPen* pen) { CopyPen(*canvas_, pen ? *pen : TPen{}); }

// --- paginator hooks ---------------------------------------------------------------

void TPrintFormatter::BeginFormatting() {
    TFormatter::BeginFormatting();
    pageList_.clear();
}

void TPrintFormatter::NewPage() {
    TFormatter::NewPage();
    pageCanvas_.reset();
    pageMetafile_ = std::make_unique<TPageMetafile>(PageWidth(), PageHeight(), resolution_);
    pageCanvas_ = std::make_unique<TMetafileCanvas>(*pageMetafile_, *pageFonts_);
    SetCanvas(*pageCanvas_);
}

void TPrintFormatter::EndPage() {
    TFormatter::EndPage();
    // Nothing draws on the page canvas from here on.
    SetCanvas(*baseCanvas_);
    pageCanvas_.reset();
    std::unique_ptr<TPageMetafile> page = std::move(pageMetafile_);
    if (!page || !PageWanted()) return;
    // The preview keeps every page of a report: none keeps spare room.
    page->ShrinkToFit();
    pageList_.push_back(std::move(page));
}

// --- primitives ------------------------------------------------------------------

std::int32_t TPrintFormatter::TextWidth(const std::string& text) {
    EnsureFontApplied();
    return canvas_->TextWidth(text);
}

std::int32_t TPrintFormatter::TextHeight(const std::string& text) {
    EnsureFontApplied();
    return canvas_->TextHeight(text);
}

std::int32_t TPrintFormatter::TreeWidth(const std::string& text) {
    const std::int32_t cells = CheckedMul(TextWidth(cellText_), GetCellsPerTreeLevel());
    return CheckedMul(cells, CheckedCast<std::int32_t>(CodePointCount(text)));
}

std::int32_t TPrintFormatter::MeasureToDevice(TMeasure measure) {
    auto lineHeight = [this] {
        EnsureLineHeight();
        return LineHeight();
    };
    auto width = [this](const std::string& text) { return TextWidth(text); };
    return ConvertMeasure(measure, resolution_, lineHeight, width);
}

void TPrintFormatter::DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    EnsurePenApplied();
    canvas_->MoveTo(x1, y1);
    canvas_->LineTo(x2, y2);
}

void TPrintFormatter::TextOut(const TRect& rect, const std::string& text) {
    EnsureFontApplied();
    canvas_->TextOut(rect.Left, rect.Top, text);
}

void TPrintFormatter::TextRect(const TRect& rect, const TRect& clip, const std::string& text) {
    EnsureFontApplied();
    canvas_->TextRect(ToCanvasRect(clip), rect.Left, rect.Top, text);
}

void TPrintFormatter::DrawGraphic(const TRect& rect, const TDrawCallback& callback, const TParam* param) {
    if (!callback) return;
    // Whatever the callback does to the canvas's font, pen and brush stays
    // with the graphic: the report's text after it is drawn as before.
    TCanvasStateSaver saver(*canvas_);
    TCanvasDrawSurface surface(*canvas_);
    callback(surface, rect, param);
}

void TPrintFormatter::DrawRules(const TRect& begin, const TRect& end, std::int32_t count) {
    if (count <= 0) return;
    const std::int32_t step1 = CheckedAdd(CheckedSub(begin.Bottom, begin.Top), std::int32_t{1}) / count;
    const std::int32_t step2 = CheckedAdd(CheckedSub(end.Bottom, end.Top), std::int32_t{1}) / count;
    std::int32_t y1 = begin.Top;
    std::int32_t y2 = end.Top;
    for (std::int32_t i = 0; i < count; ++i) {
        DrawLine(begin.Left, y1, end.Right, y2);
        y1 = CheckedAdd(y1, step1);
        y2 = CheckedAdd(y2, step2);
    }
}

void TPrintFormatter::DrawFrame(const TRect& rect, std::uint8_t penStyle, bool rounded, const std::string& caption) {
    EnsurePenApplied();
    const auto style = penStyle <= static_cast<std::uint8_t>(TCanvasPenStyle::Clear)
                           ? static_cast<TCanvasPenStyle>(penStyle)
                           : TCanvasPenStyle::Solid;
    if (canvas_->Pen().Style != style) {
        canvas_->Pen().Style = style;
        MarkPenNotApplied();
    }
    if (rounded) {
        const std::int32_t h = TextHeight("X") / 2;
        canvas_->RoundRect(ToCanvasRect(rect), h, h);
    } else {
        canvas_->Rectangle(ToCanvasRect(rect));
    }
    if (caption.empty()) return;
    canvas_->Font().SetSize(5);
    canvas_->Font().Style = fsItalic;
    MarkFontNotApplied();
    const std::int32_t middle = static_cast<std::int32_t>((std::int64_t{rect.Left} + rect.Right) / 2);
    canvas_->TextOut(CheckedSub(middle, canvas_->TextWidth(caption) / 2), rect.Top, caption);
}

void TPrintFormatter::DrawTree(const TRect& rect, const std::string& text) {
    if (text.empty()) return;
    const std::u32string keys = DecodeCodePoints(text);
    const std::int32_t n = CheckedCast<std::int32_t>(keys.size());
    const std::int32_t cellsPerLevel = GetCellsPerTreeLevel();
    const std::int32_t w = CheckedAdd(CheckedSub(rect.Right, rect.Left), std::int32_t{1}) / n;
    // A level of fewer than one cell would divide by zero; it is one cell.
    const std::int32_t subCell = w / (cellsPerLevel < 1 ? 1 : cellsPerLevel);
    const std::int32_t midY = static_cast<std::int32_t>((std::int64_t{rect.Top} + rect.Bottom) / 2);

    std::int32_t x = rect.Left;
    if (GetTreeStyle() == 1) {
        for (char32_t key : keys) {
            const std::int32_t midX = CheckedAdd(x, w / 2);
            const std::int32_t right = CheckedAdd(x, w);
            if (key == TreeKeyHorizontal) {
                DrawLine(x, midY, right, midY);
            } else if (key == TreeKeyVertical || key == TreeKeyTee || key == TreeKeyCorner) {
                DrawLine(midX, CheckedSub(rect.Top, std::int32_t{2}), midX, midY);
                if (key != TreeKeyCorner) DrawLine(midX, midY, midX, CheckedAdd(rect.Bottom, std::int32_t{2}));
                if (key != TreeKeyVertical) DrawLine(midX, midY, right, midY);
            }
            x = right;
        }
        return;
    }
    const int style = GetTreeStyle();
    const std::string horizontal = TreeGlyph(style, TreeKeyHorizontal);
    for (char32_t key : keys) {
        TextOut(TRect{x, rect.Top, x, rect.Bottom}, TreeGlyph(style, key));
        if (key == TreeKeyTee || key == TreeKeyCorner) {
            std::int32_t fx = x;
            for (std::int32_t k = 1; k < cellsPerLevel; ++k) {
                fx = CheckedAdd(fx, subCell);
                TextOut(TRect{fx, rect.Top, fx, rect.Bottom}, horizontal);
            }
        }
        x = CheckedAdd(x, w);
    }
}

}  // namespace mivo
