// Layout boxes (stretching, alignment, placement, proportional sizes),
// word-wrapped paragraphs and table columns, measured by the text
// formatter (one character per device unit).
#include <functional>
#include <typeinfo>

#include <gtest/gtest.h>

#include "reports/Utf8Text.h"
#include "reports/tests/ReportTestKit.h"

namespace mivo {
namespace {

using testing::AttachedReport;
using testing::ChildTexts;
using testing::LinesOf;

// A horizontal group box over `line` whose children are plain boxes of the
// given widths; a negative width marks a stretchable child of width -w - 1.
std::unique_ptr<THorizontalBox> MakeRow(TRptLine& line, std::int32_t width, std::vector<std::int32_t> widths) {
    auto group = std::make_unique<THorizontalBox>(&line);
    for (std::int32_t w : widths) {
        auto child = std::make_unique<TBox>(line.AddFill());
        child->HorzPlacement = w < 0 ? plStretch : plStart;
        child->SetSize(MakePoint(w < 0 ? -w - 1 : w, 1));
        group->Add(std::move(child));
    }
    group->SetSize(MakePoint(width, 1));
    group->Measure();
    return group;
}

std::vector<std::int32_t> Widths(const TBoxGroup& group) {
    std::vector<std::int32_t> out;
    for (int i = 0; i < group.Count(); ++i) out.push_back(group.GetItem(i)->Width());
    return out;
}

TEST(Boxes, StretchSharesFreeSpace) {
    struct Case {
        std::int32_t width;
        int pick;  // what the random source answers
        std::vector<std::int32_t> expected;
    } cases[] = {
        // Natural 60, free 40: 20 each.
        {100, 0, {10, 20, 20, 30, 20}},
        // Free 41: 20 each and the leftover unit to the child picked.
        {101, 0, {10, 21, 20, 30, 20}},
        {101, 1, {10, 20, 20, 30, 21}},
    };
    for (const Case& c : cases) {
        AttachedReport r;
        r.formatter.SetRandomSource([&](int n) {
            EXPECT_EQ(n, 2);
            return c.pick;
        });
        TRptLine* line = r.report.NewLine();
        auto group = MakeRow(*line, c.width, {10, -1, 20, 30, -1});  // two stretchable of width 0
        group->Stretch();
        EXPECT_EQ(Widths(*group), c.expected) << c.width << " " << c.pick;
    }
}

TEST(Boxes, NegativeRemainderIsDropped) {
    AttachedReport r;
    r.formatter.SetRandomSource([](int) -> int { ADD_FAILURE() << "no random pick expected"; return 0; });
    TRptLine* line = r.report.NewLine();
    // Fixed 30 and three stretchable of 10: natural 60 in 50, free -10:
    // -3 each, the remainder -1 dropped.
    auto group = MakeRow(*line, 50, {30, -11, -11, -11});
    group->Stretch();
    EXPECT_EQ(Widths(*group), (std::vector<std::int32_t>{30, 7, 7, 7}));
}

TEST(Boxes, ShrinkingStopsAtZeroSoSiblingsNeverOverlap) {
    struct Case {
        std::int32_t width;
        std::vector<std::int32_t> children;  // as MakeRow
        std::vector<std::int32_t> expected;
    } cases[] = {
        // Natural 36 in 10: free -26, -13 each; both stretchable stop at 0.
        {10, {30, -6, -2}, {30, 0, 0}},
        // Only one of them reaches 0.
        {12, {10, -21, -2}, {10, 11, 0}},
        // A box narrower than nothing at all.
        {-5, {-4, 2}, {0, 2}},
    };
    for (const Case& c : cases) {
        AttachedReport r;
        auto group = MakeRow(*r.report.NewLine(), c.width, c.children);
        group->Stretch();
        group->PlaceChildren();
        EXPECT_EQ(Widths(*group), c.expected) << c.width;
        for (int i = 1; i < group->Count(); ++i)
            EXPECT_GE(group->GetItem(i)->Left(), group->GetItem(i - 1)->Right() + 1) << c.width << " child " << i;
    }
}

TEST(Boxes, WithoutStretchableChildrenTheAlignmentPlacesTheContent) {
    struct Case {
        std::uint8_t align;
        std::int32_t firstLeft;
    } cases[] = {{alStart, 0}, {alCentre, 20}, {alEnd, 40}};
    for (const Case& c : cases) {
        AttachedReport r;
        TRptLine* line = r.report.NewLine();
        auto group = MakeRow(*line, 100, {10, 20, 30});
        group->HorzAlign = c.align;
        group->Stretch();
        group->AlignCross();
        group->PlaceChildren();
        EXPECT_EQ(Widths(*group), (std::vector<std::int32_t>{10, 20, 30}));
        EXPECT_EQ(group->GetItem(0)->Left(), c.firstLeft);
        EXPECT_EQ(group->GetItem(1)->Left(), c.firstLeft + 10);
        EXPECT_EQ(group->GetItem(2)->Left(), c.firstLeft + 30);
    }
}

TEST(Boxes, CrossPlacement) {
    struct Case {
        std::uint8_t placement;
        std::int32_t left, width;
    } cases[] = {{plStretch, 0, 20}, {plStart, 0, 6}, {plCentre, 7, 6}, {plEnd, 14, 6}};
    for (const Case& c : cases) {
        AttachedReport r;
        TRptParagraph* group = r.report.NewParagraph();
        TVerticalBox box(group);
        auto child = std::make_unique<TBox>(group->AddFill());
        child->HorzPlacement = c.placement;
        child->SetSize(MakePoint(6, 1));
        box.Add(std::move(child));
        box.SetSize(MakePoint(20, 5));
        box.AlignCross();
        EXPECT_EQ(box.GetItem(0)->Left(), c.left) << int(c.placement);
        EXPECT_EQ(box.GetItem(0)->Width(), c.width) << int(c.placement);
    }
}

TEST(Boxes, MoveToMakesChildPositionsAbsolute) {
    AttachedReport r;
    TRptLine* line = r.report.NewLine();
    THorizontalBox group(line);
    auto child = std::make_unique<TBox>(line->AddFill());
    child->SetPosition(MakePoint(5, 0));
    group.Add(std::move(child));
    group.MoveTo(MakePoint(10, 20));
    EXPECT_EQ(group.Position(), MakePoint(10, 20));
    EXPECT_EQ(group.GetItem(0)->Position(), MakePoint(15, 20));
}

TEST(Boxes, TextMeasures) {
    AttachedReport r;
    TRptLine* line = r.report.NewLine();
    EXPECT_EQ(line->AddText("")->CreateNaturalBox()->GetNaturalSize(), MakePoint(0, 0));
    auto box = line->AddText("h\xC3\xA9llo")->CreateNaturalBox();
    EXPECT_EQ(box->GetNaturalSize(), MakePoint(5, 1));
    EXPECT_EQ(box->Size(), MakePoint(5, 1));
    EXPECT_EQ(box->BoundsRect(), (TRect{0, 0, 4, 0}));
    // A tree prefix is cells-per-level characters per key.
    EXPECT_EQ(line->AddTree("-\u251C")->CreateNaturalBox()->Width(), 4);
    // Fixed widths by measure.
    TRptText* mm = line->AddText("x");
    mm->SetWidthMeasure(MakeMeasure(mkMillimetres, 20.0f));
    EXPECT_EQ(mm->CreateNaturalBox()->Width(), 8);
    // Proportional heights: 3 times the natural height of a line.
    TRptLine* tall = r.report.NewBlankLine();
    tall->SetHeightMeasure(MakeMeasure(mkNatural, 3.0f));
    EXPECT_EQ(tall->CreateNaturalBox()->Height(), 3);
    EXPECT_EQ(r.report.VerticalSpace(0.5f)->CreateNaturalBox()->Height(), 0);  // half rounds to even
    EXPECT_EQ(r.report.VerticalSpace(1.5f)->CreateNaturalBox()->Height(), 2);
}

TEST(Boxes, ContentRectFollowsAlignment) {
    AttachedReport r;
    TRptText* t = r.report.NewLine()->AddText("abcd");
    t->SetWidthMeasure(MakeMeasure(mkDevice, 10.0f));
    struct Case {
        std::uint8_t align;
        TRect content;
    } cases[] = {{alStart, {0, 0, 3, 0}}, {alCentre, {3, 0, 6, 0}}, {alEnd, {6, 0, 9, 0}}};
    for (const Case& c : cases) {
        t->HorzAlign = c.align;
        EXPECT_EQ(t->CreateNaturalBox()->ContentRect(), c.content) << int(c.align);
    }
}

TEST(Boxes, LayoutOverflowIsAnError) {
    AttachedReport r;
    TRptLine* line = r.report.NewLine();
    EXPECT_THROW(MakeRow(*line, 10, {2147483000, 2147483000}), EIntOverflow);
}

TEST(Boxes, LinersForgetFreedBoxes) {
    AttachedReport r;
    TRptLine* line = r.report.NewLine();
    TRptLinerBegin* begin = line->BeginLiner(2);
    TRptLinerEnd* end = line->EndLiner();
    {
        auto box = line->CreateNaturalBox();
        EXPECT_NE(end->Box(), nullptr);
        EXPECT_NE(begin->Box(), nullptr);
    }
    EXPECT_EQ(end->Box(), nullptr);
    EXPECT_EQ(begin->Box(), nullptr);
    // A liner freed before its box leaves the box detached, not dangling.
    auto loose = std::make_unique<TRptLinerEnd>(line);
    auto box = loose->CreateBox();
    loose.reset();
    box.reset();
}

TEST(Boxes, OutsideAFormattingRunBoxesCannotMeasure) {
    TReport report;
    TRptText* text = report.AddText("x");
    EXPECT_EQ(testing::AssertionText([&] { text->CreateNaturalBox(); }), "Report is not being formatted");
}

// --- paragraphs ----------------------------------------------------------------------

TEST(Paragraphs, WordWrap) {
    using Lines = std::vector<std::vector<std::string>>;
    struct Case {
        const char* text;
        std::int32_t width;
        Lines expected;
    } cases[] = {
        {"ab cd ef", 5, {{"", "ab", " ", "cd", ""}, {"", "ef", ""}}},
        {"ab cd ef", -1, {{"", "ab cd ef", ""}}},
        // A text that fits its width is laid out whole, as a line would.
        {"ab cd ef", 8, {{"", "ab cd ef", ""}}},
        // A word wider than the paragraph is broken where the line is full
        // (it no longer runs past its width); its last piece goes on with the
        // text.
        {"a verylongword b", 5, {{"", "a", ""}, {"", "veryl", ""}, {"", "ongwo", ""}, {"", "rd", " ", "b", ""}}},
        // A value list without blanks breaks after a "," or ";" that fits.
        {"[bad:19,good:4;fine:3]", 12, {{"", "[bad:19,", ""}, {"", "good:4;", ""}, {"", "fine:3]", ""}}},
        // Leading blanks stay on the first line; blanks at a break go.
        {"  ab    cd", 4, {{"", "  ", "ab", ""}, {"", "cd", ""}}},
        {"", 5, {{"", ""}}},
    };
    for (const Case& c : cases) {
        AttachedReport r;
        TRptParagraph* p = r.report.NewParagraph();
        p->AddText(c.text);
        auto box = p->CreateBoxForWidth(c.width);
        EXPECT_EQ(LinesOf(*box), c.expected) << c.text << " @ " << c.width;
        if (c.width > 0) {
            EXPECT_EQ(box->Width(), c.width);
        }
    }
}

TEST(Paragraphs, WrapTokensCoverTheWholeText) {
    // Whatever the characters, every token moves on, and without line
    // breaks the boxes of each line give back the text exactly; a line
    // break of the text starts a new line.
    const char* texts[] = {"   ", "ab  ", "a\tb\r\nc", "\xC3\xA4 \xC3\xB6", "\xFF \xFF\xFE", " x  y ", "z"};
    for (const char* text : texts) {
        for (std::int32_t width : {1, 3, 100}) {
            AttachedReport r;
            TRptParagraph* p = r.report.NewParagraph();
            p->AddText(text);
            auto box = p->CreateBoxForWidth(width);
            std::string joined;
            std::size_t boxes = 0;
            bool firstLine = true;
            for (const auto& line : LinesOf(*box)) {
                if (!firstLine) joined += "\r\n";
                firstLine = false;
                for (const std::string& part : line) joined += part;
                boxes += line.size() - 2;  // prefix and suffix
            }
            EXPECT_LE(boxes, std::string(text).size()) << text;
            if (width == 100) {
                EXPECT_EQ(joined, text) << width;
            }
        }
    }
}

TEST(Paragraphs, AValueAndTheSeparatorAfterItStayTogether) {
    // Value lists are texts side by side: "ab", "; ", "cdefgh", "; ", "ij".
    // Where the ";" after a value does not fit, the value goes on to the
    // next line with it, unless it is all the line holds.
    AttachedReport r;
    TRptParagraph* p = r.report.NewParagraph();
    for (const char* t : {"ab", "; ", "cdefgh", "; ", "ij"}) p->AddText(t);
    auto box = p->CreateBoxForWidth(10);
    EXPECT_EQ(LinesOf(*box), (std::vector<std::vector<std::string>>{{"", "ab", ";", ""},
                                                                    {"", "cdefgh", ";", " ", "ij", ""}}));
    box = p->CreateBoxForWidth(6);
    EXPECT_EQ(LinesOf(*box), (std::vector<std::vector<std::string>>{
                                 {"", "ab", ";", ""}, {"", "cdefgh", ""}, {"", ";", " ", "ij", ""}}));
}

TEST(Paragraphs, PrefixesAndSuffix) {
    AttachedReport r;
    TRptParagraph* p = r.report.NewParagraph();
    p->FirstPrefix().SetText("* ");
    p->NextPrefix().SetText("  ");
    p->LineSuffix().SetText("|");
    p->AddText("one two three");
    auto box = p->CreateBoxForWidth(10);
    EXPECT_EQ(LinesOf(*box), (std::vector<std::vector<std::string>>{{"* ", "one", " ", "two", "|"},
                                                                    {"  ", "three", "|"}}));
}

TEST(Paragraphs, JustifyFillsFullLinesOnly) {
    AttachedReport r;
    TRptParagraph* p = r.report.NewParagraph();
    p->Justify = true;
    p->AddText("aa bb cc dd");
    auto box = p->CreateBoxForWidth(7);
    auto& lines = dynamic_cast<TBoxGroup&>(*box);
    ASSERT_EQ(lines.Count(), 2);
    auto& first = dynamic_cast<TBoxGroup&>(*lines.GetItem(0));
    auto& last = dynamic_cast<TBoxGroup&>(*lines.GetItem(1));
    EXPECT_EQ(ChildTexts(first), (std::vector<std::string>{"", "aa", " ", "bb", ""}));
    EXPECT_EQ(first.GetItem(2)->Width(), 3);
    EXPECT_EQ(first.GetItem(3)->Right(), 6);
    EXPECT_EQ(ChildTexts(last), (std::vector<std::string>{"", "cc", " ", "dd", ""}));
    EXPECT_EQ(last.GetItem(2)->Width(), 1);
    EXPECT_EQ(last.Width(), 7);
}

TEST(Paragraphs, MacrosAndOtherChildren) {
    AttachedReport r;
    r.report.SetTitle("Title words");
    TRptParagraph* p = r.report.NewParagraph();
    p->AddMacro("title");
    TRptLine* inner = p->NewLine();
    inner->AddText("whole line");
    auto box = p->CreateBoxForWidth(12);
    EXPECT_EQ(LinesOf(*box)[0], (std::vector<std::string>{"", "Title", " ", "words", ""}));
    EXPECT_EQ(LinesOf(*box)[1], (std::vector<std::string>{"", "|", ""}));
}

// --- tables ---------------------------------------------------------------------------

TEST(Tables, ColumnsGrowToTheirWidestOneColumnCell) {
    AttachedReport r;
    TRptTable* table = r.report.NewTable("t");
    table->AddField("Name");
    TRptField* fixed = table->AddField("F");
    fixed->SetWidthMeasure(MakeMeasure(mkMillimetres, 20.0f));  // 8 characters
    table->AddField("Third");
    TRptRow* row1 = table->NewRow();
    row1->NewCell()->AddText("a longer name");
    row1->NewCell()->AddText("much wider than eight");
    row1->NewCell()->AddText("x");
    TRptRow* row2 = table->NewRow();
    row2->NewMultiCell(3)->AddText("a cell spanning all three columns, very wide indeed");
    table->ComputeColumns(-1);
    EXPECT_EQ(table->GetColumnWidth(0), 13);
    EXPECT_EQ(table->GetColumnWidth(1), 8);
    EXPECT_EQ(table->GetColumnWidth(2), 5);
    EXPECT_EQ(table->GetColumnLeft(0), 0);
    EXPECT_EQ(table->GetColumnLeft(1), 15);
    EXPECT_EQ(table->GetColumnLeft(2), 25);
    EXPECT_EQ(table->GetColumnWidth(3), 0);
    // A multi-column cell is as wide as its columns, separators not counted.
    EXPECT_EQ(dynamic_cast<TRptCell*>(row2->GetItem(0))->SpanWidth(), 26);
    table->SetColumnWidth(2, 9);
    EXPECT_EQ(table->GetColumnWidth(2), 9);
}

TEST(Tables, GivenAWidthTooSmallParagraphColumnsNarrowWidestFirst) {
    AttachedReport r({24, 0});
    TRptTable* table = r.report.NewTable("t");
    for (const char* h : {"Name", "Text", "More"}) table->AddField(h)->SetWidthMeasure(NaturalSize);
    TRptRow* row = table->NewRow();
    row->NewCell()->AddText("alpha");  // a plain text keeps its width
    row->NewCell()->NewParagraph()->AddText("one two three four five");
    row->NewCell()->NewParagraph()->AddText("six seven");
    table->ComputeColumns(-1);
    EXPECT_EQ(std::vector<std::int32_t>({table->GetColumnWidth(0), table->GetColumnWidth(1), table->GetColumnWidth(2)}),
              (std::vector<std::int32_t>{5, 23, 9}));
    // 5 + 2 + 2 leave 15 for the paragraphs: the widest gives way first,
    // down to the other, then both.
    table->ComputeColumns(24);
    EXPECT_EQ(std::vector<std::int32_t>({table->GetColumnWidth(0), table->GetColumnWidth(1), table->GetColumnWidth(2)}),
              (std::vector<std::int32_t>{5, 7, 7}));
    r.formatter.Run();
    std::vector<std::string> rows;
    for (int i = 0; i < r.formatter.GetPage(1).RowCount(); ++i) rows.push_back(r.formatter.GetPage(1).Row(i));
    EXPECT_EQ(rows, (std::vector<std::string>{"alpha  one two  six", "       three    seven", "       four", "       five"}));
    // A column that cannot wrap is never narrowed: the table stays as wide.
    r.report.SetFormatter(&r.formatter);
    table->ComputeColumns(3);
    EXPECT_EQ(table->GetColumnWidth(0), 5);
    EXPECT_GE(table->GetColumnWidth(1), 1);
}

TEST(Tables, ColumnFitKeepsWordsThenWordsBelowTheHeadingThenFloors) {
    struct Case {
        const char* what;
        std::vector<std::int32_t> widths;
        std::vector<TColumnLimits> limits;  // words, body words, least, most, last resort
        std::int32_t room;
        std::vector<std::int32_t> fitted;
    } cases[] = {
        {"fits: unchanged", {30, 20}, {{10, 6, 4, 30}, {8, 8, 4, 20}}, 50, {30, 20}},
        {"every word keeps its width", {30, 20}, {{10, 6, 4, 30}, {8, 8, 4, 20}}, 40, {20, 20}},
        {"heading words break first", {30, 20}, {{10, 6, 4, 30}, {8, 8, 4, 20}}, 16, {8, 8}},
        {"then any word, widest first", {30, 20}, {{10, 6, 4, 30}, {8, 8, 4, 20}}, 11, {5, 5}},
        {"floors that do not fit give way, widest first", {30, 20}, {{10, 6, 6, 30}, {8, 8, 3, 20}}, 7, {4, 3}},
        {"never below the last resort", {30, 20}, {{10, 6, 4, 30, 4}, {8, 8, 4, 20, 4}}, 5, {4, 4}},
        {"a tree column keeps to its share", {30, 5}, {{12, 12, 4, 15}, {5, 5, 4, 5}}, 30, {15, 5}},
        {"fixed width", {30, 20}, {{30, 30, 30, 30}, {8, 8, 4, 20}}, 40, {30, 10}},
    };
    for (const Case& c : cases) {
        std::vector<std::int32_t> widths = c.widths;
        FitColumnWidths(widths, c.limits, c.room);
        EXPECT_EQ(widths, c.fitted) << c.what;
    }
}

TEST(Tables, TreeItemsWrapUnderTheirNameAndTheirLinesRunTheRowsHeight) {
    AttachedReport r({24, 0});
    TRptTable* table = r.report.NewTable("t");
    for (int c = 0; c < 2; ++c) table->AddField("")->SetWidthMeasure(NaturalSize);
    auto addRow = [&](const std::string& keys, bool stem, const std::string& name, const std::string& text) {
        TRptRow* row = table->NewRow();
        TRptParagraph* item = row->NewCell()->NewParagraph();
        item->SetTreePrefix(keys, stem);
        item->AddText(name);
        row->NewCell()->NewParagraph()->AddText(text);
    };
    addRow("", true, "Top", "alpha beta gamma");
    addRow("\u251C", false, "First input name", "d");
    addRow("\u2514", true, "Last", "delta epsilon");
    addRow("-\u2514", false, "Deep", "i");
    r.formatter.Run();
    std::vector<std::string> rows;
    for (int i = 0; i < r.formatter.GetPage(1).RowCount(); ++i) rows.push_back(r.formatter.GetPage(1).Row(i));
    // The name wraps under itself, the tree lines beside it; beside the
    // rest of a taller row the lines go on, and the stem of an item with
    // inputs runs down to them.
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "Top          alpha beta",
                        "\u2502            gamma",
                        "\u251C\u2500First      d",
                        "\u2502 input",
                        "\u2502 name",
                        "\u2514\u2500Last       delta",
                        "  \u2502          epsilon",
                        "  \u2514\u2500Deep     i",
                    }));;
}

