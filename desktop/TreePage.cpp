// The Model page: the attribute tree and its commands.

#include "desktop/TreePage.h"

#include <utility>
#include <vector>

#include <QComboBox>
#include <QCoreApplication>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "desktop/EvalPage.h"
#include "desktop/FindForm.h"
#include "desktop/FunctForm.h"
#include "desktop/MainForm.h"
#include "desktop/ModelForm.h"
#include "desktop/NodeImages.h"
#include "desktop/ScaleForm.h"
#include "desktop/TreeFill.h"
#include "desktop/UndoCommands.h"
#include "platform/ErrorDisplay.h"
#include "platform/Prompts.h"
#include "model/Find.h"
#include "model/MivoAttribute.h"
#include "model/MivoFile.h"
#include "model/MivoFunction.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "model/MivoStr.h"
#include "model/RuleAdjust.h"
#include "model/RunTime.h"
#include "model/ScaleEdit.h"
#include "model/TreeEdit.h"

namespace mivo {

namespace {

// Questions of the commands ("\r" breaks the line).
constexpr const char* SAddDeletesFunction =
    "Adding a new attribute will delete the function \"%s\".\rDo you still want to add a new attribute?";
constexpr const char* SDeleteBasic = "Do you want to delete basic attribute \"%s\"?";
constexpr const char* SDeleteParentFunction = "This will also delete the utility function of attribute \"%s\".";
constexpr const char* SDeleteSubtree = "Do you want to delete subtree \"%s\"?";
constexpr const char* SDeleteOwnFunction = "This will also delete the utility function of the attribute.";
constexpr const char* SCutDeletesFunction =
    "Cutting this subtree will delete the function \"%s\".\rDo you still want to cut the subtree?";
constexpr const char* SPasteDeletesFunction =
    "Pasting this subtree will delete the function \"%s\".\rDo you still want to paste the subtree?";
constexpr const char* SMoveDeletesFunction =
    "Moving this subtree will delete the function \"%s\".\rDo you still want to move the subtree?";
constexpr const char* SMoveDeletesFunctions =
    "Moving this subtree will delete the functions \"%s\" and \"%s\".\rDo you still want to move the subtree?";
constexpr const char* SScaleDeletesFunction =
    "Removing the scale will delete the function \"%s\".\rDo you still want to remove the scale?";
constexpr const char* SScaleDeletesFunctions =
    "Removing the scale will delete the functions \"%s\" and \"%s\".\rDo you still want to remove the scale?";

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The node's siblings: its parent's children, or the top-level items.
int IndexAmongSiblings(const QTreeWidget& tree, QTreeWidgetItem* node) {
    return node->parent() ? node->parent()->indexOfChild(node) : tree.indexOfTopLevelItem(node);
}

// The nodes below `node` (itself included) that are expanded.
std::vector<QTreeWidgetItem*> ExpandedNodes(QTreeWidgetItem* node) {
    std::vector<QTreeWidgetItem*> expanded;
    std::vector<QTreeWidgetItem*> pending{node};
    while (!pending.empty()) {
        QTreeWidgetItem* item = pending.back();
        pending.pop_back();
        if (item->isExpanded()) expanded.push_back(item);
        for (int i = 0; i < item->childCount(); ++i) pending.push_back(item->child(i));
    }
    return expanded;
}

// The visible nodes (all ancestors expanded) with their levels (top 0).
template <class Visit>
void ForEachVisibleNode(const QTreeWidget& tree, Visit&& visit) {
    std::vector<std::pair<QTreeWidgetItem*, int>> pending;
    for (int i = tree.topLevelItemCount() - 1; i >= 0; --i) pending.emplace_back(tree.topLevelItem(i), 0);
    while (!pending.empty()) {
        const auto [node, level] = pending.back();
        pending.pop_back();
        visit(node, level);
        if (node->isExpanded())
            for (int i = node->childCount() - 1; i >= 0; --i) pending.emplace_back(node->child(i), level + 1);
    }
}

}  // namespace

TDropCheck CheckDrop(const TMivoAttribute* root, const TMivoAttribute* dragged, const TMivoAttribute* target) {
    if (!dragged || !dragged->Parent()) return TDropCheck::NoSource;
    if (target == dragged || (target && target->HasAncestor(dragged))) return TDropCheck::OntoItself;
    const TMivoAttribute* parent = dragged->Parent();
    if (target && target == parent) {
        const bool single = parent->InpCount() == 1;
        const bool scalesAgree = !parent->Scale() || !dragged->Scale() ||
                                 parent->Scale()->EqualStructure(dragged->Scale());
        return single && scalesAgree && parent != root ? TDropCheck::Accepted : TDropCheck::OwnParent;
    }
    if (!FitsDepth(target ? *target : *root, *dragged)) return TDropCheck::TooDeep;
    return TDropCheck::Accepted;
}

// ---------------------------------------------------------------------------

// Hands the events of the watched widgets to the page.
class TTreePage::TEvents : public QObject {
public:
    explicit TEvents(TTreePage& page) : page_(page) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override { return page_.FilterEvent(watched, event); }

private:
    TTreePage& page_;
};

TTreePage::TTreePage(TModelForm& form)
    : TFramePage(form, TModelPage::Model, QStringLiteral("&Model"), TUndoKind::Model),
      events_(std::make_unique<TEvents>(*this)) {
    BuildControls();
    BuildCommands();
    Form().State().TreeDepths = [this] { return TreeDepths(); };
    RebuildIndex();
}

TTreePage::~TTreePage() {
    Form().State().TreeDepths = nullptr;
    ModTreeView()->viewport()->removeEventFilter(events_.get());
    for (QLineEdit* edit : {name_edit_, desc_edit_, fnc_desc_edit_, fnc_edit_}) edit->removeEventFilter(events_.get());
}

QTreeWidget* TTreePage::ModTreeView() const { return Form().ModTreeView(); }

void TTreePage::BuildControls() {
    QTreeWidget* tree = ModTreeView();
    InstallNodeImages(*tree);
    tree->setDragEnabled(true);
    tree->setDragDropMode(QAbstractItemView::DragDrop);
    tree->setDefaultDropAction(Qt::CopyAction);
    tree->viewport()->setAcceptDrops(true);
    tree->viewport()->installEventFilter(events_.get());
    tree->setMouseTracking(true);
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    // Whole rows stay visibly selected when the focus is elsewhere.
    QPalette palette = tree->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    tree->setPalette(palette);
    QObject::connect(tree, &QTreeWidget::itemEntered, tree, [this](QTreeWidgetItem* item) {
        const TMivoAttribute* a = NodeAttribute(item);
        ShowStatusTip(a ? Q(a->GetDescription()) : QString());
    });
    QObject::connect(tree, &QAbstractItemView::viewportEntered, tree, [this] { ShowStatusTip(QString()); });
    QObject::connect(tree, &QWidget::customContextMenuRequested, tree, [this, tree](const QPoint& at) {
        if (QMenu* popup = Popup()) popup->popup(tree->viewport()->mapToGlobal(at));
    });

    auto* panel = new QWidget;
    auto* column = new QVBoxLayout(panel);

    auto* atr_box = new QGroupBox(QObject::tr("Attribute"), panel);
    auto* atr_form = new QFormLayout(atr_box);
    name_edit_ = new QLineEdit(atr_box);
    name_edit_->setObjectName("AtrNameEdit");
    desc_edit_ = new QLineEdit(atr_box);
    desc_edit_->setObjectName("AtrDescEdit");
    atr_form->addRow(QObject::tr("&Name"), name_edit_);
    atr_form->addRow(QObject::tr("&Description"), desc_edit_);

    auto* scale_box = new QGroupBox(QObject::tr("Scale"), panel);
    auto* scale_row = new QHBoxLayout(scale_box);
    scale_btn_ = new QPushButton(QObject::tr("&Scale..."), scale_box);
    scale_btn_->setObjectName("ModScaleBtn");
    scale_btn_->setToolTip(QObject::tr("Edit the scale"));
    scale_edit_ = new QComboBox(scale_box);
    scale_edit_->setObjectName("AtrScaleEdit");
    scale_edit_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    scale_edit_->setMinimumContentsLength(20);
    scale_row->addWidget(scale_btn_);
    scale_row->addWidget(scale_edit_, 1);

    fnc_box_ = new QGroupBox(QObject::tr("Utility function"), panel);
    auto* fnc_form = new QFormLayout(fnc_box_);
    fnc_btn_ = new QPushButton(QObject::tr("&Function..."), fnc_box_);
    fnc_btn_->setObjectName("ModFncBtn");
    fnc_edit_ = new QLineEdit(fnc_box_);
    fnc_edit_->setObjectName("AtrFncEdit");
    fnc_edit_->setReadOnly(true);
    fnc_desc_edit_ = new QLineEdit(fnc_box_);
    fnc_desc_edit_->setObjectName("FncDescEdit");
    fnc_form->addRow(fnc_btn_, fnc_edit_);
    fnc_form->addRow(QObject::tr("D&escription"), fnc_desc_edit_);

    column->addWidget(atr_box);
    column->addWidget(scale_box);
    column->addWidget(fnc_box_);
    column->addStretch(1);

    splitter_ = new QSplitter(Qt::Horizontal);
    splitter_->addWidget(tree);
    splitter_->addWidget(panel);
    // A drag that widens the tree stops while the attribute panel keeps
    // more than 200 pixels; neither side collapses.
    panel->setMinimumWidth(MinAttributePanelWidth);
    splitter_->setChildrenCollapsible(false);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 1);
    tree->show();
    SetContent(splitter_);

