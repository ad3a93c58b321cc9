// The print preview against the fake printer: pages and their numbers,
// paging, printing with copies and collation, documents per orientation,
// text saving, zoom limits, cancelling and refusing work while busy.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include <QImage>
#include <QStyle>
#include <QPainter>

#include "model/SafeFile.h"
#include "platform/FakePrinter.h"
#include "platform/QtCanvas.h"
#include "reports/ui/PrintPreview.h"
#include "reports/ui/tests/PreviewTestKit.h"

namespace mivo {
namespace {

using testing::CountOf;
using testing::PagedReport;
using testing::PageText;
using testing::TScratchDir;

class PrintPreviewTest : public testing::TGuiTest {
protected:
    TFakePrinter printer{300, 2480, 3508};

    // Page numbers in the order the printer was asked for them.
    std::vector<int> PrintedPages(TPrintPreview& preview, int from, int to, int copies, bool collate) {
        std::vector<int> pages;
        preview.OnPrintPage = [&](int, int, int page, int) { pages.push_back(page); };
        preview.SetCopies(copies);
        preview.SetCollate(collate);
        preview.Print(from, to);
        return pages;
    }
};

TEST_F(PrintPreviewTest, ReportsTakeConsecutivePagesAndNumbers) {
    TPrintPreview preview(&printer);
    preview.AddReport(PagedReport(3, "First"));
    preview.AddReport(PagedReport(2, "Second"));
    ASSERT_EQ(preview.PageCount(), 5);
    EXPECT_EQ(preview.GetReport(0).FirstPage, 1);
    EXPECT_EQ(preview.GetReport(0).LastPage, 3);
    EXPECT_EQ(preview.GetReport(1).FirstPage, 4);
    EXPECT_EQ(preview.GetReport(1).LastPage, 5);
    EXPECT_EQ(preview.ReportOfPage(4), &preview.GetReport(1));
    EXPECT_EQ(preview.ReportOfPage(6), nullptr);
    EXPECT_NE(PageText(preview.GetPageMetafile(4)).find("Page 4"), std::string::npos);
    EXPECT_EQ(preview.CurrentPage(), 1);

    // Renumbering from 2 reformats every report.
    preview.SetFirstPageNumber(2);
    EXPECT_NE(PageText(preview.GetPageMetafile(1)).find("Page 2"), std::string::npos);
    EXPECT_NE(PageText(preview.GetPageMetafile(4)).find("Page 5"), std::string::npos);

    preview.Clear();
    EXPECT_EQ(preview.PageCount(), 0);
    EXPECT_EQ(preview.ReportCount(), 0);
    EXPECT_EQ(preview.FirstPageNumber(), 1);
    EXPECT_EQ(preview.CurrentPage(), 0);
}

TEST_F(PrintPreviewTest, GoToPageClampsAndAnEmptyPreviewDrawsABlankPage) {
    TPrintPreview preview(nullptr);
    preview.resize(600, 800);
    preview.SetZoom(20);
    auto inkInsidePage = [&] {
        QImage image(600, 800, QImage::Format_RGB32);
        QPainter painter(&image);
        TQtCanvas canvas(&painter);
        preview.PaintPage(canvas, image.width(), image.height());
        painter.end();
        TCanvasRect page = preview.PageRect(image.width(), image.height());
        int ink = 0;
        for (int y = page.Top + 2; y < page.Bottom - 2; ++y)
            for (int x = page.Left + 2; x < page.Right - 2; ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255)) ++ink;
        return ink;
    };

    preview.GoToPage(3);
    EXPECT_EQ(preview.CurrentPage(), 0);
    EXPECT_EQ(preview.CurrentMetafile(), nullptr);
    EXPECT_EQ(inkInsidePage(), 0);

