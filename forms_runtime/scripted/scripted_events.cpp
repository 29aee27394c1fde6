// What the user does to a scripted window, reported to the layer as a real
// window system reports it.

#include "control.h"
#include "form.h"
#include "runtime_error.h"
#include "scripted_controls.h"
#include "scripted_platform.h"
#include "scripted_window.h"

#include <algorithm>

namespace forms::scripted {

namespace {

constexpr int kTab = 0x09;
constexpr int kEnter = 0x0D;
constexpr int kEscape = 0x1B;

bool isCommandButton(const ScriptedControl* c) {
    return c && c->control().kind() == Kind::CommandButton;
}

// The next control after `from` in tab order that can take the focus
// (option groups aside); null when there is none.
ScriptedControl* nextInTabOrder(const std::vector<ScriptedControl*>& order, ScriptedControl* from,
                                bool backward) {
    const auto n = static_cast<std::ptrdiff_t>(order.size());
    const auto at = std::find(order.begin(), order.end(), from);
    std::ptrdiff_t i = at == order.end() ? (backward ? 0 : -1) : at - order.begin();
    for (std::ptrdiff_t k = 0; k < n; ++k) {
        i = (i + (backward ? n - 1 : 1)) % n;
        if (order[static_cast<std::size_t>(i)]->canTakeFocus())
            return order[static_cast<std::size_t>(i)];
    }
    return nullptr;
}

} // namespace

// After the key preview, the keys of a dialog: Tab moves the focus on;
// Enter presses the focused command button, or else the default button;
// Escape presses the cancel button.
void ScriptedWindow::pressKey(int keyCode, int shift) {
    if (m_keyPreview)
        m_form.platformKeyDown(keyCode, shift);
    if (keyCode == kTab) {
        if (ScriptedControl* next = nextInTabOrder(m_tabOrder, m_focus, (shift & kShiftMask) != 0))
            next->setFocus();
        return;
    }
    if (keyCode == kEnter && isCommandButton(m_focus)) {
        m_focus->click();
        return;
    }
    if (keyCode != kEnter && keyCode != kEscape)
        return;
    const Flag role = keyCode == kEnter ? DefaultButton : CancelButton;
    for (ScriptedControl* c : m_controls)
        if (isCommandButton(c) && hasFlag(c->control().flags(), role) && c->canTakeFocus()) {
            c->click();
            return;
        }
}

void ScriptedWindow::chooseMenu(const char* name) {
    for (MenuEntry* entry : m_menuEntries)
        if (entry->Name() == name) {
            m_form.platformMenuChosen(*entry);
            return;
        }
    raiseError(ErrorCode::ControlNotFound, String("menu ") + name);
}

void ScriptedWindow::clickClientArea() {
    m_form.platformClicked();
}

void ScriptedWindow::clickCloseBox() {
    m_form.platformCloseRequested();
}

// A border drag: the window manager sizes the window as the user pulls.
void ScriptedWindow::dragTo(PixelSize outer) {
    placed({m_client.x, m_client.y, outer.width - m_frame.left - m_frame.right,
            outer.height - m_frame.top - m_frame.bottom});
}

// Minimising and restoring change no geometry, yet they are resizes.
void ScriptedWindow::stateChanged() {
    ++m_answers;
    m_form.platformResized();
}

void ScriptedWindow::minimise() {
    m_minimised = true;
    stateChanged();
}

void ScriptedWindow::maximise() {
    if (m_maximised)
        return;
    m_normal = m_client;
    m_maximised = true;
    const PixelSize screen = m_platform.screenSize();
    placed({m_frame.left, m_frame.top, screen.width - m_frame.left - m_frame.right,
            screen.height - m_frame.top - m_frame.bottom});
}

void ScriptedWindow::restore() {
    if (m_minimised) {
        m_minimised = false;
        stateChanged();
    } else if (m_maximised) {
        m_maximised = false;
        placed(m_normal.value_or(m_client));
    }
}

} // namespace forms::scripted
