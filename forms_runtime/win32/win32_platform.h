#pragma once
// The Win32 platform: the window class, the message loop that every window
// shares (modal ones included), the program's end and the error box.

#include "backend.h"
#include "win32_api.h"

#include <functional>
#include <optional>
#include <unordered_map>

namespace forms::win32 {

class Win32Window;

class Win32Platform final : public Platform {
public:
    Win32Platform();
    ~Win32Platform() override;

    std::unique_ptr<WindowPeer> createWindow(Form& form, const WindowSpec& layout) override;
    std::vector<PixelRect> monitors() const override;
    double logicalDpiX() const override;
    double logicalDpiY() const override;
    void showError(const RuntimeError& error) override;
    void quit(int status) override;
    // Requests are answered inside the calls that make them, so no input is
    // ever held back for the loop to take up again.
    void handlersDone() override {}
    bool waitUntil(const std::function<bool()>& done, Millis) override { return done(); }

    // Runs the message loop until done() holds or the program ends.
    void runLoop(const std::function<bool()>& done);
    int exitStatus() const { return m_status; }

    void setAppName(const String& name) { m_appName = name; }
    // The icons of resource 1, for the windows' title bars and the task bar.
    void loadIcons();

    // The window classes of top-level windows, registered on first use: one
    // with the program's icon, one without for dialogs.
    const wchar_t* windowClass(bool withIcon);
    // A window that is never shown: windows kept out of the task bar are
    // owned by it.
    HWND hiddenOwner();

    // How the launcher asks the program's first window to be shown (a
    // shortcut set to run normally, minimised or maximised), once; nothing
    // when it asks for nothing, and after the first time.
    std::optional<int> takeStartupShowCommand();
    // True while the first window is still to be shown minimised.
    bool startupShowsMinimised() const;

    void registerWindow(HWND hwnd, Win32Window* window) { m_windows[hwnd] = window; }
    void unregisterWindow(HWND hwnd) { m_windows.erase(hwnd); }

private:
    void dispatch(MSG& msg);

    bool m_quitting = false;
    int m_status = 0;
    String m_appName = "Error";
    HICON m_bigIcon = nullptr;
    HICON m_smallIcon = nullptr;
    bool m_classRegistered[2] = {false, false};
    HWND m_hiddenOwner = nullptr;
    bool m_startupShown = false;
    std::unordered_map<HWND, Win32Window*> m_windows;
};

Win32Platform& win32Platform();

// The DPI of the monitor the window stands on; the system's DPI where the
// system cannot tell (before Windows 10, version 1607).
int windowDpi(HWND hwnd);

} // namespace forms::win32