    const auto guard = [](auto handler) { return [handler](auto&&... args) { Guarded([&] { handler(args...); }); }; };
    QObject::connect(name_edit_, &QLineEdit::textEdited, name_edit_,
                     guard([this](const QString& text) { AtrNameEditChange(text); }));
    QObject::connect(desc_edit_, &QLineEdit::textEdited, desc_edit_,
                     guard([this](const QString& text) { AtrDescEditChange(text); }));
    QObject::connect(fnc_desc_edit_, &QLineEdit::textEdited, fnc_desc_edit_,
                     guard([this](const QString& text) { FncDescEditChange(text); }));
    QObject::connect(scale_btn_, &QPushButton::clicked, scale_btn_, [this] { Guarded([this] { ModScaleBtnClick(); }); });
    QObject::connect(fnc_btn_, &QPushButton::clicked, fnc_btn_, [this] { Guarded([this] { ModFncBtnClick(); }); });
    QObject::connect(scale_edit_, &QComboBox::activated, scale_edit_,
                     guard([this](int index) { AtrScaleEditChange(index); }));
    // Entering and leaving the three edits brackets one undo point.
    for (QLineEdit* edit : {name_edit_, desc_edit_, fnc_desc_edit_, fnc_edit_}) edit->installEventFilter(events_.get());
}

