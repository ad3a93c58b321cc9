#include "model/UTF8.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "model/RunTime.h"

namespace mivo {

namespace {

// Characters of the Windows-1252 bytes 0x80..0x9F; the unassigned bytes map
// to the code point of the same number. Bytes 0xA0..0xFF are U+00A0..U+00FF.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t Cp1252ToCodePoint(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return kCp1252High[byte - 0x80];
    return byte;
}

// The byte whose Windows-1252 character is `cp`, or nothing.
std::optional<unsigned char> CodePointToCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
    for (std::size_t i = 0; i < kCp1252High.size(); ++i)
        if (kCp1252High[i] == cp) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Strict decoding of one UTF-8 character at text[i] (shortest form, no
// surrogates, at most U+10FFFF). Returns its length, 0 when invalid.
std::size_t DecodeOne(std::string_view text, std::size_t i, char32_t& cp) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    unsigned char b0 = byte(0);
    std::size_t len;
    char32_t min;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        len = 2, min = 0x80, cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, min = 0x800, cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, min = 0x10000, cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (text.size() - i < len) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

std::string QuoteForMessage(std::string_view text) {
    constexpr std::size_t kMaxQuoted = 80;
    std::string cut = CutToCodePoints(text, kMaxQuoted);
    if (cut.size() < text.size()) cut += "...";
    return cut;
}

}  // namespace

std::size_t WideBufToUtf8(std::span<char> destination, std::span<const char16_t> source) {
    if (source.data() == nullptr || destination.empty()) return 0;
    std::size_t room = destination.size() - 1;  // one byte stays for the terminator
    std::size_t n = 0;
    for (char16_t unit : source) {
        unsigned u = unit;
        std::size_t len = u < 0x80 ? 1 : u < 0x800 ? 2 : 3;
        if (room - n < len) break;
        if (len == 1) {
            destination[n++] = static_cast<char>(u);
        } else if (len == 2) {
            destination[n++] = static_cast<char>(0xC0 | (u >> 6));
            destination[n++] = static_cast<char>(0x80 | (u & 0x3F));
        } else {
            destination[n++] = static_cast<char>(0xE0 | (u >> 12));
            destination[n++] = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            destination[n++] = static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    destination[n] = '\0';
    return n + 1;
}

std::optional<std::size_t> Utf8BufToWide(std::span<char16_t> destination, std::span<const char> source) {
    if (destination.empty()) return 0;
    std::size_t room = destination.size() - 1;
    std::size_t n = 0;
    std::size_t i = 0;
    while (i < source.size() && n < room) {
        auto lead = static_cast<unsigned char>(source[i]);
        if (lead < 0x80) {
            destination[n++] = lead;
            ++i;
            continue;
        }
        // A continuation byte cannot lead; four-byte sequences do not fit
        // into one 16-bit unit.
        if ((lead & 0xC0) == 0x80 || lead >= 0xF0) return std::nullopt;
        std::size_t len = (lead & 0x20) ? 3 : 2;
        if (source.size() - i < len) return std::nullopt;
        unsigned unit = lead & (len == 3 ? 0x0F : 0x1F);
        for (std::size_t k = 1; k < len; ++k) {
            auto b = static_cast<unsigned char>(source[i + k]);
            if ((b & 0xC0) != 0x80) return std::nullopt;
            unit = (unit << 6) | (b & 0x3F);
        }
        destination[n++] = static_cast<char16_t>(unit & 0xFFFF);
        i += len;
    }
    destination[n] = u'\0';
    return n + 1;
}

std::string EncodeUtf8(std::u16string_view text) {
    if (text.empty()) return {};
    std::string out(CheckedAdd(CheckedMul(text.size(), std::size_t{3}), std::size_t{1}), '\0');
    std::size_t written = WideBufToUtf8(out, text);
    out.resize(written - 1);
    return out;
}

TWideString DecodeUtf8(std::string_view text) {
    if (text.empty()) return {};
    TWideString out(CheckedAdd(text.size(), std::size_t{1}), u'\0');
    std::optional<std::size_t> written = Utf8BufToWide(out, text);
    if (!written) throw ERangeError();
    out.resize(*written - 1);
    return out;
}

std::string CodesToUtf8(std::string_view codes) {
    std::string out;
    out.reserve(codes.size());
    for (char c : codes) AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
    return out;
}

namespace {

// ASCII, as most value codes are, is its own code.
bool IsAsciiText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::optional<std::string> TryUtf8ToCodes(std::string_view text) {
    if (IsAsciiText(text)) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        std::size_t len = DecodeOne(text, i, cp);
        if (len == 0) return std::string(text);  // not UTF-8: taken as it stands
        std::optional<unsigned char> byte = CodePointToCp1252(cp);
        if (!byte) return std::nullopt;
        out += static_cast<char>(*byte);
        i += len;
    }
    return out;
}

std::string Utf8ToCodes(std::string_view text) {
    if (IsAsciiText(text)) return std::string(text);
    if (std::optional<std::string> codes = TryUtf8ToCodes(text)) return *std::move(codes);
    // Name the first offending character.
    char32_t bad = 0;
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        std::size_t len = DecodeOne(text, i, cp);
        if (!CodePointToCp1252(cp)) {
            bad = cp;
            break;
        }
        i += len;
    }
    throw EXmlError(Format("The character U+%04X in \"%s\" is not a value code",
                           static_cast<unsigned>(bad), QuoteForMessage(text)));
}

}  // namespace mivo
