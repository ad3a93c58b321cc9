// The model window as a widget: captions, the close question through the
// window, the settings through both roads, undo through the window, and
// lists and tree nodes that never outlive the attributes they show.
#include <functional>

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>
#include <QLabel>
#include <QTabWidget>
#include <QTreeWidget>

#include "desktop/OptionsPage.h"
#include "desktop/Page.h"
#include "desktop/TreeFill.h"
#include "desktop/TreePage.h"
#include "desktop/tests/ShellFixture.h"
#include "model/MivoAttribute.h"
#include "model/MivoFile.h"
#include "model/MivoFunction.h"
#include "model/MivoModel.h"
#include "reports/ui/RptForm.h"
#include "reports/ui/SettingsForm.h"

namespace mivo::test {
namespace {

using ModelFormTest = ShellTest;

int MenuCount(const QMainWindow& window) { return static_cast<int>(window.menuBar()->actions().size()); }

// Every node of the tree shows an attribute of the window's model.
void ExpectTreeMatchesModel(TModelForm& form) {
    const std::vector<TMivoAttribute*> attributes = form.Model().Attributes();
    std::vector<TMivoAttribute*> shown;
    QTreeWidgetItemIterator it(form.ModTreeView());
    for (; *it != nullptr; ++it) shown.push_back(NodeAttribute(*it));
    EXPECT_EQ(shown, attributes);
}

TEST_F(ModelFormTest, CaptionsNameTheModelTheMarkAndTheFile) {
    TScratchDir dir;
    const std::string car = dir.File("car.mvo");
    std::filesystem::copy_file(ExampleModel(), car);
    TModelForm* fresh = Main->OpenModelWindow({});
    EXPECT_EQ(fresh->Caption(), "Evaluation1 [*]");
    // Qt would read "[*]" as the place of its own mark.
    EXPECT_EQ(fresh->windowTitle(), "Evaluation1 [*][*]");

    TModelForm* opened = Main->OpenModelWindow(car);
    EXPECT_EQ(opened->Caption().toStdString(), "Apartment [" + car + "]");
    opened->Model().Changed();
    opened->UpdateControls();
    EXPECT_EQ(opened->Caption().toStdString(), "Apartment [*" + car + "]");
    EXPECT_EQ(opened->windowTitle().toStdString(), "Apartment [*" + car + "]");
    // The pages in their order, the Model page first.
    QTabWidget* pages = opened->PageControl();
    ASSERT_EQ(pages->count(), 4);
    EXPECT_EQ(pages->tabText(0), "&Model");
    EXPECT_EQ(pages->tabText(1), "&Options");
    EXPECT_EQ(pages->tabText(2), "Eva&luation");
    EXPECT_EQ(pages->tabText(3), "Cha&rts");
    EXPECT_EQ(opened->CurrentPageId(), TModelPage::Model);
}

TEST_F(ModelFormTest, OpenFillsTheTreeAndSelectsTheFirstNode) {
    TModelForm* form = Main->OpenModelWindow(ExampleModel());
    ExpectTreeMatchesModel(*form);
    EXPECT_EQ(form->CurrentObject(), form->Model().FirstAttribute());
    EXPECT_EQ(NodeAttribute(form->ModTreeView()->currentItem()), form->Model().FirstAttribute());
    EXPECT_TRUE(form->isMaximized());
    // Selecting another node makes its attribute current.
    QTreeWidgetItem* second = form->ModTreeView()->topLevelItem(0)->child(0);
    form->ModTreeView()->setCurrentItem(second);
    EXPECT_EQ(form->CurrentObject(), NodeAttribute(second));
}

// --- the close question through the window ---------------------------------------

struct CloseCase {
    const char* What;
    bool Modified;
    std::vector<TMsgAnswer> Answers;  // the question, then any overwrite question
    bool DialogCancelled;             // the save dialog of a model without a file
    bool Closes;
};

TEST_F(ModelFormTest, CloseQuestion) {
    const std::vector<CloseCase> cases{
        {"unmodified", false, {}, false, true},
        {"No", true, {TMsgAnswer::No}, false, true},
        {"Cancel", true, {TMsgAnswer::Cancel}, false, false},
        {"Yes, dialog cancelled", true, {TMsgAnswer::Yes}, true, false},
    };
    for (const CloseCase& c : cases) {
        TModelForm* form = Main->OpenModelWindow({});
        form->Model().Modified = c.Modified;
        for (TMsgAnswer answer : c.Answers) Prompts.ExpectMessage(answer);
        if (c.DialogCancelled) Prompts.ExpectSaveFile(std::nullopt);
        Prompts.ClearLog();
        EXPECT_EQ(form->close(), c.Closes) << c.What;
        Flush();
        EXPECT_EQ(WindowCount(), c.Closes ? 0 : 1) << c.What;
        if (c.Modified) {
            ASSERT_FALSE(Prompts.Log().empty()) << c.What;
            EXPECT_EQ(Prompts.Log()[0].Text, "Do you want to save the model \"Evaluation1\" to a file?") << c.What;
        } else {
            EXPECT_TRUE(Prompts.Log().empty()) << c.What;
        }
        DiscardChanges();
        for (TModelForm* left : Main->ModelForms()) left->close();
        Flush();
    }
}

TEST_F(ModelFormTest, CloseQuestionYesSavesThenCloses) {
    TScratchDir dir;
    const std::string file = dir.File("a.mvo");
    std::filesystem::copy_file(ExampleModel(), file);
    TModelForm* form = Main->OpenModelWindow(file);
    form->Model().SetName("Changed");
    form->Model().Changed();
    Prompts.ExpectMessage(TMsgAnswer::Yes);
    EXPECT_TRUE(form->close());
    Flush();
    EXPECT_EQ(WindowCount(), 0);
    TMivoModel reread;
    LoadFromFile(reread, file);
    EXPECT_EQ(reread.GetName(), "Changed");
}

// A save that fails is shown and the window stays open with its changes.
TEST_F(ModelFormTest, CloseQuestionWithAFailedSaveShowsItAndStaysOpen) {
    TScratchDir dir;
    const std::string file = dir.File("a.mvo");
    std::filesystem::copy_file(ExampleModel(), file);
    TModelForm* form = Main->OpenModelWindow(file);
    form->Model().Changed();
    // The file's folder goes: the write cannot succeed.
    form->State().FileName = dir.File("gone/a.mvo");
    Prompts.ExpectMessage(TMsgAnswer::Yes);
    Prompts.ExpectMessage(TMsgAnswer::Ok);
    EXPECT_FALSE(form->close());
    Flush();
    ASSERT_EQ(WindowCount(), 1);
    ASSERT_EQ(Prompts.Log().size(), 2u);
    EXPECT_EQ(Prompts.Log()[1].MsgKind, TMsgKind::Error);
    EXPECT_TRUE(form->Model().Modified);
}

// --- typed text on closing ---------------------------------------------------------

// An edit typed into and not left: the text it leaves in the model, and
// where to read it back from a model.
struct PendingEditCase {
    const char* What;
    std::function<QLineEdit*(TModelForm&)> Focus;  // makes the edit current, returns it
    std::function<std::string(const TMivoModel&)> Read;
};

// Ways to close a model window.
struct ClosePath {
    const char* What;
    std::function<void(TMainForm&, TModelForm&, QWidget& focus)> Close;
};

TTreePage& TreePageOf(TModelForm& form) { return dynamic_cast<TTreePage&>(form.Page(TModelPage::Model)); }

TEST_F(ModelFormTest, TypedTextIsMarkedAtOnceAndAskedForOnEveryClosePath) {
    const std::vector<PendingEditCase> edits{
        {"option name",
         [](TModelForm& form) {
             form.SetCurrentPage(TModelPage::Options);
             auto& page = dynamic_cast<TOptionsPage&>(form.Page(TModelPage::Options));
             page.SetCurrentCell(1, 1);
             return page.OptNameEdit;
         },
         [](const TMivoModel& model) { return model.OptionName(0); }},
        {"attribute name", [](TModelForm& form) { return TreePageOf(form).AtrNameEdit(); },
         [](const TMivoModel& model) { return model.FirstAttributeName(); }},
        {"attribute description", [](TModelForm& form) { return TreePageOf(form).AtrDescEdit(); },
         [](const TMivoModel& model) { return model.FirstAttribute()->GetDescription(); }},
        {"function description", [](TModelForm& form) { return TreePageOf(form).FncDescEdit(); },
         [](const TMivoModel& model) { return model.FirstAttribute()->Funct()->GetDescription(); }},
    };
    const std::vector<ClosePath> paths{
        {"close box", [](TMainForm&, TModelForm& form, QWidget&) { form.close(); }},
        {"Ctrl+F4",
         [](TMainForm&, TModelForm&, QWidget& focus) { QTest::keyClick(&focus, Qt::Key_F4, Qt::ControlModifier); }},
        {"main window", [](TMainForm& main, TModelForm&, QWidget&) { main.close(); }},
    };
    Main->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Main.get()));
    for (const PendingEditCase& edit : edits) {
        for (const ClosePath& path : paths) {
            const std::string what = std::string(edit.What) + " / " + path.What;
            TScratchDir dir;
            const std::string file = dir.File("a.mvo");
            std::filesystem::copy_file(ExampleModel(), file);
            TModelForm* form = Main->OpenModelWindow(file);
            QLineEdit* box = edit.Focus(*form);
            QCoreApplication::processEvents();
            ASSERT_TRUE(box->isVisible()) << what;
            box->setFocus();
            box->end(false);
            QTest::keyClicks(box, "Xy");
            const std::string typed = edit.Read(form->Model());
            ASSERT_EQ(typed.substr(typed.size() - 2), "Xy") << what;
            EXPECT_TRUE(form->Model().Modified) << what;
            EXPECT_TRUE(form->Caption().contains("[*")) << what;

            Prompts.ClearLog();
            Prompts.ExpectMessage(TMsgAnswer::Yes);
            path.Close(*Main, *form, *box);
            Flush();
            EXPECT_EQ(Prompts.Log().size(), 1u) << what;
            EXPECT_EQ(Prompts.Pending(), 0u) << what;
            EXPECT_EQ(WindowCount(), 0) << what;
            TMivoModel saved;
            LoadFromFile(saved, file);
            EXPECT_EQ(edit.Read(saved), typed) << what;
            DiscardChanges();
            for (TModelForm* left : Main->ModelForms()) left->close();
            Flush();
            Main->show();
        }
    }
}

