// Text pages, the plain-text formatter and the tab-delimited formatter.
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "reports/tests/ReportTestKit.h"

namespace mivo {
namespace {

using testing::AttachedReport;
using testing::Lines;

std::vector<std::string> RowsOf(const TTextPage& page) {
    std::vector<std::string> rows;
    for (int r = 0; r < page.RowCount(); ++r) rows.push_back(page.Row(r));
    return rows;
}

using Rows = std::vector<std::string>;

TEST(TextPage, WriteAt) {
    struct Case {
        TRect rect;
        const char* text;
        Rows expected;
    } cases[] = {
        // Beyond both the page width and the rectangle: dropped.
        {{2, 0, 4, 0}, "abcdefghijklmnop", {"  abcdefgh"}},
        // Inside the rectangle: always written, the row grows.
        {{8, 0, 13, 0}, "abcdef", {"        abcdef"}},
        {{-2, 0, 3, 0}, "abcdef", {"cdef      "}},
        {{0, 2, 2, 2}, "xyz", {"          ", "          ", "xyz       "}},
        {{0, -1, 2, -1}, "xyz", {}},
        {{0, 3, 2, 2}, "xyz", {}},
        {{0, 0, 2, 0}, "", {}},
        {{0, 0, 3, 0}, "\xC3\xA4\xE2\x94\x80z", {"\xC3\xA4\xE2\x94\x80z       "}},
    };
    for (const Case& c : cases) {
        TTextPage page(10);
        page.WriteAt(c.rect, c.text);
        EXPECT_EQ(RowsOf(page), c.expected) << c.text;
    }
}

TEST(TextPage, WriteClippedAndTrim) {
    TTextPage page(10);
    page.WriteClipped({0, 0, 7, 0}, {3, 0, 5, 0}, "abcdefgh");
    // A row outside the clip's rows is written unclipped.
    page.WriteClipped({0, 1, 7, 1}, {3, 0, 5, 0}, "abcdefgh");
    EXPECT_EQ(RowsOf(page), (Rows{"   def    ", "abcdefgh  "}));
    page.AppendText("\t\x01 ");
    page.TrimLines();
    EXPECT_EQ(RowsOf(page), (Rows{"   def", "abcdefgh"}));
    TTextPage narrow(-5);
    EXPECT_EQ(narrow.Width(), 0);
    narrow.EnsureRow({0, 1, 0, 1});
    EXPECT_EQ(RowsOf(narrow), (Rows{"", ""}));
    narrow.EnsureRect({0, 1, 2, 1});
    EXPECT_EQ(RowsOf(narrow), (Rows{"", "   "}));
}

TEST(TextFormatter, MeasuresInCharacters) {
    AttachedReport r;
    TTextFormatter& f = r.formatter;
    struct Case {
        TMeasure m;
        std::int32_t expected;
    } cases[] = {
        {MakeMeasure(mkDevice, 2.5f), 2},       {MakeMeasure(mkNatural, 3.0f), -1},
        {MakeMeasure(mkLines, 3.0f), 3},        {MakeMeasure(mkMillimetres, 25.4f), 10},
        {MakeMeasure(mkMillimetres, 20.0f), 8}, {MakeMeasure(mkInches, 1.5f), 15},
        {MakeMeasure(mkDeviceUnits, 4.0f), 4},  {MakeMeasure(mkPoints, 72.27f), 10},
        {MakeMeasure(mkDigits, 7.0f), 7},       {MakeMeasure(mkEms, 1.0f), 1},
    };
    for (const Case& c : cases) EXPECT_EQ(f.MeasureToDevice(c.m), c.expected) << int(c.m.Kind);
    EXPECT_THROW(f.MeasureToDevice(MakeMeasure(mkInches, 3e8f)), ERangeError);
    EXPECT_EQ(f.TextWidth("h\xC3\xA9llo"), 5);
    EXPECT_EQ(f.TextHeight("anything"), 1);
    EXPECT_EQ(f.TreeWidth("-\u251C"), 4);
    f.SetCellsPerTreeLevel(3);
    EXPECT_EQ(f.TreeWidth("-\u251C"), 6);
}

std::string RunText(TReport& report, TPoint size, int treeStyle = 1, int cells = 2) {
    TTextFormatter f(report, {0, 0}, size);
    f.SetTreeStyle(static_cast<std::uint8_t>(treeStyle));
    f.SetCellsPerTreeLevel(cells);
    f.Run();
    return f.ToText();
}

std::string RunData(TReport& report, std::int32_t height = 0) {
    TDataFormatter f(report, {0, 0}, {0, height});
    f.Run();
    return f.ToText();
}

TEST(TextFormatter, TwoPagesWithOneFormFeedAndNoTrailingBlanks) {
    TReport report;
    TRptLine* header = report.Header().NewLine();
    header->AddText("Left");
    header->AddFill();
    header->AddText("Right ");
    for (int i = 1; i <= 100; ++i) {
        TRptLine* line = report.NewLine();
        line->AddText("line " + std::to_string(i) + "   ");
        line->AddFill();
    }
    std::string text = RunText(report, {80, 60});
    EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 1);
    std::string first = text.substr(0, text.find('\f'));
    std::string second = text.substr(text.find('\f') + 1);
    EXPECT_EQ(Lines(first).size(), 60u);
    EXPECT_LE(Lines(second).size(), 60u);
    EXPECT_EQ(Lines(first)[0], "Left" + std::string(70, ' ') + "Right");
    EXPECT_EQ(Lines(second)[1], "line 60");
    for (const std::string& row : Lines(text)) {
        ASSERT_FALSE(row.empty() ? false : row.back() == ' ') << row;
    }
}

TEST(TextFormatter, OriginGivesMarginsOnce) {
    TReport report;
    for (const char* t : {"a", "b", "c"}) report.NewLine()->AddText(t);
    TTextFormatter f(report, {3, 2}, {10, 2});
    f.Run();
    EXPECT_EQ(f.GetPage(1).Width(), 13);
    EXPECT_EQ(f.ToText(), "\n\n   a\n   b\n\f\n\n   c\n");
}

TEST(TextFormatter, RulesBetweenMarkers) {
    struct Case {
        std::int32_t count;
        const char* expected;
    } cases[] = {{1, "ab\u2500\u2500\u2500\u2500\u2500\u2500cd"}, {2, "ab\u2550\u2550\u2550\u2550\u2550\u2550cd"}};
    for (const Case& c : cases) {
        TReport report;
        TRptLine* line = report.NewLine();
        line->BeginLiner(2)->RuleCount = c.count;
        line->AddText("ab");
        line->AddFill();
        line->AddText("cd");
        line->EndLiner();
        EXPECT_EQ(RunText(report, {10, 0}), std::string(c.expected) + "\n");
    }
    // Markers on different rows draw nothing.
    AttachedReport r;
    r.formatter.BeginFormatting();
    r.formatter.NewPage();
    r.formatter.DrawRules({0, 0, -1, 0}, {5, 1, 4, 1}, 1);
    r.formatter.DrawRules({6, 0, 5, 0}, {3, 0, 2, 0}, 1);
    EXPECT_EQ(r.formatter.CurrentPage()->RowCount(), 0);
    r.formatter.DrawRules({1, 0, 0, 0}, {4, 0, 3, 0}, 0);
    EXPECT_EQ(r.formatter.CurrentPage()->Row(0), " \u2500\u2500\u2500" + std::string(76, ' '));
}

TEST(TextFormatter, GraphicPlaceholderIsCutAtTheBox) {
    struct Case {
        float width;
        const char* expected;
    } cases[] = {{12.0f, "*Graphic*\n"}, {9.0f, "*Graphic*\n"}, {5.0f, "*Grap\n"}};
    for (const Case& c : cases) {
        TReport report;
        TRptDraw* draw = report.NewLine()->AddDraw([](TDrawSurface&, const TRect&, const TParam*) {}, nullptr);
        draw->SetWidthMeasure(MakeMeasure(mkDevice, c.width));
        EXPECT_EQ(RunText(report, {20, 0}), c.expected) << c.width;
    }
    TReport report;
    report.NewLine()->AddDraw(nullptr, nullptr)->SetWidthMeasure(MakeMeasure(mkDevice, 12.0f));
    report.NewLine()->AddText("x");
    EXPECT_EQ(RunText(report, {20, 0}), "\nx\n");
}

TEST(TextFormatter, TreeGlyphsPerStyleAndCells) {
    struct Case {
        int style, cells;
        const char* expected;
    } cases[] = {
        {1, 2, "  \u2502 \u251C\u2500x"},
        {1, 1, " \u2502\u251Cx"},
        {2, 3, "   |  +--x"},
        {4, 2, ". . . x"},
        {0, 2, "      x"},
    };
    for (const Case& c : cases) {
        TReport report;
        TRptLine* line = report.NewLine();
        line->AddTree("-\u2502\u251C");
        line->AddText("x");
        EXPECT_EQ(RunText(report, {20, 0}, c.style, c.cells), std::string(c.expected) + "\n") << c.style;
    }
}

TEST(TextFormatter, ClippedTextStaysInItsBox) {
    TReport report;
    TRptLine* line = report.NewLine();
    TRptText* t = line->AddText("abcdefgh");
    t->Clip = true;
    t->SetWidthMeasure(MakeMeasure(mkDevice, 4.0f));
    t->HorzAlign = alEnd;  // the content starts left of the box: its end shows
    line->AddText("|");
    EXPECT_EQ(RunText(report, {20, 0}), "efgh|\n");
}

// --- tab-delimited ---------------------------------------------------------------

// A table whose columns start at 0, 12 and 30.
TRptTable* ThreeColumns(TReport& report) {
    TRptTable* table = report.NewTable("t");
    for (float w : {10.0f, 16.0f, 8.0f}) table->AddField("")->SetWidthMeasure(MakeMeasure(mkDevice, w));
    return table;
}

TEST(DataFormatter, CellsBecomeTabSeparatedFields) {
    TReport report;
    TRptTable* table = ThreeColumns(report);
    TRptRow* row = table->NewRow();
    for (const char* t : {"one", "two", "three"}) row->NewCell()->AddText(t);
    TRptRow* trailing = table->NewRow();
    for (const char* t : {"a", "", ""}) trailing->NewCell()->AddText(t);
    TRptLine* joined = report.NewLine();
    joined->AddText("ab");
    joined->AddText("cd");
    EXPECT_EQ(RunData(report), "one\ttwo\tthree\na\nabcd\n");
    TDataFormatter f(report, {0, 0}, {0, 0});
    f.Run();
    EXPECT_EQ(f.GetPage(1).Width(), 0);
}

TEST(DataFormatter, BlankLines) {
    struct Case {
        int blanks;
        const char* expected;
    } cases[] = {{1, "p1\n\np2\n"}, {2, "p1\n\n\np2\n"}, {3, "p1\n\n\n\np2\n"}};
    for (const Case& c : cases) {
        TReport report;
        report.NewParagraph()->AddText("p1");
        for (int i = 0; i < c.blanks; ++i) report.NewBlankLine();
        report.NewParagraph()->AddText("p2");
        EXPECT_EQ(RunData(report), c.expected) << c.blanks;
    }
    // A blank line at the end leaves no row behind.
    TReport report;
    report.NewLine()->AddText("x");
    report.NewBlankLine();
    EXPECT_EQ(RunData(report), "x\n");
}

TEST(DataFormatter, TreesRulesAndGraphics) {
    TReport report;
    TRptLine* line = report.NewLine();
    line->BeginLiner(2);
    line->AddTree("-\u251C");
    line->AddText("name");
    line->AddDraw([](TDrawSurface&, const TRect&, const TParam*) {}, nullptr)->SetWidthMeasure(MakeMeasure(mkDevice, 9.0f));
    line->EndLiner();
    EXPECT_EQ(RunData(report), "  name*Graphic*\n");
}

TEST(DataFormatter, EveryPageStartsItsRowsAfresh) {
    TReport report;
    TRptTable* table = ThreeColumns(report);
    table->PageBreakMode = pbFlow;
    TRptRow* full = table->NewRow();
    for (const char* t : {"a", "b", "c"}) full->NewCell()->AddText(t);
    TRptRow* sparse = table->NewRow();
    sparse->NewCell();
    sparse->NewCell()->AddText("x");
    EXPECT_EQ(RunData(report, 0), "a\tb\tc\nx\n");
    EXPECT_EQ(RunData(report, 1), "a\tb\tc\n\fx\n");
}

// --- sample reports against stored text ----------------------------------------

std::string ReadFixture(const std::string& name) {
    std::ifstream in(std::string(MIVO_SOURCE_DIR) + "/reports/tests/data/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A small model report as the builders make it: a header line with the
// product name, a text and the page number over a rule; sections with a
// bold heading, a tree table with a ruled heading row and a paragraph.
void BuildSample(TReport& report) {
    TFont font;
    font.Size = 10;
    report.SetFont(font);
    report.SetTitle("Car");
    TRptLine* header = report.Header().NewLine();
    header->BeginLiner(2);
    TRptText* product = header->AddText("Mivo");
    product->SetFontSize(fcAdd, 2);
    product->SetBold(true);
    product->SetVertAlign(alEnd);
    header->AddFill();
    header->AddText("car.mvo");
    header->AddFill();
    header->AddText("Page ");
    header->AddMacro("PAGE")->SetFontSize(fcAdd, 2);
    header->EndLiner();
    report.Header().VerticalSpace(0.5f);

    const char* names[] = {"CAR", "PRICE", "BUY.PRICE", "MAINT.PRICE", "TECH.CHAR.", "COMFORT", "SAFETY"};
    const char* prefixes[] = {"", "\u251C", "\u2502\u251C", "\u2502\u2514", "\u2514", "-\u251C", "-\u2514"};
    for (const char* title : {"Attribute tree", "Scales"}) {
        TRptSection* section = report.NewSection(title);
        TRptText* heading = section->NewLine()->AddText(title);
        heading->SetBold(true);
        heading->SetFontSize(fcAdd, 1);
        section->VerticalSpace(0.5f);
        TRptTable* table = section->NewTable(title);
        table->PageBreakMode = pbFlow;
        table->AddField(" ");
        table->AddField(" ");
        TRptRow* headingRow = table->NewRow();
        headingRow->SetBold(true);
        headingRow->BeginLiner(2);
        headingRow->NewCell()->AddText("Attribute");
        headingRow->NewCell()->AddText(title == std::string("Scales") ? "Scale" : "Description");
        headingRow->EndLiner();
        table->VerticalSpace(0.1f);
        for (int i = 0; i < 7; ++i) {
            TRptRow* row = table->NewRow();
            TRptLine* nameLine = row->NewCell()->NewLine();
            nameLine->AddTree(prefixes[i]);
            nameLine->AddText(names[i])->SetFontStyle(fcAdd, i == 0 || i == 1 || i == 4 ? fsBold : 0);
            TRptLine* value = row->NewCell()->NewLine();
            if (title == std::string("Scales")) {
                value->AddText("low");
                value->AddText("; ");
                value->AddText("medium");
                value->AddText("; ");
                value->AddText("high");
            } else {
                value->AddText(std::string("Description of ") + names[i]);
            }
        }
        section->NewBlankLine();
        section->NewParagraph()->AddText(
            "Every attribute above takes one of its scale values; the values of the aggregate attributes "
            "follow from those of their inputs through decision rules.");
        section->NewBlankLine();
    }
}

TEST(SampleReport, PlainText) {
    TReport report;
    BuildSample(report);
    EXPECT_EQ(RunText(report, {60, 18}), ReadFixture("sample_report.txt"));
}

TEST(SampleReport, TabDelimited) {
    TReport report;
    BuildSample(report);
    EXPECT_EQ(RunData(report), ReadFixture("sample_report.tab"));
}

TEST(SampleReport, WriteToFileMatchesToText) {
    TReport report;
    BuildSample(report);
    TTextFormatter f(report, {0, 0}, {60, 18});
    f.Run();
    std::ostringstream out;
    f.WriteToFile(out);
    EXPECT_EQ(out.str(), f.ToText());
    EXPECT_EQ(f.PageCount(), 2);
}

}  // namespace
}  // namespace mivo
