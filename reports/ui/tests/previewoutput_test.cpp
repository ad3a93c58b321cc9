// The example model's report through the preview window: printed into a
// PDF through the Qt printer, and saved as .emf, .bmp, .txt and .tab.
#include <gtest/gtest.h>

#include "model/MivoFile.h"
#include "model/MivoModel.h"
#include "model/SafeFile.h"

#include <QImage>
#include <QPageSize>
#include <QPrinter>

#include "platform/FakePrinter.h"
#include "platform/QtPrinter.h"
#include "platform/ScriptedPrompts.h"
#include "platform/tests/EmfCheck.h"
#include "reports/MivoRpt.h"
#include "reports/ui/PreviewForm.h"
#include "reports/ui/tests/PreviewTestKit.h"

namespace mivo {
namespace {

using testing::TMemoryClipboard;
using testing::TScratchDir;

// The main window with one model window open and no charts.
class TStubHost : public TReportHost {
public:
    bool HasActiveModelWindow() const override { return true; }
    std::string ActiveFileName() const override { return "examples/apartment.mvo"; }
    TChartPanel* ChartPanel(TChartId) const override { return nullptr; }
};

std::size_t PdfPageCount(const std::string& pdf) {
    std::size_t n = 0;
    for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
        if (pdf.compare(at, 12, "/Type /Pages") != 0) ++n;
    return n;
}

class PreviewOutputTest : public testing::TGuiTest {
protected:
    void SetUp() override {
        TGuiTest::SetUp();
        previousHost = SetReportHost(&host);
        previousClock = SetReportClock([] { return TDateTime{2025, 6, 2, 9, 30, 0, 0}; });
        LoadFromFile(model, std::string(MIVO_SOURCE_DIR) + "/examples/apartment.mvo");
        model.Reevaluate();
    }
    void TearDown() override {
        SetReportHost(previousHost);
        SetReportClock(previousClock);
        EXPECT_TRUE(prompts.Failures().empty());
        EXPECT_EQ(prompts.Pending(), 0u);
    }

    std::unique_ptr<TReport> ModelReport(const TPreviewForm& form) {
        TFont font;
        font.Name = "Arial";
        font.Size = 10;
        auto report = BuildModelReport(&model, FullValueSet(), font, form.CanvasPen());
        EXPECT_NE(report, nullptr);
        return report;
    }

    TStubHost host;
    TReportHost* previousHost = nullptr;
    TClock previousClock;
    TMivoModel model;
    TScriptedPrompts prompts;
    TMemoryClipboard clipboard;
    TScratchDir dir;
};

TEST_F(PreviewOutputTest, TheReportPrintsIntoAPdfWithThePreviewsPages) {
    const std::string pdf = dir.File("report.pdf");
    int pages = 0;
    {
        TQtPrinter printer(pdf, 300);
        TPreviewForm form(prompts, clipboard, &printer);
        form.Preview().AddReport(ModelReport(form));
        pages = form.Preview().PageCount();
        ASSERT_GT(pages, 1);
        EXPECT_EQ(form.Preview().GetPageMetafile(1).Resolution(), 300);
        EXPECT_EQ(form.Preview().GetPageMetafile(1).Width(), printer.PageWidth());
        prompts.ExpectPrint([](TPrintRequest&) { return true; });
        form.UpdateStatus();
        form.PrintBtnClick();
        EXPECT_FALSE(form.Preview().Aborted());

        // Other paper chosen in the print dialog lays the pages out anew.
        const std::int32_t a4 = form.Preview().GetPageMetafile(1).Width();
        printer.Device().setPageSize(QPageSize(QPageSize::A5));
        form.Preview().CheckPrinter();
        EXPECT_LT(form.Preview().GetPageMetafile(1).Width(), a4);
        EXPECT_GT(form.Preview().PageCount(), pages);
    }
    EXPECT_EQ(PdfPageCount(ReadFile(pdf)), static_cast<std::size_t>(pages));
}

TEST_F(PreviewOutputTest, SavedFilesMatchThePageAndTheTextFormatters) {
    TPreviewForm form(prompts, clipboard, nullptr);
    form.Preview().AddReport(ModelReport(form));
    form.Preview().SetZoom(40);
    form.Preview().GoToPage(2);
    const TPageMetafile& page = *form.CurrentPageMetafile();
    auto save = [&](const std::string& name, int filter) {
        prompts.ExpectSaveFile(TFileAnswer{dir.File(name), filter});
        form.SaveBtnClick();
    };

    save("page", 3);
    const std::string emf = ReadFile(dir.File("page.emf"));
    const auto records = testing::Walk(emf);
    EXPECT_GT(testing::OfType(records, emrExtTextOutW).size(), 10u);
    // The frame is the page at 300 dots per inch, in hundredths of a millimetre.
    EXPECT_NEAR(testing::I32(emf, 32), 21000, 10);
    EXPECT_NEAR(testing::I32(emf, 36), 29700, 10);

    save("page", 4);
    QImage bitmap(QString::fromStdString(dir.File("page.bmp")));
    ASSERT_FALSE(bitmap.isNull());
    EXPECT_EQ(bitmap.width(), RoundToInt32(page.Width() * 0.4));
    EXPECT_EQ(bitmap.height(), RoundToInt32(page.Height() * 0.4));
    int ink = 0;
    for (int y = 0; y < bitmap.height(); y += 2)
        for (int x = 0; x < bitmap.width(); x += 2) ink += bitmap.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_GT(ink, 100);

    prompts.ExpectSaveFile(TFileAnswer{dir.File("report"), 1});
    prompts.ExpectExec([](QDialog&) { return QDialog::Accepted; });
    form.SaveBtnClick();
    save("report", 2);
    TReport& report = form.Preview().GetReport(0);
    TTextFormatter text(report, {0, 0}, {80, 0});
    text.Run();
    EXPECT_EQ(ReadFile(dir.File("report.txt")), text.ToText());
    TDataFormatter data(report, {0, 0}, {0, 0});
    data.Run();
    EXPECT_EQ(ReadFile(dir.File("report.tab")), data.ToText());
    EXPECT_NE(data.ToText().find('\t'), std::string::npos);
}

}  // namespace
}  // namespace mivo
