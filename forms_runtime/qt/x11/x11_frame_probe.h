#pragma once
// The frame a window manager is going to put around a window that is not
// mapped yet, where it does not say when asked (KWin, fluxbox).

#include "backend.h"

#include <chrono>
#include <optional>
#include <xcb/xcb.h>

namespace forms::x11 {

// Maps a window made like `like` (its kind, decorations and size hints)
// minimised, where nobody sees it and no task bar lists it: the window
// manager frames it and tells the frame in _NET_FRAME_EXTENTS. Then it goes
// again. Nothing when no frame was told within the limit.
std::optional<PixelMargins> probeFrame(xcb_connection_t* c, xcb_window_t like,
                                       std::chrono::milliseconds limit);

} // namespace forms::x11
