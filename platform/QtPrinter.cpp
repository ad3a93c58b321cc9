#include "platform/QtPrinter.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/QtApplication.h"

namespace mivo {

namespace {
const char* const NotPrinting = "Printer is not currently printing";
const char* const PrintingInProgress = "Printing in progress";
const char* const DeviceUnreachable = "Printer device not available";
}  // namespace

void TQtPrinter::TPrinterCanvas::NoPainter() { throw EPrinterError(NotPrinting); }

TQtPrinter::TQtPrinter() {
    EnsureGuiApplication();
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    canvas_.Font().PixelsPerInch = printer_->resolution();
    canvas_.Font().SetSize(10);
}

TQtPrinter::TQtPrinter(const std::string& pdfFileName, std::int32_t resolution) {
    EnsureGuiApplication();
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(QString::fromStdString(pdfFileName));
    printer_->setResolution(resolution);
    printer_->setPageSize(QPageSize(QPageSize::A4));
    canvas_.Font().PixelsPerInch = resolution;
    canvas_.Font().SetSize(10);
}

TQtPrinter::~TQtPrinter() {
    if (painter_) {
        printer_->abort();
        painter_->end();
    }
}

bool TQtPrinter::AnyInstalled() {
    EnsureGuiApplication();
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

void TQtPrinter::CheckDevice() {
    if (!printer_->isValid()) throw EPrinterError(DeviceUnreachable);
}

std::int32_t TQtPrinter::ResolutionX() {
    CheckDevice();
    return printer_->resolution();
}

std::int32_t TQtPrinter::ResolutionY() { return ResolutionX(); }

std::int32_t TQtPrinter::PageWidth() {
    CheckDevice();
    return printer_->pageLayout().paintRectPixels(printer_->resolution()).width();
}

std::int32_t TQtPrinter::PageHeight() {
    CheckDevice();
    return printer_->pageLayout().paintRectPixels(printer_->resolution()).height();
}

TPrinterOrientation TQtPrinter::Orientation() const {
    return printer_->pageLayout().orientation() == QPageLayout::Landscape ? TPrinterOrientation::Landscape
                                                                         : TPrinterOrientation::Portrait;
}

void TQtPrinter::SetOrientation(TPrinterOrientation orientation) {
    if (Printing()) throw EPrinterError(PrintingInProgress);
    printer_->setPageOrientation(orientation == TPrinterOrientation::Landscape ? QPageLayout::Landscape
                                                                               : QPageLayout::Portrait);
}

std::string TQtPrinter::Title() const { return printer_->docName().toStdString(); }

void TQtPrinter::SetTitle(const std::string& title) { printer_->setDocName(QString::fromStdString(title)); }

std::int32_t TQtPrinter::Copies() const { return printer_->copyCount(); }

void TQtPrinter::SetCopies(std::int32_t copies) { printer_->setCopyCount(copies); }

std::int32_t TQtPrinter::Index() const {
    const QStringList names = QPrinterInfo::availablePrinterNames();
    const qsizetype index = names.indexOf(printer_->printerName());
    return index < 0 ? 0 : static_cast<std::int32_t>(index);
}

void TQtPrinter::BeginDoc() {
    if (Printing()) throw EPrinterError(PrintingInProgress);
    aborted_ = false;
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(printer_.get())) throw EPrinterError(DeviceUnreachable);
    painter_ = std::move(painter);
    canvas_.SetPainter(painter_.get());
    page_number_ = 1;
}

void TQtPrinter::NewPage() {
    if (!Printing()) throw EPrinterError(NotPrinting);
    if (!printer_->newPage()) throw EPrinterError(DeviceUnreachable);
    ++page_number_;
}

void TQtPrinter::EndPainter() {
    canvas_.SetPainter(nullptr);
    painter_->end();
    painter_.reset();
    page_number_ = 0;
}

void TQtPrinter::EndDoc() {
    if (!Printing()) throw EPrinterError(NotPrinting);
    EndPainter();
}

void TQtPrinter::Abort() {
    if (!Printing()) return;
    printer_->abort();
    EndPainter();
    aborted_ = true;
}

}  // namespace mivo
