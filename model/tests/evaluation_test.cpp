// Attributes: the tree, option value strings, bottom-up evaluation with
// links, and the plus-minus-one analysis.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoScale.h"

namespace mivo {
namespace {

std::unique_ptr<TMivoDiscreteScale> MakeScale(int size, std::uint8_t order = soAscending) {
    auto scale = std::make_unique<TMivoDiscreteScale>();
    scale->Order = order;
    for (int v = 0; v < size; ++v) scale->AddValue("v" + std::to_string(v));
    scale->DefaultBounds();
    return scale;
}

TMivoAttribute* AddBasic(TMivoAttribute& parent, const std::string& name, int size) {
    auto a = std::make_unique<TMivoAttribute>(name);
    if (size > 0) a->SetScale(MakeScale(size));
    return parent.AddInput(std::move(a));
}

// Gives `a` a scale and a table whose rule value is fn(input values).
template <class Fn>
void GiveTable(TMivoAttribute& a, int size, Fn fn) {
    a.SetScale(MakeScale(size));
    TMivoFunction* f = a.CreateFunction();
    ASSERT_NE(f, nullptr);
    for (int r = 0; r < f->RuleCount(); ++r) {
        std::vector<int> in;
        for (int k = 0; k < f->ArgCount(); ++k) in.push_back(f->ArgValue(k, r));
        f->SetRuleValue(r, fn(in));
    }
}

// Every value list of the subtree, by attribute.
std::map<const TMivoAttribute*, std::vector<std::string>> AllValues(const TMivoAttribute& root) {
    std::map<const TMivoAttribute*, std::vector<std::string>> out;
    out[&root] = root.Values().ToVector();
    TMivoAttributeList list;
    root.CollectDescendants(list);
    for (int i = 0; i < list.Count(); ++i) out[list.GetItem(i)] = list.GetItem(i)->Values().ToVector();
    return out;
}

std::vector<std::string> Names(const TMivoAttributeList& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list.GetItem(i)->GetName());
    return out;
}

// root
//   car (3)      = min(price, tech)
//     price (3)
//     tech (3)   = (comfort + safety) / 2
//       comfort (3)
//       safety (2)
struct CarModel {
    TMivoAttribute root{"Root"};
    TMivoAttribute *car, *price, *tech, *comfort, *safety;
    CarModel() {
        car = root.AddInput(std::make_unique<TMivoAttribute>("car"));
        price = AddBasic(*car, "price", 3);
        tech = car->AddInput(std::make_unique<TMivoAttribute>("tech"));
        comfort = AddBasic(*tech, "comfort", 3);
        safety = AddBasic(*tech, "safety", 2);
        GiveTable(*tech, 3, [](const std::vector<int>& in) { return (in[0] + 2 * in[1]) / 2; });
        GiveTable(*car, 3, [](const std::vector<int>& in) { return std::min(in[0], in[1]); });
    }
};

TEST(AttributeTree, StructureAndNavigation) {
    CarModel m;
    EXPECT_EQ(m.tech->Parent(), m.car);
    EXPECT_EQ(m.comfort->Level(), 3);
    EXPECT_EQ(m.root.Level(), 0);
    EXPECT_EQ(m.safety->Path(), "\\Root\\car\\tech\\safety");
    EXPECT_TRUE(m.safety->HasAncestor(m.car));
    EXPECT_FALSE(m.car->HasAncestor(m.car));
    EXPECT_EQ(m.car->InputIndex(m.tech), 1);
    EXPECT_EQ(m.car->InputIndex(m.comfort), -1);
    EXPECT_TRUE(m.price->IsBasic());
    EXPECT_TRUE(m.car->IsAggregate());
    EXPECT_THROW(m.car->Inputs(2), EListError);
    EXPECT_THROW(m.price->Inputs(0), EListError);

    TMivoAttributeList list;
    m.root.CollectDescendants(list);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"car", "price", "tech", "comfort", "safety"}));
    m.root.CollectDescendants(list, [](const TMivoAttribute* a) { return a->IsAggregate(); });
    EXPECT_EQ(Names(list), (std::vector<std::string>{"car", "tech"}));
    m.comfort->SetLink(m.price);
    m.root.CollectBasic(list);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"price", "safety"}));

    m.tech->MoveInputDown(0);
    EXPECT_EQ(m.tech->Inputs(0), m.safety);
    m.tech->MoveInputUp(1);
    EXPECT_EQ(m.tech->Inputs(0), m.comfort);
    EXPECT_THROW(m.tech->MoveInputUp(0), EListError);

    // Extract keeps the attribute alive with its parent; re-attaching works.
    auto taken = m.car->ExtractInput(m.price);
    EXPECT_EQ(taken->Parent(), m.car);
    EXPECT_EQ(m.car->InpCount(), 1);
    m.root.AddInput(std::move(taken));
    EXPECT_EQ(m.price->Parent(), &m.root);
    EXPECT_TRUE(m.comfort->InFunction());  // through its parent
    EXPECT_FALSE(m.price->InFunction());

    m.tech->DeleteInput(m.comfort);
    m.tech->DeleteInput(m.safety);
    EXPECT_TRUE(m.tech->IsBasic());
    EXPECT_THROW(m.tech->DeleteInput(m.price), EListError);
    m.car->FreeSubtree();
    EXPECT_TRUE(m.car->IsBasic());
    EXPECT_EQ(m.car->Funct(), nullptr);
    EXPECT_NE(m.car->Scale(), nullptr);
}

