#include "model/MivoModel.h"

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "model/Lists.h"
#include "model/Locale.h"
#include "model/MivoStr.h"
#include "model/RunTime.h"
#include "model/ValueStrings.h"

namespace mivo {

namespace {

// Iterative pre-order walk below (not including) `root`.
template <class Visit>
void WalkBelow(const TMivoAttribute* root, Visit&& visit) {
    if (!root) return;
    std::vector<TMivoAttribute*> stack;
    for (int k = root->InpCount() - 1; k >= 0; --k) stack.push_back(root->Inputs(k));
    while (!stack.empty()) {
        TMivoAttribute* a = stack.back();
        stack.pop_back();
        visit(a);
        for (int k = a->InpCount() - 1; k >= 0; --k) stack.push_back(a->Inputs(k));
    }
}

// Iterative pre-order walk of `top` and its subtree.
template <class Visit>
void WalkFrom(const TMivoAttribute* top, Visit&& visit) {
    if (!top) return;
    visit(top);
    WalkBelow(top, visit);
}

// ---------------------------------------------------------------------------
// Relinking
//
// The attributes are numbered in pre-order; `end[v]` is one past the last
// attribute of v's subtree, so the children of v are v+1, end[v+1], ...
// below end[v], and t is an ancestor of v exactly when t < v < end[t].
//
// Evaluation of an attribute first evaluates its link target and its
// inputs. The graph with an edge from every attribute to each input and to
// its link target must therefore have no cycle. Tree edges alone never form
// one, so a cycle always runs through a link. The common case, no cycle at
// all, is established in one linear pass (strongly connected components);
// only links inside a component of more than one attribute are then
// checked one by one, those of basic attributes first, then those kept by
// aggregates, each group in pre-order; a link is dropped when its target can
// already reach the attribute through inputs and the links kept so far.

class TLinkGraph {
public:
    explicit TLinkGraph(std::vector<TMivoAttribute*> nodes) : nodes_(std::move(nodes)) {
        const int n = Count();
        end_.assign(static_cast<std::size_t>(n), 0);
        index_.reserve(static_cast<std::size_t>(n));
        for (int v = 0; v < n; ++v) index_.emplace(nodes_[static_cast<std::size_t>(v)], v);
        // Subtree ends from the back: a subtree ends where the parent's next
        // child (or the parent's own subtree) ends.
        std::vector<int> stack;  // open ancestors
        for (int v = 0; v < n; ++v) {
            const TMivoAttribute* parent = nodes_[static_cast<std::size_t>(v)]->Parent();
            while (!stack.empty() && nodes_[static_cast<std::size_t>(stack.back())] != parent) {
                end_[static_cast<std::size_t>(stack.back())] = v;
                stack.pop_back();
            }
            stack.push_back(v);
        }
        while (!stack.empty()) {
            end_[static_cast<std::size_t>(stack.back())] = n;
            stack.pop_back();
        }
        link_.assign(static_cast<std::size_t>(n), -1);
    }

    int Count() const { return static_cast<int>(nodes_.size()); }
    TMivoAttribute* Node(int v) const { return nodes_[static_cast<std::size_t>(v)]; }
    const std::vector<TMivoAttribute*>& Nodes() const { return nodes_; }
    // Number of the attribute, -1 when it is not in the tree.
    int IndexOf(const TMivoAttribute* a) const {
        auto it = index_.find(a);
        return it == index_.end() ? -1 : it->second;
    }
    bool IsAncestor(int t, int v) const { return t < v && v < End(t); }
    int End(int v) const { return end_[static_cast<std::size_t>(v)]; }
    int& Link(int v) { return link_[static_cast<std::size_t>(v)]; }
    int Link(int v) const { return link_[static_cast<std::size_t>(v)]; }

    template <class F>
    void ForEachChild(int v, F&& f) const {
        for (int c = v + 1; c < End(v); c = End(c)) f(c);
    }

