// The system clipboard over Qt: plain text (UTF-8 on our side), and
// pictures as an Enhanced Metafile together with a PNG, so that programs
// which take metafiles get the exact page and the others an image.
#pragma once

#include <string>

#include "model/Clipboard.h"

class QImage;

namespace mivo {

// The MIME types under which the metafile bytes go to the clipboard.
inline constexpr const char* EmfMimeType = "image/emf";
inline constexpr const char* EmfMimeTypeAlias = "image/x-emf";

class TQtClipboard final : public TClipboard {
public:
    TQtClipboard();

    std::string GetText() const override;
    void SetText(const std::string& text) override;
    // The metafile under both MIME types and the PNG as the clipboard's
    // image, all in one piece of data. Bytes that do not decode as PNG
    // leave the image out; nothing at all leaves the clipboard as it was
    // and returns false.
    bool SetPicture(const std::string& emf, const std::string& png) override;
    // A bitmap alone (charts copied as images).
    void SetImage(const QImage& image);
};

}  // namespace mivo
