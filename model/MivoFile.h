// The model file (".mvo"): an XML document with the root element "Mivo"
// that holds the whole model. The same element layout serves the undo
// snapshots (the model file text as a list of lines) and the in-memory copy
// of an attribute subtree (a document with the root element "SUBTREE").
//
// These are the model's file operations; they are free functions over a
// `TMivoModel` (taking the model as their first argument) so that the model
// class itself stays free of the file format.
//
// Layout written, in this order (the reader accepts children in any order
// and skips elements it does not know; element names are case-sensitive):
//
//   Mivo        NAME?, DESCRIPTION?, OPTION*, SETTINGS, ATTRIBUTE*
//   ATTRIBUTE   NAME?, DESCRIPTION?, SCALE?, FUNCTION?, OPTION*, ATTRIBUTE*
//   SCALE       ORDER?, INTERVAL?, SCALEVALUE* (NAME?, DESCRIPTION?, GROUP?)
//   FUNCTION    DESCRIPTION?, LOW, HIGH?, ENTERED?, WEIGHTS?, CONSIST?, ROUNDING?
//   SETTINGS    one child per setting that differs from its default
//
// Elements whose value is the default are left out. Links are not stored
// (they are recomputed), nor are the scales' names, units or bounds other
// than through the "BAD" and "GOOD" groups of their values.
//
// Value codes (option values, the "LOW" and "HIGH" rule data) are bytes,
// not text: in a file with the UTF-8 header every byte of 128 and above
// travels as its Windows-1252 character (model/UTF8.h), so that the file is
// valid UTF-8 and every code reads back exactly. Files with the plain
// "version 1" header carry the bytes as they stand.
//
// The reader checks what the file says against the tree it builds and
// raises EMivoError naming the attribute for rule data outside the output
// scale, a low end above the high end, an entered flag other than '+' or
// '-', a scale of more than 208 values and a decision table too large.
// Option values outside an attribute's scale are kept as the file has them.
// An attribute's value list longer than the model's option list is cut to
// it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/TextPieces.h"

