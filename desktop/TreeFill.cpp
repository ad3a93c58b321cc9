#include "desktop/TreeFill.h"

#include <utility>
#include <vector>

#include <QString>

#include "model/MivoAttribute.h"
#include "model/MivoModel.h"

namespace mivo {

namespace {

// Node data: the attribute's address.
constexpr int AttributeRole = Qt::UserRole;

QTreeWidgetItem* MakeNode(TMivoAttribute* attribute) {
    auto* node = new QTreeWidgetItem;
    node->setText(0, QString::fromStdString(attribute->GetName()));
    SetNodeAttribute(*node, attribute);
    return node;
}

// Builds the nodes of the attribute's inputs, and theirs, below `node`
// without touching any view: children are collected per node and attached
// in one call each, which keeps filling a large tree linear.
void BuildInputNodes(QTreeWidgetItem* node, TMivoAttribute* attribute) {
    std::vector<std::pair<QTreeWidgetItem*, TMivoAttribute*>> pending{{node, attribute}};
    while (!pending.empty()) {
        auto [parent, source] = pending.back();
        pending.pop_back();
        QList<QTreeWidgetItem*> children;
        children.reserve(source->InpCount());
        for (int i = 0; i < source->InpCount(); ++i) {
            TMivoAttribute* input = source->Inputs(i);
            QTreeWidgetItem* child = MakeNode(input);
            children.append(child);
            if (input->InpCount() > 0) pending.emplace_back(child, input);
        }
        parent->addChildren(children);
    }
}

// Expands the node and every node below it, as a fill does.
void ExpandSubtree(QTreeWidgetItem* node) {
    std::vector<QTreeWidgetItem*> pending{node};
    while (!pending.empty()) {
        QTreeWidgetItem* item = pending.back();
        pending.pop_back();
        item->setExpanded(true);
        for (int i = 0; i < item->childCount(); ++i) pending.push_back(item->child(i));
    }
}

}  // namespace

TMivoAttribute* NodeAttribute(const QTreeWidgetItem* node) {
    if (node == nullptr) return nullptr;
    return reinterpret_cast<TMivoAttribute*>(node->data(0, AttributeRole).value<quintptr>());
}

void SetNodeAttribute(QTreeWidgetItem& node, TMivoAttribute* attribute) {
    node.setData(0, AttributeRole, QVariant::fromValue(reinterpret_cast<quintptr>(attribute)));
}

void FillTreeView(const TMivoModel& model, QTreeWidget& tree, bool expand) {
    const bool updates = tree.updatesEnabled();
    tree.setUpdatesEnabled(false);
    const QSignalBlocker blocker(tree);
    tree.clear();
    QList<QTreeWidgetItem*> top;
    TMivoAttribute* root = model.Root();
    top.reserve(root->InpCount());
    for (int i = 0; i < root->InpCount(); ++i) {
        QTreeWidgetItem* node = MakeNode(root->Inputs(i));
        BuildInputNodes(node, root->Inputs(i));
        top.append(node);
    }
    tree.addTopLevelItems(top);
    if (expand) tree.expandAll();
    tree.setUpdatesEnabled(updates);
}

QTreeWidgetItem* AddSubtreeNodes(QTreeWidget& tree, TMivoAttribute* attribute, QTreeWidgetItem* parent) {
    QTreeWidgetItem* node = MakeNode(attribute);
    BuildInputNodes(node, attribute);
    if (parent != nullptr)
        parent->addChild(node);
    else
        tree.addTopLevelItem(node);
    ExpandSubtree(node);
    return node;
}

void FillSubtreeNodes(QTreeWidgetItem& node, TMivoAttribute* attribute) {
    node.setText(0, QString::fromStdString(attribute->GetName()));
    SetNodeAttribute(node, attribute);
    qDeleteAll(node.takeChildren());
    BuildInputNodes(&node, attribute);
    ExpandSubtree(&node);
}

QTreeWidgetItem* FindModelNode(const QTreeWidget& tree, const TMivoObject* object) {
    if (object == nullptr) return nullptr;
    std::vector<QTreeWidgetItem*> pending;
    for (int i = tree.topLevelItemCount() - 1; i >= 0; --i) pending.push_back(tree.topLevelItem(i));
    while (!pending.empty()) {
        QTreeWidgetItem* node = pending.back();
        pending.pop_back();
        if (NodeAttribute(node) == object) return node;
        for (int i = node->childCount() - 1; i >= 0; --i) pending.push_back(node->child(i));
    }
    return nullptr;
}

void ReselectNode(QTreeWidget& tree, QTreeWidgetItem* node) {
    if (node == nullptr) return;
    tree.setCurrentItem(node);
    tree.clearSelection();
    tree.setCurrentItem(nullptr);
    tree.setCurrentItem(node);
    node->setSelected(true);
}

}  // namespace mivo
