// The options page of the model window: the grid of basic attributes by
// options (desktop/OptionGrid.h), the option-name edit and the value box
// above it (one shown at a time, for the current cell), the option
// commands and value entry by keys.
//
// Every change of option data ends alike: the model marked changed, an
// option undo point, the grid refreshed, the controls updated. The name
// edit takes one undo point per visit, when the name differs on leaving;
// it refuses tabs and line breaks, which the option-data texts cannot
// carry.
#pragma once

#include "desktop/FramePage.h"
#include "desktop/OptionGrid.h"

class QComboBox;
class QLineEdit;

namespace mivo {

class TOptionsPage final : public TFramePage {
public:
    explicit TOptionsPage(TModelForm& form);
    ~TOptionsPage() override;

    void Fill() override;
    void Refresh() override;
    bool PreviewKey(QKeyEvent& event) override;
    void ClearTree() override;
    void ModelReplaced() override;
    void OptionsReplaced(const TGridCells& cells) override;
    void CurrentCells(TGridCells& cells) const override;
    bool CommitPendingOptionEdit() override;

    // --- commands ---------------------------------------------------------

    // Add from the button puts the new option after the current one, from
    // the menu before it; either way it becomes current.
    void OptAddBtnClick(bool fromButton);
    void OptDelBtnClick();
    void OptCutBtnClick();
    void OptCopyBtnClick();
    void OptDupBtnClick();
    void OptPasteBtnClick();
    void OptLeftBtnClick();
    void OptRightBtnClick();
    // The value box's item (the last one, "*", is undefined) for the
    // current cell.
    void OptValEditChange(int item);

    // The grid's current cell in grid numbering; -1 for none.
    TGridCells Cell() const;
    void SetCurrentCell(int gridRow, int gridCol);

    TOptionGridView* OptGrid = nullptr;
    TOptionGridModel* GridModel = nullptr;
    QLineEdit* OptNameEdit = nullptr;
    QComboBox* OptValEdit = nullptr;

private:
    // The options grid and the evaluation grid, for keeping the widths the
    // user chose with their options when options are added, removed or
    // moved.
    void ForEachGrid(const std::function<void(TOptionGridView&)>& apply);
    class TNameEditFilter;

    void FillOptionsGrid();
    void CellChanged();
    void OptionDataChanged(bool refill);
    void NameEditEnter();
    void NameEditChange(const QString& text);
    void NameEditExit();
    void NameEditEscape();
    int CurrentOption() const;
    TModelWindowState& State() const;

    std::unique_ptr<TNameEditFilter> name_filter_;
    bool name_entered_ = false;
};

}  // namespace mivo
