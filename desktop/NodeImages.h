// The images of attribute nodes, shared by the Model page's attribute tree
// and the charts tree.
//
// An attribute's image tells its kind at a glance:
//
//   -1  no attribute
//    0  basic, not linked, without scale
//    1  basic, not linked, with scale
//    6  basic and linked
//    3  aggregate whose table is fully determined (determinedness 1)
//    4  aggregate whose table is not fully determined
//    2  aggregate without table that can get one
//    5  aggregate without table that cannot get one
//
// The image of an aggregate with a table reads every rule (determinedness),
// so trees compute it when a row is painted (TNodeImageDelegate), never in
// a walk over the whole tree.
#pragma once

#include <functional>

#include <QIcon>
#include <QStyledItemDelegate>
#include <QTreeWidget>

namespace mivo {

class TMivoAttribute;

enum TNodeImage : int {
    niNone = -1,
    niBasic = 0,
    niBasicWithScale = 1,
    niCanHaveFunction = 2,
    niDetermined = 3,
    niUndetermined = 4,
    niCannotHaveFunction = 5,
    niLinked = 6,
};

// The image of the attribute's node (see the table above).
TNodeImage NodeImageOf(const TMivoAttribute* attribute);

// The icon of an image; a null icon for niNone. Drawn on first use and
// kept in Qt's pixmap cache, so it needs the application object.
QIcon NodeIcon(TNodeImage image);

// The attribute of a tree's node; null for none.
using TNodeAttributeOf = std::function<const TMivoAttribute*(const QTreeWidgetItem*)>;

// Draws the node image of each row of an attribute tree as the row is
// painted, from the attribute of its node, so the images never go stale and
// no refresh walks the tables. The attribute is the one bound to the node
// (a tree filled by desktop/TreeFill.h) unless the tree finds it otherwise.
class TNodeImageDelegate : public QStyledItemDelegate {
public:
    explicit TNodeImageDelegate(QTreeWidget& tree, TNodeAttributeOf attributeOf = {});

    // The image of the row's node.
    TNodeImage ImageOf(const QModelIndex& index) const;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    QTreeWidget& tree_;
    TNodeAttributeOf attribute_of_;
};

// Gives the tree its node images (the delegate is a Qt child of the tree).
void InstallNodeImages(QTreeWidget& tree, TNodeAttributeOf attributeOf = {});

}  // namespace mivo
