// The data of the charts page: what the options score on up to six chosen
// attributes, as one bar chart (one attribute), one plane of bubbles and
// arrows (two attributes), or radar charts of one option or of four options
// side by side (three to six attributes).
//
// Chart data is built from the model once and then holds plain copies of
// names, positions, labels and colours: it never points into the model, so
// a chart can be painted (ChartPaint.h) after the model has changed or the
// attributes it was built from have been freed.
//
// Value positions follow the axes: on the bar and plane charts value index
// v of a scale stands at v + 1, so an axis of a scale of n values runs from
// 0 to n (bars) or n + 1 (plane); on a radar a value lies at
// (v) / (n - 1) of the way from the centre (0) to the rim (1).
//
// Colours are RGB values with red in the low byte (model/MivoSettings.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "model/MivoSettings.h"

namespace mivo {

class TMivoAttribute;
class TMivoModel;

// At most this many attributes are charted at once.
inline constexpr int MaxChartAttributes = 6;

// The colours of values and options.
inline constexpr TColor ChartBadColor = 0x0000FF;      // red
inline constexpr TColor ChartGoodColor = 0x008000;     // green
inline constexpr TColor ChartNeutralColor = 0xFF0000;  // blue
inline constexpr TColor ChartNeutralHighColor = 0xFFFF00;  // aqua
inline constexpr TColor ChartNoAttributeColor = 0x808080;  // grey

// The radius of a bubble in axis units.
inline constexpr double ChartBubbleRadius = 0.05;

// --- value helpers -------------------------------------------------------------

// The colour of value `index` of the attribute: with a scale red when the
// value is bad, green when it is good, otherwise blue, or aqua when the
// index is passed negated (the high end of a range). A negated index is
// tested by its absolute value.
TColor ValueColor(const TMivoAttribute& attribute, int index);

// The smallest and largest value index of an option's value string: both 0
// without a scale, 0 and the last value for an empty or "*" string.
struct TValueRange {
    int Low = 0;
    int High = 0;
    bool operator==(const TValueRange&) const = default;
};
TValueRange OptionValueRange(const TMivoAttribute& attribute, int option);

// The radial position of value n (counted from 1): (n - 1) / (count - 1);
// 0 without a scale or with fewer than two values.
double ValuePosition(const TMivoAttribute& attribute, int n);

// The label of value n (counted from 1) on a radar: " " unless the
// attribute's scale has more than one value and 1 < n < count; then the
// value's name, or n in decimal without value names. The first and the
// last value are thus never labelled.
std::string RadarAxisLabel(const TMivoAttribute& attribute, int n, bool showValueNames);

// The colour of an option in the plane and radar charts: grey without a top
// attribute, else the colour of the low end of the first top attribute's
// range for the option.
TColor OptionColor(const TMivoModel& model, int option);

// --- chart data ----------------------------------------------------------------

// What the charts show beside the values.
struct TChartOptions {
    bool ShowValueNames = true;
    bool ShowOptionNames = true;
    bool FourOptions = false;
};

// A value axis of the bar or plane chart.
struct TChartAxis {
    std::string Title;
    // With a scale the axis has a fixed maximum and its ticks are labelled
    // by value; without one the maximum follows the data and ticks show
    // their numbers.
    bool HasScale = false;
    double Maximum = 0;
    std::vector<std::string> ValueNames;
    bool ShowValueNames = true;

    // The label of the tick at integer n: on an axis with a scale the name
    // of value n - 1 (or n in decimal without value names) for n in
    // 1..value count, " " outside; without a scale n in decimal.
    std::string TickLabel(int n) const;
};

// One stacked bar: the first part reaches Low + 1 in the low end's colour,
// the second continues to High + 1 in the high end's colour.
struct TChartBar {
    std::string Label;
    double LowLength = 0;
    TColor LowColor = 0;
    double HighLength = 0;
    TColor HighColor = 0;
};

struct TBarChart {
    TChartAxis Axis;
    std::vector<TChartBar> Bars;  // in option order
};

// A bubble (both ends equal) or an arrow from (X0, Y0) to (X1, Y1).
struct TPlaneMark {
    std::string Label;
    TColor Color = 0;
    double X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
    bool IsBubble() const { return X0 == X1 && Y0 == Y1; }
};

struct TPlaneChart {
    TChartAxis XAxis;  // the first attribute, bottom
    TChartAxis YAxis;  // the second attribute, left
    std::vector<TPlaneMark> Marks;
};

// One spoke of a radar: the attribute's name and the positions (0 centre,
// 1 rim) and labels of the low and high ends of the option's range.
struct TRadarSpoke {
    std::string Name;
    double Low = 0;
    std::string LowLabel;
    double High = 0;
    std::string HighLabel;
};

// The radar chart of one option; Option -1 is an empty chart.
struct TRadarChart {
    int Option = -1;
    std::string Title;
    TColor Color = 0;
    std::vector<TRadarSpoke> Spokes;
};

// One chart ready to paint; monostate paints the empty background.
using TChartPicture = std::variant<std::monostate, TBarChart, TPlaneChart, TRadarChart>;

// Which chart the number of attributes and the four-options flag call for.
enum class TChartKind : std::uint8_t { None, Bars, Plane, Radar, FourRadars };
TChartKind ChartKindFor(int attributeCount, bool fourOptions);

// The option of the single radar: the first shown option at or after the
// highlighted one (-1: none highlighted, taken as 0), else the first shown
// option, else -1.
int SingleRadarOption(const TMivoModel& model, int highlighted);

// The options of the four radars: shown options from the highlighted one
// upwards until there are four; if fewer, shown options below it in front,
// nearest first; then -1 up to four.
std::array<int, 4> FourRadarOptions(const TMivoModel& model, int highlighted);

TBarChart BuildBarChart(const TMivoModel& model, const TMivoAttribute& attribute, const TChartOptions& options);
TPlaneChart BuildPlaneChart(const TMivoModel& model, const TMivoAttribute& x, const TMivoAttribute& y,
                            const TChartOptions& options);
TRadarChart BuildRadarChart(const TMivoModel& model, const std::vector<const TMivoAttribute*>& attributes,
                            int option, const TChartOptions& options);

// Every chart of the page for the chosen attributes (oldest first), the
// options flags and the highlighted option.
struct TChartSet {
    TChartKind Kind = TChartKind::None;
    TChartPicture Single;              // the bar, plane or single radar chart
    std::array<TRadarChart, 4> Four;   // the four radars
};
TChartSet BuildCharts(const TMivoModel& model, const std::vector<const TMivoAttribute*>& attributes,
                      const TChartOptions& options, int highlighted);

// Toggles the attribute in the chosen list: removed when present, else
// appended, dropping the oldest while more than MaxChartAttributes are
// chosen. Returns the items removed (the toggled one or the dropped ones).
template <class T>
std::vector<T> ToggleChartAttribute(std::vector<T>& chosen, const T& item) {
    std::vector<T> removed;
    for (auto it = chosen.begin(); it != chosen.end(); ++it) {
        if (*it == item) {
            removed.push_back(*it);
            chosen.erase(it);
            return removed;
        }
    }
    chosen.push_back(item);
    while (static_cast<int>(chosen.size()) > MaxChartAttributes) {
        removed.push_back(chosen.front());
        chosen.erase(chosen.begin());
    }
    return removed;
}

}  // namespace mivo
