// Attributes: the tree, option value strings, evaluation and the
// plus-minus-one analysis.
#include "model/MivoAttribute.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "model/Lists.h"
#include "model/MivoStr.h"

namespace mivo {

namespace {

TValueSet WholeScale(int size) {
    TValueSet whole;
    for (int v = 0; v < size && v < 256; ++v) whole.set(static_cast<std::size_t>(v));
    return whole;
}

// The table results of the argument combinations one evaluation loop has
// met. A combination of single values within the input scales (nearly
// every one) is looked up by its position in the product of the scales;
// any other by a key of its strings, up to a bound on their number.
class TTableResults {
public:
    explicit TTableResults(std::vector<const TMivoAttribute*> inputs) : inputs_(std::move(inputs)) {
        std::int64_t product = 1;
        sizes_.reserve(inputs_.size());
        for (const TMivoAttribute* input : inputs_) {
            sizes_.push_back(input->ScaleSize());
            product *= std::max(sizes_.back(), 1);
            if (product > kMaxDirect) break;
        }
        if (product <= kMaxDirect) direct_.assign(static_cast<std::size_t>(product), -1);
    }

    // The result remembered for the arguments of option i, nullptr when
    // there is none yet; Remember then stores that option's result.
    const std::string* Find(int i) {
        position_ = DirectPosition(i);
        if (position_ >= 0) {
            const int known = direct_[static_cast<std::size_t>(position_)];
            return known < 0 ? nullptr : &direct_results_[static_cast<std::size_t>(known)];
        }
        key_.clear();
        for (const TMivoAttribute* input : inputs_) AppendKey(key_, input->OptValue(i));
        auto it = keyed_.find(std::string_view(key_));
        return it == keyed_.end() ? nullptr : &it->second;
    }

    void Remember(const std::string& result) {
        if (position_ >= 0) {
            direct_[static_cast<std::size_t>(position_)] = static_cast<int>(direct_results_.size());
            direct_results_.push_back(result);
        } else if (keyed_.size() < kMaxKeyed) {
            keyed_.emplace(key_, result);
        }
    }

private:
    // The position of a combination of single in-scale values; -1 for any
    // other or without the direct table.
    std::int64_t DirectPosition(int i) const {
        if (direct_.empty()) return -1;
        std::int64_t position = 0;
        for (std::size_t k = 0; k < inputs_.size(); ++k) {
            const std::string_view text = inputs_[k]->OptValue(i);
            if (text.size() != 1) return -1;
            const int v = CharValue(text[0]);
            if (v < 0 || v >= sizes_[k]) return -1;
            position = position * sizes_[k] + v;
        }
        return position;
    }

    // Appends one argument string to a combination's key: its length, then
    // its bytes, so that different lists of strings never share a key.
    static void AppendKey(std::string& key, std::string_view arg) {
        if (arg.size() < 255) {
            key += static_cast<char>(arg.size());
        } else {
            key += static_cast<char>(255);
            const std::uint64_t size = arg.size();
            key.append(reinterpret_cast<const char*>(&size), sizeof size);
        }
        key.append(arg);
    }

    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    static constexpr std::int64_t kMaxDirect = 1 << 20;
    static constexpr std::size_t kMaxKeyed = 1 << 16;

