// The window's geometry: the outer rectangle is the part of the window
// rectangle that the user sees, and requests are answered inside the calls
// that make them.

#include "win32_window.h"

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

} // namespace

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
// The window is erased and painted from the message loop, once the handlers
// are done (Wine erases every control at once otherwise).
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
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
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
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
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

} // namespace forms::win32
