// The message catalogue of the model module: the texts that the model, its
// file formats and the model window show, in catalogue order. Texts with
// "%s" and "%d" are filled in with Format(); "\r" breaks the line in a
// message box.
#pragma once

namespace mivo::MivoStr {

inline constexpr const char* SObjectDestroyed = "Trying to destroy an already destroyed object \"%s\"";
inline constexpr const char* SPendingObjects = "%d pending objects upon exit";
inline constexpr const char* SModelCaption = "%s [%s%s]";
inline constexpr const char* SUnsupportedFileFormat = "Unsupported file format:\"%s\"";
inline constexpr const char* SUnsupportedStringFormat = "Unsupported string format";
inline constexpr const char* SEvaluation = "Evaluation";
inline constexpr const char* SStatistics =
    "Attributes: %d (%d basic, %d linked, %d aggregate)   |   Scales: %d   |   Functions: %d   |   Options: %d";
inline constexpr const char* SNew = "New";
inline constexpr const char* SAddDeletesFunction =
    "Adding a new attribute will delete the function \"%s\".\rDo you still want to add a new attribute?";
inline constexpr const char* SDeleteBasic = "Do you want to delete basic attribute \"%s\"?";
inline constexpr const char* SDeleteOption = "Do you want to delete option \"%s\"?";
inline constexpr const char* SDeleteSubtree = "Do you want to delete subtree \"%s\"?";
inline constexpr const char* SAlsoDeleteFunction = "This will also delete the utility function of the attribute.";
inline constexpr const char* SAlsoDeleteFunctionOf = "This will also delete the utility function of attribute \"%s\".";
inline constexpr const char* SCutDeletesFunction =
    "Cutting this subtree will delete the function \"%s\".\rDo you still want to cut the subtree?";
inline constexpr const char* SPasteDeletesFunction =
    "Pasting this subtree will delete the function \"%s\".\rDo you still want to paste the subtree?";
inline constexpr const char* SMoveDeletesFunction =
    "Moving this subtree will delete the function \"%s\".\rDo you still want to move the subtree?";
inline constexpr const char* SMoveDeletesFunctions =
    "Moving this subtree will delete the functions \"%s\" and \"%s\".\rDo you still want to move the subtree?";
inline constexpr const char* SFileExists = "File \"%s\" already exists. Do you want to overwrite this file?";
inline constexpr const char* SSaveModelToFile = "Do you want to save the model \"%s\" to file \"%s\"?";
inline constexpr const char* SSaveModel = "Do you want to save the model \"%s\" to a file?";
inline constexpr const char* SPelkLosesData =
    "The Pelk format holds one value for each option and attribute and one result for each rule:\r"
    "%d option values that are sets will be written as \"*\",\r"
    "%d rules whose result is an interval will be written with its first value.\r"
    "Do you still want to save the model to file \"%s\"?";
inline constexpr const char* SUndefined = "<undefined>";
inline constexpr const char* SUnknownFunction = "Unknown function \"%s\"";
inline constexpr const char* SFunctionParameters = "Error in function parameters \"%s\": \"%s\"";
inline constexpr const char* SCannotCreateFunction = "Cannot create function \"%s\"";
inline constexpr const char* SUnknownAttributeValue = "Unknown attribute value \"%s\": \"%s\"";
inline constexpr const char* SWoxManyGroups =
    "Input file contains more than one group of functions. Mivo will use only the first one.\r";
inline constexpr const char* SDataReadError = "Data read error: [Attribute %d, Option %d] Value \"%s\"";
inline constexpr const char* SImportFunction = "Import function: imported rules: %d; changed values: %d";
inline constexpr const char* SPasteFunction = "Paste function: imported rules: %d; changed values: %d";
inline constexpr const char* SPathSeparator = "\\";
inline constexpr const char* SValueSeparator = ";";
inline constexpr const char* SLevelPrefix = ". ";
inline constexpr const char* SRules = "Rules:";
inline constexpr const char* SDetermined = "determined:";
inline constexpr const char* SRoot = "Root";

}  // namespace mivo::MivoStr
