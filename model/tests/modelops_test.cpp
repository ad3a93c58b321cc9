#include "model/MivoModel.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/MivoScale.h"

namespace mivo {
namespace {

std::unique_ptr<TMivoDiscreteScale> Scale(const std::vector<std::string>& names, const std::string& name = "") {
    auto scale = std::make_unique<TMivoDiscreteScale>();
    scale->SetName(name);
    for (const std::string& value : names) scale->AddValue(value);
    scale->DefaultBounds();
    return scale;
}

TMivoAttribute* Add(TMivoAttribute* parent, const std::string& name,
                    std::unique_ptr<TMivoDiscreteScale> scale = Scale({"low", "high"})) {
    auto a = std::make_unique<TMivoAttribute>(name);
    a->SetScale(std::move(scale));
    return parent->AddInput(std::move(a));
}

std::vector<std::string> Texts(const TScaleEntryList& list) {
    std::vector<std::string> texts;
    for (const TScaleEntry& e : list) texts.push_back(e.Text);
    return texts;
}

// --- statistics ---------------------------------------------------------------

TEST(ModelOps, StatisticsCountEachKindOnce) {
    // A top aggregate with a function over two basic inputs of one name; the
    // first input links to the second.
    TMivoModel model;
    model.Settings.Linking = true;
    model.AddOption("A");
    model.AddOption("B");
    TMivoAttribute* top = Add(model.Root(), "top");
    Add(top, "x");
    Add(top, "x");
    ASSERT_NE(top->CreateFunction(), nullptr);
    model.Changed();

    const TMivoStatistics s = model.Statistics();
    EXPECT_EQ(s, (TMivoStatistics{3, 1, 1, 1, 3, 1, 2}));
    EXPECT_EQ(EvalStatistics(s), (TMivoEvalStatistics{3, 2, 1, 3, 1, 2}));
    EXPECT_EQ(StatisticsText(s),
              "Attributes: 3 (1 basic, 1 linked, 1 aggregate)   |   Scales: 3   |   Functions: 1   |   Options: 2");

    // Scales count attributes with a scale, not distinct scales.
    Add(model.Root(), "bare", nullptr);
    EXPECT_EQ(model.Statistics(), (TMivoStatistics{4, 2, 1, 1, 3, 1, 2}));
    EXPECT_EQ(TMivoModel().Statistics(), TMivoStatistics{});
}

// --- look-ups -----------------------------------------------------------------

TEST(ModelOps, LookUpsPreferTheirKindAndTheRightOccurrence) {
    TMivoModel model;
    model.Settings.Linking = false;
    TMivoAttribute* aggregate = Add(model.Root(), "car");
    TMivoAttribute* basic1 = Add(aggregate, "car");
    TMivoAttribute* other = Add(aggregate, "price");
    TMivoAttribute* basic2 = Add(model.Root(), "car");
    TMivoAttribute* aggregate2 = Add(model.Root(), "price");
    Add(aggregate2, "part");
    basic2->SetLink(other);  // a linked basic counts among the others

    EXPECT_EQ(model.FindByName("car"), aggregate);
    EXPECT_EQ(model.FindLinkTarget("car"), aggregate);
    EXPECT_EQ(model.FindAttribute("car"), basic1);  // basic2 is linked
    EXPECT_EQ(model.FindByName("price"), other);
    EXPECT_EQ(model.FindLinkTarget("price"), aggregate2);
    EXPECT_EQ(model.FindAttribute("price"), other);
    EXPECT_EQ(model.FindByName("Car"), nullptr);
    EXPECT_EQ(model.FindLinkTarget("Car"), nullptr);
    EXPECT_EQ(model.FindAttribute("none"), nullptr);
    EXPECT_EQ(model.FindByName("Root"), nullptr);  // the root is never visited

    // Without unlinked basics the last of the others wins; without
    // aggregates the last basic.
    basic1->SetLink(other);
    EXPECT_EQ(model.FindAttribute("car"), basic2);
    EXPECT_EQ(model.FindLinkTarget("part"), aggregate2->Inputs(0));

    // The index answers exactly as the model does.
    const TAttributeNameIndex index(model);
    for (const char* name : {"car", "price", "part", "Car", "none", "Root"}) {
        EXPECT_EQ(index.FindByName(name), model.FindByName(name)) << name;
        EXPECT_EQ(index.FindLinkTarget(name), model.FindLinkTarget(name)) << name;
        EXPECT_EQ(index.FindAttribute(name), model.FindAttribute(name)) << name;
    }
    EXPECT_EQ(TAttributeNameIndex().FindByName("car"), nullptr);
}

// --- scale lists --------------------------------------------------------------

TEST(ModelOps, ScaleListForEditorWithoutAttributesHoldsOnlyUndefined) {
    TMivoModel model;
    TScaleEntryList list{{"stale", nullptr}};
    ScaleListForEditor(model, list, nullptr, nullptr);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Text, "<undefined>");
    EXPECT_EQ(list[0].Scale, nullptr);
}

TEST(ModelOps, ScaleListForEditorListsEachDisplayTextOnce) {
    TMivoModel model;
    TMivoAttribute* top = Add(model.Root(), "top", Scale({"bad", "good"}));
    TMivoAttribute* a = Add(top, "a", Scale({"low", "mid", "high"}));
    Add(top, "b", Scale({"LOW", "MID", "HIGH"}));  // the same text but for case
    Add(top, "c", Scale({"low", "mid", "high"}));
    Add(top, "none", nullptr);
    TMivoAttribute* d = Add(model.Root(), "d", Scale({"no", "yes"}));

    TScaleEntryList list;
    ScaleListForEditor(model, list, nullptr, nullptr);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"<undefined>", "+ bad(-);good(+)",
                                                     "+ low(-);mid;high(+)", "+ no(-);yes(+)"}));
    EXPECT_EQ(list[2].Scale, a->Scale());

    // The given attribute's subtree comes first; a given scale admits only
    // scales of its structure.
    ScaleListForEditor(model, list, d, nullptr);
    EXPECT_EQ(list[1].Scale, d->Scale());
    ScaleListForEditor(model, list, nullptr, a->Scale());
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"<undefined>", "+ low(-);mid;high(+)"}));
}

