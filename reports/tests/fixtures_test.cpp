// Whole reports against stored pages (reports/tests/data): small reports
// that show one layout feature each, and a long report of several sections
// with every page-break mode, thousands of rows, repeated headings, page
// headers and footers.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "reports/tests/ReportTestKit.h"

namespace mivo {
namespace {

using testing::ExpectEngineFixture;
using testing::Lines;

TDateTime FixedClock() { return TDateTime{2024, 3, 15, 14, 5, 9, 0}; }

std::string AsText(TReport& report, TPoint origin, TPoint size, int treeStyle = 1) {
    TTextFormatter f(report, origin, size);
    f.SetClock(FixedClock);
    f.SetTreeStyle(static_cast<std::uint8_t>(treeStyle));
    f.Run();
    return f.ToText();
}

std::string AsData(TReport& report) {
    TDataFormatter f(report, {0, 0}, {0, 0});
    f.SetClock(FixedClock);
    f.Run();
    return f.ToText();
}

void GiveFont(TReport& report) {
    TFont font;
    font.Size = 10;
    report.SetFont(font);
}

// The pages of a text, split at form feeds, each as its rows.
std::vector<std::vector<std::string>> PagesOf(const std::string& text) {
    std::vector<std::vector<std::string>> pages;
    std::size_t from = 0;
    while (true) {
        std::size_t to = text.find('\f', from);
        pages.push_back(Lines(text.substr(from, to == std::string::npos ? std::string::npos : to - from)));
        if (to == std::string::npos) break;
        from = to + 1;
    }
    return pages;
}

// --- small reports, one feature each ----------------------------------------------

// Word wrap with prefixes and justification, column alignment, a cell over
// two columns, double rules and a tree in the "|+-" style.
void BuildLayoutFeatures(TReport& report) {
    GiveFont(report);
    report.SetTitle("Layout");
    TRptLine* title = report.NewLine();
    title->BeginLiner(2)->RuleCount = 2;
    title->AddText("Layout features")->SetBold(true);
    title->AddFill();
    title->AddMacro("date dd.mm.yyyy");
    title->EndLiner();
    report.NewBlankLine();

    TRptParagraph* plain = report.NewParagraph();
    plain->FirstPrefix().SetText("* ");
    plain->NextPrefix().SetText("  ");
    plain->AddText("A paragraph breaks its text into lines at the width it is given; the first line starts "
                   "with its own prefix and the later ones with another.");
    report.NewBlankLine();
    TRptParagraph* justified = report.NewParagraph();
    justified->Justify = true;
    justified->AddText("With justification the blanks of every full line share its free width, and the last "
                       "line keeps its natural spacing.");
    report.NewBlankLine();

    TRptTable* table = report.NewTable("Prices");
    table->AddField("Item");
    TRptField* amount = table->AddField("Amount");
    amount->HorzAlign = alEnd;
    TRptField* mark = table->AddField("Mark");
    mark->HorzAlign = alCentre;
    TRptRow* heading = table->NewRow();
    heading->BeginLiner(2);
    for (const char* h : {"Item", "Amount", "Mark"}) heading->NewCell()->AddText(h);
    heading->EndLiner();
    const char* items[][3] = {{"bread", "2.40", "a"}, {"cheese, mature", "11.95", "bb"}, {"tea", "0.80", "c"}};
    for (const auto& item : items) {
        TRptRow* row = table->NewRow();
        for (const char* t : item) row->NewCell()->AddText(t);
    }
    TRptRow* total = table->NewRow();
    total->BeginLiner(0)->RuleCount = 2;
    total->NewMultiCell(2)->AddText("two columns: 15.15");
    total->EndLiner();
    report.NewBlankLine();

    const char* prefixes[] = {"", "\u251C", "\u2502\u251C", "\u2502\u2514", "\u2514"};
    const char* names[] = {"ROOT", "FIRST", "first.a", "first.b", "SECOND"};
    for (int i = 0; i < 5; ++i) {
        TRptLine* line = report.NewLine();
        line->AddTree(prefixes[i]);
        line->AddText(names[i]);
    }
}

TEST(Fixtures, LayoutFeatures) {
    TReport report;
    BuildLayoutFeatures(report);
    ExpectEngineFixture(AsText(report, {0, 0}, {40, 0}, 2), "layout_features.txt");
    ExpectEngineFixture(AsData(report), "layout_features.tab");
}

// Margins, small pages, a header with the page number, a footer with the
// section title, a section that must start on a new page and one that is
// kept together.
void BuildPagedSections(TReport& report) {
    GiveFont(report);
    report.SetTitle("Paged");
    TRptLine* header = report.Header().NewLine();
    header->BeginLiner(2);
    header->AddMacro("TITLE");
    header->AddFill();
    header->AddText("p. ");
    header->AddMacro("PAGE");
    header->EndLiner();
    TRptLine* footer = report.Footer().NewLine();
    footer->AddText("[");
    footer->AddMacro("SECTION TITLE");
    footer->AddText("]");

    TRptSection* intro = report.NewSection("Intro");
    intro->NewLine()->AddText("1 Intro")->SetBold(true);
    for (int i = 1; i <= 4; ++i) intro->NewLine()->AddText("intro line " + std::to_string(i));

    TRptSection* kept = report.NewSection("Kept");
    kept->PageBreakMode = pbKeepTogether;
    kept->NewLine()->AddText("2 Kept together");
    for (int i = 1; i <= 5; ++i) kept->NewLine()->AddText("kept line " + std::to_string(i));

    TRptSection* fresh = report.NewSection("Fresh");
    fresh->PageBreakMode = pbNewPage;
    fresh->NewLine()->AddText("3 On a page of its own");
    fresh->NewLine()->AddText("fresh line");
}

TEST(Fixtures, PagedSections) {
    TReport report;
    BuildPagedSections(report);
    ExpectEngineFixture(AsText(report, {2, 1}, {30, 10}), "paged_sections.txt");
}

// --- a long report -------------------------------------------------------------------

constexpr int VehicleCount = 2000;
constexpr int ServiceCount = 150;
constexpr int DepotCount = 12;

std::string VehicleName(int i) {
    static const char* makes[] = {"Alder", "Birch", "Cedar", "Dogwood", "Elm", "Fir", "Gum"};
    static const char* models[] = {"Compact", "Estate", "Van", "Pickup", "Coupe", "Saloon", "Tourer",
                                   "Roadster", "Minibus", "Crossover", "Hatch"};
    return std::string(makes[i % 7]) + " " + models[(i * 3) % 11] + " " + std::to_string(1 + i % 9);
}

std::string VehicleClass(int i) {
    static const char* classes[] = {"city", "family", "utility", "leisure"};
    return classes[(i / 5) % 4];
}

// A heading line as the builders make it: the number and title, bold and
// a point larger.
void AddHeading(TRptSection& section, const std::string& text) {
    TRptText* heading = section.NewLine()->AddText(text);
    heading->SetBold(true);
    heading->SetFontSize(fcAdd, 1);
}

// A table heading for continuation pages: texts at the table's fixed
// column widths (digit widths) with empty gaps of the separator's width
// between them, ruled like the heading row.
void AddContinuationHeading(TRptTable& table, const std::vector<std::pair<std::string, float>>& columns) {
    TRptLine* caption = table.HeadingGroup().NewLine();
    caption->AddMacro("TABLE TITLE");
    caption->AddText(" (continued)");
    TRptLine* line = table.HeadingGroup().NewLine();
    line->BeginLiner(2);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (c > 0) {
            TRptElement* gap = line->AddFill();
            gap->SetWidthMeasure(MakeMeasure(mkDigits, static_cast<float>(table.Separator.size())));
            gap->HorzPlacement = plStart;
        }
        TRptText* t = line->AddText(columns[c].first);
        t->SetWidthMeasure(MakeMeasure(mkDigits, columns[c].second));
        t->SetBold(true);
        if (c == 0 || c + 1 == columns.size()) t->HorzAlign = alEnd;
    }
    line->EndLiner();
}

// A table of fixed-width columns with a ruled heading row.
TRptTable* AddTable(TRptSection& section, const std::string& title,
                    const std::vector<std::pair<std::string, float>>& columns) {
    TRptTable* table = section.NewTable(title);
    table->PageBreakMode = pbFlow;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        TRptField* field = table->AddField(columns[c].first);
        field->SetWidthMeasure(MakeMeasure(mkDigits, columns[c].second));
        if (c == 0 || c + 1 == columns.size()) field->HorzAlign = alEnd;
    }
    TRptRow* heading = table->NewRow();
    heading->SetBold(true);
    heading->BeginLiner(2);
    for (const auto& column : columns) heading->NewCell()->AddText(column.first);
    heading->EndLiner();
    AddContinuationHeading(*table, columns);
    return table;
}

