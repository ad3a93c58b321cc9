// Report elements, groups and the builder interface: fonts and their
// inheritance, liners, macros, section and table numbering, rows, cells
// and fields, and the engine's fixed assertions.
#include <gtest/gtest.h>

#include "reports/tests/ReportTestKit.h"

namespace mivo {
namespace {

using testing::AssertionText;

void GiveFont(TReport& report, std::int32_t size) {
    TFont font;
    font.Size = size;
    report.SetFont(font);
}

TEST(Elements, DefaultsOfElementsAndGroups) {
    TReport report;
    TRptText* text = report.AddText("x");
    EXPECT_EQ(text->GetWidthMeasure(), NaturalSize);
    EXPECT_EQ(text->GetHeightMeasure(), OneLine);
    TRptLine* line = report.NewLine();
    EXPECT_EQ(line->GetHeightMeasure(), NaturalSize);
    EXPECT_EQ(line->PageBreakMode, pbKeepTogether);
    EXPECT_EQ(report.PageBreakMode, pbFlow);
    EXPECT_EQ(report.AddTree("")->VertPlacement, plStretch);
    EXPECT_EQ(report.GetReport(), &report);
    EXPECT_EQ(text->GetReport(), &report);
    EXPECT_EQ(report.Header().GetReport(), &report);
    TRptLine loose(nullptr);
    EXPECT_EQ(loose.GetReport(), nullptr);
    EXPECT_EQ(text->GetFormatter(), nullptr);
}

TEST(Elements, FirstFontChangeDetachesFromTheOwner) {
    TReport report;
    GiveFont(report, 10);
    TRptText* bold = report.AddText("bold");
    TRptText* plain = report.AddText("plain");
    bold->SetBold(true);
    ASSERT_NE(bold->GetOwnFont(), nullptr);
    EXPECT_EQ(bold->GetOwnFont()->Size, 10);
    EXPECT_EQ(bold->GetOwnFont()->Style, fsBold);

    TFont bigger = *report.GetOwnFont();
    bigger.Size = 12;
    report.SetFont(bigger);
    EXPECT_EQ(bold->GetEffectiveFont()->Size, 10);
    EXPECT_EQ(plain->GetOwnFont(), nullptr);
    EXPECT_EQ(plain->GetEffectiveFont()->Size, 12);

    // The element keeps a copy, never the caller's font.
    TFont mine;
    mine.Size = 20;
    plain->SetFont(mine);
    mine.Size = 30;
    EXPECT_EQ(plain->GetOwnFont()->Size, 20);
    plain->SetFont(nullptr);
    EXPECT_EQ(plain->GetOwnFont(), nullptr);
}

TEST(Elements, FontSizeAndStyleModes) {
    struct SizeCase {
        int mode;
        std::int32_t value, expected;
    } sizes[] = {{fcAdd, 2, 12}, {fcSubtract, 2, 8}, {fcSet, 7, 7}, {5, 3, 10},
                 // A size never goes below one point.
                 {fcSubtract, 10, 1}, {fcSubtract, 25, 1}, {fcAdd, -12, 1}, {fcSet, 0, 1}, {fcSet, -4, 1}};
    for (const SizeCase& c : sizes) {
        TReport report;
        GiveFont(report, 10);
        TRptText* t = report.AddText("t");
        t->SetFontSize(c.mode, c.value);
        ASSERT_NE(t->GetOwnFont(), nullptr) << c.mode;  // every mode copies the font
        EXPECT_EQ(t->GetOwnFont()->Size, c.expected) << c.mode << " " << c.value;
    }
    struct StyleCase {
        int mode;
        TFontStyles styles, expected;
    } styles[] = {{fcAdd, fsItalic, fsBold | fsItalic},
                  {fcSubtract, fsBold, 0},
                  {fcSet, fsUnderline | fsStrikeOut, fsUnderline | fsStrikeOut},
                  {9, fsItalic, fsBold}};
    for (const StyleCase& c : styles) {
        TReport report;
        GiveFont(report, 10);
        TRptText* t = report.AddText("t");
        t->SetBold(true);
        t->SetFontStyle(c.mode, c.styles);
        EXPECT_EQ(t->GetOwnFont()->Style, c.expected) << c.mode;
    }
    TReport report;
    GiveFont(report, 10);
    TRptText* t = report.AddText("t");
    t->SetFontColor(0x0000FF);
    EXPECT_EQ(t->GetOwnFont()->Color, 0x0000FFu);
    EXPECT_EQ(report.GetOwnFont()->Color, 0u);
}

TEST(Elements, FontChangeWithoutAnyFontFails) {
    TReport report;
    TRptText* t = report.AddText("t");
    EXPECT_EQ(AssertionText([&] { t->SetBold(true); }), "Report font is undefined");
    EXPECT_EQ(AssertionText([&] { t->EnsureFont(); }), "Report font is undefined");
}

TEST(Elements, PensInheritLikeFonts) {
    TReport report;
    TPen pen;
    pen.Width = 3;
    report.SetPen(pen);
    TRptLine* line = report.NewLine();
    EXPECT_EQ(line->GetOwnPen(), nullptr);
    EXPECT_EQ(line->GetEffectivePen()->Width, 3);
}

TEST(Elements, LinerPartnersStayLinkedBothWays) {
    TReport report;
    TRptLinerBegin* a = report.NewLine()->BeginLiner(2);
    TRptLinerEnd end1(nullptr), end2(nullptr);
    a->SetPartner(&end1);
    EXPECT_EQ(end1.GetPartner(), a);
    a->SetPartner(&end2);
    EXPECT_EQ(end1.GetPartner(), nullptr);
    EXPECT_EQ(end2.GetPartner(), a);
    EXPECT_EQ(a->GetPartner(), &end2);
    EXPECT_EQ(a->VertAlign, 2);
    EXPECT_EQ(a->RuleCount, 1);
    EXPECT_EQ(a->GetThickness(), OneDeviceUnit);
    {
        // A liner that goes first leaves its partner without one, so that no
        // pointer to it survives.
        TRptLinerEnd shortLived(nullptr);
        shortLived.SetPartner(a);
        EXPECT_EQ(end2.GetPartner(), nullptr);
    }
    EXPECT_EQ(a->GetPartner(), nullptr);
}

TEST(Groups, LinerBuilders) {
    TReport report;
    TRptLine* line = report.NewLine();
    EXPECT_EQ(line->EndLiner(), nullptr);
    EXPECT_EQ(line->Count(), 0);

    TRptLinerBegin* first = line->BeginLiner(1);
    first->RuleCount = 2;
    first->SetThickness(MakeMeasure(mkPoints, 3.0f));
    line->AddText("x");
    TRptLinerBegin* second = line->BeginLiner(0);
    ASSERT_EQ(line->Count(), 4);
    auto* end = dynamic_cast<TRptLinerEnd*>(line->GetItem(2));
    ASSERT_NE(end, nullptr);
    EXPECT_EQ(end->GetPartner(), first);
    EXPECT_EQ(end->RuleCount, 2);
    EXPECT_EQ(end->GetThickness(), MakeMeasure(mkPoints, 3.0f));
    EXPECT_EQ(end->VertAlign, 1);
    EXPECT_EQ(line->GetItem(3), second);
    EXPECT_EQ(line->OpenLiner(), second);
}

TEST(Groups, OpenLinerIsClosedWhenTheBoxesAreBuilt) {
    testing::AttachedReport r;
    TRptLine* line = r.report.NewLine();
    TRptLinerBegin* begin = line->BeginLiner(2);
    line->AddText("abc");
    auto box = line->CreateNaturalBox();
    ASSERT_EQ(line->Count(), 3);
    auto* end = dynamic_cast<TRptLinerEnd*>(line->GetItem(2));
    ASSERT_NE(end, nullptr);
    EXPECT_EQ(end->GetPartner(), begin);
    EXPECT_EQ(line->OpenLiner(), nullptr);
    EXPECT_EQ(dynamic_cast<TBoxGroup&>(*box).Count(), 3);
}

TEST(Groups, BlankLinesFillsAndDrawings) {
    TReport report;
    TRptLine* blank = report.NewBlankLine();
    ASSERT_EQ(blank->Count(), 1);
    EXPECT_EQ(static_cast<TRptText*>(blank->GetItem(0))->GetText(), " ");
    TRptLine* space = report.VerticalSpace(0.5f);
    EXPECT_EQ(space->GetHeightMeasure(), MakeMeasure(mkNatural, 0.5f));
    EXPECT_EQ(space->Count(), 1);
    TRptElement* fill = report.AddFill();
    EXPECT_EQ(fill->GetWidthMeasure(), MakeMeasure(mkDevice, 0.0f));
    EXPECT_EQ(fill->HorzPlacement, plStretch);
    TRptDraw* draw = report.AddDraw([](TDrawSurface&, const TRect&, const TParam*) {}, std::make_unique<TParam>(4));
    ASSERT_NE(draw->GetParam(), nullptr);
    EXPECT_EQ(draw->GetParam()->Value, 4);
    EXPECT_TRUE(static_cast<bool>(draw->GetCallback()));
}

TEST(Groups, SectionsAreNumberedPerParent) {
    TReport report;
    TRptSection* s1 = report.NewSection("one");
    TRptSection* s2 = report.NewSection("two");
    TRptSection* s3 = report.NewSection("three");
    TRptSection* inner = s2->NewSection("inner");
    TRptSection* deeper = inner->NewSection("deeper");
    EXPECT_EQ(s1->Number, 1);
    EXPECT_EQ(s2->Number, 2);
    EXPECT_EQ(s3->Number, 3);
    EXPECT_EQ(inner->Number, 1);
    EXPECT_EQ(inner->GetNumberPath(), "2.1");
    EXPECT_EQ(deeper->GetNumberPath(), "2.1.1");
    EXPECT_EQ(s3->GetTitle(), "three");
}

TEST(Groups, TablesAreNumberedByTheReport) {
    TReport report;
    EXPECT_EQ(report.NextTableNumber(), 1);
    EXPECT_EQ(report.NextTableNumber(), 2);
    TRptTable* t = report.NewSection("s")->NewTable("t");
    EXPECT_EQ(t->Number, 3);
    EXPECT_EQ(t->GetTitle(), "t");
    TRptVerticalGroup loose(nullptr);
    EXPECT_EQ(loose.NewTable("x")->Number, 0);
}

TEST(Groups, HVGroupIsVerticalUntilSet) {
    testing::AttachedReport r;
    TRptHVGroup& g = r.report.Header();
    EXPECT_EQ(g.Orientation(), orVertical);
    EXPECT_EQ(dynamic_cast<TBoxGroup&>(*g.CreateBox()).MainAxis(), VertAxis);
    g.SetOrientation(orHorizontal);
    EXPECT_EQ(dynamic_cast<TBoxGroup&>(*g.CreateBox()).MainAxis(), HorzAxis);
}

TEST(Groups, ItemsAreOwnedAndReplaced) {
    TReport report;
    report.AddText("a");
    auto replacement = std::make_unique<TRptText>(nullptr);
    TRptText* raw = replacement.get();
    report.SetItem(0, std::move(replacement));
    EXPECT_EQ(report.GetItem(0), raw);
    EXPECT_EQ(raw->Owner(), &report);
    EXPECT_THROW(report.GetItem(1), ERangeError);
    EXPECT_THROW(report.GetItem(-1), ERangeError);

    // A liner that is replaced leaves neither its partner nor its group
    // pointing at it.
    TRptLine* ruled = report.NewLine();
    ruled->BeginLiner(2);
    TRptLinerEnd* end = ruled->EndLiner();
    ruled->SetItem(0, std::make_unique<TRptText>(nullptr));
    EXPECT_EQ(end->GetPartner(), nullptr);
    TRptLine* open = report.NewLine();
    open->BeginLiner(2);
    open->SetItem(0, std::make_unique<TRptText>(nullptr));
    EXPECT_EQ(open->OpenLiner(), nullptr);
    EXPECT_EQ(open->EndLiner(), nullptr);
    EXPECT_EQ(open->Count(), 1);
}

TEST(Groups, AnElementOfAnotherGroupIsNotTakenOver) {
    TReport report;
    TRptLine* first = report.NewLine();
    TRptText* owned = first->AddText("owned");
    TRptLine* second = report.NewLine();
    TRptText* kept = second->AddText("kept");
    const std::string refused = "Adding TRpt that already has an owner";
    EXPECT_EQ(AssertionText([&] { second->Add(std::unique_ptr<TRpt>(owned)); }), refused);
    EXPECT_EQ(AssertionText([&] { second->SetItem(0, std::unique_ptr<TRpt>(owned)); }), refused);
    EXPECT_EQ(AssertionText([&] { second->Add(std::unique_ptr<TRpt>(&report.Header())); }), refused);
    // Nothing moved and nothing was freed: the report frees each element
    // once.
    EXPECT_EQ(owned->Owner(), first);
    EXPECT_EQ(first->GetItem(0), owned);
    ASSERT_EQ(second->Count(), 1);
    EXPECT_EQ(second->GetItem(0), kept);
}

TEST(Tables, MultiCellGrowsColumns) {
    TReport report;
    TRptTable* table = report.NewTable("t");
    TRptRow* row = table->NewRow();
    TRptCell* cell = row->NewMultiCell(3);
    EXPECT_EQ(cell->FirstColumn, 0);
    EXPECT_EQ(cell->LastColumn, 2);
    EXPECT_EQ(table->FieldCount(), 3);
    // Field, separator, field, separator, field.
    ASSERT_EQ(table->HeadingLine().Count(), 5);
    for (int i : {1, 3}) {
        auto* sep = dynamic_cast<TRptText*>(table->HeadingLine().GetItem(i));
        ASSERT_NE(sep, nullptr);
        EXPECT_EQ(dynamic_cast<TRptField*>(sep), nullptr);
        EXPECT_EQ(sep->GetText(), "  ");
    }
    TRptCell* next = row->NewCell();
    EXPECT_EQ(next->FirstColumn, 3);
    EXPECT_EQ(next->LastColumn, 3);
    EXPECT_EQ(table->FieldCount(), 4);
    EXPECT_EQ(row->NextColumn(), 4);
    EXPECT_EQ(table->GetField(-1), nullptr);
    EXPECT_EQ(table->GetField(table->FieldCount()), nullptr);
    EXPECT_NE(table->GetField(0), nullptr);
    EXPECT_EQ(cell->GetTable(), table);
    EXPECT_EQ(row->GetTable(), table);
}

TEST(Tables, FieldsWithoutSeparator) {
    TReport report;
    TRptTable* table = report.NewTable("t");
    table->Separator = "";
    table->AddField("a");
    table->AddField("b");
    EXPECT_EQ(table->HeadingLine().Count(), 2);
    EXPECT_EQ(table->GetField(1)->GetText(), "b");
}

TEST(Tables, NewCellTakesItsColumnsLook) {
    TReport report;
    GiveFont(report, 10);
    TRptTable* table = report.NewTable("t");
    TRptField* field = table->AddField(" ");
    field->SetHorzAlign(alEnd);
    field->SetVertPlacement(plCentre);
    field->SetWidthMeasure(MakeMeasure(mkMillimetres, 20.0f));
    field->SetBold(true);
    TPen pen;
    pen.Width = 2;
    field->SetPen(pen);
    TRptCell* cell = table->NewRow()->NewCell();
    EXPECT_EQ(cell->HorzAlign, alEnd);
    EXPECT_EQ(cell->VertPlacement, plCentre);
    EXPECT_EQ(cell->GetWidthMeasure(), MakeMeasure(mkMillimetres, 20.0f));
    EXPECT_EQ(cell->GetHeightMeasure(), OneLine);
    ASSERT_NE(cell->GetOwnFont(), nullptr);
    EXPECT_EQ(cell->GetOwnFont()->Style, fsBold);
    ASSERT_NE(cell->GetOwnPen(), nullptr);
    EXPECT_EQ(cell->GetOwnPen()->Width, 2);
}

TEST(Assertions, FixedTexts) {
    TReport report;
    TRptTable* table = report.NewTable("t");
    TRptRow* row = table->NewRow();
    EXPECT_EQ(AssertionText([&] { row->NewMultiCell(0); }), "Too few columns for NewMultiCell: 0");
    EXPECT_EQ(AssertionText([&] { row->NewMultiCell(-2); }), "Too few columns for NewMultiCell: -2");
    EXPECT_EQ(row->Count(), 0);
    TRptLine line(nullptr);
    EXPECT_EQ(AssertionText([&] { TRptCell cell(&line); }), "Owner of TRptCell must be TRptRow");
    EXPECT_EQ(AssertionText([&] { TRptCell cell(nullptr); }), "Owner of TRptCell must be TRptRow");
    EXPECT_EQ(AssertionText([&] { TRptRow r(&report); }), "Owner of TRptRow must be TRptTable");
    EXPECT_EQ(AssertionText([] { TBox box(nullptr); }), "Creating TBox with nil TRpt");
    // The message carries the module and line.
    try {
        row->NewMultiCell(0);
        FAIL();
    } catch (const EAssertionFailed& e) {
        EXPECT_NE(e.Message().find("(Report.cpp, line "), std::string::npos) << e.Message();
    }
}

// --- macros ---------------------------------------------------------------------

class Macros : public ::testing::Test {
protected:
    Macros() {
        r.report.SetTitle("Car report");
        section = r.report.NewSection("Outer");
        section = section->NewSection("Inner");
        section = r.report.NewSection("Second")->NewSection("Sub");
        table = section->NewTable("Prices");
        r.formatter.SetClock([] { return TDateTime{2024, 3, 5, 14, 7, 9, 0}; });
    }

