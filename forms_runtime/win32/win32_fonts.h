#pragma once
// Fonts of the layouts as GDI fonts.

#include "fonts.h"
#include "win32_api.h"

namespace forms::win32 {

// The face at its size in points, grown with the screen's logical DPI; where
// the face is missing, or cannot be had at that size (a bitmap face at a DPI
// it was not drawn for), a face of the same size. Made once per font and kept
// for the whole run.
HFONT font(const FontSpec& wanted);

// The character height in pixels of a size in points at a DPI.
int pixelHeight(Single points, double dpi);

} // namespace forms::win32
