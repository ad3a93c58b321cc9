#include "model/Wox.h"

#include <algorithm>

#include "model/RunTime.h"
#include "model/Utils.h"

namespace mivo {

namespace {

bool Contains(std::string_view tags, std::string_view tag) {
    std::string key = "\\";
    key += tag;
    return tags.find(key) != std::string_view::npos;
}

// Blanks and control characters, which NextToken skips before a word.
bool IsSkipped(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

bool IsTextSection(std::string_view tag) { return Contains("\\DKB\\ATT\\GRP\\OPT", tag); }

bool IsWholeLine(std::string_view tag, std::string_view line) {
    if (line.empty()) return false;
    char first = line.front();
    if (tag == "DKB" || tag == "ATT") return first == 'D';
    if (tag == "DOM") return first == 'B' || first == 'D' || first == 'G' || first == 'N';
    return false;
}

TWoxParser::TWoxParser(const std::vector<std::string>& lines) : lines_(lines) {}

char TWoxParser::ItemCode(int i) const {
    if (i < 0 || i >= ItemCount()) return '\0';
    const std::string& item = items_[static_cast<std::size_t>(i)];
    return item.empty() ? '\0' : item.front();
}

std::string TWoxParser::ItemText(int i) const {
    if (i < 0 || i >= ItemCount()) return "";
    const std::string& item = items_[static_cast<std::size_t>(i)];
    return item.size() > 1 ? item.substr(1) : std::string();
}

int TWoxParser::ItemInt(int i) const { return StrToInt(ItemText(i)); }

std::string TWoxParser::NextLine() {
    if (Eof()) return "";
    return lines_[line_index_++];
}

// Words as NextToken cuts them (leading blanks and control characters
// skipped, a word ends at the next blank), scanned by index so that a long
// line costs time in proportion to its length.
void TWoxParser::AddWords(std::string_view text) {
    std::size_t pos = 0;
    while (true) {
        while (pos < text.size() && IsSkipped(text[pos])) ++pos;
        if (pos >= text.size()) return;
        std::size_t end = text.find(' ', pos);
        if (end == std::string_view::npos) end = text.size();
        items_.emplace_back(text.substr(pos, end - pos));
        pos = end;
    }
}

bool TWoxParser::NextRecord() {
    items_.clear();
    if (Eof()) {
        section_ = "EOF";
        record_line_ = LineIndex();
        return false;
    }
    record_line_ = LineIndex();
    std::string line = NextLine();
    section_ = Trim(std::string_view(line).substr(0, std::min<std::size_t>(5, line.size())));
    std::string_view rest = line.size() > 5 ? std::string_view(line).substr(5) : std::string_view();

    if (!Contains(WoxKnownTags, section_))
        throw EWoxError(Format(SWoxErrorAround, record_line_) + Format(SWoxUnrecognizedSection, section_));

    if (IsTextSection(section_))
        items_.push_back(" " + std::string(rest));
    else
        AddWords(rest);

    while (!Eof() && CharAt(lines_[line_index_], 1) != ' ') {
        std::string next = NextLine();
        if (IsWholeLine(section_, next))
            items_.push_back(std::move(next));
        else
            AddWords(next);
    }
    return true;
}

}  // namespace mivo
