// The model report, its sections and the rules report of one decision
// table, built from the bicycle fixture model.
#include <gtest/gtest.h>

#include "model/MivoFunction.h"
#include "model/MivoScale.h"
#include "reports/MivoRptBuilder.h"
#include "reports/tests/ReportFixture.h"

namespace mivo {
namespace {

using namespace testing;

class ModelReport : public ::testing::Test {
protected:
    ModelReport() : scope_(&host), model(LoadFixtureModel()) {}

    std::unique_ptr<TReport> Build(const TValueSet& parts) {
        return BuildModelReport(model.get(), parts, ReportFont(), ReportPen());
    }
    std::unique_ptr<TReport> BuildOnly(std::initializer_list<int> members) {
        TValueSet parts;
        for (int m : members) parts.set(static_cast<std::size_t>(m));
        return Build(parts);
    }
    TMivoAttribute& Attribute(const std::string& name) {
        TMivoAttribute* a = model->FindByName(name);
        EXPECT_NE(a, nullptr) << name;
        return *a;
    }

    StubHost host;

private:
    HostScope scope_;

public:
    std::unique_ptr<TMivoModel> model;
};

std::vector<std::string> Titles(const std::vector<TRptSection*>& sections) {
    std::vector<std::string> out;
    for (TRptSection* s : sections) out.push_back(s->GetTitle());
    return out;
}

// --- the stored texts ---------------------------------------------------------------

TEST_F(ModelReport, WholeReportAsTextAndTabDelimited) {
    host.charts[TChartId::Chart2].visible = true;
    auto report = BuildOnly({0, 1, 2, 3, 4, 5, 6, 7, 8});
    ASSERT_NE(report, nullptr);
    ExpectFixture(AsText(*report), "model_report.txt");
    ExpectFixture(AsData(*report), "model_report.tab");
}

TEST_F(ModelReport, ElementaryRulesWithEnteredOnly) {
    model->Settings.ComplexRules = false;
    model->Settings.EnteredOnly = true;
    auto report = BuildOnly({rpRuleTables});
    ExpectFixture(AsText(*report), "rule_tables_elementary.txt");
}

TEST_F(ModelReport, RulesReportOfOneFunction) {
    TMivoAttribute& cost = Attribute("Cost");
    model->Settings.ComplexRules = false;
    host.active = false;  // not needed by the rules report
    auto report = BuildFunctionRulesReport(model.get(), cost.Funct(), &cost, ReportPen(), ReportFont());
    ASSERT_NE(report, nullptr);
    ExpectFixture(AsText(*report), "rules_report.txt");
}


// --- entries -------------------------------------------------------------------------

TEST_F(ModelReport, NothingToBuild) {
    TValueSet all = FullValueSet();
    EXPECT_EQ(BuildModelReport(nullptr, all, ReportFont(), ReportPen()), nullptr);
    EXPECT_EQ(Build(TValueSet{}), nullptr);
    host.active = false;
    EXPECT_EQ(Build(all), nullptr);
    {
        HostScope none(nullptr);
        EXPECT_EQ(Build(all), nullptr);
        // The rules report needs no model window.
        TMivoAttribute& cost = Attribute("Cost");
        EXPECT_NE(BuildFunctionRulesReport(model.get(), cost.Funct(), &cost, ReportPen(), ReportFont()), nullptr);
    }
    EXPECT_EQ(BuildFunctionRulesReport(nullptr, nullptr, nullptr, ReportPen(), ReportFont()), nullptr);
    // Without an attribute only the header is built.
    auto empty = BuildFunctionRulesReport(model.get(), nullptr, nullptr, ReportPen(), ReportFont());
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->Count(), 0);
}

TEST_F(ModelReport, SectionsInTheOrderOfTheParts) {
    host.charts[TChartId::Chart3].visible = true;
    auto report = BuildOnly({8, 7, 6, 5, 4, 3, 2, 1, 0});
    std::vector<std::string> titles = Titles(TopSections(*report));
    std::vector<std::string> expected = {"Model description", "Attribute tree", "Scales"};
    for (const char* name : {"Bicycle", "Cost", "Price", "Upkeep", "Ride", "Comfort", "Saddle", "Frame", "Frame"}) {
        expected.emplace_back(name);
    }
    // The evaluation results are one section, laid out in chunks of options.
    expected.insert(expected.end(), {"Functions", "Tables", "Tables", "Tables", "Tables", "Average weights",
                                     "Evaluation results", "Chart"});
    EXPECT_EQ(titles, expected);
    // Report and file name in the header; the page number is a macro.
    TRptGroup& header = report->Header();
    EXPECT_EQ(TextOf(header), "Mivo14:05:09 bicycle.mvoPage PAGE ");  // and the space below
    ASSERT_EQ(ElementsOf<TRptMacro>(header).size(), 1u);
    EXPECT_EQ(ElementsOf<TRptMacro>(header)[0]->GetOwnFont()->Size, 12);
    EXPECT_EQ(*report->GetOwnFont(), ReportFont());
}

TEST_F(ModelReport, NoDescriptionSectionWithoutNameAndDescription) {
    model->SetName("");
    model->SetDescription("");
    EXPECT_EQ(BuildOnly({rpModelDescription})->Count(), 0);
    model->SetDescription("one\rtwo\n\r\nfour\r\n");
    auto report = BuildOnly({rpModelDescription});
    auto paragraphs = ElementsOf<TRptParagraph>(*report);
    std::vector<std::string> texts;
    for (TRptParagraph* p : paragraphs) texts.push_back(TextOf(*p));
    EXPECT_EQ(texts, (std::vector<std::string>{"one", "two", " ", "four"}));
}

// --- attribute rows and values ------------------------------------------------------

TEST_F(ModelReport, TreePrefixes) {
    std::vector<std::string> prefixes;
    for (TMivoAttribute* a : model->Attributes()) prefixes.push_back(AttributeTreePrefix(*a));
    EXPECT_EQ(prefixes, (std::vector<std::string>{"", "\u251C", "\u2502\u251C", "\u2502\u2514", "\u2514", "-\u251C",
                                                  "-\u2502\u251C", "-\u2502\u2514", "-\u2514"}));
    EXPECT_EQ(AttributeTreePrefix(*model->Root()), "");
    TMivoAttribute loose("alone");
    EXPECT_EQ(AttributeTreePrefix(loose), "");
}

TEST_F(ModelReport, NameStylesAndValueStylesInTheElementTree) {
    model->Settings.BadColor = 0x0000FF;
    model->Settings.GoodColor = 0x00AA00;
    model->Settings.BadFontStyle = fsUnderline;
    model->Settings.GoodFontStyle = fsItalic;
    auto report = BuildOnly({rpScales});
    TRptTable* table = FirstTable(*report);
    ASSERT_NE(table, nullptr);
    auto rows = Rows(*table);
    ASSERT_EQ(rows.size(), 10u);  // heading row and nine attributes

    // The heading row is bold and ruled.
    EXPECT_TRUE(rows[0]->GetOwnFont()->Style & fsBold);
    EXPECT_EQ(ElementsOf<TRptLinerBegin>(*rows[0]).size(), 1u);

    // Name cells: linked bold italic, aggregate bold, basic unstyled.
    auto nameOf = [&](int row) { return ElementsOf<TRptText>(*rows[static_cast<std::size_t>(row)]->GetItem(0)); };
    struct NameCase {
        int row;
        const char* name;
        int style;  // -1: no font of its own
    } names[] = {{1, "Bicycle", fsBold}, {3, "Price", -1}, {6, "Comfort", fsBold}, {8, "Frame", fsBold | fsItalic},
                 {9, "Frame", -1}};
    for (const NameCase& c : names) {
        auto texts = nameOf(c.row);
        ASSERT_EQ(texts.size(), 1u);  // the name, after the item's tree prefix
        EXPECT_EQ(TreePrefixesOf(*rows[static_cast<std::size_t>(c.row)]->GetItem(0)).size(), 1u);
        EXPECT_EQ(texts[0]->RawText(), c.name);
        const TFont* font = texts[0]->GetOwnFont();
        if (c.style < 0) {
            EXPECT_EQ(font, nullptr) << c.name;
        } else {
            ASSERT_NE(font, nullptr) << c.name;
            EXPECT_EQ(font->Style, c.style) << c.name;
        }
    }

    // Scale values of Price: expensive bad, fair plain, cheap good.
    auto values = ElementsOf<TRptText>(*rows[3]->GetItem(1));
    ASSERT_EQ(values.size(), 5u);
    EXPECT_EQ(values[0]->RawText(), "expensive");
    EXPECT_EQ(values[0]->GetOwnFont()->Style, fsUnderline);
    EXPECT_EQ(values[0]->GetOwnFont()->Color, 0x0000FFu);
    EXPECT_EQ(values[1]->RawText(), "; ");
    EXPECT_EQ(values[2]->RawText(), "fair");
    EXPECT_EQ(values[2]->GetOwnFont(), nullptr);
    EXPECT_EQ(values[4]->RawText(), "cheap");
    EXPECT_EQ(values[4]->GetOwnFont()->Style, fsItalic);
    EXPECT_EQ(values[4]->GetOwnFont()->Color, 0x00AA00u);
    // An unordered scale has no classes.
    for (TRptText* t : ElementsOf<TRptText>(*rows[9]->GetItem(1))) EXPECT_EQ(t->GetOwnFont(), nullptr);
}

TEST_F(ModelReport, ScaleLessAttributes) {
    Attribute("Saddle").SetScale(nullptr);
    auto report = BuildOnly({rpScales, rpScaleDescriptions});
    const std::string text = AsText(*report);
    EXPECT_NE(text.find("\u2502 \u251C\u2500Saddle  <undefined>\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Saddle\n<undefined>\n"), std::string::npos) << text;
}

// Builds value ranges and lists directly on a context of the model.
class ValueTexts : public ModelReport {
protected:
    ValueTexts() : ctx(*model), report(ctx.NewModelReport("", ReportFont(), ReportPen())) {}

