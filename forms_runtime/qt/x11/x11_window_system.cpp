// The window system on X11: frames from _NET_FRAME_EXTENTS, answers from
// the configure notifications the watcher records, and the EWMH requests
// that window managers take from a tool rather than from Qt's own calls.

#include "window_system.h"
#include "x11_connection.h"
#include "x11_frame_probe.h"
#include "x11_watcher.h"

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>
#include <array>

namespace forms::ws {

namespace {

using namespace forms::x11;

xcb_window_t idOf(const QWidget* window) {
    return static_cast<xcb_window_t>(window->internalWinId());
}

class X11WindowSystem final : public WindowSystem {
public:
    X11WindowSystem(xcb_connection_t* c, std::function<void(quintptr)> frameChanged)
        : m_c(c)
        , m_watcher(std::move(frameChanged)) {
        QCoreApplication::instance()->installNativeEventFilter(&m_watcher);
    }
    ~X11WindowSystem() override {
        // The application, if it is still there, must not call a watcher
        // that has gone.
        if (QCoreApplication* app = QCoreApplication::instance())
            app->removeNativeEventFilter(&m_watcher);
    }
    X11WindowSystem(const X11WindowSystem&) = delete;
    X11WindowSystem& operator=(const X11WindowSystem&) = delete;

    bool hasWindowManager() const override { return windowManagerRuns(m_c); }

    bool reportsFrames() const override { return windowManagerSupports(m_c, "_NET_FRAME_EXTENTS"); }

    std::optional<PixelMargins> frameExtents(const QWidget* window) const override {
        const xcb_window_t id = idOf(window);
        if (id == 0)
            return std::nullopt;
        if (auto cached = m_watcher.cachedFrame(id))
            return cached;
        if (m_watcher.unframed(id))
            return PixelMargins{};
        const std::optional<PixelMargins> frame = toldFrame(m_c, id);
        if (!frame) {
            // A window manager that frames windows without saying how (an
            // older pekwm): the frame window around the client tells,
            // which Qt measures. One that says how may frame the window
            // first and say so a moment later.
            if (!m_watcher.framed(id) || reportsFrames())
                return std::nullopt;
            return qtFrame(window);
        }
        m_watcher.cacheFrame(id, *frame);
        return frame;
    }

