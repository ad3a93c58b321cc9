// Reports on paper: whatever the widths of the model's names and texts,
// nothing is drawn beyond the printable area of an A4 page (20 mm margins,
// 300 dots per inch, fixed font metrics), nothing is lost on the way, the
// header's page number stays on the page, and a blank line never makes a
// page of its own.
#include <algorithm>
#include <numeric>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "model/CodePage.h"
#include "model/MivoScale.h"
#include "reports/PrintFormatter.h"
#include "reports/tests/PrintedPages.h"
#include "reports/tests/ReportFixture.h"

namespace mivo {
namespace {

using namespace testing;

// The pieces of the text between the separators.
std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> out{std::string()};
    for (char c : text) {
        if (c == separator) out.emplace_back();
        else out.back() += c;
    }
    return out;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

class PageFit : public ::testing::Test {
protected:
    PageFit() : scope_(&host), model(LoadFixtureModel()) {
        // Long value names on every scale, a long description and a value
        // list without blanks as long as a line.
        for (TMivoAttribute* attribute : model->Attributes()) {
            auto* scale = dynamic_cast<TMivoDiscreteScale*>(attribute->Scale());
            if (scale == nullptr) continue;
            for (int v = 0; v < scale->Count(); ++v)
                scale->SetValueName(v, scale->ValueName(v) + " beyond every expectation of the reader");
        }
        model->FindByName("Price")->SetDescription(
            "The price asked in the shop on the day of purchase, including the delivery and the first "
            "service, but without the accessories that the buyer chooses afterwards, such as lights, "
            "locks, mudguards, racks and bags, which are reckoned with the upkeep instead. " +
            std::string(120, 'x'));
    }

    std::unique_ptr<TReport> ModelReport(std::initializer_list<int> members) {
        TValueSet parts;
        for (int m : members) parts.set(static_cast<std::size_t>(m));
        return BuildModelReport(model.get(), parts, ReportFont(), ReportPen());
    }

    // Every option name appears, and every word of the values the options
    // given have (all of them: -1).
    void ExpectEveryValue(const std::string& printed, int onlyOption = -1) {
        for (int o = 0; o < model->OptionCount(); ++o)
            EXPECT_NE(printed.find(model->OptionName(o)), std::string::npos) << model->OptionName(o);
        for (TMivoAttribute* attribute : model->Attributes()) {
            const auto* scale = dynamic_cast<const TMivoDiscreteScale*>(attribute->Scale());
            for (int o = 0; scale && o < model->OptionCount(); ++o) {
                if (onlyOption >= 0 && o != onlyOption) continue;
                const TValueSet values = attribute->OptValueSet(o);
                for (int v = 0; v < scale->Count(); ++v) {
                    const std::string shown = attribute->GetOptValue(o);
                    if (!values.test(static_cast<std::size_t>(v)) || shown.empty() || shown == "*") continue;
                    for (const std::string& word : Words(scale->ValueName(v)))
                        EXPECT_NE(printed.find(word), std::string::npos) << word;
                }
            }
        }
    }

