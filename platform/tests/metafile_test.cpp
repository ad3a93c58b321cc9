// Recording canvas, page metafiles and their replay.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "model/RunTime.h"
#include "platform/FontSource.h"
#include "platform/MetafileCanvas.h"
#include "platform/PageMetafile.h"

namespace mivo {
namespace {

template <typename R>
std::vector<R> RecordsOf(const TPageMetafile& mf) {
    std::vector<R> out;
    for (const TMetaRecord& r : mf.Records())
        if (auto* p = std::get_if<R>(&r)) out.push_back(*p);
    return out;
}

TEST(CanvasFont, SizeAndHeightFollowThePixelsPerInch) {
    struct Case {
        int ppi, points, height;
    } cases[] = {{96, 10, -13}, {300, 10, -42}, {300, 5, -21}, {600, 8, -67}, {300, 144, -600}};
    for (const Case& c : cases) {
        TCanvasFont font;
        font.PixelsPerInch = c.ppi;
        font.SetSize(c.points);
        EXPECT_EQ(font.Height, c.height) << c.ppi << " " << c.points;
        EXPECT_EQ(font.Size(), c.points);
        EXPECT_EQ(font.PixelHeight(), -c.height);
    }
    // Changing the pixels per inch alone keeps the height, so the size reads
    // differently until the size is set again.
    TCanvasFont font;
    font.SetSize(10);
    font.PixelsPerInch = 300;
    EXPECT_EQ(font.Height, -13);
    EXPECT_EQ(font.Size(), 3);
    font.SetSize(10);
    EXPECT_EQ(font.Height, -42);
}

TEST(FixedFontSource, CountsCodePoints) {
    TFixedFontSource fonts;
    TCanvasFont font;
    font.Height = -42;
    EXPECT_EQ(fonts.TextWidth(font, "abc"), 63);
    EXPECT_EQ(fonts.TextWidth(font, "\xC3\xA9t\xC3\xA9"), 63);  // "été"
    EXPECT_EQ(fonts.TextWidth(font, ""), 0);
    EXPECT_EQ(fonts.TextHeight(font, "Wg"), 52);
    EXPECT_EQ(fonts.TextHeight(font, ""), 52);
}

TEST(MetafileCanvas, RecordsStateOnlyWhereItChanges) {
    TPageMetafile mf(2480, 3508);
    TFixedFontSource fonts;
    TMetafileCanvas canvas(mf, fonts);
    EXPECT_EQ(canvas.Font().PixelsPerInch, 300);
    EXPECT_EQ(canvas.Font().Size(), 10);
    EXPECT_EQ(canvas.TextWidth("Wg"), 42);

    canvas.Brush().Style = TCanvasBrushStyle::Clear;
    canvas.TextOut(10, 20, "one");
    canvas.TextOut(10, 80, "two");         // same state: no state records
    canvas.Pen().Width = 3;
    canvas.MoveTo(0, 0);
    canvas.LineTo(100, 0);
    canvas.LineTo(100, 50);                // from the pen position
    canvas.TextRect({0, 0, 50, 50}, 5, 6, "clipped");
    const TCanvasPoint one[] = {{1, 1}};
    canvas.Polygon(one);                   // too few points: nothing

    const auto& r = mf.Records();
    ASSERT_EQ(r.size(), 9u);
    EXPECT_TRUE(std::holds_alternative<TMetaSetFont>(r[0]));
    EXPECT_TRUE(std::holds_alternative<TMetaSetPen>(r[1]));
    EXPECT_EQ(std::get<TMetaSetBrush>(r[2]).Brush.Style, TCanvasBrushStyle::Clear);
    EXPECT_EQ(std::get<TMetaText>(r[3]), (TMetaText{{10, 20}, "one", false, {}}));
    EXPECT_EQ(std::get<TMetaText>(r[4]).At, (TCanvasPoint{10, 80}));
    EXPECT_EQ(std::get<TMetaSetPen>(r[5]).Pen.Width, 3);
    EXPECT_EQ(std::get<TMetaLine>(r[6]), (TMetaLine{{0, 0}, {100, 0}}));
    EXPECT_EQ(std::get<TMetaLine>(r[7]), (TMetaLine{{100, 0}, {100, 50}}));
    EXPECT_EQ(std::get<TMetaText>(r[8]), (TMetaText{{5, 6}, "clipped", true, {0, 0, 50, 50}}));
}

TEST(PageMetafile, RejectsAResolutionBelowOne) {
    EXPECT_THROW(TPageMetafile(10, 10, 0), ERangeError);
    TPageMetafile negative(-5, -1);
    EXPECT_EQ(negative.Width(), 0);
    EXPECT_EQ(negative.Height(), 0);
}

// A page with every kind of record.
TPageMetafile SamplePage(TFontSource& fonts) {
    TPageMetafile mf(1000, 2000);
    TMetafileCanvas c(mf, fonts);
    c.TextOut(100, 200, "Title");
    c.Pen().Width = 1;
    c.Rectangle({10, 20, 110, 220});
    c.RoundRect({0, 0, 50, 50}, 10, 20);
    c.Ellipse({200, 400, 300, 600});
    const TCanvasPoint tri[] = {{0, 0}, {100, 0}, {0, 100}};
    c.Polygon(tri);
    c.Brush().Color = 0x00FF00;
    c.FillRect({500, 500, 600, 700});
    c.Pen().Width = 4;
    c.MoveTo(0, 1000);
    c.LineTo(1000, 1000);
    c.TextRect({0, 0, 400, 100}, 10, 10, "clip");
    return mf;
}

TEST(PageMetafile, PlaysBackIntoAnEqualRecording) {
    TFixedFontSource fonts;
    TPageMetafile page = SamplePage(fonts);
    TPageMetafile copy(1000, 2000);
    TMetafileCanvas c(copy, fonts);
    page.Play(c);
    EXPECT_EQ(copy.Records(), page.Records());
}

TEST(PageMetafile, KeepsEveryRecordAsAppendedInLittleMemory) {
    // Every kind, fonts that come back, empty, long and clipped texts,
    // a text of characters that are not ASCII.
    TCanvasFont bold;
    bold.Style = 1;
    TCanvasFont named;
    named.Name = "A font whose name is longer than a short string";
    const std::vector<TMetaRecord> appended = {
        TMetaSetFont{bold},
        TMetaText{{1, 2}, "", false, {}},
        TMetaSetFont{named},
        TMetaText{{3, 4}, std::string(300, 'x'), true, {0, 0, 9, 9}},
        TMetaSetFont{bold},
        TMetaSetPen{TCanvasPen{0x0000FF, 3, TCanvasPenStyle::Dot}},
        TMetaSetBrush{TCanvasBrush{0x00FF00, TCanvasBrushStyle::Clear}},
        TMetaLine{{0, 0}, {10, 10}},
        TMetaText{{5, 6}, "\xc3\xa9t\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac", false, {}},
        TMetaRectangle{{1, 1, 5, 5}},
        TMetaRoundRect{{1, 1, 5, 5}, 2, 3},
        TMetaEllipse{{2, 2, 6, 6}},
        TMetaPolygon{{{0, 0}, {4, 0}, {0, 4}}},
        TMetaFillRect{{7, 7, 8, 8}},
        TMetaPicture{{0, 0, 50, 50}, std::make_shared<const TPageMetafile>(10, 10)},
        TMetaText{{7, 8}, "clipped and short", true, {1, 2, 3, 4}},
    };
    TPageMetafile page(100, 100);
    for (const TMetaRecord& record : appended) page.Append(record);
    EXPECT_EQ(page.RecordCount(), appended.size());
    EXPECT_EQ(page.Records(), appended);
    page.ShrinkToFit();
    const TPageMetafile copy = page;
    EXPECT_EQ(copy.Records(), appended);

    // A report page's worth of texts and lines: far less than a record
    // each.
    TPageMetafile report(2480, 3508);
    for (int i = 0; i < 500; ++i) {
        report.Append(TMetaSetFont{i % 2 ? bold : named});
        report.Append(TMetaText{{i, i}, "value " + std::to_string(i), false, {}});
        report.Append(TMetaLine{{i, 0}, {i, 10}});
    }
    report.ShrinkToFit();
    EXPECT_LT(report.MemoryUsed(), report.RecordCount() * sizeof(TMetaRecord) / 3);

    page.Clear();
    EXPECT_TRUE(page.Empty());
    EXPECT_TRUE(page.Records().empty());
    page.Append(TMetaLine{{1, 1}, {2, 2}});
    EXPECT_EQ(page.Records(), (std::vector<TMetaRecord>{TMetaLine{{1, 1}, {2, 2}}}));
}

TEST(PageMetafile, ScaledPlayMapsCoordinatesFontsAndPens) {
    TFixedFontSource fonts;
    TPageMetafile page = SamplePage(fonts);
    TPageMetafile target(500, 500);
    TMetafileCanvas c(target, fonts);
    c.Pen().Color = 0x123456;
    c.MoveTo(7, 8);
    page.PlayScaled(c, {100, 50, 200, 250});  // x 0.1, y 0.1

    auto texts = RecordsOf<TMetaText>(target);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].At, (TCanvasPoint{110, 70}));
    EXPECT_EQ(texts[1].At, (TCanvasPoint{101, 51}));
    EXPECT_EQ(texts[1].Clip, (TCanvasRect{100, 50, 140, 60}));
    EXPECT_EQ(RecordsOf<TMetaRectangle>(target)[0].Rect, (TCanvasRect{101, 52, 111, 72}));
    EXPECT_EQ(RecordsOf<TMetaRoundRect>(target)[0], (TMetaRoundRect{{100, 50, 105, 55}, 1, 2}));
    EXPECT_EQ(RecordsOf<TMetaPolygon>(target)[0].Points[2], (TCanvasPoint{100, 60}));
    EXPECT_EQ(RecordsOf<TMetaFillRect>(target)[0].Rect, (TCanvasRect{150, 100, 160, 120}));
    EXPECT_EQ(RecordsOf<TMetaLine>(target)[0], (TMetaLine{{100, 150}, {200, 150}}));

