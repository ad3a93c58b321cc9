#include "model/MivoModel.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/Lists.h"
#include "model/MivoScale.h"

namespace mivo {
namespace {

std::unique_ptr<TMivoDiscreteScale> Scale(const std::vector<std::string>& names) {
    auto scale = std::make_unique<TMivoDiscreteScale>();
    for (const std::string& name : names) scale->AddValue(name);
    scale->DefaultBounds();
    return scale;
}

std::unique_ptr<TMivoDiscreteScale> LowHigh() { return Scale({"low", "high"}); }

// Adds a new attribute below `parent`, with a low/high scale when asked.
TMivoAttribute* Add(TMivoAttribute* parent, const std::string& name, bool withScale = true) {
    auto a = std::make_unique<TMivoAttribute>(name);
    if (withScale) a->SetScale(LowHigh());
    return parent->AddInput(std::move(a));
}

// --- construction and marks -------------------------------------------------

TEST(MivoModel, NewModelIsEmptyModifiedAndSelectsEveryOption) {
    TMivoModel model;
    EXPECT_TRUE(model.Modified);
    EXPECT_FALSE(model.NeedsEvaluation);
    EXPECT_EQ(model.OptionCount(), 0);
    EXPECT_TRUE(model.OptionSelected(0));
    EXPECT_EQ(model.Root()->GetName(), "Root");
    EXPECT_EQ(model.Root()->InpCount(), 0);
    EXPECT_EQ(model.FirstAttribute(), nullptr);
    EXPECT_EQ(model.FirstAttributeName(), "");
    EXPECT_TRUE(model.Settings == TMivoSettings());
    EXPECT_TRUE(model.Root()->Owned());
}

TEST(MivoModel, ResetRootFreesTheTreeAndKeepsOptionsAndSettings) {
    TMivoModel model;
    model.AddOption("A");
    model.SetOptionSelected(0, false);
    model.Settings.Linking = false;
    const int before = GlobalMivoList().Count();
    TMivoAttribute* top = Add(model.Root(), "top");
    Add(top, "leaf");
    EXPECT_EQ(model.FirstAttributeName(), "top");
    model.Modified = false;

    model.ResetRoot();
    EXPECT_EQ(GlobalMivoList().Count(), before);
    EXPECT_FALSE(GlobalMivoList().Contains(top));
    EXPECT_TRUE(model.Modified);
    EXPECT_EQ(model.Root()->GetName(), "Root");
    EXPECT_EQ(model.Root()->InpCount(), 0);
    EXPECT_EQ(model.Options(), std::vector<std::string>{"A"});
    EXPECT_EQ(model.Selection(), "0");
    EXPECT_FALSE(model.Settings.Linking);
}

TEST(MivoModel, ChangedMarksAndReevaluateEvaluatesEveryOption) {
    TMivoModel model;
    TMivoAttribute* goal = Add(model.Root(), "goal");
    TMivoAttribute* x = Add(goal, "x");
    TMivoFunction* f = goal->CreateFunction();
    ASSERT_NE(f, nullptr);
    for (int r = 0; r < f->RuleCount(); ++r) f->SetRuleValue(r, f->ArgValue(0, r));  // goal = x
    model.AddOption("A");
    model.AddOption("B");
    x->SetOptValue(0, "1");
    x->SetOptValue(1, "0");

    model.Modified = false;
    model.Changed();
    EXPECT_TRUE(model.Modified);
    EXPECT_TRUE(model.NeedsEvaluation);
    EXPECT_EQ(goal->ValueCount(), 0);

    model.Modified = false;
    model.Reevaluate();
    EXPECT_TRUE(model.Modified);
    EXPECT_FALSE(model.NeedsEvaluation);
    EXPECT_EQ(goal->Values(), (std::vector<std::string>{"1", "0"}));

    // Evaluating values that are up to date changes nothing stored: the
    // mark stays off, also when the lists are padded to a new option
    // (a missing value counts as empty; an undefined x leaves goal empty).
    model.Modified = false;
    model.Reevaluate();
    EXPECT_FALSE(model.Modified);
    model.AddOption("C");
    goal->SetOptValue(2, "");
    model.Reevaluate();
    EXPECT_FALSE(model.Modified);
    EXPECT_EQ(x->ValueCount(), 3);
    EXPECT_EQ(goal->Values(), (std::vector<std::string>{"1", "0", ""}));
    // A stale aggregate value does change.
    goal->SetOptValue(1, "1");
    model.Reevaluate();
    EXPECT_TRUE(model.Modified);
    EXPECT_EQ(goal->GetOptValue(1), "0");
}

TEST(MivoModel, SelectedIsDroppedOnceTheScaleIsFreed) {
    TMivoModel model;
    TMivoAttribute* a = Add(model.Root(), "a");
    model.SetSelected(a->Scale());
    EXPECT_EQ(model.Selected(), a->Scale());
    a->SetScale(nullptr);
    EXPECT_EQ(model.Selected(), nullptr);
    // A new object at the same address must not revive the reference.
    a->SetScale(LowHigh());
    EXPECT_EQ(model.Selected(), nullptr);
}

// --- options and selection --------------------------------------------------

TEST(MivoModel, SelectionFollowsOptionEdits) {
    struct Case {
        const char* what;
        int options;
        std::string selection;
        std::function<void(TMivoModel&)> edit;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"set 3 off on empty", 0, "", [](TMivoModel& m) { m.SetOptionSelected(3, false); }, "1110"},
        {"set 0 on", 0, "00", [](TMivoModel& m) { m.SetOptionSelected(0, true); }, "10"},
        {"insert 1 into 010", 3, "010", [](TMivoModel& m) { m.InsertOption(1, "new"); }, "0110"},
        {"insert 1 into 0", 3, "0", [](TMivoModel& m) { m.InsertOption(1, "new"); }, "0"},
        {"insert at end", 2, "00", [](TMivoModel& m) { m.InsertOption(2, "new"); }, "00"},
        {"delete 2 of 01", 3, "01", [](TMivoModel& m) { m.DeleteOption(2); }, "01"},
        {"delete 1 of 001", 3, "001", [](TMivoModel& m) { m.DeleteOption(1); }, "01"},
        {"exchange grows", 3, "0", [](TMivoModel& m) { m.ExchangeOptions(0, 2); }, "110"},
        {"add leaves it", 1, "0", [](TMivoModel& m) { m.AddOption("x"); }, "0"},
    };
    for (const Case& c : cases) {
        TMivoModel model;
        for (int i = 0; i < c.options; ++i) model.AddOption("o" + std::to_string(i));
        for (std::size_t i = 0; i < c.selection.size(); ++i)
            model.SetOptionSelected(static_cast<int>(i), c.selection[i] == '1');
        c.edit(model);
        EXPECT_EQ(model.Selection(), c.expected) << c.what;
    }
    TMivoModel model;
    for (int i = 0; i < 3; ++i) model.AddOption("o");
    model.SetOptionSelected(0, false);
    model.InsertOption(1, "new");
    EXPECT_TRUE(model.OptionSelected(1));
    EXPECT_FALSE(model.OptionSelected(0));
}

TEST(MivoModel, InsertAndDeleteOptionShiftEveryValueList) {
    TMivoModel model;
    for (const char* name : {"A", "B", "C"}) model.AddOption(name);
    TMivoAttribute* top = Add(model.Root(), "top");
    TMivoAttribute* full = Add(top, "full");
    TMivoAttribute* one = Add(top, "one");
    TMivoAttribute* none = Add(top, "none");
    full->SetValues({"0", "1", "0"});
    one->SetValues({"1"});

    model.InsertOption(1, "N");
    EXPECT_EQ(model.Options(), (std::vector<std::string>{"A", "N", "B", "C"}));
    EXPECT_EQ(full->Values(), (std::vector<std::string>{"0", "", "1", "0"}));
    EXPECT_EQ(one->Values(), (std::vector<std::string>{"1", ""}));  // appended at its end
    EXPECT_EQ(none->ValueCount(), 0);                                // shorter: untouched
    EXPECT_EQ(top->ValueCount(), 0);

    model.DeleteOption(0);
    EXPECT_EQ(model.Options(), (std::vector<std::string>{"N", "B", "C"}));
    EXPECT_EQ(full->Values(), (std::vector<std::string>{"", "1", "0"}));
    EXPECT_EQ(one->Values(), (std::vector<std::string>{""}));
    model.DeleteOption(2);
    EXPECT_EQ(full->Values(), (std::vector<std::string>{"", "1"}));
    EXPECT_EQ(one->Values(), (std::vector<std::string>{""}));
}

TEST(MivoModel, ExchangeOptionsSwapsNamesFlagsAndValues) {
    TMivoModel model;
    for (const char* name : {"A", "B", "C"}) model.AddOption(name);
    TMivoAttribute* single = Add(model.Root(), "single");
    TMivoAttribute* full = Add(model.Root(), "full");
    single->SetValues({"1"});
    full->SetValues({"0", "*", "1"});
    model.SetOptionSelected(2, false);

    model.ExchangeOptions(0, 2);
    EXPECT_EQ(model.Options(), (std::vector<std::string>{"C", "B", "A"}));
    EXPECT_EQ(model.Selection(), "011");
    EXPECT_EQ(single->GetOptValue(2), "1");
    EXPECT_EQ(single->GetOptValue(0), "");
    EXPECT_EQ(full->Values(), (std::vector<std::string>{"1", "*", "0"}));

    model.ExchangeOptions(2, 0);  // back, in the other argument order
    EXPECT_EQ(model.Options(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(single->GetOptValue(0), "1");
    EXPECT_EQ(single->GetOptValue(2), "");
    EXPECT_EQ(full->Values(), (std::vector<std::string>{"0", "*", "1"}));
}

TEST(MivoModel, MoveOptionIgnoresTheEnds) {
    TMivoModel model;
    for (const char* name : {"A", "B", "C"}) model.AddOption(name);
    model.MoveOptionLeft(0);
    model.MoveOptionLeft(-4);
    model.MoveOptionRight(2);
    model.MoveOptionRight(7);
    EXPECT_EQ(model.Options(), (std::vector<std::string>{"A", "B", "C"}));
    model.MoveOptionLeft(2);
    EXPECT_EQ(model.Options(), (std::vector<std::string>{"A", "C", "B"}));
    model.MoveOptionRight(0);
    EXPECT_EQ(model.Options(), (std::vector<std::string>{"C", "A", "B"}));
}

TEST(MivoModel, PositionsOutsideTheOptionsChangeNothing) {
    struct Case {
        const char* what;
        std::function<void(TMivoModel&)> edit;
        int index;
    };
    const std::vector<Case> cases = {
        {"insert -1", [](TMivoModel& m) { m.InsertOption(-1, "x"); }, -1},
        {"insert past end", [](TMivoModel& m) { m.InsertOption(3, "x"); }, 3},
        {"delete -1", [](TMivoModel& m) { m.DeleteOption(-1); }, -1},
        {"delete count", [](TMivoModel& m) { m.DeleteOption(2); }, 2},
        {"exchange first bad", [](TMivoModel& m) { m.ExchangeOptions(5, 0); }, 5},
        {"exchange second bad", [](TMivoModel& m) { m.ExchangeOptions(0, 2); }, 2},
        {"exchange negative", [](TMivoModel& m) { m.ExchangeOptions(1, -1); }, -1},
        {"name", [](TMivoModel& m) { m.SetOptionName(2, "x"); }, 2},
        {"select negative", [](TMivoModel& m) { m.SetOptionSelected(-1, false); }, -1},
    };
    for (const Case& c : cases) {
        TMivoModel model;
        model.AddOption("A");
        model.AddOption("B");
        model.SetOptionSelected(0, false);
        TMivoAttribute* a = Add(model.Root(), "a");
        a->SetValues({"0", "1", "0"});  // longer than the option list
        try {
            c.edit(model);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), Format("List index out of bounds (%d)", c.index)) << c.what;
        }
        EXPECT_EQ(model.Options(), (std::vector<std::string>{"A", "B"})) << c.what;
        EXPECT_EQ(model.Selection(), "0") << c.what;
        EXPECT_EQ(a->Values(), (std::vector<std::string>{"0", "1", "0"})) << c.what;
    }
}

TEST(MivoModel, DeleteAllOptionsMatchesDeletingTheFirstOptionRepeatedly) {
    auto build = [](TMivoModel& model) {
        for (const char* name : {"A", "B", "C"}) model.AddOption(name);
        model.SetOptionSelected(4, false);  // selection longer than the options
        TMivoAttribute* top = Add(model.Root(), "top");
        Add(top, "long")->SetValues({"0", "1", "0", "1", "1"});
        Add(top, "short")->SetValues({"1"});
        Add(top, "empty");
    };
    TMivoModel once, repeated;
    build(once);
    build(repeated);
    once.DeleteAllOptions();
    while (repeated.OptionCount() > 0) repeated.DeleteOption(0);

    EXPECT_EQ(once.OptionCount(), 0);
    EXPECT_EQ(once.Selection(), repeated.Selection());
    const auto a = once.Attributes();
    const auto b = repeated.Attributes();
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i]->Values(), b[i]->Values()) << a[i]->GetName();
    EXPECT_EQ(a[1]->Values(), (std::vector<std::string>{"1", "1"}));
}