void TTreePage::BuildCommands() {
    struct TCommand {
        TCommandId Id;
        const char* Button;  // tool button caption
        const char* Hint;
        const char* Item;    // page-menu caption
        const char* Pop;     // popup caption (nullptr: none)
        void (TTreePage::*Handler)();
        QKeySequence Key = {};  // of the page-menu item
    };
    const TCommand commands[] = {
        {TCommandId::ModAdd, "Add", "Add|Add a new attribute", "&Add Attribute", "&Add attribute",
         &TTreePage::ModAddBtnClick, QKeySequence(Qt::CTRL | Qt::Key_Insert)},
        {TCommandId::ModDel, "Delete", "Delete|Delete subtree or item", "D&elete subtree or item",
         "D&elete subtree or item", &TTreePage::ModDelBtnClick, QKeySequence(Qt::CTRL | Qt::Key_Delete)},
        {TCommandId::ModCut, "Cut", "Cut|Cut subtree", "Cu&t", "Cu&t",
         &TTreePage::ModCutBtnClick, QKeySequence(Qt::CTRL | Qt::Key_X)},
        {TCommandId::ModCopy, "Copy", "Copy|Copy subtree", "&Copy", "&Copy",
         &TTreePage::ModCopyBtnClick, QKeySequence(Qt::CTRL | Qt::Key_C)},
        {TCommandId::ModPaste, "Paste", "Paste|Paste subtree", "&Paste", "&Paste",
         &TTreePage::ModPasteBtnClick, QKeySequence(Qt::CTRL | Qt::Key_V)},
        {TCommandId::ModDup, "Duplicate", "Duplicate|Duplicate subtree", "&Duplicate", "&Duplicate",
         &TTreePage::ModDupBtnClick, QKeySequence(Qt::CTRL | Qt::Key_2)},
        {TCommandId::ModUp, "Up", "Move up|Move attribute up", "Move up", "Move &up",
         &TTreePage::ModUpBtnClick, QKeySequence(Qt::CTRL | Qt::Key_Up)},
        {TCommandId::ModDn, "Down", "Move down|Move attribute down", "Move down", "Move do&wn",
         &TTreePage::ModDnBtnClick, QKeySequence(Qt::CTRL | Qt::Key_Down)},
        {TCommandId::ModFnc, "Function", "Utility function|Edit the utility function", "&Utility function...",
         nullptr, &TTreePage::ModFncBtnClick, QKeySequence(Qt::CTRL | Qt::Key_F)},
        {TCommandId::ModDelFnc, nullptr, "Delete function|Delete the utility function", "Delete function",
         nullptr, &TTreePage::ModDelFncItemClick},
        {TCommandId::ModDelScale, nullptr, "Delete scale|Delete the scale", "De&lete scale", nullptr,
         &TTreePage::ModDelScaleItemClick},
        {TCommandId::ModCollapse, "Shrink", "Shrink tree|Shrink tree by one level", "Shrink tree", "Shrink tree",
         &TTreePage::CollapseClick},
        {TCommandId::ModExpand, "Expand", "Expand tree|Expand tree by one level", "Expand tree", "Expand tree",
         &TTreePage::ExpandClick},
    };
    EnsurePopup();
    for (const TCommand& c : commands) {
        const auto handler = [this, h = c.Handler] { (this->*h)(); };
        if (c.Button) AddButton(c.Id, QObject::tr(c.Button), QObject::tr(c.Hint), handler);
        AddItem(c.Id, QObject::tr(c.Item), QObject::tr(c.Hint), c.Key, handler);
        if (c.Pop) AddPopupItem(c.Id, QObject::tr(c.Pop), QObject::tr(c.Hint), handler);
        if (c.Id == TCommandId::ModFnc) {
            // The scale editor's item sits next to it; its button is in the scale box.
            QAction* scale = Menu()->addAction(QObject::tr("&Scale..."));
            scale->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
            scale->setStatusTip(QObject::tr("Edit the scale"));
            QObject::connect(scale, &QAction::triggered, scale, [this] { Guarded([this] { ModScaleBtnClick(); }); });
        }
    }
    const QString findHint = QObject::tr("Find|Find an attribute");
    const QString nextHint = QObject::tr("Find next|Find the next attribute");
    const auto find = [this] { ModFindItemClick(); };
    const auto findNext = [this] { ModFindNextItemClick(); };
    AddItem(TCommandId::ModFind, QObject::tr("Find..."), findHint, QKeySequence(Qt::CTRL | Qt::Key_F3), find);
    AddPopupItem(TCommandId::ModFind, QObject::tr("Find..."), findHint, find);
    AddItem(TCommandId::FindNext, QObject::tr("Find next"), nextHint, QKeySequence(Qt::Key_F3), findNext);
    AddPopupItem(TCommandId::FindNext, QObject::tr("Find next"), nextHint, findNext);
}

// ---------------------------------------------------------------------------
// Nodes

