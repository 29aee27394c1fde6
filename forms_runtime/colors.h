#pragma once
// Colour values: 0x00BBGGRR for an explicit colour, 0x800000nn for system
// colour nn, which each backend resolves through the platform's own colours.

#include "types.h"

namespace forms {

inline constexpr OleColor kSystemColorFlag = 0x80000000U;
inline constexpr OleColor kWindowBackground = 0x80000005U; // system colour 5
inline constexpr OleColor kWindowText = 0x80000008U;       // system colour 8
inline constexpr OleColor kHighlight = 0x8000000DU;        // system colour 13
inline constexpr OleColor kHighlightText = 0x8000000EU;    // system colour 14
inline constexpr OleColor kButtonFace = 0x8000000FU;       // system colour 15
inline constexpr OleColor kButtonText = 0x80000012U;       // system colour 18

constexpr OleColor rgb(int red, int green, int blue) {
    return static_cast<OleColor>(red) | (static_cast<OleColor>(green) << 8) |
           (static_cast<OleColor>(blue) << 16);
}

// The system colours a backend must resolve: window background 5, window
// text 8, highlight 13, highlighted text 14, button face 15, button shadow
// 16, button text 18, button highlight 20.
bool isSystemColorKnown(unsigned number);

// Raises Invalid property value for a system colour the layer does not know
// or a value with stray high bits; returns the value otherwise.
OleColor checkedColor(OleColor value);

} // namespace forms
