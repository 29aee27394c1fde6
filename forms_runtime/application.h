#pragma once
// The program as the platform sees it: made first in main(), before any
// window, and asked to run the event loop once the main window is shown.

#include "text.h"

#include <memory>

namespace forms {

struct AppInfo {
    const char* name;    // "Vistrum": the title of error reports
    const char* version; // "2.1.0.0"
    const char* appId;   // reverse-DNS id, for desktops that group windows by it
    const char* icon;    // the icon's base name among the program's resources
};

class Application {
public:
    Application(int& argc, char** argv, const AppInfo& info);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Why the program cannot run here, in one line naming what it tried
    // (no display to open); empty when it can.
    const String& problem() const { return m_problem; }

    // Runs the event loop until the program ends; returns its exit status.
    int exec();

private:
    struct Native;
    String m_problem;
    std::unique_ptr<Native> m_native;
};

} // namespace forms
