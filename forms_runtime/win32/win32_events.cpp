// The window procedure: what the system tells a window, handed to the forms
// layer as clicks, menu choices, closing and changes of size.

#include "win32_window.h"

#include "form.h"
#include "win32_colors.h"
#include "win32_controls.h"
#include "win32_guard.h"

namespace forms::win32 {

namespace {

// Posted to itself for a change of size that the window did not ask for (a
// border drag, minimising, restoring), so that Resize runs from the message
// loop and not inside the platform's sizing code.
constexpr UINT kResized = WM_APP + 1;

} // namespace

std::optional<LRESULT> Win32Window::childMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    Win32Control* child = controlFor(reinterpret_cast<HWND>(lParam));
    if (!child)
        return std::nullopt;
    if (message == WM_COMMAND) {
        child->notified(HIWORD(wParam));
        return 0;
    }
    if (child->kind() == Kind::CommandButton)
        return std::nullopt; // the system's own button colours
    return reinterpret_cast<LRESULT>(child->colors(reinterpret_cast<HDC>(wParam)));
}

LRESULT CALLBACK Win32Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        reinterpret_cast<Win32Window*>(create->lpCreateParams)->m_hwnd = hwnd;
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return guarded([&] { return self->handle(message, wParam, lParam); });
}

LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETMINMAXINFO:
        DefWindowProcW(m_hwnd, message, wParam, lParam);
        answerMinMax(*reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_WINDOWPOSCHANGED:
        ++m_answers;
        if (!(reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_NOSIZE))
            ++m_resizes;
        break;
    case WM_SIZE:
        noteSize(wParam);
        if (!m_form.changingItself() && IsWindowVisible(m_hwnd) && !m_resizePosted) {
            m_resizePosted = true;
            PostMessageW(m_hwnd, kResized, 0, 0);
        }
        return 0;
    case kResized:
        m_resizePosted = false;
        applyPending(); // what was asked for while minimised, now that the frame shows
        m_form.platformResized();
        return 0;
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(m_hwnd, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, brush(m_backColor));
        return 1;
    }
    case WM_COMMAND:
        if (lParam == 0) {
            // A menu entry (0) or an accelerator (1).
            if (MenuEntry* entry = m_menus.entryFor(LOWORD(wParam)))
                m_form.platformMenuChosen(*entry);
            return 0;
        }
        [[fallthrough]];
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        if (auto answer = childMessage(message, wParam, lParam))
            return *answer;
        break;
    case WM_LBUTTONDOWN:
        m_click.press(m_hwnd);
        return 0;
    case WM_LBUTTONUP:
        if (m_click.release(m_hwnd, lParam))
            m_form.platformClicked();
        return 0;
    case WM_CAPTURECHANGED:
        m_click.lost();
        return 0;
    case WM_ACTIVATE:
        // The focus goes back to the control that had it; the forms layer
        // raises Activate itself, not on switching between programs.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(m_hwnd, focus))
                m_lastFocus = focus;
        } else if (!IsIconic(m_hwnd)) {
            Win32Control* last = controlFor(m_lastFocus);
            if (last && last->canTakeFocus() && IsWindowVisible(last->hwnd()))
                focus(last);
            else if (!focused())
                SetFocus(m_hwnd);
        }
        return 0;
    case WM_CLOSE:
        m_form.platformCloseRequested();
        return 0;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // Another colour scheme, or high contrast turned on or off.
        systemColorsChanged(m_hwnd, message == WM_SYSCOLORCHANGE);
        break;
    case WM_GETDPISCALEDSIZE: {
        auto& size = *reinterpret_cast<SIZE*>(lParam);
        size = scaledSize(LOWORD(wParam), size);
        return TRUE;
    }
    case WM_DPICHANGED:
        // The new DPI, the same for x and y, and the window rectangle the
        // system suggests for it.
        dpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

} // namespace forms::win32
