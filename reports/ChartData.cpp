#include "reports/ChartData.h"

#include <algorithm>
#include <cstdlib>
#include <deque>

#include "model/MivoAttribute.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"

namespace mivo {

namespace {

const TMivoDiscreteScale* DiscreteScale(const TMivoAttribute& attribute) {
    return dynamic_cast<const TMivoDiscreteScale*>(attribute.Scale());
}

std::string OptionLabel(const TMivoModel& model, int option, const TChartOptions& options) {
    return options.ShowOptionNames ? model.OptionName(option) : std::string(" ");
}

// The shown options in order.
std::vector<int> ShownOptions(const TMivoModel& model) {
    std::vector<int> shown;
    for (int i = 0; i < model.OptionCount(); ++i)
        if (model.OptionSelected(i)) shown.push_back(i);
    return shown;
}

TChartAxis AxisFor(const TMivoAttribute& attribute, const TChartOptions& options, double scaleMaximumExtra) {
    TChartAxis axis;
    axis.Title = attribute.GetName();
    axis.ShowValueNames = options.ShowValueNames;
    if (const TMivoScale* scale = attribute.Scale()) {
        axis.HasScale = true;
        axis.Maximum = scale->Count() + scaleMaximumExtra;
        const TMivoDiscreteScale* discrete = DiscreteScale(attribute);
        for (int v = 0; v < scale->Count(); ++v)
            axis.ValueNames.push_back(discrete ? discrete->ValueName(v) : std::to_string(v + 1));
    }
    return axis;
}

}  // namespace

// --- value helpers -------------------------------------------------------------

TColor ValueColor(const TMivoAttribute& attribute, int index) {
    if (const TMivoScale* scale = attribute.Scale()) {
        const double value = std::abs(index);
        if (scale->IsBad(value)) return ChartBadColor;
        if (scale->IsGood(value)) return ChartGoodColor;
    }
    return index < 0 ? ChartNeutralHighColor : ChartNeutralColor;
}

TValueRange OptionValueRange(const TMivoAttribute& attribute, int option) {
    const TMivoScale* scale = attribute.Scale();
    if (scale == nullptr || scale->Count() == 0) return {};
    const int last = scale->Count() - 1;
    const std::string_view text = attribute.OptValue(option);
    if (text.empty() || text == "*") return {0, last};
    int low = last + 1;
    int high = -1;
    for (char c : text) {
        const int v = CharValue(c);
        if (v < 0 || v > last) continue;  // not a value of this scale
        low = std::min(low, v);
        high = std::max(high, v);
    }
    if (high < 0) return {0, last};
    return {low, high};
}

double ValuePosition(const TMivoAttribute& attribute, int n) {
    const TMivoScale* scale = attribute.Scale();
    if (scale == nullptr || scale->Count() < 2) return 0.0;
    return static_cast<double>(n - 1) / (scale->Count() - 1);
}

std::string RadarAxisLabel(const TMivoAttribute& attribute, int n, bool showValueNames) {
    const TMivoScale* scale = attribute.Scale();
    if (scale == nullptr || scale->Count() <= 1 || n <= 1 || n >= scale->Count()) return " ";
    const TMivoDiscreteScale* discrete = DiscreteScale(attribute);
    if (showValueNames && discrete != nullptr) return discrete->ValueName(n - 1);
    return std::to_string(n);
}

TColor OptionColor(const TMivoModel& model, int option) {
    const TMivoAttribute* top = model.FirstAttribute();
    if (top == nullptr) return ChartNoAttributeColor;
    return ValueColor(*top, OptionValueRange(*top, option).Low);
}

std::string TChartAxis::TickLabel(int n) const {
    if (!HasScale) return std::to_string(n);
    if (n < 1 || n > static_cast<int>(ValueNames.size())) return " ";
    return ShowValueNames ? ValueNames[static_cast<std::size_t>(n - 1)] : std::to_string(n);
}

// --- chart data ----------------------------------------------------------------

TChartKind ChartKindFor(int attributeCount, bool fourOptions) {
    if (attributeCount <= 0) return TChartKind::None;
    if (attributeCount == 1) return TChartKind::Bars;
    if (attributeCount == 2) return TChartKind::Plane;
    return fourOptions ? TChartKind::FourRadars : TChartKind::Radar;
}

int SingleRadarOption(const TMivoModel& model, int highlighted) {
    const int from = std::max(0, highlighted);
    int first = -1;
    for (int i = 0; i < model.OptionCount(); ++i) {
        if (!model.OptionSelected(i)) continue;
        if (i >= from) return i;
        if (first < 0) first = i;
    }
    return first;
}

std::array<int, 4> FourRadarOptions(const TMivoModel& model, int highlighted) {
    const int from = std::max(0, highlighted);
    const int count = model.OptionCount();
    std::deque<int> chosen;
    for (int i = from; i < count && chosen.size() < 4; ++i)
        if (model.OptionSelected(i)) chosen.push_back(i);
    for (int i = std::min(from, count) - 1; i >= 0 && chosen.size() < 4; --i)
        if (model.OptionSelected(i)) chosen.push_front(i);
    std::array<int, 4> result{-1, -1, -1, -1};
    std::copy(chosen.begin(), chosen.end(), result.begin());
    return result;
}

TBarChart BuildBarChart(const TMivoModel& model, const TMivoAttribute& attribute, const TChartOptions& options) {
    TBarChart chart;
    chart.Axis = AxisFor(attribute, options, 0);
    double longest = 1;
    for (int i : ShownOptions(model)) {
        const TValueRange range = OptionValueRange(attribute, i);
        TChartBar bar;
        bar.Label = OptionLabel(model, i, options);
        bar.LowLength = range.Low + 1;
        bar.LowColor = ValueColor(attribute, range.Low);
        bar.HighLength = range.High - range.Low;
        bar.HighColor = ValueColor(attribute, -range.High);
        longest = std::max(longest, bar.LowLength + bar.HighLength);
        chart.Bars.push_back(std::move(bar));
    }
    if (!chart.Axis.HasScale) chart.Axis.Maximum = longest;
    return chart;
}

TPlaneChart BuildPlaneChart(const TMivoModel& model, const TMivoAttribute& x, const TMivoAttribute& y,
                            const TChartOptions& options) {
    TPlaneChart chart;
    chart.XAxis = AxisFor(x, options, 1);
    chart.YAxis = AxisFor(y, options, 1);
    double xMax = 1, yMax = 1;
    for (int i : ShownOptions(model)) {
        const TValueRange rx = OptionValueRange(x, i);
        const TValueRange ry = OptionValueRange(y, i);
        TPlaneMark mark;
        mark.Label = OptionLabel(model, i, options);
        mark.Color = OptionColor(model, i);
        mark.X0 = rx.Low + 1;
        mark.X1 = rx.High + 1;
        mark.Y0 = ry.Low + 1;
        mark.Y1 = ry.High + 1;
        xMax = std::max(xMax, mark.X1);
        yMax = std::max(yMax, mark.Y1);
        chart.Marks.push_back(std::move(mark));
    }
    if (!chart.XAxis.HasScale) chart.XAxis.Maximum = xMax + 1;
    if (!chart.YAxis.HasScale) chart.YAxis.Maximum = yMax + 1;
    return chart;
}

TRadarChart BuildRadarChart(const TMivoModel& model, const std::vector<const TMivoAttribute*>& attributes,
                            int option, const TChartOptions& options) {
    TRadarChart chart;
    if (option < 0 || option >= model.OptionCount()) return chart;
    chart.Option = option;
    if (options.ShowOptionNames) chart.Title = model.OptionName(option);
    chart.Color = OptionColor(model, option);
    for (const TMivoAttribute* attribute : attributes) {
        if (attribute == nullptr) continue;
        const TValueRange range = OptionValueRange(*attribute, option);
        TRadarSpoke spoke;
        spoke.Name = attribute->GetName();
        spoke.Low = ValuePosition(*attribute, range.Low + 1);
        spoke.LowLabel = RadarAxisLabel(*attribute, range.Low + 1, options.ShowValueNames);
        spoke.High = ValuePosition(*attribute, range.High + 1);
        spoke.HighLabel = RadarAxisLabel(*attribute, range.High + 1, options.ShowValueNames);
        chart.Spokes.push_back(std::move(spoke));
    }
    return chart;
}

TChartSet BuildCharts(const TMivoModel& model, const std::vector<const TMivoAttribute*>& attributes,
                      const TChartOptions& options, int highlighted) {
    TChartSet set;
    set.Kind = ChartKindFor(static_cast<int>(attributes.size()), options.FourOptions);
    switch (set.Kind) {
        case TChartKind::None:
            break;
        case TChartKind::Bars:
            set.Single = BuildBarChart(model, *attributes[0], options);
            break;
        case TChartKind::Plane:
            set.Single = BuildPlaneChart(model, *attributes[0], *attributes[1], options);
            break;
        case TChartKind::Radar:
            set.Single = BuildRadarChart(model, attributes, SingleRadarOption(model, highlighted), options);
            break;
        case TChartKind::FourRadars: {
            const std::array<int, 4> four = FourRadarOptions(model, highlighted);
            for (std::size_t k = 0; k < four.size(); ++k)
                set.Four[k] = BuildRadarChart(model, attributes, four[k], options);
            break;
        }
    }
    return set;
}

}  // namespace mivo
