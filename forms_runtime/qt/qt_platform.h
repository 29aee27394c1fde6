#pragma once
// The Qt platform: windows, the screen, error reports and the event loops.

#include "backend.h"
#include "window_system.h"

#include <map>
#include <memory>
#include <optional>
#include <vector>

class QEventLoop;

namespace forms::qt {

class QtPlatform final : public Platform {
public:
    QtPlatform();

    std::unique_ptr<WindowPeer> createWindow(Form& form, const WindowSpec& layout) override;
    std::vector<PixelRect> monitors() const override;
    double logicalDpiX() const override;
    double logicalDpiY() const override;
    bool waitUntil(const std::function<bool()>& done, Millis limit) override;
    void showError(const RuntimeError& error) override;
    void quit(int status) override;
    void handlersDone() override;

    ws::WindowSystem& windowSystem() const { return *m_windowSystem; }

    // The frame a window manager last gave a window of this kind: the best
    // guess for one it has not framed yet (a dialog's frame differs from a
    // main window's).
    PixelMargins lastFrame(BorderStyle border) const;
    void rememberFrame(BorderStyle border, const PixelMargins& frame);

    // The modal loops running, innermost last; quit ends them all.
    void pushLoop(QEventLoop* loop) { m_loops.push_back(loop); }
    void popLoop(QEventLoop* loop) { std::erase(m_loops, loop); }

private:
    std::unique_ptr<ws::WindowSystem> m_windowSystem;
    std::map<BorderStyle, PixelMargins> m_frames;
    std::vector<QEventLoop*> m_loops;
};

} // namespace forms::qt
