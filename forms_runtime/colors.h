#pragma once
// Colour values: 0x00BBGGRR for an explicit colour, 0x800000nn for system
// colour nn, resolved through the application's palette.

#include "types.h"

#include <QColor>

namespace forms {

inline constexpr OleColor kSystemColorFlag = 0x80000000U;
inline constexpr OleColor kWindowText = 0x80000008U; // system colour 8
inline constexpr OleColor kButtonFace = 0x8000000FU; // system colour 15

constexpr OleColor rgb(int red, int green, int blue) {
    return static_cast<OleColor>(red) | (static_cast<OleColor>(green) << 8) |
           (static_cast<OleColor>(blue) << 16);
}

// Raises Invalid property value for a system colour the palette lacks or a
// value with stray high bits.
QColor toQColor(OleColor value);

} // namespace forms