    std::vector<const TMivoAttribute*> inputs_;
    std::vector<int> sizes_;
    std::vector<int> direct_;  // index into direct_results_, -1 unknown
    std::vector<std::string> direct_results_;
    std::unordered_map<std::string, std::string, Hash, std::equal_to<>> keyed_;
    std::int64_t position_ = -1;  // of the last Find
    std::string key_;             // of the last Find without position
};

}  // namespace

// The attributes one evaluation pass has entered (evaluated or being
// evaluated).
struct TMivoAttribute::EvalPass {
    std::unordered_set<const TMivoAttribute*> entered;
    // True the first time the attribute is met in this pass.
    bool Enter(const TMivoAttribute* attribute) { return entered.insert(attribute).second; }
};

TMivoAttribute::TMivoAttribute(const std::string& name, const std::string& description) {
    SetName(name);
    SetDescription(description);
}

TMivoAttribute::~TMivoAttribute() {
    inputs_.reset();
    funct_.reset();
    scale_.reset();
}

void TMivoAttribute::ClearContents() {
    inputs_.reset();
    funct_.reset();
    scale_.reset();
    values_.clear();
}

// --- tree -------------------------------------------------------------------

int TMivoAttribute::InpCount() const { return inputs_ ? inputs_->Count() : 0; }

TMivoAttribute* TMivoAttribute::Inputs(int i) const {
    if (!inputs_) ListIndexError(i);
    return inputs_->GetItem(i);
}

int TMivoAttribute::InputIndex(const TMivoAttribute* attribute) const {
    return inputs_ && attribute ? inputs_->IndexOf(attribute) : -1;
}

int TMivoAttribute::Level() const {
    int level = 0;
    for (const TMivoAttribute* a = parent_; a; a = a->parent_) ++level;
    return level;
}

std::string TMivoAttribute::Path() const {
    std::vector<const TMivoAttribute*> chain;
    for (const TMivoAttribute* a = this; a; a = a->parent_) chain.push_back(a);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) path += MivoStr::SPathSeparator + (*it)->GetName();
    return path;
}

bool TMivoAttribute::HasAncestor(const TMivoAttribute* attribute) const {
    if (!attribute) return false;
    for (const TMivoAttribute* a = parent_; a; a = a->parent_)
        if (a == attribute) return true;
    return false;
}

TMivoAttribute* TMivoAttribute::AddInput(std::unique_ptr<TMivoAttribute> input) {
    if (!input) return nullptr;
    if (!inputs_) inputs_ = std::make_unique<TMivoAttributeList>(true);
    TMivoAttribute* raw = input.get();
    inputs_->Add(raw);
    input.release();
    raw->parent_ = this;
    return raw;
}

void TMivoAttribute::FreeInputList() {
    if (inputs_ && inputs_->Count() == 0) inputs_.reset();
}

void TMivoAttribute::DeleteInput(TMivoAttribute* input) {
    if (!inputs_) ListIndexError(-1);
    inputs_->DeleteObject(input);
    FreeInputList();
}

std::unique_ptr<TMivoAttribute> TMivoAttribute::ExtractInput(TMivoAttribute* input) {
    if (!inputs_) ListIndexError(-1);
    std::unique_ptr<TMivoAttribute> taken(static_cast<TMivoAttribute*>(inputs_->TakeObject(input)));
    FreeInputList();
    return taken;
}

void TMivoAttribute::FreeSubtree() {
    funct_.reset();
    inputs_.reset();
}

void TMivoAttribute::MoveInputUp(int i) {
    if (!inputs_) ListIndexError(i);
    inputs_->Exchange(i, i - 1);
}

void TMivoAttribute::MoveInputDown(int i) {
    if (!inputs_) ListIndexError(i);
    inputs_->Exchange(i, i + 1);
}

void TMivoAttribute::CollectDescendants(TMivoAttributeList& list, const TAttributeFilter& filter) const {
    list.Clear();
    std::unordered_set<const TMivoAttribute*> listed;
    // Explicit stack: deep trees must not exhaust the call stack.
    std::vector<const TMivoAttribute*> stack;
    for (int k = InpCount(); k-- > 0;) stack.push_back(Inputs(k));
    while (!stack.empty()) {
        const TMivoAttribute* a = stack.back();
        stack.pop_back();
        if (listed.count(a)) continue;
        if (!filter || filter(a)) {
            list.Add(const_cast<TMivoAttribute*>(a));
            listed.insert(a);
        }
        for (int k = a->InpCount(); k-- > 0;) stack.push_back(a->Inputs(k));
    }
}

void TMivoAttribute::CollectBasic(TMivoAttributeList& list) const {
    CollectDescendants(list, [](const TMivoAttribute* a) { return a->IsBasic() && a->Link() == nullptr; });
}

// --- scale and function -------------------------------------------------------

void TMivoAttribute::SetScale(std::unique_ptr<TMivoScale> scale) { scale_.reset(scale.release()); }

std::unique_ptr<TMivoScale> TMivoAttribute::TakeScale() { return std::unique_ptr<TMivoScale>(scale_.release()); }

