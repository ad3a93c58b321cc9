#include "desktop/UndoCommands.h"

#include <utility>

#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoModel.h"

namespace mivo {

using TPendingEdit = TModelWindowState::TPendingEdit;

bool TUndoCommands::UndoOn() const { return state_.Model().Undoing(); }

// --- model history ---------------------------------------------------------

void TUndoCommands::PushModelUndo() {
    if (!UndoOn()) return;
    // The option history starts again from this state; the window is
    // refreshed once, at the end.
    TruncateOptionUndo(0);
    state_.OptUndo().Push(CurrentOptionItem());
    TModelUndoHistory& history = state_.ModelUndo();
    try {
        history.Push(TakeModelSnapshot(state_.Model()));
        TakeBaseline();
    } catch (...) {
        events_.UpdateControls();
        throw;
    }
    events_.UpdateControls();
}

void TUndoCommands::ResetModelUndo() {
    TruncateModelUndo(0);
    PushModelUndo();
}

void TUndoCommands::TruncateModelUndo(int from) { state_.ModelUndo().Truncate(from); }

void TUndoCommands::RestoreModelUndo() { RestoreModelState(state_.ModelUndo().Index()); }

void TUndoCommands::RestoreModelState(int index) {
    TModelUndoHistory& history = state_.ModelUndo();
    // Read first: a snapshot that fails to read leaves model and index alone.
    std::unique_ptr<TMivoModel> fresh = ReadModelSnapshot(history.At(index));
    history.SetIndex(index);
    ReplaceModel(std::move(fresh));
    ResetOptionUndo();
    TakeBaseline();
    events_.UpdateControls();
}

void TUndoCommands::ReplaceModel(std::unique_ptr<TMivoModel> model) {
    std::unique_ptr<TMivoModel> old;
    auto updating = state_.BeginUpdate();
    // The tree lets go of the old attributes before they are freed.
    events_.ClearTree();
    old = state_.ReplaceModel(std::move(model));
    state_.SelectFirstAttribute();
    ForgetPendingChange();
    events_.ModelReplaced();
}

void TUndoCommands::TakeBaseline() {
    const TMivoModel& model = state_.Model();
    baseline_.Model = &model;
    baseline_.Index = state_.ModelUndo().Index();
    baseline_.Count = state_.ModelUndo().Count();
    baseline_.Options = TakeOptionSnapshot(model);
    baseline_.Settings = model.Settings;
    baseline_.Name = model.GetName();
    baseline_.Description = model.GetDescription();
}

bool TUndoCommands::BaselineHolds() const {
    const TModelUndoHistory& history = state_.ModelUndo();
    return baseline_.Model == &state_.Model() && baseline_.Index == history.Index() &&
           baseline_.Count == history.Count();
}

bool TUndoCommands::ChangedSinceBaseline() const {
    const TMivoModel& model = state_.Model();
    return model.Settings != baseline_.Settings || model.GetName() != baseline_.Name ||
           model.GetDescription() != baseline_.Description ||
           !TakeOptionSnapshot(model).SameData(baseline_.Options);
}

void TUndoCommands::StoreModelStateIfChanged() {
    TModelUndoHistory& history = state_.ModelUndo();
    if (history.Empty()) return;
    // Writing the whole model is the costly part of an undo step: skip it
    // when nothing that changes without an undo point has changed.
    if (BaselineHolds() && !ChangedSinceBaseline()) return;
    TCompressedText current = TakeModelSnapshot(state_.Model());
    if (current != history.Current()) history.StoreCurrent(std::move(current));
}

void TUndoCommands::ModelUndo() {
    TModelUndoHistory& history = state_.ModelUndo();
    if (!history.CanUndo()) return;
    if (!CommitPendingEdit()) StoreModelStateIfChanged();
    RestoreModelState(history.Index() - 1);
}

void TUndoCommands::ModelRedo() {
    TModelUndoHistory& history = state_.ModelUndo();
    if (!history.CanRedo()) return;
    // A change not yet in the history stays reachable: it replaces the
    // state at the index, to which Undo then returns.
    StoreModelStateIfChanged();
    RestoreModelState(history.Index() + 1);
}

// --- option history --------------------------------------------------------

TOptUndoItem TUndoCommands::CurrentOptionItem() const {
    const TGridCells cells = events_.CurrentCells();
    TOptUndoItem item;
    item.OptGridRow = cells.OptRow;
    item.OptGridCol = cells.OptCol;
    item.EvalGridRow = cells.EvalRow;
    item.EvalGridCol = cells.EvalCol;
    item.Data = TakeOptionSnapshot(state_.Model());
    return item;
}

void TUndoCommands::PushOptionUndo() {
    if (!UndoOn()) return;
    state_.OptUndo().Push(CurrentOptionItem());
    events_.UpdateControls();
}

void TUndoCommands::ResetOptionUndo() {
    TruncateOptionUndo(0);
    PushOptionUndo();
}

void TUndoCommands::TruncateOptionUndo(int from) { state_.OptUndo().Truncate(from); }

void TUndoCommands::RestoreOptionUndo() { RestoreOptionState(state_.OptUndo().Index()); }

void TUndoCommands::RestoreOptionState(int index) {
    TOptionUndoHistory& history = state_.OptUndo();
    const TOptUndoItem& item = history.At(index);
    ApplyOptionSnapshot(item.Data, state_.Model());
    history.SetIndex(index);
    {
        auto updating = state_.BeginUpdate();
        state_.StructureChanged();
        events_.OptionsReplaced(TGridCells{item.OptGridRow, item.OptGridCol, item.EvalGridRow, item.EvalGridCol});
    }
    events_.UpdateControls();
}

void TUndoCommands::StoreOptionStateIfChanged() {
    TOptionUndoHistory& history = state_.OptUndo();
    if (history.Empty()) return;
    TOptUndoItem current = CurrentOptionItem();
    if (!current.Data.SameData(history.Current().Data)) history.StoreCurrent(std::move(current));
}

void TUndoCommands::OptionUndo() {
    TOptionUndoHistory& history = state_.OptUndo();
    if (!history.CanUndo()) return;
    // An option name being typed becomes a state of its own first, so Undo
    // returns to the name it had when the edit was entered.
    if (!events_.CommitPendingOptionEdit()) StoreOptionStateIfChanged();
    RestoreOptionState(history.Index() - 1);
}

void TUndoCommands::OptionRedo() {
    TOptionUndoHistory& history = state_.OptUndo();
    if (!history.CanRedo()) return;
    StoreOptionStateIfChanged();
    RestoreOptionState(history.Index() + 1);
}

// --- the three edits -------------------------------------------------------

std::string* TUndoCommands::OldText(TPendingEdit edit) {
    switch (edit) {
        case TPendingEdit::AtrName: return &state_.OldAtrName;
        case TPendingEdit::AtrDesc: return &state_.OldAtrDesc;
        case TPendingEdit::FncDesc: return &state_.OldFncDesc;
        case TPendingEdit::None: break;
    }
    return nullptr;
}

std::string TUndoCommands::PendingEditText(TPendingEdit edit) const {
    const TMivoAttribute* attribute = state_.CurrentAttribute();
    if (!attribute) return {};
    switch (edit) {
        case TPendingEdit::AtrName: return attribute->GetName();
        case TPendingEdit::AtrDesc: return attribute->GetDescription();
        case TPendingEdit::FncDesc: return attribute->Funct() ? attribute->Funct()->GetDescription() : std::string();
        case TPendingEdit::None: break;
    }
    return {};
}

void TUndoCommands::EnterEdit(TPendingEdit edit) {
    const TMivoAttribute* attribute = state_.CurrentAttribute();
    if (state_.Updating() || !attribute) return;
    if (edit == TPendingEdit::FncDesc && !attribute->Funct()) return;
    *OldText(edit) = PendingEditText(edit);
    state_.PendingEdit = edit;
}

void TUndoCommands::ExitEdit(TPendingEdit edit) {
    std::string& old = *OldText(edit);
    const bool entered = state_.PendingEdit == edit;
    if (entered) state_.PendingEdit = TPendingEdit::None;
    if (entered && !state_.Updating() && PendingEditText(edit) != old) PushModelUndo();
    old.clear();
}

bool TUndoCommands::CommitPendingEdit() {
    const TPendingEdit edit = state_.PendingEdit;
    if (edit == TPendingEdit::None || !UndoOn()) return false;
    std::string& old = *OldText(edit);
    std::string text = PendingEditText(edit);
    if (text == old) return false;
    PushModelUndo();
    old = std::move(text);
    return true;
}

void TUndoCommands::ForgetPendingChange() {
    // The edit stays entered, now over the restored model: only what is
    // typed from here on is a change.
    if (state_.PendingEdit != TPendingEdit::None) *OldText(state_.PendingEdit) = PendingEditText(state_.PendingEdit);
}

void TUndoCommands::AtrNameEditEnter() { EnterEdit(TPendingEdit::AtrName); }
void TUndoCommands::AtrNameEditExit() { ExitEdit(TPendingEdit::AtrName); }
void TUndoCommands::AtrDescEditEnter() { EnterEdit(TPendingEdit::AtrDesc); }
void TUndoCommands::AtrDescEditExit() { ExitEdit(TPendingEdit::AtrDesc); }
void TUndoCommands::FncDescEditEnter() { EnterEdit(TPendingEdit::FncDesc); }
void TUndoCommands::FncDescEditExit() { ExitEdit(TPendingEdit::FncDesc); }

}  // namespace mivo