TEST(AttributeFunction, CanHaveFunctionAndFunctionSize) {
    TMivoAttribute a("a");
    EXPECT_FALSE(a.CanHaveFunction());
    EXPECT_EQ(a.FunctionSize(), -1);
    a.SetScale(MakeScale(3));
    AddBasic(a, "x", 3);
    TMivoAttribute* y = AddBasic(a, "y", 1);
    EXPECT_EQ(a.FunctionSize(), -1);  // an input of one value
    EXPECT_EQ(a.CreateFunction(), nullptr);
    EXPECT_EQ(a.Funct(), nullptr);
    y->SetScale(MakeScale(4, soDescending));
    EXPECT_EQ(a.FunctionSize(), 12);
    EXPECT_TRUE(a.CanHaveFunction());
    EXPECT_FALSE(a.CanHaveOrderedFunction());
    y->SetScale(MakeScale(4));
    EXPECT_TRUE(a.CanHaveOrderedFunction());
    AddBasic(a, "z", 0);  // an input without scale
    EXPECT_FALSE(a.CanHaveFunction());
}

TEST(AttributeFunction, OnlyTablesBuiltForTheAttributeAreAttached) {
    CarModel m;
    TMivoFunction* old = m.tech->Funct();
    // A table whose Init failed (no attribute, no rules) is refused.
    auto failed = std::make_unique<TMivoFunction>();
    failed->Init(m.price);
    EXPECT_FALSE(m.tech->SetFunct(std::move(failed)));
    EXPECT_EQ(m.tech->Funct(), old);
    // So is one built for another attribute.
    auto other = std::make_unique<TMivoFunction>();
    other->Init(m.car);
    EXPECT_FALSE(m.tech->SetFunct(std::move(other)));
    EXPECT_EQ(m.tech->Funct(), old);
    // An edited copy goes back.
    auto copy = std::make_unique<TMivoFunction>();
    copy->Assign(*old);
    copy->SetRuleValue(0, 2);
    TMivoFunction* raw = copy.get();
    EXPECT_TRUE(m.tech->SetFunct(std::move(copy)));
    EXPECT_EQ(m.tech->Funct(), raw);
    EXPECT_EQ(raw->Owned(), true);
    auto back = m.tech->TakeFunct();
    EXPECT_EQ(back.get(), raw);
    EXPECT_FALSE(back->Owned());
    EXPECT_EQ(m.tech->Funct(), nullptr);

    // A table too large is refused with an error; the old one stays.
    TMivoAttribute wide("wide");
    wide.SetScale(MakeScale(2));
    for (int k = 0; k < 5; ++k) AddBasic(wide, "w", 20);
    EXPECT_THROW(wide.CreateFunction(), EMivoError);
    EXPECT_EQ(wide.Funct(), nullptr);
}

