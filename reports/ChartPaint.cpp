#include "reports/ChartPaint.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <utility>
#include <vector>

#include "platform/MetafileCanvas.h"
#include "reports/PrintFormatter.h"

namespace mivo {

namespace {

constexpr TColor kTextColor = 0x000000;
constexpr TColor kAxisColor = 0x000000;
constexpr TColor kGridColor = 0xE0E0E0;
constexpr TColor kSpokeColor = 0x808080;
constexpr std::int32_t kFontPoints = 8;

// Lengths are given in screen pixels (96 per inch) and scaled to the
// canvas's resolution, so a chart looks the same at any resolution.
class TChartPainter {
public:
    TChartPainter(TCanvas& canvas, const TCanvasRect& rect) : canvas_(canvas), saver_(canvas), rect_(rect) {
        scale_ = std::max(1, canvas.Font().PixelsPerInch) / 96.0;
        TCanvasFont& font = canvas.Font();
        font.Name = "Arial";
        font.Style = 0;
        font.Color = kTextColor;
        font.SetSize(kFontPoints);
        textHeight_ = canvas.TextHeight("Hj");
        canvas.Brush() = {ChartBackColor, TCanvasBrushStyle::Solid};
        canvas.FillRect(rect);
    }

    TCanvas& Canvas() { return canvas_; }
    const TCanvasRect& Rect() const { return rect_; }
    std::int32_t Px(double pixels) const { return static_cast<std::int32_t>(std::lround(pixels * scale_)); }
    std::int32_t TextHeight() const { return textHeight_; }
    std::int32_t TextWidth(const std::string& text) { return canvas_.TextWidth(text); }

    void SetPen(TColor color, double width = 1, TCanvasPenStyle style = TCanvasPenStyle::Solid) {
        canvas_.Pen() = {color, std::max(1, Px(width)), style};
    }
    void SetFill(TColor color) { canvas_.Brush() = {color, TCanvasBrushStyle::Solid}; }
    void ClearFill() { canvas_.Brush().Style = TCanvasBrushStyle::Clear; }

    void Line(double x0, double y0, double x1, double y1) {
        canvas_.MoveTo(Round(x0), Round(y0));
        canvas_.LineTo(Round(x1), Round(y1));
    }

    // Text placed by an anchor point: horizontally -1 left of it, 0
    // centred, 1 right of it; vertically -1 above it, 0 centred, 1 below.
    // Blank texts are not drawn.
    void Text(double x, double y, const std::string& text, int horz, int vert) {
        if (text.find_first_not_of(' ') == std::string::npos) return;
        const std::int32_t w = canvas_.TextWidth(text);
        double left = horz > 0 ? x : horz < 0 ? x - w : x - w / 2.0;
        double top = vert > 0 ? y : vert < 0 ? y - textHeight_ : y - textHeight_ / 2.0;
        ClearFill();
        canvas_.TextRect(rect_, Round(left), Round(top), text);
    }

    static std::int32_t Round(double v) {
        return static_cast<std::int32_t>(std::lround(std::clamp(v, -1.0e9, 1.0e9)));
    }

private:
    TCanvas& canvas_;
    TCanvasStateSaver saver_;
    TCanvasRect rect_;
    double scale_ = 1;
    std::int32_t textHeight_ = 0;
};

// The ticks of a value axis: every integer with a scale, else a step that
// keeps about ten ticks.
std::vector<int> AxisTicks(const TChartAxis& axis) {
    const int maximum = std::max(1, static_cast<int>(std::ceil(axis.Maximum)));
    int step = 1;
    if (!axis.HasScale)
        while (maximum / step > 10) step *= (step % 10 == 1 || step % 10 == 5) ? 2 : 5;  // 1, 2, 10, 20, 100 ...
    std::vector<int> ticks;
    for (int n = 0; n <= maximum; n += step) ticks.push_back(n);
    return ticks;
}

// The widest tick label of an axis.
std::int32_t WidestTick(TChartPainter& p, const TChartAxis& axis, const std::vector<int>& ticks) {
    std::int32_t widest = 0;
    for (int n : ticks) widest = std::max(widest, p.TextWidth(axis.TickLabel(n)));
    return widest;
}

// Every how many ticks a label fits along an axis of `length` units.
std::size_t LabelStride(double length, std::size_t tickCount, std::int32_t labelExtent, std::int32_t gap) {
    if (tickCount < 2 || length <= 0) return 1;
    const double spacing = length / static_cast<double>(tickCount - 1);
    return std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil((labelExtent + gap) / spacing)));
}

