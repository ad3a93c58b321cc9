// The Qt printer, printing to PDF files.
#include <gtest/gtest.h>

#ifdef MIVO_HAVE_QT_PLATFORM

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>
#include <unistd.h>

#include "model/SafeFile.h"
#include "platform/MetafileCanvas.h"
#include "platform/QtFontSource.h"
#include "platform/QtPrinter.h"

namespace mivo {
namespace {

std::filesystem::path TempPdf(const char* name) {
    return std::filesystem::temp_directory_path() /
           (std::string("mivo_") + name + "_" + std::to_string(::getpid()) + ".pdf");
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(QtPrinter, PrintsPagesIntoAPdfFile) {
    auto path = TempPdf("print");
    {
        TQtPrinter printer(path.string(), 300);
        EXPECT_EQ(printer.ResolutionX(), 300);
        EXPECT_TRUE(printer.PrintsToFile());
        EXPECT_EQ(printer.OutputFileName(), path.string());
        // The whole A4 sheet, in dots (the width in whole points, as the
        // platform keeps A4).
        std::int32_t w = printer.PageWidth(), h = printer.PageHeight();
        EXPECT_NEAR(w, 2480, 1);
        EXPECT_EQ(h, 3508);
        printer.SetOrientation(TPrinterOrientation::Landscape);
        EXPECT_EQ(printer.Orientation(), TPrinterOrientation::Landscape);
        EXPECT_EQ(printer.PageWidth(), h);
        EXPECT_EQ(printer.PageHeight(), w);
        printer.SetOrientation(TPrinterOrientation::Portrait);
        printer.SetTitle("Report");
        EXPECT_EQ(printer.Title(), "Report");

        EXPECT_THROW(printer.Canvas().TextOut(0, 0, "x"), EPrinterError);
        EXPECT_THROW(printer.NewPage(), EPrinterError);

        // A page metafile recorded at the printer's resolution, drawn unscaled.
        TQtFontSource fonts;
        TPageMetafile page(w, h, 300);
        {
            TMetafileCanvas c(page, fonts);
            c.Brush().Style = TCanvasBrushStyle::Clear;
            c.TextOut(100, 100, "Printed page");
            c.Rectangle({100, 300, 1000, 800});
        }
        printer.BeginDoc();
        EXPECT_THROW(printer.BeginDoc(), EPrinterError);
        EXPECT_THROW(printer.SetOrientation(TPrinterOrientation::Landscape), EPrinterError);
        page.Play(printer.Canvas());
        printer.NewPage();
        EXPECT_EQ(printer.PageNumber(), 2);
        printer.Canvas().StretchDraw({0, 0, w / 2, h / 2}, page);
        printer.EndDoc();
        EXPECT_FALSE(printer.Printing());
        EXPECT_FALSE(printer.Aborted());
    }
    std::string pdf = ReadFile(path.string());
    std::filesystem::remove(path);
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_EQ(Count(pdf, "/Type /Page\n") + Count(pdf, "/Type /Page ") + Count(pdf, "/Type /Page\r"), 2u);
}

TEST(QtPrinter, AbortEndsTheDocument) {
    auto path = TempPdf("abort");
    {
        TQtPrinter printer(path.string(), 300);
        printer.BeginDoc();
        printer.Canvas().TextOut(0, 0, "thrown away");
        printer.Abort();
        EXPECT_FALSE(printer.Printing());
        EXPECT_TRUE(printer.Aborted());
        EXPECT_THROW(printer.Canvas().TextOut(0, 0, "x"), EPrinterError);
        printer.BeginDoc();  // a new document may start
        printer.EndDoc();
        EXPECT_FALSE(printer.Aborted());
    }
    std::filesystem::remove(path);
}

std::vector<std::string> FolderEntries(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// A scratch folder holding an earlier "report.pdf".
class QtPrinterFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        WriteFileAtomic(target.string(), "the earlier report");
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    void PrintOnePage(TQtPrinter& printer) {
        printer.BeginDoc();
        printer.Canvas().TextOut(100, 100, "new page");
    }

    std::filesystem::path dir = TempPdf("folder").replace_extension();
    std::filesystem::path target = dir / "report.pdf";
};

TEST_F(QtPrinterFileTest, TheFileIsReplacedOnlyWhenTheDocumentEndsWell) {
    TQtPrinter printer(target.string());
    PrintOnePage(printer);
    EXPECT_EQ(printer.OutputFileName(), target.string());  // not the spool's
    EXPECT_EQ(ReadFile(target.string()), "the earlier report");
    printer.EndDoc();
    EXPECT_EQ(ReadFile(target.string()).substr(0, 5), "%PDF-");
    EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"report.pdf"});

    // The printer keeps printing to the same file.
    WriteFileAtomic(target.string(), "the earlier report");
    PrintOnePage(printer);
    printer.EndDoc();
    EXPECT_EQ(ReadFile(target.string()).substr(0, 5), "%PDF-");
}

TEST_F(QtPrinterFileTest, AnAbortedOrUnfinishedDocumentLeavesTheFileAsItWas) {
    {
        TQtPrinter printer(target.string());
        PrintOnePage(printer);
        printer.NewPage();
        printer.Abort();
        EXPECT_EQ(printer.OutputFileName(), target.string());
        PrintOnePage(printer);
    }  // destroyed while printing
    EXPECT_EQ(ReadFile(target.string()), "the earlier report");
    EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"report.pdf"});
}

TEST_F(QtPrinterFileTest, AFileThatCannotBeWrittenFailsBeforeTheFirstPage) {
    TQtPrinter printer((dir / "missing" / "report.pdf").string());
    EXPECT_THROW(printer.BeginDoc(), EFileError);
    EXPECT_FALSE(printer.Printing());
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));

    TQtPrinter unnamed(std::string{});
    EXPECT_TRUE(unnamed.PrintsToFile());
    EXPECT_THROW(unnamed.BeginDoc(), EPrinterError);
    // A name chosen later (as the print dialog does) is printed to.
    unnamed.SetOutputFileName(target.string());
    PrintOnePage(unnamed);
    EXPECT_THROW(unnamed.SetOutputFileName((dir / "other.pdf").string()), EPrinterError);
    unnamed.EndDoc();
    EXPECT_EQ(ReadFile(target.string()).substr(0, 5), "%PDF-");
}

TEST(QtPrinter, WithoutADevicePrinterTheProgramPrintsToPdfFilesOnA4At300Dpi) {
    if (TQtPrinter::AnyInstalled()) GTEST_SKIP() << "a device printer is installed here";
    const auto printer = TQtPrinter::ForThisMachine();
    ASSERT_NE(printer, nullptr);
    EXPECT_TRUE(printer->PrintsToFile());
    EXPECT_EQ(printer->OutputFileName(), "");  // chosen in the print dialog
    EXPECT_EQ(printer->ResolutionX(), 300);
    EXPECT_EQ(printer->Orientation(), TPrinterOrientation::Portrait);
    EXPECT_NEAR(printer->PageWidth(), 2480, 1);
    EXPECT_EQ(printer->PageHeight(), 3508);
}

}  // namespace
}  // namespace mivo

#endif
