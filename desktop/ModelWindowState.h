// The model window's state without its widgets: the model it owns, both
// undo histories, the attribute lists behind the two grids and the charts,
// the remembered grid cells and edit texts, and the flags of the pages.
//
// The widgets (the model window, its tree view, grids and edits) bind to
// this object; tests drive it without a window.
//
// The attribute lists
// -------------------
// `BasicAttrs` (rows 2.. of the options grid: the basic, unlinked
// attributes in tree order), `AllAttrs` (rows 2.. of the evaluation grid:
// every attribute in tree order) and `ChartAttrs` (the attributes chosen
// for the charts) point into the model's tree and own nothing. Every edit
// that adds, frees or moves attributes calls `StructureChanged` before
// anything reads them: it rebuilds the first two from the tree, keeps of
// `ChartAttrs` only the entries that are still in the tree (decided by
// membership in the tree walked afresh, so a freed attribute is never
// dereferenced), forgets a current attribute gone from the tree and clamps
// the remembered grid cells to the grids' new sizes.
//
// Grid rows: row 0 is the title row, row 1 the option names, row r >= 2
// the attribute r - 2 of the grid's list; column 0 holds the attribute
// names, column c >= 1 option c - 1. A remembered cell of -1 means none.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "desktop/UndoHistory.h"

namespace mivo {

class TMivoAttribute;
class TMivoModel;

// The four pages of the model window, in tab order.
enum class TModelPage : std::uint8_t { Model, Options, Evaluation, Charts };

// "[" + the value names of the attribute's discrete scale joined by "," +
// "]"; empty for no attribute, no scale or a scale without values.
std::string ScaleValuesText(const TMivoAttribute* attribute);

// The hint of a grid row: the attribute's description, or, when that is
// empty, its path after the first "\Root\" (the whole path without one),
// a blank and ScaleValuesText. Empty for no attribute.
std::string AttributeHint(const TMivoAttribute* attribute);

// The value box of a grid row: the value names of the attribute's discrete
// scale, then "*" (undefined); only "*" without a scale.
std::vector<std::string> ValueBoxItems(const TMivoAttribute* attribute);
// The entry the value box selects for option i: the index of the value's
// first member, or the last entry ("*") for an undefined or any value and
// a code outside the scale.
int ValueBoxSelection(const TMivoAttribute* attribute, int option);
// The caption of an entry of the value popup menu: "&<index + 1> &<name>",
// or "&*" for the name "*".
std::string ValueItemCaption(int index, const std::string& name);

// The window caption: "<first top attribute> [<mark><file name>]", the mark
// "*" while the model is modified.
std::string ModelCaption(const TMivoModel& model, const std::string& fileName);

// The main status line: the model's statistics (StatisticsText).
std::string ModelStatusText(const TMivoModel& model);

// The model page may export the current attribute's function: the page is
// the Model page and the attribute has a function.
bool CanExportFunction(TModelPage page, const TMivoAttribute* attribute);
// The model page may import a function for the attribute: Model page, an
// aggregate attribute that has a function or could have one of at most
// 1000 rules.
bool CanImportFunction(TModelPage page, const TMivoAttribute* attribute);

class TModelWindowState {
public:
    // A window with an empty model (no attribute yet), the Model page
    // current, no remembered cells, the chart flags at their defaults.
    TModelWindowState();
    ~TModelWindowState();
    TModelWindowState(const TModelWindowState&) = delete;
    TModelWindowState& operator=(const TModelWindowState&) = delete;

    // --- the model ------------------------------------------------------

    TMivoModel& Model() { return *model_; }
    const TMivoModel& Model() const { return *model_; }

    // Puts a new model in place of the current one and returns the old
    // one (the caller frees it once nothing refers to its attributes: clear
    // the tree view first). Forgets the current attribute and the chart
    // selection and rebuilds the lists (StructureChanged).
    std::unique_ptr<TMivoModel> ReplaceModel(std::unique_ptr<TMivoModel> model);

    // Model file name; empty for a model never saved or opened.
    std::string FileName;

    // --- updating -------------------------------------------------------

    // True while the controls are refreshed or a model is restored; the
    // edit handlers do nothing then.
    bool Updating() const { return updating_ > 0; }

    // Sets Updating for its lifetime (nested scopes allowed); clears it on
    // every path, errors included.
    class TUpdatingScope {
    public:
        explicit TUpdatingScope(TModelWindowState& state) : state_(&state) { ++state_->updating_; }
        ~TUpdatingScope() { --state_->updating_; }
        TUpdatingScope(const TUpdatingScope&) = delete;
        TUpdatingScope& operator=(const TUpdatingScope&) = delete;

    private:
        TModelWindowState* state_;
    };
    [[nodiscard]] TUpdatingScope BeginUpdate() { return TUpdatingScope(*this); }

