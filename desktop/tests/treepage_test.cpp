// The Model page: every tree command with Yes and No, the drops, the table
// sizes, the depth limit and the mended faults. After every command the
// tree equals the model's pre-order and the window's attribute lists hold
// only attributes of the tree.
#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "model/MivoAttribute.h"
#include "model/MivoFile.h"
#include "model/MivoFunction.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "model/TreeEdit.h"

#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QDropEvent>
#include <QMimeData>
#include <QSplitter>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "desktop/EvalPage.h"
#include "desktop/FindForm.h"
#include "desktop/NodeImages.h"
#include "desktop/ScaleForm.h"
#include "desktop/TreeFill.h"
#include "desktop/TreePage.h"
#include "desktop/tests/ShellFixture.h"

namespace mivo {
namespace {

using test::ShellTest;

std::vector<std::string> Snapshot(TMivoModel& model) {
    const bool modified = model.Modified;
    std::vector<std::string> lines;
    SaveToStrings(model, lines);
    model.Modified = modified;
    return lines;
}

std::unique_ptr<TMivoDiscreteScale> NamedScale(int size) {
    auto scale = std::make_unique<TMivoDiscreteScale>();
    for (int v = 0; v < size; ++v) scale->AddValue("v" + std::to_string(v));
    scale->DefaultBounds();
    return scale;
}

class TreePageTest : public ShellTest {
public:
    void SetUp() override {
        ShellTest::SetUp();
        Open(MIVO_TEST_DATA "/model/three-levels.mvo");
    }

    void Open(const std::string& path) {
        form = Main->OpenModelWindow(path);
        page = &dynamic_cast<TTreePage&>(form->Page(TModelPage::Model));
    }
    TMivoModel& Model() { return form->Model(); }
    TMainForm& MainForm() { return *Main; }
    TMivoAttribute* A(const std::string& name) { return Model().FindByName(name); }
    void Select(const std::string& name) {
        page->SelectNode(A(name));
        form->UpdateControls();
    }

    // The tree is the model's pre-order (texts, bound attributes, order),
    // the node map finds every node, and the lists hold only attributes of
    // the tree (compared by address, never dereferenced).
    void ExpectInStep(const std::string& what) {
        const std::vector<TMivoAttribute*> attributes = Model().Attributes();
        std::vector<QTreeWidgetItem*> nodes;
        for (QTreeWidgetItemIterator it(form->ModTreeView()); *it; ++it) nodes.push_back(*it);
        ASSERT_EQ(nodes.size(), attributes.size()) << what;
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            EXPECT_EQ(NodeAttribute(nodes[i]), attributes[i]) << what << " " << i;
            EXPECT_EQ(nodes[i]->text(0).toStdString(), attributes[i]->GetName()) << what << " " << i;
            EXPECT_EQ(page->NodeOf(attributes[i]), nodes[i]) << what << " " << i;
            const TMivoAttribute* parent = NodeAttribute(nodes[i]->parent());
            EXPECT_EQ(parent ? parent : Model().Root(), attributes[i]->Parent()) << what << " " << i;
        }
        const std::set<const TMivoAttribute*> tree(attributes.begin(), attributes.end());
        for (const auto* list : {&form->State().BasicAttrs(), &form->State().AllAttrs(), &form->State().ChartAttrs()})
            for (const TMivoAttribute* a : *list) EXPECT_TRUE(tree.count(a)) << what;
        if (const TMivoAttribute* current = form->CurrentObject()) {
            EXPECT_TRUE(tree.count(current)) << what;
        }
        EXPECT_EQ(form->State().AllAttrs().size(), attributes.size()) << what;
    }

