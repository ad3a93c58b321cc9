// The help service over the bundled pages, its window, and F1 in a dialog,
// the preview and the Chart menu.
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include "desktop/FunctForm.h"
#include "desktop/Help.h"
#include "desktop/Page.h"
#include "desktop/ScaleForm.h"
#include "desktop/WeightForm.h"
#include "desktop/tests/FunctTestKit.h"
#include "desktop/tests/ShellFixture.h"
#include "reports/ui/PreviewForm.h"
#include "reports/ui/RptForm.h"
#include "reports/ui/SettingsForm.h"

namespace mivo::test {
namespace {

TEST(HtmlHelp, ContextsShowTheirPagesAndUnknownOnesTheContents) {
    EnsureGuiApplication();
    struct Case {
        int Context;
        const char* Page;
        const char* Heading;
    };
    const std::vector<Case> cases{
        {HelpFileNew, "qrc:/help/file.html", "Files"},
        {HelpFileExit, "qrc:/help/file.html", "Files"},
        {HelpFileReport, "qrc:/help/report.html", "Reports"},
        {HelpWindowMenu, "qrc:/help/window.html", "Model windows"},
        {HelpCopyChart, "qrc:/help/charts.html", "Charts"},
        {HelpToolBar, "qrc:/help/toolbar.html", "The tool bar"},
        {4711, HelpContentsPage, "Mivo Help"},
        {0, HelpContentsPage, "Mivo Help"},
    };
    THtmlHelp help;
    EXPECT_EQ(help.Browser(), nullptr);
    for (const Case& c : cases) {
        EXPECT_EQ(HelpPageFor(c.Context), c.Page) << c.Context;
        help.ShowContext(c.Context);
        ASSERT_NE(help.Browser(), nullptr);
        EXPECT_EQ(help.Browser()->source().toString().toStdString(), c.Page) << c.Context;
        EXPECT_EQ(help.Browser()->documentTitle().toStdString(), c.Heading) << c.Context;
        EXPECT_TRUE(help.Browser()->isVisible());
    }
    help.ShowContents();
    EXPECT_EQ(help.Browser()->documentTitle(), "Mivo Help");
    help.CloseAll();
    EXPECT_FALSE(help.Browser()->isVisible());
}

TEST(HtmlHelp, IndexIsShownAtTheKeyword) {
    EnsureGuiApplication();
    THtmlHelp help;
    help.ShowIndex("report");
    EXPECT_EQ(help.Browser()->source().toString(), HelpIndexPage);
    EXPECT_EQ(help.Browser()->textCursor().selectedText(), "report");
    // A keyword the index lacks still shows the index.
    help.ShowIndex("no such keyword");
    EXPECT_EQ(help.Browser()->source().toString(), HelpIndexPage);
    help.CloseAll();
}

TEST(HelpKeys, F1InADialogAsksForTheDialogsContext) {
    EnsureGuiApplication();
    TRecordingHelp help;
    THelpKeyFilter filter(help);
    qApp->installEventFilter(&filter);
    QDialog dialog;
    SetHelpContext(dialog, HelpFourOptions);
    dialog.setModal(true);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(THelpKeyFilter::CurrentHelpContext(), HelpFourOptions);
    QTest::keyClick(&dialog, Qt::Key_F1);
    ASSERT_EQ(help.Calls.size(), 1u);
    EXPECT_EQ(help.Calls[0], "context 1253");
    // A modal window without a context shows the contents, which the
    // frame's blocked Help command would show.
    dialog.hide();
    QDialog plain;
    plain.setModal(true);
    plain.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&plain));
    EXPECT_EQ(THelpKeyFilter::CurrentHelpContext(), 0);
    QTest::keyClick(&plain, Qt::Key_F1);
    ASSERT_EQ(help.Calls.size(), 2u);
    EXPECT_EQ(help.Calls[1], "contents");
    // Without a modal window F1 is left to the frame's Help command.
    plain.hide();
    QWidget frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    QTest::keyClick(&frame, Qt::Key_F1);
    EXPECT_EQ(help.Calls.size(), 2u);
    qApp->removeEventFilter(&filter);
}

}  // namespace
}  // namespace mivo::test

