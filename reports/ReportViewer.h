// The report service that dialogs and windows use to show a report: the
// report font chosen in the main window, the pen of the preview window's
// drawing surface, and a modal showing of a built report (the preview
// takes it over, formats it, shows it and is cleared again). The desktop
// implements it over its preview window; tests give one that keeps the
// report.
#pragma once

#include <memory>

#include "reports/Graphics.h"

namespace mivo {

class TReport;

class TReportViewer {
public:
    virtual ~TReportViewer() = default;
    virtual TFont ReportFont() const = 0;
    virtual TPen PreviewPen() const = 0;
    // Shows the report modally; a null report shows nothing.
    virtual void ShowReport(std::unique_ptr<TReport> report) = 0;
};

}  // namespace mivo