// A chunked section as the builders make it: a heading, a table whose
// first column is repeated in every chunk, a blank line.
TRptChunkedSection* ChunkedSection(TReport& report, int columns, int chunkColumns) {
    TRptChunkedSection* section = report.NewChunkedSection("s");
    section->NewLine()->AddText("Heading");
    section->NextHeading().AddText("next");
    TRptTable* table = section->NewTable("t");
    for (int c = 0; c <= columns; ++c) table->AddField(" ")->SetWidthMeasure(NaturalSize);
    TRptRow* heading = table->NewRow();
    heading->BeginLiner(2);
    heading->NewCell()->AddText("Key");
    for (int c = 1; c <= columns; ++c) heading->NewCell()->NewParagraph()->AddText("col" + std::to_string(c));
    heading->EndLiner();
    TRptRow* row = table->NewRow();
    row->NewCell()->AddText("k");
    for (int c = 1; c <= columns; ++c) row->NewCell()->NewParagraph()->AddText("value " + std::to_string(c));
    section->NewBlankLine();
    section->ChunkedTable = table;
    section->ChunkColumns = chunkColumns;
    return section;
}

std::vector<std::string> RowsOf(const TTextFormatter& formatter) {
    std::vector<std::string> rows;
    for (int i = 0; i < formatter.GetPage(1).RowCount(); ++i) rows.push_back(formatter.GetPage(1).Row(i));
    return rows;
}

