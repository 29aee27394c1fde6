#include "window_system.h"

#include <algorithm>

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QHash>
#include <QSet>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#if defined(VISTRUM_HAVE_XCB)
#include <QtGui/qguiapplication_platform.h>
#include <array>
#include <cstdlib>
#include <xcb/xcb.h>
#endif

namespace forms::ws {

namespace {

std::function<void(quintptr)> g_frameChanged;
bool g_inputHeld = false;

#if defined(VISTRUM_HAVE_XCB)

xcb_connection_t* connection() {
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t* c) {
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    static QHash<QByteArray, xcb_atom_t> cache;
    const QByteArray key(name);
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(key.size()), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    cache.insert(key, value);
    return value;
}

// Reads a property of 32-bit items; empty when absent.
QList<quint32> property32(xcb_connection_t* c, xcb_window_t w, xcb_atom_t prop, xcb_atom_t type,
                          quint32 maxItems) {
    QList<quint32> items;
    auto cookie = xcb_get_property(c, 0, w, prop, type, 0, maxItems);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    if (reply && reply->format == 32 && reply->type == type) {
        const auto* data = static_cast<const quint32*>(xcb_get_property_value(reply));
        const int n = xcb_get_property_value_length(reply) / 4;
        items = QList<quint32>(data, data + n);
    }
    std::free(reply);
    return items;
}

// True when the running window manager lists the atom in _NET_SUPPORTED.
bool wmSupports(xcb_connection_t* c, const char* name) {
    const auto supported =
        property32(c, rootWindow(c), atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 1024);
    return supported.contains(atom(c, name)) && hasWindowManager();
}

class X11Watcher : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        switch (event->response_type & 0x7F) {
        case XCB_CONFIGURE_NOTIFY: {
            const auto* e = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
            ConfigureNotes& notes = configures[e->window];
            ++notes.count;
            notes.width = e->width;
            notes.height = e->height;
            // A real notification of a framed window is relative to the frame.
            const bool synthetic = (event->response_type & 0x80) != 0;
            if (synthetic || !framed.contains(e->window)) {
                ++notes.placed;
                notes.position = QPoint(e->x, e->y);
            }
            repaintWhenSettled(e->window);
            break;
        }
        case XCB_REPARENT_NOTIFY: {
            // A window manager that dies hands its windows back to the root
            // window and leaves its _NET_FRAME_EXTENTS on them: from then on
            // the window has no frame, until a new one reparents it.
            const auto* e = reinterpret_cast<const xcb_reparent_notify_event_t*>(event);
            xcb_connection_t* c = connection();
            if (!c || e->event != e->window)
                break;
            if (e->parent == rootWindow(c)) {
                unframed.insert(e->window);
                framed.remove(e->window);
            } else {
                unframed.remove(e->window);
                framed.insert(e->window);
            }
            extents.remove(e->window);
            if (g_frameChanged)
                g_frameChanged(e->window);
            break;
        }
        case XCB_PROPERTY_NOTIFY: {
            const auto* e = reinterpret_cast<const xcb_property_notify_event_t*>(event);
            xcb_connection_t* c = connection();
            if (c && e->atom == atom(c, "_NET_FRAME_EXTENTS")) {
                extents.remove(e->window);
                if (g_frameChanged)
                    g_frameChanged(e->window);
            }
            break;
        }
        default:
            break;
        }
        return false;
    }

    // A compositing window manager (mutter) at times keeps showing the
    // picture a window had before a resize, with the new area black, while
    // the window has long painted itself anew: what the window paints while
    // mutter is still taking in a resize made right after mapping (as the
    // program's start-up does) does not reach the screen. Any later paint
    // shows the window as it is, so two follow the last configure
    // notification of a series, 150 and 650 ms after it; both are over
    // before the window could be called idle.
    static void repaintWhenSettled(xcb_window_t id) {
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
    static constexpr std::array<std::chrono::milliseconds, 2> kSettleSteps{
        std::chrono::milliseconds(150), std::chrono::milliseconds(500)};

    QHash<xcb_window_t, ConfigureNotes> configures;
    QHash<xcb_window_t, PixelMargins> extents; // cache, dropped on change
    QSet<xcb_window_t> unframed;               // given back to the root window
    QSet<xcb_window_t> framed;                 // in a window manager's frame
};

X11Watcher* g_watcher = nullptr;

#endif

} // namespace

