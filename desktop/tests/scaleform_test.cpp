// The scale editor dialog: every edit works on copies, the model changes
// only when the confirmed edit is applied, and the mended faults stay
// mended (full scales, large parent tables, rules whose only result goes,
// moves, exact classes, bad names, Enter in the in-place edit, ownership).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/MivoAttribute.h"
#include "model/MivoFile.h"
#include "model/MivoFunction.h"
#include "model/MivoModel.h"
#include "model/MivoObject.h"
#include "model/MivoScale.h"
#include "model/ScaleEdit.h"
#include "model/TreeEdit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "desktop/NDEditForm.h"
#include "desktop/ScaleForm.h"
#include "platform/QtApplication.h"
#include "platform/ScriptedPrompts.h"

namespace mivo {
namespace {

std::vector<std::string> Snapshot(TMivoModel& model) {
    std::vector<std::string> lines;
    SaveToStrings(model, lines);
    return lines;
}

std::vector<std::string> RuleStrings(const TMivoFunction& f) {
    std::vector<std::string> out;
    for (int r = 0; r < f.RuleCount(); ++r) out.push_back(f.Rules().Get(r));
    return out;
}

const TMivoDiscreteScale& ScaleOf(const TMivoAttribute& a) {
    return dynamic_cast<const TMivoDiscreteScale&>(*a.Scale());
}

std::unique_ptr<TMivoDiscreteScale> NamedScale(int size) {
    auto scale = std::make_unique<TMivoDiscreteScale>();
    for (int v = 0; v < size; ++v) scale->AddValue("v" + std::to_string(v));
    scale->DefaultBounds();
    return scale;
}

class ScaleFormTest : public ::testing::Test {
protected:
    ScaleFormTest() {
        EnsureGuiApplication();
        LoadFromFile(model, MIVO_TEST_DATA "/model/three-levels.mvo");
        car = model.FindByName("Car");
        cost = model.FindByName("Cost");
        price = model.FindByName("Price");
        upkeep = model.FindByName("Upkeep");
    }
    ~ScaleFormTest() override { EXPECT_TRUE(prompts.Failures().empty()) << prompts.Failures().front(); }

    // A dialog loaded with the attribute.
    std::unique_ptr<TScaleForm> Open(TMivoAttribute& attribute) {
        auto form = std::make_unique<TScaleForm>(prompts);
        form->LoadAttribute(attribute, model.Selected());
        return form;
    }
    void Select(TScaleForm& form, int row) {
        form.ValueList()->setCurrentItem(form.ValueList()->topLevelItem(row));
    }
    // Types a row's new name: into the in-place editor when one is open (a
    // new value opens with one), else as an edit of the row that ends.
    void Rename(TScaleForm& form, int row, const std::string& name) {
        if (auto* editor = qobject_cast<QLineEdit*>(form.OpenNameEditor())) {
            ASSERT_EQ(form.CurrentValueIndex(), row);
            editor->setText(QString::fromStdString(name));
            QTest::keyClick(editor, Qt::Key_Return);
            QCoreApplication::processEvents();  // the editor commits from the event loop
        } else {
            form.ValueList()->topLevelItem(row)->setText(0, QString::fromStdString(name));
        }
        ASSERT_EQ(form.Edit()->Scale().ValueName(row), name);
    }
    // OK, then the hand-over the model window makes.
    void Confirm(TScaleForm& form) {
        form.OKBtn()->click();
        ASSERT_EQ(form.result(), QDialog::Accepted);
        form.Apply(model);
    }

