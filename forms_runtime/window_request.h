#pragma once
// Asking the platform for a window's rectangle and taking its answer: the
// one place that decides how long to wait, what counts as a refusal, when to
// ask again, and what the program has learned about the window manager. A
// backend only performs the requests (backend.h).

#include "backend.h"

#include <optional>

namespace forms {

// What the program has learned about the window manager from its answers;
// unknown until seen. One record for the whole program, as there is one
// window manager.
struct WindowManagerRecord {
    // It cuts a window larger than the screen to the screen once the
    // program no longer holds the window's size (jwm): holding it only makes
    // the window pass through the full size first.
    std::optional<bool> cutsWhenSizeReleased;
    // It constrains a request before it looks at a size held just after it
    // (metacity, mutter): the size is held before the request.
    bool holdsSizeFirst = false;
    // It answers a request that changes nothing (mutter does not).
    std::optional<bool> answersRoundTrips;
    // Where it puts the outer corner when asked for P: P moved on by this
    // many times the frame's left and top widths (-1: it took P for the
    // client area's place, pekwm; +1: it shifted the window by its frame).
    int placesOffByFrames = 0;
};
WindowManagerRecord& windowManagerRecord();

// Asks for the outer rectangle, size and place in one request, and waits,
// bounded, for the answer. It is asked again where the answer came with
// another frame than the request was reckoned with, and once more where the
// window manager put the window elsewhere than asked without a rule of its
// own for it (a title bar kept on the screen is one). A window not shown yet
// takes the rectangle for its first showing; a minimised one takes the size
// for when it is restored and keeps its place.
void requestRect(WindowPeer& peer, PixelRect wanted);

// After the first showing of a window whose size was held for it: gives the
// size back, and takes in what the window manager does then.
void releaseShownSize(WindowPeer& peer);

} // namespace forms
