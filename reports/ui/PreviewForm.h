// The preview window: the modal, maximised window in which every report is
// shown. It hosts the one print preview and offers printing, page setup,
// paging, zoom, saving as .txt, .tab, .emf or .bmp, copying the page,
// progress display and cancelling.
//
// Report commands elsewhere clear its preview, add a report, show it
// modally (through the prompt layer, as "Preview") and clear it again; the
// report builders draw with its canvas pen (TPreviewViewer does all that).
//
// While the preview formats or prints, the progress bar shows and Cancel
// replaces Close; then only Cancel and Escape act: every other command and
// key is refused, and the window refuses to close. Every command returns
// the window to the idle layout when it ends, whether it succeeded or not.
//
// The window sees keys before its children: Page Up / Page Down page
// (with Ctrl: first / last page, with Shift: the first page number one
// down / up), the arrow keys scroll, Escape cancels a running job.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <QDialog>
#include <QElapsedTimer>

#include "model/Clipboard.h"
#include "platform/FontSource.h"
#include "platform/PageMetafile.h"
#include "platform/Printer.h"
#include "platform/Prompts.h"
#include "reports/Graphics.h"
#include "reports/ui/PageSetup.h"
#include "reports/ui/PrintPreview.h"
#include "reports/ui/TextDim.h"

class QAction;
class QComboBox;
class QLabel;
class QProgressBar;
class QStatusBar;
class QTimer;
class QToolBar;

namespace mivo {

// The PDF file offered first when a report of the model file is printed to
// a file: beside the model file, its extension replaced by ".pdf", as an
// absolute name (a name without folder, as of an unsaved model, lies in the
// current folder; without a model file the name is "report.pdf").
std::string PdfFileNameBeside(const std::string& modelFileName);

class TPreviewForm : public QDialog {
    Q_OBJECT

public:
    // Progress modes of the window.
    enum TProgressMode : int { pmIdle = 0, pmPrinting = 1, pmFormatting = 2 };

    // The window's help topic.
    static constexpr int HelpContext = 1271;

    // The zoom box's items, in order.
    static constexpr int ZoomItemCount = 10;
    static constexpr int ZoomPageWidthItem = 7;
    static constexpr int ZoomPageHeightItem = 8;
    static constexpr int ZoomWholePageItem = 9;

    static constexpr const char* SaveFilter =
        "Text File (*.txt)|*.txt|Tab-delimited File (*.tab)|*.tab|Enhanced Metafile (*.emf)|*.emf|Bitmap "
        "(*.bmp)|*.bmp";

    // Every dialog and message goes through `prompts`; pages are copied to
    // `clipboard`. `printer` (not owned) may be null: no printing then. A
    // printer that prints to a file (the PDF printer) prints to the file
    // chosen in the print dialog.
    // `fonts` (not owned) measures pages without a printer; null: the real
    // fonts.
    TPreviewForm(TPrompts& prompts, TClipboard& clipboard, TPrinter* printer, QWidget* parent = nullptr,
                 TFontSource* fonts = nullptr);
    ~TPreviewForm() override;

    TPrintPreview& Preview() const { return *preview_; }
    TTextDimForm& TextDim() const { return *textDim_; }
    TPageSetupDialog& PageSetupDialog() { return pageSetup_; }
    // The pen of the window's drawing surface, for the report builders.
    TPen CanvasPen() const { return TPen{}; }

    // The current page's metafile, or null.
    const TPageMetafile* CurrentPageMetafile() const;
    bool HasPrinter() const { return preview_->Printer() != nullptr; }
    // A job of the preview runs.
    bool Busy() const { return preview_->Busy(); }

    // The page panel and the commands' states; the layout of the job that
    // runs, else the idle layout.
    void UpdateStatus();
    void SetProgressMode(int mode);
    int ProgressMode() const { return progressMode_; }

    // --- commands (the tool bar's and the keys'), public for tests ---
    void FormShow();
    void PrintBtnClick();
    void PageSetupBtnClick();
    void PrevBtnClick();
    void NextBtnClick();
    void SaveBtnClick();
    void CopyBtnClick();
    void CloseBtnClick();
    void CancelBtnClick();
    void ZoomBoxSelect(int index);
    void ZoomBoxExit();
    void ZoomTimerTimer();
    // A key seen before the children; true when it was consumed.
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers);

    // Progress events of the preview.
    void PrintProgress(int printed, int total);
    void FormatProgress(int linesDone, int totalLines);

    // --- parts, for tests and the shell ---
    QToolBar& ToolBar() const { return *toolBar_; }
    QAction& PrintAction() const { return *printAct_; }
    QAction& PageSetupAction() const { return *pageSetupAct_; }
    QAction& PrevAction() const { return *prevAct_; }
    QAction& NextAction() const { return *nextAct_; }
    QAction& SaveAction() const { return *saveAct_; }
    QAction& CloseAction() const { return *closeAct_; }
    QAction& CancelAction() const { return *cancelAct_; }
    QAction& CopyAction() const { return *copyAct_; }
    QComboBox& ZoomBox() const { return *zoomBox_; }
    QLabel& StatusPanel() const { return *statusPanel_; }
    QStatusBar& StatusBar() const { return *statusBar_; }
    QStatusBar& ProgressMsg() const { return *progressMsg_; }
    QLabel& ProgressPanel() const { return *progressPanel_; }
    QProgressBar& ProgressBar() const { return *progressBar_; }
    QTimer& ZoomTimer() const { return *zoomTimer_; }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* AddAction(const char* text, const char* hint, int icon, void (TPreviewForm::*command)());
    void BuildZoomBox();
    // Repaints and lets pending window messages through, at most every few
    // milliseconds so that fine-grained progress stays cheap.
    void PumpMessages(bool force);
    // Asks before an existing file is replaced, and refuses a read-only
    // one; false when the file is to be kept.
    bool ConfirmReplace(const std::string& fileName);
    // The output file the print dialog offers: the one last chosen for the
    // active model file, else the one beside it.
    std::string OfferedPdfFileName() const;
    void SaveBitmap(const TPageMetafile& page, const std::string& fileName);

    TPrompts& prompts_;
    TClipboard& clipboard_;
    TPageSetupDialog pageSetup_;
    TPrintPreview* preview_ = nullptr;
    TTextDimForm* textDim_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QAction* printAct_ = nullptr;
    QAction* pageSetupAct_ = nullptr;
    QAction* prevAct_ = nullptr;
    QAction* nextAct_ = nullptr;
    QAction* saveAct_ = nullptr;
    QAction* closeAct_ = nullptr;
    QAction* cancelAct_ = nullptr;
    QAction* copyAct_ = nullptr;
    QAction* zoomAct_ = nullptr;
    QComboBox* zoomBox_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QLabel* statusPanel_ = nullptr;
    QStatusBar* progressMsg_ = nullptr;
    QLabel* progressPanel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QTimer* zoomTimer_ = nullptr;
    int progressMode_ = pmIdle;
    int saveFilterIndex_ = 1;
    std::string saveFileName_;
    std::string pdfFileName_;       // the file last printed to
    std::string pdfModelFileName_;  // the model file it was chosen for
    QElapsedTimer pumpClock_;
};

}  // namespace mivo