TEST(MivoModel, IndexOfOptionIgnoresLetterCase) {
    TMivoModel model;
    for (const char* name : {"Car", "Bike", "car"}) model.AddOption(name);
    EXPECT_EQ(model.IndexOfOption("CAR"), 0);
    EXPECT_EQ(model.IndexOfOption("bike"), 1);
    EXPECT_EQ(model.IndexOfOption("train"), -1);
}

TEST(MivoModel, AttributesAreVisitedInPreOrderBelowTheRoot) {
    TMivoModel model;
    TMivoAttribute* a = Add(model.Root(), "a");
    Add(Add(a, "a1"), "a11");
    Add(a, "a2");
    Add(model.Root(), "b");
    std::vector<std::string> names;
    for (TMivoAttribute* x : model.Attributes()) names.push_back(x->GetName());
    EXPECT_EQ(names, (std::vector<std::string>{"a", "a1", "a11", "a2", "b"}));
}

// --- linking ------------------------------------------------------------------

TEST(MivoModel, RelinkLinksBasicAttributesByName) {
    TMivoModel model;
    model.Settings.Linking = true;
    TMivoAttribute* top = Add(model.Root(), "top");
    TMivoAttribute* first = Add(top, "cost");
    TMivoAttribute* second = Add(top, "cost");
    model.Relink();
    EXPECT_EQ(first->Link(), second);
    EXPECT_EQ(second->Link(), nullptr);  // finds itself: holds the values

    // An aggregate of that name takes over when its scale equals theirs.
    TMivoAttribute* aggregate = Add(model.Root(), "cost");
    Add(aggregate, "part");
    model.Relink();
    EXPECT_EQ(first->Link(), aggregate);
    EXPECT_EQ(second->Link(), aggregate);

    // Scales must agree: a different scale, or a scale against none.
    second->SetScale(Scale({"low", "mid", "high"}));
    TMivoAttribute* bare = Add(top, "cost", false);
    model.Relink();
    EXPECT_EQ(first->Link(), aggregate);
    EXPECT_EQ(second->Link(), nullptr);
    EXPECT_EQ(bare->Link(), nullptr);

    // Names are compared exactly.
    TMivoAttribute* other = Add(top, "Cost");
    model.Relink();
    EXPECT_EQ(other->Link(), nullptr);
}

