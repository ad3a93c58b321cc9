#include "model/TextLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mivo {
namespace {

using Strings = std::vector<std::string>;

TEST(TextLinesTest, LineEndsEmptyLinesAndByteOrderMark) {
    struct Case {
        std::string text;
        Strings skipped;
        Strings kept;
    };
    const std::vector<Case> cases = {
        {"", {}, {}},
        {"a", {"a"}, {"a"}},
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}, {"a", "b", "c", "d"}},
        {"a\r\n", {"a"}, {"a"}},
        {"a\n\n\r\n\rb\n\n", {"a", "b"}, {"a", "", "", "", "b", ""}},
        {"\n", {}, {""}},
        {"\r\r\n", {}, {"", ""}},
        // Several lines ended by CR before one ended by LF or CR LF.
        {"a\rb\r\rc\nd\re\r\nf", {"a", "b", "c", "d", "e", "f"}, {"a", "b", "", "c", "d", "e", "f"}},
        {"  \n\t", {"  ", "\t"}, {"  ", "\t"}},
        {"\xEF\xBB\xBF" "a\nb", {"a", "b"}, {"a", "b"}},
        {"\xEF\xBB\xBF", {}, {}},
        {"a\xEF\xBB\xBF", {"a\xEF\xBB\xBF"}, {"a\xEF\xBB\xBF"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitLines(c.text), c.skipped) << c.text;
        EXPECT_EQ(SplitLines(c.text, TEmptyLines::Keep), c.kept) << c.text;
    }
}

TEST(TextLinesTest, LineNumbersCountSkippedLines) {
    std::vector<TTextLine> lines = SplitTextLines("\xEF\xBB\xBF" "first\r\n\r\nthird\n\nfifth\r\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].Number, 1);
    EXPECT_EQ(lines[0].Text, "first");
    EXPECT_EQ(lines[1].Number, 3);
    EXPECT_EQ(lines[1].Text, "third");
    EXPECT_EQ(lines[2].Number, 5);
    EXPECT_EQ(lines[2].Text, "fifth");

    TLineSplitter splitter("x\r\ny");
    std::string_view line;
    int number = 0;
    ASSERT_TRUE(splitter.Next(line, number));
    EXPECT_EQ(line, "x");
    ASSERT_TRUE(splitter.Next(line, number));
    EXPECT_EQ(number, 2);
    EXPECT_FALSE(splitter.Next(line, number));
    EXPECT_FALSE(splitter.Next(line, number));
}

TEST(TextLinesTest, TabItems) {
    struct Case {
        std::string line;
        Strings items;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"a", {"a"}},
        {"a\tb", {"a", "b"}},
        {"a\tb\t", {"a", "b"}},  // nothing follows a final tab
        {"a\t\tb", {"a", "", "b"}},
        {"\t\t", {"", ""}},
        {"\tA\tB", {"", "A", "B"}},
        {" a \t\"q,\"", {" a ", "\"q,\""}},  // quotes and commas are plain text
    };
    for (const Case& c : cases) EXPECT_EQ(CutTabItems(c.line), c.items) << c.line;
}

TEST(TextLinesTest, CsvItems) {
    struct Case {
        std::string line;
        Strings items;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"\"\",\"A\",\"B\"", {"", "A", "B"}},
        {"\"a, b\",c", {"a, b", "c"}},
        {"\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}},
        {"x\"y,z\"w", {"xy,zw"}},
        {"a,,b,", {"a", "", "b"}},
        {"\"open, to the end", {"open, to the end"}},
        {"\"\"\"\"", {"\""}},
        // A tab ends an item as a comma does, inside quotes too, and
        // quotes stay open across it.
        {"a\tb,c", {"a", "b", "c"}},
        {"\"a\tb,c\",d\t\"\"", {"a", "b,c", "d", ""}},
        {"\"x\"\"\ty\",z", {"x\"", "y", "z"}},
        {"  a  ,b", {"  a  ", "b"}},
    };
    for (const Case& c : cases) EXPECT_EQ(CutCsvItems(c.line), c.items) << c.line;
    EXPECT_EQ(CutCsvItems("a;\"b;c\";d", ';'), (Strings{"a", "b;c", "d"}));
}

TEST(TextLinesTest, LongLineCutsInOnePass) {
    // 2 MB of short items: every cut starts where the last one ended.
    std::string line;
    const int count = 400000;
    for (int i = 0; i < count; ++i) line += "v" + std::to_string(i % 10) + "\t";
    TItemCutter cutter(line, '\t');
    std::string item;
    int n = 0;
    while (cutter.Next(item)) {
        ASSERT_EQ(item, "v" + std::to_string(n % 10));
        ++n;
    }
    EXPECT_EQ(n, count);
    EXPECT_EQ(CutCsvItems(line, '\t').size(), static_cast<std::size_t>(count));
}

}  // namespace
}  // namespace mivo
