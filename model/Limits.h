// The limits that keep memory and stack bounded whatever a file holds, in
// one place. Each reader refuses input beyond a limit with its own error
// (EMivoError, EXmlError) naming the limit, before it allocates for it.
//
// The constants live with the code that enforces them; this header gathers
// them under `mivo::limits` with what each one bounds:
//
//   ScaleValues    values of one scale (208): a value index travels as one
//                  byte '0' + index. Enforced when a scale grows and by the
//                  model file, Wox and Pelk readers.
//   RuleCount      rules of one decision table (1048576): the product of
//                  the input scale sizes, computed without overflow, is
//                  checked before the table is built.
//   XmlDepth       nesting of XML elements (1000, the root is level 1): the
//                  reader refuses deeper documents, so that the model file
//                  and subtree readers, which recurse over the tree, and the
//                  tree's destruction stay within the stack.
//   AttributeLevels  attribute levels of a model (995, top attributes are
//                  level 1): the deepest tree whose model file, undo
//                  snapshots and subtree copies the XML reader takes back.
//                  Enforced by the tree editor and by the Wox and Pelk
//                  imports, all with one message.
//   ValueCells     option values of an evaluated model (2^27): evaluation
//                  gives every attribute a value for every option, so a
//                  small file naming many attributes and many options could
//                  otherwise ask for gigabytes; the model refuses to evaluate
//                  beyond it (CheckValueCells).
//
// Not bounded by a limit of their own (memory grows with the input's size):
// the length of a line, the number of attributes in a model file or import,
// and the number of options in a model file or option-data text.
#pragma once

#include <cstdint>

#include "model/MivoFunction.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "model/TreeEdit.h"
#include "model/Xml.h"

namespace mivo::limits {

inline constexpr int ScaleValues = MaxScaleValues;
inline constexpr std::int64_t RuleCount = MaxRuleCount;
inline constexpr int XmlDepth = XmlMaxDepth;
inline constexpr int AttributeLevels = MaxAttributeLevel;
inline constexpr std::int64_t ValueCells = MaxValueCells;

}  // namespace mivo::limits
