// Column sizing in the grids of the options and evaluation pages: borders
// dragged in the heading rows, widths kept across refills, new columns at
// the default width, no sizing without options.
#include <functional>

#include <QHeaderView>
#include <QTest>

#include "desktop/EvalPage.h"
#include "desktop/OptionsPage.h"
#include "desktop/tests/ShellFixture.h"

namespace mivo::test {
namespace {

class OptionGridSizing : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        Main->resize(1000, 700);
        Main->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Main.get()));
    }
    void TearDown() override {
        for (TModelForm* form : Forms) form->Model().Modified = false;
        ShellTest::TearDown();
    }
    // A fresh window on the example.
    void Open() {
        Form = Main->OpenModelWindow(ExampleModel());
        Form->showMaximized();
        Forms.push_back(Form);
    }

    // One grid of a page, with the page's own ways to refill it, to make a
    // cell current and to add an option after the first.
    struct TGrid {
        const char* Name;
        TOptionGridView* View;
        std::function<void()> Fill;
        std::function<void(int, int)> SetCurrentCell;
        std::function<std::pair<int, int>()> CurrentCell;
        std::function<void()> AddOptionAfterTheFirst;
    };
    TGrid Grid(TModelPage page) {
        Form->SetCurrentPage(page);
        QCoreApplication::processEvents();
        if (page == TModelPage::Options) {
            auto* p = dynamic_cast<TOptionsPage*>(&Form->Page(page));
            return {"options", p->OptGrid, [p] { p->Fill(); }, [p](int r, int c) { p->SetCurrentCell(r, c); },
                    [p] { return std::pair(p->Cell().OptRow, p->Cell().OptCol); },
                    [p] {
                        p->SetCurrentCell(2, 1);
                        p->OptAddBtnClick(true);
                    }};
        }
        auto* p = dynamic_cast<TEvalPage*>(&Form->Page(page));
        return {"evaluation", p->EvalGrid, [p] { p->Fill(); }, [p](int r, int c) { p->SetCurrentCell(r, c); },
                [p] { return std::pair(p->Cell().EvalRow, p->Cell().EvalCol); },
                [this] {
                    // Added on the options page, then looked at here.
                    Form->SetCurrentPage(TModelPage::Options);
                    auto* options = dynamic_cast<TOptionsPage*>(&Form->Page(TModelPage::Options));
                    options->SetCurrentCell(2, 1);
                    options->OptAddBtnClick(true);
                    Form->SetCurrentPage(TModelPage::Evaluation);
                }};
    }

    // A drag of the left button by dx pixels, from a point of the widget.
    static void Drag(QWidget* widget, QPoint from, int dx) {
        QTest::mousePress(widget, Qt::LeftButton, {}, from);
        QTest::mouseMove(widget, from + QPoint(dx, 0));
        QTest::mouseRelease(widget, Qt::LeftButton, {}, from + QPoint(dx, 0));
    }
    // The border of column 0 and of an option column in the thin strip
    // above the grid (grid row 0).
    static void DragInStrip(TOptionGridView* view, int gridCol, int dx) {
        QWidget* strip = view->horizontalHeader()->viewport();
        const int x = view->ColumnBorderX(gridCol) - view->viewport()->x();
        Drag(strip, QPoint(gridCol == 0 ? 1 : x, strip->height() / 2), dx);
    }
    // The border of a column in the option-name row (grid row 1).
    static void DragInNameRow(TOptionGridView* view, int gridCol, int dx) {
        const int y = view->rowViewportPosition(0) + view->rowHeight(0) / 2;
        if (gridCol == 0) {
            QWidget* names = view->verticalHeader()->viewport();
            Drag(names, QPoint(names->width() - 1, y), dx);
        } else {
            Drag(view->viewport(), QPoint(view->ColumnBorderX(gridCol) - view->viewport()->x(), y), dx);
        }
    }

    TModelForm* Form = nullptr;
    std::vector<TModelForm*> Forms;
};

