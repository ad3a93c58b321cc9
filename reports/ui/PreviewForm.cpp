#include "reports/ui/PreviewForm.h"

#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>

#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QComboBox>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "model/RunTime.h"
#include "model/Utils.h"
#include "platform/EmfWriter.h"
#include "platform/ErrorDisplay.h"
#include "platform/Help.h"
#include "platform/QtBitmap.h"
#include "reports/MivoRpt.h"
#include "reports/Measures.h"

namespace mivo {

namespace {

constexpr std::array<int, 7> ZoomPercents = {200, 175, 150, 125, 100, 75, 50};
constexpr std::array<const char*, 4> SaveExtensions = {".txt", ".tab", ".emf", ".bmp"};
// Pending window messages are let through at most this often while
// formatting reports progress.
constexpr qint64 PumpIntervalMs = 25;

bool IsPagingOrScrollKey(int key) {
    switch (key) {
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right: return true;
        default: return false;
    }
}

// The zoom typed into the zoom box: its text without "%" as an integer;
// nothing for text that is not one. Integers beyond 64 bits stand for the
// largest of their sign.
std::optional<std::int64_t> ParseZoom(const QString& text) {
    QString digits = text;
    digits.remove('%');
    const std::string s = digits.trimmed().toStdString();
    if (s.empty()) return std::nullopt;
    const char* first = s.data();
    const char* last = s.data() + s.size();
    if (*first == '+') ++first;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (end != last) return std::nullopt;
    if (error == std::errc::result_out_of_range)
        return s.front() == '-' ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
    if (error != std::errc()) return std::nullopt;
    return value;
}

std::string PngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return {};
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// The file of the model window whose reports are shown; empty without one.
std::string ActiveModelFileName() {
    const TReportHost* host = GetReportHost();
    return host && host->HasActiveModelWindow() ? host->ActiveFileName() : std::string();
}

}  // namespace

std::string PdfFileNameBeside(const std::string& modelFileName) {
    std::filesystem::path name(modelFileName.empty() ? std::string("report") : modelFileName);
    name.replace_extension(".pdf");
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(name, error);
    return (error ? name : absolute).lexically_normal().string();
}

TPreviewForm::TPreviewForm(TPrompts& prompts, TClipboard& clipboard, TPrinter* printer, QWidget* parent,
                           TFontSource* fonts)
    : QDialog(parent), prompts_(prompts), clipboard_(clipboard), pageSetup_(prompts) {
    setObjectName("PreviewForm");
    setWindowTitle(tr("Preview"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setWindowState(Qt::WindowMaximized);
    setModal(true);
    // F1 in the window asks the help service for the window's topic.
    setProperty(HelpContextProperty, HelpContext);

    toolBar_ = new QToolBar(this);
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    printAct_ = AddAction("Print", "Print...", -1, &TPreviewForm::PrintBtnClick);
    pageSetupAct_ = AddAction("Page setup", "Page setup...", -1, &TPreviewForm::PageSetupBtnClick);
    toolBar_->addSeparator();
    prevAct_ = AddAction("Previous", "Previous page", QStyle::SP_ArrowBack, &TPreviewForm::PrevBtnClick);
    nextAct_ = AddAction("Next", "Next page", QStyle::SP_ArrowForward, &TPreviewForm::NextBtnClick);
    toolBar_->addSeparator();
    BuildZoomBox();
    toolBar_->addSeparator();
    saveAct_ = AddAction("Save", "Save report...", QStyle::SP_DialogSaveButton, &TPreviewForm::SaveBtnClick);
    copyAct_ = AddAction("Copy", "Copy", -1, &TPreviewForm::CopyBtnClick);
    toolBar_->addSeparator();
    closeAct_ = AddAction("Close", "Close this preview", QStyle::SP_DialogCloseButton, &TPreviewForm::CloseBtnClick);
    cancelAct_ = AddAction("Cancel", "Cancel", QStyle::SP_BrowserStop, &TPreviewForm::CancelBtnClick);
    cancelAct_->setVisible(false);

    preview_ = new TPrintPreview(printer, this, fonts);
    preview_->setObjectName("Preview");
    preview_->OnPrintPage = [this](int printed, int total, int, int) { PrintProgress(printed, total); };
    preview_->OnFormatProgress = [this](TFormatter&, int, int, int done, int total) { FormatProgress(done, total); };
    preview_->OnJobEnded = [this] { UpdateStatus(); };

    progressMsg_ = new QStatusBar(this);
    progressMsg_->setObjectName("ProgressMsg");
    progressMsg_->setSizeGripEnabled(false);
    progressPanel_ = new QLabel(progressMsg_);
    progressPanel_->setAlignment(Qt::AlignCenter);
    progressBar_ = new QProgressBar(progressMsg_);
    progressBar_->setRange(0, 100);
    progressMsg_->addWidget(progressPanel_, 1);
    progressMsg_->addWidget(progressBar_, 1);
    progressMsg_->setVisible(false);

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName("StatusBar");
    statusBar_->setSizeGripEnabled(false);
    statusPanel_ = new QLabel(statusBar_);
    statusPanel_->setAlignment(Qt::AlignCenter);
    statusBar_->addWidget(statusPanel_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar_);
    layout->addWidget(preview_, 1);
    layout->addWidget(progressMsg_);
    layout->addWidget(statusBar_);

    zoomTimer_ = new QTimer(this);
    zoomTimer_->setSingleShot(true);
    zoomTimer_->setInterval(10);
    connect(zoomTimer_, &QTimer::timeout, this, [this] { Guarded([&] { ZoomTimerTimer(); }); });

    textDim_ = new TTextDimForm(this);

    // Margins in hundredths of a millimetre: 20, 15, 10 and 10 mm.
    pageSetup_.Options = poDefaultMinMargins;
    pageSetup_.Measurements = TPSMeasurements::pmMillimeters;
    pageSetup_.Printer = printer;
    pageSetup_.Margin.Left = 2000;
    pageSetup_.Margin.Top = 1500;
    preview_->SetMargins(pageSetup_.Margin.Left / 100.0, pageSetup_.Margin.Top / 100.0,
                         pageSetup_.Margin.Right / 100.0, pageSetup_.Margin.Bottom / 100.0);

    // The window sees keys before its children.
    qApp->installEventFilter(this);
    UpdateStatus();
}

TPreviewForm::~TPreviewForm() { qApp->removeEventFilter(this); }

QAction* TPreviewForm::AddAction(const char* text, const char* hint, int icon, void (TPreviewForm::*command)()) {
    auto* action = new QAction(tr(text), this);
    action->setToolTip(tr(hint));
    action->setStatusTip(tr(hint));
    if (icon >= 0) action->setIcon(style()->standardIcon(static_cast<QStyle::StandardPixmap>(icon)));
    connect(action, &QAction::triggered, this, [this, command] { Guarded([&] { (this->*command)(); }); });
    toolBar_->addAction(action);
    return action;
}

void TPreviewForm::BuildZoomBox() {
    zoomBox_ = new QComboBox(toolBar_);
    zoomBox_->setObjectName("ZoomBox");
    zoomBox_->setEditable(true);
    zoomBox_->setInsertPolicy(QComboBox::NoInsert);
    zoomBox_->setToolTip(tr("Zoom"));
    for (int percent : ZoomPercents) zoomBox_->addItem(QString::number(percent) + "%");
    zoomBox_->addItem(tr("Page width"));
    zoomBox_->addItem(tr("Page height"));
    zoomBox_->addItem(tr("Whole page"));
    zoomBox_->setMaxVisibleItems(ZoomItemCount);
    zoomBox_->setCurrentIndex(-1);
    zoomBox_->setEditText("25%");
    zoomBox_->setMinimumContentsLength(11);
    connect(zoomBox_, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { Guarded([&] { ZoomBoxSelect(index); }); });
    zoomAct_ = toolBar_->addWidget(zoomBox_);
}

const TPageMetafile* TPreviewForm::CurrentPageMetafile() const {
    try {
        return preview_->CurrentMetafile();
    } catch (...) {
        return nullptr;
    }
}

// --- status -------------------------------------------------------------------------------

void TPreviewForm::UpdateStatus() {
    statusPanel_->setText(
        QString::fromStdString(Format("Page %d/%d", preview_->CurrentPage(), preview_->PageCount())));
    SetProgressMode(preview_->Printing() ? pmPrinting : preview_->Formatting() ? pmFormatting : pmIdle);
}

void TPreviewForm::SetProgressMode(int mode) {
    progressMode_ = mode;
    const bool idle = mode == pmIdle;
    progressMsg_->setVisible(!idle);
    closeAct_->setVisible(idle);
    cancelAct_->setVisible(!idle);
    closeAct_->setEnabled(mode < pmFormatting);
    // While a job runs only Cancel (and Escape) act.
    const int pages = preview_->PageCount();
    const int current = preview_->CurrentPage();
    printAct_->setEnabled(idle && HasPrinter() && pages > 0);
    pageSetupAct_->setEnabled(idle);
    prevAct_->setEnabled(idle && current > 1);
    nextAct_->setEnabled(idle && current < pages);
    saveAct_->setEnabled(idle && pages > 0);
    copyAct_->setEnabled(idle);
    zoomBox_->setEnabled(idle);
}

void TPreviewForm::PumpMessages(bool force) {
    if (!force && pumpClock_.isValid() && pumpClock_.elapsed() < PumpIntervalMs) return;
    if (isVisible()) progressMsg_->repaint();
    QCoreApplication::processEvents();
    pumpClock_.start();
}

void TPreviewForm::PrintProgress(int printed, int total) {
    SetProgressMode(pmPrinting);
    progressPanel_->setText(QString::fromStdString(Format("Printing page %d from %d", printed, total)));
    progressBar_->setMaximum(std::max(total, 1));
    progressBar_->setValue(printed);
    PumpMessages(true);
}

void TPreviewForm::FormatProgress(int linesDone, int totalLines) {
    if (progressMode_ != pmFormatting) {
        SetProgressMode(pmFormatting);
        progressPanel_->setText(tr("Formatting"));
        pumpClock_.invalidate();
    }
    progressBar_->setMaximum(std::max(totalLines, 1));
    progressBar_->setValue(std::clamp(linesDone, 0, std::max(totalLines, 1)));
    PumpMessages(false);
}

// --- showing and closing --------------------------------------------------------------

void TPreviewForm::FormShow() {
    preview_->ZoomPageWidth();
    UpdateStatus();
    ZoomTimerTimer();
}

void TPreviewForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (layout()) layout()->activate();
    Guarded([&] { FormShow(); });
}

void TPreviewForm::closeEvent(QCloseEvent* event) {
    if (Busy()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TPreviewForm::done(int result) {
    // The running job uses the pages and reports the window's owner clears
    // once it closes.
    if (Busy()) return;
    QDialog::done(result);
}

void TPreviewForm::CloseBtnClick() {
    if (Busy()) return;
    reject();
}

void TPreviewForm::CancelBtnClick() { preview_->Cancel(); }

// --- zoom ------------------------------------------------------------------------------------

void TPreviewForm::ZoomBoxSelect(int index) {
    if (Busy()) return;
    TGuardedOnExit idle([this] { UpdateStatus(); });
    if (index >= 0 && index < static_cast<int>(ZoomPercents.size()))
        preview_->SetZoom(ZoomPercents[static_cast<std::size_t>(index)]);
    else if (index == ZoomPageWidthItem)
        preview_->ZoomPageWidth();
    else if (index == ZoomPageHeightItem)
        preview_->ZoomPageHeight();
    else if (index == ZoomWholePageItem)
        preview_->ZoomWholePage();
    zoomTimer_->start();
}

void TPreviewForm::ZoomBoxExit() {
    if (Busy()) return;
    TGuardedOnExit idle([this] { UpdateStatus(); });
    if (const auto zoom = ParseZoom(zoomBox_->currentText())) preview_->SetZoom(*zoom);
    zoomTimer_->start();
}

void TPreviewForm::ZoomTimerTimer() {
    zoomTimer_->stop();
    zoomBox_->setEditText(QString::number(preview_->Zoom()) + "%");
}

// --- paging and keys ----------------------------------------------------------------------

void TPreviewForm::PrevBtnClick() {
    if (Busy()) return;
    TGuardedOnExit idle([this] { UpdateStatus(); });
    preview_->PrevPage();
}

void TPreviewForm::NextBtnClick() {
    if (Busy()) return;
    TGuardedOnExit idle([this] { UpdateStatus(); });
    preview_->NextPage();
}

bool TPreviewForm::HandleKey(int key, Qt::KeyboardModifiers modifiers) {
    if (Busy()) {
        // Only Escape acts; paging and scrolling wait for the job.
        if (key == Qt::Key_Escape) {
            CancelBtnClick();
            return true;
        }
        return IsPagingOrScrollKey(key);
    }
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    switch (key) {
        case Qt::Key_PageUp: {
            TGuardedOnExit idle([this] { UpdateStatus(); });
            if (ctrl)
                preview_->GoToPage(1);
            else if (shift)
                preview_->SetFirstPageNumber(CheckedSub(preview_->FirstPageNumber(), std::int32_t{1}));
            else
                preview_->PrevPage();
            return true;
        }
        case Qt::Key_PageDown: {
            TGuardedOnExit idle([this] { UpdateStatus(); });
            if (ctrl)
                preview_->GoToPage(preview_->PageCount());
            else if (shift)
                preview_->SetFirstPageNumber(CheckedAdd(preview_->FirstPageNumber(), std::int32_t{1}));
            else
                preview_->NextPage();
            return true;
        }
        case Qt::Key_Down: preview_->ScrollDown(); return true;
        case Qt::Key_Up: preview_->ScrollUp(); return true;
        case Qt::Key_Right: preview_->ScrollRight(); return true;
        case Qt::Key_Left: preview_->ScrollLeft(); return true;
        case Qt::Key_Escape:
            if (!cancelAct_->isVisible()) return false;
            CancelBtnClick();
            UpdateStatus();
            return true;
        default: return false;
    }
}

bool TPreviewForm::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && (widget == this || isAncestorOf(widget)) && isVisible()) {
            const auto& key = *static_cast<QKeyEvent*>(event);
            bool consumed = false;
            Guarded([&] {
                const bool inZoomBox = widget == zoomBox_ || widget == zoomBox_->lineEdit();
                if (inZoomBox && (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)) {
                    // Enter takes the typed zoom and moves on.
                    consumed = true;
                    zoomBox_->hidePopup();
                    ZoomBoxExit();
                    focusNextChild();
                } else {
                    consumed = HandleKey(key.key(), key.modifiers());
                }
            });
            if (consumed) return true;
        }
    } else if (type == QEvent::FocusOut && watched == zoomBox_->lineEdit()) {
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) Guarded([&] { ZoomBoxExit(); });
    }
    return QDialog::eventFilter(watched, event);
}

