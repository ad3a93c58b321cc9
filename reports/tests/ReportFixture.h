// Shared set-up of the report builder tests: the bicycle model of
// tests/data/reports/fixture.mvo (bad and good values, a linked attribute,
// an aggregate without decision rules, twelve options), a stub main window
// with chart panels, a fixed clock, and runs of the text formatters.
//
// Set MIVO_WRITE_REPORT_FIXTURES=1 to have ExpectFixture write the actual
// text next to the stored one (as <name>.actual) for review.
#pragma once

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/MivoFile.h"
#include "model/MivoModel.h"
#include "reports/MivoRpt.h"
#include "reports/Reports.h"

namespace mivo::testing {

// A chart panel that records where it was drawn.
class StubChart : public TChartPanel {
public:
    bool visible = false;
    std::int32_t width = 400;
    std::int32_t height = 300;
    std::vector<TRect> drawn;

    bool Visible() const override { return visible; }
    std::int32_t Width() const override { return width; }
    std::int32_t Height() const override { return height; }
    void Draw(TDrawSurface&, const TRect& rect) override { drawn.push_back(rect); }
};

// The main window with one active model window and its eight chart
// panels, all hidden.
class StubHost : public TReportHost {
public:
    bool active = true;
    std::string fileName = "/home/user/models/bicycle.mvo";
    std::map<TChartId, StubChart> charts;

