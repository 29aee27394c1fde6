// The Windows floor the program is measured against: the least a Win32 main
// window with a menu bar (File, Help) and one label costs to start and to keep
// in memory. Plain user32 and gdi32, no forms layer. It opens where and as
// large as the program's main window after start-up: 640 x 480 outer pixels
// at (96, 72), with the same window style and a menu bar, so that both hold
// the same client area.

#include <windows.h>

namespace {

constexpr int kExit = 1;

HWND g_label = nullptr;

// DPI aware before any window exists, as the program is: one pixel is one
// device pixel. The newer call is looked up at run time, as the program does.
void becomeDpiAware() {
    using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    auto setContext = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
    if (!setContext || !setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2))
        SetProcessDPIAware();
}

HMENU makeMenuBar() {
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, kExit, L"E&xit");
    HMENU help = CreatePopupMenu();
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
    return bar;
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETMINMAXINFO: {
        // Without this the system caps the window at the screen's size plus
        // its frame, and the benchmark's 1600 x 1200 would not be granted.
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMaxTrackSize = {32767, 32767};
        return 0;
    }
    case WM_SIZE:
        // The label fills the client area, as a central widget would.
        if (g_label)
            MoveWindow(g_label, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kExit)
            DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    becomeDpiAware();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"BenchBareWindow";
    if (!RegisterClassExW(&wc))
        return 1;
    HWND hwnd =
        CreateWindowExW(0, wc.lpszClassName, L"Bare window", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                        96, 72, 640, 480, nullptr, makeMenuBar(), instance, nullptr);
    if (!hwnd)
        return 1;
    RECT client;
    GetClientRect(hwnd, &client);
    g_label = CreateWindowExW(0, L"STATIC", L"Bare window", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0,
                              client.right, client.bottom, hwnd, nullptr, instance, nullptr);
    SendMessageW(g_label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
