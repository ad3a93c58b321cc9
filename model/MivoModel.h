// The whole decision model and the operations that work over all of it.
//
// `TMivoModel` holds an invisible root attribute whose inputs are the
// model's top attributes, the option names, the option selection, the
// settings record, the default scale for new attributes and two marks for
// the user interface: `Modified` (the model differs from what was last read
// or written) and `NeedsEvaluation` (aggregate option values are stale).
//
// Walk order
// ----------
// Every model-wide operation (statistics, look-ups by name, option insert,
// delete and exchange, relinking, option-data rows, exports) visits the
// attributes below the root in pre-order: each top attribute, then its
// inputs in order, depth first. The root itself is never visited. The walks
// are iterative, so a deep tree does not exhaust the call stack.
//
// Options
// -------
// Option i is value string i of every attribute (value lists may be shorter
// than the option list; missing values count as undefined). `Selection`
// holds one character per option, '1' selected and '0' not; positions past
// its end count as selected. The selection is never stored in a file.
//
// Linking
// -------
// With the `Linking` setting on, a basic attribute copies, at evaluation,
// the values of the attribute its name leads to (`FindLinkTarget`: the last
// aggregate of that exact name, else the last basic one), provided the
// scales agree. A link never makes evaluation run in a circle: `Relink`
// drops a candidate that is the attribute itself or one of its ancestors,
// and any link (also one an aggregate kept from the time it was basic) that
// would close a cycle of inputs and links. An aggregate's kept link is also
// dropped once its target is no longer in the tree. Links are never stored.
//
// Look-ups by name
// ----------------
// The three look-ups (`FindByName`, `FindLinkTarget`, `FindAttribute`)
// each walk the tree once. Code that looks up many names against an
// unchanged tree (relinking, binding option-data rows) builds one
// `TAttributeNameIndex` instead and asks it; it answers exactly as the
// model's look-ups would at the time the index was built.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/MivoAttribute.h"
#include "model/MivoObject.h"
#include "model/MivoScale.h"
#include "model/MivoSettings.h"

namespace mivo {

// Counts of a model for the status line and the batch evaluator's
// messages, in this order.
struct TMivoStatistics {
    std::int32_t Attributes = 0;  // every attribute below the root
    std::int32_t Basic = 0;       // no inputs and no link
    std::int32_t Aggregate = 0;   // with inputs
    std::int32_t Linked = 0;      // no inputs, with a link
    std::int32_t Scales = 0;      // attributes that have a scale
    std::int32_t Functions = 0;   // attributes that have a decision table
    std::int32_t Options = 0;     // option names

    bool operator==(const TMivoStatistics&) const = default;
};

// The batch evaluator's six counts: a linked attribute counts as basic, so
// basic and aggregate add up to the attribute count.
struct TMivoEvalStatistics {
    std::int32_t Attributes = 0;
    std::int32_t Basic = 0;  // basic and linked
    std::int32_t Aggregate = 0;
    std::int32_t Scales = 0;
    std::int32_t Functions = 0;
    std::int32_t Options = 0;

    bool operator==(const TMivoEvalStatistics&) const = default;
};

// The batch evaluator's counts computed from the full record.
TMivoEvalStatistics EvalStatistics(const TMivoStatistics& statistics);

// The model window's status line: "Attributes: %d (%d basic, %d linked,
// %d aggregate)   |   Scales: %d   |   Functions: %d   |   Options: %d".
std::string StatisticsText(const TMivoStatistics& statistics);

// A display text or name with the scale it stands for (not owned).
struct TScaleEntry {
    std::string Text;
    TMivoScale* Scale = nullptr;

