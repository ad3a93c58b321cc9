#include "desktop/FncGrid.h"

#include <algorithm>

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "desktop/FunctTableModel.h"

namespace mivo {

namespace {

constexpr int CellMargin = 2;
constexpr int BorderGrip = 3;

}  // namespace

void TFncGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    painter->save();
    const bool selected = opt.state & QStyle::State_Selected;
    if (selected)
        painter->fillRect(opt.rect, opt.palette.brush(QPalette::Highlight));
    else if (opt.backgroundBrush.style() != Qt::NoBrush)
        painter->fillRect(opt.rect, opt.backgroundBrush);
    QColor colour = opt.palette.color(QPalette::Text);
    if (selected)
        colour = opt.palette.color(QPalette::HighlightedText);
    else if (const QVariant foreground = index.data(Qt::ForegroundRole); foreground.isValid())
        colour = foreground.value<QBrush>().color();
    painter->setPen(colour);
    painter->setFont(opt.font);
    const QRect area = opt.rect.adjusted(CellMargin, CellMargin, -CellMargin, 0);
    const Qt::Alignment align = index.column() == 0 ? (Qt::AlignRight | Qt::AlignTop) : (Qt::AlignLeft | Qt::AlignTop);
    // A heading cut by its column ends in an ellipsis.
    const QString text =
        index.row() == 0 ? QFontMetrics(opt.font).elidedText(opt.text, Qt::ElideRight, area.width()) : opt.text;
    painter->drawText(area, static_cast<int>(align | Qt::TextSingleLine), text);
    painter->restore();
}

TFncGrid::TFncGrid(QWidget* parent) : QTableView(parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setMinimumSectionSize(4);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setFocusPolicy(Qt::ClickFocus);  // not a tab stop
    setWordWrap(false);
    setMouseTracking(true);
    setItemDelegate(new TFncGridDelegate(this));
}

void TFncGrid::SetTableModel(TFunctTableModel* model) {
    model_ = model;
    setModel(model);
}

void TFncGrid::FitSizes() {
    if (!model_) return;
    const QFontMetrics metrics(font());
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold);
    const int rows = model_->rowCount();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(metrics.height() + 4);
    if (rows == 0) return;
    setColumnWidth(0, metrics.horizontalAdvance(QString::number(rows - 1)) + 4);
    // The other columns: their widest value, measured over the names, not
    // over the rules, so the cost does not grow with the table. The
    // heading (an attribute name) widens a column only up to a cap: long
    // names would make every column wider than the window and leave only
    // the blank end of the result column in view. A cut heading is elided;
    // the column can be widened by dragging its border.
    const int headingCap = HeadingCapCharacters * metrics.averageCharWidth();
    for (int column = 1; column < model_->columnCount(); ++column) {
        int width = std::min(boldMetrics.horizontalAdvance(model_->CellText(0, column)), headingCap);
        for (const QString& text : model_->ColumnTexts(column))
            width = std::max(width, boldMetrics.horizontalAdvance(text));
        setColumnWidth(column, width + 2 * CellMargin + 4);
    }
}

void TFncGrid::SelectRow(int row) {
    if (!model_ || row < 1 || row >= model_->rowCount()) return;
    const QModelIndex cell = model_->index(row, model_->ResultColumn());
    setCurrentIndex(cell);
    scrollTo(cell);
}

void TFncGrid::showEvent(QShowEvent* event) {
    QTableView::showEvent(event);
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    if (currentIndex().isValid()) scrollTo(currentIndex());
}

int TFncGrid::CurrentRow() const {
    const QModelIndex cell = currentIndex();
    if (!model_ || !cell.isValid() || cell.row() < 1) return -1;
    return cell.row();
}

QModelIndex TFncGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex moved = QTableView::moveCursor(action, modifiers);
    if (!model_ || model_->rowCount() < 2) return {};
    const int row = std::clamp(moved.isValid() ? moved.row() : 1, 1, model_->rowCount() - 1);
    return model_->index(row, model_->ResultColumn());
}

int TFncGrid::BorderColumnAt(const QPoint& pos) const {
    if (!model_ || rowAt(pos.y()) != 0) return -1;
    for (int column = 0; column < model_->columnCount(); ++column) {
        const int right = columnViewportPosition(column) + columnWidth(column);
        if (std::abs(pos.x() - right) <= BorderGrip) return column;
    }
    return -1;
}

void TFncGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (const int column = BorderColumnAt(pos); column >= 0) {
            resizing_column_ = column;
            resize_origin_ = pos.x();
            resize_width_ = columnWidth(column);
            event->accept();
            return;
        }
    }
    const QModelIndex cell = indexAt(pos);
    if (!model_ || !cell.isValid() || cell.row() < 1 || cell.column() < 1) {
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton) {
        SelectRow(cell.row());
        Q_EMIT RuleMenuRequested(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    if (!model_->IsResultCell(cell.row(), cell.column())) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void TFncGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (resizing_column_ >= 0) {
        setColumnWidth(resizing_column_, std::max(4, resize_width_ + pos.x() - resize_origin_));
        event->accept();
        return;
    }
    if (BorderColumnAt(pos) >= 0)
        viewport()->setCursor(Qt::SplitHCursor);
    else
        viewport()->unsetCursor();
    if (event->buttons() != Qt::NoButton) {
        // Dragging selects nothing outside the result column.
        const QModelIndex cell = indexAt(pos);
        if (!model_ || !cell.isValid() || !model_->IsResultCell(cell.row(), cell.column())) {
            event->accept();
            return;
        }
    }
    QTableView::mouseMoveEvent(event);
}

void TFncGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (resizing_column_ >= 0) {
        resizing_column_ = -1;
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void TFncGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex cell = indexAt(event->position().toPoint());
    if (!model_ || !cell.isValid() || !model_->IsResultCell(cell.row(), cell.column())) {
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void TFncGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (current.isValid() && current.row() != previous.row()) Q_EMIT CurrentRowChanged(current.row());
}

}  // namespace mivo