int TMivoAttribute::ScaleSize() const { return scale_ ? scale_->Count() : 0; }

bool TMivoAttribute::SetFunct(std::unique_ptr<TMivoFunction> funct) {
    if (!funct) {
        funct_.reset();
        return true;
    }
    if (funct->Attribute() != this || funct->RuleCount() == 0) return false;
    funct_.reset(funct.release());
    return true;
}

std::unique_ptr<TMivoFunction> TMivoAttribute::TakeFunct() { return std::unique_ptr<TMivoFunction>(funct_.release()); }

TMivoFunction* TMivoAttribute::CreateFunction() {
    if (!CanHaveFunction()) return nullptr;
    auto funct = std::make_unique<TMivoFunction>();
    funct->Init(this);
    if (!SetFunct(std::move(funct))) return nullptr;
    return funct_.get();
}

bool TMivoAttribute::InFunction() const { return funct_ || (parent_ && parent_->funct_); }

bool TMivoAttribute::CanHaveFunction() const {
    if (ScaleSize() <= 1 || InpCount() == 0) return false;
    for (int k = 0; k < InpCount(); ++k)
        if (Inputs(k)->ScaleSize() <= 1) return false;
    return true;
}

bool TMivoAttribute::CanHaveOrderedFunction() const {
    if (!CanHaveFunction()) return false;
    for (int k = 0; k < InpCount(); ++k)
        if (Inputs(k)->Scale()->Order != soAscending) return false;
    return true;
}

int TMivoAttribute::FunctionSize() const {
    if (!CanHaveFunction()) return -1;
    std::vector<int> sizes;
    for (int k = 0; k < InpCount(); ++k) sizes.push_back(Inputs(k)->ScaleSize());
    constexpr std::int64_t limit = std::numeric_limits<std::int32_t>::max();
    return static_cast<int>(std::min(RuleProduct(sizes, limit), limit));
}

// --- option values --------------------------------------------------------------

void TMivoAttribute::SetOptValue(int i, std::string_view text) {
    if (i < 0) ListIndexError(i);
    if (i < ValueCount()) {
        values_.Set(static_cast<std::size_t>(i), text);
        return;
    }
    if (text.empty()) return;
    values_.resize(static_cast<std::size_t>(i));
    values_.push_back(text);
}

void TMivoAttribute::PadValues(int n) {
    if (n > ValueCount()) values_.resize(static_cast<std::size_t>(n));
}

void TMivoAttribute::TruncateValues(int n) {
    if (n >= 0 && n < ValueCount()) values_.resize(static_cast<std::size_t>(n));
}

void TMivoAttribute::DeleteOptValues(int first, int count) {
    if (first < 0 || count <= 0 || first >= ValueCount()) return;
    const auto from = static_cast<std::size_t>(first);
    values_.erase(from, from + std::min(static_cast<std::size_t>(count), values_.size() - from));
}

void TMivoAttribute::ReserveValues(int n) {
    if (n > 0) values_.reserve(static_cast<std::size_t>(n));
}

int TMivoAttribute::OptValueIndex(int i) const {
    if (!scale_) return -1;
    const std::string_view text = OptValue(i);
    if (text.empty()) return -1;
    const int v = CharValue(text[0]);
    return v >= 0 && v < ScaleSize() ? v : -1;
}

void TMivoAttribute::SetOptValueIndex(int i, int v) {
    if (!scale_ || v < 0 || v >= ScaleSize()) {
        SetOptValue(i, std::string());
        return;
    }
    SetOptValue(i, std::string(1, ValueChar(v)));
}

TValueSet TMivoAttribute::OptValueSet(int i) const {
    if (!scale_) return FullValueSet();
    const int size = ScaleSize();
    const std::string_view text = OptValue(i);
    if (text.empty() || text == "*") return WholeScale(size);
    TValueSet set;
    for (char c : text) {
        const int v = CharValue(c);
        if (v >= 0 && v < size) set.set(static_cast<std::size_t>(v));
    }
    return set;
}

