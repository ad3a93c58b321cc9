// The evaluation page: layout, evaluation after a value change, the
// analyses from the grid's current cell, and find over the rows.
#include "desktop/tests/ShellFixture.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>

#include "desktop/EvalPage.h"
#include "desktop/FindForm.h"
#include "model/MivoAttribute.h"

namespace mivo::test {
namespace {

class EvalPageTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        Form = Main->OpenModelWindow(ExampleModel());
        Form->SetCurrentPage(TModelPage::Evaluation);
        Page = dynamic_cast<TEvalPage*>(&Form->Page(TModelPage::Evaluation));
        ASSERT_NE(Page, nullptr);
    }
    TMivoModel& Model() { return Form->Model(); }
    int RowOf(const TMivoAttribute* a) {
        const auto& all = Form->State().AllAttrs();
        return static_cast<int>(std::find(all.begin(), all.end(), a) - all.begin()) + 2;
    }

    TModelForm* Form = nullptr;
    TEvalPage* Page = nullptr;
};

TEST_F(EvalPageTest, TheGridShowsEveryAttributeWithItsLevel) {
    const auto& all = Form->State().AllAttrs();
    EXPECT_EQ(Page->GridModel->rowCount(), static_cast<int>(all.size()) + 1);
    EXPECT_EQ(Page->GridModel->headerData(1, Qt::Vertical, Qt::DisplayRole).toString().toStdString(),
              ". " + all[0]->GetName());
    EXPECT_EQ(EvalRowName(*all[1]), ". . " + all[1]->GetName());
    // A set takes the colour of its first member in both grids.
    TMivoAttribute* commute = Model().FindByName("Commute");
    const QModelIndex studio = Page->GridModel->index(RowOf(commute) - 1, 3);
    EXPECT_EQ(Page->GridModel->data(studio, Qt::DisplayRole).toString(), "medium;short");
    EXPECT_FALSE(Page->GridModel->data(studio, Qt::ForegroundRole).isValid());
    // The grid's first row is its heading: above it only the thin strip
    // that holds the sizing handles.
    EXPECT_EQ(Page->EvalGrid->horizontalHeader()->height(), TOptionGridView::HeadingStripHeight);
    // Without options one empty column of width 0 stays, so that a row can
    // be current.
    Model().DeleteAllOptions();
    Page->Fill();
    EXPECT_EQ(Page->GridModel->columnCount(), 1);
    EXPECT_EQ(Page->EvalGrid->columnWidth(0), 0);
    EXPECT_FALSE(Page->GridModel->data(Page->GridModel->index(1, 0), Qt::DisplayRole).isValid());
    Model().AddOption("Back");
    Page->Fill();
    EXPECT_EQ(Page->EvalGrid->columnWidth(0), TOptionGridView::DefaultOptionColumnWidth);
    Model().Modified = false;
}

TEST_F(EvalPageTest, AValueChangeReevaluatesTheOption) {
    TMivoAttribute* top = Model().FirstAttribute();
    TMivoAttribute* basic = Form->State().BasicAttrs()[0];
    Page->SetCurrentCell(RowOf(basic), 1);
    ASSERT_TRUE(Page->EvalValEdit->isVisibleTo(Page->Widget()));
    Page->EvalValEditChange(0);
    EXPECT_EQ(basic->OptValueIndex(0), 0);
    const std::string quick = top->GetOptValue(0);
    Model().Reevaluate();
    EXPECT_EQ(top->GetOptValue(0), quick);
    EXPECT_TRUE(Model().Modified);

    // An aggregate row has no value box.
    Page->SetCurrentCell(RowOf(top), 1);
    EXPECT_FALSE(Page->EvalValEdit->isVisibleTo(Page->Widget()));
    Model().Modified = false;
}

TEST_F(EvalPageTest, AnalysesRunOnlyOnACurrentOption) {
    Page->PlusMinusClick();  // no current cell
    Page->SelExpClick();
    EXPECT_EQ(Viewer.Shown, 0);
    Page->SetCurrentCell(2, 1);
    EXPECT_TRUE(Form->Commands().Enabled(TCommandId::PlusMinus));
    Page->PlusMinusClick();
    Page->SelExpClick();
    EXPECT_EQ(Viewer.Shown, 2);
}

TEST_F(EvalPageTest, PastedOptionDataMustNameTheModelsAttributes) {
    Page->EvalCopyBtnClick();
    const std::string copied = Clipboard.Text;
    ASSERT_FALSE(copied.empty());
    const int before = Model().OptionCount();
    struct Case {
        std::string text;
        bool stored;
    } cases[] = {
        {"Option\tX\tY\r\nNo such attribute\t1\t2\r\n", false},
        {"just some words", false},
        {"", false},
        {copied, true},
    };
    for (const Case& c : cases) {
        Clipboard.Text = c.text;
        if (!c.stored) Prompts.ExpectMessage(TMsgAnswer::Ok);
        Page->EvalPasteBtnClick();
        EXPECT_EQ(Model().OptionCount(), before) << c.text;  // matched by name: no new options
    }
    EXPECT_EQ(Prompts.Messages().size(), 3u);
    EXPECT_EQ(Prompts.Messages().front(), MsgNoClipboardOptionData);
    Model().Modified = false;
}

TEST_F(EvalPageTest, FindNextFollowsTheStoredSearch) {
    TFindForm& find = FindDialog(*Main);
    // Type, Cancel: nothing stored, Find next stays off.
    Prompts.ExpectExec([](QDialog& d) {
        auto& f = dynamic_cast<TFindForm&>(d);
        f.FindEdit->setText("Rent");
        return DialogCancel;
    });
    Page->EvalFindItemClick();
    EXPECT_FALSE(Form->Commands().Enabled(TCommandId::FindNext));
    EXPECT_EQ(Page->Cell().EvalRow, -1);

    Prompts.ExpectExec([](QDialog& d) {
        auto& f = dynamic_cast<TFindForm&>(d);
        f.FindEdit->setText("Rent");
        f.FindBtn->click();
        return f.result();
    });
    Page->EvalFindItemClick();
    EXPECT_EQ(find.Search().FindText, "Rent");
    EXPECT_EQ(Page->Cell().EvalRow, RowOf(Model().FindByName("Rent")));
    // The only match: Find next stays on it.
    Page->EvalFindNextItemClick();
    EXPECT_EQ(Page->Cell().EvalRow, RowOf(Model().FindByName("Rent")));

    // Without options the rows are still searched, and the found one is
    // current (no option commands come with it).
    Model().DeleteAllOptions();
    Page->Fill();
    Page->SetCurrentCell(2, 1);
    ASSERT_EQ(Page->Cell().EvalRow, 2);
    ASSERT_NE(RowOf(Model().FindByName("Rent")), 2);
    Page->EvalFindNextItemClick();
    EXPECT_EQ(Page->Cell().EvalRow, RowOf(Model().FindByName("Rent")));
    EXPECT_EQ(Page->EvalGrid->currentIndex().row(), RowOf(Model().FindByName("Rent")) - 1);
    EXPECT_FALSE(Form->Commands().Enabled(TCommandId::PlusMinus));
    EXPECT_FALSE(Form->Commands().Visible(TCommandId::EvalValEdit));
    Model().Modified = false;
}

}  // namespace
}  // namespace mivo::test
