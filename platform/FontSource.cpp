#include "platform/FontSource.h"

#include "model/CodePage.h"
#include "model/RunTime.h"

namespace mivo {

std::int32_t TFixedFontSource::CharWidth(const TCanvasFont& font) { return (font.PixelHeight() + 1) / 2; }

std::int32_t TFixedFontSource::CellHeight(const TCanvasFont& font) {
    std::int32_t em = font.PixelHeight();
    return CheckedAdd(em, em / 4);
}

std::int32_t TFixedFontSource::TextWidth(const TCanvasFont& font, std::string_view text) {
    return CheckedMul(CheckedCast<std::int32_t>(CodePointCount(text)), CharWidth(font));
}

std::int32_t TFixedFontSource::TextHeight(const TCanvasFont& font, std::string_view) { return CellHeight(font); }

}  // namespace mivo
