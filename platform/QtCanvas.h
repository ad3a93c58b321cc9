// A canvas over a QPainter: windows, printer pages and bitmaps.
//
// Text is measured with the same font source as recording canvases use
// (platform/QtFontSource.h), so a page laid out on one and drawn on the
// other agrees. Metafiles are stretched with the painter's transform, so
// text keeps the proportions it was laid out with at any scale; pens of one
// unit stay one pixel wide.
#pragma once

#include "platform/Canvas.h"
#include "platform/QtFontSource.h"

class QPainter;

namespace mivo {

class TQtCanvas : public TCanvas {
public:
    // Draws with `painter` (not owned; it must be active while drawing).
    // Without a painter the canvas measures only, and drawing raises
    // ECanvasError "Canvas does not allow drawing".
    explicit TQtCanvas(QPainter* painter = nullptr);

    void SetPainter(QPainter* painter) { painter_ = painter; }
    QPainter* Painter() const { return painter_; }

    std::int32_t TextWidth(std::string_view text) override;
    std::int32_t TextHeight(std::string_view text) override;
    void TextOut(std::int32_t x, std::int32_t y, std::string_view text) override;
    void TextRect(const TCanvasRect& clip, std::int32_t x, std::int32_t y, std::string_view text) override;
    void Rectangle(const TCanvasRect& rect) override;
    void RoundRect(const TCanvasRect& rect, std::int32_t cornerWidth, std::int32_t cornerHeight) override;
    void Ellipse(const TCanvasRect& rect) override;
    void Polygon(std::span<const TCanvasPoint> points) override;
    void FillRect(const TCanvasRect& rect) override;
    void StretchDraw(const TCanvasRect& dest, const TPageMetafile& metafile) override;

protected:
    void DrawLine(TCanvasPoint from, TCanvasPoint to) override;
    // Raised when drawing without a painter; a printer's canvas says why.
    [[noreturn]] virtual void NoPainter();

private:
    // The painter with the canvas's pen and brush applied.
    QPainter& ShapePainter();
    QPainter& ActivePainter();
    void DrawText(std::int32_t x, std::int32_t y, std::string_view text);

    QPainter* painter_;
    TQtFontSource fonts_;
};

}  // namespace mivo
