// Text measurement without a drawing surface.
//
// A recording canvas measures its text through a font source, so that the
// layout of a page agrees with what replaying it draws. The Qt part offers a
// source over the real fonts (platform/QtFontSource.h); the fixed-metrics
// source below needs no fonts at all and gives simple, predictable numbers
// (tests, and layout where no font system exists).
//
// Fonts carry their height in device pixels (TCanvasFont), so a source
// measures at whatever resolution the font was set up for.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Canvas.h"

namespace mivo {

class TFontSource {
public:
    virtual ~TFontSource() = default;
    // Width of the text (UTF-8) in the font, in device pixels.
    virtual std::int32_t TextWidth(const TCanvasFont& font, std::string_view text) = 0;
    // The font's cell height (ascent plus descent), whatever the text.
    virtual std::int32_t TextHeight(const TCanvasFont& font, std::string_view text) = 0;
};

// Fixed metrics: with e the font's em height in pixels, every character
// (code point; an invalid byte counts as one) is (e + 1) div 2 wide and the
// cell is e + e div 4 high. Name and style do not matter.
class TFixedFontSource : public TFontSource {
public:
    std::int32_t TextWidth(const TCanvasFont& font, std::string_view text) override;
    std::int32_t TextHeight(const TCanvasFont& font, std::string_view text) override;

    static std::int32_t CharWidth(const TCanvasFont& font);
    static std::int32_t CellHeight(const TCanvasFont& font);
};

}  // namespace mivo
