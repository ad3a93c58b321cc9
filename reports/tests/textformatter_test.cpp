// Text pages, the plain-text formatter and the tab-delimited formatter.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <limits>
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
        // Control characters are written as blanks.
        {{0, 0, 6, 0}, "a\tb\r\nc\f", {"a b  c    "}},
        // A rectangle taller than a row: the top row is written and padded.
        {{0, 0, 11, 2}, "abcdefghijk", {"abcdefghijk ", "          ", "          "}},
    };
    for (const Case& c : cases) {
        TTextPage page(10);
        page.WriteAt(c.rect, c.text);
        EXPECT_EQ(RowsOf(page), c.expected) << c.text;
    }
}

TEST(TextPage, RowsFarAboveTheLastOneWrittenAreKeptAsTextAndWrittenAgain) {
    // A long page keeps its rows far above the last one written as UTF-8;
    // such a row written again, one with wide characters and one with a
    // combining mark give the same rows as cells would, trimmed the same.
    TTextPage page(10);
    page.WriteAt(TRect{0, 0, 9, 0}, "top \u2502 row");
    page.WriteAt(TRect{2, 1, 9, 1}, "\u6F22\u5B57");
    page.WriteAt(TRect{0, 2, 9, 2}, "e\u0301 mark");
    page.WriteAt(TRect{0, 3, 9, 3}, "tab\there");
    for (int r = 4; r < 5000; ++r) page.WriteAt(TRect{0, r, 9, r}, "row " + std::to_string(r));
    EXPECT_EQ(page.Row(0), "top \u2502 row ");
    EXPECT_EQ(page.Row(10), "row 10    ");
    page.WriteAt(TRect{4, 0, 9, 0}, "again");
    page.WriteAt(TRect{0, 10, 0, 10}, "R");
    page.EnsureRect(TRect{0, 11, 14, 11});
    page.TrimLines();
    EXPECT_EQ(page.RowCount(), 5000);
    EXPECT_EQ(page.Row(0), "top again");
    EXPECT_EQ(page.Row(1), "  \u6F22\u5B57");
    EXPECT_EQ(page.Row(2), "e\u0301 mark");
    EXPECT_EQ(page.Row(3), "tab here");
    EXPECT_EQ(page.Row(10), "Row 10");
    EXPECT_EQ(page.Row(11), "row 11");
    EXPECT_EQ(page.Row(4999), "row 4999");
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
    // Values that are not numbers or infinite are range errors in every
    // kind that converts.
    for (std::uint8_t kind = 0; kind <= 9; ++kind) {
        if (kind == mkNatural) continue;
        for (float v : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                        -std::numeric_limits<float>::infinity()})
            EXPECT_THROW(f.MeasureToDevice(MakeMeasure(kind, v)), ERangeError) << int(kind) << " " << v;
    }
    // A proportional factor that is not a number cannot size a box.
    TRptText* nan = r.report.AddText("abc");
    nan->SetWidthMeasure(MakeMeasure(mkNatural, std::numeric_limits<float>::quiet_NaN()));
    EXPECT_THROW(nan->CreateNaturalBox(), ERangeError);
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
        // A level takes at least one cell.
        {1, 0, " \u2502\u251Cx"},
        {1, -3, " \u2502\u251Cx"},
    };
    for (const Case& c : cases) {
        TReport report;
        TRptLine* line = report.NewLine();
        line->AddTree("-\u2502\u251C");
        line->AddText("x");
        EXPECT_EQ(RunText(report, {20, 0}, c.style, c.cells), std::string(c.expected) + "\n") << c.style;
    }
    // A style outside 0..5 is a range error, not a read past the glyphs.
    TReport report;
    report.NewLine()->AddTree("\u251C");
    EXPECT_THROW(RunText(report, {20, 0}, 6), ERangeError);
    EXPECT_EQ(report.GetFormatter(), nullptr);
}

TEST(TextFormatter, TallBoxWritesItsTopRowAtNaturalWidth) {
    // At natural widths the rows start empty; the row a box writes is the
    // one padded for it, not the row of its bottom edge.
    TReport report;
    TRptDraw* draw = report.NewLine()->AddDraw([](TDrawSurface&, const TRect&, const TParam*) {}, nullptr);
    draw->SetWidthMeasure(MakeMeasure(mkDevice, 9.0f));
    draw->SetHeightMeasure(MakeMeasure(mkDevice, 3.0f));
    report.NewLine()->AddText("x");
    EXPECT_EQ(RunText(report, {0, 0}), "*Graphic*\n\n\nx\n");
}

