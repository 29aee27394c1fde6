// The window's geometry: its outer rectangle from the client area and the
// window manager's frame, and size and position requests that wait, bounded,
// for the window manager's answer.

#include "qt_events.h"
#include "qt_window.h"

#include <QScreen>
#include <QWindow>

namespace forms::qt {

namespace {

// Waits, bounded, for the window system's answer to a request: a
// notification counted after `seen` that `changed` accepts. One that still
// carries the old state may answer an earlier request, or refuse this one
// in place (a tiling window manager refuses every size): it is taken as a
// refusal once no other answer follows it shortly. Returns whether the
// answer changed something.
bool awaitAnswer(const std::function<quint64()>& arrived, quint64 seen,
                 const std::function<bool()>& changed) {
    if (!ws::waitUntil([&] { return arrived() > seen; },
                       std::chrono::milliseconds(QtWindow::kAnswerTimeoutMs)))
        return false;
    return ws::waitUntil(changed, std::chrono::milliseconds(QtWindow::kRefusalGraceMs));
}

} // namespace

PixelMargins QtWindow::extents() const {
    // A hidden window has no frame (window managers clear it on unmapping);
    // it gets back the one it had when it is shown again.
    if (!m_window->isVisible() && m_lastExtents)
        return *m_lastExtents;
    if (auto known = windowSystem().frameExtents(m_window)) {
        m_platform.rememberFrame(m_border, *known);
        return *known;
    }
    if (!windowSystem().hasWindowManager())
        return {};
    // A window not yet shown can ask the window manager which frame it will
    // get, so that its outer size is exact before its first showing.
    if (!m_frameRequested && !m_window->isVisible()) {
        m_frameRequested = true;
        createNativeWindow();
        if (windowSystem().requestFrameExtents(m_window))
            ws::waitUntil([this] { return windowSystem().frameExtents(m_window).has_value(); },
                          std::chrono::milliseconds(kAnswerTimeoutMs));
        if (auto known = windowSystem().frameExtents(m_window))
            return *known;
    }
    // Otherwise the frame of a window of the same kind is the best guess.
    return m_lastExtents.value_or(m_platform.lastFrame(m_border));
}

PixelRect QtWindow::outerRect() const {
    const PixelMargins f = extents();
    const QRect client = m_window->geometry();
    return {client.x() - f.left, client.y() - f.top, client.width() + f.left + f.right,
            client.height() + f.top + f.bottom};
}

PixelSize QtWindow::clientSize() const {
    return {m_client->width(), m_client->height()};
}

bool QtWindow::visible() const {
    return m_window->isVisible();
}

bool QtWindow::minimised() const {
    return m_window->isMinimized();
}

void QtWindow::requestOuterPosition(std::optional<int> x, std::optional<int> y) {
    const PixelMargins f = extents();
    const QPoint client = m_window->geometry().topLeft();
    const QPoint outer(x.value_or(client.x() - f.left), y.value_or(client.y() - f.top));
    moveTo(outer, outer + QPoint(f.left, f.top));
}

// A visible window's move waits, bounded, for the window manager's answer,
// so that the next move or size request starts from where the window really
// stands, and Left and Top read it.
void QtWindow::moveTo(QPoint outer, QPoint client) {
    if (!m_window->isVisible()) {
        m_window->setGeometry(QRect(client, m_window->size()));
        return;
    }
    ws::processEventsExceptInput();
    const QPoint old = m_window->geometry().topLeft();
    if (old == client)
        return;
    const quint64 seen = windowSystem().configureNotes(m_window).placed;
    if (!windowSystem().requestMove(m_window, outer, client))
        return;
    // The answer carries the place asked for, or another one the window
    // manager chose instead.
    awaitAnswer([this] { return windowSystem().configureNotes(m_window).placed; }, seen,
                [&] { return windowSystem().configureNotes(m_window).position != old; });
    ws::processEventsExceptInput();
}

void QtWindow::restoreIfMaximised() {
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
            std::chrono::milliseconds(kAnswerTimeoutMs));
    ws::processEventsExceptInput();
}

// Asks for a new client size and waits, bounded, for the window system's
// answer: a notification carrying the size asked for, or another size the
// window manager chose instead. A notification that still carries the old
// size answers an earlier request, such as a move.
void QtWindow::requestClientSize(QSize client) {
    // Takes in what the window system said before, so no earlier
    // notification is mistaken for this answer.
    ws::processEventsExceptInput();
    const QSize old = m_window->size();
    const quint64 seen = windowSystem().configureNotes(m_window).count;
    ws::holdMinimumSize(m_window, client);
    m_window->resize(client);
    windowSystem().flush();
    if (!windowSystem().reportsAnswers()) {
        ws::releaseMinimumSize(m_window);
        return;
    }
    const auto carried = [this] {
        const ws::ConfigureNotes notes = windowSystem().configureNotes(m_window);
        return QSize(notes.width, notes.height);
    };
    const bool answered =
        awaitAnswer([this] { return windowSystem().configureNotes(m_window).count; }, seen,
                    [&] { return carried() == client || carried() != old; });
    ws::releaseMinimumSize(m_window);
    // A window manager that granted a size larger than the screen only for
    // the minimum may cut it to the screen once the minimum goes (jwm): that
    // is its answer too, which a round trip brings in. One that leaves such
    // a window as it is when its minimum goes never cuts: it is not asked
    // for round trips again.
    const PixelMargins frame = extents();
    const QSize screen = m_window->screen()->geometry().size();
    const auto largerThanScreen = [&] {
        return carried().width() + frame.left + frame.right > screen.width() ||
               carried().height() + frame.top + frame.bottom > screen.height();
    };
    if (m_platform.cutsWhenMinimumGoes() != false && largerThanScreen()) {
        windowSystem().roundTrip(m_window);
        m_platform.setCutsWhenMinimumGoes(!largerThanScreen());
    }
    // Lets Qt take in the geometry the answers carried.
    ws::processEventsExceptInput();

    // Qt keeps the size it asked for when the window manager refuses without
    // changing anything; the handlers must see the size the window has.
    const QSize actual = windowSystem().configureNotes(m_window).count > seen ? carried() : old;
    if (!answered && m_window->size() != actual)
        m_window->resize(actual);
}

void QtWindow::requestOuterSize(PixelSize wanted) {
    if (!m_window->isVisible() || m_window->isMinimized()) {
        // Nothing to ask a window manager yet (or the window is iconified,
        // which it may refuse to size): take the size for later.
        const PixelMargins f = extents();
        m_window->resize(std::max(1, wanted.width - f.left - f.right),
                         std::max(1, wanted.height - f.top - f.bottom));
        return;
    }
    // The frame may differ from the one assumed (the window manager may have
    // framed the window only now); then ask again with the real frame.
    for (int attempt = 0; attempt < kRequestAttempts; ++attempt) {
        const PixelMargins frame = extents();
        const QSize client(std::max(1, wanted.width - frame.left - frame.right),
                           std::max(1, wanted.height - frame.top - frame.bottom));
        if (client != m_window->size())
            requestClientSize(client);
        if (extents() == frame)
            break;
    }
    m_lastExtents = extents();
}

} // namespace forms::qt
