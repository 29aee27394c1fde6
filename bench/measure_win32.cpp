// Measures the Windows build against its floor on the Wine desktop it runs on
// (bench/run.sh gives it a private one, 1024 x 768) and prints one table in
// the columns of the Linux tool (bench/measure.cpp):
//   start-up        launch -> main window visible at 640 x 480 outer pixels
//                   (GetWindowRect) at its quarter position (96, 72); floor:
//                   launch -> the bare window visible
//   preset latency  a real click (SetCursorPos + SendInput) on a preset ->
//                   GetWindowRect shows the new outer size; floor:
//                   SetWindowPos of the bare window from here -> the same
//   memory          peak working set and private bytes after start-up
// Program and floor alternate in every repetition; medians are quoted. Both
// launches include Wine's start of a process.
//
//   bench_measure_win32 PROGRAM.exe BARE_WINDOW.exe [--reps N]

#include <windows.h>

#include "desktop_access.h"
#include "table.h"

#include <fcntl.h>
#include <io.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using desktop::classOf;
using desktop::mouse;
using desktop::textOf;

using bench::row;
using bench::Samples;

double nowMs() {
    static const double perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return double(f.QuadPart) / 1000;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / perMs;
}

std::vector<HANDLE> g_children; // ended by die(), so a failed run leaves nothing behind

// Asks the process to close its windows, then ends it if it has not gone
// within 3 s.
void stop(HANDLE process, DWORD pid) {
    EnumWindows(
        [](HWND hwnd, LPARAM wanted) {
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner == DWORD(wanted) && IsWindowVisible(hwnd))
                PostMessageW(hwnd, WM_CLOSE, 0, 0);
            return TRUE;
        },
        LPARAM(pid));
    if (WaitForSingleObject(process, 3000) != WAIT_OBJECT_0) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 3000);
    }
    std::erase(g_children, process);
    CloseHandle(process);
}

[[noreturn]] void die(const std::string& what) {
    std::fprintf(stderr, "bench_measure_win32: %s\n", what.c_str());
    for (HANDLE h : g_children) {
        TerminateProcess(h, 1);
        WaitForSingleObject(h, 3000);
    }
    std::exit(1);
}

std::wstring wide(const std::string& text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(size_t(std::max(n, 1)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, out.data(), n);
    out.resize(out.size() - 1);
    return out;
}

// Polls `done` about once a millisecond (Sleep(1) is 1.1 ms under Wine) until
// it holds or the deadline passes. Every window call of another process's
// window is a round trip to the wineserver, which the measured program needs
// for its own calls: polling without a pause was seen to double the
// program's preset latency.
bool pollUntil(double deadline, const std::function<bool()>& done) {
    for (;;) {
        if (done())
            return true;
        if (nowMs() > deadline)
            return false;
        Sleep(1);
    }
}

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

Rect rectOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// ---------------------------------------------------------------- launching

struct Running {
    HANDLE process = nullptr;
    DWORD pid = 0;
    HWND window = nullptr;
    double startupMs = 0;
};

// The process's visible top-level window with a caption; menus are windows too.
HWND mainWindowOf(DWORD pid) {
    struct Search {
        DWORD pid;
        HWND found;
    } search{pid, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM data) {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            const auto style = DWORD(GetWindowLongPtrW(hwnd, GWL_STYLE));
            if (owner != s.pid || !IsWindowVisible(hwnd) || (style & WS_CAPTION) != WS_CAPTION ||
                classOf(hwnd) == L"#32768")
                return TRUE;
            s.found = hwnd;
            return FALSE;
        },
        LPARAM(&search));
    return search.found;
}

// Launches a program and returns when its main window satisfies `ready`.
Running launch(const std::string& path, const std::function<bool(const Rect&)>& ready) {
    std::wstring commandLine = L"\"" + wide(path) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    Running r;
    const double t0 = nowMs();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi))
        die("cannot start " + path + " (error " + std::to_string(GetLastError()) + ")");
    CloseHandle(pi.hThread);
    g_children.push_back(pi.hProcess);
    r.process = pi.hProcess, r.pid = pi.dwProcessId;
    const double deadline = t0 + 20000;
    auto check = [&] {
        if (WaitForSingleObject(r.process, 0) == WAIT_OBJECT_0)
            die(path + " ended before showing its window");
        if (!r.window || !IsWindow(r.window) || !IsWindowVisible(r.window))
            r.window = mainWindowOf(r.pid);
        return r.window && ready(rectOf(r.window));
    };
    if (!pollUntil(deadline, check))
        die(path + " did not reach its start-up state within 20 s" +
            (r.window ? "" : " (no visible window)"));
    r.startupMs = nowMs() - t0;
    return r;
}