// --- settings through both roads --------------------------------------------------

// The settings dialog's answer: flips "Each section on new page", OK.
int FlipPageBreak(QDialog& dialog) {
    auto& settings = dynamic_cast<TSettingsForm&>(dialog);
    settings.PageCheck->setChecked(!settings.PageCheck->isChecked());
    return 1;
}

TEST_F(ModelFormTest, SettingsCommandStoringAChangeMarksTheModel) {
    TModelForm* form = Main->OpenModelWindow(ExampleModel());
    const bool before = form->Model().Settings.PageBreak;
    Prompts.ExpectExec(FlipPageBreak);
    Main->FileSettingsExecute();
    EXPECT_NE(form->Model().Settings.PageBreak, before);
    EXPECT_TRUE(form->Model().Modified);
    EXPECT_EQ(form->Caption().toStdString(), "Apartment [*" + ExampleModel() + "]");
    // OK without a change leaves the mark as it was.
    form->Model().Modified = false;
    Prompts.ExpectExec([](QDialog&) { return 1; });
    Main->FileSettingsExecute();
    EXPECT_FALSE(form->Model().Modified);
}

// The report dialog's Settings button stores the settings even when the
// report dialog is then cancelled; the window shows the mark.
TEST_F(ModelFormTest, ReportDialogSettingsButtonMarksTheModelEvenWhenCancelled) {
    TModelForm* form = Main->OpenModelWindow(ExampleModel());
    const bool before = form->Model().Settings.PageBreak;
    Prompts.ExpectExec([](QDialog& dialog) {
        dynamic_cast<TRptForm&>(dialog).SettingsBtnClick();
        return 2;
    });
    Prompts.ExpectExec(FlipPageBreak);
    Main->FileReportExecute();
    EXPECT_EQ(Viewer.Shown, 0);
    EXPECT_NE(form->Model().Settings.PageBreak, before);
    EXPECT_TRUE(form->Model().Modified);
    EXPECT_EQ(form->Caption().toStdString(), "Apartment [*" + ExampleModel() + "]");
}