    std::string Range(const TMivoScale* scale, int low, int high) {
        return JoinedTexts(*ctx.FormatValueRange(*report, scale, low, high));
    }
    std::string List(const TMivoScale* scale, const std::string& value) {
        return JoinedTexts(*ctx.AddEvaluationValueCell(*report, scale, value));
    }
    // The texts of a line joined by "|".
    static std::string JoinedTexts(TRptGroup& line) {
        std::string out;
        for (int i = 0; i < line.Count(); ++i) {
            out += (i ? "|" : "") + dynamic_cast<TRptText*>(line.GetItem(i))->RawText();
        }
        return out;
    }

    TReportContext ctx;
    std::unique_ptr<TReport> report;
};

TEST_F(ValueTexts, RangesOnOrderedAndUnorderedScales) {
    TMivoDiscreteScale scale;
    for (const char* name : {"low", "mid", "high"}) scale.AddValue(name);
    struct Case {
        std::uint8_t order;
        int low, high;
        const char* expected;
    } cases[] = {
        {soAscending, 0, 1, "<=|mid"},     {soAscending, 1, 2, ">=|mid"},    {soAscending, 0, 2, "*"},
        {soAscending, 1, 1, "mid"},        {soDescending, 0, 1, "<=|mid"},   {soUnordered, 0, 1, "low|;|mid"},
        {soUnordered, 0, 2, "*"},          {soUnordered, 1, 2, "mid|;|high"}, {soUnordered, 2, 2, "high"},
    };
    for (const Case& c : cases) {
        scale.Order = c.order;
        EXPECT_EQ(Range(&scale, c.low, c.high), c.expected) << int(c.order) << " " << c.low << ".." << c.high;
    }
    TMivoDiscreteScale five;
    for (const char* name : {"a", "b", "c", "d", "e"}) five.AddValue(name);
    EXPECT_EQ(Range(&five, 1, 3), "b|:|d");
    EXPECT_EQ(Range(nullptr, 2, 2), "3");
}

TEST_F(ValueTexts, ValueLists) {
    TMivoDiscreteScale scale;
    for (const char* name : {"low", "medium", "high"}) scale.AddValue(name);
    struct Case {
        int trim;
        const char* value;
        const char* expected;
    } cases[] = {
        {0, "*", "*"},           {0, "", "*"},          {0, "02", "low|; |high"}, {3, "1", "med"},
        {3, "12", "med|; |hig"}, {-1, "1", "medium"},   {2, "2", "hi"},
        // A value outside the scale shows as its number.
        {0, "15", "medium|; |6"},
    };
    for (const Case& c : cases) {
        model->Settings.EvalTrim = c.trim;
        EXPECT_EQ(List(&scale, c.value), c.expected) << c.value << " trim " << c.trim;
    }
    // Without a scale the value string is shown as it is.
    EXPECT_EQ(List(nullptr, "01"), "01");
    EXPECT_EQ(List(nullptr, ""), "");
}

TEST_F(ModelReport, OptionValuesOutsideTheScaleDoNotFailTheReport) {
    Attribute("Price").SetOptValue(0, "7");
    Attribute("Upkeep").SetOptValue(0, "/");  // below the first value
    auto report = BuildOnly({rpEvaluationResults});
    const std::string text = AsText(*report);
    EXPECT_NE(text.find("\u2502 \u251C\u2500Price     8 "), std::string::npos) << text;
    EXPECT_NE(text.find("\u2502 \u2514\u2500Upkeep    0 "), std::string::npos) << text;
}

// --- page breaks ---------------------------------------------------------------------

TEST_F(ModelReport, PageBreakModes) {
    host.charts[TChartId::Chart1].visible = true;
    for (bool pageBreak : {false, true}) {
        model->Settings.PageBreak = pageBreak;
        const std::int32_t mode = pageBreak ? pbNewPage : pbKeepTogether;
        auto report = Build(FullValueSet());
        std::string last;
        for (TRptSection* section : TopSections(*report)) {
            const std::string title = section->GetTitle();
            std::int32_t expected = mode;
            if (title == "Chart") {
                expected = pbNewPage;
            } else if ((title == "Tables" && last == "Tables") ||
                       (model->FindByName(title) && last != "Scales")) {
                expected = pbKeepTogether;  // scale descriptions and rule tables after the first
            }
            EXPECT_EQ(section->PageBreakMode, expected) << title << " after " << last;
            for (TRptTable* table : ElementsOf<TRptTable>(*section)) EXPECT_EQ(table->PageBreakMode, pbFlow);
            last = title;
        }
    }
}

// --- functions and rule tables -----------------------------------------------------

TEST_F(ModelReport, RuleNumbersAndWeightsFollowTheSettings) {
    model->Settings.ComplexRules = false;
    struct Case {
        bool showNum, enteredOnly, showWeights;
        std::vector<std::string> firstRows;  // heading row, weights row (if any), first rules of Cost
    } cases[] = {
        {true, false, true, {" |Price|Upkeep|Cost", " |55.6%|44.4%| ", "1|expensive|high|high", "2|expensive|low|<=medium"}},
        {false, false, true, {"Price|Upkeep|Cost", "55.6%|44.4%| ", "expensive|high|high", "expensive|low|<=medium"}},
        {true, true, false, {" |Price|Upkeep|Cost", "1|expensive|high|high", "3|fair|high|medium"}},
    };
    for (const Case& c : cases) {
        model->Settings.ShowNum = c.showNum;
        model->Settings.EnteredOnly = c.enteredOnly;
        model->Settings.ShowWeights = c.showWeights;
        TMivoAttribute& cost = Attribute("Cost");
        auto report = BuildFunctionRulesReport(model.get(), cost.Funct(), &cost, ReportPen(), ReportFont());
        TRptTable* table = FirstTable(*report);
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table->FieldCount(), (c.showNum ? 1 : 0) + 3);
        auto rows = Rows(*table);
        for (std::size_t i = 0; i < c.firstRows.size(); ++i) {
            std::string joined;
            for (const std::string& cell : CellTexts(*rows[i])) joined += (joined.empty() ? "" : "|") + cell;
            // CellTexts joins the texts of a range ("<=", "medium").
            EXPECT_EQ(joined, c.firstRows[i]) << c.showNum << c.enteredOnly << c.showWeights << " row " << i;
        }
        if (c.showNum) {
            // Entered rules have bold numbers.
            const std::size_t firstRule = c.showWeights ? 2 : 1;
            auto number = ElementsOf<TRptText>(*rows[firstRule]->GetItem(0));
            EXPECT_TRUE(number[0]->GetOwnFont() && (number[0]->GetOwnFont()->Style & fsBold));
            if (!c.enteredOnly) {
                auto notEntered = ElementsOf<TRptText>(*rows[firstRule + 1]->GetItem(0));
                EXPECT_EQ(notEntered[0]->GetOwnFont(), nullptr);
            }
        }
    }
}

