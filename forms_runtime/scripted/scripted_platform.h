#pragma once
// A platform for tests: windows that exist only in memory, a screen of any
// size and DPI, and a window manager that plays a script (window_manager.h).
// Time is virtual: a request waits by running the window manager's answers
// due within its bound, at once, and a test lets time pass with advance().
// Needs neither a display nor any toolkit.

#include "backend.h"
#include "window_manager.h"

#include <functional>
#include <map>
#include <vector>

namespace forms::scripted {

class ScriptedWindow;

class ScriptedPlatform final : public Platform {
public:
    std::unique_ptr<WindowPeer> createWindow(Form& form, const WindowSpec& layout) override;
    // The monitors of the script, or else one, the screen.
    std::vector<PixelRect> monitors() const override;
    // The whole screen.
    PixelSize screenSize() const { return m_screen; }
    double logicalDpiX() const override { return m_dpi; }
    double logicalDpiY() const override { return m_dpi; }
    void showError(const RuntimeError& error) override;
    void quit(int status) override;
    void handlersDone() override {}

    // A fresh screen (1024 x 768 at 96 DPI), window manager and clock.
    void reset();

    WindowManagerScript& script() { return m_script; }
    void setScreen(PixelSize size) { m_screen = size; }
    void setDpi(double dpi) { m_dpi = dpi; }

    // Virtual time. schedule() runs the event after the delay; advance()
    // lets time pass, running every event due meanwhile; settle() runs all
    // that are pending.
    Millis now() const { return m_now; }
    void schedule(Millis delay, std::function<void()> event);
    void advance(Millis span);
    void settle();
    // Runs the events due within the limit until done() holds; returns
    // done(). Time stops at the event that satisfied it, or at the limit.
    bool waitUntil(const std::function<bool()>& done, Millis limit) override;

    // What the user does while the next modal window is shown; a modal loop
    // that these leave running is ended and counted as abandoned.
    void whileModal(std::function<void()> actions) { m_modalActions.push_back(std::move(actions)); }
    int abandonedModalLoops() const { return m_abandoned; }
    bool runModal(const std::function<bool()>& done);

    // What reached the user and how the program ended.
    const std::vector<String>& errorsShown() const { return m_errors; }
    std::optional<int> quitStatus() const { return m_quitStatus; }

    std::vector<ScriptedWindow*> windows() const { return m_windows; }
    void forget(ScriptedWindow* window) { std::erase(m_windows, window); }

private:
    struct Event {
        Millis at;
        long long order;
        std::function<void()> run;
    };
    bool runNextDue(Millis until);

    PixelSize m_screen{1024, 768};
    double m_dpi = 96;
    WindowManagerScript m_script;
    Millis m_now{0};
    long long m_scheduled = 0;
    std::vector<Event> m_events;
    std::vector<std::function<void()>> m_modalActions;
    int m_abandoned = 0;
    std::vector<String> m_errors;
    std::optional<int> m_quitStatus;
    std::vector<ScriptedWindow*> m_windows;
};

ScriptedPlatform& scriptedPlatform();

} // namespace forms::scripted