    TModelForm* form = nullptr;
    TTreePage* page = nullptr;
};

// --- every command with Yes and No -----------------------------------------------

struct TCommandCase {
    const char* what;
    const char* current;
    std::function<void(TTreePage&)> run;
    std::function<void(TreePageTest&)> prepare;  // before the command (optional)
    std::function<void(TreePageTest&)> afterYes;
};

TEST_F(TreePageTest, EveryQuestionedCommandWithYesAndNo) {
    const std::vector<TCommandCase> cases = {
        {"add under a table", "Cost", [](TTreePage& p) { p.ModAddBtnClick(); }, nullptr,
         [](TreePageTest& t) {
             EXPECT_EQ(t.A("Cost")->InpCount(), 3);
             EXPECT_EQ(t.A("Cost")->Funct(), nullptr);
             EXPECT_EQ(t.A("Cost")->Inputs(2)->GetName(), SNewAttribute);
             EXPECT_EQ(t.form->CurrentObject(), t.A("Cost")->Inputs(2));
         }},
        {"delete a basic attribute", "Price", [](TTreePage& p) { p.ModDelBtnClick(); }, nullptr,
         [](TreePageTest& t) {
             EXPECT_EQ(t.A("Price"), nullptr);
             EXPECT_EQ(t.A("Cost")->Funct(), nullptr);
             EXPECT_EQ(t.form->CurrentObject(), t.A("Cost"));
         }},
        {"delete a subtree", "Cost", [](TTreePage& p) { p.ModDelBtnClick(); }, nullptr,
         [](TreePageTest& t) {
             EXPECT_TRUE(t.A("Cost")->IsBasic());
             EXPECT_EQ(t.A("Cost")->Funct(), nullptr);
             EXPECT_EQ(t.A("Upkeep"), nullptr);
         }},
        {"cut", "Upkeep", [](TTreePage& p) { p.ModCutBtnClick(); }, nullptr,
         [](TreePageTest& t) {
             EXPECT_EQ(t.A("Upkeep"), nullptr);
             ASSERT_NE(t.MainForm().SubtreeClipboard(), nullptr);
             EXPECT_EQ(t.MainForm().SubtreeClipboard()->GetName(), "Upkeep");
         }},
        {"paste under a table", "Cost", [](TTreePage& p) { p.ModPasteBtnClick(); },
         [](TreePageTest& t) { t.MainForm().CopySubtree(t.Model(), t.A("Safety")); },
         [](TreePageTest& t) {
             EXPECT_EQ(t.A("Cost")->InpCount(), 3);
             EXPECT_EQ(t.A("Cost")->Funct(), nullptr);
             EXPECT_EQ(t.form->CurrentObject(), t.A("Cost")->Inputs(2));
             EXPECT_NE(t.MainForm().SubtreeClipboard(), nullptr);  // kept for another paste
         }},
        {"drop onto another table", "Safety", [](TTreePage& p) { p.DropCurrentOn(p.Form().Model().FindByName("Cost")); },
         nullptr,
         [](TreePageTest& t) {
             EXPECT_EQ(t.A("Safety")->Parent(), t.A("Cost"));
             EXPECT_EQ(t.A("Cost")->Funct(), nullptr);
             EXPECT_EQ(t.A("Car")->Funct(), nullptr);
         }},
        {"no scale", "Upkeep",
         [](TTreePage& p) { p.AtrScaleEditChange(0); }, nullptr,
         [](TreePageTest& t) {
             EXPECT_EQ(t.A("Upkeep")->Scale(), nullptr);
             EXPECT_EQ(t.A("Upkeep")->ValueCount(), 0);
             EXPECT_EQ(t.A("Cost")->Funct(), nullptr);
         }},
        {"delete scale", "Cost", [](TTreePage& p) { p.ModDelScaleItemClick(); }, nullptr,
         [](TreePageTest& t) {
             EXPECT_EQ(t.A("Cost")->Scale(), nullptr);
             EXPECT_EQ(t.A("Cost")->Funct(), nullptr);
             EXPECT_EQ(t.A("Car")->Funct(), nullptr);
         }},
    };
    for (const TCommandCase& c : cases) {
        for (const bool yes : {false, true}) {
            Open(MIVO_TEST_DATA "/model/three-levels.mvo");
            // Every attribute charted: the chart list must lose what goes.
            form->State().SetChartAttrs(Model().Attributes());
            if (c.prepare) c.prepare(*this);
            Select(c.current);
            const auto before = Snapshot(Model());
            Prompts.ClearLog();
            Prompts.ExpectMessage(yes ? TMsgAnswer::Yes : TMsgAnswer::No);
            c.run(*page);
            const std::string what = std::string(c.what) + (yes ? " (Yes)" : " (No)");
            ASSERT_EQ(Prompts.Log().size(), 1u) << what;
            EXPECT_EQ(Prompts.Log()[0].MsgKind, TMsgKind::Confirmation) << what;
            ExpectInStep(what);
            if (yes) {
                c.afterYes(*this);
                EXPECT_TRUE(Model().Modified) << what;
            } else {
                EXPECT_EQ(Snapshot(Model()), before) << what;
            }
        }
    }
    // The texts name the tables that go.
    Open(MIVO_TEST_DATA "/model/three-levels.mvo");
    Select("Price");
    Prompts.ClearLog();
    Prompts.ExpectMessage(TMsgAnswer::No);
    page->ModDelBtnClick();
    EXPECT_EQ(Prompts.Messages()[0],
              "Do you want to delete basic attribute \"Price\"?\rThis will also delete the utility function of "
              "attribute \"Cost\".");
    Select("Safety");
    Prompts.ExpectMessage(TMsgAnswer::No);
    page->DropCurrentOn(A("Cost"));
    EXPECT_EQ(Prompts.Messages()[1],
              "Moving this subtree will delete the functions \"Cost\" and \"Car\".\rDo you still want to move the "
              "subtree?");
}

TEST_F(TreePageTest, CommandsWithoutQuestions) {
    const std::vector<TCommandCase> cases = {
        {"add to a basic attribute", "Price", [](TTreePage& p) { p.ModAddBtnClick(); }, nullptr,
         [](TreePageTest& t) { EXPECT_EQ(t.A("Price")->InpCount(), 1); }},
        {"copy", "Cost", [](TTreePage& p) { p.ModCopyBtnClick(); }, nullptr,
         [](TreePageTest& t) { EXPECT_EQ(t.MainForm().SubtreeClipboard()->GetName(), "Cost"); }},
        {"duplicate", "Cost", [](TTreePage& p) { p.ModDupBtnClick(); }, nullptr,
         [](TreePageTest& t) {
             EXPECT_EQ(t.Model().Root()->InpCount(), 2);
             EXPECT_EQ(t.Model().Root()->Inputs(1)->GetName(), "Cost");
             EXPECT_NE(t.Model().Root()->Inputs(1)->Funct(), nullptr);
         }},
        {"move up", "Safety", [](TTreePage& p) { p.ModUpBtnClick(); }, nullptr,
         [](TreePageTest& t) {
             EXPECT_EQ(t.A("Car")->Inputs(0), t.A("Safety"));
             EXPECT_EQ(t.A("Car")->Funct()->Rules().Get(0), "0000+");  // Safety no, Cost high
             EXPECT_TRUE(t.page->NodeOf(t.A("Cost"))->isExpanded());
         }},
        {"move down", "Price", [](TTreePage& p) { p.ModDnBtnClick(); }, nullptr,
         [](TreePageTest& t) { EXPECT_EQ(t.A("Cost")->Inputs(1), t.A("Price")); }},
        {"move the first up: nothing", "Price", [](TTreePage& p) { p.ModUpBtnClick(); }, nullptr,
         [](TreePageTest& t) { EXPECT_EQ(t.A("Cost")->Inputs(0), t.A("Price")); }},
        {"delete function", "Car", [](TTreePage& p) { p.ModDelFncItemClick(); }, nullptr,
         [](TreePageTest& t) { EXPECT_EQ(t.A("Car")->Funct(), nullptr); }},
        {"drop on empty space, no table on the way", "Price", [](TTreePage& p) { p.DropCurrentOn(nullptr); },
         [](TreePageTest& t) { t.A("Cost")->SetFunct(nullptr); },
         [](TreePageTest& t) { EXPECT_EQ(t.Model().Root()->Inputs(1), t.A("Price")); }},
    };
    for (const TCommandCase& c : cases) {
        Open(MIVO_TEST_DATA "/model/three-levels.mvo");
        if (c.prepare) c.prepare(*this);
        Select(c.current);
        Prompts.ClearLog();
        c.run(*page);
        EXPECT_TRUE(Prompts.Log().empty()) << c.what;
        ExpectInStep(c.what);
        c.afterYes(*this);
    }
}

TEST_F(TreePageTest, DropsAreCheckedAtDragOverAndAtDrop) {
    // Solo over Only (equal scales), Pair over Left and Right.
    TMivoAttribute* root = Model().Root();
    TMivoAttribute* solo = root->AddInput(std::make_unique<TMivoAttribute>("Solo"));
    solo->SetScale(NamedScale(3));
    TMivoAttribute* only = solo->AddInput(std::make_unique<TMivoAttribute>("Only"));
    only->SetScale(NamedScale(3));
    ASSERT_NE(solo->CreateFunction(), nullptr);
    form->State().StructureChanged();
    form->FillTree();
    page->ModelReplaced();

    const struct {
        const char* dragged;
        const char* target;  // nullptr: empty space
        TDropCheck check;
    } checks[] = {
        {"Car", "Price", TDropCheck::OntoItself},  // a descendant
        {"Cost", "Cost", TDropCheck::OntoItself},
        {"Price", "Cost", TDropCheck::OwnParent},  // two inputs
        {"Only", "Solo", TDropCheck::Accepted},    // one input, equal scales
        {"Safety", nullptr, TDropCheck::Accepted},
        {"Safety", "Price", TDropCheck::Accepted},
    };
    for (const auto& c : checks)
        EXPECT_EQ(CheckDrop(root, A(c.dragged), c.target ? A(c.target) : nullptr), c.check)
            << c.dragged << " on " << (c.target ? c.target : "empty space");

    // Refused at drop too: nothing asked, nothing freed.
    const auto before = Snapshot(Model());
    Select("Car");
    page->DropCurrentOn(A("Price"));
    Select("Price");
    page->DropCurrentOn(A("Cost"));
    EXPECT_EQ(Snapshot(Model()), before);
    EXPECT_NE(A("Cost")->Funct(), nullptr);

    // Unequal scales: refused.
    only->SetScale(NamedScale(2));
    EXPECT_EQ(CheckDrop(root, only, solo), TDropCheck::OwnParent);
    only->SetScale(NamedScale(3));

    // The merge: Only takes Solo's place; the question names the table once.
    Select("Only");
    Prompts.ExpectMessage(TMsgAnswer::Yes);
    page->DropCurrentOn(A("Solo"));
    EXPECT_EQ(Prompts.Messages().back(),
              "Moving this subtree will delete the function \"Solo\".\rDo you still want to move the subtree?");
    EXPECT_EQ(A("Solo"), nullptr);
    EXPECT_EQ(root->Inputs(1)->GetName(), "Only");
    EXPECT_EQ(form->CurrentObject(), root->Inputs(1));
    ExpectInStep("merge");

    // A drag from another widget (or window) is refused at drag-over, and
    // its drop changes nothing.
    QTreeWidget* tree = form->ModTreeView();
    QMimeData data;
    data.setText("Price");
    const QPoint at = tree->visualItemRect(page->NodeOf(A("Cost"))).center();
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tree->viewport(), &move);
    EXPECT_FALSE(move.isAccepted());
    const auto outside = Snapshot(Model());
    QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tree->viewport(), &drop);
    EXPECT_EQ(Snapshot(Model()), outside);
    ExpectInStep("outside drop");
}

