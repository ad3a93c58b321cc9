// Colours between the program and Qt. The program keeps colours as 32-bit
// values with red in the low byte, green in the next and blue in the third;
// the top byte carries no colour and is dropped on the way to Qt.
#pragma once

#include <QColor>

#include "model/MivoSettings.h"

namespace mivo {

inline QColor ToQColor(TColor colour) {
    return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                  static_cast<int>((colour >> 16) & 0xFFu));
}

inline TColor FromQColor(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return static_cast<TColor>(rgb.red()) | (static_cast<TColor>(rgb.green()) << 8) |
           (static_cast<TColor>(rgb.blue()) << 16);
}

}  // namespace mivo
