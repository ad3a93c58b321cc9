// Value scales: the ordered or unordered lists of qualitative values that
// attributes take.
//
// Values are identified by their 0-based index; in arithmetic (bounds,
// classes) a value stands for the number equal to its index. A value index
// travels in option values and rules as one byte, '0' plus the index, so a
// scale holds at most `MaxScaleValues` (208) values.
//
// Bad/good classes: the two bounds BGLow <= BGHigh split the values. On an
// ascending scale a value at or below BGLow (the bad bound) is bad and one
// at or above BGHigh (the good bound) is good; on a descending scale the
// roles of the bounds are swapped; an unordered scale has no classes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "model/MivoObject.h"

namespace mivo {

// Most values a scale can hold: indices 0..207 travel as '0'..'\xFF'.
inline constexpr int MaxScaleValues = 208;

// The byte that carries value index `index` (0..207); ERangeError outside.
char ValueChar(int index);
// The value index a byte carries ('0' -> 0); negative for bytes below '0'.
inline int CharValue(char code) { return static_cast<int>(static_cast<unsigned char>(code)) - '0'; }

// Scale order.
inline constexpr std::uint8_t soUnordered = 0;
inline constexpr std::uint8_t soAscending = 1;   // from bad to good (default)
inline constexpr std::uint8_t soDescending = 2;  // from good to bad

// The bounds of a scale without classes.
inline constexpr double MinBound = -1.7e308;
inline constexpr double MaxBound = 1.7e308;

// ---------------------------------------------------------------------------

// One value of a discrete scale: a name and a description.
class TMivoScaleValue : public TMivoObject {
public:
    TMivoScaleValue() = default;
    TMivoScaleValue(const std::string& name, const std::string& description);
};

std::unique_ptr<TMivoScaleValue> CreateScaleValue(const std::string& name, const std::string& description);

// ---------------------------------------------------------------------------

// What every scale has: order, unit, bad/good bounds, interval flag.
class TMivoScale : public TMivoObject {
public:
    std::uint8_t Order = soAscending;  // soUnordered, soAscending, soDescending
    std::string Unit;                  // shown as "[unit]" after the name
    double BGLow = MinBound;           // lower bad/good bound
    double BGHigh = MaxBound;          // upper bad/good bound
    bool Interval = true;              // treated as an interval scale in printouts

    // Number of values.
    virtual int Count() const = 0;

    bool IsOrdered() const { return Order != soUnordered; }
    bool IsDescending() const { return Order == soDescending; }

    virtual int LowInt() const;       // 0
    virtual int HighInt() const;      // Count - 1
    virtual double LowFloat() const;  // LowInt - 0.5 + Eps
    virtual double HighFloat() const; // HighInt + 0.5 - Eps

    // Ascending: BGLow; descending: BGHigh; unordered: LowInt - Eps.
    virtual double GetBadBound() const;
    // Sets the bad bound, pulling the other bound along to keep BGLow <= BGHigh.
    virtual void SetBadBound(double bound);
    // Ascending: BGHigh; descending: BGLow; unordered: HighInt + Eps.
    virtual double GetGoodBound() const;
    virtual void SetGoodBound(double bound);

    // Comparisons of a value with a bound in the scale's direction; all
    // false on an unordered scale.
    bool IsBetter(double x, double bound) const;
    bool IsWorse(double x, double bound) const;
    bool IsBetterOrEqual(double x, double bound) const;
    bool IsWorseOrEqual(double x, double bound) const;
    bool IsBad(double x) const { return IsWorseOrEqual(x, GetBadBound()); }
    bool IsGood(double x) const { return IsBetterOrEqual(x, GetGoodBound()); }

    // Name, "+" (ascending) or "-" (descending), then "[unit]" when there is one.
    virtual std::string ScaleString() const;
    // Same order and count and exactly equal LowFloat and HighFloat.
    virtual bool EqualStructure(const TMivoScale* other) const;
    // EqualStructure, same unit, SameValue bounds.
    virtual bool Equal(const TMivoScale* other) const;
    // Copies order, unit, bounds and interval flag (not name, description).
    virtual void Assign(const TMivoScale* other);
};

// ---------------------------------------------------------------------------

// The scale of named values.
class TMivoDiscreteScale : public TMivoScale {
public:
    TMivoDiscreteScale() = default;

    int Count() const override { return values_.Count(); }

    // The values (owned by the scale). Index errors: "List index out of
    // bounds (%d)".
    const TMivoScaleValueList& Values() const { return values_; }
    TMivoScaleValue* Value(int i) const;
    std::string ValueName(int i) const;
    std::string ValueDescription(int i) const;
    void SetValueName(int i, const std::string& name);
    void SetValueDescription(int i, const std::string& description);

    // Appends a value, then ValueInserted(Count - 1). A scale that already
    // has MaxScaleValues values raises EMivoError.
    void AddValue(const std::string& name, const std::string& description = "");
    // i == Count: AddValue; else inserts at i, then ValueInserted(i).
    void InsertValue(int i, const std::string& name, const std::string& description = "");
    // Deletes and destroys value i, then ValueDeleted(i).
    void DeleteValue(int i);
    // Move value i to i-1 / i+1; the bounds stay with the positions.
    void MoveValueUp(int i);
    void MoveValueDown(int i);

    // Ordered with more than one value: BGLow 0.5, BGHigh Count - 1.5;
    // otherwise the bounds of no classes.
    void DefaultBounds();
    // Bound shifts after inserting / deleting value i.
    void ValueInserted(int i);
    void ValueDeleted(int i);

    // TMivoScale::ScaleString, a blank when that is not empty, then the value
    // names joined by ";", each followed by "(-)" when bad, else "(+)" when good.
    std::string ScaleString() const override;
    // TMivoScale::Equal and equal value names and descriptions.
    bool Equal(const TMivoScale* other) const override;
    // TMivoScale::Assign; from a discrete scale also appends a copy of each
    // of its values (bounds as copied). Assigning a scale to itself does nothing.
    void Assign(const TMivoScale* other) override;

private:
    void CheckRoom() const;

    TMivoScaleValueList values_{true};
};

}  // namespace mivo