// --- printing and page setup --------------------------------------------------------------

void TPreviewForm::PrintBtnClick() {
    if (Busy() || !HasPrinter()) return;
    TGuardedOnExit idle([this] { UpdateStatus(); });
    TPrintPreview& preview = *preview_;
    const int pages = preview.PageCount();
    TPrintRequest request;
    request.Printer = preview.Printer();
    request.MinPage = 1;
    request.MaxPage = std::max(pages, 1);
    request.FromPage = 1;
    request.ToPage = std::max(pages, 1);
    request.Copies = preview.Copies();
    request.Collate = preview.Collate();
    TPrinter& printer = *preview.Printer();
    if (printer.PrintsToFile()) request.OutputFileName = OfferedPdfFileName();
    // A cancelled dialog prints nothing and says nothing.
    if (!prompts_.Print(request)) return;
    // A job to a file: a name typed without extension gets ".pdf", and an
    // existing file is replaced only when the user says so (and only once
    // the job has ended well, which the printer sees to).
    if (!request.OutputFileName.empty()) {
        const std::string fileName = DefaultExt(request.OutputFileName, ".pdf");
        pdfFileName_ = fileName;
        pdfModelFileName_ = ActiveModelFileName();
        if (!ConfirmReplace(fileName)) return;
        printer.SetOutputFileName(fileName);
    }
    preview.SetCopies(std::max(request.Copies, 1));
    preview.SetCollate(request.Collate);
    preview.CheckPrinter();
    UpdateStatus();
    if (request.PageRange)
        preview.Print(request.FromPage, request.ToPage);
    else
        preview.Print(1, preview.PageCount());
    if (preview.Aborted()) ShowInformation(prompts_, "Printing aborted.");
}

