// Editing an attribute's value scale with everything that names its values
// kept in step: the attribute's option values, its own decision table (the
// results) and its parent's decision table (the attribute's input codes).
//
// `TScaleEdit` is the working state of the scale editor. It owns a copy of
// the attribute's scale, copies of both tables and a copy of the option
// values; every edit changes those copies only, and the model is untouched
// until `Apply` hands them over. Dropping an edit without `Apply` leaves the
// model exactly as it was.
//
// What the edits do to the values that name a scale value:
//   insert v     every index >= v moves up; the parent table gets one new,
//                not-entered rule per combination of the other inputs
//   delete v     the index v goes (a value set left empty becomes undefined,
//                a result interval of v alone is cleared for derivation),
//                every index above it moves down
//   move         the two values change places and every option value,
//                result and input code follows its value; a result
//                interval that is no longer contiguous becomes the smallest
//                interval holding its values; the bad/good classes stay
//                with the positions
//
// The helpers below serve the editor and the Model page alike: value-name
// checks, the bad/good class rules, and the clipping of option values to
// a smaller scale.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "model/MivoScale.h"
#include "model/ValueStrings.h"

namespace mivo {

class TMivoAttribute;
class TMivoFunction;

// The name of a value the editor adds.
inline constexpr const char* SNewValue = "new value";

// Why a value name is refused (the names must read back in option data and
// rule text, which name values by name and separate them with ";").
inline constexpr const char* SValueNameEmpty = "A value needs a name.";
inline constexpr const char* SValueNameAny = "\"*\" stands for any value and cannot name a value.";
inline constexpr const char* SValueNameSemicolon = "A value name cannot hold \";\": \"%s\".";
inline constexpr const char* SValueNameTaken = "The scale already has a value named \"%s\".";
inline constexpr const char* SValueNamesRepeated =
    "Two values are named \"%s\". Please give every value a name of its own.";

// --- names -------------------------------------------------------------------

// The text with every TAB, CR and LF turned into a blank: attribute and value
// names travel in tab-separated option data and rule text, one per line.
std::string BlankBreaks(std::string text);

// The message that refuses `name` for value `index` of the scale, or "" when
// it may name that value: not empty (nor blanks only), not "*", without
// ";", and no other value of the scale named exactly so.
std::string ValueNameProblem(const TMivoDiscreteScale& scale, int index, const std::string& name);

// The first name that two values of the scale share, if any.
std::optional<std::string> RepeatedValueName(const TMivoDiscreteScale& scale);

// --- bad and good classes ------------------------------------------------------

// The bad bound at value k, so k and the values on its worse side are bad.
// k itself ends up bad only: when it would also be good, the good bound
// moves to the next half step on k's better side.
void MarkBad(TMivoScale& scale, int k);
// The good bound at value k; likewise k ends up good only.
void MarkGood(TMivoScale& scale, int k);
// Value k neutral: the bad bound moves to k's worse half step and the good
// bound to its better half step where they reach k; the other values keep
// their classes.
void MarkNeutral(TMivoScale& scale, int k);

// --- option values ---------------------------------------------------------------

// Every value string with the members a and b exchanged (members kept in
// ascending order; "*" and "" untouched).
TValueStrings ExchangeValueMembers(const TValueStrings& values, int a, int b);

// The option values of an attribute whose scale shrank to `count` values:
// members at or above `count` are dropped; a set left without members
// becomes undefined. "*" stays.
TValueStrings ClipValueMembers(const TValueStrings& values, int count);
void ClipValues(TMivoAttribute& attribute, int count);

// --- decision tables ---------------------------------------------------------------

// Values a and b of the function attribute's own scale changed places: every
// result interval is mapped through the exchange; one no longer contiguous
// becomes the smallest interval holding its mapped values. Flags stay.
void ExchangeFunctValues(TMivoFunction& funct, int a, int b);

// Values a and b of the scale of the input at 0-based `position` changed
// places: the input codes a and b are exchanged in every rule and the rules
// sorted back into canonical order; results and flags travel with them.
void ExchangeArgValues(TMivoFunction& funct, int position, int a, int b);

// ---------------------------------------------------------------------------------

class TScaleEdit {
public:
    // Starts an edit of the attribute's scale (not owned; it must outlive
    // the edit): the working scale is a copy of the attribute's scale, or a
    // scale of one value named SNewValue when it has none; the tables of the
    // attribute and of its parent, when they exist, and the option values
    // are copied.
    explicit TScaleEdit(TMivoAttribute& attribute);
    ~TScaleEdit();
    TScaleEdit(const TScaleEdit&) = delete;
    TScaleEdit& operator=(const TScaleEdit&) = delete;

    TMivoAttribute& Attribute() const { return attribute_; }
    // The scale the attribute had when the edit started (nullptr for none).
    const TMivoScale* SourceScale() const { return source_; }

    // The working copies. The tables name the model's attributes (the
    // attribute and its parent) as theirs.
    const TMivoDiscreteScale& Scale() const { return *scale_; }
    int Count() const { return scale_->Count(); }
    const TMivoFunction* OwnTable() const { return own_.get(); }
    const TMivoFunction* ParentTable() const { return parent_.get(); }
    const TValueStrings& Values() const { return values_; }

    // The scale has room for one more value (fewer than MaxScaleValues).
    bool CanAdd() const { return Count() < MaxScaleValues; }
    // Rules the parent table would have after one more value; 0 without a
    // parent table.
    std::int64_t ParentRulesAfterAdd() const;

    // The edits; indices outside the scale raise the list index error.
    // Inserts value i (0..Count) named so; EMivoError when the scale is full.
    void InsertValue(int i, const std::string& name = SNewValue, const std::string& description = "");
    // Deletes value k.
    void DeleteValue(int k);
    // Exchanges value k with k-1 / k+1.
    void MoveValueUp(int k);
    void MoveValueDown(int k);
    // Renames value k: TAB, CR and LF become blanks, and a name that
    // ValueNameProblem refuses raises EMivoError with its message (the old
    // name stays).
    void SetValueName(int k, const std::string& name);
    void SetValueDescription(int k, const std::string& description);
    // A new order resets the classes (DefaultBounds); the same order
    // changes nothing.
    void SetOrder(std::uint8_t order);
    void SetInterval(bool interval);
    void MarkBad(int k);
    void MarkGood(int k);
    void MarkNeutral(int k);

    // Hands the edit over: both table copies are updated once for the new
    // scale, then the attribute takes the working scale, its table copy and
    // its option values, and the parent takes its table copy. Returns the
    // attribute's new scale. The edit holds nothing afterwards; any further
    // call raises EMivoError.
    TMivoDiscreteScale* Apply();

private:
    class TScope;
    void CheckOpen() const;
    void ExchangeValues(int a, int b);

    TMivoAttribute& attribute_;
    const TMivoScale* source_;
    std::unique_ptr<TMivoDiscreteScale> scale_;
    std::unique_ptr<TMivoFunction> own_;
    std::unique_ptr<TMivoFunction> parent_;
    int position_ = -1;  // the attribute's place among its parent's inputs
    TValueStrings values_;
};

}  // namespace mivo
