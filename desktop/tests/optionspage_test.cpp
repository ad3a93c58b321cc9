// The options page: the grid's layout and texts, value keys, the option
// commands and their undo points, the name edit, moving and pasting.
#include "desktop/tests/ShellFixture.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QLineEdit>
#include <QTest>

#include "desktop/OptionsPage.h"
#include "reports/ui/SettingsForm.h"
#include "model/MivoAttribute.h"
#include "model/MivoScale.h"

namespace mivo::test {
namespace {

class OptionsPageTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        Form = Main->OpenModelWindow(ExampleModel());
        Main->show();
        Main->activateWindow();
        QApplication::setActiveWindow(Main.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(Main.get()));
        Form->SetCurrentPage(TModelPage::Options);
        Page = dynamic_cast<TOptionsPage*>(&Form->Page(TModelPage::Options));
        ASSERT_NE(Page, nullptr);
    }
    TMivoModel& Model() { return Form->Model(); }
    std::string Text(int gridRow, int gridCol) {
        const QModelIndex at = Page->GridModel->index(TOptionGridModel::ViewRow(gridRow), TOptionGridModel::ViewCol(gridCol));
        return Page->GridModel->data(at, Qt::DisplayRole).toString().toStdString();
    }
    int OptionUndoCount() { return Form->State().OptUndo().Count(); }

    TModelForm* Form = nullptr;
    TOptionsPage* Page = nullptr;
};

TEST_F(OptionsPageTest, TheGridShowsBasicAttributesByOptions) {
    const auto& basic = Form->State().BasicAttrs();
    EXPECT_EQ(Page->GridModel->rowCount(), static_cast<int>(basic.size()) + 1);
    EXPECT_EQ(Page->GridModel->columnCount(), Model().OptionCount());
    EXPECT_EQ(Page->GridModel->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), "Option");
    EXPECT_EQ(Text(1, 1), Model().OptionName(0));
    EXPECT_EQ(Page->GridModel->headerData(1, Qt::Vertical, Qt::DisplayRole).toString().toStdString(),
              basic[0]->GetName());
    for (const TMivoAttribute* a : basic) EXPECT_TRUE(a->IsBasic() && !a->Link());

    // A set of two values: the first member's name, and its colour.
    TMivoAttribute* first = basic[0];
    first->SetOptValue(0, "01");
    Page->GridModel->Reset();
    const auto* scale = dynamic_cast<const TMivoDiscreteScale*>(first->Scale());
    EXPECT_EQ(Text(2, 1), scale->ValueName(0));
    EXPECT_EQ(EvalCellText(*first, 0), scale->ValueName(0) + ";" + scale->ValueName(1));
    const QVariant colour = Page->GridModel->data(Page->GridModel->index(1, 0), Qt::ForegroundRole);
    ASSERT_TRUE(colour.isValid());
    EXPECT_EQ(colour.value<QBrush>().color(), QColor(255, 0, 0));  // the first value is bad
    first->SetOptValue(0, "");
    EXPECT_EQ(OptionCellText(*first, 0), "*");

    // Without options one empty column of width 0 stays; above the grid's
    // own heading row only the thin strip that holds the sizing handles.
    EXPECT_EQ(Page->OptGrid->horizontalHeader()->height(), TOptionGridView::HeadingStripHeight);
    Model().DeleteAllOptions();
    Page->Fill();
    EXPECT_EQ(Page->GridModel->columnCount(), 1);
    EXPECT_EQ(Page->OptGrid->columnWidth(0), 0);
    EXPECT_FALSE(Page->GridModel->data(Page->GridModel->index(0, 0), Qt::DisplayRole).isValid());
    Model().AddOption("Back");
    Page->Fill();
    EXPECT_EQ(Page->OptGrid->columnWidth(0), TOptionGridView::DefaultOptionColumnWidth);
}

