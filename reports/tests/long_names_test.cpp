// Long attribute names and deep trees stay on the paper: over small models
// with names of 55 to 120 characters in several scripts and chains of 10
// and 25 levels, every report with a tree column keeps its texts inside
// the printable area (sides, top and foot) and inside the text width,
// shows every name and value, keeps numbers and "value:count" items whole,
// and draws tree lines that join up beside rows of several lines. A row
// taller than a page goes on on the next page.
#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/MivoFunction.h"
#include "reports/DisplayWidth.h"
#include "reports/tests/LongNameModels.h"
#include "reports/tests/PrintedPages.h"
#include "reports/tests/ReportFixture.h"
#include "reports/tests/ReportTestKit.h"

namespace mivo {
namespace {

using namespace longnames;
using namespace testing;

const std::string Description =
    "How well the attribute serves the household in its daily life, judged by the people who live there.";

struct TModelCase {
    const char* label;
    TShape shape;
};

const TModelCase ModelCases[] = {
    {"55 Latin, 4 levels", {TScript::Latin, 55, 4, 2, 0, 3, Description}},
    {"70 Latin, 10-level chain", {TScript::Latin, 70, 4, 2, 10, 3, Description}},
    {"60 Cyrillic, 25-level chain", {TScript::Cyrillic, 60, 2, 2, 25, 3, Description}},
    {"90 Greek, 25-level chain", {TScript::Greek, 90, 2, 2, 25, 3, Description}},
    {"120 Latin, 25-level chain", {TScript::Latin, 120, 2, 2, 25, 3, Description}},
    {"60 CJK, 10-level chain", {TScript::Cjk, 60, 2, 2, 10, 3, Description}},
    {"short names, 25-level chain", {TScript::Latin, 3, 1, 2, 25, 3, Description}},
};

// The reports with a tree column, by name.
std::map<std::string, std::unique_ptr<TReport>> TreeReports(TMivoModel& model) {
    std::map<std::string, std::unique_ptr<TReport>> reports;
    auto part = [&](int member) {
        TValueSet parts;
        parts.set(static_cast<std::size_t>(member));
        return BuildModelReport(&model, parts, ReportFont(), ReportPen());
    };
    reports["attribute tree"] = part(rpAttributeTree);
    reports["functions"] = part(rpFunctionSummary);
    reports["evaluation"] = part(rpEvaluationResults);
    std::vector<int> options;
    for (int o = 0; o < model.OptionCount(); ++o) options.push_back(o);
    reports["comparison"] = BuildComparisonReport(&model, options, ReportFont(), ReportPen());
    TAnalysisList list;
    std::vector<std::string> lower, higher;
    TMivoAttribute* top = model.Root()->Inputs(0);
    top->PlusMinusOne(0, list, lower, higher);
    reports["+/-1"] = BuildPlusMinusReport(&model, 0, list, lower, higher, ReportFont(), ReportPen());
    reports["explanation"] = BuildSelectiveExplanationReport(&model, 0, ReportFont(), ReportPen());
    return reports;
}

bool IsTreeGlyph(char32_t c) { return c == U'\u2502' || c == U'\u251C' || c == U'\u2514'; }

// In text, every vertical tree line goes on below each row it passes
// (│ and ├ have a line below them), and every line reaches up to a glyph
// or to its item's name (nothing blank above │, ├ and └).
void ExpectJoinedTreeLinesInText(const std::string& text, const std::string& label) {
    std::vector<std::u32string> rows;
    for (const std::string& row : Lines(text)) rows.push_back(DecodeCodePoints(row));
    auto at = [&](std::size_t r, std::size_t c) { return c < rows[r].size() ? rows[r][c] : U' '; };
    for (std::size_t r = 0; r + 1 < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const char32_t here = rows[r][c];
            if ((here == U'\u2502' || here == U'\u251C') && !IsTreeGlyph(at(r + 1, c)))
                ADD_FAILURE() << label << ": the line at column " << c << " ends below row " << r << "\n"
                              << EncodeCodePoints(rows[r]) << "\n" << EncodeCodePoints(rows[r + 1]);
            if (IsTreeGlyph(at(r + 1, c)) && here == U' ')
                ADD_FAILURE() << label << ": the line at column " << c << " starts in the blank below row " << r
                              << "\n" << EncodeCodePoints(rows[r]) << "\n" << EncodeCodePoints(rows[r + 1]);
        }
    }
}

// On the metafile, every vertical tree line starts where another one at the
// same place ends, or just under a text (its item's name), or at the top
// of the tree on its page.
void ExpectJoinedTreeLinesOnPaper(const std::vector<TPrintedPage>& pages, const std::string& label) {
    for (std::size_t p = 0; p < pages.size(); ++p) {
        std::vector<TMetaLine> verticals;
        for (const TMetaLine& line : pages[p].Lines)
            if (line.From.X == line.To.X && line.From.Y != line.To.Y) verticals.push_back(line);
        if (verticals.empty()) continue;
        auto top = [](const TMetaLine& l) { return std::min(l.From.Y, l.To.Y); };
        auto bottom = [](const TMetaLine& l) { return std::max(l.From.Y, l.To.Y); };
        std::int32_t firstTop = top(verticals.front());
        for (const TMetaLine& l : verticals) firstTop = std::min(firstTop, top(l));
        for (const TMetaLine& l : verticals) {
            const std::int32_t y = top(l);
            if (y <= firstTop + 4) continue;
            const bool joined = std::any_of(verticals.begin(), verticals.end(), [&](const TMetaLine& o) {
                return o.From.X == l.From.X && &o != &l && top(o) < y && bottom(o) >= y;
            });
            const bool underName = std::any_of(pages[p].Texts.begin(), pages[p].Texts.end(), [&](const TDrawnText& t) {
                return t.Left <= l.From.X + 40 && std::abs(t.Bottom - 2 - y) <= 4;
            });
            EXPECT_TRUE(joined || underName) << label << ", page " << p + 1 << ": a line at x = " << l.From.X
                                             << " starts in the blank at y = " << y;
        }
    }
}

// Tree lines stay on the paper too (they reach 2 units beyond a row).
void ExpectLinesInsidePrintableArea(const std::vector<TPrintedPage>& pages, const std::string& label) {
    for (std::size_t p = 0; p < pages.size(); ++p) {
        for (const TMetaLine& l : pages[p].Lines) {
            for (const TCanvasPoint& point : {l.From, l.To}) {
                EXPECT_GE(point.X, PrintableLeft) << label << ", page " << p + 1;
                EXPECT_LE(point.X, PrintableRight) << label << ", page " << p + 1;
                EXPECT_GE(point.Y, PrintableTop - 2) << label << ", page " << p + 1;
                EXPECT_LE(point.Y, PrintableBottom + 2) << label << ", page " << p + 1;
            }
        }
    }
}

std::vector<std::vector<TDrawnText>> TextsOf(const std::vector<TPrintedPage>& pages) {
    std::vector<std::vector<TDrawnText>> texts;
    for (const TPrintedPage& page : pages) texts.push_back(page.Texts);
    return texts;
}

std::string WithoutBlanks(std::string text) {
    std::erase(text, ' ');
    return text;
}

class LongNames : public ::testing::Test {
protected:
    LongNames() : scope_(&host) {}
    StubHost host;

private:
    HostScope scope_;
};

TEST_F(LongNames, EveryTreeReportStaysOnThePaperAndShowsEveryName) {
    for (const TModelCase& c : ModelCases) {
        auto model = LongNameModel(c.shape);
        for (auto& [name, report] : TreeReports(*model)) {
            const std::string label = std::string(c.label) + ", " + name;
            SCOPED_TRACE(label);
            const auto pages = PrintPages(*report);
            ExpectInsidePrintableArea(TextsOf(pages));
            ExpectLinesInsidePrintableArea(pages, label);
            // The +/-1 analysis lists only some attributes of the tree, each
            // with the prefix of its place in the whole model: its lines
            // have the gaps of the rows it leaves out.
            const bool wholeTree = name != "+/-1" && name != "explanation";
            if (wholeTree) ExpectJoinedTreeLinesOnPaper(pages, label);
            const std::string printed = WithoutBlanks(AllText(TextsOf(pages)));

            const std::string text = AsText(*report, {80, 0});
            for (const std::string& row : Lines(text)) EXPECT_LE(DisplayColumns(row), 80) << row;
            if (wholeTree) ExpectJoinedTreeLinesInText(text, label);

            // Every name of the report is there, in pieces where it wraps
            // (a piece ends a line, the next one starts the next line of
            // the same cell).
            if (name == "+/-1" || name == "explanation") continue;
            for (TMivoAttribute* attribute : model->Attributes()) {
                EXPECT_NE(printed.find(WithoutBlanks(attribute->GetName())), std::string::npos) << attribute->GetName();
            }
        }
    }
}

TEST_F(LongNames, EvaluationAndComparisonShowEveryValueOnThePaper) {
    for (const TModelCase& c : ModelCases) {
        auto model = LongNameModel(c.shape);
        const std::vector<std::string> values = ScriptValues(c.shape.script);
        auto reports = TreeReports(*model);
        for (const char* name : {"evaluation", "comparison"}) {
            SCOPED_TRACE(std::string(c.label) + ", " + name);
            const auto pages = PrintPages(*reports[name]);
            // Each attribute's value for each option: the evaluation shows
            // all of them, the comparison at least the main option's.
            std::size_t shown = 0;
            for (const TPrintedPage& page : pages)
                for (const TDrawnText& t : page.Texts)
                    if (std::find(values.begin(), values.end(), t.Text) != values.end()) ++shown;
            const std::size_t rows = model->Attributes().size();
            EXPECT_GE(shown, std::string(name) == "evaluation" ? rows * 3 : rows);
        }
    }
}

// The rows of the functions summary of a model whose top attribute has
// `inputs` inputs: rule counts in the hundreds.
TEST_F(LongNames, FunctionSummaryKeepsNumbersCountsAndHeadingsWhole) {
    for (std::size_t length : {55u, 70u, 100u}) {
        auto model = WideRuleModel(TScript::Latin, 6, length);
        TValueSet parts;
        parts.set(rpFunctionSummary);
        auto report = BuildModelReport(model.get(), parts, ReportFont(), ReportPen());
        const TMivoFunction* function = model->Root()->Inputs(0)->Funct();
        ASSERT_NE(function, nullptr);
        std::vector<std::string> items;  // "excellent:210" and the like
        for (std::string rest = function->DistributionText(); !rest.empty();) {
            const auto comma = rest.find(',');
            items.push_back(rest.substr(0, comma));
            rest = comma == std::string::npos ? "" : rest.substr(comma + 1);
        }
        ASSERT_EQ(items.size(), 3u);
        const std::vector<std::string> whole{"Attribute", "Rules", "Defined", "Determined", "Values", "729/729",
                                             "100.00%"};

        // On paper: each in one text.
        const auto pages = PrintPages(*report);
        ExpectInsidePrintableArea(TextsOf(pages));
        auto drawn = [&](const std::string& piece) {
            for (const TPrintedPage& page : pages)
                for (const TDrawnText& t : page.Texts) {
                    const auto at = t.Text.find(piece);
                    const auto end = at + piece.size();
                    if (at != std::string::npos && (end == t.Text.size() || t.Text[end] == ',')) return true;
                }
            return false;
        };
        for (const std::string& item : items) EXPECT_TRUE(drawn(item)) << length << ": " << item;
        for (const std::string& text : whole) EXPECT_TRUE(drawn(text)) << length << ": " << text;

        // In text at 80 characters: each on one line.
        const std::string text = AsText(*report, {80, 0});
        for (const std::string& row : Lines(text)) EXPECT_LE(DisplayColumns(row), 80) << row;
        for (const std::string& item : items) EXPECT_NE(text.find(item), std::string::npos) << length << ": " << item;
        for (const std::string& w : whole) EXPECT_NE(text.find(w), std::string::npos) << length << ": " << w;
    }
}

// Rule tables of 6 to 8 inputs with long input names, one rule a row: the
// columns of long headings wrap their headings, so that every value name
// keeps its width.
TEST_F(LongNames, WideRuleTablesKeepEveryValueNameWhole) {
    struct {
        TScript script;
        int inputs;
        int values;
        bool fitsText;  // the value names fit 80 characters, one column each
    } cases[] = {{TScript::Cyrillic, 6, 3, true}, {TScript::Greek, 7, 2, true}, {TScript::Cyrillic, 8, 2, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(ScriptName(c.script)) + ", " + std::to_string(c.inputs) + " inputs");
        auto model = WideRuleModel(c.script, c.inputs, 40, c.values);
        model->Settings.ComplexRules = false;
        TValueSet parts;
        parts.set(rpRuleTables);
        auto report = BuildModelReport(model.get(), parts, ReportFont(), ReportPen());
        std::vector<std::string> values = ScriptValues(c.script);
        if (c.values == 2) values.erase(values.begin() + 1);
        int rules = 1;
        for (int i = 0; i < c.inputs; ++i) rules *= c.values;
        const std::size_t cells = static_cast<std::size_t>(rules) * static_cast<std::size_t>(c.inputs + 1);
        // A value name, or the start or end of one (the value broke).
        auto count = [&](const std::string& piece, std::size_t& whole) {
            for (const std::string& value : values) {
                if (piece == value) ++whole;
                else EXPECT_FALSE(value.starts_with(piece) || value.ends_with(piece)) << piece << " of " << value;
            }
        };

        const auto pages = PrintPages(*report);
        ExpectInsidePrintableArea(TextsOf(pages));
        std::size_t drawn = 0;
        for (const TPrintedPage& page : pages)
            for (const TDrawnText& t : page.Texts)
                if (t.Text.find_first_not_of(' ') != std::string::npos) count(t.Text, drawn);
        EXPECT_EQ(drawn, cells);

        const std::string text = AsText(*report, {80, 0});
        std::size_t typed = 0;
        for (const std::string& row : Lines(text)) {
            EXPECT_LE(DisplayColumns(row), 80) << row;
            if (!c.fitsText) continue;
            for (std::size_t at = row.find_first_not_of(' '); at != std::string::npos;
                 at = row.find_first_not_of(' ', at)) {
                const auto end = std::min(row.find(' ', at), row.size());
                count(row.substr(at, end - at), typed);
                at = end;
            }
        }
        if (c.fitsText) {
            EXPECT_EQ(typed, cells);
        }
    }
}

// The parts that print a name as a heading of its own (scale
// descriptions) or in a plain table (scales, weights, rule tables) keep
// it on the paper too: a name wider than the page wraps, one without
// blanks (CJK) between its characters, and every text line stays within
// its display width.
TEST_F(LongNames, NameHeadingsAndPlainTablesStayOnThePaper) {
    const TReportPart partsWithNames[] = {rpScales, rpScaleDescriptions, rpRuleTables, rpWeights};
    for (const TModelCase& c : ModelCases) {
        auto model = LongNameModel(c.shape);
        for (TReportPart member : partsWithNames) {
            const std::string label = std::string(c.label) + ", part " + std::to_string(member);
            SCOPED_TRACE(label);
            TValueSet parts;
            parts.set(static_cast<std::size_t>(member));
            auto report = BuildModelReport(model.get(), parts, ReportFont(), ReportPen());
            const auto pages = PrintPages(*report);
            ExpectInsidePrintableArea(TextsOf(pages));
            if (member == rpScaleDescriptions) {
                const std::string printed = WithoutBlanks(AllText(TextsOf(pages)));
                for (TMivoAttribute* attribute : model->Attributes())
                    EXPECT_NE(printed.find(WithoutBlanks(attribute->GetName())), std::string::npos)
                        << attribute->GetName();
            }
            for (const std::string& row : Lines(AsText(*report, {80, 0}))) EXPECT_LE(DisplayColumns(row), 80) << row;
        }
    }
}

// A description of some 1,500 words beside an attribute with an input: the
// row is taller than a page. It goes on over the next pages, nothing below
// the foot of the printable area, and every word is there.
TEST_F(LongNames, ARowTallerThanAPageGoesOnOnTheNextPage) {
    std::string description;
    for (int w = 0; w < 1500; ++w) description += (w > 0 ? " " : "") + std::string("word") + std::to_string(w);
    auto model = LongNameModel({TScript::Latin, 70, 1, 2, 0, 1, ""});
    model->Root()->Inputs(0)->SetDescription(description);
    TValueSet parts;
    parts.set(rpAttributeTree);
    auto report = BuildModelReport(model.get(), parts, ReportFont(), ReportPen());

    const auto pages = PrintPages(*report);
    EXPECT_GE(pages.size(), 3u);
    ExpectInsidePrintableArea(TextsOf(pages));
    ExpectLinesInsidePrintableArea(pages, "paper");
    ExpectJoinedTreeLinesOnPaper(pages, "paper");
    // The words in order over the pages (the page headers between them).
    std::vector<std::string> printed, expected;
    for (const TPrintedPage& page : pages)
        for (const TDrawnText& t : page.Texts)
            if (t.Text.starts_with("word")) printed.push_back(t.Text);
    for (int w = 0; w < 1500; ++w) expected.push_back("word" + std::to_string(w));
    EXPECT_EQ(printed, expected);

    TTextFormatter formatter(*report, {0, 0}, {80, 60});
    formatter.Run();
    EXPECT_GE(formatter.PageCount(), 3);
    std::string typed;
    for (int p = 1; p <= formatter.PageCount(); ++p) {
        const TTextPage& page = formatter.GetPage(p);
        EXPECT_LE(page.RowCount(), 60) << "page " << p;
        for (int r = 0; r < page.RowCount(); ++r) typed += page.Row(r) + "\n";
    }
    std::set<std::string> words;
    for (std::size_t at = typed.find("word"); at != std::string::npos; at = typed.find("word", at + 4))
        words.insert(typed.substr(at, typed.find_first_of(" \n", at) - at));
    EXPECT_EQ(words.size(), 1500u);
    for (int w : {0, 700, 1499}) EXPECT_TRUE(words.contains("word" + std::to_string(w))) << w;
}

}  // namespace
}  // namespace mivo
