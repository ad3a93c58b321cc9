// The attribute tree view of the model window (and of the charts page): one
// node per attribute below the model's invisible root, the top attributes
// at level 0, each node carrying its attribute as data.
#pragma once

#include <QTreeWidget>

namespace mivo {

class TMivoAttribute;
class TMivoModel;
class TMivoObject;

// The attribute stored in a node; null for no node or a node without one.
TMivoAttribute* NodeAttribute(const QTreeWidgetItem* node);
void SetNodeAttribute(QTreeWidgetItem& node, TMivoAttribute* attribute);

// Empties the tree view and fills it with the model's attributes in
// pre-order (an iterative walk, so a deep tree does not exhaust the
// stack); every node is expanded when `expand` is set.
void FillTreeView(const TMivoModel& model, QTreeWidget& tree, bool expand = true);

// Adds a node for the attribute under `parent` (at top level for null) as
// its last child, then nodes for the attribute's whole subtree; expands
// the new nodes. Returns the attribute's node.
QTreeWidgetItem* AddSubtreeNodes(QTreeWidget& tree, TMivoAttribute* attribute, QTreeWidgetItem* parent);

// Binds an existing node to the attribute (name and data), replaces its
// children by nodes for the attribute's inputs and expands it.
void FillSubtreeNodes(QTreeWidgetItem& node, TMivoAttribute* attribute);

// The first node in tree order whose data is the object; null for none.
QTreeWidgetItem* FindModelNode(const QTreeWidget& tree, const TMivoObject* object);

// Selects the node, unselects it and selects it again, so that the tree
// reports a selection change even for the node already selected; nothing
// for no node.
void ReselectNode(QTreeWidget& tree, QTreeWidgetItem* node);

}  // namespace mivo
