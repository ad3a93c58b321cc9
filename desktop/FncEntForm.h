// "Enter values": asks the rule editor's user which derived values to mark
// as entered, all rules or only those with a single value.
#pragma once

#include <QDialog>

class QRadioButton;
class QPushButton;

namespace mivo {

class TFncEntForm : public QDialog {
    Q_OBJECT
public:
    explicit TFncEntForm(QWidget* parent = nullptr);

    // The first choice, "to all rules (whole table)", is chosen.
    bool WholeTable() const;
    void SetWholeTable(bool whole);

    QRadioButton* WholeButton() const { return whole_; }
    QRadioButton* SingleButton() const { return single_; }
    QPushButton* EnterBtn() const { return enter_; }
    QPushButton* CancelBtn() const { return cancel_; }

private:
    QRadioButton* whole_ = nullptr;
    QRadioButton* single_ = nullptr;
    QPushButton* enter_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace mivo
