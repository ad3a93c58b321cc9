// Painting the charts of the charts page on any drawing surface: the chart
// widget (a Qt canvas), a report page (the print formatter's canvas) and a
// copy for the clipboard (a page metafile) all go through these painters,
// so the three look alike.
//
// A painter fills its rectangle with the chart's white background and
// draws inside it only. Text is set at 8 points at the canvas font's
// resolution and lines grow with it, so a chart recorded at 300 dots per
// inch looks as it does on the screen. The canvas's font, pen and brush
// are the same afterwards.
//
//  - Bars: one stacked bar per shown option, first option at the top, from
//    the left axis to Low + 1 in the low end's colour and on to High + 1 in
//    the high end's colour; option labels left of the bars where they fit,
//    the value axis below with its title.
//  - Plane: a bubble or an arrow (from the low to the high corner) per
//    option, its label beside it (the labels of marks that end at one
//    point listed one below the other); the first attribute's axis below,
//    the second's on the left.
//  - Radar: a silver disc with one spoke per attribute, 0 at the centre and
//    1 at the rim, the attributes' names outside the rim; the low ends
//    joined by a red line with round markers, the high ends by a green line
//    with square markers, markers in the option's colour and labelled with
//    the value (blank labels are not drawn); the option's name as title.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/Canvas.h"
#include "platform/FontSource.h"
#include "platform/PageMetafile.h"
#include "reports/ChartData.h"
#include "reports/Graphics.h"

namespace mivo {

// The colours the painters use besides the data's own.
inline constexpr TColor ChartBackColor = 0xFFFFFF;
inline constexpr TColor ChartRadarDiscColor = 0xC0C0C0;  // silver
inline constexpr TColor ChartLowLineColor = 0x0000FF;    // red
inline constexpr TColor ChartHighLineColor = 0x008000;   // green

void PaintBarChart(TCanvas& canvas, const TCanvasRect& rect, const TBarChart& chart);
void PaintPlaneChart(TCanvas& canvas, const TCanvasRect& rect, const TPlaneChart& chart);
void PaintRadarChart(TCanvas& canvas, const TCanvasRect& rect, const TRadarChart& chart);
// Any chart; an empty picture paints the background only.
void PaintChart(TCanvas& canvas, const TCanvasRect& rect, const TChartPicture& picture);

// The rectangle of a report (inclusive) as a canvas rectangle (exclusive).
TCanvasRect CanvasRectOf(const TRect& inclusive);

// Paints the chart into a report's rectangle (inclusive). Surfaces that
// are not over a canvas (text output) draw nothing; returns whether it
// painted.
bool DrawChartOnSurface(TDrawSurface& surface, const TRect& rect, const TChartPicture& picture);

// The chart recorded on a page metafile of width x height units at the
// resolution (96: the size of a chart on the screen), text measured by the
// font source. A size below 1 raises "Range check error".
std::unique_ptr<TPageMetafile> RecordChart(const TChartPicture& picture, std::int32_t width, std::int32_t height,
                                           TFontSource& fonts, std::int32_t resolution = 96);

}  // namespace mivo