TEST_F(TreePageTest, TheOnlyTopAttributeCannotBeCut) {
    Select("Car");
    EXPECT_FALSE(form->Commands().Enabled(TCommandId::ModCut));
    const auto before = Snapshot(Model());
    page->ModCutBtnClick();
    EXPECT_EQ(Snapshot(Model()), before);
    EXPECT_EQ(Main->SubtreeClipboard(), nullptr);
    ExpectInStep("cut the only top attribute");
}

TEST_F(TreePageTest, NewTablesOf200And1000And1001Rules) {
    // An aggregate over two inputs whose sizes give the rule count.
    const struct {
        int a, b;
        int messages;  // 0 silent, 1 warning then the editor, 2 refused
    } cases[] = {{10, 20, 0}, {20, 50, 1}, {7, 143, 2}};
    for (const auto& c : cases) {
        Open(MIVO_TEST_DATA "/model/three-levels.mvo");
        TMivoAttribute* top = Model().Root()->AddInput(std::make_unique<TMivoAttribute>("Big"));
        top->SetScale(NamedScale(3));
        top->AddInput(std::make_unique<TMivoAttribute>("A"))->SetScale(NamedScale(c.a));
        top->AddInput(std::make_unique<TMivoAttribute>("B"))->SetScale(NamedScale(c.b));
        form->State().StructureChanged();
        form->FillTree();
        page->ModelReplaced();
        Select("Big");
        Prompts.ClearLog();
        if (c.messages == 1) Prompts.ExpectMessage(TMsgAnswer::Yes);
        if (c.messages == 2) Prompts.ExpectMessage(TMsgAnswer::Ok);
        // The editor: OK for the large table, Cancel for the others.
        if (c.messages < 2) Prompts.ExpectExec([&](QDialog&) { return c.messages == 1 ? 1 : 2; });
        page->ModFncBtnClick();
        const int rules = c.a * c.b;
        if (c.messages == 0) {
            EXPECT_TRUE(Prompts.Messages().empty()) << rules;
            EXPECT_EQ(top->Funct(), nullptr) << "Cancel leaves the attribute without the new table";
        } else if (c.messages == 1) {
            EXPECT_EQ(Prompts.Log()[0].MsgKind, TMsgKind::Warning);
            EXPECT_EQ(Prompts.Messages()[0], Format(SLargeTable, rules, "Big"));
            ASSERT_NE(top->Funct(), nullptr);
            EXPECT_EQ(top->Funct()->RuleCount(), 1000);
        } else {
            EXPECT_EQ(Prompts.Log()[0].MsgKind, TMsgKind::Error);
            EXPECT_EQ(Prompts.Messages()[0], Format(STooLargeTable, rules, "Big"));
            EXPECT_EQ(top->Funct(), nullptr);
        }
        ExpectInStep("table of " + std::to_string(rules));
    }
}