TEST(ChunkedSections, ChunksOfColumnsRepeatTheKeyColumn) {
    // At natural widths chunks of ChunkColumns; on a page as many as fit,
    // at most ChunkColumns: "Key" 3 + 2 + "value n" 7 + 2 + 7 = 21.
    AttachedReport natural({0, 0});
    ChunkedSection(natural.report, 5, 2);
    natural.formatter.Run();
    const std::string rule2 = "\u2500\u2500", rule3 = "\u2500\u2500\u2500", rule5 = rule2 + rule3;
    EXPECT_EQ(RowsOf(natural.formatter),
              (std::vector<std::string>{"Heading", "Key" + rule2 + "col1" + rule5 + "col2" + rule3,
                                        "k    value 1  value 2", "", "next", "Key" + rule2 + "col3" + rule5 + "col4" + rule3,
                                        "k    value 3  value 4", "", "next", "Key" + rule2 + "col5" + rule3,
                                        "k    value 5", ""}));
    AttachedReport paged({20, 0});
    TRptChunkedSection* section = ChunkedSection(paged.report, 5, 2);
    EXPECT_EQ(section->ColumnChunks(21), (std::vector<std::vector<int>>{{1, 2}, {3, 4}, {5}}));
    EXPECT_EQ(section->ColumnChunks(20), (std::vector<std::vector<int>>{{1}, {2}, {3}, {4}, {5}}));
    // One column alone wider than the page: its paragraphs wrap.
    EXPECT_EQ(section->ColumnChunks(8), (std::vector<std::vector<int>>{{1}, {2}, {3}, {4}, {5}}));
    AttachedReport narrow({10, 0});
    ChunkedSection(narrow.report, 1, 2);
    narrow.formatter.Run();
    EXPECT_EQ(RowsOf(narrow.formatter),
              (std::vector<std::string>{"Heading", "Key" + rule2 + "col1\u2500", "k    value", "     1", ""}));
    // Without columns besides the key, the table is shown once.
    AttachedReport keys({0, 0});
    ChunkedSection(keys.report, 0, 2);
    keys.formatter.Run();
    EXPECT_EQ(RowsOf(keys.formatter), (std::vector<std::string>{"Heading", "Key", "k", ""}));
}

