#include "desktop/ModelWindowState.h"

#include <gtest/gtest.h>

#include "desktop/tests/WindowFixture.h"
#include "model/MivoFunction.h"

namespace mivo {
namespace {

using fixture::AddAttribute;
using fixture::RichModel;
using fixture::TWindow;

TEST(ModelWindowState, CaptionNamesFirstAttributeMarkAndFile) {
    struct Case {
        const char* top;
        bool modified;
        const char* file;
        const char* caption;
    };
    const Case cases[] = {
        {"Evaluation1", true, "", "Evaluation1 [*]"},
        {"Car", false, "/m/car.mvo", "Car [/m/car.mvo]"},
        {"Car", true, "/m/car.mvo", "Car [*/m/car.mvo]"},
        {nullptr, false, "", " []"},
    };
    for (const Case& c : cases) {
        TMivoModel model;
        if (c.top) model.Root()->AddInput(std::make_unique<TMivoAttribute>(c.top));
        model.Modified = c.modified;
        EXPECT_EQ(ModelCaption(model, c.file), c.caption);
    }
}

TEST(ModelWindowState, NewWindowStartsEmptyWithDefaults) {
    TModelWindowState state;
    EXPECT_EQ(state.Model().Root()->InpCount(), 0);
    EXPECT_TRUE(state.FileName.empty());
    EXPECT_FALSE(state.Updating());
    EXPECT_EQ(state.Page, TModelPage::Model);
    EXPECT_EQ(state.OptRow, -1);
    EXPECT_EQ(state.EvalGridCol, -1);
    EXPECT_TRUE(state.ShowValueNames);
    EXPECT_TRUE(state.ShowOptionNames);
    EXPECT_FALSE(state.FourOptions);
    EXPECT_TRUE(state.ModelUndo().Empty());
    EXPECT_EQ(state.ModelUndo().Index(), -1);
    // Facts of other parts answer "no" until set.
    EXPECT_FALSE(state.IsFindNextUsable());
    EXPECT_FALSE(state.IsChartVisible());
    EXPECT_EQ(state.CurrentTreeDepths().Collapsed, -1);
    EXPECT_EQ(state.CurrentTreeDepths().Open, 0);
}

TEST(ModelWindowState, UpdatingScopeNestsAndClearsOnError) {
    TModelWindowState state;
    try {
        auto outer = state.BeginUpdate();
        {
            auto inner = state.BeginUpdate();
            EXPECT_TRUE(state.Updating());
        }
        EXPECT_TRUE(state.Updating());
        throw std::runtime_error("step failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(state.Updating());
}

TEST(ModelWindowState, ScaleValuesTextAndHint) {
    TMivoModel model;
    TMivoAttribute* car = AddAttribute(model.Root(), "Car", soAscending, {"low", "medium", "high"});
    TMivoAttribute* price = AddAttribute(car, "Price", soAscending, {"cheap", "dear"}, "What it costs");
    TMivoAttribute* bare = car->AddInput(std::make_unique<TMivoAttribute>("Bare"));
    TMivoAttribute* empty = AddAttribute(car, "Empty", soAscending, {});

    EXPECT_EQ(ScaleValuesText(car), "[low,medium,high]");
    EXPECT_EQ(ScaleValuesText(bare), "");
    EXPECT_EQ(ScaleValuesText(empty), "");
    EXPECT_EQ(ScaleValuesText(nullptr), "");

    EXPECT_EQ(AttributeHint(price), "What it costs");
    EXPECT_EQ(AttributeHint(car), "Car [low,medium,high]");
    EXPECT_EQ(AttributeHint(bare), "Car\\Bare ");
    EXPECT_EQ(AttributeHint(nullptr), "");
}

TEST(ModelWindowState, ValueBoxAndPopupEntries) {
    TMivoModel model;
    TMivoAttribute* a = AddAttribute(model.Root(), "Size", soAscending, {"low", "medium", "high"});
    EXPECT_EQ(ValueBoxItems(a), (std::vector<std::string>{"low", "medium", "high", "*"}));
    EXPECT_EQ(ValueBoxItems(nullptr), std::vector<std::string>{"*"});
    std::vector<std::string> captions;
    const std::vector<std::string> items = ValueBoxItems(a);
    for (int i = 0; i < static_cast<int>(items.size()); ++i) captions.push_back(ValueItemCaption(i, items[i]));
    EXPECT_EQ(captions, (std::vector<std::string>{"&1 &low", "&2 &medium", "&3 &high", "&*"}));

    struct Case {
        const char* value;
        int selection;
    };
    const Case cases[] = {{"2", 2}, {"0", 0}, {"", 3}, {"*", 3}, {"9", 3}, {"12", 1}};
    for (const Case& c : cases) {
        a->SetOptValue(0, c.value);
        EXPECT_EQ(ValueBoxSelection(a, 0), c.selection) << "value \"" << c.value << "\"";
    }
    EXPECT_EQ(ValueBoxSelection(a, 5), 3);  // past the value list
}

TEST(ModelWindowState, FunctionExportAndImportNeedModelPageAndSuitableAttribute) {
    auto model = RichModel();
    TMivoAttribute* car = model->FindByName("Car");
    TMivoAttribute* price = model->FindByName("Price");
    EXPECT_TRUE(CanExportFunction(TModelPage::Model, car));
    EXPECT_FALSE(CanExportFunction(TModelPage::Options, car));
    EXPECT_FALSE(CanExportFunction(TModelPage::Model, price));
    EXPECT_FALSE(CanExportFunction(TModelPage::Model, nullptr));

    EXPECT_TRUE(CanImportFunction(TModelPage::Model, car));
    EXPECT_FALSE(CanImportFunction(TModelPage::Charts, car));
    EXPECT_FALSE(CanImportFunction(TModelPage::Model, price));  // basic
    car->SetFunct(nullptr);
    EXPECT_TRUE(CanImportFunction(TModelPage::Model, car));  // can have one of few rules
}

TEST(ModelWindowState, StructureChangedRebuildsListsInTreeOrder) {
    TWindow w;
    w.Load(RichModel());
    std::vector<std::string> all, basic;
    for (auto* a : w.State.AllAttrs()) all.push_back(a->GetName());
    for (auto* a : w.State.BasicAttrs()) basic.push_back(a->GetName());
    EXPECT_EQ(all, (std::vector<std::string>{"Car", "Price", "Comfort", "Seats", "Cost", "Cost"}));
    // The first Cost is linked to the second: not a row of the options grid.
    EXPECT_EQ(basic, (std::vector<std::string>{"Price", "Seats", "Cost"}));
    EXPECT_EQ(w.State.OptRowAttribute(2)->GetName(), "Price");
    EXPECT_EQ(w.State.OptRowAttribute(1), nullptr);
    EXPECT_EQ(w.State.OptRowAttribute(5), nullptr);
    EXPECT_EQ(w.State.EvalRowAttribute(7), w.State.AllAttrs().back());
    EXPECT_EQ(w.State.EvalRowAttribute(8), nullptr);
    EXPECT_EQ(w.State.GridCols(), 4);
}

// Attributes held in the lists and as the current attribute are freed by
// a structural edit; StructureChanged forgets them without reading them
// (run under AddressSanitizer to see a read of freed memory), and nothing
// afterwards reads a row from before.
TEST(ModelWindowState, StaleListsAfterFreeingASubtree) {
    TWindow w;
    w.Load(RichModel());
    TMivoAttribute* car = w.Find("Car");
    TMivoAttribute* comfort = w.Find("Comfort");
    TMivoAttribute* seats = w.Find("Seats");
    w.State.SetChartAttrs({car, seats, comfort, w.Find("Price")});
    w.State.SetCurrentAttribute(seats);
    // The options grid's value box on the last row (the second Cost), the
    // evaluation grid on Seats.
    w.State.OptRow = 4;
    w.State.OptCol = 3;
    w.State.EvalGridRow = 5;
    w.State.EvalGridCol = 1;

    comfort->FreeSubtree();  // frees Seats and the first Cost
    w.Model().Changed();
    w.State.StructureChanged();
    w.Events.FillTree();

    EXPECT_EQ(w.State.ChartAttrs(), (std::vector<TMivoAttribute*>{car, comfort, w.Find("Price")}));
    EXPECT_EQ(w.State.CurrentAttribute(), nullptr);
    EXPECT_EQ(w.State.BasicAttrs().size(), 3u);  // Price, Comfort (now basic), Cost
    // Rows clamp to the grids' new last rows.
    EXPECT_EQ(w.State.OptRow, 4);
    EXPECT_EQ(w.State.EvalGridRow, 5);

    // A value box only for a row that has an attribute.
    const TCommandStates s = w.Commands();
    EXPECT_TRUE(s.Visible(TCommandId::OptValEdit));
    w.State.OptRow = 9;
    EXPECT_FALSE(w.Commands().Visible(TCommandId::OptValEdit));
}

TEST(ModelWindowState, ClampedCellsFollowShrinkingGrids) {
    TWindow w;
    w.Load(RichModel());
    w.State.OptRow = 4;
    w.State.OptCol = 3;
    w.State.EvalGridRow = -1;
    w.Model().DeleteOption(2);
    w.Model().DeleteOption(1);
    w.Find("Car")->DeleteInput(w.Find("Comfort"));
    w.State.StructureChanged();
    EXPECT_EQ(w.State.OptRow, 3);  // rows: title, names, Price, Cost
    EXPECT_EQ(w.State.OptCol, 1);
    EXPECT_EQ(w.State.EvalGridRow, -1);  // none stays none
}

TEST(ModelWindowState, ReplaceModelForgetsChartsAndCurrentAttribute) {
    TWindow w;
    w.Load(RichModel());
    w.State.AddChartAttr(w.Find("Car"));
    w.State.AddChartAttr(w.Find("Car"));  // once only
    EXPECT_EQ(w.State.ChartAttrs().size(), 1u);
    std::unique_ptr<TMivoModel> old = w.State.ReplaceModel(std::make_unique<TMivoModel>());
    EXPECT_TRUE(w.State.ChartAttrs().empty());
    EXPECT_EQ(w.State.CurrentAttribute(), nullptr);
    EXPECT_TRUE(w.State.AllAttrs().empty());
    EXPECT_EQ(old->FirstAttributeName(), "Car");
}

}  // namespace
}  // namespace mivo
