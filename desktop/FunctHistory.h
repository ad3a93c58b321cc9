// The rule editor's history: up to 20 states of the decision table being
// edited, and the position of the current one.
//
// The editor never changes which rules a table has nor their input values,
// so a state keeps only what it can change: every rule's interval ends and
// entered flag, the switches and the required weights, and the computed
// fields of the last refresh (slope, intercept, fit and consistency states,
// current and normalised weights). Taking a state back restores the whole
// function as it was when the state was recorded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/Utils.h"

namespace mivo {

class TMivoFunction;

// Most states the history holds, the loaded one included.
inline constexpr int MaxHistoryStates = 20;

class TFunctState {
public:
    // The state of `funct`, with the grid row that was current.
    static TFunctState Capture(const TMivoFunction& funct, int row);
    // Puts the state back into `funct`, which must be the table it was
    // taken from (the same rules and inputs); a table of another number of
    // rules raises EMivoError and is left unchanged.
    void Restore(TMivoFunction& funct) const;

    int Row() const { return row_; }
    int RuleCount() const { return static_cast<int>(results_.size() / 3); }
    // Bytes kept: what the state costs in memory beyond its fixed fields.
    std::size_t Bytes() const;

private:
    int row_ = 1;
    std::string results_;  // low, high and flag byte of each rule
    bool use_weights_ = false;
    bool consist_ = true;
    std::int32_t rounding_ = 0;
    double k_ = 0;
    double c_ = 0;
    std::int32_t model_state_ = 0;
    std::int32_t consist_state_ = 0;
    TFloatList actual_weights_;
    TFloatList norm_weights_;
    TFloatList required_weights_;
};

class TFunctHistory {
public:
    // Drops the states after the current one and, while the history is
    // full, the oldest; appends the state and makes it current.
    void Push(TFunctState state);
    void Clear();

    int Count() const { return static_cast<int>(states_.size()); }
    // Position of the current state; -1 when empty.
    int Index() const { return index_; }
    bool CanUndo() const { return index_ > 0 && index_ < Count(); }
    bool CanRedo() const { return index_ >= 0 && index_ < Count() - 1; }
    // Steps back / forward and returns the state that is current then.
    // Nothing to step to raises EMivoError.
    const TFunctState& Undo();
    const TFunctState& Redo();
    const TFunctState& State(int i) const;

private:
    std::vector<TFunctState> states_;
    int index_ = -1;
};

}  // namespace mivo