// A chunked section of options headed by the given names, "value" in
// every cell, the key column "Key", at most five options a chunk.
TRptChunkedSection* OptionSection(TReport& report, const std::vector<std::string>& names) {
    TRptChunkedSection* section = report.NewChunkedSection("s");
    section->NewLine()->AddText("Heading");
    TRptTable* table = section->NewTable("t");
    for (std::size_t c = 0; c <= names.size(); ++c) table->AddField(" ")->SetWidthMeasure(NaturalSize);
    TRptRow* heading = table->NewRow();
    heading->NewCell()->AddText("Key");
    for (const std::string& name : names) heading->NewCell()->NewParagraph()->AddText(name);
    TRptRow* row = table->NewRow();
    row->NewCell()->AddText("k");
    for (std::size_t c = 0; c < names.size(); ++c) row->NewCell()->NewParagraph()->AddText("value");
    section->ChunkedTable = table;
    section->ChunkColumns = 5;
    return section;
}

std::vector<std::size_t> ChunkSizes(const std::vector<std::vector<int>>& chunks) {
    std::vector<std::size_t> sizes;
    for (const auto& chunk : chunks) sizes.push_back(chunk.size());
    return sizes;
}

TEST(ChunkedSections, ChunkSizesByNameLengthAndPageWidth) {
    // Names of `words` words of nine letters (49 characters for five)
    // wrap into three lines when chunks are sized: 19 wide for five words
    // ("xxxxxxxxx xxxxxxxxx" twice, then one). A column takes 2 + its
    // width after the key's 3.
    auto names = [](int count, int words) {
        std::vector<std::string> out;
        for (int i = 0; i < count; ++i) {
            std::string name;
            for (int w = 0; w < words; ++w) name += (w > 0 ? " " : "") + std::string(9, static_cast<char>('a' + i % 26));
            out.push_back(name);
        }
        return out;
    };
    // Names of `length` ideographs, two columns each, which a line may
    // break between.
    auto ideographs = [](int count, int length) {
        std::vector<std::string> out;
        for (int i = 0; i < count; ++i) {
            std::u32string name;
            for (int c = 0; c < length; ++c) name += static_cast<char32_t>(0x4E00 + i * length + c);
            out.push_back(EncodeCodePoints(name));
        }
        return out;
    };
    struct TCase {
        std::vector<std::string> names;
        std::int32_t width;
        std::vector<std::size_t> sizes;
    };
    const TCase cases[] = {
        {names(12, 1), 40, {3, 3, 3, 3}},            // 3 + 11k <= 40: three a chunk
        {names(12, 5), 80, {3, 3, 3, 3}},            // 3 + 21k <= 80: three; one line each would give 1
        {names(12, 5), 132, {4, 4, 4}},              // six would fit, five at most: 5, 5, 2 spread evenly
        {names(7, 5), 60, {2, 2, 2, 1}},             // two fit: as even as seven allows
        {names(12, 5), 30, std::vector<std::size_t>(12, 1)},  // one column a chunk
        {{std::string(50, 'x'), std::string(50, 'y')}, 80, {1, 1}},  // a word does not break to share a page
        {ideographs(12, 24), 80, {4, 4, 4}},         // 48 columns without a blank: 16 in three lines, 3 + 18k <= 80
        {names(10, 5), 0, {5, 5}},                   // without a width: five a chunk
    };
    for (const TCase& c : cases) {
        AttachedReport r({c.width, 0});
        TRptChunkedSection* section = OptionSection(r.report, c.names);
        EXPECT_EQ(ChunkSizes(section->ColumnChunks(c.width)), c.sizes)
            << c.names.size() << " names of " << c.names.front().size() << " at " << c.width;
    }
}

