// The scale editor dialog.

#include "desktop/ScaleForm.h"

#include <algorithm>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QPointer>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "desktop/NDEditForm.h"
#include "platform/ErrorDisplay.h"
#include "platform/Prompts.h"
#include "model/MivoAttribute.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "model/RunTime.h"
#include "model/ScaleEdit.h"
#include "model/TreeEdit.h"

namespace mivo {

namespace {

// The editor's own texts.
constexpr const char* SScale = "Scale";
constexpr const char* SEditing = "Editing";
constexpr const char* SAttributeValue = "attribute value";

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Sets the updating guard for a scope and restores its previous state.
class TUpdating {
public:
    explicit TUpdating(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~TUpdating() { flag_ = old_; }
    TUpdating(const TUpdating&) = delete;
    TUpdating& operator=(const TUpdating&) = delete;

private:
    bool& flag_;
    bool old_;
};

// The class image of a row: a small round mark, red, grey or green.
QIcon ClassIcon(TValueClassImage image) {
    const QString key = QStringLiteral("mivo-value-class-%1").arg(static_cast<int>(image));
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap(16, 16);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor fill = image == vcBad ? QColor(204, 51, 51) : image == vcGood ? QColor(51, 153, 51)
                                                                                   : QColor(190, 190, 190);
        p.setPen(QPen(fill.darker(140), 1));
        p.setBrush(fill);
        p.drawEllipse(QRectF(3.5, 3.5, 9, 9));
        p.end();
        QPixmapCache::insert(key, pixmap);
    }
    return QIcon(pixmap);
}

// Good is tested first here, as the editor shows it.
TValueClassImage ClassOf(const TMivoScale& scale, int i) {
    if (scale.IsGood(i)) return vcGood;
    if (scale.IsBad(i)) return vcBad;
    return vcNeutral;
}

QPushButton* HintedButton(const QString& caption, const QString& hint, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setToolTip(caption);
    button->setStatusTip(hint);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

// The in-place editor of value names: only the name column is editable.
// Qt's item editor ends the edit on Enter and keeps the dialog open; the
// delegate remembers the open editor so that OK can take its text first.
class TValueNameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        if (index.column() != 0) return nullptr;
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        editor_ = editor;
        return editor;
    }

    void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
        if (editor == editor_.data()) editor_ = nullptr;
        QStyledItemDelegate::destroyEditor(editor, index);
    }

    QWidget* OpenEditor() const { return editor_.data(); }

    // Takes the text of an open editor and closes it.
    void CommitOpenEditor() {
        if (QWidget* editor = editor_.data()) {
            Q_EMIT commitData(editor);
            Q_EMIT closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }

private:
    mutable QPointer<QWidget> editor_;
};

// ---------------------------------------------------------------------------

TScaleForm::TScaleForm(TPrompts& prompts, QWidget* parent) : QDialog(parent), prompts_(prompts) {
    BuildControls();
    BuildMenu();
    UpdateControls();
}

TScaleForm::~TScaleForm() = default;

void TScaleForm::BuildControls() {
    setMinimumSize(300, 300);
    resize(520, 400);

    order_edit_ = new QComboBox(this);
    order_edit_->addItems({tr("unordered"), tr("increasing"), tr("decreasing")});
    order_edit_->setToolTip(tr("Scale order"));
    order_edit_->setStatusTip(tr("Scale order"));

    value_list_ = new QTreeWidget(this);
    value_list_->setObjectName("ValueList");
    value_list_->setColumnCount(2);
    value_list_->setHeaderLabels({tr("Value"), tr("Description")});
    value_list_->setRootIsDecorated(false);
    value_list_->setUniformRowHeights(true);
    value_list_->setSelectionMode(QAbstractItemView::SingleSelection);
    value_list_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    value_list_->header()->setStretchLastSection(true);
    value_list_->setColumnWidth(0, 160);
    value_list_->setContextMenuPolicy(Qt::CustomContextMenu);
    name_delegate_ = new TValueNameDelegate(value_list_);
    value_list_->setItemDelegate(name_delegate_);

    add_btn_ = HintedButton(tr("Add"), tr("Add a new value"), this);
    del_btn_ = HintedButton(tr("Delete"), tr("Delete current value"), this);
    edit_btn_ = HintedButton(tr("Edit..."), tr("Edit current value and its description..."), this);
    bad_btn_ = HintedButton(tr("Bad value"), tr("Set value class as bad"), this);
    neutral_btn_ = HintedButton(tr("Neutral value"), tr("Set value class as neutral"), this);
    good_btn_ = HintedButton(tr("Good value"), tr("Set value class as good"), this);
    up_btn_ = HintedButton(tr("Move up"), tr("Move current value up"), this);
    down_btn_ = HintedButton(tr("Move down"), tr("Move current value down"), this);
    bad_btn_->setIcon(ClassIcon(vcBad));
    neutral_btn_->setIcon(ClassIcon(vcNeutral));
    good_btn_->setIcon(ClassIcon(vcGood));

    std_scale_ = new QCheckBox(tr("Default scale for new attributes"), this);
    ok_btn_ = new QPushButton(tr("&OK"), this);
    ok_btn_->setDefault(true);
    cancel_btn_ = new QPushButton(tr("&Cancel"), this);
    cancel_btn_->setAutoDefault(false);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {add_btn_, del_btn_, edit_btn_}) buttons->addWidget(b);
    buttons->addSpacing(8);
    for (QPushButton* b : {bad_btn_, neutral_btn_, good_btn_}) buttons->addWidget(b);
    buttons->addSpacing(8);
    for (QPushButton* b : {up_btn_, down_btn_}) buttons->addWidget(b);
    buttons->addStretch(1);

