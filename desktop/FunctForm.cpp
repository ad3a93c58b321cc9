#include "desktop/FunctForm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QVBoxLayout>

#include "desktop/FncEntForm.h"
#include "desktop/FncGrid.h"
#include "desktop/FunctTableModel.h"
#include "desktop/WeightForm.h"
#include "model/Clipboard.h"
#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "model/MivoStr.h"
#include "model/RuleText.h"
#include "model/RunTime.h"
#include "platform/ErrorDisplay.h"
#include "platform/Help.h"
#include "platform/Prompts.h"
#include "platform/QtBusyCursor.h"
#include "reports/MivoRpt.h"
#include "reports/Report.h"
#include "reports/ReportViewer.h"

namespace mivo {

namespace {

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

// A control's hint "short|long": the short part as tool tip, the long one
// as status tip.
void SetHint(QWidget* widget, const char* shortHint, const char* longHint) {
    widget->setToolTip(QString::fromUtf8(shortHint));
    widget->setStatusTip(QString::fromUtf8(longHint));
}

QPushButton* MakeButton(const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

std::string RuleValueText(const TMivoDiscreteScale& scale, int low, int high) {
    const int m = scale.Count();
    if (low == high) return scale.ValueName(low);
    if (low == 0 && high == m - 1) return "*";
    if (low == 0) return "<=" + scale.ValueName(high);
    if (high == m - 1) return ">=" + scale.ValueName(low);
    return scale.ValueName(low) + ":" + scale.ValueName(high);
}

std::string FncItemCaption(int index, const std::string& name) {
    if (name == "*") return "&*";
    return Format("&%d &%s", index + 1, ReplaceStr(name, "&", "&&"));
}

// --- building ------------------------------------------------------------------

TFunctForm::TFunctForm(TMivoModel& model, const TFunctServices& services, QWidget* parent)
    : QDialog(parent), model_(model), services_(services), grid_model_(std::make_unique<TFunctTableModel>()) {
    BuildControls();
    InstallKeyFilter();
    // The program's help filter reads the topic from the window, as it
    // does for every modal window.
    setProperty(HelpContextProperty, FunctFormHelpContext);
}

TFunctForm::~TFunctForm() {
    // The view lets go of the table model before the model goes.
    grid_->SetTableModel(nullptr);
}

void TFunctForm::BuildControls() {
    setMinimumSize(300, 300);
    resize(640, 480);

    value_edit_ = new QComboBox(this);
    value_edit_->setEditable(false);
    value_edit_->setMinimumContentsLength(12);
    value_edit_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    SetHint(value_edit_, "Rule values", "Rule values");
    del_btn_ = MakeButton("Delete", this);
    SetHint(del_btn_, "Delete", "Delete value");
    rpt_btn_ = MakeButton("Rules", this);
    SetHint(rpt_btn_, "Rules", "Show rule table");
    wei_btn_ = MakeButton("%", this);
    SetHint(wei_btn_, "Weights", "Set attribute weights");
    {
        QFont font = wei_btn_->font();
        font.setBold(true);
        wei_btn_->setFont(font);
        QPalette palette = wei_btn_->palette();
        palette.setColor(QPalette::ButtonText, QColor(0, 0, 255));
        wei_btn_->setPalette(palette);
        wei_btn_->setFixedWidth(QFontMetrics(font).horizontalAdvance(QStringLiteral("%")) + 24);
    }
    cst_chk_ = new QCheckBox(QStringLiteral("Use scale orders"), this);
    wei_chk_ = new QCheckBox(QStringLiteral("Use weights"), this);

    grid_ = new TFncGrid(this);
    grid_->SetTableModel(grid_model_.get());

    status_bar_ = new QStatusBar(this);
    status_bar_->setSizeGripEnabled(false);
    status_label_ = new QLabel(status_bar_);
    status_bar_->addWidget(status_label_, 1);

    undo_btn_ = MakeButton("Undo", this);
    redo_btn_ = MakeButton("Redo", this);
    copy_btn_ = MakeButton("Copy", this);
    SetHint(copy_btn_, "Copy", "Copy function");
    paste_btn_ = MakeButton("Paste", this);
    SetHint(paste_btn_, "Paste", "Paste function");
    ok_btn_ = new QPushButton(QStringLiteral("&OK"), this);
    ok_btn_->setDefault(true);
    cancel_btn_ = MakeButton("&Cancel", this);

    edit_menu_ = new QMenu(this);
    edit_menu_->addSeparator();
    aut_item_ = edit_menu_->addAction(QString::fromUtf8(SAutomaticValueSetup));
    aut_item_->setCheckable(true);
    ent_item_ = edit_menu_->addAction(QString::fromUtf8(SEnterValuesItem));

    auto* tools = new QHBoxLayout;
    tools->addWidget(value_edit_);
    tools->addWidget(del_btn_);
    tools->addWidget(rpt_btn_);
    tools->addWidget(wei_btn_);
    tools->addWidget(cst_chk_);
    tools->addWidget(wei_chk_);
    tools->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(undo_btn_);
    bottom->addWidget(redo_btn_);
    bottom->addWidget(copy_btn_);
    bottom->addWidget(paste_btn_);
    bottom->addStretch();
    bottom->addWidget(ok_btn_);
    bottom->addWidget(cancel_btn_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(4);
    layout->addLayout(tools);
    layout->addWidget(grid_, 1);
    layout->addLayout(bottom);
    layout->addWidget(status_bar_);

    ent_form_ = std::make_unique<TFncEntForm>(this);

    // Only user signals start a change.
    auto guarded = [this](void (TFunctForm::*handler)()) {
        return [this, handler] { Guarded([&] { (this->*handler)(); }); };
    };
    connect(value_edit_, &QComboBox::activated, this, [this](int i) { Guarded([&] { ValueEditActivated(i); }); });
    connect(del_btn_, &QPushButton::clicked, this, guarded(&TFunctForm::DeleteRule));
    connect(rpt_btn_, &QPushButton::clicked, this, guarded(&TFunctForm::ReportClick));
    connect(wei_btn_, &QPushButton::clicked, this, guarded(&TFunctForm::WeightsClick));
    connect(cst_chk_, &QCheckBox::clicked, this, guarded(&TFunctForm::CheckBoxClick));
    connect(wei_chk_, &QCheckBox::clicked, this, guarded(&TFunctForm::CheckBoxClick));
    connect(undo_btn_, &QPushButton::clicked, this, guarded(&TFunctForm::UndoClick));
    connect(redo_btn_, &QPushButton::clicked, this, guarded(&TFunctForm::RedoClick));
    connect(copy_btn_, &QPushButton::clicked, this, guarded(&TFunctForm::CopyClick));
    connect(paste_btn_, &QPushButton::clicked, this, guarded(&TFunctForm::PasteClick));
    connect(ok_btn_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_btn_, &QPushButton::clicked, this, &QDialog::reject);
    connect(aut_item_, &QAction::triggered, this, [this](bool checked) { Guarded([&] { AutItemClick(checked); }); });
    connect(ent_item_, &QAction::triggered, this, guarded(&TFunctForm::EntItemClick));
    connect(grid_, &TFncGrid::CurrentRowChanged, this, guarded(&TFunctForm::GridCurrentChanged));
    connect(grid_, &TFncGrid::RuleMenuRequested, this, [this](const QPoint& at) { edit_menu_->popup(at); });
}

void TFunctForm::InstallKeyFilter() {
    // Keys reach the editor before any of its controls.
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
    grid_->viewport()->installEventFilter(this);
}

QTableView* TFunctForm::FncGrid() const { return grid_; }

int TFunctForm::OutputSize() const { return scale_ ? scale_->Count() : 0; }

// --- loading -------------------------------------------------------------------

void TFunctForm::LoadAttribute(TMivoAttribute& attribute) {
    if (!attribute.Funct()) throw EMivoError(Format("Attribute \"%s\" has no decision table", attribute.GetName()));
    auto* scale = dynamic_cast<TMivoDiscreteScale*>(attribute.Scale());
    if (!scale || scale->Count() < 1)
        throw EMivoError(Format("Attribute \"%s\" has no value scale", attribute.GetName()));

    // Whatever an earlier loading left goes first: the weights dialog
    // refers to the old working copy, the grid reads it.
    wei_form_.reset();
    grid_model_->Clear();
    history_.Clear();
    taken_ok_ = false;

    updating_ = false;
    summary_stale_ = true;
    no_automatic_ = true;
    setWindowTitle(ToQt(attribute.GetName() + " " + SDecisionRules));
    attribute_ = &attribute;
    orig_funct_ = attribute.Funct();
    funct_ = std::make_unique<TMivoFunction>();
    funct_->Assign(*orig_funct_);
    scale_ = scale;

    FillValueChoices();
    FillEditMenu();
    interval_low_ = 0;
    interval_high_ = OutputSize() - 1;
    FillGrid();

    const bool ordered = attribute.CanHaveOrderedFunction();
    ShowOrderedControls(ordered);
    aut_item_->setChecked(ordered);
    no_automatic_ = !ordered;

    Recompute(false);
    if (ordered) {
        wei_form_ = std::make_unique<TWeiForm>(this);
        wei_form_->LoadFunction(attribute, *funct_, [this] { Recompute(true); });
    }
    ResetUndo();
}

void TFunctForm::FillValueChoices() {
    value_edit_->clear();
    for (int v = 0; v < scale_->Count(); ++v) value_edit_->addItem(ToQt(scale_->ValueName(v)));
    value_edit_->addItem(QStringLiteral("*"));
}

void TFunctForm::FillEditMenu() {
    for (QAction* item : value_items_) {
        edit_menu_->removeAction(item);
        delete item;
    }
    value_items_.clear();
    QAction* first = edit_menu_->actions().value(0);  // the separator
    const int m = scale_->Count();
    for (int v = 0; v <= m; ++v) {
        const std::string name = v < m ? scale_->ValueName(v) : std::string("*");
        auto* item = new QAction(ToQt(FncItemCaption(v, name)), edit_menu_);
        item->setData(v);
        edit_menu_->insertAction(first, item);
        connect(item, &QAction::triggered, this, [this, v] { Guarded([&] { ValueItemClick(v); }); });
        value_items_.push_back(item);
    }
}

void TFunctForm::FillGrid() {
    grid_model_->SetFunction(attribute_, funct_.get());
    grid_->FitSizes();
    grid_->SelectRow(1);
    grid_->setFocus();
}

void TFunctForm::ShowOrderedControls(bool visible) {
    wei_btn_->setVisible(visible);
    wei_chk_->setVisible(visible);
    cst_chk_->setVisible(visible);
    aut_item_->setVisible(visible);
}

// --- the refresh ---------------------------------------------------------------

void TFunctForm::Recompute(bool push) {
    if (!funct_) return;
    if (funct_->UseWeights || funct_->ModelState < 0) funct_->FitLinearModel(false);
    RecomputeAutomatic();
    FillResultColumn();
    summary_stale_ = true;
    if (push) PushUndo();
    UpdateStatus();
}

void TFunctForm::RecomputeAutomatic() {
    if (updating_) return;
    updating_ = true;
    try {
        funct_->Update(no_automatic_);
    } catch (...) {
        updating_ = false;
        throw;
    }
    updating_ = false;
}

void TFunctForm::FillResultColumn() {
    if (updating_) return;
    updating_ = true;
    grid_model_->ResultsChanged();
    updating_ = false;
}

void TFunctForm::UpdateStatus() {
    if (updating_ || !funct_) return;
    updating_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{updating_};

    const int rule = CurrentRule();
    const int m = OutputSize();
    if (rule >= 0) {
        del_btn_->setEnabled(funct_->RuleEntered(rule));
        const int low = funct_->RuleLow(rule);
        const int high = funct_->RuleHigh(rule);
        if (low == high) {
            value_edit_->setCurrentIndex(low);
        } else {
            value_edit_->setItemText(m, ToQt(RuleValueText(*scale_, low, high)));
            value_edit_->setCurrentIndex(m);
            interval_low_ = low;
            interval_high_ = high;
        }
    } else {
        del_btn_->setEnabled(false);
    }
    if (summary_stale_) {
        // The summary reads every rule: it is taken again only after the
        // table has changed, not when another rule becomes current.
        status_label_->setText(ToQt(funct_->StatusText()));
        ent_item_->setEnabled(funct_->EnteredCount() < funct_->RuleCount());
        summary_stale_ = false;
    }
    if (!wei_chk_->isHidden()) {
        wei_chk_->setChecked(funct_->UseWeights);
        wei_chk_->setEnabled(funct_->ModelState >= 0 && !no_automatic_);
        cst_chk_->setChecked(funct_->Consist);
        cst_chk_->setEnabled(funct_->ConsistState >= 0 && !no_automatic_);
    }
    const bool undoing = model_.Undoing();
    undo_btn_->setVisible(undoing);
    redo_btn_->setVisible(undoing);
    undo_btn_->setEnabled(history_.CanUndo());
    redo_btn_->setEnabled(history_.CanRedo());
}

QString TFunctForm::StatusText() const { return status_label_->text(); }

int TFunctForm::CurrentRule() const {
    const int row = grid_->CurrentRow();
    return row >= 1 && funct_ && row <= funct_->RuleCount() ? row - 1 : -1;
}

void TFunctForm::SelectRule(int rule) {
    grid_->SelectRow(rule + 1);
    UpdateStatus();
}

void TFunctForm::GridCurrentChanged() {
    if (updating_) return;
    UpdateStatus();
}

// --- history -------------------------------------------------------------------

void TFunctForm::PushUndo() {
    if (!model_.Undoing() || !funct_) return;
    history_.Push(TFunctState::Capture(*funct_, grid_->CurrentRow()));
    UpdateStatus();
}

void TFunctForm::ResetUndo() {
    history_.Clear();
    PushUndo();
}

void TFunctForm::RestoreState(int index) {
    const TFunctState& state = history_.State(index);
    state.Restore(*funct_);
    summary_stale_ = true;
    updating_ = true;
    grid_->SelectRow(state.Row());
    updating_ = false;
}

void TFunctForm::UndoClick() {
    if (updating_ || !funct_ || !history_.CanUndo()) return;
    history_.Undo();
    RestoreState(history_.Index());
    FillResultColumn();
    UpdateStatus();
}

void TFunctForm::RedoClick() {
    if (updating_ || !funct_ || !history_.CanRedo()) return;
    history_.Redo();
    RestoreState(history_.Index());
    Recompute(false);
}

// --- editing -------------------------------------------------------------------

void TFunctForm::ApplyToRule(int low, int high, bool entered) {
    const int rule = CurrentRule();
    if (updating_ || rule < 0) return;
    if (low < 0 || low > high || high > OutputSize() - 1) return;
    funct_->SetRuleLow(rule, low);
    funct_->SetRuleHigh(rule, high);
    funct_->SetRuleEntered(rule, entered);
    Recompute(true);
}

void TFunctForm::ValueEditActivated(int index) {
    if (updating_ || !funct_) return;
    const int m = OutputSize();
    if (index >= 0 && index < m)
        ApplyToRule(index, index, true);
    else if (index == m)
        ApplyToRule(interval_low_, interval_high_, true);
}

void TFunctForm::ValueItemClick(int index) {
    if (updating_ || !funct_) return;
    const int m = OutputSize();
    if (index < 0 || index > m) return;
    value_edit_->setCurrentIndex(index);
    // The item labelled "*" gives the whole scale, whatever interval the
    // value list offers at the moment.
    if (index == m)
        ApplyToRule(0, m - 1, true);
    else
        ApplyToRule(index, index, true);
}

void TFunctForm::ValueKey(int value) {
    if (updating_ || !funct_ || value < 0 || value >= OutputSize()) return;
    value_edit_->setCurrentIndex(value);
    ApplyToRule(value, value, true);
}

void TFunctForm::DeleteRule() {
    const int rule = CurrentRule();
    if (updating_ || rule < 0) return;
    funct_->ClearRule(rule);
    Recompute(true);
}

void TFunctForm::EscapeRule() {
    if (updating_ || !funct_) return;
    ApplyToRule(interval_low_, interval_high_, false);
}

void TFunctForm::CheckBoxClick() {
    if (updating_ || !funct_) return;
    funct_->Consist = cst_chk_->isChecked();
    funct_->UseWeights = wei_chk_->isChecked();
    Recompute(true);
}

void TFunctForm::AutItemClick(bool checked) {
    if (updating_ || !funct_) return;
    no_automatic_ = !checked;
    Recompute(true);
}

void TFunctForm::EntItemClick() {
    if (updating_ || !funct_) return;
    if (services_.Prompts.Exec(*ent_form_, "EnterValues") != QDialog::Accepted) return;
    funct_->EnterRules(ent_form_->WholeTable());
    Recompute(true);
}

void TFunctForm::WeightsClick() {
    if (updating_ || !funct_ || !wei_form_) return;
    wei_form_->Execute(services_.Prompts);
}

void TFunctForm::CopyClick() {
    if (!funct_) return;
    CopyToClipboard(*funct_, services_.Clipboard, model_.Settings);
}

void TFunctForm::PasteClick() {
    if (updating_ || !funct_) return;
    // The import runs on a copy; the table takes the result only when the
    // whole text has been read and applied.
    TMivoFunction pasted;
    pasted.Assign(*funct_);
    TRuleImport counts;
    try {
        counts = PasteFromClipboard(pasted, services_.Clipboard, model_.Settings);
    } catch (const std::exception& error) {
        ShowError(services_.Prompts, error.what());
        return;
    }
    funct_->Assign(pasted);
    Recompute(true);
    ShowInformation(services_.Prompts, Format(MivoStr::SPasteFunction, counts.Imported, counts.Changed));
}

void TFunctForm::ReportClick() {
    if (!funct_) return;
    std::unique_ptr<TReport> report;
    {
        TBusyCursor busy;
        report = BuildFunctionRulesReport(&model_, funct_.get(), attribute_, services_.Viewer.PreviewPen(),
                                          services_.Viewer.ReportFont());
    }
    services_.Viewer.ShowReport(std::move(report));
}

// --- keys ----------------------------------------------------------------------

namespace {

// A value key may come from the keypad and may need Shift (the keys of the
// tenth value and up, ":" and on); with Ctrl, Alt or Meta it is a command.
bool IsValueKeyModifiers(Qt::KeyboardModifiers modifiers) {
    return !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

}  // namespace

bool TFunctForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this) {
            auto* key = static_cast<QKeyEvent*>(event);
            bool handled = true;
            const QString text = key->text();
            const int m = OutputSize();
            if (key->key() == Qt::Key_F1) {
                Guarded([&] { services_.Help.ShowContext(FunctFormHelpContext); });
            } else if (key->key() == Qt::Key_Escape) {
                Guarded([&] { EscapeRule(); });
            } else if (key->key() == Qt::Key_Delete) {
                Guarded([&] { DeleteRule(); });
            } else if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                ok_btn_->click();
            } else if (text.size() == 1 && m > 0 && text[0].unicode() >= u'1' && text[0].unicode() <= 48 + m &&
                       IsValueKeyModifiers(key->modifiers())) {
                const int value = text[0].unicode() - 49;
                Guarded([&] { ValueKey(value); });
            } else {
                handled = false;
            }
            if (handled) return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFunctForm::keyPressEvent(QKeyEvent* event) {
    // The keys the editor uses reach it here when it has the focus itself.
    if (eventFilter(this, event)) return;
    QDialog::keyPressEvent(event);
}

bool TFunctForm::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        if (tip.isEmpty())
            status_bar_->clearMessage();
        else
            status_bar_->showMessage(tip);
        return true;
    }
    return QDialog::event(event);
}

// --- running -------------------------------------------------------------------

int TFunctForm::Run() {
    if (!funct_ || !attribute_) throw EMivoError("The rule editor has no decision table loaded");
    setResult(QDialog::Rejected);
    grid_->SelectRow(1);
    UpdateStatus();
    grid_->setFocus();
    if (!parentWidget()) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    int result = QDialog::Rejected;
    try {
        result = services_.Prompts.Exec(*this, "RuleEditor");
    } catch (...) {
        EndShowing(QDialog::Rejected);
        throw;
    }
    EndShowing(result);
    return result;
}

void TFunctForm::EndShowing(int result) {
    // The weights dialog refers to the working copy: it goes first.
    wei_form_.reset();
    grid_model_->Clear();
    history_.Clear();
    taken_ok_ = result == QDialog::Accepted;
    if (!taken_ok_) funct_.reset();
    attribute_ = nullptr;
    orig_funct_ = nullptr;
    scale_ = nullptr;
}

std::unique_ptr<TMivoFunction> TFunctForm::TakeFunct() {
    if (!taken_ok_) return nullptr;
    taken_ok_ = false;
    return std::move(funct_);
}

std::unique_ptr<TMivoFunction> EditFunction(TMivoModel& model, TMivoAttribute& attribute,
                                            const TFunctServices& services, QWidget* parent) {
    TFunctForm editor(model, services, parent);
    editor.LoadAttribute(attribute);
    if (editor.Run() != QDialog::Accepted) return nullptr;
    return editor.TakeFunct();
}

}  // namespace mivo