QString displayProblem() {
#if defined(VISTRUM_HAVE_XCB)
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith(QLatin1String("xcb")))
        return {};
    const QByteArray display = qgetenv("DISPLAY");
    const QString needs = QStringLiteral("Vistrum needs an X11 or XWayland display");
    if (display.isEmpty())
        return QStringLiteral("no X display is set (DISPLAY is empty); %1").arg(needs);
    xcb_connection_t* c = xcb_connect(display.constData(), nullptr);
    const bool reached = xcb_connection_has_error(c) == 0;
    xcb_disconnect(c);
    if (!reached)
        return QStringLiteral("cannot open the X display \"%1\"; %2")
            .arg(QString::fromLocal8Bit(display), needs);
#endif
    return {};
}

void install() {
#if defined(VISTRUM_HAVE_XCB)
    if (!g_watcher && connection()) {
        g_watcher = new X11Watcher; // lives as long as the application
        QCoreApplication::instance()->installNativeEventFilter(g_watcher);
    }
#endif
}

bool hasWindowManager() {
#if defined(VISTRUM_HAVE_XCB)
    if (xcb_connection_t* c = connection()) {
        const xcb_atom_t check = atom(c, "_NET_SUPPORTING_WM_CHECK");
        const auto onRoot = property32(c, rootWindow(c), check, XCB_ATOM_WINDOW, 1);
        if (onRoot.isEmpty())
            return false;
        // A window manager that died leaves the property behind; its check
        // window names itself only while it lives.
        const auto onChild = property32(c, onRoot.first(), check, XCB_ATOM_WINDOW, 1);
        return !onChild.isEmpty() && onChild.first() == onRoot.first();
    }
#endif
    return true;
}

bool reportsFrames() {
#if defined(VISTRUM_HAVE_XCB)
    if (xcb_connection_t* c = connection()) {
        return wmSupports(c, "_NET_FRAME_EXTENTS");
    }
#endif
    return hasWindowManager();
}