void TTreePage::IndexSubtree(QTreeWidgetItem* node) {
    std::vector<QTreeWidgetItem*> pending{node};
    while (!pending.empty()) {
        QTreeWidgetItem* item = pending.back();
        pending.pop_back();
        if (const TMivoAttribute* a = NodeAttribute(item)) nodes_[a] = item;
        for (int i = 0; i < item->childCount(); ++i) pending.push_back(item->child(i));
    }
}

void TTreePage::UnindexSubtree(QTreeWidgetItem* node) {
    std::vector<QTreeWidgetItem*> pending{node};
    while (!pending.empty()) {
        QTreeWidgetItem* item = pending.back();
        pending.pop_back();
        if (const TMivoAttribute* a = NodeAttribute(item)) {
            const auto it = nodes_.find(a);
            if (it != nodes_.end() && it->second == item) nodes_.erase(it);
        }
        for (int i = 0; i < item->childCount(); ++i) pending.push_back(item->child(i));
    }
}

void TTreePage::RebuildIndex() {
    nodes_.clear();
    const QTreeWidget* tree = ModTreeView();
    for (int i = 0; i < tree->topLevelItemCount(); ++i) IndexSubtree(tree->topLevelItem(i));
}

void TTreePage::DeleteNode(QTreeWidgetItem* node) {
    if (!node) return;
    UnindexSubtree(node);
    const QSignalBlocker blocker(ModTreeView());
    delete node;
}

QTreeWidgetItem* TTreePage::AddNodes(TMivoAttribute* attribute, QTreeWidgetItem* parent) {
    const QSignalBlocker blocker(ModTreeView());
    QTreeWidgetItem* node = AddSubtreeNodes(*ModTreeView(), attribute, parent);
    IndexSubtree(node);
    return node;
}

void TTreePage::ModFindItemClick() {
    if (FindDialog(Form().Main()).Execute(Form().Prompts()) == DialogOk) ModFindNextItemClick();
    Form().UpdateControls();
}

void TTreePage::ModFindNextItemClick() {
    const TMivoAttribute* selected = Form().State().CurrentAttribute();
    if (selected == nullptr) return;
    // Every node in tree order, collapsed ones included.
    const std::vector<TMivoAttribute*> preorder = Form().Model().Attributes();
    if (TMivoAttribute* found = FindNextAttribute(FindDialog(Form().Main()).Search(), preorder, selected))
        SelectNode(found);
    Form().UpdateControls();
}

QTreeWidgetItem* TTreePage::NodeOf(const TMivoAttribute* attribute) const {
    const auto it = nodes_.find(attribute);
    return it == nodes_.end() ? nullptr : it->second;
}

void TTreePage::SelectNode(const TMivoAttribute* attribute) {
    QTreeWidget* tree = ModTreeView();
    QTreeWidgetItem* node = NodeOf(attribute);
    {
        const QSignalBlocker blocker(tree);
        tree->setCurrentItem(node);
        if (node) {
            node->setSelected(true);
            tree->scrollToItem(node);
        }
    }
    Form().State().SetCurrentAttribute(NodeAttribute(node));
}

void TTreePage::ClearTree() { nodes_.clear(); }

void TTreePage::ModelReplaced() { RebuildIndex(); }

void TTreePage::Fill() {
    if (nodes_.empty()) RebuildIndex();
}

TModelWindowState::TTreeDepths TTreePage::TreeDepths() const {
    int collapsed = -1;
    int open = -1;
    ForEachVisibleNode(*ModTreeView(), [&](QTreeWidgetItem* node, int level) {
        const bool children = node->childCount() > 0;
        if (children && !node->isExpanded()) {
            if (collapsed < 0 || level < collapsed) collapsed = level;
        } else if (level > open) {
            open = level;
        }
    });
    return {collapsed, std::max(open, 0)};
}

// ---------------------------------------------------------------------------
// Helpers of the commands

void TTreePage::Commit(bool structure) {
    TModelWindowState& state = Form().State();
    if (structure) state.StructureChanged();
    Form().Model().Changed();
    Form().Undo().PushModelUndo();
    // With undo on, the push has refreshed the window already.
    if (!Form().Model().Undoing()) Form().UpdateControls();
}

void TTreePage::SelectParentOrFirst(TMivoAttribute* parent) {
    TMivoModel& model = Form().Model();
    if (parent && parent != model.Root() && NodeOf(parent))
        SelectNode(parent);
    else
        SelectNode(model.FirstAttribute());
}

void TTreePage::ForgetDefaultScale(const TMivoScale* scale) {
    TMivoModel& model = Form().Model();
    if (scale && model.Selected() == scale) model.SetSelected(nullptr);
}

void TTreePage::ForgetDefaultScaleIn(const TMivoAttribute& subtree) {
    TMivoModel& model = Form().Model();
    const TMivoObject* selected = model.Selected();
    if (!selected) return;
    std::vector<const TMivoAttribute*> pending{&subtree};
    while (!pending.empty()) {
        const TMivoAttribute* a = pending.back();
        pending.pop_back();
        if (a->Scale() == selected) {
            model.SetSelected(nullptr);
            return;
        }
        for (int i = 0; i < a->InpCount(); ++i) pending.push_back(a->Inputs(i));
    }
}

bool TTreePage::Ask(const std::string& text) { return Confirm(Form().Prompts(), text); }