    TScriptedPrompts prompts;
    TMivoModel model;
    TMivoAttribute* car;
    TMivoAttribute* cost;
    TMivoAttribute* price;
    TMivoAttribute* upkeep;
};

TEST_F(ScaleFormTest, LoadsCaptionRowsAndEnabling) {
    auto form = Open(*cost);
    EXPECT_EQ(form->windowTitle(), "Scale Cost");
    ASSERT_EQ(form->ValueList()->topLevelItemCount(), 3);
    EXPECT_EQ(form->ValueList()->topLevelItem(2)->text(0), "low");
    EXPECT_EQ(form->CurrentValueIndex(), 0);
    EXPECT_EQ(form->OrderEdit()->currentIndex(), 1);
    EXPECT_FALSE(form->StdScale()->isChecked());
    EXPECT_FALSE(form->SclUpBtn()->isEnabled());
    EXPECT_TRUE(form->SclDnBtn()->isEnabled());
    EXPECT_TRUE(form->SclDelBtn()->isEnabled());
    EXPECT_EQ(form->BadValueItem()->text(), "&Bad value");
    EXPECT_EQ(form->AddValueItem()->statusTip(), "Add a new value");
    EXPECT_EQ(form->MoveUpItem()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Up));
    EXPECT_TRUE(form->actions().contains(form->MoveUpItem()));  // shortcuts work in the dialog

    auto two = Open(*upkeep);
    EXPECT_FALSE(two->SclDelBtn()->isEnabled());  // never below two values
    Select(*two, 1);
    EXPECT_FALSE(two->SclDnBtn()->isEnabled());
    EXPECT_TRUE(two->SclUpBtn()->isEnabled());
}

TEST_F(ScaleFormTest, AddWithNoRowSelectedInsertsFirstAndShiftsEverything) {
    auto form = Open(*price);
    form->ValueList()->clearSelection();
    ASSERT_EQ(form->CurrentValueIndex(), -1);
    form->SclAddBtn()->click();
    EXPECT_EQ(form->ValueList()->topLevelItem(0)->text(0), SNewValue);
    EXPECT_EQ(form->CurrentValueIndex(), 0);
    EXPECT_EQ(price->ScaleSize(), 3);  // nothing changed before OK
    Rename(*form, 0, "very high");
    Confirm(*form);
    EXPECT_EQ(ScaleOf(*price).ValueName(0), "very high");
    EXPECT_EQ(price->Values().ToVector(), (std::vector<std::string>{"1", "2", "3", "23"}));
    EXPECT_EQ(cost->Funct()->RuleCount(), 8);
    EXPECT_EQ(cost->Funct()->Rules().Get(2), "1000+");  // the old first rule, one value up

    // The own table's results move up with the values.
    const auto before = RuleStrings(*cost->Funct());
    auto own = Open(*cost);
    own->ValueList()->clearSelection();
    own->SclAddBtn()->click();
    Rename(*own, 0, "very high");
    Confirm(*own);
    const auto after = RuleStrings(*cost->Funct());
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t r = 0; r < after.size(); ++r) {
        if (before[r].back() != '+') continue;
        EXPECT_EQ(CharValue(after[r][2]), CharValue(before[r][2]) + 1) << before[r];
        EXPECT_EQ(CharValue(after[r][3]), CharValue(before[r][3]) + 1) << before[r];
    }
    EXPECT_EQ(car->Funct()->RuleCount(), 8);
}

TEST_F(ScaleFormTest, TheScaleTakes208ValuesAndNoMore) {
    TMivoAttribute& a = *model.Root()->AddInput(std::make_unique<TMivoAttribute>("Wide"));
    a.SetScale(NamedScale(MaxScaleValues - 1));
    auto form = Open(a);
    Select(*form, MaxScaleValues - 2);
    EXPECT_TRUE(form->SclAddBtn()->isEnabled());
    form->SclAddBtn()->click();
    EXPECT_EQ(form->Edit()->Count(), MaxScaleValues);
    EXPECT_FALSE(form->SclAddBtn()->isEnabled());
    EXPECT_FALSE(form->AddValueItem()->isEnabled());
    form->SclAddBtnClick();  // as a shortcut would
    EXPECT_EQ(form->Edit()->Count(), MaxScaleValues);
    EXPECT_TRUE(prompts.Log().empty());
}