TEST_F(ModelReport, AggregateWithoutFunction) {
    auto report = BuildOnly({rpFunctionSummary, rpRuleTables});
    const std::string text = AsText(*report);
    EXPECT_NE(text.find("  \u251C\u2500Comfort   <undefined>\n"), std::string::npos) << text;
    // Its rule table is the heading row alone, followed by "<undefined>".
    auto sections = TopSections(*report);
    ASSERT_EQ(sections.size(), 5u);
    TRptTable* comfort = FirstTable(*sections[4]);
    ASSERT_EQ(Rows(*comfort).size(), 1u);
    EXPECT_EQ(CellTexts(*Rows(*comfort)[0]), (std::vector<std::string>{" ", "Saddle", "Frame", "Comfort"}));
    EXPECT_EQ(HeadingOf(*sections[1]), "Tables");
    EXPECT_EQ(HeadingOf(*sections[4]), "");
    EXPECT_NE(text.find(" \u2500\u2500Saddle\u2500\u2500Frame\u2500\u2500Comfort\n<undefined>\n"), std::string::npos);
}

TEST_F(ModelReport, RulesReportShowsTheEditedFunction) {
    // The rule editor reports its working copy, not the stored table.
    TMivoAttribute& cost = Attribute("Cost");
    TMivoFunction copy;
    copy.Assign(*cost.Funct());
    for (int r = 0; r < copy.RuleCount(); ++r) {
        copy.SetRuleLow(r, 2);
        copy.SetRuleHigh(r, 2);
    }
    model->Settings.ComplexRules = true;
    auto report = BuildFunctionRulesReport(model.get(), &copy, &cost, ReportPen(), ReportFont());
    auto rows = Rows(*FirstTable(*report));
    ASSERT_EQ(rows.size(), 3u);  // heading, weights and one compact rule
    EXPECT_EQ(CellTexts(*rows[2]), (std::vector<std::string>{"1", "*", "*", "low"}));
}

