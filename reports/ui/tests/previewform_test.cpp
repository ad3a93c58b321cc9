// The preview window, offscreen, with scripted prompts: command states,
// zoom box, keys, saving, copying, printing, page setup, the layout after
// every command, and the window's refusals while a job runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "model/SafeFile.h"
#include "platform/EmfWriter.h"
#include "platform/ErrorDisplay.h"
#include "platform/FakePrinter.h"
#include "platform/ScriptedPrompts.h"
#include "reports/ui/PreviewForm.h"
#include "reports/ui/PreviewViewer.h"
#include "reports/ui/tests/PreviewTestKit.h"

namespace mivo {
namespace {

using testing::PagedReport;
using testing::PageText;
using testing::TMemoryClipboard;
using testing::TScratchDir;

class PreviewFormTest : public testing::TGuiTest {
protected:
    void SetUp() override {
        TGuiTest::SetUp();
        previousErrorPrompts = SetErrorPrompts(&prompts);
    }
    void TearDown() override {
        SetErrorPrompts(previousErrorPrompts);
        EXPECT_TRUE(prompts.Failures().empty()) << prompts.Failures().front();
        EXPECT_EQ(prompts.Pending(), 0u);
    }

    // The idle layout: Close in place of Cancel, no progress shown.
    static void ExpectIdle(const TPreviewForm& form) {
        EXPECT_EQ(form.ProgressMode(), TPreviewForm::pmIdle);
        EXPECT_TRUE(form.CloseAction().isVisible());
        EXPECT_TRUE(form.CloseAction().isEnabled());
        EXPECT_FALSE(form.CancelAction().isVisible());
        EXPECT_TRUE(form.ProgressMsg().isHidden());
    }

    void ExpectSave(const std::string& fileName, int filterIndex) {
        prompts.ExpectSaveFile(TFileAnswer{fileName, filterIndex});
    }

