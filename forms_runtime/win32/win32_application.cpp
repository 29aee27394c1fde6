// The program as Windows sees it: made in main() before any window.

#include "application.h"
#include "win32_accessibility.h"
#include "win32_platform.h"

namespace forms {

// A Windows program has no display to fail to reach: problem() stays empty.
struct Application::Native {
    win32::AccessibilityServices accessibility;
};

Application::Application(int&, char**, const AppInfo& info)
    : m_native(std::make_unique<Native>()) {
    win32::Win32Platform& platform = win32::win32Platform(); // DPI aware from here on
    platform.setAppName(info.name);
    platform.loadIcons();
}

Application::~Application() = default;

int Application::exec() {
    win32::Win32Platform& platform = win32::win32Platform();
    platform.runLoop([] { return false; });
    return platform.exitStatus();
}

} // namespace forms
