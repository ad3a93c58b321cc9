#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "model/FileLines.h"
#include "model/SafeFile.h"
#include "model/TextLines.h"

using namespace mivo;

namespace {

std::string TempPath(const std::string& name) { return ::testing::TempDir() + "/filelines_" + name; }

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::vector<TTextLine> ReadAll(const std::string& path, std::size_t block) {
    std::vector<TTextLine> lines;
    TFileLines reader(path, block);
    std::string_view line;
    int number = 0;
    while (reader.Next(line, number)) lines.push_back({number, std::string(line)});
    return lines;
}

bool operator==(const TTextLine& a, const TTextLine& b) { return a.Number == b.Number && a.Text == b.Text; }

// Random texts of line ends of every kind, empty lines and byte-order marks
// (at the start and at the start of later lines), read in blocks of every
// small size: the lines and numbers of the splitter over the whole text.
TEST(FileLines, SameLinesAsTheWholeTextInEveryBlockSize) {
    const std::vector<std::string> pieces = {"a", "bc", "\t", "\r", "\n", "\r\n", "\n\n", "\xEF\xBB\xBF", "\xEF\xBB"};
    std::mt19937 rng(11);
    const std::string path = TempPath("random");
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int count = static_cast<int>(rng() % 40);
        for (int k = 0; k < count; ++k) text += pieces[rng() % pieces.size()];
        WriteText(path, text);
        const std::vector<TTextLine> expected = SplitTextLines(text);
        for (std::size_t block : {1, 2, 3, 5, 64}) {
            const std::vector<TTextLine> got = ReadAll(path, block);
            ASSERT_EQ(got.size(), expected.size()) << "round " << round << " block " << block;
            for (std::size_t i = 0; i < got.size(); ++i)
                ASSERT_TRUE(got[i] == expected[i]) << "round " << round << " block " << block << " line " << i;
        }
    }
}

TEST(FileLines, FileSizeAndErrorsAsReadFile) {
    const std::string path = TempPath("size");
    WriteText(path, "x\ny\n");
    EXPECT_EQ(TFileLines(path).FileSize(), 4u);

    const std::string missing = TempPath("missing/none.tab");
    std::string expected;
    try {
        ReadFile(missing);
    } catch (const EFileError& e) {
        expected = e.Message();
    }
    ASSERT_FALSE(expected.empty());
    try {
        TFileLines reader(missing);
        ADD_FAILURE() << "no error";
    } catch (const EFileError& e) {
        EXPECT_EQ(e.Message(), expected);
    }
    // A folder opens but cannot be read.
    std::string_view line;
    int number = 0;
    TFileLines folder(::testing::TempDir());
    EXPECT_THROW(folder.Next(line, number), EFileError);
}

}  // namespace
