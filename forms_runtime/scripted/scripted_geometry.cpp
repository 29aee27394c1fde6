// The scripted window's geometry: a request goes to the window manager,
// which answers after its answer time (or never), as its script says; the
// window is what the answers say.

#include "form.h"
#include "scripted_platform.h"
#include "scripted_window.h"

#include <algorithm>
#include <utility>

namespace forms::scripted {

PixelRect ScriptedWindow::outerRect() const {
    const PixelMargins f = frame();
    return {m_client.x - f.left, m_client.y - f.top, m_client.width + f.left + f.right,
            m_client.height + f.top + f.bottom};
}

PixelSize ScriptedWindow::clientSize() const {
    return {m_client.width, std::max(0, m_client.height - m_menuHeight)};
}

PixelSize ScriptedWindow::outerFor(PixelSize client) const {
    const PixelMargins f = frame();
    return {client.width + f.left + f.right, client.height + m_menuHeight + f.top + f.bottom};
}

PixelMargins ScriptedWindow::frame() const {
    return m_frameKnown ? m_frame : PixelMargins{};
}

bool ScriptedWindow::showsMinimised() const {
    return m_platform.script().mapsMinimised;
}

// The window manager's answer, as a configure notification carries it.
void ScriptedWindow::placed(PixelRect client) {
    const bool resized = client.size() != m_client.size();
    m_client = client;
    ++m_answers;
    m_resizes += resized ? 1 : 0;
    noteShown();
    if (resized)
        m_form.platformResized();
    followMonitor();
}

// Every rectangle the user could see the window at, in order.
void ScriptedWindow::noteShown() {
    if (!m_mapped || !m_visible || m_minimised)
        return;
    const PixelRect now = outerRect();
    if (m_shownRects.empty() || m_shownRects.back() != now)
        m_shownRects.push_back(now);
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
    noteShown();
    m_form.platformDpiChanged(dpi, outer.size(), PixelPoint{outer.x, outer.y});
}

// A new frame changes the outer size although the client stayed.
void ScriptedWindow::framed(PixelMargins frame) {
    if (m_frameKnown && frame == m_frame)
        return;
    m_frame = frame;
    m_frameKnown = true;
    noteShown();
    if (m_visible)
        m_form.platformResized();
}

// The client size (menu bar included) the window manager grants: a size
// held is granted where the script says it is seen; one that cuts a window to
// the screen once the program no longer holds its size cuts a request made
// without holding it at once.
PixelSize ScriptedWindow::granted(PixelSize asked, SizeHold hold) const {
    WindowManagerScript now = m_platform.script();
    using Held = WindowManagerScript::HeldSize;
    const bool seen = now.heldSize == Held::Granted || now.cutsToScreenAfter.has_value()
                          ? hold != SizeHold::None
                          : now.heldSize == Held::GrantedIfFirst && hold == SizeHold::Before;
    if (seen)
        return asked;
    if (now.cutsToScreenAfter)
        now.sizes = SizeRule::ClampToScreen;
    return grantedClient(now, asked, m_client.size(), m_frame, m_platform.screenSize());
}

// A window manager that cuts a window to the screen also keeps it on the
// screen: the corner of a window of that client size moved as little as
// needed.
PixelPoint ScriptedWindow::keptOnScreen(PixelPoint outer, PixelSize client) const {
    const PixelSize screen = m_platform.screenSize();
    const int width = client.width + m_frame.left + m_frame.right;
    const int height = client.height + m_frame.top + m_frame.bottom;
    return {std::clamp(outer.x, 0, std::max(0, screen.width - width)),
            std::clamp(outer.y, 0, std::max(0, screen.height - height))};
}

// Sizes the window to a size it sees held, moved onto the screen: a step of
// the window manager's own.
void ScriptedWindow::growToHeld(PixelSize client) {
    const PixelPoint at =
        keptOnScreen({m_client.x - m_frame.left, m_client.y - m_frame.top}, client);
    placed({at.x + m_frame.left, at.y + m_frame.top, client.width, client.height});
}

// The window manager answers after its answer time, or never; the place
// and the size asked for come in one answer, each as its rules say. A place
// asked for that is the window's own is no move.
bool ScriptedWindow::requestOuterRect(PixelRect outer, SizeHold hold) {
    const PixelMargins f = frame();
    const PixelRect client{outer.x + f.left, outer.y + f.top,
                           std::max(1, outer.width - f.left - f.right),
                           std::max(1, outer.height - f.top - f.bottom)};
    if (m_minimised) {
        m_client.width = client.width; // for when it is restored
        m_client.height = client.height;
        return false;
    }
    m_sizeHeld = hold != SizeHold::None;
    if (!m_visible) {
        m_client = client; // where and how large it is mapped
        return false;
    }
    ++m_requests;
    const bool moving = client.x != m_client.x || client.y != m_client.y;
    if (moving)
        ++m_moveRequests;
    const WindowManagerScript& script = m_platform.script();
    if (!script.answerAfter)
        return true;
    const Millis after = *script.answerAfter;
    if (hold == SizeHold::Before && script.appliesHeldSizeAtOnce)
        m_platform.schedule(after, [this, client] { growToHeld(client.size()); });
    m_platform.schedule(after, [this, outer, client, moving, hold] {
        const WindowManagerScript& now = m_platform.script();
        const PixelSize size = granted(client.size(), hold);
        PixelPoint at = moving ? placedOuter(now, {outer.x, outer.y}, m_frame)
                               : PixelPoint{m_client.x - m_frame.left, m_client.y - m_frame.top};
        if (size != client.size())
            at = keptOnScreen(at, size);
        placed({at.x + m_frame.left, at.y + m_frame.top, size.width,
                size.height + (moving ? now.growsOnMove : 0)});
        // One that looks at a size held only after the request grows the
        // window to it then.
        if (hold != SizeHold::After || size == client.size() ||
            now.heldSize != WindowManagerScript::HeldSize::GrantedIfFirst)
            return;
        if (!now.growsToHeldWhereAsked) {
            growToHeld(client.size());
            return;
        }
        m_platform.schedule(*now.answerAfter, [this, outer, client] {
            const PixelPoint p = placedOuter(m_platform.script(), {outer.x, outer.y}, m_frame);
            placed({p.x + m_frame.left, p.y + m_frame.top, client.width, client.height});
        });
    });
    return true;
}

// A window manager that honoured the size only while it was held cuts the
// window to the screen a while after it goes.
void ScriptedWindow::releaseSize() {
    const auto cutAfter = m_platform.script().cutsToScreenAfter;
    if (!std::exchange(m_sizeHeld, false) || !cutAfter)
        return;
    m_platform.schedule(*cutAfter, [this] {
        const PixelSize fits = granted(m_client.size(), SizeHold::None);
        if (fits == m_client.size())
            return;
        const PixelPoint at =
            keptOnScreen({m_client.x - m_frame.left, m_client.y - m_frame.top}, fits);
        placed({at.x + m_frame.left, at.y + m_frame.top, fits.width, fits.height});
    });
}

// A request that changes nothing, whose answer comes after everything the
// window manager did before it.
bool ScriptedWindow::roundTrip(Millis limit) {
    const unsigned long seen = m_roundTrips;
    if (const auto after = m_platform.script().answerAfter)
        m_platform.schedule(*after, [this] { ++m_roundTrips; });
    return m_platform.waitUntil([&] { return m_roundTrips > seen; }, limit);
}

void ScriptedWindow::restoreIfMaximised(Millis limit) {
    if (!m_maximised)
        return;
    const unsigned long seen = m_answers;
    if (const auto after = m_platform.script().answerAfter)
        m_platform.schedule(*after, [this] { restore(); });
    m_platform.waitUntil([&] { return m_answers > seen; }, limit);
}

} // namespace forms::scripted