    // Expands the macro text with the formatter formatting the report, on
    // page `page`, inside `context` (null: outside any section).
    std::string Expand(const std::string& text, TRpt* context = nullptr) {
        TRptMacro* macro = (context ? static_cast<TRptGroup*>(table) : &r.report.Header())->AddMacro(text);
        r.formatter.BeginFormatting();
        r.formatter.PushReport(&r.report);
        if (context) {
            r.formatter.PushReport(section);
            if (context == table) r.formatter.PushReport(table);
        }
        std::string out = macro->GetText();
        while (r.formatter.ReportStackDepth() > 0) r.formatter.PopReport();
        r.formatter.EndFormatting();
        return out;
    }

    testing::AttachedReport r;
    TRptSection* section;
    TRptTable* table;
};

TEST_F(Macros, Expansions) {
    struct Case {
        const char* text;
        bool inTable;
        const char* expected;
    } cases[] = {
        {"TITLE", false, "Car report"},
        {"title", false, "Car report"},
        {"SECTION", false, ""},
        {"SECTION TITLE", true, "Sub"},
        {"SECTION NUMBERS", true, "2.1"},
        {"SECTION", true, "1"},
        {"SECTION whatever", true, "1"},
        {"TABLE TITLE", true, "Prices"},
        {"TABLE NUMBERS", true, "2.1.1"},
        {"TABLE", true, "1"},
        {"DATE", false, "2024-03-05"},
        {"DATE SHORT", false, "2024-03-05"},
        {"DATE LONG", false, "Tuesday, 5 March 2024"},
        {"DATE dd.mm.yyyy", false, "05.03.2024"},
        {"TIME", false, "14:07"},
        {"TIME LONG", false, "14:07:09"},
        {"DATETIME", false, "2024-03-05 14:07"},
        {"DATETIME LONG", false, "Tuesday, 5 March 2024 14:07:09"},
        {"DATETIME yyyy", false, "2024"},
        {"FOO", false, "[FOO]"},
        {"  ", false, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Expand(c.text, c.inTable ? table : nullptr), c.expected) << c.text;
}

TEST_F(Macros, PageNumbersAndStoredText) {
    TRptMacro* macro = r.report.AddMacro("  page ");
    r.formatter.SetFirstPageNumber(5);
    r.formatter.BeginFormatting();
    r.formatter.NewPage();
    r.formatter.NewPage();
    EXPECT_EQ(macro->GetText(), "6");
    EXPECT_EQ(macro->RawText(), "PAGE");
    // A keyword needs no separator: PAGES is PAGE with the argument S.
    macro->SetText("pages");
    EXPECT_EQ(macro->GetText(), "6");
}

TEST(MacrosOutsideARun, UnknownFormatter) {
    TReport report;
    TRptMacro* macro = report.AddMacro("page");
    EXPECT_EQ(macro->GetText(), "<Unknown Formatter>");
    TRptLine line(nullptr);
    EXPECT_EQ(line.AddMacro("date")->GetText(), "<Unknown Formatter>");
}

}  // namespace
}  // namespace mivo
