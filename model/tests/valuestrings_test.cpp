#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "model/RunTime.h"
#include "model/ValueStrings.h"

using namespace mivo;

namespace {

// Texts at the edges of the in-slot form: empty, the longest held inside a
// slot, the shortest kept aside, a long one, high bytes and a NUL byte.
const std::vector<std::string> kTexts = {
    "",
    "*",
    "0",
    "012",
    "0123",
    "0123456",
    "01234567",
    std::string(300, 'x'),
    std::string("\xff\xfe\x80", 3),
    std::string("a\0b", 3),
    std::string("\xff") + std::string(20, 'y'),
    std::string(15, 'z'),
};

TEST(ValueStrings, HoldsEveryTextExactly) {
    TValueStrings list;
    for (const std::string& t : kTexts) list.push_back(t);
    ASSERT_EQ(list.size(), kTexts.size());
    for (std::size_t i = 0; i < kTexts.size(); ++i) EXPECT_EQ(list.Get(i), kTexts[i]) << i;
    EXPECT_EQ(list.ToVector(), kTexts);
    EXPECT_EQ(list, kTexts);
    EXPECT_EQ(TValueStrings(kTexts), list);

    std::vector<std::string> iterated;
    for (std::string_view v : list) iterated.emplace_back(v);
    EXPECT_EQ(iterated, kTexts);

    TValueStrings copy = list;
    copy.Set(5, "1");
    EXPECT_EQ(list.Get(5), kTexts[5]);  // copies are independent
    EXPECT_FALSE(copy == list);
}

// Every operation against std::vector<std::string> doing the same, over a
// random mix of the texts, so that entries kept aside or in the side list
// are moved, overwritten, released and their places reused. A copy taken
// now and then shares the entries and must not see any later change, nor
// must a list copied back from it change the copy.
void BehaveLikeAVectorOfStrings(const std::vector<std::string>& kTexts, unsigned seed) {
    std::mt19937 rng(seed);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    TValueStrings list;
    std::vector<std::string> model;
    TValueStrings snapshot;
    std::vector<std::string> snapshot_model;
    for (int step = 0; step < 20000; ++step) {
        if (step % 97 == 0) {
            snapshot = list;
            snapshot_model = model;
        } else if (step % 389 == 0) {
            list = snapshot;
            model = snapshot_model;
        }
        const std::string& text = kTexts[pick(kTexts.size())];
        const std::size_t n = model.size();
        switch (pick(9)) {
            case 0:
            case 1:
                list.push_back(text);
                model.push_back(text);
                break;
            case 2:
                if (n == 0) break;
                {
                    std::size_t i = pick(n);
                    list.Set(i, text);
                    model[i] = text;
                }
                break;
            case 3: {
                std::size_t i = pick(n + 1);
                list.insert(i, text);
                model.insert(model.begin() + static_cast<std::ptrdiff_t>(i), text);
                break;
            }
            case 4:
                if (n == 0) break;
                {
                    std::size_t i = pick(n);
                    list.erase(i);
                    model.erase(model.begin() + static_cast<std::ptrdiff_t>(i));
                }
                break;
            case 5: {
                std::size_t first = pick(n + 1);
                std::size_t last = first + pick(n - first + 1);
                list.erase(first, last);
                model.erase(model.begin() + static_cast<std::ptrdiff_t>(first),
                            model.begin() + static_cast<std::ptrdiff_t>(last));
                break;
            }
            case 6: {
                std::size_t size = pick(n + 5);
                list.resize(size);
                model.resize(size);
                break;
            }
            case 7:
                if (n == 0) break;
                {
                    std::size_t a = pick(n), b = pick(n);
                    list.SwapEntries(a, b);
                    std::swap(model[a], model[b]);
                }
                break;
            case 8:
                if (n == 0) break;
                {
                    // An entry copied from the list itself.
                    std::size_t from = pick(n);
                    if (rng() % 2) {
                        std::size_t to = pick(n);
                        list.Set(to, list.Get(from));
                        model[to] = model[from];
                    } else {
                        list.push_back(list.Get(from));
                        model.push_back(model[from]);
                    }
                }
                break;
        }
        ASSERT_EQ(list, model) << "step " << step;
        ASSERT_EQ(snapshot, snapshot_model) << "step " << step;
        if (step % 5000 == 4999) {
            list.clear();
            model.clear();
        }
    }
}

// Texts of every kind: lists turn wide soon.
TEST(ValueStrings, BehavesLikeAVectorOfStrings) { BehaveLikeAVectorOfStrings(kTexts, 7); }

// Mostly single values, with now and then a set, an empty string or a
// one-byte string of the bytes 0 and 1: lists stay narrow with a few
// strings kept aside, and turn wide only where those gather.
TEST(ValueStrings, BehavesLikeAVectorOfStringsWhileNarrow) {
    std::vector<std::string> texts = {"", "*", "01", std::string(1, '\0'), std::string(1, '\1'), "0123"};
    for (char c = '0'; c < '0' + 30; ++c) texts.emplace_back(1, c);
    BehaveLikeAVectorOfStrings(texts, 11);
}

// Blocks on either side of the sizes that are mapped on their own hold
// what is written to them, through growth, copies and shrinking.
TEST(ValueStrings, LargeBlocksOfEverySize) {
    for (std::size_t size : {std::size_t{1000}, std::size_t{(1 << 20) - 1}, std::size_t{1 << 20},
                             std::size_t{(2 << 20) + 1}, std::size_t{5 << 20}}) {
        TLargeVector<std::uint32_t> block(size / 4);
        for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint32_t>(i * 2654435761u);
        TLargeVector<std::uint32_t> copy = block;
        copy.resize(copy.size() * 3);
        copy.resize(block.size());
        copy.shrink_to_fit();
        EXPECT_EQ(copy, block) << size;
    }
    // A million single values take their byte each, and read back.
    const auto text = [](int i) { return i % 7 ? std::string(1, static_cast<char>('0' + i % 7)) : std::string(); };
    TValueStrings values;
    for (int i = 0; i < 1000000; ++i) values.push_back(text(i));
    values.Set(999999, "0123");
    for (int i : {0, 1, 6, 7, 500001}) EXPECT_EQ(values.Get(static_cast<std::size_t>(i)), text(i));
    EXPECT_EQ(values.Get(999999), "0123");
}

TEST(ValueStrings, SwapOfListsAndRangeErrors) {
    TValueStrings a{"0", std::string(40, '1')};
    TValueStrings b{"*"};
    a.swap(b);
    EXPECT_EQ(a, (std::vector<std::string>{"*"}));
    EXPECT_EQ(b, (std::vector<std::string>{"0", std::string(40, '1')}));

    EXPECT_THROW(b.Get(2), ERangeError);
    EXPECT_THROW(b.Set(2, "0"), ERangeError);
    EXPECT_THROW(b.insert(3), ERangeError);
    EXPECT_THROW(b.erase(2), ERangeError);
    EXPECT_THROW(b.erase(2, 1), ERangeError);
    EXPECT_THROW(b.erase(1, 3), ERangeError);
    EXPECT_THROW(b.SwapEntries(0, 2), ERangeError);
    EXPECT_EQ(b, (std::vector<std::string>{"0", std::string(40, '1')}));  // nothing changed
    b.insert(2, "9");
    EXPECT_EQ(b.Get(2), "9");
}

}  // namespace
