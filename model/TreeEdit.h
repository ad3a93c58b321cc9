// Checks and fixes that structural edits of the attribute tree need before
// they change anything: the depth a model file can hold, the size of a new
// decision table, and the option values of a subtree taken from another
// model.
#pragma once

#include <cstdint>

#include "model/Xml.h"

namespace mivo {

class TMivoAttribute;

// --- depth -----------------------------------------------------------------

// The deepest attribute level (a top attribute is level 1) that every copy
// of a model reads back: the model file, the undo snapshots and the subtree
// text of the whole tree. The model file nests a level-L attribute's
// element at depth L + 1 below the root "Mivo", and an attribute element
// holds three more levels (SCALE, SCALEVALUE, NAME); the subtree text of the
// whole tree puts the invisible root one level deeper still. The XML reader
// accepts XmlMaxDepth levels. The tree editor and the Wox and Pelk imports
// refuse deeper trees, all with STreeTooDeep.
inline constexpr int MaxAttributeLevel = XmlMaxDepth - 5;

inline constexpr const char* STreeTooDeep =
    "This would make the attribute tree %d levels deep. A model file can hold at most %d levels, so the "
    "change is not made.";

// Levels of the subtree: 1 for a basic attribute, 1 + the deepest input's
// height for an aggregate. One walk without recursion.
int SubtreeHeight(const TMivoAttribute& attribute);

// The level the deepest attribute of `subtree` would have as an input of
// `parent` (the invisible root is level 0).
int LevelAsInput(const TMivoAttribute& parent, const TMivoAttribute& subtree);

// Whether `subtree` may become an input of `parent` without passing
// MaxAttributeLevel.
bool FitsDepth(const TMivoAttribute& parent, const TMivoAttribute& subtree);

// --- size of a new decision table ---------------------------------------------

// Up to LargeTableRules rules a new table is made silently, up to
// MaxNewTableRules after a warning, beyond that not at all.
inline constexpr std::int64_t LargeTableRules = 200;
inline constexpr std::int64_t MaxNewTableRules = 1000;

enum class TTableSize : std::uint8_t { Accepted, Large, TooLarge };
TTableSize CheckTableSize(std::int64_t rules);

// The warning (Yes/No) and the refusal, with the rule count and the name of
// the attribute whose table it is.
inline constexpr const char* SLargeTable =
    "You are about to create a table consisting of %d rules, which is a lot. You are advised to rearrange the "
    "subtree \"%s\": reduce the number of immediate descendants and/or their scale sizes.\r\rDo you still want "
    "to create this large table?";
inline constexpr const char* STooLargeTable =
    "The newly created table would consist of %d rules, which is too much. Please rearrange the subtree \"%s\": "
    "reduce the number of immediate descendants and/or their scale sizes.";

// --- subtrees from elsewhere ------------------------------------------------------

// Cuts every value list in the subtree to `options` values: a subtree
// copied from a model with more options must not bring values that later
// options would inherit.
void CutValuesToOptions(TMivoAttribute& subtree, int options);

}  // namespace mivo
