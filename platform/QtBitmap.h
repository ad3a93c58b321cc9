// Page metafiles as bitmaps.
#pragma once

#include <cstdint>
#include <string>

#include "platform/PageMetafile.h"

class QImage;

namespace mivo {

// A white width x height image with the page stretched over all of it.
// A size below 1 raises "Range check error".
QImage RenderMetafile(const TPageMetafile& page, std::int32_t width, std::int32_t height);

// The same image written as a Windows bitmap (.bmp) file, replacing the
// file in one step (a failure leaves an existing file untouched and raises
// EFileError).
void SaveMetafileBitmap(const TPageMetafile& page, std::int32_t width, std::int32_t height,
                        const std::string& fileName);

}  // namespace mivo
