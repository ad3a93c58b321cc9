#include "desktop/ModelForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QTabWidget>
#include <QTreeWidget>

#include "desktop/MainForm.h"
#include "desktop/Page.h"
#include "desktop/PageFactory.h"
#include "desktop/TreeFill.h"
#include "model/MivoModel.h"
#include "platform/ErrorDisplay.h"

namespace mivo {

namespace {

// Page captions in tab order.
constexpr std::array<const char*, 4> PageCaptions{"&Model", "&Options", "Eva&luation", "Cha&rts"};

int PageIndex(TModelPage page) { return static_cast<int>(page); }

// Qt reads "[*]" in a window title as the place of the modified mark; a new
// model's caption "Evaluation1 [*]" shows the brackets literally.
QString EscapeTitle(const QString& caption) {
    QString title = caption;
    return title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

}  // namespace

TModelForm::TModelForm(TMainForm& main)
    : main_(main), undo_(state_, *this), files_(state_, *this, undo_, main.Prompts()) {
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(400, 200);
    tree_view_ = new QTreeWidget(this);
    tree_view_->setObjectName(QStringLiteral("ModTreeView"));
    tree_view_->setHeaderHidden(true);
    tree_view_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree_view_->setUniformRowHeights(true);
    tree_view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    page_control_ = new QTabWidget(this);
    page_control_->setObjectName(QStringLiteral("PageControl"));
    setWidget(page_control_);
    MakePages();
    connect(tree_view_, &QTreeWidget::currentItemChanged, this, [this] { Guarded([this] { ModTreeViewChange(); }); });
    connect(page_control_, &QTabWidget::currentChanged, this,
            [this](int index) { Guarded([this, index] { PageControlChange(index); }); });
    // Key preview: the current page sees the window's keys first.
    qApp->installEventFilter(this);
}

TModelForm::~TModelForm() {
    qApp->removeEventFilter(this);
    // The pages go first, while the widgets they refer to still exist.
    for (auto& page : pages_) page.reset();
}

TPrompts& TModelForm::Prompts() const { return main_.Prompts(); }

// --- pages ------------------------------------------------------------------

void TModelForm::MakePages() {
    pages_[PageIndex(TModelPage::Model)] = MakeModelPage(*this);
    pages_[PageIndex(TModelPage::Options)] = MakeOptionsPage(*this);
    pages_[PageIndex(TModelPage::Evaluation)] = MakeEvaluationPage(*this);
    pages_[PageIndex(TModelPage::Charts)] = MakeChartsPage(*this);
    const QSignalBlocker blocker(page_control_);
    for (std::size_t i = 0; i < pages_.size(); ++i)
        page_control_->addTab(pages_[i]->Widget(), QString::fromLatin1(PageCaptions[i]));
    page_control_->setCurrentIndex(0);
}

TPage& TModelForm::Page(TModelPage page) const { return *pages_[PageIndex(page)]; }

void TModelForm::SetCurrentPage(TModelPage page) { page_control_->setCurrentIndex(PageIndex(page)); }

void TModelForm::InstallPage(TModelPage page, std::unique_ptr<TPage> replacement) {
    const int index = PageIndex(page);
    QWidget* old = pages_[index]->Widget();
    // The tree view belongs to the window, not to the page that shows it.
    if (old->isAncestorOf(tree_view_)) {
        tree_view_->hide();
        tree_view_->setParent(this);
    }
    const bool current = page_control_->currentIndex() == index;
    {
        const QSignalBlocker blocker(page_control_);
        page_control_->removeTab(index);
        page_control_->insertTab(index, replacement->Widget(), QString::fromLatin1(PageCaptions[index]));
        if (current) page_control_->setCurrentIndex(index);
    }
    pages_[index] = std::move(replacement);
    delete old;
    if (tree_view_->parent() == this) tree_view_->hide();
    if (current) main_.ResetActiveChild();
    UpdateControls();
}

void TModelForm::PageControlChange(int index) {
    if (index < 0 || index >= static_cast<int>(pages_.size())) return;
    state_.Page = static_cast<TModelPage>(index);
    CurrentPage().Fill();
    main_.ResetActiveChild();
    UpdateControls();
}

// --- commands and their states ------------------------------------------------

void TModelForm::BindCommand(TCommandId id, QAction* action, bool toolButton) {
    bindings_.push_back({id, action, toolButton});
    const TCommandState& state = commands_[id];
    action->setEnabled(state.Enabled);
}

void TModelForm::ApplyCommandStates() {
    std::erase_if(bindings_, [](const TBinding& binding) { return binding.Action.isNull(); });
    for (const TBinding& binding : bindings_) {
        const TCommandState& state = commands_[binding.Id];
        binding.Action->setEnabled(state.Enabled);
        if (binding.ToolButton) binding.Action->setVisible(state.Visible);
        if (binding.Action->isCheckable()) binding.Action->setChecked(state.Checked);
    }
}

void TModelForm::UpdateControls() {
    if (state_.Updating()) return;
    {
        const auto updating = state_.BeginUpdate();
        // AdvanceCol holds for one refresh only, on every path.
        struct TAdvanceReset {
            TModelWindowState& State;
            ~TAdvanceReset() { State.AdvanceCol = false; }
        } advanceReset{state_};

        setWindowTitle(EscapeTitle(Caption()));
        if (main_.CurrentModelForm() == this || main_.CurrentModelForm() == nullptr)
            main_.SetStatusText(ModelStatusText(Model()));

        TEnablingFacts facts;
        facts.SubtreeHeld = main_.SubtreeClipboard() != nullptr;
        facts.OptionHeld = main_.OptionClipboardHeld();
        facts.OptionMatches = facts.OptionHeld && main_.OptionClipboardMatches(Model(), state_.BasicAttrs());
        facts.Cells = CurrentCells();
        commands_ = CommandStates(state_, facts);
        // A remembered cell holds for this refresh only: the next one
        // follows the grids' current cells, whatever refilled them since.
        state_.OptRow = state_.OptCol = -1;
        state_.EvalGridRow = state_.EvalGridCol = -1;
        ApplyCommandStates();
        for (auto& page : pages_) page->Refresh();
    }
    main_.UpdateFrameActions();
}

QString TModelForm::Caption() const { return QString::fromStdString(ModelCaption(state_.Model(), state_.FileName)); }

// --- the attribute tree --------------------------------------------------------

TMivoAttribute* TModelForm::CurrentObject() const { return state_.CurrentAttribute(); }

void TModelForm::SelectAttribute(const TMivoAttribute* attribute) {
    QTreeWidgetItem* node = FindModelNode(*tree_view_, attribute);
    if (node != nullptr)
        ReselectNode(*tree_view_, node);
    else
        tree_view_->setCurrentItem(nullptr);
}

void TModelForm::FillTree() {
    const QSignalBlocker blocker(tree_view_);
    FillTreeView(Model(), *tree_view_);
    QTreeWidgetItem* first = tree_view_->topLevelItem(0);
    tree_view_->setCurrentItem(first);
    state_.SetCurrentAttribute(NodeAttribute(first));
}

void TModelForm::ModTreeViewChange() {
    state_.SetCurrentAttribute(NodeAttribute(tree_view_->currentItem()));
    if (!state_.Updating()) UpdateControls();
}

// --- TModelWindowEvents ----------------------------------------------------------

void TModelForm::ClearTree() {
    for (auto& page : pages_) page->ClearTree();
    const QSignalBlocker blocker(tree_view_);
    tree_view_->clear();
    state_.SetCurrentAttribute(nullptr);
}

void TModelForm::ModelReplaced() {
    FillTree();
    for (auto& page : pages_) page->ModelReplaced();
}

void TModelForm::OptionsReplaced(const TGridCells& cells) {
    for (auto& page : pages_) page->OptionsReplaced(cells);
}

TGridCells TModelForm::CurrentCells() const {
    TGridCells cells;
    for (const auto& page : pages_) page->CurrentCells(cells);
    return cells;
}

bool TModelForm::CommitPendingOptionEdit() {
    bool committed = false;
    for (auto& page : pages_) committed |= page->CommitPendingOptionEdit();
    return committed;
}

void TModelForm::Maximize() { showMaximized(); }

// --- file commands ---------------------------------------------------------------

void TModelForm::CommitPendingEdits() { files_.CommitPendingEdits(); }

void TModelForm::NewModel() { files_.NewModel(); }
void TModelForm::OpenModel(const std::string& fileName) { files_.OpenModel(fileName); }
bool TModelForm::SaveModel() { return files_.SaveModel(); }
bool TModelForm::SaveModelAs() { return files_.SaveModelAs(); }
void TModelForm::ExportOptions() { files_.ExportOptions(); }
void TModelForm::ImportOptions() { files_.ImportOptions(); }
void TModelForm::ExportFunction() { files_.ExportFunction(); }
void TModelForm::ImportFunction() { files_.ImportFunction(); }
void TModelForm::ExportAttributeTree() { files_.ExportAttributeTree(); }

void TModelForm::EditSettings(bool allPages) {
    files_.EditSettings([this, allPages](TMivoModel& model) { return main_.ShowSettings(model, allPages); });
}

bool TModelForm::CanExportFunction() const { return mivo::CanExportFunction(state_.Page, CurrentObject()); }
bool TModelForm::CanImportFunction() const { return mivo::CanImportFunction(state_.Page, CurrentObject()); }

void TModelForm::ModUndoClick() { undo_.ModelUndo(); }
void TModelForm::ModRedoClick() { undo_.ModelRedo(); }
void TModelForm::EvalUndoClick() { undo_.OptionUndo(); }
void TModelForm::EvalRedoClick() { undo_.OptionRedo(); }

// --- window events -----------------------------------------------------------------

void TModelForm::closeEvent(QCloseEvent* event) {
    bool mayClose = false;
    Guarded([&] { mayClose = files_.CloseQuery(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    main_.SetStatusText({});
    QMdiSubWindow::closeEvent(event);
}

bool TModelForm::IsInside(const QObject* object) const {
    const auto* widget = qobject_cast<const QWidget*>(object);
    return widget != nullptr && (widget == this || isAncestorOf(widget));
}

bool TModelForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && main_.CurrentModelForm() == this && IsInside(watched)) {
        // Offer each key once: to the focused control's delivery, or to the
        // window itself when nothing inside has focus.
        QWidget* focus = QApplication::focusWidget();
        const bool first = focus != nullptr ? watched == focus : watched == this;
        if (first) {
            bool used = false;
            Guarded([&] { used = CurrentPage().PreviewKey(*static_cast<QKeyEvent*>(event)); });
            if (used) return true;
        }
    }
    return QMdiSubWindow::eventFilter(watched, event);
}

}  // namespace mivo
