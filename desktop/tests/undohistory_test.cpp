#include "desktop/UndoHistory.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "desktop/UndoCommands.h"
#include "desktop/tests/WindowFixture.h"
#include "model/MivoFile.h"
#include "model/MivoFunction.h"

namespace mivo {
namespace {

using fixture::RichModel;
using fixture::TTempFolder;
using fixture::TWindow;

// A structural change as the Model page makes it: edit, Changed, undo
// point, lists and tree refreshed. The new attribute is a top attribute, so
// no decision table has to go.
void AddInputNamed(TWindow& w, const std::string& name) {
    w.Model().Root()->AddInput(std::make_unique<TMivoAttribute>(name));
    w.Model().Changed();
    w.State.StructureChanged();
    w.Events.FillTree();
    w.Undo.PushModelUndo();
}

std::vector<std::string> Names(const TMivoModel& model) {
    std::vector<std::string> names;
    for (const TMivoAttribute* a : model.Attributes()) names.push_back(a->GetName());
    return names;
}

TEST(UndoHistory, BoundedHistoryKeepsTwentyStates) {
    TUndoHistory<int> history;
    EXPECT_EQ(history.Index(), -1);
    for (int i = 0; i < 25; ++i) history.Push(i);
    EXPECT_EQ(history.Count(), 20);
    EXPECT_EQ(history.At(0), 5);
    EXPECT_EQ(history.Index(), 19);
    history.SetIndex(10);
    history.Push(99);  // the redo states go
    EXPECT_EQ(history.Count(), 12);
    EXPECT_EQ(history.Current(), 99);
    EXPECT_FALSE(history.CanRedo());
    history.Truncate(3);
    EXPECT_EQ(history.Count(), 3);
    EXPECT_EQ(history.Index(), 2);
    EXPECT_FALSE(history.SetIndex(3));
    history.Clear();
    EXPECT_TRUE(history.Empty());
    EXPECT_EQ(history.Index(), -1);
    EXPECT_FALSE(history.CanUndo());
}

TEST(UndoHistory, ModelSnapshotRoundTripKeepsMarkAndCodes) {
    auto model = RichModel();
    model->FindByName("Seats")->SetOptValue(1, std::string("\xF0", 1));  // a code far outside the scale
    model->Modified = false;
    const TCompressedText text = TakeModelSnapshot(*model);
    EXPECT_FALSE(model->Modified);
    std::unique_ptr<TMivoModel> copy = ReadModelSnapshot(text);
    EXPECT_TRUE(copy->Modified);
    fixture::ExpectSameTreeAndScales(*model, *copy);
    EXPECT_EQ(copy->FindByName("Seats")->GetOptValue(1), std::string("\xF0", 1));
    EXPECT_EQ(TakeModelSnapshot(*copy), text);
}

// The rich model with texts of every kind a snapshot must keep: sets,
// descriptions of several lines (empty ones among them) on the model, an
// attribute and a function, and names in Cyrillic, Greek and Japanese.
std::unique_ptr<TMivoModel> ModelWithEveryKindOfText() {
    auto model = RichModel();
    model->SetDescription("First line\r\n\r\nthird line\r\n");
    TMivoAttribute* car = model->FindByName("Car");
    car->SetDescription("\r\nOverall\r\nrating");
    car->Funct()->SetDescription("Rules\r\nof the top");
    model->FindByName("Price")->SetName("Цена");
    fixture::DiscreteScale(car).SetValueName(2, "πολύ καλό");
    model->AddOption("東京の部屋");
    model->FindByName("Seats")->SetOptValue(3, "0;");  // a set of two values
    return model;
}

// A snapshot is held compressed and gives back exactly the model-file text
// it was taken from; the model read from it writes that text again.
TEST(UndoHistory, CompressedSnapshotsRestoreExactlyTheSameModelText) {
    std::vector<std::pair<std::string, std::unique_ptr<TMivoModel>>> models;
    auto example = std::make_unique<TMivoModel>();
    LoadFromFile(*example, std::string(MIVO_SOURCE_DIR) + "/examples/apartment.mvo");
    models.emplace_back("the example", std::move(example));
    models.emplace_back("every kind of text", ModelWithEveryKindOfText());
    models.emplace_back("an empty model", std::make_unique<TMivoModel>());
    for (auto& [what, model] : models) {
        SCOPED_TRACE(what);
        const std::string text = SaveToText(*model);
        const TCompressedText snapshot = TakeModelSnapshot(*model);
        EXPECT_EQ(snapshot.Text(), text);
        if (model->Attributes().empty()) {
            EXPECT_FALSE(snapshot.Compressed()) << "too short to gain: held as it is";
        } else {
            EXPECT_TRUE(snapshot.Compressed());
            EXPECT_LT(snapshot.StoredSize() * 2, text.size());
        }
        const std::unique_ptr<TMivoModel> copy = ReadModelSnapshot(snapshot);
        EXPECT_EQ(SaveToText(*copy), text);
        EXPECT_EQ(TakeModelSnapshot(*copy), snapshot);
    }
}

TEST(UndoHistory, TwentyFiveChangesLeaveTwentyStatesAndNineteenUndos) {
    TWindow w;
    w.Load(RichModel());
    for (int i = 1; i <= 25; ++i) AddInputNamed(w, "Added" + std::to_string(i));
    EXPECT_EQ(w.State.ModelUndo().Count(), 20);
    int undos = 0;
    while (w.State.ModelUndo().CanUndo()) {
        w.Undo.ModelUndo();
        ++undos;
    }
    EXPECT_EQ(undos, 19);
    // The oldest state held: the sixth change.
    EXPECT_EQ(Names(w.Model()).back(), "Added6");
    EXPECT_EQ(w.Find("Added7"), nullptr);
}

TEST(UndoHistory, NewChangeDropsRedo) {
    TWindow w;
    w.Load(RichModel());
    AddInputNamed(w, "One");
    AddInputNamed(w, "Two");
    w.Undo.ModelUndo();
    EXPECT_TRUE(w.State.ModelUndo().CanRedo());
    AddInputNamed(w, "Three");
    EXPECT_FALSE(w.State.ModelUndo().CanRedo());
    EXPECT_EQ(w.State.ModelUndo().Count(), 3);
    w.Undo.ModelRedo();  // nothing to redo
    EXPECT_NE(w.Find("Three"), nullptr);
    EXPECT_EQ(w.Find("Two"), nullptr);
}

TEST(UndoHistory, ModelUndoReplacesModelMarksItAndRestartsOptionHistory) {
    TWindow w;
    w.Load(RichModel());
    AddInputNamed(w, "One");
    w.Find("Price")->SetOptValue(0, "1");
    w.Undo.PushOptionUndo();
    w.Find("Price")->SetOptValue(0, "2");
    w.Undo.PushOptionUndo();
    ASSERT_EQ(w.State.OptUndo().Count(), 3);
    w.Model().Modified = false;
    w.State.SetCurrentAttribute(w.Find("Seats"));
    w.State.AddChartAttr(w.Find("Seats"));
    const TMivoModel* before = &w.Model();
    w.Events.Log.clear();

    w.Undo.ModelUndo();

    EXPECT_NE(&w.Model(), before);
    EXPECT_EQ(w.Find("One"), nullptr);
    EXPECT_TRUE(w.Model().Modified);
    EXPECT_EQ(w.State.CurrentAttribute(), w.Model().FirstAttribute());
    EXPECT_TRUE(w.State.ChartAttrs().empty());
    EXPECT_EQ(w.State.OptUndo().Count(), 1);
    EXPECT_EQ(w.State.OptUndo().Index(), 0);
    EXPECT_EQ(w.Events.Log, (std::vector<std::string>{"ClearTree", "ModelReplaced"}));
    EXPECT_FALSE(w.State.Updating());
    EXPECT_EQ(ModelCaption(w.Model(), ""), "Car [*]");

    // Redo returns to the state left, option edits included.
    w.Undo.ModelRedo();
    EXPECT_NE(w.Find("One"), nullptr);
    EXPECT_EQ(w.Find("Price")->GetOptValue(0), "2");
}

TEST(UndoHistory, PendingEditIsCommittedAndReturnsByRedo) {
    struct Case {
        const char* name;
        std::function<void(TUndoCommands&)> enter;
        std::function<void(TMivoAttribute*, const std::string&)> type;
        std::function<std::string(const TMivoAttribute*)> read;
    };
    const Case cases[] = {
        {"name", [](TUndoCommands& u) { u.AtrNameEditEnter(); },
         [](TMivoAttribute* a, const std::string& t) { a->SetName(t); },
         [](const TMivoAttribute* a) { return a->GetName(); }},
        {"description", [](TUndoCommands& u) { u.AtrDescEditEnter(); },
         [](TMivoAttribute* a, const std::string& t) { a->SetDescription(t); },
         [](const TMivoAttribute* a) { return a->GetDescription(); }},
        {"function description", [](TUndoCommands& u) { u.FncDescEditEnter(); },
         [](TMivoAttribute* a, const std::string& t) { a->Funct()->SetDescription(t); },
         [](const TMivoAttribute* a) { return a->Funct()->GetDescription(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWindow w;
        w.Load(RichModel());
        AddInputNamed(w, "One");
        w.State.SetCurrentAttribute(w.Find("Car"));
        c.enter(w.Undo);
        c.type(w.Find("Car"), "Typed");  // the edit changes the model at every key
        w.Undo.ModelUndo();              // while the edit is still entered
        EXPECT_NE(c.read(w.Model().FirstAttribute()), "Typed");
        EXPECT_NE(w.Find("One"), nullptr) << "one step back: only the edit is undone";
        w.Undo.ModelRedo();
        EXPECT_EQ(c.read(w.Model().FirstAttribute()), "Typed");
        // Leaving the edit now pushes nothing: the restored text is its start.
        const int count = w.State.ModelUndo().Count();
        w.Undo.AtrNameEditExit();
        w.Undo.AtrDescEditExit();
        w.Undo.FncDescEditExit();
        EXPECT_EQ(w.State.ModelUndo().Count(), count);
    }
}

TEST(UndoHistory, LeavingAnEditPushesOnlyWhenTheTextChanged) {
    TWindow w;
    w.Load(RichModel());
    w.State.SetCurrentAttribute(w.Find("Price"));
    w.Undo.AtrNameEditEnter();
    w.Undo.AtrNameEditExit();
    EXPECT_EQ(w.State.ModelUndo().Count(), 1);
    w.Undo.AtrDescEditEnter();
    w.Find("Price")->SetDescription("changed");
    w.Undo.AtrDescEditExit();
    EXPECT_EQ(w.State.ModelUndo().Count(), 2);
    EXPECT_TRUE(w.State.OldAtrDesc.empty());
    // No function description edit without a function.
    w.Undo.FncDescEditEnter();
    EXPECT_EQ(w.State.PendingEdit, TModelWindowState::TPendingEdit::None);
}

TEST(UndoHistory, ImportedOptionsReturnByRedo) {
    TTempFolder folder;
    TWindow w;
    w.Load(RichModel());
    AddInputNamed(w, "One");
    // A file of option data for Price in a new option "D".
    const std::string file = folder / "options.tab";
    fixture::WriteFileText(file, "\tD\nPrice\t3\n");
    w.Prompts.ExpectOpenFile(TFileAnswer{file, 1});
    w.Files.ImportOptions();
    ASSERT_EQ(w.Model().OptionCount(), 4);
    EXPECT_EQ(w.State.OptUndo().Count(), 2) << "the import takes an option undo point";
    EXPECT_EQ(w.State.GridCols(), 5) << "the lists follow the new option";

    w.Undo.OptionUndo();
    EXPECT_EQ(w.Model().OptionCount(), 3);
    w.Undo.OptionRedo();
    EXPECT_EQ(w.Model().OptionCount(), 4);

    w.Undo.ModelUndo();
    EXPECT_EQ(w.Model().OptionCount(), 3);
    w.Undo.ModelRedo();
    ASSERT_EQ(w.Model().OptionCount(), 4);
    EXPECT_EQ(w.Find("Price")->GetOptValue(3), "2");
}

TEST(UndoHistory, OptionUndoKeepsHiddenOptionsSelectionAndRawCodes) {
    TWindow w;
    auto model = RichModel();
    model->SetOptionName(1, "B;with\tTAB");
    model->SetOptionSelected(1, false);  // hidden from the charts
    TMivoAttribute* seats = model->FindByName("Seats");
    seats->SetOptValue(0, "9;");                         // two codes, one of them ';'
    seats->SetOptValue(2, std::string("\x01\xFE", 2));  // outside the scale
    fixture::DiscreteScale(model->FindByName("Price")).SetValueName(0, "very;low");
    w.Load(std::move(model));
    const TOptionSnapshot before = TakeOptionSnapshot(w.Model());

    w.Model().DeleteOption(1);
    w.Find("Seats")->SetOptValue(0, "0");
    w.Model().Changed();
    w.Events.Cells = {3, 2, 4, 1};
    w.Undo.PushOptionUndo();
    w.Events.Cells = {};
    w.Undo.OptionUndo();

    EXPECT_TRUE(TakeOptionSnapshot(w.Model()).SameData(before));
    EXPECT_EQ(w.Model().Selection(), before.Selection);
    EXPECT_FALSE(w.Model().OptionSelected(1));
    EXPECT_EQ(w.Model().OptionName(1), "B;with\tTAB");
    EXPECT_EQ(w.Find("Seats")->GetOptValue(2), std::string("\x01\xFE", 2));
    EXPECT_TRUE(w.Model().Modified);
    EXPECT_FALSE(w.Model().NeedsEvaluation);
    EXPECT_EQ(w.Events.Log.back(), "OptionsReplaced");

    // Redo restores the later state with the cells it was taken at.
    w.Undo.OptionRedo();
    EXPECT_EQ(w.Model().OptionCount(), 2);
    EXPECT_EQ(w.Events.RestoredCells.OptRow, 3);
    EXPECT_EQ(w.Events.RestoredCells.EvalCol, 1);
}

TEST(UndoHistory, OptionUndoReevaluatesWhenTakenStale) {
    TWindow w;
    w.Load(RichModel());
    w.Find("Price")->SetOptValue(0, "2");
    w.Model().Changed();  // evaluation due
    w.Undo.PushOptionUndo();
    w.Find("Price")->SetOptValue(0, "1");
    w.Model().Reevaluate();
    w.Undo.PushOptionUndo();
    w.Undo.OptionUndo();
    EXPECT_FALSE(w.Model().NeedsEvaluation);
    std::unique_ptr<TMivoModel> copy = ReadModelSnapshot(TakeModelSnapshot(w.Model()));
    copy->Reevaluate();
    EXPECT_EQ(w.Find("Car")->GetOptValue(0), copy->FindByName("Car")->GetOptValue(0));
}

// Every attribute's values equal those a fresh evaluation of the model's
// basic values gives.
void ExpectEvaluatedAfresh(TMivoModel& model) {
    const std::vector<TMivoAttribute*> attributes = model.Attributes();
    std::vector<std::vector<std::string>> shown;
    for (const TMivoAttribute* a : attributes) shown.push_back(a->Values().ToVector());
    model.Reevaluate();
    for (std::size_t i = 0; i < attributes.size(); ++i)
        EXPECT_EQ(shown[i], attributes[i]->Values().ToVector()) << attributes[i]->GetName();
}

// States taken evaluated under one linking are evaluated again when they
// come back under the other.
TEST(UndoHistory, OptionUndoAfterSwitchingLinkingShowsAFreshEvaluation) {
    for (const bool linkingFirst : {false, true}) {
        SCOPED_TRACE(linkingFirst ? "linking switched off" : "linking switched on");
        auto model = RichModel();
        model->Settings.Linking = linkingFirst;
        // The two Costs differ: the first copies the second only while linked.
        std::vector<TMivoAttribute*> all = model->Attributes();
        all[4]->SetOptValue(0, "0");
        all[5]->SetOptValue(0, "1");
        model->Changed();
        model->Reevaluate();
        TWindow w;
        w.Load(std::move(model));
        w.Find("Price")->SetOptValue(1, "2");
        w.Model().Changed();
        w.Model().Reevaluate();
        w.Undo.PushOptionUndo();
        w.Files.EditSettings([linkingFirst](TMivoModel& m) {
            m.Settings.Linking = !linkingFirst;
            return true;
        });
        w.Undo.OptionUndo();
        EXPECT_EQ(w.Find("Price")->GetOptValue(1), "*");
        EXPECT_FALSE(w.Model().NeedsEvaluation);
        ExpectEvaluatedAfresh(w.Model());
        w.Undo.OptionRedo();
        EXPECT_EQ(w.Find("Price")->GetOptValue(1), "2");
        ExpectEvaluatedAfresh(w.Model());
    }
}

// A snapshot that cannot be restored, damaged in store or not a model at
// all, gives a clear error; the model, the tree and the index stay.
TEST(UndoHistory, FailedRestoreKeepsModelAndIndex) {
    const TCompressedText good = TakeModelSnapshot(*RichModel());
    const std::string& stored = good.Stored();
    std::string flipped = stored;
    flipped[stored.size() / 2] = static_cast<char>(flipped[stored.size() / 2] ^ 0x33);
    const std::vector<std::pair<const char*, TCompressedText>> snapshots = {
        {"not a model", TCompressedText::Compress("<Mivo><ATTRIBUTE>")},
        {"cut short", TCompressedText::FromStored(stored.substr(0, stored.size() * 2 / 3), good.TextSize(), true)},
        {"a byte changed", TCompressedText::FromStored(flipped, good.TextSize(), true)},
        {"garbage", TCompressedText::FromStored(std::string(200, '\x7F'), good.TextSize(), true)},
    };
    for (const auto& [what, snapshot] : snapshots) {
        SCOPED_TRACE(what);
        TWindow w;
        w.Load(RichModel());
        AddInputNamed(w, "One");
        w.State.ModelUndo().At(0) = snapshot;
        const TMivoModel* before = &w.Model();
        w.Events.Log.clear();
        try {
            w.Undo.ModelUndo();
            ADD_FAILURE() << "no error";
        } catch (const EMivoError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("The model cannot be restored from its undo state: ", 0), 0u)
                << e.what();
        }
        EXPECT_EQ(&w.Model(), before);
        EXPECT_NE(w.Find("One"), nullptr);
        EXPECT_EQ(w.State.ModelUndo().Index(), 1);
        EXPECT_TRUE(w.Events.Log.empty()) << "the tree was not touched";
        EXPECT_FALSE(w.State.Updating());
        // The history goes on working from the state held.
        AddInputNamed(w, "Two");
        w.Undo.ModelUndo();
        EXPECT_NE(w.Find("One"), nullptr);
        EXPECT_EQ(w.Find("Two"), nullptr);
    }
}

TEST(UndoHistory, OptionSnapshotOfAnotherTreeIsRefused) {
    TWindow w;
    w.Load(RichModel());
    const TOptionSnapshot snapshot = TakeOptionSnapshot(w.Model());
    w.Find("Car")->AddInput(std::make_unique<TMivoAttribute>("New"));
    EXPECT_FALSE(SnapshotMatchesModel(snapshot, w.Model()));
    const int options = w.Model().OptionCount();
    w.Model().AddOption("Extra");
    EXPECT_THROW(ApplyOptionSnapshot(snapshot, w.Model()), EMivoError);
    EXPECT_EQ(w.Model().OptionCount(), options + 1);
}

TEST(UndoHistory, UndoSettingOffPushesNothing) {
    TWindow w;
    auto model = RichModel();
    model->Settings.Undoing = false;
    w.Load(std::move(model));
    EXPECT_TRUE(w.State.ModelUndo().Empty());
    AddInputNamed(w, "One");
    w.Undo.PushOptionUndo();
    EXPECT_TRUE(w.State.ModelUndo().Empty());
    EXPECT_TRUE(w.State.OptUndo().Empty());
    w.Undo.ModelUndo();
    EXPECT_NE(w.Find("One"), nullptr);
}

}  // namespace
}  // namespace mivo
