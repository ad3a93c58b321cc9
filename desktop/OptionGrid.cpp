#include "desktop/OptionGrid.h"

#include "platform/QtFontSource.h"

#include <algorithm>
#include <cstdlib>

#include <QAbstractButton>
#include <QBrush>
#include <QMouseEvent>
#include <QContextMenuEvent>
#include <QMenu>
#include <QColor>
#include <QFont>
#include <QHeaderView>

#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "platform/ErrorDisplay.h"

namespace mivo {

namespace {

const TMivoDiscreteScale* Discrete(const TMivoAttribute& attribute) {
    return dynamic_cast<const TMivoDiscreteScale*>(attribute.Scale());
}

QFont BoldFont() {
    QFont font;
    font.setBold(true);
    return font;
}

}  // namespace

std::string OptionCellText(const TMivoAttribute& attribute, int option) {
    const int index = attribute.OptValueIndex(option);
    const TMivoDiscreteScale* scale = Discrete(attribute);
    if (index < 0 || scale == nullptr) return "*";
    return scale->ValueName(index);
}

std::string EvalCellText(const TMivoAttribute& attribute, int option) {
    const std::string_view text = attribute.OptValue(option);
    if (text.empty() || text == "*") return "*";
    const TMivoDiscreteScale* scale = Discrete(attribute);
    std::string out;
    for (char c : text) {
        const int v = CharValue(c);
        if (!out.empty()) out += ';';
        out += scale != nullptr && v >= 0 && v < scale->Count() ? scale->ValueName(v) : std::string("?");
    }
    return out;
}

std::optional<TColor> ValueCellColor(const TMivoAttribute& attribute, int option) {
    const int index = attribute.OptValueIndex(option);
    const TMivoScale* scale = attribute.Scale();
    if (scale == nullptr || index < 0) return std::nullopt;
    if (scale->IsBad(index)) return GridBadColor;
    if (scale->IsGood(index)) return GridGoodColor;
    return std::nullopt;
}

std::string EvalRowName(const TMivoAttribute& attribute) {
    std::string name;
    for (int k = 0; k < attribute.Level(); ++k) name += ". ";
    return name + attribute.GetName();
}

// --- the model -------------------------------------------------------------------

TOptionGridModel::TOptionGridModel(const TModelWindowState& state, TGridKind kind, QObject* parent)
    : QAbstractTableModel(parent), state_(state), kind_(kind) {}

const std::vector<TMivoAttribute*>& TOptionGridModel::Rows() const {
    return kind_ == TGridKind::Options ? state_.BasicAttrs() : state_.AllAttrs();
}

TMivoAttribute* TOptionGridModel::RowAttribute(int gridRow) const {
    const auto& rows = Rows();
    const int i = gridRow - 2;
    return i >= 0 && i < static_cast<int>(rows.size()) ? rows[static_cast<std::size_t>(i)] : nullptr;
}

int TOptionGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(Rows().size()) + 1;
}

int TOptionGridModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    // Without options both grids keep one empty option column (of width 0,
    // see TOptionGridView::FitOptionColumns), so a row can still be current.
    return std::max(1, state_.Model().OptionCount());
}

QVariant TOptionGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int row = GridRow(index.row()), option = GridCol(index.column()) - 1;
    const TMivoModel& model = state_.Model();
    if (option >= model.OptionCount()) return {};
    if (row == 1) {
        if (role == Qt::DisplayRole) return ToQString(model.OptionName(option));
        if (role == Qt::FontRole) return BoldFont();
        return {};
    }
    const TMivoAttribute* attribute = RowAttribute(row);
    if (attribute == nullptr) return {};
    switch (role) {
        case Qt::DisplayRole:
            return ToQString(kind_ == TGridKind::Options ? OptionCellText(*attribute, option)
                                                   : EvalCellText(*attribute, option));
        case Qt::ForegroundRole: {
            const auto colour = ValueCellColor(*attribute, option);
            if (!colour) return {};
            return QBrush(QColor(*colour & 0xFF, (*colour >> 8) & 0xFF, (*colour >> 16) & 0xFF));
        }
        case Qt::FontRole:
            if (kind_ == TGridKind::Evaluation && attribute->IsAggregate() && ValueCellColor(*attribute, option))
                return BoldFont();
            return {};
        default:
            return {};
    }
}