TEST_F(TreePageTest, TheDepthLimitAndOneBeyond) {
    // A chain at the deepest level every copy of a model reads back.
    test::TScratchDir scratch;
    const std::string path = scratch.File("deep.mvo");
    {
        TMivoModel deep;
        TMivoAttribute* at = deep.Root();
        for (int level = 1; level <= MaxAttributeLevel; ++level) {
            at = at->AddInput(std::make_unique<TMivoAttribute>("L" + std::to_string(level)));
            at->SetScale(NamedScale(2));
        }
        SaveToFile(deep, path);
    }
    Open(path);
    ExpectInStep("deep model");
    const std::string deepest = "L" + std::to_string(MaxAttributeLevel);
    Select(deepest);
    const auto before = Snapshot(Model());
    Prompts.ExpectMessage(TMsgAnswer::Ok);
    page->ModAddBtnClick();  // one beyond
    EXPECT_EQ(Prompts.Messages().back(), Format(STreeTooDeep, MaxAttributeLevel + 1, MaxAttributeLevel));
    EXPECT_EQ(Snapshot(Model()), before);

    // Paste and drop below the deepest are refused as well.
    Main->CopySubtree(Model(), A(deepest));
    Prompts.ExpectMessage(TMsgAnswer::Ok);
    page->ModPasteBtnClick();
    EXPECT_EQ(Snapshot(Model()), before);
    Select("L2");
    EXPECT_EQ(CheckDrop(Model().Root(), A("L2"), A(deepest)), TDropCheck::OntoItself);
    // Add at the level above the deepest reaches it exactly.
    Select("L" + std::to_string(MaxAttributeLevel - 1));
    page->ModAddBtnClick();
    EXPECT_EQ(form->CurrentObject()->Level(), MaxAttributeLevel);
    ExpectInStep("deep add");

    // The deepest model saves and reopens.
    const std::string saved = scratch.File("deep-saved.mvo");
    SaveToFile(Model(), saved);
    TMivoModel back;
    EXPECT_NO_THROW(LoadFromFile(back, saved));
    Model().Modified = false;
}

