// The order in which a key finds its command: a focused text edit keeps its
// editing keys, else the current page's command with the key runs, else
// the main window's.
#include <functional>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "desktop/FindFormResult.h"
#include "desktop/FramePage.h"
#include "desktop/OptionsPage.h"
#include "desktop/TreePage.h"
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

namespace mivo::test {
namespace {

// The keys of the Model and Options menus on the real pages: each case
// opens the example in a fresh main window, makes a page current and a
// control focused, presses the key and looks at what it did.
class MenuKeyTest : public ShellTest {
public:
    using ShellTest::Clipboard;
    using ShellTest::Main;
    using ShellTest::Prompts;

    struct TCase {
        const char* Name;
        TModelPage Page;
        const char* Focus;  // "tree", "name" (AtrNameEdit), "description" (AtrDescEdit), "grid",
                            // "option name" (OptNameEdit)
        const char* Attribute;  // the current attribute on the Model page
        QKeyCombination Key;
        std::function<void(MenuKeyTest&)> Before;  // scripts the prompts, copies, ...
        std::function<void(MenuKeyTest&)> Check;
    };

    void Run(const TCase& c) {
        SCOPED_TRACE(c.Name);
        DiscardChanges();
        Main.reset();
        Main = std::make_unique<TMainForm>(Prompts, Help, Clipboard);
        Main->SetReportViewer(&Viewer);
        Main->resize(900, 600);
        Main->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Main.get()));
        Form = Main->OpenModelWindow(ExampleModel());
        Prompts.ClearLog();
        QGuiApplication::clipboard()->clear();
        Clipboard.Text.clear();
        Form->SelectAttribute(Model().FindByName(c.Attribute));
        Form->SetCurrentPage(c.Page);
        QCoreApplication::processEvents();
        if (c.Before) c.Before(*this);
        QWidget* focus = FocusWidget(c.Focus);
        ASSERT_NE(focus, nullptr);
        focus->setFocus();
        QCoreApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), focus);
        QTest::keyClick(focus, c.Key.key(), c.Key.keyboardModifiers());
        QCoreApplication::processEvents();
        c.Check(*this);
        EXPECT_EQ(Prompts.Pending(), 0u);
    }

    QWidget* FocusWidget(const std::string& name) {
        if (name == "tree") return Form->ModTreeView();
        if (name == "name") return Tree().AtrNameEdit();
        if (name == "description") return Tree().AtrDescEdit();
        if (name == "grid") {
            Options().SetCurrentCell(2, 1);  // the first option's first value
            return Options().OptGrid;
        }
        if (name == "option name") return Options().OptNameEdit;
        return nullptr;
    }

    TMivoModel& Model() { return Form->Model(); }
    TMivoAttribute* Attribute(const char* name) { return Model().FindByName(name); }
    TTreePage& Tree() { return dynamic_cast<TTreePage&>(Form->Page(TModelPage::Model)); }
    TOptionsPage& Options() { return dynamic_cast<TOptionsPage&>(Form->Page(TModelPage::Options)); }
    // The message boxes and dialogs asked for, by text or dialog name.
    std::vector<std::string> Asked() const {
        std::vector<std::string> asked;
        for (const TPromptRecord& record : Prompts.Log()) asked.push_back(record.Text);
        return asked;
    }
    bool AskedFor(const std::string& start) const {
        for (const std::string& text : Asked())
            if (text.rfind(start, 0) == 0) return true;
        return false;
    }

    TModelForm* Form = nullptr;
};

constexpr QKeyCombination Ctrl(Qt::Key key) { return QKeyCombination(Qt::ControlModifier, key); }