TEST(MivoModel, RelinkWithoutScalesLinksAttributesWithoutScales) {
    TMivoModel model;
    model.Settings.Linking = true;
    TMivoAttribute* a = Add(model.Root(), "x", false);
    TMivoAttribute* b = Add(model.Root(), "x", false);
    model.Relink();
    EXPECT_EQ(a->Link(), b);
}

TEST(MivoModel, LinkingOffClearsEveryLinkAlsoOnAggregates) {
    TMivoModel model;
    model.Settings.Linking = true;
    TMivoAttribute* first = Add(model.Root(), "x");
    TMivoAttribute* second = Add(model.Root(), "x");
    model.Relink();
    ASSERT_EQ(first->Link(), second);
    Add(first, "input");  // first becomes an aggregate and keeps its link
    second->SetScale(Scale({"1", "2", "3"}));  // so that second does not link back
    model.Relink();
    EXPECT_EQ(first->Link(), second);

    model.Settings.Linking = false;
    model.Changed();
    EXPECT_EQ(first->Link(), nullptr);
    EXPECT_EQ(second->Link(), nullptr);
}

TEST(MivoModel, RelinkNeverLinksToAnAncestor) {
    // A top aggregate "Price" with a basic input "Price": the name leads the
    // input to its own parent, whose evaluation needs the input first.
    TMivoModel model;
    model.Settings.Linking = true;
    model.AddOption("A");
    TMivoAttribute* price = Add(model.Root(), "Price");
    TMivoAttribute* input = Add(price, "Price");
    Add(price, "Tax");
    ASSERT_NE(price->CreateFunction(), nullptr);
    input->SetOptValue(0, "1");
    model.Relink();
    EXPECT_EQ(input->Link(), nullptr);
    model.Reevaluate();  // ends, and the input keeps the user's value
    EXPECT_EQ(input->GetOptValue(0), "1");
}

