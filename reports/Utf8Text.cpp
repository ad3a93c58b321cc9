#include "reports/Utf8Text.h"

namespace mivo {

namespace {

// Invalid bytes travel as values above the Unicode range.
constexpr char32_t RawByteBase = 0x110000;

}  // namespace

std::u32string DecodeCodePoints(std::string_view text) {
    static constexpr unsigned char LeadMask[5] = {0, 0, 0x1F, 0x0F, 0x07};
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        std::size_t len = CodePointSize(text, i);
        auto b0 = static_cast<unsigned char>(text[i]);
        char32_t ch;
        if (len == 1) {
            ch = b0 < 0x80 ? char32_t(b0) : RawByteBase + b0;
        } else {
            ch = b0 & LeadMask[len];
            for (std::size_t k = 1; k < len; ++k)
                ch = (ch << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        out.push_back(ch);
        i += len;
    }
    return out;
}

std::string EncodeCodePoint(char32_t ch) {
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

std::string EncodeCodePoints(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t ch : text) out += EncodeCodePoint(ch);
    return out;
}

}  // namespace mivo
