// The scale editor's working state and the value remaps of scale edits.
#include "model/ScaleEdit.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "model/Lists.h"

#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoUtl.h"
#include "model/RuleAdjust.h"
#include "model/RunTime.h"
#include "model/Utils.h"

namespace mivo {

namespace {

// "Edit is over" for a TScaleEdit used after Apply.
constexpr const char* SEditApplied = "The scale edit has been handed over already";

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// The member a stands for after a and b changed places.
int Exchanged(int value, int a, int b) { return value == a ? b : (value == b ? a : value); }

bool IsWholeOrNone(std::string_view text) { return text.empty() || text == "*"; }

// The interval low..high with members a and b exchanged, widened to the
// smallest interval that holds every mapped member.
std::pair<int, int> ExchangedInterval(int low, int high, int a, int b) {
    const bool hasA = low <= a && a <= high;
    const bool hasB = low <= b && b <= high;
    if (hasA == hasB) return {low, high};
    const int gone = hasA ? a : b;   // the member that leaves
    const int comes = hasA ? b : a;  // the member that takes its place
    if (low == high) return {comes, comes};
    const int rest_low = low == gone ? low + 1 : low;
    const int rest_high = high == gone ? high - 1 : high;
    return {std::min(rest_low, comes), std::max(rest_high, comes)};
}

}  // namespace

// ---------------------------------------------------------------------------
// Names

std::string BlankBreaks(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return text;
}

std::string ValueNameProblem(const TMivoDiscreteScale& scale, int index, const std::string& name) {
    const std::string clean = BlankBreaks(name);
    const std::string_view core = TrimBlanks(clean);
    if (core.empty()) return SValueNameEmpty;
    if (core == "*") return SValueNameAny;
    if (clean.find(';') != std::string::npos) return Format(SValueNameSemicolon, clean);
    for (int j = 0; j < scale.Count(); ++j)
        if (j != index && scale.ValueName(j) == clean) return Format(SValueNameTaken, clean);
    return {};
}

std::optional<std::string> RepeatedValueName(const TMivoDiscreteScale& scale) {
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(scale.Count()));
    for (int i = 0; i < scale.Count(); ++i) {
        const std::string name = scale.ValueName(i);
        if (std::find(names.begin(), names.end(), name) != names.end()) return name;
        names.push_back(name);
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------
// Classes

void MarkBad(TMivoScale& scale, int k) {
    scale.SetBadBound(k);
    // Setting the bad bound may have pulled the good bound onto k (or the
    // good bound sat on k already): k must not be good as well.
    if (scale.IsGood(k)) scale.SetGoodBound(scale.IsDescending() ? k - 0.5 : k + 0.5);
}

void MarkGood(TMivoScale& scale, int k) {
    scale.SetGoodBound(k);
    if (scale.IsBad(k)) scale.SetBadBound(scale.IsDescending() ? k + 0.5 : k - 0.5);
}

void MarkNeutral(TMivoScale& scale, int k) {
    if (scale.Order == soAscending) {
        scale.SetBadBound(std::min(k - 0.5, scale.GetBadBound()));
        scale.SetGoodBound(std::max(k + 0.5, scale.GetGoodBound()));
    } else {
        scale.SetBadBound(std::max(k + 0.5, scale.GetBadBound()));
        scale.SetGoodBound(std::min(k - 0.5, scale.GetGoodBound()));
    }
}

// ---------------------------------------------------------------------------
// Option values

TValueStrings ExchangeValueMembers(const TValueStrings& values, int a, int b) {
    const char codeA = ValueChar(a);
    const char codeB = ValueChar(b);
    TValueStrings out = values;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string_view text = values.Get(i);
        if (IsWholeOrNone(text) || text.find_first_of(std::string{codeA, codeB}) == std::string_view::npos) continue;
        std::string mapped(text);
        for (char& c : mapped) c = c == codeA ? codeB : (c == codeB ? codeA : c);
        std::sort(mapped.begin(), mapped.end(),
                  [](char x, char y) { return static_cast<unsigned char>(x) < static_cast<unsigned char>(y); });
        out.Set(i, mapped);
    }
    return out;
}

TValueStrings ClipValueMembers(const TValueStrings& values, int count) {
    TValueStrings out = values;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string_view text = values.Get(i);
        if (IsWholeOrNone(text)) continue;
        std::string kept;
        for (char c : text)
            if (CharValue(c) < count) kept += c;
        if (kept.size() != text.size()) out.Set(i, kept);
    }
    return out;
}

