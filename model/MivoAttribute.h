// The node of the attribute tree: an attribute owns its inputs (the subtree
// below it), its value scale, its decision table and the value strings that
// the options have on it.
//
// An attribute is basic when it has no inputs and aggregate otherwise. A
// basic attribute may be linked to another attribute (set by the model):
// it then copies that attribute's option values at evaluation.
//
// Value strings (one per option, indexed by option number; the list may be
// shorter than the number of options, missing entries count as empty):
//   ""          undefined
//   "*"         any value
//   otherwise   one byte per member, '0' + the value index
// A scale used in option values or rules holds at most 208 values.
//
// Evaluation runs bottom-up: the inputs (and the link target) of an
// attribute are evaluated before the attribute itself. One evaluation pass
// evaluates every attribute at most once, however many attributes link to
// it, and never re-enters an attribute it is still evaluating: should links
// ever form a cycle, the attribute reached again keeps its current values
// for the rest of the pass instead of recursing without end.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/MivoFunction.h"
#include "model/MivoObject.h"
#include "model/MivoScale.h"
#include "model/Utils.h"
#include "model/ValueStrings.h"

namespace mivo {

// One entry of the list that the plus-minus-one analysis works on: a value
// string with the attribute it belongs to.
struct TAnalysisItem {
    std::string Text;
    TMivoAttribute* Attribute = nullptr;
};
using TAnalysisList = std::vector<TAnalysisItem>;

// Accepts or rejects an attribute (CollectDescendants).
using TAttributeFilter = std::function<bool(const TMivoAttribute*)>;

class TMivoAttribute : public TMivoObject {
public:
    explicit TMivoAttribute(const std::string& name = "", const std::string& description = "");
    // Frees the inputs, the function, the scale and the value list.
    ~TMivoAttribute() override;

    // Frees the inputs, the function and the scale; empties the value list.
    void ClearContents();

    // --- tree -----------------------------------------------------------

    int InpCount() const;
    // Input i (EListError "List index out of bounds (%d)" outside).
    TMivoAttribute* Inputs(int i) const;
    // Position among the inputs, -1 when absent.
    int InputIndex(const TMivoAttribute* attribute) const;
    // Number of ancestors (a top attribute under the root has 1).
    int Level() const;
    bool IsBasic() const { return InpCount() == 0; }
    bool IsAggregate() const { return InpCount() > 0; }
    // "\" before each name from the outermost ancestor down to this one.
    std::string Path() const;
    // The attribute is among the ancestors (this one does not count).
    bool HasAncestor(const TMivoAttribute* attribute) const;

    TMivoAttribute* Parent() const { return parent_; }
    TMivoAttribute* Link() const { return link_; }
    // Set by the model; not owned.
    void SetLink(TMivoAttribute* link) { link_ = link; }

    // Appends the input (nothing for nullptr) and makes this its parent;
    // returns it.
    TMivoAttribute* AddInput(std::unique_ptr<TMivoAttribute> input);
    // Removes and frees that input with its subtree (EListError for one
    // that is not an input).
    void DeleteInput(TMivoAttribute* input);
    // Removes that input without freeing it and hands it over; its Parent
    // is left as it was (EListError for one that is not an input).
    std::unique_ptr<TMivoAttribute> ExtractInput(TMivoAttribute* input);
    // Frees the function and every input; scale and values stay.
    void FreeSubtree();
    // Exchange input i with i-1 / i+1 (EListError outside). The caller
    // reorders the rules of this attribute's function.
    void MoveInputUp(int i);
    void MoveInputDown(int i);

    // Clears the list, then adds the descendants in pre-order, skipping an
    // attribute already listed together with its subtree; with a filter
    // only accepted attributes are added, but the walk still descends
    // through the others. The attribute itself is not added.
    void CollectDescendants(TMivoAttributeList& list, const TAttributeFilter& filter = nullptr) const;
    // The basic, unlinked descendants.
    void CollectBasic(TMivoAttributeList& list) const;

    // --- scale and function ---------------------------------------------

    TMivoScale* Scale() const { return scale_.get(); }
    // Takes the scale (nullptr removes it).
    void SetScale(std::unique_ptr<TMivoScale> scale);
    // Hands the scale over; the attribute is left without one.
    std::unique_ptr<TMivoScale> TakeScale();
    // Number of scale values, 0 without scale.
    int ScaleSize() const;

    TMivoFunction* Funct() const { return funct_.get(); }
    // Attaches a decision table built for this attribute (one whose Init
    // or Assign bound it to this attribute and that has rules) and returns
    // true. Any other function is not attached: it is freed, the current
    // one stays, and the result is false. nullptr frees the current one.
    bool SetFunct(std::unique_ptr<TMivoFunction> funct);
    // Hands the function over (its Attribute still names this attribute).
    std::unique_ptr<TMivoFunction> TakeFunct();
    // Builds a fresh table (TMivoFunction::Init) and attaches it in place
    // of the current one; nullptr and no change when the attribute cannot
    // have a table. EMivoError for a table too large.
    TMivoFunction* CreateFunction();

