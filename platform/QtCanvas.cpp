#include "platform/QtCanvas.h"

#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QRect>

#include "platform/PageMetafile.h"
#include "platform/QtColour.h"

namespace mivo {

namespace {

// Qt rectangles hold a width where canvas rectangles hold an exclusive
// right edge; outlines cover one unit less, as on every drawing surface.
QRect FillArea(const TCanvasRect& r) {
    return QRect(r.Left, r.Top, static_cast<int>(r.Width()), static_cast<int>(r.Height()));
}
QRect OutlineArea(const TCanvasRect& r) {
    return QRect(r.Left, r.Top, static_cast<int>(r.Width() - 1), static_cast<int>(r.Height() - 1));
}

QPen ToQPen(const TCanvasPen& pen) {
    if (pen.Style == TCanvasPenStyle::Clear) return QPen(Qt::NoPen);
    QPen q(ToQColor(pen.Color));
    if (pen.Width <= 1) {
        q.setWidth(1);
        q.setCosmetic(true);
        q.setCapStyle(Qt::FlatCap);
    } else {
        q.setWidth(pen.Width);
        q.setCapStyle(Qt::RoundCap);
        q.setJoinStyle(Qt::RoundJoin);
    }
    switch (pen.Style) {
        case TCanvasPenStyle::Dash: q.setStyle(Qt::DashLine); break;
        case TCanvasPenStyle::Dot: q.setStyle(Qt::DotLine); break;
        case TCanvasPenStyle::DashDot: q.setStyle(Qt::DashDotLine); break;
        case TCanvasPenStyle::DashDotDot: q.setStyle(Qt::DashDotDotLine); break;
        default: q.setStyle(Qt::SolidLine); break;
    }
    return q;
}

QBrush ToQBrush(const TCanvasBrush& brush) {
    if (brush.Style == TCanvasBrushStyle::Clear) return QBrush(Qt::NoBrush);
    return QBrush(ToQColor(brush.Color));
}

}  // namespace

TQtCanvas::TQtCanvas(QPainter* painter) : painter_(painter) {}

void TQtCanvas::NoPainter() { throw ECanvasError("Canvas does not allow drawing"); }

QPainter& TQtCanvas::ActivePainter() {
    if (!painter_ || !painter_->isActive()) NoPainter();
    return *painter_;
}

QPainter& TQtCanvas::ShapePainter() {
    QPainter& p = ActivePainter();
    p.setPen(ToQPen(Pen()));
    p.setBrush(ToQBrush(Brush()));
    return p;
}

std::int32_t TQtCanvas::TextWidth(std::string_view text) { return fonts_.TextWidth(Font(), text); }

std::int32_t TQtCanvas::TextHeight(std::string_view text) { return fonts_.TextHeight(Font(), text); }

void TQtCanvas::DrawText(std::int32_t x, std::int32_t y, std::string_view text) {
    QPainter& p = *painter_;
    if (Brush().Style == TCanvasBrushStyle::Solid)
        p.fillRect(QRect(x, y, TextWidth(text), TextHeight(text)), ToQColor(Brush().Color));
    p.setFont(ToQFont(Font()));
    p.setPen(QPen(ToQColor(Font().Color)));
    p.drawText(QPoint(x, y + fonts_.Ascent(Font())), ToQString(text));
}

void TQtCanvas::TextOut(std::int32_t x, std::int32_t y, std::string_view text) {
    ActivePainter();
    if (text.empty()) return;
    DrawText(x, y, text);
}

void TQtCanvas::TextRect(const TCanvasRect& clip, std::int32_t x, std::int32_t y, std::string_view text) {
    QPainter& p = ActivePainter();
    if (text.empty()) return;
    p.save();
    p.setClipRect(FillArea(clip), Qt::IntersectClip);
    DrawText(x, y, text);
    p.restore();
}

void TQtCanvas::DrawLine(TCanvasPoint from, TCanvasPoint to) {
    QPainter& p = ActivePainter();
    p.setPen(ToQPen(Pen()));
    p.drawLine(QPoint(from.X, from.Y), QPoint(to.X, to.Y));
}

void TQtCanvas::Rectangle(const TCanvasRect& rect) { ShapePainter().drawRect(OutlineArea(rect)); }

void TQtCanvas::RoundRect(const TCanvasRect& rect, std::int32_t cornerWidth, std::int32_t cornerHeight) {
    ShapePainter().drawRoundedRect(QRectF(OutlineArea(rect)), cornerWidth / 2.0, cornerHeight / 2.0,
                                   Qt::AbsoluteSize);
}

void TQtCanvas::Ellipse(const TCanvasRect& rect) { ShapePainter().drawEllipse(OutlineArea(rect)); }

void TQtCanvas::Polygon(std::span<const TCanvasPoint> points) {
    QPainter& p = ShapePainter();
    if (points.size() < 2) return;
    QPolygon polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (TCanvasPoint pt : points) polygon << QPoint(pt.X, pt.Y);
    p.drawPolygon(polygon);
}

void TQtCanvas::FillRect(const TCanvasRect& rect) {
    QPainter& p = ActivePainter();
    if (Brush().Style == TCanvasBrushStyle::Clear) return;
    p.fillRect(FillArea(rect), ToQColor(Brush().Color));
}

void TQtCanvas::StretchDraw(const TCanvasRect& dest, const TPageMetafile& metafile) {
    QPainter& p = ActivePainter();
    if (metafile.Width() <= 0 || metafile.Height() <= 0 || dest.Width() <= 0 || dest.Height() <= 0) return;
    p.save();
    p.setClipRect(FillArea(dest), Qt::IntersectClip);
    p.translate(dest.Left, dest.Top);
    p.scale(static_cast<double>(dest.Width()) / metafile.Width(),
            static_cast<double>(dest.Height()) / metafile.Height());
    try {
        TCanvasStateSaver saver(*this);
        metafile.Play(*this);
    } catch (...) {
        p.restore();
        throw;
    }
    p.restore();
}

}  // namespace mivo