void TPreviewForm::PageSetupBtnClick() {
    if (Busy()) return;
    TGuardedOnExit idle([this] { UpdateStatus(); });
    TPrintPreview& preview = *preview_;
    TRect& margin = pageSetup_.Margin;
    margin.Left = RoundToInt32(preview.LeftMargin().Value * 100.0);
    margin.Top = RoundToInt32(preview.TopMargin().Value * 100.0);
    margin.Right = RoundToInt32(preview.RightMargin().Value * 100.0);
    margin.Bottom = RoundToInt32(preview.BottomMargin().Value * 100.0);

    // The orientation of the page shown (of the first report when no page
    // is shown; the printer's without reports). Without a printer the
    // dialog works on the A4 sheet the pages are laid out on.
    const TReport* report = preview.ReportOfPage(preview.CurrentPage());
    if (!report && preview.ReportCount() > 0) report = &preview.GetReport(0);
    bool landscape = false;
    if (report)
        landscape = report->PageOrientation == 1;
    else if (HasPrinter())
        landscape = preview.Printer()->Orientation() == TPrinterOrientation::Landscape;
    pageSetup_.Landscape = landscape;
    pageSetup_.PaperSize = {};
    if (HasPrinter())
        pageSetup_.Options &= ~poDisablePaper;
    else
        pageSetup_.Options |= poDisablePaper;

    if (!pageSetup_.Execute()) return;
    if (pageSetup_.Landscape != landscape) {
        for (int i = 0; i < preview.ReportCount(); ++i)
            preview.GetReport(i).PageOrientation = pageSetup_.Landscape ? 1 : 0;
    }
    preview.SetMargins(margin.Left / 100.0, margin.Top / 100.0, margin.Right / 100.0, margin.Bottom / 100.0);
}