    bool operator==(const TScaleEntry&) const = default;
};
using TScaleEntryList = std::vector<TScaleEntry>;

class TMivoModel;

// The most option values a model may hold once evaluated: every attribute
// gets a value for every option, so attributes x options bounds the memory
// of an evaluation (4 bytes a value in the compact store: 512 MB).
inline constexpr std::int64_t MaxValueCells = std::int64_t{1} << 27;

// Raises EMivoError when `attributes` x `options` exceeds MaxValueCells.
void CheckValueCells(std::int64_t attributes, std::int64_t options);

// ---------------------------------------------------------------------------

// Look-ups of attributes by exact name over a snapshot of a model's tree,
// built in one pass. The index holds plain references: it answers for the
// tree and links as they were when it was built and must not be used after
// attributes have been freed, renamed, added or relinked.
class TAttributeNameIndex {
public:
    TAttributeNameIndex() = default;
    // Indexes every attribute below the model's root.
    explicit TAttributeNameIndex(const TMivoModel& model);
    // Indexes the given attributes, taken to be in pre-order.
    explicit TAttributeNameIndex(const std::vector<TMivoAttribute*>& preorder);

    // The first attribute of that name, or nullptr (TMivoModel::FindByName).
    TMivoAttribute* FindByName(const std::string& name) const;
    // The last aggregate of that name, else the last basic one, else
    // nullptr (TMivoModel::FindLinkTarget).
    TMivoAttribute* FindLinkTarget(const std::string& name) const;
    // The last basic attribute without a link of that name, else the last
    // of the others (aggregate, or basic with a link), else nullptr
    // (TMivoModel::FindAttribute).
    TMivoAttribute* FindAttribute(const std::string& name) const;

private:
    struct Entry {
        TMivoAttribute* First = nullptr;
        TMivoAttribute* LastAggregate = nullptr;
        TMivoAttribute* LastBasic = nullptr;
        TMivoAttribute* LastUnlinkedBasic = nullptr;
        TMivoAttribute* LastOther = nullptr;
    };
    void Add(TMivoAttribute* attribute);
    const Entry* Lookup(const std::string& name) const;

    std::unordered_map<std::string, Entry> entries_;
};

// ---------------------------------------------------------------------------

class TMivoModel : public TMivoObject {
public:
    // Empty name and description, default settings, no options, a fresh
    // root; the new model is marked modified.
    TMivoModel();
    // Frees the root with the whole tree, then the options and settings.
    ~TMivoModel() override;

    // --- marks ----------------------------------------------------------

    // The model differs from what was last read or written.
    bool Modified = true;
    // The option values of aggregate attributes are stale.
    bool NeedsEvaluation = false;

    // The model settings.
    TMivoSettings Settings;

    bool Linking() const { return Settings.Linking; }
    bool Undoing() const { return Settings.Undoing; }

    // Sets Modified and NeedsEvaluation, then Relink. Called after every
    // edit of the model or its option data.
    void Changed();
    // Relink, evaluates every option over the whole tree and clears
    // NeedsEvaluation; sets Modified only when a stored value changed (an
    // entry past the end of a value list counts as empty). A model too
    // large to evaluate (CheckValueCells) raises EMivoError before anything
    // is evaluated.
    void Reevaluate();
    // Recomputes the links of every attribute (see the header comment).
    void Relink();

    // --- tree -----------------------------------------------------------

    // The invisible root (named "Root"); its inputs are the top attributes.
    TMivoAttribute* Root() const { return root_.get(); }
    // Frees the root with its tree and makes a new, empty one; sets
    // Modified. Options, selection and settings stay.
    void ResetRoot();
    // The first top attribute, or nullptr; its name, or "".
    TMivoAttribute* FirstAttribute() const;
    std::string FirstAttributeName() const;

    // The attributes below the root in pre-order.
    std::vector<TMivoAttribute*> Attributes() const;
    // Calls the visitor for every attribute below the root in pre-order.
    // The visitor must not add or remove attributes.
    void ForEachAttribute(const std::function<void(TMivoAttribute*)>& visit) const;

    // The default scale for new attributes; nullptr once that object no
    // longer exists (the reference is dropped then).
    TMivoObject* Selected();
    void SetSelected(TMivoObject* object) { selected_ = object; }

    // --- options --------------------------------------------------------

    const std::vector<std::string>& Options() const { return options_; }
    int OptionCount() const { return static_cast<int>(options_.size()); }
    // Name of option i; EListError "List index out of bounds (%d)" outside.
    const std::string& OptionName(int i) const;
    void SetOptionName(int i, const std::string& name);
    // The first option of that name, compared without regard to letter
    // case; -1 when there is none.
    int IndexOfOption(const std::string& name) const;

