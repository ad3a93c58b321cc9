// Compact rules: a decision table shown as boxes of rules per output value.
//
// A box over n inputs is a pair of input strings lo and hi (n value bytes
// each, as in rule strings) with lo(k) <= hi(k); a rule lies inside it when
// lo(k) <= its byte for input k <= hi(k) for every input. A box holds for
// value v when every rule inside it, entered or not, has low <= v <= high.
// A box that holds is maximal when none of its one-step extensions (one
// hi(k) raised by one within input k's scale, or one lo(k) lowered by one
// down to the first value) holds.
//
// For value v the compact rules are maximal boxes that together cover every
// rule allowing v (with EnteredOnly, every entered rule allowing v; rules
// not entered then need no cover but still bound the boxes). Each entry is
// the 2n bytes lo followed by hi.
//
// The search: the rules to cover (seeds, kept sorted in the string lists'
// default text order) are taken one by one; from the first one left a
// depth-first search grows boxes, raising hi of input 0, 1, ..., n-1, then
// lowering lo of input 0, 1, ..., n-1, and lists each maximal box it reaches
// (once); then every seed inside a listed box is dropped. The list is in the
// order in which the search first reaches its boxes. Boxes already explored
// are remembered and never explored again, which keeps the search
// polynomial in the number of boxes and leaves the list as it is.
#pragma once

#include <string>
#include <vector>

namespace mivo {

class TMivoFunction;
class TMivoSettings;

// The compact rules of value v (see above); empty when the function has no
// attribute, the attribute cannot have a table, or no rule allows v.
std::vector<std::string> CompactRules(const TMivoFunction& funct, int v, const TMivoSettings& settings);

}  // namespace mivo
