#include "desktop/OptionsPage.h"

#include "platform/QtFontSource.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "desktop/EvalPage.h"
#include "desktop/MainForm.h"
#include "desktop/ModelForm.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "platform/ErrorDisplay.h"

namespace mivo {

// Entering and leaving the name edit, and Escape in it.
class TOptionsPage::TNameEditFilter final : public QObject {
public:
    explicit TNameEditFilter(TOptionsPage& page) : page_(page) {}
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::FocusIn: Guarded([&] { page_.NameEditEnter(); }); break;
            case QEvent::FocusOut: Guarded([&] { page_.NameEditExit(); }); break;
            case QEvent::KeyPress:
                if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                    Guarded([&] { page_.NameEditEscape(); });
                    return true;
                }
                break;
            default: break;
        }
        return false;
    }

private:
    TOptionsPage& page_;
};

TOptionsPage::TOptionsPage(TModelForm& form)
    : TFramePage(form, TModelPage::Options, QStringLiteral("&Options"), TUndoKind::Options, DefaultPageMenuGroup) {
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* edits = new QHBoxLayout;
    OptNameEdit = new QLineEdit(content);
    OptNameEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^\\t\\r\\n]*")), OptNameEdit));
    OptValEdit = new QComboBox(content);
    OptValEdit->setMinimumContentsLength(16);
    edits->addWidget(OptNameEdit);
    edits->addWidget(OptValEdit);
    edits->addStretch();
    layout->addLayout(edits);
    OptGrid = new TOptionGridView(content);
    GridModel = new TOptionGridModel(State(), TGridKind::Options, OptGrid);
    OptGrid->setModel(GridModel);
    layout->addWidget(OptGrid, 1);
    SetContent(content);
    OptNameEdit->hide();
    OptValEdit->hide();

    name_filter_ = std::make_unique<TNameEditFilter>(*this);
    OptNameEdit->installEventFilter(name_filter_.get());
    QObject::connect(OptNameEdit, &QLineEdit::textEdited, OptNameEdit,
                     [this](const QString& text) { Guarded([&] { NameEditChange(text); }); });
    QObject::connect(OptValEdit, &QComboBox::activated, OptValEdit,
                     [this](int item) { Guarded([&] { OptValEditChange(item); }); });
    QObject::connect(OptGrid->selectionModel(), &QItemSelectionModel::currentChanged, OptGrid,
                     [this] { Guarded([&] { CellChanged(); }); });

    AddButton(TCommandId::OptLeft, QStringLiteral("<"), QStringLiteral("Move left|Move current option left"),
              [this] { OptLeftBtnClick(); });
    AddButton(TCommandId::OptRight, QStringLiteral(">"), QStringLiteral("Move right|Move current option right"),
              [this] { OptRightBtnClick(); });
    auto* add = new QAction(QStringLiteral("Add"), Widget());
    add->setToolTip(QStringLiteral("Add a new option"));
    QObject::connect(add, &QAction::triggered, Widget(), [this] { Guarded([&] { OptAddBtnClick(true); }); });
    ToolBar()->addAction(add);
    auto* addItem = new QAction(QStringLiteral("&Add option"), Widget());
    addItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Insert));
    QObject::connect(addItem, &QAction::triggered, Widget(), [this] { Guarded([&] { OptAddBtnClick(false); }); });
    Menu()->addAction(addItem);
    struct TCommand {
        TCommandId Id;
        const char* Button;
        const char* Item;
        const char* Hint;
        void (TOptionsPage::*Handler)();
        QKeySequence Key = {};  // of the page-menu item
    };
    const TCommand commands[] = {
        {TCommandId::OptDel, "Delete", "Delete option", "Delete|Delete the current option", &TOptionsPage::OptDelBtnClick,
         QKeySequence(Qt::CTRL | Qt::Key_Delete)},
        {TCommandId::OptCut, "Cut", "Cu&t", "Cut|Cut the current option",
         &TOptionsPage::OptCutBtnClick, QKeySequence(Qt::CTRL | Qt::Key_X)},
        {TCommandId::OptCopy, "Copy", "&Copy", "Copy|Copy the current option",
         &TOptionsPage::OptCopyBtnClick, QKeySequence(Qt::CTRL | Qt::Key_C)},
        {TCommandId::OptDup, "Duplicate", "&Duplicate", "Duplicate|Duplicate the current option",
         &TOptionsPage::OptDupBtnClick},
        {TCommandId::OptPaste, "Paste", "&Paste", "Paste|Paste an option",
         &TOptionsPage::OptPasteBtnClick, QKeySequence(Qt::CTRL | Qt::Key_V)},
    };
    for (const TCommand& c : commands) {
        const auto handler = [this, h = c.Handler] { (this->*h)(); };
        AddButton(c.Id, QString::fromLatin1(c.Button), QString::fromLatin1(c.Hint), handler);
        AddItem(c.Id, QString::fromLatin1(c.Item), QString::fromLatin1(c.Hint), c.Key, handler);
    }
}