TEST_F(MenuKeyTest, ModelAndOptionsMenuKeysReachTheirCommandsAndTextBoxesKeepTheirOwn) {
    const auto no = [](MenuKeyTest& t) { t.Prompts.ExpectMessage(TMsgAnswer::No); };
    const auto cancel = [](MenuKeyTest& t) { t.Prompts.ExpectExec([](QDialog&) { return DialogCancel; }); };
    const auto holdRent = [](MenuKeyTest& t) {
        t.Main->CopySubtree(t.Model(), t.Attribute("Rent"));
        t.Form->UpdateControls();  // Paste is enabled now
    };
    const std::vector<TCase> cases{
        {"Model, tree, Ctrl+C: subtree held", TModelPage::Model, "tree", "Rent", Ctrl(Qt::Key_C), {},
         [](MenuKeyTest& t) {
             ASSERT_NE(t.Main->SubtreeClipboard(), nullptr);
             EXPECT_EQ(t.Main->SubtreeClipboard()->GetName(), "Rent");
             EXPECT_EQ(t.Clipboard.Text, "Rent");
         }},
        {"Model, tree, Ctrl+Ins: input added", TModelPage::Model, "tree", "Rent", Ctrl(Qt::Key_Insert), {},
         [](MenuKeyTest& t) { EXPECT_EQ(t.Attribute("Rent")->InpCount(), 1); }},
        {"Model, tree, Ctrl+Del: delete question", TModelPage::Model, "tree", "Rent", Ctrl(Qt::Key_Delete), no,
         [](MenuKeyTest& t) {
             EXPECT_TRUE(t.AskedFor("Do you want to delete basic attribute \"Rent\"?"));
             EXPECT_NE(t.Attribute("Rent"), nullptr);
         }},
        {"Model, tree, Ctrl+X: held, then the cut question", TModelPage::Model, "tree", "Rent", Ctrl(Qt::Key_X), no,
         [](MenuKeyTest& t) {
             EXPECT_TRUE(t.AskedFor("Cutting this subtree will delete the function"));
             ASSERT_NE(t.Main->SubtreeClipboard(), nullptr);
             EXPECT_NE(t.Attribute("Rent"), nullptr);
         }},
        {"Model, tree, Ctrl+V: subtree pasted", TModelPage::Model, "tree", "Rent", Ctrl(Qt::Key_V), holdRent,
         [](MenuKeyTest& t) { EXPECT_EQ(t.Attribute("Rent")->InpCount(), 1); }},
        {"Model, tree, Ctrl+2: duplicated", TModelPage::Model, "tree", "Cost", Ctrl(Qt::Key_2), {},
         [](MenuKeyTest& t) { EXPECT_EQ(t.Model().Root()->InpCount(), 2); }},
        {"Model, tree, Ctrl+Down: moved down", TModelPage::Model, "tree", "Rent", Ctrl(Qt::Key_Down), {},
         [](MenuKeyTest& t) { EXPECT_EQ(t.Attribute("Cost")->InputIndex(t.Attribute("Rent")), 1); }},
        {"Model, tree, Ctrl+Up: moved up", TModelPage::Model, "tree", "Nebenkosten", Ctrl(Qt::Key_Up), {},
         [](MenuKeyTest& t) { EXPECT_EQ(t.Attribute("Cost")->InputIndex(t.Attribute("Nebenkosten")), 0); }},
        {"Model, tree, Ctrl+Z: scale editor", TModelPage::Model, "tree", "Rent", Ctrl(Qt::Key_Z), cancel,
         [](MenuKeyTest& t) { EXPECT_TRUE(t.AskedFor("ScaleEditor")); }},
        {"Model, tree, Ctrl+F: rule editor", TModelPage::Model, "tree", "Cost", Ctrl(Qt::Key_F), cancel,
         [](MenuKeyTest& t) { EXPECT_TRUE(t.AskedFor("RuleEditor")); }},
        {"Model, name box, Ctrl+C: text copied, no subtree", TModelPage::Model, "name", "Rent", Ctrl(Qt::Key_C),
         [](MenuKeyTest& t) { t.Tree().AtrNameEdit()->selectAll(); },
         [](MenuKeyTest& t) {
             EXPECT_EQ(QGuiApplication::clipboard()->text(), "Rent");
             EXPECT_EQ(t.Main->SubtreeClipboard(), nullptr);
         }},
        {"Model, name box, Ctrl+Z: the edit's undo, no scale editor", TModelPage::Model, "name", "Rent",
         Ctrl(Qt::Key_Z), {}, [](MenuKeyTest& t) { EXPECT_TRUE(t.Asked().empty()); }},
        {"Model, name box, Ctrl+V: text pasted, no subtree pasted", TModelPage::Model, "name", "Rent",
         Ctrl(Qt::Key_V),
         [holdRent](MenuKeyTest& t) {
             holdRent(t);
             QGuiApplication::clipboard()->setText(QStringLiteral("X"));
             t.Tree().AtrNameEdit()->setCursorPosition(4);
         },
         [](MenuKeyTest& t) {
             EXPECT_EQ(t.Tree().AtrNameEdit()->text(), "RentX");
             EXPECT_EQ(t.Attribute("RentX")->InpCount(), 0);
         }},
        {"Model, name box, Ctrl+Del: the next word deleted, no question", TModelPage::Model, "name", "Rent",
         Ctrl(Qt::Key_Delete), [](MenuKeyTest& t) { t.Tree().AtrNameEdit()->setCursorPosition(2); },
         [](MenuKeyTest& t) {
             EXPECT_TRUE(t.Asked().empty());
             EXPECT_EQ(t.Tree().AtrNameEdit()->text(), "Re");
             EXPECT_NE(t.Attribute("Re"), nullptr);
         }},
        {"Model, description box, Ctrl+Del: the next word deleted, no question", TModelPage::Model, "description",
         "Rent", Ctrl(Qt::Key_Delete),
         [](MenuKeyTest& t) {
             t.Tree().AtrDescEdit()->setText(QStringLiteral("monthly rent"));
             t.Tree().AtrDescEdit()->setCursorPosition(0);
         },
         [](MenuKeyTest& t) {
             EXPECT_TRUE(t.Asked().empty());
             EXPECT_EQ(t.Tree().AtrDescEdit()->text(), "rent");
             EXPECT_NE(t.Attribute("Rent"), nullptr);
         }},
        {"Options, grid, Ctrl+Del: delete question", TModelPage::Options, "grid", "Rent", Ctrl(Qt::Key_Delete), no,
         [](MenuKeyTest& t) { EXPECT_TRUE(t.AskedFor("Do you want to delete option")); }},
        {"Options, grid, Ctrl+Ins: option added", TModelPage::Options, "grid", "Rent", Ctrl(Qt::Key_Insert), {},
         [](MenuKeyTest& t) { EXPECT_EQ(t.Model().OptionName(0), "New"); }},
        {"Options, grid, Ctrl+C: option held", TModelPage::Options, "grid", "Rent", Ctrl(Qt::Key_C), {},
         [](MenuKeyTest& t) { EXPECT_TRUE(t.Main->OptionClipboardHeld()); }},
        {"Options, grid, Ctrl+X: held, then the delete question", TModelPage::Options, "grid", "Rent",
         Ctrl(Qt::Key_X), no,
         [](MenuKeyTest& t) {
             EXPECT_TRUE(t.Main->OptionClipboardHeld());
             EXPECT_TRUE(t.AskedFor("Do you want to delete option"));
         }},
        {"Options, grid, Ctrl+V: option pasted", TModelPage::Options, "grid", "Rent", Ctrl(Qt::Key_V),
         [](MenuKeyTest& t) {
             t.Main->CopyOptionColumn(1, t.Model(), t.Form->State().BasicAttrs());
             t.Form->UpdateControls();
         },
         [](MenuKeyTest& t) { EXPECT_EQ(t.Model().OptionName(0), t.Model().OptionName(2)); }},
        {"Options, option name, Ctrl+Del: the next word deleted, no question", TModelPage::Options, "option name",
         "Rent", Ctrl(Qt::Key_Delete),
         [](MenuKeyTest& t) {
             t.Options().SetCurrentCell(1, 1);
             t.Options().OptNameEdit->setCursorPosition(0);
         },
         [](MenuKeyTest& t) {
             EXPECT_TRUE(t.Asked().empty());
             EXPECT_EQ(t.Model().OptionCount(), 4);
             EXPECT_EQ(t.Model().OptionName(0), "Süd");
         }},
        {"Options, option name, Ctrl+C: text copied, no option held", TModelPage::Options, "option name", "Rent",
         Ctrl(Qt::Key_C),
         [](MenuKeyTest& t) {
             t.Options().SetCurrentCell(1, 1);
             t.Options().OptNameEdit->selectAll();
         },
         [](MenuKeyTest& t) {
             EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), t.Model().OptionName(0));
             EXPECT_FALSE(t.Main->OptionClipboardHeld());
         }},
    };
    for (const TCase& c : cases) Run(c);
}

}  // namespace
}  // namespace mivo::test
