// The window's geometry: the outer rectangle is the part of the window
// rectangle that the user sees, and requests are answered inside the calls
// that make them.

#include "win32_window.h"

#include "form.h"
#include "win32_platform.h"
#include "window_request.h"

#include <algorithm>
#include <dwmapi.h>
#include <utility>

namespace forms::win32 {

namespace {

// Windows 10 and 11 widen the window rectangle by invisible resize borders
// on the left, right and bottom; the desktop window manager reports the
// visible frame (DWMWA_EXTENDED_FRAME_BOUNDS), once the window is shown.
// Where it reports none, as under Wine or with composition off, the window
// rectangle is the frame.
std::optional<PixelMargins> invisibleMargins(HWND window) {
    if (!IsWindowVisible(window) || IsIconic(window))
        return std::nullopt;
    RECT outer{};
    RECT visible{};
    if (!GetWindowRect(window, &outer) || DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS,
                                                                &visible, sizeof visible) != S_OK)
        return std::nullopt;
    // Only a frame inside the window rectangle is one; anything else is a
    // report to distrust (an empty rectangle, one from before a move).
    if (visible.left < outer.left || visible.top < outer.top || visible.right > outer.right ||
        visible.bottom > outer.bottom || visible.right <= visible.left ||
        visible.bottom <= visible.top)
        return std::nullopt;
    return PixelMargins{visible.left - outer.left, visible.top - outer.top,
                        outer.right - visible.right, outer.bottom - visible.bottom};
}

// A window not shown yet has no frame the desktop window manager reports.
// Shown cloaked (composed but never on the screen) it has one: shown that
// way for a moment, it is measured without being seen and without moving.
// Only where cloaking takes effect; under Wine, or with composition off,
// there are no invisible borders to measure.
std::optional<PixelMargins> measuredCloaked(HWND window) {
    BOOL composition = FALSE;
    if (DwmIsCompositionEnabled(&composition) != S_OK || !composition)
        return std::nullopt;
    BOOL cloak = TRUE;
    DWORD cloaked = 0;
    const bool hidden =
        DwmSetWindowAttribute(window, DWMWA_CLOAK, &cloak, sizeof cloak) == S_OK &&
        DwmGetWindowAttribute(window, DWMWA_CLOAKED, &cloaked, sizeof cloaked) == S_OK &&
        cloaked != 0;
    std::optional<PixelMargins> measured;
    if (hidden) {
        constexpr UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
        SetWindowPos(window, nullptr, 0, 0, 0, 0, keep | SWP_SHOWWINDOW);
        measured = invisibleMargins(window);
        SetWindowPos(window, nullptr, 0, 0, 0, 0, keep | SWP_HIDEWINDOW);
    }
    cloak = FALSE;
    DwmSetWindowAttribute(window, DWMWA_CLOAK, &cloak, sizeof cloak);
    return measured;
}

// Invisible borders grow with the monitor's scale (from the DPI before to
// the DPI after), by the system's own rounding, which only a measurement
// tells; this is the estimate until then.
int scaled(int pixels, int to, int from) {
    return from > 0 ? MulDiv(pixels, to, from) : pixels;
}

} // namespace