std::optional<PixelMargins> frameExtents(const QWidget* window) {
#if defined(VISTRUM_HAVE_XCB)
    if (xcb_connection_t* c = connection()) {
        const auto id = static_cast<xcb_window_t>(window->internalWinId());
        if (id == 0)
            return std::nullopt;
        if (g_watcher) {
            if (auto it = g_watcher->extents.constFind(id); it != g_watcher->extents.constEnd())
                return *it;
            if (g_watcher->unframed.contains(id))
                return PixelMargins{};
        }
        const auto v = property32(c, id, atom(c, "_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 4);
        if (v.size() != 4)
            return std::nullopt;
        // _NET_FRAME_EXTENTS lists left, right, top, bottom.
        const PixelMargins extents{static_cast<int>(v[0]), static_cast<int>(v[2]),
                                   static_cast<int>(v[1]), static_cast<int>(v[3])};
        if (g_watcher)
            g_watcher->extents.insert(id, extents);
        return extents;
    }
#endif
    if (!window->isVisible())
        return std::nullopt;
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    return PixelMargins{client.left() - frame.left(), client.top() - frame.top(),
                        frame.right() - client.right(), frame.bottom() - client.bottom()};
}

bool maximisedByWindowManager(const QWidget* window) {
#if defined(VISTRUM_HAVE_XCB)
    if (xcb_connection_t* c = connection()) {
        const auto id = static_cast<xcb_window_t>(window->internalWinId());
        const auto state =
            id ? property32(c, id, atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32) : QList<quint32>();
        return state.contains(atom(c, "_NET_WM_STATE_MAXIMIZED_VERT")) ||
               state.contains(atom(c, "_NET_WM_STATE_MAXIMIZED_HORZ"));
    }
#endif
    Q_UNUSED(window);
    return false;
}

bool requestFrameExtents(const QWidget* window) {
#if defined(VISTRUM_HAVE_XCB)
    if (xcb_connection_t* c = connection()) {
        const xcb_window_t root = rootWindow(c);
        const xcb_atom_t request = atom(c, "_NET_REQUEST_FRAME_EXTENTS");
        if (!wmSupports(c, "_NET_REQUEST_FRAME_EXTENTS"))
            return false;
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = static_cast<xcb_window_t>(window->winId());
        event.type = request;
        xcb_send_event(c, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(c);
        return true;
    }
#endif
    Q_UNUSED(window);
    return false;
}

bool reportsAnswers() {
#if defined(VISTRUM_HAVE_XCB)
    return g_watcher != nullptr;
#else
    return false;
#endif
}

void holdMinimumSize(QWidget* window, QSize client) {
    // On the platform window only: the widget's own minimum would make Qt
    // resize the window by itself, and it must not outlive the request.
    if (QWindow* handle = window->windowHandle())
        handle->setMinimumSize(client);
}

void releaseMinimumSize(QWidget* window) {
    if (QWindow* handle = window->windowHandle())
        handle->setMinimumSize(window->minimumSize());
}

bool requestMove(QWidget* window, QPoint pos) {
#if defined(VISTRUM_HAVE_XCB)
    if (xcb_connection_t* c = connection()) {
        const xcb_window_t root = rootWindow(c);
        const xcb_atom_t request = atom(c, "_NET_MOVERESIZE_WINDOW");
        if (wmSupports(c, "_NET_MOVERESIZE_WINDOW")) {
            constexpr quint32 kStaticGravity = 10; // x, y are the client area's own
            constexpr quint32 kMoveX = 1U << 8, kMoveY = 1U << 9;
            // A preset is the user's direct action: the source a pager or a
            // tool names (2), not an application's (1).
            constexpr quint32 kSourceTool = 2U << 12;
            xcb_client_message_event_t event{};
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 32;
            event.window = static_cast<xcb_window_t>(window->winId());
            event.type = request;
            event.data.data32[0] = kStaticGravity | kMoveX | kMoveY | kSourceTool;
            event.data.data32[1] = static_cast<quint32>(pos.x());
            event.data.data32[2] = static_cast<quint32>(pos.y());
            xcb_send_event(c, 0, root,
                           XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT |
                               XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char*>(&event));
            xcb_flush(c);
            return true;
        }
        window->setGeometry(QRect(pos, window->size()));
        xcb_flush(c);
        return g_watcher != nullptr;
    }
#endif
    window->setGeometry(QRect(pos, window->size()));
    return false;
}

ConfigureNotes configureNotes(const QWidget* window) {
#if defined(VISTRUM_HAVE_XCB)
    if (g_watcher)
        return g_watcher->configures.value(static_cast<xcb_window_t>(window->internalWinId()));
#endif
    Q_UNUSED(window);
    return {};
}

void setFrameChangedCallback(std::function<void(quintptr)> callback) {
    g_frameChanged = std::move(callback);
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    if (done())
        return true;
    QDeadlineTimer deadline(limit, Qt::PreciseTimer);
    // The timer only wakes the loop at the deadline; nothing polls. It may
    // fire a little before the deadline (a coarse timer does by design):
    // then it is started again for the rest, or the loop would sleep until
    // some unrelated event came.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    g_inputHeld = true;
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        if (!wake.isActive())
            wake.start(std::max<qint64>(1, deadline.remainingTime()));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void setTitle(const QWidget* window, const QString& title) {
#if defined(VISTRUM_HAVE_XCB)
    if (xcb_connection_t* c = connection()) {
        const auto id = static_cast<xcb_window_t>(window->winId());
        const QByteArray utf8 = title.toUtf8();
        const QByteArray latin1 = title.toLatin1();
        const xcb_atom_t utf8String = atom(c, "UTF8_STRING");
        for (const char* name : {"_NET_WM_NAME", "_NET_WM_ICON_NAME"})
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, atom(c, name), utf8String, 8,
                                static_cast<uint32_t>(utf8.size()), utf8.constData());
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            static_cast<uint32_t>(latin1.size()), latin1.constData());
        xcb_flush(c);
    }
#else
    Q_UNUSED(window);
    Q_UNUSED(title);
#endif
}

void skipTaskbar(const QWidget* window) {
#if defined(VISTRUM_HAVE_XCB)
    if (xcb_connection_t* c = connection()) {
        const auto id = static_cast<xcb_window_t>(window->winId());
        // Read by the window manager when the window is mapped.
        const std::array<xcb_atom_t, 2> states{atom(c, "_NET_WM_STATE_SKIP_TASKBAR"),
                                               atom(c, "_NET_WM_STATE_SKIP_PAGER")};
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM,
                            32, static_cast<uint32_t>(states.size()), states.data());
        xcb_flush(c);
    }
#else
    Q_UNUSED(window);
#endif
}

void processEventsExceptInput() {
    g_inputHeld = true;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void releaseHeldInput() {
    if (!g_inputHeld)
        return;
    g_inputHeld = false;
    if (QAbstractEventDispatcher* dispatcher = QCoreApplication::eventDispatcher())
        dispatcher->wakeUp();
}

void flush() {
#if defined(VISTRUM_HAVE_XCB)
    if (xcb_connection_t* c = connection())
        xcb_flush(c);
#endif
}

} // namespace forms::ws
