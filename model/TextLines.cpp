#include "model/TextLines.h"

#include "model/RunTime.h"

namespace mivo {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

TLineSplitter::TLineSplitter(std::string_view text, TEmptyLines empty) : text_(text), empty_(empty) {
    if (text_.starts_with(kUtf8Bom)) pos_ = kUtf8Bom.size();
}

bool TLineSplitter::Next(std::string_view& line, int& number) {
    while (pos_ < text_.size()) {
        // The line ends at the first LF or CR: the next LF (found once and
        // kept, so that text with CR line ends is not searched again for
        // each line), or a CR before it.
        if (next_lf_ == std::string_view::npos || next_lf_ < pos_) {
            next_lf_ = text_.find('\n', pos_);
            if (next_lf_ == std::string_view::npos) next_lf_ = text_.size();
        }
        std::size_t end = text_.substr(0, next_lf_).find('\r', pos_);
        if (end == std::string_view::npos) end = next_lf_;
        std::string_view segment = text_.substr(pos_, end - pos_);
        pos_ = end;
        if (pos_ < text_.size()) {
            bool crlf = text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n';
            pos_ += crlf ? 2 : 1;
        }
        number_ = CheckedAdd(number_, 1);
        if (segment.empty() && empty_ == TEmptyLines::Skip) continue;
        line = segment;
        number = number_;
        return true;
    }
    return false;
}

std::vector<TTextLine> SplitTextLines(std::string_view text, TEmptyLines empty) {
    std::vector<TTextLine> lines;
    TLineSplitter splitter(text, empty);
    std::string_view line;
    int number = 0;
    while (splitter.Next(line, number)) lines.push_back({number, std::string(line)});
    return lines;
}

std::vector<std::string> SplitLines(std::string_view text, TEmptyLines empty) {
    std::vector<std::string> lines;
    TLineSplitter splitter(text, empty);
    std::string_view line;
    int number = 0;
    while (splitter.Next(line, number)) lines.emplace_back(line);
    return lines;
}

TItemCutter::TItemCutter(std::string_view line, char delimiter, bool quoted)
    : line_(line), delimiter_(delimiter), quoted_(quoted) {}

bool TItemCutter::Next(std::string& item) {
    std::string_view view;
    if (!Next(view, item)) return false;
    if (view.data() != item.data()) item.assign(view);
    return true;
}

bool TItemCutter::NextQuoted(std::string_view& item, std::string& scratch) {
    const std::size_t n = line_.size();
    const char* const text = line_.data();
    // The common forms stand in the line as they read: "text" and plain
    // text, each ended by a delimiter, a TAB or the end of the line.
    const auto ends_item = [&](std::size_t i) { return i == n || text[i] == '\t' || text[i] == delimiter_; };
    std::size_t i = pos_;
    if (!in_quotes_ && text[i] == '"') {
        std::size_t close = i + 1;
        while (close < n && text[close] != '"' && text[close] != '\t') ++close;
        if (close < n && text[close] == '"' && ends_item(close + 1)) {
            item = line_.substr(i + 1, close - i - 1);
            pos_ = close + 1 < n ? close + 2 : n;
            return true;
        }
    } else if (!in_quotes_) {
        std::size_t end = i;
        while (end < n && text[end] != '"' && text[end] != '\t' && text[end] != delimiter_) ++end;
        if (ends_item(end)) {
            item = line_.substr(i, end - i);
            pos_ = end < n ? end + 1 : n;
            return true;
        }
    }
    // Anything else is built up in the scratch text.
    scratch.clear();
    for (; i < n; ++i) {
        const char c = text[i];
        if (c == '\t') break;
        if (in_quotes_) {
            if (c != '"') {
                scratch += c;
            } else if (i + 1 < n && text[i + 1] == '"') {
                scratch += '"';
                ++i;
            } else {
                in_quotes_ = false;
            }
        } else if (c == '"') {
            in_quotes_ = true;
        } else if (c == delimiter_) {
            break;
        } else {
            scratch += c;
        }
    }
    pos_ = i < n ? i + 1 : n;
    item = scratch;
    return true;
}

namespace {

std::vector<std::string> CutAll(std::string_view line, char delimiter, bool quoted) {
    std::vector<std::string> items;
    TItemCutter cutter(line, delimiter, quoted);
    std::string item;
    while (cutter.Next(item)) items.push_back(item);
    return items;
}

}  // namespace

std::vector<std::string> CutTabItems(std::string_view line) { return CutAll(line, '\t', false); }

std::vector<std::string> CutCsvItems(std::string_view line, char delimiter) {
    return CutAll(line, delimiter, true);
}

}  // namespace mivo
