#include "reports/ui/PageSetup.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include "platform/QtPrinter.h"
#include "reports/Measures.h"

namespace mivo {

namespace {

// Request units (thousandths) per dialog unit.
std::int32_t RequestFactor(TPSMeasurements m) { return m == TPSMeasurements::pmMillimeters ? 10 : 1; }

std::int32_t ToRequest(std::int32_t value, TPSMeasurements m) { return CheckedMul(value, RequestFactor(m)); }

std::int32_t FromRequest(std::int32_t value, TPSMeasurements m) {
    return RoundToInt32(static_cast<double>(value) / RequestFactor(m));
}

QPageSize::Unit QtUnit(TPSMeasurements m) {
    return m == TPSMeasurements::pmMillimeters ? QPageSize::Millimeter : QPageSize::Inch;
}

// Dialog units per QPageSize unit.
double UnitsPerQtUnit(TPSMeasurements m) { return m == TPSMeasurements::pmMillimeters ? 100.0 : 1000.0; }

// An A4 sheet standing upright, in dialog units.
TPoint A4Sheet(TPSMeasurements m) {
    return m == TPSMeasurements::pmMillimeters ? TPoint{21000, 29700} : TPoint{8268, 11693};
}

TPoint Oriented(TPoint sheet, bool landscape) {
    const auto [shorter, longer] = std::minmax(sheet.X, sheet.Y);
    return landscape ? TPoint{longer, shorter} : TPoint{shorter, longer};
}

// The paper of a printer over Qt, upright; (0, 0) for any other printer.
TPoint PrinterSheet(TPrinter* printer, TPSMeasurements m) {
    auto* qt = dynamic_cast<TQtPrinter*>(printer);
    if (!qt) return {};
    const QSizeF size = qt->Device().pageLayout().pageSize().size(QtUnit(m));
    if (!(size.width() > 0 && size.height() > 0)) return {};
    return {RoundToInt32(size.width() * UnitsPerQtUnit(m)), RoundToInt32(size.height() * UnitsPerQtUnit(m))};
}

void SetPrinterSheet(TPrinter* printer, TPoint sheet, TPSMeasurements m) {
    auto* qt = dynamic_cast<TQtPrinter*>(printer);
    if (!qt || qt->Printing() || sheet.X <= 0 || sheet.Y <= 0) return;
    const auto [shorter, longer] = std::minmax(sheet.X, sheet.Y);
    qt->Device().setPageSize(QPageSize(QSizeF(shorter / UnitsPerQtUnit(m), longer / UnitsPerQtUnit(m)), QtUnit(m),
                                       QString(), QPageSize::FuzzyMatch));
}

}  // namespace

TPageSetupRequest TPageSetupDialog::MakeRequest() const {
    const TPSMeasurements m = Measurements;
    TPageSetupRequest r;
    r.InchUnits = m == TPSMeasurements::pmInches;
    TPoint sheet = PrinterSheet(Printer, m);
    if (sheet == TPoint{}) sheet = PaperSize;
    if (sheet.X <= 0 || sheet.Y <= 0) sheet = A4Sheet(m);
    sheet = Oriented(sheet, Landscape);
    r.PaperWidth = ToRequest(sheet.X, m);
    r.PaperHeight = ToRequest(sheet.Y, m);
    r.Landscape = Landscape;
    r.MarginLeft = ToRequest(Margin.Left, m);
    r.MarginTop = ToRequest(Margin.Top, m);
    r.MarginRight = ToRequest(Margin.Right, m);
    r.MarginBottom = ToRequest(Margin.Bottom, m);
    r.MinMarginLeft = ToRequest(MinMargin.Left, m);
    r.MinMarginTop = ToRequest(MinMargin.Top, m);
    r.MinMarginRight = ToRequest(MinMargin.Right, m);
    r.MinMarginBottom = ToRequest(MinMargin.Bottom, m);
    r.DisableMargins = (Options & poDisableMargins) != 0;
    r.DisableOrientation = (Options & poDisableOrientation) != 0;
    r.DisablePaper = (Options & poDisablePaper) != 0;
    return r;
}

void TPageSetupDialog::TakeAnswer(const TPageSetupRequest& r) {
    const TPSMeasurements m = Measurements;
    Landscape = r.Landscape;
    PaperSize = {FromRequest(r.PaperWidth, m), FromRequest(r.PaperHeight, m)};
    Margin = {FromRequest(r.MarginLeft, m), FromRequest(r.MarginTop, m), FromRequest(r.MarginRight, m),
              FromRequest(r.MarginBottom, m)};
    MinMargin = {FromRequest(r.MinMarginLeft, m), FromRequest(r.MinMarginTop, m), FromRequest(r.MinMarginRight, m),
                 FromRequest(r.MinMarginBottom, m)};
}

bool TPageSetupDialog::Execute() {
    TPageSetupRequest request = MakeRequest();
    if (!prompts_.PageSetup(request)) return false;
    TakeAnswer(request);
    if ((Options & poDisablePaper) == 0) SetPrinterSheet(Printer, PaperSize, Measurements);
    return true;
}

}  // namespace mivo
