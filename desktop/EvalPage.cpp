#include "desktop/EvalPage.h"

#include "platform/QtFontSource.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QToolBar>
#include <QVBoxLayout>

#include "desktop/Analyses.h"
#include "desktop/CompOptForm.h"
#include "desktop/FindForm.h"
#include "desktop/MainForm.h"
#include "desktop/ModelForm.h"
#include "model/MivoModel.h"
#include "model/Clipboard.h"
#include "model/MivoOptData.h"
#include "model/TextLines.h"
#include "model/MivoScale.h"
#include "platform/ErrorDisplay.h"

namespace mivo {

namespace {

template <class T>
T& SingleDialog(QWidget& mainWindow) {
    if (T* dialog = mainWindow.findChild<T*>(QString(), Qt::FindDirectChildrenOnly)) return *dialog;
    return *new T(&mainWindow);
}

}  // namespace

TFindForm& FindDialog(QWidget& mainWindow) { return SingleDialog<TFindForm>(mainWindow); }
TCompOptForm& CompareDialog(QWidget& mainWindow) { return SingleDialog<TCompOptForm>(mainWindow); }

TEvalPage::TEvalPage(TModelForm& form)
    : TFramePage(form, TModelPage::Evaluation, QStringLiteral("&Evaluation"), TUndoKind::Options, DefaultPageMenuGroup) {
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* edits = new QHBoxLayout;
    EvalValEdit = new QComboBox(content);
    EvalValEdit->setMinimumContentsLength(16);
    // The strip keeps the box's height while the box is hidden (on an
    // aggregate row), so the grid below stays where it is.
    QSizePolicy keepSpace = EvalValEdit->sizePolicy();
    keepSpace.setRetainSizeWhenHidden(true);
    EvalValEdit->setSizePolicy(keepSpace);
    edits->addWidget(EvalValEdit);
    edits->addStretch();
    layout->addLayout(edits);
    EvalGrid = new TOptionGridView(content);
    GridModel = new TOptionGridModel(State(), TGridKind::Evaluation, EvalGrid);
    EvalGrid->setModel(GridModel);
    layout->addWidget(EvalGrid, 1);
    SetContent(content);
    EvalValEdit->hide();
    QObject::connect(EvalValEdit, &QComboBox::activated, EvalValEdit,
                     [this](int item) { Guarded([&] { EvalValEditChange(item); }); });
    QObject::connect(EvalGrid->selectionModel(), &QItemSelectionModel::currentChanged, EvalGrid,
                     [this] { Guarded([&] { CellChanged(); }); });

    AddButton(TCommandId::PlusMinus, QStringLiteral("+/-1"), QStringLiteral("Plus/minus-1 analysis"),
              [this] { PlusMinusClick(); });
    AddButton(TCommandId::SelExpl, QStringLiteral("Explain"), QStringLiteral("Selective explanation"),
              [this] { SelExpClick(); });
    auto* copy = new QAction(QStringLiteral("Copy"), Widget());
    copy->setToolTip(QStringLiteral("Copy options"));
    QObject::connect(copy, &QAction::triggered, Widget(), [this] { Guarded([&] { EvalCopyBtnClick(); }); });
    auto* paste = new QAction(QStringLiteral("Paste"), Widget());
    paste->setToolTip(QStringLiteral("Paste options"));
    QObject::connect(paste, &QAction::triggered, Widget(), [this] { Guarded([&] { EvalPasteBtnClick(); }); });
    ToolBar()->addAction(copy);
    ToolBar()->addAction(paste);
    auto* compare = new QAction(QStringLiteral("Compare"), Widget());
    compare->setToolTip(QStringLiteral("Compare options..."));
    QObject::connect(compare, &QAction::triggered, Widget(), [this] { Guarded([&] { CompareClick(); }); });
    ToolBar()->addAction(compare);

    QMenu* analysis = Menu()->addMenu(QStringLiteral("&Analysis"));
    auto* plusMinus = new QAction(QStringLiteral("&Plus-minus-1 analysis"), Widget());
    auto* selExpl = new QAction(QStringLiteral("&Selective explanation"), Widget());
    auto* compareItem = new QAction(QStringLiteral("&Compare options..."), Widget());
    Form().BindCommand(TCommandId::PlusMinus, plusMinus, false);
    Form().BindCommand(TCommandId::SelExpl, selExpl, false);
    QObject::connect(plusMinus, &QAction::triggered, Widget(), [this] { Guarded([&] { PlusMinusClick(); }); });
    QObject::connect(selExpl, &QAction::triggered, Widget(), [this] { Guarded([&] { SelExpClick(); }); });
    QObject::connect(compareItem, &QAction::triggered, Widget(), [this] { Guarded([&] { CompareClick(); }); });
    analysis->addActions({plusMinus, selExpl, compareItem});

    auto* find = new QAction(QStringLiteral("Find..."), Widget());
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F3));
    QObject::connect(find, &QAction::triggered, Widget(), [this] { Guarded([&] { EvalFindItemClick(); }); });
    Menu()->addAction(find);
    AddItem(TCommandId::FindNext, QStringLiteral("Find next"), QStringLiteral("Find next"), QKeySequence(Qt::Key_F3),
            [this] { EvalFindNextItemClick(); });
    // "Find next" follows the stored search, not the dialog's controls.
    State().FindNextUsable = [this] { return FindDialog(Form().Main()).Search().Usable(); };
}

