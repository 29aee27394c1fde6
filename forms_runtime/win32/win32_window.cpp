#include "win32_window.h"

#include "form.h"
#include "runtime_error.h"
#include "screen.h"
#include "win32_colors.h"
#include "win32_controls.h"
#include "win32_guard.h"
#include "win32_platform.h"
#include "win32_text.h"

#include <algorithm>
#include <utility>

namespace forms::win32 {

namespace {

// Posted to itself for a change of size that the window did not ask for (a
// border drag, minimising, restoring), so that Resize runs from the message
// loop and not inside the platform's sizing code.
constexpr UINT kResized = WM_APP + 1;

DWORD windowStyle(const WindowSpec& layout) {
    if (layout.border == BorderStyle::FixedDialog)
        return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
}

DWORD windowExStyle(const WindowSpec& layout) {
    return layout.border == BorderStyle::FixedDialog ? WS_EX_DLGMODALFRAME : 0;
}

} // namespace

Win32Window::Win32Window(Form& form, const WindowSpec& layout)
    : m_form(form)
    , m_sizable(layout.border == BorderStyle::Sizable)
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

void Win32Window::addMenuEntry(MenuEntry& entry, const MenuSpec& layout) {
    m_menus.add(entry, layout);
}

void Win32Window::finishBuilding(std::span<Control* const> tabOrder) {
    for (Control* c : tabOrder)
        m_tabOrder.push_back(static_cast<Win32Control*>(&c->peer()));
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

// Geometry -----------------------------------------------------------------

// The frame measured while the window is shown, kept for when it is not.
PixelMargins Win32Window::margins() const {
    if (IsWindowVisible(m_hwnd) && !IsIconic(m_hwnd))
        m_margins = invisibleMargins(m_hwnd).value_or(PixelMargins{});
    return m_margins;
}

PixelRect Win32Window::outerRect() const {
    RECT r{};
    GetWindowRect(m_hwnd, &r);
    const PixelMargins m = margins();
    return {r.left + m.left, r.top + m.top, (r.right - m.right) - (r.left + m.left),
            (r.bottom - m.bottom) - (r.top + m.top)};
}

PixelSize Win32Window::clientSize() const {
    RECT r{};
    GetClientRect(m_hwnd, &r);
    return {r.right, r.bottom};
}

bool Win32Window::visible() const {
    return IsWindowVisible(m_hwnd) != FALSE;
}

bool Win32Window::minimised() const {
    return IsIconic(m_hwnd) != FALSE;
}

void Win32Window::restoreIfMaximised() {
    if (!IsZoomed(m_hwnd))
        return;
    ShowWindow(m_hwnd, SW_RESTORE); // synchronous: the normal size is back on return
}

// SetWindowPos delivers WM_SIZE before it returns: the answer is in when it
// does. The size asked for is held as the largest the window may take while
// the request runs, so that one larger than the screen is granted in full.
void Win32Window::requestOuterSize(PixelSize size) {
    const PixelMargins m = margins();
    const SIZE wanted{size.width + m.left + m.right, size.height + m.top + m.bottom};
    if (IsIconic(m_hwnd)) {
        // An icon keeps its own size; the window takes this one when it is
        // restored.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(m_hwnd, &placement);
        placement.rcNormalPosition.right = placement.rcNormalPosition.left + wanted.cx;
        placement.rcNormalPosition.bottom = placement.rcNormalPosition.top + wanted.cy;
        placement.showCmd = SW_SHOWMINNOACTIVE;
        SetWindowPlacement(m_hwnd, &placement);
        return;
    }
    if (!IsWindowVisible(m_hwnd))
        m_pendingSize = size;
    m_request = wanted;
    SetWindowPos(m_hwnd, nullptr, 0, 0, wanted.cx, wanted.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_request.reset();
}

void Win32Window::requestOuterPosition(std::optional<int> x, std::optional<int> y) {
    if (!IsWindowVisible(m_hwnd)) {
        m_pendingX = x ? x : m_pendingX;
        m_pendingY = y ? y : m_pendingY;
    }
    RECT r{};
    GetWindowRect(m_hwnd, &r);
    const PixelMargins m = margins();
    SetWindowPos(m_hwnd, nullptr, x ? *x - m.left : r.left, y ? *y - m.top : r.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Sizes and places asked for while the window was hidden assumed the frame
// it had then (none before its first showing); once shown, they are asked
// for again with the frame it has.
void Win32Window::applyPending() {
    const PixelMargins assumed = m_margins;
    const std::optional<PixelSize> size = std::exchange(m_pendingSize, std::nullopt);
    const std::optional<int> x = std::exchange(m_pendingX, std::nullopt);
    const std::optional<int> y = std::exchange(m_pendingY, std::nullopt);
    if (margins() == assumed)
        return;
    if (size)
        requestOuterSize(*size);
    if (x || y)
        requestOuterPosition(x, y);
}

// A window the user sizes may be dragged to any size; one that a request
// made larger than the screen keeps that size until the user changes it.
void Win32Window::answerMinMax(MINMAXINFO& info) const {
    if (!m_sizable)
        return;
    RECT r{};
    GetWindowRect(m_hwnd, &r);
    if (IsWindowVisible(m_hwnd) && !IsIconic(m_hwnd)) {
        info.ptMaxTrackSize.x = std::max(info.ptMaxTrackSize.x, r.right - r.left);
        info.ptMaxTrackSize.y = std::max(info.ptMaxTrackSize.y, r.bottom - r.top);
    }
    if (m_request) {
        info.ptMaxTrackSize.x = std::max(info.ptMaxTrackSize.x, m_request->cx);
        info.ptMaxTrackSize.y = std::max(info.ptMaxTrackSize.y, m_request->cy);
        info.ptMinTrackSize.x = std::min(info.ptMinTrackSize.x, m_request->cx);
        info.ptMinTrackSize.y = std::min(info.ptMinTrackSize.y, m_request->cy);
    }
}

// Showing ------------------------------------------------------------------

void Win32Window::setBackColor(OleColor color) {
    m_backColor = color;
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

void Win32Window::showFirst() {
    {
        ShowWindow(m_hwnd, SW_SHOWNORMAL);
        UpdateWindow(m_hwnd);
        applyPending();
    }
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

// Messages -------------------------------------------------------------------

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
    case WM_SIZE:
        if (!m_form.changingItself() && IsWindowVisible(m_hwnd) && !m_resizePosted) {
            m_resizePosted = true;
            PostMessageW(m_hwnd, kResized, 0, 0);
        }
        return 0;
    case kResized:
        m_resizePosted = false;
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
    case WM_DPICHANGED:
        return 0; // the window keeps its size in pixels
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

} // namespace forms::win32
