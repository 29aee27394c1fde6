// vistrum_probe: finds the program's windows on the Wine desktop, measures
// them and gives them real input, as a user at the screen would. One
// process answers a whole scenario: it reads one command per line on stdin
// and prints one answer line per command, "ok ..." or "error ...", so that
// a shell script drives it as a coprocess without paying Wine's start-up for
// every step. Waiting is the script's business; no command blocks for long.
//
// Windows are named "main" (the top-level window "Vistrum V2.1") and
// "dialog" (the one other visible top-level window of the same process,
// menus aside). A child is named by its text, exactly or, ending in "*", by
// a prefix. Rectangles are "X Y W H" in screen pixels; texts are printed
// in UTF-8 with \r, \n and \\ escaped.
//
//   rect WIN | frame WIN | client WIN   GetWindowRect; DWM's extended frame
//                                       bounds ("none" if it gives none); the
//                                       client area on the screen
//   title WIN | state WIN               caption; "visible enabled iconic
//                                       zoomed foreground" as 0/1
//   find WIN PATTERN                    rect, visible, checked, enabled,
//                                       class, text of the first such child
//   swatch N                            rect and text of ribbon swatch N
//   accname WIN PATTERN                 that child's name as the system's
//                                       accessibility proxy reports it
//                                       (oleacc), or "error" and the HRESULT
//   click X Y | click-child WIN PATTERN a left click, at X,Y or the centre
//   drag-corner WIN DX DY               drags the bottom-right corner
//   caption-button WIN close|minimize|maximize
//                                       clicks that button of the caption (on
//                                       a minimised window, minimize restores)
//   system WIN minimize|maximize|restore
//                                       the command of the window menu
//                                       (WM_SYSCOMMAND), for a window whose
//                                       caption lies off the screen
//   key KEYS                            e.g. escape, return, space, ctrl+q,
//                                       alt+h, f1, a, down
//   type TEXT                           types TEXT, character by character
//   edit WIN N                          the text of WIN's N-th edit box (0
//                                       first, in the order they were made)
//   pixel X Y                           "#RRGGBB" on the screen
//   watch | mark NAME | watched         watches the main window from outside
//                                       from now on (probe_watch.h); marks the
//                                       script's next action; every line seen
//                                       so far, ";" between them
//   screen                              "W H DPI"
//   quit

#include <windows.h>

#include "desktop_access.h"
#include "probe_watch.h"

#include <dwmapi.h>
#include <fcntl.h>
#include <io.h>
#include <oleacc.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using desktop::classOf;
using desktop::mouse;
using desktop::textOf;

const wchar_t kMainTitle[] = L"Vistrum V2.1";