TEST(MivoModel, RelinkBreaksCyclesThroughSeveralLinks) {
    // P has a basic input named Q and Q a basic input named P: each input
    // would link to the other aggregate, and P -> q -> Q -> p -> P.
    TMivoModel model;
    model.Settings.Linking = true;
    model.AddOption("A");
    TMivoAttribute* p = Add(model.Root(), "P");
    TMivoAttribute* q = Add(model.Root(), "Q");
    TMivoAttribute* toQ = Add(p, "Q");
    TMivoAttribute* toP = Add(q, "P");
    ASSERT_NE(p->CreateFunction(), nullptr);
    ASSERT_NE(q->CreateFunction(), nullptr);
    model.Relink();
    // In pre-order the first link is kept and the one closing the cycle goes.
    EXPECT_EQ(toQ->Link(), q);
    EXPECT_EQ(toP->Link(), nullptr);
    model.Reevaluate();
    EXPECT_EQ(toQ->GetOptValue(0), q->GetOptValue(0));
}

TEST(MivoModel, AggregateKeepsItsLinkUnlessItClosesACycle) {
    TMivoModel model;
    model.Settings.Linking = true;
    TMivoAttribute* a = Add(model.Root(), "x");
    TMivoAttribute* b = Add(model.Root(), "x");
    model.Relink();
    ASSERT_EQ(a->Link(), b);

    // a becomes an aggregate and keeps its link to b; b's name now leads it
    // to the aggregate a: a -> b -> a. b's link carries values and stays,
    // a's kept link goes.
    Add(a, "y");
    model.Relink();
    EXPECT_EQ(b->Link(), a);
    EXPECT_EQ(a->Link(), nullptr);
    model.AddOption("A");
    model.Reevaluate();
}

