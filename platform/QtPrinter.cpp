#include "platform/QtPrinter.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include "model/SafeFile.h"
#include "platform/QtApplication.h"

namespace mivo {

namespace {
const char* const NotPrinting = "Printer is not currently printing";
const char* const PrintingInProgress = "Printing in progress";
const char* const DeviceUnreachable = "Printer device not available";
const char* const NoOutputFile = "No file has been chosen to print to";

std::string FromQtFileName(const QString& name) { return QFile::encodeName(name).toStdString(); }
QString ToQtFileName(const std::string& name) { return QFile::decodeName(QByteArray::fromStdString(name)); }

}  // namespace

void TQtPrinter::TPrinterCanvas::NoPainter() { throw EPrinterError(NotPrinting); }

// While a document is open, Qt writes it into a temporary spool file; the
// output file is opened for safe writing at once, so a folder that cannot
// be written fails before the first page, and is replaced only by Commit.
// Whatever ends the job puts the output file's name back on the printer.
class TQtPrinter::TFileJob {
public:
    TFileJob(QPrinter& printer, std::string target)
        : printer_(printer), target_(std::move(target)), writer_(target_),
          spool_(QDir::temp().filePath(QStringLiteral("mivo-print-XXXXXX.pdf"))) {
        if (!spool_.open()) throw EPrinterError(Format("Cannot create a spool file for \"%s\"", target_));
        spool_.close();
        printer_.setOutputFileName(spool_.fileName());
    }
    ~TFileJob() { printer_.setOutputFileName(ToQtFileName(target_)); }
    TFileJob(const TFileJob&) = delete;
    TFileJob& operator=(const TFileJob&) = delete;

    const std::string& Target() const { return target_; }

    // Replaces the output file by the finished document; a spool that is no
    // PDF document (the device failed to write it) leaves the file alone.
    void Commit() {
        const std::string document = ReadFile(FromQtFileName(spool_.fileName()));
        if (document.rfind("%PDF-", 0) != 0) throw EPrinterError(Format("Cannot write \"%s\"", target_));
        writer_.Write(document);
        writer_.Commit();
    }

private:
    QPrinter& printer_;
    std::string target_;
    TSafeFileWriter writer_;
    QTemporaryFile spool_;
};

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
    if (!pdfFileName.empty()) printer_->setOutputFileName(ToQtFileName(pdfFileName));
    printer_->setResolution(resolution);
    printer_->setPageSize(QPageSize(QPageSize::A4));
    printer_->setPageOrientation(QPageLayout::Portrait);
    printer_->setFullPage(true);
    printer_->setPageMargins(QMarginsF(), QPageLayout::Millimeter);
    canvas_.Font().PixelsPerInch = resolution;
    canvas_.Font().SetSize(10);
}

TQtPrinter::~TQtPrinter() {
    if (painter_) {
        printer_->abort();
        painter_->end();
    }
    // An unfinished file job leaves the output file as it was.
    file_job_.reset();
}

bool TQtPrinter::AnyInstalled() {
    EnsureGuiApplication();
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

std::unique_ptr<TQtPrinter> TQtPrinter::ForThisMachine() {
    if (AnyInstalled()) return std::make_unique<TQtPrinter>();
    return std::make_unique<TQtPrinter>(std::string(), PdfResolution);
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

bool TQtPrinter::PrintsToFile() const { return printer_->outputFormat() == QPrinter::PdfFormat; }

std::string TQtPrinter::OutputFileName() const {
    if (file_job_) return file_job_->Target();
    return PrintsToFile() ? FromQtFileName(printer_->outputFileName()) : std::string();
}

void TQtPrinter::SetOutputFileName(const std::string& fileName) {
    if (Printing()) throw EPrinterError(PrintingInProgress);
    if (!fileName.empty() && !PrintsToFile()) printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(ToQtFileName(fileName));
}

void TQtPrinter::BeginDoc() {
    if (Printing()) throw EPrinterError(PrintingInProgress);
    aborted_ = false;
    std::unique_ptr<TFileJob> job;
    if (PrintsToFile()) {
        const std::string target = OutputFileName();
        if (target.empty()) throw EPrinterError(NoOutputFile);
        job = std::make_unique<TFileJob>(*printer_, target);
    }
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(printer_.get())) throw EPrinterError(DeviceUnreachable);
    file_job_ = std::move(job);
    painter_ = std::move(painter);
    canvas_.SetPainter(painter_.get());
    page_number_ = 1;
}

void TQtPrinter::NewPage() {
    if (!Printing()) throw EPrinterError(NotPrinting);
    if (!printer_->newPage()) throw EPrinterError(DeviceUnreachable);
    ++page_number_;
}

bool TQtPrinter::EndPainter() {
    canvas_.SetPainter(nullptr);
    const bool ended = painter_->end();
    painter_.reset();
    page_number_ = 0;
    return ended;
}

void TQtPrinter::EndDoc() {
    if (!Printing()) throw EPrinterError(NotPrinting);
    const bool ended = EndPainter();
    const std::unique_ptr<TFileJob> job = std::move(file_job_);
    if (!ended) throw EPrinterError(DeviceUnreachable);
    if (job) job->Commit();
}

void TQtPrinter::Abort() {
    if (!Printing()) return;
    printer_->abort();
    EndPainter();
    file_job_.reset();
    aborted_ = true;
}

}  // namespace mivo