// --- saving and copying --------------------------------------------------------------------

bool TPreviewForm::ConfirmReplace(const std::string& fileName) {
    std::error_code error;
    if (!std::filesystem::exists(fileName, error)) return true;
    if (::access(fileName.c_str(), W_OK) != 0) {
        ShowWarning(prompts_, Format("%s is read-only.\rTry again with a different file name.", fileName));
        return false;
    }
    return Confirm(prompts_, Format("%s already exists.\rDo you want to replace it?", fileName));
}

std::string TPreviewForm::OfferedPdfFileName() const {
    const std::string model = ActiveModelFileName();
    if (!pdfFileName_.empty() && model == pdfModelFileName_) return pdfFileName_;
    return PdfFileNameBeside(model);
}

void TPreviewForm::SaveBitmap(const TPageMetafile& page, const std::string& fileName) {
    // The page's own device units at the zoom: width from the width.
    const double scale = preview_->Zoom() / 100.0;
    const std::int32_t width = std::max(RoundToInt32(page.Width() * scale), std::int32_t{1});
    const std::int32_t height = std::max(RoundToInt32(page.Height() * scale), std::int32_t{1});
    SaveMetafileBitmap(page, width, height, fileName);
}

void TPreviewForm::SaveBtnClick() {
    if (Busy()) return;
    const TPageMetafile* page = CurrentPageMetafile();
    if (!page) return;
    TGuardedOnExit idle([this] { UpdateStatus(); });
    TFileRequest request;
    request.Title = "Save to File";
    request.Filters = ParseFileFilters(SaveFilter);
    request.FilterIndex = saveFilterIndex_;
    request.FileName = saveFileName_;
    const auto answer = prompts_.SaveFile(request);
    if (!answer) return;
    const int kind = answer->FilterIndex >= 1 && answer->FilterIndex <= 4 ? answer->FilterIndex : 1;
    saveFilterIndex_ = kind;
    saveFileName_ = answer->FileName;
    // The question is asked about the name actually written.
    const std::string fileName = DefaultExt(answer->FileName, SaveExtensions[static_cast<std::size_t>(kind - 1)]);
    if (!ConfirmReplace(fileName)) return;
    TTextDimForm& dims = *textDim_;
    switch (kind) {
        case 1:
            if (!dims.Execute(prompts_)) return;
            preview_->SaveAsText(fileName, dims.GetTextWidth(), dims.GetTextHeight(), TPrintPreview::tmText);
            break;
        case 2:
            preview_->SaveAsText(fileName, dims.GetTextWidth(), dims.GetTextHeight(), TPrintPreview::tmData);
            break;
        case 3: SaveEnhMetafile(*page, fileName, &preview_->Fonts()); break;
        default: SaveBitmap(*page, fileName); break;
    }
}

void TPreviewForm::CopyBtnClick() {
    if (Busy()) return;
    const TPageMetafile* page = CurrentPageMetafile();
    if (!page) return;
    // The metafile for programs that take one, and the page as the screen
    // shows it for the others.
    const std::int32_t width = std::max(preview_->ZoomedExtent(false), std::int32_t{1});
    const std::int32_t height = std::max(preview_->ZoomedExtent(true), std::int32_t{1});
    clipboard_.SetPicture(EnhMetafileBytes(*page, &preview_->Fonts()), PngBytes(RenderMetafile(*page, width, height)));
}

}  // namespace mivo
