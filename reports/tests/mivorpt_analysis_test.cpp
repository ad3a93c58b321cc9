// The analysis reports: plus-minus-one analysis, selective explanation and
// comparison of options, built from the bicycle fixture model.
#include <gtest/gtest.h>

#include "reports/tests/ReportFixture.h"

namespace mivo {
namespace {

using namespace testing;

class AnalysisReport : public ::testing::Test {
protected:
    AnalysisReport() : scope_(&host), model(LoadFixtureModel()) {}

    TMivoAttribute& Attribute(const std::string& name) {
        TMivoAttribute* a = model->FindByName(name);
        EXPECT_NE(a, nullptr) << name;
        return *a;
    }
    int Option(const std::string& name) { return model->IndexOfOption(name); }

    // The plus-minus-one report of the attribute for the option, from the
    // model's own analysis.
    std::unique_ptr<TReport> PlusMinus(const std::string& attribute, const std::string& option) {
        TAnalysisList list;
        std::vector<std::string> lower;
        std::vector<std::string> higher;
        Attribute(attribute).PlusMinusOne(Option(option), list, lower, higher);
        return BuildPlusMinusReport(model.get(), Option(option), list, lower, higher, ReportFont(), ReportPen());
    }

    std::unique_ptr<TReport> Comparison(const std::vector<int>& options) {
        return BuildComparisonReport(model.get(), options, ReportFont(), ReportPen());
    }

    StubHost host;

private:
    HostScope scope_;

public:
    std::unique_ptr<TMivoModel> model;
};

// --- stored texts -------------------------------------------------------------------

TEST_F(AnalysisReport, PlusMinusOneText) {
    auto report = PlusMinus("Bicycle", "Flint");
    ASSERT_NE(report, nullptr);
    ExpectFixture(AsText(*report), "plus_minus.txt");
}

TEST_F(AnalysisReport, SelectiveExplanationText) {
    auto report = BuildSelectiveExplanationReport(model.get(), Option("Harbor"), ReportFont(), ReportPen());
    ASSERT_NE(report, nullptr);
    ExpectFixture(AsText(*report), "selective_explanation.txt");
}

TEST_F(AnalysisReport, ComparisonText) {
    auto report = Comparison({Option("Comet"), Option("Lumen"), Option("Atlas"), Option("Breeze")});
    ASSERT_NE(report, nullptr);
    ExpectFixture(AsText(*report), "comparison.txt");
    ExpectFixture(AsData(*report), "comparison.tab");
}

// --- nothing to build ---------------------------------------------------------------

TEST_F(AnalysisReport, NothingToBuild) {
    TAnalysisList one{{"0", &Attribute("Cost")}};
    const std::vector<std::string> empty1{""};
    const std::vector<std::string> empty2{"", ""};
    const TFont font = ReportFont();
    const TPen pen = ReportPen();
    EXPECT_EQ(BuildPlusMinusReport(nullptr, 0, one, empty1, empty1, font, pen), nullptr);
    EXPECT_EQ(BuildPlusMinusReport(model.get(), 0, {}, {}, {}, font, pen), nullptr);
    EXPECT_EQ(BuildPlusMinusReport(model.get(), 0, one, empty2, empty1, font, pen), nullptr);
    EXPECT_EQ(BuildPlusMinusReport(model.get(), 0, one, empty1, empty2, font, pen), nullptr);
    EXPECT_NE(BuildPlusMinusReport(model.get(), 0, one, empty1, empty1, font, pen), nullptr);
    EXPECT_EQ(BuildSelectiveExplanationReport(nullptr, 0, font, pen), nullptr);
    EXPECT_EQ(BuildComparisonReport(nullptr, {0}, font, pen), nullptr);
    EXPECT_EQ(BuildComparisonReport(model.get(), {}, font, pen), nullptr);
    host.active = false;
    EXPECT_EQ(BuildPlusMinusReport(model.get(), 0, one, empty1, empty1, font, pen), nullptr);
    EXPECT_EQ(BuildSelectiveExplanationReport(model.get(), 0, font, pen), nullptr);
    EXPECT_EQ(BuildComparisonReport(model.get(), {0, 1}, font, pen), nullptr);
}

// --- plus-minus-one --------------------------------------------------------------------

TEST_F(AnalysisReport, PlusMinusMarkers) {
    // Breeze has the lowest value of every basic attribute on Cost.
    auto report = PlusMinus("Cost", "Breeze");
    TRptTable* table = FirstTable(*report);
    ASSERT_NE(table, nullptr);
    auto rows = Rows(*table);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(CellTexts(*rows[0]), (std::vector<std::string>{"Attribute", "-1", "Breeze", "+1"}));
    EXPECT_EQ(CellTexts(*rows[1]), (std::vector<std::string>{"Cost", " ", "high", " "}));
    // Price up gives fair + high = medium; Upkeep up gives expensive + low =
    // high or medium.
    EXPECT_EQ(CellTexts(*rows[2]), (std::vector<std::string>{"Price", "[", "expensive", "medium"}));
    EXPECT_EQ(CellTexts(*rows[3]), (std::vector<std::string>{"Upkeep", "[", "high", "high; medium"}));
    auto marker = dynamic_cast<TRptLine*>(dynamic_cast<TRptCell*>(rows[2]->GetItem(1))->GetItem(0));
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->HorzAlign, alEnd);

