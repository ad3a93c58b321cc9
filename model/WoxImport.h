// Importing a model from a Wox file and exporting one to it (the format is
// described in model/Wox.h).
//
// Record layouts, as the export writes them and the import reads them
// (numbers in the file count from 1: attributes in pre-order of the tree,
// scale values, rule results):
//
//   " Zut I1.5"                              header
//   " DKB " name / "D" description / "T.. t.. A.. a.. b.. v.. G1 O.. o.."
//   / "PP- UDU MC* ME* MD*" / "=4000"        the model
//   " ATT " name / "D" description / "L" level " I" number
//   " DOM D+" (or D- descending, D~ unordered), then per value 'B' (bad),
//   'G' (good) or 'N' (neutral) + name, "D" + description when not empty
//   " GRP"                                   the group of functions
//   " FNC DI I" number / "S" rules " d" determinedness " MC* ME* MD*" /
//   the rules with the first input varying fastest, twelve per line, each
//   'R' (entered) or 'r' + low [":" high]
//   " OPT " name, then " VAL * G1 I0"
//   " VAL [E] * G1 I" number                 any value or undefined
//   " VAL [E] G1 I" number / "V" value ...   a set of values
//
// The import is lenient where the format allows it and strict where a file
// could otherwise damage the model:
//  - The first record must be the "Zut" header and the second the "DKB"
//    model record; anything else is refused as an unsupported file.
//  - An ATT record's level places it in the tree: deeper than the previous
//    attribute makes a child of it, shallower climbs up; a level of 1 or
//    less (or a missing level on the first record) makes a top attribute.
//    A tree deeper than the model file can hold (`MaxAttributeLevel`,
//    model/TreeEdit.h) is refused with the tree editor's message.
//  - Attribute numbers are looked up without allocating for them. A
//    negative number, or a number past the largest one the file gave an
//    attribute, is an error naming the line; a number in range without an
//    attribute names none.
//  - An FNC record uses its first 'I' item. One that names no attribute or
//    one that cannot have a function is skipped with a warning; a later FNC
//    for the same attribute replaces the earlier table. Rule results
//    outside the attribute's scale, inverted intervals and more rules than
//    the table has are errors naming the line.
//  - VAL members outside the attribute's scale are dropped with a warning
//    (the first such record's line); the others are kept in increasing
//    order without repeats, so a set of several values reads back whole.
//  - Records that the import does not expect where they stand end the
//    import with a warning saying from which line nothing was read.
//  - A scale of more than 208 values is refused.
// Errors naming a position start with "Error reading WOX around line %d: "
// (the first line of the record, counted from 0); malformed numbers keep
// the conversion error's class with that prefix added.
#pragma once

#include <string>
#include <vector>

namespace mivo {

class TMivoModel;

// Messages of the import (errors, then warnings; each warning ends with a
// CR, which breaks the line in a message box).
inline constexpr const char* SWoxBadAttributeNumber = "Invalid attribute number %d";
inline constexpr const char* SWoxTooManyValues = "The scale of attribute \"%s\" has more than %d values";
inline constexpr const char* SWoxTooManyRules = "The function of attribute \"%s\" has more than %d rules";
inline constexpr const char* SWoxBadRule =
    "Rule %d of attribute \"%s\": result \"%s\" is not an interval of values 1 to %d";
inline constexpr const char* SWoxFunctionWithoutAttribute =
    "The function around line %d names no attribute; it was skipped.\r";
inline constexpr const char* SWoxFunctionNotPossible =
    "The function around line %d: attribute \"%s\" cannot have a function; it was skipped.\r";
inline constexpr const char* SWoxValuesDropped =
    "Option values outside the attribute's scale were dropped (first around line %d).\r";
inline constexpr const char* SWoxStoppedEarly =
    "Unexpected record \"%s\" around line %d: nothing from there on was read.\r";

// Reads the Wox file into a new, empty model and returns the warnings
// (empty when there are none). Sets the model's name and description, adds
// the attribute tree, scales, functions and options with their values, and
// marks the model as needing evaluation (values of aggregate attributes in
// the file are not trusted) and relinks it. Raises EMivoError
// "Unsupported file format:\"%s\"" for a file without the header records,
// EWoxError for an unknown record tag, EMivoError for the structural errors
// above, EConvertError for malformed numbers, EFileError when the file
// cannot be read. After an error the model holds what was read so far.
std::string ImportWox(TMivoModel& model, const std::string& file_name);

// The same over the lines of a file; `file_name` only names it in messages.
std::string ReadWox(TMivoModel& model, const std::vector<std::string>& lines, const std::string& file_name);

// The lines of the Wox file of the model. Line breaks and other control
// characters inside names and descriptions are written as blanks, so the
// file always reads back. The model is not changed.
std::vector<std::string> WoxLines(const TMivoModel& model);

// Writes WoxLines to the file (created or replaced, each line ended by
// CR LF) through the safe file writer: on failure the file is as before.
void ExportWox(const TMivoModel& model, const std::string& file_name);

}  // namespace mivo
