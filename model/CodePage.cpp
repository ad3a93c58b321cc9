#include "model/CodePage.h"

namespace mivo {

namespace {

// Length of the UTF-8 sequence starting at text[i]; 1 for an invalid byte.
std::size_t SequenceLength(std::string_view text, std::size_t i) {
    auto b0 = static_cast<unsigned char>(text[i]);
    std::size_t len = b0 < 0x80 ? 1 : (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3 : (b0 & 0xF8) == 0xF0 ? 4 : 1;
    if (i + len > text.size()) return 1;
    for (std::size_t k = 1; k < len; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 1;
    return len;
}

}  // namespace

std::size_t CodePointCount(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); i += SequenceLength(text, i)) ++n;
    return n;
}

std::string CutToCodePoints(std::string_view text, std::size_t count) {
    std::size_t i = 0;
    for (std::size_t n = 0; n < count && i < text.size(); ++n) i += SequenceLength(text, i);
    return std::string(text.substr(0, i));
}

std::string PadRightToCodePoints(std::string_view text, std::size_t width) {
    std::string out(text);
    std::size_t n = CodePointCount(text);
    if (n < width) out.append(width - n, ' ');
    return out;
}

}  // namespace mivo