TEvalPage::~TEvalPage() { State().FindNextUsable = nullptr; }

TModelWindowState& TEvalPage::State() const { return Form().State(); }

void TEvalPage::Fill() {
    FillEvaluationGrid();
    EvalGrid->setFocus();
}

void TEvalPage::FillEvaluationGrid() {
    const TGridCells keep = Cell();
    TMivoModel& model = Form().Model();
    if (model.NeedsEvaluation) model.Reevaluate();
    State().StructureChanged();
    GridModel->Reset();
    EvalGrid->FitOptionColumns(Form().Model().OptionCount());
    QFont bold = EvalGrid->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    int widest = metrics.horizontalAdvance(QStringLiteral("Option"));
    for (const TMivoAttribute* a : State().AllAttrs())
        widest = std::max(widest, metrics.horizontalAdvance(ToQString(EvalRowName(*a))));
    EvalGrid->FitNameColumn(widest + 12);
    if (keep.EvalRow >= 1 && keep.EvalCol >= 1) SetCurrentCell(keep.EvalRow, keep.EvalCol);
}

TGridCells TEvalPage::Cell() const {
    TGridCells cells;
    const QModelIndex at = EvalGrid->currentIndex();
    if (at.isValid()) {
        cells.EvalRow = TOptionGridModel::GridRow(at.row());
        cells.EvalCol = TOptionGridModel::GridCol(at.column());
    }
    return cells;
}

void TEvalPage::CurrentCells(TGridCells& cells) const {
    const TGridCells own = Cell();
    cells.EvalRow = own.EvalRow;
    cells.EvalCol = own.EvalCol;
}

void TEvalPage::SetCurrentCell(int gridRow, int gridCol) {
    const int rows = GridModel->rowCount(), cols = GridModel->columnCount();
    if (rows == 0 || cols == 0) return;
    const int r = std::clamp(TOptionGridModel::ViewRow(gridRow), 0, rows - 1);
    const int c = std::clamp(TOptionGridModel::ViewCol(gridCol), 0, cols - 1);
    EvalGrid->setCurrentIndex(GridModel->index(r, c));
}

int TEvalPage::CurrentOption() const {
    const int option = Cell().EvalCol - 1;
    return option >= 0 && option < Form().Model().OptionCount() ? option : -1;
}

void TEvalPage::CellChanged() {
    if (State().Updating()) return;
    const TGridCells cells = Cell();
    State().EvalGridRow = cells.EvalRow;
    State().EvalGridCol = cells.EvalCol;
    Form().UpdateControls();
}

void TEvalPage::Refresh() {
    const bool valueBox = Form().Commands().Visible(TCommandId::EvalValEdit) && CurrentOption() >= 0;
    EvalValEdit->setVisible(valueBox);
    EvalGrid->ClearValEditMenu();
    if (!valueBox) return;
    const TMivoAttribute* attribute = GridModel->RowAttribute(Cell().EvalRow);
    EvalValEdit->clear();
    if (const auto* scale = attribute ? dynamic_cast<const TMivoDiscreteScale*>(attribute->Scale()) : nullptr)
        for (int v = 0; v < scale->Count(); ++v) EvalValEdit->addItem(ToQString(scale->ValueName(v)));
    EvalValEdit->addItem(QStringLiteral("*"));
    const int index = attribute ? attribute->OptValueIndex(CurrentOption()) : -1;
    EvalValEdit->setCurrentIndex(index >= 0 ? index : EvalValEdit->count() - 1);
    // The popup's entries choose in the value box as if chosen there.
    EvalGrid->FillValEditMenu(ValueBoxItems(attribute), [this](int item) {
        if (EvalValEdit->isHidden() || Form().CurrentPageId() != TModelPage::Evaluation) return;
        EvalValEdit->setCurrentIndex(item);
        EvalValEditChange(item);
    });
}

