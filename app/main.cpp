// Start-up and shutdown: the main window is made from its layout and shown
// (Load, the first Resize, the first Activate); from then on the program is
// its event handlers, until Exit, the main window's close box or an error.

#include "app_icon.h"
#include "fonts.h"
#include "runtime.h"
#include "vistrum_version.h"
#include "vt_main.h"
#include "window_system.h"

#include <QApplication>
#include <cstdio>
#include <memory>

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

int main(int argc, char* argv[]) {
    prepareEnvironment();
    if (const QString problem = forms::ws::displayProblem(); !problem.isEmpty()) {
        std::fprintf(stderr, "vistrum: %s\n", qPrintable(problem));
        return 1;
    }
    QApplication app(argc, argv); // takes Qt's own options; any others are ignored
    QApplication::setApplicationName(QString::fromLatin1(vistrum::version::productName));
    QApplication::setApplicationVersion(QString::fromLatin1(vistrum::version::full));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(vistrum::version::appId));
    QApplication::setWindowIcon(vistrum::appIcon());
    forms::installFontSubstitutes();

    // Built as a handler is run, so that an error while the window is made
    // is reported and ends the program like any other.
    forms::Runtime& runtime = forms::Runtime::get();
    std::unique_ptr<vistrum::VtMain> vtMain;
    runtime.raise([&vtMain] { vtMain = std::make_unique<vistrum::VtMain>(); });
    if (!runtime.ended())
        vtMain->Show();
    if (runtime.ended())
        return runtime.exitStatus();
    return QApplication::exec();
}