    // Component number of every attribute (Tarjan, iterative).
    std::vector<int> Components(int& componentCount) const {
        const int n = Count();
        std::vector<int> order(static_cast<std::size_t>(n), -1), low(static_cast<std::size_t>(n), 0);
        std::vector<int> component(static_cast<std::size_t>(n), -1);
        std::vector<char> onStack(static_cast<std::size_t>(n), 0);
        std::vector<int> sccStack;
        struct Frame {
            int v;
            int nextChild;  // next child to try; End(v) once children are done
            bool linkDone;
        };
        std::vector<Frame> frames;
        int counter = 0;
        componentCount = 0;
        auto at = [](std::vector<int>& vec, int i) -> int& { return vec[static_cast<std::size_t>(i)]; };
        for (int root = 0; root < n; ++root) {
            if (at(order, root) >= 0) continue;
            auto open = [&](int v) {
                at(order, v) = at(low, v) = counter++;
                sccStack.push_back(v);
                onStack[static_cast<std::size_t>(v)] = 1;
                frames.push_back({v, v + 1, false});
            };
            open(root);
            while (!frames.empty()) {
                Frame& f = frames.back();
                const int v = f.v;
                int w = -1;
                if (f.nextChild < End(v)) {
                    w = f.nextChild;
                    f.nextChild = End(w);
                } else if (!f.linkDone) {
                    f.linkDone = true;
                    w = Link(v);
                    if (w < 0) continue;
                } else {
                    // All successors done: close v.
                    if (at(low, v) == at(order, v)) {
                        int u;
                        do {
                            u = sccStack.back();
                            sccStack.pop_back();
                            onStack[static_cast<std::size_t>(u)] = 0;
                            at(component, u) = componentCount;
                        } while (u != v);
                        ++componentCount;
                    }
                    frames.pop_back();
                    if (!frames.empty()) {
                        int p = frames.back().v;
                        at(low, p) = std::min(at(low, p), at(low, v));
                    }
                    continue;
                }
                if (at(order, w) < 0) {
                    open(w);
                } else if (onStack[static_cast<std::size_t>(w)]) {
                    at(low, v) = std::min(at(low, v), at(order, w));
                }
            }
        }
        return component;
    }

