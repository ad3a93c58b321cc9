// The charts page in a model window: choosing attributes and options, the
// chart each choice calls for, the flags, the copy, the report's chart, and
// a charted attribute deleted and brought back by undo.
#include "desktop/tests/ShellFixture.h"

#include <set>

#include <QListWidget>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include "desktop/ChartsPage.h"
#include "desktop/NodeImages.h"
#include "model/MivoAttribute.h"
#include "platform/MetafileCanvas.h"
#include "reports/MivoRpt.h"
#include "reports/PrintFormatter.h"

namespace mivo::test {
namespace {

class ChartsPageTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        Form = Main->OpenModelWindow(ExampleModel());
        Form->SetCurrentPage(TModelPage::Charts);
        Page = dynamic_cast<TChartsPage*>(&Form->Page(TModelPage::Charts));
        ASSERT_NE(Page, nullptr);
    }
    TMivoAttribute* Attr(const std::string& name) { return Form->Model().FindByName(name); }
    QTreeWidgetItem* Node(const std::string& name) {
        QTreeWidgetItemIterator it(Page->ChartTreeView);
        for (; *it; ++it)
            if ((*it)->text(0).toStdString() == name) return *it;
        return nullptr;
    }
    // Clicks the node's check box.
    void Tick(const std::string& name) {
        QTreeWidgetItem* node = Node(name);
        ASSERT_NE(node, nullptr) << name;
        node->setCheckState(0, node->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }

    TModelForm* Form = nullptr;
    TChartsPage* Page = nullptr;
};

TEST_F(ChartsPageTest, TheChartFollowsTheNumberOfChosenAttributes) {
    EXPECT_EQ(Page->ShownKind(), TChartKind::None);
    EXPECT_FALSE(Form->Commands().Enabled(TCommandId::ChartCopy));
    struct Step {
        const char* name;
        TChartKind kind;
        TChartId shown;
    } steps[] = {{"Rent", TChartKind::Bars, TChartId::Chart1},
                 {"Commute", TChartKind::Plane, TChartId::Chart2},
                 {"Apartment", TChartKind::Radar, TChartId::Chart3}};
    for (const Step& s : steps) {
        Tick(s.name);
        EXPECT_EQ(Page->ShownKind(), s.kind) << s.name;
        EXPECT_TRUE(Page->ChartPanel(s.shown)->Visible());
        EXPECT_TRUE(Form->Commands().Enabled(TCommandId::ChartCopy));
    }
    EXPECT_EQ(Form->State().ChartAttrs(), (std::vector<TMivoAttribute*>{Attr("Rent"), Attr("Commute"), Attr("Apartment")}));
    EXPECT_FALSE(Page->ChartPanel(TChartId::Chart1)->Visible());
    Page->Chart4ItemClick();
    EXPECT_EQ(Page->ShownKind(), TChartKind::FourRadars);
    EXPECT_TRUE(Page->ChartPanel(TChartId::Chart4Panel)->Visible());
    EXPECT_TRUE(Form->Commands().Checked(TCommandId::Chart4));
    // Unticking all three brings the caption back.
    for (const char* name : {"Rent", "Commute", "Apartment"}) Tick(name);
    EXPECT_EQ(Page->ShownKind(), TChartKind::None);
    EXPECT_TRUE(Form->State().ChartAttrs().empty());
}

TEST_F(ChartsPageTest, TheTreeItemsHintIsTheAttributesDescription) {
    TMivoAttribute* rent = Attr("Rent");
    ASSERT_NE(rent, nullptr);
    rent->SetDescription("Monthly rent");
    Form->SetCurrentPage(TModelPage::Model);
    Form->SetCurrentPage(TModelPage::Charts);
    QTreeWidgetItem* node = Node("Rent");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->toolTip(0), "Monthly rent");
    EXPECT_EQ(node->statusTip(0), "Monthly rent");

    // Over the item, the status line shows it.
    Main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Main.get()));
    QTreeWidget* tree = Page->ChartTreeView;
    tree->scrollToItem(node);
    const QPoint at = tree->visualItemRect(node).center();
    QTest::mouseMove(tree->viewport(), at + QPoint(0, 1));
    QTest::mouseMove(tree->viewport(), at);
    EXPECT_EQ(Main->statusBar()->currentMessage(), "Monthly rent");
}

TEST_F(ChartsPageTest, TheTreeShowsTheNodeImagesOfTheModelTree) {
    auto* images = dynamic_cast<TNodeImageDelegate*>(Page->ChartTreeView->itemDelegate());
    ASSERT_NE(images, nullptr);
    std::set<TNodeImage> seen;
    for (QTreeWidgetItemIterator it(Page->ChartTreeView); *it; ++it) {
        const TMivoAttribute* attribute = Attr((*it)->text(0).toStdString());
        ASSERT_NE(attribute, nullptr);
        const QModelIndex index = Page->ChartTreeView->indexFromItem(*it);
        EXPECT_EQ(images->ImageOf(index), NodeImageOf(attribute)) << attribute->GetName();
        seen.insert(images->ImageOf(index));
    }
    // The example has aggregate and basic attributes, both with an image.
    EXPECT_GE(seen.size(), 2u);
    EXPECT_FALSE(seen.count(niNone));
}

TEST_F(ChartsPageTest, ASeventhAttributeDropsTheFirstAndUnticksItsNode) {
    const char* names[] = {"Apartment", "Cost", "Rent", "Nebenkosten", "Location", "Commute", "Comfort"};
    for (const char* name : names) Tick(name);
    EXPECT_EQ(Form->State().ChartAttrs().size(), 6u);
    EXPECT_EQ(Form->State().ChartAttrs().front(), Attr("Cost"));
    EXPECT_EQ(Node("Apartment")->checkState(0), Qt::Unchecked);
    EXPECT_EQ(Node("Comfort")->checkState(0), Qt::Checked);
}