TEST_F(TreePageTest, ScaleChoiceClipsValuesAndAsksBeforeTablesGo) {
    // A free attribute with a scale of three values and option values.
    TMivoAttribute* free = Model().Root()->AddInput(std::make_unique<TMivoAttribute>("Free"));
    free->SetScale(NamedScale(3));
    free->SetValues(TValueStrings{"2", "12", "0", "*"});
    form->State().StructureChanged();
    form->FillTree();
    page->ModelReplaced();
    Select("Free");
    // Choose Safety's scale (two values).
    QComboBox* box = page->AtrScaleEdit();
    int two = -1;
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i).startsWith("+ no")) two = i;
    ASSERT_GE(two, 0);
    page->AtrScaleEditChange(two);
    EXPECT_EQ(free->ScaleSize(), 2);
    EXPECT_EQ(free->Values().ToVector(), (std::vector<std::string>{"", "1", "0", "*"}));
    ExpectInStep("scale choice");

    // While a table depends on the scale only scales of its structure are offered.
    Select("Upkeep");
    for (int i = 1; i < box->count(); ++i) EXPECT_TRUE(box->itemText(i).startsWith("+ ")) << i;
    Select("Price");
    for (int i = 1; i < box->count(); ++i) EXPECT_EQ(box->itemText(i).count(';'), 2) << box->itemText(i).toStdString();
}

