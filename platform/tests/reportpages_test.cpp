// A formatted report's page: its recorded texts at their positions, the
// page replayed into a bitmap and compared with a reviewed image, and the
// same page saved as an Enhanced Metafile.
#include <gtest/gtest.h>

#if defined(MIVO_HAVE_QT_PLATFORM) && defined(MIVO_HAVE_REPORTS)

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <variant>
#include <vector>

#include "model/SafeFile.h"
#include "platform/EmfWriter.h"
#include "platform/QtBitmap.h"
#include "platform/QtFontSource.h"
#include "platform/tests/EmfCheck.h"
#include "platform/tests/ImageCompare.h"
#include "reports/PrintFormatter.h"
#include "reports/Reports.h"

namespace mivo {
namespace {

const std::string Reviewed = std::string(MIVO_TEST_DATA) + "/platform/";

// A small model-report-like page: header with a rule and the page number,
// a section heading, a paragraph, a tree of attributes and a table.
void BuildReport(TReport& report) {
    TFont font;
    font.Name = "Arial";
    font.Size = 10;
    report.SetFont(font);
    report.SetTitle("Sample report");
    TRptLine* header = report.Header().NewLine();
    header->BeginLiner(2);
    header->AddText("Sample report");
    header->AddFill();
    header->AddMacro("PAGE");
    header->EndLiner();
    report.Header().VerticalSpace(0.5f);

    TRptSection* section = report.NewSection("Attributes");
    TRptText* title = section->NewLine()->AddText("1 Attributes");
    title->SetBold(true);
    title->SetFontSize(fcAdd, 2);
    section->VerticalSpace(0.5f);
    TRptParagraph* paragraph = section->NewParagraph();
    paragraph->AddText("The attributes of the model form a tree; every aggregate attribute is evaluated "
                       "from its inputs by a decision table.");
    section->VerticalSpace(0.5f);

    const char* tree[][2] = {{"", "Car"}, {"\u251C", "Price"}, {"\u2502\u251C", "Buying"},
                             {"\u2502\u2514", "Maintenance"}, {"\u2514", "Technical"}, {" \u2514", "Safety"}};
    for (auto& item : tree) {
        TRptLine* line = section->NewLine();
        if (*item[0]) line->AddTree(item[0]);
        line->AddText(item[1]);
    }
    section->VerticalSpace(0.5f);

    TRptTable* table = section->NewTable("Scales");
    table->AddField("Attribute");
    table->AddField("Scale");
    for (auto& row : {std::pair{"Buying", "high; medium; low"}, std::pair{"Safety", "poor; good; excellent"}}) {
        TRptRow* r = table->NewRow();
        r->NewCell()->AddText(row.first);
        r->NewCell()->AddText(row.second);
    }
}

TEST(ReportPages, ReplayIntoABitmapLikeTheReviewedImage) {
    TReport report;
    BuildReport(report);
    TQtFontSource fonts;
    TPrintFormatter f(report, nullptr, MakeMeasure(mkMillimetres, 20), MakeMeasure(mkMillimetres, 20),
                      MakeMeasure(mkMillimetres, 15), MakeMeasure(mkMillimetres, 15), &fonts);
    f.Run();
    ASSERT_EQ(f.PageCount(), 1);
    const TPageMetafile& page = f.GetPageMetafile(1);
    // The recorded page: the header's first text at the margins (20 mm =
    // 236 dots left, 15 mm = 177 dots top), the page number after it, the
    // section heading below, at the left margin.
    std::vector<TMetaText> texts;
    for (const TMetaRecord& record : page.Records())
        if (const auto* text = std::get_if<TMetaText>(&record)) texts.push_back(*text);
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0].Text, "Sample report");
    EXPECT_EQ(texts[0].At, (TCanvasPoint{236, 177}));
    EXPECT_EQ(texts[1].Text, "1");
    EXPECT_GT(texts[1].At.X, 1800);
    auto heading = std::find_if(texts.begin(), texts.end(), [](const TMetaText& t) { return t.Text == "1 Attributes"; });
    ASSERT_NE(heading, texts.end());
    EXPECT_EQ(heading->At.X, 236);
    EXPECT_GT(heading->At.Y, 177);
    QImage image = RenderMetafile(page, 620, 877);
    EXPECT_TRUE(testing::MatchesReviewedImage(image, Reviewed + "report_page.png"));

    // The same page as an Enhanced Metafile (MIVO_EMF_OUT names a file to
    // keep it, for a look in another reader).
    std::string emf = EnhMetafileBytes(page, &fonts);
    EXPECT_EQ(emf.substr(40, 4), " EMF");
    if (const char* out = std::getenv("MIVO_EMF_OUT")) WriteFileAtomic(out, emf);
}

TEST(ReportPages, LinesOfADescriptionReachTheMetafileOneTextEach) {
    // A description cell and a paragraph with CR LF, lone LF and lone CR:
    // every line is a text of its own, one below the other at the same
    // left edge, and no text record of the page or of its Enhanced
    // Metafile holds a CR or an LF.
    TReport report;
    TFont font;
    font.Name = "Arial";
    font.Size = 10;
    report.SetFont(font);
    TRptTable* table = report.NewTable("Attribute tree");
    table->AddField("Attribute");
    table->AddField("Description");
    TRptRow* row = table->NewRow();
    row->NewCell()->AddText("Price");
    row->NewCell()->NewParagraph()->AddText("metre\r\nincluding\nheating\relectricity");
    report.NewParagraph()->AddText("new\r\n\r\nprimary");
    TQtFontSource fonts;
    const TMeasure margin = MakeMeasure(mkMillimetres, 20);
    TPrintFormatter f(report, nullptr, margin, margin, margin, margin, &fonts);
    f.Run();
    ASSERT_EQ(f.PageCount(), 1);
    const TPageMetafile& page = f.GetPageMetafile(1);
    std::vector<TMetaText> texts;
    for (const TMetaRecord& record : page.Records())
        if (const auto* text = std::get_if<TMetaText>(&record)) texts.push_back(*text);
    auto at = [&](const std::string& word) {
        auto it = std::find_if(texts.begin(), texts.end(), [&](const TMetaText& t) { return t.Text == word; });
        EXPECT_NE(it, texts.end()) << word;
        return it == texts.end() ? TCanvasPoint{} : it->At;
    };
    for (const auto& lines : {std::vector<std::string>{"metre", "including", "heating", "electricity"},
                              std::vector<std::string>{"new", "primary"}}) {
        for (std::size_t k = 1; k < lines.size(); ++k) {
            EXPECT_EQ(at(lines[k]).X, at(lines[0]).X) << lines[k];
            EXPECT_GT(at(lines[k]).Y, at(lines[k - 1]).Y) << lines[k];
        }
    }
    for (const TMetaText& t : texts) EXPECT_EQ(t.Text.find_first_of("\r\n"), std::string::npos) << t.Text;

    const std::string emf = EnhMetafileBytes(page, &fonts);
    std::size_t found = 0;
    for (const testing::TRecord& r : testing::OfType(testing::Walk(emf), emrExtTextOutW)) {
        const std::u16string text = testing::Utf16At(emf, r.Offset + testing::U32(emf, r.Offset + 48),
                                                     testing::U32(emf, r.Offset + 44));
        EXPECT_EQ(text.find_first_of(u"\r\n"), std::u16string::npos);
        if (text == u"including" || text == u"primary") ++found;
    }
    EXPECT_EQ(found, 2u);
}

}  // namespace
}  // namespace mivo

#endif
