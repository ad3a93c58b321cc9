// The printer over Qt's print system: the system's default device printer,
// or Qt's PDF printer, which writes each document to a PDF file (how the
// desktop program prints where no device printer is installed, and what the
// print dialog's "Print to File" turns any printer into).
//
// A document printed to a file is spooled to a temporary file first and
// replaces the output file only once it has ended well, through the same
// safe writing as every other file the system writes (model/SafeFile.h): an
// aborted or failed document leaves an existing file as it was.
#pragma once

#include <memory>
#include <string>

#include "platform/Printer.h"
#include "platform/QtCanvas.h"

class QPainter;
class QPrinter;

namespace mivo {

class TQtPrinter : public TPrinter {
public:
    // The PDF printer's resolution unless told otherwise: that of pages laid
    // out without a printer.
    static constexpr std::int32_t PdfResolution = 300;

    // The system's default printer at its high resolution.
    TQtPrinter();
    // The PDF printer: an A4 portrait sheet that is all page (no margins of
    // its own, as pages are laid out without a printer), at `resolution`
    // dots per inch, writing to `pdfFileName`; an empty name is chosen
    // later (the print dialog, SetOutputFileName).
    explicit TQtPrinter(const std::string& pdfFileName, std::int32_t resolution = PdfResolution);
    ~TQtPrinter() override;

    // Whether any device printer is installed.
    static bool AnyInstalled();
    // The printer the desktop program prints with: the default device
    // printer when one is installed, else the PDF printer without a file.
    static std::unique_ptr<TQtPrinter> ForThisMachine();

    QPrinter& Device() { return *printer_; }

    std::int32_t ResolutionX() override;
    std::int32_t ResolutionY() override;
    std::int32_t PageWidth() override;
    std::int32_t PageHeight() override;
    TPrinterOrientation Orientation() const override;
    void SetOrientation(TPrinterOrientation orientation) override;
    std::string Title() const override;
    void SetTitle(const std::string& title) override;
    std::int32_t Copies() const override;
    void SetCopies(std::int32_t copies) override;
    std::int32_t Index() const override;
    bool PrintsToFile() const override;
    std::string OutputFileName() const override;
    void SetOutputFileName(const std::string& fileName) override;
    // With file output, raises EFileError when the output file cannot be
    // written (before any page is drawn) and EPrinterError when no file is
    // chosen.
    void BeginDoc() override;
    void NewPage() override;
    // With file output, the document replaces the output file now; raises
    // EFileError or EPrinterError when it cannot (the file then stays).
    void EndDoc() override;
    void Abort() override;
    bool Printing() const override { return painter_ != nullptr; }
    bool Aborted() const override { return aborted_; }
    std::int32_t PageNumber() const override { return page_number_; }
    TCanvas& Canvas() override { return canvas_; }

private:
    class TPrinterCanvas : public TQtCanvas {
    protected:
        [[noreturn]] void NoPainter() override;
    };
    // The open document's way to its output file.
    class TFileJob;

    void CheckDevice();
    // Ends the painter; false when the device reported a failure.
    bool EndPainter();

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<TFileJob> file_job_;
    std::unique_ptr<QPainter> painter_;
    TPrinterCanvas canvas_;
    std::int32_t page_number_ = 0;
    bool aborted_ = false;
};

}  // namespace mivo
