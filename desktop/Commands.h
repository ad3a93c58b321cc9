// The model window's commands and the one rule that decides, from the
// window's state and a few facts of the main window, which of them are
// enabled, visible and checked.
//
// Each command has one id; a page binds its tool button, its page-menu item
// and its popup item to the id. A command's state applies to all of them,
// except that `Visible` concerns tool buttons only (the undo buttons are
// hidden while the undo setting is off; their menu items stay).
//
// The same table carries the few controls whose visibility or enabling
// UpdateControls decides (the value boxes, the utility-function group).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "desktop/ModelWindowEvents.h"

namespace mivo {

class TModelWindowState;

enum class TCommandId : std::uint8_t {
    // Model page
    ModAdd,        // ModAddBtn, ModAddItem, ModPopAddItem
    ModCopy,       // ModCopyBtn, ModCopyItem, ModPopCopyItem
    ModDup,        // ModDupBtn, ModDupItem, ModPopDupItem
    ModFind,       // ModFindItem, ModPopFindItem
    ModDel,        // ModDelBtn, ModDelItem, ModPopDelItem
    ModCut,        // ModCutBtn, ModCutItem, ModPopCutItem
    ModPaste,      // ModPasteBtn, ModPasteItem, ModPopPasteItem
    ModUp,         // ModUpBtn, ModUpItem, ModPopUpItem
    ModDn,         // ModDnBtn, ModDnItem, ModPopDnItem
    ModFnc,        // ModFncBtn, ModFncItem
    ModDelFnc,     // ModDelFncItem
    ModDelScale,   // ModDelScaleItem
    FindNext,      // ModFindNextItem, ModPopFindNextItem, EvalFindNextItem
    ModUndo,       // ModUndoBtn, ModUndoItem, ModPopUndoItem
    ModRedo,       // ModRedoBtn, ModRedoItem, ModPopRedoItem
    ModCollapse,   // ModCollapseBtn, ModCollapseItem, ModPopCollapseItem
    ModExpand,     // ModExpandBtn, ModExpandItem, ModPopExpandItem
    // Attribute box
    AtrScaleEdit,  // enabled with a current attribute
    ModFncGroup,   // visible for a current aggregate attribute
    FncDescEdit,   // enabled while the attribute has a function
    // Options page
    OptUndo,       // OptUndoBtn, EvalUndoBtn, OptUndoItem, EvalUndoItem
    OptRedo,       // OptRedoBtn, EvalRedoBtn, OptRedoItem, EvalRedoItem
    OptLeft,       // OptLeftBtn
    OptRight,      // OptRightBtn
    SelExpl,       // SelExplBtn, SelExplItem
    OptDel,        // OptDelBtn, OptDelItem
    OptCut,        // OptCutBtn, OptCutItem
    OptCopy,       // OptCopyBtn, OptCopyItem
    OptDup,        // OptDupBtn, OptDupItem
    OptPaste,      // OptPasteBtn, OptPasteItem
    OptNameEdit,   // visible on the option-name row
    OptValEdit,    // visible on a row with an attribute
    // Evaluation page
    EvalValEdit,   // visible on a row of a basic, unlinked attribute
    PlusMinus,     // PlusMinusBtn, PlusMinusItem
    // Charts page
    ChartCopy,     // ChartCopyItem, ChartPopCopyItem
    ChartFullNames,  // ChartFullNamesItem, ChartPopFullNamesItem (checked)
    ChartOptNames,   // ChartOptNamesItem, ChartPopOptNamesItem (checked)
    Chart4,          // Chart4Item, ChartPop4Item (checked)
    // Main window's File menu, for the current model window
    ExportFunction,  // "Export f&unction..."
    ImportFunction,  // "Import function..."
    Count_
};

inline constexpr std::size_t CommandCount = static_cast<std::size_t>(TCommandId::Count_);

// The id's name as written above ("ModAdd", ...), for tests and logs.
std::string_view CommandName(TCommandId id);

struct TCommandState {
    bool Enabled = false;
    bool Visible = true;
    bool Checked = false;

    bool operator==(const TCommandState&) const = default;
};

// What the enabling needs from outside the window's state.
struct TEnablingFacts {
    // The main window's subtree clipboard holds an attribute subtree.
    bool SubtreeHeld = false;
    // The main window's option clipboard holds an option, and it fits this
    // model (same attribute names in order, every code valid). Paste stays
    // enabled on a held option that does not fit: the paste then says why.
    bool OptionHeld = false;
    bool OptionMatches = false;
    // The grids' current cells, used where the state remembers none.
    TGridCells Cells;
};

class TCommandStates {
public:
    const TCommandState& operator[](TCommandId id) const { return states_[static_cast<std::size_t>(id)]; }
    TCommandState& operator[](TCommandId id) { return states_[static_cast<std::size_t>(id)]; }
    bool Enabled(TCommandId id) const { return (*this)[id].Enabled; }
    bool Visible(TCommandId id) const { return (*this)[id].Visible; }
    bool Checked(TCommandId id) const { return (*this)[id].Checked; }

    bool operator==(const TCommandStates&) const = default;

private:
    std::array<TCommandState, CommandCount> states_{};
};

// The options-grid and evaluation-grid cells the refresh works with: the
// remembered ones, or the grids' current ones where none is remembered.
TGridCells EffectiveCells(const TModelWindowState& state, const TEnablingFacts& facts);

// Enabled, visible and checked for every command.
TCommandStates CommandStates(const TModelWindowState& state, const TEnablingFacts& facts);

}  // namespace mivo