void BuildLongReport(TReport& report) {
    GiveFont(report);
    report.SetTitle("Fleet register 2024");
    TRptLine* header = report.Header().NewLine();
    header->BeginLiner(2);
    header->AddText("Fleet")->SetBold(true);
    header->AddFill();
    header->AddMacro("TITLE");
    header->AddFill();
    header->AddText("Page ");
    header->AddMacro("PAGE");
    header->EndLiner();
    TRptLine* footer = report.Footer().NewLine();
    footer->BeginLiner(0);
    footer->AddMacro("SECTION TITLE");
    footer->AddFill();
    footer->AddMacro("DATE dd.mm.yyyy");
    footer->EndLiner();

    // 1: a short section kept together (the default mode).
    TRptSection* summary = report.NewSection("Summary");
    AddHeading(*summary, "1 Summary");
    summary->NewParagraph()->AddText(
        "This register lists every vehicle of the fleet with its class and price, the service log of the "
        "year and the depots with their staff. Each part starts where the rules of its section say: the "
        "vehicles on a page of their own, the service log kept together where it fits, the depots one "
        "after the other.");
    summary->NewBlankLine();
    TRptTable* classes = AddTable(*summary, "Classes", {{"No.", 3}, {"Class", 12}, {"Vehicles", 8}});
    for (int c = 0; c < 4; ++c) {
        TRptRow* row = classes->NewRow();
        row->NewCell()->AddText(std::to_string(c + 1));
        row->NewCell()->AddText(VehicleClass(c * 5));
        row->NewCell()->AddText(std::to_string(VehicleCount / 4));
    }

    // 2: thousands of rows on pages of their own, the table flowing.
    TRptSection* vehicles = report.NewSection("Vehicles");
    vehicles->PageBreakMode = pbNewPage;
    AddHeading(*vehicles, "2 Vehicles");
    vehicles->VerticalSpace(0.5f);
    TRptTable* list = AddTable(*vehicles, "Vehicles", {{"No.", 5}, {"Name", 22}, {"Class", 10}, {"Price", 9}});
    for (int i = 1; i <= VehicleCount; ++i) {
        TRptRow* row = list->NewRow();
        row->NewCell()->AddText(std::to_string(i));
        row->NewCell()->AddText(VehicleName(i));
        row->NewCell()->AddText(VehicleClass(i));
        row->NewCell()->AddText(std::to_string(9000 + (i * 7919) % 41000));
    }

    // 3: kept together, but taller than a page: it starts a new page and
    // is then split.
    TRptSection* service = report.NewSection("Service log");
    service->PageBreakMode = pbKeepTogether;
    AddHeading(*service, "3 Service log");
    TRptTable* log = AddTable(*service, "Service log", {{"Day", 4}, {"Vehicle", 22}, {"Work", 30}, {"Hours", 5}});
    static const char* works[] = {"oil and filters", "brakes", "tyres, all four", "inspection", "bodywork"};
    for (int i = 1; i <= ServiceCount; ++i) {
        TRptRow* row = log->NewRow();
        row->NewCell()->AddText(std::to_string(1 + (i * 2) % 365));
        row->NewCell()->AddText(VehicleName(i * 13));
        row->NewCell()->AddText(works[i % 5]);
        row->NewCell()->AddText(std::to_string(1 + i % 7));
    }

    // 4: a flowing section of small sections, each kept together.
    TRptSection* depots = report.NewSection("Depots");
    depots->PageBreakMode = pbFlow;
    AddHeading(*depots, "4 Depots");
    for (int d = 1; d <= DepotCount; ++d) {
        TRptSection* depot = depots->NewSection("Depot " + std::to_string(d));
        depot->NewLine()->AddText("4." + std::to_string(d) + " Depot " + std::to_string(d))->SetBold(true);
        for (int k = 1; k <= 6 + d % 4; ++k)
            depot->NewLine()->AddText("  staff member " + std::to_string(d * 100 + k));
        depot->NewBlankLine();
    }

    // 5: the closing notes on a page of their own.
    TRptSection* notes = report.NewSection("Notes");
    notes->PageBreakMode = pbNewPage;
    AddHeading(*notes, "5 Notes");
    notes->NewParagraph()->AddText("Prices are list prices without tax. Service hours are rounded to whole hours.");
}

