#pragma once
// Shapes: rectangles drawn in their place in the drawing order, as child
// windows of their own class that let every click through to whatever lies
// beneath (the window's client area, or the control under a marker). An
// unfilled shape's window is only its border: inside it the controls
// beneath show and take the clicks.

#include "win32_api.h"

namespace forms {
class Control;
}

namespace forms::win32 {

// The class, registered on first use; a window of it reads its control from
// GWLP_USERDATA.
const wchar_t* shapeClass();

// Cuts the window to what the shape covers at this size: only an unfilled
// shape needs it. Drawn again at once when redraw says so.
void shapeRegion(HWND hwnd, const Control& shape, int width, int height, bool redraw);

} // namespace forms::win32