    TScriptedPrompts prompts;
    TPrompts* previousErrorPrompts = nullptr;
    TMemoryClipboard clipboard;
    TFakePrinter printer{300, 2480, 3508};
};

TEST_F(PreviewFormTest, CommandStatesFollowPagesAndPrinter) {
    TPreviewForm withoutPrinter(prompts, clipboard, nullptr);
    EXPECT_FALSE(withoutPrinter.SaveAction().isEnabled());
    EXPECT_TRUE(withoutPrinter.PageSetupAction().isEnabled());
    withoutPrinter.CopyBtnClick();
    withoutPrinter.SaveBtnClick();
    EXPECT_EQ(clipboard.pictures, 0);

    withoutPrinter.Preview().AddReport(PagedReport(3));
    withoutPrinter.UpdateStatus();
    EXPECT_FALSE(withoutPrinter.PrintAction().isEnabled());
    EXPECT_TRUE(withoutPrinter.SaveAction().isEnabled());
    EXPECT_FALSE(withoutPrinter.PrevAction().isEnabled());
    EXPECT_TRUE(withoutPrinter.NextAction().isEnabled());
    EXPECT_EQ(withoutPrinter.StatusPanel().text(), "Page 1/3");
    withoutPrinter.PrintBtnClick();  // asks nothing
    ExpectIdle(withoutPrinter);

    TPreviewForm form(prompts, clipboard, &printer);
    form.Preview().AddReport(PagedReport(3));
    form.UpdateStatus();
    EXPECT_TRUE(form.PrintAction().isEnabled());
    form.NextBtnClick();
    form.NextBtnClick();
    EXPECT_EQ(form.StatusPanel().text(), "Page 3/3");
    EXPECT_TRUE(form.PrevAction().isEnabled());
    EXPECT_FALSE(form.NextAction().isEnabled());
    EXPECT_EQ(form.PrintAction().toolTip(), "Print...");
    EXPECT_EQ(form.CloseAction().toolTip(), "Close this preview");
}

TEST_F(PreviewFormTest, TheZoomBoxTakesTypedPercentagesWithinLimitsAndInsertsNothing) {
    TPreviewForm form(prompts, clipboard, nullptr);
    form.resize(1000, 800);
    form.Preview().AddReport(PagedReport(1));
    QComboBox& box = form.ZoomBox();
    EXPECT_EQ(box.count(), TPreviewForm::ZoomItemCount);
    EXPECT_EQ(box.currentText(), "25%");
    form.Preview().SetZoom(60);
    for (auto [typed, expected] : std::initializer_list<std::pair<const char*, int>>{
             {"125", 125}, {"125%", 125}, {"abc", 125}, {"0", 10}, {"99999", 400}, {" 80 %", 80},
             {"99999999999999999999999", 400}, {"", 400}}) {
        box.setEditText(typed);
        form.ZoomBoxExit();
        EXPECT_EQ(form.Preview().Zoom(), expected) << typed;
        EXPECT_TRUE(form.ZoomTimer().isActive());
        form.ZoomTimerTimer();
        EXPECT_EQ(box.currentText(), QString::number(expected) + "%");
    }

    // Enter in the shown window zooms and inserts no item.
    form.show();
    box.lineEdit()->setFocus();
    box.setEditText("150");
    QTest::keyClick(box.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(form.Preview().Zoom(), 150);
    EXPECT_EQ(box.count(), TPreviewForm::ZoomItemCount);
    // The timer shows the zoom in force once it fires.
    for (int wait = 0; wait < 200 && form.ZoomTimer().isActive(); ++wait) QTest::qWait(10);
    EXPECT_EQ(box.currentText(), "150%");

    // The fits, chosen from the list.
    form.ZoomBoxSelect(TPreviewForm::ZoomPageWidthItem);
    const int width = form.Preview().Zoom();
    form.ZoomBoxSelect(TPreviewForm::ZoomWholePageItem);
    EXPECT_LT(form.Preview().Zoom(), width);
    form.ZoomBoxSelect(3);
    EXPECT_EQ(form.Preview().Zoom(), 125);
    form.hide();
}

TEST_F(PreviewFormTest, PageKeysPageRenumberAndScroll) {
    TPreviewForm form(prompts, clipboard, nullptr);
    form.Preview().AddReport(PagedReport(4));
    form.show();
    QTest::keyClick(&form, Qt::Key_PageDown);
    EXPECT_EQ(form.Preview().CurrentPage(), 2);
    QTest::keyClick(&form, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(form.Preview().CurrentPage(), 4);
    QTest::keyClick(&form, Qt::Key_PageUp);
    EXPECT_EQ(form.Preview().CurrentPage(), 3);
    QTest::keyClick(&form, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(form.Preview().CurrentPage(), 1);
    EXPECT_EQ(form.StatusPanel().text(), "Page 1/4");

    // Keys reach the window before a child with the focus.
    form.ZoomBox().lineEdit()->setFocus();
    QTest::keyClick(form.ZoomBox().lineEdit(), Qt::Key_PageDown, Qt::ShiftModifier);
    EXPECT_EQ(form.Preview().FirstPageNumber(), 2);
    EXPECT_NE(PageText(form.Preview().GetPageMetafile(1)).find("Page 2"), std::string::npos);
    ExpectIdle(form);

    form.Preview().SetZoom(300);
    QScrollBar& bar = *form.Preview().verticalScrollBar();
    ASSERT_GT(bar.maximum(), 0);
    QTest::keyClick(&form, Qt::Key_Down);
    EXPECT_EQ(bar.value(), TPrintPreview::ScrollStep);
    QTest::keyClick(&form, Qt::Key_Up);
    QTest::keyClick(&form, Qt::Key_Up);
    EXPECT_EQ(bar.value(), 0);
    form.hide();
}

TEST_F(PreviewFormTest, TextDimensionsKeepTheLastConfirmedValuesWithinLimits) {
    TScratchDir dir;
    TPreviewForm form(prompts, clipboard, nullptr);
    form.Preview().AddReport(PagedReport(2, "Dims", 0, 30, pbFlow));
    TTextDimForm& dims = form.TextDim();
    EXPECT_EQ(dims.GetTextWidth(), 80);
    EXPECT_EQ(dims.GetTextHeight(), 0);

    auto typeDimensions = [&](int width, int height, int result) {
        prompts.ExpectExec([=, &dims](QDialog& dialog) {
            EXPECT_EQ(&dialog, &dims);
            dims.EditWidth().setValue(width);
            dims.EditHeight().setValue(height);
            return result;
        });
    };

    ExpectSave(dir.File("a"), 1);
    typeDimensions(40, 2'000'000'000, QDialog::Accepted);
    form.SaveBtnClick();
    EXPECT_EQ(dims.GetTextWidth(), 40);
    EXPECT_EQ(dims.GetTextHeight(), TTextDimForm::MaxDimension);

    ExpectSave(dir.File("b"), 1);
    typeDimensions(70, 20, QDialog::Rejected);
    form.SaveBtnClick();
    EXPECT_FALSE(std::filesystem::exists(dir.File("b.txt")));
    EXPECT_EQ(dims.GetTextWidth(), 40);
    EXPECT_EQ(dims.EditWidth().value(), 40);
    EXPECT_EQ(dims.EditHeight().value(), TTextDimForm::MaxDimension);

    ExpectSave(dir.File("c"), 1);
    typeDimensions(30, 12, QDialog::Accepted);
    form.SaveBtnClick();
    ExpectSave(dir.File("d"), 1);
    typeDimensions(90, 50, QDialog::Rejected);
    form.SaveBtnClick();

    // The tab-delimited save asks nothing and pages at the confirmed 12.
    ExpectSave(dir.File("e"), 2);
    form.SaveBtnClick();
    TDataFormatter expected(form.Preview().GetReport(0), {0, 0}, {0, 12});
    expected.Run();
    EXPECT_EQ(ReadFile(dir.File("e.tab")), expected.ToText());
    EXPECT_GT(expected.PageCount(), 1);
    ExpectIdle(form);
}

TEST_F(PreviewFormTest, TheOverwriteQuestionNamesTheFileActuallyWritten) {
    TScratchDir dir;
    TPreviewForm form(prompts, clipboard, nullptr);
    form.Preview().AddReport(PagedReport(1));
    WriteFileAtomic(dir.File("r.emf"), "old");
    WriteFileAtomic(dir.File("r"), "unrelated");

    ExpectSave(dir.File("r"), 3);
    prompts.ExpectMessage(TMsgAnswer::No);
    form.SaveBtnClick();
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0], dir.File("r.emf") + " already exists.\rDo you want to replace it?");
    EXPECT_EQ(prompts.Log().back().MsgKind, TMsgKind::Confirmation);
    EXPECT_EQ(ReadFile(dir.File("r.emf")), "old");

    ExpectSave(dir.File("r"), 3);
    prompts.ExpectMessage(TMsgAnswer::Yes);
    form.SaveBtnClick();
    EXPECT_EQ(ReadFile(dir.File("r.emf")).substr(0, 4), std::string("\x01\0\0\0", 4));
    EXPECT_EQ(ReadFile(dir.File("r")), "unrelated");

    // A new name is written without a question; a read-only file is kept.
    prompts.ClearLog();
    ExpectSave(dir.File("fresh"), 4);
    form.SaveBtnClick();
    EXPECT_TRUE(std::filesystem::exists(dir.File("fresh.bmp")));
    EXPECT_TRUE(prompts.Messages().empty());
    if (::geteuid() != 0) {
        std::filesystem::permissions(dir.File("r.emf"), std::filesystem::perms::owner_read);
        ExpectSave(dir.File("r.emf"), 3);
        prompts.ExpectMessage(TMsgAnswer::Ok);
        form.SaveBtnClick();
        EXPECT_EQ(prompts.Log().back().MsgKind, TMsgKind::Warning);
    }
    ExpectIdle(form);
}

TEST_F(PreviewFormTest, EveryCommandEndsInTheIdleLayoutEvenWhenItFails) {
    TScratchDir dir;
    TPreviewForm form(prompts, clipboard, &printer);
    form.Preview().AddReport(PagedReport(2, "Fails", 0, 30));
    // The failure strikes while formatting, with the progress layout shown.
    auto progress = form.Preview().OnFormatProgress;
    form.Preview().OnFormatProgress = [&](TFormatter& f, int page, int lines, int done, int total) {
        progress(f, page, lines, done, total);
        EXPECT_EQ(form.ProgressMode(), TPreviewForm::pmFormatting);
        EXPECT_TRUE(form.CancelAction().isVisible());
        throw EFileError("Disk full");
    };

    WriteFileAtomic(dir.File("f.tab"), "previous");
    ExpectSave(dir.File("f"), 2);
    prompts.ExpectMessage(TMsgAnswer::Yes);
    EXPECT_THROW(form.SaveBtnClick(), EFileError);
    EXPECT_EQ(ReadFile(dir.File("f.tab")), "previous");
    ExpectIdle(form);

    prompts.ExpectPageSetup([](TPageSetupRequest& request) {
        request.MarginLeft = 30000;
        return true;
    });
    EXPECT_THROW(form.PageSetupBtnClick(), EFileError);
    ExpectIdle(form);

    // Printing fails at the printer.
    form.Preview().OnFormatProgress = progress;
    form.Preview().ReformatAll();
    auto printProgress = form.Preview().OnPrintPage;
    form.Preview().OnPrintPage = [&](int printed, int total, int page, int count) {
        printProgress(printed, total, page, count);
        EXPECT_EQ(form.ProgressMode(), TPreviewForm::pmPrinting);
        throw EPrinterError("Out of paper");
    };
    prompts.ExpectPrint([](TPrintRequest&) { return true; });
    EXPECT_THROW(form.PrintBtnClick(), EPrinterError);
    ExpectIdle(form);
    EXPECT_TRUE(printer.Documents().back().Aborted);
}

TEST_F(PreviewFormTest, PrintingAbortedIsSaidOnlyWhenThisJobWasCancelled) {
    TPreviewForm form(prompts, clipboard, &printer);
    form.Preview().AddReport(PagedReport(4));
    form.UpdateStatus();

    // A cancelled print dialog prints nothing and says nothing, though an
    // earlier cancel is still recorded.
    form.Preview().Cancel();
    prompts.ExpectPrint([](TPrintRequest&) { return false; });
    form.PrintBtnClick();
    EXPECT_TRUE(printer.Documents().empty());
    EXPECT_TRUE(prompts.Messages().empty());

    // The dialog sets the printer's copies; the preview makes them.
    prompts.ExpectPrint([&](TPrintRequest& request) {
        EXPECT_EQ(request.Printer, &printer);
        EXPECT_EQ(request.MaxPage, 4);
        request.PageRange = true;
        request.FromPage = 2;
        request.ToPage = 3;
        request.Copies = 2;
        request.Collate = true;
        request.Printer->SetCopies(2);
        return true;
    });
    form.PrintBtnClick();
    ASSERT_EQ(printer.Documents().size(), 1u);
    EXPECT_EQ(printer.Documents()[0].Pages.size(), 4u);
    EXPECT_EQ(printer.Copies(), 2);
    EXPECT_TRUE(prompts.Messages().empty());

    // Escape while printing cancels this job.
    auto printProgress = form.Preview().OnPrintPage;
    form.Preview().OnPrintPage = [&](int printed, int total, int page, int count) {
        printProgress(printed, total, page, count);
        if (printed == 2) {
            EXPECT_TRUE(form.HandleKey(Qt::Key_Escape, Qt::NoModifier));
        }
    };
    prompts.ExpectPrint([](TPrintRequest& request) {
        request.Copies = 1;
        return true;
    });
    prompts.ExpectMessage(TMsgAnswer::Ok);
    form.PrintBtnClick();
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0], "Printing aborted.");
    EXPECT_EQ(prompts.Log().back().MsgKind, TMsgKind::Information);
    EXPECT_TRUE(printer.Documents().back().Aborted);
    ExpectIdle(form);
}

TEST_F(PreviewFormTest, WhileAJobRunsOnlyCancelAndEscapeAct) {
    TPreviewForm form(prompts, clipboard, &printer);
    form.Preview().AddReport(PagedReport(3, "Busy", 0, 30));
    form.show();
    ASSERT_EQ(form.Preview().PageCount(), 3);
    int fired = 0;
    auto progress = form.Preview().OnFormatProgress;
    form.Preview().OnFormatProgress = [&](TFormatter& f, int page, int lines, int done, int total) {
        progress(f, page, lines, done, total);
        if (fired++ > 0) return;
        EXPECT_FALSE(form.PrintAction().isEnabled());
        EXPECT_FALSE(form.SaveAction().isEnabled());
        EXPECT_FALSE(form.PageSetupAction().isEnabled());
        EXPECT_FALSE(form.ZoomBox().isEnabled());
        EXPECT_FALSE(form.CloseAction().isVisible());
        // Any of these would ask a scripted prompt or reformat inside the
        // reformat.
        form.PrintBtnClick();
        form.PageSetupBtnClick();
        form.SaveBtnClick();
        form.CopyBtnClick();
        form.NextBtnClick();
        form.ZoomBoxSelect(0);
        form.ZoomBoxExit();
        EXPECT_TRUE(form.HandleKey(Qt::Key_PageDown, Qt::ShiftModifier));
        EXPECT_TRUE(form.HandleKey(Qt::Key_PageDown, Qt::NoModifier));
        QTest::keyClick(&form, Qt::Key_PageDown, Qt::ShiftModifier);
        form.CloseBtnClick();
        form.close();
        form.done(QDialog::Accepted);
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.Preview().FirstPageNumber(), 2);
        EXPECT_EQ(clipboard.pictures, 0);
        // Escape stops the reformat.
        QTest::keyClick(&form, Qt::Key_Escape);
    };
    QTest::keyClick(&form, Qt::Key_PageDown, Qt::ShiftModifier);
    EXPECT_GE(fired, 1);
    EXPECT_TRUE(prompts.Log().empty());
    EXPECT_TRUE(form.Preview().Aborted());
    EXPECT_LT(form.Preview().PageCount(), 3);
    EXPECT_TRUE(form.isVisible());
    ExpectIdle(form);