QVariant TOptionGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole) return QString();  // grid row 0 is empty
        return {};
    }
    const int row = GridRow(section);
    if (role == Qt::FontRole) return BoldFont();
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole) return ToQString(AttributeHint(RowAttribute(row)));
    if (role != Qt::DisplayRole) return {};
    if (row == 1) return QStringLiteral("Option");
    const TMivoAttribute* attribute = RowAttribute(row);
    if (attribute == nullptr) return {};
    return ToQString(kind_ == TGridKind::Options ? attribute->GetName() : EvalRowName(*attribute));
}

void TOptionGridModel::Reset() {
    beginResetModel();
    endResetModel();
}

void TOptionGridModel::CellChanged(int gridRow, int gridCol) {
    const QModelIndex at = index(ViewRow(gridRow), ViewCol(gridCol));
    if (at.isValid()) Q_EMIT dataChanged(at, at);
}

void TOptionGridModel::ColumnChanged(int gridCol) {
    const int column = ViewCol(gridCol);
    if (column < 0 || column >= columnCount() || rowCount() == 0) return;
    Q_EMIT dataChanged(index(0, column), index(rowCount() - 1, column));
}

TOptionGridView::TOptionGridView(QWidget* parent) : QTableView(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    // The grid's own heading is its first row (the option names); the
    // view's header above it is grid row 0, kept as a thin strip whose
    // column borders are the sizing handles. Every drag, there and in the
    // option-name row, goes through SetGridColumnWidth.
    QHeaderView* strip = horizontalHeader();
    strip->setSectionResizeMode(QHeaderView::Fixed);
    strip->setDefaultSectionSize(DefaultOptionColumnWidth);
    strip->setMinimumSectionSize(0);
    strip->setSectionsClickable(false);
    strip->setHighlightSections(false);
    strip->setFixedHeight(HeadingStripHeight);
    QWidget* corner = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* handle : {viewport(), strip->viewport(), verticalHeader()->viewport(), corner}) {
        if (handle == nullptr) continue;
        handle->setMouseTracking(true);
        handle->installEventFilter(this);
    }
    ValEditMenu = new QMenu(this);
}

void TOptionGridView::FitOptionColumns(int optionCount) {
    sizing_ = optionCount > 0;
    if (optionCount == 0) {
        // No option is left whose width could be kept.
        option_widths_.clear();
        resizing_ = -1;
        setColumnWidth(0, 0);
        return;
    }
    // The header keeps its section sizes by position across a reset, so
    // every column is set: the user's width, else the default.
    for (int option = 0; option < optionCount; ++option) {
        const auto chosen = static_cast<std::size_t>(option);
        const int width = chosen < option_widths_.size() && option_widths_[chosen] > 0 ? option_widths_[chosen]
                                                                                      : DefaultOptionColumnWidth;
        if (columnWidth(option) != width) setColumnWidth(option, width);
    }
}

void TOptionGridView::FitNameColumn(int fittedWidth) { ApplyWidth(0, name_width_ > 0 ? name_width_ : fittedWidth); }

int TOptionGridView::GridColumnWidth(int gridCol) const {
    return gridCol == 0 ? verticalHeader()->width() : columnWidth(TOptionGridModel::ViewCol(gridCol));
}

void TOptionGridView::SetGridColumnWidth(int gridCol, int width) {
    if (!sizing_ || gridCol < 0 || (gridCol > 0 && TOptionGridModel::ViewCol(gridCol) >= horizontalHeader()->count()))
        return;
    width = std::max(width, MinimumColumnWidth);
    if (gridCol == 0) {
        name_width_ = width;
    } else {
        const auto option = static_cast<std::size_t>(gridCol - 1);
        if (option_widths_.size() <= option) option_widths_.resize(option + 1, 0);
        option_widths_[option] = width;
    }
    ApplyWidth(gridCol, width);
}

void TOptionGridView::ApplyWidth(int gridCol, int width) {
    if (gridCol > 0) {
        setColumnWidth(TOptionGridModel::ViewCol(gridCol), width);
        return;
    }
    if (verticalHeader()->width() == width && verticalHeader()->minimumWidth() == width) return;
    verticalHeader()->setFixedWidth(width);
    updateGeometries();
}

int TOptionGridView::ColumnBorderX(int gridCol) const {
    const int left = viewport()->geometry().left();
    if (gridCol == 0) return left;
    const int column = TOptionGridModel::ViewCol(gridCol);
    return left + columnViewportPosition(column) + columnWidth(column);
}

