// The printer and page-record formatter: draws a report on a canvas in
// device units and records every page it produces as a page metafile of
// its own, so that the print preview can show, print and save the pages
// once formatting has ended. It never writes to the printer itself.
//
// Two set-ups:
//  - with a printer: text is measured on the printer's canvas, at the
//    printer's resolution (300 dots per inch when the device cannot be
//    reached), and pages have the printer's page size;
//  - without a printer: text is measured on a scratch page at 300 dots per
//    inch through a font source (the real fonts in the desktop program,
//    fixed metrics where no font source is given), and pages are A4 sheets
//    in the report's orientation.
//
// The paginator of TFormatter runs unchanged; this class supplies its
// primitives over the platform canvas (platform/Canvas.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Canvas.h"
#include "platform/FontSource.h"
#include "platform/MetafileCanvas.h"
#include "platform/PageMetafile.h"
#include "platform/Printer.h"
#include "reports/Formatter.h"

namespace mivo {

// The engine's drawing surface over a platform canvas, as owner-drawn
// elements receive it; Canvas() gives them the whole canvas.
class TCanvasDrawSurface : public TDrawSurface {
public:
    explicit TCanvasDrawSurface(TCanvas& canvas) : canvas_(canvas) {}
    TCanvas& Canvas() { return canvas_; }
    // A colour makes a clear brush solid, as on every drawing surface.
    void SetBrushColor(TColor color) override;
    void FillRect(const TRect& rect) override;

private:
    TCanvas& canvas_;
};

namespace detail {

// The device a print formatter measures and draws on, with the page area
// for its margins; set up before the paginator, which takes the area.
struct TPrintDevice {
    TPrintDevice(TReport& report, TPrinter* printer, TFontSource* fonts, TMeasure left, TMeasure right,
                 TMeasure top, TMeasure bottom);
    ~TPrintDevice();
    TPrintDevice(const TPrintDevice&) = delete;
    TPrintDevice& operator=(const TPrintDevice&) = delete;

    // The whole page in device units for the report's orientation.
    std::int32_t DevicePageWidth(const TReport& report);
    std::int32_t DevicePageHeight(const TReport& report);

    TPrinter* printer_;
    std::int32_t resolution_ = 300;
    std::unique_ptr<TFontSource> ownFonts_;        // fixed metrics, when nothing else measures
    std::unique_ptr<TFontSource> printerFonts_;    // measures on the printer's canvas
    TFontSource* pageFonts_ = nullptr;             // what page canvases measure with
    std::unique_ptr<TPageMetafile> baseMetafile_;  // without a printer
    std::unique_ptr<TMetafileCanvas> ownBaseCanvas_;
    TCanvas* baseCanvas_ = nullptr;
    TPoint areaOrigin_;
    TPoint areaSize_;
};

}  // namespace detail

class TPrintFormatter : private detail::TPrintDevice, public TFormatter {
public:
    // The margins (left, right, top, bottom) are converted as any measure
    // is, in the report's font. `printer` (not owned) may be null;
    // `fonts` (not owned) measures without a printer.
    TPrintFormatter(TReport& report, TPrinter* printer, TMeasure left, TMeasure right, TMeasure top, TMeasure bottom,
                    TFontSource* fonts = nullptr);
    ~TPrintFormatter() override;

    // The whole page in device units: the printer's page, or an A4 sheet
    // at the formatter's resolution in the report's orientation.
    std::int32_t PageWidth();
    std::int32_t PageHeight();

    TPrinter* Printer() const { return printer_; }
    std::int32_t Resolution() const { return resolution_; }
    // The canvas the primitives draw on at this moment, and the one outside
    // pages.
    TCanvas& Canvas() { return *canvas_; }
    TCanvas& BaseCanvas() { return *baseCanvas_; }
    // The text whose width sizes a tree cell.
    const std::string& CellText() const { return cellText_; }

    // The pages produced, in order: PageCount of them, GetPageMetafile
    // counted from 1 ("Range check error" outside 1..PageCount).
    int PageCount() const { return static_cast<int>(pageList_.size()); }
    TPageMetafile& GetPageMetafile(int index) const;
    // Hands the pages over to the caller; the formatter keeps none.
    virtual std::vector<std::unique_ptr<TPageMetafile>> ClearPages();

    // Makes the canvas the current one: clear brush, the report's font and
    // pen, font and pen marked not applied, the resolution applied.
    void SetCanvas(TCanvas& canvas);
    // The canvas font's pixels per inch := Resolution; its size is nudged
    // and set back so its height follows (the size stays the same).
    void ApplyResolution();

    // --- paginator hooks ---
    void ApplyFont(const TFont* font) override;
    void ApplyPen(const TPen* pen) override;
    void BeginFormatting() override;
    void NewPage() override;
    void EndPage() override;

    // --- primitives ---
    std::int32_t TextWidth(const std::string& text) override;
    std::int32_t TextHeight(const std::string& text) override;
    std::int32_t TreeWidth(const std::string& text) override;
    std::int32_t MeasureToDevice(TMeasure measure) override;
    void TextOut(const TRect& rect, const std::string& text) override;
    void TextRect(const TRect& rect, const TRect& clip, const std::string& text) override;
    void DrawTree(const TRect& rect, const std::string& text) override;
    void DrawRules(const TRect& begin, const TRect& end, std::int32_t count) override;
    void DrawFrame(const TRect& rect, std::uint8_t penStyle, bool rounded, const std::string& caption) override;
    void DrawGraphic(const TRect& rect, const TDrawCallback& callback, const TParam* param) override;
    virtual void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);

private:
    std::vector<std::unique_ptr<TPageMetafile>> pageList_;
    TCanvas* canvas_ = nullptr;
    std::unique_ptr<TPageMetafile> pageMetafile_;
    std::unique_ptr<TMetafileCanvas> pageCanvas_;
    std::string cellText_ = "X";
};

}  // namespace mivo