// --- weights ---------------------------------------------------------------------

TEST_F(ModelReport, WeightColumnsFollowWeightShow) {
    model->Settings.WeightShow.reset();
    EXPECT_EQ(BuildOnly({rpWeights})->Count(), 0);
    struct Case {
        std::vector<int> members;
        std::vector<std::string> heading;
        std::vector<std::string> price;
    } cases[] = {
        {{1}, {"Attribute", "Global"}, {"Price", "30.6"}},
        {{0, 3, 9}, {"Attribute", "Local", "Glob.norm."}, {"Price", "55.6", "35.9"}},
    };
    for (const Case& c : cases) {
        model->Settings.WeightShow.reset();
        for (int m : c.members) model->Settings.WeightShow.set(static_cast<std::size_t>(m));
        auto report = BuildOnly({rpWeights});
        TRptTable* table = FirstTable(*report);
        ASSERT_NE(table, nullptr);
        auto rows = Rows(*table);
        EXPECT_EQ(CellTexts(*rows[0]), c.heading);
        EXPECT_EQ(CellTexts(*rows[3]), c.price);
        EXPECT_EQ(CellTexts(*rows[1]), (std::vector<std::string>{"Bicycle"}));
        EXPECT_EQ(CellTexts(*rows[7]), (std::vector<std::string>{"Saddle", "?"}));
    }
    model->Settings.WeightDec = 3;
    auto report = BuildOnly({rpWeights});
    EXPECT_EQ(CellTexts(*Rows(*FirstTable(*report))[3])[1], "55.556");
}

