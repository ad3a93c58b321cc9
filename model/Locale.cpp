#include "model/Locale.h"

#include <clocale>
#include <cstdint>

namespace mivo {

namespace {

char g_decimal_separator = '.';

// Lower-case form of one code point of the Latin ranges; others unchanged.
char32_t FoldCodePoint(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c < 0x80) return c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c % 2 == 0) ? c + 1 : c;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c % 2 == 1) ? c + 1 : c;
    if (c == 0x178) return 0xFF;
    return c;
}

// Decodes one UTF-8 sequence at text[i]; returns its length, or 0 when the
// bytes there do not form a valid sequence.
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& out) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char b0 = byte(i);
    std::size_t len = b0 < 0x80 ? 1 : (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3 : (b0 & 0xF8) == 0xF0 ? 4 : 0;
    if (len == 0 || i + len > text.size()) return 0;
    char32_t c = len == 1 ? b0 : len == 2 ? (b0 & 0x1F) : len == 3 ? (b0 & 0x0F) : (b0 & 0x07);
    for (std::size_t k = 1; k < len; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    out = c;
    return len;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

char DecimalSeparator() { return g_decimal_separator; }

void SetDecimalSeparator(char separator) { g_decimal_separator = separator; }

void InitLocaleFromEnvironment() {
    if (std::setlocale(LC_ALL, "") != nullptr) {
        const std::lconv* conv = std::localeconv();
        if (conv && conv->decimal_point && conv->decimal_point[0] != '\0' && conv->decimal_point[1] == '\0')
            g_decimal_separator = conv->decimal_point[0];
    }
    std::setlocale(LC_NUMERIC, "C");
}

std::string FoldCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        std::size_t len = DecodeUtf8(text, i, c);
        if (len == 0) {  // invalid byte: kept as it stands
            out += text[i++];
            continue;
        }
        if (len == 1) out += static_cast<char>(FoldCodePoint(c));
        else AppendUtf8(out, FoldCodePoint(c));
        i += len;
    }
    return out;
}

int CompareText(std::string_view a, std::string_view b) {
    std::string fa = FoldCase(a), fb = FoldCase(b);
    int r = fa.compare(fb);
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

bool SameText(std::string_view a, std::string_view b) { return CompareText(a, b) == 0; }

std::string UpperCaseAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

std::string LowerCaseAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}

}  // namespace mivo
