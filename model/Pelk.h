// Importing a model from Pelk XML and exporting one to it.
//
// Pelk XML has the root element "MODEL" and uses elements only; every value
// is the text of a child element. The file has no header line and holds
// 8-bit text: the import and export empty `XmlHeader` and switch `XmlUtf8`
// off for their duration and restore both afterwards (TXmlHeaderScope).
//
//   MODEL        NAME, DESCRIPTION, SCALE*, ATTRIBUTE*, FUNCTION*, OPTION*
//   SCALE        NAME, DESCRIPTION, ORDERED ("YES"/"NO"), ORDER ("ASC"/
//                "DESC"), SCALEVALUE* (NAME, DESCRIPTION, GROUP "BAD"/"GOOD")
//   ATTRIBUTE    NAME, DESCRIPTION, PARENT (absent or empty: a top
//                attribute), SCALE (a SCALE's name), FUNCTION (the name by
//                which a FUNCTION element refers to this attribute)
//   FUNCTION     NAME, ATTRLIST (input names joined by ";"), RULE*
//                (CONDITION: one value name per input joined by ";",
//                RESULT: a value name of the attribute's scale)
//   OPTION       NAME, OPTIONVALUE* (ATTRIBUTE, VALUE: a value name or "*")
//
// The import takes the root's children in document order, so every element
// must come after those it names. Attribute, scale and value names are
// compared exactly, function names without regard to case. Repeated
// attribute names (as linking needs them) are resolved so that every file
// the export writes reads back:
//  - PARENT names the nearest attribute of that name on the path from the
//    attribute read before up to the root (that attribute included), else
//    the first attribute of that name in pre-order, else none (a top
//    attribute).
//  - A FUNCTION goes to the first attribute registered under its name that
//    has no function from this file yet, can have one and has the inputs
//    the ATTRLIST names; failing that, to the first such attribute whatever
//    its inputs; failing that, to the first attribute registered under the
//    name (whose function it then replaces, or which raises the error that
//    explains why it cannot take it).
//  - The n-th OPTIONVALUE naming X within an option goes to the n-th basic
//    attribute X in pre-order, else to the first attribute X in pre-order.
//    Its value is set for that option, so a missing OPTIONVALUE never
//    shifts the values of later options; one naming no attribute with the
//    value "*" is skipped.
// With unique names each of these is simply the attribute of that name.
// The export writes nothing that these rules would read back differently:
// a function whose attribute its name would not find is referred to by a
// unique name (the attribute's name with "_1", "_2", ... appended), and a
// tree in which a parent's name would find a nearer attribute (an input
// named like its parent and followed by further inputs) is refused.
//
// A scale may hold at most 208 values and the tree may be no deeper than
// the model file can hold (`MaxAttributeLevel`, model/TreeEdit.h, refused
// with the tree editor's message); decision tables too large are refused
// (EMivoError each).
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace mivo {

class TMivoModel;
class TXmlItem;

// Messages of the import's limits and of names the export cannot write.
inline constexpr const char* SPelkTooManyValues = "Scale \"%s\" has more than %d values";
inline constexpr const char* SPelkParentUnnamed =
    "Cannot export attribute \"%s\": its parent attribute has no name, so the file could not refer to it";
inline constexpr const char* SPelkParentAmbiguous =
    "Cannot export attribute \"%s\": a nearer attribute of its parent's name \"%s\" would be taken for its parent";
inline constexpr const char* SPelkSemicolonInName =
    "Cannot export attribute \"%s\": its name contains \";\", which separates the inputs of a function";
inline constexpr const char* SPelkSemicolonInValue =
    "Cannot export attribute \"%s\": its value \"%s\" contains \";\", which separates the values of a rule";
inline constexpr const char* SPelkValueNotUnique =
    "Cannot export attribute \"%s\": more than one of its values is named \"%s\", so the file could not tell them "
    "apart";
inline constexpr const char* SPelkBasicUnnamed =
    "Cannot export %s: it has no name, and the file gives option values by the attribute's name";
inline constexpr const char* SPelkTopPlace = "top attribute %d";
inline constexpr const char* SPelkInputPlace = "input %d of attribute \"%s\"";
inline constexpr const char* SPelkValueUnnamed =
    "Cannot export attribute \"%s\": its value %d has no name, so the file would read option \"%s\" as undefined";
inline constexpr const char* SPelkValueAny =
    "Cannot export attribute \"%s\": its value \"*\" would be read as any value in option \"%s\"";

// Reads the file into a new, empty model: the tree is replaced, the file's
// scales, attributes, functions and options are added, then the model is
// marked changed (modified, needs evaluation, relinked). Raises EMivoError
// "Unsupported file format:\"%s\"" when the root element is not "MODEL",
// the errors of the format (unknown function, function parameters,
// function not possible, unknown attribute value) and of the limits above,
// EXmlError for malformed XML and EFileError when the file cannot be read.
// After an error the model holds what was read so far.
void ImportPelk(TMivoModel& model, const std::string& file_name);

// The same over lines of text; `source` names them in messages.
void ImportPelkLines(TMivoModel& model, const std::vector<std::string>& lines, const std::string& source);

// The element tree of the model's Pelk file. The format carries each rule
// only with the low end of its interval, option values only for basic
// attributes and only as one value or "*" (undefined values and sets of
// several values are written as "*"). Scale names are made unique, and so
// are function reference names where the attribute's own name would lead
// elsewhere. Raises EMivoError, before anything is built, for names the
// file could not refer to or would read back as something else:
//  - an attribute whose parent has an empty name or whose parent's name
//    would be read as a nearer attribute;
//  - a ";" in the name or a value name of an input of a function;
//  - a value name shared by several values of the same scale, where the
//    file names one of them: any value of an input of a function, the low
//    end of a rule's result, an option's value of a basic attribute;
//  - when the model has options, a basic attribute without a name, and an
//    option's value that has no name or is named "*".
std::unique_ptr<TXmlItem> PelkTree(const TMivoModel& model);

// What the Pelk file cannot hold of the model's values and rules, counted
// as the export writes them, so that the user can be told before a save.
struct TPelkLosses {
    // Option values of basic attributes that are sets of several values:
    // the file holds one value name, so they are written as "*".
    int SetValues = 0;
    // Rules whose result is an interval of several values: the file holds
    // one result name, so they are written with the interval's low end.
    int RuleIntervals = 0;

    bool Any() const { return SetValues > 0 || RuleIntervals > 0; }
    bool operator==(const TPelkLosses&) const = default;
};

TPelkLosses PelkLosses(const TMivoModel& model);

// Writes PelkTree to the file (created or replaced through the safe file
// writer, so a failure leaves it as before). The model is not changed: its
// modified mark stays, as the file cannot hold everything the model file
// holds.
void ExportPelk(const TMivoModel& model, const std::string& file_name);

}  // namespace mivo
