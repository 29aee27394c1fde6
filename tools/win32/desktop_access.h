#pragma once
// What the Win32 tools that drive the program from outside share (the probe
// of the Windows suite, the Windows benchmark): reading another process's
// windows and giving them mouse input as a user's hand would.

#include <windows.h>

#include <string>

namespace desktop {

// The text of a window of another process: WM_GETTEXT is carried across,
// GetWindowText would not ask an edit control for its contents.
inline std::wstring textOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 2000, &got);
    text.resize(got);
    return text;
}

inline std::wstring classOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

// A mouse event at a point of the screen. Every one carries its position:
// under Wine, clicks sent without one were seen to land off the point
// SetCursorPos had just been given.
inline INPUT mouse(DWORD flags, POINT at) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    return in;
}

} // namespace desktop