TOptionsPage::~TOptionsPage() {
    if (OptNameEdit != nullptr) OptNameEdit->removeEventFilter(name_filter_.get());
}

TModelWindowState& TOptionsPage::State() const { return Form().State(); }

// --- filling and refreshing ------------------------------------------------------

void TOptionsPage::Fill() {
    FillOptionsGrid();
    OptGrid->setFocus();
}

void TOptionsPage::FillOptionsGrid() {
    const TGridCells keep = Cell();
    State().StructureChanged();
    GridModel->Reset();
    OptGrid->FitOptionColumns(Form().Model().OptionCount());
    // Column 0 as wide as its widest text in bold, plus 4 pixels.
    QFont bold = OptGrid->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    int widest = metrics.horizontalAdvance(QStringLiteral("Option"));
    for (const TMivoAttribute* a : State().BasicAttrs())
        widest = std::max(widest, metrics.horizontalAdvance(ToQString(a->GetName())));
    OptGrid->FitNameColumn(widest + 12);
    if (keep.OptRow >= 1 && keep.OptCol >= 1) SetCurrentCell(keep.OptRow, keep.OptCol);
}

TGridCells TOptionsPage::Cell() const {
    TGridCells cells;
    const QModelIndex at = OptGrid->currentIndex();
    if (at.isValid()) {
        cells.OptRow = TOptionGridModel::GridRow(at.row());
        cells.OptCol = TOptionGridModel::GridCol(at.column());
    }
    return cells;
}

void TOptionsPage::CurrentCells(TGridCells& cells) const {
    const TGridCells own = Cell();
    cells.OptRow = own.OptRow;
    cells.OptCol = own.OptCol;
}

void TOptionsPage::SetCurrentCell(int gridRow, int gridCol) {
    const int rows = GridModel->rowCount(), cols = GridModel->columnCount();
    const int r = std::clamp(TOptionGridModel::ViewRow(gridRow), 0, std::max(0, rows - 1));
    const int c = std::clamp(TOptionGridModel::ViewCol(gridCol), 0, std::max(0, cols - 1));
    if (rows == 0 || cols == 0) return;
    OptGrid->setCurrentIndex(GridModel->index(r, c));
}

int TOptionsPage::CurrentOption() const {
    const int option = Cell().OptCol - 1;
    return option >= 0 && option < Form().Model().OptionCount() ? option : -1;
}

void TOptionsPage::CellChanged() {
    if (State().Updating()) return;
    const TGridCells cells = Cell();
    State().OptRow = cells.OptRow;
    State().OptCol = cells.OptCol;
    Form().UpdateControls();
}

void TOptionsPage::Refresh() {
    if (State().AdvanceCol) {
        const TGridCells cells = Cell();
        SetCurrentCell(std::max(1, cells.OptRow), cells.OptCol + 1);
    }
    const TCommandStates& commands = Form().Commands();
    const int option = CurrentOption();
    const bool nameBox = commands.Visible(TCommandId::OptNameEdit) && option >= 0;
    const bool valueBox = commands.Visible(TCommandId::OptValEdit) && option >= 0;
    OptNameEdit->setVisible(nameBox);
    OptValEdit->setVisible(valueBox);
    OptGrid->ClearValEditMenu();
    if (nameBox) {
        const QString name = ToQString(Form().Model().OptionName(option));
        if (OptNameEdit->text() != name) OptNameEdit->setText(name);
    }
    if (valueBox) {
        const TMivoAttribute* attribute = GridModel->RowAttribute(Cell().OptRow);
        OptValEdit->clear();
        if (const auto* scale = attribute ? dynamic_cast<const TMivoDiscreteScale*>(attribute->Scale()) : nullptr)
            for (int v = 0; v < scale->Count(); ++v) OptValEdit->addItem(ToQString(scale->ValueName(v)));
        OptValEdit->addItem(QStringLiteral("*"));
        const int index = attribute ? attribute->OptValueIndex(option) : -1;
        OptValEdit->setCurrentIndex(index >= 0 ? index : OptValEdit->count() - 1);
        // The popup's entries choose in the value box as if chosen there.
        OptGrid->FillValEditMenu(ValueBoxItems(attribute), [this](int item) {
            if (OptValEdit->isHidden() || Form().CurrentPageId() != TModelPage::Options) return;
            OptValEdit->setCurrentIndex(item);
            OptValEditChange(item);
        });
    }
}