// The vertical grid lines, the ticks below the plot and, where they fit,
// their labels, for an axis running along the bottom; `toX` places a value.
template <class ToX>
void DrawHorizontalTicks(TChartPainter& p, const TChartAxis& axis, const std::vector<int>& ticks, ToX toX,
                         double left, double right, double top, double bottom, std::int32_t gap) {
    const std::size_t stride = LabelStride(right - left, ticks.size(), WidestTick(p, axis, ticks), gap);
    for (std::size_t k = 0; k < ticks.size(); ++k) {
        const double x = toX(ticks[k]);
        p.SetPen(kGridColor);
        if (ticks[k] > 0) p.Line(x, top, x, bottom);
        p.SetPen(kAxisColor);
        p.Line(x, bottom, x, bottom + gap);
        if (k % stride == 0) p.Text(x, bottom + gap, axis.TickLabel(ticks[k]), 0, 1);
    }
}

void PaintEmpty(TCanvas& canvas, const TCanvasRect& rect) { TChartPainter painter(canvas, rect); }

// The labels of the plane chart's marks. Marks that end at one point (the
// options with the same pair of values) share the first one's anchor, and
// their names are listed one below the other from there.
class TPlaneLabels {
public:
    explicit TPlaneLabels(TChartPainter& painter) : painter_(painter) {}

    // The label of a mark ending at (x, y), anchored at (ax, ay) unless an
    // earlier mark ended there; blank labels take no line.
    void Add(double x, double y, double ax, double ay, const std::string& label) {
        if (label.find_first_not_of(' ') == std::string::npos) return;
        const auto key = std::make_pair(TChartPainter::Round(x), TChartPainter::Round(y));
        auto [at, fresh] = stacks_.try_emplace(key, TStack{ax, ay, 0});
        TStack& stack = at->second;
        painter_.Text(stack.X, stack.Y + stack.Lines * painter_.TextHeight(), label, 1, -1);
        ++stack.Lines;
    }

private:
    struct TStack {
        double X, Y;
        int Lines;
    };
    TChartPainter& painter_;
    std::map<std::pair<std::int32_t, std::int32_t>, TStack> stacks_;
};

}  // namespace

