// The page-setup dialog component: paper, orientation and margins, over
// the prompt layer's page-setup dialog.
//
// The caller sets the margins (and the orientation and paper) to start
// from and runs Execute; on OK the fields hold the user's choice, in the
// unit that Measurements names. With a printer attached, the dialog starts
// from the printer's paper and the chosen paper goes to the printer; the
// margins go to the caller only, who lays out the page within them.
#pragma once

#include <cstdint>

#include "platform/Printer.h"
#include "platform/Prompts.h"
#include "reports/Measures.h"

namespace mivo {

// Options of the dialog. Those without a counterpart in the platform's
// dialog (minimum margins from the printer, page painting, the printer
// button, warnings, help) are kept for callers but change nothing.
enum TPageSetupOption : std::uint32_t {
    poDefaultMinMargins = 1u << 0,
    poDisableMargins = 1u << 1,
    poDisableOrientation = 1u << 2,
    poDisablePagePainting = 1u << 3,
    poDisablePaper = 1u << 4,
    poDisablePrinter = 1u << 5,
    poNoWarning = 1u << 6,
    poShowHelp = 1u << 7,
};
using TPageSetupOptions = std::uint32_t;

// Units of PaperSize, Margin and MinMargin: hundredths of a millimetre or
// thousandths of an inch.
enum class TPSMeasurements : std::uint8_t { pmMillimeters, pmInches };

class TPageSetupDialog {
public:
    explicit TPageSetupDialog(TPrompts& prompts) : prompts_(prompts) {}

    TPageSetupOptions Options = poDefaultMinMargins | poShowHelp;
    TPSMeasurements Measurements = TPSMeasurements::pmInches;
    // The paper (x across, y down) in the chosen orientation; (0, 0): the
    // printer's paper, or an A4 sheet without a printer.
    TPoint PaperSize;
    // Margins: left, top, right, bottom.
    TRect MinMargin;
    TRect Margin{1000, 1000, 1000, 1000};
    bool Landscape = false;
    // The printer whose paper the dialog shows and sets; may be null.
    TPrinter* Printer = nullptr;

    // Shows the dialog; true on OK, with the fields updated. Cancel leaves
    // every field as it was.
    bool Execute();

    // What Execute hands to the prompt layer, and how an answer is taken
    // back (the request counts in thousandths of a millimetre or inch).
    TPageSetupRequest MakeRequest() const;
    void TakeAnswer(const TPageSetupRequest& request);

private:
    TPrompts& prompts_;
};

}  // namespace mivo