// ---------------------------------------------------------------- presets

struct Target {
    int w, h;
};

HWND childWithText(HWND parent, const std::wstring& text) {
    std::vector<HWND> all;
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM out) {
            reinterpret_cast<std::vector<HWND>*>(out)->push_back(hwnd);
            return TRUE;
        },
        LPARAM(&all));
    for (HWND hwnd : all)
        if (textOf(hwnd) == text)
            return hwnd;
    return nullptr;
}

void send(std::vector<INPUT> inputs) {
    if (SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
        die("SendInput refused the input");
}

struct PresetTimes {
    double sized, placed;
};

// Clicks the option button captioned `name` in the middle of its part on
// the screen (a large preset puts part of the window off it) and times the
// window until GetWindowRect gives the preset's size, then until it is also
// at the quarter position.
PresetTimes clickPreset(HWND window, const std::string& name, Target to) {
    HWND button = childWithText(window, wide(name));
    if (!button)
        die("the program's window has no control \"" + name + "\"");
    const Rect b = rectOf(button);
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    const int x0 = std::max(b.x, 0), y0 = std::max(b.y, 0);
    const int x1 = std::min(b.x + b.w, sw), y1 = std::min(b.y + b.h, sh);
    if (x0 >= x1 || y0 >= y1)
        die("\"" + name + "\" is off the screen");
    const POINT at{(x0 + x1) / 2, (y0 + y1) / 2};
    const std::string where =
        "click on \"" + name + "\" at (" + std::to_string(at.x) + ", " + std::to_string(at.y) + ")";
    if (WindowFromPoint(at) != button)
        die(where + ": another window is there");
    SetCursorPos(at.x, at.y);
    send({mouse(0, at)});
    if (!pollUntil(nowMs() + 1000, [&] {
            POINT now{};
            return GetCursorPos(&now) && now.x == at.x && now.y == at.y;
        }))
        die(where + ": the pointer did not arrive");
    Sleep(30); // the program has seen the pointer arrive

    const double t0 = nowMs();
    send({mouse(MOUSEEVENTF_LEFTDOWN, at), mouse(MOUSEEVENTF_LEFTUP, at)});
    PresetTimes t{};
    Rect now;
    if (!pollUntil(t0 + 3000, [&] {
            now = rectOf(window);
            return now.w == to.w && now.h == to.h;
        }))
        die(where + ": the window did not reach " + std::to_string(to.w) + " x " +
            std::to_string(to.h) + " within 3 s (it is " + std::to_string(now.w) + " x " +
            std::to_string(now.h) + ")");
    t.sized = nowMs() - t0;
    const int qx = (sw - to.w) / 4, qy = (sh - to.h) / 4;
    if (!pollUntil(t0 + 3000, [&] {
            now = rectOf(window);
            return now.x == qx && now.y == qy && now.w == to.w && now.h == to.h;
        }))
        die(where + ": the window did not reach its quarter position within 3 s");
    t.placed = nowMs() - t0;
    return t;
}

// The floor: the same change of size asked by SetWindowPos from here. Across
// processes the call returns once the window's thread has carried it out.
double setWindowPosFloor(HWND window, Target to) {
    const double t0 = nowMs();
    SetWindowPos(window, nullptr, 0, 0, to.w, to.h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!pollUntil(t0 + 3000, [&] {
            const Rect now = rectOf(window);
            return now.w == to.w && now.h == to.h;
        }))
        die("SetWindowPos did not give the bare window " + std::to_string(to.w) + " x " +
            std::to_string(to.h) + " within 3 s");
    return nowMs() - t0;
}

// ---------------------------------------------------------------- report

// Private bytes are read from PagefileUsage: Windows gives the process's
// commit charge in both it and PrivateUsage, Wine only in PagefileUsage (as
// the process's anonymous resident memory and swap) and 0 in PrivateUsage.
struct Memory {
    double peakWorkingSet, privateBytes; // MiB
};

Memory memoryOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX m{};
    m.cb = sizeof m;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m))
        die("GetProcessMemoryInfo failed (error " + std::to_string(GetLastError()) + ")");
    return {double(m.PeakWorkingSetSize) / 1048576, double(m.PagefileUsage) / 1048576};
}

