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
        // A plain scan: find_first_of runs a search of its set per character.
        std::size_t end = pos_;
        while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n') ++end;
        if (end == text_.size()) end = std::string_view::npos;
        if (end == std::string_view::npos) end = text_.size();
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
    // Nothing follows a final delimiter, and an empty line holds no item.
    if (pos_ >= line_.size()) return false;
    const std::size_t n = line_.size();
    if (!quoted_) {
        std::size_t end = line_.find(delimiter_, pos_);
        if (end == std::string_view::npos) end = n;
        item.assign(line_.substr(pos_, end - pos_));
        pos_ = end < n ? end + 1 : n;
        return true;
    }
    item.clear();
    bool in_quotes = false;
    std::size_t i = pos_;
    for (; i < n; ++i) {
        char c = line_[i];
        if (in_quotes) {
            if (c != '"') {
                item += c;
            } else if (i + 1 < n && line_[i + 1] == '"') {
                item += '"';
                ++i;
            } else {
                in_quotes = false;
            }
        } else if (c == '"') {
            in_quotes = true;
        } else if (c == delimiter_) {
            break;
        } else {
            item += c;
        }
    }
    pos_ = i < n ? i + 1 : n;
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
