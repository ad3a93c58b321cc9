// Keeping decision tables and option values in step with scale and input
// edits.
//
// Rule strings and option value strings name scale values by index, and rule
// strings name inputs by position (see model/MivoFunction.h). When a value
// is inserted into or deleted from a scale, or two inputs change places,
// every string that depends on it is rewritten here so that each rule and
// each option value keeps its meaning.
//
// The scale editor calls them on its working copies, always after the
// scale itself has changed, in this order for an insert of value v into the
// scale of attribute A:
//   1. the scale's own InsertValue (v);
//   2. ValuesAfterInsert (A, v);
//   3. InsertFunctValue (A's function, v), when A has one;
//   4. InsertArgValue (the parent's function, A's position among the
//      parent's inputs, v), when the parent has one.
// A delete follows the same order with the delete operations.
//
// Positions and values come from the editors and are valid by construction;
// a position or value outside the table raises ERangeError. A value index
// that would leave the byte range of value codes (above 207) raises
// EIntOverflow. Either error is raised before anything changes.
#pragma once

namespace mivo {

class TMivoAttribute;
class TMivoFunction;

// --- the inputs' scales ----------------------------------------------------

// Value v was inserted into the scale of the input at 0-based `position`.
// Every existing rule keeps its interval and flag and now names the shifted
// value; one new, not-entered rule (whole output scale) is added for every
// combination of the other inputs with v. The rules are then sorted back
// into canonical order and the table is updated (Update (false)), so the
// new rules are derived like any other rule not entered.
void InsertArgValue(TMivoFunction& funct, int position, int v);

// Value v was deleted from the scale of the input at 0-based `position`:
// the rules naming v go, the rules naming a higher value name the value one
// lower; the order stays canonical. Then Update (false).
void DeleteArgValue(TMivoFunction& funct, int position, int v);

// --- the function attribute's own scale --------------------------------------

// Value v was inserted into the function attribute's own scale: each
// interval end with index >= v moves up by one, each end tested by itself,
// so an interval that straddles v grows by it. The table is not updated.
void InsertFunctValue(TMivoFunction& funct, int v);

// Value v was deleted from the own scale: low ends above v and high ends at
// or above v move down by one, so intervals that held v lose it. A rule
// whose interval was v alone has no meaning left: it gets the whole
// (already shortened) scale and becomes not entered, so that the next
// update derives it again. The table is not updated.
void DeleteFunctValue(TMivoFunction& funct, int v);

// --- moving inputs -------------------------------------------------------------

// The inputs at positions p and q, counted from 1, changed places (the
// caller moves the inputs themselves with MoveInputUp / MoveInputDown):
// the input bytes p and q are exchanged in every rule and the rules sorted
// back into canonical order. Results and flags travel with their rules; the
// weights of the two inputs (required, actual and normalised) change places
// with them, so every weight stays with its input. Not updated.
void ExchangeArgs(TMivoFunction& funct, int p, int q);

// --- option values ---------------------------------------------------------------

// Value v was inserted into the attribute's scale: in every option value
// string each byte with code >= '0' + v moves up by one ("*" is untouched).
void ValuesAfterInsert(TMivoAttribute& attribute, int v);

// Value v was deleted from the attribute's scale: in every option value
// string the byte for v is removed and each byte above it moves down by one.
// A value string that named v alone becomes undefined ("").
void ValuesAfterDelete(TMivoAttribute& attribute, int v);

}  // namespace mivo
