#pragma once
// A click as the user makes it on a window that is no button: the left
// button pressed on it and released over it. The mouse stays captured in
// between, so that a release elsewhere is seen too, and counts as no click.

#include "win32_api.h"

namespace forms::win32 {

class ClickTracker {
public:
    void press(HWND hwnd) {
        m_pressed = true;
        SetCapture(hwnd);
    }
    bool pressed() const { return m_pressed; }
    // True when this release (lParam of WM_LBUTTONUP) ends a press on hwnd
    // over its client area.
    bool release(HWND hwnd, LPARAM lParam) {
        if (!m_pressed)
            return false;
        m_pressed = false;
        ReleaseCapture();
        const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        RECT client;
        GetClientRect(hwnd, &client);
        return PtInRect(&client, at) != FALSE;
    }
    // The capture went elsewhere (WM_CAPTURECHANGED).
    void lost() { m_pressed = false; }

private:
    bool m_pressed = false;
};

} // namespace forms::win32