TEST_F(TreePageTest, TheDefaultScaleGoesWithItsScale) {
    Model().SetSelected(A("Price")->Scale());
    Select("Price");
    Prompts.ExpectMessage(TMsgAnswer::Yes);
    page->ModDelScaleItemClick();
    EXPECT_EQ(Model().Selected(), nullptr);
    Select("Upkeep");
    page->ModAddBtnClick();  // no default scale for the new attribute
    EXPECT_EQ(form->CurrentObject()->Scale(), nullptr);
    // Deleting the attribute whose scale is the default clears it too.
    Model().SetSelected(A("Safety")->Scale());
    Select("Safety");
    Prompts.ExpectMessage(TMsgAnswer::Yes);
    page->ModDelBtnClick();
    EXPECT_EQ(Model().Selected(), nullptr);
    ExpectInStep("default scale");
}

TEST_F(TreePageTest, PastedSubtreeKeepsOnlyValuesOfTheseOptions) {
    // A model with four options gives a subtree to one with two.
    Main->CopySubtree(Model(), A("Cost"));
    TModelForm* first = form;
    Open({});
    TMivoModel& small = Model();
    small.AddOption("One");
    small.AddOption("Two");
    Select(small.FirstAttributeName());
    page->ModPasteBtnClick();
    for (const TMivoAttribute* a : small.Attributes()) EXPECT_LE(a->ValueCount(), 2) << a->GetName();
    ExpectInStep("paste from a bigger model");
    first->Model().Modified = false;
}

TEST_F(TreePageTest, WithoutACurrentAttributeTheEditsAreOff) {
    page->SelectNode(nullptr);
    form->UpdateControls();
    EXPECT_FALSE(page->AtrNameEdit()->isEnabled());
    EXPECT_FALSE(page->AtrDescEdit()->isEnabled());
    const auto before = Snapshot(Model());
    page->AtrNameEditChange("lost");
    page->ModScaleBtnClick();  // nothing asked
    EXPECT_EQ(Snapshot(Model()), before);

    // Breaks in names become blanks, in the model and the node.
    Select("Price");
    page->AtrNameEditChange("list\tprice\r\n");
    EXPECT_EQ(A("list price  ")->GetName(), "list price  ");
    EXPECT_EQ(page->NodeOf(A("list price  "))->text(0), "list price  ");
    page->AtrDescEditChange("what the dealer asks");
    EXPECT_EQ(A("list price  ")->GetDescription(), "what the dealer asks");
    ExpectInStep("rename");
}

TEST_F(TreePageTest, TheBoxesShowUndefinedAndTheStartOfALongText) {
    Main->show();
    form->showMaximized();
    A("Cost")->SetFunct(nullptr);
    Select("Cost");
    EXPECT_TRUE(page->FncBox()->isVisibleTo(form));
    EXPECT_EQ(page->AtrFncEdit()->text(), "<undefined>");
    // The status of Car's table is longer than the box: its start shows.
    Select("Car");
    QLineEdit* box = page->AtrFncEdit();
    box->setFixedWidth(60);
    ASSERT_GT(box->fontMetrics().horizontalAdvance(box->text()), 60);
    EXPECT_EQ(box->text().toStdString(), A("Car")->Funct()->StatusText());
    EXPECT_EQ(box->cursorPosition(), 0);
    // The editable boxes show the start of a long name and description
    // too, and keep the cursor where typing left it.
    const std::string longName = "Přesná ocenění façade déjà Größe naïve Ångström jalapeño smörgåsbord";
    A("Price")->SetName(longName);
    A(longName)->SetDescription("Стоимость ремонта жилого помещения\r\nна окраине города");
    page->AtrNameEdit()->setFixedWidth(60);
    page->AtrDescEdit()->setFixedWidth(60);
    Select(longName);
    for (QLineEdit* edit : {page->AtrNameEdit(), page->AtrDescEdit()}) {
        ASSERT_GT(edit->fontMetrics().horizontalAdvance(edit->text()), 60);
        EXPECT_EQ(edit->cursorPosition(), 0) << edit->objectName().toStdString();
    }
    EXPECT_FALSE(page->AtrNameEdit()->isReadOnly());
    page->AtrNameEdit()->setFocus();
    page->AtrNameEdit()->end(false);
    QTest::keyClicks(page->AtrNameEdit(), "x");
    EXPECT_EQ(A(longName + "x")->GetName(), longName + "x");
    EXPECT_EQ(page->AtrNameEdit()->cursorPosition(), page->AtrNameEdit()->text().size());
    Model().Modified = false;
}

