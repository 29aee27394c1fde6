#pragma once
// The program's main window watched from outside, every millisecond, in a
// thread of the probe's own: each change of its outer rectangle (the frame
// the desktop window manager reports where it does, else the window
// rectangle) and of its visibility, and the marks the script sets, in the
// lines watch_geometry prints on Linux:
//
//   MILLISECONDS viewable|hidden X Y W H
//   MILLISECONDS mark NAME

#include <windows.h>

#include <string>
#include <vector>

class RectWatch {
public:
    RectWatch();
    ~RectWatch();
    RectWatch(const RectWatch&) = delete;
    RectWatch& operator=(const RectWatch&) = delete;

    // Watches from now on, for windows titled title.
    void start(const std::wstring& title);
    void mark(const std::string& name);
    // Every line so far, ";" between them.
    std::string lines();

private:
    static DWORD WINAPI run(void* self);
    void note(const std::string& line);
    double now() const;

    std::wstring m_title;
    CRITICAL_SECTION m_lock;
    std::vector<std::string> m_lines;
    LARGE_INTEGER m_start{}, m_frequency{};
    HANDLE m_thread = nullptr;
    volatile LONG m_stop = 0;
};
