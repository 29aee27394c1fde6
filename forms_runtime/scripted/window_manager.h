#pragma once
// The scripted platform's window manager: how it frames, sizes and places
// windows and when it answers, as the test sets it. Every window manager the
// program meets on X11 or Windows is one of these scripts: one that grants
// everything at once, one that keeps windows within the screen, one that
// refuses, one that answers late or never, one that puts the client area
// where the frame was asked to stand, one that changes the frame after
// mapping.

#include "backend.h"

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

namespace forms::scripted {

using Millis = std::chrono::milliseconds;

// What the window manager does with a size asked for.
enum class SizeRule : std::uint8_t {
    Grant,         // every size
    ClampToScreen, // no outer size beyond the screen's
    ClampTo,       // no outer size beyond WindowManagerScript::largest
    Refuse,        // no change at all (a tiling window manager)
};

// Where the outer rectangle lands when the frame is asked to stand at P.
enum class PlaceRule : std::uint8_t {
    Exact,          // at P
    ClientAreaAtP,  // the client area at P: the frame stands off by its own size
    FrameOffByEdge, // at P moved on by the frame's left and top widths
};

struct WindowManagerScript {
    // The frame around a sizable window and around a fixed dialog; none at
    // all when there is no window manager.
    bool running = true;
    PixelMargins frame{4, 23, 4, 4};
    PixelMargins dialogFrame{3, 23, 3, 3};
    // Tells the frame a window will get before it is mapped.
    bool answersFrameRequests = true;

    SizeRule sizes = SizeRule::Grant;
    PixelSize largest; // for SizeRule::ClampTo

    // What it does with a size the program holds (its minimum size) while
    // it asks for it: nothing, grant it whatever the size rule (mutter,
    // KWin), or grant it only when it sees it before the request (metacity:
    // a request it sees first is cut to the screen, and the window grows to
    // the size held once it sees it, moved onto the screen).
    enum class HeldSize : std::uint8_t { Ignored, Granted, GrantedIfFirst };
    HeldSize heldSize = HeldSize::Ignored;
    // Grows a window it cut to a size it sees held only after the request
    // where the request asked, a moment later (mutter), not onto the screen.
    bool growsToHeldWhereAsked = false;
    // Sizes a window to a size held before a request at once, moved onto
    // the screen, before it takes the request (openbox).
    bool appliesHeldSizeAtOnce = false;

    PlaceRule places = PlaceRule::Exact;
    bool keepsTitleBarOnScreen = false; // y never above 0

    // How long each answer takes; none: the request is never answered.
    std::optional<Millis> answerAfter = Millis(5);

    // One that sizes a window as it moves it (fills a move request's
    // missing size from its frame's): each move adds this to the height.
    int growsOnMove = 0;
    // One that grants a size larger than the screen at first and cuts it
    // to the screen this long after (it honoured a minimum size only while
    // the program held it).
    std::optional<Millis> cutsToScreenAfter;

    // Starts windows minimised, as a shortcut set to run minimised does.
    bool mapsMinimised = false;
    // Places a window it maps itself, at this outer corner, wherever the
    // program asked it to stand.
    std::optional<PixelPoint> placesAtMapping;

    // Monitors of a scale of their own, as on a laptop with an external
    // screen. A window whose centre comes onto one of another DPI gets the
    // frame scaled to it (the frames above are at 96 DPI) and is told so.
    // None: one screen, frames as given.
    struct Monitor {
        PixelRect area;
        int dpi;
    };
    std::vector<Monitor> monitors;

    // A frame that the window manager puts on a window a while after
    // mapping it (a theme's border appearing, a decoration that changes).
    std::optional<PixelMargins> frameAfterMapping;
    Millis frameChangeAfter{100};
};

} // namespace forms::scripted

namespace forms::scripted {

// The client size (menu bar included) the window manager grants for one
// asked for, with the window's frame, on a screen of that size.
PixelSize grantedClient(const WindowManagerScript& script, PixelSize asked, PixelSize current,
                        PixelMargins frame, PixelSize screen);

// The DPI of the monitor under the point, 0 where there is none.
int dpiAt(const WindowManagerScript& script, PixelPoint point);

// A frame at 96 DPI scaled to another DPI.
PixelMargins scaledFrame(PixelMargins frame, int dpi);

// Where the outer top-left lands when asked to stand at asked.
PixelPoint placedOuter(const WindowManagerScript& script, PixelPoint asked, PixelMargins frame);

} // namespace forms::scripted