void PaintBarChart(TCanvas& canvas, const TCanvasRect& rect, const TBarChart& chart) {
    TChartPainter p(canvas, rect);
    const std::int32_t margin = p.Px(8), gap = p.Px(4), th = p.TextHeight();
    const std::vector<int> ticks = AxisTicks(chart.Axis);
    const double maximum = std::max(1, ticks.back());

    std::int32_t labelWidth = 0;
    for (const TChartBar& bar : chart.Bars) labelWidth = std::max(labelWidth, p.TextWidth(bar.Label));
    labelWidth = std::min<std::int32_t>(labelWidth, static_cast<std::int32_t>(rect.Width() / 3));

    const double left = rect.Left + margin + (labelWidth > 0 ? labelWidth + gap : 0);
    const double right = rect.Right - margin - WidestTick(p, chart.Axis, ticks) / 2.0;
    const double top = rect.Top + margin;
    const double bottom = rect.Bottom - margin - 2 * th - gap;
    if (right - left < 1 || bottom - top < 1) return;
    auto X = [&](double v) { return left + v / maximum * (right - left); };

    // Grid, ticks and their labels.
    DrawHorizontalTicks(p, chart.Axis, ticks, X, left, right, top, bottom, gap);
    p.Text((left + right) / 2, bottom + gap + th, chart.Axis.Title, 0, 1);

    // The bars, first option at the top.
    const std::size_t count = chart.Bars.size();
    if (count > 0) {
        const double slot = (bottom - top) / static_cast<double>(count);
        const double thick = std::max(1.0, slot * 0.7);
        const bool outlined = thick >= p.Px(4);
        const std::size_t labelEvery = std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(th / slot)));
        for (std::size_t i = 0; i < count; ++i) {
            const TChartBar& bar = chart.Bars[i];
            const double y0 = top + i * slot + (slot - thick) / 2;
            const TCanvasRect low{TChartPainter::Round(X(0)), TChartPainter::Round(y0),
                                  TChartPainter::Round(X(bar.LowLength)), TChartPainter::Round(y0 + thick)};
            const TCanvasRect high{low.Right, low.Top, TChartPainter::Round(X(bar.LowLength + bar.HighLength)),
                                   low.Bottom};
            p.SetFill(bar.LowColor);
            canvas.FillRect(low);
            if (bar.HighLength > 0) {
                p.SetFill(bar.HighColor);
                canvas.FillRect(high);
            }
            if (outlined) {
                p.SetPen(kAxisColor);
                p.ClearFill();
                canvas.Rectangle({low.Left, low.Top, std::max(low.Right, high.Right) + 1, low.Bottom + 1});
            }
            if (i % labelEvery == 0 && labelWidth > 0)
                p.Text(left - gap, y0 + thick / 2, bar.Label, -1, 0);
        }
    }
    p.SetPen(kAxisColor);
    p.Line(left, top, left, bottom);
    p.Line(left, bottom, right, bottom);
}

void PaintPlaneChart(TCanvas& canvas, const TCanvasRect& rect, const TPlaneChart& chart) {
    TChartPainter p(canvas, rect);
    const std::int32_t margin = p.Px(8), gap = p.Px(4), th = p.TextHeight();
    const std::vector<int> xTicks = AxisTicks(chart.XAxis), yTicks = AxisTicks(chart.YAxis);
    const double xMax = std::max(1, xTicks.back()), yMax = std::max(1, yTicks.back());
    const std::int32_t yLabelWidth = WidestTick(p, chart.YAxis, yTicks);

    const double left = rect.Left + margin + yLabelWidth + 2 * gap;
    const double right = rect.Right - margin - WidestTick(p, chart.XAxis, xTicks) / 2.0;
    const double top = rect.Top + margin + th + gap;
    const double bottom = rect.Bottom - margin - 2 * th - gap;
    if (right - left < 1 || bottom - top < 1) return;
    auto X = [&](double v) { return left + v / xMax * (right - left); };
    auto Y = [&](double v) { return bottom - v / yMax * (bottom - top); };

    DrawHorizontalTicks(p, chart.XAxis, xTicks, X, left, right, top, bottom, gap);
    const std::size_t yStride = LabelStride(bottom - top, yTicks.size(), th, 0);
    for (std::size_t k = 0; k < yTicks.size(); ++k) {
        const double y = Y(yTicks[k]);
        p.SetPen(kGridColor);
        if (yTicks[k] > 0) p.Line(left, y, right, y);
        p.SetPen(kAxisColor);
        p.Line(left - gap, y, left, y);
        if (k % yStride == 0) p.Text(left - 2 * gap, y, chart.YAxis.TickLabel(yTicks[k]), -1, 0);
    }
    p.Text((left + right) / 2, bottom + gap + th, chart.XAxis.Title, 0, 1);
    p.Text(rect.Left + margin, top - gap, chart.YAxis.Title, 1, -1);
    p.SetPen(kAxisColor);
    p.Line(left, top, left, bottom);
    p.Line(left, bottom, right, bottom);

    const double unit = (bottom - top) / yMax;
    const double radius = std::max<double>(p.Px(4), ChartBubbleRadius * unit);
    TPlaneLabels labels(p);
    for (const TPlaneMark& mark : chart.Marks) {
        const double x0 = X(mark.X0), y0 = Y(mark.Y0), x1 = X(mark.X1), y1 = Y(mark.Y1);
        if (mark.IsBubble()) {
            p.SetPen(kAxisColor);
            p.SetFill(mark.Color);
            canvas.Ellipse({TChartPainter::Round(x0 - radius), TChartPainter::Round(y0 - radius),
                            TChartPainter::Round(x0 + radius) + 1, TChartPainter::Round(y0 + radius) + 1});
            labels.Add(x0, y0, x0 + radius + gap / 2.0, y0 - radius, mark.Label);
            continue;
        }
        // The shaft, then a filled head at the high corner.
        p.SetPen(mark.Color, 2);
        p.Line(x0, y0, x1, y1);
        const double length = std::hypot(x1 - x0, y1 - y0);
        if (length > 0) {
            const double ux = (x1 - x0) / length, uy = (y1 - y0) / length;
            const double head = std::min<double>(p.Px(10), length / 2), half = head / 2;
            const TCanvasPoint tip{TChartPainter::Round(x1), TChartPainter::Round(y1)};
            const TCanvasPoint points[] = {
                tip,
                {TChartPainter::Round(x1 - ux * head - uy * half), TChartPainter::Round(y1 - uy * head + ux * half)},
                {TChartPainter::Round(x1 - ux * head + uy * half), TChartPainter::Round(y1 - uy * head - ux * half)}};
            p.SetPen(mark.Color);
            p.SetFill(mark.Color);
            canvas.Polygon(points);
        }
        labels.Add(x1, y1, x1 + gap, y1 - gap, mark.Label);
    }
}

