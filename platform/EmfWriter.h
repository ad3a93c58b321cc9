// Writing page metafiles as Enhanced Metafile (.emf) files.
//
// The file holds a header (bounds of what is drawn, the page frame in
// hundredths of a millimetre, the page as the reference device at the
// metafile's resolution), then the page's records as the format's own:
// fonts, pens and brushes as logical objects created and selected where
// the page changes them, text as wide-character text out (clipped where the
// page clips it), lines, rectangles, rounded rectangles, ellipses,
// polygons, filled rectangles, and pictures within the page flattened in
// place under a clipping rectangle; an end-of-file record closes it.
// Objects are released before the end, so a reader is left with nothing
// selected that the file created.
#pragma once

#include <cstdint>
#include <string>

#include "platform/FontSource.h"
#include "platform/PageMetafile.h"

namespace mivo {

// Record types the writer uses.
enum TEmfRecordType : std::uint32_t {
    emrHeader = 1,
    emrPolygon = 3,
    emrEof = 14,
    emrSetMapMode = 17,
    emrSetBkMode = 18,
    emrSetTextAlign = 22,
    emrSetTextColor = 24,
    emrSetBkColor = 25,
    emrMoveToEx = 27,
    emrIntersectClipRect = 30,
    emrSaveDC = 33,
    emrRestoreDC = 34,
    emrSelectObject = 37,
    emrCreatePen = 38,
    emrCreateBrushIndirect = 39,
    emrDeleteObject = 40,
    emrEllipse = 42,
    emrRectangle = 43,
    emrRoundRect = 44,
    emrLineTo = 54,
    emrExtCreateFontIndirectW = 82,
    emrExtTextOutW = 84,
};

// The header's signature, " EMF" in the file's byte order.
inline constexpr std::uint32_t EmfSignature = 0x464D4520;

// The complete file as bytes. With a font source, every text carries the
// advance of each character as the source measures it, so readers space it
// as the layout did; without one, readers space it by their own fonts.
std::string EnhMetafileBytes(const TPageMetafile& page, TFontSource* fonts = nullptr);

// Writes the file (replacing it in one step; a failure leaves an existing
// file untouched and raises EFileError).
void SaveEnhMetafile(const TPageMetafile& page, const std::string& fileName, TFontSource* fonts = nullptr);

}  // namespace mivo
