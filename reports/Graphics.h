// Drawing values and helpers of the report engine: fonts and pens as plain
// value types (a report can be built and formatted without any GUI), the
// minimal drawing surface seen by owner-drawn elements and the gradient
// fill, and the glyphs that draw tree-line prefixes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "model/MivoSettings.h"
#include "reports/Measures.h"

namespace mivo {

// Font styles: bold, italic and underline as in the model settings, plus
// strike-out.
inline constexpr TFontStyles fsStrikeOut = 8;

// A font: family name (empty: the surface's default family), size in
// points, style set and colour.
struct TFont {
    std::string Name;
    std::int32_t Size = 10;
    TFontStyles Style = 0;
    TColor Color = 0;

    bool operator==(const TFont&) const = default;
};

// Pen styles as used by the engine: solid lines and the dotted outlines of
// group boxes.
enum TPenStyle : std::uint8_t { psSolid = 0, psDash = 1, psDot = 2 };

// A pen for rules and frames: colour, width in device units, style.
struct TPen {
    TColor Color = 0;
    std::int32_t Width = 1;
    std::uint8_t Style = psSolid;

    bool operator==(const TPen&) const = default;
};

// The drawing surface as the engine sees it. Concrete surfaces (printer
// pages, page records) extend it; owner-drawn callbacks receive the surface
// of the formatter that draws them. Rectangles handed to FillRect are
// right- and bottom-exclusive, as drawing surfaces take them.
class TDrawSurface {
public:
    virtual ~TDrawSurface() = default;
    virtual void SetBrushColor(TColor color) = 0;
    virtual void FillRect(const TRect& rect) = 0;
};

// The drawing callback of an owner-drawn element: the surface, the
// rectangle of the element's content and the element's parameter (may be
// null).
class TParam;
using TDrawCallback = std::function<void(TDrawSurface& surface, const TRect& rect, const TParam* param)>;

// A colour as RGB; colours are plain RGB values (red in the low byte) and
// anything above 0xFFFFFF resolves to no RGB value: "Range check error".
TColor ColorToRGB(TColor color);

// Fills rect with a linear gradient from color1 to color2, top to bottom
// when vertical, else left to right: n + 1 one-unit strips where n is the
// height (width) minus 2; nothing when n <= 0.
void GradientFill(TDrawSurface& surface, const TRect& rect, TColor color1, bool vertical, TColor color2);

// --- tree glyphs ---------------------------------------------------------

// The key characters of a tree-line prefix (an element's tree text).
inline constexpr char32_t TreeKeyBlank = U'-';
inline constexpr char32_t TreeKeyVertical = U'\u2502';    // │
inline constexpr char32_t TreeKeyTee = U'\u251C';         // ├
inline constexpr char32_t TreeKeyCorner = U'\u2514';      // └
inline constexpr char32_t TreeKeyHorizontal = U'\u2500';  // ─

// Glyph styles 0..5: 0 blank, 1 box drawing (the default), 2 "|+-",
// 3 dots, 4 dots with dotted blanks, 5 bars.
inline constexpr int TreeStyleCount = 6;

// The glyph (UTF-8) that draws the key character ch in the style; a space
// for a character that is not a key. A style outside 0..5 raises
// "Range check error".
std::string TreeGlyph(int style, char32_t ch);

}  // namespace mivo