TEST_F(TreePageTest, TheSplitterKeepsTheAttributePanelWiderThan200Pixels) {
    Main->show();
    form->showMaximized();
    QCoreApplication::processEvents();
    QSplitter* splitter = page->ModSplitter();
    ASSERT_NE(splitter, nullptr);
    ASSERT_GT(splitter->width(), 2 * MinAttributePanelWidth);
    // A drag that widens the tree as far as it goes stops at the panel's
    // minimum; narrowing goes on to the tree's own minimum.
    splitter->setSizes({splitter->width(), 0});
    QCoreApplication::processEvents();
    const QList<int> sizes = splitter->sizes();
    EXPECT_GT(sizes[1], 200);
    EXPECT_EQ(splitter->width() - sizes[0] - splitter->handleWidth(), sizes[1]);
    EXPECT_FALSE(splitter->childrenCollapsible());
    splitter->setSizes({0, splitter->width()});
    EXPECT_GT(splitter->sizes()[1], splitter->width() / 2);
    Model().Modified = false;
}

TEST_F(TreePageTest, ScaleEditorRoundTripThroughThePage) {
    Select("Cost");
    Prompts.ExpectExec([](QDialog& dialog) {
        auto& editor = dynamic_cast<TScaleForm&>(dialog);
        editor.ValueList()->setCurrentItem(editor.ValueList()->topLevelItem(2));
        editor.SclDelBtnClick();
        editor.accept();
        return editor.result();
    });
    page->ModScaleBtnClick();
    EXPECT_EQ(A("Cost")->ScaleSize(), 2);
    EXPECT_EQ(A("Car")->Funct()->RuleCount(), 4);
    EXPECT_TRUE(form->State().ModelUndo().CanUndo());
    // Cancel: nothing changes.
    const auto before = Snapshot(Model());
    Prompts.ExpectExec([](QDialog& dialog) {
        auto& editor = dynamic_cast<TScaleForm&>(dialog);
        editor.SclAddBtnClick();
        editor.reject();
        return 2;
    });
    page->ModScaleBtnClick();
    EXPECT_EQ(Snapshot(Model()), before);
}

TEST_F(TreePageTest, ShrinkAndExpandOneLevel) {
    // Car (0) > Cost (1) > Price, Upkeep (2); all open.
    EXPECT_EQ(page->TreeDepths().Open, 2);
    EXPECT_EQ(page->TreeDepths().Collapsed, -1);
    page->CollapseClick();
    EXPECT_FALSE(page->NodeOf(A("Cost"))->isExpanded());
    EXPECT_TRUE(page->NodeOf(A("Car"))->isExpanded());
    EXPECT_EQ(page->TreeDepths().Collapsed, 1);
    page->CollapseClick();
    EXPECT_FALSE(page->NodeOf(A("Car"))->isExpanded());
    page->ExpandClick();
    EXPECT_TRUE(page->NodeOf(A("Car"))->isExpanded());
    page->ExpandClick();
    EXPECT_TRUE(page->NodeOf(A("Cost"))->isExpanded());
    EXPECT_TRUE(form->Commands().Enabled(TCommandId::ModCollapse));
    EXPECT_FALSE(form->Commands().Enabled(TCommandId::ModExpand));
}

// --- find ----------------------------------------------------------------------------------

// The find dialog answered with a text and where and how to look; Find or
// Cancel.
std::function<int(QDialog&)> FindAnswer(const std::string& text, bool names, bool scale, bool matchCase, bool ok) {
    return [=](QDialog& d) {
        auto& f = dynamic_cast<TFindForm&>(d);
        f.FindEdit->setText(QString::fromStdString(text));
        f.AttChk->setChecked(names);
        f.ScaleChk->setChecked(scale);
        f.CaseChk->setChecked(matchCase);
        (ok ? f.FindBtn : f.CancelBtn)->click();
        return f.result();
    };
}

