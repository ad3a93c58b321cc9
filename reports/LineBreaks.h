// Line breaks inside report texts. Descriptions keep the lines the user
// typed, ended by CR LF, a lone CR or a lone LF; a break at the very end of
// a text starts no further line. A paragraph starts a new line at every
// break (where its formatter keeps them); no drawn text ever holds a CR or
// an LF.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mivo {

// One line of a text: where it starts and how long it is, in the units of
// the text (bytes or code points), its break not included.
struct TLineSpan {
    std::size_t Start;
    std::size_t Length;
};

template <class Char>
constexpr bool IsLineBreakChar(Char c) {
    return c == Char('\r') || c == Char('\n');
}

template <class Char>
bool HasLineBreak(std::basic_string_view<Char> text) {
    for (Char c : text)
        if (IsLineBreakChar(c)) return true;
    return false;
}

inline bool HasLineBreak(const std::string& text) { return HasLineBreak(std::string_view(text)); }

// The lines of the text in order, empty ones included; none for an empty
// text.
template <class Char>
std::vector<TLineSpan> LineSpans(std::basic_string_view<Char> text) {
    std::vector<TLineSpan> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsLineBreakChar(text[i])) continue;
        lines.push_back({start, i - start});
        if (text[i] == Char('\r') && i + 1 < text.size() && text[i + 1] == Char('\n')) ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back({start, text.size() - start});
    return lines;
}

// Whether a line may break between two characters that have no blank
// between them. Chinese and Japanese leave no blanks between words, so a
// line may break before or after an ideograph, a kana or a Hangul
// syllable (and after an ideographic space), but never before closing
// punctuation or a small kana, nor after opening punctuation.
bool MayBreakBetween(char32_t before, char32_t after);

// The lines of the text as strings.
std::vector<std::string> SplitLines(std::string_view text);

// The text on one line: its lines that are not empty, joined by one blank;
// one blank for a text of breaks alone (a text without breaks is returned
// as it is).
std::string JoinLines(std::string_view text);

}  // namespace mivo