std::string utf8(const std::wstring& text) {
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::wstring wide(const std::string& text) {
    if (text.empty())
        return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

std::string rectText(const RECT& r) {
    std::ostringstream s;
    s << r.left << ' ' << r.top << ' ' << r.right - r.left << ' ' << r.bottom - r.top;
    return s.str();
}

HWND findMain() {
    HWND found = nullptr;
    EnumWindows(
        [](HWND hwnd, LPARAM out) {
            wchar_t title[64] = {};
            GetWindowTextW(hwnd, title, 64);
            if (IsWindowVisible(hwnd) && std::wstring(title) == kMainTitle) {
                *reinterpret_cast<HWND*>(out) = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The program's other visible top-level windows; menus are windows too.
std::vector<HWND> otherWindows(HWND main) {
    struct Search {
        HWND main;
        DWORD pid;
        std::vector<HWND> found;
    } search{main, 0, {}};
    GetWindowThreadProcessId(main, &search.pid);
    EnumWindows(
        [](HWND hwnd, LPARAM data) {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (hwnd != s.main && pid == s.pid && IsWindowVisible(hwnd) &&
                classOf(hwnd) != L"#32768")
                s.found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> descendants(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM out) {
            reinterpret_cast<std::vector<HWND>*>(out)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

bool matches(const std::wstring& text, const std::wstring& pattern) {
    if (!pattern.empty() && pattern.back() == L'*')
        return text.starts_with(pattern.substr(0, pattern.size() - 1));
    return text == pattern;
}

struct Failure {
    std::string what;
};

[[noreturn]] void fail(const std::string& what) {
    throw Failure{what};
}

class Probe {
public:
    std::string run(const std::string& line);

private:
    HWND window(const std::string& name);
    HWND child(HWND parent, const std::string& pattern);
    void click(int x, int y);
    void key(const std::string& combination);
    std::string captionButton(HWND hwnd, LRESULT which);

    HWND m_main = nullptr;
    RectWatch m_watch;
};

HWND Probe::window(const std::string& name) {
    if (!m_main || !IsWindow(m_main) || !IsWindowVisible(m_main))
        m_main = findMain();
    if (!m_main)
        fail("no visible window titled \"Vistrum V2.1\"");
    if (name == "main")
        return m_main;
    if (name != "dialog")
        fail("no window called " + name + " (main or dialog)");
    const std::vector<HWND> others = otherWindows(m_main);
    if (others.size() != 1)
        fail(std::to_string(others.size()) + " other windows of the program are showing");
    return others.front();
}

HWND Probe::child(HWND parent, const std::string& pattern) {
    const std::wstring wanted = wide(pattern);
    for (HWND hwnd : descendants(parent))
        if (matches(textOf(hwnd), wanted))
            return hwnd;
    fail("no child with text \"" + pattern + "\"");
}

void send(std::vector<INPUT> inputs) {
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
        fail("SendInput refused the input");
    Sleep(30); // lets the program's queue take it before the next command
}

bool pointerAt(POINT at) {
    POINT now{};
    return GetCursorPos(&now) && now.x == at.x && now.y == at.y;
}

POINT moveTo(int x, int y) {
    const POINT at{x, y};
    if (!SetCursorPos(x, y))
        fail("SetCursorPos refused " + std::to_string(x) + "," + std::to_string(y));
    // A motion event of its own, so that the window under the pointer sees it.
    send({mouse(0, at)});
    for (int i = 0; i < 50 && !pointerAt(at); ++i)
        Sleep(10);
    if (!pointerAt(at))
        fail("the pointer did not reach " + std::to_string(x) + "," + std::to_string(y));
    return at;
}

void Probe::click(int x, int y) {
    const POINT at = moveTo(x, y);
    send({mouse(MOUSEEVENTF_LEFTDOWN, at), mouse(MOUSEEVENTF_LEFTUP, at)});
}

WORD virtualKey(const std::string& name) {
    static const std::pair<const char*, WORD> named[] = {
        {"escape", VK_ESCAPE}, {"return", VK_RETURN}, {"space", VK_SPACE}, {"tab", VK_TAB},
        {"f1", VK_F1},         {"f4", VK_F4},         {"up", VK_UP},       {"down", VK_DOWN},
        {"ctrl", VK_CONTROL},  {"alt", VK_MENU},      {"shift", VK_SHIFT}};
    for (const auto& [n, vk] : named)
        if (name == n)
            return vk;
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
    fail("unknown key " + name);
}

INPUT keyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

// Each character as the keyboard would give it, whatever the layout.
void typeText(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (const wchar_t c : text) {
        for (const DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT in{};
            in.type = INPUT_KEYBOARD;
            in.ki.wScan = c;
            in.ki.dwFlags = KEYEVENTF_UNICODE | up;
            inputs.push_back(in);
        }
    }
    send(inputs);
}

// "ctrl+q": every key down in order, then up in reverse.
void Probe::key(const std::string& combination) {
    std::vector<WORD> keys;
    std::stringstream parts(combination);
    for (std::string part; std::getline(parts, part, '+');)
        keys.push_back(virtualKey(part));
    std::vector<INPUT> inputs;
    for (WORD vk : keys)
        inputs.push_back(keyInput(vk, false));
    for (auto it = keys.rbegin(); it != keys.rend(); ++it)
        inputs.push_back(keyInput(*it, true));
    send(inputs);
}

// A button of the caption (HTCLOSE, HTMAXBUTTON, HTMINBUTTON), found where
// the window itself says it is: WM_NCHITTEST over the top right corner,
// which covers a minimised window's bar too. Clicks its middle.
std::string Probe::captionButton(HWND hwnd, LRESULT which) {
    RECT r;
    GetWindowRect(hwnd, &r);
    RECT found{r.right, r.bottom, r.left, r.top};
    for (int y = r.top; y < std::min(r.bottom, r.top + 64L); y += 2) {
        for (int x = r.right - 1; x >= std::max(r.left, r.right - 160L); x -= 2) {
            DWORD_PTR hit = HTNOWHERE;
            SendMessageTimeoutW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000,
                                &hit);
            if (static_cast<LRESULT>(hit) != which)
                continue;
            found = {std::min(found.left, static_cast<LONG>(x)),
                     std::min(found.top, static_cast<LONG>(y)),
                     std::max(found.right, static_cast<LONG>(x)),
                     std::max(found.bottom, static_cast<LONG>(y))};
        }
    }
    if (found.left > found.right)
        fail("the window reports no such caption button");
    const int x = (found.left + found.right) / 2;
    const int y = (found.top + found.bottom) / 2;
    click(x, y);
    return std::to_string(x) + " " + std::to_string(y);
}

std::string describe(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    const LRESULT check = SendMessageW(hwnd, BM_GETCHECK, 0, 0);
    const bool button = classOf(hwnd) == L"Button";
    std::ostringstream s;
    s << rectText(r) << ' ' << (IsWindowVisible(hwnd) ? 1 : 0) << ' '
      << (button && check == BST_CHECKED ? 1 : 0) << ' ' << (IsWindowEnabled(hwnd) ? 1 : 0) << ' '
      << utf8(classOf(hwnd)) << ' ' << escaped(utf8(textOf(hwnd)));
    return s.str();
}

// The swatches are the bordered labels of the frame, row by row.
std::string swatch(HWND main, int index) {
    std::vector<std::pair<RECT, HWND>> found;
    for (HWND hwnd : descendants(main)) {
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
        RECT r;
        GetWindowRect(hwnd, &r);
        if (classOf(hwnd) == L"Static" && (style & WS_BORDER) != 0)
            found.emplace_back(r, hwnd);
    }
    if (found.size() != 24)
        fail(std::to_string(found.size()) + " bordered labels, not 24 swatches");
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first.top != b.first.top ? a.first.top < b.first.top : a.first.left < b.first.left;
    });
    if (index < 0 || index >= 24)
        fail("no swatch " + std::to_string(index));
    const auto& [r, hwnd] = found[static_cast<size_t>(index)];
    return rectText(r) + " " + escaped(utf8(textOf(hwnd)));
}

std::string Probe::run(const std::string& line) {
    std::istringstream in(line);
    std::string command;
    in >> command;
    std::string rest;
    std::getline(in >> std::ws, rest);
    std::istringstream args(rest);
    auto word = [&args] {
        std::string w;
        if (!(args >> w))
            fail("missing argument");
        return w;
    };
    auto integer = [&word] {
        const std::string w = word();
        try {
            return std::stoi(w);
        } catch (const std::exception&) {
            fail("not a number: " + w);
        }
    };
    auto pattern = [&args] {
        std::string p;
        std::getline(args >> std::ws, p);
        return p;
    };

    if (command == "watch") {
        m_watch.start(kMainTitle);
        return {};
    }
    if (command == "mark") {
        m_watch.mark(word());
        return {};
    }
    if (command == "watched")
        return m_watch.lines();
    if (command == "rect") {
        RECT r;
        GetWindowRect(window(word()), &r);
        return rectText(r);
    }
    if (command == "frame") {
        RECT r{};
        if (DwmGetWindowAttribute(window(word()), DWMWA_EXTENDED_FRAME_BOUNDS, &r, sizeof r) !=
            S_OK)
            return "none";
        return rectText(r);
    }
    if (command == "client") {
        HWND hwnd = window(word());
        RECT r;
        GetClientRect(hwnd, &r);
        MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
        return rectText(r);
    }
    if (command == "title")
        return escaped(utf8(textOf(window(word()))));
    if (command == "state") {
        HWND hwnd = window(word());
        std::ostringstream s;
        s << (IsWindowVisible(hwnd) ? 1 : 0) << ' ' << (IsWindowEnabled(hwnd) ? 1 : 0) << ' '
          << (IsIconic(hwnd) ? 1 : 0) << ' ' << (IsZoomed(hwnd) ? 1 : 0) << ' '
          << (GetForegroundWindow() == hwnd ? 1 : 0);
        return s.str();
    }
    if (command == "find") {
        HWND parent = window(word());
        return describe(child(parent, pattern()));
    }
    if (command == "accname") {
        HWND parent = window(word());
        IAccessible* object = nullptr;
        HRESULT hr = AccessibleObjectFromWindow(child(parent, pattern()), OBJID_CLIENT,
                                                IID_IAccessible, reinterpret_cast<void**>(&object));
        BSTR name = nullptr;
        if (SUCCEEDED(hr)) {
            VARIANT self{};
            self.vt = VT_I4;
            self.lVal = CHILDID_SELF;
            hr = object->get_accName(self, &name);
            object->Release();
        }
        if (FAILED(hr)) {
            char text[32];
            std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(hr));
            fail(text);
        }
        const std::wstring got = name ? std::wstring(name, SysStringLen(name)) : std::wstring();
        SysFreeString(name);
        return escaped(utf8(got));
    }
    if (command == "swatch")
        return swatch(window("main"), integer());
    if (command == "click") {
        const int x = integer();
        click(x, integer());
        return {};
    }
    if (command == "click-child") {
        HWND parent = window(word());
        RECT r;
        GetWindowRect(child(parent, pattern()), &r);
        click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        return {};
    }
    if (command == "drag-corner") {
        HWND hwnd = window(word());
        const int dx = integer();
        const int dy = integer();
        RECT r;
        GetWindowRect(hwnd, &r);
        const int x = r.right - 2;
        const int y = r.bottom - 2;
        POINT at = moveTo(x, y);
        send({mouse(MOUSEEVENTF_LEFTDOWN, at)});
        for (int step = 1; step <= 4; ++step)
            at = moveTo(x + dx * step / 4, y + dy * step / 4);
        send({mouse(MOUSEEVENTF_LEFTUP, at)});
        return {};
    }
    if (command == "caption-button") {
        HWND hwnd = window(word());
        const std::string which = word();
        if (which == "close")
            return captionButton(hwnd, HTCLOSE);
        if (which == "maximize")
            return captionButton(hwnd, HTMAXBUTTON);
        if (which == "minimize")
            return captionButton(hwnd, HTMINBUTTON);
        fail("no caption button " + which);
    }
    if (command == "system") {
        HWND hwnd = window(word());
        const std::string which = word();
        const WPARAM id = which == "minimize"   ? SC_MINIMIZE
                          : which == "maximize" ? SC_MAXIMIZE
                          : which == "restore"  ? SC_RESTORE
                                                : 0;
        if (id == 0)
            fail("no window menu command " + which);
        if (!PostMessageW(hwnd, WM_SYSCOMMAND, id, 0))
            fail("PostMessage refused WM_SYSCOMMAND");
        return {};
    }
    if (command == "key") {
        key(word());
        return {};
    }
    if (command == "type") {
        typeText(wide(rest));
        return {};
    }
    if (command == "edit") {
        HWND parent = window(word());
        int n = integer();
        for (HWND hwnd : descendants(parent))
            if (classOf(hwnd) == L"Edit" && n-- == 0)
                return escaped(utf8(textOf(hwnd)));
        fail("no such edit box");
    }
    if (command == "pixel") {
        const int x = integer();
        const int y = integer();
        HDC dc = GetDC(nullptr);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(nullptr, dc);
        if (c == CLR_INVALID)
            fail("no pixel at " + std::to_string(x) + "," + std::to_string(y));
        char text[8];
        std::snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
        return text;
    }
    if (command == "screen") {
        HDC dc = GetDC(nullptr);
        std::ostringstream s;
        s << GetSystemMetrics(SM_CXSCREEN) << ' ' << GetSystemMetrics(SM_CYSCREEN) << ' '
          << GetDeviceCaps(dc, LOGPIXELSX);
        ReleaseDC(nullptr, dc);
        return s.str();
    }
    fail("unknown command " + command);
}

} // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); // for oleacc
    // Measures in device pixels, as the program (which is DPI aware) does.
    SetProcessDPIAware();
    // Lines end in "\n" alone, as the shell reading them expects.
    _setmode(_fileno(stdout), _O_BINARY);
    Probe probe;
    for (std::string line; std::getline(std::cin, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        if (line == "quit")
            break;
        try {
            const std::string answer = probe.run(line);
            std::printf("ok%s%s\n", answer.empty() ? "" : " ", answer.c_str());
        } catch (const Failure& failure) {
            std::printf("error %s\n", failure.what.c_str());
        }
        std::fflush(stdout);
    }
    return 0;
}
