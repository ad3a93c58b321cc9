// Descriptions print as they were written: every line of a description
// (ended by CR LF, a lone CR or a lone LF) starts a new line of its cell or
// paragraph on the printed page and in plain text, an empty line keeps its
// place, a break at the very end starts nothing, and no drawn text holds a
// CR or an LF. Tab output keeps a cell one field, its lines joined by one
// blank.
#include <algorithm>
#include <map>

#include <gtest/gtest.h>

#include "model/MivoScale.h"
#include "reports/PrintFormatter.h"
#include "reports/Utf8Text.h"
#include "reports/tests/ReportFixture.h"
#include "reports/tests/ReportTestKit.h"

namespace mivo {
namespace {

using namespace testing;

struct TDescriptionCase {
    const char* Name;
    // Words and line breaks, as typed.
    std::vector<std::string> Pieces;
    // The lines the reports show ("" for an empty one).
    std::vector<std::string> Lines;
};

const TDescriptionCase DescriptionCases[] = {
    {"CR LF", {"metre", "\r\n", "including"}, {"metre", "including"}},
    {"lone LF", {"new", "\n", "primary"}, {"new", "primary"}},
    {"lone CR", {"electricity", "\r", "per"}, {"electricity", "per"}},
    {"three lines, mixed breaks", {"one", "\r\n", "two", "\n", "three"}, {"one", "two", "three"}},
    {"empty line", {"first", "\r\n", "\r\n", "third"}, {"first", "", "third"}},
    {"LF then CR", {"up", "\n\r", "down"}, {"up", "", "down"}},
    {"leading break", {"\r\n", "later"}, {"", "later"}},
    {"trailing break", {"alone", "\r\n"}, {"alone"}},
    {"no break", {"plain"}, {"plain"}},
};

bool IsBreak(const std::string& piece) { return piece.find_first_of("\r\n") != std::string::npos; }

// The case's text with every word tagged, so that each place of the model
// has words of its own.
std::string TaggedText(const TDescriptionCase& c, const std::string& tag) {
    std::string out;
    for (const std::string& piece : c.Pieces) out += IsBreak(piece) ? piece : tag + piece;
    return out;
}

std::vector<std::string> TaggedLines(const TDescriptionCase& c, const std::string& tag) {
    std::vector<std::string> out;
    for (const std::string& line : c.Lines) out.push_back(line.empty() ? line : tag + line);
    return out;
}

// Where descriptions print: the report part and the places whose
// descriptions it shows, and whether those sit in table cells (tab output
// joins a cell's lines; the model description is a paragraph per line).
struct TDescriptionPart {
    int Member;
    std::vector<std::string> Tags;
    bool InCells;
};

const TDescriptionPart DescriptionParts[] = {
    {0, {"model-"}, false},                 // model description
    {1, {"attr-"}, true},                   // attribute tree
    {3, {"attr-", "value-"}, true},         // scale descriptions: the attribute's line and a value's
};

class Descriptions : public ::testing::Test {
protected:
    Descriptions() : scope_(&host_), model_(LoadFixtureModel()) {}