    preview.AddReport(PagedReport(5));
    for (auto [target, expected] : std::initializer_list<std::pair<int, int>>{{0, 1}, {9, 5}, {-4, 1}, {3, 3}}) {
        preview.GoToPage(target);
        EXPECT_EQ(preview.CurrentPage(), expected) << "GoToPage(" << target << ")";
    }
    preview.NextPage();
    preview.NextPage();
    EXPECT_EQ(preview.CurrentPage(), 5);
    EXPECT_GT(inkInsidePage(), 0);
}

TEST_F(PrintPreviewTest, CopiesCollatedOrNotAndThePrinterMakesNoCopiesOfItsOwn) {
    TPrintPreview preview(&printer);
    preview.AddReport(PagedReport(5));
    printer.SetCopies(3);
    std::vector<int> printerCopies;
    preview.OnPagePrinted = [&](int, int, int, int) { printerCopies.push_back(printer.Copies()); };

    EXPECT_EQ(PrintedPages(preview, 2, 3, 2, true), (std::vector<int>{2, 3, 2, 3}));
    ASSERT_EQ(printer.Documents().size(), 1u);
    EXPECT_EQ(printer.Documents()[0].Pages.size(), 4u);
    EXPECT_EQ(printer.Log().back(), "EndDoc");
    EXPECT_EQ(printerCopies, (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(printer.Copies(), 3);

    EXPECT_EQ(PrintedPages(preview, 2, 3, 2, false), (std::vector<int>{2, 2, 3, 3}));
    EXPECT_EQ(printer.Documents().size(), 2u);
    EXPECT_FALSE(printer.Printing());

    // A later end below the start pulls the start down; the range is put
    // back afterwards.
    EXPECT_EQ(PrintedPages(preview, 5, 2, 1, true), (std::vector<int>{2}));
    EXPECT_EQ(preview.GetPrintFrom(), 1);
    EXPECT_EQ(preview.GetPrintTo(), 5);
    EXPECT_FALSE(preview.Aborted());
}

TEST_F(PrintPreviewTest, EachOrientationGetsADocumentTitledAfterItsFirstReport) {
    TPrintPreview preview(&printer);
    preview.AddReport(PagedReport(2, "Upright", 0));
    preview.AddReport(PagedReport(1, "Also upright", 0));
    preview.AddReport(PagedReport(2, "Wide", 1));
    EXPECT_EQ(preview.GetPageMetafile(5).Width(), 3508);
    preview.Print(1, 5);
    ASSERT_EQ(printer.Documents().size(), 2u);
    EXPECT_EQ(printer.Documents()[0].Title, "Upright");
    EXPECT_EQ(printer.Documents()[0].Pages.size(), 3u);
    EXPECT_EQ(printer.Documents()[0].Orientation, TPrinterOrientation::Portrait);
    EXPECT_EQ(printer.Documents()[1].Title, "Wide");
    EXPECT_EQ(printer.Documents()[1].Orientation, TPrinterOrientation::Landscape);
}

TEST_F(PrintPreviewTest, CancelAbortsThisJobOnlyAndAFailedJobIsAbortedOnThePrinter) {
    TPrintPreview preview(&printer);
    preview.AddReport(PagedReport(4));
    printer.SetCopies(2);
    preview.OnPrintPage = [&](int printed, int, int, int) {
        if (printed == 2) preview.Cancel();
    };
    preview.Print(1, 4);
    EXPECT_TRUE(preview.Aborted());
    ASSERT_EQ(printer.Documents().size(), 1u);
    EXPECT_TRUE(printer.Documents()[0].Aborted);
    EXPECT_EQ(printer.Copies(), 2);

    // The next job starts afresh.
    preview.OnPrintPage = nullptr;
    preview.Print(1, 1);
    EXPECT_FALSE(preview.Aborted());
    EXPECT_FALSE(printer.Documents().back().Aborted);

    preview.OnPrintPage = [&](int printed, int, int, int) {
        if (printed == 2) throw EPrinterError("Out of paper");
    };
    EXPECT_THROW(preview.Print(1, 4), EPrinterError);
    EXPECT_TRUE(preview.Aborted());
    EXPECT_FALSE(preview.Printing());
    EXPECT_FALSE(printer.Printing());
    EXPECT_TRUE(printer.Documents().back().Aborted);
    EXPECT_EQ(printer.Copies(), 2);
}

TEST_F(PrintPreviewTest, WithoutAPrinterNothingPrints) {
    TPrintPreview preview(nullptr);
    preview.AddReport(PagedReport(2));
    EXPECT_EQ(preview.GetPageMetafile(1).Width(), 2480);
    EXPECT_EQ(preview.GetPageMetafile(1).Resolution(), 300);
    preview.Print(1, 2);
    EXPECT_FALSE(preview.Printing());
}

TEST_F(PrintPreviewTest, TextSavesSeparateReportsByFormFeedsOnlyOnPages) {
    TScratchDir dir;
    TPrintPreview preview(nullptr);
    // Two short reports without page breaks of their own.
    preview.AddReport(PagedReport(1, "First", 0, 10, pbFlow));
    preview.AddReport(PagedReport(1, "Second", 0, 10, pbFlow));

    auto expected = [&](int height, bool data) {
        std::string text;
        for (int i = 0; i < preview.ReportCount(); ++i) {
            std::unique_ptr<TTextFormatter> f;
            if (data)
                f = std::make_unique<TDataFormatter>(preview.GetReport(i), TPoint{0, 0}, TPoint{0, height});
            else
                f = std::make_unique<TTextFormatter>(preview.GetReport(i), TPoint{0, 0}, TPoint{80, height});
            f->Run();
            if (i > 0 && height > 0) text += '\f';
            text += f->ToText();
        }
        return text;
    };

    const std::string path = dir.File("r.txt");
    ASSERT_TRUE(preview.SaveAsText(path, 80, 0, TPrintPreview::tmText));
    std::string endless = ReadFile(path);
    EXPECT_EQ(CountOf(endless, '\f'), 0u);
    EXPECT_EQ(endless, expected(0, false));

    ASSERT_TRUE(preview.SaveAsText(path, 80, 60, TPrintPreview::tmText));
    std::string paged = ReadFile(path);
    // One between the reports, none after the last.
    EXPECT_EQ(CountOf(paged, '\f'), 1u);
    EXPECT_NE(paged.back(), '\f');
    EXPECT_EQ(paged, expected(60, false));

    ASSERT_TRUE(preview.SaveAsText(path, 80, 60, TPrintPreview::tmData));
    EXPECT_EQ(ReadFile(path), expected(60, true));
}

TEST_F(PrintPreviewTest, AFailedOrCancelledTextSaveLeavesTheOldFile) {
    TScratchDir dir;
    const std::string path = dir.File("kept.txt");
    WriteFileAtomic(path, "old contents");
    TPrintPreview preview(nullptr);
    preview.AddReport(PagedReport(2, "First", 0, 40));
    preview.AddReport(PagedReport(2, "Second", 0, 40));

    preview.OnFormatProgress = [&](TFormatter& f, int, int, int, int) {
        if (&f.Report() == &preview.GetReport(1)) preview.Cancel();
    };
    EXPECT_FALSE(preview.SaveAsText(path, 80, 60, TPrintPreview::tmText));
    EXPECT_TRUE(preview.Aborted());
    EXPECT_EQ(ReadFile(path), "old contents");

    preview.OnFormatProgress = [&](TFormatter& f, int, int, int, int) {
        if (&f.Report() == &preview.GetReport(1)) throw EFileError("Disk full");
    };
    EXPECT_THROW(preview.SaveAsText(path, 80, 60, TPrintPreview::tmData), EFileError);
    EXPECT_EQ(ReadFile(path), "old contents");
    EXPECT_FALSE(preview.Formatting());

    preview.OnFormatProgress = nullptr;
    EXPECT_THROW(preview.SaveAsText(dir.File("missing/r.txt"), 80, 0, 0), EFileError);
}

TEST_F(PrintPreviewTest, EveryZoomStaysWithinItsLimits) {
    TPrintPreview preview(nullptr);
    preview.AddReport(PagedReport(1));
    for (auto [typed, expected] : std::initializer_list<std::pair<std::int64_t, int>>{
             {125, 125}, {0, 10}, {-7, 10}, {99999, 400}, {INT64_MAX, 400}, {10, 10}, {400, 400}}) {
        preview.SetZoom(typed);
        EXPECT_EQ(preview.Zoom(), expected) << typed;
    }

    // A window without size leaves the zoom as it is.
    preview.SetZoom(75);
    preview.resize(0, 0);
    preview.ZoomPageWidth();
    preview.ZoomPageHeight();
    preview.ZoomWholePage();
    EXPECT_EQ(preview.Zoom(), 75);

    // Page width: the widest zoom whose page fits beside a scroll bar and
    // the shadow.
    preview.resize(900, 700);
    preview.ZoomPageWidth();
    const int available = preview.maximumViewportSize().width() -
                          preview.style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 2 * (preview.ShadowSize() + 1);
    EXPECT_LE(preview.ZoomedExtent(false), available);
    const int fitted = preview.Zoom();
    preview.SetZoom(fitted + 1);
    EXPECT_GT(preview.ZoomedExtent(false), available);

    // The whole page of a portrait page in a wide window is fitted to the
    // height.
    preview.ZoomWholePage();
    const int whole = preview.Zoom();
    preview.ZoomPageHeight();
    EXPECT_EQ(whole, preview.Zoom());
    EXPECT_LT(whole, fitted);
}

TEST_F(PrintPreviewTest, PagesAreScaledByTheResolutionTheyWereRecordedAt) {
    TFakePrinter fine(600, 4960, 7016);
    TPrintPreview preview(&fine);
    fine.SetUnreachable(true);
    preview.AddReport(PagedReport(1));
    ASSERT_EQ(preview.GetPageMetafile(1).Resolution(), 300);
    const std::int32_t w = preview.GetPageMetafile(1).Width(), h = preview.GetPageMetafile(1).Height();
    const double screen = preview.PaintBox().logicalDpiX();
    EXPECT_DOUBLE_EQ(preview.ScaleFactor(false), 300 / screen);

    // Printed at the printer's resolution once it can be reached: the page
    // is stretched to twice its size.
    fine.SetUnreachable(false);
    preview.Print(1, 1);
    ASSERT_EQ(fine.Documents().size(), 1u);
    bool stretched = false;
    for (const TMetaRecord& r : fine.Documents()[0].Pages[0]->Records())
        if (const auto* p = std::get_if<TMetaPicture>(&r)) stretched = p->Dest == TCanvasRect{0, 0, 2 * w, 2 * h};
    EXPECT_TRUE(stretched);

    // Another resolution, or another printer, lays the pages out anew.
    preview.CheckPrinter();
    EXPECT_EQ(preview.GetPageMetafile(1).Resolution(), 600);
    EXPECT_DOUBLE_EQ(preview.ScaleFactor(true), 600.0 / preview.PaintBox().logicalDpiY());
    // (Counted by the pages begun: a new page may well take the freed
    // one's place in memory.)
    int pagesBegun = 0;
    preview.OnFormatNewPage = [&](TFormatter&, int, int, int, int) { ++pagesBegun; };
    preview.CheckPrinter();
    EXPECT_EQ(pagesBegun, 0);
    fine.SetIndex(1);
    preview.CheckPrinter();
    EXPECT_EQ(pagesBegun, 1);
}

TEST_F(PrintPreviewTest, AReportWhoseFormattingFailsClaimsNoPages) {
    TPrintPreview preview(&printer);
    bool fail = false;
    auto failing = PagedReport(3, "Failing");
    failing->NewLine()->AddDraw(
        [&](TDrawSurface&, const TRect&, const TParam*) {
            if (fail) throw EPrinterError("Device lost");
        },
        nullptr);
    preview.AddReport(std::move(failing));
    preview.AddReport(PagedReport(2, "Good"));
    ASSERT_EQ(preview.GetReport(1).FirstPage, 4);

    fail = true;
    EXPECT_THROW(preview.ReformatAll(), EPrinterError);
    EXPECT_EQ(preview.PageCount(), 0);
    EXPECT_EQ(preview.ReportOfPage(4), nullptr);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(preview.GetReport(i).FirstPage, 0);
        EXPECT_EQ(preview.GetReport(i).LastPage, 0);
    }
    EXPECT_EQ(preview.CurrentPage(), 0);
    EXPECT_FALSE(preview.Formatting());

    // A new report that fails keeps the pages of the others.
    fail = false;
    preview.ReformatAll();
    auto another = PagedReport(1, "Another");
    another->NewLine()->AddDraw([](TDrawSurface&, const TRect&, const TParam*) { throw EPrinterError("x"); },
                                nullptr);
    EXPECT_THROW(preview.AddReport(std::move(another)), EPrinterError);
    EXPECT_EQ(preview.ReportCount(), 3);
    EXPECT_EQ(preview.PageCount(), 5);
    EXPECT_EQ(preview.GetReport(2).FirstPage, 0);
    EXPECT_EQ(preview.ReportOfPage(5), &preview.GetReport(1));
}

TEST_F(PrintPreviewTest, CancelStopsFormattingAndKeepsThePagesMadeSoFar) {
    TPrintPreview preview(nullptr);
    preview.AddReport(PagedReport(6, "Long", 0, 20));
    preview.AddReport(PagedReport(2, "Later"));
    ASSERT_EQ(preview.PageCount(), 8);

    preview.OnFormatProgress = [&](TFormatter& f, int page, int, int, int) {
        if (page == 3 && &f.Report() == &preview.GetReport(0)) preview.Cancel();
    };
    preview.ReformatAll();
    EXPECT_TRUE(preview.Aborted());
    EXPECT_GE(preview.PageCount(), 2);
    EXPECT_LE(preview.PageCount(), 3);
    EXPECT_EQ(preview.GetReport(0).FirstPage, 1);
    EXPECT_EQ(preview.GetReport(1).FirstPage, 0);
    EXPECT_EQ(preview.GetReport(1).LastPage, 0);

    preview.OnFormatProgress = nullptr;
    preview.ReformatAll();
    EXPECT_FALSE(preview.Aborted());
    EXPECT_EQ(preview.PageCount(), 8);
}

TEST_F(PrintPreviewTest, WhileBusyClearAddReportReformatAndASecondJobAreRefused) {
    TPrintPreview preview(&printer);
    preview.AddReport(PagedReport(3));
    TScratchDir dir;
    int refused = 0;
    auto expectRefusals = [&] {
        EXPECT_TRUE(preview.Busy());
        for (const auto& command : std::vector<std::function<void()>>{
                 [&] { preview.Clear(); },
                 [&] { preview.AddReport(PagedReport(1)); },
                 [&] { preview.ReformatAll(); },
                 [&] { preview.SetMargins(10, 10, 10, 10); },
                 [&] { preview.SetFirstPageNumber(7); },
                 [&] { preview.CheckPrinter(); },
                 [&] { preview.Print(1, 1); },
                 [&] { preview.PrintPages(); },
                 [&] { preview.SaveAsText(dir.File("x.txt"), 80, 0, 0); },
             }) {
            EXPECT_THROW(command(), EPreviewBusy);
            ++refused;
        }
    };

    bool once = false;
    preview.OnFormatProgress = [&](TFormatter&, int, int, int, int) {
        if (!std::exchange(once, true)) expectRefusals();
    };
    preview.AddReport(PagedReport(2, "Added"));
    EXPECT_EQ(refused, 9);
    EXPECT_EQ(preview.ReportCount(), 2);
    EXPECT_EQ(preview.PageCount(), 5);
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.txt")));

    preview.OnFormatProgress = nullptr;
    once = false;
    preview.OnPrintPage = [&](int, int, int, int) {
        if (!std::exchange(once, true)) expectRefusals();
    };
    preview.Print(1, 5);
    EXPECT_EQ(refused, 18);
    EXPECT_EQ(printer.Documents().size(), 1u);
    EXPECT_EQ(printer.Documents()[0].Pages.size(), 5u);
    EXPECT_FALSE(preview.Busy());
    EXPECT_EQ(preview.PageCount(), 5);
}

}  // namespace
}  // namespace mivo
