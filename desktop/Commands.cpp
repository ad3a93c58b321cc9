#include "desktop/Commands.h"

#include "desktop/ModelWindowState.h"
#include "model/MivoAttribute.h"
#include "model/MivoModel.h"

namespace mivo {

namespace {

constexpr std::array<std::string_view, CommandCount> CommandNames = {
    "ModAdd",      "ModCopy",       "ModDup",        "ModFind",      "ModDel",       "ModCut",
    "ModPaste",    "ModUp",         "ModDn",         "ModFnc",       "ModDelFnc",    "ModDelScale",
    "FindNext",    "ModUndo",       "ModRedo",       "ModCollapse",  "ModExpand",    "AtrScaleEdit",
    "ModFncGroup", "FncDescEdit",   "OptUndo",       "OptRedo",      "OptLeft",      "OptRight",
    "SelExpl",     "OptDel",        "OptCut",        "OptCopy",      "OptDup",       "OptPaste",
    "OptNameEdit", "OptValEdit",    "EvalValEdit",   "PlusMinus",    "ChartCopy",    "ChartFullNames",
    "ChartOptNames", "Chart4",      "ExportFunction", "ImportFunction",
};

// The attribute is the model's only top attribute: cutting it would leave
// a model to which nothing can be added.
bool IsOnlyTopAttribute(const TMivoModel& model, const TMivoAttribute* attribute) {
    return attribute->Parent() == model.Root() && model.Root()->InpCount() == 1;
}

void SetModelPage(TCommandStates& s, const TModelWindowState& state, const TEnablingFacts& facts) {
    const TMivoModel& model = state.Model();
    const TMivoAttribute* a = state.CurrentAttribute();
    const bool has = a != nullptr;
    const bool aggregate = has && !a->IsBasic();
    const bool hasFunction = has && a->Funct() != nullptr;
    const TMivoAttribute* parent = has ? a->Parent() : nullptr;
    const int index = parent ? parent->InputIndex(a) : -1;
    const bool several = state.AllAttrs().size() > 1;

    for (TCommandId id : {TCommandId::ModAdd, TCommandId::ModCopy, TCommandId::ModDup, TCommandId::ModFind})
        s[id].Enabled = has;
    s[TCommandId::ModDel].Enabled = has && several;
    s[TCommandId::ModCut].Enabled = has && several && !IsOnlyTopAttribute(model, a);
    s[TCommandId::ModPaste].Enabled = has && facts.SubtreeHeld;
    s[TCommandId::ModUp].Enabled = parent && index > 0;
    s[TCommandId::ModDn].Enabled = parent && index >= 0 && index < parent->InpCount() - 1;
    s[TCommandId::ModFnc].Enabled = aggregate && (hasFunction || a->CanHaveFunction());
    s[TCommandId::ModDelFnc].Enabled = aggregate && hasFunction;
    s[TCommandId::ModDelScale].Enabled = has && a->Scale() != nullptr;
    s[TCommandId::FindNext].Enabled = has && state.IsFindNextUsable();

    const TModelWindowState::TTreeDepths depths = state.CurrentTreeDepths();
    s[TCommandId::ModCollapse].Enabled = depths.Open > 0;
    s[TCommandId::ModExpand].Enabled = depths.Collapsed >= 0;

    s[TCommandId::AtrScaleEdit].Enabled = has;
    s[TCommandId::ModFncGroup].Enabled = aggregate;
    s[TCommandId::ModFncGroup].Visible = aggregate;
    s[TCommandId::FncDescEdit].Enabled = hasFunction;

    s[TCommandId::ExportFunction].Enabled = CanExportFunction(state.Page, a);
    s[TCommandId::ImportFunction].Enabled = CanImportFunction(state.Page, a);
}

void SetUndo(TCommandStates& s, const TModelWindowState& state) {
    const bool undoing = state.Model().Undoing();
    s[TCommandId::ModUndo].Enabled = state.ModelUndo().CanUndo();
    s[TCommandId::ModRedo].Enabled = state.ModelUndo().CanRedo();
    s[TCommandId::OptUndo].Enabled = state.OptUndo().CanUndo();
    s[TCommandId::OptRedo].Enabled = state.OptUndo().CanRedo();
    for (TCommandId id : {TCommandId::ModUndo, TCommandId::ModRedo, TCommandId::OptUndo, TCommandId::OptRedo})
        s[id].Visible = undoing;
}

void SetOptionsPage(TCommandStates& s, const TModelWindowState& state, const TEnablingFacts& facts,
                    const TGridCells& cells) {
    const int n = state.Model().OptionCount();
    const bool any = n > 0;
    const bool optionColumn = cells.OptCol > 0 && cells.OptCol <= n;
    s[TCommandId::OptLeft].Enabled = cells.OptCol > 1;
    s[TCommandId::OptRight].Enabled = cells.OptCol < n;
    for (TCommandId id : {TCommandId::OptDel, TCommandId::OptCut, TCommandId::OptCopy, TCommandId::OptDup})
        s[id].Enabled = any;
    // The selective explanation explains the current option of the
    // evaluation grid.
    s[TCommandId::SelExpl].Enabled = any && cells.EvalCol > 0 && cells.EvalCol <= n;
    s[TCommandId::OptPaste].Enabled = facts.OptionHeld;

    const bool nameBox = cells.OptRow == 1 && optionColumn;
    const bool valueBox = cells.OptRow != 1 && optionColumn && state.OptRowAttribute(cells.OptRow) != nullptr;
    s[TCommandId::OptNameEdit].Visible = s[TCommandId::OptNameEdit].Enabled = nameBox;
    s[TCommandId::OptValEdit].Visible = s[TCommandId::OptValEdit].Enabled = valueBox;
}

void SetEvaluationPage(TCommandStates& s, const TModelWindowState& state, const TGridCells& cells) {
    const int n = state.Model().OptionCount();
    const TMivoAttribute* row = state.EvalRowAttribute(cells.EvalRow);
    const bool valueBox = cells.EvalRow > 1 && cells.EvalCol > 0 && cells.EvalCol <= n && row &&
                          row->IsBasic() && !row->Link();
    s[TCommandId::EvalValEdit].Visible = s[TCommandId::EvalValEdit].Enabled = valueBox;
    // An analysis needs an option: a current option column 1..n.
    const bool optionColumn = cells.EvalCol > 0 && cells.EvalCol <= n;
    s[TCommandId::PlusMinus].Enabled = cells.EvalRow >= 2 && optionColumn && !valueBox;
}

void SetChartsPage(TCommandStates& s, const TModelWindowState& state) {
    s[TCommandId::ChartCopy].Enabled = state.IsChartVisible();
    for (TCommandId id : {TCommandId::ChartFullNames, TCommandId::ChartOptNames}) s[id].Enabled = true;
    s[TCommandId::ChartFullNames].Checked = state.ShowValueNames;
    s[TCommandId::ChartOptNames].Checked = state.ShowOptionNames;
    s[TCommandId::Chart4].Checked = state.FourOptions;
    s[TCommandId::Chart4].Enabled = state.ChartAttrs().size() > 2;
}

}  // namespace

std::string_view CommandName(TCommandId id) {
    const auto i = static_cast<std::size_t>(id);
    return i < CommandCount ? CommandNames[i] : std::string_view("?");
}

TGridCells EffectiveCells(const TModelWindowState& state, const TEnablingFacts& facts) {
    TGridCells cells;
    cells.OptRow = state.OptRow == -1 ? facts.Cells.OptRow : state.OptRow;
    cells.OptCol = state.OptCol == -1 ? facts.Cells.OptCol : state.OptCol;
    cells.EvalRow = state.EvalGridRow == -1 ? facts.Cells.EvalRow : state.EvalGridRow;
    cells.EvalCol = state.EvalGridCol == -1 ? facts.Cells.EvalCol : state.EvalGridCol;
    return cells;
}

TCommandStates CommandStates(const TModelWindowState& state, const TEnablingFacts& facts) {
    TCommandStates s;
    const TGridCells cells = EffectiveCells(state, facts);
    SetModelPage(s, state, facts);
    SetUndo(s, state);
    SetOptionsPage(s, state, facts, cells);
    SetEvaluationPage(s, state, cells);
    SetChartsPage(s, state);
    return s;
}

}  // namespace mivo