    auto* middle = new QHBoxLayout;
    middle->addWidget(value_list_, 1);
    middle->addLayout(buttons);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(std_scale_);
    bottom->addStretch(1);
    bottom->addWidget(ok_btn_);
    bottom->addWidget(cancel_btn_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(order_edit_);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);

    const auto guarded = [this](void (TScaleForm::*handler)()) {
        return [this, handler] { Guarded([&] { (this->*handler)(); }); };
    };
    connect(add_btn_, &QPushButton::clicked, this, guarded(&TScaleForm::SclAddBtnClick));
    connect(del_btn_, &QPushButton::clicked, this, guarded(&TScaleForm::SclDelBtnClick));
    connect(edit_btn_, &QPushButton::clicked, this, guarded(&TScaleForm::SclEditBtnClick));
    connect(bad_btn_, &QPushButton::clicked, this, guarded(&TScaleForm::SclBadBtnClick));
    connect(neutral_btn_, &QPushButton::clicked, this, guarded(&TScaleForm::SclNeutrBtnClick));
    connect(good_btn_, &QPushButton::clicked, this, guarded(&TScaleForm::SclGoodBtnClick));
    connect(up_btn_, &QPushButton::clicked, this, guarded(&TScaleForm::SclUpBtnClick));
    connect(down_btn_, &QPushButton::clicked, this, guarded(&TScaleForm::SclDnBtnClick));
    connect(ok_btn_, &QPushButton::clicked, this, &TScaleForm::accept);
    connect(cancel_btn_, &QPushButton::clicked, this, &TScaleForm::reject);
    connect(order_edit_, &QComboBox::currentIndexChanged, this,
            [this](int index) { Guarded([&] { OrderEditChange(index); }); });
    connect(value_list_, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!updating_) Guarded([&] { UpdateControls(); });
    });
    connect(value_list_, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int column) { Guarded([&] { ValueListEdited(item, column); }); });
    connect(value_list_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { value_menu_->popup(value_list_->viewport()->mapToGlobal(at)); });
}