bool TTreePage::NewTableAccepted(const TMivoAttribute& attribute) {
    const int rules = attribute.FunctionSize();
    switch (CheckTableSize(rules)) {
        case TTableSize::Accepted:
            return true;
        case TTableSize::Large:
            return Form().Prompts().Message(TMsgKind::Warning, Format(SLargeTable, rules, attribute.GetName()),
                                            TMsgButtons::YesNo) == TMsgAnswer::Yes;
        case TTableSize::TooLarge:
            ShowError(Form().Prompts(), Format(STooLargeTable, rules, attribute.GetName()));
            return false;
    }
    return false;
}

void TTreePage::MoveNode(QTreeWidgetItem* node, int index) {
    QTreeWidget* tree = ModTreeView();
    const QSignalBlocker blocker(tree);
    const std::vector<QTreeWidgetItem*> expanded = ExpandedNodes(node);
    QTreeWidgetItem* parent = node->parent();
    if (parent) {
        parent->takeChild(parent->indexOfChild(node));
        parent->insertChild(index, node);
    } else {
        tree->takeTopLevelItem(tree->indexOfTopLevelItem(node));
        tree->insertTopLevelItem(index, node);
    }
    for (QTreeWidgetItem* item : expanded) item->setExpanded(true);
}

void TTreePage::ShowStatusTip(const QString& text) {
    QStatusTipEvent tip(text);
    QCoreApplication::sendEvent(ModTreeView(), &tip);
}

// ---------------------------------------------------------------------------
// Commands

void TTreePage::ModAddBtnClick() {
    TMivoModel& model = Form().Model();
    TMivoAttribute* c = Form().CurrentObject();
    if (!c) return;
    if (c->Level() + 1 > MaxAttributeLevel) {
        ShowError(Form().Prompts(), Format(STreeTooDeep, c->Level() + 1, MaxAttributeLevel));
        return;
    }
    if (c->Funct() && !Ask(Format(SAddDeletesFunction, c->GetName()))) return;
    auto attribute = std::make_unique<TMivoAttribute>(SNewAttribute);
    if (const auto* standard = dynamic_cast<const TMivoScale*>(model.Selected())) {
        auto scale = std::make_unique<TMivoDiscreteScale>();
        scale->Assign(standard);
        attribute->SetScale(std::move(scale));
    }
    c->SetFunct(nullptr);
    TMivoAttribute* added = c->AddInput(std::move(attribute));
    AddNodes(added, NodeOf(c));
    Form().State().StructureChanged();
    SelectNode(added);
    Commit(false);
    name_edit_->setFocus();
    name_edit_->selectAll();
}

void TTreePage::ModDelBtnClick() {
    TMivoAttribute* c = Form().CurrentObject();
    if (!c || !c->Parent()) return;
    if (c->IsBasic()) {
        TMivoAttribute* p = c->Parent();
        std::string text = Format(SDeleteBasic, c->GetName());
        if (p->Funct()) text += "\r" + Format(SDeleteParentFunction, p->GetName());
        if (!Ask(text)) return;
        ForgetDefaultScaleIn(*c);
        p->SetFunct(nullptr);
        DeleteNode(NodeOf(c));
        p->DeleteInput(c);
        Form().State().StructureChanged();
        SelectParentOrFirst(p);
    } else {
        std::string text = Format(SDeleteSubtree, c->GetName());
        if (c->Funct()) text += std::string("\r") + SDeleteOwnFunction;
        if (!Ask(text)) return;
        for (int i = 0; i < c->InpCount(); ++i) ForgetDefaultScaleIn(*c->Inputs(i));
        if (QTreeWidgetItem* node = NodeOf(c)) {
            const QSignalBlocker blocker(ModTreeView());
            for (QTreeWidgetItem* child : node->takeChildren()) {
                UnindexSubtree(child);
                delete child;
            }
        }
        c->FreeSubtree();
        Form().State().StructureChanged();
        SelectNode(c);
    }
    Commit(false);
}

void TTreePage::ModCutBtnClick() {
    TMivoModel& model = Form().Model();
    TMivoAttribute* c = Form().CurrentObject();
    if (!c || !c->Parent()) return;
    TMivoAttribute* p = c->Parent();
    // The only top attribute stays: a model without one takes no more.
    if (p == model.Root() && p->InpCount() == 1) return;
    Form().Main().CopySubtree(model, c);
    if (p->Funct() && !Ask(Format(SCutDeletesFunction, p->GetName()))) {
        Form().UpdateControls();
        return;
    }
    ForgetDefaultScaleIn(*c);
    DeleteNode(NodeOf(c));
    p->SetFunct(nullptr);
    p->DeleteInput(c);
    Form().State().StructureChanged();
    SelectParentOrFirst(p);
    Commit(false);
}

void TTreePage::ModCopyBtnClick() {
    TMivoAttribute* c = Form().CurrentObject();
    if (!c) return;
    Form().Main().CopySubtree(Form().Model(), c);
    Form().UpdateControls();
}