    // One character per option, '1' selected, '0' not.
    const std::string& Selection() const { return selection_; }
    // True when the selection is shorter than i+1, else whether its
    // character i is '1'. Negative i: EListError.
    bool OptionSelected(int i) const;
    // Pads the selection with '1' up to length i+1, then sets character i.
    // Negative i: EListError.
    void SetOptionSelected(int i, bool selected);

    // Appends the name; value lists and selection are not touched.
    void AddOption(const std::string& name);
    // Makes room for n option names without changing the options.
    void ReserveOptions(int n);
    // Inserts option i (0 <= i <= OptionCount): an empty value at i of every
    // value list that is at least i long, a '1' at i of a selection that is
    // at least i+1 long (so the new option is selected).
    void InsertOption(int i, const std::string& name);
    // Deletes option i: value i of every value list longer than i, character
    // i of a selection longer than i.
    void DeleteOption(int i);
    // Deletes every option, as DeleteOption(0) repeated OptionCount times
    // would, in one pass over the tree.
    void DeleteAllOptions();
    // Exchanges options a and b: names, selection flags (the selection may
    // grow) and the values of every attribute (a value past the end of a
    // list counts as empty).
    void ExchangeOptions(int a, int b);
    // ExchangeOptions(i, i-1) unless i <= 0.
    void MoveOptionLeft(int i);
    // ExchangeOptions(i, i+1) unless i is the last position or beyond.
    void MoveOptionRight(int i);

    // Option operations raise the list index error before changing
    // anything and never set Modified; the caller calls Changed.

    // --- model-wide operations -----------------------------------------

    TMivoStatistics Statistics() const;

    // The first attribute of that exact name in pre-order, or nullptr.
    TMivoAttribute* FindByName(const std::string& name) const;
    // The last aggregate of that name, else the last basic one, else nullptr.
    TMivoAttribute* FindLinkTarget(const std::string& name) const;
    // The last basic unlinked attribute of that name, else the last of the
    // others, else nullptr.
    TMivoAttribute* FindAttribute(const std::string& name) const;

    // Clears the list; adds, for every attribute with a scale not Equal to a
    // scale already listed, the attribute's name with its scale.
    void DistinctScales(TScaleEntryList& list) const;

    // Removes aggregate A from the tree and puts its only input B in A's
    // slot among the inputs of A's parent. B takes A's name and description
    // when its own name is empty, and A's scale when it has none; A is then
    // freed with its function, its remaining scale and its option values
    // (B keeps its own subtree). Returns B, or nullptr when nothing was
    // done: A or B missing, A's inputs other than B alone, A without a
    // parent (the root), or A not among its parent's inputs.
    TMivoAttribute* RemoveSingleInputAggregate(TMivoAttribute* attribute, TMivoAttribute* input);

private:
    void CheckOptionIndex(int i) const;

    TOwnedPtr<TMivoAttribute> root_;
    TMivoObject* selected_ = nullptr;  // not owned; checked against the registry
    std::vector<std::string> options_;
    std::string selection_;
};

// ---------------------------------------------------------------------------

// The choice list of scales of the model page: clears the list, adds
// "<undefined>" without scale, then the display texts (ScaleString) of the
// scales in the attribute's subtree (the attribute first, when given) and
// then of the whole tree. With a scale given only scales of the same
// structure are listed. A text already listed (compared without regard to
// case) is not added again.
void ScaleListForEditor(const TMivoModel& model, TScaleEntryList& list, const TMivoAttribute* attribute,
                        const TMivoScale* scale);

// The index of the first value of the attribute's discrete scale named
// exactly so; EMivoError "Unknown attribute value \"%s\": \"%s\"" (the
// attribute's name, "NULL" without attribute or discrete scale, and the
// value name) when there is none.
int ValueIndexByName(const TMivoAttribute* attribute, const std::string& valueName);

}  // namespace mivo
