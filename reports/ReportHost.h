// What the report builders need from the desktop program: whether a model
// window is active, the name of its file, and its chart panels. The desktop
// implements TReportHost over its main window and registers it with
// SetReportHost (MivoRpt.h); tests register a stub.
#pragma once

#include <cstdint>
#include <string>

#include "reports/Graphics.h"
#include "reports/Measures.h"

namespace mivo {

// The chart panels of a model window's charts page: three single charts,
// the panel holding four charts, and the four charts of that panel.
enum class TChartId : std::uint8_t { Chart1, Chart2, Chart3, Chart4Panel, Chart4A, Chart4B, Chart4C, Chart4D };

// One chart panel as the reports see it.
class TChartPanel {
public:
    virtual ~TChartPanel() = default;
    virtual bool Visible() const = 0;
    // Client size in screen pixels; the chart section keeps this shape.
    virtual std::int32_t Width() const = 0;
    virtual std::int32_t Height() const = 0;
    // Draws the chart into the rectangle (inclusive, in the surface's
    // device units).
    virtual void Draw(TDrawSurface& surface, const TRect& rect) = 0;
};

// The main window as the reports see it.
class TReportHost {
public:
    virtual ~TReportHost() = default;
    // A model window is active.
    virtual bool HasActiveModelWindow() const = 0;
    // The active model window's file name, as stored (with its directory).
    virtual std::string ActiveFileName() const = 0;
    // A chart panel of the active model window; null when there is none.
    virtual TChartPanel* ChartPanel(TChartId id) const = 0;
};

}  // namespace mivo