TEST(ModelOps, DistinctScalesNamesEachScaleAfterItsFirstAttribute) {
    TMivoModel model;
    TMivoAttribute* top = Add(model.Root(), "top", Scale({"low", "high"}));
    Add(top, "same", Scale({"low", "high"}));
    TMivoAttribute* near = Add(top, "near", Scale({"low", "high"}));
    near->Scale()->BGLow += 1e-14;  // equal within the tolerance
    TMivoAttribute* other = Add(top, "other", Scale({"low", "HIGH"}));
    TMivoAttribute* shifted = Add(top, "shifted", Scale({"low", "high"}));
    shifted->Scale()->BGLow = 0.7;
    Add(top, "none", nullptr);
    Add(model.Root(), "again", Scale({"low", "HIGH"}));

    TScaleEntryList list{{"stale", nullptr}};
    model.DistinctScales(list);
    ASSERT_EQ(Texts(list), (std::vector<std::string>{"top", "other", "shifted"}));
    EXPECT_EQ(list[0].Scale, top->Scale());
    EXPECT_EQ(list[1].Scale, other->Scale());
}

// --- merging a single-input aggregate -------------------------------------------

TEST(ModelOps, RemoveSingleInputAggregateRefusesWhatItCannotDo) {
    TMivoModel model;
    TMivoAttribute* top = Add(model.Root(), "top");
    TMivoAttribute* a = Add(top, "a");
    TMivoAttribute* b = Add(a, "b");
    TMivoAttribute* pair = Add(top, "pair");
    TMivoAttribute* p1 = Add(pair, "p1");
    Add(pair, "p2");
    TMivoAttribute* basic = Add(model.Root(), "basic");
    struct Case {
        const char* what;
        TMivoAttribute* attribute;
        TMivoAttribute* input;
    };
    const std::vector<Case> cases = {
        {"no attribute", nullptr, b},
        {"no input", a, nullptr},
        {"not its input", a, p1},
        {"two inputs", pair, p1},
        {"basic", basic, b},
    };
    for (const Case& c : cases) EXPECT_EQ(model.RemoveSingleInputAggregate(c.attribute, c.input), nullptr) << c.what;

    // An aggregate outside any tree, and the root with a single input.
    TMivoAttribute loose("loose");
    TMivoAttribute* child = Add(&loose, "child");
    EXPECT_EQ(model.RemoveSingleInputAggregate(&loose, child), nullptr);
    EXPECT_EQ(child->Parent(), &loose);
    TMivoModel single;
    TMivoAttribute* lone = Add(single.Root(), "lone");
    EXPECT_EQ(single.RemoveSingleInputAggregate(single.Root(), lone), nullptr);
    EXPECT_EQ(single.Root()->InpCount(), 1);
    EXPECT_EQ(model.Attributes().size(), 7u);
}

