// The chart painters recorded on a page metafile: the stacked bars in the
// colours of both ends, bubbles and arrows, the radar's labels; a chart on
// a report page through the print formatter.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "platform/MetafileCanvas.h"
#include "reports/ChartPaint.h"
#include "reports/MivoRpt.h"
#include "reports/PrintFormatter.h"
#include "reports/tests/ChartFixture.h"
#include "reports/tests/ReportFixture.h"

namespace mivo {
namespace {

using testing::AddAttribute;
using testing::Values;

// A shape record with the brush and pen in force when it was recorded.
struct TShape {
    TMetaRecord Record;
    TCanvasBrush Brush;
    TCanvasPen Pen;
};
std::vector<TShape> ShapesOf(const TPageMetafile& page) {
    std::vector<TShape> out;
    TCanvasBrush brush;
    TCanvasPen pen;
    for (const TMetaRecord& r : page.Records()) {
        if (auto* b = std::get_if<TMetaSetBrush>(&r)) brush = b->Brush;
        else if (auto* p = std::get_if<TMetaSetPen>(&r)) pen = p->Pen;
        else if (!std::holds_alternative<TMetaSetFont>(r)) out.push_back({r, brush, pen});
    }
    return out;
}
template <typename R>
std::vector<std::pair<R, TShape>> Only(const std::vector<TShape>& shapes) {
    std::vector<std::pair<R, TShape>> out;
    for (const TShape& s : shapes)
        if (auto* r = std::get_if<R>(&s.Record)) out.push_back({*r, s});
    return out;
}
std::vector<std::string> TextsOf(const TPageMetafile& page) {
    std::vector<std::string> out;
    for (const TMetaRecord& r : page.Records())
        if (auto* t = std::get_if<TMetaText>(&r)) out.push_back(t->Text);
    return out;
}
bool Contains(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

struct PaintModel {
    TMivoModel model;
    TMivoAttribute* top;
    TMivoAttribute* price;
    TMivoAttribute* look;
    PaintModel() {
        top = AddAttribute(model.Root(), "Overall", {"bad", "fair", "great"});
        price = AddAttribute(top, "Price", {"high", "medium", "low", "free"});
        look = AddAttribute(top, "Look", {"ugly", "plain", "nice"});
    }
};

TEST(ChartPaint, BarsReachHighPlusOneInTheColoursOfBothEnds) {
    PaintModel m;
    m.model.AddOption("Set");
    m.price->SetOptValue(0, Values({1, 2}));
    const TBarChart chart = BuildBarChart(m.model, *m.price, {});
    TFixedFontSource fonts;
    auto page = RecordChart(chart, 600, 300, fonts);

    auto fills = Only<TMetaFillRect>(ShapesOf(*page));
    ASSERT_EQ(fills.size(), 3u);  // background, low end, high end
    EXPECT_EQ(fills[0].first.Rect, (TCanvasRect{0, 0, 600, 300}));
    EXPECT_EQ(fills[0].second.Brush.Color, ChartBackColor);
    const TCanvasRect low = fills[1].first.Rect, high = fills[2].first.Rect;
    EXPECT_EQ(fills[1].second.Brush.Color, ChartNeutralColor);
    EXPECT_EQ(fills[2].second.Brush.Color, ChartNeutralHighColor);
    // The low part is two units of the four-unit axis, the high part one.
    EXPECT_EQ(low.Right, high.Left);
    EXPECT_NEAR(static_cast<double>(low.Width()), 2.0 * high.Width(), 2.0);
    EXPECT_EQ(low.Top, high.Top);
    EXPECT_EQ(low.Bottom, high.Bottom);

    // The axis labels its ticks by value name, and the option is named.
    const auto texts = TextsOf(*page);
    for (const char* name : {"high", "medium", "low", "free", "Price", "Set"}) EXPECT_TRUE(Contains(texts, name)) << name;
}

TEST(ChartPaint, ABubbleForSingleValuesAnArrowForASet) {
    PaintModel m;
    m.model.AddOption("Single");
    m.price->SetOptValue(0, Values({1}));
    m.look->SetOptValue(0, Values({2}));
    m.top->SetOptValue(0, Values({2}));
    TFixedFontSource fonts;
    auto bubble = ShapesOf(*RecordChart(BuildPlaneChart(m.model, *m.price, *m.look, {}), 500, 400, fonts));
    auto ellipses = Only<TMetaEllipse>(bubble);
    ASSERT_EQ(ellipses.size(), 1u);
    EXPECT_EQ(ellipses[0].second.Brush.Color, ChartGoodColor);
    EXPECT_TRUE(Only<TMetaPolygon>(bubble).empty());

    m.price->SetOptValue(0, Values({0, 3}));
    auto arrow = ShapesOf(*RecordChart(BuildPlaneChart(m.model, *m.price, *m.look, {}), 500, 400, fonts));
    EXPECT_TRUE(Only<TMetaEllipse>(arrow).empty());
    auto heads = Only<TMetaPolygon>(arrow);
    ASSERT_EQ(heads.size(), 1u);
    EXPECT_EQ(heads[0].second.Brush.Color, ChartGoodColor);
    // The shaft runs left to right at the height of Look's value, in the
    // option's colour; the head's tip is its end.
    auto lines = Only<TMetaLine>(arrow);
    auto shaft = std::find_if(lines.begin(), lines.end(), [](auto& l) { return l.second.Pen.Color == ChartGoodColor; });
    ASSERT_NE(shaft, lines.end());
    EXPECT_EQ(shaft->first.From.Y, shaft->first.To.Y);
    EXPECT_LT(shaft->first.From.X, shaft->first.To.X);
    EXPECT_EQ(heads[0].first.Points[0], shaft->first.To);
}

TEST(ChartPaint, NamesOfMarksAtOnePointAreListedOneBelowTheOther) {
    PaintModel m;
    // Two bubbles at one point, two arrows ending at one point, one alone.
    const struct {
        const char* Name;
        std::string Price, Look;
    } options[] = {
        {"Studio", Values({1}), Values({2})},    {"Loft", Values({1}), Values({2})},
        {"Flat", Values({0, 3}), Values({1})},  {"House", Values({2, 3}), Values({1})},
        {"Cabin", Values({0}), Values({0})},
    };
    for (const auto& o : options) {
        const int i = m.model.OptionCount();
        m.model.AddOption(o.Name);
        m.price->SetOptValue(i, o.Price);
        m.look->SetOptValue(i, o.Look);
    }
    TFixedFontSource fonts;
    const auto page = RecordChart(BuildPlaneChart(m.model, *m.price, *m.look, {}), 500, 400, fonts);
    std::map<std::string, TCanvasPoint> at;
    for (const TMetaRecord& r : page->Records())
        if (auto* t = std::get_if<TMetaText>(&r)) at[t->Text] = t->At;
    for (const auto& o : options) {
        ASSERT_TRUE(at.count(o.Name)) << o.Name;
    }
    for (const auto& a : options) {
        for (const auto& b : options) {
            if (std::string(a.Name) < b.Name) {
                EXPECT_NE(at[a.Name], at[b.Name]) << a.Name << " " << b.Name;
            }
        }
    }
    // The second name at a point stands one line below the first.
    const std::int32_t line = at["Loft"].Y - at["Studio"].Y;
    EXPECT_GT(line, 0);
    EXPECT_EQ(at["Loft"].X, at["Studio"].X);
    EXPECT_EQ(at["House"].X, at["Flat"].X);
    EXPECT_EQ(at["House"].Y - at["Flat"].Y, line);

    // Without option names nothing is listed, and no line is taken.
    TChartOptions hidden;
    hidden.ShowOptionNames = false;
    for (const std::string& text : TextsOf(*RecordChart(BuildPlaneChart(m.model, *m.price, *m.look, hidden), 500,
                                                        400, fonts)))
        for (const auto& o : options) EXPECT_NE(text, o.Name);
}

TEST(ChartPaint, OnlyTheRadarsMiddleValueIsLabelled) {
    PaintModel m;
    for (int v = 0; v < 3; ++v) {
        m.model.AddOption("Option " + std::to_string(v));
        for (TMivoAttribute* a : {m.top, m.look}) a->SetOptValue(v, Values({v}));
        m.price->SetOptValue(v, Values({v}));
    }
    TFixedFontSource fonts;
    std::vector<std::string> all;
    for (int v = 0; v < 3; ++v) {
        auto texts = TextsOf(*RecordChart(BuildRadarChart(m.model, {m.top, m.look, m.price}, v, {}), 400, 400, fonts));
        all.insert(all.end(), texts.begin(), texts.end());
        EXPECT_TRUE(Contains(texts, "Option " + std::to_string(v)));
        for (const char* name : {"Overall", "Look", "Price"}) EXPECT_TRUE(Contains(texts, name));
    }
    EXPECT_TRUE(Contains(all, "fair"));
    EXPECT_TRUE(Contains(all, "plain"));
    for (const char* end : {"bad", "great", "ugly", "nice", "high", "free"}) EXPECT_FALSE(Contains(all, end)) << end;
    EXPECT_FALSE(Contains(all, " "));

    // The disc is silver; the lines of the low and high ends red and green.
    auto shapes = ShapesOf(*RecordChart(BuildRadarChart(m.model, {m.top, m.look, m.price}, 1, {}), 400, 400, fonts));
    EXPECT_EQ(Only<TMetaEllipse>(shapes).front().second.Brush.Color, ChartRadarDiscColor);
    auto lines = Only<TMetaLine>(shapes);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](auto& l) { return l.second.Pen.Color == ChartLowLineColor; }));
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](auto& l) { return l.second.Pen.Color == ChartHighLineColor; }));
    // An empty radar is the background alone.
    auto empty = ShapesOf(*RecordChart(TRadarChart{}, 200, 200, fonts));
    EXPECT_EQ(empty.size(), 1u);
}

