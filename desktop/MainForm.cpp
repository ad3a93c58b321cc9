#include "desktop/MainForm.h"

#include <algorithm>
#include <filesystem>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "desktop/AboutBox.h"
#include "desktop/Help.h"
#include "desktop/TextBoxKeys.h"
#include "desktop/Hint.h"
#include "desktop/ModDocForm.h"
#include "desktop/ModelForm.h"
#include "desktop/Page.h"
#include "model/Clipboard.h"
#include "model/MivoAttribute.h"
#include "model/MivoFile.h"
#include "model/MivoModel.h"
#include "platform/ErrorDisplay.h"
#include "platform/Prompts.h"
#include "platform/QtBusyCursor.h"
#include "reports/MivoRpt.h"
#include "reports/Report.h"
#include "reports/ui/RptForm.h"
#include "reports/ui/SettingsForm.h"

namespace mivo {

// --- the option clipboard's fit -------------------------------------------------

bool ValueFitsScale(const TMivoAttribute& attribute, const std::string& value) {
    if (value.empty() || value == "*") return true;
    const int size = attribute.ScaleSize();
    return std::all_of(value.begin(), value.end(), [size](char code) {
        const int index = static_cast<unsigned char>(code) - '0';
        return index >= 0 && index < size;
    });
}

bool OptionFits(const TOptionClipboard& option, const std::vector<TMivoAttribute*>& attributes) {
    if (option.AttributeNames.size() != attributes.size() || option.Values.size() != attributes.size()) return false;
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        if (attributes[i] == nullptr || attributes[i]->GetName() != option.AttributeNames[i]) return false;
        if (!ValueFitsScale(*attributes[i], option.Values[i])) return false;
    }
    return true;
}

// --- construction -------------------------------------------------------------------

TMainForm::TMainForm(TPrompts& prompts, THelp& help, TClipboard& clipboard, std::vector<std::string> commandLine)
    : prompts_(prompts), help_(help), clipboard_(clipboard), command_line_(std::move(commandLine)) {
    open_dialog_.Title = "Open a file";
    open_dialog_.Filters = ParseFileFilters(SOpenFilter);
    open_dialog_.DefaultExt = "mvo";
    report_font_.Name = "Arial";
    report_font_.Size = 10;
    setWindowTitle(QString::fromLatin1(SMainCaption));
    mdi_area_ = new QMdiArea(this);
    mdi_area_->setObjectName(QStringLiteral("MdiArea"));
    setCentralWidget(mdi_area_);
    statistics_ = new QLabel(this);
    statistics_->setObjectName(QStringLiteral("StatisticsLabel"));
    statusBar()->addWidget(statistics_, 1);
    MakeActions();
    MakeMenus();
    ModelDescription = [this](TModelForm& form) { EditModelDescriptionOf(form); };
    // A newly current model window shows its caption, statistics and
    // commands; the menu bar takes its page menu.
    connect(mdi_area_, &QMdiArea::subWindowActivated, this, [this] {
        Guarded([this] {
            ResetActiveChild();
            if (TModelForm* form = CurrentModelForm()) form->UpdateControls();
        });
    });
    help_filter_ = std::make_unique<THelpKeyFilter>(help_);
    qApp->installEventFilter(help_filter_.get());
    text_box_keys_ = std::make_unique<TTextBoxKeys>();
    qApp->installEventFilter(text_box_keys_.get());
    previous_error_prompts_ = SetErrorPrompts(&prompts_);
    SetReportHost(this);
    ResetActiveChild();
}

TMainForm::~TMainForm() {
    if (GetReportHost() == this) SetReportHost(nullptr);
    if (ErrorPrompts() == &prompts_) SetErrorPrompts(previous_error_prompts_);
    qApp->removeEventFilter(help_filter_.get());
    qApp->removeEventFilter(text_box_keys_.get());
    // The model windows go while the services they use still exist.
    const QList<QMdiSubWindow*> children = mdi_area_->subWindowList();
    for (QMdiSubWindow* child : children) delete child;
    help_.CloseAll();
}