TEST(TextFormatter, ControlCharactersInTextsAreBlanks) {
    // A text with line breaks and tabs keeps its row in .txt and its field
    // in .tab output; outside a paragraph a line break shows as one blank.
    struct Case {
        const char* text;
        const char* plain;
        const char* tabbed;
    } cases[] = {
        {"two\r\nlines", "two lines   |\n", "two lines\t|\n"},
        {"two\rlines\n", "two lines   |\n", "two lines\t|\n"},
        {"a\tb", "a b         |\n", "a b\t|\n"},
        // A text of one break shows one blank, which alone in column 0 is
        // a blank line to tab output.
        {"\n", "            |\n", "|\n"},
        {"page\fbreak", "page break  |\n", "page break\t|\n"},
    };
    for (const Case& c : cases) {
        TReport report;
        TRptTable* table = report.NewTable("t");
        table->Separator = "";
        table->AddField("")->SetWidthMeasure(MakeMeasure(mkDevice, 12.0f));
        table->AddField("");
        TRptRow* row = table->NewRow();
        row->NewCell()->AddText(c.text);
        row->NewCell()->AddText("|");
        EXPECT_EQ(RunText(report, {0, 0}), c.plain) << c.text;
        EXPECT_EQ(RunData(report), c.tabbed) << c.text;
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

TEST(DataFormatter, TextsJoinTheRowOfTheirTopEdge) {
    // The first cell is three lines tall and is drawn first; the second
    // cell's text still belongs to the row's first line.
    TReport report;
    TRptTable* table = ThreeColumns(report);
    TRptRow* row = table->NewRow();
    TRptCell* tall = row->NewCell();
    for (const char* t : {"a1", "a2", "a3"}) tall->NewLine()->AddText(t);
    row->NewCell()->AddText("b");
    TRptCell* third = row->NewCell();
    third->NewLine()->AddText("c1");
    third->NewLine()->AddText("c2");
    report.NewLine()->AddText("after");
    EXPECT_EQ(RunData(report), "a1\tb\tc1\na2\tc2\na3\nafter\n");
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

// --- writing files ------------------------------------------------------------------

class SaveToFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = ::testing::TempDir() + "report_save_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir_)) names.push_back(e.path().filename().string());
        return names;
    }

    std::string dir_;
};

TEST_F(SaveToFile, ReplacesTheFileWithTheText) {
    TReport report;
    BuildSample(report);
    const std::string file = Path("report.txt");
    WriteFileAtomic(file, "previous contents, longer than nothing\n");
    TTextFormatter text(report, {0, 0}, {60, 18});
    text.Run();
    text.SaveToFile(file);
    EXPECT_EQ(ReadFile(file), ReadFixture("sample_report.txt"));
    TDataFormatter data(report, {0, 0}, {0, 0});
    data.Run();
    data.SaveToFile(Path("report.tab"));
    EXPECT_EQ(ReadFile(Path("report.tab")), ReadFixture("sample_report.tab"));

    // Several reports into one file, as the caller separates them.
    {
        TSafeFileWriter writer(Path("both.txt"));
        text.WriteToFile(writer);
        writer.Write("\f");
        text.WriteToFile(writer);
        writer.Commit();
    }
    EXPECT_EQ(ReadFile(Path("both.txt")), text.ToText() + "\f" + text.ToText());
}

TEST_F(SaveToFile, FailedWriteKeepsThePreviousFile) {
    TReport report;
    for (int i = 0; i < 2000; ++i) report.NewLine()->AddText("row " + std::to_string(i) + " of a long report");
    TTextFormatter f(report, {0, 0}, {80, 60});
    f.Run();
    const std::string file = Path("report.txt");
    const std::string previous = "the previous report\n";
    WriteFileAtomic(file, previous);

    // A folder that does not exist.
    EXPECT_THROW(f.SaveToFile(Path("missing/report.txt")), EFileError);

    // A write that fails part-way (the file size limit is below the
    // report's size): the previous file stays byte for byte.
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        int code = 1;
        try {
            f.SaveToFile(file);
        } catch (const EFileError&) {
            code = 0;
        } catch (...) {
            code = 2;
        }
        ::_exit(code);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: no error, 2: wrong error class";
    EXPECT_EQ(ReadFile(file), previous);
    EXPECT_EQ(Files(), std::vector<std::string>{"report.txt"});
}

}  // namespace
}  // namespace mivo
