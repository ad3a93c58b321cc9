// The drawing surface of the platform layer.
//
// A canvas draws in device units (pixels of a window or a bitmap, dots of a
// printer page, units of a page metafile). It carries a current font, pen
// and brush, which every drawing operation uses as they stand at the time
// of the call; a pen position for MoveTo/LineTo; and text measurement in the
// current font.
//
// Conventions, as drawing surfaces take them:
//  - Rectangles are right- and bottom-exclusive: {0, 0, 10, 5} covers the
//    pixels 0..9 by 0..4.
//  - Text is placed by the top-left corner of its cell.
//  - Rectangle, RoundRect, Ellipse and Polygon outline with the pen and fill
//    with the brush; a clear pen draws no outline, a clear brush no fill.
//    FillRect fills with the brush and draws no outline.
//  - Text is drawn in the font's colour; with a solid brush its cell is
//    first filled with the brush colour, with a clear brush the text has no
//    background.
//  - Colours are RGB values with red in the low byte.
//
// Implementations: the recording canvas of a page metafile
// (platform/MetafileCanvas.h), the Enhanced Metafile writer
// (platform/EmfWriter.h) and, in the Qt part, a canvas over QPainter
// (platform/QtCanvas.h) for windows, printers and bitmaps.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "model/MivoSettings.h"
#include "model/RunTime.h"

namespace mivo {

class TPageMetafile;

// Drawing on a canvas that cannot draw at this moment (a canvas that only
// measures, a printer outside a document).
class ECanvasError : public Exception {
public:
    using Exception::Exception;
};

// A point in device units.
struct TCanvasPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;

    bool operator==(const TCanvasPoint&) const = default;
};

// A rectangle in device units, right and bottom exclusive.
struct TCanvasRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;

    std::int64_t Width() const { return std::int64_t{Right} - Left; }
    std::int64_t Height() const { return std::int64_t{Bottom} - Top; }
    bool operator==(const TCanvasRect&) const = default;
};

// A font. The height is held in device pixels as drawing surfaces hold it:
// negative for the character (em) height, positive for the cell height. The
// size in points is derived from the height and the pixels per inch; setting
// the size computes the height at the pixels per inch in force, while
// changing the pixels per inch alone leaves the height as it is.
struct TCanvasFont {
    // Style bits: bold, italic and underline as in model/MivoSettings.h,
    // plus strike-out.
    static constexpr TFontStyles StrikeOut = 8;

    std::string Name = "Arial";
    std::int32_t Height = -13;
    std::int32_t PixelsPerInch = 96;
    TFontStyles Style = 0;
    TColor Color = 0x000000;

    // Size in points: -Height * 72 / PixelsPerInch, rounded.
    std::int32_t Size() const;
    // Height := -(points * PixelsPerInch / 72), rounded.
    void SetSize(std::int32_t points);
    // The em height in pixels (the magnitude of Height).
    std::int32_t PixelHeight() const;

    bool operator==(const TCanvasFont&) const = default;
};

// Pen styles; the numbers are those the Enhanced Metafile format uses.
enum class TCanvasPenStyle : std::uint8_t { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4, Clear = 5 };

// A pen: colour, width in device units (0 and 1 both draw one pixel), style.
struct TCanvasPen {
    TColor Color = 0x000000;
    std::int32_t Width = 1;
    TCanvasPenStyle Style = TCanvasPenStyle::Solid;

    bool operator==(const TCanvasPen&) const = default;
};

enum class TCanvasBrushStyle : std::uint8_t { Solid = 0, Clear = 1 };

// A brush: fill colour and style.
struct TCanvasBrush {
    TColor Color = 0xFFFFFF;
    TCanvasBrushStyle Style = TCanvasBrushStyle::Solid;

    bool operator==(const TCanvasBrush&) const = default;
};

// A colour from its red, green and blue components.
constexpr TColor CanvasRgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return TColor{red} | (TColor{green} << 8) | (TColor{blue} << 16);
}

// The drawing surface.
class TCanvas {
public:
    TCanvas() = default;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    virtual ~TCanvas() = default;

    // Current drawing state; operations use it as it stands when called.
    TCanvasFont& Font() { return font_; }
    const TCanvasFont& Font() const { return font_; }
    TCanvasPen& Pen() { return pen_; }
    const TCanvasPen& Pen() const { return pen_; }
    TCanvasBrush& Brush() { return brush_; }
    const TCanvasBrush& Brush() const { return brush_; }

    // Size of the text in the current font, in device units. The height is
    // the font's cell height (ascent plus descent) whatever the text.
    virtual std::int32_t TextWidth(std::string_view text) = 0;
    virtual std::int32_t TextHeight(std::string_view text) = 0;

    // Text (UTF-8) with the top-left corner of its cell at (x, y).
    virtual void TextOut(std::int32_t x, std::int32_t y, std::string_view text) = 0;
    // The same, with nothing drawn outside clip.
    virtual void TextRect(const TCanvasRect& clip, std::int32_t x, std::int32_t y, std::string_view text) = 0;

    // Lines: MoveTo sets the pen position, LineTo draws from it with the
    // pen and moves it to the end point.
    void MoveTo(std::int32_t x, std::int32_t y) { pen_pos_ = {x, y}; }
    void LineTo(std::int32_t x, std::int32_t y);
    TCanvasPoint PenPos() const { return pen_pos_; }

    virtual void Rectangle(const TCanvasRect& rect) = 0;
    // A rectangle with rounded corners; the corner ellipse is
    // cornerWidth x cornerHeight.
    virtual void RoundRect(const TCanvasRect& rect, std::int32_t cornerWidth, std::int32_t cornerHeight) = 0;
    virtual void Ellipse(const TCanvasRect& rect) = 0;
    // A closed polygon; fewer than two points draw nothing.
    virtual void Polygon(std::span<const TCanvasPoint> points) = 0;
    virtual void FillRect(const TCanvasRect& rect) = 0;

    // Draws the page metafile scaled to fill dest. The canvas's own font,
    // pen, brush and pen position are the same afterwards. The default
    // replays the records with every coordinate and size mapped into dest;
    // canvases with a transform of their own do better.
    virtual void StretchDraw(const TCanvasRect& dest, const TPageMetafile& metafile);

protected:
    // One line from `from` to `to` with the current pen.
    virtual void DrawLine(TCanvasPoint from, TCanvasPoint to) = 0;

private:
    TCanvasFont font_;
    TCanvasPen pen_;
    TCanvasBrush brush_;
    TCanvasPoint pen_pos_;
};

// Saves the font, pen, brush and pen position of a canvas and puts them
// back when it goes out of scope.
class TCanvasStateSaver {
public:
    explicit TCanvasStateSaver(TCanvas& canvas);
    ~TCanvasStateSaver();
    TCanvasStateSaver(const TCanvasStateSaver&) = delete;
    TCanvasStateSaver& operator=(const TCanvasStateSaver&) = delete;

private:
    TCanvas& canvas_;
    TCanvasFont font_;
    TCanvasPen pen_;
    TCanvasBrush brush_;
    TCanvasPoint pen_pos_;
};

}  // namespace mivo
