#include "reports/ui/PreviewViewer.h"

#include "platform/ErrorDisplay.h"
#include "platform/QtBusyCursor.h"

namespace mivo {

void TPreviewViewer::ShowReport(std::unique_ptr<TReport> report) {
    if (!report) return;
    Guarded([&] {
        TPrintPreview& preview = form_.Preview();
        // Another report is being formatted or printed in this preview:
        // its pages stay untouched.
        if (preview.Busy()) throw EPreviewBusy();
        preview.Clear();
        TGuardedOnExit clear([&preview] { preview.Clear(); });
        {
            TBusyCursor busy;
            preview.AddReport(std::move(report));
        }
        prompts_.Exec(form_, "Preview");
    });
}

}  // namespace mivo
