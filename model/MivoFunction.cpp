// Decision tables: building, reading and writing rules, summary figures,
// sorting and evaluation.
#include "model/MivoFunction.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <utility>

#include "model/MivoAttribute.h"
#include "model/MivoScale.h"
#include "model/MivoStr.h"
#include "model/MivoUtl.h"

namespace mivo {

namespace {

constexpr char EnteredFlag = '+';
constexpr char NotEnteredFlag = '-';

// Canonical order: whole rule strings by byte value.
int CompareRuleStrings(const std::string& a, const std::string& b) {
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

// Wox order: the input bytes from the last input backwards (the first input
// varies fastest). A rule of n inputs is n + 3 bytes long.
int CompareRuleInputs(const std::string& a, const std::string& b) {
    const std::size_t inputs = std::min(a.size(), b.size()) >= 3 ? std::min(a.size(), b.size()) - 3 : 0;
    for (std::size_t k = inputs; k-- > 0;) {
        const auto x = static_cast<unsigned char>(a[k]);
        const auto y = static_cast<unsigned char>(b[k]);
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

std::string UnsignedText(std::uint64_t value) { return Format("%llu", static_cast<unsigned long long>(value)); }

// Exact rule count for the message, or a lower bound when it does not fit
// 64 bits.
std::string RuleCountText(const std::vector<int>& sizes) {
    std::uint64_t product = 1;
    for (int size : sizes) {
        if (__builtin_mul_overflow(product, static_cast<std::uint64_t>(size), &product))
            return "more than " + UnsignedText(std::numeric_limits<std::uint64_t>::max());
    }
    return UnsignedText(product);
}

// Adds the members low..high of the interval, clipped to 0..size-1.
void AddInterval(TValueSet& set, int low, int high, int size) {
    low = std::max(low, 0);
    high = std::min(high, size - 1);
    for (int v = low; v <= high; ++v) set.set(static_cast<std::size_t>(v));
}

std::string SetToValueString(const TValueSet& set, int size) {
    std::string out;
    for (int v = 0; v < size; ++v)
        if (set.test(static_cast<std::size_t>(v))) out += ValueChar(v);
    return out;
}

TValueSet WholeScale(int size) {
    TValueSet whole;
    for (int v = 0; v < size; ++v) whole.set(static_cast<std::size_t>(v));
    return whole;
}

bool IsAnyValue(const std::string& text) { return text.empty() || text == "*"; }

}  // namespace

std::int64_t RuleProduct(const std::vector<int>& sizes, std::int64_t limit) {
    std::int64_t product = 1;
    for (int size : sizes) {
        if (size < 1) return 0;
    }
    for (int size : sizes) {
        if (__builtin_mul_overflow(product, static_cast<std::int64_t>(size), &product) || product > limit)
            return limit + 1;
    }
    return product;
}

// ---------------------------------------------------------------------------

TMivoFunction::TMivoFunction() : rules_(false, dupAccept, false) {
    rules_.SetStrCompareFunc(CompareRuleStrings);
}

TMivoFunction::~TMivoFunction() = default;

TStrList& TMivoFunction::EditRules() {
    LayoutChanged();
    FitChanged();
    return rules_;
}

void TMivoFunction::Assign(const TMivoFunction& other) {
    if (&other == this) return;
    SetDescription(other.GetDescription());
    attribute_ = other.attribute_;
    rules_.BeginUpdate();
    rules_.Clear();
    for (int r = 0; r < other.rules_.Count(); ++r) rules_.Add(other.rules_.Get(r));
    rules_.EndUpdate();
    RequiredWeights = other.RequiredWeights;
    UseWeights = other.UseWeights;
    Consist = other.Consist;
    Rounding = other.Rounding;
    LayoutChanged();
    FitChanged();
}

bool TMivoFunction::CanInit(const TMivoAttribute* attribute) {
    return attribute != nullptr && attribute->CanHaveFunction();
}

void TMivoFunction::Init(TMivoAttribute* attribute) {
    if (!CanInit(attribute)) {
        rules_.Clear();
        attribute_ = nullptr;
        LayoutChanged();
        FitChanged();
        return;
    }
    const int n = attribute->InpCount();
    std::vector<int> sizes(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) sizes[static_cast<std::size_t>(k)] = attribute->Inputs(k)->ScaleSize();
    if (RuleProduct(sizes, MaxRuleCount) > MaxRuleCount)
        throw EMivoError(Format(STooManyRules, attribute->GetName(), RuleCountText(sizes),
                                static_cast<int>(MaxRuleCount)));

    const int m = attribute->ScaleSize();
    // Value bytes are checked before anything changes.
    for (int size : sizes) ValueChar(size - 1);
    const char high = ValueChar(m - 1);

    rules_.BeginUpdate();
    rules_.Clear();
    attribute_ = attribute;
    std::string rule(static_cast<std::size_t>(n) + 1, '0');
    rule += high;
    rule += NotEnteredFlag;
    for (;;) {
        rules_.Add(rule);
        // Odometer step: the last input counts fastest.
        int k = n - 1;
        for (; k >= 0; --k) {
            const int next = CharValue(rule[static_cast<std::size_t>(k)]) + 1;
            if (next < sizes[static_cast<std::size_t>(k)]) {
                rule[static_cast<std::size_t>(k)] = ValueChar(next);
                break;
            }
            rule[static_cast<std::size_t>(k)] = '0';
        }
        if (k < 0) break;
    }
    rules_.EndUpdate();
    LayoutChanged();
    FitChanged();

    ActualWeights.assign(static_cast<std::size_t>(n), 0.0);
    NormWeights.assign(static_cast<std::size_t>(n), 0.0);
    RequiredWeights.assign(static_cast<std::size_t>(n), 1.0);
    NormalizeSum(RequiredWeights, 100.0);
}

int TMivoFunction::ArgCount() const { return attribute_ ? attribute_->InpCount() : 0; }

int TMivoFunction::ArgValue(int input, int rule) const {
    const std::string& text = Rule(rule);
    CheckIndex(input, ArgCount());
    return CharValue(At(text, input));
}

int TMivoFunction::RuleLow(int rule) const {
    const std::string& text = Rule(rule);
    return CharValue(At(text, ArgCount()));
}

int TMivoFunction::RuleHigh(int rule) const {
    const std::string& text = Rule(rule);
    return CharValue(At(text, ArgCount() + 1));
}

void TMivoFunction::SetRuleByte(int rule, int position, char code) {
    std::string text = Rule(rule);
    At(text, position) = code;
    PutRule(rule, text);
}

void TMivoFunction::PutRule(int rule, const std::string& text) {
    if (fit_current_) {
        const std::size_t flag = static_cast<std::size_t>(ArgCount()) + 2;
        const std::string& old = Rule(rule);
        const auto entered = [&](const std::string& r) { return flag < r.size() && r[flag] == EnteredFlag; };
        if ((fit_all_rules_ || entered(old) || entered(text)) && old != text) FitChanged();
    }
    rules_.Put(rule, text);
}

void TMivoFunction::SetRuleLow(int rule, int value) { SetRuleByte(rule, ArgCount(), ValueChar(value)); }

void TMivoFunction::SetRuleHigh(int rule, int value) { SetRuleByte(rule, ArgCount() + 1, ValueChar(value)); }

void TMivoFunction::SetRuleValue(int rule, int value) {
    const char code = ValueChar(value);
    std::string text = Rule(rule);
    const int n = ArgCount();
    At(text, n) = code;
    At(text, n + 1) = code;
    PutRule(rule, text);
}

bool TMivoFunction::RuleEntered(int rule) const {
    const std::string& text = Rule(rule);
    return At(text, ArgCount() + 2) == EnteredFlag;
}

void TMivoFunction::SetRuleEntered(int rule, bool entered) {
    SetRuleByte(rule, ArgCount() + 2, entered ? EnteredFlag : NotEnteredFlag);
}

void TMivoFunction::ClearRule(int rule) {
    std::string text = Rule(rule);
    const int n = ArgCount();
    const int m = OutputSize();
    At(text, n) = '0';
    At(text, n + 1) = ValueChar(std::max(m - 1, 0));
    At(text, n + 2) = NotEnteredFlag;
    PutRule(rule, text);
}

int TMivoFunction::EnteredCount() const {
    int count = 0;
    for (int r = 0; r < RuleCount(); ++r)
        if (RuleEntered(r)) ++count;
    return count;
}

void TMivoFunction::EnterRules(bool all) {
    for (int r = 0; r < RuleCount(); ++r) {
        if (RuleEntered(r)) continue;
        if (all || RuleLow(r) == RuleHigh(r)) SetRuleEntered(r, true);
    }
}

int TMivoFunction::ValueRuleCount(int v) const {
    int count = 0;
    for (int r = 0; r < RuleCount(); ++r)
        if (RuleLow(r) <= v && v <= RuleHigh(r)) ++count;
    return count;
}

double TMivoFunction::Determinedness() const {
    const int m = OutputSize();
    const int count = RuleCount();
    if (m < 2 || count < 1) return 0.0;
    double sum = 0.0;
    for (int r = 0; r < count; ++r)
        sum += 1.0 - static_cast<double>(RuleHigh(r) - RuleLow(r)) / static_cast<double>(m - 1);
    return sum / count;
}

std::string TMivoFunction::DistributionText() const {
    std::string out;
    const auto* scale = attribute_ ? dynamic_cast<const TMivoDiscreteScale*>(attribute_->Scale()) : nullptr;
    const int m = OutputSize();
    for (int v = 0; v < m; ++v) {
        if (v > 0) out += ',';
        const std::string name = scale ? scale->ValueName(v) : std::string();
        out += Format("%s:%d", name, ValueRuleCount(v));
    }
    return out;
}

std::string TMivoFunction::StatusText() const {
    const int entered = EnteredCount();
    const int count = RuleCount();
    const double share = count > 0 ? 100.0 * entered / count : 0.0;
    return std::string(MivoStr::SRules) + Format(" %d/%d (", entered, count) + FloatToStrFixed(share, 2) +
           "%), " + MivoStr::SDetermined + " " + FloatToStrFixed(100.0 * Determinedness(), 2) + "% [" +
           DistributionText() + "]";
}

void TMivoFunction::SortRules(bool wox) {
    rules_.SetStrCompareFunc(wox ? CompareRuleInputs : CompareRuleStrings);
    rules_.Sort();
    // Searches in the list keep comparing whole rules by byte value.
    rules_.SetStrCompareFunc(CompareRuleStrings);
    LayoutChanged();
}

std::vector<int> TMivoFunction::WoxRuleOrder() const {
    std::vector<int> order(static_cast<std::size_t>(RuleCount()));
    const std::vector<int> sizes = InputSizes();
    if (HasCanonicalLayout(sizes)) {
        // An odometer with the first input fastest, carrying the canonical
        // index (the last input fastest) along.
        const std::size_t n = sizes.size();
        std::vector<std::int64_t> stride(n);
        std::int64_t step = 1;
        for (std::size_t k = n; k-- > 0;) {
            stride[k] = step;
            step *= sizes[k];
        }
        std::vector<int> digits(n, 0);
        std::int64_t index = 0;
        for (int& rule : order) {
            rule = static_cast<int>(index);
            for (std::size_t k = 0; k < n; ++k) {
                index += stride[k];
                if (++digits[k] < sizes[k]) break;
                index -= stride[k] * sizes[k];
                digits[k] = 0;
            }
        }
        return order;
    }
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return CompareRuleInputs(rules_.Get(a), rules_.Get(b)) < 0; });
    return order;
}

int TMivoFunction::OutputSize() const { return attribute_ ? attribute_->ScaleSize() : 0; }

std::vector<int> TMivoFunction::InputSizes() const {
    const int n = ArgCount();
    std::vector<int> sizes(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) sizes[static_cast<std::size_t>(k)] = attribute_->Inputs(k)->ScaleSize();
    return sizes;
}

// ---------------------------------------------------------------------------
// Evaluation

bool TMivoFunction::HasCanonicalLayout(const std::vector<int>& sizes) const {
    if (layout_checked_ && layout_sizes_ == sizes) return layout_canonical_;
    layout_checked_ = true;
    layout_sizes_ = sizes;
    layout_canonical_ = false;

    const std::size_t n = sizes.size();
    if (n == 0 || RuleProduct(sizes, MaxRuleCount) != RuleCount()) return false;
    for (int size : sizes)
        if (size > MaxScaleValues) return false;
    // Walk the odometer alongside the rules.
    std::vector<int> digits(n, 0);
    for (int r = 0; r < RuleCount(); ++r) {
        const std::string& rule = rules_.Get(r);
        if (rule.size() != n + 3) return false;
        for (std::size_t k = 0; k < n; ++k)
            if (CharValue(rule[k]) != digits[k]) return false;
        for (std::size_t k = n; k-- > 0;) {
            if (++digits[k] < sizes[k]) break;
            digits[k] = 0;
        }
    }
    layout_canonical_ = true;
    return true;
}

std::string TMivoFunction::Evaluate(const std::vector<std::string>& args) const {
    const int m = OutputSize();
    if (m < 1 || m > 256) throw ERangeError();
    const int n = ArgCount();
    if (std::cmp_less(args.size(), n)) throw ERangeError();
    const std::vector<int> sizes = InputSizes();
    if (HasCanonicalLayout(sizes)) return EvaluateByIndex(args, sizes, m);
    return EvaluateByScan(args, m);
}

std::string TMivoFunction::EvaluateByIndex(const std::vector<std::string>& args, const std::vector<int>& sizes,
                                           int outputSize) const {
    const std::size_t n = sizes.size();
    // The values each input's string admits, and the rule-index stride of
    // each input (the last input varies fastest).
    std::vector<std::vector<int>> members(n);
    std::vector<std::int64_t> stride(n);
    std::int64_t step = 1;
    for (std::size_t k = n; k-- > 0;) {
        stride[k] = step;
        step *= sizes[k];
        const std::string& text = args[k];
        if (IsAnyValue(text)) {
            members[k].resize(static_cast<std::size_t>(sizes[k]));
            for (int v = 0; v < sizes[k]; ++v) members[k][static_cast<std::size_t>(v)] = v;
        } else {
            TValueSet present;
            for (char c : text) {
                const int v = CharValue(c);
                if (v >= 0 && v < sizes[k]) present.set(static_cast<std::size_t>(v));
            }
            for (int v = 0; v < sizes[k]; ++v)
                if (present.test(static_cast<std::size_t>(v))) members[k].push_back(v);
        }
        if (members[k].empty()) return std::string();  // no rule matches
    }

    const TValueSet whole = WholeScale(outputSize);
    TValueSet result;
    std::vector<std::size_t> position(n, 0);
    std::int64_t index = 0;
    for (std::size_t k = 0; k < n; ++k) index += members[k][0] * stride[k];
    for (;;) {
        const std::string& rule = rules_.Get(static_cast<int>(index));
        AddInterval(result, CharValue(rule[n]), CharValue(rule[n + 1]), outputSize);
        if (result == whole) return std::string();
        // Odometer over the product of the member lists.
        std::size_t k = n;
        while (k-- > 0) {
            const std::vector<int>& list = members[k];
            index -= list[position[k]] * stride[k];
            if (++position[k] < list.size()) {
                index += list[position[k]] * stride[k];
                break;
            }
            position[k] = 0;
            index += list[0] * stride[k];
        }
        if (k == static_cast<std::size_t>(-1)) break;
    }
    return SetToValueString(result, outputSize);
}

std::string TMivoFunction::EvaluateByScan(const std::vector<std::string>& args, int outputSize) const {
    const std::size_t n = static_cast<std::size_t>(ArgCount());
    const TValueSet whole = WholeScale(outputSize);
    TValueSet result;
    for (int r = 0; r < RuleCount(); ++r) {
        const std::string& rule = rules_.Get(r);
        if (rule.size() < n + 2) continue;
        bool matches = true;
        for (std::size_t k = 0; k < n && matches; ++k) {
            const std::string& text = args[k];
            matches = IsAnyValue(text) || text.find(rule[k]) != std::string::npos;
        }
        if (!matches) continue;
        AddInterval(result, CharValue(rule[n]), CharValue(rule[n + 1]), outputSize);
        if (result == whole) return std::string();
    }
    return SetToValueString(result, outputSize);
}

}  // namespace mivo