    StubHost host;

private:
    HostScope scope_;

public:
    std::unique_ptr<TMivoModel> model;
};

TEST_F(PageFit, WideModelReportStaysInsideThePrintableArea) {
    auto report = ModelReport({rpAttributeTree, rpScales, rpScaleDescriptions, rpFunctionSummary, rpRuleTables,
                               rpEvaluationResults});
    const auto pages = PrintedPages(*report);
    ExpectInsidePrintableArea(pages);
    const std::string printed = AllText(pages);
    ExpectEveryValue(printed);
    // The long description is all there, in the attribute tree and among
    // the scale descriptions, its word of 120 characters in pieces.
    EXPECT_NE(printed.find("which are reckoned with the upkeep instead."), std::string::npos);
    const std::string word(120, 'x');
    const auto first = printed.find(word);
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(printed.find(word, first + word.size()), std::string::npos);
}

TEST_F(PageFit, WideComparisonStaysInsideThePrintableArea) {
    std::vector<int> options;
    for (int o = 0; o < model->OptionCount(); ++o) options.push_back(o);
    auto report = BuildComparisonReport(model.get(), options, ReportFont(), ReportPen());
    const auto pages = PrintedPages(*report);
    ExpectInsidePrintableArea(pages);
    ExpectEveryValue(AllText(pages), options.front());
}

TEST_F(PageFit, ChunksAreAsFewAsFitAtMostEvalColumnsAndEven) {
    for (int evalCol : {0, 3}) {
        model->Settings.EvalCol = evalCol;
        const std::size_t most = static_cast<std::size_t>(model->Settings.EvalColumns());
        auto report = ModelReport({rpEvaluationResults});
        TRptChunkedSection* section = ChunkedSectionOf(*report);
        ASSERT_NE(section, nullptr);
        TTextFormatter formatter(*report, {0, 0}, {0, 0});
        report->SetFormatter(&formatter);
        for (std::int32_t width : {0, 40, 100, 180, 400, 5000}) {
            const auto chunks = section->ColumnChunks(width);
            const TRptTable& table = *section->ChunkedTable;
            std::vector<int> all;
            std::size_t shortest = most, longest = 0;
            for (std::size_t k = 0; k < chunks.size(); ++k) {
                const auto& chunk = chunks[k];
                ASSERT_GE(chunk.size(), 1u);
                EXPECT_LE(chunk.size(), most);
                all.insert(all.end(), chunk.begin(), chunk.end());
                shortest = std::min(shortest, chunk.size());
                longest = std::max(longest, chunk.size());
                if (width <= 0 && k + 1 < chunks.size()) {
                    EXPECT_EQ(chunk.size(), most);
                }
            }
            if (width > 0) {
                // No more chunks than options cut at their one-line widths
                // as they fit, and as even as that.
                std::size_t greedy = 0;
                for (int next = 1; next < table.FieldCount(); ++greedy) {
                    std::int32_t used = table.GetColumnWidth(0);
                    for (std::size_t n = 0; next < table.FieldCount() && n < most; ++n, ++next) {
                        const std::int32_t more = table.SeparatorWidth() + table.GetColumnWidth(next);
                        if (n > 0 && used + more > width) break;
                        used += more;
                    }
                }
                EXPECT_LE(chunks.size(), greedy) << width;
                EXPECT_LE(longest - shortest, 1u) << width;
            }
            std::vector<int> expected(static_cast<std::size_t>(model->OptionCount()));
            for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = static_cast<int>(i) + 1;
            EXPECT_EQ(all, expected) << width;
        }
        report->SetFormatter(nullptr);
    }
}

TEST(PageFitOptions, SixtyOptionsWithLongNamesShareTheirPages) {
    // Sixty options named with 50 characters of words, valued as the
    // fixture's twelve in turn.
    StubHost host;
    HostScope scope(&host);
    auto model = LoadFixtureModel();
    const int given = model->OptionCount();
    auto name = [](int o) {
        std::string n = "Offer " + std::to_string(o + 1) + " from the dealer down the road in the old town";
        return n.substr(0, 50);
    };
    for (int o = 0; o < 60; ++o) {
        if (o < given) model->SetOptionName(o, name(o));
        else model->AddOption(name(o));
        for (TMivoAttribute* attribute : model->Attributes())
            attribute->SetOptValue(o, std::string(attribute->GetOptValue(o % given)));
    }
    TValueSet parts;
    parts.set(rpEvaluationResults);
    auto report = BuildModelReport(model.get(), parts, ReportFont(), ReportPen());
    const auto pages = PrintedPages(*report);
    ExpectInsidePrintableArea(pages);
    // Every option's column is there: its name's number and its values.
    const std::string printed = AllText(pages);
    for (int o = 0; o < 60; ++o) EXPECT_NE(printed.find("Offer " + std::to_string(o + 1) + " "), std::string::npos) << o;

    // Sized by the headings on one line, as before, every option takes a
    // chunk of its own (each chunk's table starts with "Attribute").
    auto chunks = [](const std::vector<std::vector<TDrawnText>>& printedPages) {
        std::size_t count = 0;
        for (const auto& page : printedPages)
            for (const TDrawnText& t : page) count += t.Text == "Attribute";
        return count;
    };
    ChunkedSectionOf(*report)->HeadingLines = 1;
    const auto oneLine = PrintedPages(*report);
    EXPECT_EQ(chunks(oneLine), 60u);
    EXPECT_LE(chunks(pages) * 2, 60u) << chunks(pages);
    EXPECT_LE(pages.size() * 2, oneLine.size()) << pages.size() << " pages against " << oneLine.size();

    // The comparison: the main option's heading wraps as well.
    std::vector<int> options(60);
    std::iota(options.begin(), options.end(), 0);
    auto comparison = BuildComparisonReport(model.get(), options, ReportFont(), ReportPen());
    const auto compared = PrintedPages(*comparison);
    ExpectInsidePrintableArea(compared);
    const std::string shown = AllText(compared);
    for (int o = 0; o < 60; ++o) EXPECT_NE(shown.find("Offer " + std::to_string(o + 1) + " "), std::string::npos) << o;
    // At least two of the other options a chunk beside it, where one-line
    // headings leave room for one.
    EXPECT_LE(chunks(compared), 30u);
    ChunkedSectionOf(*comparison)->HeadingLines = 1;
    EXPECT_EQ(chunks(PrintedPages(*comparison)), 59u);
}

TEST_F(PageFit, WideReportsAsTextStayInsideThePageWidth) {
    std::vector<int> options;
    for (int o = 0; o < model->OptionCount(); ++o) options.push_back(o);
    std::vector<std::unique_ptr<TReport>> reports;
    reports.push_back(ModelReport({rpAttributeTree, rpScaleDescriptions, rpFunctionSummary, rpEvaluationResults}));
    reports.push_back(BuildComparisonReport(model.get(), options, ReportFont(), ReportPen()));
    for (auto& report : reports) {
        const std::string text = AsText(*report, {80, 0});
        for (const std::string& row : Split(text, '\n'))
            EXPECT_LE(CodePointCount(row), 80u) << row;
    }
}

// --- the page header -----------------------------------------------------------------

TEST_F(PageFit, LongFileNameIsShortenedAtItsStart) {
    const std::string name = std::string(91, 'n') + "-bicycle-choice.mvo";  // 110 characters
    ASSERT_EQ(name.size(), 110u);
    host.fileName = "/home/user/models/" + name;
    auto report = ModelReport({rpScales});
    const auto pages = PrintedPages(*report);
    ExpectInsidePrintableArea(pages);
    const std::vector<TDrawnText>& page = pages.front();
    auto drawn = [&](const std::string& text) {
        return std::find_if(page.begin(), page.end(), [&](const TDrawnText& t) { return t.Text == text; });
    };
    ASSERT_NE(drawn("Page "), page.end());
    ASSERT_NE(drawn("1"), page.end());
    auto shortened = std::find_if(page.begin(), page.end(), [](const TDrawnText& t) {
        return t.Text.starts_with("\u2026") && t.Text.ends_with("-bicycle-choice.mvo");
    });
    ASSERT_NE(shortened, page.end());
    // The three texts stay apart: the time before the name, "Page" after it.
    auto time = drawn("14:05:09 ");
    ASSERT_NE(time, page.end());
    EXPECT_LE(time->Right, shortened->Left);
    EXPECT_LT(shortened->Right, drawn("Page ")->Left);

    // On text pages, too: the header row ends with the page number.
    const std::string first = Split(AsText(*report, {80, 0}), '\n').front();
    EXPECT_LE(CodePointCount(first), 80u);
    EXPECT_TRUE(first.ends_with("Page 1")) << first;
    EXPECT_TRUE(first.starts_with("Mivo")) << first;
    const auto middle = first.find("14:05:09 \u2026");
    const auto end = first.find("-bicycle-choice.mvo");
    ASSERT_NE(middle, std::string::npos) << first;
    ASSERT_NE(end, std::string::npos) << first;
    EXPECT_GT(middle, 4u);
    EXPECT_LT(end + 19, first.size() - 6);
    // At natural widths the whole name is shown.
    EXPECT_NE(AsData(*report).find(name), std::string::npos);
}

// The header line grows to hold "Mivo" and the page number, which are
// larger than the report font: on every page all its texts end on the same
// row, the rule runs along that row from "Mivo" to the page number, so that
// no text reaches below it, and the larger texts stay on the paper.
TEST_F(PageFit, HeaderTextsStandOnTheirRule) {
    auto report = ModelReport({rpAttributeTree, rpScales, rpScaleDescriptions, rpFunctionSummary});
    const std::vector<TPrintedPage> pages = PrintPages(*report);
    ASSERT_GE(pages.size(), 2u);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        SCOPED_TRACE("page " + std::to_string(p + 1));
        const TPrintedPage& page = pages[p];
        ASSERT_FALSE(page.Lines.empty());
        // The header's rule is the topmost line of the page.
        const TMetaLine rule = *std::min_element(
            page.Lines.begin(), page.Lines.end(),
            [](const TMetaLine& a, const TMetaLine& b) { return a.From.Y < b.From.Y; });
        EXPECT_EQ(rule.From.Y, rule.To.Y);
        std::vector<TDrawnText> header;
        for (const TDrawnText& t : page.Texts)
            if (t.Top <= rule.From.Y) header.push_back(t);
        std::vector<std::string> texts;
        for (const TDrawnText& t : header) texts.push_back(t.Text);
        ASSERT_EQ(texts,
                  (std::vector<std::string>{"Mivo", "14:05:09 ", "bicycle.mvo", "Page ", std::to_string(p + 1)}));
        for (const TDrawnText& t : header) {
            EXPECT_GE(t.Top, PrintableTop) << t.Text;
            EXPECT_EQ(t.Bottom, rule.From.Y + 1) << t.Text;
        }
        EXPECT_LE(rule.From.X, header.front().Left);
        EXPECT_GE(rule.To.X, header.back().Right - 1);
    }
}

// A heading row whose headings wrap onto several lines: its rule runs under
// the last line of every heading, above the first row below it, on paper and
// in plain text.
TEST(HeadingRule, RunsUnderEveryLineOfAWrappedHeading) {
    auto report = std::make_unique<TReport>();
    report->SetFont(ReportFont());
    TRptTable* table = report->NewTable("t");
    table->PageBreakMode = pbFlow;
    for (int c = 0; c < 4; ++c) table->AddField(" ")->SetWidthMeasure(NaturalSize);
    TRptRow* heading = table->NewRow();
    heading->SetBold(true);
    heading->BeginLiner(2);
    const std::string longHeading =
        "a heading long enough to need several lines when four of them share the width of one page";
    for (int c = 0; c < 4; ++c) heading->NewCell()->NewParagraph()->AddText(longHeading);
    heading->EndLiner();
    TRptRow* body = table->NewRow();
    for (int c = 0; c < 4; ++c) body->NewCell()->AddText("body");

    const std::vector<TPrintedPage> pages = PrintPages(*report);
    ASSERT_EQ(pages.size(), 1u);
    const TPrintedPage& page = pages.front();
    std::int32_t headingBottom = 0;
    std::int32_t bodyTop = PrintableBottom;
    int headingLines = 0;
    for (const TDrawnText& t : page.Texts) {
        if (t.Text == "body") bodyTop = std::min(bodyTop, t.Top);
        else {
            headingBottom = std::max(headingBottom, t.Bottom);
            ++headingLines;
        }
    }
    ASSERT_GT(headingLines, 4) << "the headings should wrap";
    ASSERT_EQ(page.Lines.size(), 1u);
    const TMetaLine& rule = page.Lines.front();
    EXPECT_EQ(rule.From.Y, rule.To.Y);
    EXPECT_GE(rule.From.Y + 1, headingBottom);
    EXPECT_LT(rule.From.Y, bodyTop);

    // In plain text the rule fills the last line of the headings.
    const std::string text = AsText(*report, {60, 0});
    const std::vector<std::string> lines = Split(text, '\n');
    std::size_t ruleLine = lines.size();
    std::size_t bodyLine = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (ruleLine == lines.size() && lines[i].find("\u2500") != std::string::npos) ruleLine = i;
        if (bodyLine == lines.size() && lines[i].find("body") != std::string::npos) bodyLine = i;
    }
    ASSERT_LT(bodyLine, lines.size());
    EXPECT_EQ(ruleLine + 1, bodyLine) << text;
}

