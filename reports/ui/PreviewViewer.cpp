#include "reports/ui/PreviewViewer.h"

#include "platform/ErrorDisplay.h"
#include "platform/QtBusyCursor.h"

namespace mivo {

namespace {

// Clears the preview when the showing ends, on every path.
class TClearOnExit {
public:
    explicit TClearOnExit(TPrintPreview& preview) : preview_(preview) {}
    ~TClearOnExit() {
        Guarded([&] { preview_.Clear(); });
    }
    TClearOnExit(const TClearOnExit&) = delete;
    TClearOnExit& operator=(const TClearOnExit&) = delete;

private:
    TPrintPreview& preview_;
};

}  // namespace

void TPreviewViewer::ShowReport(std::unique_ptr<TReport> report) {
    if (!report) return;
    Guarded([&] {
        TPrintPreview& preview = form_.Preview();
        // Another report is being formatted or printed in this preview:
        // its pages stay untouched.
        if (preview.Busy()) throw EPreviewBusy();
        preview.Clear();
        TClearOnExit clear(preview);
        {
            TBusyCursor busy;
            preview.AddReport(std::move(report));
        }
        prompts_.Exec(form_, "Preview");
    });
}

}  // namespace mivo
