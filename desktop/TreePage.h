// The Model page of the model window: the attribute tree (the window's tree
// view) on the left, and on the right the attribute box (name and
// description), the scale box (the scale editor and the scale choice) and
// the utility-function box (the rule editor, the function's status and
// description). Every structural edit of the model goes through the
// commands of this page; they keep the tree's nodes in step with the model
// without refilling it.
//
// How the commands behave:
//   - each does first what can fail (copies, depth and size checks) and asks
//     before it frees a decision table, so a failure or a No leaves model
//     and tree as they were;
//   - an edit that adds, frees or moves attributes tells the window's state
//     (StructureChanged) before anything reads its attribute lists;
//   - no edit builds a tree deeper than MaxAttributeLevel, so every model
//     saves and reopens (model/TreeEdit.h);
//   - every change ends with the model marked changed, an undo point and
//     the window's UpdateControls.
//
// Dragging: drags start from the tree, and only our handlers decide and
// carry out a drop (Qt never moves an item itself); a drag from another
// widget or window is refused.
//
// Nodes are found through a map from attribute to node, rebuilt whenever
// the window refills the tree and kept in step by every command.
#pragma once

#include <memory>
#include <unordered_map>

#include <QByteArray>
#include <QString>

#include "desktop/FramePage.h"
#include "desktop/ModelWindowState.h"

class QComboBox;
class QEvent;
class QObject;
class QPoint;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

namespace mivo {

class TMivoAttribute;
class TMivoScale;

// The name of an attribute the Add command makes.
inline constexpr const char* SNewAttribute = "New";
// The narrowest the attribute panel beside the tree becomes (a drag of the
// splitter leaves it more than 200 pixels).
inline constexpr int MinAttributePanelWidth = 201;

// Why a drop is refused, if it is.
enum class TDropCheck : std::uint8_t {
    Accepted,
    NoSource,       // nothing dragged, or the dragged attribute has no parent
    OntoItself,     // the target is the dragged attribute or one of its descendants
    OwnParent,      // the target is the parent, and the level cannot be merged
    TooDeep,        // the tree would pass MaxAttributeLevel
};

// Whether `dragged` may be dropped on `target` (nullptr: empty space) of
// the tree of which `root` is the invisible root. A drop on the own parent
// is a merge of that level and needs the parent to have no other input and
// the two scales to agree (either missing, or of equal structure).
TDropCheck CheckDrop(const TMivoAttribute* root, const TMivoAttribute* dragged, const TMivoAttribute* target);

class TTreePage final : public TFramePage {
public:
    explicit TTreePage(TModelForm& form);
    ~TTreePage() override;

    // --- TPage -------------------------------------------------------------
    void Refresh() override;
    void ClearTree() override;
    void ModelReplaced() override;
    void Fill() override;

    // --- nodes -------------------------------------------------------------
    // The node of the attribute; nullptr for none.
    QTreeWidgetItem* NodeOf(const TMivoAttribute* attribute) const;
    // Makes the attribute's node the selected one and the attribute the
    // current one (no refresh; the caller ends with UpdateControls).
    void SelectNode(const TMivoAttribute* attribute);
    // The levels of the visible nodes: the shallowest collapsed node with
    // children and the deepest node that is open or has no children.
    TModelWindowState::TTreeDepths TreeDepths() const;

    // --- commands (C is the current attribute) ------------------------------
    void ModAddBtnClick();
    void ModDelBtnClick();
    void ModCutBtnClick();
    void ModCopyBtnClick();
    void ModPasteBtnClick();
    void ModDupBtnClick();
    void ModUpBtnClick();
    void ModDnBtnClick();
    void ModScaleBtnClick();
    // The scale box's entry `index` was chosen.
    void AtrScaleEditChange(int index);
    void ModDelScaleItemClick();
    void ModFncBtnClick();
    void ModDelFncItemClick();
    void CollapseClick();
    void ExpandClick();
    // The find dialog, then on OK the next match; and the next match of the
    // stored search after the selected node, in tree order from the first
    // node after the last. Nothing without a selected node or a match.
    void ModFindItemClick();
    void ModFindNextItemClick();
    // Drops the current attribute on `target` (nullptr: empty space),
    // checking everything the drag-over checks.
    void DropCurrentOn(TMivoAttribute* target);

    // The edits (wired to textEdited, so refreshes never write back).
    void AtrNameEditChange(const QString& text);
    void AtrDescEditChange(const QString& text);
    void FncDescEditChange(const QString& text);

    // --- controls -----------------------------------------------------------
    QTreeWidget* ModTreeView() const;
    QLineEdit* AtrNameEdit() const { return name_edit_; }
    QLineEdit* AtrDescEdit() const { return desc_edit_; }
    QPushButton* ModScaleBtn() const { return scale_btn_; }
    QComboBox* AtrScaleEdit() const { return scale_edit_; }
    QGroupBox* FncBox() const { return fnc_box_; }
    QPushButton* ModFncBtn() const { return fnc_btn_; }
    QLineEdit* AtrFncEdit() const { return fnc_edit_; }
    QLineEdit* FncDescEdit() const { return fnc_desc_edit_; }
    QSplitter* ModSplitter() const { return splitter_; }

private:
    class TEvents;
    // The edits' undo brackets, the function box's click, the drag and drop.
    bool FilterEvent(QObject* watched, QEvent* event);
    void BuildControls();
    void BuildCommands();

    // The map from attribute to node.
    void IndexSubtree(QTreeWidgetItem* node);
    void UnindexSubtree(QTreeWidgetItem* node);
    void RebuildIndex();
    // Removes the node with its subtree (from the map too).
    void DeleteNode(QTreeWidgetItem* node);
    // Adds nodes for the attribute's subtree as last child of `parent`
    // (top level for null) and maps them.
    QTreeWidgetItem* AddNodes(TMivoAttribute* attribute, QTreeWidgetItem* parent);

    // The end of every change: Changed, undo point, UpdateControls; with
    // `structure` the window's lists are rebuilt first.
    void Commit(bool structure);
    // Selects the parent's node after its input went, or the first top
    // attribute's when the parent is the root.
    void SelectParentOrFirst(TMivoAttribute* parent);
    // Forgets the model's default scale for new attributes when it is
    // `scale`, or a scale in `subtree`, about to be freed.
    void ForgetDefaultScale(const TMivoScale* scale);
    void ForgetDefaultScaleIn(const TMivoAttribute& subtree);
    bool Ask(const std::string& text);
    // The rule-count check of a new table for the attribute.
    bool NewTableAccepted(const TMivoAttribute& attribute);
    // Moves the node among its siblings to `index`, keeping the open state
    // of every node below it.
    void MoveNode(QTreeWidgetItem* node, int index);
    void ShowStatusTip(const QString& text);
    bool DragAllowed(QObject* source, const QPoint& at, TMivoAttribute*& target) const;
    void FillScaleBox(const TMivoAttribute* current);

    std::unique_ptr<TEvents> events_;
    std::unordered_map<const TMivoAttribute*, QTreeWidgetItem*> nodes_;
    QByteArray scale_form_geometry_;

    QSplitter* splitter_ = nullptr;
    QLineEdit* name_edit_ = nullptr;
    QLineEdit* desc_edit_ = nullptr;
    QPushButton* scale_btn_ = nullptr;
    QComboBox* scale_edit_ = nullptr;
    QGroupBox* fnc_box_ = nullptr;
    QPushButton* fnc_btn_ = nullptr;
    QLineEdit* fnc_edit_ = nullptr;
    QLineEdit* fnc_desc_edit_ = nullptr;
};

}  // namespace mivo