TEST(OptionValues, StringsIndicesAndSets) {
    TMivoAttribute a("a");
    a.SetOptValue(2, "");
    EXPECT_EQ(a.ValueCount(), 0);
    a.SetOptValue(3, "2");
    EXPECT_EQ(a.Values(), (std::vector<std::string>{"", "", "", "2"}));
    EXPECT_EQ(a.GetOptValue(9), "");
    EXPECT_EQ(a.OptValueIndex(3), -1);  // no scale
    EXPECT_EQ(a.OptValueSet(3), FullValueSet());
    a.SetOptValueSet(3, TValueSet().set(1));
    EXPECT_EQ(a.GetOptValue(3), "");

    a.SetScale(MakeScale(4));
    struct IndexCase {
        std::string text;
        int index;
    };
    for (const IndexCase& c : {IndexCase{"*", -1}, {"", -1}, {"21", 2}, {"3", 3}, {"4", -1}, {"!", -1}}) {
        a.SetOptValue(0, c.text);
        EXPECT_EQ(a.OptValueIndex(0), c.index) << c.text;
    }
    a.SetOptValueIndex(0, 3);
    EXPECT_EQ(a.GetOptValue(0), "3");
    a.SetOptValueIndex(0, 4);
    EXPECT_EQ(a.GetOptValue(0), "");

    const TValueSet whole = TValueSet().set(0).set(1).set(2).set(3);
    struct SetCase {
        std::string text;
        TValueSet set;
    };
    for (const SetCase& c : {SetCase{"", whole}, {"*", whole}, {"31", TValueSet().set(1).set(3)},
                             {"19\xFF", TValueSet().set(1)}, {"9", TValueSet()}}) {
        a.SetOptValue(1, c.text);
        EXPECT_EQ(a.OptValueSet(1), c.set) << c.text;
    }
    struct ToTextCase {
        TValueSet set;
        std::string text;
    };
    for (const ToTextCase& c : {ToTextCase{whole, "*"}, {FullValueSet(), ""}, {TValueSet(), ""},
                                {TValueSet().set(3).set(0).set(200), "03"}}) {
        a.SetOptValueSet(1, c.set);
        EXPECT_EQ(a.GetOptValue(1), c.text);
    }

    a.SetValues({"0", "1"});
    a.InsertOptValue(1);
    a.InsertOptValue(3);
    a.InsertOptValue(9);
    EXPECT_EQ(a.Values(), (std::vector<std::string>{"0", "", "1", ""}));
    a.DeleteOptValue(0);
    a.DeleteOptValue(7);
    EXPECT_EQ(a.Values(), (std::vector<std::string>{"", "1", ""}));
}

TEST(Evaluation, BottomUpWithSetsAndUndefined) {
    CarModel m;
    struct Case {
        std::string price, comfort, safety, tech, car;
    };
    const Case cases[] = {
        {"2", "2", "1", "2", "2"},
        {"1", "2", "1", "2", "1"},
        {"2", "0", "0", "0", "0"},
        {"2", "12", "1", "12", "12"},
        {"2", "", "", "", ""},    // tech undefined counts as any value: car 0..2
        {"0", "*", "*", "", "0"},
        {"2", "7", "1", "", ""},   // a byte outside comfort's scale matches nothing
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const int o = static_cast<int>(i);
        m.price->SetOptValue(o, cases[i].price);
        m.comfort->SetOptValue(o, cases[i].comfort);
        m.safety->SetOptValue(o, cases[i].safety);
    }
    const int n = static_cast<int>(std::size(cases));
    m.root.EvaluateAll(n);
    for (int o = 0; o < n; ++o) {
        const Case& c = cases[o];
        EXPECT_EQ(m.tech->GetOptValue(o), c.tech) << o;
        EXPECT_EQ(m.car->GetOptValue(o), c.car) << o;
        EXPECT_EQ(m.price->GetOptValue(o), c.price) << o;  // user data unchanged
    }
    // Every reached list is padded; the root (no scale, no table) is undefined.
    EXPECT_EQ(m.root.ValueCount(), n);
    EXPECT_EQ(m.root.GetOptValue(0), "");

    // One option at a time gives the same.
    m.comfort->SetOptValue(1, "0");
    m.car->EvaluateOption(1);
    EXPECT_EQ(m.tech->GetOptValue(1), "1");
    EXPECT_EQ(m.car->GetOptValue(1), "1");
    EXPECT_THROW(m.car->Evaluate(n), EListError);
}

