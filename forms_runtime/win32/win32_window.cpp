// The window's building, showing and modal loop.

#include "win32_window.h"

#include "form.h"
#include "runtime_error.h"
#include "screen.h"
#include "win32_controls.h"
#include "win32_platform.h"
#include "win32_text.h"

#include <algorithm>
#include <dwmapi.h>

namespace forms::win32 {

namespace {

DWORD windowStyle(const WindowSpec& layout) {
    if (layout.border == BorderStyle::FixedDialog)
        return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
}

DWORD windowExStyle(const WindowSpec& layout) {
    return layout.border == BorderStyle::FixedDialog ? WS_EX_DLGMODALFRAME : 0;
}

// Windows 11 rounds the corners of a window with a caption, cutting away the
// corners of the outer rectangle a preset sets, and the ends of the task bar
// along the bottom. The values are those of dwmapi.h in the Windows 11 SDK,
// which MinGW-w64's headers lack. Earlier systems answer with an error and
// draw square corners anyway.
constexpr DWORD kCornerPreference = 33; // DWMWA_WINDOW_CORNER_PREFERENCE
constexpr DWORD kDoNotRoundCorners = 1; // DWMWCP_DONOTROUND

void squareCorners(HWND hwnd) {
    const DWORD preference = kDoNotRoundCorners;
    DwmSetWindowAttribute(hwnd, kCornerPreference, &preference, sizeof preference);
}

// Each child window is made at the bottom of its siblings' z-order, so
// making the controls from the top of the drawing order down gives the
// drawing order with no call of its own. Checked once per container: a
// system that put new windows on top gets them placed one by one.
void keepDrawingOrder(const std::vector<Win32Control*>& controls) {
    std::vector<HWND> checked;
    for (const Win32Control* c : controls) {
        HWND parent = c->parent();
        if (std::find(checked.begin(), checked.end(), parent) != checked.end())
            continue;
        checked.push_back(parent);
        if (GetTopWindow(parent) == c->hwnd())
            continue;
        for (const Win32Control* sibling : controls)
            if (sibling->parent() == parent)
                SetWindowPos(sibling->hwnd(), HWND_BOTTOM, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
}

} // namespace

Win32Window::Win32Window(Form& form, const WindowSpec& layout)
    : m_form(form)
    , m_sizable(layout.border == BorderStyle::Sizable)
    , m_inTaskbar(layout.showInTaskbar)
    , m_keyPreview(layout.keyPreview)
    , m_backColor(layout.backColor)
    , m_designClient{pixelsX(layout.clientWidth), pixelsY(layout.clientHeight)} {
    Win32Platform& platform = win32Platform();
    // An owned window stays out of the task bar.
    HWND owner = layout.showInTaskbar ? nullptr : platform.hiddenOwner();
    const bool popup = layout.border == BorderStyle::FixedDialog;
    m_hwnd = CreateWindowExW(windowExStyle(layout), platform.windowClass(!popup),
                             wide(layout.caption).c_str(), windowStyle(layout),
                             popup ? 0 : CW_USEDEFAULT, popup ? 0 : CW_USEDEFAULT, 100, 100, owner,
                             nullptr, GetModuleHandleW(nullptr), this);
    if (!m_hwnd)
        raiseError(ErrorCode::WindowSystem, "creating window " + form.Name());
    platform.registerWindow(m_hwnd, this);
    squareCorners(m_hwnd);
}

Win32Window::~Win32Window() {
    win32Platform().unregisterWindow(m_hwnd);
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hwnd);
}

// Building -----------------------------------------------------------------

std::unique_ptr<ControlPeer> Win32Window::createControl(Control& control, const ControlSpec& layout,
                                                        ControlPeer* container) {
    HWND parent = container ? static_cast<Win32Control*>(container)->hwnd() : m_hwnd;
    auto made = std::make_unique<Win32Control>(*this, control, layout, parent);
    m_controls.push_back(made.get());
    m_byHandle[made->hwnd()] = made.get();
    return made;
}

void Win32Window::forget(Win32Control* control) {
    std::erase(m_controls, control);
    std::erase(m_tabOrder, control);
    m_byHandle.erase(control->hwnd());
}

Win32Control* Win32Window::controlFor(HWND hwnd) const {
    const auto it = m_byHandle.find(hwnd);
    return it == m_byHandle.end() ? nullptr : it->second;
}

void Win32Window::finishBuilding(std::span<Control* const> tabOrder) {
    for (Control* c : tabOrder)
        m_tabOrder.push_back(static_cast<Win32Control*>(&c->peer()));
    keepDrawingOrder(m_controls);
    if (m_menus.menu())
        SetMenu(m_hwnd, m_menus.menu());
    m_accelerators = m_menus.accelerators();

    // The design size is the client area's; the frame and the menu bar
    // around it are the system's. A menu bar that wraps is taller than the
    // estimate, so the client area is measured and the rest asked for again.
    RECT r{0, 0, m_designClient.width, m_designClient.height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(m_hwnd, GWL_STYLE)),
                       m_menus.menu() != nullptr,
                       static_cast<DWORD>(GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE)));
    SIZE outer{r.right - r.left, r.bottom - r.top};
    for (int attempt = 0; attempt < kRequestAttempts; ++attempt) {
        SetWindowPos(m_hwnd, nullptr, 0, 0, outer.cx, outer.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        const PixelSize got = clientSize();
        if (got == m_designClient)
            break;
        outer.cx += m_designClient.width - got.width;
        outer.cy += m_designClient.height - got.height;
    }
}

// Showing ------------------------------------------------------------------

void Win32Window::setBackColor(OleColor color) {
    if (color == m_backColor)
        return;
    m_backColor = color;
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

// The program's own window shows as its launcher asks, minimised perhaps;
// the forms layer then waits for the restore to lay it out. The launcher's
// command is passed on explicitly, to the ShowWindow that Windows would
// have applied it to anyway. Asked for nothing, the window is shown as
// ShowWindow(SW_SHOWNORMAL) shows a window never shown before, but erased
// and painted from the message loop, once the handlers that follow the
// showing have run: Wine paints a window it shows at once, at its design
// size, otherwise. The DPI of its monitor is known from here on.
void Win32Window::showFirst() {
    const std::optional<int> command =
        m_inTaskbar ? win32Platform().takeStartupShowCommand() : std::nullopt;
    if (command)
        ShowWindow(m_hwnd, *command);
    else
        SetWindowPos(m_hwnd, HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_DEFERERASE);
    m_dpi = windowDpi(m_hwnd);
    m_form.platformDpiChanged(m_dpi, outerRect().size(), std::nullopt);
    applyPending();
    focusFirst();
}

void Win32Window::show() {
    ShowWindow(m_hwnd, SW_SHOW);
    applyPending();
}

void Win32Window::hide() {
    // Enabled again first, so that the system activates the owner when the
    // dialog goes.
    if (m_modalOwner)
        EnableWindow(m_modalOwner, TRUE);
    ShowWindow(m_hwnd, SW_HIDE);
}

void Win32Window::prepareModal(WindowPeer* owner) {
    m_modalOwner = owner ? static_cast<Win32Window*>(owner)->hwnd() : nullptr;
    // The owner keeps the dialog above it and gets the activation back.
    if (m_modalOwner) {
        SetWindowLongPtrW(m_hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(m_modalOwner));
        EnableWindow(m_modalOwner, FALSE);
    }
    m_modalDone = false;
}

void Win32Window::activate() {
    SetForegroundWindow(m_hwnd);
    SetActiveWindow(m_hwnd);
    if (!focused())
        focusFirst();
}

void Win32Window::runModalLoop() {
    win32Platform().runLoop([this] { return m_modalDone; });
    if (m_modalOwner) {
        EnableWindow(m_modalOwner, TRUE);
        m_modalOwner = nullptr;
    }
}

void Win32Window::endModalLoop() {
    m_modalDone = true;
    PostMessageW(m_hwnd, WM_NULL, 0, 0); // wakes the loop
}

// Child windows are moved without painting while held (win32_controls);
// releasing paints the whole window once, from the message loop.
void Win32Window::holdPainting(bool hold) {
    if (m_paintHeld == hold)
        return;
    m_paintHeld = hold;
    if (!hold && IsWindowVisible(m_hwnd))
        RedrawWindow(m_hwnd, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

} // namespace forms::win32