TEST_F(OptionsPageTest, RightClickMakesTheCellCurrentAndThePopupChoosesTheValue) {
    Model().Settings.Undoing = true;
    Form->Undo().ResetOptionUndo();
    Page->SetCurrentCell(1, 1);
    const auto& basic = Form->State().BasicAttrs();
    ASSERT_GE(basic.size(), 2u);
    ASSERT_GE(Model().OptionCount(), 2);
    TMivoAttribute* attribute = basic[1];  // grid row 3
    const auto* scale = dynamic_cast<const TMivoDiscreteScale*>(attribute->Scale());
    ASSERT_NE(scale, nullptr);
    ASSERT_GE(scale->Count(), 2);
    attribute->SetOptValueIndex(1, 0);
    const int before = OptionUndoCount();

    // The right click on option 2's cell of grid row 3.
    QTableView* grid = Page->OptGrid;
    const QModelIndex cell = Page->GridModel->index(TOptionGridModel::ViewRow(3), TOptionGridModel::ViewCol(2));
    const QRect rect = grid->visualRect(cell);
    QContextMenuEvent click(QContextMenuEvent::Mouse, rect.center(), grid->viewport()->mapToGlobal(rect.center()));
    QCoreApplication::sendEvent(grid->viewport(), &click);
    EXPECT_EQ(Page->Cell().OptRow, 3);
    EXPECT_EQ(Page->Cell().OptCol, 2);

    // One entry per value and "*", captioned with their keys.
    QMenu* popup = Page->OptGrid->ValEditMenu;
    const QList<QAction*> items = popup->actions();
    ASSERT_EQ(items.size(), scale->Count() + 1);
    EXPECT_EQ(items[1]->text().toStdString(), "&2 &" + scale->ValueName(1));
    EXPECT_EQ(items.back()->text(), "&*");
    EXPECT_EQ(dynamic_cast<TValItem*>(items[1])->ValueIndex, 1);

    Model().Modified = false;
    items[1]->trigger();
    popup->close();
    EXPECT_EQ(attribute->OptValueIndex(1), 1);
    EXPECT_EQ(Text(3, 2), scale->ValueName(1));
    EXPECT_EQ(Page->OptValEdit->currentIndex(), 1);
    EXPECT_TRUE(Model().Modified);
    EXPECT_EQ(OptionUndoCount(), before + 1);

    // "*" makes it undefined.
    Page->OptGrid->ValEditMenu->actions().back()->trigger();
    EXPECT_EQ(attribute->GetOptValue(1), "");
}

// After every refill the value box, the name edit, the value keys and the
// enabling describe the grid's current cell, not one clicked before.
TEST_F(OptionsPageTest, AfterEveryRefillTheBoxesKeysAndEnablingFollowTheCurrentCell) {
    Model().Settings.Undoing = true;
    Form->Undo().ResetOptionUndo();
    const auto follows = [&](const std::string& what, bool pressKey) {
        SCOPED_TRACE(what);
        const TGridCells cell = Page->Cell();
        ASSERT_GE(cell.OptRow, 1);
        ASSERT_GE(cell.OptCol, 1);
        EXPECT_EQ(Form->State().OptRow, -1);
        EXPECT_EQ(Form->State().OptCol, -1);
        EXPECT_EQ(Page->OptNameEdit->isVisible(), cell.OptRow == 1);
        EXPECT_EQ(Page->OptValEdit->isVisible(), cell.OptRow >= 2);
        EXPECT_EQ(Form->Commands().Enabled(TCommandId::OptLeft), cell.OptCol > 1);
        EXPECT_EQ(Form->Commands().Enabled(TCommandId::OptRight), cell.OptCol < Model().OptionCount());
        if (!pressKey || cell.OptRow < 2) return;
        TMivoAttribute* attribute = Form->State().OptRowAttribute(cell.OptRow);
        Page->OptGrid->setFocus();
        QTest::keyClick(Page->OptGrid, Qt::Key_1);
        EXPECT_EQ(attribute->OptValueIndex(cell.OptCol - 1), 0);
    };
    const auto clickNameRow = [&] {
        Page->SetCurrentCell(1, 1);
        ASSERT_TRUE(Page->OptNameEdit->isVisible());
    };
    // Two values by keys: each state remembers the cell it was taken at.
    Page->SetCurrentCell(2, 2);
    Page->OptGrid->setFocus();
    QTest::keyClick(Page->OptGrid, Qt::Key_2);
    QTest::keyClick(Page->OptGrid, Qt::Key_2);
    clickNameRow();
    Form->EvalUndoClick();
    EXPECT_EQ(Page->Cell().OptRow, 2);
    follows("undo", false);
    clickNameRow();
    Form->EvalRedoClick();
    follows("redo", true);

    TScratchDir dir;
    const std::string data = dir.File("options.tab");
    Prompts.ExpectSaveFile(TFileAnswer{data, 1});
    Form->ExportOptions();
    Page->SetCurrentCell(3, 2);
    Prompts.ExpectOpenFile(TFileAnswer{data, 1});
    Form->ImportOptions();
    follows("import", true);

    Page->SetCurrentCell(2, 1);
    Prompts.ExpectExec([](QDialog& dialog) {
        auto& settings = dynamic_cast<TSettingsForm&>(dialog);
        settings.LinkCheck->setChecked(!settings.LinkCheck->isChecked());
        return 1;
    });
    Form->EditSettings(true);
    follows("linking switched", true);
}