// --- evaluation results -----------------------------------------------------------

std::vector<std::vector<std::string>> EvaluationChunks(TReport& report) {
    auto sections = TopSections(report);
    EXPECT_EQ(sections.size(), 1u);
    TRptChunkedSection* section = ChunkedSectionOf(report);
    if (section == nullptr) return {};
    EXPECT_EQ(section->GetTitle(), "Evaluation results");
    EXPECT_EQ(section->ChunkedTable->GetTitle(), "Evaluation results");
    return NaturalChunks(*section);
}

TEST_F(ModelReport, EvaluationResultsInChunksOfSelectedOptions) {
    using Chunks = std::vector<std::vector<std::string>>;
    auto report = BuildOnly({rpEvaluationResults});
    EXPECT_EQ(EvaluationChunks(*report),
              (Chunks{{"Attribute", "Atlas", "Breeze", "Comet", "Dune", "Echo", "heading:Evaluation results"},
                      {"Attribute", "Flint", "Glide", "Harbor", "Iris", "Jade", "heading:"},
                      {"Attribute", "Kite", "Lumen", "heading:"}}));
    model->Settings.EvalCol = 4;
    for (int i : {0, 2, 3, 4, 5, 11}) model->SetOptionSelected(i, false);
    report = BuildOnly({rpEvaluationResults});
    EXPECT_EQ(EvaluationChunks(*report),
              (Chunks{{"Attribute", "Breeze", "Glide", "Harbor", "Iris", "heading:Evaluation results"},
                      {"Attribute", "Jade", "Kite", "heading:"}}));
    for (int i = 0; i < model->OptionCount(); ++i) model->SetOptionSelected(i, false);
    EXPECT_EQ(BuildOnly({rpEvaluationResults})->Count(), 0);
}

