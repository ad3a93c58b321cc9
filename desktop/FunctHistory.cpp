#include "desktop/FunctHistory.h"

#include <string_view>
#include <utility>

#include "model/MivoFunction.h"
#include "model/MivoScale.h"
#include "model/RunTime.h"

namespace mivo {

TFunctState TFunctState::Capture(const TMivoFunction& funct, int row) {
    TFunctState state;
    state.row_ = row;
    const int n = funct.ArgCount();
    const TStrList& rules = funct.Rules();
    state.results_.reserve(static_cast<std::size_t>(rules.Count()) * 3);
    for (int r = 0; r < rules.Count(); ++r) state.results_.append(rules.Get(r), static_cast<std::size_t>(n), 3);
    state.use_weights_ = funct.UseWeights;
    state.consist_ = funct.Consist;
    state.rounding_ = funct.Rounding;
    state.k_ = funct.K;
    state.c_ = funct.C;
    state.model_state_ = funct.ModelState;
    state.consist_state_ = funct.ConsistState;
    state.actual_weights_ = funct.ActualWeights;
    state.norm_weights_ = funct.NormWeights;
    state.required_weights_ = funct.RequiredWeights;
    return state;
}

void TFunctState::Restore(TMivoFunction& funct) const {
    if (funct.RuleCount() != RuleCount())
        throw EMivoError("The decision table no longer matches the state to restore");
    const std::size_t n = static_cast<std::size_t>(funct.ArgCount());
    for (int r = 0; r < funct.RuleCount(); ++r) {
        const std::string_view saved(results_.data() + static_cast<std::size_t>(r) * 3, 3);
        const std::string& rule = funct.Rules().Get(r);
        if (rule.compare(n, 3, saved) == 0) continue;
        funct.SetRuleLow(r, CharValue(saved[0]));
        funct.SetRuleHigh(r, CharValue(saved[1]));
        funct.SetRuleEntered(r, saved[2] == '+');
    }
    funct.UseWeights = use_weights_;
    funct.Consist = consist_;
    funct.Rounding = rounding_;
    funct.K = k_;
    funct.C = c_;
    funct.ModelState = model_state_;
    funct.ConsistState = consist_state_;
    funct.ActualWeights = actual_weights_;
    funct.NormWeights = norm_weights_;
    funct.RequiredWeights = required_weights_;
}

std::size_t TFunctState::Bytes() const {
    return results_.size() +
           (actual_weights_.size() + norm_weights_.size() + required_weights_.size()) * sizeof(double);
}

void TFunctHistory::Push(TFunctState state) {
    if (index_ + 1 < Count()) states_.erase(states_.begin() + (index_ + 1), states_.end());
    while (Count() >= MaxHistoryStates) states_.erase(states_.begin());
    states_.push_back(std::move(state));
    index_ = Count() - 1;
}

void TFunctHistory::Clear() {
    states_.clear();
    index_ = -1;
}

const TFunctState& TFunctHistory::Undo() {
    if (!CanUndo()) throw EMivoError("Nothing to undo");
    return states_[static_cast<std::size_t>(--index_)];
}

const TFunctState& TFunctHistory::Redo() {
    if (!CanRedo()) throw EMivoError("Nothing to redo");
    return states_[static_cast<std::size_t>(++index_)];
}

const TFunctState& TFunctHistory::State(int i) const {
    if (i < 0 || i >= Count()) throw EListError(Format("List index out of bounds (%d)", i));
    return states_[static_cast<std::size_t>(i)];
}

}  // namespace mivo