namespace mivo::test {
namespace {

TEST(HtmlHelp, EveryContextHasAPageOfItsOwnAndTheContentsReachTheShortPages) {
    EnsureGuiApplication();
    THtmlHelp help;
    const std::vector<int> named{HelpToolBar,    HelpChartMenu,  HelpFileNew,     HelpFileOpen,    HelpFileClose,
                                 HelpFileSave,   HelpFileReport, HelpFileExit,    HelpRuleEditor,  HelpFourOptions,
                                 HelpCopyChart,  HelpWindowMenu, HelpPreview};
    EXPECT_EQ(HelpContexts(), named);
    for (int context : HelpContexts()) {
        const std::string page = HelpPageFor(context);
        EXPECT_NE(page, HelpContentsPage) << context;
        EXPECT_TRUE(QFile::exists(QString::fromStdString(page).mid(3))) << page;  // "qrc:/..." as ":/..."
    }
    EXPECT_EQ(HelpPageFor(HelpRuleEditor), "qrc:/help/ruleeditor.html");
    EXPECT_EQ(HelpPageFor(HelpPreview), "qrc:/help/preview.html");
    // The contents link every page, the short ones on the scale editor and
    // on the options and evaluation pages among them.
    help.ShowContents();
    const QString contents = help.Browser()->toHtml();
    for (const char* page : {"scale.html", "options.html", "evaluation.html", "ruleeditor.html", "preview.html",
                             "file.html", "report.html", "window.html", "charts.html", "toolbar.html"}) {
        EXPECT_TRUE(contents.contains(QString::fromLatin1(page))) << page;
        EXPECT_TRUE(QFile::exists(QStringLiteral(":/help/") + QString::fromLatin1(page))) << page;
    }
    help.Browser()->setSource(QUrl(QStringLiteral("qrc:/help/evaluation.html")));
    for (const char* word : {"+/-1", "Explain", "Compare"})
        EXPECT_TRUE(help.Browser()->toPlainText().contains(QString::fromLatin1(word))) << word;
    help.Browser()->setSource(QUrl(QStringLiteral("qrc:/help/options.html")));
    EXPECT_TRUE(help.Browser()->toPlainText().contains(QStringLiteral("chooses the first value")));
    help.CloseAll();
}

TEST(HtmlHelp, TheWindowOpensWithinTheScreenAndEscapeClosesIt) {
    EnsureGuiApplication();
    THtmlHelp help;
    help.ShowContents();
    QTextBrowser* browser = help.Browser();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(browser));
    const QRect screen = browser->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(browser->geometry())) << browser->geometry().x() << "," << browser->geometry().y();
    QTest::keyClick(browser, Qt::Key_Escape);
    EXPECT_FALSE(browser->isVisible());
    // Shown again, it is where it was.
    help.ShowContext(HelpPreview);
    EXPECT_TRUE(browser->isVisible());
    EXPECT_TRUE(screen.contains(browser->geometry()));
    help.CloseAll();
}

// F1 in the preview window, on the Chart menu and on two of its items asks
// the help service for their contexts.
class HelpPlaces : public ShellTest {};

TEST_F(HelpPlaces, F1AsksForThePreviewsTheChartMenusAndItsItemsContexts) {
    Main->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Main.get()));
    {
        TPreviewForm preview(Prompts, Clipboard, nullptr, Main.get());
        preview.setWindowState(Qt::WindowNoState);
        preview.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
        ASSERT_EQ(QApplication::activeModalWidget(), &preview);
        QTest::keyClick(&preview, Qt::Key_F1);
        ASSERT_EQ(Help.Calls.size(), 1u);
        EXPECT_EQ(Help.Calls.back(), "context 1271");
    }
    TModelForm* form = Main->OpenModelWindow(ExampleModel());
    form->SetCurrentPage(TModelPage::Charts);
    QMenu* menu = form->Page(TModelPage::Charts).PageMenu();
    ASSERT_NE(menu, nullptr);
    const auto item = [menu](const QString& text) -> QAction* {
        for (QAction* action : menu->actions())
            if (action->text() == text) return action;
        return nullptr;
    };
    const std::vector<std::pair<QAction*, std::string>> cases{
        {nullptr, "context 125"},
        {item(QStringLiteral("Four options")), "context 1253"},
        {item(QStringLiteral("&Copy chart")), "context 1254"},
    };
    for (const auto& [action, call] : cases) {
        menu->popup(Main->mapToGlobal(QPoint(20, 20)));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        if (action != nullptr) {
            action->setEnabled(true);
            menu->setActiveAction(action);
        }
        QTest::keyClick(menu, Qt::Key_F1);
        EXPECT_EQ(Help.Calls.back(), call);
        menu->hide();
    }
    EXPECT_EQ(Help.Calls.size(), 4u);
}

}  // namespace
}  // namespace mivo::test

