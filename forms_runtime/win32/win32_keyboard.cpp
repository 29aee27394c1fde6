// The keyboard as the message loop hands it to a window: accelerators, key
// preview, and the focus moves of a dialog, done here rather than by
// IsDialogMessage, which would take the tab order from the drawing order.

#include "form.h"
#include "win32_controls.h"
#include "win32_window.h"

#include <algorithm>

namespace forms::win32 {

namespace {

int shiftState() {
    return (GetKeyState(VK_SHIFT) < 0 ? kShiftMask : 0) |
           (GetKeyState(VK_CONTROL) < 0 ? kCtrlMask : 0) |
           (GetKeyState(VK_MENU) < 0 ? kAltMask : 0);
}

// Can take the focus now: shown with all its containers, and enabled.
bool reachable(const Win32Control* c) {
    return c->canTakeFocus() && IsWindowVisible(c->hwnd()) && IsWindowEnabled(c->hwnd());
}

// The window's command button with that role, if it can be pressed now.
Win32Control* withRole(const std::vector<Win32Control*>& controls, Flag role) {
    for (Win32Control* c : controls)
        if (c->hasRole(role) && reachable(c))
            return c;
    return nullptr;
}

bool press(const Win32Control* button) {
    if (!button)
        return false;
    SendMessageW(button->hwnd(), BM_CLICK, 0, 0);
    return true;
}

} // namespace

bool Win32Window::preTranslate(MSG& msg) {
    // A shortcut acts without the key reaching the window's KeyDown.
    if (m_accelerators && TranslateAcceleratorW(m_hwnd, m_accelerators, &msg))
        return true;
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
        return false;
    // Key preview: the window sees every key first, whichever control has
    // the focus.
    if (m_keyPreview)
        m_form.platformKeyDown(static_cast<int>(msg.wParam), shiftState());
    return msg.message == WM_KEYDOWN && navigate(msg);
}

bool Win32Window::navigate(const MSG& msg) {
    Win32Control* current = focused();
    switch (msg.wParam) {
    case VK_TAB:
        if (GetKeyState(VK_CONTROL) < 0)
            return false;
        moveFocus(GetKeyState(VK_SHIFT) < 0);
        return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        if (!current || current->kind() != Kind::OptionButton)
            return false;
        moveInGroup(current, msg.wParam == VK_LEFT || msg.wParam == VK_UP);
        return true;
    case VK_RETURN:
        // Enter presses the focused button, as Space does, and elsewhere the
        // window's default button.
        if (current && current->kind() == Kind::CommandButton)
            return press(current);
        return press(withRole(m_controls, DefaultButton));
    case VK_ESCAPE:
        return press(withRole(m_controls, CancelButton));
    default:
        return false;
    }
}

Win32Control* Win32Window::focused() const {
    HWND focus = GetFocus();
    for (HWND h = focus; h && h != m_hwnd; h = GetParent(h))
        if (Win32Control* c = controlFor(h))
            return c;
    return nullptr;
}

// The next control in tab order that can take the focus. Of an option
// group only the selected button is a stop (the first one met when none
// is selected); the arrow keys move within the group.
void Win32Window::moveFocus(bool backward) {
    if (m_tabOrder.empty())
        return;
    Win32Control* current = focused();
    const auto n = static_cast<std::ptrdiff_t>(m_tabOrder.size());
    const auto at = std::find(m_tabOrder.begin(), m_tabOrder.end(), current);
    std::ptrdiff_t i = at == m_tabOrder.end() ? (backward ? 0 : -1) : at - m_tabOrder.begin();
    for (std::ptrdiff_t step = 0; step < n; ++step) {
        i = ((i + (backward ? -1 : 1)) % n + n) % n;
        Win32Control* c = m_tabOrder[static_cast<std::size_t>(i)];
        if (!reachable(c))
            continue;
        if (c->kind() == Kind::OptionButton && !c->checked()) {
            const auto group = optionGroup(c->parent());
            const bool fromSameGroup = current && current->kind() == Kind::OptionButton &&
                                       current->parent() == c->parent();
            const bool otherSelected = std::any_of(group.begin(), group.end(), [&](auto* o) {
                return o != c && o->checked() && reachable(o);
            });
            if (fromSameGroup || otherSelected)
                continue;
        }
        focus(c);
        showFocusCues();
        return;
    }
}

// Moves to the previous or next button of the group and selects it, as the
// arrow keys do in a dialog.
void Win32Window::moveInGroup(Win32Control* current, bool backward) {
    std::vector<Win32Control*> group = optionGroup(current->parent());
    std::erase_if(group, [current](auto* o) { return o != current && !reachable(o); });
    const auto n = static_cast<std::ptrdiff_t>(group.size());
    const auto at = std::find(group.begin(), group.end(), current) - group.begin();
    Win32Control* next = group[static_cast<std::size_t>(((at + (backward ? -1 : 1)) % n + n) % n)];
    if (next == current)
        return;
    focus(next);
    showFocusCues();
    next->setChecked(true); // its Click
}

std::vector<Win32Control*> Win32Window::optionGroup(HWND container) const {
    std::vector<Win32Control*> group;
    for (Win32Control* c : m_tabOrder)
        if (c->kind() == Kind::OptionButton && c->parent() == container)
            group.push_back(c);
    // Option buttons outside the tab order still belong to their group.
    for (Win32Control* c : m_controls)
        if (c->kind() == Kind::OptionButton && c->parent() == container &&
            std::find(group.begin(), group.end(), c) == group.end())
            group.push_back(c);
    return group;
}

// A hidden window takes no focus: the control gets it when the window is
// next activated. An editable text box gets it with its whole text
// selected, as in a dialog, so that typing replaces it.
void Win32Window::focus(Win32Control* control) {
    if (!IsWindowVisible(m_hwnd)) {
        m_lastFocus = control->hwnd();
        return;
    }
    ++m_focusing;
    SetFocus(control->hwnd());
    --m_focusing;
    if (control->editable())
        SendMessageW(control->hwnd(), EM_SETSEL, 0, -1);
}

// After the mouse was used the system hides focus rectangles until the
// keyboard is used in a dialog; the focus moved by the keyboard here, so
// the window and its controls show them again.
void Win32Window::showFocusCues() {
    SendMessageW(m_hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

// The first control in tab order that can take the focus gets it, as when a
// window is first shown.
void Win32Window::focusFirst() {
    for (Win32Control* c : m_tabOrder) {
        if (reachable(c)) {
            focus(c);
            return;
        }
    }
    SetFocus(m_hwnd);
}

} // namespace forms::win32
