// Reading Enhanced Metafile bytes back for tests: little-endian fields and
// a walk over the records that checks what every reader relies on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/EmfWriter.h"

namespace mivo::testing {

inline std::uint32_t U32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k) v = (v << 8) | static_cast<unsigned char>(b.at(at + k));
    return v;
}
inline std::int32_t I32(const std::string& b, std::size_t at) { return static_cast<std::int32_t>(U32(b, at)); }

// `units` UTF-16 code units from byte `at`.
inline std::u16string Utf16At(const std::string& b, std::size_t at, std::size_t units) {
    std::u16string s;
    for (std::size_t k = 0; k < units; ++k)
        s.push_back(static_cast<char16_t>(static_cast<unsigned char>(b[at + 2 * k]) |
                                          (static_cast<unsigned char>(b[at + 2 * k + 1]) << 8)));
    return s;
}

struct TRecord {
    std::uint32_t Type;
    std::size_t Offset;
    std::uint32_t Size;
};

// Walks the records, checking what every reader relies on: the header
// first and its counts, record sizes that are multiples of 4 and stay
// within the file, the end-of-file record last.
inline std::vector<TRecord> Walk(const std::string& b) {
    std::vector<TRecord> records;
    EXPECT_GE(b.size(), 108u + 20u);
    if (b.size() < 108u + 20u) return records;
    EXPECT_EQ(U32(b, 0), emrHeader);
    EXPECT_EQ(U32(b, 40), EmfSignature);
    EXPECT_EQ(U32(b, 44), 0x00010000u);
    EXPECT_EQ(U32(b, 48), b.size());
    std::size_t at = 0;
    while (at < b.size()) {
        std::uint32_t size = U32(b, at + 4);
        EXPECT_GE(size, 8u);
        EXPECT_EQ(size % 4, 0u);
        EXPECT_LE(at + size, b.size());
        if (size < 8 || at + size > b.size()) break;
        records.push_back({U32(b, at), at, size});
        at += size;
    }
    EXPECT_EQ(records.size(), U32(b, 52));
    EXPECT_FALSE(records.empty());
    if (!records.empty()) {
        EXPECT_EQ(records.back().Type, emrEof);
        EXPECT_EQ(records.back().Size, 20u);
    }
    return records;
}

inline std::vector<TRecord> OfType(const std::vector<TRecord>& all, std::uint32_t type) {
    std::vector<TRecord> out;
    for (const TRecord& r : all)
        if (r.Type == type) out.push_back(r);
    return out;
}

}  // namespace mivo::testing
