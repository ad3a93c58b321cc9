// The grids of the options and evaluation pages as table models: names and
// value texts are read from the model on demand, so a grid of any size
// costs no item or widget per cell.
//
// Numbering: the grid's row 0 (empty) and column 0 (attribute names) are
// the view's headers; the horizontal one, row 0, is a thin strip that
// serves as the handle for column sizing. Grid row 1 holds the option
// names and grid row r >= 2 the attribute r - 2 of the page's list; grid
// column c >= 1 is option c - 1. The view's row v is grid row v + 1 and its
// column k grid column k + 1; GridRow/GridCol and ViewRow/ViewCol convert.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "desktop/ModelWindowState.h"
#include "model/MivoAttribute.h"
#include "model/MivoSettings.h"

#include <functional>

#include <QAbstractTableModel>
#include <QAction>
#include <QTableView>

namespace mivo {

// Colours of the value cells: bad red, good green.
inline constexpr TColor GridBadColor = 0x0000FF;
inline constexpr TColor GridGoodColor = 0x008000;

// The options grid's text of a value: the name of the value the first
// member names, "*" when undefined, any value or without a scale.
std::string OptionCellText(const TMivoAttribute& attribute, int option);
// The evaluation grid's text: the names of all members joined by ";", "*"
// for an empty or "*" value string.
std::string EvalCellText(const TMivoAttribute& attribute, int option);
// The colour of a value cell: bad or good by the first member's value,
// none otherwise.
std::optional<TColor> ValueCellColor(const TMivoAttribute& attribute, int option);
// The evaluation grid's row name: ". " repeated for each level, then the
// name.
std::string EvalRowName(const TMivoAttribute& attribute);

enum class TGridKind : std::uint8_t { Options, Evaluation };

class TOptionGridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    TOptionGridModel(const TModelWindowState& state, TGridKind kind, QObject* parent = nullptr);

    static int GridRow(int viewRow) { return viewRow + 1; }
    static int GridCol(int viewCol) { return viewCol + 1; }
    static int ViewRow(int gridRow) { return gridRow - 1; }
    static int ViewCol(int gridCol) { return gridCol - 1; }

    // The attributes of the rows (BasicAttrs or AllAttrs).
    const std::vector<TMivoAttribute*>& Rows() const;
    // The attribute of a grid row, or null.
    TMivoAttribute* RowAttribute(int gridRow) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // After the lists or the options changed as a whole.
    void Reset();
    // After one cell's value changed (grid numbering).
    void CellChanged(int gridRow, int gridCol);
    // After option values changed in a column (grid numbering).
    void ColumnChanged(int gridCol);

private:
    const TModelWindowState& state_;
    TGridKind kind_;
};

// The grid view: tab moves between cells, no editing in the cells, and no
// type-ahead search, so that value keys reach the page.
//
// A right click makes the clicked cell current first, then opens the value
// popup menu, which the page fills for the visible value box.
//
// Column sizing: in the heading rows (the thin strip of grid row 0 and the
// option-name row, grid row 1) the right border of every column, the
// attribute-name column 0 included, is dragged to widen or narrow it.
// Widths chosen so are kept across refills for as long as the view lives;
// other option columns have the default width. Without options sizing is
// off and the one empty column keeps width 0.
class TOptionGridView final : public QTableView {
    Q_OBJECT
public:
    // The width of an option column.
    static constexpr int DefaultOptionColumnWidth = 110;
    // The height of the heading strip above the option names.
    static constexpr int HeadingStripHeight = 5;
    // The narrowest a drag makes a column.
    static constexpr int MinimumColumnWidth = 4;
    // How near a column's border the mouse grips it, in pixels either side.
    static constexpr int BorderGrip = 3;

    explicit TOptionGridView(QWidget* parent = nullptr);
    void keyboardSearch(const QString&) override {}

    // Applies the widths the user chose to the option columns, the default
    // to the others. Without options the one empty column gets width 0 and
    // sizing is turned off; with options it is on.
    void FitOptionColumns(int optionCount);
    // Gives column 0 the user's width, or the fitted one when the user has
    // chosen none.
    void FitNameColumn(int fittedWidth);
    bool ColumnSizing() const { return sizing_; }

    // The width of a grid column (0 is the attribute names).
    int GridColumnWidth(int gridCol) const;
    // Sets a grid column's width as a drag of its border does, and keeps
    // it as the user's choice.
    void SetGridColumnWidth(int gridCol, int width);
    // The grid column whose right border is under the point (in the view's
    // coordinates) in the heading rows; -1 when none or sizing is off.
    int BorderColumnAt(const QPoint& pos) const;
    // The x of a grid column's right border in the view's coordinates.
    int ColumnBorderX(int gridCol) const;

    // Keep the user's widths with their options when options are inserted,
    // removed or swapped (option indices).
    void OptionColumnInserted(int option);
    void OptionColumnRemoved(int option);
    void OptionColumnsExchanged(int first, int second);

    // Empties the value popup; entries are deleted later, since one may be
    // the entry whose click is running.
    void ClearValEditMenu();
    // Refills the value popup with one entry per value box item (the value
    // names and "*"); a click chooses that item.
    void FillValEditMenu(const std::vector<std::string>& items, const std::function<void(int)>& choose);

    QMenu* ValEditMenu = nullptr;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    // The mouse over the viewport, the headers and the corner: drags of
    // the column borders.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool InHeadingRows(const QPoint& pos) const;
    void ApplyWidth(int gridCol, int width);

    std::vector<int> option_widths_;  // chosen by the user, by option; 0 for none
    int name_width_ = 0;               // chosen by the user; 0 for none
    bool sizing_ = true;
    int resizing_ = -1;  // the grid column being dragged, -1 for none
    int drag_origin_ = 0;
    int drag_width_ = 0;
};

// An entry of the value popup: the value index and its caption
// "&<index + 1> &<name>", or "&*" for "*".
class TValItem final : public QAction {
    Q_OBJECT
public:
    TValItem(QObject* owner, int index, const std::string& name);
    int ValueIndex;
};

}  // namespace mivo