void TOptionsPage::ClearTree() {}

void TOptionsPage::ModelReplaced() {
    if (Form().CurrentPageId() == TModelPage::Options) FillOptionsGrid();
    else GridModel->Reset();
}

void TOptionsPage::OptionsReplaced(const TGridCells& cells) {
    FillOptionsGrid();
    if (cells.OptRow >= 1 && cells.OptCol >= 1) SetCurrentCell(cells.OptRow, cells.OptCol);
    // A name edit still entered starts over from the restored name: only
    // what is typed from here on is a change.
    if (name_entered_) {
        const int option = CurrentOption();
        if (option >= 0) State().OldOptName = Form().Model().OptionName(option);
        else name_entered_ = false;
    }
}

bool TOptionsPage::CommitPendingOptionEdit() {
    if (!name_entered_ || !Form().Model().Undoing()) return false;
    const int option = CurrentOption();
    if (option < 0) return false;
    const std::string name = Form().Model().OptionName(option);
    if (name == State().OldOptName) return false;
    Form().Model().Changed();
    Form().Undo().PushOptionUndo();
    State().OldOptName = name;
    return true;
}

// --- editing ---------------------------------------------------------------------

void TOptionsPage::OptionDataChanged(bool refill) {
    Form().Model().Changed();
    Form().Undo().PushOptionUndo();
    if (refill) FillOptionsGrid();
    Form().UpdateControls();
}

void TOptionsPage::OptValEditChange(int item) {
    if (State().Updating()) return;
    const TGridCells cells = Cell();
    const int option = CurrentOption();
    TMivoAttribute* attribute = GridModel->RowAttribute(cells.OptRow);
    if (attribute == nullptr || option < 0 || item < 0) return;
    const bool undefined = item >= OptValEdit->count() - 1;
    if (undefined) attribute->SetOptValue(option, "");
    else attribute->SetOptValueIndex(option, item);
    GridModel->CellChanged(cells.OptRow, cells.OptCol);
    OptionDataChanged(false);
}

bool TOptionsPage::PreviewKey(QKeyEvent& event) {
    if (!OptValEdit->isVisible() && !Form().Commands().Visible(TCommandId::OptValEdit)) return false;
    if (OptNameEdit->hasFocus() || CurrentOption() < 0) return false;
    const QString text = event.text();
    if (text.size() != 1) return false;
    const TMivoAttribute* attribute = GridModel->RowAttribute(Cell().OptRow);
    if (attribute == nullptr) return false;
    const int count = attribute->ScaleSize();
    const char16_t key = text.at(0).unicode();
    int item;
    if (key == u'*') item = count;  // the last item: undefined
    else if (key >= u'1' && key < u'1' + count) item = key - u'1';
    else return false;
    if (OptValEdit->count() != count + 1) Refresh();
    OptValEditChange(item);
    const TGridCells cells = Cell();
    if (cells.OptRow < State().OptGridRows() - 1) SetCurrentCell(cells.OptRow + 1, cells.OptCol);
    return true;
}

// The name edit: the grid and the model follow each keystroke; the undo
// point is taken once, on leaving, when the name differs.
void TOptionsPage::NameEditEnter() {
    const int option = CurrentOption();
    if (option < 0) return;
    State().OldOptName = Form().Model().OptionName(option);
    name_entered_ = true;
}

void TOptionsPage::NameEditChange(const QString& text) {
    if (State().Updating()) return;
    const int option = CurrentOption();
    if (option < 0) return;
    if (!name_entered_) NameEditEnter();
    TMivoModel& model = Form().Model();
    const std::string name = FromQString(text);
    if (name == model.OptionName(option)) return;
    model.SetOptionName(option, name);
    GridModel->CellChanged(1, option + 1);
    // The model is changed from the first keystroke on: the caption shows
    // the mark and closing asks, while the undo point waits for leaving.
    const bool marked = model.Modified;
    model.Changed();
    if (!marked) Form().UpdateControls();
}