void PaintRadarChart(TCanvas& canvas, const TCanvasRect& rect, const TRadarChart& chart) {
    TChartPainter p(canvas, rect);
    if (chart.Option < 0) return;
    const std::int32_t margin = p.Px(8), gap = p.Px(6), th = p.TextHeight();
    double top = rect.Top + margin;
    if (!chart.Title.empty()) {
        p.Text((rect.Left + rect.Right) / 2.0, top, chart.Title, 0, 1);
        top += th + p.Px(4);
    }
    std::int32_t nameWidth = 0;
    for (const TRadarSpoke& spoke : chart.Spokes) nameWidth = std::max(nameWidth, p.TextWidth(spoke.Name));
    const double width = rect.Width() - 2.0 * margin, height = rect.Bottom - margin - top;
    double radius = std::min((width - 2.0 * (nameWidth + gap)) / 2, (height - 2.0 * (th + gap)) / 2);
    if (radius < p.Px(20)) radius = std::min(width, height) / 2;  // too narrow for the names outside
    if (radius < 1) return;
    const double cx = rect.Left + margin + width / 2, cy = top + height / 2;

    p.SetPen(kSpokeColor);
    p.SetFill(ChartRadarDiscColor);
    canvas.Ellipse({TChartPainter::Round(cx - radius), TChartPainter::Round(cy - radius),
                    TChartPainter::Round(cx + radius) + 1, TChartPainter::Round(cy + radius) + 1});

    const std::size_t n = chart.Spokes.size();
    struct TSpokeGeometry {
        double Cos, Sin;
    };
    std::vector<TSpokeGeometry> geometry;
    for (std::size_t k = 0; k < n; ++k) {
        const double angle = -std::numbers::pi / 2 + 2 * std::numbers::pi * static_cast<double>(k) / n;
        geometry.push_back({std::cos(angle), std::sin(angle)});
    }
    auto At = [&](std::size_t k, double position) {
        return std::pair{cx + geometry[k].Cos * position * radius, cy + geometry[k].Sin * position * radius};
    };

    for (std::size_t k = 0; k < n; ++k) {
        const auto [x, y] = At(k, 1);
        p.SetPen(kSpokeColor);
        p.Line(cx, cy, x, y);
        const double c = geometry[k].Cos, s = geometry[k].Sin;
        p.Text(cx + c * (radius + gap), cy + s * (radius + gap), chart.Spokes[k].Name, c > 0.3 ? 1 : c < -0.3 ? -1 : 0,
               s > 0.3 ? 1 : s < -0.3 ? -1 : 0);
    }

    // The line through the low ends, then the one through the high ends,
    // closed round the disc.
    auto Ring = [&](bool high) {
        if (n < 2) return;
        p.SetPen(high ? ChartHighLineColor : ChartLowLineColor, 2);
        for (std::size_t k = 0; k <= n; ++k) {
            const TRadarSpoke& spoke = chart.Spokes[k % n];
            const auto [x, y] = At(k % n, high ? spoke.High : spoke.Low);
            if (k == 0) canvas.MoveTo(TChartPainter::Round(x), TChartPainter::Round(y));
            else canvas.LineTo(TChartPainter::Round(x), TChartPainter::Round(y));
        }
    };
    Ring(false);
    Ring(true);

    const double marker = p.Px(3);
    for (std::size_t k = 0; k < n; ++k) {
        const TRadarSpoke& spoke = chart.Spokes[k];
        const auto [lx, ly] = At(k, spoke.Low);
        const auto [hx, hy] = At(k, spoke.High);
        p.SetPen(kAxisColor);
        p.SetFill(chart.Color);
        canvas.Ellipse({TChartPainter::Round(lx - marker), TChartPainter::Round(ly - marker),
                        TChartPainter::Round(lx + marker) + 1, TChartPainter::Round(ly + marker) + 1});
        p.SetFill(chart.Color);
        canvas.Rectangle({TChartPainter::Round(hx - marker), TChartPainter::Round(hy - marker),
                          TChartPainter::Round(hx + marker) + 1, TChartPainter::Round(hy + marker) + 1});
        p.Text(lx - marker, ly + marker, spoke.LowLabel, -1, 1);
        if (spoke.High != spoke.Low || spoke.HighLabel != spoke.LowLabel)
            p.Text(hx + marker, hy - marker, spoke.HighLabel, 1, -1);
    }
}