void TTreePage::ModPasteBtnClick() {
    TMivoModel& model = Form().Model();
    TMivoAttribute* c = Form().CurrentObject();
    const TMivoAttribute* held = Form().Main().SubtreeClipboard();
    if (!c || !held) return;
    if (!FitsDepth(*c, *held)) {
        ShowError(Form().Prompts(), Format(STreeTooDeep, LevelAsInput(*c, *held), MaxAttributeLevel));
        return;
    }
    // The copy is made before anything is asked or freed; a copy taken from
    // a model with more options brings no values for options to come.
    std::unique_ptr<TMivoAttribute> copy = DuplicateSubtree(model, held);
    if (!copy) return;
    CutValuesToOptions(*copy, model.OptionCount());
    if (c->Funct() && !Ask(Format(SPasteDeletesFunction, c->GetName()))) return;
    c->SetFunct(nullptr);
    TMivoAttribute* added = c->AddInput(std::move(copy));
    QTreeWidgetItem* node = NodeOf(c);
    AddNodes(added, node);
    if (node) node->setExpanded(true);
    Form().State().StructureChanged();
    SelectNode(added);
    Commit(false);
}

void TTreePage::ModDupBtnClick() {
    TMivoModel& model = Form().Model();
    TMivoAttribute* c = Form().CurrentObject();
    if (!c) return;
    std::unique_ptr<TMivoAttribute> copy = DuplicateSubtree(model, c);
    if (!copy) return;
    TMivoAttribute* added = model.Root()->AddInput(std::move(copy));
    AddNodes(added, nullptr);
    Form().State().StructureChanged();
    SelectNode(added);
    Commit(false);
}

void TTreePage::ModUpBtnClick() {
    TMivoAttribute* c = Form().CurrentObject();
    QTreeWidgetItem* node = NodeOf(c);
    if (!c || !node || !c->Parent()) return;
    TMivoAttribute* p = c->Parent();
    const int i = p->InputIndex(c);
    if (i < 1) return;
    p->MoveInputUp(i);
    if (p->Funct()) ExchangeArgs(*p->Funct(), i, i + 1);
    MoveNode(node, IndexAmongSiblings(*ModTreeView(), node) - 1);
    Form().State().StructureChanged();
    SelectNode(c);
    Commit(false);
}

void TTreePage::ModDnBtnClick() {
    TMivoAttribute* c = Form().CurrentObject();
    QTreeWidgetItem* node = NodeOf(c);
    if (!c || !node || !c->Parent()) return;
    TMivoAttribute* p = c->Parent();
    const int i = p->InputIndex(c);
    if (i < 0 || i >= p->InpCount() - 1) return;
    p->MoveInputDown(i);
    if (p->Funct()) ExchangeArgs(*p->Funct(), i + 1, i + 2);
    MoveNode(node, IndexAmongSiblings(*ModTreeView(), node) + 1);
    Form().State().StructureChanged();
    SelectNode(c);
    Commit(false);
}

void TTreePage::ModScaleBtnClick() {
    TMivoAttribute* c = Form().CurrentObject();
    if (!c) return;
    TMivoModel& model = Form().Model();
    TScaleForm form(Form().Prompts(), &Form());
    if (!scale_form_geometry_.isEmpty()) form.restoreGeometry(scale_form_geometry_);
    form.LoadAttribute(*c, model.Selected());
    const int result = Form().Prompts().Exec(form, "ScaleEditor");
    scale_form_geometry_ = form.saveGeometry();
    if (result == QDialog::Accepted) {
        form.Apply(model);
        Commit(false);
    } else {
        Form().UpdateControls();
    }
}

void TTreePage::AtrScaleEditChange(int index) {
    TModelWindowState& state = Form().State();
    TMivoAttribute* c = Form().CurrentObject();
    if (state.Updating() || !c || index < 0) return;
    auto* chosen = reinterpret_cast<TMivoScale*>(scale_edit_->itemData(index).value<quintptr>());
    if (chosen == c->Scale()) return;
    TMivoAttribute* p = c->Parent();
    if (!chosen) {
        // Without a scale neither table can stay: ask first.
        TMivoFunction* own = c->Funct();
        TMivoFunction* parents = p ? p->Funct() : nullptr;
        const std::string question = own && parents ? Format(SScaleDeletesFunctions, c->GetName(), p->GetName())
                                     : own          ? Format(SScaleDeletesFunction, c->GetName())
                                     : parents      ? Format(SScaleDeletesFunction, p->GetName())
                                                    : std::string();
        if (!question.empty() && !Ask(question)) {
            Form().UpdateControls();  // the box shows the scale again
            return;
        }
    }
    std::unique_ptr<TMivoDiscreteScale> scale;
    if (chosen) {
        scale = std::make_unique<TMivoDiscreteScale>();
        scale->Assign(chosen);
    }
    ForgetDefaultScale(c->Scale());
    const int count = scale ? scale->Count() : 0;
    c->SetScale(std::move(scale));
    if (chosen) {
        // Values the smaller scale no longer has go.
        ClipValues(*c, count);
    } else {
        c->SetFunct(nullptr);
        c->SetValues(TValueStrings());
        if (p && p != Form().Model().Root()) {
            p->SetFunct(nullptr);
            p->SetValues(TValueStrings());
        }
    }
    Commit(false);
}

void TTreePage::ModDelScaleItemClick() {
    if (Form().State().Updating() || !Form().CurrentObject()) return;
    {
        const QSignalBlocker blocker(scale_edit_);
        scale_edit_->setCurrentIndex(0);
    }
    AtrScaleEditChange(0);
}