    // --- attribute lists ------------------------------------------------

    const std::vector<TMivoAttribute*>& BasicAttrs() const { return basic_attrs_; }
    const std::vector<TMivoAttribute*>& AllAttrs() const { return all_attrs_; }
    const std::vector<TMivoAttribute*>& ChartAttrs() const { return chart_attrs_; }

    // Chart selection: entries must be attributes of the model's tree.
    void SetChartAttrs(std::vector<TMivoAttribute*> attributes) { chart_attrs_ = std::move(attributes); }
    void AddChartAttr(TMivoAttribute* attribute);
    void RemoveChartAttr(const TMivoAttribute* attribute);
    void ClearChartAttrs() { chart_attrs_.clear(); }
    bool IsChartAttr(const TMivoAttribute* attribute) const;

    // Rebuilds BasicAttrs and AllAttrs from the tree, drops ChartAttrs
    // entries and a current attribute no longer in the tree, clamps the
    // remembered grid cells. Call after every edit that adds, frees or
    // moves attributes, before anything reads the lists.
    void StructureChanged();

    // The attribute of an options-grid row (BasicAttrs[row - 2]) or of an
    // evaluation-grid row (AllAttrs[row - 2]); nullptr for a row without one.
    TMivoAttribute* OptRowAttribute(int row) const;
    TMivoAttribute* EvalRowAttribute(int row) const;

    // Row count of the options grid (2 + BasicAttrs) and the evaluation
    // grid (2 + AllAttrs); column count of both (1 + options).
    int OptGridRows() const;
    int EvalGridRows() const;
    int GridCols() const;

    // --- current attribute and page -------------------------------------

    // The attribute of the tree view's selected node, or nullptr; set by
    // the tree view.
    TMivoAttribute* CurrentAttribute() const { return current_; }
    void SetCurrentAttribute(TMivoAttribute* attribute) { current_ = attribute; }
    // The model's first top attribute made current (nullptr without one).
    void SelectFirstAttribute();

    TModelPage Page = TModelPage::Model;

    // --- remembered cells and texts -------------------------------------

    // Options-grid cell about to become current, -1 when none.
    int OptRow = -1;
    int OptCol = -1;
    // The same for the evaluation grid.
    int EvalGridRow = -1;
    int EvalGridCol = -1;
    // Option name when the option-name edit was entered.
    std::string OldOptName;
    // Set by the options page's Add button: the next refresh moves the
    // options grid one column right.
    bool AdvanceCol = false;

    // Charts flags.
    bool ShowValueNames = true;
    bool ShowOptionNames = true;
    bool FourOptions = false;

    // Texts of the attribute name, attribute description and function
    // description edits when they were entered (see TPendingEdit).
    std::string OldAtrName;
    std::string OldAtrDesc;
    std::string OldFncDesc;

    // The edit that is entered and not yet left, if any.
    enum class TPendingEdit : std::uint8_t { None, AtrName, AtrDesc, FncDesc };
    TPendingEdit PendingEdit = TPendingEdit::None;

    // --- undo histories -------------------------------------------------

    TModelUndoHistory& ModelUndo() { return model_undo_; }
    const TModelUndoHistory& ModelUndo() const { return model_undo_; }
    TOptionUndoHistory& OptUndo() { return opt_undo_; }
    const TOptionUndoHistory& OptUndo() const { return opt_undo_; }

    // --- facts of other parts of the window ------------------------------
    // Each answers "no" until the part that knows it sets it.

    // The find dialog's Find button is enabled (find next usable).
    std::function<bool()> FindNextUsable;
    // The tree view's levels: the shallowest collapsed level (-1 none) and
    // the deepest open level (0 none).
    struct TTreeDepths {
        int Collapsed = -1;
        int Open = 0;
    };
    std::function<TTreeDepths()> TreeDepths;
    // One of the four chart panels is shown on the charts page.
    std::function<bool()> ChartVisible;

    bool IsFindNextUsable() const { return FindNextUsable && FindNextUsable(); }
    TTreeDepths CurrentTreeDepths() const { return TreeDepths ? TreeDepths() : TTreeDepths{}; }
    bool IsChartVisible() const { return ChartVisible && ChartVisible(); }

private:
    static void ClampCell(int& row, int& col, int rows, int cols);

    std::unique_ptr<TMivoModel> model_;
    int updating_ = 0;
    std::vector<TMivoAttribute*> basic_attrs_;
    std::vector<TMivoAttribute*> all_attrs_;
    std::vector<TMivoAttribute*> chart_attrs_;
    TMivoAttribute* current_ = nullptr;
    TModelUndoHistory model_undo_;
    TOptionUndoHistory opt_undo_;
};

}  // namespace mivo
