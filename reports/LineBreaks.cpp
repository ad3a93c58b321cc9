#include "reports/LineBreaks.h"

namespace mivo {

namespace {

// Characters written without blanks between words: CJK radicals and
// ideographs, kana, Yi, Hangul syllables, compatibility ideographs, the
// fullwidth forms and the supplementary ideographic planes.
bool IsIdeographic(char32_t c) {
    if (c < 0x2E80) return false;
    return (c >= 0x2E80 && c <= 0x2FFF) || (c >= 0x3040 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF01 && c <= 0xFF60) || (c >= 0x20000 && c <= 0x3FFFD);
}

// Closing punctuation, small kana, iteration and length marks: they stay
// with what comes before them.
bool StaysWithThePrevious(char32_t c) {
    static constexpr std::u32string_view closing =
        U")]},.:;!?%\u2019\u201D\u3001\u3002\u3005\u3009\u300B\u300D\u300F\u3011\u3015\u3017\u3019"
        U"\u301B\u301C\u303B\u3041\u3043\u3045\u3047\u3049\u3063\u3083\u3085\u3087\u308E\u3095"
        U"\u3096\u309D\u309E\u30A1\u30A3\u30A5\u30A7\u30A9\u30C3\u30E3\u30E5\u30E7\u30EE\u30F5"
        U"\u30F6\u30FB\u30FC\u30FD\u30FE\uFF01\uFF09\uFF0C\uFF0E\uFF1A\uFF1B\uFF1F\uFF3D\uFF5D"
        U"\uFF5E\uFF60";
    return closing.find(c) != std::u32string_view::npos;
}

// Opening punctuation and currency signs: they stay with what comes after
// them.
bool StaysWithTheNext(char32_t c) {
    static constexpr std::u32string_view opening =
        U"([{$\u2018\u201C\u3008\u300A\u300C\u300E\u3010\u3014\u3016\u3018\u301A\uFF04\uFF08\uFF3B"
        U"\uFF5B\uFF5F\uFFE5";
    return opening.find(c) != std::u32string_view::npos;
}

}  // namespace

bool MayBreakBetween(char32_t before, char32_t after) {
    if (!IsIdeographic(before) && !IsIdeographic(after) && before != U'\u3000') return false;
    return !StaysWithThePrevious(after) && !StaysWithTheNext(before);
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    for (const TLineSpan& span : LineSpans(text)) lines.emplace_back(text.substr(span.Start, span.Length));
    return lines;
}

std::string JoinLines(std::string_view text) {
    if (!HasLineBreak(text)) return std::string(text);
    std::string out;
    for (const TLineSpan& span : LineSpans(text)) {
        if (span.Length == 0) continue;
        if (!out.empty()) out += ' ';
        out += text.substr(span.Start, span.Length);
    }
    // A text of breaks alone is blank, not empty: it still shows (and keeps
    // its field in tab output).
    return out.empty() ? std::string(" ") : out;
}

}  // namespace mivo