void TTreePage::ModFncBtnClick() {
    TMivoModel& model = Form().Model();
    TMivoAttribute* c = Form().CurrentObject();
    if (!c || c->IsBasic()) return;
    // A table made here for the editor goes again unless the editor's OK
    // replaces it, on every path.
    struct TMadeTable {
        TMivoAttribute* Owner = nullptr;
        ~TMadeTable() {
            if (Owner) Owner->SetFunct(nullptr);
        }
    } made;
    if (!c->Funct()) {
        if (!c->CanHaveFunction() || !NewTableAccepted(*c)) return;
        if (!c->CreateFunction()) return;
        made.Owner = c;
    }
    TMainForm& main = Form().Main();
    const TFunctServices services{main.Clipboard(), Form().Prompts(), main.ReportService(), main.Help()};
    TFunctForm editor(model, services, &Form());
    editor.LoadAttribute(*c);
    if (editor.Run() == QDialog::Accepted) {
        c->SetFunct(editor.TakeFunct());
        made.Owner = nullptr;
        Commit(false);
    } else if (made.Owner) {
        // The table made above goes before the refresh.
        made.Owner->SetFunct(nullptr);
        made.Owner = nullptr;
        Form().UpdateControls();
    } else {
        Form().UpdateControls();
    }
}

void TTreePage::ModDelFncItemClick() {
    TMivoAttribute* c = Form().CurrentObject();
    if (Form().State().Updating() || !c || !c->Funct()) return;
    c->SetFunct(nullptr);
    Commit(false);
}

void TTreePage::CollapseClick() {
    const int deepest = TreeDepths().Open;
    if (deepest >= 1) {
        std::vector<QTreeWidgetItem*> collapse;
        ForEachVisibleNode(*ModTreeView(), [&](QTreeWidgetItem* node, int level) {
            if (level == deepest - 1 && node->isExpanded()) collapse.push_back(node);
        });
        for (QTreeWidgetItem* node : collapse) node->setExpanded(false);
    }
    Form().UpdateControls();
}

void TTreePage::ExpandClick() {
    const int shallowest = TreeDepths().Collapsed;
    if (shallowest >= 0) {
        std::vector<QTreeWidgetItem*> expand;
        ForEachVisibleNode(*ModTreeView(), [&](QTreeWidgetItem* node, int level) {
            if (level == shallowest && node->childCount() > 0 && !node->isExpanded()) expand.push_back(node);
        });
        for (QTreeWidgetItem* node : expand) node->setExpanded(true);
    }
    Form().UpdateControls();
}

void TTreePage::DropCurrentOn(TMivoAttribute* target) {
    TMivoModel& model = Form().Model();
    TMivoAttribute* c = Form().CurrentObject();
    const TDropCheck check = CheckDrop(model.Root(), c, target);
    if (check == TDropCheck::TooDeep)
        ShowError(Form().Prompts(),
                  Format(STreeTooDeep, LevelAsInput(target ? *target : *model.Root(), *c), MaxAttributeLevel));
    if (check != TDropCheck::Accepted) return;
    TMivoAttribute* p = c->Parent();
    const bool merge = target == p;
    // The tables that go: the target's and the parent's (once when they
    // are the same attribute).
    TMivoFunction* targets = target && !merge ? target->Funct() : nullptr;
    TMivoFunction* parents = p->Funct();
    std::string question;
    if (targets && parents)
        question = Format(SMoveDeletesFunctions, target->GetName(), p->GetName());
    else if (targets)
        question = Format(SMoveDeletesFunction, target->GetName());
    else if (parents)
        question = Format(SMoveDeletesFunction, p->GetName());
    if (!question.empty() && !Ask(question)) return;

    if (merge) {
        // The level goes: c takes its parent's place.
        QTreeWidgetItem* node = NodeOf(p);
        if (c->Scale()) ForgetDefaultScale(p->Scale());
        UnindexSubtree(node);
        TMivoAttribute* kept = model.RemoveSingleInputAggregate(p, c);
        MIVO_ASSERT(kept == c, "Merge of a level that cannot be merged");
        {
            const QSignalBlocker blocker(ModTreeView());
            FillSubtreeNodes(*node, kept);
        }
        IndexSubtree(node);
        Form().State().StructureChanged();
        SelectNode(kept);
    } else {
        if (target) target->SetFunct(nullptr);
        p->SetFunct(nullptr);
        DeleteNode(NodeOf(c));
        std::unique_ptr<TMivoAttribute> moved = p->ExtractInput(c);
        TMivoAttribute* home = target ? target : model.Root();
        home->AddInput(std::move(moved));
        QTreeWidgetItem* home_node = target ? NodeOf(target) : nullptr;
        AddNodes(c, home_node);
        if (home_node) home_node->setExpanded(true);
        Form().State().StructureChanged();
        SelectNode(c);
    }
    Commit(false);
}

// ---------------------------------------------------------------------------
// Edits

void TTreePage::AtrNameEditChange(const QString& text) {
    TMivoAttribute* c = Form().CurrentObject();
    if (Form().State().Updating() || !c) return;
    const std::string name = BlankBreaks(text.toStdString());
    c->SetName(name);
    if (QTreeWidgetItem* node = NodeOf(c)) node->setText(0, Q(name));
    if (Q(name) != text) {
        const int cursor = name_edit_->cursorPosition();
        name_edit_->setText(Q(name));
        name_edit_->setCursorPosition(cursor);
    }
    Form().Model().Changed();
    Form().UpdateControls();
}

