// The recording canvas: everything drawn on it is appended to a page
// metafile, and text is measured through a font source.
//
// Before each drawing operation the canvas records the font, pen and brush
// that differ from the ones recorded last, so a metafile holds exactly the
// state its operations need, in order.
#pragma once

#include <optional>

#include "platform/Canvas.h"
#include "platform/FontSource.h"
#include "platform/PageMetafile.h"

namespace mivo {

class TMetafileCanvas : public TCanvas {
public:
    // Records into `target` and measures with `fonts`; neither is owned and
    // both must outlive the canvas. The canvas font's pixels per inch start
    // at the metafile's resolution (and its size at 10 points).
    TMetafileCanvas(TPageMetafile& target, TFontSource& fonts);

    TPageMetafile& Metafile() { return target_; }

    std::int32_t TextWidth(std::string_view text) override;
    std::int32_t TextHeight(std::string_view text) override;
    void TextOut(std::int32_t x, std::int32_t y, std::string_view text) override;
    void TextRect(const TCanvasRect& clip, std::int32_t x, std::int32_t y, std::string_view text) override;
    void Rectangle(const TCanvasRect& rect) override;
    void RoundRect(const TCanvasRect& rect, std::int32_t cornerWidth, std::int32_t cornerHeight) override;
    void Ellipse(const TCanvasRect& rect) override;
    void Polygon(std::span<const TCanvasPoint> points) override;
    void FillRect(const TCanvasRect& rect) override;
    // Records the metafile (a copy of it) as one picture record.
    void StretchDraw(const TCanvasRect& dest, const TPageMetafile& metafile) override;

protected:
    void DrawLine(TCanvasPoint from, TCanvasPoint to) override;

private:
    // Records the state that differs from what was recorded last.
    void SyncState();

    TPageMetafile& target_;
    TFontSource& fonts_;
    std::optional<TCanvasFont> recorded_font_;
    std::optional<TCanvasPen> recorded_pen_;
    std::optional<TCanvasBrush> recorded_brush_;
};

}  // namespace mivo
