// The help service over the bundled pages, its window, and F1 in a dialog,
// the preview and the Chart menu.
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include "desktop/Help.h"
#include "desktop/Page.h"
#include "desktop/tests/ShellFixture.h"
#include "reports/ui/PreviewForm.h"

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
    // A dialog without a context leaves F1 alone.
    dialog.hide();
    QDialog plain;
    plain.setModal(true);
    plain.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&plain));
    EXPECT_EQ(THelpKeyFilter::CurrentHelpContext(), 0);
    QTest::keyClick(&plain, Qt::Key_F1);
    EXPECT_EQ(help.Calls.size(), 1u);
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
