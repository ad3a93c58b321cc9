#include "model/Locale.h"

#include <clocale>
#include <cstdint>

namespace mivo {

namespace {

char g_decimal_separator = '.';

// Simple case folding of Greek, Cyrillic, Armenian, Latin Extended
// Additional and the fullwidth Latin letters; others unchanged.
char32_t FoldOtherScripts(char32_t c) {
    auto evenToOdd = [c](char32_t first, char32_t last) { return c >= first && c <= last && c % 2 == 0; };
    if (c < 0x370) return c;
    // Greek
    if (c == 0x386) return 0x3AC;
    if (c >= 0x388 && c <= 0x38A) return c + 37;
    if (c == 0x38C) return 0x3CC;
    if (c == 0x38E || c == 0x38F) return c + 63;
    if ((c >= 0x391 && c <= 0x3A1) || (c >= 0x3A3 && c <= 0x3AB)) return c + 0x20;
    if (c == 0x3C2) return 0x3C3;  // final sigma
    if (evenToOdd(0x3D8, 0x3EF)) return c + 1;
    // Cyrillic
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (evenToOdd(0x460, 0x481) || evenToOdd(0x48A, 0x4BF) || evenToOdd(0x4D0, 0x52F)) return c + 1;
    if (c == 0x4C0) return 0x4CF;
    if (c >= 0x4C1 && c <= 0x4CE && c % 2 == 1) return c + 1;
    // Armenian
    if (c >= 0x531 && c <= 0x556) return c + 0x30;
    // Latin Extended Additional
    if (evenToOdd(0x1E00, 0x1E95) || evenToOdd(0x1EA0, 0x1EFF)) return c + 1;
    if (c == 0x1E9E) return 0xDF;  // capital sharp s
    // Fullwidth Latin
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;
    return c;
}

// Lower-case form of one code point; others unchanged.
char32_t FoldCodePoint(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c < 0x80) return c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c % 2 == 0) ? c + 1 : c;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c % 2 == 1) ? c + 1 : c;
    if (c == 0x178) return 0xFF;
    if (c == 0xB5) return 0x3BC;  // micro sign: Greek mu
    return FoldOtherScripts(c);
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