std::string wineVersion() {
    using Version = const char*(CDECL*)();
    auto version = reinterpret_cast<Version>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
    return version ? std::string("Wine ") + version() : "no Wine (a real Windows?)";
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PROGRAM.exe BARE_WINDOW.exe [--reps N]\n", argv[0]);
        return 2;
    }
    const std::string program = argv[1], bare = argv[2];
    int reps = 10;
    for (int i = 3; i + 1 < argc; i += 2)
        if (std::strcmp(argv[i], "--reps") == 0)
            reps = std::max(1, std::atoi(argv[i + 1]));
    // Measures in device pixels, as the program (which is DPI aware) does.
    SetProcessDPIAware();
    // Lines end in "\n" alone, as on Linux, not in the console's "\r\n".
    _setmode(_fileno(stdout), _O_BINARY);

    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(nullptr, dc);
    const Target small{640, 480}, large{1600, 1200};
    const int qx = (sw - small.w) / 4, qy = (sh - small.h) / 4;
    using Ready = std::function<bool(const Rect&)>;
    const Ready programReady = [&](const Rect& r) {
        return r.x == qx && r.y == qy && r.w == small.w && r.h == small.h;
    };
    const Ready bareReady = [](const Rect&) { return true; };

    Samples startP, startF, peakP, peakF, privP, privF;
    Samples upClick, upPlaced, downClick, downPlaced, upFloor, downFloor;
    // One launch of each first, so that both start with warm file caches.
    for (const bool isProgram : {true, false}) {
        const Running r = launch(isProgram ? program : bare, isProgram ? programReady : bareReady);
        stop(r.process, r.pid);
    }
    for (int rep = 0; rep < reps; ++rep) {
        std::fprintf(stderr, "\rrepetition %d of %d ", rep + 1, reps);
        for (const bool isProgram : {true, false}) {
            const Running r =
                launch(isProgram ? program : bare, isProgram ? programReady : bareReady);
            (isProgram ? startP : startF).push_back(r.startupMs);
            Sleep(1000); // settled: no input, no requests to the window
            const Memory m = memoryOf(r.process);
            (isProgram ? peakP : peakF).push_back(m.peakWorkingSet);
            (isProgram ? privP : privF).push_back(m.privateBytes);
            // Up and down twice; each change settles before the next.
            for (int round = 0; round < 2; ++round) {
                if (isProgram) {
                    PresetTimes t = clickPreset(r.window, "1600 X 1200", large);
                    upClick.push_back(t.sized), upPlaced.push_back(t.placed);
                    Sleep(150);
                    t = clickPreset(r.window, "640 X 480", small);
                    downClick.push_back(t.sized), downPlaced.push_back(t.placed);
                } else {
                    upFloor.push_back(setWindowPosFloor(r.window, large));
                    Sleep(150);
                    downFloor.push_back(setWindowPosFloor(r.window, small));
                }
                Sleep(150);
            }
            stop(r.process, r.pid);
        }
    }
    std::fprintf(stderr, "\r%30s\r", "");

    std::printf("Windows build under %s, virtual desktop %d x %d, %d DPI\n", wineVersion().c_str(),
                sw, sh, dpi);
    std::printf("Medians of %d launches of each (alternating, after one warm-up launch); "
                "%zu clicks per direction\n",
                reps, upClick.size());
    std::printf("Quarter position of 640 x 480: (%d, %d)\n\n", qx, qy);
    std::printf("%-40s %9s %9s %-5s %8s\n", "measure", "program", "floor", "unit", "ratio");
    row("start-up (floor: bare window shown)", startP, startF, "ms");
    row("preset 640x480 -> 1600x1200", upClick, upFloor, "ms");
    row("preset 1600x1200 -> 640x480", downClick, downFloor, "ms");
    row("  until also at quarter position: up", upPlaced, {}, "ms");
    row("  until also at quarter position: down", downPlaced, {}, "ms");
    row("peak working set", peakP, peakF, "MiB");
    row("private bytes (PagefileUsage)", privP, privF, "MiB");
    std::printf("\nstart-up includes Wine's start of each process; floor of the presets: "
                "SetWindowPos of the bare window\nfrom the measuring tool; windows polled about "
                "once a millisecond\n");
    return 0;
}
