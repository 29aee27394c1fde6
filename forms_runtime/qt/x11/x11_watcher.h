#pragma once
// Watches the X server's events for the program's top-level windows: the
// configure notifications that answer size and move requests, windows
// framed by a window manager or handed back to the root window, and changes
// of _NET_FRAME_EXTENTS. Installed as Qt's native event filter; it only
// records and never takes an event away from Qt.

#include "backend.h"
#include "window_system.h"

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QSet>
#include <functional>
#include <xcb/xcb.h>

namespace forms::x11 {

class Watcher final : public QAbstractNativeEventFilter {
public:
    explicit Watcher(std::function<void(quintptr)> frameChanged);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override;

    ws::ConfigureNotes configureNotes(xcb_window_t window) const {
        return m_configures.value(window);
    }
    // The frame last read for the window; a change drops it.
    std::optional<PixelMargins> cachedFrame(xcb_window_t window) const;
    void cacheFrame(xcb_window_t window, PixelMargins frame) { m_extents.insert(window, frame); }
    // Given back to the root window by a window manager that died.
    bool unframed(xcb_window_t window) const { return m_unframed.contains(window); }
    // In a window manager's frame window.
    bool framed(xcb_window_t window) const { return m_framed.contains(window); }

private:
    void configured(const xcb_configure_notify_event_t& event, bool synthetic, quint32 sequence);
    void reparented(const xcb_reparent_notify_event_t& event);
    void frameChanged(xcb_window_t window);

    std::function<void(quintptr)> m_frameChanged;
    QHash<xcb_window_t, ws::ConfigureNotes> m_configures;
    QHash<xcb_window_t, PixelMargins> m_extents; // cache, dropped on change
    QSet<xcb_window_t> m_unframed;               // given back to the root window
    QSet<xcb_window_t> m_framed;                 // in a window manager's frame
};

// A compositing window manager (mutter) at times keeps showing the picture
// a window had before a resize; a few paints after the last configure
// notification of a series put the screen right.
void repaintWhenSettled(xcb_window_t window);

} // namespace forms::x11
