// The help service over the bundled pages, and F1 in a dialog.
#include <QDialog>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include "desktop/Help.h"
#include "desktop/tests/ShellFixture.h"

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
