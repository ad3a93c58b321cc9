// Measures, points, placement, text helpers, tree glyphs, gradient fill,
// UTF-8 characters and date formatting.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "model/RunTime.h"
#include "reports/DateTime.h"
#include "reports/Graphics.h"
#include "reports/Measures.h"
#include "reports/Utf8Text.h"

namespace mivo {
namespace {

TEST(Measures, StandardMeasures) {
    EXPECT_EQ(NaturalSize, MakeMeasure(mkNatural, 1.0f));
    EXPECT_EQ(OneLine, MakeMeasure(mkLines, 1.0f));
    EXPECT_EQ(OneDeviceUnit, MakeMeasure(mkDevice, 1.0f));
    TMeasurePair pair = MakeMeasurePair(NaturalSize, OneLine);
    EXPECT_EQ(pair.Width, NaturalSize);
    EXPECT_EQ(pair.Height, OneLine);
}

TEST(Measures, RoundsHalvesToEvenAndChecksRange) {
    struct Case {
        double value;
        std::int32_t expected;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
                 {2.4, 2}, {2.6, 3}, {-2.6, -3}, {2147483647.0, 2147483647}};
    for (const Case& c : cases) EXPECT_EQ(RoundToInt32(c.value), c.expected) << c.value;
    EXPECT_THROW(RoundToInt32(2147483648.0), ERangeError);
    EXPECT_THROW(RoundToInt32(-3e9), ERangeError);
    EXPECT_THROW(RoundToInt32(std::nan("")), ERangeError);
    EXPECT_THROW(RoundToInt32(std::numeric_limits<double>::infinity()), ERangeError);
}

TEST(Measures, PointsAddWithOverflowCheck) {
    EXPECT_EQ(AddPoints(MakePoint(1, 2), MakePoint(10, 20)), MakePoint(11, 22));
    EXPECT_THROW(AddPoints(MakePoint(std::numeric_limits<std::int32_t>::max(), 0), MakePoint(1, 0)), EIntOverflow);
    EXPECT_EQ(OtherAxis(HorzAxis), VertAxis);
    EXPECT_EQ(OtherAxis(VertAxis), HorzAxis);
    TPoint p = MakePoint(3, 4);
    EXPECT_EQ(p[HorzAxis], 3);
    EXPECT_EQ(p[VertAxis], 4);
}

TEST(Measures, NewAlignedIsStartPlacedAndStartAligned) {
    TAligned a;
    EXPECT_EQ(a.HorzPlacement, plStart);
    EXPECT_EQ(a.GetVertPlacement(), plStart);
    EXPECT_EQ(a.HorzAlign, alStart);
    EXPECT_EQ(a.GetVertAlign(), alStart);
    a.SetVertPlacement(plStretch);
    a.SetHorzAlign(alEnd);
    EXPECT_EQ(a.Placement(VertAxis), plStretch);
    EXPECT_EQ(a.Alignment(HorzAxis), alEnd);
}

TEST(Measures, ParamAssignCopiesTheValue) {
    TParam a(7), b(0);
    b.Assign(a);
    EXPECT_EQ(b.Value, 7);
}

TEST(Measures, CopyTail) {
    struct Case {
        const char* text;
        std::int32_t from, count;
        const char* expected;
    } cases[] = {
        {"abcdef", 3, 2, "cd"},   {"abcdef", 3, -1, "cdef"}, {"abcdef", 1, -1, "abcdef"},
        {"abcdef", 0, -1, "abcdef"}, {"abcdef", 3, 0, ""},   {"abcdef", 5, 10, "ef"},
        {"abcdef", 9, 2, ""},     {"abcdef", 9, -1, ""},     {"", 1, -1, ""},
        // Positions below 1 start at the first character.
        {"abcdef", 0, 2, "ab"},   {"abcdef", -7, 3, "abc"},
        {"abcdef", std::numeric_limits<std::int32_t>::min(), 2, "ab"},
        {"abcdef", std::numeric_limits<std::int32_t>::min(), -1, "abcdef"},
        {"abcdef", std::numeric_limits<std::int32_t>::max(), 2, ""},
        // Positions count characters, not bytes.
        {"\xC3\xA4" "b\xE2\x94\x80" "d", 2, 2, "b\xE2\x94\x80"},
        {"\xC3\xA4" "bcd", 2, -1, "bcd"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CopyTail(c.text, c.from, c.count), c.expected) << c.text << " " << c.from << " " << c.count;
}

TEST(Graphics, TreeGlyphs) {
    struct Case {
        int style;
        char32_t ch;
        const char* glyph;
    } cases[] = {
        {1, U'A', " "},
        {2, TreeKeyTee, "+"},
        {4, TreeKeyBlank, "."},
        {1, TreeKeyVertical, "\u2502"},
        {1, TreeKeyTee, "\u251C"},
        {1, TreeKeyCorner, "\u2514"},
        {1, TreeKeyHorizontal, "\u2500"},
        {1, TreeKeyBlank, " "},
        {0, TreeKeyTee, " "},
        {2, TreeKeyHorizontal, "-"},
        {3, TreeKeyVertical, "."},
        {3, TreeKeyHorizontal, " "},
        {5, TreeKeyBlank, "|"},
        {5, TreeKeyHorizontal, " "},
    };
    for (const Case& c : cases) EXPECT_EQ(TreeGlyph(c.style, c.ch), c.glyph) << c.style << " " << int(c.ch);
    EXPECT_THROW(TreeGlyph(6, TreeKeyTee), ERangeError);
    EXPECT_THROW(TreeGlyph(-1, TreeKeyTee), ERangeError);
}

class RecordingSurface : public TDrawSurface {
public:
    void SetBrushColor(TColor color) override { brush = color; }
    void FillRect(const TRect& rect) override { fills.push_back({brush, rect}); }

    struct Fill {
        TColor color;
        TRect rect;
    };
    TColor brush = 0;
    std::vector<Fill> fills;
};

TEST(Graphics, GradientFillStrips) {
    const TColor red = 0x0000FF, blue = 0xFF0000;
    {
        RecordingSurface s;
        GradientFill(s, TRect{0, 10, 50, 11}, red, true, blue);
        EXPECT_TRUE(s.fills.empty());
    }
    {
        RecordingSurface s;
        GradientFill(s, TRect{0, 10, 50, 12}, red, true, blue);
        ASSERT_EQ(s.fills.size(), 2u);
        EXPECT_EQ(s.fills[0].color, red);
        EXPECT_EQ(s.fills[0].rect, (TRect{0, 10, 50, 11}));
        EXPECT_EQ(s.fills[1].color, blue);
        EXPECT_EQ(s.fills[1].rect, (TRect{0, 11, 50, 12}));
    }
    {
        // Horizontal, n = 2: the middle strip mixes both colours evenly.
        RecordingSurface s;
        GradientFill(s, TRect{5, 0, 8, 9}, 0x000000, false, 0x6432C8);
        ASSERT_EQ(s.fills.size(), 3u);
        EXPECT_EQ(s.fills[0].color, 0x000000u);
        EXPECT_EQ(s.fills[1].color, 0x321964u);
        EXPECT_EQ(s.fills[2].color, 0x6432C8u);
        EXPECT_EQ(s.fills[1].rect, (TRect{6, 0, 7, 9}));
    }
    {
        // Edges further apart than 32 bits reach: the strips still come,
        // with colours mixed in 64 bits (the surface stops after three).
        struct Enough {};
        struct StoppingSurface : RecordingSurface {
            void FillRect(const TRect& rect) override {
                RecordingSurface::FillRect(rect);
                if (fills.size() == 3) throw Enough{};
            }
        } s;
        const std::int32_t top = -std::numeric_limits<std::int32_t>::max();
        EXPECT_THROW(GradientFill(s, TRect{0, top, 1, std::numeric_limits<std::int32_t>::max()}, red, true, blue),
                     Enough);
        ASSERT_EQ(s.fills.size(), 3u);
        EXPECT_EQ(s.fills[0].color, red);
        EXPECT_EQ(s.fills[0].rect, (TRect{0, top, 1, top + 1}));
        EXPECT_EQ(s.fills[1].color, 0x0000FEu);
        EXPECT_EQ(s.fills[2].rect, (TRect{0, top + 2, 1, top + 3}));
    }
    RecordingSurface s;
    EXPECT_THROW(GradientFill(s, TRect{0, 0, 10, 10}, 0x80000005, true, 0), ERangeError);
}

TEST(Utf8Text, CountsCharactersAndKeepsInvalidBytes) {
    const std::string text = "a\xC3\xA4\xE2\x94\x80\xF0\x9F\x98\x80";
    EXPECT_EQ(CodePointCount(text), 4u);
    EXPECT_EQ(DecodeCodePoints(text).size(), 4u);
    EXPECT_EQ(EncodeCodePoints(DecodeCodePoints(text)), text);
    // Stray, truncated, overlong and out-of-range bytes are characters of
    // their own and survive the round trip; counting and decoding agree.
    for (const std::string bad : {"x\xFF\xC3\xC0\x80\xE2\x94", "\xE0\x80\x80", "\xF4\x90\x80\x80"}) {
        EXPECT_EQ(CodePointCount(bad), bad.size());
        EXPECT_EQ(DecodeCodePoints(bad).size(), bad.size());
        EXPECT_EQ(EncodeCodePoints(DecodeCodePoints(bad)), bad);
    }
    EXPECT_EQ(CodePointOffset(text, 2), 3u);
    EXPECT_EQ(CodePointOffset(text, 9), text.size());
    EXPECT_EQ(CodePointSize(text, 3), 3u);
    EXPECT_EQ(CodePointSize(text, text.size()), 0u);
}

TEST(DateTime, FormatPictures) {
    const TDateTime t{2024, 3, 5, 14, 7, 9, 45};  // a Tuesday
    const TDateFormats& f = LocaleDateFormats();
    struct Case {
        const char* format;
        const char* expected;
    } cases[] = {
        {"dd.mm.yyyy", "05.03.2024"},
        {"DD.MM.YYYY", "05.03.2024"},
        {"d/m/yy", "5/3/24"},
        {"hh:nn:ss", "14:07:09"},
        {"HH:MM", "14:07"},
        {"h:nn AM/PM", "2:07 PM"},
        {"dddd d mmmm", "Tuesday 5 March"},
        {"ddd mmm", "Tue Mar"},
        {"\"Day\" d", "Day 5"},
        {"zzz", "045"},
        {"ddddd", "2024-03-05"},
        {"t", "14:07"},
        {"c", "2024-03-05 14:07:09"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatDateTime(c.format, t, f), c.expected) << c.format;
    EXPECT_EQ(TimeToStr(t, f), "14:07:09");
}

TEST(DateTime, SelfReferringLocaleFormatEnds) {
    TDateFormats f = LocaleDateFormats();
    f.ShortDate = "ddddd";
    EXPECT_EQ(FormatDateTime("ddddd", TDateTime{}, f), "");
}

}  // namespace
}  // namespace mivo