void TScaleForm::BuildMenu() {
    value_menu_ = new QMenu(this);
    const auto item = [this](const QString& text, const QString& hint, const QKeySequence& keys,
                             void (TScaleForm::*handler)()) {
        auto* action = new QAction(text, this);
        action->setStatusTip(hint);
        action->setToolTip(text);
        if (!keys.isEmpty()) action->setShortcut(keys);
        // On the dialog too, so the shortcut works wherever the focus is.
        addAction(action);
        value_menu_->addAction(action);
        connect(action, &QAction::triggered, this, [this, handler] { Guarded([&] { (this->*handler)(); }); });
        return action;
    };
    add_item_ = item(tr("&Add value"), tr("Add a new value"), QKeySequence(Qt::CTRL | Qt::Key_Insert),
                     &TScaleForm::SclAddBtnClick);
    del_item_ = item(tr("&Delete value"), tr("Delete current value"), QKeySequence(Qt::CTRL | Qt::Key_Delete),
                     &TScaleForm::SclDelBtnClick);
    value_menu_->addSeparator();
    edit_item_ = item(tr("&Edit value and description..."), tr("Edit current value and its description..."),
                      QKeySequence(Qt::CTRL | Qt::Key_F2), &TScaleForm::SclEditBtnClick);
    rename_item_ = item(tr("Edit &value"), tr("Edit current value and its description..."),
                        QKeySequence(Qt::Key_F2), &TScaleForm::RenameValueClick);
    value_menu_->addSeparator();
    bad_item_ = item(tr("&Bad value"), tr("Mark value as bad"), {}, &TScaleForm::SclBadBtnClick);
    neutral_item_ = item(tr("&Neutral value"), tr("Mark value as neutral"), {}, &TScaleForm::SclNeutrBtnClick);
    good_item_ = item(tr("&Good value"), tr("Mark value as good"), {}, &TScaleForm::SclGoodBtnClick);
    bad_item_->setIcon(ClassIcon(vcBad));
    neutral_item_->setIcon(ClassIcon(vcNeutral));
    good_item_->setIcon(ClassIcon(vcGood));
    value_menu_->addSeparator();
    up_item_ = item(tr("Move up"), tr("Move current value up"), QKeySequence(Qt::CTRL | Qt::Key_Up),
                    &TScaleForm::SclUpBtnClick);
    down_item_ = item(tr("Move down"), tr("Move current value down"), QKeySequence(Qt::CTRL | Qt::Key_Down),
                      &TScaleForm::SclDnBtnClick);
    value_menu_->addSeparator();
    interval_item_ = item(tr("&Interval scale (for printouts)"), tr("Interval scale (for printouts)"), {},
                          &TScaleForm::IntervalItemClick);
    interval_item_->setCheckable(true);
}

// ---------------------------------------------------------------------------

void TScaleForm::LoadAttribute(TMivoAttribute& attribute, const TMivoObject* defaultScale) {
    setWindowTitle(Q(std::string(SScale) + " " + attribute.GetName()));
    edit_ = std::make_unique<TScaleEdit>(attribute);
    default_chosen_ = false;
    large_table_accepted_ = false;
    {
        const TUpdating guard(updating_);
        order_edit_->setCurrentIndex(edit_->Scale().Order);
        std_scale_->setChecked(edit_->SourceScale() && edit_->SourceScale() == defaultScale);
    }
    FillValueList(0);
}

TMivoDiscreteScale* TScaleForm::Apply(TMivoModel& model) {
    MIVO_ASSERT(edit_ != nullptr && result() == QDialog::Accepted, "Scale editor: nothing confirmed to apply");
    // Compared before the old scale is freed: the default is known by
    // address, and another object may later take that address.
    const TMivoScale* source = edit_->SourceScale();
    const bool wasDefault = source && model.Selected() == source;
    TMivoDiscreteScale* scale = edit_->Apply();
    edit_.reset();
    if (default_chosen_)
        model.SetSelected(scale);
    else if (wasDefault)
        model.SetSelected(nullptr);
    FillValueList(-1);
    return scale;
}

int TScaleForm::CurrentValueIndex() const {
    if (!edit_) return -1;
    const QList<QTreeWidgetItem*> selected = value_list_->selectedItems();
    if (selected.isEmpty()) return -1;
    return value_list_->indexOfTopLevelItem(selected.front());
}

QWidget* TScaleForm::OpenNameEditor() const { return name_delegate_->OpenEditor(); }

// ---------------------------------------------------------------------------
// Refresh

void TScaleForm::FillValueList(int index) {
    {
        const TUpdating guard(updating_);
        value_list_->clear();
        if (edit_) {
            const TMivoDiscreteScale& scale = edit_->Scale();
            QList<QTreeWidgetItem*> items;
            items.reserve(scale.Count());
            for (int i = 0; i < scale.Count(); ++i) {
                auto* row = new QTreeWidgetItem({Q(scale.ValueName(i)), Q(scale.ValueDescription(i))});
                row->setFlags(row->flags() | Qt::ItemIsEditable);
                items.push_back(row);
            }
            value_list_->addTopLevelItems(items);
        }
    }
    UpdateValueClasses();
    SelectRow(index);
    value_list_->setFocus();
    UpdateControls();
}

