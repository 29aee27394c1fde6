#pragma once
// The frame a window manager is going to put around a window that is not
// mapped yet, where it does not say when asked (KWin, fluxbox), or never
// says at all (an older pekwm).

#include "backend.h"

#include <chrono>
#include <optional>
#include <xcb/xcb.h>

namespace forms::x11 {

// The frame the window manager tells in the window's _NET_FRAME_EXTENTS;
// nothing while it has told none.
std::optional<PixelMargins> toldFrame(xcb_connection_t* c, xcb_window_t window);

// Where the frame is told: in _NET_FRAME_EXTENTS, or only by the frame
// window the client is put into.
enum class FrameTold { InProperty, ByFrameWindow };

// Maps a window made like `like` (its kind, decorations and size hints)
// minimised, where nobody sees it and no task bar lists it: the window
// manager frames it and tells the frame. Then it goes again. Nothing when
// no frame was told within the limit.
std::optional<PixelMargins> probeFrame(xcb_connection_t* c, xcb_window_t like,
                                       std::chrono::milliseconds limit,
                                       FrameTold told = FrameTold::InProperty);

} // namespace forms::x11
