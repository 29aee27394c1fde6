// A window's geometry: its outer rectangle and client area in twips, and the
// assignments a handler makes to them, collected while it runs and sent as
// one request when it returns (window_request.cpp sends it).

#include "backend.h"
#include "form.h"
#include "runtime.h"
#include "runtime_error.h"
#include "scoped_count.h"
#include "screen.h"
#include "window_request.h"

#include <algorithm>

namespace forms {

PixelRect Form::outer() const {
    return m_assigned.value_or(m_peer->outerRect());
}

// The client area the assigned outer rectangle leaves: the frame and the
// menu bar keep their sizes.
PixelSize Form::client() const {
    const PixelSize now = m_peer->clientSize();
    if (!m_assigned)
        return now;
    const PixelSize outerNow = m_peer->outerRect().size();
    return {std::max(0, now.width + m_assigned->width - outerNow.width),
            std::max(0, now.height + m_assigned->height - outerNow.height)};
}

Single Form::Width() const {
    return twipsX(outer().width);
}

Single Form::Height() const {
    return twipsY(outer().height);
}

Single Form::Left() const {
    return twipsX(outer().x);
}

Single Form::Top() const {
    return twipsY(outer().y);
}

Single Form::ScaleWidth() const {
    return twipsX(client().width);
}

Single Form::ScaleHeight() const {
    return twipsY(client().height);
}

void Form::setLeft(Single twips) {
    const int x = pixelsX(twips);
    assign([x](PixelRect& r) { r.x = x; });
}

void Form::setTop(Single twips) {
    const int y = pixelsY(twips);
    assign([y](PixelRect& r) { r.y = y; });
}

void Form::setWidth(Single twips) {
    const int width = pixelsX(twips);
    if (width <= 0)
        raiseError(ErrorCode::InvalidPropertyValue, "Width of " + m_name);
    assign([width](PixelRect& r) { r.width = width; });
}

void Form::setHeight(Single twips) {
    const int height = pixelsY(twips);
    if (height <= 0)
        raiseError(ErrorCode::InvalidPropertyValue, "Height of " + m_name);
    assign([height](PixelRect& r) { r.height = height; });
}

bool Form::laidOut() const {
    return (m_shown || m_showing) && !m_peer->minimised();
}

// An assignment changes the rectangle the window is to have when the running
// handler returns; until then every read gives what was assigned. A change
// of size runs Resize inside the assignment, once, with the size assigned,
// on a window that is laid out. Outside a handler the assignment is a
// handler of its own, sent when it returns.
void Form::assign(const std::function<void(PixelRect&)>& change) {
    Runtime& runtime = Runtime::get();
    if (!runtime.handlerRunning()) {
        runtime.raise([this, &change] { assign(change); });
        return;
    }
    const PixelRect seen = outer();
    PixelRect after = seen;
    change(after);
    if (after == seen)
        return; // nothing to send, nothing resized
    // A maximised window is put back to its normal size before it is sized:
    // the dimension not assigned keeps the size it had before it was
    // maximised, not the screen's.
    if (!m_assigned && after.size() != seen.size() && laidOut() && m_peer->visible()) {
        {
            ScopedCount own(m_ownChange);
            m_peer->restoreIfMaximised(kAnswerTimeout);
        }
        after = outer();
        change(after);
    }
    m_assigned = after;
    if (after.size() != seen.size() && laidOut())
        runtime.runNested([this] {
            Runtime::get().notifyHandler("Resize");
            if (Resize)
                Resize();
        });
}

// Sends what the handlers assigned, as one request. The answer is the truth:
// where the window has another size than the handlers gave it (a window
// manager that keeps windows within the screen, refuses, or answers too
// late), a Resize follows, before the window is painted, with the size it
// has. A change of place alone is only taken.
void Form::commitGeometry() {
    if (!m_assigned)
        return;
    const PixelRect wanted = *m_assigned;
    const PixelSize laidOutFor = client();
    m_assigned.reset();
    if (wanted == m_peer->outerRect())
        return;
    {
        ScopedCount own(m_ownChange);
        requestRect(*m_peer, wanted);
    }
    if (laidOut())
        takeAnswer(wanted.size(), laidOutFor);
}

// On a monitor of another scale the window keeps its outer size in device
// pixels, so that the size a preset gave it stays exact (a dialog keeps its
// client area), and stands where the system suggests. Its client area
// changed with the frame: it is laid out again (the task bar must touch the
// bottom), after the running handler where one runs; the size chosen stays
// chosen. A maximised or minimised window is the system's to place.
void Form::platformDpiChanged(int dpi, PixelSize outerBefore, std::optional<PixelPoint> corner) {
    m_dpi = dpi;
    if (!m_shown || !m_peer->visible() || m_peer->minimised() || m_peer->maximised())
        return;
    const PixelSize clientBefore = m_peer->clientSize();
    const PixelRect now = m_peer->outerRect();
    const PixelPoint at = corner.value_or(PixelPoint{now.x, now.y});
    const PixelSize kept = m_fixedSize ? m_peer->outerFor(clientBefore) : outerBefore;
    {
        ScopedCount own(m_ownChange);
        requestRect(*m_peer, {at.x, at.y, kept.width, kept.height});
    }
    takeAnswer(kept, clientBefore);
}

} // namespace forms
