// Text measurement with the real fonts, through Qt.
//
// A font is looked up by name (font substitution picks a metric-compatible
// face where the named one is missing, such as Liberation Sans for Arial)
// at the font's pixel height, so the measures are in the device units the
// font was set up for: 300 dots per inch for a page laid out without a
// printer, the printer's resolution with one.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/FontSource.h"

class QFont;
class QFontMetrics;
class QString;

namespace mivo {

// The Qt font of a canvas font: its family, its em height in pixels, its
// styles; hinting off, so that measures scale with the height.
QFont ToQFont(const TCanvasFont& font);

// UTF-8 text as Qt text (invalid bytes become replacement characters).
QString ToQString(std::string_view text);
// Qt text as UTF-8.
std::string FromQString(const QString& text);

class TQtFontSource : public TFontSource {
public:
    TQtFontSource();
    ~TQtFontSource() override;

    std::int32_t TextWidth(const TCanvasFont& font, std::string_view text) override;
    std::int32_t TextHeight(const TCanvasFont& font, std::string_view text) override;
    // Distance from the top of the cell to the baseline.
    std::int32_t Ascent(const TCanvasFont& font);

private:
    const QFontMetrics& Metrics(const TCanvasFont& font);

    std::optional<TCanvasFont> cached_font_;
    std::unique_ptr<QFontMetrics> cached_metrics_;
};

}  // namespace mivo
