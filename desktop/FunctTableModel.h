// The rule editor's grid as a Qt table model over the working copy of a
// decision table. Nothing is copied per cell: every cell is read from the
// function when the view asks for it, so a table of any size costs only
// the rows on screen.
//
// Layout: row 0 and column 0 are the headers. Column 0 holds the rule
// numbers 1..n, columns 1..k the input values of each rule (value names of
// each input's scale), column k + 1 the rule's result. Row 0 holds the
// inputs' names and, over the result column, the attribute's name.
//
// Roles: input values bad on their scale are red, good ones green; the
// result header and the results of entered rules are bold; only result
// cells of rule rows are selectable.
#pragma once

#include <vector>

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QStringList>

namespace mivo {

class TMivoAttribute;
class TMivoDiscreteScale;
class TMivoFunction;

// Colours of bad and good input values.
inline const QColor FncBadColour{255, 0, 0};
inline const QColor FncGoodColour{0, 128, 0};

class TFunctTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TFunctTableModel(QObject* parent = nullptr);

    // Shows the function of the attribute (nullptr for either: an empty
    // grid). Both must outlive the showing or be replaced first.
    void SetFunction(const TMivoAttribute* attribute, const TMivoFunction* funct);
    void Clear() { SetFunction(nullptr, nullptr); }

    int InputCount() const { return static_cast<int>(inputs_.size()); }
    int ResultColumn() const { return InputCount() + 1; }
    // The results of the rules have changed: the view repaints that column.
    void ResultsChanged();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The cell's text, and whether it is a header cell (row 0 or column 0).
    QString CellText(int row, int column) const;
    // The texts the cells of a column below row 0 can show, for its width:
    // the input's value names, or for the result column the output value
    // names, alone and after ">=", and "*".
    QStringList ColumnTexts(int column) const;
    static bool IsHeader(int row, int column) { return row == 0 || column == 0; }
    bool IsResultCell(int row, int column) const { return row > 0 && column == ResultColumn(); }

private:
    struct Input {
        QString Name;
        QStringList Values;          // value names
        std::vector<QVariant> Colours;  // per value: red, green or none
    };

    QString ResultText(int rule) const;

    const TMivoAttribute* attribute_ = nullptr;
    const TMivoFunction* funct_ = nullptr;
    const TMivoDiscreteScale* scale_ = nullptr;
    QString name_;
    std::vector<Input> inputs_;
};

}  // namespace mivo
