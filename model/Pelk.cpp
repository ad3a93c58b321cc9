#include "model/Pelk.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "model/Locale.h"
#include "model/MivoModel.h"
#include "model/MivoStr.h"
#include "model/RunTime.h"
#include "model/ScaleClasses.h"
#include "model/TreeEdit.h"
#include "model/Xml.h"
#include "model/XmlHeaderScope.h"

namespace mivo {

namespace {

// The ";"-separated pieces of a text ("" gives one empty piece).
std::vector<std::string> SplitPieces(const std::string& text) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (true) {
        std::size_t end = text.find(';', start);
        if (end == std::string::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

// Piece i, or "" past the end (as cutting an exhausted text gives).
const std::string& Piece(const std::vector<std::string>& pieces, int i) {
    static const std::string empty;
    return i < static_cast<int>(pieces.size()) ? pieces[static_cast<std::size_t>(i)] : empty;
}

std::string JoinPieces(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += ';';
        text += names[i];
    }
    return text;
}

// Strides of the canonical rule order: the last input varies fastest.
std::vector<long long> CanonicalStrides(const TMivoAttribute& attribute) {
    int n = attribute.InpCount();
    std::vector<long long> strides(static_cast<std::size_t>(n), 1);
    for (int k = n - 1; k > 0; --k)
        strides[static_cast<std::size_t>(k - 1)] =
            strides[static_cast<std::size_t>(k)] * attribute.Inputs(k)->ScaleSize();
    return strides;
}

// ---------------------------------------------------------------------------

class TPelkImport {
public:
    explicit TPelkImport(TMivoModel& model) : model_(model) {}

    void ReadModel(const TXmlItem& root);

private:
    void ReadPelkScale(const TXmlItem& element);
    void ReadPelkScaleValue(const TXmlItem& element, TMivoDiscreteScale& scale, TClassMarks& marks);
    void ReadPelkAttribute(const TXmlItem& element);
    void ReadPelkFunction(const TXmlItem& element);
    void CheckPelkAttrList(const TMivoAttribute& attribute, const std::string& name, const std::string& list);
    void ReadPelkRule(const TXmlItem& element, const TMivoAttribute& attribute, TMivoFunction& function,
                      const std::vector<long long>& strides);
    void ReadPelkOption(const TXmlItem& element);
    void ReadPelkOptionValue(const TXmlItem& element, int option, std::unordered_map<std::string, int>& seen);

    TMivoAttribute* ResolveParent(const std::string& name) const;
    TMivoAttribute* FunctionTarget(const std::string& name, const std::string& list) const;
    // Whether a comes before b in pre-order (both read from the file).
    bool PreOrderLess(const TMivoAttribute* a, const TMivoAttribute* b) const;
    // Files `added` under its name; its parent, when the new input made it
    // aggregate, leaves the basic ones of its name.
    void Register(TMivoAttribute* added);
    // The first attribute of that name in pre-order, or nullptr.
    TMivoAttribute* FirstNamed(const std::string& name) const;
    // The n-th basic attribute of that name in pre-order, or nullptr.
    TMivoAttribute* BasicNamed(const std::string& name, std::size_t n) const;

    TMivoModel& model_;
    // The scales read so far (attributes get copies); the first of a name
    // counts.
    std::vector<std::unique_ptr<TMivoDiscreteScale>> scales_;
    std::unordered_map<std::string, TMivoDiscreteScale*> scale_by_name_;
    // Function names (letter case folded) with their attributes, in reading
    // order, and the attributes that got a function from this file.
    std::unordered_map<std::string, std::vector<TMivoAttribute*>> functions_;
    std::unordered_set<const TMivoAttribute*> with_function_;
    // Attributes by exact name in pre-order, all of them and the basic
    // ones. An attribute is only ever appended as the last input of its
    // parent, so the order of those read before never changes: each new one
    // is inserted where it belongs, and the lists stay valid whatever order
    // the elements come in.
    struct TNamed {
        std::vector<TMivoAttribute*> all;
        std::vector<TMivoAttribute*> basic;
    };
    std::unordered_map<std::string, TNamed> named_;
    // Each attribute's index among the inputs of its parent: inputs are
    // only appended, so it never changes (and need not be searched for).
    std::unordered_map<const TMivoAttribute*, int> position_;
    // The attribute read last.
    TMivoAttribute* previous_ = nullptr;
};

void TPelkImport::ReadModel(const TXmlItem& root) {
    model_.ResetRoot();
    for (const auto& child : root.Children()) {
        const std::string& name = child->Name;
        if (name == "NAME") model_.SetName(child->Text);
        else if (name == "DESCRIPTION") model_.SetDescription(child->Text);
        else if (name == "SCALE") ReadPelkScale(*child);
        else if (name == "ATTRIBUTE") ReadPelkAttribute(*child);
        else if (name == "FUNCTION") ReadPelkFunction(*child);
        else if (name == "OPTION") ReadPelkOption(*child);
    }
    model_.Changed();
}

void TPelkImport::ReadPelkScale(const TXmlItem& element) {
    auto scale = std::make_unique<TMivoDiscreteScale>();
    scale->SetName(element.ChildText("NAME"));
    scale->SetDescription(element.ChildText("DESCRIPTION"));
    TClassMarks marks;
    for (const auto& child : element.Children()) {
        const std::string& name = child->Name;
        if (name == "ORDERED") {
            if (child->Text == "NO") scale->Order = soUnordered;
        } else if (name == "ORDER") {
            if (child->Text == "ASC") scale->Order = soAscending;
            else if (child->Text == "DESC") scale->Order = soDescending;
        } else if (name == "SCALEVALUE") {
            ReadPelkScaleValue(*child, *scale, marks);
        }
    }
    marks.Apply(*scale);
    scale_by_name_.emplace(scale->GetName(), scale.get());
    scales_.push_back(std::move(scale));
}

void TPelkImport::ReadPelkScaleValue(const TXmlItem& element, TMivoDiscreteScale& scale, TClassMarks& marks) {
    if (scale.Count() >= MaxScaleValues) throw EMivoError(Format(SPelkTooManyValues, scale.GetName(), MaxScaleValues));
    scale.AddValue(element.ChildText("NAME"), element.ChildText("DESCRIPTION"));
    int index = scale.Count() - 1;
    for (const auto& child : element.Children()) {
        if (child->Name != "GROUP") continue;
        if (child->Text == "GOOD") marks.MarkGood(index);
        else if (child->Text == "BAD") marks.MarkBad(index);
    }
}

void TPelkImport::ReadPelkAttribute(const TXmlItem& element) {
    auto attribute = std::make_unique<TMivoAttribute>(element.ChildText("NAME"), element.ChildText("DESCRIPTION"));
    TMivoAttribute* parent = nullptr;
    std::vector<std::string> function_names;
    for (const auto& child : element.Children()) {
        const std::string& name = child->Name;
        if (name == "PARENT") {
            if (!child->Text.empty()) parent = ResolveParent(child->Text);
        } else if (name == "SCALE") {
            auto it = scale_by_name_.find(child->Text);
            if (it != scale_by_name_.end()) {
                auto copy = std::make_unique<TMivoDiscreteScale>();
                copy->Assign(it->second);
                attribute->SetScale(std::move(copy));
            } else {
                attribute->SetScale(nullptr);
            }
        } else if (name == "FUNCTION") {
            function_names.push_back(child->Text);
        }
    }
    if (!parent) parent = model_.Root();
    if (parent->Level() + 1 > MaxAttributeLevel)
        throw EMivoError(Format(STreeTooDeep, parent->Level() + 1, MaxAttributeLevel));

    TMivoAttribute* added = parent->AddInput(std::move(attribute));
    for (const std::string& name : function_names) functions_[FoldCase(name)].push_back(added);
    position_[added] = parent->InpCount() - 1;
    Register(added);
    previous_ = added;
}

void TPelkImport::ReadPelkFunction(const TXmlItem& element) {
    std::string name = element.ChildText("NAME");
    std::string list = element.ChildText("ATTRLIST");
    TMivoAttribute* attribute = FunctionTarget(name, list);
    CheckPelkAttrList(*attribute, name, list);
    if (!attribute->CanHaveFunction()) throw EMivoError(Format(MivoStr::SCannotCreateFunction, name));

    auto function = std::make_unique<TMivoFunction>();
    function->Init(attribute);
    std::vector<long long> strides = CanonicalStrides(*attribute);
    for (const auto& child : element.Children())
        if (child->Name == "RULE") ReadPelkRule(*child, *attribute, *function, strides);
    // A second function for the attribute replaces the first.
    attribute->SetFunct(std::move(function));
    with_function_.insert(attribute);
}

void TPelkImport::CheckPelkAttrList(const TMivoAttribute& attribute, const std::string& name,
                                    const std::string& list) {
    std::vector<std::string> pieces = SplitPieces(list);
    for (int i = 0; i < attribute.InpCount(); ++i)
        if (Piece(pieces, i) != attribute.Inputs(i)->GetName())
            throw EMivoError(Format(MivoStr::SFunctionParameters, name, list));
}

void TPelkImport::ReadPelkRule(const TXmlItem& element, const TMivoAttribute& attribute, TMivoFunction& function,
                               const std::vector<long long>& strides) {
    int result = ValueIndexByName(&attribute, element.ChildText("RESULT"));
    std::vector<std::string> pieces = SplitPieces(element.ChildText("CONDITION"));
    // The rule's position in canonical order follows from its input values.
    long long index = 0;
    for (int k = 0; k < attribute.InpCount(); ++k)
        index += ValueIndexByName(attribute.Inputs(k), Piece(pieces, k)) * strides[static_cast<std::size_t>(k)];
    int rule = static_cast<int>(index);
    function.SetRuleValue(rule, result);
    function.SetRuleEntered(rule, true);
}

void TPelkImport::ReadPelkOption(const TXmlItem& element) {
    model_.AddOption(element.ChildText("NAME"));
    int option = model_.OptionCount() - 1;
    std::unordered_map<std::string, int> seen;  // OPTIONVALUEs per attribute name so far
    for (const auto& child : element.Children())
        if (child->Name == "OPTIONVALUE") ReadPelkOptionValue(*child, option, seen);
}

void TPelkImport::ReadPelkOptionValue(const TXmlItem& element, int option,
                                      std::unordered_map<std::string, int>& seen) {
    std::string name = element.ChildText("ATTRIBUTE");
    std::string text = element.ChildText("VALUE");
    if (name.empty()) return;
    // Counted also when the value is empty, so that the values of the
    // attributes of that name after it stay where they belong.
    auto n = static_cast<std::size_t>(seen[name]++);
    if (text.empty()) return;

    TMivoAttribute* attribute = BasicNamed(name, n);
    if (!attribute) attribute = FirstNamed(name);
    std::string value;
    if (text == "*") {
        if (!attribute) return;
        value = "*";
    } else {
        value = std::string(1, ValueChar(ValueIndexByName(attribute, text)));
    }
    attribute->SetOptValue(option, value);
}

TMivoAttribute* TPelkImport::ResolveParent(const std::string& name) const {
    for (TMivoAttribute* a = previous_; a && a != model_.Root(); a = a->Parent())
        if (a->GetName() == name) return a;
    return FirstNamed(name);
}

TMivoAttribute* TPelkImport::FunctionTarget(const std::string& name, const std::string& list) const {
    auto it = functions_.find(FoldCase(name));
    if (it == functions_.end() || it->second.empty())
        throw EMivoError(Format(MivoStr::SUnknownFunction, name));
    const std::vector<TMivoAttribute*>& candidates = it->second;
    std::vector<std::string> pieces = SplitPieces(list);
    auto open = [&](const TMivoAttribute* a) { return !with_function_.count(a) && a->CanHaveFunction(); };
    auto inputs_match = [&](const TMivoAttribute* a) {
        for (int i = 0; i < a->InpCount(); ++i)
            if (Piece(pieces, i) != a->Inputs(i)->GetName()) return false;
        return true;
    };
    for (TMivoAttribute* a : candidates)
        if (open(a) && inputs_match(a)) return a;
    for (TMivoAttribute* a : candidates)
        if (open(a)) return a;
    return candidates.front();
}

bool TPelkImport::PreOrderLess(const TMivoAttribute* a, const TMivoAttribute* b) const {
    std::vector<const TMivoAttribute*> pa;
    std::vector<const TMivoAttribute*> pb;
    for (const TMivoAttribute* x = a; x; x = x->Parent()) pa.push_back(x);
    for (const TMivoAttribute* x = b; x; x = x->Parent()) pb.push_back(x);
    std::reverse(pa.begin(), pa.end());
    std::reverse(pb.begin(), pb.end());
    std::size_t i = 0;
    while (i < pa.size() && i < pb.size() && pa[i] == pb[i]) ++i;
    if (i == pa.size()) return i != pb.size();  // a is b or an ancestor of b
    if (i == pb.size() || i == 0) return false;  // b is an ancestor of a
    return position_.at(pa[i]) < position_.at(pb[i]);
}

void TPelkImport::Register(TMivoAttribute* added) {
    auto less = [this](const TMivoAttribute* a, const TMivoAttribute* b) { return PreOrderLess(a, b); };
    // Mostly the new attribute comes last in pre-order.
    auto insert = [&](std::vector<TMivoAttribute*>& list) {
        if (list.empty() || less(list.back(), added)) list.push_back(added);
        else list.insert(std::upper_bound(list.begin(), list.end(), added, less), added);
    };
    TNamed& named = named_[added->GetName()];
    insert(named.all);
    insert(named.basic);

    TMivoAttribute* parent = added->Parent();
    if (parent == model_.Root() || parent->InpCount() != 1) return;
    std::vector<TMivoAttribute*>& basic = named_[parent->GetName()].basic;
    auto it = std::lower_bound(basic.begin(), basic.end(), parent, less);
    if (it != basic.end() && *it == parent) basic.erase(it);
}

TMivoAttribute* TPelkImport::FirstNamed(const std::string& name) const {
    auto it = named_.find(name);
    return it == named_.end() || it->second.all.empty() ? nullptr : it->second.all.front();
}

TMivoAttribute* TPelkImport::BasicNamed(const std::string& name, std::size_t n) const {
    auto it = named_.find(name);
    return it == named_.end() || n >= it->second.basic.size() ? nullptr : it->second.basic[n];
}

void ReadPelkDocument(TMivoModel& model, const TXmlItem& root, const std::string& source) {
    if (root.Name != "MODEL") throw EMivoError(Format(MivoStr::SUnsupportedFileFormat, source));
    TPelkImport import(model);
    import.ReadModel(root);
}

// ---------------------------------------------------------------------------

// The name of value i of the attribute's scale; "" when there is none.
std::string ValueNameOf(const TMivoAttribute& attribute, int i) {
    const auto* scale = dynamic_cast<const TMivoDiscreteScale*>(attribute.Scale());
    if (!scale || i < 0 || i >= scale->Count()) return "";
    return scale->ValueName(i);
}

// The index of the one value a basic attribute has for option k, or -1
// when its VALUE is "*": an undefined value, any value, a set of several
// values or a code outside the scale.
int PelkValueIndex(const TMivoAttribute& attribute, int k) {
    std::string value = attribute.GetOptValue(k);
    if (value.size() != 1) return -1;
    int index = CharValue(value[0]);
    return index >= 0 && index < attribute.ScaleSize() ? index : -1;
}

// The VALUE of a basic attribute for option k: one value's name, or "*".
std::string PelkValue(const TMivoAttribute& attribute, int k) {
    int index = PelkValueIndex(attribute, k);
    return index < 0 ? "*" : ValueNameOf(attribute, index);
}

// For each value of the attribute's scale, the index of the first value of
// its name: the value the import finds by that name.
std::vector<int> FirstOfName(const TMivoAttribute& attribute) {
    std::vector<int> first;
    const auto* scale = dynamic_cast<const TMivoDiscreteScale*>(attribute.Scale());
    if (!scale) return first;
    std::unordered_map<std::string, int> seen;
    for (int v = 0; v < scale->Count(); ++v) first.push_back(seen.emplace(scale->ValueName(v), v).first->second);
    return first;
}

// Value v of the attribute, written by name, reads back as itself.
void CheckPelkValueName(const TMivoAttribute& attribute, const std::vector<int>& first, int v) {
    if (first[static_cast<std::size_t>(v)] != v)
        throw EMivoError(Format(SPelkValueNotUnique, attribute.GetName(), ValueNameOf(attribute, v)));
}

// Where an attribute stands, for messages about one without a name.
std::string PlaceOf(const TMivoAttribute& attribute, const TMivoAttribute* root) {
    const TMivoAttribute* parent = attribute.Parent();
    int number = parent ? parent->InputIndex(&attribute) + 1 : 1;
    if (!parent || parent == root) return Format(SPelkTopPlace, number);
    return Format(SPelkInputPlace, number, parent->GetName());
}

// A parent is found again by its name on the path up from the attribute
// written before; a nearer attribute of the same name on that path (an
// input named like its parent, followed by further inputs) would take its
// place, so such a tree is refused too.
void CheckPelkParent(const std::vector<TMivoAttribute*>& attributes, std::size_t i, const TMivoAttribute* root) {
    const TMivoAttribute* a = attributes[i];
    const TMivoAttribute* parent = a->Parent();
    if (!parent || parent == root) return;
    if (parent->GetName().empty()) throw EMivoError(Format(SPelkParentUnnamed, a->GetName()));
    const TMivoAttribute* found = nullptr;
    for (const TMivoAttribute* p = i > 0 ? attributes[i - 1] : nullptr; p && p != root && !found; p = p->Parent())
        if (p->GetName() == parent->GetName()) found = p;
    if (found != parent) throw EMivoError(Format(SPelkParentAmbiguous, a->GetName(), parent->GetName()));
}

// The inputs of a function with their value names, which the file joins by
// ";" (every value of an input stands in some rule's CONDITION), and the
// values the rules' RESULTs name.
void CheckPelkFunction(const TMivoAttribute& attribute) {
    for (int k = 0; k < attribute.InpCount(); ++k) {
        const TMivoAttribute& input = *attribute.Inputs(k);
        if (input.GetName().find(';') != std::string::npos)
            throw EMivoError(Format(SPelkSemicolonInName, input.GetName()));
        std::vector<int> first = FirstOfName(input);
        for (int v = 0; v < static_cast<int>(first.size()); ++v) {
            if (ValueNameOf(input, v).find(';') != std::string::npos)
                throw EMivoError(Format(SPelkSemicolonInValue, input.GetName(), ValueNameOf(input, v)));
            CheckPelkValueName(input, first, v);
        }
    }
    const TMivoFunction& function = *attribute.Funct();
    std::vector<int> first = FirstOfName(attribute);
    for (int r = 0; r < function.RuleCount(); ++r) {
        int low = function.RuleLow(r);
        if (low >= 0 && low < static_cast<int>(first.size())) CheckPelkValueName(attribute, first, low);
    }
}

// A basic attribute's OPTIONVALUEs: its name, and the name of each value an
// option has, which must not read back as undefined (no name), as any
// value ("*") or as another value of the same name.
void CheckPelkOptionValues(const TMivoModel& model, const TMivoAttribute& attribute) {
    if (model.OptionCount() == 0) return;
    if (attribute.GetName().empty())
        throw EMivoError(Format(SPelkBasicUnnamed, PlaceOf(attribute, model.Root())));
    std::vector<int> first = FirstOfName(attribute);
    for (int k = 0; k < model.OptionCount(); ++k) {
        int v = PelkValueIndex(attribute, k);
        if (v < 0) continue;
        const std::string name = ValueNameOf(attribute, v);
        if (name.empty())
            throw EMivoError(Format(SPelkValueUnnamed, attribute.GetName(), v + 1, model.OptionName(k)));
        if (name == "*") throw EMivoError(Format(SPelkValueAny, attribute.GetName(), model.OptionName(k)));
        CheckPelkValueName(attribute, first, v);
    }
}

// Names the file must be able to refer to, so that everything written
// reads back as it was; checked before anything is written.
void CheckPelkNames(const TMivoModel& model, const std::vector<TMivoAttribute*>& attributes) {
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        const TMivoAttribute& a = *attributes[i];
        CheckPelkParent(attributes, i, model.Root());
        if (a.Funct()) CheckPelkFunction(a);
        if (a.IsBasic()) CheckPelkOptionValues(model, a);
    }
}

// The name by which each attribute's FUNCTION element refers to it: its own
// name, unless the import would give its function to an earlier attribute
// of that name (compared without regard to case) that has none of its own
// but could take it; such an attribute gets its name with "_1", "_2", ...
// appended, unique among all reference names.
using TFunctionNames = std::unordered_map<const TMivoAttribute*, std::string>;

TFunctionNames PelkFunctionNames(const std::vector<TMivoAttribute*>& attributes) {
    TFunctionNames names;
    std::unordered_set<std::string> taken;
    std::unordered_map<std::string, std::vector<const TMivoAttribute*>> by_name;  // folded, in reading order
    for (const TMivoAttribute* a : attributes) {
        names[a] = a->GetName();
        taken.insert(FoldCase(a->GetName()));
        by_name[FoldCase(a->GetName())].push_back(a);
    }
    std::unordered_set<const TMivoAttribute*> done;
    for (const TMivoAttribute* a : attributes) {
        if (!a->Funct()) continue;
        std::vector<const TMivoAttribute*>& candidates = by_name[FoldCase(names[a])];
        auto takes = [&](const TMivoAttribute* c) {
            if (done.count(c) || !c->CanHaveFunction()) return false;
            for (int i = 0; i < c->InpCount(); ++i) {
                std::string piece = i < a->InpCount() ? a->Inputs(i)->GetName() : std::string();
                if (piece != c->Inputs(i)->GetName()) return false;
            }
            return true;
        };
        auto first = std::find_if(candidates.begin(), candidates.end(), takes);
        if (first != candidates.end() && *first != a) {
            candidates.erase(std::find(candidates.begin(), candidates.end(), a));
            std::string name;
            for (int n = 1; name.empty() || taken.count(FoldCase(name)); ++n)
                name = a->GetName() + "_" + std::to_string(n);
            taken.insert(FoldCase(name));
            by_name[FoldCase(name)].push_back(a);
            names[a] = name;
        }
        done.insert(a);
    }
    return names;
}

void WritePelkScale(TXmlItem& root, const TMivoScale& scale, const std::string& name) {
    TXmlItem& element = root.NewChild("SCALE");
    element.AddTextChild("NAME", name);
    if (!scale.IsOrdered()) {
        element.AddTextChild("ORDERED", "NO");
    } else {
        element.AddTextChild("ORDERED", "YES");
        element.AddTextChild("ORDER", scale.IsDescending() ? "DESC" : "ASC");
    }
    const auto* discrete = dynamic_cast<const TMivoDiscreteScale*>(&scale);
    if (!discrete) return;
    for (int i = 0; i < discrete->Count(); ++i) {
        TXmlItem& value = element.NewChild("SCALEVALUE");
        if (!discrete->ValueName(i).empty()) value.AddTextChild("NAME", discrete->ValueName(i));
        if (!discrete->ValueDescription(i).empty()) value.AddTextChild("DESCRIPTION", discrete->ValueDescription(i));
        if (discrete->IsBad(i)) value.AddTextChild("GROUP", "BAD");
        else if (discrete->IsGood(i)) value.AddTextChild("GROUP", "GOOD");
    }
}

void WritePelkAttribute(TXmlItem& root, const TMivoAttribute& attribute, const TMivoAttribute* model_root,
                        const TScaleEntryList& scales, const std::vector<std::string>& scale_names,
                        const TFunctionNames& function_names) {
    TXmlItem& element = root.NewChild("ATTRIBUTE");
    if (!attribute.GetName().empty()) element.AddTextChild("NAME", attribute.GetName());
    if (!attribute.GetDescription().empty()) element.AddTextChild("DESCRIPTION", attribute.GetDescription());
    if (attribute.Parent() && attribute.Parent() != model_root)
        element.AddTextChild("PARENT", attribute.Parent()->GetName());
    if (attribute.Scale()) {
        for (std::size_t i = 0; i < scales.size(); ++i) {
            if (scales[i].Scale->Equal(attribute.Scale())) {
                element.AddTextChild("SCALE", scale_names[i]);
                break;
            }
        }
    }
    element.AddTextChild("FUNCTION", function_names.at(&attribute));
}

void WritePelkFunction(TXmlItem& root, const TMivoAttribute& attribute, const TFunctionNames& function_names) {
    const TMivoFunction& function = *attribute.Funct();
    TXmlItem& element = root.NewChild("FUNCTION");
    element.AddTextChild("NAME", function_names.at(&attribute));
    std::vector<std::string> names;
    for (int k = 0; k < attribute.InpCount(); ++k) names.push_back(attribute.Inputs(k)->GetName());
    element.AddTextChild("ATTRLIST", JoinPieces(names));
    for (int r = 0; r < function.RuleCount(); ++r) {
        TXmlItem& rule = element.NewChild("RULE");
        std::vector<std::string> values;
        for (int k = 0; k < attribute.InpCount(); ++k)
            values.push_back(ValueNameOf(*attribute.Inputs(k), function.ArgValue(k, r)));
        rule.AddTextChild("CONDITION", JoinPieces(values));
        rule.AddTextChild("RESULT", ValueNameOf(attribute, function.RuleLow(r)));
    }
}

void WritePelkOption(TXmlItem& root, const TMivoModel& model, const std::vector<TMivoAttribute*>& attributes,
                     int k) {
    TXmlItem& element = root.NewChild("OPTION");
    element.AddTextChild("NAME", model.OptionName(k));
    for (const TMivoAttribute* a : attributes) {
        if (!a->IsBasic()) continue;
        TXmlItem& value = element.NewChild("OPTIONVALUE");
        value.AddTextChild("ATTRIBUTE", a->GetName());
        value.AddTextChild("VALUE", PelkValue(*a, k));
    }
}

// Each distinct scale's name: the name of the first attribute that has it,
// made unique with "_1", "_2", ... so that every reference finds its scale.
std::vector<std::string> UniqueScaleNames(const TScaleEntryList& scales) {
    std::unordered_set<std::string> taken;
    std::vector<std::string> names;
    for (const TScaleEntry& entry : scales) {
        std::string name = entry.Text;
        for (int n = 1; taken.count(name); ++n) name = entry.Text + "_" + std::to_string(n);
        taken.insert(name);
        names.push_back(name);
    }
    return names;
}

}  // namespace

void ImportPelk(TMivoModel& model, const std::string& file_name) {
    TXmlHeaderScope plain("");  // no header line, 8-bit text
    TXmlItem root;
    root.LoadFromFile(file_name);
    ReadPelkDocument(model, root, file_name);
}

void ImportPelkLines(TMivoModel& model, const std::vector<std::string>& lines, const std::string& source) {
    TXmlHeaderScope plain("");  // no header line, 8-bit text
    TXmlItem root;
    root.LoadFromStrings(lines);
    ReadPelkDocument(model, root, source);
}

std::unique_ptr<TXmlItem> PelkTree(const TMivoModel& model) {
    std::vector<TMivoAttribute*> attributes = model.Attributes();
    CheckPelkNames(model, attributes);

    TScaleEntryList scales;
    model.DistinctScales(scales);
    std::vector<std::string> scale_names = UniqueScaleNames(scales);
    TFunctionNames function_names = PelkFunctionNames(attributes);

    auto root = std::make_unique<TXmlItem>("MODEL");
    if (!model.GetName().empty()) root->AddTextChild("NAME", model.GetName());
    if (!model.GetDescription().empty()) root->AddTextChild("DESCRIPTION", model.GetDescription());
    for (std::size_t i = 0; i < scales.size(); ++i) WritePelkScale(*root, *scales[i].Scale, scale_names[i]);
    for (const TMivoAttribute* a : attributes)
        WritePelkAttribute(*root, *a, model.Root(), scales, scale_names, function_names);
    for (const TMivoAttribute* a : attributes)
        if (a->Funct()) WritePelkFunction(*root, *a, function_names);
    for (int k = 0; k < model.OptionCount(); ++k) WritePelkOption(*root, model, attributes, k);
    return root;
}

TPelkLosses PelkLosses(const TMivoModel& model) {
    TPelkLosses losses;
    model.ForEachAttribute([&](const TMivoAttribute* a) {
        if (a->IsBasic()) {
            for (int k = 0; k < model.OptionCount(); ++k) {
                std::string_view value = a->OptValue(k);
                if (value.size() > 1 && value != "*") ++losses.SetValues;
            }
        }
        if (const TMivoFunction* function = a->Funct()) {
            for (int r = 0; r < function->RuleCount(); ++r)
                if (function->RuleHigh(r) != function->RuleLow(r)) ++losses.RuleIntervals;
        }
    });
    return losses;
}

void ExportPelk(const TMivoModel& model, const std::string& file_name) {
    TXmlHeaderScope plain("");  // no header line, 8-bit text
    std::unique_ptr<TXmlItem> tree = PelkTree(model);
    tree->SaveToFile(file_name);
}

}  // namespace mivo