TEST_F(ScaleFormTest, TheParentTableIsCheckedAsItGrows) {
    // Parent over A (10 values) and B (20): 200 rules. Adding to A passes 200.
    TMivoAttribute& p = *model.Root()->AddInput(std::make_unique<TMivoAttribute>("P"));
    p.SetScale(NamedScale(3));
    TMivoAttribute& a = *p.AddInput(std::make_unique<TMivoAttribute>("A"));
    a.SetScale(NamedScale(10));
    TMivoAttribute& b = *p.AddInput(std::make_unique<TMivoAttribute>("B"));
    b.SetScale(NamedScale(20));
    ASSERT_NE(p.CreateFunction(), nullptr);

    auto form = Open(a);
    prompts.ExpectMessage(TMsgAnswer::No);
    form->SclAddBtn()->click();
    EXPECT_EQ(form->Edit()->Count(), 10);  // No changes nothing
    ASSERT_EQ(prompts.Log().size(), 1u);
    EXPECT_EQ(prompts.Log()[0].MsgKind, TMsgKind::Warning);
    EXPECT_EQ(prompts.Log()[0].Text, Format(SLargeTable, 220, "P"));
    prompts.ExpectMessage(TMsgAnswer::Yes);
    form->SclAddBtn()->click();
    EXPECT_EQ(form->Edit()->Count(), 11);
    form->SclAddBtn()->click();  // asked once per dialog
    EXPECT_EQ(form->Edit()->Count(), 12);
    EXPECT_EQ(form->Edit()->ParentTable()->RuleCount(), 240);
    form->reject();
    EXPECT_EQ(p.Funct()->RuleCount(), 200);

    // Beyond 1000 rules the value is refused.
    b.SetScale(NamedScale(100));
    ASSERT_NE(p.CreateFunction(), nullptr);  // 10 x 100 = 1000
    auto big = Open(a);
    prompts.ClearLog();
    prompts.ExpectMessage(TMsgAnswer::Ok);
    big->SclAddBtn()->click();
    EXPECT_EQ(big->Edit()->Count(), 10);
    ASSERT_EQ(prompts.Log().size(), 1u);
    EXPECT_EQ(prompts.Log()[0].MsgKind, TMsgKind::Error);
    EXPECT_EQ(prompts.Log()[0].Text, Format(STooLargeTable, 1100, "P"));
}

TEST_F(ScaleFormTest, DeletingARulesOnlyResultSavesAndReopens) {
    auto form = Open(*cost);
    Select(*form, 2);  // "low", the only result of Cost's rule "21"
    form->SclDelBtn()->click();
    EXPECT_EQ(form->ValueList()->topLevelItemCount(), 2);
    EXPECT_EQ(form->CurrentValueIndex(), 1);
    Confirm(*form);
    const std::string path = ::testing::TempDir() + "scaleform_delete.mvo";
    SaveToFile(model, path);
    TMivoModel back;
    ASSERT_NO_THROW(LoadFromFile(back, path));
    const TMivoFunction& table = *back.FindByName("Cost")->Funct();
    for (int r = 0; r < table.RuleCount(); ++r) EXPECT_LE(table.RuleHigh(r), 1) << table.Rules().Get(r);
    EXPECT_EQ(back.FindByName("Car")->Funct()->RuleCount(), 4);
    std::remove(path.c_str());
}

TEST_F(ScaleFormTest, MovesCarryOptionValuesAndBothTables) {
    car->Funct()->EnterRules(true);
    model.Reevaluate();
    const std::vector<std::string> carValues = car->Values().ToVector();
    const std::vector<std::string> priceNames = {"high", "medium", "low", "medium;low"};

    auto form = Open(*price);
    Select(*form, 0);
    form->SclDnBtn()->click();  // medium, high, low
    EXPECT_EQ(form->CurrentValueIndex(), 1);
    EXPECT_EQ(form->ValueList()->topLevelItem(1)->text(0), "high");
    Confirm(*form);
    auto own = Open(*cost);
    Select(*own, 2);
    own->MoveUpItem()->trigger();  // high, low, medium
    Confirm(*own);

    EXPECT_EQ(price->Values().ToVector(), (std::vector<std::string>{"1", "0", "2", "02"}));
    model.Reevaluate();
    EXPECT_EQ(car->Values().ToVector(), carValues);  // the same meaning all the way up
    const auto rules = RuleStrings(*cost->Funct());
    EXPECT_TRUE(std::is_sorted(rules.begin(), rules.end()));
}