TEST(ChartPaint, PaintersStayInsideTheirRectangleAndLeaveTheCanvasAsItWas) {
    PaintModel m;
    for (int i = 0; i < 50; ++i) {
        m.model.AddOption("Option with a rather long name " + std::to_string(i));
        m.price->SetOptValue(i, Values({i % 4, (i + 1) % 4}));
        m.look->SetOptValue(i, Values({i % 3}));
        m.top->SetOptValue(i, Values({i % 3}));
    }
    const TChartPicture pictures[] = {std::monostate{}, BuildBarChart(m.model, *m.price, {}),
                                      BuildPlaneChart(m.model, *m.price, *m.look, {}),
                                      BuildRadarChart(m.model, {m.top, m.price, m.look}, 3, {})};
    const TCanvasRect rect{40, 30, 340, 230};
    for (const TChartPicture& picture : pictures) {
        for (const TCanvasRect& r : {rect, TCanvasRect{5, 5, 8, 8}}) {
            TPageMetafile page(400, 300);
            TFixedFontSource fonts;
            TMetafileCanvas canvas(page, fonts);
            canvas.Font().Name = "Courier";
            canvas.Pen().Color = 0x123456;
            canvas.Brush().Color = 0x654321;
            PaintChart(canvas, r, picture);
            EXPECT_EQ(canvas.Font().Name, "Courier");
            EXPECT_EQ(canvas.Pen().Color, 0x123456u);
            EXPECT_EQ(canvas.Brush().Color, 0x654321u);
            for (const TMetaRecord& record : page.Records()) {
                auto inside = [&](TCanvasPoint p) {
                    return p.X >= r.Left && p.X <= r.Right && p.Y >= r.Top && p.Y <= r.Bottom;
                };
                if (auto* l = std::get_if<TMetaLine>(&record)) {
                    EXPECT_TRUE(inside(l->From) && inside(l->To)) << picture.index();
                } else if (auto* t = std::get_if<TMetaText>(&record)) {
                    EXPECT_TRUE(t->Clipped);
                    EXPECT_EQ(t->Clip, r);
                }
            }
        }
    }
}