    auto fontsSet = RecordsOf<TMetaSetFont>(target);
    ASSERT_FALSE(fontsSet.empty());
    EXPECT_EQ(fontsSet[0].Font.Height, -4);  // -42 * 0.1
    auto pens = RecordsOf<TMetaSetPen>(target);
    // Pens of 1 and 4 units both map to one unit (never thinner), so the
    // second pen is the same state and is not recorded again.
    ASSERT_EQ(pens.size(), 1u);
    EXPECT_EQ(pens[0].Pen.Width, 1);

    // The canvas state is as before the replay.
    EXPECT_EQ(c.Pen().Color, 0x123456u);
    EXPECT_EQ(c.PenPos(), (TCanvasPoint{7, 8}));
}

TEST(PageMetafile, ScaledPlayOfAnEmptyPageDrawsNothing) {
    TFixedFontSource fonts;
    TPageMetafile empty(0, 100);
    TMetafileCanvas(empty, fonts).TextOut(0, 0, "x");
    TPageMetafile target(100, 100);
    TMetafileCanvas c(target, fonts);
    empty.PlayScaled(c, {0, 0, 100, 100});
    EXPECT_TRUE(target.Empty());
}

TEST(PageMetafile, PicturesAreKeptAndReplayedScaled) {
    TFixedFontSource fonts;
    TPageMetafile inner(100, 100);
    {
        TMetafileCanvas c(inner, fonts);
        c.MoveTo(0, 0);
        c.LineTo(100, 100);
    }
    TPageMetafile outer(1000, 1000);
    {
        TMetafileCanvas c(outer, fonts);
        c.StretchDraw({200, 200, 400, 400}, inner);
        c.StretchDraw({0, 0, 10, 10}, outer);  // a copy of itself as it stands
    }
    auto pictures = RecordsOf<TMetaPicture>(outer);
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[1].Picture->Records().size(), outer.Records().size() - 1);

    // A canvas without a transform of its own gets the picture's records
    // mapped into place.
    TPageMetafile flat(1000, 1000);
    TMetafileCanvas target(flat, fonts);
    TCanvas& base = target;
    base.TCanvas::StretchDraw({0, 0, 500, 500}, outer);
    auto pics = RecordsOf<TMetaPicture>(flat);
    ASSERT_EQ(pics.size(), 2u);
    EXPECT_EQ(pics[0].Dest, (TCanvasRect{100, 100, 200, 200}));
}

TEST(PageMetafile, CoordinatesOutsideThe32BitRangeRaise) {
    TFixedFontSource fonts;
    TPageMetafile page(10, 10);
    TMetafileCanvas(page, fonts).Rectangle({0, 0, 2000000000, 10});
    TPageMetafile target(10, 10);
    TMetafileCanvas c(target, fonts);
    EXPECT_THROW(page.PlayScaled(c, {0, 0, 100, 10}), ERangeError);
}

}  // namespace
}  // namespace mivo
