#include "win32_platform.h"

#include "runtime_error.h"
#include "win32_guard.h"
#include "win32_text.h"
#include "win32_window.h"

#include <utility>

namespace forms {

Platform& platform() {
    return win32::win32Platform();
}

namespace win32 {

namespace {

// Looked up at run time, as older systems lack the call.
template<typename Function> Function user32Function(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// Before any window exists: one pixel is one device pixel on every monitor,
// so the system never scales the windows as bitmaps. The executable's
// manifest says the same; this covers a build without it.
void becomeDpiAware() {
    using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    const auto setContext = user32Function<SetContext>("SetProcessDpiAwarenessContext");
    if (setContext && setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2))
        return;
    SetProcessDPIAware();
}

// The system's DPI, the screen's for a program aware of each monitor's:
// the same for every monitor and fixed while the program runs (a new one
// takes effect at the next sign-in), so it is read once. Every conversion
// between twips and pixels asks for it, and a screen device context costs
// several calls of the Wine server.
double screenDpi(int index) {
    static const auto read = [](int which) {
        HDC dc = GetDC(nullptr);
        const int dpi = GetDeviceCaps(dc, which);
        ReleaseDC(nullptr, dc);
        return dpi > 0 ? dpi : 96;
    };
    static const double x = read(LOGPIXELSX);
    static const double y = read(LOGPIXELSY);
    return index == LOGPIXELSX ? x : y;
}

} // namespace

int windowDpi(HWND hwnd) {
    using GetDpi = UINT(WINAPI*)(HWND);
    static const auto getDpi = user32Function<GetDpi>("GetDpiForWindow");
    const UINT dpi = getDpi ? getDpi(hwnd) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : static_cast<int>(screenDpi(LOGPIXELSY));
}

Win32Platform& win32Platform() {
    static Win32Platform platform;
    return platform;
}

Win32Platform::Win32Platform() {
    becomeDpiAware();
}

Win32Platform::~Win32Platform() {
    if (m_hiddenOwner)
        DestroyWindow(m_hiddenOwner);
}

std::unique_ptr<WindowPeer> Win32Platform::createWindow(Form& form, const WindowSpec& layout) {
    return std::make_unique<Win32Window>(form, layout);
}

// Each monitor's whole rectangle, the task bar's part included; the
// primary one first.
std::vector<PixelRect> Win32Platform::monitors() const {
    std::vector<PixelRect> areas;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            if (GetMonitorInfoW(monitor, &info)) {
                auto& list = *reinterpret_cast<std::vector<PixelRect>*>(data);
                const RECT& r = info.rcMonitor;
                const PixelRect area{r.left, r.top, r.right - r.left, r.bottom - r.top};
                if (info.dwFlags & MONITORINFOF_PRIMARY)
                    list.insert(list.begin(), area);
                else
                    list.push_back(area);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&areas));
    if (areas.empty())
        areas.push_back({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    return areas;
}

double Win32Platform::logicalDpiX() const {
    return screenDpi(LOGPIXELSX);
}

double Win32Platform::logicalDpiY() const {
    return screenDpi(LOGPIXELSY);
}

void Win32Platform::showError(const RuntimeError& error) {
    // Task-modal: no window of the program takes input while it is shown.
    MessageBoxW(nullptr, wide(reportText(error)).c_str(), wide(m_appName).c_str(),
                MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
}

// Every loop, modal ones included, sees the flag and returns; the outermost
// one also gets WM_QUIT.
void Win32Platform::quit(int status) {
    if (m_quitting)
        return;
    m_quitting = true;
    m_status = status;
    PostQuitMessage(status);
}

void Win32Platform::runLoop(const std::function<bool()>& done) {
    MSG msg;
    while (!m_quitting && !done()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            m_quitting = true;
            m_status = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1)
            break;
        dispatch(msg);
    }
}

void Win32Platform::dispatch(MSG& msg) {
    if (msg.hwnd) {
        const auto it = m_windows.find(GetAncestor(msg.hwnd, GA_ROOT));
        if (it != m_windows.end() &&
            guarded([&] { return LRESULT{it->second->preTranslate(msg)}; }) != 0)
            return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void Win32Platform::loadIcons() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    m_bigIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXICON),
                                              GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    m_smallIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON),
                                                GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
}

const wchar_t* Win32Platform::windowClass(bool withIcon) {
    const wchar_t* const name = withIcon ? L"VistrumWindow" : L"VistrumDialog";
    if (!m_classRegistered[withIcon]) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        // The whole client area is painted again on every change of size:
        // the frame stands centred in it.
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = Win32Window::windowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hIcon = withIcon ? m_bigIcon : nullptr;
        wc.hIconSm = withIcon ? m_smallIcon : nullptr;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = name;
        if (!RegisterClassExW(&wc))
            raiseError(ErrorCode::WindowSystem, "registering the window class");
        m_classRegistered[withIcon] = true;
    }
    return name;
}

namespace {

// What WinMain's nCmdShow would say. Windows applies it to the program's
// first ShowWindow by itself, whatever that asks for; Wine does not. Only
// the commands a shortcut offers count: normal, minimised, maximised.
std::optional<int> startupShowCommand() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    if ((startup.dwFlags & STARTF_USESHOWWINDOW) == 0)
        return std::nullopt;
    switch (startup.wShowWindow) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_SHOWMAXIMIZED:
        return startup.wShowWindow;
    default:
        return SW_SHOWNORMAL;
    }
}

} // namespace

std::optional<int> Win32Platform::takeStartupShowCommand() {
    if (std::exchange(m_startupShown, true))
        return std::nullopt;
    return startupShowCommand();
}

bool Win32Platform::startupShowsMinimised() const {
    if (m_startupShown)
        return false;
    const std::optional<int> command = startupShowCommand();
    return command && *command != SW_SHOWNORMAL && *command != SW_SHOWMAXIMIZED;
}

HWND Win32Platform::hiddenOwner() {
    if (!m_hiddenOwner)
        m_hiddenOwner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    return m_hiddenOwner;
}

} // namespace win32

} // namespace forms
