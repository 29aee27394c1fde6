#pragma once
// What the forms layer needs to know from the window system that Qt does not
// tell reliably: the window manager's frame around a top-level window, and
// when the window manager has answered a request to change a window's size.
//
// On X11 the frame is read from _NET_FRAME_EXTENTS and answers are the
// ConfigureNotify events of the window. Elsewhere Qt's own frame geometry
// serves and answers are taken as immediate.

#include "backend.h"

#include <QPoint>
#include <QSize>
#include <QString>
#include <QtGlobal>
#include <chrono>
#include <functional>
#include <optional>

class QWidget;

namespace forms::ws {

// Before the application exists: why the program cannot reach the display
// it is going to use, in one line naming that display, or empty when it
// can (or when Qt will not use X11). Qt itself aborts without one.
QString displayProblem();

// Starts watching the window system's events; call once the application
// exists. Safe to call more than once.
void install();

// True when a window manager is running (on X11, one that identifies itself
// through _NET_SUPPORTING_WM_CHECK). Without one a window has no frame.
bool hasWindowManager();

// True when the window manager reports the frames it puts around windows
// (on X11, _NET_FRAME_EXTENTS); a tiling one may not.
bool reportsFrames();

// The frame the window manager put around the window, once known.
std::optional<PixelMargins> frameExtents(const QWidget* window);

// True while the window manager keeps the window maximised in either
// direction (on X11, _NET_WM_STATE); false where it cannot tell.
bool maximisedByWindowManager(const QWidget* window);

// Asks the window manager for the frame it will give the (not yet mapped)
// window, so that sizes are exact from the first showing on. Returns false
// when the window manager does not offer this.
bool requestFrameExtents(const QWidget* window);

// True when the window system reports its answers to size requests (X11);
// elsewhere a request is taken as granted when it returns.
bool reportsAnswers();

// The window system's configure notifications for a window: how many have
// arrived, the client size the last one carried, and how many carried the
// client's position on the screen (the window manager's own notifications,
// or the server's for a window without a frame) with the last such one.
struct ConfigureNotes {
    quint64 count = 0;
    int width = 0;
    int height = 0;
    quint64 placed = 0;
    QPoint position;
};
ConfigureNotes configureNotes(const QWidget* window);

// Window managers that keep windows within the screen still grant a window
// its own minimum size. Holding the minimum at the client size about to be
// asked for lets a preset larger than the screen be granted in full;
// releasing it straight after the answer gives every smaller size back to
// the user's border drags.
void holdMinimumSize(QWidget* window, QSize client);
void releaseMinimumSize(QWidget* window);

// Asks for the window's client area to stand at pos (screen pixels). Where
// the window manager takes EWMH move requests, the move goes as one of
// those, marked as the user's own action: some window managers keep a
// window that an application moves within the screen, but let a tool move
// it partly off it. Returns true when an answer will follow (X11).
bool requestMove(QWidget* window, QPoint pos);

// Called whenever a window's frame changes (argument: the window's id).
void setFrameChangedCallback(std::function<void(quintptr)> callback);

// Processes non-input events until done() holds or the limit passes; user
// input stays queued meanwhile. Returns done().
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

// Sets the window's title exactly, also when empty (Qt would put the
// application's name in an empty one).
void setTitle(const QWidget* window, const QString& title);

// Keeps a window that is not yet shown out of task bars and pagers.
void skipTaskbar(const QWidget* window);

// Processes pending events other than user input, which stays queued.
void processEventsExceptInput();

// Input that arrived during a wait stays queued, and Qt's event loop does
// not look at its queue again until something new wakes it. Called when the
// program returns to its event loop, this wakes it if a wait held input back.
void releaseHeldInput();

// Sends buffered requests to the window system now.
void flush();

} // namespace forms::ws