void ClipValues(TMivoAttribute& attribute, int count) {
    attribute.SetValues(ClipValueMembers(attribute.Values(), count));
}

// ---------------------------------------------------------------------------
// Tables

void ExchangeFunctValues(TMivoFunction& funct, int a, int b) {
    for (int r = 0; r < funct.RuleCount(); ++r) {
        const auto [low, high] = ExchangedInterval(funct.RuleLow(r), funct.RuleHigh(r), a, b);
        if (low != funct.RuleLow(r)) funct.SetRuleLow(r, low);
        if (high != funct.RuleHigh(r)) funct.SetRuleHigh(r, high);
    }
}

void ExchangeArgValues(TMivoFunction& funct, int position, int a, int b) {
    CheckIndex(position, funct.ArgCount());
    const auto p = static_cast<std::size_t>(position);
    TStrList& rules = funct.EditRules();
    rules.BeginUpdate();
    for (int r = 0; r < rules.Count(); ++r) {
        std::string rule = rules.Get(r);
        At(rule, p) = ValueChar(Exchanged(CharValue(At(rule, p)), a, b));
        rules.Put(r, rule);
    }
    rules.EndUpdate();
    funct.SortRules(false);
}

// ---------------------------------------------------------------------------
// TScaleEdit

// The table operations read the attribute's scale (its size for the whole
// output interval, the input sizes and orders for derivation) and edit the
// attribute's option values in place. For the length of one operation the
// scope lends the working scale and the working values to the attribute and
// then takes them back, restoring the attribute's own, also when the
// operation fails; between operations the model is as it was.
class TScaleEdit::TScope {
public:
    explicit TScope(TScaleEdit& edit)
        : edit_(edit), scale_(edit.attribute_.TakeScale()), values_(edit.attribute_.Values()) {
        edit.attribute_.SetScale(std::move(edit.scale_));
        edit.attribute_.SetValues(std::move(edit.values_));
    }
    ~TScope() {
        TMivoAttribute& attribute = edit_.attribute_;
        edit_.values_ = attribute.Values();
        edit_.scale_.reset(static_cast<TMivoDiscreteScale*>(attribute.TakeScale().release()));
        attribute.SetScale(std::move(scale_));
        attribute.SetValues(std::move(values_));
    }
    TScope(const TScope&) = delete;
    TScope& operator=(const TScope&) = delete;

private:
    TScaleEdit& edit_;
    std::unique_ptr<TMivoScale> scale_;
    TValueStrings values_;
};

TScaleEdit::TScaleEdit(TMivoAttribute& attribute)
    : attribute_(attribute),
      source_(attribute.Scale()),
      scale_(std::make_unique<TMivoDiscreteScale>()),
      values_(attribute.Values()) {
    if (source_)
        scale_->Assign(source_);
    else
        scale_->AddValue(SNewValue, "");
    if (const TMivoFunction* own = attribute.Funct()) {
        own_ = std::make_unique<TMivoFunction>();
        own_->Assign(*own);
    }
    if (TMivoAttribute* parent = attribute.Parent(); parent && parent->Funct()) {
        parent_ = std::make_unique<TMivoFunction>();
        parent_->Assign(*parent->Funct());
        position_ = parent->InputIndex(&attribute);
        MIVO_ASSERT(position_ >= 0, "Scale edit of an attribute its parent does not hold");
    }
}

TScaleEdit::~TScaleEdit() = default;

void TScaleEdit::CheckOpen() const {
    if (!scale_) throw EMivoError(SEditApplied);
}

std::int64_t TScaleEdit::ParentRulesAfterAdd() const {
    CheckOpen();
    if (!parent_) return 0;
    std::vector<int> sizes = parent_->InputSizes();
    sizes[static_cast<std::size_t>(position_)] = Count() + 1;
    return RuleProduct(sizes, MaxRuleCount);
}

