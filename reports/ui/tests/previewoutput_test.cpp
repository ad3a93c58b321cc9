// The example model's report through the preview window: printed into PDF
// files through the Qt printer (read back with the PDF reader's tools,
// pdfinfo and pdftotext), and saved as .emf, .bmp, .txt and .tab.
#include <gtest/gtest.h>

#include "model/MivoFile.h"
#include "model/MivoModel.h"
#include "model/SafeFile.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

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

// The output of a shell command; empty when it cannot be run.
std::string CommandOutput(const std::string& command) {
    std::string output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) return output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) output.append(buffer, n);
    return output;
}

bool HavePdfTools() { return !CommandOutput("command -v pdfinfo && command -v pdftotext").empty(); }

// The number of pages a PDF reader finds in the file (0 for no PDF).
int PdfPages(const std::string& pdf) {
    const std::string info = CommandOutput("pdfinfo '" + pdf + "' 2>/dev/null");
    const std::size_t at = info.find("Pages:");
    return at == std::string::npos ? 0 : std::atoi(info.c_str() + at + 6);
}

std::string WithoutBlanks(std::string text) {
    std::erase_if(text, [](unsigned char c) { return std::isspace(c) != 0; });
    return text;
}

// The text of one page of the file as the reader extracts it, without
// blanks (the reader spaces words its own way).
std::string PdfPageText(const std::string& pdf, int page) {
    const std::string n = std::to_string(page);
    return WithoutBlanks(CommandOutput("pdftotext -q -f " + n + " -l " + n + " '" + pdf + "' -"));
}