void TMivoAttribute::SetOptValueSet(int i, const TValueSet& set) {
    if (!scale_ || set.all()) {
        SetOptValue(i, std::string());
        return;
    }
    const int size = ScaleSize();
    if (set == WholeScale(size)) {
        SetOptValue(i, "*");
        return;
    }
    std::string text;
    for (int v = 0; v < size && v < MaxScaleValues; ++v)
        if (set.test(static_cast<std::size_t>(v))) text += ValueChar(v);
    SetOptValue(i, text);
}

void TMivoAttribute::InsertOptValue(int i) {
    if (i < 0 || i > ValueCount()) return;
    values_.insert(static_cast<std::size_t>(i));
}

void TMivoAttribute::DeleteOptValue(int i) {
    if (i < 0 || i >= ValueCount()) return;
    values_.erase(static_cast<std::size_t>(i));
}

// --- evaluation -------------------------------------------------------------------

void TMivoAttribute::Evaluate(int i) {
    if (i < 0 || i >= ValueCount()) ListIndexError(i);
    const auto at = static_cast<std::size_t>(i);
    if (IsBasic()) {
        if (!link_) return;
        if (i >= link_->ValueCount()) ListIndexError(i);
        if (link_ != this) values_.Set(at, link_->values_.Get(at));
        return;
    }
    if (!scale_ || !funct_) {
        values_.Set(at, {});
        return;
    }
    std::vector<std::string> args;
    args.reserve(static_cast<std::size_t>(InpCount()));
    for (int k = 0; k < InpCount(); ++k) args.emplace_back(Inputs(k)->OptValue(i));
    values_.Set(at, funct_->Evaluate(args));
}

void TMivoAttribute::EvaluateOptionIn(int i, EvalPass& pass) {
    if (!pass.Enter(this)) return;
    if (link_) link_->EvaluateOptionIn(i, pass);
    for (int k = 0; k < InpCount(); ++k) Inputs(k)->EvaluateOptionIn(i, pass);
    Evaluate(i);
}

void TMivoAttribute::EvaluateOption(int i) {
    EvalPass pass;
    EvaluateOptionIn(i, pass);
}

void TMivoAttribute::EvaluateAllIn(int n, EvalPass& pass) {
    if (!pass.Enter(this)) return;
    // Padded on entry, so an attribute met again on a link cycle can be
    // read from at once.
    PadValues(n);
    if (link_) link_->EvaluateAllIn(n, pass);
    for (int k = 0; k < InpCount(); ++k) Inputs(k)->EvaluateAllIn(n, pass);
    if (IsAggregate() && scale_ && funct_) {
        EvaluateTable(n);
        return;
    }
    // What Evaluate does for every option, in one step: a basic attribute
    // without a link keeps its values, an aggregate without scale or
    // function has none.
    if (IsBasic() && !link_) return;
    if (IsAggregate() && ValueCount() == n) {
        values_.clear();
        values_.resize(static_cast<std::size_t>(n));
        return;
    }
    for (int i = 0; i < n; ++i) Evaluate(i);
}

void TMivoAttribute::EvaluateTable(int n) {
    // Options repeat a few combinations of input values, so each distinct
    // combination goes through the table once and its result is reused.
    // Nothing the table reads changes while this loop runs: only this
    // attribute's own strings are written.
    const auto count = static_cast<std::size_t>(InpCount());
    std::vector<const TMivoAttribute*> inputs(count);
    for (std::size_t k = 0; k < count; ++k) inputs[k] = Inputs(static_cast<int>(k));
    TTableResults results(inputs);
    std::vector<std::string> args(count);
    for (int i = 0; i < n; ++i) {
        if (const std::string* known = results.Find(i)) {
            values_.Set(static_cast<std::size_t>(i), *known);
            continue;
        }
        for (std::size_t k = 0; k < count; ++k) args[k].assign(inputs[k]->OptValue(i));
        const std::string result = funct_->Evaluate(args);
        values_.Set(static_cast<std::size_t>(i), result);
        results.Remember(result);
    }
}

void TMivoAttribute::EvaluateAll(int n) {
    EvalPass pass;
    EvaluateAllIn(n, pass);
}