TEST(ChunkedSections, HeadingsWrapIntoAtMostThreeLinesAndEveryColumnStaysOnThePage) {
    std::vector<std::string> names;
    for (int i = 0; i < 12; ++i) names.push_back("option number " + std::to_string(i + 1) + " with a long name here");
    AttachedReport r({80, 0});
    OptionSection(r.report, names);
    r.formatter.Run();
    std::vector<std::string> rows;
    for (int i = 0; i < r.formatter.GetPage(1).RowCount(); ++i) rows.push_back(r.formatter.GetPage(1).Row(i));
    std::string all;
    for (const std::string& row : rows) {
        EXPECT_LE(row.size(), 80u) << row;
        all += row + "\n";
    }
    // Each chunk: the heading rows (at most three), then the value row.
    std::size_t chunks = 0, headingLines = 0;
    for (const std::string& row : rows) {
        if (row.rfind("Key", 0) == 0 || (headingLines > 0 && row.rfind("k ", 0) != 0 && row != "Heading")) ++headingLines;
        if (row.rfind("k ", 0) == 0) {
            ++chunks;
            EXPECT_LE(headingLines, 3u) << all;
            headingLines = 0;
        }
    }
    EXPECT_LT(chunks, 12u) << all;
    for (int i = 0; i < 12; ++i) EXPECT_NE(all.find("number " + std::to_string(i + 1)), std::string::npos) << all;
}

