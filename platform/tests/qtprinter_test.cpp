// The Qt printer, printing to PDF files.
#include <gtest/gtest.h>

#ifdef MIVO_HAVE_QT_PLATFORM

#include <filesystem>
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
        // A4 less the printer's margins, in dots.
        std::int32_t w = printer.PageWidth(), h = printer.PageHeight();
        EXPECT_GT(w, 2000);
        EXPECT_LE(w, 2480);
        EXPECT_GT(h, 3000);
        EXPECT_LE(h, 3508);
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

}  // namespace
}  // namespace mivo

#endif