TEST_F(ScaleFormTest, BadGoodAndNeutralGiveExactlyThatClass) {
    // Cost: high (bad), medium, low (good).
    auto form = Open(*cost);
    const auto classes = [&] {
        std::string out;
        const TMivoScale& scale = form->Edit()->Scale();
        for (int i = 0; i < scale.Count(); ++i) out += scale.IsBad(i) ? (scale.IsGood(i) ? '!' : 'b') : scale.IsGood(i) ? 'g' : 'n';
        return out;
    };
    const struct {
        int row;
        QPushButton* button;
        const char* after;
    } steps[] = {
        {2, form->SclBadBtn(), "bbb"},  // the good bound stops above "low"
        {0, form->SclGoodBtn(), "ggg"},
        {1, form->SclNeutrBtn(), "nng"},
        {1, form->SclBadBtn(), "bbg"},
    };
    for (const auto& step : steps) {
        Select(*form, step.row);
        step.button->click();
        EXPECT_EQ(classes(), step.after) << step.row;
    }
    Confirm(*form);

    TMivoModel back;
    LoadFromStrings(back, Snapshot(model));
    const TMivoScale& scale = *back.FindByName("Cost")->Scale();
    EXPECT_TRUE(scale.IsBad(0) && scale.IsBad(1) && !scale.IsGood(1));
    EXPECT_TRUE(scale.IsGood(2) && !scale.IsBad(2));

    // Classes need an order; a new order resets them.
    auto other = Open(*price);
    other->OrderEdit()->setCurrentIndex(2);
    EXPECT_TRUE(other->Edit()->Scale().IsGood(0));
    EXPECT_TRUE(other->Edit()->Scale().IsBad(2));
    other->OrderEdit()->setCurrentIndex(0);
    EXPECT_FALSE(other->SclBadBtn()->isEnabled());
    EXPECT_FALSE(other->GoodValueItem()->isEnabled());
}

TEST_F(ScaleFormTest, BadNamesAreRefusedAndTheOldNameStays) {
    const struct {
        const char* name;
        std::string message;
    } cases[] = {
        {"", SValueNameEmpty},
        {"*", SValueNameAny},
        {"a;b", Format(SValueNameSemicolon, "a;b")},
        {"low", Format(SValueNameTaken, "low")},
    };
    auto form = Open(*cost);
    QTreeWidgetItem* row = form->ValueList()->topLevelItem(0);
    for (const auto& c : cases) {
        prompts.ClearLog();
        prompts.ExpectMessage(TMsgAnswer::Ok);
        row->setText(0, c.name);  // an in-place edit that ends
        EXPECT_EQ(row->text(0), "high") << c.name;
        EXPECT_EQ(form->Edit()->Scale().ValueName(0), "high") << c.name;
        EXPECT_EQ(prompts.Messages(), std::vector<std::string>{c.message}) << c.name;
    }
    row->setText(0, "very\thigh");  // breaks become blanks
    EXPECT_EQ(form->Edit()->Scale().ValueName(0), "very high");
    EXPECT_EQ(row->text(0), "very high");

    // The same checks in the name and description dialog, which stays open.
    Select(*form, 1);
    for (const auto& c : cases) {
        prompts.ClearLog();
        prompts.ExpectExec([&](QDialog& dialog) {
            auto& edit = dynamic_cast<TNameDescEditForm&>(dialog);
            EXPECT_EQ(edit.windowTitle(), "Editing 2. attribute value Cost");
            EXPECT_EQ(edit.NameEdit()->text(), "medium");
            edit.NameEdit()->setText(c.name);
            edit.DescEdit()->setText("typed");
            edit.OKBtn()->click();
            EXPECT_EQ(edit.result(), 0) << c.name;
            return 2;
        });
        prompts.ExpectMessage(TMsgAnswer::Ok);
        form->SclEditBtn()->click();
        EXPECT_EQ(form->Edit()->Scale().ValueName(1), "medium") << c.name;
        EXPECT_EQ(prompts.Messages(), std::vector<std::string>{c.message}) << c.name;
    }
    prompts.ExpectExec([](QDialog& dialog) {
        auto& edit = dynamic_cast<TNameDescEditForm&>(dialog);
        edit.NameEdit()->setText("average");
        edit.DescEdit()->setText("neither cheap nor dear");
        edit.OKBtn()->click();
        return edit.result();
    });
    form->SclEditBtn()->click();
    EXPECT_EQ(form->ValueList()->topLevelItem(1)->text(0), "average");
    EXPECT_EQ(form->ValueList()->topLevelItem(1)->text(1), "neither cheap nor dear");

    // Two values of one name: OK is refused.
    form->SclAddBtn()->click();
    form->SclAddBtn()->click();
    prompts.ClearLog();
    prompts.ExpectMessage(TMsgAnswer::Ok);
    form->OKBtn()->click();
    EXPECT_NE(form->result(), QDialog::Accepted);
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{Format(SValueNamesRepeated, SNewValue)});
}

