#pragma once
// Controls as child windows of the standard classes, carrying their
// captions: BUTTON for frames (group box), option buttons and command
// buttons, STATIC for labels, EDIT for text boxes (one line for the user's,
// read-only and multi-line for the panes).
// Shapes are windows of their own class that take no clicks (win32_shape).

#include "backend.h"
#include "text_colors.h"
#include "win32_api.h"
#include "win32_click.h"

namespace forms::win32 {

class Win32Window;

class Win32Control final : public ControlPeer {
public:
    Win32Control(Win32Window& window, Control& control, const ControlSpec& layout, HWND parent);
    ~Win32Control() override;

    HWND hwnd() const { return m_hwnd; }
    HWND parent() const { return m_parent; }
    Control& control() const { return m_control; }
    Kind kind() const { return m_kind; }
    // A text box the user types into.
    bool editable() const;
    // The window's default button (role DefaultButton, Enter) or its cancel
    // button (CancelButton, Escape).
    bool hasRole(Flag role) const;

    void setGeometry(PixelRect rect) override;
    void setVisible(bool visible) override;
    bool enabled() const override;
    void setEnabled(bool enabled) override;
    void setCaption(const String& caption) override;
    String text() const override;
    void setAccessibleName(const String& name) override;
    void setColors(OleColor back, OleColor fore) override;
    bool checked() const override;
    void setChecked(bool checked) override;
    bool canTakeFocus() const override;
    void setFocus() override;

    // What the container hands on: a notification from the control, and
    // its request for colours (returns the background brush).
    void notified(WORD code);
    HBRUSH colors(HDC dc) const;
    // Shown as far as its own state goes (its window may be hidden).
    bool shown() const { return m_visible; }
    // The name handed to the system for assistive technology in place of
    // the one its proxy reads (null where the proxy's is the name), and the
    // system's answer to the last one.
    const String* annotation() const { return m_annotated ? &m_annotation : nullptr; }
    HRESULT annotationResult() const { return m_annotationResult; }

private:
    static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool clickHandling(UINT message, LPARAM lParam, LRESULT& result);
    // What the control is drawn in, by the contrast rule.
    DrawnColors drawn() const;

    // What the native control shows, so that a call that changes nothing
    // costs no call of the system (each one a round trip to the Wine
    // server under Wine).
    Win32Window& m_window;
    Control& m_control;
    Kind m_kind;
    HWND m_parent;
    HWND m_hwnd = nullptr;
    WNDPROC m_systemProc = nullptr; // the class's procedure, where controlProc stands in front
    String m_caption;
    PixelRect m_rect;
    OleColor m_back = 0;
    OleColor m_fore = 0;
    bool m_visible = false;
    String m_annotation;
    bool m_annotated = false;
    HRESULT m_annotationResult = S_OK;
    ClickTracker m_click;
};

} // namespace forms::win32
