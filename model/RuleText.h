// One decision table as tab-separated rule text, to and from files, the
// clipboard and lists of lines, so that rules can be edited in a spreadsheet
// or carried between models.
//
// Layout, one line per row, cells separated by one TAB:
//   header   an empty cell, the name of each input, the attribute's name;
//   rules    the rule number (1-based position in the table), one value
//            cell per input, the result, and, when every rule is written
//            (FncDataAll), a last cell with the flag "+" (entered) or "-".
// With FncDataAll off only the entered rules are written, without a flag
// cell.
//
// Three model settings choose the form:
//   FncDataType     0 a value is its index, 1 its index plus 1, 2 its name;
//   FncDataAll      every rule with flags, or the entered ones without;
//   FncFormatType   0 the result as two cells low TAB high;
//                   1 one cell, low alone when low = high, else low:high;
//                   2 one cell with signs: "*" for the whole scale, low
//                     alone when low = high, "<=high" from the first value,
//                     ">=low" up to the last value, else low:high.
//
// Reading accepts every form writing produces, whatever FncFormatType says.
// Each line stands on its own; a line that fails any test is skipped, never
// an error:
//   - the first cell must be a rule number 1..RuleCount (so the header and
//     blank lines are skipped);
//   - a last cell "+" or "-" is the flag and is removed; without it the rule
//     is marked entered;
//   - the result is the last two cells (FncFormatType 0) or the last cell,
//     read with the attribute's own scale, and must be an interval of it;
//   - when exactly one cell per input remains, each must name the rule's
//     value of that input, or the line is skipped; with any other number of
//     cells the rule number alone identifies the rule.
// A value cell is read as a number (index, or index plus 1 for
// FncDataType 1) or as a value name (exact, letter case matters): for
// FncDataType 2 a name first, then a number; otherwise a cell that is a
// decimal integer is the number, whatever its value (outside the scale the
// line is skipped), and only any other cell is looked up as a name.
//
// Value names that look like interval forms: with FncDataType 2 a cell that
// is exactly a value name is read as that value before any interval form is
// tried, and a ":" interval is split at the first ":" that leaves a value on
// both sides. What stays ambiguous: a value named "*" (the cell "*" is
// always the whole scale), a cell that is both a value name and an interval
// of other names (the name wins), and, with FncDataAll off, a result value
// named "+" or "-" (read as the flag). Names holding a TAB or a line break
// cannot travel in this text at all.
//
// Importing changes only intervals and flags; it does not derive or check
// the table again (the caller refreshes it).
#pragma once

#include <string>
#include <vector>

namespace mivo {

class TClipboard;
class TMivoFunction;
class TMivoSettings;

// What an import did: rules applied, and how many of them got a different
// interval or flag.
struct TRuleImport {
    int Imported = 0;
    int Changed = 0;
};

// The header and rule lines of the table; nothing without an attribute.
std::vector<std::string> RulesToText(const TMivoFunction& funct, const TMivoSettings& settings);

// The lines of RulesToText saved as a text file (LF line ends) through the
// atomic file writer; EFileError when the file cannot be written.
void ExportFile(const TMivoFunction& funct, const std::string& fileName, const TMivoSettings& settings);

// The lines of RulesToText, each ended by CR LF, as one text.
std::string RulesClipboardText(const TMivoFunction& funct, const TMivoSettings& settings);

// Puts RulesClipboardText on the clipboard.
void CopyToClipboard(const TMivoFunction& funct, TClipboard& clipboard, const TMivoSettings& settings);

// Applies every line that names a rule of the table (see above).
TRuleImport ImportStrings(TMivoFunction& funct, const std::vector<std::string>& lines,
                          const TMivoSettings& settings);

// The lines of a text (CR, LF or CR LF line ends), then ImportStrings.
TRuleImport ImportText(TMivoFunction& funct, const std::string& text, const TMivoSettings& settings);

// The file's lines, then ImportStrings; EFileError when it cannot be read.
TRuleImport ImportFile(TMivoFunction& funct, const std::string& fileName, const TMivoSettings& settings);

// The clipboard's text, then ImportStrings.
TRuleImport PasteFromClipboard(TMivoFunction& funct, const TClipboard& clipboard, const TMivoSettings& settings);

}  // namespace mivo