TEST_F(PageFit, TabOutputSeparatesTheHeaderTexts) {
    auto report = ModelReport({rpScales});
    const std::string first = Split(AsData(*report), '\n').front();
    EXPECT_EQ(Split(first, '\t'),
              (std::vector<std::string>{"Mivo", "14:05:09 bicycle.mvo", "Page 1"}));
}

// --- blank space at the bottom of a page ------------------------------------------------

// A flowing table that fills the page to its last row, its blank line, and a
// section kept together that is as tall as the table.
std::unique_ptr<TReport> FullPageThenSection(int rows, bool blankAtTheEnd = false) {
    auto report = std::make_unique<TReport>();
    report->SetFont(ReportFont());
    report->Header().NewLine()->AddText("HEAD");
    TRptTable* table = report->NewTable("full");
    table->PageBreakMode = pbFlow;
    for (int r = 1; r <= rows; ++r) table->NewRow()->NewCell()->AddText("row " + std::to_string(r));
    report->NewBlankLine();
    TRptSection* section = report->NewSection("kept");
    for (int r = 1; r <= rows; ++r) section->NewLine()->AddText("kept " + std::to_string(r));
    if (blankAtTheEnd) report->NewBlankLine();
    return report;
}

TEST(BlankSpace, NeverStartsAPageInText) {
    // Pages of 7 rows: the header and 6 rows of content. A blank line at the
    // end of the report that does not fit makes no last page either.
    for (bool blankAtTheEnd : {false, true}) {
        auto report = FullPageThenSection(6, blankAtTheEnd);
        TTextFormatter formatter(*report, {0, 0}, {40, 7});
        formatter.Run();
        ASSERT_EQ(formatter.PageCount(), 2);  // three, when the blank line took a page of its own
        for (int p = 1; p <= formatter.PageCount(); ++p) {
            const TTextPage& page = formatter.GetPage(p);
            ASSERT_GE(page.RowCount(), 2) << "page " << p;
            EXPECT_EQ(page.Row(0), "HEAD");
            EXPECT_FALSE(page.Row(1).empty()) << "page " << p << " starts with blank space";
        }
        EXPECT_EQ(formatter.GetPage(2).Row(1), "kept 1");
    }
}

TEST(BlankSpace, NeverStartsAPageOnTheMetafile) {
    // 52 dots a line at 10 points: the header and 66 rows leave 24 dots, less
    // than the blank line needs.
    auto report = FullPageThenSection(66);
    TPrintFormatter formatter(*report, nullptr, MakeMeasure(mkDevice, 0), MakeMeasure(mkDevice, 0),
                              MakeMeasure(mkDevice, 0), MakeMeasure(mkDevice, 0));
    formatter.Run();
    ASSERT_EQ(formatter.PageCount(), 2);
    for (int p = 1; p <= 2; ++p) {
        const auto texts = DrawnTexts(formatter.GetPageMetafile(p));
        ASSERT_GE(texts.size(), 2u);
        EXPECT_EQ(texts[0].Text, "HEAD");
        EXPECT_EQ(texts[1].Text, p == 1 ? "row 1" : "kept 1");
        EXPECT_EQ(texts[1].Top, 52) << "page " << p;
    }
}

}  // namespace
}  // namespace mivo
