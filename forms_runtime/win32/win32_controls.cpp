#include "win32_controls.h"

#include "control.h"
#include "runtime_error.h"
#include "win32_accessibility.h"
#include "win32_colors.h"
#include "win32_fonts.h"
#include "win32_guard.h"
#include "win32_shape.h"
#include "win32_text.h"
#include "win32_window.h"

namespace forms::win32 {

namespace {

struct WindowKind {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle = 0;
};

WindowKind windowKind(Kind kind, unsigned flags) {
    const DWORD common = WS_CHILD | WS_CLIPSIBLINGS;
    switch (kind) {
    case Kind::Frame:
        return {L"BUTTON", common | WS_CLIPCHILDREN | BS_GROUPBOX};
    case Kind::OptionButton:
        // Not an automatic one: the group is the container, kept here.
        return {L"BUTTON", common | BS_RADIOBUTTON};
    case Kind::CommandButton:
        return {L"BUTTON",
                common | ((flags & DefaultButton) != 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)};
    case Kind::Label:
        // SS_NOTIFY: without it a STATIC lets clicks through to its parent.
        return {L"STATIC", common | SS_NOTIFY | SS_NOPREFIX |
                               ((flags & Centred) != 0 ? SS_CENTER : SS_LEFT) |
                               ((flags & Bordered) != 0 ? WS_BORDER : 0)};
    case Kind::TextBox:
        // The user's: one line in a sunken box. The panes: no border and no
        // scroll bars, fixed texts.
        if ((flags & Editable) != 0)
            return {L"EDIT", common | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE};
        return {L"EDIT", common | ES_MULTILINE | ES_READONLY | ES_LEFT};
    case Kind::Shape:
        return {shapeClass(), common};
    }
    return {L"STATIC", common};
}

} // namespace

// Made complete in one call, with its caption, place and visibility; only
// the font, and for some kinds the handling of their messages, follow.
Win32Control::Win32Control(Win32Window& window, Control& control, const ControlSpec& layout,
                           HWND parent)
    : m_window(window)
    , m_control(control)
    , m_kind(layout.kind)
    , m_parent(parent)
    , m_caption(layout.kind == Kind::Shape ? String() : control.Caption())
    , m_rect(control.pixelGeometry())
    , m_back(control.BackColor())
    , m_fore(control.ForeColor())
    , m_visible(control.Visible()) {
    const WindowKind wk = windowKind(layout.kind, layout.flags);
    static int nextId = 100;
    m_hwnd = CreateWindowExW(wk.exStyle, wk.className, wide(m_caption).c_str(),
                             wk.style | (m_visible ? WS_VISIBLE : 0), m_rect.x, m_rect.y,
                             m_rect.width, m_rect.height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId++)),
                             GetModuleHandleW(nullptr), nullptr);
    if (!m_hwnd)
        raiseError(ErrorCode::WindowSystem, "creating " + control.displayName());
    if (m_kind == Kind::Shape) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control));
        shapeRegion(m_hwnd, control, m_rect.width, m_rect.height, false);
    } else if (m_kind != Kind::OptionButton && m_kind != Kind::CommandButton) {
        // The control's messages go through handle() first. Buttons need
        // nothing of it: they hold no controls and their clicks are the
        // system's. Not comctl32's subclassing, which looks up a window
        // property on every message, a call of the Wine server each.
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        m_systemProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Control::controlProc)));
    }
    if (HFONT f = font(layout.font))
        SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(f), FALSE);
    if (m_kind == Kind::TextBox)
        SendMessageW(m_hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(2, 2));
}

Win32Control::~Win32Control() {
    m_window.forget(this);
    if (m_systemProc) {
        SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_systemProc));
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    }
    DestroyWindow(m_hwnd);
}

bool Win32Control::editable() const {
    return m_kind == Kind::TextBox && hasFlag(m_control.flags(), Editable);
}

bool Win32Control::hasRole(Flag role) const {
    return m_kind == Kind::CommandButton && hasFlag(m_control.flags(), role);
}

void Win32Control::setGeometry(PixelRect rect) {
    if (rect == m_rect)
        return;
    const bool moved = rect.x != m_rect.x || rect.y != m_rect.y;
    const bool resized = rect.size() != m_rect.size();
    m_rect = rect;
    // The background is erased when the control is painted, not at once:
    // Wine erases every control of the container that waits for painting
    // on each move otherwise.
    const UINT redraw = m_window.paintingHeld() ? SWP_NOREDRAW : 0;
    SetWindowPos(m_hwnd, nullptr, rect.x, rect.y, rect.width, rect.height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE | redraw |
                     (moved ? 0 : SWP_NOMOVE) | (resized ? 0 : SWP_NOSIZE));
    if (m_kind == Kind::Shape && resized)
        shapeRegion(m_hwnd, m_control, rect.width, rect.height, !m_window.paintingHeld());
}

void Win32Control::setVisible(bool visible) {
    if (visible == m_visible)
        return;
    m_visible = visible;
    const bool hadFocus = !visible && (GetFocus() == m_hwnd || IsChild(m_hwnd, GetFocus()));
    ShowWindow(m_hwnd, visible ? SW_SHOWNA : SW_HIDE);
    // Keys go on reaching the window (and its key preview).
    if (hadFocus)
        SetFocus(m_window.hwnd());
}

