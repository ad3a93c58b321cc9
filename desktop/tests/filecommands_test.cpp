#include "desktop/FileCommands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "desktop/tests/WindowFixture.h"
#include "model/MivoFile.h"
#include "model/MivoFunction.h"
#include "model/MivoStr.h"
#include "model/Pelk.h"
#include "model/WoxImport.h"
#include "model/Xml.h"
#include "platform/ErrorDisplay.h"
#include "platform/QtApplication.h"
#include "reports/ui/RptForm.h"
#include "reports/ui/SettingsForm.h"

#include <QCheckBox>
#include <QSpinBox>

namespace mivo {
namespace {

using fixture::ReadFileText;
using fixture::RichModel;
using fixture::TTempFolder;
using fixture::TWindow;
using fixture::WriteFileText;

bool StartsWith(const std::string& text, std::string_view prefix) { return text.starts_with(prefix); }

TEST(FileCommands, DerivedNamesAndFormats) {
    struct Case {
        const char* name;
        TOpenFormat format;
        const char* derived;
    };
    const Case cases[] = {
        {"/m/a.xml", TOpenFormat::Pelk, "/m/a.mvo"},   {"/m/b.WoX", TOpenFormat::Wox, "/m/b.mvo"},
        {"/m/c.txt", TOpenFormat::Native, "/m/c.mvo"}, {"/m/d", TOpenFormat::Native, "/m/d.mvo"},
        {"/m/e.MVO", TOpenFormat::Native, "/m/e.MVO"}, {"/m.x/f", TOpenFormat::Native, "/m.x/f.mvo"},
        {"g.tar.xml", TOpenFormat::Pelk, "g.tar.mvo"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OpenFormatOf(c.name), c.format) << c.name;
        EXPECT_EQ(DerivedModelName(c.name), c.derived) << c.name;
    }
}

TEST(FileCommands, NewModelHasOneTopAttributeAndNoFile) {
    TWindow w;
    w.Files.NewModel();
    EXPECT_EQ(ModelCaption(w.Model(), w.State.FileName), "Evaluation1 [*]");
    EXPECT_EQ(w.State.CurrentAttribute(), w.Model().FirstAttribute());
    EXPECT_EQ(w.State.AllAttrs().size(), 1u);
    EXPECT_TRUE(w.State.ModelUndo().Empty()) << "a new model's first change cannot be undone";
    EXPECT_EQ(w.Events.Log, (std::vector<std::string>{"ClearTree", "ModelReplaced", "Maximize"}));
}

TEST(FileCommands, OpenByExtension) {
    TTempFolder folder;
    auto source = RichModel();
    struct Case {
        const char* file;
        const char* fileName;  // the window's FileName afterwards
        bool warns;            // the reader's warnings are shown
        std::function<void(TMivoModel&, const std::string&)> write;
    };
    const Case cases[] = {
        {"a.xml", "a.mvo", false, [](TMivoModel& m, const std::string& f) { ExportPelk(m, f); }},
        {"b.WoX", "b.mvo", false, [](TMivoModel& m, const std::string& f) { ExportWox(m, f); }},
        {"f.wox", "f.mvo", true,
         [](TMivoModel& m, const std::string& f) {
             // A set with a member the scale does not have: dropped, with a warning.
             std::string text;
             bool added = false;
             for (const std::string& line : WoxLines(m)) {
                 text += line;
                 if (!added && line.starts_with("V")) {
                     text += " V99";
                     added = true;
                 }
                 text += "\r\n";
             }
             WriteFileText(f, text);
         }},
        {"c.txt", "c.mvo", false, [](TMivoModel& m, const std::string& f) { SaveToFile(m, f); }},
        {"d", "d.mvo", false, [](TMivoModel& m, const std::string& f) { SaveToFile(m, f); }},
        {"e.MVO", "e.MVO", false, [](TMivoModel& m, const std::string& f) { SaveToFile(m, f); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        c.write(*source, folder / c.file);
        TWindow w;
        if (c.warns) w.Prompts.ExpectMessage(TMsgAnswer::Ok);
        w.Files.OpenModel(folder / c.file);  // the wrong reader would fail on the file
        if (c.warns) {
            ASSERT_EQ(w.Prompts.Log().size(), 1u);
            EXPECT_EQ(w.Prompts.Log()[0].MsgKind, TMsgKind::Warning);
            EXPECT_NE(w.Prompts.Log()[0].Text.find("dropped"), std::string::npos);
        }
        EXPECT_EQ(w.State.FileName, folder / c.fileName);
        EXPECT_EQ(w.Files.FileNameDerived(), std::string(c.file) != c.fileName);
        EXPECT_EQ(w.Model().FirstAttributeName(), "Car");
        EXPECT_EQ(w.State.CurrentAttribute(), w.Model().FirstAttribute());
        EXPECT_EQ(w.State.AllAttrs().size(), 6u);
        EXPECT_EQ(w.State.ModelUndo().Count(), 1) << "an opened model starts its history as read";
        EXPECT_EQ(w.Events.Log.back(), "Maximize");
        EXPECT_EQ(w.Prompts.Failures(), std::vector<std::string>{});
    }
}

TEST(FileCommands, FailedOpenKeepsTheEmptyModelAndRefreshes) {
    TTempFolder folder;
    WriteFileText(folder / "bad.mvo", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Other/>\n");
    for (const std::string& name : {folder / "bad.mvo", folder / "missing.xml"}) {
        TWindow w;
        EXPECT_ANY_THROW(w.Files.OpenModel(name));
        EXPECT_EQ(w.Model().Root()->InpCount(), 0);
        EXPECT_TRUE(w.State.FileName.empty());
        EXPECT_GT(w.Events.Updates, 0);
        EXPECT_EQ(w.Events.Log.back(), "Maximize");
    }
}

struct SaveCase {
    int filter;
    const char* typed;     // the name chosen in the dialog
    const char* start;     // how the written file starts
    const char* contains;  // and a text it holds
    bool modified;         // the model's mark afterwards
    int questions = 0;     // questions answered Yes after the dialog
};

TEST(FileCommands, FiveSaveFilters) {
    const SaveCase cases[] = {
        {SaveNative, "n.mvo", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "<Mivo>", false},
        {SavePelk, "p.xml", "<MODEL>", "<NAME>Car</NAME>", true, 1},  // what the file loses
        {SaveWox, "w.wox", "", "Car", true},
        {SaveVersion1, "v.mvo", "<?xml version=\"1.0\"?>", "<Mivo>", false},
        {SaveAllFiles, "all.dat", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "<Mivo>", false},
    };
    for (const SaveCase& c : cases) {
        SCOPED_TRACE(c.typed);
        TTempFolder folder;
        TWindow w;
        w.Load(RichModel());
        w.Prompts.ExpectSaveFile(TFileAnswer{folder / c.typed, c.filter});
        for (int i = 0; i < c.questions; ++i) w.Prompts.ExpectMessage(TMsgAnswer::Yes);
        EXPECT_TRUE(w.Files.SaveModelAs());
        const std::string text = ReadFileText(folder / c.typed);
        EXPECT_TRUE(StartsWith(text, c.start)) << text.substr(0, 60);
        EXPECT_NE(text.find(c.contains), std::string::npos);
        EXPECT_EQ(w.Model().Modified, c.modified);
        EXPECT_EQ(w.State.FileName, DerivedModelName(folder / c.typed));
        EXPECT_EQ(XmlHeader, XmlUtf8Header);
        ASSERT_EQ(w.Prompts.Log().size(), 1u + c.questions);
        EXPECT_EQ(w.Prompts.Log()[0].Text, "Save file");
        EXPECT_EQ(w.Prompts.Pending(), 0u);
    }
}

TEST(FileCommands, SaveAfterVersionOneWritesUtf8AndReadsBack) {
    TTempFolder folder;
    TWindow w;
    w.Load(RichModel());
    w.Prompts.ExpectSaveFile(TFileAnswer{folder / "v.mvo", SaveVersion1});
    ASSERT_TRUE(w.Files.SaveModelAs());
    EXPECT_TRUE(StartsWith(ReadFileText(folder / "v.mvo"), "<?xml version=\"1.0\"?>"));
    w.Find("Price")->SetName("Prize");
    w.Model().Changed();
    EXPECT_TRUE(w.Files.SaveModel());  // the file was written here: no question
    EXPECT_TRUE(StartsWith(ReadFileText(folder / "v.mvo"), XmlUtf8Header));
    TWindow again;
    again.Files.OpenModel(folder / "v.mvo");
    EXPECT_NE(again.Find("Prize"), nullptr);
}

TEST(FileCommands, FirstSaveToADerivedNameAsksBeforeOverwriting) {
    TTempFolder folder;
    ExportPelk(*RichModel(), folder / "a.xml");
    WriteFileText(folder / "a.mvo", "someone else's file");
    TWindow w;
    w.Files.OpenModel(folder / "a.xml");
    ASSERT_EQ(w.State.FileName, folder / "a.mvo");

    w.Prompts.ExpectMessage(TMsgAnswer::No);
    EXPECT_FALSE(w.Files.SaveModel());
    EXPECT_EQ(ReadFileText(folder / "a.mvo"), "someone else's file");
    ASSERT_EQ(w.Prompts.Messages().size(), 1u);
    EXPECT_EQ(w.Prompts.Messages()[0],
              "File \"" + (folder / "a.mvo") + "\" already exists. Do you want to overwrite this file?");

    w.Prompts.ExpectMessage(TMsgAnswer::Yes);
    EXPECT_TRUE(w.Files.SaveModel());
    EXPECT_TRUE(StartsWith(ReadFileText(folder / "a.mvo"), XmlUtf8Header));
    EXPECT_TRUE(w.Files.SaveModel());  // written here now: no more questions
    EXPECT_EQ(w.Prompts.Pending(), 0u);
    EXPECT_TRUE(w.Prompts.Failures().empty());
}

TEST(FileCommands, SaveAsDeclinedOverwriteWritesNothing) {
    TTempFolder folder;
    WriteFileText(folder / "x.mvo", "keep");
    TWindow w;
    w.Load(RichModel());
    for (TMsgAnswer answer : {TMsgAnswer::No, TMsgAnswer::Cancel}) {
        w.Prompts.ExpectSaveFile(TFileAnswer{folder / "x.mvo", SaveNative});
        w.Prompts.ExpectMessage(answer);
        EXPECT_FALSE(w.Files.SaveModelAs());
    }
    w.Prompts.ExpectSaveFile(std::nullopt);
    EXPECT_FALSE(w.Files.SaveModelAs());
    EXPECT_EQ(ReadFileText(folder / "x.mvo"), "keep");
    EXPECT_TRUE(w.State.FileName.empty());
    EXPECT_TRUE(w.Prompts.Failures().empty());
}

TEST(FileCommands, SaveAsWoxAndOpenAgainKeepsEverySet) {
    // The example's Studio Žižkov has the set "medium;short" for Commute;
    // a set in the first option makes the first set of the file another.
    TTempFolder folder;
    TWindow w;
    w.Files.OpenModel(std::string(MIVO_SOURCE_DIR) + "/examples/apartment.mvo");
    w.Find("Nebenkosten")->SetOptValue(0, "01");
    w.Model().Changed();
    w.Model().Reevaluate();
    w.Prompts.ExpectSaveFile(TFileAnswer{folder / "sets.wox", SaveWox});
    ASSERT_TRUE(w.Files.SaveModelAs());

    TWindow again;
    again.Files.OpenModel(folder / "sets.wox");
    EXPECT_TRUE(again.Prompts.Log().empty()) << "nothing was dropped, so nothing is said";
    again.Model().Reevaluate();
    for (int k = 0; k < w.Model().OptionCount(); ++k) {
        SCOPED_TRACE(w.Model().OptionName(k));
        EXPECT_EQ(fixture::OptionValues(again.Model(), k, false), fixture::OptionValues(w.Model(), k, false));
    }
    const int studio = again.Model().IndexOfOption("Studio Žižkov");
    EXPECT_EQ(again.Find("Commute")->GetOptValue(studio), "12");
    EXPECT_EQ(again.Find("Nebenkosten")->GetOptValue(0), "01");
    EXPECT_TRUE(w.Prompts.Failures().empty());
}

TEST(FileCommands, SaveAsPelkTellsWhatTheFileCannotHold) {
    struct Case {
        const char* what;
        bool exists;         // a file of that name is there before
        TMsgAnswer answer;   // to the question about what is lost
        bool written;
    };
    const Case cases[] = {
        {"Yes", false, TMsgAnswer::Yes, true},
        {"No", false, TMsgAnswer::No, false},
        {"closed box", false, TMsgAnswer::Cancel, false},
        {"No after Yes to overwriting", true, TMsgAnswer::No, false},
        {"Yes after Yes to overwriting", true, TMsgAnswer::Yes, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TTempFolder folder;
        const std::string target = folder / "p.xml";
        if (c.exists) WriteFileText(target, "keep");
        TWindow w;
        w.Load(RichModel());
        w.Model().Modified = false;
        const TPelkLosses losses = PelkLosses(w.Model());
        ASSERT_EQ(losses.SetValues, 1);  // Price in option C
        ASSERT_GT(losses.RuleIntervals, 0);

        w.Prompts.ExpectSaveFile(TFileAnswer{target, SavePelk});
        if (c.exists) w.Prompts.ExpectMessage(TMsgAnswer::Yes);
        w.Prompts.ExpectMessage(c.answer);
        EXPECT_EQ(w.Files.SaveModelAs(), c.written);

        const TPromptRecord& question = w.Prompts.Log().back();
        EXPECT_EQ(question.Text, Format(MivoStr::SPelkLosesData, 1, losses.RuleIntervals, target));
        EXPECT_EQ(question.MsgKind, TMsgKind::Confirmation);
        EXPECT_EQ(question.Buttons, TMsgButtons::YesNo);
        if (c.written) {
            EXPECT_TRUE(StartsWith(ReadFileText(target), "<MODEL>"));
            EXPECT_EQ(w.State.FileName, folder / "p.mvo");
        } else {
            EXPECT_EQ(std::filesystem::exists(target), c.exists);
            if (c.exists) {
                EXPECT_EQ(ReadFileText(target), "keep");
            }
            EXPECT_TRUE(w.State.FileName.empty());
        }
        EXPECT_FALSE(w.Model().Modified) << "a Pelk file leaves the mark as it was";
        EXPECT_EQ(w.Prompts.Pending(), 0u);
        EXPECT_TRUE(w.Prompts.Failures().empty());
    }
}

TEST(FileCommands, SaveAsPelkAsksNothingWhenNothingIsLost) {
    TTempFolder folder;
    TWindow w;
    w.Load(RichModel());
    w.Find("Price")->SetOptValue(2, "1");  // the set becomes one value
    w.Model().ForEachAttribute([](TMivoAttribute* a) {
        if (TMivoFunction* f = a->Funct())
            for (int r = 0; r < f->RuleCount(); ++r) f->SetRuleHigh(r, f->RuleLow(r));
    });
    ASSERT_FALSE(PelkLosses(w.Model()).Any());
    w.Prompts.ExpectSaveFile(TFileAnswer{folder / "p.xml", SavePelk});
    EXPECT_TRUE(w.Files.SaveModelAs());
    EXPECT_EQ(w.Prompts.Log().size(), 1u) << "the save dialog alone";
    EXPECT_TRUE(StartsWith(ReadFileText(folder / "p.xml"), "<MODEL>"));
}

TEST(FileCommands, CloseQuestion) {
    struct Case {
        const char* name;
        bool modified;
        const char* fileName;  // "" none, "good" a writable file, "bad" an unwritable one, "derived"
        std::vector<std::function<void(fixture::TWindow&, const TTempFolder&)>> script;
        bool closes;
        bool saved;
        int errors;  // error boxes shown
    };
    auto answer = [](TMsgAnswer a) {
        return [a](fixture::TWindow& w, const TTempFolder&) { w.Prompts.ExpectMessage(a); };
    };
    auto saveAs = [](const char* name) {
        return [name](fixture::TWindow& w, const TTempFolder& f) {
            w.Prompts.ExpectSaveFile(TFileAnswer{f / name, SaveNative});
        };
    };
    auto cancelDialog = [](fixture::TWindow& w, const TTempFolder&) { w.Prompts.ExpectSaveFile(std::nullopt); };
    const Case cases[] = {
        {"unmodified", false, "good", {}, true, false, 0},
        {"No", true, "good", {answer(TMsgAnswer::No)}, true, false, 0},
        {"Cancel", true, "good", {answer(TMsgAnswer::Cancel)}, false, false, 0},
        {"Yes", true, "good", {answer(TMsgAnswer::Yes)}, true, true, 0},
        {"Yes, failed write", true, "bad", {answer(TMsgAnswer::Yes), answer(TMsgAnswer::Ok)}, false, false, 1},
        {"Yes without file, dialog cancelled", true, "", {answer(TMsgAnswer::Yes), cancelDialog}, false, false, 0},
        {"Yes without file, saved", true, "", {answer(TMsgAnswer::Yes), saveAs("Car.mvo")}, true, true, 0},
        {"Yes, derived name, overwrite declined", true, "derived",
         {answer(TMsgAnswer::Yes), answer(TMsgAnswer::No)}, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTempFolder folder;
        TWindow w;
        std::string target = folder / "Car.mvo";
        if (std::string(c.fileName) == "derived") {
            ExportPelk(*RichModel(), folder / "Car.xml");
            WriteFileText(target, "other");
            w.Files.OpenModel(folder / "Car.xml");
        } else {
            w.Load(RichModel());
            if (std::string(c.fileName) == "good") w.State.FileName = target;
            if (std::string(c.fileName) == "bad") {
                target = folder / "no/such/folder/Car.mvo";
                w.State.FileName = target;
            }
        }
        w.Model().Modified = c.modified;
        for (const auto& step : c.script) step(w, folder);

        EXPECT_EQ(w.Files.CloseQuery(), c.closes);
        EXPECT_EQ(StartsWith(ReadFileText(target), "<?xml"), c.saved);
        int errors = 0;
        for (const TPromptRecord& r : w.Prompts.Log())
            if (r.Kind == TPromptKind::Message && r.MsgKind == TMsgKind::Error) ++errors;
        EXPECT_EQ(errors, c.errors);
        EXPECT_EQ(w.Prompts.Pending(), 0u);
        EXPECT_TRUE(w.Prompts.Failures().empty());
        if (c.modified) {
            ASSERT_FALSE(w.Prompts.Log().empty());
            const std::string expected =
                std::string(c.fileName).empty()
                    ? "Do you want to save the model \"Car\" to a file?"
                    : "Do you want to save the model \"Car\" to file \"" + w.State.FileName + "\"?";
            if (!c.saved) {
                EXPECT_EQ(w.Prompts.Log()[0].Text, expected);
            }
        }
    }
}

// A name typed and not yet left becomes an undo point of its own before a
// command reads or writes the whole model; the edit stays entered.
TEST(FileCommands, PendingEditIsCommittedFirst) {
    TTempFolder folder;
    struct Case {
        const char* What;
        std::function<void(TWindow&)> Run;
    };
    const Case cases[] = {
        {"save", [&](TWindow& w) { w.Files.SaveModel(); }},
        {"save as",
         [&](TWindow& w) {
             w.Prompts.ExpectSaveFile(TFileAnswer{folder / "as.mvo", SaveNative});
             w.Files.SaveModelAs();
         }},
        {"export options",
         [&](TWindow& w) {
             w.Prompts.ExpectSaveFile(TFileAnswer{folder / "o.dat", 1});
             w.Files.ExportOptions();
         }},
        {"export tree",
         [&](TWindow& w) {
             w.Prompts.ExpectSaveFile(TFileAnswer{folder / "t.gml", 1});
             w.Files.ExportAttributeTree();
         }},
        {"close question",
         [&](TWindow& w) {
             w.Prompts.ExpectMessage(TMsgAnswer::No);
             EXPECT_TRUE(w.Files.CloseQuery());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TWindow w;
        w.Load(RichModel());
        w.State.FileName = folder / "m.mvo";
        w.Undo.AtrNameEditEnter();
        w.State.CurrentAttribute()->SetName("Typed");
        w.Model().Changed();
        const int states = w.State.ModelUndo().Count();
        c.Run(w);
        EXPECT_EQ(w.State.ModelUndo().Count(), states + 1);
        EXPECT_EQ(w.State.PendingEdit, TModelWindowState::TPendingEdit::AtrName);
        EXPECT_EQ(w.State.OldAtrName, "Typed");
        EXPECT_TRUE(w.Prompts.Failures().empty());
    }
}

TEST(FileCommands, SaveQueryRaisesSilentAbortOnCancel) {
    TWindow w;
    w.Load(RichModel());
    w.Prompts.ExpectMessage(TMsgAnswer::Cancel);
    EXPECT_THROW(w.Files.SaveQuery(), ESilentAbort);
}

TEST(FileCommands, ExportOptionsEvaluatesFirst) {
    TTempFolder folder;
    TWindow w;
    auto model = RichModel();
    model->Settings.OptDataType = 0;
    w.Load(std::move(model));
    TMivoAttribute* price = w.Find("Price");
    price->SetOptValue(0, "2");
    w.Model().Changed();
    w.Find("Car")->SetOptValue(0, "stale");
    w.Prompts.ExpectSaveFile(TFileAnswer{folder / "opt.tab", 1});
    w.Files.ExportOptions();
    EXPECT_FALSE(w.Model().NeedsEvaluation);
    const std::string text = ReadFileText(folder / "opt.tab");
    EXPECT_EQ(text.find("stale"), std::string::npos);
    EXPECT_NE(w.Find("Car")->GetOptValue(0), "stale");

    w.Prompts.ExpectSaveFile(TFileAnswer{folder / "opt.csv", 2});
    w.Files.ExportOptions();
    EXPECT_TRUE(StartsWith(ReadFileText(folder / "opt.csv"), "\""));
}

TEST(FileCommands, OptionsRoundTripAndHostileImport) {
    TTempFolder folder;
    TWindow w;
    w.Load(RichModel());
    // The text forms write an undefined value as "*": give every value one.
    w.Model().Attributes().back()->SetOptValue(1, "0");
    w.Model().Reevaluate();
    const TOptionSnapshot before = TakeOptionSnapshot(w.Model());
    w.Prompts.ExpectSaveFile(TFileAnswer{folder / "opt.csv", 2});
    w.Files.ExportOptions();
    w.Model().DeleteAllOptions();
    w.Model().Changed();
    w.State.StructureChanged();
    w.Prompts.ExpectOpenFile(TFileAnswer{folder / "opt.csv", 2});
    w.Files.ImportOptions();
    EXPECT_TRUE(TakeOptionSnapshot(w.Model()).SameData(before));

    // A file that names no attribute of the model, and one that is missing:
    // an error, the options as they were, no undo point.
    WriteFileText(folder / "bad.tab", "\tX\nNobody\t1\n");
    const int states = w.State.OptUndo().Count();
    for (const std::string& name : {folder / "bad.tab", folder / "missing.tab"}) {
        w.Prompts.ExpectOpenFile(TFileAnswer{name, 1});
        EXPECT_THROW(w.Files.ImportOptions(), std::exception);
        EXPECT_TRUE(TakeOptionSnapshot(w.Model()).SameData(before));
        EXPECT_EQ(w.State.OptUndo().Count(), states);
    }
}

TEST(FileCommands, ImportFunctionShowsCountsThenError) {
    TTempFolder folder;
    TWindow w;
    w.Load(RichModel());
    TMivoAttribute* comfort = w.Find("Comfort");
    comfort->SetFunct(nullptr);
    w.State.SetCurrentAttribute(comfort);
    w.Prompts.ExpectOpenFile(TFileAnswer{folder / "missing.dat", 1});
    w.Prompts.ExpectMessage(TMsgAnswer::Ok);
    EXPECT_ANY_THROW(w.Files.ImportFunction());
    EXPECT_NE(comfort->Funct(), nullptr) << "the function made for the import stays";
    ASSERT_EQ(w.Prompts.Messages().size(), 1u);
    EXPECT_EQ(w.Prompts.Messages()[0], "Import function: imported rules: 0; changed values: 0");
    EXPECT_EQ(w.State.ModelUndo().Count(), 2) << "an undo point after the import";
}

TEST(FileCommands, FunctionRoundTripThroughFiles) {
    TTempFolder folder;
    TWindow w;
    w.Load(RichModel());
    TMivoAttribute* car = w.Find("Car");
    w.State.SetCurrentAttribute(car);
    const std::string rules = car->Funct()->Rules().Get(0);
    w.Prompts.ExpectSaveFile(TFileAnswer{folder / "car.dat", 1});
    w.Files.ExportFunction();
    car->Funct()->SetRuleLow(0, car->Funct()->RuleLow(0) == 0 ? 1 : 0);
    w.Prompts.ExpectOpenFile(TFileAnswer{folder / "car.dat", 1});
    w.Prompts.ExpectMessage(TMsgAnswer::Ok);
    w.Files.ImportFunction();
    EXPECT_EQ(car->Funct()->Rules().Get(0), rules);
    EXPECT_TRUE(w.Prompts.Failures().empty());
}

TEST(FileCommands, ExportTreeByFilter) {
    TTempFolder folder;
    TWindow w;
    w.Load(RichModel());
    w.Prompts.ExpectSaveFile(TFileAnswer{folder / "t.gml", 1});
    w.Files.ExportAttributeTree();
    EXPECT_TRUE(StartsWith(ReadFileText(folder / "t.gml"), "graph ["));
    w.Prompts.ExpectSaveFile(TFileAnswer{folder / "t.tab", 2});
    w.Files.ExportAttributeTree();
    EXPECT_TRUE(StartsWith(ReadFileText(folder / "t.tab"), "Car"));
}

TEST(FileCommands, SettingsRoundTrip) {
    TWindow w;
    w.Load(RichModel());
    w.Model().Modified = false;
    // Cancelled: nothing changes.
    w.Files.EditSettings([](TMivoModel&) { return false; });
    EXPECT_FALSE(w.Model().Modified);
    // OK with another setting: the model is marked.
    w.Files.EditSettings([](TMivoModel& m) {
        m.Settings.EvalCol = 7;
        return true;
    });
    EXPECT_TRUE(w.Model().Modified);
    EXPECT_EQ(w.State.ModelUndo().Count(), 1);

    // Undo off empties both histories; on again starts from the current state.
    w.Files.EditSettings([](TMivoModel& m) {
        m.Settings.Undoing = false;
        return true;
    });
    EXPECT_TRUE(w.State.ModelUndo().Empty());
    EXPECT_TRUE(w.State.OptUndo().Empty());
    w.Files.EditSettings([](TMivoModel& m) {
        m.Settings.Undoing = true;
        return true;
    });
    EXPECT_EQ(w.State.ModelUndo().Count(), 1);

    // Linking off: the first Cost is no longer linked and becomes a row of
    // the options grid.
    ASSERT_EQ(w.State.BasicAttrs().size(), 3u);
    w.Files.EditSettings([](TMivoModel& m) {
        m.Settings.Linking = false;
        return true;
    });
    EXPECT_EQ(w.State.BasicAttrs().size(), 4u);
    EXPECT_EQ(w.Events.Log.back(), "OptionsReplaced");
}

}  // namespace
}  // namespace mivo

namespace mivo {
namespace {

// Both roads to the settings mark the model changed when the record
// changed: the settings command with all pages, and the report dialog's
// Settings button, also when the report dialog is then cancelled.
TEST(FileCommands, SettingsDialogRoadsMarkTheModel) {
    EnsureGuiApplication();
    {
        SCOPED_TRACE("settings command");
        TWindow w;
        w.Load(RichModel());
        w.Model().Modified = false;
        TSettingsForm form(w.Prompts);
        w.Prompts.ExpectExec([&form](QDialog&) {
            form.PageCheck->setChecked(!form.PageCheck->isChecked());
            form.UndoCheck->setChecked(false);
            return 1;
        });
        w.Files.EditSettings([&form](TMivoModel& m) { return form.Run(m, true) == 1; });
        EXPECT_TRUE(w.Model().Modified);
        EXPECT_FALSE(w.Model().Undoing());
        EXPECT_TRUE(w.State.ModelUndo().Empty());
        EXPECT_TRUE(w.Prompts.Failures().empty());
    }
    {
        SCOPED_TRACE("report dialog, Settings, then Cancel");
        TWindow w;
        w.Load(RichModel());
        w.Model().Modified = false;
        TSettingsForm form(w.Prompts);
        TRptForm report(w.Prompts, &form);
        w.Prompts.ExpectExec([&report](QDialog&) {
            report.SettingsBtnClick();
            return 2;
        });
        w.Prompts.ExpectExec([&form](QDialog&) {
            form.ColEdit->setValue(form.ColEdit->value() + 1);
            return 1;
        });
        EXPECT_EQ(report.Execute(&w.Model()), 2);
        EXPECT_TRUE(w.Model().Modified);
        EXPECT_TRUE(w.Prompts.Failures().empty());
    }
}

}  // namespace
}  // namespace mivo
