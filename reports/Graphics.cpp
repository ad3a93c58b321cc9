#include "reports/Graphics.h"

#include "model/RunTime.h"

namespace mivo {

TColor ColorToRGB(TColor color) {
    if (color > 0xFFFFFFu) throw ERangeError();
    return color;
}

void GradientFill(TDrawSurface& surface, const TRect& rect, TColor color1, bool vertical, TColor color2) {
    TColor c1 = ColorToRGB(color1);
    TColor c2 = ColorToRGB(color2);
    // In 64 bits the strip count and the colour mix never overflow, however
    // far apart the edges are; every strip lies between them, so its
    // coordinates fit 32 bits again.
    const std::int64_t first = vertical ? rect.Top : rect.Left;
    const std::int64_t last = vertical ? rect.Bottom : rect.Right;
    const std::int64_t n = last - first - 1;
    if (n <= 0) return;
    auto component = [](TColor c, int shift) { return static_cast<std::int64_t>((c >> shift) & 0xFF); };
    for (std::int64_t i = 0; i <= n; ++i) {
        TColor rgb = 0;
        for (int shift : {0, 8, 16}) {
            std::int64_t mix = ((n - i) * component(c1, shift) + i * component(c2, shift)) / n;
            rgb |= static_cast<TColor>(mix) << shift;
        }
        surface.SetBrushColor(rgb);
        const auto from = CheckedCast<std::int32_t>(first + i);
        const auto to = CheckedCast<std::int32_t>(first + i + 1);
        surface.FillRect(vertical ? TRect{rect.Left, from, rect.Right, to} : TRect{from, rect.Top, to, rect.Bottom});
    }
}

std::string TreeGlyph(int style, char32_t ch) {
    static constexpr char32_t Keys[5] = {TreeKeyBlank, TreeKeyVertical, TreeKeyTee, TreeKeyCorner,
                                         TreeKeyHorizontal};
    static const char* const Glyphs[TreeStyleCount][5] = {
        {" ", " ", " ", " ", " "},
        {" ", "\u2502", "\u251C", "\u2514", "\u2500"},
        {" ", "|", "+", "+", "-"},
        {" ", ".", ".", ".", " "},
        {".", ".", ".", ".", " "},
        {"|", "|", "|", "|", " "},
    };
    if (style < 0 || style >= TreeStyleCount) throw ERangeError();
    for (int k = 0; k < 5; ++k)
        if (Keys[k] == ch) return Glyphs[style][k];
    return " ";
}

}  // namespace mivo
