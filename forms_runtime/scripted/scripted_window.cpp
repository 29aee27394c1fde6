// The scripted window's building, showing and modal loop.

#include "scripted_window.h"

#include "control.h"
#include "form.h"
#include "screen.h"
#include "scripted_controls.h"
#include "scripted_platform.h"

#include <algorithm>

namespace forms::scripted {

ScriptedWindow::ScriptedWindow(Form& form, const WindowSpec& layout, ScriptedPlatform& platform)
    : m_form(form)
    , m_platform(platform)
    , m_border(layout.border)
    , m_keyPreview(layout.keyPreview)
    , m_designClient{pixelsX(layout.clientWidth), pixelsY(layout.clientHeight)} {}

ScriptedWindow::~ScriptedWindow() {
    m_platform.forget(this);
}

ScriptedWindow& windowOf(const Form& form) {
    return static_cast<ScriptedWindow&>(form.peer());
}

std::unique_ptr<ControlPeer>
ScriptedWindow::createControl(Control& control, const ControlSpec& layout, ControlPeer* container) {
    auto made = std::make_unique<ScriptedControl>(*this, control, layout,
                                                  static_cast<ScriptedControl*>(container));
    m_controls.push_back(made.get());
    return made;
}

void ScriptedWindow::forget(ScriptedControl* control) {
    std::erase(m_controls, control);
    std::erase(m_tabOrder, control);
    if (m_focus == control)
        m_focus = nullptr;
}

void ScriptedWindow::addMenuEntry(MenuEntry& entry, const MenuSpec&) {
    m_menuEntries.push_back(&entry);
    m_menuHeight = kMenuBarHeight;
}

void ScriptedWindow::finishBuilding(std::span<Control* const> tabOrder) {
    for (Control* c : tabOrder)
        m_tabOrder.push_back(&peerOf(*c));
    m_client = {0, 0, m_designClient.width, m_designClient.height + m_menuHeight};
    m_dpi = dpiAt(m_platform.script(), {m_client.width / 2, m_client.height / 2});
    // A window manager that tells frames before mapping gives the frame the
    // window will have, so that its size is exact from the first showing.
    if (m_platform.script().answersFrameRequests) {
        m_frame = frameFor();
        m_frameKnown = true;
    }
}

std::vector<ScriptedControl*> ScriptedWindow::optionGroup(const ScriptedControl& member) const {
    std::vector<ScriptedControl*> group;
    for (ScriptedControl* c : m_controls)
        if (c->control().kind() == Kind::OptionButton && c->container() == member.container())
            group.push_back(c);
    return group;
}

PixelMargins ScriptedWindow::frameFor() const {
    const WindowManagerScript& script = m_platform.script();
    if (!script.running)
        return {};
    const PixelMargins frame =
        m_border == BorderStyle::FixedDialog ? script.dialogFrame : script.frame;
    return m_dpi > 0 ? scaledFrame(frame, m_dpi) : frame;
}

void ScriptedWindow::focusFirst() {
    if (m_focus)
        return;
    for (ScriptedControl* c : m_tabOrder) {
        if (c->canTakeFocus()) {
            m_focus = c;
            return;
        }
    }
}

// Mapping: the window manager frames the window where and as large as the
// program asked, as its rules allow (it may place windows itself, or keep
// them within the screen), at once or after its answer time, and maybe gives
// it another frame a while later.
void ScriptedWindow::showFirst() {
    m_visible = true;
    const WindowManagerScript& script = m_platform.script();
    const auto map = [this] {
        const WindowManagerScript& now = m_platform.script();
        m_minimised = now.mapsMinimised;
        if (!m_frameKnown) {
            // The client area stays where it was asked to stand.
            m_frame = frameFor();
            m_frameKnown = true;
        }
        const PixelSize size =
            granted(m_client.size(), m_sizeHeld ? SizeHold::Before : SizeHold::None);
        PixelPoint at{m_client.x - m_frame.left, m_client.y - m_frame.top};
        if (now.placesAtMapping)
            at = *now.placesAtMapping;
        m_client = {at.x + m_frame.left, at.y + m_frame.top, size.width, size.height};
        const PixelRect outer = outerRect();
        m_dpi = dpiAt(now, {outer.x + outer.width / 2, outer.y + outer.height / 2});
        if (m_dpi > 0)
            m_frame = frameFor();
        m_mapped = true;
        if (whenMapped)
            whenMapped();
        ++m_answers;
        noteShown();
        m_form.platformResized();
        if (now.frameAfterMapping)
            m_platform.schedule(now.frameChangeAfter,
                                [this, frame = *now.frameAfterMapping] { framed(frame); });
    };
    // Even a window manager that answers no request maps the window.
    m_platform.schedule(script.answerAfter.value_or(Millis(0)), map);
    m_platform.waitUntil([this] { return m_mapped; }, Millis(1000));
    focusFirst();
}

// Shown again where it was placed meanwhile, on a monitor of another scale
// perhaps: the system tells it so.
void ScriptedWindow::show() {
    m_visible = true;
    followMonitor();
}

void ScriptedWindow::hide() {
    m_visible = false;
}

void ScriptedWindow::prepareModal(WindowPeer*) {
    m_modalDone = false;
}

void ScriptedWindow::activate() {
    focusFirst();
}

void ScriptedWindow::runModalLoop() {
    if (!m_platform.runModal([this] { return m_modalDone; }))
        m_modalDone = true;
}

// The user sees a window painted once for each time painting is released.
void ScriptedWindow::holdPainting(bool hold) {
    if (m_paintHeld == hold)
        return;
    m_paintHeld = hold;
    if (!hold && m_visible)
        ++m_paints;
}

} // namespace forms::scripted
