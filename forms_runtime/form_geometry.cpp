// A window's geometry: its outer rectangle and client area in twips, and the
// protocol with the platform for changing them.

#include "backend.h"
#include "form.h"
#include "runtime.h"
#include "runtime_error.h"
#include "scoped_count.h"
#include "screen.h"

namespace forms {

PixelSize Form::outerSize() const {
    return m_peer->outerRect().size();
}

Single Form::Width() const {
    return twipsX(outerSize().width);
}

Single Form::Height() const {
    return twipsY(outerSize().height);
}

Single Form::Left() const {
    return twipsX(m_peer->outerRect().x);
}

Single Form::Top() const {
    return twipsY(m_peer->outerRect().y);
}

Single Form::ScaleWidth() const {
    return twipsX(m_peer->clientSize().width);
}

Single Form::ScaleHeight() const {
    return twipsY(m_peer->clientSize().height);
}

void Form::setLeft(Single twips) {
    moveOuter(pixelsX(twips), std::nullopt);
}

void Form::setTop(Single twips) {
    moveOuter(std::nullopt, pixelsY(twips));
}

// A window manager may put the window elsewhere than asked: some take the
// place for the client area's, or shift it by their frame. The answer shows
// it; the window is asked once more, off by the miss the other way, so that
// its outer corner stands where it should. Whatever the second answer, it
// stands. A window kept at an edge of the screen it was asked to leave (a
// title bar kept on the screen, a window that fits kept on it) is a
// window manager's rule, not a misunderstanding, and is not asked again. A
// window that did not move at all took no request, and a minimised window
// is never moved.
void Form::moveOuter(std::optional<int> x, std::optional<int> y) {
    if (m_peer->minimised())
        return;
    const PixelRect before = m_peer->outerRect();
    const PixelPoint wanted{x.value_or(before.x), y.value_or(before.y)};
    m_peer->requestOuterPosition(x, y);
    const PixelRect got = m_peer->outerRect();
    const bool moved = got.x != before.x || got.y != before.y;
    if (!moved || (got.x == wanted.x && got.y == wanted.y) || !m_peer->visible())
        return;
    const PixelSize screen = platform().screenSize();
    const auto keptAtEdge = [](int at, int asked, int size, int extent) {
        return (at == 0 && asked < 0) || (at == extent - size && asked > at);
    };
    if ((got.x == wanted.x || keptAtEdge(got.x, wanted.x, got.width, screen.width)) &&
        (got.y == wanted.y || keptAtEdge(got.y, wanted.y, got.height, screen.height)))
        return;
    m_peer->requestOuterPosition(2 * wanted.x - got.x, 2 * wanted.y - got.y);
}

void Form::setWidth(Single twips) {
    const int width = pixelsX(twips);
    if (width <= 0)
        raiseError(ErrorCode::InvalidPropertyValue, "Width of " + m_name);
    setOuterSize(width, std::nullopt);
}

void Form::setHeight(Single twips) {
    const int height = pixelsY(twips);
    if (height <= 0)
        raiseError(ErrorCode::InvalidPropertyValue, "Height of " + m_name);
    setOuterSize(std::nullopt, height);
}

// The dimension not assigned keeps its size. Only a window the user sees
// answers with a Resize; a hidden or minimised one takes the size for later.
void Form::setOuterSize(std::optional<int> width, std::optional<int> height) {
    const auto wantedFrom = [&](PixelSize outer) {
        return PixelSize{width.value_or(outer.width), height.value_or(outer.height)};
    };
    const bool live = m_peer->visible() && !m_peer->minimised();
    const PixelSize before = outerSize();
    if (live && wantedFrom(before) == before)
        return;
    {
        ScopedCount change(m_ownChange);
        if (live)
            m_peer->restoreIfMaximised();
        // A maximised window keeps the other dimension it had before it was
        // maximised, not the screen's.
        m_peer->requestOuterSize(wantedFrom(outerSize()));
    }
    // The request is answered: a change of size the platform reports from
    // here on, even while the nested Resize runs (a window manager that
    // sizes the window as it moves it), is a Resize of its own, queued.
    if (live && outerSize() != before)
        Runtime::get().runNested([this] {
            Runtime::get().notifyHandler("Resize");
            if (Resize)
                Resize();
        });
}

// On a monitor of another scale the window keeps its outer size in device
// pixels, so that the size a preset gave it stays exact, and stands where
// the system suggests. Its client area changed with the frame: outside a
// handler that is a Resize (the task bar must touch the bottom again);
// inside one (a preset's move took the window across), the running Resize
// lays out what follows the move.
void Form::platformDpiChanged(int dpi, PixelSize outerBefore, std::optional<PixelPoint> corner) {
    m_dpi = dpi;
    if (!m_shown || !m_peer->visible() || m_peer->minimised())
        return;
    const PixelSize clientBefore = m_peer->clientSize();
    {
        ScopedCount change(m_ownChange);
        m_peer->requestOuterSize(outerBefore);
        if (corner)
            m_peer->requestOuterPosition(corner->x, corner->y);
    }
    if (m_peer->clientSize() != clientBefore && !Runtime::get().handlerRunning())
        raiseResize();
}

} // namespace forms
