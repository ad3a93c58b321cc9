// The printer as the rest of the system reaches it.
//
// A printer has a resolution, a page size in its own device units (the
// printable area, for the orientation in force), an orientation, a document
// title and a copies setting, and runs documents: BeginDoc opens one with
// its first page, NewPage starts the next page, EndDoc finishes and sends
// it, Abort throws it away. Its canvas measures text at any time and draws
// while a document is open.
//
// A printer either drives a device or writes each document to a file (its
// output file); a file printer replaces the file only when a document ends
// well, so an aborted or failed document leaves an existing file as it was.
//
// Implementations: TQtPrinter over the platform's print system
// (platform/QtPrinter.h, which can also print to a PDF file) and
// TFakePrinter, which records pages as page metafiles (platform/FakePrinter.h).
#pragma once

#include <cstdint>
#include <string>

#include "model/RunTime.h"
#include "platform/Canvas.h"

namespace mivo {

// The printer or its device cannot be reached, or an operation does not
// fit the printer's state ("Printer is not currently printing",
// "Printing in progress").
class EPrinterError : public Exception {
public:
    using Exception::Exception;
};

enum class TPrinterOrientation : std::uint8_t { Portrait = 0, Landscape = 1 };

class TPrinter {
public:
    TPrinter() = default;
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;
    virtual ~TPrinter() = default;

    // Dots per inch across and down; raise EPrinterError when the device
    // cannot be reached.
    virtual std::int32_t ResolutionX() = 0;
    virtual std::int32_t ResolutionY() = 0;
    // The printable page in device units, for the current orientation.
    virtual std::int32_t PageWidth() = 0;
    virtual std::int32_t PageHeight() = 0;

    virtual TPrinterOrientation Orientation() const = 0;
    // Raises EPrinterError while a document is open.
    virtual void SetOrientation(TPrinterOrientation orientation) = 0;

    virtual std::string Title() const = 0;
    virtual void SetTitle(const std::string& title) = 0;
    virtual std::int32_t Copies() const = 0;
    virtual void SetCopies(std::int32_t copies) = 0;

    // Which of the installed printers this is (0 for the only one).
    virtual std::int32_t Index() const = 0;

    // Whether documents go to the output file instead of a device.
    virtual bool PrintsToFile() const = 0;
    // The file the documents go to; empty when none is chosen.
    virtual std::string OutputFileName() const = 0;
    // Sends the next documents to that file (a device printer then prints
    // to a file too). Raises EPrinterError while a document is open.
    virtual void SetOutputFileName(const std::string& fileName) = 0;

    // Documents and pages. BeginDoc raises EPrinterError while a document
    // is open; NewPage and EndDoc while none is.
    virtual void BeginDoc() = 0;
    virtual void NewPage() = 0;
    virtual void EndDoc() = 0;
    // Throws the open document away; nothing without one.
    virtual void Abort() = 0;
    // Whether a document is open.
    virtual bool Printing() const = 0;
    // Whether the last document was aborted.
    virtual bool Aborted() const = 0;
    // Pages of the open document so far (1 after BeginDoc).
    virtual std::int32_t PageNumber() const = 0;

    // The printer's canvas; drawing on it outside a document raises
    // EPrinterError "Printer is not currently printing".
    virtual TCanvas& Canvas() = 0;
};

}  // namespace mivo
