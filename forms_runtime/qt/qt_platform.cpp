#include "qt_platform.h"

#include "form.h"
#include "qt_look.h"
#include "qt_text.h"
#include "qt_window.h"
#include "runtime.h"
#include "runtime_error.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QScreen>

namespace forms {

Platform& platform() {
    static qt::QtPlatform instance;
    return instance;
}

namespace qt {

namespace {

QScreen* primaryScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        raiseError(ErrorCode::WindowSystem, "no screen");
    return screen;
}

} // namespace

// The window system tells of a new frame from inside Qt's native event
// filter; the windows look at it (and may raise Resize) only once Qt is back
// in its event loop.
QtPlatform::QtPlatform()
    : m_windowSystem(ws::makeWindowSystem([](quintptr) {
        QMetaObject::invokeMethod(
            qApp,
            [] {
                for (Form* form : Runtime::get().forms())
                    static_cast<QtWindow&>(form->peer()).onFrameChanged();
            },
            Qt::QueuedConnection);
    })) {
    installFontSubstitutes();
}

std::unique_ptr<WindowPeer> QtPlatform::createWindow(Form& form, const WindowSpec& layout) {
    return std::make_unique<QtWindow>(form, layout, *this);
}

// Qt's screens are the X server's RandR monitors (one for the whole
// screen where it has none), in device pixels with Qt's own scaling off.
std::vector<PixelRect> QtPlatform::monitors() const {
    std::vector<PixelRect> areas;
    const auto add = [&areas](const QScreen* screen) {
        const QRect g = screen->geometry();
        areas.push_back({g.x(), g.y(), g.width(), g.height()});
    };
    const QScreen* primary = primaryScreen();
    add(primary);
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != primary)
            add(screen);
    return areas;
}

double QtPlatform::logicalDpiX() const {
    return primaryScreen()->logicalDotsPerInchX();
}

double QtPlatform::logicalDpiY() const {
    return primaryScreen()->logicalDotsPerInchY();
}

bool QtPlatform::waitUntil(const std::function<bool()>& done, Millis limit) {
    return ws::waitUntil(done, limit);
}

void QtPlatform::showError(const RuntimeError& error) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(),
                    toQString(reportText(error)), QMessageBox::Ok);
    box.exec();
}

void QtPlatform::quit(int status) {
    for (QEventLoop* loop : m_loops)
        loop->exit(status);
    QCoreApplication::exit(status);
}

void QtPlatform::handlersDone() {
    ws::releaseHeldInput();
}

PixelMargins QtPlatform::lastFrame(BorderStyle border) const {
    const auto it = m_frames.find(border);
    if (it != m_frames.end())
        return it->second;
    // A window of another kind still has the window manager's borders.
    return m_frames.empty() ? PixelMargins{} : m_frames.begin()->second;
}

void QtPlatform::rememberFrame(BorderStyle border, const PixelMargins& frame) {
    m_frames[border] = frame;
}

} // namespace qt
} // namespace forms