TEST_F(OptionsPageTest, ValueKeysSetTheValueAndMoveDown) {
    Page->SetCurrentCell(2, 1);
    Page->OptGrid->setFocus();
    QTest::keyClick(Page->OptGrid, Qt::Key_2);
    QTest::keyClick(Page->OptGrid, Qt::Key_3);
    const auto& basic = Form->State().BasicAttrs();
    EXPECT_EQ(basic[0]->OptValueIndex(0), 1);
    // A key beyond the scale is not taken: the row stays.
    if (basic[1]->ScaleSize() >= 3) {
        EXPECT_EQ(basic[1]->OptValueIndex(0), 2);
        EXPECT_EQ(Page->Cell().OptRow, 4);
    } else {
        EXPECT_EQ(Page->Cell().OptRow, 3);
    }
    // "*" chooses undefined, the empty value.
    Page->SetCurrentCell(2, 1);
    QTest::keyClick(Page->OptGrid, '*');
    EXPECT_EQ(basic[0]->GetOptValue(0), "");
    EXPECT_TRUE(Model().Modified);
}

TEST_F(OptionsPageTest, AddedOptionIsCurrentWhateverTheUndoSetting) {
    struct Case {
        int column;
        bool button;
        bool undo;
        int expected;  // option index of "New"
    } cases[] = {
        {2, true, true, 2},  {2, false, true, 1}, {2, true, false, 2}, {2, false, false, 1},
        {4, true, true, 4},  {4, true, false, 4}, {4, false, true, 3}, {1, true, true, 1},
    };
    for (const Case& c : cases) {
        Form->OpenModel(ExampleModel());
        Form->SetCurrentPage(TModelPage::Options);
        Page = dynamic_cast<TOptionsPage*>(&Form->Page(TModelPage::Options));
        Page->Fill();
        Model().Settings.Undoing = c.undo;
        const int before = Model().OptionCount();
        Page->SetCurrentCell(2, c.column);
        Page->OptAddBtnClick(c.button);
        ASSERT_EQ(Model().OptionCount(), before + 1);
        EXPECT_EQ(Model().OptionName(c.expected), "New") << c.column << c.button << c.undo;
        EXPECT_EQ(Page->Cell().OptCol, c.expected + 1) << c.column << c.button << c.undo;
        Model().Modified = false;
    }
}

TEST_F(OptionsPageTest, UndoWhileTypingANameReturnsTheOldNameAsAStepOfItsOwn) {
    Model().Settings.Undoing = true;
    Form->Undo().ResetOptionUndo();
    // An earlier step: a value of option 2.
    TMivoAttribute* attribute = Form->State().BasicAttrs()[0];
    Page->SetCurrentCell(2, 2);
    const int value = attribute->OptValueIndex(1) == 0 ? 1 : 0;
    Page->OptValEditChange(value);
    ASSERT_EQ(attribute->OptValueIndex(1), value);

    Page->SetCurrentCell(1, 2);
    const std::string old = Model().OptionName(1);
    Page->OptNameEdit->setFocus();
    QTest::keyClicks(Page->OptNameEdit, "xyz");
    const std::string typed = old + "xyz";
    ASSERT_EQ(Model().OptionName(1), typed);

    // Undo takes back the typing alone; the value step stays.
    Form->EvalUndoClick();
    EXPECT_EQ(Model().OptionName(1), old);
    EXPECT_EQ(attribute->OptValueIndex(1), value);
    // The grid is back on the cell of that state: the value box shows there,
    // not the name edit.
    EXPECT_EQ(Page->Cell().OptRow, 2);
    EXPECT_FALSE(Page->OptNameEdit->isVisible());
    EXPECT_TRUE(Page->OptValEdit->isVisible());
    // Redo brings the typed name back, in the name edit on its row.
    Form->EvalRedoClick();
    EXPECT_EQ(Model().OptionName(1), typed);
    EXPECT_EQ(Page->OptNameEdit->text().toStdString(), typed);
    EXPECT_FALSE(Form->State().OptUndo().CanRedo());
    // Leaving now takes no further point: the name is in the history.
    const int points = OptionUndoCount();
    Page->OptGrid->setFocus();
    EXPECT_EQ(OptionUndoCount(), points);
    Form->EvalUndoClick();
    EXPECT_EQ(Model().OptionName(1), old);
    EXPECT_EQ(attribute->OptValueIndex(1), value);
}