bool Win32Control::enabled() const {
    return IsWindowEnabled(m_hwnd) != FALSE;
}

void Win32Control::setEnabled(bool enabled) {
    const bool hadFocus = !enabled && GetFocus() == m_hwnd;
    EnableWindow(m_hwnd, enabled ? TRUE : FALSE);
    if (hadFocus)
        SetFocus(m_window.hwnd());
}

void Win32Control::setCaption(const String& caption) {
    // What the user typed may differ from the text last set.
    if (caption == m_caption && !editable())
        return;
    m_caption = caption;
    SetWindowTextW(m_hwnd, wide(caption).c_str());
}

String Win32Control::text() const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(m_hwnd)) + 1, L'\0');
    GetWindowTextW(m_hwnd, text.data(), static_cast<int>(text.size()));
    return utf8(text.c_str());
}

// The system's accessibility proxy names a button or a label by its window
// text (a button's without the "&" of its access key): where that is the
// name, nothing is handed over. A text box it would name by the label
// before it, so a text box's name always is, and so is any name other than
// the caption (a swatch's colour); once given, the annotation stays the name.
void Win32Control::setAccessibleName(const String& name) {
    const bool proxyReadsIt = m_kind != Kind::TextBox && name == accessibleText(m_kind, m_caption);
    if (m_annotated ? name == m_annotation : proxyReadsIt)
        return;
    m_annotation = name;
    m_annotated = true;
    m_annotationResult = annotateName(m_hwnd, wide(name));
}

void Win32Control::setColors(OleColor back, OleColor fore) {
    if (back == m_back && fore == m_fore)
        return;
    m_back = back;
    m_fore = fore;
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

bool Win32Control::checked() const {
    return SendMessageW(m_hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Control::setChecked(bool checked) {
    if (!checked) {
        SendMessageW(m_hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
        return;
    }
    if (this->checked())
        return;
    for (Win32Control* other : m_window.optionGroup(m_parent))
        if (other != this)
            SendMessageW(other->hwnd(), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageW(m_hwnd, BM_SETCHECK, BST_CHECKED, 0);
    m_control.raiseClick();
}

bool Win32Control::canTakeFocus() const {
    return m_visible && enabled() && m_control.takesFocus();
}

void Win32Control::setFocus() {
    m_window.focus(this);
}

void Win32Control::notified(WORD code) {
    if (code != BN_CLICKED)
        return;
    if (m_kind == Kind::CommandButton)
        m_control.raiseClick();
    // An option button that gets the focus from the program reports a click
    // too; only the user's selects it.
    else if (m_kind == Kind::OptionButton && !m_window.focusing())
        setChecked(true);
}

DrawnColors Win32Control::drawn() const {
    return drawnColors(m_kind, m_control.flags(), m_back, m_fore, systemPalette());
}

HBRUSH Win32Control::colors(HDC dc) const {
    const DrawnColors c = drawn();
    SetTextColor(dc, colorRef(c.fore));
    SetBkColor(dc, colorRef(c.back));
    SetBkMode(dc, OPAQUE);
    return brush(c.back);
}

LRESULT CALLBACK Win32Control::controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Win32Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return guarded([&] {
        LRESULT result = 0;
        if (self->handle(message, wParam, lParam, result))
            return result;
        return CallWindowProcW(self->m_systemProc, hwnd, message, wParam, lParam);
    });
}

bool Win32Control::handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        // A frame holds controls of its own.
        if (auto answer = m_window.childMessage(message, wParam, lParam)) {
            result = *answer;
            return true;
        }
        return false;
    default:
        break;
    }
    if (m_kind == Kind::Frame) {
        if (message == WM_NCHITTEST) {
            result = HTCLIENT; // a group box would let clicks through
            return true;
        }
        if (message == WM_ERASEBKGND) {
            RECT r;
            GetClientRect(m_hwnd, &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r, brush(drawn().back));
            result = 1;
            return true;
        }
    }
    if (m_kind == Kind::Label && message == WM_NCPAINT && (m_control.flags() & Bordered) != 0) {
        // A single flat black line, whatever colour the scheme gives frames.
        HDC dc = GetWindowDC(m_hwnd);
        RECT r;
        GetWindowRect(m_hwnd, &r);
        const RECT line{0, 0, r.right - r.left, r.bottom - r.top};
        FrameRect(dc, &line, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseDC(m_hwnd, dc);
        result = 0;
        return true;
    }
    // The user types into an editable text box and clicks in it to place
    // the caret; a pane's clicks are its Click.
    if (editable())
        return false;
    if (m_kind == Kind::TextBox &&
        (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP || message == WM_CONTEXTMENU)) {
        result = 0;
        return true;
    }
    if (m_kind == Kind::Label || m_kind == Kind::TextBox || m_kind == Kind::Frame)
        return clickHandling(message, lParam, result);
    return false;
}

// A press and release of the left button on the control is its Click; the
// control itself sees neither (a text box would start a selection).
bool Win32Control::clickHandling(UINT message, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        m_click.press(m_hwnd);
        return true;
    case WM_MOUSEMOVE:
        return m_click.pressed();
    case WM_LBUTTONUP:
        if (m_click.release(m_hwnd, lParam))
            m_control.raiseClick();
        return true;
    case WM_CAPTURECHANGED:
        m_click.lost();
        return false;
    default:
        return false;
    }
}

} // namespace forms::win32
