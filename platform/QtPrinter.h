// The printer over Qt's print system. Printing to a PDF file instead of a
// device is how it runs without a printer (tests, and "print to file").
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
    // The system's default printer at its high resolution.
    TQtPrinter();
    // Prints to the PDF file of that name at `resolution` dots per inch.
    TQtPrinter(const std::string& pdfFileName, std::int32_t resolution);
    ~TQtPrinter() override;

    // Whether any printer is installed.
    static bool AnyInstalled();

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
    void BeginDoc() override;
    void NewPage() override;
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

    void CheckDevice();
    void EndPainter();

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    TPrinterCanvas canvas_;
    std::int32_t page_number_ = 0;
    bool aborted_ = false;
};

}  // namespace mivo