    // Whether `to` can be reached from `from` through inputs and kept links
    // without leaving the component `c`.
    bool Reaches(int from, int to, int c, const std::vector<int>& component, const std::vector<int>& kept) const {
        std::vector<int> stack{from};
        std::unordered_set<int> seen{from};
        auto push = [&](int w) {
            if (component[static_cast<std::size_t>(w)] == c && seen.insert(w).second) stack.push_back(w);
        };
        while (!stack.empty()) {
            int v = stack.back();
            stack.pop_back();
            if (v == to) return true;
            ForEachChild(v, push);
            if (int t = kept[static_cast<std::size_t>(v)]; t >= 0) push(t);
        }
        return false;
    }

private:
    std::vector<TMivoAttribute*> nodes_;
    std::unordered_map<const TMivoAttribute*, int> index_;
    std::vector<int> end_;
    std::vector<int> link_;
};

// The candidate of a basic attribute survives the scale test: the attribute
// without a scale takes only a candidate without one; with a scale, only one
// with an equal scale.
bool ScalesAgree(const TMivoAttribute* a, const TMivoAttribute* candidate) {
    if (!a->Scale()) return !candidate->Scale();
    return a->Scale()->Equal(candidate->Scale());
}

// Drops every link that would close a cycle, in pre-order.
void BreakLinkCycles(TLinkGraph& graph) {
    int componentCount = 0;
    const std::vector<int> component = graph.Components(componentCount);
    if (componentCount == graph.Count()) return;  // every component a single attribute: no cycle
    std::vector<int> size(static_cast<std::size_t>(componentCount), 0);
    for (int c : component) ++size[static_cast<std::size_t>(c)];
    std::vector<int> kept(static_cast<std::size_t>(graph.Count()), -1);
    auto check = [&](int v) {
        const int t = graph.Link(v);
        if (t < 0) return;
        const int c = component[static_cast<std::size_t>(v)];
        if (c != component[static_cast<std::size_t>(t)] || size[static_cast<std::size_t>(c)] < 2) return;
        if (graph.Reaches(t, v, c, component, kept))
            graph.Link(v) = -1;
        else
            kept[static_cast<std::size_t>(v)] = t;
    };
    // The links of basic attributes carry values and go first; an
    // aggregate's kept link only orders evaluation and yields to them.
    for (int v = 0; v < graph.Count(); ++v)
        if (graph.Node(v)->IsBasic()) check(v);
    for (int v = 0; v < graph.Count(); ++v)
        if (graph.Node(v)->IsAggregate()) check(v);
}

}  // namespace

// ---------------------------------------------------------------------------

TMivoEvalStatistics EvalStatistics(const TMivoStatistics& s) {
    return {s.Attributes, CheckedAdd(s.Basic, s.Linked), s.Aggregate, s.Scales, s.Functions, s.Options};
}

std::string StatisticsText(const TMivoStatistics& s) {
    return Format(MivoStr::SStatistics, s.Attributes, s.Basic, s.Linked, s.Aggregate, s.Scales, s.Functions,
                  s.Options);
}

// ---------------------------------------------------------------------------

TAttributeNameIndex::TAttributeNameIndex(const TMivoModel& model) {
    model.ForEachAttribute([this](TMivoAttribute* a) { Add(a); });
}

TAttributeNameIndex::TAttributeNameIndex(const std::vector<TMivoAttribute*>& preorder) {
    entries_.reserve(preorder.size());
    for (TMivoAttribute* a : preorder) Add(a);
}

void TAttributeNameIndex::Add(TMivoAttribute* a) {
    Entry& e = entries_[a->GetName()];
    if (!e.First) e.First = a;
    if (a->IsAggregate()) {
        e.LastAggregate = a;
        e.LastOther = a;
    } else {
        e.LastBasic = a;
        if (a->Link())
            e.LastOther = a;
        else
            e.LastUnlinkedBasic = a;
    }
}

const TAttributeNameIndex::Entry* TAttributeNameIndex::Lookup(const std::string& name) const {
    auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : &it->second;
}

TMivoAttribute* TAttributeNameIndex::FindByName(const std::string& name) const {
    const Entry* e = Lookup(name);
    return e ? e->First : nullptr;
}

TMivoAttribute* TAttributeNameIndex::FindLinkTarget(const std::string& name) const {
    const Entry* e = Lookup(name);
    if (!e) return nullptr;
    return e->LastAggregate ? e->LastAggregate : e->LastBasic;
}

TMivoAttribute* TAttributeNameIndex::FindAttribute(const std::string& name) const {
    const Entry* e = Lookup(name);
    if (!e) return nullptr;
    return e->LastUnlinkedBasic ? e->LastUnlinkedBasic : e->LastOther;
}

// ---------------------------------------------------------------------------

TMivoModel::TMivoModel() { ResetRoot(); }

TMivoModel::~TMivoModel() {
    root_.reset();
    options_.clear();
    selection_.clear();
}

void TMivoModel::Changed() {
    Modified = true;
    NeedsEvaluation = true;
    Relink();
}

void CheckValueCells(std::int64_t attributes, std::int64_t options) {
    if (attributes <= 0 || options <= 0 || attributes <= MaxValueCells / options) return;
    throw EMivoError(Format("The model is too large to evaluate: %lld attributes and %lld options make more than "
                            "%lld option values",
                            static_cast<long long>(attributes), static_cast<long long>(options),
                            static_cast<long long>(MaxValueCells)));
}

namespace {

// The same stored values: equal entries, an entry missing from the shorter
// list counting as empty (as it reads and as it is written back).
bool SameStoredValues(const TValueStrings& a, const TValueStrings& b) {
    if (a == b) return true;
    const TValueStrings& shorter = a.size() < b.size() ? a : b;
    const TValueStrings& longer = a.size() < b.size() ? b : a;
    for (std::size_t i = 0; i < longer.size(); ++i) {
        const std::string_view other = i < shorter.size() ? shorter.Get(i) : std::string_view();
        if (longer.Get(i) != other) return false;
    }
    return true;
}

}  // namespace

void TMivoModel::Reevaluate() {
    const std::vector<TMivoAttribute*> attributes = Attributes();
    CheckValueCells(static_cast<std::int64_t>(attributes.size()), OptionCount());
    Relink();
    // An unmodified model stays so when the evaluation only confirms what
    // it holds. The copies share their entries with the attributes, so a
    // list is copied only when the evaluation writes into it.
    std::vector<TValueStrings> before;
    if (!Modified) {
        before.reserve(attributes.size());
        for (const TMivoAttribute* a : attributes) before.push_back(a->Values());
    }
    root_->EvaluateAll(OptionCount());
    NeedsEvaluation = false;
    for (std::size_t i = 0; i < before.size() && !Modified; ++i)
        Modified = !SameStoredValues(before[i], attributes[i]->Values());
}

void TMivoModel::Relink() {
    root_->SetLink(nullptr);
    if (!Linking()) {
        ForEachAttribute([](TMivoAttribute* a) { a->SetLink(nullptr); });
        return;
    }
    TLinkGraph graph(Attributes());
    const TAttributeNameIndex names(graph.Nodes());
    bool anyLink = false;
    for (int v = 0; v < graph.Count(); ++v) {
        TMivoAttribute* a = graph.Node(v);
        int t = -1;
        if (a->IsBasic()) {
            TMivoAttribute* candidate = names.FindLinkTarget(a->GetName());
            if (candidate && candidate != a && ScalesAgree(a, candidate)) t = graph.IndexOf(candidate);
        } else {
            // An aggregate keeps the link it had while it was basic, as long
            // as the target is still in the tree. Its address alone is looked
            // up: a freed target is never touched.
            t = graph.IndexOf(a->Link());
        }
        if (t == v || (t >= 0 && graph.IsAncestor(t, v))) t = -1;
        graph.Link(v) = t;
        anyLink = anyLink || t >= 0;
    }
    if (anyLink) BreakLinkCycles(graph);
    for (int v = 0; v < graph.Count(); ++v) {
        const int t = graph.Link(v);
        graph.Node(v)->SetLink(t >= 0 ? graph.Node(t) : nullptr);
    }
}

// --- tree ---------------------------------------------------------------------

void TMivoModel::ResetRoot() {
    root_.reset();
    root_.reset(new TMivoAttribute(MivoStr::SRoot));
    Modified = true;
}

TMivoAttribute* TMivoModel::FirstAttribute() const { return root_->InpCount() > 0 ? root_->Inputs(0) : nullptr; }

std::string TMivoModel::FirstAttributeName() const {
    const TMivoAttribute* first = FirstAttribute();
    return first ? first->GetName() : std::string();
}

std::vector<TMivoAttribute*> TMivoModel::Attributes() const {
    std::vector<TMivoAttribute*> list;
    WalkBelow(root_.get(), [&list](TMivoAttribute* a) { list.push_back(a); });
    return list;
}

void TMivoModel::ForEachAttribute(const std::function<void(TMivoAttribute*)>& visit) const {
    WalkBelow(root_.get(), visit);
}

TMivoObject* TMivoModel::Selected() {
    if (selected_ && !GlobalMivoList().Contains(selected_)) selected_ = nullptr;
    return selected_;
}

// --- options ------------------------------------------------------------------

void TMivoModel::CheckOptionIndex(int i) const {
    if (i < 0 || i >= OptionCount()) ListIndexError(i);
}

const std::string& TMivoModel::OptionName(int i) const {
    CheckOptionIndex(i);
    return options_[static_cast<std::size_t>(i)];
}

void TMivoModel::SetOptionName(int i, const std::string& name) {
    CheckOptionIndex(i);
    options_[static_cast<std::size_t>(i)] = name;
}

int TMivoModel::IndexOfOption(const std::string& name) const {
    for (int i = 0; i < OptionCount(); ++i)
        if (SameText(options_[static_cast<std::size_t>(i)], name)) return i;
    return -1;
}

bool TMivoModel::OptionSelected(int i) const {
    if (i < 0) ListIndexError(i);
    const auto pos = static_cast<std::size_t>(i);
    return pos >= selection_.size() || selection_[pos] == '1';
}

void TMivoModel::SetOptionSelected(int i, bool selected) {
    if (i < 0) ListIndexError(i);
    const auto pos = static_cast<std::size_t>(i);
    if (selection_.size() < pos + 1) selection_.resize(pos + 1, '1');
    selection_[pos] = selected ? '1' : '0';
}

void TMivoModel::AddOption(const std::string& name) { options_.push_back(name); }

void TMivoModel::ReserveOptions(int n) {
    // Grows as appending would, so that many small reservations stay cheap.
    const auto wanted = static_cast<std::size_t>(std::max(n, 0));
    if (wanted <= options_.capacity()) return;
    options_.reserve(std::max(wanted, 2 * options_.capacity()));
    AdviseHugePages(options_.data(), options_.capacity() * sizeof(std::string));
}

void TMivoModel::InsertOption(int i, const std::string& name) {
    if (i < 0 || i > OptionCount()) ListIndexError(i);
    options_.insert(options_.begin() + i, name);
    ForEachAttribute([i](TMivoAttribute* a) { a->InsertOptValue(i); });
    const auto pos = static_cast<std::size_t>(i);
    if (selection_.size() >= pos + 1) selection_.insert(pos, 1, '1');
}

void TMivoModel::DeleteOption(int i) {
    CheckOptionIndex(i);
    options_.erase(options_.begin() + i);
    ForEachAttribute([i](TMivoAttribute* a) { a->DeleteOptValue(i); });
    const auto pos = static_cast<std::size_t>(i);
    if (selection_.size() >= pos + 1) selection_.erase(pos, 1);
}

void TMivoModel::DeleteAllOptions() {
    // Deleting option 0 n times removes the first n values of every list
    // (as many as it has) and the first n selection characters.
    const std::size_t n = options_.size();
    options_.clear();
    ForEachAttribute([n](TMivoAttribute* a) { a->DeleteOptValues(0, static_cast<int>(n)); });
    selection_.erase(0, std::min(n, selection_.size()));
}

void TMivoModel::ExchangeOptions(int a, int b) {
    CheckOptionIndex(a);
    CheckOptionIndex(b);
    std::swap(options_[static_cast<std::size_t>(a)], options_[static_cast<std::size_t>(b)]);
    const bool selectedA = OptionSelected(a);
    const bool selectedB = OptionSelected(b);
    SetOptionSelected(a, selectedB);
    SetOptionSelected(b, selectedA);
    if (a == b) return;
    ForEachAttribute([a, b](TMivoAttribute* attribute) {
        std::string valueA = attribute->GetOptValue(a);
        std::string valueB = attribute->GetOptValue(b);
        // An empty text past the end of the list changes nothing; a value
        // there pads the list.
        attribute->SetOptValue(a, valueB);
        attribute->SetOptValue(b, valueA);
    });
}

void TMivoModel::MoveOptionLeft(int i) {
    if (i <= 0) return;
    ExchangeOptions(i, i - 1);
}

void TMivoModel::MoveOptionRight(int i) {
    if (i >= OptionCount() - 1) return;
    ExchangeOptions(i, i + 1);
}

// --- model-wide operations ----------------------------------------------------

TMivoStatistics TMivoModel::Statistics() const {
    TMivoStatistics s;
    s.Options = OptionCount();
    ForEachAttribute([&s](TMivoAttribute* a) {
        ++s.Attributes;
        if (a->IsAggregate())
            ++s.Aggregate;
        else if (a->Link())
            ++s.Linked;
        else
            ++s.Basic;
        if (a->Scale()) ++s.Scales;
        if (a->Funct()) ++s.Functions;
    });
    return s;
}

TMivoAttribute* TMivoModel::FindByName(const std::string& name) const {
    // Stops at the first match.
    std::vector<TMivoAttribute*> stack;
    for (int k = root_->InpCount() - 1; k >= 0; --k) stack.push_back(root_->Inputs(k));
    while (!stack.empty()) {
        TMivoAttribute* a = stack.back();
        stack.pop_back();
        if (a->GetName() == name) return a;
        for (int k = a->InpCount() - 1; k >= 0; --k) stack.push_back(a->Inputs(k));
    }
    return nullptr;
}

TMivoAttribute* TMivoModel::FindLinkTarget(const std::string& name) const {
    TMivoAttribute* aggregate = nullptr;
    TMivoAttribute* basic = nullptr;
    ForEachAttribute([&](TMivoAttribute* a) {
        if (a->GetName() != name) return;
        (a->IsAggregate() ? aggregate : basic) = a;
    });
    return aggregate ? aggregate : basic;
}

TMivoAttribute* TMivoModel::FindAttribute(const std::string& name) const {
    TMivoAttribute* unlinked = nullptr;
    TMivoAttribute* other = nullptr;
    ForEachAttribute([&](TMivoAttribute* a) {
        if (a->GetName() != name) return;
        (a->IsBasic() && !a->Link() ? unlinked : other) = a;
    });
    return unlinked ? unlinked : other;
}

void TMivoModel::DistinctScales(TScaleEntryList& list) const {
    list.clear();
    // Equal scales agree in everything but the tolerance-compared bounds;
    // grouping by those exact parts keeps the search to possible matches,
    // each group searched in list order.
    std::unordered_map<std::string, std::vector<std::size_t>> groups;
    ForEachAttribute([&](TMivoAttribute* a) {
        TMivoScale* scale = a->Scale();
        if (!scale) return;
        std::string key = Format("%d|%d|", static_cast<int>(scale->Order), scale->Count()) + scale->Unit;
        if (const auto* discrete = dynamic_cast<const TMivoDiscreteScale*>(scale)) {
            for (int i = 0; i < discrete->Count(); ++i) {
                key += '\x1f';
                key += discrete->ValueName(i);
            }
        }
        std::vector<std::size_t>& group = groups[key];
        for (std::size_t k : group)
            if (scale->Equal(list[k].Scale)) return;
        group.push_back(list.size());
        list.push_back({a->GetName(), scale});
    });
}

TMivoAttribute* TMivoModel::RemoveSingleInputAggregate(TMivoAttribute* attribute, TMivoAttribute* input) {
    if (!attribute || !input || attribute->InpCount() != 1 || attribute->Inputs(0) != input) return nullptr;
    // The invisible root (or any attribute outside a tree) has no slot to
    // give to its input: nothing is done.
    TMivoAttribute* parent = attribute->Parent();
    if (!parent) return nullptr;
    const int position = parent->InputIndex(attribute);
    if (position < 0) return nullptr;

    // B leaves A, A leaves P, and B takes A's slot among P's inputs.
    std::unique_ptr<TMivoAttribute> taken = attribute->ExtractInput(input);
    std::unique_ptr<TMivoAttribute> removed = parent->ExtractInput(attribute);
    parent->AddInput(std::move(taken));
    for (int k = parent->InpCount() - 1; k > position; --k) parent->MoveInputUp(k);

    if (input->GetName().empty()) {
        input->SetName(removed->GetName());
        input->SetDescription(removed->GetDescription());
    }
    if (!input->Scale() && removed->Scale()) input->SetScale(removed->TakeScale());
    // A goes with its function, scale and option values.
    removed.reset();
    return input;
}

// ---------------------------------------------------------------------------

void ScaleListForEditor(const TMivoModel& model, TScaleEntryList& list, const TMivoAttribute* attribute,
                        const TMivoScale* scale) {
    list.clear();
    list.push_back({MivoStr::SUndefined, nullptr});
    std::unordered_set<std::string> listed{FoldCase(MivoStr::SUndefined)};
    auto collect = [&](const TMivoAttribute* a) {
        TMivoScale* own = a->Scale();
        if (!own || (scale && !scale->EqualStructure(own))) return;
        std::string text = own->ScaleString();
        if (!listed.insert(FoldCase(text)).second) return;
        list.push_back({std::move(text), own});
    };
    if (attribute) WalkFrom(attribute, collect);
    WalkBelow(model.Root(), collect);
}

int ValueIndexByName(const TMivoAttribute* attribute, const std::string& valueName) {
    const auto* scale = attribute ? dynamic_cast<const TMivoDiscreteScale*>(attribute->Scale()) : nullptr;
    if (scale) {
        for (int i = 0; i < scale->Count(); ++i)
            if (scale->ValueName(i) == valueName) return i;
    }
    const std::string name = scale ? attribute->GetName() : std::string("NULL");
    throw EMivoError(Format(MivoStr::SUnknownAttributeValue, name, valueName));
}

}  // namespace mivo