bool TOptionGridView::InHeadingRows(const QPoint& pos) const {
    const QRect area = viewport()->geometry();
    if (pos.y() < area.top()) return pos.y() >= horizontalHeader()->geometry().top();
    return pos.y() <= area.bottom() && rowAt(pos.y() - area.top()) == 0;
}

int TOptionGridView::BorderColumnAt(const QPoint& pos) const {
    if (!sizing_ || model() == nullptr || !InHeadingRows(pos)) return -1;
    // The nearest border within the grip, among column 0 and the option
    // columns whose border is in view.
    int found = -1, distance = BorderGrip + 1;
    const int left = viewport()->geometry().left(), right = viewport()->geometry().right() + 1;
    const auto consider = [&](int gridCol) {
        const int x = ColumnBorderX(gridCol);
        if (gridCol > 0 && (x < left || x > right)) return;
        if (const int d = std::abs(pos.x() - x); d < distance) {
            distance = d;
            found = gridCol;
        }
    };
    consider(0);
    const int first = std::max(0, columnAt(0)), last = columnAt(viewport()->width() - 1);
    for (int column = first; column <= (last < 0 ? horizontalHeader()->count() - 1 : last); ++column)
        consider(TOptionGridModel::GridCol(column));
    return found;
}

bool TOptionGridView::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
                       type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!mouse || widget == nullptr) return QTableView::eventFilter(watched, event);
    auto* e = static_cast<QMouseEvent*>(event);
    const QPoint pos = widget->mapTo(this, e->position().toPoint());
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (e->button() == Qt::LeftButton) {
                if (const int column = BorderColumnAt(pos); column >= 0) {
                    resizing_ = column;
                    drag_origin_ = pos.x();
                    drag_width_ = GridColumnWidth(column);
                    return true;
                }
            }
            break;
        case QEvent::MouseMove:
            if (resizing_ >= 0) {
                Guarded([&] { SetGridColumnWidth(resizing_, drag_width_ + pos.x() - drag_origin_); });
                return true;
            }
            if (BorderColumnAt(pos) >= 0)
                widget->setCursor(Qt::SplitHCursor);
            else
                widget->unsetCursor();
            break;
        case QEvent::MouseButtonRelease:
            if (resizing_ >= 0 && e->button() == Qt::LeftButton) {
                resizing_ = -1;
                return true;
            }
            break;
        default: break;
    }
    return QTableView::eventFilter(watched, event);
}

void TOptionGridView::OptionColumnInserted(int option) {
    if (option < 0 || option > static_cast<int>(option_widths_.size())) return;
    option_widths_.insert(option_widths_.begin() + option, 0);
}

void TOptionGridView::OptionColumnRemoved(int option) {
    if (option < 0 || option >= static_cast<int>(option_widths_.size())) return;
    option_widths_.erase(option_widths_.begin() + option);
}

void TOptionGridView::OptionColumnsExchanged(int first, int second) {
    const int needed = std::max(first, second) + 1;
    if (std::min(first, second) < 0) return;
    if (static_cast<int>(option_widths_.size()) < needed) option_widths_.resize(static_cast<std::size_t>(needed), 0);
    std::swap(option_widths_[static_cast<std::size_t>(first)], option_widths_[static_cast<std::size_t>(second)]);
}

void TOptionGridView::ClearValEditMenu() {
    for (QAction* item : ValEditMenu->actions()) {
        ValEditMenu->removeAction(item);
        item->deleteLater();
    }
}

void TOptionGridView::FillValEditMenu(const std::vector<std::string>& items, const std::function<void(int)>& choose) {
    ClearValEditMenu();
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        auto* item = new TValItem(ValEditMenu, i, items[i]);
        connect(item, &QAction::triggered, this, [choose, i] { Guarded([&] { choose(i); }); });
        ValEditMenu->addAction(item);
    }
}

void TOptionGridView::contextMenuEvent(QContextMenuEvent* event) {
    Guarded([&] {
        // The clicked cell becomes current (refreshing the page and its
        // popup) before the popup opens on it.
        const QModelIndex at = indexAt(event->pos());
        if (at.isValid() && at != currentIndex()) setCurrentIndex(at);
        if (!ValEditMenu->isEmpty()) ValEditMenu->popup(event->globalPos());
    });
    event->accept();
}

TValItem::TValItem(QObject* owner, int index, const std::string& name)
    : QAction(ToQString(ValueItemCaption(index, name)), owner), ValueIndex(index) {}

}  // namespace mivo