// --- undo through the window ---------------------------------------------------------

TEST_F(ModelFormTest, ModelUndoRefillsTheTreeFromTheRestoredModel) {
    TModelForm* form = Main->OpenModelWindow(ExampleModel());
    form->Model().Settings.Undoing = true;
    form->Undo().ResetModelUndo();
    TMivoAttribute* cost = form->Model().FindByName("Cost");
    ASSERT_NE(cost, nullptr);
    // A structural edit as the Model page makes it.
    form->ClearTree();
    cost->FreeSubtree();
    form->State().StructureChanged();
    form->Model().Changed();
    form->FillTree();
    form->Undo().PushModelUndo();
    form->UpdateControls();
    EXPECT_TRUE(form->Commands().Enabled(TCommandId::ModUndo));
    const int before = form->Model().Statistics().Attributes;

    form->ModUndoClick();
    EXPECT_EQ(form->Model().Statistics().Attributes, before + 2);
    ExpectTreeMatchesModel(*form);
    EXPECT_EQ(form->CurrentObject(), form->Model().FirstAttribute());
    EXPECT_TRUE(form->Model().Modified);
    EXPECT_TRUE(form->Commands().Enabled(TCommandId::ModRedo));
    form->ModRedoClick();
    EXPECT_EQ(form->Model().Statistics().Attributes, before);
    ExpectTreeMatchesModel(*form);
}

