// The report service over the preview window: the report font chosen in
// the main window, the window's canvas pen for the builders, and the modal
// showing of a built report: the preview is cleared, takes the report and
// formats it under the hourglass, the window is shown through the prompt
// layer (as "Preview"), and the preview is cleared again. Errors are shown
// through the error display.
#pragma once

#include <memory>

#include "platform/Prompts.h"
#include "reports/ReportViewer.h"
#include "reports/ui/PreviewForm.h"

namespace mivo {

class TPreviewViewer : public TReportViewer {
public:
    // Neither is owned.
    TPreviewViewer(TPreviewForm& form, TPrompts& prompts) : form_(form), prompts_(prompts) {}

    TFont ReportFont() const override { return font_; }
    void SetReportFont(const TFont& font) { font_ = font; }
    TPen PreviewPen() const override { return form_.CanvasPen(); }
    // A null report shows nothing; so does a preview busy with another job.
    void ShowReport(std::unique_ptr<TReport> report) override;

    TPreviewForm& Form() const { return form_; }

private:
    TPreviewForm& form_;
    TPrompts& prompts_;
    TFont font_;
};

}  // namespace mivo