TEST_F(TreePageTest, FindSelectsTheNextMatchingNodeInTreeOrderAndWraps) {
    // Tree order: Car, Cost, Price, Upkeep, Safety.
    Select("Safety");
    Prompts.ExpectExec(FindAnswer("P", true, false, false, false));
    page->ModFindItemClick();
    EXPECT_EQ(form->State().CurrentAttribute(), A("Safety"));
    EXPECT_FALSE(form->Commands().Enabled(TCommandId::FindNext));  // nothing stored

    // Case-blind "P": Price and Upkeep; from the last node it wraps.
    Prompts.ExpectExec(FindAnswer("P", true, false, false, true));
    page->ModFindItemClick();
    EXPECT_EQ(form->State().CurrentAttribute(), A("Price"));
    EXPECT_EQ(form->ModTreeView()->currentItem(), page->NodeOf(A("Price")));
    EXPECT_EQ(form->findChild<QLineEdit*>("AtrNameEdit")->text(), "Price");
    EXPECT_TRUE(form->Commands().Enabled(TCommandId::FindNext));
    page->ModFindNextItemClick();
    EXPECT_EQ(form->State().CurrentAttribute(), A("Upkeep"));
    page->ModFindNextItemClick();
    EXPECT_EQ(form->State().CurrentAttribute(), A("Price"));

    // Case-sensitive: Price alone, and Find next stays on it.
    Prompts.ExpectExec(FindAnswer("P", true, false, true, true));
    page->ModFindItemClick();
    EXPECT_EQ(form->State().CurrentAttribute(), A("Price"));
    page->ModFindNextItemClick();
    EXPECT_EQ(form->State().CurrentAttribute(), A("Price"));

    // The scale's value names only: "yes" is a value of Safety.
    Prompts.ExpectExec(FindAnswer("YES", false, true, false, true));
    page->ModFindItemClick();
    EXPECT_EQ(form->State().CurrentAttribute(), A("Safety"));

    // The commands sit in the page's menu with their keys.
    bool findKey = false, nextKey = false;
    for (QAction* action : page->Menu()->actions()) {
        findKey |= action->text() == "Find..." && action->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_F3);
        nextKey |= action->text() == "Find next" && action->shortcut() == QKeySequence(Qt::Key_F3);
    }
    EXPECT_TRUE(findKey);
    EXPECT_TRUE(nextKey);

    // F3 in the tree is Find next.
    Prompts.ExpectExec(FindAnswer("P", true, false, false, true));
    page->ModFindItemClick();
    ASSERT_EQ(form->State().CurrentAttribute(), A("Price"));
    Main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Main.get()));
    QApplication::setActiveWindow(Main.get());
    form->ModTreeView()->setFocus();
    QTest::keyClick(form->ModTreeView(), Qt::Key_F3);
    EXPECT_EQ(form->State().CurrentAttribute(), A("Upkeep"));
}

TEST_F(TreePageTest, NodeImagesByKind) {
    TMivoModel& m = Model();
    EXPECT_EQ(NodeImageOf(nullptr), niNone);
    EXPECT_EQ(NodeImageOf(A("Price")), niBasicWithScale);
    EXPECT_EQ(NodeImageOf(A("Car")), niUndetermined);  // one rule is an interval
    A("Cost")->Funct()->SetRuleHigh(3, 1);
    EXPECT_EQ(NodeImageOf(A("Cost")), niDetermined);
    A("Cost")->SetFunct(nullptr);
    EXPECT_EQ(NodeImageOf(A("Cost")), niCanHaveFunction);
    A("Upkeep")->SetScale(nullptr);
    EXPECT_EQ(NodeImageOf(A("Upkeep")), niBasic);
    EXPECT_EQ(NodeImageOf(A("Cost")), niCannotHaveFunction);
    m.Settings.Linking = true;
    TMivoAttribute* twin = m.Root()->AddInput(std::make_unique<TMivoAttribute>("Price"));
    auto same = std::make_unique<TMivoDiscreteScale>();
    same->Assign(A("Price")->Scale());
    twin->SetScale(std::move(same));
    m.Relink();
    EXPECT_EQ(NodeImageOf(A("Cost")->Inputs(0)), niLinked);
    EXPECT_FALSE(NodeIcon(niLinked).isNull());
    EXPECT_TRUE(NodeIcon(niNone).isNull());
    m.Modified = false;
}

}  // namespace
}  // namespace mivo