void PaintChart(TCanvas& canvas, const TCanvasRect& rect, const TChartPicture& picture) {
    std::visit(
        [&](const auto& chart) {
            using T = std::decay_t<decltype(chart)>;
            if constexpr (std::is_same_v<T, TBarChart>) PaintBarChart(canvas, rect, chart);
            else if constexpr (std::is_same_v<T, TPlaneChart>) PaintPlaneChart(canvas, rect, chart);
            else if constexpr (std::is_same_v<T, TRadarChart>) PaintRadarChart(canvas, rect, chart);
            else PaintEmpty(canvas, rect);
        },
        picture);
}

TCanvasRect CanvasRectOf(const TRect& inclusive) {
    return {inclusive.Left, inclusive.Top, CheckedAdd(inclusive.Right, 1), CheckedAdd(inclusive.Bottom, 1)};
}

bool DrawChartOnSurface(TDrawSurface& surface, const TRect& rect, const TChartPicture& picture) {
    auto* canvasSurface = dynamic_cast<TCanvasDrawSurface*>(&surface);
    if (canvasSurface == nullptr) return false;
    PaintChart(canvasSurface->Canvas(), CanvasRectOf(rect), picture);
    return true;
}

std::unique_ptr<TPageMetafile> RecordChart(const TChartPicture& picture, std::int32_t width, std::int32_t height,
                                           TFontSource& fonts, std::int32_t resolution) {
    if (width < 1 || height < 1) throw ERangeError();
    auto page = std::make_unique<TPageMetafile>(width, height, resolution);
    TMetafileCanvas canvas(*page, fonts);
    PaintChart(canvas, {0, 0, width, height}, picture);
    return page;
}

}  // namespace mivo
