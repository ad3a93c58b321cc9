#include "desktop/OptionGrid.h"

#include "platform/QtFontSource.h"

#include <QBrush>
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
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultSectionSize(DefaultOptionColumnWidth);
    // The grid's own heading is its first row (the option names); the
    // view's header would be an empty strip above it.
    horizontalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    ValEditMenu = new QMenu(this);
}

void TOptionGridView::FitOptionColumns(int optionCount) {
    if (optionCount == 0)
        setColumnWidth(0, 0);
    else if (columnWidth(0) == 0)
        setColumnWidth(0, DefaultOptionColumnWidth);
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