TEST(ChartPaint, AReportRectangleIsInclusive) {
    EXPECT_EQ(CanvasRectOf(TRect{10, 20, 109, 69}), (TCanvasRect{10, 20, 110, 70}));
    TPageMetafile page(300, 300);
    TFixedFontSource fonts;
    TMetafileCanvas canvas(page, fonts);
    TCanvasDrawSurface surface(canvas);
    EXPECT_TRUE(DrawChartOnSurface(surface, {10, 20, 109, 69}, std::monostate{}));
    auto fills = Only<TMetaFillRect>(ShapesOf(page));
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].first.Rect, (TCanvasRect{10, 20, 110, 70}));

    // A surface that is not over a canvas draws nothing.
    struct : TDrawSurface {
        void SetBrushColor(TColor) override {}
        void FillRect(const TRect&) override { ADD_FAILURE(); }
    } plain;
    EXPECT_FALSE(DrawChartOnSurface(plain, {0, 0, 9, 9}, std::monostate{}));
}

// A chart panel of the report host that paints a chart, as the charts page
// does.
class PaintedPanel : public TChartPanel {
public:
    explicit PaintedPanel(TChartPicture picture) : picture_(std::move(picture)) {}
    bool Visible() const override { return true; }
    std::int32_t Width() const override { return 400; }
    std::int32_t Height() const override { return 200; }
    void Draw(TDrawSurface& surface, const TRect& rect) override {
        drawn.push_back(rect);
        DrawChartOnSurface(surface, rect, picture_);
    }
    std::vector<TRect> drawn;

private:
    TChartPicture picture_;
};