// --- chart -------------------------------------------------------------------------

TEST_F(ModelReport, ChartSectionOnlyWithAVisibleChart) {
    EXPECT_EQ(BuildOnly({rpChart})->Count(), 0);
    host.charts[TChartId::Chart4A].visible = true;  // not one of the four panels looked at
    EXPECT_EQ(BuildOnly({rpChart})->Count(), 0);
    for (TChartId id : {TChartId::Chart1, TChartId::Chart2, TChartId::Chart3, TChartId::Chart4Panel}) {
        StubHost other;
        other.charts[id].visible = true;
        HostScope scope(&other);
        auto report = BuildOnly({rpChart});
        ASSERT_EQ(report->Count(), 1);
        EXPECT_EQ(report->VertPlacement, plStretch);
        auto* section = dynamic_cast<TRptSection*>(report->GetItem(0));
        ASSERT_NE(section, nullptr);
        EXPECT_EQ(section->GetTitle(), "Chart");
        EXPECT_EQ(section->PageBreakMode, pbNewPage);
        EXPECT_EQ(section->VertPlacement, plStretch);
        auto draws = ElementsOf<TRptDraw>(*section);
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_EQ(draws[0]->GetWidthMeasure(), MakeMeasure(mkDevice, 0.0f));
        EXPECT_EQ(draws[0]->GetHeightMeasure(), MakeMeasure(mkDevice, 0.0f));
        EXPECT_EQ(draws[0]->HorzPlacement, plStretch);
        EXPECT_EQ(draws[0]->VertPlacement, plStretch);
        ASSERT_NE(draws[0]->GetParam(), nullptr);
        EXPECT_EQ(draws[0]->GetParam()->Value, 0);
    }
}

