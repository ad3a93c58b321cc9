// Plain text counts display columns: a wide (CJK) character takes two, a
// combining mark none, so that whatever the script of a name the columns
// after it line up.
#include <iterator>
#include <set>

#include <gtest/gtest.h>

#include "reports/DisplayWidth.h"
#include "reports/LineBreaks.h"
#include "reports/TextFormatter.h"
#include "reports/Utf8Text.h"
#include "reports/tests/ReportFixture.h"
#include "reports/tests/ReportTestKit.h"

namespace mivo {
namespace {

using namespace testing;

TEST(DisplayWidth, ColumnsOfCharactersAndTexts) {
    struct Case {
        const char* text;
        std::int64_t columns;
    } cases[] = {
        {"", 0},
        {"price", 5},
        {"\xD1\x86\xD0\xB5\xD0\xBD\xD0\xB0", 4},                  // цена
        {"\xE4\xBB\xB7\xE6\xA0\xBC", 4},                          // 价格
        {"\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88", 6},              // テスト
        {"\xEA\xB0\x80\xEA\xB2\xA9", 4},                          // 가격 (Hangul syllables)
        {"\xEF\xBC\xA1\xEF\xBC\xA2", 4},                          // ＡＢ fullwidth
        {"e\xCC\x81t\xC3\xA9", 3},                                // e + combining acute, t, é
        {"\xCC\x81x", 2},                                         // a mark with nothing before it
        {"\xD0\xB8\xCC\x86", 1},                                  // и + combining breve
        {"\xF0\x9F\x98\x80!", 3},                                 // an emoji and "!"
        {"\xF0\xA0\x80\x80", 2},                                  // CJK extension B
        {"\xE2\x94\x82\xE2\x94\x9C", 2},                          // tree glyphs │├
        {"a\tb", 3},                                              // a control character is one blank
        {"\xFF\xFE", 2},                                          // malformed bytes: one column each
    };
    for (const Case& c : cases) EXPECT_EQ(DisplayColumns(c.text), c.columns) << c.text;
    EXPECT_EQ(CharacterColumns(U'\u4E2D'), 2);
    EXPECT_EQ(CharacterColumns(U'\u0301'), 0);
    EXPECT_EQ(CharacterColumns(U'\u200B'), 0);
    EXPECT_EQ(CharacterColumns(U'\u00E9'), 1);
    EXPECT_EQ(CharacterColumns(U'\u303F'), 1);  // the half-fill space between the CJK blocks
}

TEST(DisplayWidth, AWideCharacterFillsTwoColumnsOfATextPage) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::int32_t, std::string>> writes;  // column, text
        std::string row;
    } cases[] = {
        {"after a wide character", {{0, "\xE4\xB8\xAD" "x"}}, "\xE4\xB8\xAD" "x"},
        {"at the column after it", {{0, "\xE4\xB8\xAD"}, {2, "y"}}, "\xE4\xB8\xAD" "y"},
        {"over its left half", {{0, "\xE4\xB8\xAD" "z"}, {0, "a"}}, "a z"},
        {"over its right half", {{0, "\xE4\xB8\xAD" "z"}, {1, "b"}}, " bz"},
        {"half cut off at the row's end", {{2, "\xE4\xB8\xAD\xE4\xB8\xAD"}}, "  \xE4\xB8\xAD"},
        {"a mark joins its character", {{0, "e\xCC\x81|"}}, "e\xCC\x81|"},
        {"overwriting a marked character", {{0, "e\xCC\x81|"}, {0, "o"}}, "o|"},
        {"a mark alone sits on a blank", {{0, "\xCC\x81|"}}, " \xCC\x81|"},
    };
    for (const Case& c : cases) {
        TTextPage page(5);
        for (const auto& [column, text] : c.writes) page.WriteAt(TRect{column, 0, column, 0}, text);
        page.TrimLines();
        EXPECT_EQ(page.Row(0), c.row) << c.what;
    }
}