    // At the top of a scale the "+1" marker stands left; a step that keeps
    // the analysed value shows a blank.
    report = PlusMinus("Cost", "Atlas");  // cheap and low: Cost low
    rows = Rows(*FirstTable(*report));
    EXPECT_EQ(CellTexts(*rows[2]), (std::vector<std::string>{"Price", "medium", "cheap", "]"}));
    EXPECT_EQ(CellTexts(*rows[3]), (std::vector<std::string>{"Upkeep", "medium", "low", "]"}));
    auto plus = dynamic_cast<TRptLine*>(dynamic_cast<TRptCell*>(rows[2]->GetItem(3))->GetItem(0));
    EXPECT_EQ(plus->HorzAlign, alStart);
    report = PlusMinus("Cost", "Comet");  // fair and low: medium; fair and high is medium too
    rows = Rows(*FirstTable(*report));
    EXPECT_EQ(CellTexts(*rows[3]), (std::vector<std::string>{"Upkeep", " ", "low", "]"}));
}

TEST_F(AnalysisReport, PlusMinusTreePrefixesAreThoseOfTheWholeModel) {
    auto report = PlusMinus("Ride", "Comet");
    auto trees = TreePrefixesOf(*FirstTable(*report));
    std::vector<std::string> prefixes;
    for (TRptTree* t : trees) prefixes.push_back(t->RawText());
    EXPECT_EQ(prefixes, (std::vector<std::string>{"\u2514", "-\u2502\u251C", "-\u2514"}));
}

// --- selective explanation -------------------------------------------------------

TEST_F(AnalysisReport, NoWeakPoints) {
    // Comfort has no rules: its undefined value counts as the whole scale.
    Attribute("Comfort").SetOptValue(Option("Atlas"), "2");
    auto report = BuildSelectiveExplanationReport(model.get(), Option("Atlas"), ReportFont(), ReportPen());
    auto sections = TopSections(*report);
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0]->GetTitle(), "Selective explanation");
    EXPECT_EQ(HeadingOf(*sections[0]), "Weak points");
    EXPECT_EQ(FirstTable(*sections[0]), nullptr);
    EXPECT_EQ(TextOf(*sections[0]), "Weak points None ");
    EXPECT_EQ(HeadingOf(*sections[1]), "Strong points");
    ASSERT_NE(FirstTable(*sections[1]), nullptr);
    EXPECT_EQ(FirstTable(*sections[1])->GetTitle(), "");
}

// The attribute names of the rows, "" for the separating rows.
std::vector<std::string> RowNames(TRptSection& section) {
    std::vector<std::string> names;
    auto rows = Rows(*FirstTable(section));
    for (std::size_t i = 1; i < rows.size(); ++i) {
        auto cells = CellTexts(*rows[i]);
        names.push_back(cells.empty() ? "" : cells[0]);
    }
    return names;
}

TEST_F(AnalysisReport, WeakAndStrongPointsInConnectedGroups) {
    using Names = std::vector<std::string>;
    // Breeze: everything at its worst; Comfort (undefined) holds both its
    // bad and its good value.
    auto report = BuildSelectiveExplanationReport(model.get(), Option("Breeze"), ReportFont(), ReportPen());
    auto sections = TopSections(*report);
    EXPECT_EQ(RowNames(*sections[0]), (Names{"Bicycle", "Cost", "Price", "Upkeep", "Ride", "Comfort", "Saddle", ""}));
    EXPECT_EQ(RowNames(*sections[1]), (Names{"Comfort", ""}));

    // Separate parts of the tree are separate groups; a "*" value on a scale
    // with bad and good values is both.
    Attribute("Saddle").SetOptValue(Option("Kite"), "*");
    model->Reevaluate();
    report = BuildSelectiveExplanationReport(model.get(), Option("Kite"), ReportFont(), ReportPen());
    sections = TopSections(*report);
    EXPECT_EQ(RowNames(*sections[0]), (Names{"Upkeep", "", "Comfort", "Saddle", ""}));
    EXPECT_EQ(RowNames(*sections[1]), (Names{"Price", "", "Ride", "Comfort", "Saddle", ""}));
}

// --- comparison -------------------------------------------------------------------------

TEST_F(AnalysisReport, ComparisonInChunks) {
    std::vector<int> options{Option("Lumen")};
    for (int i = 0; i < 11; ++i) options.push_back(i);
    auto report = Comparison(options);
    // One section, laid out in chunks of options, each with the main one.
    ASSERT_EQ(TopSections(*report).size(), 1u);
    TRptChunkedSection* section = ChunkedSectionOf(*report);
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(section->GetTitle(), "Comparison of options");
    EXPECT_EQ(section->ChunkedTable->GetTitle(), "Comparison of options");
    EXPECT_EQ(NaturalChunks(*section),
              (std::vector<std::vector<std::string>>{
                  {"Attribute", "Lumen", "Atlas", "Breeze", "Comet", "Dune", "Echo", "heading:Comparison of options"},
                  {"Attribute", "Lumen", "Flint", "Glide", "Harbor", "Iris", "Jade", "heading:"},
                  {"Attribute", "Lumen", "Kite", "heading:"}}));
    // The main option alone: the header only.
    EXPECT_EQ(Comparison({Option("Lumen")})->Count(), 0);
}

TEST_F(AnalysisReport, EqualValuesShowBlank) {
    Attribute("Saddle").SetOptValue(Option("Comet"), "");
    Attribute("Saddle").SetOptValue(Option("Lumen"), "");
    auto report = Comparison({Option("Comet"), Option("Lumen"), Option("Atlas")});
    auto rows = Rows(*FirstTable(*report));
    // Price: fair / fair / cheap; Saddle: both undefined, Atlas soft.
    EXPECT_EQ(CellTexts(*rows[3]), (std::vector<std::string>{"Price", "fair", " ", "cheap"}));
    EXPECT_EQ(CellTexts(*rows[7]), (std::vector<std::string>{"Saddle", "*", " ", "soft"}));
}

}  // namespace
}  // namespace mivo
