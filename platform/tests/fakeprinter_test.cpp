// The fake printer: documents as page metafiles, and the printer's rules on
// when documents, pages and drawing are allowed.
#include <gtest/gtest.h>

#include "platform/FakePrinter.h"

namespace mivo {
namespace {

TEST(FakePrinter, KeepsEachDocumentsPages) {
    TFakePrinter printer(600, 4960, 7016);
    EXPECT_EQ(printer.ResolutionX(), 600);
    EXPECT_EQ(printer.PageWidth(), 4960);
    printer.SetOrientation(TPrinterOrientation::Landscape);
    EXPECT_EQ(printer.PageWidth(), 7016);
    EXPECT_EQ(printer.PageHeight(), 4960);
    printer.SetTitle("First");

    printer.BeginDoc();
    EXPECT_TRUE(printer.Printing());
    EXPECT_EQ(printer.PageNumber(), 1);
    EXPECT_THROW(printer.SetOrientation(TPrinterOrientation::Portrait), EPrinterError);
    EXPECT_THROW(printer.BeginDoc(), EPrinterError);
    printer.Canvas().Pen().Width = 5;
    printer.Canvas().MoveTo(1, 2);
    printer.Canvas().LineTo(3, 4);
    printer.NewPage();
    printer.Canvas().TextOut(10, 10, "page 2");
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());

    printer.BeginDoc();
    printer.Abort();
    EXPECT_TRUE(printer.Aborted());
    printer.Abort();  // nothing open: nothing happens

    ASSERT_EQ(printer.Documents().size(), 2u);
    const TFakeDocument& doc = printer.Documents()[0];
    EXPECT_EQ(doc.Title, "First");
    EXPECT_EQ(doc.Orientation, TPrinterOrientation::Landscape);
    ASSERT_EQ(doc.Pages.size(), 2u);
    EXPECT_EQ(doc.Pages[0]->Width(), 7016);
    EXPECT_EQ(doc.Pages[0]->Resolution(), 600);
    const auto& first = doc.Pages[0]->Records();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(std::get<TMetaLine>(first.back()), (TMetaLine{{1, 2}, {3, 4}}));
    bool penOf5 = false;
    for (const auto& r : first)
        if (auto* p = std::get_if<TMetaSetPen>(&r)) penOf5 = p->Pen.Width == 5;
    EXPECT_TRUE(penOf5);
    EXPECT_TRUE(std::holds_alternative<TMetaText>(doc.Pages[1]->Records().back()));
    EXPECT_TRUE(printer.Documents()[1].Aborted);
    EXPECT_EQ(printer.Log(), (std::vector<std::string>{"BeginDoc", "NewPage", "EndDoc", "BeginDoc", "Abort"}));
}

TEST(FakePrinter, RefusesWhatNeedsADocument) {
    TFakePrinter printer(300, 2480, 3508);
    EXPECT_EQ(printer.Canvas().TextWidth("ab"), 42);  // measuring needs none
    EXPECT_THROW(printer.Canvas().TextOut(0, 0, "x"), EPrinterError);
    EXPECT_THROW(printer.Canvas().LineTo(1, 1), EPrinterError);
    EXPECT_THROW(printer.NewPage(), EPrinterError);
    EXPECT_THROW(printer.EndDoc(), EPrinterError);
    printer.SetUnreachable(true);
    EXPECT_THROW(printer.ResolutionX(), EPrinterError);
}

}  // namespace
}  // namespace mivo