    std::unique_ptr<TReport> Report(const TDescriptionCase& c, int member) {
        model_->SetDescription(TaggedText(c, "model-"));
        TMivoAttribute* price = model_->FindByName("Price");
        price->SetDescription(TaggedText(c, "attr-"));
        dynamic_cast<TMivoDiscreteScale&>(*price->Scale()).SetValueDescription(0, TaggedText(c, "value-"));
        TValueSet parts;
        parts.set(static_cast<std::size_t>(member));
        return BuildModelReport(model_.get(), parts, ReportFont(), ReportPen());
    }

private:
    StubHost host_;
    HostScope scope_;

protected:
    std::unique_ptr<TMivoModel> model_;
};

// --- the printed page ------------------------------------------------------------

struct TPrinted {
    std::int32_t X;
    std::int32_t Y;
    std::string Text;
};

std::vector<TPrinted> PrintedTexts(TReport& report) {
    const TMeasure margin = MakeMeasure(mkMillimetres, 20);
    TPrintFormatter formatter(report, nullptr, margin, margin, margin, margin);
    formatter.Run();
    std::vector<TPrinted> out;
    for (int p = 1; p <= formatter.PageCount(); ++p) {
        // One page each: the page's offset keeps later pages below.
        const std::int32_t pageOffset = (p - 1) * 100000;
        for (const TMetaRecord& record : formatter.GetPageMetafile(p).Records())
            if (auto* t = std::get_if<TMetaText>(&record)) out.push_back({t->At.X, t->At.Y + pageOffset, t->Text});
    }
    return out;
}

const TPrinted* FindPrinted(const std::vector<TPrinted>& texts, const std::string& text) {
    auto it = std::find_if(texts.begin(), texts.end(), [&](const TPrinted& t) { return t.Text == text; });
    return it == texts.end() ? nullptr : &*it;
}

TEST_F(Descriptions, EachLineStartsANewLineOnThePrintedPage) {
    for (const TDescriptionCase& c : DescriptionCases) {
        for (const TDescriptionPart& part : DescriptionParts) {
            auto report = Report(c, part.Member);
            const std::vector<TPrinted> texts = PrintedTexts(*report);
            for (const TPrinted& t : texts)
                EXPECT_EQ(t.Text.find_first_of("\r\n"), std::string::npos) << c.Name << ": drawn " << t.Text;
            for (const std::string& tag : part.Tags) {
                const std::vector<std::string> lines = TaggedLines(c, tag);
                const TPrinted* previous = nullptr;
                bool emptyBefore = false;
                for (const std::string& line : lines) {
                    if (line.empty()) {
                        emptyBefore = true;
                        continue;
                    }
                    const TPrinted* printed = FindPrinted(texts, line);
                    ASSERT_NE(printed, nullptr) << c.Name << ", part " << part.Member << ": " << line;
                    if (previous) {
                        EXPECT_EQ(printed->X, previous->X) << c.Name << ": " << line << " starts its own line";
                        EXPECT_GT(printed->Y, previous->Y) << c.Name << ": " << line;
                        if (emptyBefore) {
                            // The empty line between them keeps its place.
                            const bool blankBetween = std::any_of(texts.begin(), texts.end(), [&](const TPrinted& t) {
                                return t.Text == " " && t.X == previous->X && t.Y > previous->Y && t.Y < printed->Y;
                            });
                            EXPECT_TRUE(blankBetween) << c.Name << ": empty line before " << line;
                        }
                    }
                    previous = printed;
                    emptyBefore = false;
                }
            }
        }
    }
}

// --- plain text ------------------------------------------------------------------------

TEST_F(Descriptions, EachLineStartsANewRowInPlainText) {
    for (const TDescriptionCase& c : DescriptionCases) {
        for (const TDescriptionPart& part : DescriptionParts) {
            auto report = Report(c, part.Member);
            const std::string text = AsText(*report);
            EXPECT_EQ(text.find('\r'), std::string::npos) << c.Name;
            // Rows as characters, so that positions are columns (tree
            // glyphs take one column and several bytes).
            std::vector<std::u32string> rows;
            for (const std::string& row : Lines(text)) rows.push_back(DecodeCodePoints(row));
            for (const std::string& tag : part.Tags) {
                std::vector<std::u32string> lines;
                for (const std::string& line : TaggedLines(c, tag)) lines.push_back(DecodeCodePoints(line));
                // Anchored at the first line that shows a word: every line
                // lies in the rows below it, in the same column.
                const auto first = static_cast<std::size_t>(
                    std::find_if(lines.begin(), lines.end(), [](const std::u32string& l) { return !l.empty(); }) -
                    lines.begin());
                auto row = std::find_if(rows.begin(), rows.end(),
                                        [&](const std::u32string& r) { return r.find(lines[first]) != r.npos; });
                ASSERT_NE(row, rows.end()) << c.Name << ", part " << part.Member << ": " << tag;
                const auto anchor = static_cast<std::size_t>(row - rows.begin());
                const std::size_t column = row->find(lines[first]);
                ASSERT_GE(anchor, first);
                for (std::size_t k = 0; k < lines.size(); ++k) {
                    const std::u32string& shown = rows.at(anchor - first + k);
                    const std::u32string cell = shown.size() > column ? shown.substr(column) : std::u32string();
                    // The line alone, up to the end of the row or a blank.
                    const std::u32string word = cell.substr(0, cell.find(U' '));
                    EXPECT_EQ(word, lines[k]) << c.Name << ", part " << part.Member << ": row "
                                              << EncodeCodePoints(shown);
                }
            }
        }
    }
}

TEST_F(Descriptions, ABreakAtTheEndStartsNoFurtherLine) {
    const TDescriptionCase withBreak{"", {"alone", "\r\n"}, {}};
    const TDescriptionCase without{"", {"alone"}, {}};
    for (const TDescriptionPart& part : DescriptionParts) {
        auto broken = Report(withBreak, part.Member);
        auto plain = Report(without, part.Member);
        EXPECT_EQ(AsText(*broken), AsText(*plain)) << "part " << part.Member;
        EXPECT_EQ(AsData(*broken), AsData(*plain)) << "part " << part.Member;
    }
}

// --- tab-delimited text -------------------------------------------------------------

std::vector<std::string> Fields(const std::string& row) {
    std::vector<std::string> out{std::string()};
    for (char ch : row) {
        if (ch == '\t') out.emplace_back();
        else out.back() += ch;
    }
    return out;
}

TEST_F(Descriptions, TabOutputKeepsACellOneFieldWithItsLinesJoinedByABlank) {
    for (const TDescriptionCase& c : DescriptionCases) {
        for (const TDescriptionPart& part : DescriptionParts) {
            auto report = Report(c, part.Member);
            const std::string data = AsData(*report);
            EXPECT_EQ(data.find('\r'), std::string::npos) << c.Name;
            const std::vector<std::string> rows = Lines(data);
            for (const std::string& tag : part.Tags) {
                std::vector<std::string> lines = TaggedLines(c, tag);
                lines.erase(std::remove(lines.begin(), lines.end(), std::string()), lines.end());
                if (part.InCells) {
                    std::string joined;
                    for (const std::string& line : lines) joined += (joined.empty() ? "" : " ") + line;
                    const bool found = std::any_of(rows.begin(), rows.end(), [&](const std::string& r) {
                        const std::vector<std::string> fields = Fields(r);
                        return std::find(fields.begin(), fields.end(), joined) != fields.end();
                    });
                    EXPECT_TRUE(found) << c.Name << ", part " << part.Member << ": no field \"" << joined << "\"";
                } else {
                    // The model description: a paragraph, so a row, per line.
                    auto at = rows.begin();
                    for (const std::string& line : lines) {
                        at = std::find(at, rows.end(), line);
                        EXPECT_NE(at, rows.end()) << c.Name << ": row " << line;
                    }
                }
            }
        }
    }
}

// --- the paragraph ---------------------------------------------------------------------

TEST(DescriptionParagraph, LinesAtEveryWidth) {
    using TLines = std::vector<std::vector<std::string>>;
    struct Case {
        const char* text;
        std::int32_t width;
        bool tabOutput;
        TLines expected;
    } cases[] = {
        {"ab\r\ncd", -1, false, {{"", "ab", ""}, {"", "cd", ""}}},
        {"ab\r\ncd", 100, false, {{"", "ab", ""}, {"", "cd", ""}}},
        // An empty line shows a blank, so that it keeps a line's height.
        {"a\n\nb", 100, false, {{"", "a", ""}, {"", " ", ""}, {"", "b", ""}}},
        {"\rb", 100, false, {{"", " ", ""}, {"", "b", ""}}},
        {"a\r\n", 100, false, {{"", "a", ""}}},
        // Each line wraps on its own.
        {"abc de\rfg", 4, false, {{"", "abc", ""}, {"", "de", ""}, {"", "fg", ""}}},
        // Tab output: one line, the lines joined by one blank, empty ones
        // left out; where it must wrap the blank goes with the next word.
        {"ab\r\n\r\ncd", -1, true, {{"", "ab cd", ""}}},
        {"ab\ncd ef", 6, true, {{"", "ab", " ", "cd", ""}, {"", "ef", ""}}},
        {"ab\ncdef", 5, true, {{"", "ab", ""}, {"", "cdef", ""}}},
    };
    for (const Case& c : cases) {
        TReport report;
        TFont font;
        font.Size = 10;
        report.SetFont(font);
        std::unique_ptr<TTextFormatter> formatter =
            c.tabOutput ? std::make_unique<TDataFormatter>(report, TPoint{0, 0}, TPoint{0, 0})
                        : std::make_unique<TTextFormatter>(report, TPoint{0, 0}, TPoint{80, 0});
        report.SetFormatter(formatter.get());
        TRptParagraph* paragraph = report.NewParagraph();
        paragraph->AddText(c.text);
        auto box = paragraph->CreateBoxForWidth(c.width);
        EXPECT_EQ(LinesOf(*box), c.expected) << c.text << " @ " << c.width;
        report.SetFormatter(nullptr);
    }
}

}  // namespace
}  // namespace mivo