void TMivoAttribute::CollectForAnalysis(int i, TAnalysisList& list) const {
    list.clear();
    list.push_back({GetOptValue(i), const_cast<TMivoAttribute*>(this)});
    std::unordered_set<const TMivoAttribute*> listed{this};
    std::unordered_set<const TMivoAttribute*> walked;
    // Depth-first walk in input order, following links; each attribute is
    // walked once, which also ends any cycle through links.
    std::vector<const TMivoAttribute*> stack{this};
    while (!stack.empty()) {
        const TMivoAttribute* a = stack.back();
        stack.pop_back();
        if (!walked.insert(a).second) continue;
        if (a->IsBasic()) {
            if (a->link_) {
                stack.push_back(a->link_);
            } else if (listed.insert(a).second) {
                list.push_back({a->GetOptValue(i), const_cast<TMivoAttribute*>(a)});
            }
        } else {
            for (int k = a->InpCount(); k-- > 0;) stack.push_back(a->Inputs(k));
        }
    }
}

void TMivoAttribute::CollectEvaluationClosure(std::vector<TMivoAttribute*>& out) const {
    std::unordered_set<const TMivoAttribute*> seen;
    std::vector<const TMivoAttribute*> stack{this};
    while (!stack.empty()) {
        const TMivoAttribute* a = stack.back();
        stack.pop_back();
        if (!seen.insert(a).second) continue;
        out.push_back(const_cast<TMivoAttribute*>(a));
        if (a->link_) stack.push_back(a->link_);
        for (int k = 0; k < a->InpCount(); ++k) stack.push_back(a->Inputs(k));
    }
}

namespace {

// Puts back value string i of every attribute an analysis may touch, with
// the length of each value list, when it goes out of scope.
class TOptionSnapshot {
public:
    TOptionSnapshot(const std::vector<TMivoAttribute*>& attributes, int i) : option_(i) {
        entries_.reserve(attributes.size());
        for (TMivoAttribute* a : attributes) entries_.push_back({a, a->ValueCount(), a->GetOptValue(i)});
    }
    ~TOptionSnapshot() { Restore(); }
    TOptionSnapshot(const TOptionSnapshot&) = delete;
    TOptionSnapshot& operator=(const TOptionSnapshot&) = delete;

    // Pads every list so that value string i exists for the trials.
    void Pad() {
        for (const Entry& e : entries_) e.attribute->PadValues(option_ + 1);
    }

    void Restore() noexcept {
        for (const Entry& e : entries_) {
            if (e.count > option_) e.attribute->SetOptValue(option_, e.value);
            else e.attribute->TruncateValues(e.count);
        }
    }

private:
    struct Entry {
        TMivoAttribute* attribute;
        int count;
        std::string value;
    };
    int option_;
    std::vector<Entry> entries_;
};

}  // namespace

void TMivoAttribute::PlusMinusOne(int i, TAnalysisList& list, std::vector<std::string>& lower,
                                  std::vector<std::string>& higher) {
    if (i < 0) ListIndexError(i);
    CollectForAnalysis(i, list);
    lower.assign(1, std::string());
    higher.assign(1, std::string());

    std::vector<TMivoAttribute*> closure;
    CollectEvaluationClosure(closure);
    TOptionSnapshot snapshot(closure, i);
    snapshot.Pad();

    auto trial = [&](TMivoAttribute* b, int v) {
        b->SetOptValueIndex(i, v);
        EvaluateOption(i);
        std::string result = GetOptValue(i);
        snapshot.Restore();
        snapshot.Pad();
        return result.empty() ? std::string("*") : result;
    };

    for (std::size_t e = 1; e < list.size(); ++e) {
        lower.emplace_back();
        higher.emplace_back();
        TMivoAttribute* b = list[e].Attribute;
        if (!b->Scale()) continue;
        const TValueSet set = b->OptValueSet(i);
        if (set.none()) continue;
        int lo = 0;
        while (!set.test(static_cast<std::size_t>(lo))) ++lo;
        int hi = 255;
        while (!set.test(static_cast<std::size_t>(hi))) --hi;
        if (lo > 0) lower.back() = trial(b, lo - 1);
        if (hi < b->ScaleSize() - 1) higher.back() = trial(b, hi + 1);
    }
}

}  // namespace mivo