TEST(Fixtures, LongReportPaginates) {
    TReport report;
    BuildLongReport(report);
    const std::string text = AsText(report, {0, 0}, {80, 60});
    ExpectEngineFixture(text, "long_report.txt");

    const auto pages = PagesOf(text);
    ASSERT_GT(pages.size(), 30u);
    auto pageOf = [&](const std::string& row) {
        for (std::size_t p = 0; p < pages.size(); ++p)
            if (std::find(pages[p].begin(), pages[p].end(), row) != pages[p].end()) return static_cast<int>(p);
        return -1;
    };
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const auto& rows = pages[p];
        ASSERT_GE(rows.size(), 3u) << "page " << p + 1;
        EXPECT_LE(rows.size(), 60u) << "page " << p + 1;
        // Every page has its header, with its own number, and its footer.
        EXPECT_EQ(rows.front().substr(0, 5), "Fleet") << "page " << p + 1;
        const std::string number = "Page " + std::to_string(p + 1);
        EXPECT_EQ(rows.front().substr(rows.front().size() - number.size()), number);
        EXPECT_NE(rows.back().find("15.03.2024"), std::string::npos) << "page " << p + 1;
    }
    // Sections of mode -2 start right below the header of a page.
    for (const char* heading : {"2 Vehicles", "5 Notes"}) {
        int p = pageOf(heading);
        ASSERT_GE(p, 1) << heading;
        EXPECT_EQ(pages[static_cast<std::size_t>(p)][1], heading);
    }
    // The service log (mode -1, taller than a page) starts on a new page.
    int service = pageOf("3 Service log");
    ASSERT_GT(service, 0);
    EXPECT_EQ(pages[static_cast<std::size_t>(service)][1], "3 Service log");
    // Continuation pages of the vehicle table repeat its heading below the
    // header; the table's first page has the heading row instead.
    int first = pageOf("2 Vehicles");
    for (int p = first + 1; p < service; ++p)
        EXPECT_EQ(pages[static_cast<std::size_t>(p)][1], "Vehicles (continued)") << "page " << p + 1;
    // Every vehicle row is there once, its cells at their columns.
    std::map<std::string, int> count;
    for (const std::string& line : Lines(text)) ++count[line];
    for (int i = 1; i <= VehicleCount; ++i) {
        char row[128];
        std::snprintf(row, sizeof row, "%5d  %-22s  %-10s  %9d", i, VehicleName(i).c_str(), VehicleClass(i).c_str(),
                      9000 + (i * 7919) % 41000);
        ASSERT_EQ(count[row], 1) << row;
    }
    // A depot (mode -1 inside a flowing section) is never split.
    for (int d = 1; d <= DepotCount; ++d) {
        const std::string depot = "4." + std::to_string(d) + " Depot " + std::to_string(d);
        const std::string last = "  staff member " + std::to_string(d * 100 + 6 + d % 4);
        EXPECT_EQ(pageOf(depot), pageOf(last)) << depot;
    }
}

TEST(Fixtures, LongReportAsTabDelimitedText) {
    TReport report;
    BuildLongReport(report);
    const std::vector<std::string> lines = Lines(AsData(report));
    // One endless page: every vehicle is one row of four fields.
    int vehicles = 0;
    for (const std::string& line : lines) {
        if (std::count(line.begin(), line.end(), '\t') != 3) continue;
        const std::string first = line.substr(0, line.find('\t'));
        if (!first.empty() && std::all_of(first.begin(), first.end(), [](unsigned char c) { return std::isdigit(c) != 0; }) &&
            line.find("\tcity\t") != std::string::npos)
            ++vehicles;
    }
    int city = 0;
    for (int i = 1; i <= VehicleCount; ++i) city += VehicleClass(i) == "city";
    EXPECT_EQ(vehicles, city);
    // On one page no heading is repeated.
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Vehicles (continued)"), 0);
}

}  // namespace
}  // namespace mivo
