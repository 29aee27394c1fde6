#include "scripted_platform.h"

#include "runtime_error.h"
#include "scripted_window.h"
#include "window_request.h"

#include <algorithm>

namespace forms {

Platform& platform() {
    return scripted::scriptedPlatform();
}

namespace scripted {

ScriptedPlatform& scriptedPlatform() {
    static ScriptedPlatform platform;
    return platform;
}

std::unique_ptr<WindowPeer> ScriptedPlatform::createWindow(Form& form, const WindowSpec& layout) {
    auto window = std::make_unique<ScriptedWindow>(form, layout, *this);
    m_windows.push_back(window.get());
    return window;
}

std::vector<PixelRect> ScriptedPlatform::monitors() const {
    std::vector<PixelRect> areas;
    for (const auto& m : m_script.monitors)
        areas.push_back(m.area);
    if (areas.empty())
        areas.push_back({0, 0, m_screen.width, m_screen.height});
    return areas;
}

void ScriptedPlatform::showError(const RuntimeError& error) {
    m_errors.push_back(reportText(error));
}

void ScriptedPlatform::quit(int status) {
    if (!m_quitStatus)
        m_quitStatus = status;
}

void ScriptedPlatform::reset() {
    m_screen = {1024, 768};
    m_dpi = 96;
    m_script = {};
    windowManagerRecord() = {};
    m_now = Millis(0);
    m_events.clear();
    m_modalActions.clear();
    m_abandoned = 0;
    m_errors.clear();
    m_quitStatus.reset();
}

void ScriptedPlatform::schedule(Millis delay, std::function<void()> event) {
    m_events.push_back({m_now + delay, m_scheduled++, std::move(event)});
}

// Events run in the order of their time, and of their scheduling within one
// time; an event may schedule more, or wait itself.
bool ScriptedPlatform::runNextDue(Millis until) {
    const auto next = std::min_element(m_events.begin(), m_events.end(), [](auto& a, auto& b) {
        return a.at != b.at ? a.at < b.at : a.order < b.order;
    });
    if (next == m_events.end() || next->at > until)
        return false;
    const Event event = std::move(*next);
    m_events.erase(next);
    m_now = std::max(m_now, event.at);
    event.run();
    return true;
}

void ScriptedPlatform::advance(Millis span) {
    const Millis until = m_now + span;
    while (runNextDue(until)) {
    }
    m_now = std::max(m_now, until);
}

void ScriptedPlatform::settle() {
    while (runNextDue(Millis::max())) {
    }
}

bool ScriptedPlatform::waitUntil(const std::function<bool()>& done, Millis limit) {
    const Millis until = m_now + limit;
    while (!done()) {
        if (!runNextDue(until)) {
            m_now = std::max(m_now, until);
            return done();
        }
    }
    return true;
}

bool ScriptedPlatform::runModal(const std::function<bool()>& done) {
    while (!done() && !m_quitStatus && !m_modalActions.empty()) {
        const std::function<void()> actions = std::move(m_modalActions.front());
        m_modalActions.erase(m_modalActions.begin());
        actions();
    }
    if (done() || m_quitStatus)
        return true;
    ++m_abandoned;
    return false;
}

} // namespace scripted
} // namespace forms
