#include "desktop/Commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

#include "desktop/tests/WindowFixture.h"
#include "model/MivoFunction.h"

namespace mivo {
namespace {

using fixture::RichModel;
using fixture::TWindow;
using Id = TCommandId;

// The Model page's commands of the enabling table, for the checks below.
const Id ModelCommands[] = {Id::ModAdd,    Id::ModCopy,     Id::ModDup,  Id::ModFind,     Id::ModDel,
                            Id::ModCut,    Id::ModPaste,    Id::ModUp,   Id::ModDn,       Id::ModFnc,
                            Id::ModDelFnc, Id::ModDelScale, Id::FindNext, Id::AtrScaleEdit};

struct Case {
    const char* name;
    // Sets up the window (loaded with the rich model) and the facts.
    std::function<void(TWindow&, TEnablingFacts&)> setup;
    // The Model page commands expected enabled; every other one of
    // ModelCommands is expected disabled.
    std::set<Id> enabled;
};

TEST(Commands, ModelPageEnablingByCurrentAttribute) {
    auto select = [](const char* name) {
        return [name](TWindow& w, TEnablingFacts&) { w.State.SetCurrentAttribute(w.Find(name)); };
    };
    const Case cases[] = {
        {"no attribute, even with a subtree held",
         [](TWindow& w, TEnablingFacts& f) {
             w.State.SetCurrentAttribute(nullptr);
             f.SubtreeHeld = true;
         },
         {}},
        {"only top attribute with inputs: no cut", select("Car"),
         {Id::ModAdd, Id::ModCopy, Id::ModDup, Id::ModFind, Id::ModDel, Id::ModFnc, Id::ModDelFnc, Id::ModDelScale,
          Id::AtrScaleEdit}},
        {"first input", select("Price"),
         {Id::ModAdd, Id::ModCopy, Id::ModDup, Id::ModFind, Id::ModDel, Id::ModCut, Id::ModDn, Id::ModDelScale,
          Id::AtrScaleEdit}},
        {"last input, function and scale",
         [](TWindow& w, TEnablingFacts& f) {
             w.State.SetCurrentAttribute(w.Model().Attributes().back());
             f.SubtreeHeld = true;
         },
         {Id::ModAdd, Id::ModCopy, Id::ModDup, Id::ModFind, Id::ModDel, Id::ModCut, Id::ModPaste, Id::ModUp,
          Id::ModDelScale, Id::AtrScaleEdit}},
        {"middle input with a function", select("Comfort"),
         {Id::ModAdd, Id::ModCopy, Id::ModDup, Id::ModFind, Id::ModDel, Id::ModCut, Id::ModUp, Id::ModDn, Id::ModFnc,
          Id::ModDelFnc, Id::ModDelScale, Id::AtrScaleEdit}},
        {"aggregate without function that can have one",
         [](TWindow& w, TEnablingFacts&) {
             w.Find("Comfort")->SetFunct(nullptr);
             w.State.SetCurrentAttribute(w.Find("Comfort"));
         },
         {Id::ModAdd, Id::ModCopy, Id::ModDup, Id::ModFind, Id::ModDel, Id::ModCut, Id::ModUp, Id::ModDn, Id::ModFnc,
          Id::ModDelScale, Id::AtrScaleEdit}},
        {"aggregate without scale cannot have a function",
         [](TWindow& w, TEnablingFacts&) {
             TMivoAttribute* comfort = w.Find("Comfort");
             comfort->SetFunct(nullptr);
             comfort->SetScale(nullptr);
             w.State.SetCurrentAttribute(comfort);
         },
         {Id::ModAdd, Id::ModCopy, Id::ModDup, Id::ModFind, Id::ModDel, Id::ModCut, Id::ModUp, Id::ModDn,
          Id::AtrScaleEdit}},
        {"find next once the find dialog allows it",
         [](TWindow& w, TEnablingFacts&) {
             w.State.FindNextUsable = [] { return true; };
             w.State.SetCurrentAttribute(w.Find("Seats"));
         },
         {Id::ModAdd, Id::ModCopy, Id::ModDup, Id::ModFind, Id::ModDel, Id::ModCut, Id::ModDn, Id::ModDelScale,
          Id::FindNext, Id::AtrScaleEdit}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWindow w;
        w.Load(RichModel());
        TEnablingFacts facts;
        c.setup(w, facts);
        const TCommandStates s = w.Commands(facts);
        for (Id id : ModelCommands) EXPECT_EQ(s.Enabled(id), c.enabled.contains(id)) << CommandName(id);
    }
}

TEST(Commands, SingleAttributeCannotBeDeletedOrCut) {
    TWindow w;
    w.Files.NewModel();
    ASSERT_NE(w.State.CurrentAttribute(), nullptr);
    const TCommandStates s = w.Commands();
    EXPECT_TRUE(s.Enabled(Id::ModAdd));
    EXPECT_FALSE(s.Enabled(Id::ModDel));
    EXPECT_FALSE(s.Enabled(Id::ModCut));
    EXPECT_FALSE(s.Enabled(Id::ModFnc));  // basic
    EXPECT_FALSE(s[Id::ModFncGroup].Visible);
}

TEST(Commands, UtilityFunctionGroupAndEditsFollowTheAttribute) {
    TWindow w;
    w.Load(RichModel());
    w.State.SetCurrentAttribute(w.Find("Car"));
    TCommandStates s = w.Commands();
    EXPECT_TRUE(s[Id::ModFncGroup].Visible);
    EXPECT_TRUE(s.Enabled(Id::FncDescEdit));
    w.Find("Car")->SetFunct(nullptr);
    EXPECT_FALSE(w.Commands().Enabled(Id::FncDescEdit));
    w.State.SetCurrentAttribute(w.Find("Price"));
    s = w.Commands();
    EXPECT_FALSE(s[Id::ModFncGroup].Visible);
    EXPECT_TRUE(s.Enabled(Id::AtrScaleEdit));
}

TEST(Commands, UndoAtBothEndsAndWithUndoOff) {
    TWindow w;
    w.Load(RichModel());
    auto check = [&w](bool undo, bool redo, bool optUndo, bool optRedo, bool visible) {
        const TCommandStates s = w.Commands();
        EXPECT_EQ(s.Enabled(Id::ModUndo), undo);
        EXPECT_EQ(s.Enabled(Id::ModRedo), redo);
        EXPECT_EQ(s.Enabled(Id::OptUndo), optUndo);
        EXPECT_EQ(s.Enabled(Id::OptRedo), optRedo);
        for (Id id : {Id::ModUndo, Id::ModRedo, Id::OptUndo, Id::OptRedo}) EXPECT_EQ(s.Visible(id), visible);
    };
    {
        SCOPED_TRACE("just opened: one state each");
        check(false, false, false, false, true);
    }
    w.Find("Price")->SetDescription("Cost of buying");
    w.Undo.PushModelUndo();
    w.Find("Price")->SetOptValue(0, "2");
    w.Undo.PushOptionUndo();
    {
        SCOPED_TRACE("at the newest state");
        check(true, false, true, false, true);
    }
    w.Undo.OptionUndo();
    {
        SCOPED_TRACE("option history at its oldest state");
        check(true, false, false, true, true);
    }
    w.Undo.ModelUndo();
    {
        SCOPED_TRACE("model history at its oldest state");
        check(false, true, false, false, true);
    }
    w.Model().Settings.Undoing = false;
    w.Undo.TruncateModelUndo(0);
    w.Undo.TruncateOptionUndo(0);
    {
        SCOPED_TRACE("undo off: buttons hidden, items disabled");
        check(false, false, false, false, false);
    }
}

TEST(Commands, OptionCommandsAndValueBoxes) {
    TWindow w;
    w.Load(RichModel());
    TEnablingFacts facts;
    facts.OptionHeld = true;
    facts.Cells = {2, 1, 3, 1};  // Price in option A on both grids
    TCommandStates s = w.Commands(facts);
    for (Id id : {Id::SelExpl, Id::OptDel, Id::OptCut, Id::OptCopy, Id::OptDup, Id::OptPaste, Id::OptRight})
        EXPECT_TRUE(s.Enabled(id)) << CommandName(id);
    EXPECT_FALSE(s.Enabled(Id::OptLeft));
    EXPECT_TRUE(s.Visible(Id::OptValEdit));
    EXPECT_FALSE(s.Visible(Id::OptNameEdit));
    EXPECT_TRUE(s.Visible(Id::EvalValEdit));
    EXPECT_FALSE(s.Enabled(Id::PlusMinus));

    // Remembered cells win over the grids' current ones.
    w.State.OptRow = 1;
    w.State.OptCol = 3;
    w.State.EvalGridRow = 2 + 2;  // Comfort: aggregate, no value box
    w.State.EvalGridCol = 2;
    s = w.Commands(facts);
    EXPECT_TRUE(s.Visible(Id::OptNameEdit));
    EXPECT_FALSE(s.Visible(Id::OptValEdit));
    EXPECT_TRUE(s.Enabled(Id::OptLeft));
    EXPECT_FALSE(s.Enabled(Id::OptRight));
    EXPECT_FALSE(s.Visible(Id::EvalValEdit));
    EXPECT_TRUE(s.Enabled(Id::PlusMinus));

    w.State.EvalGridRow = 2 + 4;  // the linked Cost: no value box either
    EXPECT_FALSE(w.Commands(facts).Visible(Id::EvalValEdit));
    w.State.OptRow = 0;  // title row: no attribute, no box
    EXPECT_FALSE(w.Commands(facts).Visible(Id::OptValEdit));
}

TEST(Commands, NoOptionsDisablesOptionCommandsAndBoxes) {
    TWindow w;
    w.Load(RichModel());
    w.Model().DeleteAllOptions();
    w.State.StructureChanged();
    TEnablingFacts facts;
    facts.Cells = {2, 1, 2, 1};
    const TCommandStates s = w.Commands(facts);
    for (Id id : {Id::SelExpl, Id::OptDel, Id::OptCut, Id::OptCopy, Id::OptDup, Id::OptPaste, Id::OptLeft,
                  Id::OptRight})
        EXPECT_FALSE(s.Enabled(id)) << CommandName(id);
    EXPECT_FALSE(s.Visible(Id::OptValEdit));
    EXPECT_FALSE(s.Visible(Id::OptNameEdit));
    EXPECT_FALSE(s.Visible(Id::EvalValEdit));
}

TEST(Commands, ChartsAndTreeLevels) {
    TWindow w;
    w.Load(RichModel());
    TCommandStates s = w.Commands();
    EXPECT_FALSE(s.Enabled(Id::ChartCopy));
    EXPECT_TRUE(s.Checked(Id::ChartFullNames));
    EXPECT_TRUE(s.Checked(Id::ChartOptNames));
    EXPECT_FALSE(s.Checked(Id::Chart4));
    EXPECT_FALSE(s.Enabled(Id::Chart4));
    EXPECT_FALSE(s.Enabled(Id::ModCollapse));
    EXPECT_FALSE(s.Enabled(Id::ModExpand));

    w.State.ShowValueNames = false;
    w.State.FourOptions = true;
    w.State.SetChartAttrs({w.Find("Car"), w.Find("Price"), w.Find("Seats")});
    w.State.ChartVisible = [] { return true; };
    w.State.TreeDepths = [] { return TModelWindowState::TTreeDepths{0, 2}; };
    s = w.Commands();
    EXPECT_TRUE(s.Enabled(Id::ChartCopy));
    EXPECT_FALSE(s.Checked(Id::ChartFullNames));
    EXPECT_TRUE(s.Checked(Id::Chart4));
    EXPECT_TRUE(s.Enabled(Id::Chart4));
    EXPECT_TRUE(s.Enabled(Id::ModCollapse));
    EXPECT_TRUE(s.Enabled(Id::ModExpand));
}

TEST(Commands, FunctionFileCommandsOnlyOnTheModelPage) {
    TWindow w;
    w.Load(RichModel());
    w.State.SetCurrentAttribute(w.Find("Car"));
    EXPECT_TRUE(w.Commands().Enabled(Id::ExportFunction));
    EXPECT_TRUE(w.Commands().Enabled(Id::ImportFunction));
    w.State.Page = TModelPage::Evaluation;
    EXPECT_FALSE(w.Commands().Enabled(Id::ExportFunction));
    EXPECT_FALSE(w.Commands().Enabled(Id::ImportFunction));
}

TEST(Commands, EveryIdHasAName) {
    std::set<std::string_view> names;
    for (std::size_t i = 0; i < CommandCount; ++i) names.insert(CommandName(static_cast<Id>(i)));
    EXPECT_EQ(names.size(), CommandCount);
    EXPECT_EQ(CommandName(Id::ModCut), "ModCut");
    EXPECT_EQ(CommandName(Id::ImportFunction), "ImportFunction");
}

}  // namespace
}  // namespace mivo
