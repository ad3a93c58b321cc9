// The small value types of the report engine: size measures with a unit
// kind, points and rectangles in device units, the placement and alignment
// record shared by report elements and layout boxes, the parameter handed
// to owner-drawn elements, and the character-position substring used by
// text boxes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mivo {

// --- measures ------------------------------------------------------------

// Unit kinds of a measure. Each formatter converts a measure to its device
// units (TFormatter::MeasureToDevice); the printer's conversions define the
// meaning of the kinds.
enum TMeasureKind : std::uint8_t {
    mkDevice = 0,       // device units, the value itself
    mkNatural = 1,      // the natural (content) size times the value
    mkLines = 2,        // the value times the current line height ("Wg")
    mkMillimetres = 3,
    mkInches = 4,
    mkDeviceUnits = 5,  // as mkDevice
    mkPoints = 6,       // 72.27 to the inch
    mkDigits = 7,       // widths of "9" in the current font
    mkEms = 8,          // widths of "M" in the current font
};

// A size measure: an amount and its unit kind.
struct TMeasure {
    float Value = 0.0f;
    std::uint8_t Kind = mkDevice;

    bool operator==(const TMeasure&) const = default;
};

constexpr TMeasure MakeMeasure(std::uint8_t kind, float value) { return TMeasure{value, kind}; }

// The natural size: default width of every element and size of every group.
inline constexpr TMeasure NaturalSize = {1.0f, mkNatural};
// One line: default height of every element that is not a group.
inline constexpr TMeasure OneLine = {1.0f, mkLines};
// One device unit: default rule thickness of a liner.
inline constexpr TMeasure OneDeviceUnit = {1.0f, mkDevice};

// Width and height measures.
struct TMeasurePair {
    TMeasure Width;
    TMeasure Height;

    bool operator==(const TMeasurePair&) const = default;
};

constexpr TMeasurePair MakeMeasurePair(TMeasure width, TMeasure height) { return {width, height}; }

// --- points, sizes, rectangles -------------------------------------------

// Axis numbers: 0 horizontal (x, width), 1 vertical (y, height).
inline constexpr int HorzAxis = 0;
inline constexpr int VertAxis = 1;

constexpr int OtherAxis(int axis) { return 1 - axis; }

// A point or a size in device units: x (width) and y (height).
struct TPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;

    std::int32_t& operator[](int axis) { return axis == HorzAxis ? X : Y; }
    std::int32_t operator[](int axis) const { return axis == HorzAxis ? X : Y; }
    bool operator==(const TPoint&) const = default;
};

constexpr TPoint MakePoint(std::int32_t x, std::int32_t y) { return TPoint{x, y}; }

// Component-wise sum; raises "Integer overflow" instead of wrapping.
TPoint AddPoints(TPoint a, TPoint b);

// A rectangle in device units. Inside the engine it is inclusive: a box at
// Left with width w has Right = Left + w - 1.
struct TRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;

    bool operator==(const TRect&) const = default;
};

// Nearest integer, exact halves to the even neighbour; raises
// "Range check error" when the result leaves the 32-bit range (or the value
// is not a number).
std::int32_t RoundToInt32(double value);

// --- placement and alignment ---------------------------------------------

// Placement of a box in its parent group, per axis.
enum TPlacement : std::uint8_t { plStretch = 0, plStart = 1, plCentre = 2, plEnd = 3 };
// Alignment of the content (natural size) inside a box, per axis.
enum TAlignment : std::uint8_t { alStart = 0, alCentre = 1, alEnd = 2 };

// Placement and alignment, the common base of report elements and layout
// boxes. A layout box copies all four fields from its element.
class TAligned {
public:
    std::uint8_t HorzPlacement = plStart;
    std::uint8_t VertPlacement = plStart;
    std::uint8_t HorzAlign = alStart;
    std::uint8_t VertAlign = alStart;

    std::uint8_t GetHorzPlacement() const { return HorzPlacement; }
    void SetHorzPlacement(std::uint8_t value) { HorzPlacement = value; }
    std::uint8_t GetVertPlacement() const { return VertPlacement; }
    void SetVertPlacement(std::uint8_t value) { VertPlacement = value; }
    std::uint8_t GetHorzAlign() const { return HorzAlign; }
    void SetHorzAlign(std::uint8_t value) { HorzAlign = value; }
    std::uint8_t GetVertAlign() const { return VertAlign; }
    void SetVertAlign(std::uint8_t value) { VertAlign = value; }

    // By axis number.
    std::uint8_t Placement(int axis) const { return axis == HorzAxis ? HorzPlacement : VertPlacement; }
    std::uint8_t Alignment(int axis) const { return axis == HorzAxis ? HorzAlign : VertAlign; }

    // Copies all four fields.
    void AssignAligned(const TAligned& other) { *this = other; }
};

// --- owner-drawn parameter -----------------------------------------------

// The user parameter that an owner-drawn element owns and hands to its
// drawing callback.
class TParam {
public:
    explicit TParam(std::int32_t value = 0) : Value(value) {}
    virtual ~TParam() = default;

    virtual void Assign(const TParam& other) { Value = other.Value; }

    std::int32_t Value;
};

// --- text helpers --------------------------------------------------------

// A part of a text by 1-based character position: count 0 gives the empty
// text; count > 0 the count characters from `from` (clipped at the end);
// count < 0 the text from `from` to its end when from > 1, else the whole
// text.
std::string CopyTail(std::string_view text, std::int32_t from, std::int32_t count);

}  // namespace mivo