    form.CloseBtnClick();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(PreviewFormTest, PageSetupWithoutAPrinterWorksOnA4InTheReportsOrientation) {
    TPreviewForm form(prompts, clipboard, nullptr);
    form.Preview().AddReport(PagedReport(2, "Wide", 1));
    ASSERT_EQ(form.Preview().GetPageMetafile(1).Width(), 3508);
    EXPECT_TRUE(form.PageSetupAction().isEnabled());

    prompts.ExpectPageSetup([](TPageSetupRequest& request) {
        EXPECT_FALSE(request.InchUnits);
        EXPECT_TRUE(request.Landscape);
        EXPECT_EQ(request.PaperWidth, 297000);
        EXPECT_EQ(request.PaperHeight, 210000);
        EXPECT_TRUE(request.DisablePaper);
        EXPECT_EQ(request.MarginLeft, 20000);
        EXPECT_EQ(request.MarginTop, 15000);
        EXPECT_EQ(request.MarginRight, 10000);
        EXPECT_EQ(request.MarginBottom, 10000);
        request.Landscape = false;
        request.MarginLeft = 25000;
        request.MarginBottom = 12340;
        return true;
    });
    form.PageSetupBtnClick();
    EXPECT_EQ(form.Preview().GetReport(0).PageOrientation, 0);
    EXPECT_EQ(form.Preview().GetPageMetafile(1).Width(), 2480);
    EXPECT_FLOAT_EQ(form.Preview().LeftMargin().Value, 25.0f);
    EXPECT_FLOAT_EQ(form.Preview().BottomMargin().Value, 12.34f);
    EXPECT_EQ(form.Preview().LeftMargin().Kind, mkMillimetres);

    // Cancel changes nothing.
    const TPageMetafile* page = &form.Preview().GetPageMetafile(1);
    prompts.ExpectPageSetup([](TPageSetupRequest& request) {
        EXPECT_FALSE(request.Landscape);
        EXPECT_EQ(request.MarginLeft, 25000);
        request.Landscape = true;
        return false;
    });
    form.PageSetupBtnClick();
    EXPECT_EQ(&form.Preview().GetPageMetafile(1), page);
    EXPECT_EQ(form.Preview().GetReport(0).PageOrientation, 0);
    ExpectIdle(form);

    // With a printer the paper can be chosen; a new orientation goes to
    // every report.
    TPreviewForm printing(prompts, clipboard, &printer);
    printing.Preview().AddReport(PagedReport(1, "One"));
    printing.Preview().AddReport(PagedReport(1, "Two"));
    prompts.ExpectPageSetup([](TPageSetupRequest& request) {
        EXPECT_FALSE(request.DisablePaper);
        EXPECT_FALSE(request.Landscape);
        request.Landscape = true;
        return true;
    });
    printing.PageSetupBtnClick();
    EXPECT_EQ(printing.Preview().GetReport(1).PageOrientation, 1);
    EXPECT_EQ(printing.Preview().GetPageMetafile(2).Width(), 3508);
}

TEST_F(PreviewFormTest, ACopiedPageIsAMetafileAndAPng) {
    TPreviewForm form(prompts, clipboard, nullptr);
    form.Preview().AddReport(PagedReport(2));
    form.Preview().SetZoom(40);
    form.CopyBtnClick();
    ASSERT_EQ(clipboard.pictures, 1);
    ASSERT_GE(clipboard.emf.size(), 108u);
    EXPECT_EQ(clipboard.emf.substr(0, 4), std::string("\x01\0\0\0", 4));
    EXPECT_EQ(clipboard.emf.substr(40, 4), " EMF");
    QImage png = QImage::fromData(reinterpret_cast<const uchar*>(clipboard.png.data()),
                                  static_cast<int>(clipboard.png.size()), "PNG");
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.width(), form.Preview().ZoomedExtent(false));
    EXPECT_EQ(png.height(), form.Preview().ZoomedExtent(true));
}

class TViewerTest : public PreviewFormTest {};

TEST_F(TViewerTest, ShowReportShowsTheFormattedReportAndClearsAfterwards) {
    TPreviewForm form(prompts, clipboard, nullptr);
    TPreviewViewer viewer(form, prompts);
    TFont font;
    font.Name = "Courier New";
    font.Size = 12;
    viewer.SetReportFont(font);
    EXPECT_EQ(viewer.ReportFont(), font);
    EXPECT_EQ(viewer.PreviewPen(), form.CanvasPen());

    form.Preview().AddReport(PagedReport(1, "Old"));
    prompts.ExpectExec([&](QDialog& dialog) {
        EXPECT_EQ(&dialog, &form);
        EXPECT_EQ(form.Preview().ReportCount(), 1);
        EXPECT_EQ(form.Preview().GetReport(0).GetTitle(), "Shown");
        EXPECT_EQ(form.Preview().PageCount(), 2);
        return QDialog::Rejected;
    });
    viewer.ShowReport(PagedReport(2, "Shown"));
    EXPECT_EQ(form.Preview().ReportCount(), 0);
    EXPECT_EQ(prompts.Log().back().Text, "Preview");

    viewer.ShowReport(nullptr);
    EXPECT_EQ(prompts.Log().size(), 1u);

    // A report that cannot be formatted is reported, not shown.
    auto failing = PagedReport(1, "Failing");
    failing->NewLine()->AddDraw([](TDrawSurface&, const TRect&, const TParam*) { throw EPrinterError("Broken"); },
                                nullptr);
    prompts.ExpectMessage(TMsgAnswer::Ok);
    viewer.ShowReport(std::move(failing));
    EXPECT_EQ(prompts.Log().back().MsgKind, TMsgKind::Error);
    EXPECT_EQ(prompts.Messages().back(), "Broken");
    EXPECT_EQ(form.Preview().ReportCount(), 0);
}

}  // namespace
}  // namespace mivo