void TEvalPage::ModelReplaced() {
    if (Form().CurrentPageId() == TModelPage::Evaluation) FillEvaluationGrid();
    else GridModel->Reset();
}

void TEvalPage::OptionsReplaced(const TGridCells& cells) {
    FillEvaluationGrid();
    if (cells.EvalRow >= 1 && cells.EvalCol >= 1) SetCurrentCell(cells.EvalRow, cells.EvalCol);
}

void TEvalPage::EvalValEditChange(int item) {
    if (State().Updating()) return;
    const TGridCells cells = Cell();
    const int option = CurrentOption();
    TMivoAttribute* attribute = GridModel->RowAttribute(cells.EvalRow);
    if (attribute == nullptr || option < 0 || item < 0 || !attribute->IsBasic() || attribute->Link()) return;
    TMivoModel& model = Form().Model();
    const bool wasEvaluated = !model.NeedsEvaluation;
    if (item >= EvalValEdit->count() - 1) attribute->SetOptValue(option, "");
    else attribute->SetOptValueIndex(option, item);
    model.Changed();
    Form().Undo().PushOptionUndo();
    if (wasEvaluated) {
        // Only this option's values can have changed.
        for (int k = 0; k < model.Root()->InpCount(); ++k) model.Root()->Inputs(k)->EvaluateOption(option);
        model.NeedsEvaluation = false;
        GridModel->ColumnChanged(cells.EvalCol);
    } else {
        FillEvaluationGrid();
    }
    Form().UpdateControls();
}

bool TEvalPage::PreviewKey(QKeyEvent& event) {
    if (!Form().Commands().Visible(TCommandId::EvalValEdit) || CurrentOption() < 0) return false;
    const QString text = event.text();
    if (text.size() != 1) return false;
    const TMivoAttribute* attribute = GridModel->RowAttribute(Cell().EvalRow);
    if (attribute == nullptr) return false;
    const int count = attribute->ScaleSize();
    const char16_t key = text.at(0).unicode();
    int item;
    if (key == u'*') item = count;
    else if (key >= u'1' && key < u'1' + count) item = key - u'1';
    else return false;
    if (EvalValEdit->count() != count + 1) Refresh();
    EvalValEditChange(item);
    return true;
}

void TEvalPage::EvalCopyBtnClick() {
    TMivoOptData data;
    data.LoadFromModel(&Form().Model());
    Form().Main().Clipboard().SetText(data.ClipboardText());
}

void TEvalPage::EvalPasteBtnClick() {
    TMivoModel& model = Form().Model();
    TMivoOptData data;
    // Read everything first: a read error leaves the model as it was.
    data.LoadFromStrings(SplitLines(Form().Main().Clipboard().GetText()), &model);
    bool binds = false;
    for (int row = 0; row < data.RowCount() && !binds; ++row) {
        const TMivoAttribute* attribute = data.RowAttribute(row);
        binds = attribute != nullptr && attribute->IsBasic() && attribute->Link() == nullptr;
    }
    if (!binds) {
        ShowError(Form().Prompts(), MsgNoClipboardOptionData);
        return;
    }
    data.StoreToModel();
    State().StructureChanged();
    FillEvaluationGrid();
    model.Changed();
    Form().Undo().PushOptionUndo();
    Form().UpdateControls();
}

// --- analyses and find ---------------------------------------------------------------

void TEvalPage::PlusMinusClick() {
    RunPlusMinusAnalysis(Form().Model(), GridModel->RowAttribute(Cell().EvalRow), CurrentOption(),
                         Form().Main().ReportService());
}

void TEvalPage::SelExpClick() {
    RunSelectiveExplanation(Form().Model(), CurrentOption(), Form().Main().ReportService());
}

void TEvalPage::CompareClick() {
    RunComparison(Form().Model(), CompareDialog(Form().Main()), Form().Prompts(), Form().Main().ReportService());
}

void TEvalPage::EvalFindItemClick() {
    if (FindDialog(Form().Main()).Execute(Form().Prompts()) == DialogOk) EvalFindNextItemClick();
    Form().UpdateControls();
}

void TEvalPage::EvalFindNextItemClick() {
    const TFindSearch& search = FindDialog(Form().Main()).Search();
    const int found = FindNextRow(search, State().AllAttrs(), Cell().EvalRow - 2);
    if (found >= 0) SetCurrentCell(found + 2, std::max(1, Cell().EvalCol));
    Form().UpdateControls();
}

}  // namespace mivo
