// The main window: start-up with command-line files, command enabling
// without a model window, New, the two clipboards, the report host, closing
// the frame, menu merging, window arrangements and the report command.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "desktop/AboutBox.h"
#include "desktop/Help.h"
#include "desktop/ModDocForm.h"
#include "desktop/Page.h"
#include "desktop/tests/ShellFixture.h"
#include "model/MivoAttribute.h"
#include "model/MivoFile.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "reports/MivoRpt.h"
#include "reports/ui/RptForm.h"

namespace mivo::test {
namespace {

using MainFormTest = ShellTest;

TEST_F(MainFormTest, CommandLineOpensOnlyExistingFilesAndOnlyOnce) {
    TScratchDir dir;
    Restart({dir.File("missing.mvo"), ExampleModel()});
    ASSERT_EQ(WindowCount(), 1);
    EXPECT_EQ(Main->CurrentModelForm()->FileName(), ExampleModel());
    // A later activation (or a second call) opens nothing more.
    Main->activateWindow();
    Main->OpenCommandLineFiles();
    QCoreApplication::processEvents();
    EXPECT_EQ(WindowCount(), 1);
    EXPECT_TRUE(Prompts.Log().empty());
}

TEST_F(MainFormTest, CommandLineFileThatFailsShowsItsErrorAndTheNextStillOpens) {
    TScratchDir dir;
    const std::string broken = dir.Write("broken.mvo", "<?xml version=\"1.0\"?>\n<Mivo><ATTRIBUTE>");
    const std::string wrongRoot = dir.Write("other.mvo", "<?xml version=\"1.0\"?>\n<Other/>\n");
    Prompts.ExpectMessage(TMsgAnswer::Ok);
    Prompts.ExpectMessage(TMsgAnswer::Ok);
    Restart({broken, wrongRoot, ExampleModel()});
    EXPECT_EQ(WindowCount(), 1);
    ASSERT_EQ(Prompts.Log().size(), 2u);
    EXPECT_EQ(Prompts.Log()[0].MsgKind, TMsgKind::Error);
    EXPECT_NE(Prompts.Log()[1].Text.find("Unsupported file format"), std::string::npos);
    ASSERT_NE(Main->CurrentModelForm(), nullptr);
    EXPECT_EQ(Main->CurrentModelForm()->FileName(), ExampleModel());
}

TEST_F(MainFormTest, WithoutModelWindowTheModelCommandsAreDisabled) {
    Main->show();
    const auto& a = Main->Actions();
    for (QAction* action : {a.FileSave, a.FileSaveAs, a.FileReport, a.FileSettings, a.FileImport, a.FileExport,
                            a.FileTreeExport, a.FileDoc, a.FileFncImport, a.FileFncExport, a.FileClose})
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
    for (QAction* action : {a.FileNew, a.FileOpen, a.FileExit, a.HelpHelp, a.HelpAbout})
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();

    Main->FileNewExecute();
    for (QAction* action : {a.FileSave, a.FileSaveAs, a.FileReport, a.FileSettings, a.FileImport, a.FileExport,
                            a.FileTreeExport, a.FileDoc})
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
    // The new model's only attribute is basic: no function to export or import.
    EXPECT_FALSE(a.FileFncExport->isEnabled());
    EXPECT_FALSE(a.FileFncImport->isEnabled());
}

TEST_F(MainFormTest, HintsGiveTooltipAndStatusTip) {
    const auto& a = Main->Actions();
    EXPECT_EQ(a.FileNew->toolTip(), "New");
    EXPECT_EQ(a.FileNew->statusTip(), "Create a new file");
    EXPECT_EQ(a.FileTreeExport->toolTip(), "Export");
    EXPECT_EQ(a.FileTreeExport->statusTip(), "Export tree...");
    EXPECT_EQ(a.FileDoc->toolTip(), "Edit model description...");
    EXPECT_EQ(a.FileDoc->statusTip(), "Edit model description...");
    EXPECT_EQ(a.FileNew->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_EQ(a.FileReport->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    EXPECT_EQ(HelpContextOf(a.FileExit), HelpFileExit);
    QWidget* newButton = Main->findChild<QWidget*>("FileNewBtn");
    ASSERT_NE(newButton, nullptr);
    EXPECT_EQ(newButton->toolTip(), "New file");
}

TEST_F(MainFormTest, NewMakesANewModelEvenWhenANonameFileExists) {
    TScratchDir dir;
    std::filesystem::copy_file(ExampleModel(), dir.File("NONAME1"));
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    Main->FileNewExecute();
    std::filesystem::current_path(previous);
    ASSERT_EQ(WindowCount(), 1);
    EXPECT_EQ(Main->CurrentModelForm()->Caption(), "Evaluation1 [*]");
    EXPECT_TRUE(Main->CurrentModelForm()->FileName().empty());
}

TEST_F(MainFormTest, OpenAsksForAFileAndOpensIt) {
    Prompts.ExpectOpenFile(std::nullopt);
    Main->FileOpenExecute();
    EXPECT_EQ(WindowCount(), 0);
    Prompts.ExpectOpenFile(TFileAnswer{ExampleModel(), 1});
    Main->FileOpenExecute();
    ASSERT_EQ(WindowCount(), 1);
    EXPECT_EQ(Main->CurrentModelForm()->FileName(), ExampleModel());
    EXPECT_EQ(Prompts.Log().back().Text, "Open a file");
}

TEST_F(MainFormTest, StatusLineShowsTheStatisticsOfTheCurrentModel) {
    Main->show();
    TModelForm* example = Main->OpenModelWindow(ExampleModel());
    const std::string exampleText = StatisticsText(example->Model().Statistics());
    EXPECT_EQ(Main->StatisticsLabel()->text().toStdString(), exampleText);
    TModelForm* fresh = Main->OpenModelWindow({});
    const std::string freshText = StatisticsText(fresh->Model().Statistics());
    ASSERT_NE(freshText, exampleText);
    EXPECT_EQ(Main->StatisticsLabel()->text().toStdString(), freshText);
    Main->MdiArea()->setActiveSubWindow(example);
    EXPECT_EQ(Main->StatisticsLabel()->text().toStdString(), exampleText);
    // Closing a window gives the line to the next current one; closing the
    // last empties it.
    example->close();
    Flush();
    EXPECT_EQ(Main->StatisticsLabel()->text().toStdString(), freshText);
    fresh->Model().Modified = false;
    fresh->close();
    Flush();
    EXPECT_EQ(Main->StatisticsLabel()->text(), "");
}

// --- clipboards --------------------------------------------------------------

TEST_F(MainFormTest, CopySubtreeKeepsTheOldCopyUntilANewOneIsMade) {
    TModelForm* form = Main->OpenModelWindow(ExampleModel());
    TMivoModel& model = form->Model();
    TMivoAttribute* cost = model.FindByName("Cost");
    ASSERT_NE(cost, nullptr);
    Main->CopySubtree(model, cost);
    TMivoAttribute* held = Main->SubtreeClipboard();
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->GetName(), "Cost");
    EXPECT_EQ(held->InpCount(), cost->InpCount());
    EXPECT_EQ(Clipboard.Text, "Cost");
    // Nothing to copy: the held subtree stays.
    Main->CopySubtree(model, nullptr);
    EXPECT_EQ(Main->SubtreeClipboard(), held);
    // The copy is independent of the model it came from.
    cost->SetName("Changed");
    EXPECT_EQ(Main->SubtreeClipboard()->GetName(), "Cost");
}

// Two models with the same basic attributes: an option copied in one is
// pasted into the other with its name and values in attribute order.
TEST_F(MainFormTest, OptionCopiedInOneModelPastesIntoAnother) {
    TModelForm* source = Main->OpenModelWindow(ExampleModel());
    TModelForm* target = Main->OpenModelWindow(ExampleModel());
    target->Model().AddOption("Empty");
    const int into = target->Model().OptionCount() - 1;
    const auto& sourceAttrs = source->State().BasicAttrs();
    Main->CopyOptionColumn(2, source->Model(), sourceAttrs);
    ASSERT_TRUE(Main->OptionClipboardHeld());
    EXPECT_EQ(Main->OptionClipboard()->Name, source->Model().OptionName(2));

    const auto& targetAttrs = target->State().BasicAttrs();
    EXPECT_TRUE(Main->OptionClipboardMatches(target->Model(), targetAttrs));
    ASSERT_TRUE(Main->PasteOptionColumn(into, target->Model(), targetAttrs));
    EXPECT_EQ(target->Model().OptionName(into), source->Model().OptionName(2));
    for (std::size_t i = 0; i < targetAttrs.size(); ++i)
        EXPECT_EQ(targetAttrs[i]->GetOptValue(into), sourceAttrs[i]->GetOptValue(2)) << i;
}

// The paste goes only onto the same names in the same order with every code
// valid on its scale; anything else is refused with a message and no change.
TEST_F(MainFormTest, OptionPasteOntoOtherAttributesIsRefused) {
    TModelForm* form = Main->OpenModelWindow(ExampleModel());
    TMivoModel& model = form->Model();
    const std::vector<TMivoAttribute*> attrs = form->State().BasicAttrs();
    ASSERT_GE(attrs.size(), 3u);
    struct Case {
        const char* What;
        std::function<void(TOptionClipboard&)> Spoil;
        std::vector<TMivoAttribute*> Onto;
    };
    const std::vector<TMivoAttribute*> reversed(attrs.rbegin(), attrs.rend());
    const std::vector<TMivoAttribute*> shorter(attrs.begin(), attrs.end() - 1);
    const std::vector<Case> cases{
        {"other order", nullptr, reversed},
        {"fewer attributes", nullptr, shorter},
        {"other name", [](TOptionClipboard& c) { c.AttributeNames[0] = "Elsewhere"; }, attrs},
        {"code beyond the scale", [](TOptionClipboard& c) { c.Values[1] = std::string(1, char('0' + 60)); }, attrs},
        {"byte below the codes", [](TOptionClipboard& c) { c.Values[1] = std::string(1, '\x01'); }, attrs},
    };
    for (const Case& c : cases) {
        Main->CopyOptionColumn(0, model, attrs);
        if (c.Spoil) {
            // The clipboard is spoiled through a fresh copy of a spoiled option.
            TOptionClipboard spoiled = *Main->OptionClipboard();
            c.Spoil(spoiled);
            EXPECT_FALSE(OptionFits(spoiled, attrs)) << c.What;
            continue;
        }
        const std::string name = model.OptionName(1);
        std::vector<std::string> before;
        for (TMivoAttribute* a : attrs) before.push_back(a->GetOptValue(1));
        Prompts.ExpectMessage(TMsgAnswer::Ok);
        EXPECT_FALSE(Main->OptionClipboardMatches(model, c.Onto)) << c.What;
        EXPECT_FALSE(Main->PasteOptionColumn(1, model, c.Onto)) << c.What;
        EXPECT_EQ(Prompts.Log().back().Text, SOptionDoesNotFit);
        EXPECT_EQ(model.OptionName(1), name);
        for (std::size_t i = 0; i < attrs.size(); ++i) EXPECT_EQ(attrs[i]->GetOptValue(1), before[i]) << c.What;
    }
}

TEST(OptionFit, ValuesAreCheckedAgainstTheScale) {
    TMivoAttribute attribute("A");
    auto scale = std::make_unique<TMivoDiscreteScale>();
    scale->AddValue("low");
    scale->AddValue("high");
    attribute.SetScale(std::move(scale));
    for (const char* value : {"", "*", "0", "1", "01"}) EXPECT_TRUE(ValueFitsScale(attribute, value)) << value;
    for (const char* value : {"2", "0 ", "/", "\xff"}) EXPECT_FALSE(ValueFitsScale(attribute, value)) << value;
    TMivoAttribute bare("B");
    EXPECT_TRUE(ValueFitsScale(bare, ""));
    EXPECT_FALSE(ValueFitsScale(bare, "0"));
}

// --- the report host ------------------------------------------------------------

TEST_F(MainFormTest, IsTheReportHostWhileItLives) {
    EXPECT_EQ(GetReportHost(), Main.get());
    EXPECT_FALSE(Main->HasActiveModelWindow());
    EXPECT_EQ(Main->ActiveFileName(), "");
    Main->OpenModelWindow(ExampleModel());
    EXPECT_TRUE(Main->HasActiveModelWindow());
    EXPECT_EQ(Main->ActiveFileName(), ExampleModel());
    // The charts page's panels, none shown before a chart is chosen.
    ASSERT_NE(Main->ChartPanel(TChartId::Chart1), nullptr);
    EXPECT_FALSE(Main->ChartPanel(TChartId::Chart1)->Visible());
    DiscardChanges();
    Main.reset();
    EXPECT_EQ(GetReportHost(), nullptr);
}

// --- closing the frame ----------------------------------------------------------------

TEST_F(MainFormTest, ClosingTheFrameStopsAtTheFirstWindowThatRefuses) {
    Main->show();
    TModelForm* first = Main->OpenModelWindow({});
    TModelForm* second = Main->OpenModelWindow({});
    ASSERT_TRUE(first->Model().Modified && second->Model().Modified);
    // The first window is asked and cancels: nothing closes, the second is
    // not asked.
    Prompts.ExpectMessage(TMsgAnswer::Cancel);
    EXPECT_FALSE(Main->close());
    Flush();
    EXPECT_EQ(WindowCount(), 2);
    EXPECT_EQ(Prompts.Log().size(), 1u);
    // Now the first lets go, the second cancels.
    Prompts.ExpectMessage(TMsgAnswer::No);
    Prompts.ExpectMessage(TMsgAnswer::Cancel);
    EXPECT_FALSE(Main->close());
    Flush();
    ASSERT_EQ(WindowCount(), 1);
    EXPECT_EQ(Main->ModelForms().front(), second);
}

// The frame's title as shown (Qt's "[*]" escape undone).
std::string ShownTitle(const QWidget& window) {
    return window.windowTitle().replace(QStringLiteral("[*][*]"), QStringLiteral("[*]")).toStdString();
}

TEST_F(MainFormTest, TheFramesTitleNamesTheCurrentWindowOnceAndCurrent) {
    Main->show();
    EXPECT_EQ(ShownTitle(*Main), "Mivo");
    TScratchDir scratch;
    const std::string copy = scratch.File("apartment.mvo");
    std::filesystem::copy_file(ExampleModel(), copy);
    TModelForm* form = Main->OpenModelWindow(copy);
    form->showMaximized();
    QCoreApplication::processEvents();
    const std::string opened = "Apartment [" + form->FileName() + "]";
    EXPECT_EQ(ShownTitle(*Main), "Mivo - [" + opened + "]");
    // A visit to another page, a change, a restore and a maximise: one
    // segment, the current caption.
    form->SetCurrentPage(TModelPage::Evaluation);
    form->Model().Changed();
    form->UpdateControls();
    const std::string changed = "Apartment [*" + form->FileName() + "]";
    EXPECT_EQ(ShownTitle(*Main), "Mivo - [" + changed + "]");
    form->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(ShownTitle(*Main), "Mivo - [" + changed + "]");
    form->showMaximized();
    QCoreApplication::processEvents();
    EXPECT_EQ(ShownTitle(*Main), "Mivo - [" + changed + "]");
    // Save As names the new file.
    Prompts.ExpectSaveFile(TFileAnswer{scratch.File("renamed.mvo"), 1});
    ASSERT_TRUE(form->SaveModelAs());
    EXPECT_EQ(ShownTitle(*Main), "Mivo - [Apartment [" + form->FileName() + "]]");
    EXPECT_NE(form->FileName().find("renamed.mvo"), std::string::npos);
    // A second window, a new model: its caption alone; closing it brings
    // the first back; closing the last leaves the name alone.
    TModelForm* second = Main->OpenModelWindow({});
    QCoreApplication::processEvents();
    EXPECT_EQ(ShownTitle(*Main), "Mivo - [" + ShownTitle(*second) + "]");
    second->Model().Modified = false;
    second->close();
    Flush();
    QCoreApplication::processEvents();
    EXPECT_EQ(ShownTitle(*Main), "Mivo - [Apartment [" + form->FileName() + "]]");
    form->close();
    Flush();
    QCoreApplication::processEvents();
    EXPECT_EQ(WindowCount(), 0);
    EXPECT_EQ(ShownTitle(*Main), "Mivo");
}

// --- menus -------------------------------------------------------------------------------

QStringList MenuTitles(const QMainWindow& window) {
    QStringList titles;
    for (const QAction* action : window.menuBar()->actions()) titles << action->text();
    return titles;
}

TEST_F(MainFormTest, MenuBarMergesTheCurrentPageMenuByGroup) {
    EXPECT_EQ(MenuTitles(*Main), QStringList({"&File", "&Window", "&Help"}));
    TModelForm* form = Main->OpenModelWindow(ExampleModel());
    EXPECT_EQ(MenuTitles(*Main), QStringList({"&File", "&Model", "&Window", "&Help"}));
    form->SetCurrentPage(TModelPage::Options);
    EXPECT_EQ(MenuTitles(*Main), QStringList({"&File", "&Options", "&Window", "&Help"}));
    form->SetCurrentPage(TModelPage::Charts);
    EXPECT_EQ(MenuTitles(*Main), QStringList({"&File", "&Chart", "&Window", "&Help"}));
    // Function commands follow the page: only the Model page offers them.
    form->SetCurrentPage(TModelPage::Model);
    EXPECT_TRUE(Main->Actions().FileFncExport->isEnabled());
    form->SetCurrentPage(TModelPage::Options);
    EXPECT_FALSE(Main->Actions().FileFncExport->isEnabled());
}

TEST_F(MainFormTest, WindowMenuListsTheChildren) {
    Main->OpenModelWindow({});
    Main->OpenModelWindow(ExampleModel());
    Q_EMIT Main->WindowMenu()->aboutToShow();
    QStringList items;
    for (const QAction* action : Main->WindowMenu()->actions())
        if (!action->isSeparator()) items << action->text();
    ASSERT_EQ(items.size(), 7);
    EXPECT_EQ(items[5], "&1 Evaluation1 [*]");
    EXPECT_EQ(items[6], "&2 Apartment [" + QString::fromStdString(ExampleModel()) + "]");
}

TEST_F(MainFormTest, TilingLaysTheWindowsSideBySideOrOneAboveTheOther) {
    Main->show();
    TModelForm* a = Main->OpenModelWindow({});
    TModelForm* b = Main->OpenModelWindow({});
    const QRect client = Main->MdiArea()->viewport()->rect();
    Main->TileVertically();
    EXPECT_EQ(a->geometry(), QRect(0, 0, client.width() / 2, client.height()));
    EXPECT_EQ(b->geometry().left(), client.width() / 2);
    Main->TileHorizontally();
    EXPECT_EQ(a->geometry(), QRect(0, 0, client.width(), client.height() / 2));
    EXPECT_EQ(b->geometry().top(), client.height() / 2);
    Main->MinimizeAll();
    EXPECT_TRUE(a->isMinimized() && b->isMinimized());
    EXPECT_LT(a->geometry().left(), b->geometry().left());
    EXPECT_EQ(a->geometry().bottom(), b->geometry().bottom());
}

// --- the report command ---------------------------------------------------------------------

// The report dialog's answer: the parts to check, then OK or Cancel.
std::function<int(QDialog&)> ReportDialog(std::vector<int> parts, int result) {
    return [parts, result](QDialog& dialog) {
        auto& report = dynamic_cast<TRptForm&>(dialog);
        TValueSet set;
        for (int part : parts) set.set(part);
        report.SetSelection(set);
        return result;
    };
}

// A confirmed dialog without a part stores the empty set and shows no preview.
TEST_F(MainFormTest, ReportWithAnEmptySelectionStoresItAndShowsNoPreview) {
    TModelForm* form = Main->OpenModelWindow(ExampleModel());
    ASSERT_TRUE(form->Model().Settings.ReportParts.any());
    Prompts.ExpectExec(ReportDialog({}, 1));
    Main->FileReportExecute();
    EXPECT_EQ(Viewer.Shown, 0);
    EXPECT_TRUE(form->Model().Settings.ReportParts.none());
    EXPECT_TRUE(form->Model().Modified);
    EXPECT_EQ(form->Caption().toStdString(), "Apartment [*" + ExampleModel() + "]");
}

TEST_F(MainFormTest, ReportCancelledShowsNothingAndKeepsTheSelection) {
    TModelForm* form = Main->OpenModelWindow(ExampleModel());
    const TValueSet before = form->Model().Settings.ReportParts;
    Prompts.ExpectExec(ReportDialog({rpScales}, 2));
    Main->FileReportExecute();
    EXPECT_EQ(Viewer.Shown, 0);
    EXPECT_EQ(form->Model().Settings.ReportParts, before);
    EXPECT_FALSE(form->Model().Modified);
}

TEST_F(MainFormTest, ReportChangingOnlyTheFontMarksTheModelChanged) {
    TModelForm* form = Main->OpenModelWindow(ExampleModel());
    TMivoModel& model = form->Model();
    const TValueSet parts = model.Settings.ReportParts;
    TCanvasFont chosen;
    chosen.Name = "Courier";
    chosen.SetSize(14);
    Prompts.ExpectExec([&](QDialog& dialog) {
        auto& report = dynamic_cast<TRptForm&>(dialog);
        report.SetSelection(parts);
        report.FontBtnClick();
        return 1;
    });
    Prompts.ExpectFont(chosen);
    Main->FileReportExecute();
    EXPECT_TRUE(model.Modified);
    EXPECT_EQ(model.Settings.ReportParts, parts);
    EXPECT_EQ(model.Settings.FontName, "Courier");
    EXPECT_EQ(model.Settings.FontSize, 14);
    EXPECT_EQ(Main->ReportService().ReportFont().Name, "Courier");
    EXPECT_EQ(Viewer.Shown, 1);
}

TEST_F(MainFormTest, ReportReevaluatesBeforeBuilding) {
    TModelForm* form = Main->OpenModelWindow(ExampleModel());
    TMivoModel& model = form->Model();
    // Stale aggregate values: the report must not show them.
    TMivoAttribute* top = model.FirstAttribute();
    top->SetOptValue(0, "");
    model.Changed();
    ASSERT_TRUE(model.NeedsEvaluation);
    Prompts.ExpectExec(ReportDialog({rpEvaluationResults}, 1));
    Main->FileReportExecute();
    EXPECT_FALSE(model.NeedsEvaluation);
    EXPECT_FALSE(top->GetOptValue(0).empty());
    EXPECT_EQ(Viewer.Shown, 1);
    EXPECT_NE(Viewer.Last, nullptr);
}

// Looking at a model changes nothing: every page and a report leave a model
// saved with current results unmodified. Stale stored results still count.
TEST_F(MainFormTest, LookingAtEveryPageAndAReportAsksNothingOnClosing) {
    TScratchDir dir;
    TMivoModel current;
    LoadFromFile(current, ExampleModel());
    current.Reevaluate();
    const std::string fresh = dir.File("fresh.mvo");
    SaveToFile(current, fresh);
    current.FirstAttribute()->SetOptValue(0, "");  // a stale stored result
    const std::string stale = dir.File("stale.mvo");
    SaveToFile(current, stale);

    Main->show();
    for (const std::string& file : {fresh, stale}) {
        const bool asks = file == stale;
        SCOPED_TRACE(file);
        TModelForm* form = Main->OpenModelWindow(file);
        for (TModelPage page : {TModelPage::Options, TModelPage::Evaluation, TModelPage::Charts, TModelPage::Model}) {
            form->SetCurrentPage(page);
            QCoreApplication::processEvents();
        }
        Prompts.ExpectExec([](QDialog&) { return 1; });  // the model's own parts
        Main->FileReportExecute();
        EXPECT_EQ(Viewer.Shown, asks ? 2 : 1);
        EXPECT_EQ(form->Model().Modified, asks);
        if (asks) Prompts.ExpectMessage(TMsgAnswer::No);
        Prompts.ClearLog();
        EXPECT_TRUE(form->close());
        EXPECT_EQ(Prompts.Log().size(), asks ? 1u : 0u);
        Flush();
    }
}

// --- model description -------------------------------------------------------------------------

TEST_F(MainFormTest, ModelDescriptionChangesTheModelWithAnUndoPointAndCancelNothing) {
    TModelForm* form = Main->OpenModelWindow(ExampleModel());
    TMivoModel& model = form->Model();
    model.Settings.Undoing = true;
    form->Undo().ResetModelUndo();
    const std::string name = model.GetName(), description = model.GetDescription();
    const int points = form->State().ModelUndo().Count();

    Prompts.ExpectExec([](QDialog& dialog) {
        auto& doc = dynamic_cast<TDocForm&>(dialog);
        doc.NameEdit->setText("Kept name");
        doc.DescEdit->setPlainText("Never stored");
        return DialogCancel;
    });
    Main->FileDocExecute();
    EXPECT_EQ(model.GetName(), name);
    EXPECT_EQ(model.GetDescription(), description);
    EXPECT_FALSE(model.Modified);
    EXPECT_EQ(form->State().ModelUndo().Count(), points);

    Prompts.ExpectExec([](QDialog& dialog) {
        auto& doc = dynamic_cast<TDocForm&>(dialog);
        doc.NameEdit->setText("Flat");
        doc.DescEdit->setPlainText("Two\nlines");
        return DialogOk;
    });
    Main->FileDocExecute();
    EXPECT_EQ(model.GetName(), "Flat");
    EXPECT_EQ(model.GetDescription(), "Two\r\nlines");
    EXPECT_TRUE(model.Modified);
    EXPECT_EQ(form->State().ModelUndo().Count(), points + 1);
    EXPECT_TRUE(form->Caption().startsWith("Apartment [*"));

    // Undo goes back to the old name and description (in a restored model).
    form->ModUndoClick();
    EXPECT_EQ(form->Model().GetName(), name);
    EXPECT_EQ(form->Model().GetDescription(), description);
}

// --- help --------------------------------------------------------------------------------------

TEST_F(MainFormTest, F1InAnOpenMenuAsksForItsItemsContext) {
    Main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Main.get()));
    QMenu* file = Main->FileMenu();
    file->popup(Main->mapToGlobal(QPoint(10, 10)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(file));
    file->setActiveAction(Main->Actions().FileOpen);
    EXPECT_EQ(THelpKeyFilter::CurrentHelpContext(), HelpFileOpen);
    QTest::keyClick(file, Qt::Key_F1);
    file->hide();
    ASSERT_FALSE(Help.Calls.empty());
    EXPECT_EQ(Help.Calls.back(), "context 1212");
    // In the frame, F1 is "Help...": the contents.
    Main->Actions().HelpHelp->trigger();
    EXPECT_EQ(Help.Calls.back(), "contents");
}

TEST_F(MainFormTest, AboutBoxShowsTheVersion) {
    EXPECT_EQ(VersionText(3, 3), "3.03");
    EXPECT_EQ(VersionText(4, 12), "4.12");
    Prompts.ExpectExec([](QDialog& dialog) {
        auto& about = dynamic_cast<TAboutBox&>(dialog);
        EXPECT_EQ(about.windowTitle(), "About Mivo");
        EXPECT_EQ(about.Version->text(), "Version 3.03");
        EXPECT_EQ(about.Description->text(), "Program for multiattribute decision making");
        return 1;
    });
    Main->Actions().HelpAbout->trigger();
    ASSERT_EQ(Prompts.Log().size(), 1u);
    EXPECT_EQ(Prompts.Log()[0].Text, "AboutBox");
}

TEST_F(MainFormTest, QuittingClosesTheHelp) {
    Main.reset();
    ASSERT_FALSE(Help.Calls.empty());
    EXPECT_EQ(Help.Calls.back(), "close");
}

}  // namespace
}  // namespace mivo::test