    // This attribute or its parent has a function.
    bool InFunction() const;
    // Own scale of more than one value, at least one input, and every input
    // has a scale of more than one value.
    bool CanHaveFunction() const;
    // As above and every input scale is ascending.
    bool CanHaveOrderedFunction() const;
    // -1 when CanHaveFunction fails, else the product of the input scale
    // sizes, 2147483647 when that does not fit 32 bits.
    int FunctionSize() const;

    // --- option values --------------------------------------------------

    // The whole value list, read-only.
    const TValueStrings& Values() const { return values_; }
    int ValueCount() const { return static_cast<int>(values_.size()); }
    // Replaces the whole value list.
    void SetValues(TValueStrings values) { values_ = std::move(values); }
    // Appends a value string (also an empty one).
    void AppendOptValue(std::string_view text) { values_.push_back(text); }
    // Pads the list with empty strings to n entries; a longer list stays.
    void PadValues(int n);
    // Shortens the list to n entries; a shorter list stays.
    void TruncateValues(int n);
    // Deletes the strings first .. first+count-1 as far as they exist.
    void DeleteOptValues(int first, int count);
    // Makes room for n value strings without changing the list.
    void ReserveValues(int n);

    // Value string i; "" when the list is shorter.
    std::string GetOptValue(int i) const { return std::string(OptValue(i)); }
    // The same as a view into the list, valid until the list changes.
    std::string_view OptValue(int i) const {
        if (i < 0 || i >= ValueCount()) return {};
        return values_.Get(static_cast<std::size_t>(i));
    }
    // Replaces string i when it exists; otherwise, for a non-empty text
    // only, pads with empty strings up to i and appends the text.
    void SetOptValue(int i, std::string_view text);
    // Index of the first byte of value string i, -1 without scale, for an
    // empty string, a first byte below '0' ("*") or an index outside the
    // scale.
    int OptValueIndex(int i) const;
    // One byte for v; "" without scale or for v outside the scale.
    void SetOptValueIndex(int i, int v);
    // Without scale all 256 members; "" and "*" the whole scale; otherwise
    // the members named by bytes within the scale.
    TValueSet OptValueSet(int i) const;
    // "" without scale or for all 256 members; "*" for the whole scale;
    // otherwise the bytes of the members within the scale, ascending.
    void SetOptValueSet(int i, const TValueSet& set);
    // Inserts "" at i when i < count, appends it when i == count, nothing
    // beyond.
    void InsertOptValue(int i);
    // Deletes string i when it exists.
    void DeleteOptValue(int i);

    // --- evaluation -----------------------------------------------------

    // Option i at this attribute alone. Basic: copies the link target's
    // value string i when linked, otherwise leaves the user's value.
    // Aggregate: the function's result over the inputs' value strings when
    // scale and function are present, otherwise "". Value string i must
    // exist here and at the link target (EListError otherwise).
    void Evaluate(int i);
    // Option i over the subtree, link targets first, then the inputs, then
    // this attribute.
    void EvaluateOption(int i);
    // Options 0..n-1 over the subtree; every value list reached is padded
    // to n entries first.
    void EvaluateAll(int n);

    // Clears the list; adds this attribute with its value string i, then
    // every basic attribute below it (following links to their targets and
    // what lies below them) once, with its value string i.
    void CollectForAnalysis(int i, TAnalysisList& list) const;
    // For every basic attribute b listed by CollectForAnalysis (entry 1 on):
    // this attribute's value for option i when b's value is one step lower
    // (`lower`) or higher (`higher`) than its smallest / largest member,
    // "*" for an undefined result, "" when no step is possible. Entry 0 of
    // both lists is "". Every value string of option i is as before
    // afterwards, also when an error ends the analysis.
    void PlusMinusOne(int i, TAnalysisList& list, std::vector<std::string>& lower,
                      std::vector<std::string>& higher);

private:
    struct EvalPass;
    void EvaluateAllIn(int n, EvalPass& pass);
    void EvaluateOptionIn(int i, EvalPass& pass);
    // Options 0..n-1 of an aggregate with scale and function; every value
    // list here and at the inputs holds n strings.
    void EvaluateTable(int n);
    // Every attribute an evaluation of this one can change or read: this
    // one, its link target, its inputs, and so on (each once).
    void CollectEvaluationClosure(std::vector<TMivoAttribute*>& out) const;
    void FreeInputList();

    std::unique_ptr<TMivoAttributeList> inputs_;  // owning; absent without inputs
    TMivoAttribute* parent_ = nullptr;
    TMivoAttribute* link_ = nullptr;
    TOwnedPtr<TMivoScale> scale_;
    TOwnedPtr<TMivoFunction> funct_;
    TValueStrings values_;
};

}  // namespace mivo
