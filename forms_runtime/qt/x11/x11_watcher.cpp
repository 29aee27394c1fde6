#include "x11_watcher.h"

#include "x11_connection.h"

#include <QTimer>
#include <QWidget>
#include <array>
#include <chrono>

namespace forms::x11 {

Watcher::Watcher(std::function<void(quintptr)> frameChanged)
    : m_frameChanged(std::move(frameChanged)) {}

bool Watcher::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & 0x7F) {
    case XCB_CONFIGURE_NOTIFY:
        configured(*reinterpret_cast<const xcb_configure_notify_event_t*>(event),
                   (event->response_type & 0x80) != 0, event->full_sequence);
        break;
    case XCB_REPARENT_NOTIFY:
        reparented(*reinterpret_cast<const xcb_reparent_notify_event_t*>(event));
        break;
    case XCB_PROPERTY_NOTIFY: {
        const auto* e = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        xcb_connection_t* c = connection();
        if (c && e->atom == atom(c, "_NET_FRAME_EXTENTS"))
            frameChanged(e->window);
        break;
    }
    default:
        break;
    }
    return false;
}

std::optional<PixelMargins> Watcher::cachedFrame(xcb_window_t window) const {
    if (auto it = m_extents.constFind(window); it != m_extents.constEnd())
        return *it;
    return std::nullopt;
}

void Watcher::configured(const xcb_configure_notify_event_t& e, bool synthetic, quint32 sequence) {
    ws::ConfigureNotes& notes = m_configures[e.window];
    ++notes.count;
    if (e.width != notes.width || e.height != notes.height)
        ++notes.resized;
    notes.width = e.width;
    notes.height = e.height;
    if (synthetic) {
        ++notes.synthetic;
        notes.lastSynthetic = sequence;
    }
    // A real notification of a framed window is relative to the frame.
    if (synthetic || !m_framed.contains(e.window)) {
        ++notes.placed;
        notes.position = QPoint(e.x, e.y);
    }
    repaintWhenSettled(e.window);
}

// A window manager that dies hands its windows back to the root window and
// leaves its _NET_FRAME_EXTENTS on them: from then on the window has no
// frame, until a new one reparents it.
void Watcher::reparented(const xcb_reparent_notify_event_t& e) {
    xcb_connection_t* c = connection();
    if (!c || e.event != e.window)
        return;
    if (e.parent == rootWindow(c)) {
        m_unframed.insert(e.window);
        m_framed.remove(e.window);
    } else {
        m_unframed.remove(e.window);
        m_framed.insert(e.window);
    }
    frameChanged(e.window);
}

void Watcher::frameChanged(xcb_window_t window) {
    m_extents.remove(window);
    if (m_frameChanged)
        m_frameChanged(window);
}

// What the window paints while mutter is still taking in a resize made right
// after mapping (as the program's start-up does) may not reach the screen;
// any later paint shows the window as it is. So two follow the last
// configure notification of a series, 150 and 650 ms after it; both are over
// before the window could be called idle.
void repaintWhenSettled(xcb_window_t id) {
    using std::chrono::milliseconds;
    static constexpr std::array<milliseconds, 2> kSettleSteps{milliseconds(150), milliseconds(500)};
    QWidget* window = QWidget::find(id);
    if (!window)
        return;
    const QString name = QStringLiteral("forms-repaint-when-settled");
    auto* timer = window->findChild<QTimer*>(name, Qt::FindDirectChildrenOnly);
    if (!timer) {
        timer = new QTimer(window);
        timer->setObjectName(name);
        timer->setSingleShot(true);
        QObject::connect(timer, &QTimer::timeout, window, [window, timer] {
            window->update();
            const int next = timer->property("step").toInt() + 1;
            if (next < static_cast<int>(kSettleSteps.size())) {
                timer->setProperty("step", next);
                timer->start(kSettleSteps[static_cast<size_t>(next)]);
            }
        });
    }
    timer->setProperty("step", 0);
    timer->start(kSettleSteps[0]); // again from the start at each notice
}

} // namespace forms::x11
