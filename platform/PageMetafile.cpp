#include "platform/PageMetafile.h"

#include <cmath>
#include <limits>
#include <type_traits>

#include "model/RunTime.h"

namespace mivo {

namespace {

// Maps page coordinates to canvas coordinates: p' = origin + p * scale.
struct TMapping {
    double OriginX = 0;
    double OriginY = 0;
    double ScaleX = 1;
    double ScaleY = 1;
    bool Identity = true;

    static std::int32_t Round(double v) {
        double r = std::nearbyint(v);
        if (!(r >= std::numeric_limits<std::int32_t>::min() && r <= std::numeric_limits<std::int32_t>::max()))
            throw ERangeError();
        return static_cast<std::int32_t>(r);
    }

    std::int32_t X(std::int32_t x) const { return Identity ? x : Round(OriginX + x * ScaleX); }
    std::int32_t Y(std::int32_t y) const { return Identity ? y : Round(OriginY + y * ScaleY); }
    TCanvasPoint Point(TCanvasPoint p) const { return {X(p.X), Y(p.Y)}; }
    TCanvasRect Rect(const TCanvasRect& r) const { return {X(r.Left), Y(r.Top), X(r.Right), Y(r.Bottom)}; }
    std::int32_t Width(std::int32_t w) const { return Identity ? w : Round(w * ScaleX); }
    std::int32_t Height(std::int32_t h) const { return Identity ? h : Round(h * ScaleY); }

    TCanvasFont Font(TCanvasFont font) const {
        if (Identity || font.Height == 0) return font;
        std::int32_t h = Round(font.Height * ScaleY);
        if (h == 0) h = font.Height < 0 ? -1 : 1;
        font.Height = h;
        return font;
    }

    TCanvasPen Pen(TCanvasPen pen) const {
        if (Identity || pen.Width <= 0) return pen;
        std::int32_t w = Round(pen.Width * (ScaleX + ScaleY) / 2);
        pen.Width = w < 1 ? 1 : w;
        return pen;
    }
};

void PlayRecords(const std::vector<TMetaRecord>& records, TCanvas& canvas, const TMapping& map) {
    for (const TMetaRecord& record : records) {
        std::visit(
            [&](const auto& r) {
                using R = std::decay_t<decltype(r)>;
                if constexpr (std::is_same_v<R, TMetaSetFont>) {
                    canvas.Font() = map.Font(r.Font);
                } else if constexpr (std::is_same_v<R, TMetaSetPen>) {
                    canvas.Pen() = map.Pen(r.Pen);
                } else if constexpr (std::is_same_v<R, TMetaSetBrush>) {
                    canvas.Brush() = r.Brush;
                } else if constexpr (std::is_same_v<R, TMetaText>) {
                    if (r.Clipped)
                        canvas.TextRect(map.Rect(r.Clip), map.X(r.At.X), map.Y(r.At.Y), r.Text);
                    else
                        canvas.TextOut(map.X(r.At.X), map.Y(r.At.Y), r.Text);
                } else if constexpr (std::is_same_v<R, TMetaLine>) {
                    canvas.MoveTo(map.X(r.From.X), map.Y(r.From.Y));
                    canvas.LineTo(map.X(r.To.X), map.Y(r.To.Y));
                } else if constexpr (std::is_same_v<R, TMetaRectangle>) {
                    canvas.Rectangle(map.Rect(r.Rect));
                } else if constexpr (std::is_same_v<R, TMetaRoundRect>) {
                    canvas.RoundRect(map.Rect(r.Rect), map.Width(r.CornerWidth), map.Height(r.CornerHeight));
                } else if constexpr (std::is_same_v<R, TMetaEllipse>) {
                    canvas.Ellipse(map.Rect(r.Rect));
                } else if constexpr (std::is_same_v<R, TMetaPolygon>) {
                    std::vector<TCanvasPoint> points;
                    points.reserve(r.Points.size());
                    for (TCanvasPoint p : r.Points) points.push_back(map.Point(p));
                    canvas.Polygon(points);
                } else if constexpr (std::is_same_v<R, TMetaFillRect>) {
                    canvas.FillRect(map.Rect(r.Rect));
                } else if constexpr (std::is_same_v<R, TMetaPicture>) {
                    if (r.Picture) canvas.StretchDraw(map.Rect(r.Dest), *r.Picture);
                }
            },
            record);
    }
}

}  // namespace

TPageMetafile::TPageMetafile(std::int32_t width, std::int32_t height, std::int32_t resolution)
    : width_(width < 0 ? 0 : width), height_(height < 0 ? 0 : height), resolution_(resolution) {
    if (resolution < 1) throw ERangeError();
}

void TPageMetafile::Play(TCanvas& canvas) const { PlayRecords(records_, canvas, TMapping{}); }

void TPageMetafile::PlayScaled(TCanvas& canvas, const TCanvasRect& dest) const {
    if (width_ <= 0 || height_ <= 0) return;
    TMapping map;
    map.OriginX = dest.Left;
    map.OriginY = dest.Top;
    map.ScaleX = static_cast<double>(dest.Width()) / width_;
    map.ScaleY = static_cast<double>(dest.Height()) / height_;
    map.Identity = dest.Left == 0 && dest.Top == 0 && dest.Width() == width_ && dest.Height() == height_;
    TCanvasStateSaver saver(canvas);
    PlayRecords(records_, canvas, map);
}

}  // namespace mivo
