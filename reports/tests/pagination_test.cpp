// Pagination: headers, footers, repeated headings, page-break modes, wanted
// pages, endless pages, aborting, progress, the report stack, and the
// state a run leaves behind, on text pages.
#include <stdexcept>

#include <gtest/gtest.h>

#include "reports/tests/ReportTestKit.h"

namespace mivo {
namespace {

using Pages = std::vector<std::vector<std::string>>;

Pages PagesOf(const TTextFormatter& f) {
    Pages out;
    for (int p = 1; p <= f.PageCount(); ++p) {
        std::vector<std::string> rows;
        for (int r = 0; r < f.GetPage(p).RowCount(); ++r) rows.push_back(f.GetPage(p).Row(r));
        out.push_back(rows);
    }
    return out;
}

void AddLines(TRptGroup& group, const std::string& prefix, int n) {
    for (int i = 1; i <= n; ++i) group.NewLine()->AddText(prefix + std::to_string(i));
}

TEST(Pagination, ReportThatFitsGivesOnePageWithHeaderAndFooterOnce) {
    TReport report;
    report.Header().NewLine()->AddText("HEAD");
    report.Footer().NewLine()->AddText("FOOT");
    AddLines(report, "l", 3);
    TTextFormatter f(report, {0, 0}, {40, 20});
    f.Run();
    EXPECT_EQ(PagesOf(f), (Pages{{"HEAD", "l1", "l2", "l3", "FOOT"}}));
}

// Sections that must start a new page do so even when the whole report
// would fit on one page.
TEST(Pagination, NewPageSectionFirstMakesNoEmptyPage) {
    TReport report;
    TRptSection* s = report.NewSection("s");
    s->PageBreakMode = pbNewPage;
    AddLines(*s, "s", 2);
    TRptSection* t = report.NewSection("t");
    t->PageBreakMode = pbNewPage;
    AddLines(*t, "t", 1);
    TRptSection* outer = report.NewSection("o");
    AddLines(*outer, "o", 1);
    TRptSection* nested = outer->NewSection("n");
    nested->PageBreakMode = pbNewPage;
    AddLines(*nested, "n", 1);
    TTextFormatter f(report, {0, 0}, {40, 20});
    f.Run();
    EXPECT_EQ(PagesOf(f), (Pages{{"s1", "s2"}, {"t1", "o1"}, {"n1"}}));
}

TEST(Pagination, KeepTogetherSectionTallerThanAPageStartsANewPageAndSplits) {
    TReport report;
    report.NewLine()->AddText("intro");
    AddLines(*report.NewSection("s"), "s", 8);
    TTextFormatter f(report, {0, 0}, {40, 6});
    f.Run();
    EXPECT_EQ(PagesOf(f), (Pages{{"intro"}, {"s1", "s2", "s3", "s4", "s5", "s6"}, {"s7", "s8"}}));
}

TEST(Pagination, FlowingTableRepeatsItsHeadingOnContinuationPages) {
    TReport report;
    report.Header().NewLine()->AddText("HEAD");
    report.NewLine()->AddText("intro");
    TRptTable* table = report.NewTable("t");
    table->PageBreakMode = pbFlow;
    table->HeadingGroup().NewLine()->AddText("Heading");
    for (int i = 1; i <= 9; ++i) table->NewRow()->NewCell()->AddText("r" + std::to_string(i));
    TTextFormatter f(report, {0, 0}, {40, 6});
    f.Run();
    EXPECT_EQ(PagesOf(f), (Pages{{"HEAD", "intro", "r1", "r2", "r3", "r4"},
                                 {"HEAD", "Heading", "r5", "r6", "r7", "r8"},
                                 {"HEAD", "Heading", "r9"}}));
}

TEST(Pagination, PageFurnitureShowsTheValuesOfItsOwnPage) {
    // Header, repeated heading and footer are measured when their page
    // begins; they are drawn with the same section and table, however the
    // flow has moved on when the page ends (here: past the table's end and
    // into the next section, and at the end of the report).
    TReport report;
    TRptLine* header = report.Header().NewLine();
    header->AddText("S:");
    header->AddMacro("SECTION TITLE");
    TRptLine* footer = report.Footer().NewLine();
    footer->AddText("[");
    footer->AddMacro("TABLE TITLE");
    footer->AddText("]");
    TRptSection* first = report.NewSection("First");
    TRptTable* table = first->NewTable("Prices");
    table->PageBreakMode = pbFlow;
    table->HeadingGroup().NewLine()->AddMacro("TABLE TITLE");
    for (int i = 1; i <= 5; ++i) table->NewRow()->NewCell()->AddText("r" + std::to_string(i));
    TRptSection* second = report.NewSection("Second");
    second->PageBreakMode = pbNewPage;
    AddLines(*second, "s", 2);
    TTextFormatter f(report, {0, 0}, {40, 6});
    f.Run();
    EXPECT_EQ(PagesOf(f), (Pages{{"S:", "r1", "r2", "r3", "r4", "[]"},
                                 {"S:First", "Prices", "r5", "[Prices]"},
                                 {"S:Second", "s1", "s2", "[]"}}));
}

TEST(Pagination, KeepFirstChildrenTogether) {
    struct Case {
        int intro;
        std::int32_t mode;
        int firstPageRows;
    } cases[] = {
        {3, 2, 5},  // the first two fit under the intro: flow from there
        {4, 2, 4},  // they do not: the section starts a new page
        {4, 9, 4},  // more than the section has: all of them count
        {3, 0, 5},  // flow: never break before
    };
    for (const Case& c : cases) {
        TReport report;
        AddLines(report, "i", c.intro);
        TRptSection* s = report.NewSection("s");
        s->PageBreakMode = c.mode;
        AddLines(*s, "s", 4);
        TTextFormatter f(report, {0, 0}, {40, 5});
        f.Run();
        ASSERT_GE(f.PageCount(), 2);
        EXPECT_EQ(f.GetPage(1).RowCount(), c.firstPageRows) << c.intro << " " << c.mode;
    }
}

TEST(Pagination, PagesBeforeTheFirstWantedAreNotDrawn) {
    TReport report;
    AddLines(report, "l", 10);
    TTextFormatter f(report, {0, 0}, {40, 3});
    f.SetFirstWantedPage(3);
    std::vector<int> newPages;
    f.OnNewPage = [&](TFormatter&, int page, int, int, int) { newPages.push_back(page); };
    f.Run();
    EXPECT_EQ(newPages, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(PagesOf(f), (Pages{{}, {}, {"l7", "l8", "l9"}, {"l10"}}));
    EXPECT_EQ(f.ToText(), "l7\nl8\nl9\n\fl10\n");

    TTextFormatter g(report, {0, 0}, {40, 3});
    g.SetLastWantedPage(2);
    g.Run();
    EXPECT_EQ(PagesOf(g), (Pages{{"l1", "l2", "l3"}, {"l4", "l5", "l6"}, {}, {}}));
}

TEST(Pagination, EndlessPage) {
    TReport report;
    report.Header().NewLine()->AddText("HEAD");
    AddLines(report, "l", 100);
    TTextFormatter f(report, {0, 0}, {40, 0});
    f.Run();
    ASSERT_EQ(f.PageCount(), 1);
    EXPECT_EQ(f.GetPage(1).RowCount(), 101);
    EXPECT_EQ(f.GetPage(1).Row(100), "l100");
}

TEST(Pagination, StretchedBoxesOnAnEndlessPageKeepTheirHeight) {
    TReport report;
    report.VertPlacement = plStretch;
    report.NewLine()->AddText("a");
    TRptSection* s = report.NewSection("s");
    s->VertPlacement = plStretch;
    AddLines(*s, "s", 2);
    report.NewLine()->AddText("d");
    TTextFormatter f(report, {0, 0}, {40, 0});
    f.Run();
    EXPECT_EQ(PagesOf(f), (Pages{{"a", "s1", "s2", "d"}}));
}

TEST(Pagination, StretchedSectionTakesTheRestOfThePage) {
    TReport report;
    report.VertPlacement = plStretch;
    report.NewLine()->AddText("a");
    TRptSection* s = report.NewSection("s");
    s->VertPlacement = plStretch;
    s->NewLine()->AddText("s1");
    report.NewLine()->AddText("z");
    report.Footer().NewLine()->AddText("FOOT");
    TTextFormatter f(report, {0, 0}, {40, 8});
    f.Run();
    EXPECT_EQ(PagesOf(f), (Pages{{"a", "s1", "", "", "", "", "z", "FOOT"}}));
}

// Records where owner-drawn graphics are drawn.
class DrawRecorder : public TTextFormatter {
public:
    using TTextFormatter::TTextFormatter;
    void DrawGraphic(const TRect& rect, const TDrawCallback& callback, const TParam* param) override {
        rects.push_back(rect);
        params.push_back(param ? param->Value : -1);
        TTextFormatter::DrawGraphic(rect, callback, param);
    }
    std::vector<TRect> rects;
    std::vector<int> params;
};

TEST(Pagination, StretchedDrawingFillsTheRestOfItsPage) {
    TReport report;
    report.Header().NewLine()->AddText("HEAD");
    report.NewLine()->AddText("before");
    report.VertPlacement = plStretch;
    TRptSection* chart = report.NewSection("Chart");
    chart->VertPlacement = plStretch;
    chart->PageBreakMode = pbNewPage;
    chart->NewLine()->AddText("Chart");
    TRptDraw* draw = chart->AddDraw([](TDrawSurface&, const TRect&, const TParam*) {}, std::make_unique<TParam>(0));
    draw->SetWidthMeasure(MakeMeasure(mkDevice, 0.0f));
    draw->SetHeightMeasure(MakeMeasure(mkDevice, 0.0f));
    draw->HorzPlacement = plStretch;
    draw->VertPlacement = plStretch;
    chart->NewBlankLine();
    DrawRecorder f(report, {0, 0}, {40, 20});
    f.Run();
    ASSERT_EQ(f.PageCount(), 2);
    ASSERT_EQ(f.rects.size(), 1u);
    EXPECT_EQ(f.rects[0], (TRect{0, 2, 39, 18}));
    EXPECT_EQ(f.params[0], 0);
    EXPECT_EQ(f.GetPage(2).Row(1), "Chart");
    EXPECT_EQ(f.GetPage(2).Row(2), "*Graphic*");
}

TEST(Pagination, ProgressCountsEveryLine) {
    TReport report;
    AddLines(report, "l", 7);
    AddLines(*report.NewSection("s"), "s", 5);
    TTextFormatter f(report, {0, 0}, {40, 4});
    int calls = 0, lastDone = -1, total = -1;
    f.OnProgress = [&](TFormatter&, int, int, int done, int all) {
        ++calls;
        lastDone = done;
        total = all;
    };
    f.Run();
    EXPECT_GT(calls, 0);
    EXPECT_EQ(total, f.TotalLines());
    EXPECT_EQ(lastDone, total);
}

TEST(Pagination, AbortStopsAtTheNextBoxAndMarksTheText) {
    TReport report;
    AddLines(report, "l", 10);
    TTextFormatter f(report, {0, 0}, {40, 3});
    f.OnNewPage = [](TFormatter& formatter, int page, int, int, int) {
        if (page == 2) formatter.Abort();
    };
    f.Run();
    EXPECT_TRUE(f.Aborted());
    EXPECT_EQ(PagesOf(f), (Pages{{"l1", "l2", "l3"}, {"l4"}}));
    EXPECT_EQ(f.ToText(), "l1\nl2\nl3\n\fl4\n*** ABORTED ***\n");
}

TEST(Pagination, ReportStackAssertions) {
    TReport report;
    TTextFormatter f(report, {0, 0}, {40, 0});
    EXPECT_EQ(testing::AssertionText([&] { f.PopReport(); }), "Formatter: Report stack underflow");
    EXPECT_EQ(testing::AssertionText([&] { f.CurrentReport(); }), "Formatter: Undefined current report");
    f.PushReport(&report);
    EXPECT_EQ(f.CurrentReport(), &report);
    f.PopReport();
    EXPECT_EQ(f.ReportStackDepth(), 0);
}

TEST(Pagination, ContextFollowsTheInnermostSectionOrTable) {
    TReport report;
    TRptSection* s = report.NewSection("s");
    TRptTable* t = s->NewTable("t");
    TTextFormatter f(report, {0, 0}, {40, 0});
    f.BeginFormatting();
    f.PushReport(&report);
    f.PushReport(s);
    EXPECT_EQ(f.CurrentSection(), s);
    EXPECT_EQ(f.HeadingGroup(), &s->HeadingGroup());
    f.PushReport(t);
    EXPECT_EQ(f.CurrentTable(), t);
    EXPECT_EQ(f.CurrentSection(), s);
    EXPECT_EQ(f.HeadingGroup(), &t->HeadingGroup());
    EXPECT_EQ(f.HeaderGroup(), &report.Header());
    f.PopReport();
    EXPECT_EQ(f.CurrentTable(), nullptr);
    EXPECT_EQ(f.HeadingGroup(), &s->HeadingGroup());
    f.PopReport();
    f.PopReport();
    EXPECT_EQ(f.HeaderGroup(), nullptr);
}

// A run that ends, well or badly, leaves no reference to the formatter in
// the report and no page state behind.
TEST(Pagination, RunReleasesEverythingOnEveryPath) {
    TReport report;
    report.Header().NewLine()->AddText("HEAD");
    report.Footer().NewLine()->AddText("FOOT");
    TRptTable* table = report.NewTable("t");
    table->PageBreakMode = pbFlow;
    table->HeadingGroup().NewLine()->AddText("Heading");
    for (int i = 1; i <= 12; ++i) table->NewRow()->NewCell()->AddText("r" + std::to_string(i));
    TRptMacro* page = report.Footer().NewLine()->AddMacro("PAGE");

    TTextFormatter f(report, {0, 0}, {40, 6});
    f.OnNewPage = [](TFormatter&, int p, int, int, int) {
        if (p == 2) throw std::runtime_error("disk full");
    };
    EXPECT_THROW(f.Run(), std::runtime_error);
    EXPECT_EQ(report.GetFormatter(), nullptr);
    EXPECT_EQ(f.ReportStackDepth(), 0);
    EXPECT_FALSE(f.Formatting());
    EXPECT_EQ(f.HeaderGroup(), nullptr);
    EXPECT_EQ(f.FooterGroup(), nullptr);
    EXPECT_EQ(f.HeadingGroup(), nullptr);
    EXPECT_EQ(f.CurrentTable(), nullptr);
    EXPECT_EQ(f.PageBox().Count(), 0);
    EXPECT_EQ(page->GetText(), "<Unknown Formatter>");

    // The same formatter runs again from scratch.
    f.OnNewPage = nullptr;
    f.Run();
    EXPECT_EQ(report.GetFormatter(), nullptr);
    ASSERT_EQ(f.PageCount(), 6);
    EXPECT_EQ(f.GetPage(2).Row(1), "Heading");
    EXPECT_EQ(f.GetPage(6).Row(f.GetPage(6).RowCount() - 1), "6");

    // A formatter that goes while attached detaches the report.
    {
        TTextFormatter g(report, {0, 0}, {40, 0});
        auto box = g.BuildReportBox();
        EXPECT_EQ(report.GetFormatter(), &g);
    }
    EXPECT_EQ(report.GetFormatter(), nullptr);

    // A report freed while attached leaves the formatter nothing to touch.
    auto shortLived = std::make_unique<TReport>();
    TTextFormatter h(*shortLived, {0, 0}, {40, 0});
    h.BuildReportBox().reset();
    shortLived.reset();
}

TEST(Pagination, FirstPageNumberShowsInThePageMacro) {
    TReport report;
    TRptLine* header = report.Header().NewLine();
    header->AddText("Page ");
    header->AddMacro("page");
    AddLines(report, "l", 4);
    TTextFormatter f(report, {0, 0}, {40, 3});
    f.SetFirstPageNumber(7);
    f.Run();
    EXPECT_EQ(PagesOf(f), (Pages{{"Page 7", "l1", "l2"}, {"Page 8", "l3", "l4"}}));
}

}  // namespace
}  // namespace mivo
