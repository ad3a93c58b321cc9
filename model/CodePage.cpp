#include "model/CodePage.h"

namespace mivo {

namespace {

// Length of the UTF-8 sequence starting at text[i]; 1 for an invalid byte
// (truncated, overlong, or beyond U+10FFFF), which then stands for itself.
std::size_t SequenceLength(std::string_view text, std::size_t i) {
    auto b0 = static_cast<unsigned char>(text[i]);
    std::size_t len = b0 < 0x80 ? 1 : (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3 : (b0 & 0xF8) == 0xF0 ? 4 : 1;
    if (len == 1 || i + len > text.size()) return 1;
    static constexpr unsigned char LeadMask[5] = {0, 0, 0x1F, 0x0F, 0x07};
    static constexpr char32_t MinValue[5] = {0, 0, 0x80, 0x800, 0x10000};
    char32_t value = b0 & LeadMask[len];
    for (std::size_t k = 1; k < len; ++k) {
        auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) return 1;
        value = (value << 6) | (b & 0x3F);
    }
    if (value < MinValue[len] || value > 0x10FFFF) return 1;
    return len;
}

}  // namespace

std::size_t CodePointSize(std::string_view text, std::size_t offset) {
    return offset < text.size() ? SequenceLength(text, offset) : 0;
}

std::size_t CodePointOffset(std::string_view text, std::size_t index) {
    std::size_t i = 0;
    for (std::size_t n = 0; n < index && i < text.size(); ++n) i += SequenceLength(text, i);
    return i;
}

std::size_t CodePointCount(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); i += SequenceLength(text, i)) ++n;
    return n;
}

std::string CutToCodePoints(std::string_view text, std::size_t count) {
    return std::string(text.substr(0, CodePointOffset(text, count)));
}

std::string PadRightToCodePoints(std::string_view text, std::size_t width) {
    std::string out(text);
    std::size_t n = CodePointCount(text);
    if (n < width) out.append(width - n, ' ');
    return out;
}

}  // namespace mivo
