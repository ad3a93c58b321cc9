// Splitting text into lines and lines into items, for every text reader of
// the system (option data as tab-separated or comma-separated text, rule
// text, the Wox interchange format, the XML reader).
//
// Lines end at CR, LF or the pair CR LF. A UTF-8 byte-order mark at the very
// start of the text is skipped. Line numbers count every line of the text
// from 1, skipped ones included, so error messages can point into the file.
//
// Items: a line is cut at its delimiter (TAB, or ',' for comma-separated
// text). The last item is what remains after the last delimiter, and nothing
// follows a final delimiter: "a<TAB>b<TAB>" gives a and b, "a<TAB><TAB>b"
// gives a, an empty item and b, and an empty line gives no item.
//
// Comma-separated quoting: scanning from the left, a double quote that is
// not inside quotes opens quotes and one inside quotes closes them; inside
// quotes, two double quotes in a row stand for one double quote, and the
// delimiter is an ordinary character. The quotes themselves are dropped, and
// text outside quotes is taken as it stands, so "a b",c and x"y,z"w give the
// items a b / c and xy,zw. An unterminated quote runs to the end of the line.
// A TAB ends an item wherever it stands, inside quotes too, just as the
// delimiter does outside them: comma-separated text is read as tab text
// whose commas outside quotes are further tabs, so tab-separated text reads
// the same either way. Quotes opened before a TAB stay open after it.
//
// Both cutters scan the line by index: cutting a long line costs time in
// proportion to its length, not to its length times its item count.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mivo {

// One line of a text with its 1-based line number.
struct TTextLine {
    int Number = 0;
    std::string Text;
};

// Whether entirely empty lines are skipped or kept. A line of blanks is not
// empty. Either way the empty segment after a final line end is no line.
enum class TEmptyLines { Skip, Keep };

// Steps through the lines of a text without copying it. The text must
// outlive the splitter.
class TLineSplitter {
public:
    explicit TLineSplitter(std::string_view text, TEmptyLines empty = TEmptyLines::Skip);

    // The next line and its 1-based number; false at the end of the text.
    bool Next(std::string_view& line, int& number);

    // The number of lines passed so far, skipped ones included.
    int Passed() const { return number_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t next_lf_ = std::string_view::npos;  // the first LF at or after pos_ (or the end), once found
    int number_ = 0;
    TEmptyLines empty_;
};

// All lines of a text with their numbers.
std::vector<TTextLine> SplitTextLines(std::string_view text, TEmptyLines empty = TEmptyLines::Skip);

// All lines of a text.
std::vector<std::string> SplitLines(std::string_view text, TEmptyLines empty = TEmptyLines::Skip);

// Steps through the items of one line. The line must outlive the cutter.
class TItemCutter {
public:
    // `quoted`: apply the comma-separated quoting rules above.
    TItemCutter(std::string_view line, char delimiter, bool quoted = false);

    // The next item; false when the line holds no more.
    bool Next(std::string& item);

    // The same as a view: into the line where the item stands there as it
    // reads (always without quoting), else into `scratch`. Valid until the
    // next call.
    bool Next(std::string_view& item, std::string& scratch) {
        const std::size_t n = line_.size();
        if (pos_ >= n) return false;
        if (quoted_) return NextQuoted(item, scratch);
        const char* const text = line_.data();
        std::size_t end = pos_;
        while (end < n && text[end] != delimiter_) ++end;
        item = line_.substr(pos_, end - pos_);
        pos_ = end < n ? end + 1 : n;
        return true;
    }

private:
    bool NextQuoted(std::string_view& item, std::string& scratch);

    std::string_view line_;
    std::size_t pos_ = 0;
    char delimiter_;
    bool quoted_;
    bool in_quotes_ = false;
};

// All items of a line cut at TAB characters.
std::vector<std::string> CutTabItems(std::string_view line);

// All items of a comma-separated line (with the quoting rules above).
std::vector<std::string> CutCsvItems(std::string_view line, char delimiter = ',');

}  // namespace mivo
