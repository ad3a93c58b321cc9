// Undo and redo of a model window over its two histories.
//
// The Model page's Undo and Redo work on the model history, the Options
// and Evaluation pages' on the option history; both only while the model's
// undo setting is on (every push does nothing while it is off).
//
// Nothing is lost by moving through a history:
//  - an edit of the attribute name, description or function description
//    that is entered and not yet left is committed as a state of its own
//    before Undo moves; likewise an option name being typed on the
//    option history;
//  - when the model (or its option data) differs from the state at the
//    index, the current state is stored there before moving, so Redo
//    returns to it. Every edit of the model takes a model undo point of
//    its own except those of the option data, the settings and the
//    model's name and description; so the model counts as differing when
//    one of these changed since the state at the index was made current
//    (and, when that is not known, when its model-file text differs).
// A model restore reads the snapshot into a fresh model; only when that
// succeeds is the tree cleared and the model swapped. On failure the model
// and the index stay as they were.
#pragma once

#include <memory>
#include <string>

#include "desktop/ModelWindowEvents.h"
#include "desktop/ModelWindowState.h"
#include "desktop/UndoHistory.h"
#include "model/MivoSettings.h"

namespace mivo {

class TUndoCommands {
public:
    TUndoCommands(TModelWindowState& state, TModelWindowEvents& events) : state_(state), events_(events) {}

    // --- model history --------------------------------------------------

    // Appends the current model (dropping the redo states and the oldest
    // beyond the limit) and restarts the option history from the current
    // option data; the modified mark stays. Nothing while undo is off.
    void PushModelUndo();
    // Empties the model history and pushes the current state.
    void ResetModelUndo();
    // Deletes the states from `from` on; the index becomes from - 1.
    void TruncateModelUndo(int from);
    // Replaces the model by the snapshot at the index (see above); marks
    // it modified, restarts the option history, selects the first node.
    void RestoreModelUndo();
    // One step back / forward; nothing when impossible.
    void ModelUndo();
    void ModelRedo();

    // Puts the model in place of the window's: the tree is cleared before
    // the old model is freed, the first top attribute becomes current and
    // the window refills (all while Updating).
    void ReplaceModel(std::unique_ptr<TMivoModel> model);

    // --- option history -------------------------------------------------

    void PushOptionUndo();
    void ResetOptionUndo();
    void TruncateOptionUndo(int from);
    // Puts the option data of the state at the index into the model in one
    // step, marks it changed, re-evaluates and refills the visible grid.
    void RestoreOptionUndo();
    void OptionUndo();
    void OptionRedo();

    // --- the three edits ------------------------------------------------

    // Entering an edit remembers its text (with a current attribute, and
    // for the function description only while it has a function; nothing
    // while Updating); leaving it pushes a model state when the text
    // differs, then forgets it.
    void AtrNameEditEnter();
    void AtrNameEditExit();
    void AtrDescEditEnter();
    void AtrDescEditExit();
    void FncDescEditEnter();
    void FncDescEditExit();
    // Pushes a state for an edit entered and changed but not yet left; the
    // edit then counts as entered anew with its current text. True when a
    // state was pushed.
    bool CommitPendingEdit();

private:
    bool UndoOn() const;
    // The remembered text of an edit, and the current text of the model
    // part it changes.
    std::string* OldText(TModelWindowState::TPendingEdit edit);
    std::string PendingEditText(TModelWindowState::TPendingEdit edit) const;
    void EnterEdit(TModelWindowState::TPendingEdit edit);
    void ExitEdit(TModelWindowState::TPendingEdit edit);
    // After a restore, an entered edit starts over from the restored text.
    void ForgetPendingChange();
    // Reads the state at the index and makes it current; on failure
    // nothing changes.
    void RestoreModelState(int index);
    void RestoreOptionState(int index);
    // Stores the current model / option state at the index when it
    // differs from what is held there.
    void StoreModelStateIfChanged();
    void StoreOptionStateIfChanged();
    TOptUndoItem CurrentOptionItem() const;

    // What can change without a model undo point, as it was when the model
    // state at the index became current.
    struct TBaseline {
        const TMivoModel* Model = nullptr;
        int Index = -1;
        int Count = 0;
        TOptionSnapshot Options;
        TMivoSettings Settings;
        std::string Name;
        std::string Description;
    };
    void TakeBaseline();
    // The baseline belongs to the model and state now current.
    bool BaselineHolds() const;
    bool ChangedSinceBaseline() const;

    TBaseline baseline_;
    TModelWindowState& state_;
    TModelWindowEvents& events_;
};

}  // namespace mivo
