// The weights dialog of the rule editor: for the decision table being
// edited, the weight each input has by the rules ("Current", marked on its
// slider) and the weight the table should follow ("Required", set with the
// slider), normalisation to a sum or a maximum of 100, and the rounding
// direction of the weights model.
//
// The dialog refers to the editor's working copy (not owned). Every showing
// starts from the function: its rounding, its stored required weights and
// freshly computed current weights. OK and Apply store the rounding and the
// required weights, switch the weights model on and call the recompute
// callback given at load (the editor refits and refills the table); Cancel
// stores nothing (what Apply stored stays).
//
// Weights show as integers, halves rounded to the even neighbour. A stored
// weight the slider cannot show (above 100, below 0, huge) keeps its value
// and text; the slider stands at the nearer end.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QDialog>

#include "model/Utils.h"

class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollArea;

namespace mivo {

class TMivoAttribute;
class TMivoFunction;
class TPrompts;
class TWeightSlider;

// The text of a weight: the value rounded half to even, as a whole number
// ("33", "-5", "250"); beyond 15 digits in exponent form ("1e+300").
std::string WeightText(double weight);

// One input's row: its name, its slider, the required and the current
// weight.
class TWeightRow : public QWidget {
    Q_OBJECT
public:
    TWeightRow(const QString& name, QWidget* parent = nullptr);

    static constexpr int RowHeight = 43;

    QLabel* AttName() const { return name_; }
    TWeightSlider* AttTrack() const { return track_; }
    QLabel* ReqWei() const { return required_; }
    QLabel* ActWei() const { return current_; }

private:
    QLabel* name_ = nullptr;
    TWeightSlider* track_ = nullptr;
    QLabel* required_ = nullptr;
    QLabel* current_ = nullptr;
};

class TWeiForm : public QDialog {
    Q_OBJECT
public:
    // What OK and Apply call after storing the weights.
    using TRecompute = std::function<void()>;

    explicit TWeiForm(QWidget* parent = nullptr);
    ~TWeiForm() override;

    // Binds the dialog to the function of the attribute: caption, one row
    // per input, the rounding. The function must outlive the binding.
    void LoadFunction(const TMivoAttribute& attribute, TMivoFunction& funct, TRecompute recompute);
    // What every showing starts with: the function's rounding, fresh
    // current weights over all rules, the stored required weights.
    void FormShow();
    // FormShow, then shows the dialog modally (prompts' Exec, "Weights");
    // returns the result code.
    int Execute(TPrompts& prompts);

    // --- what tests and the demo look at -------------------------------
    int RowCount() const { return static_cast<int>(rows_.size()); }
    TWeightRow* Row(int i) const { return rows_.at(static_cast<std::size_t>(i)); }
    const TFloatList& Required() const { return required_; }
    const TFloatList& Current() const { return current_; }
    // 0 "&down", 1 "&no", 2 "&up".
    int RoundingIndex() const;
    QRadioButton* RoundButton(int i) const;
    QPushButton* SumBtn() const { return sum_btn_; }
    QPushButton* MaxBtn() const { return max_btn_; }
    QPushButton* OKBtn() const { return ok_btn_; }
    QPushButton* ApplyBtn() const { return apply_btn_; }
    QPushButton* CancelBtn() const { return cancel_btn_; }
    QScrollArea* RowArea() const { return row_area_; }

private:
    void BuildControls();
    void ClearRows();
    void LoadRounding();
    void UpdateActual(bool recompute);
    void LoadActualWeights();
    void LoadRequiredWeights();
    void UpdateFrames();
    void SetTrackBars();
    void TrackBarChange(int row);
    void Normalize(void (*normalize)(TFloatList&, double));
    void StoreWeights();
    void OKBtnClick();
    void ApplyBtnClick();
    void FitHeight();

    bool busy_ = false;
    const TMivoAttribute* attribute_ = nullptr;  // not owned
    TMivoFunction* funct_ = nullptr;             // the editor's working copy; not owned
    TRecompute recompute_;
    std::vector<TWeightRow*> rows_;              // owned by the row area's widget
    TFloatList required_;
    TFloatList current_;

    QWidget* top_panel_ = nullptr;
    QScrollArea* row_area_ = nullptr;
    QWidget* row_box_ = nullptr;
    QWidget* round_grp_ = nullptr;
    QButtonGroup* round_buttons_ = nullptr;
    QWidget* norm_grp_ = nullptr;
    QWidget* bot_panel_ = nullptr;
    QPushButton* sum_btn_ = nullptr;
    QPushButton* max_btn_ = nullptr;
    QPushButton* ok_btn_ = nullptr;
    QPushButton* apply_btn_ = nullptr;
    QPushButton* cancel_btn_ = nullptr;
};

}  // namespace mivo