TEST(ChunkedSections, ProgressAndCancelAreReachedWhileTheChunksAreLaidOut) {
    std::vector<std::string> names(40, "name");
    struct TCall {
        int page, done, total;
    };
    auto run = [&](bool cancelAtOnce) {
        AttachedReport r({40, 30});
        TRptChunkedSection* section = OptionSection(r.report, names);
        for (int row = 0; row < 100; ++row) {
            TRptRow* more = section->ChunkedTable->NewRow();
            more->NewCell()->AddText("k");
            for (std::size_t c = 0; c < names.size(); ++c) more->NewCell()->NewParagraph()->AddText("value");
        }
        std::vector<TCall> calls;
        r.formatter.OnProgress = [&](TFormatter& f, int page, int, int done, int total) {
            calls.push_back({page, done, total});
            if (cancelAtOnce) f.Abort();
        };
        r.formatter.Run();
        return std::make_pair(calls, r.formatter.PageCount());
    };
    // Laying the chunks out reports its steps (page 0) before the pages
    // flow, each step further on.
    const auto [calls, pages] = run(false);
    std::size_t building = 0;
    while (building < calls.size() && calls[building].page == 0) ++building;
    ASSERT_GE(building, 2u);
    for (std::size_t i = 1; i < building; ++i) EXPECT_GT(calls[i].done, calls[i - 1].done);
    EXPECT_EQ(calls[building - 1].done, calls[building - 1].total);
    EXPECT_GT(calls.size(), building);
    EXPECT_GT(pages, 1);
    // Cancel at the first step: nothing more is laid out, no page made.
    const auto [cancelled, none] = run(true);
    EXPECT_EQ(cancelled.size(), 1u);
    EXPECT_EQ(none, 0);
}

namespace {

// Boxes alive and the most alive at once, of the elements below.
struct TLiveBoxes {
    int live = 0;
    int most = 0;
    int built = 0;
};

class TCountedBox : public TFillBox {
public:
    TCountedBox(TRpt* element, TLiveBoxes& count) : TFillBox(element), count_(count) {
        ++count_.built;
        count_.most = std::max(count_.most, ++count_.live);
    }
    ~TCountedBox() override { --count_.live; }

private:
    TLiveBoxes& count_;
};

// An element whose boxes are counted.
class TCountedElement : public TRptElement {
public:
    using TRptElement::TRptElement;
    TLiveBoxes* Count = nullptr;
    std::unique_ptr<TBox> CreateBox() override { return std::make_unique<TCountedBox>(this, *Count); }
};

}  // namespace

