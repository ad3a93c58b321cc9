// The evaluation page of the model window: the grid of all attributes by
// options with the evaluated values (desktop/OptionGrid.h), the value box
// for basic attributes, the analyses (plus-minus-one, selective
// explanation, comparison of options) and the find commands over the
// grid's rows.
#pragma once

#include "desktop/FramePage.h"
#include "desktop/OptionGrid.h"

class QComboBox;

namespace mivo {

class TCompOptForm;
class TFindForm;

inline constexpr const char* MsgNoClipboardOptionData =
    "No option data for the model on the clipboard: no attribute title names a basic attribute of the model "
    "(check the separator and the orientation)";

// The main window's single find and compare dialogs (made on first use,
// owned by the main window as Qt children).
TFindForm& FindDialog(QWidget& mainWindow);
TCompOptForm& CompareDialog(QWidget& mainWindow);

class TEvalPage final : public TFramePage {
public:
    explicit TEvalPage(TModelForm& form);
    ~TEvalPage() override;

    void Fill() override;
    void Refresh() override;
    bool PreviewKey(QKeyEvent& event) override;
    void ModelReplaced() override;
    void OptionsReplaced(const TGridCells& cells) override;
    void CurrentCells(TGridCells& cells) const override;

    void EvalValEditChange(int item);
    // All option data to the clipboard as text, and back: the text is read
    // in full and must name a basic attribute of the model before anything
    // is stored; otherwise a message and no change.
    void EvalCopyBtnClick();
    void EvalPasteBtnClick();
    void PlusMinusClick();
    void SelExpClick();
    void CompareClick();
    void EvalFindItemClick();
    void EvalFindNextItemClick();

    TGridCells Cell() const;
    void SetCurrentCell(int gridRow, int gridCol);

    TOptionGridView* EvalGrid = nullptr;
    TOptionGridModel* GridModel = nullptr;
    QComboBox* EvalValEdit = nullptr;

private:
    void FillEvaluationGrid();
    void CellChanged();
    int CurrentOption() const;
    TModelWindowState& State() const;
};

}  // namespace mivo
