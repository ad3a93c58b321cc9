#include "desktop/CompressedText.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "model/RunTime.h"

namespace mivo {
namespace {

// The text read back through a reader that takes `step` bytes at a time.
std::string ReadInSteps(const TCompressedText& text, std::size_t step) {
    TCompressedText::TReader reader(text);
    std::string out;
    std::vector<char> buffer(step);
    while (const std::size_t got = reader.Read(buffer.data(), buffer.size())) out.append(buffer.data(), got);
    return out;
}

// Lines as a model's text has them: indentation and repeated tags.
std::string ModelLikeText(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += "        <OPTION>" + std::to_string(i % 3) + "</OPTION>\n";
    return text;
}

std::string RandomBytes(std::size_t size) {
    std::mt19937 rng(11);
    std::string text(size, '\0');
    for (char& c : text) c = static_cast<char>(rng());
    return text;
}

TEST(CompressedText, EveryTextComesBackExactly) {
    struct TCase {
        const char* What;
        std::string Text;
        bool Compressed;
    };
    const std::vector<TCase> cases = {
        {"empty", "", false},
        {"too short to gain", "<Mivo/>\n", false},
        {"a model's lines", ModelLikeText(100000), true},
        {"bytes that do not compress", RandomBytes(300000), true},
        {"every byte value", [] {
             std::string all;
             for (int i = 0; i < 256 * 64; ++i) all += static_cast<char>(i);
             return all;
         }(), true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        const TCompressedText text = TCompressedText::Compress(c.Text);
        EXPECT_EQ(text.Compressed(), c.Compressed);
        EXPECT_EQ(text.TextSize(), c.Text.size());
        EXPECT_EQ(text.Text(), c.Text);
        for (std::size_t step : {1, 7, 100000}) EXPECT_EQ(ReadInSteps(text, step), c.Text) << step;
        // Held in no more than the text and a little room for the frame.
        EXPECT_LE(text.StoredSize(), c.Text.size() + c.Text.size() / 100 + 64);
    }
    EXPECT_LT(TCompressedText::Compress(ModelLikeText(100000)).StoredSize() * 20, ModelLikeText(100000).size());
}

TEST(CompressedText, PiecesGiveTheSameStoredFormAsTheWholeText) {
    const std::string whole = ModelLikeText(50000);
    for (std::size_t piece : {1000, 65536, 1 << 20}) {
        TCompressedText::TWriter writer;
        for (std::size_t at = 0; at < whole.size(); at += piece) writer.Append(std::string_view(whole).substr(at, piece));
        const TCompressedText text = writer.Finish();
        EXPECT_EQ(text, TCompressedText::Compress(whole)) << piece;
        EXPECT_EQ(text.Text(), whole);
    }
    EXPECT_NE(TCompressedText::Compress(whole), TCompressedText::Compress(whole + "x"));
}

// Damage of every kind is reported as such, at the latest at the end of the
// text, by a reader in any steps.
TEST(CompressedText, DamagedStoredFormsRaiseAClearError) {
    const TCompressedText good = TCompressedText::Compress(ModelLikeText(20000));
    ASSERT_TRUE(good.Compressed());
    const std::string& stored = good.Stored();
    const std::size_t size = good.TextSize();
    struct TCase {
        const char* What;
        TCompressedText Text;
    };
    std::string flipped = stored;
    flipped[stored.size() / 2] = static_cast<char>(flipped[stored.size() / 2] ^ 0x5A);
    std::string checksum = stored;
    checksum.back() = static_cast<char>(checksum.back() ^ 1);
    const std::vector<TCase> cases = {
        {"cut to nothing", TCompressedText::FromStored("", size, true)},
        {"cut in the header", TCompressedText::FromStored(stored.substr(0, 3), size, true)},
        {"cut in half", TCompressedText::FromStored(stored.substr(0, stored.size() / 2), size, true)},
        {"last byte missing", TCompressedText::FromStored(stored.substr(0, stored.size() - 1), size, true)},
        {"a byte changed", TCompressedText::FromStored(flipped, size, true)},
        {"checksum changed", TCompressedText::FromStored(checksum, size, true)},
        {"more data after the end", TCompressedText::FromStored(stored + stored, size, true)},
        {"not compressed at all", TCompressedText::FromStored(ModelLikeText(10), size, true)},
        {"longer than stored", TCompressedText::FromStored(stored, size - 1, true)},
        {"shorter than stored", TCompressedText::FromStored(stored, size + 1, true)},
        {"plain text cut short", TCompressedText::FromStored("abc", 4, false)},
        {"plain text too long", TCompressedText::FromStored("abcde", 4, false)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        for (std::size_t step : {1, 4096}) {
            try {
                ReadInSteps(c.Text, step);
                ADD_FAILURE() << "no error, step " << step;
            } catch (const EMivoError& e) {
                EXPECT_EQ(std::string(e.what()).rfind("The stored text is damaged: ", 0), 0u) << e.what();
            }
        }
        EXPECT_THROW(c.Text.Text(), EMivoError);
    }
}

}  // namespace
}  // namespace mivo
