// Page metafiles: a recorded list of canvas operations with the page's size
// in device units and its resolution.
//
// A report page is recorded once, at the resolution it was laid out for
// (the printer's, or 300 dots per inch without a printer), through a
// TMetafileCanvas (platform/MetafileCanvas.h). It can then be replayed onto
// any canvas, unscaled or stretched into a rectangle, saved as an Enhanced
// Metafile file (platform/EmfWriter.h) or rendered into a bitmap (Qt part).
//
// The records hold state changes (font, pen, brush) only where the state
// differs from the last one recorded, followed by the drawing operations
// that use it; replay applies them in order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/Canvas.h"

namespace mivo {

// --- records -------------------------------------------------------------

struct TMetaSetFont {
    TCanvasFont Font;
    bool operator==(const TMetaSetFont&) const = default;
};
struct TMetaSetPen {
    TCanvasPen Pen;
    bool operator==(const TMetaSetPen&) const = default;
};
struct TMetaSetBrush {
    TCanvasBrush Brush;
    bool operator==(const TMetaSetBrush&) const = default;
};
// Text with its cell's top-left corner at At; when Clipped, nothing of it
// outside Clip.
struct TMetaText {
    TCanvasPoint At;
    std::string Text;
    bool Clipped = false;
    TCanvasRect Clip;
    bool operator==(const TMetaText&) const = default;
};
struct TMetaLine {
    TCanvasPoint From;
    TCanvasPoint To;
    bool operator==(const TMetaLine&) const = default;
};
struct TMetaRectangle {
    TCanvasRect Rect;
    bool operator==(const TMetaRectangle&) const = default;
};
struct TMetaRoundRect {
    TCanvasRect Rect;
    std::int32_t CornerWidth = 0;
    std::int32_t CornerHeight = 0;
    bool operator==(const TMetaRoundRect&) const = default;
};
struct TMetaEllipse {
    TCanvasRect Rect;
    bool operator==(const TMetaEllipse&) const = default;
};
struct TMetaPolygon {
    std::vector<TCanvasPoint> Points;
    bool operator==(const TMetaPolygon&) const = default;
};
struct TMetaFillRect {
    TCanvasRect Rect;
    bool operator==(const TMetaFillRect&) const = default;
};
// Another page metafile stretched into Dest. The picture is shared, never
// changed after it was recorded.
struct TMetaPicture {
    TCanvasRect Dest;
    std::shared_ptr<const TPageMetafile> Picture;
    bool operator==(const TMetaPicture& other) const { return Dest == other.Dest && Picture == other.Picture; }
};

using TMetaRecord = std::variant<TMetaSetFont, TMetaSetPen, TMetaSetBrush, TMetaText, TMetaLine, TMetaRectangle,
                                 TMetaRoundRect, TMetaEllipse, TMetaPolygon, TMetaFillRect, TMetaPicture>;

// --- the metafile --------------------------------------------------------

class TPageMetafile {
public:
    // A metafile of width x height device units at `resolution` dots per
    // inch. Negative sizes are taken as 0; a resolution below 1 raises
    // "Range check error".
    TPageMetafile(std::int32_t width, std::int32_t height, std::int32_t resolution = 300);

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::int32_t Resolution() const { return resolution_; }

    // The records in order. They are kept compactly (the texts' characters
    // in one pool, each font once), so this builds them anew: take them
    // once rather than inside a loop.
    std::vector<TMetaRecord> Records() const;
    std::size_t RecordCount() const { return order_.size(); }
    bool Empty() const { return order_.empty(); }
    void Append(TMetaRecord record);
    void Clear();
    // Gives back the spare room of the storage (a page that is finished).
    void ShrinkToFit();
    // The bytes the records take, the metafile object itself apart.
    std::size_t MemoryUsed() const;

    // Replays the records onto the canvas at their own coordinates. The
    // canvas's font, pen and brush are left as the last records set them.
    void Play(TCanvas& canvas) const;

    // Replays the records onto the canvas with the page (0, 0, Width,
    // Height) mapped onto dest: coordinates, font heights and pen widths are
    // scaled (a pen of 1 unit or more stays at least 1). A metafile without
    // area draws nothing. The canvas's state is the same afterwards.
    void PlayScaled(TCanvas& canvas, const TCanvasRect& dest) const;

private:
    // Calls f with every record in order.
    template <class F>
    void ForEachRecord(F&& f) const;

    // Where a record is kept: the store of its kind and its place there.
    enum TStore : std::uint32_t { stFont, stText, stLine, stOther };
    struct TEntry {
        std::uint32_t Store : 2;
        std::uint32_t Index : 30;
    };
    // A text: its characters in the pool, its clip rectangle among the
    // clips (-1: not clipped).
    struct TText {
        TCanvasPoint At;
        std::uint32_t Start;
        std::uint32_t Length;
        std::int32_t Clip;
    };
    void AppendEntry(TStore store, std::size_t index);
    std::uint32_t FontIndex(const TCanvasFont& font);

    std::int32_t width_;
    std::int32_t height_;
    std::int32_t resolution_;
    std::vector<TEntry> order_;
    std::vector<TCanvasFont> fonts_;  // every font set, once (a font record's place)
    std::vector<TText> texts_;
    std::string characters_;
    std::vector<TCanvasRect> clips_;
    std::vector<TMetaLine> lines_;
    std::vector<TMetaRecord> others_;  // pens, brushes, shapes, pictures: few on a page
};

}  // namespace mivo
