#include "application.h"

#include "qt_text.h"
#include "window_system.h"

#include <QApplication>
#include <QIcon>
#include <optional>

namespace forms {

namespace {

void prepareEnvironment() {
    // One Qt pixel must be one device pixel, or a preset would not measure
    // its size in real pixels at high DPI.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    // A Wayland client cannot place its own window; XWayland can.
    const bool wayland = qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
                         qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (wayland && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

} // namespace

struct Application::Native {
    std::optional<QApplication> app;
};

Application::Application(int& argc, char** argv, const AppInfo& info)
    : m_native(std::make_unique<Native>()) {
    prepareEnvironment();
    // Without a display Qt itself would abort; say why in one line instead.
    m_problem = qt::fromQString(ws::displayProblem());
    if (!m_problem.empty())
        return;
    m_native->app.emplace(argc, argv); // takes Qt's own options; any others are ignored
    QApplication::setApplicationName(QString::fromUtf8(info.name));
    QApplication::setApplicationVersion(QString::fromUtf8(info.version));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(info.appId));
    // The program's pictures are Qt resources: ":/icons/<name>-<size>.png".
    QIcon icon;
    for (const int size : {16, 32})
        icon.addFile(
            QStringLiteral(":/icons/%1-%2.png").arg(QString::fromUtf8(info.icon)).arg(size));
    QApplication::setWindowIcon(icon);
}

Application::~Application() = default;

int Application::exec() {
    return QApplication::exec();
}

} // namespace forms
