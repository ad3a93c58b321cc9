// The Enhanced Metafile writer, checked by reading the file back record by
// record.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include <unistd.h>

#include "model/SafeFile.h"
#include "platform/EmfWriter.h"
#include "platform/MetafileCanvas.h"
#include "platform/tests/EmfCheck.h"

namespace mivo {
namespace {

using testing::I32;
using testing::OfType;
using testing::TRecord;
using testing::U32;
using testing::Utf16At;
using testing::Walk;

TEST(EmfWriter, HeaderDescribesAnA4PageAt300Dpi) {
    TPageMetafile page(2480, 3508);
    TFixedFontSource fonts;
    {
        TMetafileCanvas c(page, fonts);
        c.Rectangle({100, 200, 300, 400});
        c.MoveTo(50, 60);
        c.LineTo(2000, 60);
    }
    std::string b = EnhMetafileBytes(page);
    Walk(b);
    // Bounds: inclusive, what was drawn.
    EXPECT_EQ(I32(b, 8), 50);
    EXPECT_EQ(I32(b, 12), 60);
    EXPECT_EQ(I32(b, 16), 2000);
    EXPECT_EQ(I32(b, 20), 399);
    // Frame in hundredths of a millimetre: 210 x 297 mm.
    EXPECT_EQ(I32(b, 24), 0);
    EXPECT_EQ(I32(b, 32), 20996);
    EXPECT_EQ(I32(b, 36), 29700);
    // The reference device is the page.
    EXPECT_EQ(I32(b, 72), 2480);
    EXPECT_EQ(I32(b, 76), 3508);
    EXPECT_EQ(I32(b, 80), 210);
    EXPECT_EQ(I32(b, 84), 297);
    EXPECT_EQ(I32(b, 100), 209973);
    // Description: two strings, application and picture.
    std::uint32_t n = U32(b, 60);
    std::u16string desc = Utf16At(b, U32(b, 64), n);
    EXPECT_EQ(desc, std::u16string(u"Mivo\0Report page\0\0", 19));
    EXPECT_GE(U32(b, 4), U32(b, 64) + 2 * n);
}

TEST(EmfWriter, AnEmptyPageHasEmptyBounds) {
    TPageMetafile page(100, 100, 96);
    std::string b = EnhMetafileBytes(page);
    auto records = Walk(b);
    EXPECT_EQ(I32(b, 16), -1);
    EXPECT_EQ(I32(b, 20), -1);
    EXPECT_EQ(records.size(), 4u);  // header, map mode, text alignment, end
}

TEST(EmfWriter, TextCarriesFontColourClipAndAdvances) {
    TPageMetafile page(2480, 3508);
    TFixedFontSource fonts;
    {
        TMetafileCanvas c(page, fonts);
        c.Font().Name = "Arial";
        c.Font().Style = fsBold | fsItalic;
        c.Font().Color = 0x0000FF;
        c.Brush().Style = TCanvasBrushStyle::Clear;
        c.TextOut(10, 20, "A\xC3\xA9\xF0\x9F\x98\x80");  // "Aé😀": 3 characters, 4 units
        c.TextRect({0, 0, 30, 30}, 5, 5, "clip");
        c.TextOut(0, 0, "");  // nothing
    }
    std::string b = EnhMetafileBytes(page, &fonts);
    auto records = Walk(b);

    auto fontsMade = OfType(records, emrExtCreateFontIndirectW);
    ASSERT_EQ(fontsMade.size(), 1u);
    std::size_t f = fontsMade[0].Offset;
    EXPECT_EQ(fontsMade[0].Size, 104u);
    EXPECT_EQ(I32(b, f + 12), -42);  // height
    EXPECT_EQ(I32(b, f + 28), 700);  // weight
    EXPECT_EQ(b[f + 32], 1);         // italic
    EXPECT_EQ(Utf16At(b, f + 40, 6), std::u16string(u"Arial\0", 6));

    auto color = OfType(records, emrSetTextColor);
    ASSERT_EQ(color.size(), 1u);
    EXPECT_EQ(U32(b, color[0].Offset + 8), 0x0000FFu);
    auto mode = OfType(records, emrSetBkMode);
    ASSERT_EQ(mode.size(), 1u);
    EXPECT_EQ(U32(b, mode[0].Offset + 8), 1u);  // transparent

    auto texts = OfType(records, emrExtTextOutW);
    ASSERT_EQ(texts.size(), 2u);
    std::size_t t = texts[0].Offset;
    EXPECT_EQ(I32(b, t + 36), 10);  // reference point
    EXPECT_EQ(I32(b, t + 40), 20);
    std::uint32_t units = U32(b, t + 44);
    EXPECT_EQ(units, 4u);
    EXPECT_EQ(Utf16At(b, t + U32(b, t + 48), units), u"A\u00E9\U0001F600");
    EXPECT_EQ(U32(b, t + 52), 0u);  // not clipped
    std::uint32_t offDx = U32(b, t + 72);
    ASSERT_NE(offDx, 0u);
    EXPECT_LE(offDx + 4 * units, texts[0].Size);
    std::vector<std::int32_t> dx;
    for (std::uint32_t k = 0; k < units; ++k) dx.push_back(I32(b, t + offDx + 4 * k));
    EXPECT_EQ(dx, (std::vector<std::int32_t>{21, 21, 21, 0}));
    // Text bounds: the cell of the text.
    EXPECT_EQ(I32(b, t + 8), 10);
    EXPECT_EQ(I32(b, t + 16), 10 + 63 - 1);

    std::size_t c = texts[1].Offset;
    EXPECT_EQ(U32(b, c + 52), 4u);  // clipped
    EXPECT_EQ(I32(b, c + 56), 0);
    EXPECT_EQ(I32(b, c + 64), 30);
    EXPECT_EQ(I32(b, c + 16), 29);  // bounds end at the clip

    // Without a font source, readers space the text themselves.
    std::string plain = EnhMetafileBytes(page);
    auto plainTexts = OfType(Walk(plain), emrExtTextOutW);
    ASSERT_EQ(plainTexts.size(), 2u);
    EXPECT_EQ(U32(plain, plainTexts[0].Offset + 72), 0u);
}

TEST(EmfWriter, ShapesUseTheFormatsRecords) {
    TPageMetafile page(1000, 1000);
    TFixedFontSource fonts;
    {
        TMetafileCanvas c(page, fonts);
        c.Pen().Style = TCanvasPenStyle::Dot;
        c.Pen().Color = 0x112233;
        c.Brush().Style = TCanvasBrushStyle::Clear;
        c.RoundRect({10, 10, 110, 60}, 20, 20);
        c.Ellipse({200, 200, 300, 250});
        const TCanvasPoint tri[] = {{0, 0}, {50, 0}, {0, 70}};
        c.Polygon(tri);
        c.Brush().Style = TCanvasBrushStyle::Solid;
        c.Brush().Color = 0x00FF00;
        c.FillRect({400, 400, 500, 450});
        c.FillRect({600, 600, 600, 700});  // empty: nothing
    }
    std::string b = EnhMetafileBytes(page);
    auto records = Walk(b);

    auto rr = OfType(records, emrRoundRect);
    ASSERT_EQ(rr.size(), 1u);
    EXPECT_EQ(rr[0].Size, 32u);
    EXPECT_EQ(I32(b, rr[0].Offset + 24), 20);

    auto poly = OfType(records, emrPolygon);
    ASSERT_EQ(poly.size(), 1u);
    EXPECT_EQ(U32(b, poly[0].Offset + 24), 3u);
    EXPECT_EQ(I32(b, poly[0].Offset + 20), 70);  // bounds bottom

    auto pens = OfType(records, emrCreatePen);
    ASSERT_EQ(pens.size(), 2u);  // the dotted pen, then the null pen of the fill
    EXPECT_EQ(U32(b, pens[0].Offset + 12), 2u);
    EXPECT_EQ(U32(b, pens[0].Offset + 24), 0x112233u);
    EXPECT_EQ(U32(b, pens[1].Offset + 12), 5u);

    // The fill: a rectangle one unit larger, drawn with the null pen.
    auto rects = OfType(records, emrRectangle);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(I32(b, rects[0].Offset + 16), 501);
    EXPECT_EQ(I32(b, rects[0].Offset + 20), 451);
    auto brushes = OfType(records, emrCreateBrushIndirect);
    ASSERT_EQ(brushes.size(), 2u);
    EXPECT_EQ(U32(b, brushes[0].Offset + 12), 1u);  // clear
    EXPECT_EQ(U32(b, brushes[1].Offset + 16), 0x00FF00u);
}

// Every object the file creates is deleted again, never while it is
// selected, and only handles the header announces are used.
TEST(EmfWriter, ObjectsAreReleasedBeforeTheEnd) {
    TPageMetafile inner(100, 100);
    TFixedFontSource fonts;
    {
        TMetafileCanvas c(inner, fonts);
        c.Pen().Color = 0xFF0000;
        c.TextOut(0, 0, "in");
        c.MoveTo(0, 0);
        c.LineTo(100, 100);
    }
    TPageMetafile page(1000, 1000);
    {
        TMetafileCanvas c(page, fonts);
        for (int i = 0; i < 5; ++i) {
            c.Pen().Width = i + 1;
            c.Font().SetSize(8 + i);
            c.TextOut(0, 100 * i, "line");
            c.MoveTo(0, 100 * i);
            c.LineTo(500, 100 * i);
        }
        c.StretchDraw({500, 500, 700, 700}, inner);
        c.TextOut(10, 900, "after");
    }
    std::string b = EnhMetafileBytes(page);
    auto records = Walk(b);
    std::uint32_t handles = U32(b, 56) & 0xFFFF;
    std::set<std::uint32_t> live;
    std::map<int, std::uint32_t> selectedOfKind;  // by slot pair
    int depth = 0;
    for (const TRecord& r : records) {
        std::uint32_t h = r.Size >= 12 ? U32(b, r.Offset + 8) : 0;
        switch (r.Type) {
            case emrCreatePen:
            case emrCreateBrushIndirect:
            case emrExtCreateFontIndirectW:
                EXPECT_GT(h, 0u);
                EXPECT_LT(h, handles);
                EXPECT_TRUE(live.insert(h).second) << "handle " << h << " created twice";
                break;
            case emrSelectObject:
                EXPECT_TRUE(live.count(h) || (h & 0x80000000u)) << "selects unknown handle " << h;
                if (!(h & 0x80000000u)) selectedOfKind[(h - 1) / 2] = h;
                else selectedOfKind[h == 0x80000007u ? 0 : h == 0x80000000u ? 1 : 2] = 0;
                break;
            case emrDeleteObject:
                EXPECT_EQ(live.erase(h), 1u);
                EXPECT_NE(selectedOfKind[(h - 1) / 2], h) << "deletes a selected object";
                break;
            case emrSaveDC: ++depth; break;
            case emrRestoreDC: --depth; break;
            default: break;
        }
    }
    EXPECT_TRUE(live.empty());
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(OfType(records, emrIntersectClipRect).size(), 1u);
    // The picture's line lands in place, scaled.
    auto lines = OfType(records, emrLineTo);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(I32(b, lines[5].Offset + 8), 700);
    // After the picture the state is set up again for the next text.
    auto colors = OfType(records, emrSetTextColor);
    EXPECT_GE(colors.size(), 2u);
}

TEST(EmfWriter, SavesToAFile) {
    TPageMetafile page(2480, 3508);
    TFixedFontSource fonts;
    TMetafileCanvas(page, fonts).TextOut(100, 100, "saved");
    auto path = std::filesystem::temp_directory_path() / ("mivo_emf_" + std::to_string(::getpid()) + ".emf");
    SaveEnhMetafile(page, path.string(), &fonts);
    std::string b = ReadFile(path.string());
    std::filesystem::remove(path);
    Walk(b);
    EXPECT_EQ(b, EnhMetafileBytes(page, &fonts));
    EXPECT_THROW(SaveEnhMetafile(page, "/nonexistent-folder/x.emf"), EFileError);
}

}  // namespace
}  // namespace mivo
