#include "platform/MetafileCanvas.h"

#include <memory>

namespace mivo {

TMetafileCanvas::TMetafileCanvas(TPageMetafile& target, TFontSource& fonts) : target_(target), fonts_(fonts) {
    Font().PixelsPerInch = target.Resolution();
    Font().SetSize(10);
}

std::int32_t TMetafileCanvas::TextWidth(std::string_view text) { return fonts_.TextWidth(Font(), text); }

std::int32_t TMetafileCanvas::TextHeight(std::string_view text) { return fonts_.TextHeight(Font(), text); }

void TMetafileCanvas::SyncState() {
    if (recorded_font_ != Font()) {
        target_.Append(TMetaSetFont{Font()});
        recorded_font_ = Font();
    }
    if (recorded_pen_ != Pen()) {
        target_.Append(TMetaSetPen{Pen()});
        recorded_pen_ = Pen();
    }
    if (recorded_brush_ != Brush()) {
        target_.Append(TMetaSetBrush{Brush()});
        recorded_brush_ = Brush();
    }
}

void TMetafileCanvas::TextOut(std::int32_t x, std::int32_t y, std::string_view text) {
    SyncState();
    target_.Append(TMetaText{{x, y}, std::string(text), false, {}});
}

void TMetafileCanvas::TextRect(const TCanvasRect& clip, std::int32_t x, std::int32_t y, std::string_view text) {
    SyncState();
    target_.Append(TMetaText{{x, y}, std::string(text), true, clip});
}

void TMetafileCanvas::DrawLine(TCanvasPoint from, TCanvasPoint to) {
    SyncState();
    target_.Append(TMetaLine{from, to});
}

void TMetafileCanvas::Rectangle(const TCanvasRect& rect) {
    SyncState();
    target_.Append(TMetaRectangle{rect});
}

void TMetafileCanvas::RoundRect(const TCanvasRect& rect, std::int32_t cornerWidth, std::int32_t cornerHeight) {
    SyncState();
    target_.Append(TMetaRoundRect{rect, cornerWidth, cornerHeight});
}

void TMetafileCanvas::Ellipse(const TCanvasRect& rect) {
    SyncState();
    target_.Append(TMetaEllipse{rect});
}

void TMetafileCanvas::Polygon(std::span<const TCanvasPoint> points) {
    if (points.size() < 2) return;
    SyncState();
    target_.Append(TMetaPolygon{{points.begin(), points.end()}});
}

void TMetafileCanvas::FillRect(const TCanvasRect& rect) {
    SyncState();
    target_.Append(TMetaFillRect{rect});
}

void TMetafileCanvas::StretchDraw(const TCanvasRect& dest, const TPageMetafile& metafile) {
    SyncState();
    target_.Append(TMetaPicture{dest, std::make_shared<const TPageMetafile>(metafile)});
}

}  // namespace mivo
