#pragma once
// The part of a top-level window's rectangle that the user sees.
//
// Windows 10 and 11 widen the window rectangle by invisible resize borders
// on the left, right and bottom; the desktop window manager reports the
// visible frame (DWMWA_EXTENDED_FRAME_BOUNDS). Where it reports none, as
// under Wine or with composition off, the window rectangle is the frame.

#include "backend.h"
#include "win32_api.h"

#include <optional>

namespace forms::win32 {

// How far the window rectangle reaches beyond the visible frame, when the
// window is shown and the desktop window manager tells.
std::optional<PixelMargins> invisibleMargins(HWND window);

} // namespace forms::win32
