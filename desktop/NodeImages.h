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
// so trees compute it when an item is painted (TAttributeItem), never in a
// walk over the whole tree.
#pragma once

#include <QIcon>
#include <QTreeWidgetItem>

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

// A tree item bound to one attribute (not owned). Its icon and status tip
// (the attribute's description) are read from the attribute whenever the
// view asks, so they never go stale; the text is the item's own and is
// kept in step with the attribute's name by the tree's owner.
class TAttributeItem : public QTreeWidgetItem {
public:
    static constexpr int ItemType = QTreeWidgetItem::UserType + 1;

    explicit TAttributeItem(TMivoAttribute* attribute);

    TMivoAttribute* Attribute() const { return attribute_; }
    void SetAttribute(TMivoAttribute* attribute) { attribute_ = attribute; }

    QVariant data(int column, int role) const override;

private:
    TMivoAttribute* attribute_;
};

// The attribute bound to an item (nullptr for none or another kind of item).
TMivoAttribute* AttributeOf(const QTreeWidgetItem* item);

}  // namespace mivo