TEST(ChunkedSections, TheFlowHoldsTheBoxesOfOneChunkAtATime) {
    // 40 options in chunks of 5 on pages of 12 rows: a chunk takes about
    // two pages. Each chunk's boxes are built when the flow reaches them
    // and freed once its pages are done, so at most the chunk on the page
    // and the one before it are alive, never all eight.
    AttachedReport r({40, 12});
    TRptChunkedSection* section = OptionSection(r.report, std::vector<std::string>(40, "name"));
    for (int row = 0; row < 14; ++row) {
        TRptRow* more = section->ChunkedTable->NewRow();
        more->NewCell()->AddText("k");
        for (int c = 0; c < 40; ++c) more->NewCell()->NewParagraph()->AddText("value");
    }
    TLiveBoxes count;
    auto element = std::make_unique<TCountedElement>(section);
    element->Count = &count;
    section->Add(std::move(element));
    ASSERT_EQ(section->ColumnChunks(40).size(), 8u);
    std::vector<int> liveOnNewPage;
    std::size_t keptDuringRun = 0;
    r.formatter.OnNewPage = [&](TFormatter&, int, int, int, int) {
        liveOnNewPage.push_back(count.live);
        keptDuringRun = std::max(keptDuringRun, detail::KeptBoxMemory());
    };
    r.formatter.Run();
    // The memory the boxes took goes back after the run (where boxes have
    // a pool of their own: not under the address sanitizer).
    if (keptDuringRun > 0) {
        EXPECT_LT(detail::KeptBoxMemory(), keptDuringRun);
    }

    EXPECT_GT(r.formatter.PageCount(), 8);
    EXPECT_LE(count.most, 2);
    for (int live : liveOnNewPage) EXPECT_LE(live, 2);
    EXPECT_EQ(count.live, 0);
    // Built once to be measured, once to be flowed.
    EXPECT_EQ(count.built, 16);
}

TEST(ChunkedSections, ASectionPlacedWholeDrawsItsChunks) {
    // On an endless page the report fits and is drawn whole: its chunks are
    // built to be drawn, each freed before the next.
    AttachedReport r({40, 0});
    TRptChunkedSection* section = OptionSection(r.report, std::vector<std::string>(12, "name"));
    TLiveBoxes count;
    auto element = std::make_unique<TCountedElement>(section);
    element->Count = &count;
    section->Add(std::move(element));
    r.formatter.Run();
    ASSERT_EQ(r.formatter.PageCount(), 1);
    const TTextPage& page = r.formatter.GetPage(1);
    int keys = 0;
    for (int row = 0; row < page.RowCount(); ++row)
        if (page.Row(row).rfind("Key", 0) == 0) ++keys;
    EXPECT_EQ(keys, 3);
    EXPECT_LE(count.most, 1);
    EXPECT_EQ(count.live, 0);
}

namespace {

// A text of another class than TRptText: a cell holding it is built anew
// in every chunk, never copied.
class TOtherText : public TRptText {
public:
    using TRptText::TRptText;
};

// A chunked section of tree items with names that wrap in the key column,
// `options` columns beside it; the names are TOtherText when `copied` is
// false.
TRptChunkedSection* TreeSection(TReport& report, int options, bool copied) {
    TRptChunkedSection* section = report.NewChunkedSection("s");
    section->NewLine()->AddText("Heading");
    section->NextHeading().AddText("next");
    TRptTable* table = section->NewTable("t");
    for (int c = 0; c <= options; ++c) table->AddField(" ")->SetWidthMeasure(NaturalSize);
    TRptRow* heading = table->NewRow();
    heading->NewCell()->NewParagraph()->AddText("Attribute");
    for (int c = 1; c <= options; ++c) heading->NewCell()->NewParagraph()->AddText("option " + std::to_string(c));
    const std::vector<std::pair<std::string, std::string>> items = {
        {"", "The top attribute of the model with a long name"},
        {"\u251C", "A first input whose name runs over several lines"},
        {"-\u2514", "A deep one"},
        {"\u2514", "The last input of the top attribute, also long"},
    };
    for (const auto& [keys, name] : items) {
        TRptRow* row = table->NewRow();
        TRptParagraph* item = row->NewCell()->NewParagraph();
        item->SetTreePrefix(keys, keys.empty());
        if (copied) item->AddText(name);
        else {
            auto text = std::make_unique<TOtherText>(item);
            text->SetText(name);
            item->Add(std::move(text));
        }
        for (int c = 1; c <= options; ++c) row->NewCell()->NewParagraph()->AddText("value " + std::to_string(c));
    }
    section->NewBlankLine();
    section->ChunkedTable = table;
    section->ChunkColumns = 2;
    return section;
}

}  // namespace

TEST(ChunkedSections, KeyColumnCellsCopiedIntoEveryChunkDrawAsTheyAreBuilt) {
    // The key column's tree items are built once and copied into every
    // chunk; the pages are those of items built anew in each chunk, at a
    // width where they wrap and at natural widths.
    for (const std::int32_t width : {44, 0}) {
        AttachedReport copied({width, 0}), built({width, 0});
        TreeSection(copied.report, 7, true);
        TreeSection(built.report, 7, false);
        copied.formatter.Run();
        built.formatter.Run();
        const std::vector<std::string> rows = RowsOf(copied.formatter);
        EXPECT_EQ(rows, RowsOf(built.formatter)) << width;
        int chunks = 0;
        for (const std::string& row : rows)
            if (row.rfind("Attribute", 0) == 0) ++chunks;
        EXPECT_GE(chunks, 3) << width;
    }
}

TEST(ChunkedSections, AChunkMeasuredWithStandInsHasTheSizeAndLinesOfItsBuild) {
    // Before the flow a chunk is measured with stand-ins for the copied
    // key-column cells (TStandInBox); the chunk built for the flow has the
    // size, natural size and line count measured.
    AttachedReport r({44, 0});
    TRptChunkedSection* section = TreeSection(r.report, 7, true);
    const TWidthCache::TScope remembering(r.formatter.Widths());
    auto box = section->CreateBoxForWidth(44);
    auto& whole = dynamic_cast<TBoxGroup&>(*box);
    ASSERT_GE(whole.Count(), 3);
    for (int k = 0; k < whole.Count(); ++k) {
        auto* deferred = dynamic_cast<TDeferredBox*>(whole.GetItem(k));
        ASSERT_NE(deferred, nullptr);
        const std::unique_ptr<TBox> built = deferred->Build();
        EXPECT_EQ(built->Size(), deferred->Size()) << k;
        EXPECT_EQ(built->GetNaturalSize(), deferred->GetNaturalSize()) << k;
        EXPECT_EQ(built->LineCount(), deferred->LineCount()) << k;
    }
}