TEST(MivoModel, AggregateLosesItsLinkOnceTheTargetIsFreed) {
    TMivoModel model;
    model.Settings.Linking = true;
    model.AddOption("A");
    TMivoAttribute* a = Add(model.Root(), "x");
    TMivoAttribute* b = Add(model.Root(), "x");
    model.Relink();
    ASSERT_EQ(a->Link(), b);
    Add(a, "y");
    b->SetScale(Scale({"1", "2", "3"}));  // b no longer links back to a
    model.Relink();
    ASSERT_EQ(a->Link(), b);
    ASSERT_EQ(b->Link(), nullptr);

    model.Root()->DeleteInput(b);
    model.Changed();
    EXPECT_EQ(a->Link(), nullptr);  // would dangle otherwise
    model.Reevaluate();
}

TEST(MivoModel, BuildsRelinksAndFreesAHundredThousandAttributes) {
    const int registered = GlobalMivoList().Count();
    {
        TMivoModel model;
        model.Settings.Linking = true;
        model.AddOption("A");
        // 100 top attributes of 1000 basic inputs each; every name occurs in
        // every group, so each basic attribute links to the last of its name.
        int count = 0;
        for (int g = 0; g < 100; ++g) {
            TMivoAttribute* top = Add(model.Root(), "group" + std::to_string(g), false);
            ++count;
            for (int k = 0; k < 1000; ++k, ++count) Add(top, "leaf" + std::to_string(k), false);
        }
        model.Changed();
        const TMivoStatistics s = model.Statistics();
        EXPECT_EQ(s.Attributes, count);
        EXPECT_GE(count, 100000);
        EXPECT_EQ(s.Aggregate, 100);
        EXPECT_EQ(s.Basic, 1000);
        EXPECT_EQ(s.Linked, count - 100 - 1000);
        model.DeleteAllOptions();
    }
    EXPECT_EQ(GlobalMivoList().Count(), registered);
}

TEST(MivoModel, DeepChainIsWalkedWithoutRecursion) {
    TMivoModel model;
    TMivoAttribute* a = model.Root();
    for (int i = 0; i < 20000; ++i) a = Add(a, "n", false);
    model.Root()->Inputs(0)->SetName("top");
    model.Settings.Linking = true;
    model.Relink();
    EXPECT_EQ(model.Statistics().Attributes, 20000);
    EXPECT_EQ(a->Link(), nullptr);  // its namesakes are all ancestors or aggregates above it
    // Free from the bottom up so that the test does not rely on how deep
    // the attribute destructor can recurse.
    for (TMivoAttribute* leaf = a; leaf != model.Root();) {
        TMivoAttribute* parent = leaf->Parent();
        parent->DeleteInput(leaf);
        leaf = parent;
    }
}

}  // namespace
}  // namespace mivo