TEST(DisplayWidth, ColumnsAfterANameInAnyScriptLineUpInPlainText) {
    StubHost host;
    HostScope scope(&host);
    auto model = LoadFixtureModel();
    // Names in Latin, Cyrillic, CJK (wide), with a combining mark and mixed;
    // every description the same word, so that its column shows.
    const char* names[] = {
        "Price",
        "\xD0\xA6\xD0\xB5\xD0\xBD\xD0\xB0",                                  // Цена
        "\xE4\xBB\xB7\xE6\xA0\xBC",                                          // 价格
        "Cafe\xCC\x81 \xE5\x92\x96\xE5\x95\xA1 \xD0\xBA\xD0\xBE\xD1\x84\xD0\xB5",  // Café 咖啡 кофе
        // 価格と品質の総合評価: the widest name on the page, not by count
        "\xE4\xBE\xA1\xE6\xA0\xBC\xE3\x81\xA8\xE5\x93\x81\xE8\xB3\xAA\xE3\x81\xAE"
        "\xE7\xB7\x8F\xE5\x90\x88\xE8\xA9\x95\xE4\xBE\xA1",
    };
    std::vector<std::string> given;
    for (TMivoAttribute* attribute : model->Attributes()) {
        given.push_back(std::string(names[given.size() % std::size(names)]) + std::to_string(given.size()));
        attribute->SetName(given.back());
        attribute->SetDescription("described");
    }
    TValueSet parts;
    parts.set(1);
    auto report = BuildModelReport(model.get(), parts, ReportFont(), ReportPen());
    std::set<std::int64_t> columns;
    std::size_t rows = 0;
    for (const std::string& row : Lines(AsText(*report))) {
        const auto at = row.find("described");
        if (at == std::string::npos) continue;
        EXPECT_NE(row.find(given.at(rows)), std::string::npos) << row;
        ++rows;
        columns.insert(DisplayColumns(row.substr(0, at)));
        EXPECT_LE(DisplayColumns(row), 100) << row;
    }
    EXPECT_EQ(rows, given.size());
    EXPECT_EQ(columns.size(), 1u) << "the description column starts at " << columns.size() << " places";
}

TEST(LineBreaks, BetweenIdeographsButNeverBeforeClosingNorAfterOpeningPunctuation) {
    struct Case {
        char32_t before, after;
        bool breaks;
    } cases[] = {
        {U'\u4EF7', U'\u683C', true},   // 价格: between two ideographs
        {U'\u30C6', U'\u30B9', true},   // テス: between katakana
        {U'\uAC00', U'\uACA9', true},   // 가격: between Hangul syllables
        {U'a', U'\u4EF7', true},         // Latin, then an ideograph
        {U'\u4EF7', U'a', true},         // an ideograph, then Latin
        {U'\u3000', U'a', true},         // after an ideographic space
        {U'a', U'b', false},             // inside a Latin word
        {U'\u0446', U'\u0435', false},   // inside a Cyrillic word
        {U'\u4EF7', U'\u3002', false},   // not before the full stop 。
        {U'\u4EF7', U'\u3001', false},   // nor the comma 、
        {U'\u4EF7', U'\u300D', false},   // nor the closing bracket 」
        {U'\u4EF7', U'\uFF09', false},   // nor the fullwidth ）
        {U'\u30C6', U'\u30FC', false},   // nor the length mark ー
        {U'\u30C6', U'\u30C3', false},   // nor a small kana ッ
        {U'\u4EF7', U',', false},         // nor a Latin comma
        {U'\u300C', U'\u4EF7', false},   // not after the opening bracket 「
        {U'\uFF08', U'\u4EF7', false},   // nor the fullwidth （
        {U'(', U'\u4EF7', false},         // nor a Latin one
    };
    for (const Case& c : cases)
        EXPECT_EQ(MayBreakBetween(c.before, c.after), c.breaks)
            << std::hex << static_cast<std::uint32_t>(c.before) << " " << static_cast<std::uint32_t>(c.after);
}

TEST(LineBreaks, TextWithoutBlanksWrapsBetweenIdeographsAndItsWordsMeasureOneEach) {
    // 価格と品質の「総合」評価。 at 8 columns (four ideographs): the
    // brackets and the full stop stay with their ideographs, so 評 goes on
    // the line of 合」 and 価 on the line of 。.
    const std::string text =
        "\xE4\xBE\xA1\xE6\xA0\xBC\xE3\x81\xA8\xE5\x93\x81\xE8\xB3\xAA\xE3\x81\xAE"
        "\xE3\x80\x8C\xE7\xB7\x8F\xE5\x90\x88\xE3\x80\x8D\xE8\xA9\x95\xE4\xBE\xA1\xE3\x80\x82";
    const std::vector<std::string> expected = {
        "\xE4\xBE\xA1\xE6\xA0\xBC\xE3\x81\xA8\xE5\x93\x81",  // 価格と品
        "\xE8\xB3\xAA\xE3\x81\xAE\xE3\x80\x8C\xE7\xB7\x8F",  // 質の「総
        "\xE5\x90\x88\xE3\x80\x8D\xE8\xA9\x95",                  // 合」評
        "\xE4\xBE\xA1\xE3\x80\x82",                              // 価。
    };
    TReport report;
    TTextFormatter formatter(report, TPoint{0, 0}, TPoint{80, 0});
    report.SetFormatter(&formatter);
    TRptParagraph* paragraph = report.NewParagraph();
    paragraph->AddText(text);
    std::vector<std::string> lines;
    for (const auto& line : LinesOf(*paragraph->CreateBoxForWidth(8))) {
        std::string joined;
        for (const std::string& piece : line) joined += piece;
        lines.push_back(joined);
    }
    EXPECT_EQ(lines, expected);
    // Its widest pieces, 「総 and 合」, take four columns.
    EXPECT_EQ(paragraph->WordWidth(), 4);
    report.SetFormatter(nullptr);
}

}  // namespace
}  // namespace mivo