void TScaleEdit::InsertValue(int i, const std::string& name, const std::string& description) {
    CheckOpen();
    CheckIndex(i, Count() + 1);
    TMivoDiscreteScale& scale = *scale_;
    // A full scale refuses the value before anything else changes.
    scale.InsertValue(i, BlankBreaks(name), description);
    TScope scope(*this);
    ValuesAfterInsert(attribute_, i);
    if (own_) InsertFunctValue(*own_, i);
    if (parent_) InsertArgValue(*parent_, position_, i);
}

void TScaleEdit::DeleteValue(int k) {
    CheckOpen();
    CheckIndex(k, Count());
    TMivoDiscreteScale& scale = *scale_;
    scale.DeleteValue(k);
    TScope scope(*this);
    ValuesAfterDelete(attribute_, k);
    if (own_) DeleteFunctValue(*own_, k);
    if (parent_) DeleteArgValue(*parent_, position_, k);
}

void TScaleEdit::ExchangeValues(int a, int b) {
    values_ = ExchangeValueMembers(values_, a, b);
    if (own_) ExchangeFunctValues(*own_, a, b);
    if (parent_) ExchangeArgValues(*parent_, position_, a, b);
}

void TScaleEdit::MoveValueUp(int k) {
    CheckOpen();
    CheckIndex(k, Count());
    if (k < 1) return;
    scale_->MoveValueUp(k);
    ExchangeValues(k - 1, k);
}

void TScaleEdit::MoveValueDown(int k) {
    CheckOpen();
    CheckIndex(k, Count());
    if (k >= Count() - 1) return;
    scale_->MoveValueDown(k);
    ExchangeValues(k, k + 1);
}

void TScaleEdit::SetValueName(int k, const std::string& name) {
    CheckOpen();
    CheckIndex(k, Count());
    const std::string clean = BlankBreaks(name);
    if (const std::string problem = ValueNameProblem(*scale_, k, clean); !problem.empty()) throw EMivoError(problem);
    scale_->SetValueName(k, clean);
}

void TScaleEdit::SetValueDescription(int k, const std::string& description) {
    CheckOpen();
    scale_->SetValueDescription(k, description);
}

void TScaleEdit::SetOrder(std::uint8_t order) {
    CheckOpen();
    if (order == scale_->Order) return;
    scale_->Order = order;
    scale_->DefaultBounds();
}

void TScaleEdit::SetInterval(bool interval) {
    CheckOpen();
    scale_->Interval = interval;
}

void TScaleEdit::MarkBad(int k) {
    CheckOpen();
    CheckIndex(k, Count());
    mivo::MarkBad(*scale_, k);
}

void TScaleEdit::MarkGood(int k) {
    CheckOpen();
    CheckIndex(k, Count());
    mivo::MarkGood(*scale_, k);
}

void TScaleEdit::MarkNeutral(int k) {
    CheckOpen();
    CheckIndex(k, Count());
    mivo::MarkNeutral(*scale_, k);
}

TMivoDiscreteScale* TScaleEdit::Apply() {
    CheckOpen();
    {
        // The rule adjustments leave the table updates to the end: derive
        // (or fill) both tables once, for the scale they now belong to.
        TScope scope(*this);
        if (own_) own_->Update(false);
        if (parent_) parent_->Update(false);
    }
    TMivoDiscreteScale* result = scale_.get();
    attribute_.SetScale(std::move(scale_));
    attribute_.SetValues(std::move(values_));
    values_ = TValueStrings();
    // The copies were made from these attributes' tables, so both take them.
    if (own_) {
        const bool taken = attribute_.SetFunct(std::move(own_));
        MIVO_ASSERT(taken, "Scale edit: own table not taken");
    }
    if (parent_) {
        const bool taken = attribute_.Parent()->SetFunct(std::move(parent_));
        MIVO_ASSERT(taken, "Scale edit: parent table not taken");
    }
    source_ = nullptr;
    return result;
}

}  // namespace mivo