TEST_F(ChartsPageTest, TheOptionListSetsTheShownOptions) {
    Tick("Rent");
    const auto bars = [&] { return std::get<TBarChart>(Page->Chart(TChartId::Chart1).Picture()).Bars.size(); };
    const std::size_t all = bars();
    EXPECT_EQ(static_cast<int>(all), Form->Model().OptionCount());
    Page->ChartListBox->item(1)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(Form->Model().OptionSelected(1));
    EXPECT_EQ(bars(), all - 1);
    Page->ChartClrAllItemClick();
    EXPECT_EQ(bars(), 0u);
    EXPECT_EQ(Page->ChartListBox->item(3)->checkState(), Qt::Unchecked);
    Page->ChartSelAllItemClick();
    EXPECT_EQ(bars(), all);

    // Four options with two shown fill the first two radars only.
    for (const char* name : {"Commute", "Apartment"}) Tick(name);
    Page->Chart4ItemClick();
    Page->ChartClrAllItemClick();
    Page->ShowOption(1, true);
    Page->ShowOption(3, true);
    const auto& a = std::get<TRadarChart>(Page->Chart(TChartId::Chart4A).Picture());
    const auto& c = std::get<TRadarChart>(Page->Chart(TChartId::Chart4C).Picture());
    EXPECT_EQ(a.Option, 1);
    EXPECT_EQ(std::get<TRadarChart>(Page->Chart(TChartId::Chart4B).Picture()).Option, 3);
    EXPECT_EQ(c.Option, -1);
}

TEST_F(ChartsPageTest, TheFlagsRedrawAndShowTheirChecks) {
    Tick("Rent");
    EXPECT_TRUE(Form->Commands().Checked(TCommandId::ChartFullNames));
    Page->ChartFullNamesItemClick();
    EXPECT_FALSE(Form->Commands().Checked(TCommandId::ChartFullNames));
    EXPECT_EQ(std::get<TBarChart>(Page->Chart(TChartId::Chart1).Picture()).Axis.TickLabel(1), "1");
    Page->ChartOptNamesItemClick();
    EXPECT_EQ(std::get<TBarChart>(Page->Chart(TChartId::Chart1).Picture()).Bars[0].Label, " ");
    EXPECT_FALSE(Form->Commands().Checked(TCommandId::ChartOptNames));
}

TEST_F(ChartsPageTest, ACopyTheClipboardCannotHoldGivesAMessage) {
    Tick("Rent");
    Prompts.ExpectMessage(TMsgAnswer::Ok);
    Page->ChartCopyItemClick();
    EXPECT_EQ(Prompts.Messages().back(), MsgChartNotCopied);
    EXPECT_TRUE(Clipboard.Text.empty());
}

TEST_F(ChartsPageTest, TheWidgetCountDoesNotGrowWithTheOptions) {
    const auto widgets = Page->Widget()->findChildren<QWidget*>().size();
    for (int i = 0; i < 500; ++i) Form->Model().AddOption("More " + std::to_string(i));
    Page->Fill();
    EXPECT_EQ(Page->Widget()->findChildren<QWidget*>().size(), widgets);
}

// A charted attribute is deleted by a tree command and brought back by
// undo; the pages switch and a report draws the chart. Under the sanitizer
// nothing freed is read.
TEST_F(ChartsPageTest, ADeletedChartedAttributeIsNeverReadAfterItIsFreed) {
    for (const char* name : {"Rent", "Commute", "Comfort"}) Tick(name);
    TMivoAttribute* rent = Attr("Rent");
    // The tree command: change, Changed, the lists, an undo point, refresh.
    Form->SetCurrentPage(TModelPage::Evaluation);
    rent->Parent()->DeleteInput(rent);
    Form->Model().Changed();
    Form->State().StructureChanged();
    Form->FillTree();
    Form->Undo().PushModelUndo();
    Form->UpdateControls();
    EXPECT_EQ(Form->State().ChartAttrs().size(), 2u);

    Form->SetCurrentPage(TModelPage::Charts);
    EXPECT_EQ(Page->ShownKind(), TChartKind::Plane);
    Form->SetCurrentPage(TModelPage::Model);
    Form->ModUndoClick();
    EXPECT_NE(Attr("Rent"), nullptr);
    Form->SetCurrentPage(TModelPage::Options);
    Form->SetCurrentPage(TModelPage::Charts);
    // The restored model is a new one: nothing is chosen in it.
    EXPECT_EQ(Page->ShownKind(), TChartKind::None);
    for (const char* name : {"Rent", "Commute", "Comfort"}) Tick(name);
    EXPECT_EQ(Page->ShownKind(), TChartKind::Radar);

    // A report with the chart, drawn through the main window as host.
    TValueSet parts;
    parts.set(rpChart);
    TFont font;
    font.Name = "Arial";
    font.Size = 10;
    auto report = BuildModelReport(&Form->Model(), parts, font, TPen{});
    ASSERT_NE(report, nullptr);
    TFixedFontSource fonts;
    const TMeasure margin = MakeMeasure(mkMillimetres, 20);
    TPrintFormatter formatter(*report, nullptr, margin, margin, margin, margin, &fonts);
    formatter.Run();
    EXPECT_EQ(formatter.PageCount(), 1);
    EXPECT_GT(formatter.GetPageMetafile(1).Records().size(), 20u);
}

}  // namespace
}  // namespace mivo::test
