// The order in which a key finds its command: a focused text edit keeps its
// editing keys, else the current page's command with the key runs, else
// the main window's.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "desktop/FramePage.h"
#include "desktop/tests/ShellFixture.h"

namespace mivo::test {
namespace {

// A Model page whose menu holds commands on Ctrl+N and Ctrl+C, with a text
// edit beside the tree.
class TStubPage final : public TFramePage {
public:
    explicit TStubPage(TModelForm& form) : TFramePage(form, TModelPage::Model, "&Stub", TUndoKind::Model) {
        auto* content = new QWidget;
        auto* layout = new QVBoxLayout(content);
        Edit = new QLineEdit(QStringLiteral("some text"), content);
        layout->addWidget(Edit);
        layout->addWidget(form.ModTreeView());
        SetContent(content);
        const auto add = [this](QKeySequence key, int& count) {
            QAction* action = Menu()->addAction(QStringLiteral("stub"));
            action->setShortcut(key);
            QObject::connect(action, &QAction::triggered, Widget(), [&count] { ++count; });
        };
        add(QKeySequence(Qt::CTRL | Qt::Key_N), NewCount);
        add(QKeySequence(Qt::CTRL | Qt::Key_C), CopyCount);
    }
    QLineEdit* Edit;
    int NewCount = 0;
    int CopyCount = 0;
};

class ShortcutTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        Main->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Main.get()));
        Form = Main->OpenModelWindow(ExampleModel());
        auto page = std::make_unique<TStubPage>(*Form);
        Stub = page.get();
        Form->InstallPage(TModelPage::Model, std::move(page));
        Form->ModTreeView()->show();
        Form->ModTreeView()->setFocus();
        QCoreApplication::processEvents();
    }
    void Press(QWidget* target, Qt::Key key) {
        QTest::keyClick(target, key, Qt::ControlModifier);
        QCoreApplication::processEvents();
    }
    TModelForm* Form = nullptr;
    TStubPage* Stub = nullptr;
};

TEST_F(ShortcutTest, CurrentPageCommandWinsOverTheFrames) {
    Press(Form->ModTreeView(), Qt::Key_N);
    EXPECT_EQ(Stub->NewCount, 1);
    EXPECT_EQ(WindowCount(), 1);  // File New did not run
    Press(Form->ModTreeView(), Qt::Key_C);
    EXPECT_EQ(Stub->CopyCount, 1);
    EXPECT_TRUE(Main->Actions().FileNew->shortcut().isEmpty());
}

TEST_F(ShortcutTest, OnAnotherPageTheFramesCommandRuns) {
    Form->SetCurrentPage(TModelPage::Options);
    QCoreApplication::processEvents();
    EXPECT_EQ(Main->Actions().FileNew->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    Press(Main->MdiArea(), Qt::Key_N);
    EXPECT_EQ(Stub->NewCount, 0);
    EXPECT_EQ(WindowCount(), 2);
}

TEST_F(ShortcutTest, FocusedEditKeepsItsEditingKeys) {
    Stub->Edit->setFocus();
    Stub->Edit->selectAll();
    QGuiApplication::clipboard()->clear();
    Press(Stub->Edit, Qt::Key_C);
    EXPECT_EQ(Stub->CopyCount, 0);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "some text");
    // A key the edit does not use still reaches the page.
    Press(Stub->Edit, Qt::Key_N);
    EXPECT_EQ(Stub->NewCount, 1);
}

}  // namespace
}  // namespace mivo::test
