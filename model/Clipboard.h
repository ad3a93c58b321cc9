// The system clipboard as the program sees it.
//
// Decision rules and option data travel through the clipboard as
// tab-separated text; charts and report pages as pictures. The model only
// needs to put one text there and read one back, so it talks to this small
// interface; the desktop program supplies the implementation over its
// windowing toolkit (platform/QtClipboard.h).
#pragma once

#include <string>

namespace mivo {

class TClipboard {
public:
    virtual ~TClipboard() = default;

    // The clipboard's plain text; empty when it holds none.
    virtual std::string GetText() const = 0;
    // Replaces the clipboard's contents by the plain text.
    virtual void SetText(const std::string& text) = 0;

    // Replaces the clipboard's contents by a picture: the bytes of an
    // Enhanced Metafile and the same picture as PNG bytes (either may be
    // empty). Returns false where the clipboard cannot hold pictures.
    virtual bool SetPicture(const std::string& emf, const std::string& png) {
        (void)emf;
        (void)png;
        return false;
    }
};

}  // namespace mivo