void TOptionsPage::NameEditExit() {
    if (!name_entered_) return;
    name_entered_ = false;
    const int option = CurrentOption();
    if (option < 0 || Form().Model().OptionName(option) == State().OldOptName) return;
    OptionDataChanged(false);
}

void TOptionsPage::NameEditEscape() {
    const int option = CurrentOption();
    if (option < 0 || !name_entered_) return;
    OptNameEdit->setText(ToQString(State().OldOptName));
    NameEditChange(OptNameEdit->text());
}

// --- option commands ----------------------------------------------------------------

void TOptionsPage::ForEachGrid(const std::function<void(TOptionGridView&)>& apply) {
    apply(*OptGrid);
    if (auto* evaluation = dynamic_cast<TEvalPage*>(&Form().Page(TModelPage::Evaluation)))
        apply(*evaluation->EvalGrid);
}

void TOptionsPage::OptAddBtnClick(bool fromButton) {
    TMivoModel& model = Form().Model();
    const TGridCells cells = Cell();
    int p = std::max(0, cells.OptCol - 1);
    if (fromButton && p < model.OptionCount()) ++p;
    if (p < model.OptionCount()) model.InsertOption(p, "New");
    else model.AddOption("New");
    ForEachGrid([p](TOptionGridView& grid) { grid.OptionColumnInserted(p); });
    model.Changed();
    Form().Undo().PushOptionUndo();
    FillOptionsGrid();
    // The new option is current, whatever the undo setting.
    SetCurrentCell(std::max(1, cells.OptRow), p + 1);
    Form().UpdateControls();
}

void TOptionsPage::OptDelBtnClick() {
    const int option = CurrentOption();
    if (option < 0) return;
    TMivoModel& model = Form().Model();
    if (!Confirm(Form().Prompts(), Format("Do you want to delete option \"%s\"?", model.OptionName(option)))) return;
    model.DeleteOption(option);
    ForEachGrid([option](TOptionGridView& grid) { grid.OptionColumnRemoved(option); });
    OptionDataChanged(true);
}

void TOptionsPage::OptCopyBtnClick() {
    const int option = CurrentOption();
    if (option < 0) return;
    Form().Main().CopyOptionColumn(option, Form().Model(), State().BasicAttrs());
    Form().UpdateControls();
}

void TOptionsPage::OptCutBtnClick() {
    OptCopyBtnClick();
    OptDelBtnClick();
}

void TOptionsPage::OptDupBtnClick() {
    OptCopyBtnClick();
    OptPasteBtnClick();
}

void TOptionsPage::OptPasteBtnClick() {
    TMainForm& main = Form().Main();
    TMivoModel& model = Form().Model();
    if (!main.OptionClipboardHeld()) return;
    // Only onto the same attributes, every value valid: else a message and
    // no change (the check comes before an option is inserted).
    if (!main.OptionClipboardMatches(model, State().BasicAttrs())) {
        main.PasteOptionColumn(0, model, State().BasicAttrs());
        return;
    }
    const int p = std::min(std::max(0, Cell().OptCol - 1), model.OptionCount());
    if (p < model.OptionCount()) model.InsertOption(p, "Paste");
    else model.AddOption("Paste");
    ForEachGrid([p](TOptionGridView& grid) { grid.OptionColumnInserted(p); });
    main.PasteOptionColumn(p, model, State().BasicAttrs());
    OptionDataChanged(true);
    SetCurrentCell(std::max(1, Cell().OptRow), p + 1);
}

void TOptionsPage::OptLeftBtnClick() {
    const int option = CurrentOption();
    if (option <= 0) return;
    Form().Model().MoveOptionLeft(option);
    ForEachGrid([option](TOptionGridView& grid) { grid.OptionColumnsExchanged(option - 1, option); });
    SetCurrentCell(Cell().OptRow, option);
    // A new order is a change of the model: it must not be lost on close.
    OptionDataChanged(true);
}

void TOptionsPage::OptRightBtnClick() {
    const int option = CurrentOption();
    if (option < 0 || option + 1 >= Form().Model().OptionCount()) return;
    Form().Model().MoveOptionRight(option);
    ForEachGrid([option](TOptionGridView& grid) { grid.OptionColumnsExchanged(option, option + 1); });
    SetCurrentCell(Cell().OptRow, option + 2);
    OptionDataChanged(true);
}

}  // namespace mivo