    bool maximisedByWindowManager(const QWidget* window) const override {
        const xcb_window_t id = idOf(window);
        if (id == 0)
            return false;
        const auto state = property32(m_c, id, atom(m_c, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32);
        return state.contains(atom(m_c, "_NET_WM_STATE_MAXIMIZED_VERT")) ||
               state.contains(atom(m_c, "_NET_WM_STATE_MAXIMIZED_HORZ"));
    }

    // Where the window manager answers _NET_REQUEST_FRAME_EXTENTS it says
    // on the window itself, at once. Where it does not (KWin does not offer
    // it, fluxbox offers it but does not answer), a window like it mapped
    // minimised tells. One that reports no frames at all but minimises
    // windows (an older pekwm) frames the minimised window all the same, and
    // its frame window tells. A tiling one, which would show the probe, is
    // not probed.
    std::optional<PixelMargins> predictFrame(const QWidget* window) override {
        const auto id = static_cast<xcb_window_t>(window->winId());
        if (!reportsFrames()) {
            if (!windowManagerSupports(m_c, "_NET_WM_ACTION_MINIMIZE"))
                return std::nullopt;
            return probeFrame(m_c, id, kAnswerTimeout, FrameTold::ByFrameWindow);
        }
        if (windowManagerSupports(m_c, "_NET_REQUEST_FRAME_EXTENTS")) {
            sendToWindowManager(m_c, id, "_NET_REQUEST_FRAME_EXTENTS", {0, 0, 0, 0, 0});
            if (waitUntil([&] { return frameExtents(window).has_value(); },
                          std::chrono::milliseconds(100)))
                return frameExtents(window);
        }
        return probeFrame(m_c, id, kAnswerTimeout);
    }

    bool reportsAnswers() const override { return true; }

    ConfigureNotes configureNotes(const QWidget* window) const override {
        return m_watcher.configureNotes(idOf(window));
    }

    // One request for the place and the size together. Where the window
    // manager takes EWMH requests it goes as one of those, marked as the
    // user's own action: some window managers keep a window that an
    // application moves within the screen, but let a tool move it partly off
    // it. It names the client area's place (static gravity: openbox
    // misplaces a window resized after a north-west move) and carries all
    // four values (fluxbox fills a value left out from its frame's). A window
    // manager without them gets a configure request with the outer corner,
    // which one that reports no frame (an older pekwm) takes as the frame's
    // place; without a window manager the server takes the client area's
    // place and size as they are.
    bool requestGeometry(QWidget* window, QRect client, QPoint outer) override {
        const auto id = static_cast<xcb_window_t>(window->winId());
        const bool managed = windowManagerRuns(m_c);
        if (!managed || !windowManagerSupports(m_c, "_NET_MOVERESIZE_WINDOW")) {
            const QPoint at = managed ? outer : client.topLeft();
            const std::array<uint32_t, 4> values{
                static_cast<uint32_t>(at.x()), static_cast<uint32_t>(at.y()),
                static_cast<uint32_t>(client.width()), static_cast<uint32_t>(client.height())};
            xcb_configure_window(m_c, id,
                                 XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y |
                                     XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                                 values.data());
            xcb_flush(m_c);
            return true;
        }
        constexpr quint32 kStaticGravity = 10;
        constexpr quint32 kAllFour = 0xFU << 8;   // x, y, width and height
        constexpr quint32 kSourceTool = 2U << 12; // a pager's or a tool's, not an application's
        sendToWindowManager(m_c, id, "_NET_MOVERESIZE_WINDOW",
                            {kStaticGravity | kAllFour | kSourceTool,
                             static_cast<quint32>(client.x()), static_cast<quint32>(client.y()),
                             static_cast<quint32>(client.width()),
                             static_cast<quint32>(client.height())});
        return true;
    }

    // The window manager answers a request that changes nothing with a
    // synthetic ConfigureNotify, after all it was sent before. The notice
    // answering the last request, which the window manager sends just after
    // the real one, may still be on its way and pass for that answer; so
    // two such requests are made, the second once the first is answered:
    // its answer comes after the first's, which comes after all before.
    bool roundTrip(QWidget* window, std::chrono::milliseconds limit) override {
        const xcb_window_t id = idOf(window);
        for (int request = 0; request < 2; ++request) {
            const quint64 seen = m_watcher.configureNotes(id).synthetic;
            const uint32_t borderWidth = 0; // as it is
            const quint32 sent =
                xcb_configure_window(m_c, id, XCB_CONFIG_WINDOW_BORDER_WIDTH, &borderWidth)
                    .sequence;
            xcb_flush(m_c);
            const bool answered = waitUntil(
                [&] {
                    const ConfigureNotes notes = m_watcher.configureNotes(id);
                    return notes.synthetic > seen &&
                           static_cast<qint32>(notes.lastSynthetic - sent) >= 0;
                },
                limit);
            if (!answered)
                return false;
        }
        return true;
    }

    void setTitle(const QWidget* window, const QString& title) override {
        const auto id = static_cast<xcb_window_t>(window->winId());
        const QByteArray utf8 = title.toUtf8();
        const QByteArray latin1 = title.toLatin1();
        const xcb_atom_t utf8String = atom(m_c, "UTF8_STRING");
        for (const char* name : {"_NET_WM_NAME", "_NET_WM_ICON_NAME"})
            xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, id, atom(m_c, name), utf8String, 8,
                                static_cast<uint32_t>(utf8.size()), utf8.constData());
        xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            static_cast<uint32_t>(latin1.size()), latin1.constData());
        xcb_flush(m_c);
    }

    void skipTaskbar(const QWidget* window) override {
        const auto id = static_cast<xcb_window_t>(window->winId());
        // Read by the window manager when the window is mapped.
        const std::array<xcb_atom_t, 2> states{atom(m_c, "_NET_WM_STATE_SKIP_TASKBAR"),
                                               atom(m_c, "_NET_WM_STATE_SKIP_PAGER")};
        xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, id, atom(m_c, "_NET_WM_STATE"),
                            XCB_ATOM_ATOM, 32, static_cast<uint32_t>(states.size()), states.data());
        xcb_flush(m_c);
    }

    void flush() override { xcb_flush(m_c); }
    void beginAtOnce() override { xcb_grab_server(m_c); }
    void endAtOnce() override {
        xcb_ungrab_server(m_c);
        xcb_flush(m_c);
    }

private:
    xcb_connection_t* m_c;
    mutable Watcher m_watcher; // its frame cache fills as frames are read
};

} // namespace

std::unique_ptr<WindowSystem> makeX11WindowSystem(std::function<void(quintptr)> frameChanged) {
    xcb_connection_t* c = connection();
    if (!c)
        return nullptr;
    return std::make_unique<X11WindowSystem>(c, std::move(frameChanged));
}

QString displayProblem() {
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
    return {};
}

} // namespace forms::ws