namespace mivo::test {
namespace {

// F1 in each modal window of the program opens the help window above it,
// active and taking keys while the modal window stays open; Escape closes
// the help alone and the modal window is active again.
TEST(HelpOverModalWindows, F1ShowsAnActiveHelpWindowAboveTheModalWindowAndEscapeClosesOnlyTheHelp) {
    EnsureGuiApplication();
    THtmlHelp help;
    THelpKeyFilter filter(help);
    qApp->installEventFilter(&filter);
    TScriptedPrompts prompts;
    testkit::TMemoryClipboard clipboard;
    testkit::TKeepingViewer viewer;
    testkit::TTestModel fixture;
    QWidget frame;
    frame.resize(800, 600);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));

    struct TCase {
        const char* Name;
        std::function<std::unique_ptr<QDialog>()> Make;
        const char* Page;
    };
    const TFunctServices services{clipboard, prompts, viewer, help};
    const std::vector<TCase> cases{
        {"preview", [&] { return std::make_unique<TPreviewForm>(prompts, clipboard, nullptr, &frame); },
         "qrc:/help/preview.html"},
        {"rule editor",
         [&] {
             auto form = std::make_unique<TFunctForm>(fixture.model, services, &frame);
             form->LoadAttribute(*fixture.car);
             return form;
         },
         "qrc:/help/ruleeditor.html"},
        {"scale editor",
         [&] {
             auto form = std::make_unique<TScaleForm>(prompts, &frame);
             form->LoadAttribute(*fixture.car, nullptr);
             return form;
         },
         HelpContentsPage},
        {"weights",
         [&] {
             auto form = std::make_unique<TWeiForm>(&frame);
             form->LoadFunction(*fixture.car, *fixture.car->Funct(), [] {});
             return form;
         },
         HelpContentsPage},
        {"settings",
         [&] {
             auto form = std::make_unique<TSettingsForm>(prompts, &frame);
             form->LoadSettings(&fixture.model);
             return form;
         },
         HelpContentsPage},
        {"report dialog", [&] { return std::make_unique<TRptForm>(prompts, nullptr, &frame); }, HelpContentsPage},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::unique_ptr<QDialog> dialog = c.Make();
        dialog->setWindowState(Qt::WindowNoState);
        dialog->setModal(true);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        ASSERT_EQ(QApplication::activeModalWidget(), dialog.get());
        // The key as the window system delivers it, to the modal window.
        QTest::keyClick(dialog->windowHandle(), Qt::Key_F1);
        QTextBrowser* browser = help.Browser();
        ASSERT_NE(browser, nullptr);
        EXPECT_TRUE(browser->isVisible());
        EXPECT_EQ(browser->source().toString().toStdString(), c.Page);
        EXPECT_TRUE(QTest::qWaitForWindowActive(browser));
        // Above the modal window and not blocked by it.
        EXPECT_EQ(browser->windowHandle()->transientParent(), dialog->windowHandle());
        // A key the help window takes as a key press (not a shortcut)
        // reaches it: a window blocked by the modal one would drop it.
        browser->moveCursor(QTextCursor::Start);
        QTest::keyClick(browser->windowHandle(), Qt::Key_A, Qt::ControlModifier);
        EXPECT_TRUE(browser->textCursor().hasSelection());
        // Escape, delivered to the help window as the window system does,
        // closes the help alone.
        QTest::keyClick(browser->windowHandle(), Qt::Key_Escape);
        EXPECT_FALSE(browser->isVisible());
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        dialog->hide();
    }
    // Asked for from the frame, the help is a window of its own again.
    frame.activateWindow();
    help.ShowContents();
    EXPECT_EQ(help.Browser()->windowHandle()->transientParent(), nullptr);
    help.CloseAll();
    qApp->removeEventFilter(&filter);
}

}  // namespace
}  // namespace mivo::test