class NullSurface : public TDrawSurface {
public:
    void SetBrushColor(TColor) override {}
    void FillRect(const TRect&) override {}
};

TEST_F(ModelReport, FitChartRectKeepsThePanelShape) {
    struct Case {
        TRect rect;
        std::int32_t width, height;
        TRect expected;
    } cases[] = {
        {{0, 0, 99, 99}, 200, 100, {0, 0, 99, 49}},   // too tall: the bottom moves up
        {{0, 0, 199, 99}, 100, 100, {0, 0, 99, 99}},  // too wide: the right edge moves left
        {{10, 20, 109, 69}, 200, 100, {10, 20, 109, 69}},
        {{0, 0, 99, 99}, 0, -5, {0, 0, 99, 99}},  // sizes below 1 count as 1
        {{5, 5, 104, 104}, 3, 1, {5, 5, 104, 38}},  // 66.7 rows cut to 66
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FitChartRect(c.rect, c.width, c.height), c.expected) << c.width << "x" << c.height;
    }
}

TEST_F(ModelReport, DrawChartDrawsTheFirstVisibleChart) {
    NullSurface surface;
    host.charts[TChartId::Chart2].visible = true;
    host.charts[TChartId::Chart2].width = 200;
    host.charts[TChartId::Chart2].height = 100;
    host.charts[TChartId::Chart3].visible = true;
    host.charts[TChartId::Chart4Panel].visible = true;
    DrawChart(surface, {0, 0, 99, 99});
    EXPECT_EQ(host.charts[TChartId::Chart2].drawn, (std::vector<TRect>{{0, 0, 99, 49}}));
    EXPECT_TRUE(host.charts[TChartId::Chart3].drawn.empty());

    // The four charts share the rectangle fitted to the first one.
    host.charts[TChartId::Chart2].visible = false;
    host.charts[TChartId::Chart3].visible = false;
    host.charts[TChartId::Chart4A].width = 100;
    host.charts[TChartId::Chart4A].height = 100;
    DrawChart(surface, {0, 0, 199, 99});
    EXPECT_EQ(host.charts[TChartId::Chart4A].drawn, (std::vector<TRect>{{0, 0, 49, 49}}));
    EXPECT_EQ(host.charts[TChartId::Chart4B].drawn, (std::vector<TRect>{{51, 0, 99, 49}}));
    EXPECT_EQ(host.charts[TChartId::Chart4C].drawn, (std::vector<TRect>{{0, 51, 49, 99}}));
    EXPECT_EQ(host.charts[TChartId::Chart4D].drawn, (std::vector<TRect>{{51, 51, 99, 99}}));
    EXPECT_TRUE(host.charts[TChartId::Chart4Panel].drawn.empty());

    // Nothing without an active model window.
    host.active = false;
    host.charts[TChartId::Chart1].visible = true;
    DrawChart(surface, {0, 0, 99, 99});
    EXPECT_TRUE(host.charts[TChartId::Chart1].drawn.empty());
}

TEST_F(ModelReport, ChartSectionInText) {
    host.charts[TChartId::Chart1].visible = true;
    auto report = BuildOnly({rpChart});
    const std::string text = AsText(*report, {60, 20});
    EXPECT_EQ(text.substr(text.find('\n') + 1, 6), "Chart\n");
}

}  // namespace
}  // namespace mivo
