#pragma once
// A top-level window. Its work is split by concern, as in the Qt backend:
//   win32_window.cpp     building, showing, the modal loop
//   win32_geometry.cpp   size and position requests, the frame
//   win32_events.cpp     the window procedure
//   win32_menus.cpp      the menu bar and its accelerators
//   win32_keyboard.cpp   key preview, tab order, option groups

#include "backend.h"
#include "win32_api.h"
#include "win32_click.h"
#include "win32_menus.h"

#include <optional>
#include <unordered_map>
#include <vector>

namespace forms::win32 {

class Win32Control;

class Win32Window final : public WindowPeer {
public:
    Win32Window(Form& form, const WindowSpec& layout);
    ~Win32Window() override;

    HWND hwnd() const { return m_hwnd; }
    Form& form() const { return m_form; }

    std::unique_ptr<ControlPeer> createControl(Control& control, const ControlSpec& layout,
                                               ControlPeer* container) override;
    void addMenuEntry(MenuEntry& entry, const MenuSpec& layout) override;
    void finishBuilding(std::span<Control* const> tabOrder) override;

    PixelRect outerRect() const override;
    PixelSize clientSize() const override;
    PixelMargins frame() const override;
    bool visible() const override;
    bool minimised() const override;
    bool maximised() const override;
    PixelSize outerFor(PixelSize client) const override;
    bool showsMinimised() const override;
    void restoreIfMaximised(Millis limit) override;
    bool requestOuterRect(PixelRect outer, SizeHold hold) override;
    void releaseSize() override;
    unsigned long answers() const override { return m_answers; }
    unsigned long resizes() const override { return m_resizes; }
    bool roundTrip(Millis limit) override;
    void setBackColor(OleColor color) override;
    void showFirst() override;
    void show() override;
    void hide() override;
    void prepareModal(WindowPeer* owner) override;
    void activate() override;
    void runModalLoop() override;
    void endModalLoop() override;
    void holdPainting(bool hold) override;

    // For the controls.
    void forget(Win32Control* control);
    Win32Control* controlFor(HWND hwnd) const;
    // Messages a container gets from its children: their commands and the
    // colours they ask for. Empty when it is none of those.
    std::optional<LRESULT> childMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The option buttons of one container, in tab order.
    std::vector<Win32Control*> optionGroup(HWND container) const;
    // Gives a control the focus without the Click that an option button
    // reports when it gets the focus from the keyboard.
    void focus(Win32Control* control);
    bool focusing() const { return m_focusing > 0; }
    bool paintingHeld() const { return m_paintHeld; }

    // From the message loop, before the message is dispatched: true when
    // the window has dealt with it.
    bool preTranslate(MSG& msg);

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void answerMinMax(MINMAXINFO& info) const;
    void noteSize(WPARAM kind);
    PixelMargins margins() const;
    void applyPending();
    void dpiChanged(int dpi, const RECT& suggested);
    SIZE scaledSize(int dpi, SIZE pending) const;
    RECT adjustedForDpi(PixelSize client, int dpi) const;
    bool navigate(const MSG& msg);
    void moveFocus(bool backward);
    void moveInGroup(Win32Control* current, bool backward);
    void focusFirst();
    void showFocusCues();
    Win32Control* focused() const;

    Form& m_form;
    HWND m_hwnd = nullptr;
    bool m_sizable;
    bool m_inTaskbar;
    bool m_keyPreview;
    OleColor m_backColor;
    PixelSize m_designClient;
    MenuBar m_menus;
    HACCEL m_accelerators = nullptr;
    std::vector<Win32Control*> m_controls; // layout order
    std::unordered_map<HWND, Win32Control*> m_byHandle;
    std::vector<Win32Control*> m_tabOrder;

    // Geometry: the DPI of the window's monitor, the invisible borders last
    // measured and the DPI they were measured at (0: never), the size held
    // for a request (the answer to WM_GETMINMAXINFO grants it in full), and
    // what was asked for while hidden, to ask again once the frame is known.
    int m_dpi = 0;
    mutable PixelMargins m_margins;
    mutable int m_marginsDpi = 0;
    std::optional<SIZE> m_request;
    std::optional<SIZE> m_normalSize; // window rectangle when last neither minimised nor maximised
    std::optional<PixelRect> m_pending;
    unsigned long m_answers = 0; // changes of size or place the system made
    unsigned long m_resizes = 0; // those of them that changed the size
    bool m_resizePosted = false;

    int m_focusing = 0;
    HWND m_lastFocus = nullptr;
    ClickTracker m_click;
    bool m_paintHeld = false;

    HWND m_modalOwner = nullptr;
    bool m_modalDone = true;
};

} // namespace forms::win32
