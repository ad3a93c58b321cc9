// A model that exercises what the interchange formats carry, and
// comparisons of two models part by part.
//
//   Car            ascending 3 values (bad, neutral, good)      function
//     Price        descending 3 values (good first)
//     Comfort      ascending 12 values, bad 0..2, good 9..11    function
//       Seats      unordered 12 values
//       Cost       ascending 2 values        (linked to the Cost below)
//     Cost         ascending 2 values
//
// Options: "A" single values (the 12-value scale at values 10 and 11),
// "B" an undefined and an any value, "C" a set of two values.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/MivoModel.h"

namespace mivo::fixture {

inline TMivoAttribute* AddAttribute(TMivoAttribute* parent, const std::string& name, std::uint8_t order,
                                    const std::vector<std::string>& values, const std::string& description = "") {
    auto a = std::make_unique<TMivoAttribute>(name, description);
    auto scale = std::make_unique<TMivoDiscreteScale>();
    scale->Order = order;
    for (const std::string& v : values) scale->AddValue(v);
    scale->DefaultBounds();
    a->SetScale(std::move(scale));
    return parent->AddInput(std::move(a));
}

inline std::vector<std::string> Names(const std::string& prefix, int count) {
    std::vector<std::string> names;
    for (int i = 1; i <= count; ++i) names.push_back(prefix + std::to_string(i));
    return names;
}

inline TMivoDiscreteScale& DiscreteScale(const TMivoAttribute* a) {
    return dynamic_cast<TMivoDiscreteScale&>(*a->Scale());
}

inline std::unique_ptr<TMivoModel> RichModel() {
    auto model = std::make_unique<TMivoModel>();
    model->SetName("Car choice");
    model->SetDescription("Which car to buy");
    model->Settings.Linking = true;
    TMivoAttribute* root = model->Root();
    TMivoAttribute* car = AddAttribute(root, "Car", soAscending, {"unacc", "acc", "très bon"},
                                       "The overall rating");
    TMivoAttribute* price = AddAttribute(car, "Price", soDescending, {"low", "medium", "high"});
    TMivoAttribute* comfort = AddAttribute(car, "Comfort", soAscending, Names("c", 12));
    TMivoScale& cs = DiscreteScale(comfort);
    cs.SetBadBound(2);
    cs.SetGoodBound(9);
    TMivoAttribute* seats = AddAttribute(comfort, "Seats", soUnordered, Names("s", 12), "How many fit in");
    DiscreteScale(seats).SetValueDescription(10, "a small bus");
    AddAttribute(comfort, "Cost", soAscending, {"no", "yes"});
    AddAttribute(car, "Cost", soAscending, {"no", "yes"});

    // Comfort: intervals and entered flags of every kind.
    TMivoFunction* f = comfort->CreateFunction();
    for (int r = 0; r < f->RuleCount(); ++r) {
        f->SetRuleLow(r, r % 12);
        f->SetRuleHigh(r, std::min(11, r % 12 + r % 3));
        f->SetRuleEntered(r, r % 2 == 0);
    }
    TMivoFunction* g = car->CreateFunction();
    for (int r = 0; r < g->RuleCount(); ++r) {
        g->SetRuleLow(r, r % 3);
        g->SetRuleHigh(r, r % 3 == 0 ? 2 : r % 3);
        g->SetRuleEntered(r, r % 5 != 0);
    }

    model->AddOption("A");
    model->AddOption("B");
    model->AddOption("C");
    std::vector<TMivoAttribute*> all = model->Attributes();
    TMivoAttribute* cost2 = all[5];
    price->SetOptValue(0, "0");
    seats->SetOptValue(0, ":");  // value 10
    cost2->SetOptValue(0, "1");
    seats->SetOptValue(1, ";");  // value 11
    price->SetOptValue(1, "*");  // Cost stays undefined in B
    price->SetOptValue(2, "12");
    seats->SetOptValue(2, "0");
    cost2->SetOptValue(2, "0");
    model->Reevaluate();
    return model;
}

// Tree shape, names, descriptions, scale orders, value names, value
// descriptions and value classes are the same.
inline void ExpectSameTreeAndScales(const TMivoModel& expected, const TMivoModel& actual) {
    std::vector<TMivoAttribute*> e = expected.Attributes();
    std::vector<TMivoAttribute*> a = actual.Attributes();
    ASSERT_EQ(e.size(), a.size());
    for (std::size_t i = 0; i < e.size(); ++i) {
        SCOPED_TRACE("attribute " + e[i]->GetName());
        EXPECT_EQ(a[i]->GetName(), e[i]->GetName());
        EXPECT_EQ(a[i]->GetDescription(), e[i]->GetDescription());
        EXPECT_EQ(a[i]->Level(), e[i]->Level());
        EXPECT_EQ(a[i]->InpCount(), e[i]->InpCount());
        ASSERT_EQ(a[i]->Scale() != nullptr, e[i]->Scale() != nullptr);
        if (!e[i]->Scale()) continue;
        const TMivoDiscreteScale& es = DiscreteScale(e[i]);
        const TMivoDiscreteScale& as = DiscreteScale(a[i]);
        EXPECT_EQ(as.Order, es.Order);
        ASSERT_EQ(as.Count(), es.Count());
        for (int v = 0; v < es.Count(); ++v) {
            EXPECT_EQ(as.ValueName(v), es.ValueName(v));
            EXPECT_EQ(as.ValueDescription(v), es.ValueDescription(v));
            EXPECT_EQ(as.IsBad(v), es.IsBad(v)) << "value " << v;
            EXPECT_EQ(as.IsGood(v), es.IsGood(v)) << "value " << v;
        }
    }
}

// The rule strings of every function (nullopt-like "" for none).
inline std::vector<std::string> AllRules(const TMivoModel& model) {
    std::vector<std::string> rules;
    model.ForEachAttribute([&](TMivoAttribute* a) {
        std::string text = a->GetName() + ":";
        if (a->Funct())
            for (int r = 0; r < a->Funct()->RuleCount(); ++r) text += " " + a->Funct()->Rules().Get(r);
        rules.push_back(text);
    });
    return rules;
}

// Value string of option k of every attribute in pre-order.
inline std::vector<std::string> OptionValues(const TMivoModel& model, int k, bool basic_only) {
    std::vector<std::string> values;
    model.ForEachAttribute([&](TMivoAttribute* a) {
        if (!basic_only || a->IsBasic()) values.push_back(a->GetOptValue(k));
    });
    return values;
}

// Index in pre-order of each attribute's link target (-1 for none).
inline std::vector<int> LinkPattern(const TMivoModel& model) {
    std::vector<TMivoAttribute*> all = model.Attributes();
    std::vector<int> pattern;
    for (TMivoAttribute* a : all) {
        int target = -1;
        for (std::size_t j = 0; j < all.size(); ++j)
            if (a->Link() == all[j]) target = static_cast<int>(j);
        pattern.push_back(target);
    }
    return pattern;
}

}  // namespace mivo::fixture