QAction* TMainForm::MakeAction(const QString& caption, const QString& hint, const QKeySequence& key,
                               void (TMainForm::*handler)(), int helpContext) {
    auto* action = new QAction(caption, this);
    SetHint(*action, hint);
    action->setShortcut(key);
    if (helpContext != 0) SetHelpContext(*action, helpContext);
    connect(action, &QAction::triggered, this, [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
    return action;
}

void TMainForm::MakeActions() {
    auto& a = actions_;
    a.FileNew = MakeAction("&New", "New|Create a new file", QKeySequence(Qt::CTRL | Qt::Key_N),
                           &TMainForm::FileNewExecute, HelpFileNew);
    a.FileOpen = MakeAction("&Open", "Open|Open a file", QKeySequence(Qt::CTRL | Qt::Key_O),
                            &TMainForm::FileOpenExecute, HelpFileOpen);
    a.FileClose = MakeAction("&Close", "Close|Close current file", {}, &TMainForm::FileCloseExecute, HelpFileClose);
    a.FileSave = MakeAction("&Save", "Save|Save current file", QKeySequence(Qt::CTRL | Qt::Key_S),
                            &TMainForm::FileSaveExecute, HelpFileSave);
    a.FileSaveAs = MakeAction("Save &As...", "Save as...|Save current file with different name", {},
                              &TMainForm::FileSaveAsExecute, HelpFileSave);
    a.FileFncImport = MakeAction("Import function...", "Import|Import function...", {},
                                 &TMainForm::FileFncImportExecute);
    a.FileImport = MakeAction("&Import options...", "Import|Import options...", {}, &TMainForm::FileImportExecute);
    a.FileExport = MakeAction("&Export options...", "Export|Export options...", {}, &TMainForm::FileExportExecute);
    a.FileFncExport = MakeAction("Export f&unction...", "Export|Export function...", {},
                                 &TMainForm::FileFncExportExecute);
    a.FileTreeExport = MakeAction("Export tree...", "Export|Export tree...", {}, &TMainForm::FileTreeExportExecute);
    a.FileDoc = MakeAction("&Model description...", "Edit model description...", QKeySequence(Qt::CTRL | Qt::Key_M),
                           &TMainForm::FileDocExecute);
    a.FileReport = MakeAction("Report...", "Report|Create a report", QKeySequence(Qt::CTRL | Qt::Key_P),
                              &TMainForm::FileReportExecute, HelpFileReport);
    a.FileSettings = MakeAction("Settings...", "Settings", {}, &TMainForm::FileSettingsExecute);
    a.FileExit = MakeAction("E&xit", "Exit|Close all files and exit application", {}, &TMainForm::FileExitExecute,
                            HelpFileExit);
    a.EditCut = MakeAction("Cu&t", "Cut|Cuts the selection and puts it on the Clipboard",
                           QKeySequence(Qt::CTRL | Qt::Key_X), &TMainForm::EditCutExecute);
    a.EditCopy = MakeAction("&Copy", "Copy|Copies the selection and puts it on the Clipboard",
                            QKeySequence(Qt::CTRL | Qt::Key_C), &TMainForm::EditCopyExecute);
    a.EditPaste = MakeAction("&Paste", "Paste|Inserts Clipboard contents", QKeySequence(Qt::CTRL | Qt::Key_V),
                             &TMainForm::EditPasteExecute);
    // The edit commands are in no menu; their keys act on the focused edit.
    addAction(a.EditCut);
    addAction(a.EditCopy);
    addAction(a.EditPaste);
    a.WindowCascade = new QAction("&Cascade", this);
    SetHint(*a.WindowCascade, "Cascade");
    connect(a.WindowCascade, &QAction::triggered, mdi_area_, &QMdiArea::cascadeSubWindows);
    const auto window = [this](const char* caption, const char* hint, void (TMainForm::*handler)()) {
        auto* action = new QAction(caption, this);
        SetHint(*action, hint);
        connect(action, &QAction::triggered, this, [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
        return action;
    };
    a.WindowTileH = window("Tile &Horizontally", "Tile Horizontally", &TMainForm::TileHorizontally);
    a.WindowTileV = window("Tile &Vertically", "Tile Vertically", &TMainForm::TileVertically);
    a.WindowMinimizeAll = window("&Minimize All", "Minimize All", &TMainForm::MinimizeAll);
    a.WindowArrangeAll = window("Arrange &icons", "Arrange icons", &TMainForm::ArrangeIcons);
    a.HelpHelp = MakeAction("Help...", "Help|Help contents", QKeySequence(Qt::Key_F1), &TMainForm::HelpHelpExecute);
    a.HelpAbout = MakeAction("&About...", "About|Show program information and version number", {},
                             &TMainForm::HelpAboutExecute);

    tool_bar_ = addToolBar(QStringLiteral("ToolBar"));
    tool_bar_->setObjectName(QStringLiteral("ToolBar"));
    SetHelpContext(*tool_bar_, HelpToolBar);
    const auto button = [this](QAction* action, const char* name, const char* hint) {
        tool_bar_->addAction(action);
        QWidget* widget = tool_bar_->widgetForAction(action);
        widget->setObjectName(QString::fromLatin1(name));
        if (hint != nullptr) SetHint(*widget, QString::fromLatin1(hint));
    };
    button(a.FileNew, "FileNewBtn", "New file|Create a new file");
    button(a.FileOpen, "FileOpenBtn", nullptr);
    button(a.FileSave, "FileSaveBtn", nullptr);
    button(a.FileReport, "RptBtn", "Report|Create and preview a report");
}

void TMainForm::MakeMenus() {
    const auto& a = actions_;
    file_menu_ = new QMenu(QStringLiteral("&File"), this);
    file_menu_->addAction(a.FileNew);
    file_menu_->addAction(a.FileOpen);
    file_menu_->addAction(a.FileClose);
    file_menu_->addAction(a.FileSave);
    file_menu_->addAction(a.FileSaveAs);
    QMenu* import = file_menu_->addMenu(QStringLiteral("Import..."));
    import->addAction(a.FileFncImport);
    import->addAction(a.FileImport);
    QMenu* exportMenu = file_menu_->addMenu(QStringLiteral("Export..."));
    exportMenu->addAction(a.FileTreeExport);
    exportMenu->addAction(a.FileFncExport);
    exportMenu->addAction(a.FileExport);
    file_menu_->addSeparator();
    file_menu_->addAction(a.FileDoc);
    file_menu_->addAction(a.FileReport);
    file_menu_->addAction(a.FileSettings);
    file_menu_->addSeparator();
    file_menu_->addAction(a.FileExit);

    window_menu_ = new QMenu(QStringLiteral("&Window"), this);
    SetHint(*window_menu_->menuAction(), "Window related commands");
    SetHelpContext(*window_menu_, HelpWindowMenu);
    SetHelpContext(*window_menu_->menuAction(), HelpWindowMenu);
    window_menu_->addAction(a.WindowCascade);
    window_menu_->addAction(a.WindowTileH);
    window_menu_->addAction(a.WindowTileV);
    window_menu_->addAction(a.WindowMinimizeAll);
    window_menu_->addAction(a.WindowArrangeAll);
    window_list_separator_ = window_menu_->addSeparator();
    connect(window_menu_, &QMenu::aboutToShow, this, [this] { FillWindowMenu(); });

    help_menu_ = new QMenu(QStringLiteral("&Help"), this);
    SetHint(*help_menu_->menuAction(), "Help topics");
    help_menu_->addAction(a.HelpHelp);
    help_menu_->addAction(a.HelpAbout);
}

// --- menus and command states ----------------------------------------------------------

namespace {

// Every action of the menu and its submenus.
void CollectMenuActions(const QMenu& menu, QList<QAction*>& actions) {
    for (QAction* action : menu.actions()) {
        actions.append(action);
        if (const QMenu* sub = action->menu()) CollectMenuActions(*sub, actions);
    }
}

}  // namespace

void TMainForm::ResetActiveChild() {
    remembered_child_ = mdi_area_->currentSubWindow();
    std::vector<std::pair<int, QMenu*>> menus{
        {FileMenuGroup, file_menu_}, {WindowMenuGroup, window_menu_}, {HelpMenuGroup, help_menu_}};
    if (TModelForm* form = CurrentModelForm())
        if (QMenu* pageMenu = form->CurrentPage().PageMenu())
            menus.emplace_back(form->CurrentPage().MenuGroup(), pageMenu);
    std::stable_sort(menus.begin(), menus.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QMenuBar* bar = menuBar();
    const QList<QAction*> present = bar->actions();
    QList<QAction*> wanted;
    for (const auto& entry : menus) wanted.append(entry.second->menuAction());
    if (present != wanted) {
        for (QAction* action : present) bar->removeAction(action);
        for (QAction* action : wanted) bar->addAction(action);
    }
    YieldShortcuts();
    UpdateFrameActions();
}

void TMainForm::YieldShortcuts() {
    for (auto& [action, key] : yielded_)
        if (action) action->setShortcut(key);
    yielded_.clear();
    TModelForm* form = CurrentModelForm();
    if (form == nullptr) return;
    QList<QAction*> pageActions = form->CurrentPage().Actions();
    if (const QMenu* pageMenu = form->CurrentPage().PageMenu()) CollectMenuActions(*pageMenu, pageActions);
    QList<QKeySequence> pageKeys;
    for (const QAction* action : pageActions)
        if (!action->shortcut().isEmpty()) pageKeys.append(action->shortcut());
    const auto& a = actions_;
    for (QAction* frame : {a.FileNew, a.FileOpen, a.FileSave, a.FileDoc, a.FileReport, a.EditCut, a.EditCopy,
                           a.EditPaste, a.HelpHelp}) {
        if (!frame->shortcut().isEmpty() && pageKeys.contains(frame->shortcut())) {
            yielded_.emplace_back(frame, frame->shortcut());
            frame->setShortcut({});
        }
    }
}

void TMainForm::UpdateFrameTitle() {
    // The child's window title carries its caption already escaped for Qt's
    // modified mark ("[*]").
    const QMdiSubWindow* child = mdi_area_ != nullptr ? mdi_area_->currentSubWindow() : nullptr;
    const QString name = QString::fromLatin1(SMainCaption);
    const QString title = child != nullptr ? QStringLiteral("%1 - [%2]").arg(name, child->windowTitle()) : name;
    if (windowTitle() != title) setWindowTitle(title);
}

void TMainForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange) UpdateFrameTitle();
}

void TMainForm::UpdateFrameActions() {
    UpdateFrameTitle();
    TModelForm* form = CurrentModelForm();
    const bool upd = form != nullptr;
    const auto& a = actions_;
    for (QAction* action : {a.FileSave, a.FileSaveAs, a.FileImport, a.FileExport, a.FileTreeExport, a.FileDoc,
                            a.FileReport, a.FileSettings})
        action->setEnabled(upd);
    a.FileClose->setEnabled(mdi_area_->currentSubWindow() != nullptr);
    a.FileFncImport->setEnabled(upd && form->CanImportFunction());
    a.FileFncExport->setEnabled(upd && form->CanExportFunction());
}

void TMainForm::SetStatusText(const std::string& text) { statistics_->setText(QString::fromStdString(text)); }

void TMainForm::FillWindowMenu() {
    const QList<QAction*> actions = window_menu_->actions();
    const qsizetype first = actions.indexOf(window_list_separator_) + 1;
    for (qsizetype i = first; i < actions.size(); ++i) {
        window_menu_->removeAction(actions[i]);
        delete actions[i];
    }
    const QList<QMdiSubWindow*> children = mdi_area_->subWindowList();
    window_list_separator_->setVisible(!children.isEmpty());
    for (qsizetype i = 0; i < children.size(); ++i) {
        QMdiSubWindow* child = children[i];
        QString caption = child->windowTitle();
        caption.replace(QStringLiteral("[*][*]"), QStringLiteral("[*]"));
        QAction* item = window_menu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(caption));
        item->setCheckable(true);
        item->setChecked(child == mdi_area_->currentSubWindow());
        QPointer<QMdiSubWindow> target(child);
        connect(item, &QAction::triggered, this, [this, target] {
            if (target) mdi_area_->setActiveSubWindow(target);
        });
    }
}

// --- window arrangements ------------------------------------------------------------------

namespace {

QList<QMdiSubWindow*> RestoredChildren(const QMdiArea& area) {
    QList<QMdiSubWindow*> children;
    for (QMdiSubWindow* child : area.subWindowList())
        if (!child->isMinimized() && child->isVisible()) children.append(child);
    return children;
}

// Lays the area's open children in one row of columns (sideBySide) or one
// column of rows, each the full length of the area the other way.
void Tile(QMdiArea& area, bool sideBySide) {
    const QList<QMdiSubWindow*> children = RestoredChildren(area);
    if (children.isEmpty()) return;
    const QRect client = area.viewport()->rect();
    const int n = static_cast<int>(children.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* child = children[i];
        if (child->isMaximized()) child->showNormal();
        QRect cell;
        if (sideBySide) {
            const int left = client.width() * i / n;
            cell = QRect(left, 0, client.width() * (i + 1) / n - left, client.height());
        } else {
            const int top = client.height() * i / n;
            cell = QRect(0, top, client.width(), client.height() * (i + 1) / n - top);
        }
        child->setGeometry(cell);
    }
}

}  // namespace

void TMainForm::TileHorizontally() { Tile(*mdi_area_, false); }
void TMainForm::TileVertically() { Tile(*mdi_area_, true); }

void TMainForm::MinimizeAll() {
    for (QMdiSubWindow* child : mdi_area_->subWindowList()) child->showMinimized();
    ArrangeIcons();
}

void TMainForm::ArrangeIcons() {
    const QRect client = mdi_area_->viewport()->rect();
    int x = 0;
    int y = client.height();
    for (QMdiSubWindow* child : mdi_area_->subWindowList()) {
        if (!child->isMinimized()) continue;
        const QSize size = child->size();
        if (x > 0 && x + size.width() > client.width()) {
            x = 0;
            y -= size.height();
        }
        child->move(x, y - size.height());
        x += size.width();
    }
}

// --- model windows ---------------------------------------------------------------------------

TModelForm* TMainForm::CurrentModelForm() const { return qobject_cast<TModelForm*>(mdi_area_->currentSubWindow()); }

std::vector<TModelForm*> TMainForm::ModelForms() const {
    std::vector<TModelForm*> forms;
    for (QMdiSubWindow* child : mdi_area_->subWindowList())
        if (auto* form = qobject_cast<TModelForm*>(child)) forms.push_back(form);
    return forms;
}

TModelForm* TMainForm::OpenModelWindow(const std::string& fileName) {
    auto* form = new TModelForm(*this);
    mdi_area_->addSubWindow(form);
    try {
        std::error_code error;
        if (!fileName.empty() && std::filesystem::is_regular_file(fileName, error))
            form->OpenModel(fileName);
        else
            form->NewModel();
    } catch (...) {
        delete form;
        throw;
    }
    form->show();
    mdi_area_->setActiveSubWindow(form);
    ResetActiveChild();
    return form;
}

void TMainForm::OpenCommandLineFiles() {
    const std::vector<std::string> names = std::move(command_line_);
    command_line_.clear();
    for (const std::string& name : names) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(name, error)) continue;
        Guarded([&] { OpenModelWindow(name); });
    }
    Q_EMIT CommandLineOpened();
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    // After the frame has shown; activation may never come on a display
    // without a window manager.
    QTimer::singleShot(0, this, [this] { OpenCommandLineFiles(); });
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // Each child first; the first one that refuses keeps the program open.
    for (QMdiSubWindow* child : mdi_area_->subWindowList()) {
        if (!child->close()) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

// --- the clipboards ----------------------------------------------------------------------------

void TMainForm::CopySubtree(const TMivoModel& model, const TMivoAttribute* attribute) {
    if (attribute == nullptr) return;
    std::unique_ptr<TMivoAttribute> copy = DuplicateSubtree(model, attribute);
    subtree_ = std::move(copy);
    clipboard_.SetText(attribute->GetName());
}

void TMainForm::CopyOptionColumn(int option, const TMivoModel& model, const std::vector<TMivoAttribute*>& attributes) {
    TOptionClipboard copy;
    copy.Name = model.OptionName(option);
    copy.AttributeNames.reserve(attributes.size());
    copy.Values.reserve(attributes.size());
    for (const TMivoAttribute* attribute : attributes) {
        copy.AttributeNames.push_back(attribute->GetName());
        copy.Values.push_back(attribute->GetOptValue(option));
    }
    option_ = std::move(copy);
}

bool TMainForm::OptionClipboardMatches(const TMivoModel& model, const std::vector<TMivoAttribute*>& attributes) const {
    (void)model;
    return option_.has_value() && OptionFits(*option_, attributes);
}

bool TMainForm::PasteOptionColumn(int option, TMivoModel& model, const std::vector<TMivoAttribute*>& attributes) {
    if (!OptionClipboardMatches(model, attributes)) {
        ShowWarning(prompts_, SOptionDoesNotFit);
        return false;
    }
    model.SetOptionName(option, option_->Name);
    for (std::size_t i = 0; i < attributes.size(); ++i) attributes[i]->SetOptValue(option, option_->Values[i]);
    return true;
}

// --- commands ------------------------------------------------------------------------------------

template <class F>
void TMainForm::OnModelForm(F&& command) {
    if (TModelForm* form = CurrentModelForm()) std::forward<F>(command)(*form);
}

void TMainForm::FileNewExecute() { OpenModelWindow({}); }

void TMainForm::FileOpenExecute() {
    const std::optional<TFileAnswer> answer = prompts_.OpenFile(open_dialog_);
    if (!answer) return;
    // The dialog offers the last name and filter again.
    open_dialog_.FileName = answer->FileName;
    open_dialog_.FilterIndex = answer->FilterIndex;
    OpenModelWindow(answer->FileName);
}

void TMainForm::FileExitExecute() { close(); }

void TMainForm::FileCloseExecute() {
    if (QMdiSubWindow* child = mdi_area_->currentSubWindow()) child->close();
}

void TMainForm::FileSaveExecute() {
    OnModelForm([](TModelForm& form) { form.SaveModel(); });
}
void TMainForm::FileSaveAsExecute() {
    OnModelForm([](TModelForm& form) { form.SaveModelAs(); });
}
void TMainForm::FileFncImportExecute() {
    OnModelForm([](TModelForm& form) {
        if (form.CanImportFunction()) form.ImportFunction();
    });
}
void TMainForm::FileImportExecute() {
    OnModelForm([](TModelForm& form) { form.ImportOptions(); });
}
void TMainForm::FileExportExecute() {
    OnModelForm([](TModelForm& form) { form.ExportOptions(); });
}
void TMainForm::FileFncExportExecute() {
    OnModelForm([](TModelForm& form) {
        if (form.CanExportFunction()) form.ExportFunction();
    });
}
void TMainForm::FileTreeExportExecute() {
    OnModelForm([](TModelForm& form) { form.ExportAttributeTree(); });
}
void TMainForm::FileDocExecute() {
    OnModelForm([this](TModelForm& form) {
        if (ModelDescription) ModelDescription(form);
    });
}

void TMainForm::EditModelDescriptionOf(TModelForm& form) {
    TDocForm dialog(this);
    // A changed name or description is marked changed by the edit; the
    // window takes an undo point and shows the new name in its caption.
    if (!EditModelDescription(dialog, prompts_, form.Model())) return;
    form.Undo().PushModelUndo();
    form.UpdateControls();
}
void TMainForm::FileSettingsExecute() {
    OnModelForm([](TModelForm& form) { form.EditSettings(true); });
}

void TMainForm::FileReportExecute() {
    OnModelForm([this](TModelForm& form) {
        form.CommitPendingEdits();
        TMivoModel& model = form.Model();
        // The dialog's Settings button may change the settings even when
        // the dialog is then cancelled: the window shows the mark either way.
        struct TRefresh {
            TModelForm& Form;
            ~TRefresh() { Guarded([this] { Form.UpdateControls(); }); }
        } refresh{form};

        TRptForm& dialog = ReportForm();
        dialog.SetSelection(model.Settings.ReportParts);
        report_font_.Size = model.Settings.FontSize;
        report_font_.Name = model.Settings.FontName;
        dialog.SetReportFont(report_font_);
        if (dialog.Execute(&model) != QDialog::Accepted) return;

        const TValueSet parts = dialog.GetSelection();
        if (parts != model.Settings.ReportParts) {
            model.Settings.ReportParts = parts;
            model.Changed();
        }
        if (dialog.FontChanged()) {
            report_font_ = dialog.ReportFont();
            model.Settings.FontSize = report_font_.Size;
            model.Settings.FontName = report_font_.Name;
            model.Changed();
        }
        if (parts.none()) return;
        // Aggregate values are reported as evaluated now.
        if (model.NeedsEvaluation) model.Reevaluate();
        std::unique_ptr<TReport> report;
        {
            const TBusyCursor busy;
            report = BuildModelReport(&model, parts, report_font_, PreviewPen());
        }
        ShowReport(std::move(report));
    });
}

bool TMainForm::ShowSettings(TMivoModel& model, bool allPages) {
    return SettingsForm().Run(model, allPages) == QDialog::Accepted;
}

TSettingsForm& TMainForm::SettingsForm() {
    if (!settings_form_) settings_form_ = std::make_unique<TSettingsForm>(prompts_, this);
    return *settings_form_;
}

TRptForm& TMainForm::ReportForm() {
    if (!report_form_) report_form_ = std::make_unique<TRptForm>(prompts_, &SettingsForm(), this);
    return *report_form_;
}

void TMainForm::HelpHelpExecute() { help_.ShowContents(); }

void TMainForm::HelpAboutExecute() {
    TAboutBox about(this);
    prompts_.Exec(about, "AboutBox");
}

namespace {

// The text edit that has the focus, for the edit commands.
template <class F>
void OnFocusedEdit(F&& edit) {
    QWidget* focus = QApplication::focusWidget();
    if (auto* combo = qobject_cast<QComboBox*>(focus); combo != nullptr && combo->lineEdit() != nullptr)
        focus = combo->lineEdit();
    if (auto* line = qobject_cast<QLineEdit*>(focus))
        edit(*line);
    else if (auto* text = qobject_cast<QTextEdit*>(focus))
        edit(*text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus))
        edit(*plain);
}

}  // namespace

void TMainForm::EditCutExecute() {
    OnFocusedEdit([](auto& edit) { edit.cut(); });
}
void TMainForm::EditCopyExecute() {
    OnFocusedEdit([](auto& edit) { edit.copy(); });
}
void TMainForm::EditPasteExecute() {
    OnFocusedEdit([](auto& edit) { edit.paste(); });
}

// --- the report service and host ----------------------------------------------------------------

TPen TMainForm::PreviewPen() const { return viewer_ != nullptr ? viewer_->PreviewPen() : TPen{}; }

void TMainForm::ShowReport(std::unique_ptr<TReport> report) {
    if (report == nullptr || viewer_ == nullptr) return;
    viewer_->ShowReport(std::move(report));
}

bool TMainForm::HasActiveModelWindow() const { return CurrentModelForm() != nullptr; }

std::string TMainForm::ActiveFileName() const {
    const TModelForm* form = CurrentModelForm();
    return form != nullptr ? form->FileName() : std::string();
}

TChartPanel* TMainForm::ChartPanel(TChartId id) const {
    const TModelForm* form = CurrentModelForm();
    return form != nullptr ? form->Page(TModelPage::Charts).ChartPanel(id) : nullptr;
}

}  // namespace mivo
