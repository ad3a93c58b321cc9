// The Wox interchange format as text, and its record reader.
//
// A Wox file (".wox") is a sequence of lines of 8-bit text. Lines form
// records: a line whose first character is a blank starts a record, every
// following line that does not start with a blank continues it (an empty
// line continues it and adds nothing); the first line of the file always
// starts a record.
//
// The first line of a record carries the section tag in its first five
// characters (" ATT "), trimmed of blanks and control characters; the rest
// of the line is the record's first text. The known tags, in the order a
// file holds them:
//
//   Zut  header             FNC  one function (decision table)
//   DKB  the model          OPT  one option
//   ATT  one attribute      VAL  one value of the option before it
//   DOM  its scale          RPT  accepted, not used
//   GRP  a group of functions
//
// A record is read into items: strings whose first character is the item's
// code and whose remainder is its text.
//  - In the text sections DKB, ATT, GRP and OPT (and the empty tag) the
//    rest of the first line is one item of code ' ', so its text is a name
//    exactly as written.
//  - Otherwise the rest of the first line is split into blank-separated
//    words, one item each.
//  - Continuation lines: in DKB and ATT a line starting with 'D' is one whole
//    item (a description); in DOM a line starting with 'B', 'D', 'G' or 'N'
//    is one whole item (a value name or description); every other line is
//    split into words.
//
// A tag passes when a backslash followed by it occurs in
// "\Zut\DKB\ATT\DOM\GRP\FNC\OPT\VAL\RPT" (so the empty tag and a leading
// part of a tag pass too and simply match no section of the import); any
// other tag raises EWoxError "Error reading WOX around line %d: Unrecognized
// section \"%s\"", the line counted from 0. Tags are case-sensitive.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mivo {

// The prefix of every error that names a position in a Wox file; %d is the
// index (from 0) of the first line of the record concerned.
inline constexpr const char* SWoxErrorAround = "Error reading WOX around line %d: ";
inline constexpr const char* SWoxUnrecognizedSection = "Unrecognized section \"%s\"";

// The tags of the records, as written and read.
inline constexpr std::string_view WoxKnownTags = "\\Zut\\DKB\\ATT\\DOM\\GRP\\FNC\\OPT\\VAL\\RPT";

// The tag occurs after a backslash in "\DKB\ATT\GRP\OPT": the record's first
// line holds one name.
bool IsTextSection(std::string_view tag);
// A continuation line that is one whole item: for DKB and ATT a line that
// starts with 'D', for DOM one that starts with 'B', 'D', 'G' or 'N'.
bool IsWholeLine(std::string_view tag, std::string_view line);

// Reads the records of a Wox file one after the other. It never goes back.
class TWoxParser {
public:
    // Remembers the lines (owned by the caller; they must outlive the
    // parser); the section is empty until the first record is read.
    explicit TWoxParser(const std::vector<std::string>& lines);

    // Every line has been read.
    bool Eof() const { return line_index_ >= lines_.size(); }
    // The index of the next line to read, from 0.
    int LineIndex() const { return static_cast<int>(line_index_); }
    // The index (from 0) of the first line of the current record.
    int RecordLine() const { return record_line_; }

    // The tag of the current record; "EOF" once the end was reached.
    const std::string& Section() const { return section_; }

    // The items of the current record.
    const std::vector<std::string>& Items() const { return items_; }
    int ItemCount() const { return static_cast<int>(items_.size()); }
    // The first character of item i; '\0' when there is no item i.
    char ItemCode(int i) const;
    // Item i from its second character on; "" when there is no item i.
    std::string ItemText(int i) const;
    // ItemText(i) as a decimal integer; EConvertError for anything else.
    int ItemInt(int i) const;

    // The line at LineIndex, which then advances; "" at the end.
    std::string NextLine();

    // Reads the next record into Section and Items; false (Section "EOF")
    // at the end of the lines. An unknown tag raises EWoxError.
    bool NextRecord();

private:
    void AddWords(std::string_view text);

    const std::vector<std::string>& lines_;
    std::size_t line_index_ = 0;
    int record_line_ = 0;
    std::string section_;
    std::vector<std::string> items_;
};

}  // namespace mivo