// Structural edits free attributes that the grids' lists and the remembered
// cells point at: after StructureChanged a refresh reads none of them (the
// sanitizer build fails on any read of a freed attribute).
TEST_F(ModelFormTest, RefreshAfterFreeingAttributesReadsNoStaleList) {
    TModelForm* form = Main->OpenModelWindow(ExampleModel());
    TModelWindowState& state = form->State();
    const int lastRow = state.OptGridRows() - 1;
    state.OptRow = lastRow;
    state.OptCol = 1;
    state.EvalGridRow = state.EvalGridRows() - 1;
    state.EvalGridCol = 1;
    state.SetChartAttrs({form->Model().FindByName("Daylight"), form->Model().FindByName("Rent")});
    form->UpdateControls();

    TMivoAttribute* comfort = form->Model().FindByName("Comfort");
    form->ClearTree();
    comfort->FreeSubtree();
    state.StructureChanged();
    form->Model().Changed();
    form->FillTree();
    state.OptRow = lastRow;
    state.EvalGridRow = lastRow + 3;
    form->UpdateControls();

    EXPECT_EQ(state.OptRowAttribute(lastRow), nullptr);
    ASSERT_EQ(state.ChartAttrs().size(), 1u);
    EXPECT_EQ(state.ChartAttrs()[0]->GetName(), "Rent");
    ExpectTreeMatchesModel(*form);
    EXPECT_EQ(Main->StatisticsLabel()->text().toStdString(), StatisticsText(form->Model().Statistics()));
}

// --- the page interface ----------------------------------------------------------------

// A page that records the window's calls into a shared log.
class TRecordingPage final : public TPage {
public:
    TRecordingPage(TModelForm& form, std::string name, std::vector<std::string>& log)
        : TPage(form), name_(std::move(name)), log_(log), widget_(new QLineEdit) {}
    QWidget* Widget() override { return widget_; }
    void Fill() override { log_.push_back("fill " + name_); }
    void Refresh() override {
        log_.push_back(std::string(Form().State().Updating() ? "refresh " : "UNGUARDED refresh ") + name_);
    }
    bool PreviewKey(QKeyEvent& event) override {
        log_.push_back("key " + name_);
        return event.key() == Qt::Key_1;
    }
    void ClearTree() override { log_.push_back("clear " + name_); }
    void ModelReplaced() override { log_.push_back("replaced " + name_); }
    QLineEdit* Edit() const { return widget_; }

private:
    std::string name_;
    std::vector<std::string>& log_;
    QLineEdit* widget_;
};

TEST_F(ModelFormTest, PagesAreRefreshedInTabOrderUnderTheGuardAndSeeKeysFirst) {
    Main->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Main.get()));
    TModelForm* form = Main->OpenModelWindow(ExampleModel());
    std::vector<std::string> log;
    const std::vector<std::pair<TModelPage, const char*>> pages{{TModelPage::Model, "model"},
                                                                {TModelPage::Options, "options"},
                                                                {TModelPage::Evaluation, "evaluation"},
                                                                {TModelPage::Charts, "charts"}};
    for (const auto& [page, name] : pages)
        form->InstallPage(page, std::make_unique<TRecordingPage>(*form, name, log));
    log.clear();
    form->UpdateControls();
    EXPECT_EQ(log, std::vector<std::string>({"refresh model", "refresh options", "refresh evaluation", "refresh charts"}));

    log.clear();
    form->SetCurrentPage(TModelPage::Evaluation);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "fill evaluation");
    EXPECT_EQ(MenuCount(*Main), 3);  // a page without a menu adds none

    // Keys go to the current page first; a key it uses never reaches the
    // focused control.
    auto* page = static_cast<TRecordingPage*>(&form->Page(TModelPage::Evaluation));
    page->Edit()->setFocus();
    page->Edit()->clear();
    log.clear();
    QTest::keyClick(page->Edit(), Qt::Key_1);
    QTest::keyClick(page->Edit(), Qt::Key_2);
    EXPECT_EQ(log, std::vector<std::string>({"key evaluation", "key evaluation"}));
    EXPECT_EQ(page->Edit()->text(), "2");

    // A model replaced as a whole: every page lets go first, then refills.
    log.clear();
    form->Model().Settings.Undoing = true;
    form->Undo().ResetModelUndo();
    form->Model().FirstAttribute()->SetName("Renamed");
    form->Model().Changed();
    form->Undo().PushModelUndo();
    log.clear();
    form->ModUndoClick();
    const auto at = [&log](const std::string& entry) { return std::find(log.begin(), log.end(), entry) - log.begin(); };
    EXPECT_LT(at("clear charts"), at("replaced model"));
    EXPECT_LT(at("replaced charts"), static_cast<long>(log.size()));
}

}  // namespace
}  // namespace mivo::test
