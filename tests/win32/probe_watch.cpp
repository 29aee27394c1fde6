#include "probe_watch.h"

#include <dwmapi.h>
#include <mmsystem.h>

#include <cstdio>

namespace {

struct Seen {
    bool found = false;
    bool visible = false;
    RECT rect{};
    bool operator==(const Seen& o) const {
        return found == o.found && visible == o.visible && EqualRect(&rect, &o.rect);
    }
};

Seen look(const std::wstring& title) {
    Seen seen;
    HWND hwnd = FindWindowW(nullptr, title.c_str());
    if (!hwnd)
        return seen;
    seen.found = true;
    seen.visible = IsWindowVisible(hwnd) && !IsIconic(hwnd);
    if (DwmGetWindowAttribute(hwnd, DWMWA_EXTENDED_FRAME_BOUNDS, &seen.rect, sizeof seen.rect) !=
            S_OK ||
        IsRectEmpty(&seen.rect))
        GetWindowRect(hwnd, &seen.rect);
    return seen;
}

} // namespace

RectWatch::RectWatch() {
    InitializeCriticalSection(&m_lock);
    QueryPerformanceFrequency(&m_frequency);
}

RectWatch::~RectWatch() {
    if (m_thread) {
        InterlockedExchange(&m_stop, 1);
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    DeleteCriticalSection(&m_lock);
}

void RectWatch::start(const std::wstring& title) {
    if (m_thread)
        return;
    m_title = title;
    QueryPerformanceCounter(&m_start);
    m_thread = CreateThread(nullptr, 0, &RectWatch::run, this, 0, nullptr);
}

double RectWatch::now() const {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart - m_start.QuadPart) /
           static_cast<double>(m_frequency.QuadPart);
}

void RectWatch::note(const std::string& line) {
    EnterCriticalSection(&m_lock);
    m_lines.push_back(line);
    LeaveCriticalSection(&m_lock);
}

void RectWatch::mark(const std::string& name) {
    char line[128];
    std::snprintf(line, sizeof line, "%.1f mark %s", now(), name.c_str());
    note(line);
}

std::string RectWatch::lines() {
    EnterCriticalSection(&m_lock);
    std::string all;
    for (const std::string& line : m_lines)
        all += (all.empty() ? "" : ";") + line;
    LeaveCriticalSection(&m_lock);
    return all;
}

DWORD WINAPI RectWatch::run(void* self) {
    auto& watch = *static_cast<RectWatch*>(self);
    timeBeginPeriod(1);
    Seen last;
    while (!InterlockedCompareExchange(&watch.m_stop, 0, 0)) {
        const Seen seen = look(watch.m_title);
        if (seen.found && !(seen == last)) {
            const RECT& r = seen.rect;
            char line[128];
            std::snprintf(line, sizeof line, "%.1f %s %ld %ld %ld %ld", watch.now(),
                          seen.visible ? "viewable" : "hidden", r.left, r.top, r.right - r.left,
                          r.bottom - r.top);
            watch.note(line);
            last = seen;
        }
        Sleep(1);
    }
    timeEndPeriod(1);
    return 0;
}
