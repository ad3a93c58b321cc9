// What the plain model-window commands ask of the window that shows the
// state: the model window implements it, tests implement it with a
// recorder.
#pragma once

namespace mivo {

// The current cells of the two grids (-1 for none).
struct TGridCells {
    int OptRow = -1;
    int OptCol = -1;
    int EvalRow = -1;
    int EvalCol = -1;
};

class TModelWindowEvents {
public:
    TModelWindowEvents() = default;
    TModelWindowEvents(const TModelWindowEvents&) = delete;
    TModelWindowEvents& operator=(const TModelWindowEvents&) = delete;
    virtual ~TModelWindowEvents() = default;

    // The tree view lets go of every node: the model's attributes are about
    // to be freed (the model is replaced). Called before the swap.
    virtual void ClearTree() = 0;
    // The model was replaced or read anew: refill the tree fully expanded
    // with its first node selected (the state's current attribute is the
    // first top attribute already), and the visible grid.
    virtual void ModelReplaced() = 0;
    // The option data changed as a whole (undo, redo, import): refill the
    // visible grid and make the given cells current where the grid allows.
    virtual void OptionsReplaced(const TGridCells& cells) = 0;
    // The current cells of both grids, for an option snapshot.
    virtual TGridCells CurrentCells() const { return {}; }
    // Takes an option undo point for an option-name edit entered and
    // changed but not yet left (the edit then counts as entered anew with
    // its current text). True when a point was taken.
    virtual bool CommitPendingOptionEdit() { return false; }
    // Refreshes caption, status line and every command (UpdateControls).
    virtual void UpdateControls() = 0;
    // Shows the window maximised (after a new model or an open).
    virtual void Maximize() {}
};

}  // namespace mivo
