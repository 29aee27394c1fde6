// The window's geometry: its outer rectangle from the client area and the
// window manager's frame, and the requests that change it. The answers come
// as the window system's configure notifications; the forms layer decides
// how long to wait for them.

#include "qt_events.h"
#include "qt_window.h"

#include <QScreen>
#include <QWindow>

namespace forms::qt {

PixelMargins QtWindow::extents() const {
    if (!m_window->isVisible())
        return hiddenExtents();
    if (auto known = windowSystem().frameExtents(m_window)) {
        m_platform.rememberFrame(m_border, *known);
        return *known;
    }
    if (!windowSystem().hasWindowManager())
        return {};
    // Framed, but not said how yet: the frame it had, or the one a window of
    // its kind got.
    return m_lastExtents.value_or(m_platform.lastFrame(m_border));
}

// A hidden window has no frame (window managers clear it on unmapping); it
// gets back the one it had when it is shown again. One not shown yet gets
// the frame the window manager is going to give it, asked once, so that its
// outer size is exact before its first showing; or else the one a window of
// its kind got last.
PixelMargins QtWindow::hiddenExtents() const {
    if (m_lastExtents)
        return *m_lastExtents;
    if (auto known = windowSystem().frameExtents(m_window))
        return *known;
    if (!windowSystem().hasWindowManager())
        return {};
    if (!m_frameRequested) {
        m_frameRequested = true;
        createNativeWindow();
        m_predictedExtents = windowSystem().predictFrame(m_window);
        if (m_predictedExtents)
            m_platform.rememberFrame(m_border, *m_predictedExtents);
    }
    return m_predictedExtents.value_or(m_platform.lastFrame(m_border));
}

PixelMargins QtWindow::frame() const {
    return extents();
}

PixelRect QtWindow::outerRect() const {
    const PixelMargins f = extents();
    const QRect client = m_window->geometry();
    return {client.x() - f.left, client.y() - f.top, client.width() + f.left + f.right,
            client.height() + f.top + f.bottom};
}

// The menu bar keeps its height; the client area is the rest of the window.
// (A hidden window lays out its parts only when it is shown.)
PixelSize QtWindow::clientSize() const {
    return {m_window->width(), std::max(0, m_window->height() - m_menuHeight)};
}

bool QtWindow::visible() const {
    return m_window->isVisible();
}

bool QtWindow::minimised() const {
    return m_window->isMinimized();
}

bool QtWindow::maximised() const {
    return (m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0;
}

PixelSize QtWindow::outerFor(PixelSize client) const {
    const PixelMargins f = extents();
    return {client.width + f.left + f.right, client.height + m_menuHeight + f.top + f.bottom};
}

bool QtWindow::showsMinimised() const {
    return false;
}

unsigned long QtWindow::answers() const {
    return static_cast<unsigned long>(windowSystem().configureNotes(m_window).count);
}

unsigned long QtWindow::resizes() const {
    return static_cast<unsigned long>(windowSystem().configureNotes(m_window).resized);
}

bool QtWindow::roundTrip(Millis limit) {
    return windowSystem().roundTrip(m_window, limit);
}

// Window managers that keep windows within the screen still grant a window
// its own minimum size: holding the minimum at the client size asked for
// lets a size larger than the screen be granted in full.
bool QtWindow::requestOuterRect(PixelRect outer, SizeHold hold) {
    const PixelMargins f = extents();
    const QRect client(outer.x + f.left, outer.y + f.top,
                       std::max(1, outer.width - f.left - f.right),
                       std::max(1, outer.height - f.top - f.bottom));
    if (m_window->isMinimized()) {
        // An iconified window keeps its place, and the window manager may
        // refuse to size it: the size is taken for later.
        m_window->resize(client.size());
        return false;
    }
    const auto holdMinimum = [&] {
        createNativeWindow();
        ws::holdMinimumSize(m_window, client.size());
        m_sizeHeld = true;
    };
    if (!m_window->isVisible()) {
        // Nothing to ask a window manager yet: the window is mapped there,
        // at that size, when it is shown (the place and size go with it as
        // the program's own, which window managers honour).
        if (hold == SizeHold::Before) {
            holdMinimum();
            windowSystem().flush();
        }
        m_window->setGeometry(client);
        return false;
    }
    // Takes in what the window system said before, so that no earlier
    // notification passes for this answer.
    ws::processEventsExceptInput();
    // A size held before the request reaches the window manager together
    // with it: one that took the size held alone would size the window at
    // once, where it stands (mutter, KWin), a picture of its own.
    if (hold == SizeHold::Before) {
        windowSystem().beginAtOnce();
        holdMinimum();
    }
    const bool answers = windowSystem().requestGeometry(m_window, client, QPoint(outer.x, outer.y));
    if (hold == SizeHold::Before)
        windowSystem().endAtOnce();
    if (hold == SizeHold::After) {
        holdMinimum();
        windowSystem().flush();
    }
    return answers;
}

// The minimum goes straight after the answer, so that every smaller size is
// the user's to drag to.
void QtWindow::releaseSize() {
    if (!std::exchange(m_sizeHeld, false))
        return;
    ws::releaseMinimumSize(m_window);
    windowSystem().flush();
}

void QtWindow::restoreIfMaximised(Millis limit) {
    if (!(m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    const PixelSize old = outerRect().size();
    const QSize normal = m_window->normalGeometry().size();
    const auto maximisedFrame = windowSystem().frameExtents(m_window);
    m_window->setWindowState(m_window->windowState() &
                             ~(Qt::WindowMaximized | Qt::WindowFullScreen));
    windowSystem().flush();
    // Window managers put the borders and the size back in steps (openbox:
    // first the width, with the maximised frame and height, then the rest)
    // and may clear the maximised state before the last step. Sizes asked
    // for in between would keep the screen's height or be off by the
    // borders: wait for the size the window had before it was maximised,
    // with its borders back, or for the bound.
    if (windowSystem().reportsAnswers())
        ws::waitUntil(
            [&] {
                const ws::ConfigureNotes notes = windowSystem().configureNotes(m_window);
                const QSize client(notes.width, notes.height);
                const auto frame = windowSystem().frameExtents(m_window);
                if (!frame || windowSystem().maximisedByWindowManager(m_window))
                    return false;
                if (!normal.isEmpty())
                    return client == normal && frame != maximisedFrame;
                const QSize outer =
                    client.grownBy({frame->left, frame->top, frame->right, frame->bottom});
                return outer != QSize(old.width, old.height);
            },
            limit);
    ws::processEventsExceptInput();
}

} // namespace forms::qt
