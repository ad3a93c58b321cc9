#include "desktop/FunctTableModel.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>

#include "desktop/FunctForm.h"
#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoScale.h"

namespace mivo {

namespace {

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TFunctTableModel::TFunctTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void TFunctTableModel::SetFunction(const TMivoAttribute* attribute, const TMivoFunction* funct) {
    beginResetModel();
    attribute_ = funct ? attribute : nullptr;
    funct_ = attribute_ ? funct : nullptr;
    scale_ = attribute_ ? dynamic_cast<const TMivoDiscreteScale*>(attribute_->Scale()) : nullptr;
    name_ = attribute_ ? ToQt(attribute_->GetName()) : QString();
    inputs_.clear();
    if (attribute_) {
        for (int k = 0; k < attribute_->InpCount(); ++k) {
            const TMivoAttribute* input = attribute_->Inputs(k);
            Input entry;
            entry.Name = ToQt(input->GetName());
            if (const auto* scale = dynamic_cast<const TMivoDiscreteScale*>(input->Scale())) {
                for (int v = 0; v < scale->Count(); ++v) {
                    entry.Values.push_back(ToQt(scale->ValueName(v)));
                    if (scale->IsBad(v))
                        entry.Colours.emplace_back(QBrush(FncBadColour));
                    else if (scale->IsGood(v))
                        entry.Colours.emplace_back(QBrush(FncGoodColour));
                    else
                        entry.Colours.emplace_back();
                }
            }
            inputs_.push_back(std::move(entry));
        }
    }
    endResetModel();
}

void TFunctTableModel::ResultsChanged() {
    if (!funct_ || funct_->RuleCount() == 0) return;
    Q_EMIT dataChanged(index(1, ResultColumn()), index(funct_->RuleCount(), ResultColumn()),
                     {Qt::DisplayRole, Qt::FontRole});
}

int TFunctTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !funct_) return 0;
    return funct_->RuleCount() + 1;
}

int TFunctTableModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || !funct_) return 0;
    return InputCount() + 2;
}

QString TFunctTableModel::ResultText(int rule) const {
    if (!scale_) return {};
    return ToQt(RuleValueText(*scale_, funct_->RuleLow(rule), funct_->RuleHigh(rule)));
}

QString TFunctTableModel::CellText(int row, int column) const {
    if (!funct_ || row < 0 || row > funct_->RuleCount() || column < 0 || column > ResultColumn()) return {};
    if (row == 0) {
        if (column == 0) return {};
        return column == ResultColumn() ? name_ : inputs_[static_cast<std::size_t>(column - 1)].Name;
    }
    if (column == 0) return QString::number(row);
    const int rule = row - 1;
    if (column == ResultColumn()) return ResultText(rule);
    const Input& input = inputs_[static_cast<std::size_t>(column - 1)];
    const int value = funct_->ArgValue(column - 1, rule);
    return value >= 0 && value < input.Values.size() ? input.Values[value] : QString();
}

QStringList TFunctTableModel::ColumnTexts(int column) const {
    if (column >= 1 && column <= InputCount()) return inputs_[static_cast<std::size_t>(column - 1)].Values;
    QStringList texts;
    if (column == ResultColumn() && scale_) {
        for (int v = 0; v < scale_->Count(); ++v) {
            texts.push_back(ToQt(scale_->ValueName(v)));
            texts.push_back(QStringLiteral(">=") + texts.back());
        }
        texts.push_back(QStringLiteral("*"));
    }
    return texts;
}

QVariant TFunctTableModel::data(const QModelIndex& index, int role) const {
    if (!funct_ || !index.isValid()) return {};
    const int row = index.row();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return CellText(row, column);
    case Qt::TextAlignmentRole:
        return column == 0 ? QVariant(Qt::AlignRight | Qt::AlignTop) : QVariant(Qt::AlignLeft | Qt::AlignTop);
    case Qt::FontRole: {
        const bool bold = (row == 0 && column == ResultColumn()) ||
                          (row > 0 && column == ResultColumn() && funct_->RuleEntered(row - 1));
        if (!bold) return {};
        // Only the weight is set: the view's own font supplies the rest.
        QFont font;
        font.setBold(true);
        return font;
    }
    case Qt::ForegroundRole: {
        if (row == 0 || column == 0 || column == ResultColumn()) return {};
        const Input& input = inputs_[static_cast<std::size_t>(column - 1)];
        const int value = funct_->ArgValue(column - 1, row - 1);
        if (value < 0 || value >= static_cast<int>(input.Colours.size())) return {};
        return input.Colours[static_cast<std::size_t>(value)];
    }
    case Qt::BackgroundRole:
        if (IsHeader(row, column)) return QGuiApplication::palette().brush(QPalette::Button);
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags TFunctTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    if (IsResultCell(index.row(), index.column())) return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return Qt::ItemIsEnabled;
}

}  // namespace mivo