void TScaleForm::UpdateValueClasses() {
    if (!edit_) return;
    const TUpdating guard(updating_);
    const TMivoDiscreteScale& scale = edit_->Scale();
    for (int i = 0; i < value_list_->topLevelItemCount(); ++i)
        value_list_->topLevelItem(i)->setIcon(0, ClassIcon(ClassOf(scale, i)));
}

void TScaleForm::SelectRow(int index) {
    const TUpdating guard(updating_);
    QTreeWidgetItem* row = index >= 0 ? value_list_->topLevelItem(index) : nullptr;
    if (row) {
        value_list_->setCurrentItem(row);
        row->setSelected(true);
    } else {
        value_list_->clearSelection();
        value_list_->setCurrentItem(nullptr);
    }
}

void TScaleForm::UpdateControls() {
    const TUpdating guard(updating_);
    const int k = CurrentValueIndex();
    const int n = edit_ ? edit_->Count() : 0;
    const bool ordered = edit_ && edit_->Scale().IsOrdered();
    const bool current = k >= 0;
    const auto enable = [](QPushButton* button, QAction* action, bool on) {
        if (button) button->setEnabled(on);
        if (action) action->setEnabled(on);
    };
    // A scale takes at most MaxScaleValues values; the editor never takes it
    // below two.
    enable(add_btn_, add_item_, edit_ && edit_->CanAdd());
    enable(del_btn_, del_item_, current && n > 2);
    enable(edit_btn_, edit_item_, current);
    enable(nullptr, rename_item_, current);
    enable(bad_btn_, bad_item_, current && ordered);
    enable(neutral_btn_, neutral_item_, current && ordered);
    enable(good_btn_, good_item_, current && ordered);
    enable(up_btn_, up_item_, k >= 1 && k < n);
    enable(down_btn_, down_item_, k >= 0 && k < n - 1);
    ok_btn_->setEnabled(n >= 2);
    interval_item_->setEnabled(edit_ != nullptr);
    interval_item_->setChecked(edit_ && edit_->Scale().Interval);
}

void TScaleForm::CommitNameEdit() { name_delegate_->CommitOpenEditor(); }

void TScaleForm::StartNameEdit(int index) {
    if (QTreeWidgetItem* row = value_list_->topLevelItem(index)) {
        SelectRow(index);
        value_list_->editItem(row, 0);
    }
}

// ---------------------------------------------------------------------------
// Handlers

bool TScaleForm::ParentTableMayGrow() {
    if (!edit_->ParentTable()) return true;
    const auto rules = static_cast<int>(edit_->ParentRulesAfterAdd());
    const std::string parent = edit_->Attribute().Parent()->GetName();
    switch (CheckTableSize(rules)) {
        case TTableSize::Accepted:
            return true;
        case TTableSize::Large:
            // Asked once per dialog, when the table first passes the mark.
            if (large_table_accepted_) return true;
            if (prompts_.Message(TMsgKind::Warning, Format(SLargeTable, rules, parent), TMsgButtons::YesNo) !=
                TMsgAnswer::Yes)
                return false;
            large_table_accepted_ = true;
            return true;
        case TTableSize::TooLarge:
            ShowError(prompts_, Format(STooLargeTable, rules, parent));
            return false;
    }
    return false;
}

void TScaleForm::SclAddBtnClick() {
    if (updating_ || !edit_) return;
    CommitNameEdit();
    if (!edit_->CanAdd()) return;
    if (!ParentTableMayGrow()) return;
    const int i = CurrentValueIndex() + 1;
    edit_->InsertValue(i);
    FillValueList(i);
    StartNameEdit(i);
}

void TScaleForm::SclDelBtnClick() {
    if (!updating_) CommitNameEdit();
    const int k = CurrentValueIndex();
    if (updating_ || k < 0 || edit_->Count() <= 2) return;
    edit_->DeleteValue(k);
    FillValueList(std::min(k, edit_->Count() - 1));
}