TEST(ModelOps, RemoveSingleInputAggregatePutsTheInputInItsPlace) {
    TMivoModel model;
    TMivoAttribute* top = Add(model.Root(), "top");
    TMivoAttribute* left = Add(top, "left");
    auto named = std::make_unique<TMivoAttribute>("A", "the aggregate");
    named->SetScale(Scale({"1", "2", "3"}, "A scale"));
    TMivoAttribute* a = top->AddInput(std::move(named));
    TMivoAttribute* right = Add(top, "right");
    auto unnamed = std::make_unique<TMivoAttribute>("", "");
    TMivoAttribute* b = a->AddInput(std::move(unnamed));
    Add(b, "below");  // B keeps its own subtree
    a->SetValues({"0", "2"});
    TMivoObject* oldScale = a->Scale();

    EXPECT_EQ(model.RemoveSingleInputAggregate(a, b), b);
    EXPECT_FALSE(GlobalMivoList().Contains(a));
    ASSERT_EQ(top->InpCount(), 3);
    EXPECT_EQ(top->Inputs(0), left);
    EXPECT_EQ(top->Inputs(1), b);
    EXPECT_EQ(top->Inputs(2), right);
    EXPECT_EQ(b->Parent(), top);
    EXPECT_EQ(b->GetName(), "A");
    EXPECT_EQ(b->GetDescription(), "the aggregate");
    // The scale itself moved over, with its values, bounds and name.
    ASSERT_EQ(b->Scale(), oldScale);
    EXPECT_EQ(b->Scale()->GetName(), "A scale");
    EXPECT_EQ(b->Scale()->ScaleString(), "A scale+ 1(-);2;3(+)");
    EXPECT_EQ(b->InpCount(), 1);
    EXPECT_EQ(model.Attributes().size(), 5u);
}

TEST(ModelOps, RemoveSingleInputAggregateKeepsTheInputsOwnNameAndScale) {
    TMivoModel model;
    TMivoAttribute* a = Add(model.Root(), "A", Scale({"1", "2", "3"}));
    TMivoAttribute* b = Add(a, "B", Scale({"no", "yes"}));
    b->SetDescription("own");
    ASSERT_NE(a->CreateFunction(), nullptr);
    TMivoObject* aScale = a->Scale();
    TMivoObject* aFunction = a->Funct();
    TMivoObject* bScale = b->Scale();

    EXPECT_EQ(model.RemoveSingleInputAggregate(a, b), b);
    EXPECT_FALSE(GlobalMivoList().Contains(aScale));
    EXPECT_FALSE(GlobalMivoList().Contains(aFunction));
    EXPECT_EQ(b->Scale(), bScale);
    EXPECT_EQ(b->GetName(), "B");
    EXPECT_EQ(b->GetDescription(), "own");
    EXPECT_EQ(model.FirstAttribute(), b);
    EXPECT_EQ(b->Parent(), model.Root());
}

// --- value look-up by name --------------------------------------------------------

TEST(ModelOps, ValueIndexByNameFindsTheFirstExactName) {
    TMivoAttribute a("colour");
    a.SetScale(Scale({"red", "green", "red", "Blue"}));
    EXPECT_EQ(ValueIndexByName(&a, "red"), 0);
    EXPECT_EQ(ValueIndexByName(&a, "green"), 1);
    EXPECT_EQ(ValueIndexByName(&a, "Blue"), 3);

    TMivoAttribute bare("bare");
    struct Case {
        const TMivoAttribute* attribute;
        const char* value;
        const char* message;
    };
    const std::vector<Case> cases = {
        {&a, "blue", "Unknown attribute value \"colour\": \"blue\""},
        {&a, "", "Unknown attribute value \"colour\": \"\""},
        {&bare, "red", "Unknown attribute value \"NULL\": \"red\""},
        {nullptr, "red", "Unknown attribute value \"NULL\": \"red\""},
    };
    for (const Case& c : cases) {
        try {
            ValueIndexByName(c.attribute, c.value);
            ADD_FAILURE() << c.message << ": no error";
        } catch (const EMivoError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
}

}  // namespace
}  // namespace mivo