class PaintedHost : public testing::StubHost {
public:
    PaintedPanel* bars = nullptr;
    TChartPanel* ChartPanel(TChartId id) const override {
        if (id == TChartId::Chart1) return bars;
        return StubHost::ChartPanel(id);
    }
};

TEST(ChartPaint, TheReportsChartSectionPaintsTheBarsOnItsPage) {
    PaintModel m;
    m.model.AddOption("Set");
    m.price->SetOptValue(0, Values({1, 2}));
    PaintedPanel panel(BuildBarChart(m.model, *m.price, {}));
    PaintedHost host;
    host.bars = &panel;
    testing::HostScope scope(&host);

    TValueSet parts;
    parts.set(rpChart);
    TFont font;
    font.Name = "Arial";
    font.Size = 10;
    auto report = BuildModelReport(&m.model, parts, font, TPen{});
    ASSERT_NE(report, nullptr);
    TFixedFontSource fonts;
    const TMeasure margin = MakeMeasure(mkMillimetres, 20);
    TPrintFormatter formatter(*report, nullptr, margin, margin, margin, margin, &fonts);
    formatter.Run();
    ASSERT_EQ(formatter.PageCount(), 1);
    ASSERT_EQ(panel.drawn.size(), 1u);

    // The bars' rectangle keeps the panel's shape, 2:1, within the page.
    const TRect r = panel.drawn[0];
    EXPECT_NEAR((r.Right - r.Left + 1) / static_cast<double>(r.Bottom - r.Top + 1), 2.0, 0.01);
    auto fills = Only<TMetaFillRect>(ShapesOf(formatter.GetPageMetafile(1)));
    auto background = std::find_if(fills.begin(), fills.end(),
                                   [&](auto& f) { return f.first.Rect == CanvasRectOf(r); });
    ASSERT_NE(background, fills.end());
    EXPECT_TRUE(std::any_of(fills.begin(), fills.end(),
                            [](auto& f) { return f.second.Brush.Color == ChartNeutralHighColor; }));
}

}  // namespace
}  // namespace mivo
