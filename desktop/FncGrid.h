// The rule editor's grid: a table view over TFunctTableModel whose row 0
// and column 0 are drawn as headers inside the table. Only result cells can
// become current (the keys and clicks that would reach another cell are
// held in the result column and below row 0); a right click on a rule row
// makes that row current, then asks for the pop-up menu. Columns are
// resized by dragging their right border in row 0.
#pragma once

#include <QStyledItemDelegate>
#include <QTableView>

namespace mivo {

class TFunctTableModel;

// Draws a cell as the grid wants it: text 2 pixels from the left and top,
// rule numbers right-aligned 2 pixels from the right edge, colours and
// bold from the model.
class TFncGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

class TFncGrid : public QTableView {
    Q_OBJECT
public:
    explicit TFncGrid(QWidget* parent = nullptr);

    void SetTableModel(TFunctTableModel* model);
    TFunctTableModel* TableModel() const { return model_; }

    // A heading widens its column up to this many average characters.
    static constexpr int HeadingCapCharacters = 24;

    // Sizes from the font: column 0 as wide as the last rule number plus
    // 4 pixels, rows as high as "Hj" plus 4, the other columns as wide as
    // their widest value name, or their heading up to the heading cap.
    void FitSizes();
    // Makes the row's result cell current (nothing for a row outside the
    // rules).
    void SelectRow(int row);
    // The current rule row, -1 when none.
    int CurrentRow() const;

Q_SIGNALS:
    // A right click on a rule row, which is current now.
    void RuleMenuRequested(const QPoint& globalPos);
    // The current result cell moved to another row.
    void CurrentRowChanged(int row);

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    // The table is loaded before the window is shown at its size: on show
    // the view starts again from the heading row and the first column and
    // brings the current cell into view at the size it has now.
    void showEvent(QShowEvent* event) override;

private:
    // The column whose right border lies under the point in row 0, -1 when
    // none.
    int BorderColumnAt(const QPoint& pos) const;

    TFunctTableModel* model_ = nullptr;
    int resizing_column_ = -1;
    int resize_origin_ = 0;
    int resize_width_ = 0;
};

}  // namespace mivo