// The captions a page of the preview shows: its texts of some length.
std::vector<std::string> Captions(const TPageMetafile& page) {
    std::vector<std::string> captions;
    for (const TMetaRecord& record : page.Records())
        if (const auto* t = std::get_if<TMetaText>(&record)) {
            const std::string text = WithoutBlanks(t->Text);
            const bool ascii = std::all_of(text.begin(), text.end(), [](unsigned char c) { return c < 128; });
            if (text.size() >= 4 && ascii) captions.push_back(text);
        }
    return captions;
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
        prompts.ExpectPrint([&](TPrintRequest& request) {
            request.OutputFileName = pdf;
            return true;
        });
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

TEST(PdfFileNameBeside, TheModelsNameWithThePdfExtension) {
    const std::string here = std::filesystem::current_path().string();
    const struct {
        std::string model, pdf;
    } cases[] = {
        {"/data/models/apartment.mvo", "/data/models/apartment.pdf"},
        {"/data/models/v1.2/car", "/data/models/v1.2/car.pdf"},
        {"/data/models/car.old.xml", "/data/models/car.old.pdf"},
        {"NONAME1", here + "/NONAME1.pdf"},
        {"", here + "/report.pdf"},
    };
    for (const auto& c : cases) EXPECT_EQ(PdfFileNameBeside(c.model), c.pdf) << c.model;
}

// The preview with the printer that start-up gives where no device printer
// is installed: the PDF printer, no file chosen yet.
class PreviewPdfTest : public PreviewOutputTest {
protected:
    void SetUp() override {
        PreviewOutputTest::SetUp();
        ASSERT_TRUE(HavePdfTools()) << "pdfinfo and pdftotext (poppler-utils) are needed: run scripts/setup.sh";
        form = std::make_unique<TPreviewForm>(prompts, clipboard, &printer);
        form->Preview().AddReport(ModelReport(*form));
        ASSERT_GE(form->Preview().PageCount(), 3);
        form->UpdateStatus();
    }
    void TearDown() override {
        form.reset();
        PreviewOutputTest::TearDown();
    }

    // The print dialog answered with the file, the pages (0: all), the
    // copies and the collation; it records the file name it offered.
    void ExpectPrint(const std::string& file, int from, int to, int copies = 1, bool collate = false) {
        prompts.ExpectPrint([=, this](TPrintRequest& request) {
            offered = request.OutputFileName;
            request.OutputFileName = file;
            request.PageRange = from > 0;
            request.FromPage = from;
            request.ToPage = to;
            request.Copies = copies;
            request.Collate = collate;
            return true;
        });
    }
    // Whether a PDF page shows the captions (and the page number) of the
    // preview's page.
    ::testing::AssertionResult ShowsPage(const std::string& pdf, int pdfPage, int page) {
        const std::string text = PdfPageText(pdf, pdfPage);
        if (text.find("Page" + std::to_string(page)) == std::string::npos)
            return ::testing::AssertionFailure() << "PDF page " << pdfPage << " is not page " << page << ": " << text;
        const auto captions = Captions(form->Preview().GetPageMetafile(page));
        if (captions.size() < 3) return ::testing::AssertionFailure() << "page " << page << " has too few captions";
        for (const std::string& caption : captions)
            if (text.find(caption) == std::string::npos)
                return ::testing::AssertionFailure()
                       << "PDF page " << pdfPage << " lacks \"" << caption << "\" of page " << page;
        return ::testing::AssertionSuccess();
    }

    TQtPrinter printer{std::string(), TQtPrinter::PdfResolution};
    std::unique_ptr<TPreviewForm> form;
    std::string offered;
};

TEST_F(PreviewPdfTest, PrintIsEnabledAndPagesTwoToThreeBecomeAPdfOfTwoPages) {
    EXPECT_TRUE(form->HasPrinter());
    EXPECT_TRUE(form->PrintAction().isEnabled());
    // The pages are laid out as without a printer: whole A4 sheets at 300 dpi.
    EXPECT_EQ(form->Preview().GetPageMetafile(1).Resolution(), 300);
    EXPECT_EQ(form->Preview().GetPageMetafile(1).Height(), 3508);

    ExpectPrint(dir.File("pages"), 2, 3);  // typed without extension
    form->PrintBtnClick();
    EXPECT_EQ(offered, PdfFileNameBeside("examples/apartment.mvo"));
    EXPECT_TRUE(offered.ends_with("/examples/apartment.pdf")) << offered;
    EXPECT_FALSE(std::filesystem::exists(offered));
    const std::string pdf = dir.File("pages.pdf");
    ASSERT_EQ(PdfPages(pdf), 2);
    EXPECT_TRUE(ShowsPage(pdf, 1, 2));
    EXPECT_TRUE(ShowsPage(pdf, 2, 3));
    EXPECT_TRUE(prompts.Messages().empty());

    // The next print of the same model's report offers the file chosen.
    prompts.ExpectPrint([&](TPrintRequest& request) {
        offered = request.OutputFileName;
        return false;
    });
    form->PrintBtnClick();
    EXPECT_EQ(offered, pdf);
}

TEST_F(PreviewPdfTest, CopiesComeCollatedAsSetsOrUncollatedPageByPage) {
    const struct {
        bool collate;
        std::vector<int> pages;
    } cases[] = {{false, {2, 2, 3, 3}}, {true, {2, 3, 2, 3}}};
    for (const auto& c : cases) {
        const std::string pdf = dir.File(c.collate ? "collated.pdf" : "uncollated.pdf");
        ExpectPrint(pdf, 2, 3, 2, c.collate);
        form->PrintBtnClick();
        ASSERT_EQ(PdfPages(pdf), 4) << pdf;
        for (int i = 0; i < 4; ++i) EXPECT_TRUE(ShowsPage(pdf, i + 1, c.pages[i])) << pdf;
        // The preview's own settings carry the choice to the next print.
        EXPECT_EQ(form->Preview().Copies(), 2);
        EXPECT_EQ(form->Preview().Collate(), c.collate);
    }
}

TEST_F(PreviewPdfTest, CancelInTheDialogWritesNothing) {
    prompts.ExpectPrint([&](TPrintRequest& request) {
        request.OutputFileName = dir.File("cancelled.pdf");
        return false;
    });
    form->PrintBtnClick();
    EXPECT_TRUE(std::filesystem::is_empty(dir.File("")));
    EXPECT_FALSE(std::filesystem::exists(PdfFileNameBeside("examples/apartment.mvo")));
    EXPECT_TRUE(prompts.Messages().empty());
    EXPECT_FALSE(printer.Printing());
}

TEST_F(PreviewPdfTest, AnExistingFileIsReplacedOnlyAfterTheQuestionAndOnlyByAFinishedJob) {
    const std::string pdf = dir.File("report.pdf");
    WriteFileAtomic(pdf, "the earlier report");

    ExpectPrint(pdf, 0, 0);
    prompts.ExpectMessage(TMsgAnswer::No);
    form->PrintBtnClick();
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0], pdf + " already exists.\rDo you want to replace it?");
    EXPECT_EQ(ReadFile(pdf), "the earlier report");

    // Cancelled after the first page: "Printing aborted.", the file stays.
    const auto progress = form->Preview().OnPrintPage;
    form->Preview().OnPrintPage = [&](int printed, int total, int page, int count) {
        progress(printed, total, page, count);
        if (printed == 2) form->CancelBtnClick();
    };
    ExpectPrint(pdf, 0, 0);
    prompts.ExpectMessage(TMsgAnswer::Yes);
    prompts.ExpectMessage(TMsgAnswer::Ok);
    form->PrintBtnClick();
    EXPECT_EQ(prompts.Messages().back(), "Printing aborted.");
    EXPECT_EQ(ReadFile(pdf), "the earlier report");
    form->Preview().OnPrintPage = progress;

    ExpectPrint(pdf, 0, 0);
    prompts.ExpectMessage(TMsgAnswer::Yes);
    form->PrintBtnClick();
    EXPECT_EQ(PdfPages(pdf), form->Preview().PageCount());
    EXPECT_EQ(std::vector<std::filesystem::path>(std::filesystem::directory_iterator(dir.File("")), {}).size(), 1u);
}

TEST_F(PreviewPdfTest, AFolderThatCannotBeWrittenIsAnErrorAndPrintsNothing) {
    ExpectPrint(dir.File("missing/report.pdf"), 0, 0);
    EXPECT_THROW(form->PrintBtnClick(), EFileError);
    EXPECT_FALSE(printer.Printing());
    EXPECT_FALSE(form->Preview().Busy());
    EXPECT_TRUE(form->PrintAction().isEnabled());
    EXPECT_TRUE(std::filesystem::is_empty(dir.File("")));
}

}  // namespace
}  // namespace mivo