TEST_F(ScaleFormTest, EnterEndsTheInPlaceEditAndKeepsTheDialogOpen) {
    auto form = Open(*cost);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    Select(*form, 1);
    form->RenameValueItem()->trigger();
    auto* editor = qobject_cast<QLineEdit*>(form->OpenNameEditor());
    ASSERT_NE(editor, nullptr);
    editor->setText("average");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->result(), 0);
    EXPECT_EQ(form->Edit()->Scale().ValueName(1), "average");
    EXPECT_EQ(form->OpenNameEditor(), nullptr);

    // OK during an edit takes the typed name first.
    form->RenameValueItem()->trigger();
    editor = qobject_cast<QLineEdit*>(form->OpenNameEditor());
    ASSERT_NE(editor, nullptr);
    editor->setText("fair");
    form->OKBtn()->click();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    form->Apply(model);
    EXPECT_EQ(ScaleOf(*cost).ValueName(1), "fair");

    // A second Enter, with no edit open, closes the dialog with OK.
    auto again = Open(*cost);
    again->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(again.get()));
    QTest::keyClick(again.get(), Qt::Key_Return);
    EXPECT_EQ(again->result(), QDialog::Accepted);
}

// Every command that refills the list takes a name still being typed in
// place first, whether it comes by its key or from the menu.
TEST_F(ScaleFormTest, CommandsThatRefillTheListKeepANameTypedInPlace) {
    const std::vector<std::string> before = {ScaleOf(*cost).ValueName(0), ScaleOf(*cost).ValueName(1),
                                             ScaleOf(*cost).ValueName(2)};
    struct Case {
        const char* What;
        std::function<void(TScaleForm&, QWidget& editor)> Run;
        std::vector<std::string> Names;
    };
    const std::vector<Case> cases{
        {"Ctrl+Up", [](TScaleForm&, QWidget& editor) { QTest::keyClick(&editor, Qt::Key_Up, Qt::ControlModifier); },
         {"typed", before[0], before[2]}},
        {"Ctrl+Down",
         [](TScaleForm&, QWidget& editor) { QTest::keyClick(&editor, Qt::Key_Down, Qt::ControlModifier); },
         {before[0], before[2], "typed"}},
        {"Add", [](TScaleForm& form, QWidget&) { form.AddValueItem()->trigger(); },
         {before[0], "typed", "new value", before[2]}},
        // The current row is the last one; the name is typed into the second.
        {"Delete", [](TScaleForm& form, QWidget&) { form.DeleteValueItem()->trigger(); }, {before[0], "typed"}},
    };
    for (const Case& c : cases) {
        auto form = Open(*cost);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get())) << c.What;
        const bool otherCurrent = std::string(c.What) == "Delete";
        Select(*form, otherCurrent ? 2 : 1);
        form->ValueList()->editItem(form->ValueList()->topLevelItem(1), 0);
        auto* editor = qobject_cast<QLineEdit*>(form->OpenNameEditor());
        ASSERT_NE(editor, nullptr) << c.What;
        editor->setFocus();
        editor->setText("typed");
        c.Run(*form, *editor);
        QCoreApplication::processEvents();
        std::vector<std::string> names;
        for (int v = 0; v < form->Edit()->Count(); ++v) names.push_back(form->Edit()->Scale().ValueName(v));
        EXPECT_EQ(names, c.Names) << c.What;
        form->reject();
    }
}