TEST(Boxes, CloneCopiesABoxAndEveryBoxItOwns) {
    AttachedReport r({20, 0});
    TRptTable* table = r.report.NewTable("t");
    table->AddField("")->SetWidthMeasure(NaturalSize);
    TRptRow* row = table->NewRow();
    TRptCell* cell = row->NewCell();
    TRptParagraph* item = cell->NewParagraph();
    item->SetTreePrefix("\u251C", false);
    item->AddText("a name that wraps over lines");
    auto box = cell->CreateBoxForWidth(12);
    auto copy = box->Clone();
    ASSERT_NE(copy, nullptr);
    // The same tree of boxes: classes, elements, places, sizes, ranges.
    std::function<void(const TBox&, const TBox&)> same = [&](const TBox& a, const TBox& b) {
        EXPECT_EQ(typeid(a), typeid(b));
        EXPECT_EQ(a.Element(), b.Element());
        EXPECT_EQ(a.Position(), b.Position());
        EXPECT_EQ(a.Size(), b.Size());
        EXPECT_EQ(a.GetNaturalSize(), b.GetNaturalSize());
        EXPECT_EQ(a.LineCount(), b.LineCount());
        if (auto* text = dynamic_cast<const TTextBox*>(&a)) {
            EXPECT_EQ(text->Start(), dynamic_cast<const TTextBox&>(b).Start());
            EXPECT_EQ(text->Length(), dynamic_cast<const TTextBox&>(b).Length());
        }
        if (auto* group = dynamic_cast<const TBoxGroup*>(&a)) {
            auto& other = dynamic_cast<const TBoxGroup&>(b);
            ASSERT_EQ(group->Count(), other.Count());
            for (int i = 0; i < group->Count(); ++i) {
                EXPECT_NE(group->GetItem(i), other.GetItem(i));
                same(*group->GetItem(i), *other.GetItem(i));
            }
        }
    };
    same(*box, *copy);
    EXPECT_GT(box->LineCount(), 4);
    // A liner's box is not copied (its liner points at it), nor a group
    // holding one.
    TRptRow* ruled = table->NewRow();
    ruled->BeginLiner(2);
    ruled->NewCell()->AddText("x");
    ruled->EndLiner();
    EXPECT_EQ(ruled->CreateNaturalBox()->Clone(), nullptr);
}

TEST(Tables, RowPlacesCellsAtTheirColumns) {
    AttachedReport r;
    TRptTable* table = r.report.NewTable("t");
    table->AddField("Attribute");
    table->AddField("Value");
    TRptRow* row = table->NewRow();
    row->BeginLiner(2);
    row->NewCell()->AddText("a");
    row->NewCell()->AddText("b");
    row->EndLiner();
    auto box = table->CreateNaturalBox();
    auto& rowBox = dynamic_cast<TBoxGroup&>(*dynamic_cast<TBoxGroup&>(*box).GetItem(0));
    ASSERT_EQ(rowBox.Count(), 4);
    EXPECT_EQ(rowBox.GetItem(0)->Left(), 0);   // begin marker
    EXPECT_EQ(rowBox.GetItem(1)->Left(), 0);   // first column
    EXPECT_EQ(rowBox.GetItem(1)->Width(), 9);
    EXPECT_EQ(rowBox.GetItem(2)->Left(), 11);  // second column after the separator
    EXPECT_EQ(rowBox.GetItem(3)->Left(), 16);  // end marker after the last cell
    EXPECT_EQ(rowBox.NaturalWidth(), 16);
}

TEST(Tables, FixedWidthTableStretchesNothingButKeepsColumns) {
    AttachedReport r;
    TRptTable* table = r.report.NewTable("t");
    table->AddField("A");
    table->AddField("B");
    TRptRow* row = table->NewRow();
    row->NewCell()->AddText("abc");
    row->NewCell()->AddText("de");
    auto box = table->CreateBoxForWidth(40);
    EXPECT_EQ(box->Width(), 40);
    EXPECT_EQ(table->GetColumnWidth(0), 3);
    EXPECT_EQ(table->GetColumnLeft(1), 5);
}

// --- line heights ---------------------------------------------------------------

// A text formatter whose text height is the current font's size and whose
// lines measure in that height, so that line heights become visible.
class FontHeightFormatter : public TTextFormatter {
public:
    using TTextFormatter::TTextFormatter;
    std::int32_t TextHeight(const std::string&) override { return CurrentReport()->GetEffectiveFont()->Size; }
    std::int32_t MeasureToDevice(TMeasure m) override {
        if (m.Kind != mkLines) return TTextFormatter::MeasureToDevice(m);
        EnsureLineHeight();
        return RoundToInt32(m.Value * LineHeight());
    }
};

TEST(LineHeights, NestedLineGivesTheOuterHeightBack) {
    TReport report;
    TFont font;
    font.Size = 10;
    report.SetFont(font);
    FontHeightFormatter f(report, {0, 0}, {80, 0});
    report.SetFormatter(&f);
    TRptLine* outer = report.NewLine();
    TRptLine* inner = outer->NewLine();
    inner->SetFontSize(fcSet, 20);
    inner->AddText("a");
    TRptText* after = outer->AddText("b");
    after->SetFontSize(fcSet, 30);

    auto box = outer->CreateNaturalBox();
    auto& line = dynamic_cast<TBoxGroup&>(*box);
    // The inner line is one of its own lines high; the text after it is
    // one line of the outer line, whatever its own font.
    EXPECT_EQ(line.GetItem(0)->Height(), 20);
    EXPECT_EQ(line.GetItem(1)->Height(), 10);
    // Outside any line the height is forgotten.
    EXPECT_EQ(f.LineHeight(), -1);
    report.SetFormatter(nullptr);
}

}  // namespace
}  // namespace mivo