TEST_F(OptionGridSizing, BordersInTheHeadingRowsSizeEveryColumnAndTheWidthsStay) {
    constexpr int Default = TOptionGridView::DefaultOptionColumnWidth;
    for (TModelPage page : {TModelPage::Options, TModelPage::Evaluation}) {
        Open();
        TGrid grid = Grid(page);
        SCOPED_TRACE(grid.Name);
        TOptionGridView* view = grid.View;
        ASSERT_GE(Form->Model().OptionCount(), 3);
        EXPECT_TRUE(view->ColumnSizing());
        EXPECT_EQ(view->columnWidth(0), Default);
        grid.SetCurrentCell(3, 2);
        const int names = view->GridColumnWidth(0);

        // Column 0 from the strip and from the option-name row, option
        // columns from both; nothing else becomes current.
        DragInStrip(view, 0, 40);
        EXPECT_EQ(view->GridColumnWidth(0), names + 40);
        DragInNameRow(view, 0, -10);
        EXPECT_EQ(view->GridColumnWidth(0), names + 30);
        DragInNameRow(view, 1, 60);
        EXPECT_EQ(view->GridColumnWidth(1), Default + 60);
        DragInStrip(view, 2, 20);
        EXPECT_EQ(view->GridColumnWidth(2), Default + 20);
        EXPECT_EQ(grid.CurrentCell(), std::pair(3, 2));
        // No narrower than the least width.
        DragInStrip(view, 3, -500);
        EXPECT_EQ(view->GridColumnWidth(3), TOptionGridView::MinimumColumnWidth);
        // A border in a value row is no handle: the press selects a cell.
        const int y = view->rowViewportPosition(3) + view->rowHeight(3) / 2;
        Drag(view->viewport(), QPoint(view->ColumnBorderX(1) - view->viewport()->x(), y), 30);
        EXPECT_EQ(view->GridColumnWidth(1), Default + 60);

        // A refill keeps the chosen widths.
        grid.Fill();
        EXPECT_EQ(view->GridColumnWidth(0), names + 30);
        EXPECT_EQ(view->GridColumnWidth(1), Default + 60);
        EXPECT_EQ(view->GridColumnWidth(2), Default + 20);

        // A new option after the first gets the default width; the others
        // keep theirs.
        grid.AddOptionAfterTheFirst();
        EXPECT_EQ(view->GridColumnWidth(1), Default + 60);
        EXPECT_EQ(view->GridColumnWidth(2), Default);
        EXPECT_EQ(view->GridColumnWidth(3), Default + 20);

        // Without options the one column stays at width 0 and nothing is
        // sized; with an option again sizing is back, at the default width.
        Form->Model().DeleteAllOptions();
        grid.Fill();
        EXPECT_FALSE(view->ColumnSizing());
        EXPECT_EQ(view->columnWidth(0), 0);
        DragInNameRow(view, 1, 50);
        DragInStrip(view, 1, 50);
        DragInStrip(view, 0, 50);
        EXPECT_EQ(view->columnWidth(0), 0);
        EXPECT_EQ(view->GridColumnWidth(0), names + 30);
        view->SetGridColumnWidth(1, 80);  // not even as a drag would
        EXPECT_EQ(view->columnWidth(0), 0);
        Form->Model().AddOption("Back");
        grid.Fill();
        EXPECT_TRUE(view->ColumnSizing());
        EXPECT_EQ(view->columnWidth(0), Default);
        DragInStrip(view, 1, 15);
        EXPECT_EQ(view->GridColumnWidth(1), Default + 15);
    }
}

// Moving between a basic row (a value box above the grid) and an
// aggregate row or the option-name row (no value box) leaves the grid
// where it is, so a second click lands where the first did.
TEST_F(OptionGridSizing, TheGridStaysInPlaceWhetherOrNotTheValueBoxIsShown) {
    Open();
    const TMivoAttribute* top = Form->Model().FirstAttribute();
    const TMivoAttribute* basic = Form->State().BasicAttrs()[0];
    for (TModelPage page : {TModelPage::Options, TModelPage::Evaluation}) {
        TGrid grid = Grid(page);
        SCOPED_TRACE(grid.Name);
        const auto& rows = page == TModelPage::Options ? Form->State().BasicAttrs() : Form->State().AllAttrs();
        const auto rowOf = [&rows](const TMivoAttribute* a) {
            return static_cast<int>(std::find(rows.begin(), rows.end(), a) - rows.begin()) + 2;
        };
        // The other row: an aggregate on the evaluation page, the option
        // names (the name edit instead of the value box) on the options page.
        const int other = page == TModelPage::Options ? 1 : rowOf(top);
        QWidget* window = grid.View->window();
        std::vector<QRect> places;
        for (int row : {rowOf(basic), other, rowOf(basic)}) {
            grid.SetCurrentCell(row, 1);
            QCoreApplication::processEvents();
            places.push_back(QRect(grid.View->mapTo(window, QPoint(0, 0)), grid.View->size()));
        }
        EXPECT_EQ(places[1], places[0]);
        EXPECT_EQ(places[2], places[0]);
    }
}

}  // namespace
}  // namespace mivo::test