TEST_F(ScaleFormTest, ANewAttributesScaleOpensWithItsValueReadyForANewName) {
    TMivoAttribute& fresh = *model.Root()->AddInput(std::make_unique<TMivoAttribute>("Fresh"));
    auto form = Open(fresh);
    ASSERT_EQ(form->Edit()->Count(), 1);
    EXPECT_FALSE(form->OKBtn()->isEnabled());  // a scale needs two values
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QCoreApplication::processEvents();
    auto* editor = qobject_cast<QLineEdit*>(form->OpenNameEditor());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), SNewValue);
    Rename(*form, 0, "small");
    form->SclAddBtn()->click();
    Rename(*form, 1, "large");
    EXPECT_TRUE(form->OKBtn()->isEnabled());
    Confirm(*form);
    EXPECT_EQ(ScaleOf(fresh).ScaleString(), "+ small(-);large(+)");
}

TEST_F(ScaleFormTest, CancelLeavesTheModelByteForByte) {
    const auto before = Snapshot(model);
    auto form = Open(*cost);
    form->ValueList()->clearSelection();
    form->SclAddBtn()->click();
    Rename(*form, 0, "first");
    Select(*form, 3);
    form->SclDelBtn()->click();
    Select(*form, 1);
    form->SclDnBtn()->click();
    form->SclBadBtn()->click();
    form->IntervalItem()->trigger();
    form->OrderEdit()->setCurrentIndex(2);
    form->StdScale()->setChecked(true);
    form->CancelBtn()->click();
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_EQ(form->Edit(), nullptr);
    EXPECT_EQ(Snapshot(model), before);
    EXPECT_EQ(model.Selected(), nullptr);
}

TEST_F(ScaleFormTest, DefaultScaleIsReadAtTheConfirmingClose) {
    auto form = Open(*price);
    form->StdScale()->setChecked(true);
    form->SclAddBtn()->click();
    form->SclAddBtn()->click();
    prompts.ExpectMessage(TMsgAnswer::Ok);  // two values named "new value"
    form->OKBtn()->click();
    ASSERT_NE(form->result(), QDialog::Accepted);
    form->StdScale()->setChecked(false);
    Rename(*form, 1, "one");
    Rename(*form, 2, "two");
    Confirm(*form);
    EXPECT_EQ(model.Selected(), nullptr);

    auto chosen = Open(*price);
    chosen->StdScale()->setChecked(true);
    Confirm(*chosen);
    EXPECT_EQ(model.Selected(), price->Scale());

    // Opened again it shows the tick; unticked, the reference goes with the
    // scale it named.
    auto again = Open(*price);
    EXPECT_TRUE(again->StdScale()->isChecked());
    again->StdScale()->setChecked(false);
    Confirm(*again);
    EXPECT_EQ(model.Selected(), nullptr);
}

TEST_F(ScaleFormTest, RoundsOfOkAndCancelLeaveTheRegistryAsItWas) {
    const int objects = GlobalMivoList().Count();
    for (int round = 0; round < 100; ++round) {
        auto form = Open(round % 3 == 0 ? *price : *cost);
        Select(*form, 1);
        form->SclAddBtn()->click();
        Rename(*form, 2, "r" + std::to_string(round));
        form->SclDelBtn()->click();
        if (round % 2 == 0) {
            form->CancelBtn()->click();
        } else {
            Confirm(*form);
        }
    }
    EXPECT_EQ(GlobalMivoList().Count(), objects);
    EXPECT_EQ(price->ScaleSize(), 3);
}

}  // namespace
}  // namespace mivo
