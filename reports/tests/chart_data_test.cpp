// The data of the charts: value colours, ranges and radar positions, the
// bar, plane and radar charts built from a model, the choice of the radar
// options and of the charted attributes.
#include <gtest/gtest.h>

#include "reports/ChartData.h"
#include "reports/tests/ChartFixture.h"

namespace mivo {
namespace {

using testing::AddAttribute;
using testing::Values;

// Top attribute "Overall" (3 values) over "Price" (4 values: the first bad,
// the last good) and "Look" (3 values), "Size" (without scale); options
// given as value strings of Overall, Price, Look.
struct ChartModel {
    TMivoModel model;
    TMivoAttribute* overall;
    TMivoAttribute* price;
    TMivoAttribute* look;
    TMivoAttribute* size;

    ChartModel() {
        overall = AddAttribute(model.Root(), "Overall", {"bad", "fair", "great"});
        price = AddAttribute(overall, "Price", {"high", "medium", "low", "free"});
        look = AddAttribute(overall, "Look", {"ugly", "plain", "nice"});
        size = AddAttribute(overall, "Size", {});
    }
    int Add(const std::string& name, const std::string& o, const std::string& p, const std::string& l) {
        const int i = model.OptionCount();
        model.AddOption(name);
        overall->SetOptValue(i, o);
        price->SetOptValue(i, p);
        look->SetOptValue(i, l);
        return i;
    }
};

TEST(ChartValues, ColoursRangesPositionsAndLabels) {
    ChartModel m;
    // Colours: bad red, good green, neutral blue, or aqua when negated.
    EXPECT_EQ(ValueColor(*m.price, 0), ChartBadColor);
    EXPECT_EQ(ValueColor(*m.price, 3), ChartGoodColor);
    EXPECT_EQ(ValueColor(*m.price, -3), ChartGoodColor);
    EXPECT_EQ(ValueColor(*m.price, 1), ChartNeutralColor);
    EXPECT_EQ(ValueColor(*m.price, -2), ChartNeutralHighColor);
    EXPECT_EQ(ValueColor(*m.size, 0), ChartNeutralColor);
    EXPECT_EQ(ValueColor(*m.size, -1), ChartNeutralHighColor);

    struct Case {
        std::string text;
        TValueRange range;
    } cases[] = {{"", {0, 3}}, {"*", {0, 3}}, {Values({2}), {2, 2}}, {Values({3, 1}), {1, 3}},
                 {Values({1, 9}), {1, 1}} /* a byte outside the scale is ignored */};
    for (const Case& c : cases) {
        m.price->SetOptValue(0, c.text);
        EXPECT_EQ(OptionValueRange(*m.price, 0), c.range) << c.text;
    }
    EXPECT_EQ(OptionValueRange(*m.size, 0), (TValueRange{0, 0}));
    EXPECT_EQ(OptionValueRange(*m.price, 7), (TValueRange{0, 3}));  // past the value list: undefined

    EXPECT_DOUBLE_EQ(ValuePosition(*m.price, 1), 0.0);
    EXPECT_DOUBLE_EQ(ValuePosition(*m.price, 4), 1.0);
    EXPECT_DOUBLE_EQ(ValuePosition(*m.look, 2), 0.5);
    EXPECT_DOUBLE_EQ(ValuePosition(*m.size, 3), 0.0);

    // Only inner values are labelled on a radar.
    EXPECT_EQ(RadarAxisLabel(*m.look, 1, true), " ");
    EXPECT_EQ(RadarAxisLabel(*m.look, 2, true), "plain");
    EXPECT_EQ(RadarAxisLabel(*m.look, 2, false), "2");
    EXPECT_EQ(RadarAxisLabel(*m.look, 3, true), " ");
    EXPECT_EQ(RadarAxisLabel(*m.size, 2, true), " ");
}

TEST(ChartValues, OptionColourFollowsTheFirstTopAttribute) {
    ChartModel m;
    m.Add("A", Values({2}), "", "");
    m.Add("B", Values({1, 2}), "", "");
    EXPECT_EQ(OptionColor(m.model, 0), ChartGoodColor);
    EXPECT_EQ(OptionColor(m.model, 1), ChartNeutralColor);
    TMivoModel empty;
    empty.AddOption("X");
    EXPECT_EQ(OptionColor(empty, 0), ChartNoAttributeColor);
}

TEST(ChartData, BarsStackTheLowAndTheHighEnd) {
    ChartModel m;
    m.Add("Set", "", Values({1, 2}), "");
    m.Add("Hidden", "", Values({0}), "");
    m.Add("Any", "", "*", "");
    m.model.SetOptionSelected(1, false);

    TBarChart chart = BuildBarChart(m.model, *m.price, {});
    ASSERT_EQ(chart.Bars.size(), 2u);
    EXPECT_EQ(chart.Bars[0].Label, "Set");
    EXPECT_EQ(chart.Bars[0].LowLength, 2);
    EXPECT_EQ(chart.Bars[0].LowColor, ChartNeutralColor);
    EXPECT_EQ(chart.Bars[0].HighLength, 1);
    EXPECT_EQ(chart.Bars[0].HighColor, ChartNeutralHighColor);
    EXPECT_EQ(chart.Bars[1].LowLength, 1);
    EXPECT_EQ(chart.Bars[1].LowColor, ChartBadColor);
    EXPECT_EQ(chart.Bars[1].HighLength, 3);
    EXPECT_EQ(chart.Bars[1].HighColor, ChartGoodColor);

    // The axis runs to the value count and labels 1..4 by value.
    EXPECT_EQ(chart.Axis.Title, "Price");
    EXPECT_TRUE(chart.Axis.HasScale);
    EXPECT_EQ(chart.Axis.Maximum, 4);
    EXPECT_EQ(chart.Axis.TickLabel(0), " ");
    EXPECT_EQ(chart.Axis.TickLabel(1), "high");
    EXPECT_EQ(chart.Axis.TickLabel(4), "free");
    EXPECT_EQ(chart.Axis.TickLabel(5), " ");

    TBarChart plain = BuildBarChart(m.model, *m.price, {.ShowValueNames = false, .ShowOptionNames = false});
    EXPECT_EQ(plain.Axis.TickLabel(2), "2");
    EXPECT_EQ(plain.Bars[0].Label, " ");

    // Without a scale every bar is one long and the axis follows the data.
    TBarChart unscaled = BuildBarChart(m.model, *m.size, {});
    EXPECT_FALSE(unscaled.Axis.HasScale);
    EXPECT_EQ(unscaled.Axis.Maximum, 1);
    EXPECT_EQ(unscaled.Axis.TickLabel(1), "1");
}

TEST(ChartData, SingleValuesGiveABubbleAndSetsAnArrow) {
    ChartModel m;
    m.Add("Single", Values({0}), Values({1}), Values({2}));
    m.Add("Set", Values({2}), Values({1, 3}), Values({2}));
    TPlaneChart chart = BuildPlaneChart(m.model, *m.price, *m.look, {});
    ASSERT_EQ(chart.Marks.size(), 2u);
    EXPECT_TRUE(chart.Marks[0].IsBubble());
    EXPECT_EQ(chart.Marks[0].X0, 2);
    EXPECT_EQ(chart.Marks[0].Y0, 3);
    EXPECT_EQ(chart.Marks[0].Color, ChartBadColor);  // Overall's value 0
    EXPECT_FALSE(chart.Marks[1].IsBubble());
    EXPECT_EQ(chart.Marks[1].X0, 2);
    EXPECT_EQ(chart.Marks[1].X1, 4);
    EXPECT_EQ(chart.Marks[1].Y1, 3);
    EXPECT_EQ(chart.Marks[1].Color, ChartGoodColor);
    // Axes of scales run to the value count + 1.
    EXPECT_EQ(chart.XAxis.Maximum, 5);
    EXPECT_EQ(chart.YAxis.Maximum, 4);
    EXPECT_EQ(chart.YAxis.TickLabel(4), " ");
    EXPECT_EQ(chart.XAxis.Title, "Price");
    EXPECT_EQ(chart.YAxis.Title, "Look");
}

TEST(ChartData, RadarSpokesRunFromTheCentreToTheRim) {
    ChartModel m;
    m.Add("Mixed", Values({1}), Values({0, 3}), Values({1}));
    TRadarChart chart = BuildRadarChart(m.model, {m.price, m.look, m.overall}, 0, {});
    EXPECT_EQ(chart.Option, 0);
    EXPECT_EQ(chart.Title, "Mixed");
    EXPECT_EQ(chart.Color, ChartNeutralColor);
    ASSERT_EQ(chart.Spokes.size(), 3u);
    EXPECT_EQ(chart.Spokes[0].Name, "Price");
    EXPECT_DOUBLE_EQ(chart.Spokes[0].Low, 0.0);
    EXPECT_DOUBLE_EQ(chart.Spokes[0].High, 1.0);
    EXPECT_EQ(chart.Spokes[0].LowLabel, " ");
    EXPECT_EQ(chart.Spokes[0].HighLabel, " ");
    EXPECT_DOUBLE_EQ(chart.Spokes[1].Low, 0.5);
    EXPECT_EQ(chart.Spokes[1].LowLabel, "plain");

    EXPECT_EQ(BuildRadarChart(m.model, {m.price, m.look, m.overall}, -1, {}).Spokes.size(), 0u);
    EXPECT_EQ(BuildRadarChart(m.model, {m.price}, 0, {.ShowOptionNames = false}).Title, "");
}

TEST(ChartData, RadarOptionsFollowTheHighlightedOne) {
    ChartModel m;
    for (const char* name : {"O0", "O1", "O2", "O3", "O4", "O5"}) m.Add(name, "", "", "");
    auto Show = [&](std::initializer_list<int> shown) {
        for (int i = 0; i < m.model.OptionCount(); ++i) m.model.SetOptionSelected(i, false);
        for (int i : shown) m.model.SetOptionSelected(i, true);
    };
    struct Case {
        std::initializer_list<int> shown;
        int highlighted;
        std::array<int, 4> four;
        int single;
    } cases[] = {
        {{0, 2, 3, 5}, 3, {0, 2, 3, 5}, 3},
        {{0, 2, 3, 5}, -1, {0, 2, 3, 5}, 0},
        {{0, 2, 3, 5}, 4, {0, 2, 3, 5}, 5},
        {{1, 4}, -1, {1, 4, -1, -1}, 1},
        {{1, 4}, 5, {1, 4, -1, -1}, 1},  // nothing shown at or after: the first shown
        {{0, 1, 2, 3, 4, 5}, 1, {1, 2, 3, 4}, 1},
        {{0, 1, 2, 3, 4, 5}, 4, {2, 3, 4, 5}, 4},
        {{}, 2, {-1, -1, -1, -1}, -1},
    };
    for (const Case& c : cases) {
        Show(c.shown);
        EXPECT_EQ(FourRadarOptions(m.model, c.highlighted), c.four) << "highlighted " << c.highlighted;
        EXPECT_EQ(SingleRadarOption(m.model, c.highlighted), c.single) << "highlighted " << c.highlighted;
    }

    // Two shown options in four-options mode fill the first two charts.
    Show({1, 4});
    TChartSet set = BuildCharts(m.model, {m.price, m.look, m.overall}, {.FourOptions = true}, -1);
    EXPECT_EQ(set.Kind, TChartKind::FourRadars);
    EXPECT_EQ(set.Four[0].Title, "O1");
    EXPECT_EQ(set.Four[1].Title, "O4");
    EXPECT_EQ(set.Four[2].Option, -1);
    EXPECT_TRUE(set.Four[2].Spokes.empty());
    EXPECT_EQ(set.Four[3].Option, -1);
}

TEST(ChartData, TheKindFollowsTheNumberOfAttributes) {
    ChartModel m;
    m.Add("A", "", "", "");
    struct Case {
        std::vector<const TMivoAttribute*> attributes;
        bool four;
        TChartKind kind;
        std::size_t pictureIndex;
    } cases[] = {
        {{}, false, TChartKind::None, 0},
        {{m.price}, true, TChartKind::Bars, 1},
        {{m.price, m.look}, true, TChartKind::Plane, 2},
        {{m.price, m.look, m.overall}, false, TChartKind::Radar, 3},
        {{m.price, m.look, m.overall}, true, TChartKind::FourRadars, 0},
    };
    for (const Case& c : cases) {
        TChartSet set = BuildCharts(m.model, c.attributes, {.FourOptions = c.four}, -1);
        EXPECT_EQ(set.Kind, c.kind);
        EXPECT_EQ(set.Single.index(), c.pictureIndex);
    }
}

TEST(ChartData, AChartOutlivesTheModelItWasBuiltFrom) {
    TChartSet set;
    {
        ChartModel m;
        m.Add("Kept", Values({1}), Values({2}), Values({0}));
        set = BuildCharts(m.model, {m.price, m.look, m.overall}, {}, -1);
        m.overall->DeleteInput(m.price);
    }
    const auto& radar = std::get<TRadarChart>(set.Single);
    EXPECT_EQ(radar.Title, "Kept");
    EXPECT_EQ(radar.Spokes[0].Name, "Price");
    EXPECT_EQ(radar.Spokes[0].LowLabel, "low");
}

TEST(ChartAttributes, ASeventhDropsTheOldest) {
    std::vector<int> chosen;
    for (int i = 1; i <= 6; ++i) EXPECT_TRUE(ToggleChartAttribute(chosen, i).empty());
    EXPECT_EQ(ToggleChartAttribute(chosen, 7), std::vector<int>{1});
    EXPECT_EQ(chosen, (std::vector<int>{2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(ToggleChartAttribute(chosen, 4), std::vector<int>{4});
    EXPECT_EQ(chosen, (std::vector<int>{2, 3, 5, 6, 7}));
}

}  // namespace
}  // namespace mivo
