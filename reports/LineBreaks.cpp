#include "reports/LineBreaks.h"

namespace mivo {

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
