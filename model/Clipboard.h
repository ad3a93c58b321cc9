// The system clipboard as the model sees it: plain text in, plain text out.
//
// Decision rules and option data travel through the clipboard as
// tab-separated text. The model only needs to put one text there and read
// one back, so it talks to this small interface; the desktop program
// supplies the implementation over its windowing toolkit.
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
};

}  // namespace mivo