// The invisible borders of the monitor the window stands on. A window the
// user sees is measured at every read; a hidden one keeps what was measured
// at its monitor's DPI, and is measured again, cloaked, on a monitor of
// another DPI; a minimised one keeps what it had.
PixelMargins Win32Window::margins() const {
    if (IsIconic(m_hwnd))
        return m_margins;
    if (IsWindowVisible(m_hwnd)) {
        m_margins = invisibleMargins(m_hwnd).value_or(PixelMargins{});
        m_marginsDpi = m_dpi; // known since the first showing
    } else if (const int dpi = windowDpi(m_hwnd); dpi != m_marginsDpi) {
        m_margins = measuredCloaked(m_hwnd).value_or(PixelMargins{});
        m_marginsDpi = dpi;
    }
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

bool Win32Window::maximised() const {
    return IsZoomed(m_hwnd) != FALSE;
}

// The window rectangle a window of this style with this client area has at
// a DPI: its frame, title bar and menu bar scaled to it (the call that
// takes the DPI is looked up, as systems before Windows 10, version 1607,
// lack it).
RECT Win32Window::adjustedForDpi(PixelSize client, int dpi) const {
    using Adjust = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = reinterpret_cast<Adjust>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    RECT r{0, 0, client.width, client.height};
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(m_hwnd, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE));
    const BOOL menu = GetMenu(m_hwnd) != nullptr;
    if (!adjust || !adjust(&r, style, menu, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&r, style, menu, exStyle);
    return r;
}

PixelSize Win32Window::outerFor(PixelSize client) const {
    const RECT r = adjustedForDpi(client, m_dpi > 0 ? m_dpi : windowDpi(m_hwnd));
    const PixelMargins m = margins();
    return {(r.right - r.left) - m.left - m.right, (r.bottom - r.top) - m.top - m.bottom};
}

void Win32Window::restoreIfMaximised(Millis) {
    if (!IsZoomed(m_hwnd))
        return;
    ShowWindow(m_hwnd, SW_RESTORE); // synchronous: the normal size is back on return
}

PixelMargins Win32Window::frame() const {
    return margins();
}

bool Win32Window::showsMinimised() const {
    return m_inTaskbar && win32Platform().startupShowsMinimised();
}

// SetWindowPos delivers WM_SIZE before it returns: the answer is in when it
// does. A size held is the largest the window may take while it is held
// (the answer to WM_GETMINMAXINFO grants it in full), so that one larger than
// the screen is granted in full. The window is erased and painted from the
// message loop, once the handlers are done (Wine erases every control at
// once otherwise). The invisible borders are part of the request; where the
// answer shows others (the request took the window to a monitor of another
// scale), the layer asks again with them.
bool Win32Window::requestOuterRect(PixelRect outer, SizeHold hold) {
    const PixelMargins m = margins();
    const SIZE wanted{outer.width + m.left + m.right, outer.height + m.top + m.bottom};
    if (IsIconic(m_hwnd)) {
        // An icon keeps its own size and place; the window takes this size
        // when it is restored.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(m_hwnd, &placement);
        placement.rcNormalPosition.right = placement.rcNormalPosition.left + wanted.cx;
        placement.rcNormalPosition.bottom = placement.rcNormalPosition.top + wanted.cy;
        placement.showCmd = SW_SHOWMINNOACTIVE;
        SetWindowPlacement(m_hwnd, &placement);
        m_normalSize = wanted;
        return false;
    }
    if (!IsWindowVisible(m_hwnd))
        m_pending = outer; // asked for again once the frame it gets is known
    if (hold != SizeHold::None)
        m_request = wanted;
    SetWindowPos(m_hwnd, nullptr, outer.x - m.left, outer.y - m.top, wanted.cx, wanted.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
    return false;
}

void Win32Window::releaseSize() {
    m_request.reset();
}

// The system answers inside the calls that make the requests: nothing is
// outstanding.
bool Win32Window::roundTrip(Millis) {
    return true;
}

// What was asked for while hidden or minimised assumed the frame the window
// had then (none before its first showing); once shown, it is asked for again
// with the frame it has. A window shown minimised has no frame to measure
// yet: it waits until it is restored.
void Win32Window::applyPending() {
    if (IsIconic(m_hwnd))
        return;
    const PixelMargins assumed = m_margins;
    const std::optional<PixelRect> pending = std::exchange(m_pending, std::nullopt);
    if (pending && margins() != assumed)
        requestRect(*this, *pending);
}

// Asked before a move to a monitor of another scale (WM_GETDPISCALEDSIZE),
// with the size the window is going to have (pending): the size it wants
// there. A window the user sizes keeps its outer size, the visible frame,
// and only its invisible borders grow or shrink with the scale; a dialog
// keeps its client area. Windows then suggests a rectangle of that size in
// WM_DPICHANGED, and a window dragged across stays under the pointer.
SIZE Win32Window::scaledSize(int dpi, SIZE pending) const {
    if (m_form.keepsClientAcrossScales()) {
        const RECT r = adjustedForDpi(clientSize(), dpi);
        return {r.right - r.left, r.bottom - r.top};
    }
    const PixelMargins m = m_margins;
    return {pending.cx - m.left - m.right + scaled(m.left + m.right, dpi, m_dpi),
            pending.cy - m.top - m.bottom + scaled(m.top + m.bottom, dpi, m_dpi)};
}

// On a monitor of another scale the system has scaled the title bar, the
// menu bar and the borders, and suggests a window rectangle of the size
// scaledSize gave. The forms layer keeps the outer size the user saw,
// measured with the borders of the monitor the window came from, and takes
// the suggested place for its visible corner.
void Win32Window::dpiChanged(int dpi, const RECT& suggested) {
    RECT r{};
    GetWindowRect(m_hwnd, &r);
    const PixelMargins before = m_margins;
    const PixelSize outerBefore{(r.right - r.left) - before.left - before.right,
                                (r.bottom - r.top) - before.top - before.bottom};
    const PixelPoint corner{suggested.left + scaled(before.left, dpi, m_dpi),
                            suggested.top + scaled(before.top, dpi, m_dpi)};
    m_dpi = dpi;
    m_form.platformDpiChanged(dpi, outerBefore, corner);
}

// A window the user sizes may be dragged to any size. The system limits
// every change of size by this answer, also when the window is restored
// from minimised or maximised: the size it has, the size it returns to and
// the size being asked for are always allowed, so that a window made larger
// than the screen keeps that size until the user changes it. The size it
// returns to is the placement's normal rectangle; Wine reports the icon's
// or the maximised rectangle there while the restore runs, so the size the
// window last had as a normal window counts too.
void Win32Window::answerMinMax(MINMAXINFO& info) const {
    if (!m_sizable)
        return;
    const auto allow = [&info](LONG width, LONG height) {
        info.ptMaxTrackSize.x = std::max(info.ptMaxTrackSize.x, width);
        info.ptMaxTrackSize.y = std::max(info.ptMaxTrackSize.y, height);
        info.ptMinTrackSize.x = std::min(info.ptMinTrackSize.x, width);
        info.ptMinTrackSize.y = std::min(info.ptMinTrackSize.y, height);
    };
    RECT r{};
    if (!IsIconic(m_hwnd) && GetWindowRect(m_hwnd, &r))
        allow(r.right - r.left, r.bottom - r.top);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (GetWindowPlacement(m_hwnd, &placement)) {
        const RECT& normal = placement.rcNormalPosition;
        allow(normal.right - normal.left, normal.bottom - normal.top);
    }
    if (m_normalSize)
        allow(m_normalSize->cx, m_normalSize->cy);
    if (m_request)
        allow(m_request->cx, m_request->cy);
}

// Called on every WM_SIZE: the size of a window neither minimised nor
// maximised is the one it is restored to.
void Win32Window::noteSize(WPARAM kind) {
    RECT r{};
    if (kind == SIZE_RESTORED && GetWindowRect(m_hwnd, &r))
        m_normalSize = SIZE{r.right - r.left, r.bottom - r.top};
}

} // namespace forms::win32
