#include "win32_frame.h"

#include <dwmapi.h>

namespace forms::win32 {

std::optional<PixelMargins> invisibleMargins(HWND window) {
    if (!IsWindowVisible(window) || IsIconic(window))
        return std::nullopt;
    RECT outer{};
    RECT visible{};
    if (!GetWindowRect(window, &outer) || DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS,
                                                                &visible, sizeof visible) != S_OK)
        return std::nullopt;
    // Only a frame inside the window rectangle is one; anything else is a
    // report to distrust (an empty rectangle, one from before a move).
    if (visible.left < outer.left || visible.top < outer.top || visible.right > outer.right ||
        visible.bottom > outer.bottom || visible.right <= visible.left ||
        visible.bottom <= visible.top)
        return std::nullopt;
    return PixelMargins{visible.left - outer.left, visible.top - outer.top,
                        outer.right - visible.right, outer.bottom - visible.bottom};
}

} // namespace forms::win32
