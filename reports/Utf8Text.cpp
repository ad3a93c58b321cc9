#include "reports/Utf8Text.h"

namespace mivo {

namespace {

// Invalid bytes travel as values above the Unicode range.
constexpr char32_t RawByteBase = 0x110000;

// Length of the well-formed sequence at text[i], or 1 for a byte that
// starts none (truncated, overlong or beyond U+10FFFF), which then stands
// for itself.
std::size_t SequenceLength(std::string_view text, std::size_t i) {
    auto b0 = static_cast<unsigned char>(text[i]);
    std::size_t len = b0 < 0x80 ? 1
                      : (b0 & 0xE0) == 0xC0 ? 2
                      : (b0 & 0xF0) == 0xE0 ? 3
                      : (b0 & 0xF8) == 0xF0 ? 4
                                             : 1;
    if (len == 1) return 1;
    if (i + len > text.size()) return 1;
    static constexpr unsigned char LeadMask[5] = {0, 0, 0x1F, 0x0F, 0x07};
    static constexpr char32_t MinValue[5] = {0, 0, 0x80, 0x800, 0x10000};
    char32_t ch = b0 & LeadMask[len];
    for (std::size_t k = 1; k < len; ++k) {
        auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) return 1;
        ch = (ch << 6) | (b & 0x3F);
    }
    if (ch < MinValue[len] || ch > 0x10FFFF) return 1;
    return len;
}

}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        std::size_t len = SequenceLength(text, i);
        auto b0 = static_cast<unsigned char>(text[i]);
        char32_t ch;
        if (len == 1) {
            ch = b0 < 0x80 ? char32_t(b0) : RawByteBase + b0;
        } else {
            static constexpr unsigned char LeadMask[5] = {0, 0, 0x1F, 0x0F, 0x07};
            ch = b0 & LeadMask[len];
            for (std::size_t k = 1; k < len; ++k)
                ch = (ch << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        out.push_back(ch);
        i += len;
    }
    return out;
}

std::string EncodeUtf8(char32_t ch) {
    std::string out;
    if (ch >= RawByteBase) {
        out.push_back(static_cast<char>(static_cast<unsigned char>(ch - RawByteBase)));
    } else if (ch < 0x80) {
        out.push_back(static_cast<char>(ch));
    } else if (ch < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (ch >> 6)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else if (ch < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (ch >> 12)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (ch >> 18)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    }
    return out;
}

std::string EncodeUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t ch : text) out += EncodeUtf8(ch);
    return out;
}

std::size_t Utf8Length(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); i += SequenceLength(text, i)) ++n;
    return n;
}

std::size_t Utf8Offset(std::string_view text, std::size_t index) {
    std::size_t i = 0;
    for (std::size_t n = 0; n < index && i < text.size(); ++n) i += SequenceLength(text, i);
    return i;
}

}  // namespace mivo
