#include "window_request.h"

#include "screen.h"

namespace forms {

namespace {

// How long an answer that changed nothing waits for a later one: it may
// answer an earlier request, or refuse this one in place (a tiling window
// manager refuses every size).
constexpr Millis kRefusalGrace{30};
// How long a request that changes nothing waits for its answer.
constexpr Millis kRoundTripLimit{250};

// Larger than the monitor the window stands on.
bool largerThanScreen(const PixelRect& outer) {
    const PixelRect screen = monitorOf(outer);
    return outer.width > screen.width || outer.height > screen.height;
}

// Sends one request and waits, bounded, for its answer. The answer may come
// in parts (openbox moves the frame and sizes the client apart), and a
// notification may answer an earlier request, or refuse this one in place:
// further ones are taken as long as they follow each other within the grace,
// until the window is as asked. Returns whether the window changed.
bool ask(WindowPeer& peer, const PixelRect& outer, SizeHold hold) {
    const PixelRect old = peer.outerRect();
    unsigned long seen = peer.answers();
    if (!peer.requestOuterRect(outer, hold))
        return peer.outerRect() != old;
    Platform& p = platform();
    if (!p.waitUntil([&] { return peer.answers() > seen; }, kAnswerTimeout))
        return false;
    while (peer.outerRect() != outer) {
        seen = peer.answers();
        if (!p.waitUntil([&] { return peer.answers() > seen; }, kRefusalGrace))
            break;
    }
    return peer.outerRect() != old;
}

// How a size is held: not at all where the window manager cuts the window
// once it is given back anyway, before the request where it constrains a
// request before it looks at the size held, just after it otherwise.
SizeHold sizeHold() {
    const WindowManagerRecord& wm = windowManagerRecord();
    if (wm.cutsWhenSizeReleased == true)
        return SizeHold::None;
    return wm.holdsSizeFirst ? SizeHold::Before : SizeHold::After;
}

// Where to ask for the outer corner so that it lands at wanted, by what the
// window manager is known to do with the place asked for.
PixelRect compensated(const PixelRect& wanted, const PixelMargins& frame) {
    const int k = windowManagerRecord().placesOffByFrames;
    return {wanted.x - k * frame.left, wanted.y - k * frame.top, wanted.width, wanted.height};
}

// A window kept at an edge of the monitor (from start to end on one axis)
// that it was asked to leave is a window manager's rule, not a
// misunderstanding: a window that fits kept on the monitor, or (vertically)
// a title bar kept on it.
bool keptAtEdge(int at, int asked, int size, int start, int end, bool titleBar) {
    if (titleBar && at == start && asked < start)
        return true;
    return size <= end - start &&
           ((at == start && asked < start) || (at == end - size && asked > at));
}

// Whether the window stands where asked on each axis, or where a rule of
// the window manager keeps it.
struct Standing {
    bool x;
    bool y;
};
Standing standing(const PixelRect& got, const PixelRect& wanted) {
    const PixelRect m = monitorOf(got);
    return {got.x == wanted.x || keptAtEdge(got.x, wanted.x, got.width, m.x, m.x + m.width, false),
            got.y == wanted.y ||
                keptAtEdge(got.y, wanted.y, got.height, m.y, m.y + m.height, true)};
}

// A window manager may put the window elsewhere than asked: some take the
// place for the client area's, or shift it by their frame. The answer shows
// it; where the miss is exactly the frame it is learned, so that later
// requests land at once. The window is asked once more, off by the miss the
// other way; whatever the second answer, it stands. A window that did not
// move took no request to move.
void correctPlace(WindowPeer& peer, const PixelRect& before, const PixelRect& wanted,
                  const PixelRect& asked) {
    const PixelRect got = peer.outerRect();
    const bool moved = got.x != before.x || got.y != before.y;
    const Standing stands = standing(got, wanted);
    if (!moved || (stands.x && stands.y))
        return;
    const PixelMargins f = peer.frame();
    for (const int k : {-1, 1}) {
        const bool xByFrame = stands.x || (f.left != 0 && got.x - asked.x == k * f.left);
        const bool yByFrame = stands.y || (f.top != 0 && got.y - asked.y == k * f.top);
        if (xByFrame && yByFrame)
            windowManagerRecord().placesOffByFrames = k;
    }
    ask(peer, {asked.x + wanted.x - got.x, asked.y + wanted.y - got.y, got.width, got.height},
        SizeHold::None);
}

// Gives back a size held for a request. A window manager that granted a size
// larger than the screen only for the size held may cut it to the screen
// once it goes (jwm): that is its answer too, which a round trip brings in.
// One that leaves such a window as it is never cuts, and one that answers no
// round trip is not asked for one again.
void releaseSize(WindowPeer& peer) {
    peer.releaseSize();
    WindowManagerRecord& wm = windowManagerRecord();
    if (wm.cutsWhenSizeReleased == false || wm.answersRoundTrips == false ||
        !largerThanScreen(peer.outerRect()))
        return;
    const bool answered = peer.roundTrip(kRoundTripLimit);
    if (!wm.answersRoundTrips)
        wm.answersRoundTrips = answered;
    if (answered)
        wm.cutsWhenSizeReleased = !largerThanScreen(peer.outerRect());
}

} // namespace

WindowManagerRecord& windowManagerRecord() {
    static WindowManagerRecord record;
    return record;
}

void requestRect(WindowPeer& peer, PixelRect wanted) {
    SizeHold hold = sizeHold();
    if (!peer.visible() || peer.minimised()) {
        // Before the first showing the size is held as the window is mapped.
        const bool held = hold != SizeHold::None && !peer.minimised();
        peer.requestOuterRect(wanted, held ? SizeHold::Before : SizeHold::None);
        return;
    }
    const PixelRect before = peer.outerRect();
    if (wanted.size() == before.size())
        hold = SizeHold::None;
    PixelRect asked = wanted;
    // The frame may change while the request runs (the window manager may
    // have framed the window only now); then it is asked again with it.
    bool sizedOnTheWay = false;
    for (int attempt = 0; attempt < kRequestAttempts; ++attempt) {
        const PixelMargins frame = peer.frame();
        asked = compensated(wanted, frame);
        if (peer.outerRect() == wanted)
            break;
        const unsigned long resizes = peer.resizes();
        ask(peer, asked, hold);
        sizedOnTheWay = sizedOnTheWay || (attempt == 0 && peer.resizes() - resizes > 1);
        if (peer.frame() == frame)
            break;
    }
    // A window manager that cut a size larger than the screen, or moved such
    // a window onto the screen, though the size was held right after the
    // request, had constrained the request before it looked at the size
    // held: it gets the size before the request from then on, and this
    // request once more. One that showed it at another size first and grew
    // it to the size held a moment later (mutter) did the same: the window
    // stands as asked, but from then on the size is held before.
    if (hold == SizeHold::After && largerThanScreen(wanted)) {
        const PixelRect got = peer.outerRect();
        const Standing stands = standing(got, wanted);
        const bool missed = got.size() != wanted.size() || !stands.x || !stands.y;
        if (missed || sizedOnTheWay)
            windowManagerRecord().holdsSizeFirst = true;
        if (missed) {
            peer.roundTrip(kRoundTripLimit);
            ask(peer, asked, SizeHold::Before);
        }
    }
    if (hold != SizeHold::None)
        releaseSize(peer);
    correctPlace(peer, before, wanted, asked);
}

void releaseShownSize(WindowPeer& peer) {
    if (windowManagerRecord().cutsWhenSizeReleased != true)
        releaseSize(peer);
}

} // namespace forms