// A pass over all options reuses the results of combinations it has met;
// it must give what evaluating each option alone gives, for single values,
// sets (also long ones), "*", undefined and bytes outside the scales.
TEST(Evaluation, WholePassesAgreeWithOneOptionAtATime) {
    TMivoAttribute root("Root");
    TMivoAttribute* top = root.AddInput(std::make_unique<TMivoAttribute>("top"));
    TMivoAttribute* a = AddBasic(*top, "a", 6);
    TMivoAttribute* b = AddBasic(*top, "b", 6);
    TMivoAttribute* c = AddBasic(*top, "c", 3);
    GiveTable(*top, 7, [](const std::vector<int>& in) { return (in[0] + in[1] + 2 * in[2]) * 6 / 14; });
    // Results spanning several values: every rule covers two or three.
    TMivoFunction* f = top->Funct();
    for (int r = 0; r < f->RuleCount(); ++r) f->SetRuleHigh(r, std::min(6, f->RuleLow(r) + 1 + r % 2));

    const std::vector<std::string> texts = {"0", "1", "5", "", "*", "02", "2345", "012345", "9", "1\xff", "3"};
    std::mt19937 rng(3);
    const int n = 3000;
    for (int o = 0; o < n; ++o)
        for (TMivoAttribute* input : {a, b, c}) input->SetOptValue(o, texts[rng() % texts.size()]);
    root.EvaluateAll(n);
    const std::vector<std::string> all = top->Values().ToVector();
    ASSERT_EQ(all.size(), static_cast<std::size_t>(n));
    for (int o = 0; o < n; ++o) {
        top->SetOptValue(o, "?");
        top->EvaluateOption(o);
        ASSERT_EQ(top->GetOptValue(o), all[static_cast<std::size_t>(o)]) << "option " << o;
    }
}

TEST(Evaluation, LinkedAttributesCopyTheirTarget) {
    CarModel m;
    // A second top attribute whose basic "tech" copies the aggregate tech.
    TMivoAttribute* other = m.root.AddInput(std::make_unique<TMivoAttribute>("other"));
    TMivoAttribute* techCopy = AddBasic(*other, "tech", 3);
    AddBasic(*other, "extra", 2);
    GiveTable(*other, 2, [](const std::vector<int>& in) { return in[0] == 2 && in[1] == 1 ? 1 : 0; });
    techCopy->SetLink(m.tech);
    m.comfort->SetOptValue(0, "2");
    m.safety->SetOptValue(0, "1");
    m.price->SetOptValue(0, "2");
    other->Inputs(1)->SetOptValue(0, "1");
    techCopy->SetOptValue(0, "0");  // overwritten by the link
    // Evaluating only the second subtree evaluates the link target first.
    other->EvaluateAll(1);
    EXPECT_EQ(techCopy->GetOptValue(0), "2");
    EXPECT_EQ(other->GetOptValue(0), "1");
}

// Each level has two basic inputs both linked to the level below: evaluated
// once per link, a pass would take 2^40 steps.
TEST(Evaluation, ManyLinksToOneTargetEvaluateItOnce) {
    TMivoAttribute root("Root");
    TMivoAttribute* below = AddBasic(root, "leaf", 2);
    below->SetOptValue(0, "1");
    for (int level = 0; level < 40; ++level) {
        TMivoAttribute* a = root.AddInput(std::make_unique<TMivoAttribute>("level" + std::to_string(level)));
        AddBasic(*a, "l", 2)->SetLink(below);
        AddBasic(*a, "r", 2)->SetLink(below);
        GiveTable(*a, 2, [](const std::vector<int>& in) { return in[0] & in[1]; });
        below = a;
    }
    root.EvaluateAll(1);
    EXPECT_EQ(below->GetOptValue(0), "1");
    below->EvaluateOption(0);
    EXPECT_EQ(below->GetOptValue(0), "1");
    TAnalysisList list;
    std::vector<std::string> lower, higher;
    below->PlusMinusOne(0, list, lower, higher);
    ASSERT_EQ(list.size(), 2u);  // the attribute and the one leaf
    EXPECT_EQ(list[1].Attribute->GetName(), "leaf");
    EXPECT_EQ(lower[1], "0");
    EXPECT_EQ(higher[1], "");
}