void TTreePage::AtrDescEditChange(const QString& text) {
    TMivoAttribute* c = Form().CurrentObject();
    if (Form().State().Updating() || !c) return;
    c->SetDescription(text.toStdString());
    Form().Model().Changed();
    Form().UpdateControls();
}

void TTreePage::FncDescEditChange(const QString& text) {
    TMivoAttribute* c = Form().CurrentObject();
    if (Form().State().Updating() || !c || !c->Funct()) return;
    c->Funct()->SetDescription(text.toStdString());
    Form().Model().Changed();
    Form().UpdateControls();
}

// ---------------------------------------------------------------------------
// Refresh

void TTreePage::FillScaleBox(const TMivoAttribute* c) {
    const QSignalBlocker blocker(scale_edit_);
    scale_edit_->clear();
    TScaleEntryList entries;
    const TMivoAttribute* p = c ? c->Parent() : nullptr;
    // While a table depends on the scale only scales of its structure fit.
    const bool tied = c && (c->Funct() || (p && p->Funct()));
    ScaleListForEditor(Form().Model(), entries, c, tied ? c->Scale() : nullptr);
    int current = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        scale_edit_->addItem(Q(entries[i].Text), QVariant::fromValue(reinterpret_cast<quintptr>(entries[i].Scale)));
        if (c && c->Scale() && entries[i].Scale == c->Scale()) current = static_cast<int>(i);
    }
    scale_edit_->setCurrentIndex(current);
}

void TTreePage::Refresh() {
    const TMivoAttribute* c = Form().CurrentObject();
    const TCommandStates& commands = Form().Commands();
    const auto show = [](QLineEdit* edit, const std::string& text, bool enabled) {
        if (edit->text() != Q(text)) {
            edit->setText(Q(text));
            // A text put in from the model shows its start, not its end:
            // a long name reads from its beginning. Typing never gets here
            // (the edit already holds its text), so the cursor stays where
            // typing left it.
            edit->setCursorPosition(0);
        }
        edit->setEnabled(enabled);
    };
    show(name_edit_, c ? c->GetName() : std::string(), c != nullptr);
    show(desc_edit_, c ? c->GetDescription() : std::string(), c != nullptr);
    FillScaleBox(c);
    scale_edit_->setEnabled(commands.Enabled(TCommandId::AtrScaleEdit));
    fnc_box_->setVisible(commands.Visible(TCommandId::ModFncGroup));
    fnc_btn_->setEnabled(commands.Enabled(TCommandId::ModFnc));
    const TMivoFunction* funct = c ? c->Funct() : nullptr;
    show(fnc_edit_, funct ? funct->StatusText() : std::string(MivoStr::SUndefined),
         commands.Enabled(TCommandId::ModFnc));
    show(fnc_desc_edit_, funct ? funct->GetDescription() : std::string(),
         commands.Enabled(TCommandId::FncDescEdit));
}

// ---------------------------------------------------------------------------
// Events: the edits' undo brackets, the function box's click, dragging

bool TTreePage::DragAllowed(QObject* source, const QPoint& at, TMivoAttribute*& target) const {
    QTreeWidget* tree = ModTreeView();
    if (source != tree) return false;  // from another widget or window
    target = NodeAttribute(tree->itemAt(at));
    return CheckDrop(Form().Model().Root(), Form().CurrentObject(), target) == TDropCheck::Accepted;
}

bool TTreePage::FilterEvent(QObject* watched, QEvent* event) {
    QTreeWidget* tree = ModTreeView();
    if (watched == tree->viewport()) {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDragMoveEvent*>(event);
                TMivoAttribute* target = nullptr;
                if (DragAllowed(drag->source(), drag->position().toPoint(), target)) {
                    drag->setDropAction(Qt::CopyAction);
                    drag->accept();
                } else {
                    drag->ignore();
                }
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                TMivoAttribute* target = nullptr;
                const bool from_tree = drop->source() == tree;
                // The model changes here; Qt is told the data was copied, so
                // the view removes nothing itself.
                drop->setDropAction(Qt::CopyAction);
                drop->accept();
                if (from_tree) {
                    target = NodeAttribute(tree->itemAt(drop->position().toPoint()));
                    Guarded([&] { DropCurrentOn(target); });
                }
                return true;
            }
            default:
                return false;
        }
    }
    TModelForm& form = Form();
    if (event->type() == QEvent::FocusIn) {
        if (watched == name_edit_) form.Undo().AtrNameEditEnter();
        if (watched == desc_edit_) form.Undo().AtrDescEditEnter();
        if (watched == fnc_desc_edit_) form.Undo().FncDescEditEnter();
    } else if (event->type() == QEvent::FocusOut) {
        Guarded([&] {
            if (watched == name_edit_) form.Undo().AtrNameEditExit();
            if (watched == desc_edit_) form.Undo().AtrDescEditExit();
            if (watched == fnc_desc_edit_) form.Undo().FncDescEditExit();
        });
    } else if (event->type() == QEvent::MouseButtonRelease && watched == fnc_edit_) {
        Guarded([&] { ModFncBtnClick(); });
        return true;
    }
    return false;
}

}  // namespace mivo
