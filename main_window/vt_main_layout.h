#pragma once
// The main window's design-time layout: the window, its 45 controls and its
// menu tree, as constant tables in twips (15 twips are one pixel at 96 DPI).

#include "layout.h"

#include <array>

namespace vistrum {

// The colour ribbon's 24 swatches, index order: back colour and the colour
// of the mark "×" (light grey on the two dark swatches).
struct Swatch {
    forms::OleColor back;
    forms::OleColor mark;
};
extern const std::array<Swatch, 24> kSwatches;

// Captions of the twelve preset buttons, index order.
extern const std::array<const char*, 12> kPresetCaptions;

extern const char kHelpText[];
extern const char kNoticeText[];

extern const forms::WindowSpec kVtMainLayout;

} // namespace vistrum