TEST_F(OptionsPageTest, TheNameEditTakesOneUndoPointPerVisit) {
    Model().Settings.Undoing = true;
    Form->Undo().ResetOptionUndo();
    Page->SetCurrentCell(1, 2);
    ASSERT_TRUE(Page->OptNameEdit->isVisibleTo(Page->Widget()));
    const int before = OptionUndoCount();
    const std::string old = Model().OptionName(1);
    Page->OptNameEdit->setFocus();
    QTest::keyClicks(Page->OptNameEdit, "xyz");
    EXPECT_EQ(Model().OptionName(1), Page->OptNameEdit->text().toStdString());
    EXPECT_EQ(OptionUndoCount(), before);
    Page->OptGrid->setFocus();  // leaving
    EXPECT_EQ(OptionUndoCount(), before + 1);

    // Escape back to the old name takes none.
    Page->OptNameEdit->setFocus();
    const std::string renamed = Model().OptionName(1);
    QTest::keyClicks(Page->OptNameEdit, "abc");
    QTest::keyClick(Page->OptNameEdit, Qt::Key_Escape);
    EXPECT_EQ(Model().OptionName(1), renamed);
    Page->OptGrid->setFocus();
    EXPECT_EQ(OptionUndoCount(), before + 1);
    EXPECT_NE(renamed, old);

    // Tabs and line breaks are refused.
    Page->OptNameEdit->setFocus();
    const QString kept = Page->OptNameEdit->text();
    QTest::keyClicks(Page->OptNameEdit, "\t");
    Page->OptNameEdit->insert("a\tb");
    Page->OptNameEdit->insert("a\nb");
    EXPECT_EQ(Page->OptNameEdit->text(), kept);
    EXPECT_EQ(Model().OptionName(1).find_first_of("\t\r\n"), std::string::npos);
}

TEST_F(OptionsPageTest, MovingAnOptionMarksTheModelChanged) {
    Page->SetCurrentCell(2, 2);
    const std::string second = Model().OptionName(1);
    Model().Modified = false;
    Page->OptLeftBtnClick();
    EXPECT_EQ(Model().OptionName(0), second);
    EXPECT_TRUE(Model().Modified);
    EXPECT_EQ(Page->Cell().OptCol, 1);
    Model().Modified = false;
    Page->OptRightBtnClick();
    EXPECT_EQ(Model().OptionName(1), second);
    EXPECT_TRUE(Model().Modified);
    EXPECT_EQ(Page->Cell().OptCol, 2);
}

TEST_F(OptionsPageTest, PasteOnlyOntoTheSameAttributes) {
    Page->SetCurrentCell(2, 1);
    Page->OptCopyBtnClick();
    const int before = Model().OptionCount();
    Page->OptPasteBtnClick();
    EXPECT_EQ(Model().OptionCount(), before + 1);
    EXPECT_EQ(Model().OptionName(0), Model().OptionName(1));

    // Another structure: a message and no change.
    struct Case {
        const char* what;
        std::function<void(TMivoModel&)> change;
    } cases[] = {
        {"renamed attribute", [](TMivoModel& m) { m.Attributes().back()->SetName("Other"); }},
        {"value off the scale",
         [](TMivoModel& m) {
             for (TMivoAttribute* a : m.Attributes())
                 if (a->IsBasic() && a->ScaleSize() > 2) {
                     auto* scale = dynamic_cast<TMivoDiscreteScale*>(a->Scale());
                     while (scale->Count() > 1) scale->DeleteValue(scale->Count() - 1);
                     break;
                 }
         }},
    };
    for (const Case& c : cases) {
        Form->OpenModel(ExampleModel());
        Form->SetCurrentPage(TModelPage::Options);
        Page = dynamic_cast<TOptionsPage*>(&Form->Page(TModelPage::Options));
        c.change(Model());
        Form->State().StructureChanged();
        Page->Fill();
        const int count = Model().OptionCount();
        Prompts.ExpectMessage(TMsgAnswer::Ok);
        Page->SetCurrentCell(2, 1);
        Page->OptPasteBtnClick();
        EXPECT_EQ(Model().OptionCount(), count) << c.what;
        Model().Modified = false;
    }
}

TEST_F(OptionsPageTest, DeleteAsksFirst) {
    Page->SetCurrentCell(2, 1);
    const int before = Model().OptionCount();
    Prompts.ExpectMessage(TMsgAnswer::No);
    Page->OptDelBtnClick();
    EXPECT_EQ(Model().OptionCount(), before);
    Prompts.ExpectMessage(TMsgAnswer::Yes);
    Page->OptDelBtnClick();
    EXPECT_EQ(Model().OptionCount(), before - 1);
    EXPECT_EQ(Prompts.Messages().front().rfind("Do you want to delete option \"", 0), 0u);
}

TEST_F(OptionsPageTest, TheWidgetCountDoesNotGrowWithTheOptions) {
    const auto widgets = Page->Widget()->findChildren<QWidget*>().size();
    for (int i = 0; i < 2000; ++i) Model().AddOption("More " + std::to_string(i));
    Page->Fill();
    EXPECT_EQ(Page->Widget()->findChildren<QWidget*>().size(), widgets);
    Model().Modified = false;
}

}  // namespace
}  // namespace mivo::test