// A basic attribute linked to its own ancestor forms a cycle: evaluation,
// collection and analysis end, and the attribute keeps its value as input.
TEST(Evaluation, LinkCyclesDoNotRecurse) {
    TMivoAttribute root("Root");
    TMivoAttribute* x = root.AddInput(std::make_unique<TMivoAttribute>("X"));
    TMivoAttribute* self = AddBasic(*x, "X", 2);
    TMivoAttribute* b = AddBasic(*x, "b", 2);
    GiveTable(*x, 2, [](const std::vector<int>& in) { return in[0] | in[1]; });
    self->SetLink(x);
    self->SetOptValue(0, "0");
    b->SetOptValue(0, "1");
    root.EvaluateAll(1);
    EXPECT_EQ(x->GetOptValue(0), "1");
    x->EvaluateOption(0);
    EXPECT_EQ(self->GetOptValue(0), "1");
    self->EvaluateOption(0);
    EXPECT_EQ(self->GetOptValue(0), "1");

    // Two basic attributes linked to each other.
    TMivoAttribute* p = AddBasic(root, "p", 2);
    TMivoAttribute* q = AddBasic(root, "q", 2);
    p->SetLink(q);
    q->SetLink(p);
    p->SetOptValue(0, "1");
    root.EvaluateAll(2);
    EXPECT_EQ(p->ValueCount(), 2);

    TAnalysisList list;
    x->CollectForAnalysis(0, list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Attribute, x);
    EXPECT_EQ(list[1].Attribute, b);
    const auto before = AllValues(root);
    std::vector<std::string> lower, higher;
    x->PlusMinusOne(0, list, lower, higher);
    EXPECT_EQ(lower, (std::vector<std::string>{"", "1"}));  // b = 0 with X still 1
    EXPECT_EQ(higher, (std::vector<std::string>{"", ""}));
    EXPECT_EQ(AllValues(root), before);
}

TEST(PlusMinusOne, StepsEachBasicAttributeAndRestoresEverything) {
    CarModel m;
    m.price->SetOptValue(0, "1");
    m.comfort->SetOptValue(0, "*");
    m.safety->SetOptValue(0, "0");
    // Option 1 exists only at price: the other lists are short.
    m.price->SetOptValue(1, "1");
    m.safety->SetOptValue(1, "1");
    m.root.EvaluateAll(1);
    m.tech->SetOptValue(0, "stale");  // not re-evaluated before the analysis
    const auto before = AllValues(m.root);

    TAnalysisList list;
    std::vector<std::string> lower, higher;
    m.car->PlusMinusOne(0, list, lower, higher);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].Attribute, m.car);
    EXPECT_EQ(list[0].Text, "01");
    EXPECT_EQ(list[1].Attribute, m.price);
    EXPECT_EQ(list[1].Text, "1");
    EXPECT_EQ(list[2].Attribute, m.comfort);
    EXPECT_EQ(list[3].Attribute, m.safety);
    // comfort is "*": no step either way. safety 0 -> 1 lifts tech to 1..2.
    EXPECT_EQ(lower, (std::vector<std::string>{"", "0", "", ""}));
    EXPECT_EQ(higher, (std::vector<std::string>{"", "01", "", "1"}));
    EXPECT_EQ(AllValues(m.root), before);

    // Option 1: lists shorter than the option are restored to their length.
    m.car->PlusMinusOne(1, list, lower, higher);
    EXPECT_EQ(lower, (std::vector<std::string>{"", "0", "", "01"}));
    EXPECT_EQ(higher, (std::vector<std::string>{"", "12", "", ""}));
    EXPECT_EQ(AllValues(m.root), before);
}

TEST(PlusMinusOne, FollowsLinksAndRestoresTheirTargets) {
    CarModel m;
    TMivoAttribute* other = m.root.AddInput(std::make_unique<TMivoAttribute>("other"));
    TMivoAttribute* techCopy = AddBasic(*other, "tech", 3);
    TMivoAttribute* noScale = AddBasic(*other, "noscale", 0);
    (void)noScale;
    techCopy->SetLink(m.tech);
    other->SetScale(MakeScale(3));
    m.comfort->SetOptValue(0, "1");
    m.safety->SetOptValue(0, "0");
    m.root.EvaluateAll(1);
    const auto before = AllValues(m.root);

    TAnalysisList list;
    std::vector<std::string> lower, higher;
    other->PlusMinusOne(0, list, lower, higher);
    ASSERT_EQ(list.size(), 4u);  // other, comfort, safety (through the link), noscale
    EXPECT_EQ(list[1].Attribute, m.comfort);
    EXPECT_EQ(list[2].Attribute, m.safety);
    EXPECT_EQ(list[3].Attribute, noScale);
    // other has a scale but no table: its value is always undefined.
    EXPECT_EQ(lower, (std::vector<std::string>{"", "*", "", ""}));
    EXPECT_EQ(higher, (std::vector<std::string>{"", "*", "*", ""}));
    EXPECT_EQ(AllValues(m.root), before);
}

}  // namespace
}  // namespace mivo
