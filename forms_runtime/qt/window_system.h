#pragma once
// What the Qt backend needs to know from the window system that Qt does not
// tell reliably: the window manager's frame around a top-level window, and
// when the window manager has answered a request to change a window's size
// or place. Also how the backend waits for those answers.
//
// On X11 the frame is _NET_FRAME_EXTENTS and answers are the window's
// ConfigureNotify events (x11/). Elsewhere (Qt's offscreen platform, a build
// without xcb) Qt's own frame geometry serves and answers are taken as
// immediate (window_system.cpp).

#include "backend.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QtGlobal>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace forms::ws {

// The window system's configure notifications for a window: how many have
// arrived, the client size the last one carried, and how many carried the
// client's position on the screen (the window manager's own notifications,
// or the server's for a window without a frame) with the last such one.
struct ConfigureNotes {
    quint64 count = 0;
    quint64 resized = 0; // those that came with another size than the one before
    int width = 0;
    int height = 0;
    quint64 placed = 0;
    QPoint position;
    quint64 synthetic = 0;     // sent by the window manager itself
    quint32 lastSynthetic = 0; // the request the server had done last when it sent one
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // True when a window manager is running (on X11, one that identifies
    // itself through _NET_SUPPORTING_WM_CHECK). Without one a window has no
    // frame.
    virtual bool hasWindowManager() const = 0;
    // True when the window manager reports the frames it puts around
    // windows (on X11, _NET_FRAME_EXTENTS); a tiling one may not.
    virtual bool reportsFrames() const = 0;
    // The frame the window manager put around the window, once known.
    virtual std::optional<PixelMargins> frameExtents(const QWidget* window) const = 0;
    // True while the window manager keeps the window maximised in either
    // direction (on X11, _NET_WM_STATE); false where it cannot tell.
    virtual bool maximisedByWindowManager(const QWidget* window) const = 0;
    // The frame the window manager will give the (not yet mapped) window,
    // so that sizes are exact from the first showing on; asked of the window
    // manager, and waited for (bounded). Nothing when it cannot tell.
    virtual std::optional<PixelMargins> predictFrame(const QWidget* window) = 0;

    // True when the window system reports its answers to size requests;
    // elsewhere a request is taken as granted when it returns.
    virtual bool reportsAnswers() const = 0;
    virtual ConfigureNotes configureNotes(const QWidget* window) const = 0;
    // Asks for the window's client area to be client, in one request, with
    // the outer corner at outer (the frame known now is the difference).
    // Returns true when an answer will follow; otherwise the window is
    // already as asked.
    virtual bool requestGeometry(QWidget* window, QRect client, QPoint outer) = 0;
    // Asks for nothing and waits, at most limit, until the window manager
    // has dealt with everything the program asked before: it answers a
    // request that changes nothing after all that came before it. Returns
    // whether it did.
    virtual bool roundTrip(QWidget* window, std::chrono::milliseconds limit) = 0;

    // Sets the window's title exactly, also when empty (Qt would put the
    // application's name in an empty one).
    virtual void setTitle(const QWidget* window, const QString& title) = 0;
    // Keeps a window that is not yet shown out of task bars and pagers.
    virtual void skipTaskbar(const QWidget* window) = 0;
    // Sends buffered requests to the window system now.
    virtual void flush() = 0;
    // Between begin and end nothing of what the program sends reaches
    // another client, the window manager included: it gets it all at once.
    virtual void beginAtOnce() {}
    virtual void endAtOnce() { flush(); }
};

// The window system Qt runs on: X11 when Qt uses xcb, Qt's own view of
// windows otherwise. Made once the application exists; frameChanged is
// called (with the window's native id) whenever a window's frame changes.
std::unique_ptr<WindowSystem> makeWindowSystem(std::function<void(quintptr)> frameChanged);

// The X11 window system, or null when Qt does not run on X11 (or the build
// has no xcb).
std::unique_ptr<WindowSystem> makeX11WindowSystem(std::function<void(quintptr)> frameChanged);

// The frame around a shown window as Qt measures it: the window's frame
// geometry around its client area.
PixelMargins qtFrame(const QWidget* window);

// Before the application exists: why the program cannot reach the display
// it is going to use, in one line naming that display, or empty when it
// can (or when Qt will not use X11). Qt itself aborts without one.
QString displayProblem();

// Window managers that keep windows within the screen still grant a window
// its own minimum size. Holding the minimum at the client size about to be
// asked for lets a preset larger than the screen be granted in full;
// releasing it straight after the answer gives every smaller size back to
// the user's border drags.
void holdMinimumSize(QWidget* window, QSize client);
void releaseMinimumSize(QWidget* window);

// Processes non-input events until done() holds or the limit passes; user
// input stays queued meanwhile. Returns done().
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

// Processes pending events other than user input, which stays queued.
void processEventsExceptInput();

// Input that arrived during a wait stays queued, and Qt's event loop does
// not look at its queue again until something new wakes it. Called when the
// program returns to its event loop, this wakes it if a wait held input back.
void releaseHeldInput();

} // namespace forms::ws
