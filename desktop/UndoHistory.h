// The two histories of a model window and the snapshots they hold.
//
// The model history keeps whole models as model-file text, one text per
// snapshot, held compressed (desktop/CompressedText.h): the text is written
// straight into the compressor and read straight out of it, so that not
// even one whole text stands in memory on the way, and twenty states of a
// large model take little more memory than the model.
//
// The option history keeps the option data: every option name, the option
// selection, every attribute's raw value strings and the current cells of
// both grids. Raw strings, not the user's text format, so
// hidden options, the selection, codes outside a scale and value names
// holding ";" or a TAB all come back exactly; the value lists are shared
// copies (TValueStrings), so a snapshot costs one reference per attribute
// and an unchanged list is never copied.
//
// Both histories hold at most `UndoLimit` states, dropping the oldest
// first. The index names the state that shows the current one; -1 means an
// empty history.
//
// The operations on a window (push, restore, undo, redo) are in
// desktop/UndoCommands.h.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "desktop/CompressedText.h"
#include "model/ValueStrings.h"

namespace mivo {

class TMivoAttribute;
class TMivoModel;

inline constexpr int UndoLimit = 20;

inline constexpr const char* SOptionHistoryMismatch = "The option history does not belong to this model";

// A bounded list of states with a current index.
template <class T>
class TUndoHistory {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }
    int Index() const { return index_; }

    // Undo is possible: a state before the current one exists.
    bool CanUndo() const { return !items_.empty() && index_ >= 1; }
    // Redo is possible: a state after the current one exists.
    bool CanRedo() const { return !items_.empty() && index_ < Count() - 1; }

    const T& At(int i) const { return items_.at(static_cast<std::size_t>(i)); }
    T& At(int i) { return items_.at(static_cast<std::size_t>(i)); }
    // The state at the index (the history must not be empty).
    const T& Current() const { return At(index_); }

    // Deletes the states from the last down to `from`; the index becomes
    // from - 1 (a negative `from` counts as 0).
    void Truncate(int from) {
        if (from < 0) from = 0;
        if (from < Count()) items_.erase(items_.begin() + from, items_.end());
        index_ = from - 1;
        if (index_ >= Count()) index_ = Count() - 1;
    }
    // Drops the states after the index, then the oldest while the history
    // is full, appends the state and makes it current.
    void Push(T item) {
        Truncate(index_ + 1);
        while (Count() >= UndoLimit) items_.erase(items_.begin());
        items_.push_back(std::move(item));
        index_ = Count() - 1;
    }
    // Replaces the state at the index (the history must not be empty).
    void StoreCurrent(T item) { At(index_) = std::move(item); }
    // Moves the index; false (and no move) outside the history.
    bool SetIndex(int index) {
        if (index < 0 || index >= Count()) return false;
        index_ = index;
        return true;
    }
    void Clear() { Truncate(0); }

private:
    std::vector<T> items_;
    int index_ = -1;
};

// --- model snapshots ----------------------------------------------------------

// The model as model-file text (the writer's lines joined by LF),
// compressed. The model's modified mark is left as it was, also when
// writing fails.
TCompressedText TakeModelSnapshot(TMivoModel& model);

// A new model read from a snapshot; nothing else is touched. The new model
// is marked modified. A snapshot that cannot be read (damaged, or not a
// model) raises EMivoError SSnapshotUnreadable with the reason.
std::unique_ptr<TMivoModel> ReadModelSnapshot(const TCompressedText& snapshot);

inline constexpr const char* SSnapshotUnreadable = "The model cannot be restored from its undo state: %s";

using TModelUndoHistory = TUndoHistory<TCompressedText>;

// --- option snapshots ---------------------------------------------------------

// The option data of a model: names, selection and every attribute's value
// list, in tree order, with the attributes they belong to.
struct TOptionSnapshot {
    std::vector<std::string> Names;
    std::string Selection;
    std::vector<TMivoAttribute*> Attributes;  // not owned; compared, never read
    std::vector<TValueStrings> Values;
    // Aggregate values were up to date when taken, evaluated with this
    // linking setting.
    bool Evaluated = false;
    bool Linking = false;

    // Same options, selection and values (attributes compared by identity).
    bool SameData(const TOptionSnapshot& other) const;
};

// Takes the model's option data.
TOptionSnapshot TakeOptionSnapshot(const TMivoModel& model);

// The snapshot belongs to the model's tree as it is now: the same
// attributes in the same order.
bool SnapshotMatchesModel(const TOptionSnapshot& snapshot, const TMivoModel& model);

// Puts the snapshot's option data into the model in one step, marks the
// model changed and re-evaluates it (or takes the snapshot's evaluated
// values as they are, when they were evaluated with the model's linking). EMivoError "The option history does not belong to
// this model" and no change when the snapshot does not match the tree.
void ApplyOptionSnapshot(const TOptionSnapshot& snapshot, TMivoModel& model);

// One state of the option history: the option data and the current cells
// of both grids when taken.
struct TOptUndoItem {
    int OptGridRow = -1;
    int OptGridCol = -1;
    int EvalGridRow = -1;
    int EvalGridCol = -1;
    TOptionSnapshot Data;
};

using TOptionUndoHistory = TUndoHistory<TOptUndoItem>;

}  // namespace mivo
