// Node images: the kind of an attribute and a small painted icon for it.

#include "desktop/NodeImages.h"

#include <utility>

#include <cmath>

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPixmapCache>
#include <QString>

#include "desktop/TreeFill.h"
#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoUtl.h"

namespace mivo {

TNodeImage NodeImageOf(const TMivoAttribute* attribute) {
    if (!attribute) return niNone;
    if (attribute->IsBasic()) {
        if (attribute->Link()) return niLinked;
        return attribute->Scale() ? niBasicWithScale : niBasic;
    }
    if (const TMivoFunction* funct = attribute->Funct())
        return std::fabs(funct->Determinedness() - 1.0) <= Eps ? niDetermined : niUndetermined;
    return attribute->CanHaveFunction() ? niCanHaveFunction : niCannotHaveFunction;
}

namespace {

constexpr int IconSize = 16;

const QColor Outline(60, 60, 60);
const QColor LeafFill(76, 160, 76);
const QColor LinkFill(70, 150, 200);
const QColor TableFill(52, 101, 164);

void PaintImage(QPainter& p, TNodeImage image) {
    const QRectF circle(2.5, 2.5, 11, 11);
    const QRectF square(2.5, 2.5, 11, 11);
    p.setPen(QPen(Outline, 1));
    switch (image) {
        case niBasic:
            p.setBrush(Qt::white);
            p.drawEllipse(circle);
            break;
        case niBasicWithScale:
            p.setBrush(LeafFill);
            p.drawEllipse(circle);
            break;
        case niLinked: {
            p.setBrush(LinkFill);
            p.drawEllipse(circle);
            // An arrow: the values come from elsewhere.
            p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawLine(QPointF(5, 8), QPointF(11, 8));
            p.drawLine(QPointF(8.5, 5.5), QPointF(11, 8));
            p.drawLine(QPointF(8.5, 10.5), QPointF(11, 8));
            break;
        }
        case niCanHaveFunction:
            p.setBrush(Qt::white);
            p.drawRect(square);
            break;
        case niDetermined:
            p.setBrush(TableFill);
            p.drawRect(square);
            break;
        case niUndetermined: {
            p.setBrush(Qt::white);
            p.drawRect(square);
            QPainterPath half;
            half.moveTo(square.topLeft());
            half.lineTo(square.topRight());
            half.lineTo(square.bottomLeft());
            half.closeSubpath();
            p.fillPath(half, TableFill);
            p.setBrush(Qt::NoBrush);
            p.drawRect(square);
            break;
        }
        case niCannotHaveFunction:
            p.setBrush(QColor(225, 225, 225));
            p.drawRect(square);
            p.setPen(QPen(QColor(200, 40, 40), 1.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(5, 5), QPointF(11, 11));
            p.drawLine(QPointF(11, 5), QPointF(5, 11));
            break;
        case niNone:
            break;
    }
}

}  // namespace

QIcon NodeIcon(TNodeImage image) {
    if (image == niNone) return {};
    const QString key = QStringLiteral("mivo-node-image-%1").arg(static_cast<int>(image));
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap(IconSize, IconSize);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        PaintImage(painter, image);
        painter.end();
        QPixmapCache::insert(key, pixmap);
    }
    return QIcon(pixmap);
}

TNodeImageDelegate::TNodeImageDelegate(QTreeWidget& tree, TNodeAttributeOf attributeOf)
    : QStyledItemDelegate(&tree), tree_(tree), attribute_of_(std::move(attributeOf)) {
    if (!attribute_of_) attribute_of_ = [](const QTreeWidgetItem* node) { return NodeAttribute(node); };
}

TNodeImage TNodeImageDelegate::ImageOf(const QModelIndex& index) const {
    return NodeImageOf(attribute_of_(tree_.itemFromIndex(index)));
}

void TNodeImageDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() != 0) return;
    const QIcon icon = NodeIcon(ImageOf(index));
    if (icon.isNull()) return;
    option->icon = icon;
    option->features |= QStyleOptionViewItem::HasDecoration;
    option->decorationSize = QSize(16, 16);
}

void InstallNodeImages(QTreeWidget& tree, TNodeAttributeOf attributeOf) {
    tree.setItemDelegate(new TNodeImageDelegate(tree, std::move(attributeOf)));
    tree.setIconSize(QSize(16, 16));
}

}  // namespace mivo