    StubHost() {
        for (TChartId id : {TChartId::Chart1, TChartId::Chart2, TChartId::Chart3, TChartId::Chart4Panel,
                            TChartId::Chart4A, TChartId::Chart4B, TChartId::Chart4C, TChartId::Chart4D}) {
            charts[id];
        }
    }
    bool HasActiveModelWindow() const override { return active; }
    std::string ActiveFileName() const override { return fileName; }
    TChartPanel* ChartPanel(TChartId id) const override {
        auto it = charts.find(id);
        return it == charts.end() ? nullptr : const_cast<StubChart*>(&it->second);
    }
};

// Registers the stub host and a clock at 14:05:09 for the test's lifetime.
class HostScope {
public:
    explicit HostScope(TReportHost* host)
        : previousHost_(SetReportHost(host)),
          previousClock_(SetReportClock([] { return TDateTime{2024, 3, 15, 14, 5, 9, 0}; })) {}
    ~HostScope() {
        SetReportHost(previousHost_);
        SetReportClock(previousClock_);
    }
    HostScope(const HostScope&) = delete;
    HostScope& operator=(const HostScope&) = delete;

private:
    TReportHost* previousHost_;
    TClock previousClock_;
};

inline std::string FixturePath(const std::string& name) { return std::string(MIVO_TEST_DATA) + "/reports/" + name; }

// The fixture model, read and evaluated, with every option selected.
inline std::unique_ptr<TMivoModel> LoadFixtureModel() {
    auto model = std::make_unique<TMivoModel>();
    LoadFromFile(*model, FixturePath("fixture.mvo"));
    model->Reevaluate();
    return model;
}

inline TFont ReportFont() {
    TFont font;
    font.Name = "Arial";
    font.Size = 10;
    return font;
}

inline TPen ReportPen() { return TPen{}; }

// The report as plain text, 100 characters wide, on one endless page.
inline std::string AsText(TReport& report, TPoint size = {100, 0}) {
    TTextFormatter formatter(report, {0, 0}, size);
    formatter.SetClock([] { return TDateTime{2024, 3, 15, 14, 5, 9, 0}; });
    formatter.Run();
    return formatter.ToText();
}

// The report as tab-delimited text at natural widths, as the print preview
// saves it.
inline std::string AsData(TReport& report) {
    TDataFormatter formatter(report, {0, 0}, {0, 0});
    formatter.SetClock([] { return TDateTime{2024, 3, 15, 14, 5, 9, 0}; });
    formatter.Run();
    return formatter.ToText();
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Compares the text with the stored fixture tests/data/reports/<name>.
inline void ExpectFixture(const std::string& actual, const std::string& name) {
    const std::string path = FixturePath(name);
    if (const char* write = std::getenv("MIVO_WRITE_REPORT_FIXTURES"); write && *write == '1') {
        std::ofstream(path + ".actual", std::ios::binary) << actual;
    }
    EXPECT_EQ(actual, ReadFile(path)) << "fixture " << name;
}

// --- the element tree ---------------------------------------------------------

// Every element of the tree below `group` (pre-order), groups included.
inline void CollectElements(TRpt* element, std::vector<TRpt*>& out) {
    out.push_back(element);
    if (auto* group = dynamic_cast<TRptGroup*>(element)) {
        for (int i = 0; i < group->Count(); ++i) CollectElements(group->GetItem(i), out);
    }
}

inline std::vector<TRpt*> Elements(TRpt& root) {
    std::vector<TRpt*> out;
    CollectElements(&root, out);
    return out;
}

template <class T>
std::vector<T*> ElementsOf(TRpt& root) {
    std::vector<T*> out;
    for (TRpt* e : Elements(root)) {
        if (auto* t = dynamic_cast<T*>(e)) out.push_back(t);
    }
    return out;
}

// The tree prefixes of the tree items below the element, in order.
inline std::vector<TRptTree*> TreePrefixesOf(TRpt& root) {
    std::vector<TRptTree*> out;
    for (TRptParagraph* item : ElementsOf<TRptParagraph>(root))
        if (item->HasTreePrefix()) out.push_back(dynamic_cast<TRptTree*>(&item->FirstPrefix()));
    return out;
}

// The sections directly in the report.
inline std::vector<TRptSection*> TopSections(TReport& report) {
    std::vector<TRptSection*> out;
    for (int i = 0; i < report.Count(); ++i) {
        if (auto* s = dynamic_cast<TRptSection*>(report.GetItem(i))) out.push_back(s);
    }
    return out;
}

// The texts of one element subtree, joined.
inline std::string TextOf(TRpt& element) {
    std::string out;
    for (TRpt* e : Elements(element)) {
        if (auto* t = dynamic_cast<TRptText*>(e); t && !dynamic_cast<TRptTree*>(e) && !dynamic_cast<TRptField*>(e)) {
            out += t->RawText();
        }
    }
    return out;
}

// The texts of each cell of a row.
inline std::vector<std::string> CellTexts(TRptRow& row) {
    std::vector<std::string> out;
    for (int i = 0; i < row.Count(); ++i) {
        if (auto* cell = dynamic_cast<TRptCell*>(row.GetItem(i))) out.push_back(TextOf(*cell));
    }
    return out;
}

// The rows of a table.
inline std::vector<TRptRow*> Rows(TRptTable& table) {
    std::vector<TRptRow*> out;
    for (int i = 0; i < table.Count(); ++i) {
        if (auto* row = dynamic_cast<TRptRow*>(table.GetItem(i))) out.push_back(row);
    }
    return out;
}

// The first table below the element.
inline TRptTable* FirstTable(TRpt& element) {
    auto tables = ElementsOf<TRptTable>(element);
    return tables.empty() ? nullptr : tables.front();
}

// The text of a section's heading line (its first child).
inline std::string HeadingOf(TRptSection& section) {
    return section.Count() > 0 ? TextOf(*section.GetItem(0)) : std::string();
}

// The chunks of a chunked section as they are laid out at natural widths:
// for each, the headings of its table's columns (the key columns first),
// then "heading:" and the chunk's own heading line.
inline std::vector<std::vector<std::string>> NaturalChunks(TRptChunkedSection& section) {
    std::vector<std::vector<std::string>> out;
    const std::vector<std::string> headings = CellTexts(*Rows(*section.ChunkedTable)[0]);
    const auto chunks = section.ColumnChunks(0);
    for (std::size_t k = 0; k < chunks.size(); ++k) {
        std::vector<std::string> chunk(headings.begin(), headings.begin() + section.KeyColumns);
        for (int c : chunks[k]) chunk.push_back(headings[static_cast<std::size_t>(c)]);
        chunk.push_back("heading:" + (k == 0 ? HeadingOf(section) : TextOf(section.NextHeading())));
        out.push_back(std::move(chunk));
    }
    return out;
}

// The one chunked section directly in the report; null for none.
inline TRptChunkedSection* ChunkedSectionOf(TReport& report) {
    for (int i = 0; i < report.Count(); ++i) {
        if (auto* s = dynamic_cast<TRptChunkedSection*>(report.GetItem(i))) return s;
    }
    return nullptr;
}

}  // namespace mivo::testing
