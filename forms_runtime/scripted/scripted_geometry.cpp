// The scripted window's geometry: requests go to the window manager, which
// answers after its answer time (or never); a request waits for the answer
// as long as a real backend would, and the window is what the answer says.

#include "form.h"
#include "scripted_platform.h"
#include "scripted_window.h"

#include <algorithm>

namespace forms::scripted {

PixelRect ScriptedWindow::outerRect() const {
    const PixelMargins f = m_frameKnown ? m_frame : PixelMargins{};
    return {m_client.x - f.left, m_client.y - f.top, m_client.width + f.left + f.right,
            m_client.height + f.top + f.bottom};
}

PixelSize ScriptedWindow::clientSize() const {
    return {m_client.width, std::max(0, m_client.height - m_menuHeight)};
}

// The window manager's answer, as a configure notification carries it.
void ScriptedWindow::placed(PixelRect client) {
    const bool resized = client.size() != m_client.size();
    m_client = client;
    ++m_answers;
    if (resized)
        m_form.platformResized();
    followMonitor();
}

// On a monitor of another scale the frame is scaled to it at once; the
// window is told, with the outer size it had and its corner as the place
// suggested, and the rest is the layer's to do.
void ScriptedWindow::followMonitor() {
    const PixelRect outer = outerRect();
    const int dpi =
        dpiAt(m_platform.script(), {outer.x + outer.width / 2, outer.y + outer.height / 2});
    if (dpi == 0 || m_dpi == 0 || dpi == m_dpi)
        return;
    m_dpi = dpi;
    m_frame = frameFor();
    m_form.platformDpiChanged(dpi, outer.size(), PixelPoint{outer.x, outer.y});
}

// A new frame changes the outer size although the client stayed.
void ScriptedWindow::framed(PixelMargins frame) {
    if (m_frameKnown && frame == m_frame)
        return;
    m_frame = frame;
    m_frameKnown = true;
    if (m_visible)
        m_form.platformResized();
}

// Hands the window manager a request: the answer comes after the script's
// answer time, or never, and the request waits for it as long as a real
// backend would. Returns whether it came.
bool ScriptedWindow::ask(std::function<void()> answer) {
    const unsigned long seen = m_answers;
    if (const auto after = m_platform.script().answerAfter)
        m_platform.schedule(*after, std::move(answer));
    return m_platform.waitUntil([&] { return m_answers > seen; }, kAnswerTimeout);
}

void ScriptedWindow::askForClientSize(PixelSize client) {
    const bool answered = ask([this, client] {
        const WindowManagerScript& now = m_platform.script();
        const PixelSize screen = m_platform.screenSize();
        const PixelSize granted = grantedClient(now, client, m_client.size(), m_frame, screen);
        placed({m_client.x, m_client.y, granted.width, granted.height});
        if (now.cutsToScreenAfter)
            m_platform.schedule(*now.cutsToScreenAfter, [this, screen] {
                WindowManagerScript cut = m_platform.script();
                cut.sizes = SizeRule::ClampToScreen;
                const PixelSize fits =
                    grantedClient(cut, m_client.size(), m_client.size(), m_frame, screen);
                placed({m_client.x, m_client.y, fits.width, fits.height});
            });
    });
    if (answered)
        roundTrip();
}

// A request that changes nothing, whose answer comes after everything the
// window manager did before it: what it did in reply to the last request
// (cutting a size it first granted) is in once this is answered.
void ScriptedWindow::roundTrip() {
    const unsigned long seen = m_roundTrips;
    if (const auto after = m_platform.script().answerAfter)
        m_platform.schedule(*after, [this] { ++m_roundTrips; });
    m_platform.waitUntil([&] { return m_roundTrips > seen; }, kAnswerTimeout);
}

void ScriptedWindow::requestOuterSize(PixelSize wanted) {
    const auto clientFor = [&](PixelMargins f) {
        return PixelSize{std::max(1, wanted.width - f.left - f.right),
                         std::max(1, wanted.height - f.top - f.bottom)};
    };
    if (!m_visible || m_minimised) {
        // Nothing to ask yet: the size is taken for later.
        const PixelSize client = clientFor(m_frame);
        m_client.width = client.width;
        m_client.height = client.height;
        return;
    }
    // The frame may change while the request runs; then ask again with it.
    for (int attempt = 0; attempt < kRequestAttempts; ++attempt) {
        const PixelMargins frame = m_frame;
        const PixelSize client = clientFor(frame);
        if (client != m_client.size())
            askForClientSize(client);
        if (m_frame == frame)
            break;
    }
}

void ScriptedWindow::requestOuterPosition(std::optional<int> x, std::optional<int> y) {
    const PixelRect outer = outerRect();
    const PixelPoint wanted{x.value_or(outer.x), y.value_or(outer.y)};
    if (!m_visible) {
        m_client.x = wanted.x + m_frame.left;
        m_client.y = wanted.y + m_frame.top;
        return;
    }
    if (wanted == PixelPoint{outer.x, outer.y})
        return;
    ++m_moveRequests;
    ask([this, wanted] {
        const WindowManagerScript& now = m_platform.script();
        const PixelPoint at = placedOuter(now, wanted, m_frame);
        placed({at.x + m_frame.left, at.y + m_frame.top, m_client.width,
                m_client.height + now.growsOnMove});
    });
}

void ScriptedWindow::restoreIfMaximised() {
    if (!m_maximised)
        return;
    ask([this] { restore(); });
}

} // namespace forms::scripted