void TScaleForm::SclEditBtnClick() {
    if (!updating_) CommitNameEdit();
    const int k = CurrentValueIndex();
    if (updating_ || k < 0) return;
    const TMivoDiscreteScale& scale = edit_->Scale();
    TNameDescEditForm form(prompts_, this);
    form.Load(Format((std::string(SEditing) + " %d. " + SAttributeValue + " %s").c_str(), k + 1,
                     edit_->Attribute().GetName()),
              scale.ValueName(k), scale.ValueDescription(k));
    form.SetNameCheck([this, k](const std::string& name) { return ValueNameProblem(edit_->Scale(), k, name); });
    if (prompts_.Exec(form, "NameDescEdit") != QDialog::Accepted) return;
    edit_->SetValueName(k, form.Name());
    edit_->SetValueDescription(k, form.Description());
    FillValueList(k);
}

void TScaleForm::RenameValueClick() {
    const int k = CurrentValueIndex();
    if (updating_ || k < 0) return;
    StartNameEdit(k);
}

void TScaleForm::ValueListEdited(QTreeWidgetItem* item, int column) {
    if (updating_ || !edit_ || column != 0) return;
    const int k = value_list_->indexOfTopLevelItem(item);
    if (k < 0) return;
    const std::string typed = item->text(0).toStdString();
    const std::string name = BlankBreaks(typed);
    if (name == edit_->Scale().ValueName(k)) {
        if (name != typed) {
            const TUpdating guard(updating_);
            item->setText(0, Q(name));
        }
        return;
    }
    const std::string problem = ValueNameProblem(edit_->Scale(), k, name);
    const TUpdating guard(updating_);
    if (!problem.empty()) {
        item->setText(0, Q(edit_->Scale().ValueName(k)));  // the old name stays
        ShowError(prompts_, problem);
        return;
    }
    edit_->SetValueName(k, name);
    if (name != typed) item->setText(0, Q(name));
}

void TScaleForm::MarkCurrent(void (TScaleEdit::*mark)(int)) {
    const int k = CurrentValueIndex();
    if (updating_ || k < 0) return;
    (edit_.get()->*mark)(k);
    UpdateValueClasses();
    UpdateControls();
}

void TScaleForm::SclBadBtnClick() { MarkCurrent(&TScaleEdit::MarkBad); }

void TScaleForm::SclNeutrBtnClick() { MarkCurrent(&TScaleEdit::MarkNeutral); }

void TScaleForm::SclGoodBtnClick() { MarkCurrent(&TScaleEdit::MarkGood); }

void TScaleForm::SclUpBtnClick() {
    if (!updating_) CommitNameEdit();
    const int k = CurrentValueIndex();
    if (updating_ || k < 1) return;
    edit_->MoveValueUp(k);
    FillValueList(k - 1);
}

void TScaleForm::SclDnBtnClick() {
    if (!updating_) CommitNameEdit();
    const int k = CurrentValueIndex();
    if (updating_ || k < 0 || k >= edit_->Count() - 1) return;
    edit_->MoveValueDown(k);
    FillValueList(k + 1);
}

void TScaleForm::IntervalItemClick() {
    if (updating_ || !edit_) return;
    edit_->SetInterval(interval_item_->isChecked());
    UpdateControls();
}

void TScaleForm::OrderEditChange(int index) {
    if (updating_ || !edit_ || index < 0 || index == edit_->Scale().Order) return;
    CommitNameEdit();
    edit_->SetOrder(static_cast<std::uint8_t>(index));
    FillValueList(CurrentValueIndex());
}

void TScaleForm::accept() {
    Guarded([&] {
        // An open in-place edit is taken first, as the user sees it.
        CommitNameEdit();
        if (!edit_ || edit_->Count() < 2) return;
        if (const auto repeated = RepeatedValueName(edit_->Scale())) {
            ShowError(prompts_, Format(SValueNamesRepeated, *repeated));
            return;
        }
        default_chosen_ = std_scale_->isChecked();
        QDialog::accept();
    });
}

void TScaleForm::reject() {
    edit_.reset();
    FillValueList(-1);
    QDialog::reject();
}

void TScaleForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (edit_ && edit_->Count() == 1) QTimer::singleShot(0, this, [this] { StartNameEdit(0); });
}

}  // namespace mivo