namespace mivo {

class TMivoModel;
class TMivoAttribute;
class TMivoScale;
class TMivoFunction;
class TMivoSettings;
class TXmlItem;
class TXmlWriter;

// Messages of the reader's checks: the attribute's name, the 1-based rule
// number (or the value limit), then details.
inline constexpr const char* SRuleOutsideScale =
    "Attribute \"%s\": rule %d has a result value outside the attribute's scale";
inline constexpr const char* SRuleLowAboveHigh =
    "Attribute \"%s\": rule %d has a low value above its high value";
inline constexpr const char* SRuleEnteredFlag =
    "Attribute \"%s\": rule %d has an entered flag other than \"+\" or \"-\"";
inline constexpr const char* STooManyScaleValues =
    "Attribute \"%s\": the scale has more than %d values";
inline constexpr const char* SBadValueCodes = "Attribute \"%s\": %s";

// Which keys a reader takes in. The batch evaluator reads only what
// evaluation and option data need: with `Batch` a scale's "INTERVAL", a
// function's "ROUNDING" and "DESCRIPTION" and the settings "UNDOING",
// "BADFONTSTYLE" and "GOODFONTSTYLE" are neither parsed nor checked, so a
// value there that the desktop program refuses does not stop a batch run.
enum class TModelReading { Full, Batch };

// --- whole models ------------------------------------------------------------

// Reads the file into the model as ReadModel reads a tree of it, element by
// element: the root's and every attribute's children one at a time, so that
// a large model never stands in memory as a tree. A root element other than
// "Mivo" raises EMivoError "Unsupported file format:\"<file name>\"" before
// anything of the model is changed. XML, conversion and file errors
// propagate; an error after the root's start tag leaves the model partly
// read. Meant for a fresh model (see ReadModel).
void LoadFromFile(TMivoModel& model, const std::string& file_name, TModelReading reading = TModelReading::Full);

// The same over lines of text (undo snapshots); the wrong-root message
// names "SavedList".
void LoadFromStrings(TMivoModel& model, const std::vector<std::string>& lines);
// The same over the lines of one text (split at CR LF, CR or LF).
void LoadFromText(TMivoModel& model, std::string_view text);
// The same over a text pulled from the source while it is read, so that
// it never stands in memory whole; errors of the source propagate.
void LoadFromSource(TMivoModel& model, const TTextSource& source);

// Reads the element tree of a "Mivo" root into the model: the tree is
// replaced, the file's options are appended, the settings keys present in
// the file are set; then the model is marked changed (relinked) and its
// modified mark is cleared. The options and settings are not cleared
// first: every caller reads into a fresh model.
void ReadModel(TMivoModel& model, const TXmlItem& root, TModelReading reading = TModelReading::Full);

// Writes the model to the file (through the safe file writer) with the
// current `XmlHeader`; the UTF-8 header gives UTF-8 text, the plain header
// 8-bit text. Clears the modified mark.
void SaveToFile(TMivoModel& model, const std::string& file_name);

// The same document as lines of text, except that the model's description
// is written as plain text. Clears the modified mark.
void SaveToStrings(TMivoModel& model, std::vector<std::string>& lines);
// The lines of SaveToStrings as one text, each ended by LF.
// `expected_size`: the text's likely size, when known (a hint).
std::string SaveToText(TMivoModel& model, std::size_t expected_size = 0);
// The text of SaveToText handed to the sink in pieces, in order, so that it
// never stands in memory whole. Clears the modified mark once all is
// handed on.
void SaveToSink(TMivoModel& model, const TTextSink& sink);

// --- attribute subtrees ------------------------------------------------------

// A "SUBTREE" document holding the attribute's element (the whole tree
// under the invisible root when `attribute` is null), as lines.
void WriteSubtree(const TMivoModel& model, const TMivoAttribute* attribute, std::vector<std::string>& lines);

// Reads a "SUBTREE" document (anything else raises EMivoError
// "Unsupported string format") and returns its first "ATTRIBUTE" as a new
// attribute without parent, or null when it has none.
std::unique_ptr<TMivoAttribute> ReadSubtree(const std::vector<std::string>& lines);

// A copy of the attribute's subtree (the invisible root with the whole tree
// when `attribute` is null), made by writing it as subtree text and reading
// that back: names, descriptions, scales, functions, option values and all
// inputs as far as the model file holds them. Links are not copied, and
// the copied scales' bounds are rebuilt from the bad and good groups of
// their values. The copy has no parent and belongs to the caller.
std::unique_ptr<TMivoAttribute> DuplicateSubtree(const TMivoModel& model, const TMivoAttribute* attribute);

// --- the parts ---------------------------------------------------------------

// Writes the element of each part inside the writer's open element.
void WriteAttribute(const TMivoAttribute& attribute, TXmlWriter& writer);
void WriteScale(const TMivoScale& scale, TXmlWriter& writer);
void WriteFunction(const TMivoFunction& function, TXmlWriter& writer);
void WriteSettings(const TMivoSettings& settings, TXmlWriter& writer);
// A text without CR LF as the element's text; otherwise one "LINE" child
// per line, empty first and last lines included.
void WriteDescription(const std::string& name, const std::string& description, TXmlItem& parent);

// Reads an "ATTRIBUTE" element into a new attribute, appended to `parent`'s
// inputs when a parent is given; returns the new attribute when there is no
// parent, else null.
std::unique_ptr<TMivoAttribute> ReadAttribute(const TXmlItem& element, TMivoAttribute* parent,
                                              TModelReading reading = TModelReading::Full);
void ReadScale(const TXmlItem& element, TMivoAttribute& attribute, TModelReading reading = TModelReading::Full);
void ReadFunction(const TXmlItem& element, TMivoAttribute& attribute, TModelReading reading = TModelReading::Full);
void ReadSettings(const TXmlItem& element, TMivoSettings& settings, TModelReading reading = TModelReading::Full);
// An element without children gives its text; one with children the texts
// of its "LINE" children joined by CR LF, empty lines included, so that a
// description reads back exactly as WriteDescription wrote it.
std::string ReadDescription(const TXmlItem& element);

}  // namespace mivo
