#pragma once
// A window built from its static layout, with its controls, menus, events
// and properties.
//
// Left, Top, Width and Height are the window's outer rectangle on the screen,
// the window manager's frame and title bar and the menu bar included;
// ScaleWidth and ScaleHeight are the client area below the menu bar.
//
// A window changes in one step the user sees. While a handler runs, the
// assignments to Left, Top, Width and Height are collected, and the
// properties read what was assigned; an assignment that changes the size
// raises Resize inside itself, once, with the size assigned. When the
// outermost handler returns, before anything is painted, the window is asked
// for the final rectangle in one request, and the platform's answer is
// taken: where it gives another size, a Resize follows with that size. A
// window is first shown at the rectangle its first Resize and Activate gave
// it. Every other change of size (the user's drag, minimising, a window
// manager's own) raises an ordinary Resize through the dispatcher. Outside
// the handlers the properties read the platform's answer, never what was
// asked for.

#include "control.h"
#include "layout.h"
#include "pixels.h"
#include "text.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace forms {

class WindowPeer;

class MenuEntry {
public:
    MenuEntry(Form& form, const MenuSpec& layout)
        : m_form(form)
        , m_name(layout.name)
        , m_caption(layout.caption) {}
    const String& Name() const { return m_name; }
    const String& Caption() const { return m_caption; }
    Form& form() const { return m_form; }

    std::function<void()> Click;

private:
    Form& m_form;
    String m_name;
    String m_caption;
};

class Form {
public:
    explicit Form(const WindowSpec& layout);
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const String& Name() const { return m_name; }

    // Outer rectangle, twips.
    Single Left() const;
    Single Top() const;
    Single Width() const;
    Single Height() const;
    void setLeft(Single twips);
    void setTop(Single twips);
    void setWidth(Single twips);
    void setHeight(Single twips);

    // Client area below the menu bar, twips.
    Single ScaleWidth() const;
    Single ScaleHeight() const;

    // The DPI of the monitor the window stands on, as the platform last
    // reported it (0 before it did). The layout stays at the screen's DPI.
    int monitorDpi() const { return m_dpi; }
    // On a monitor of another scale a dialog keeps its client area, so that
    // its controls stay whole; a window the user sizes keeps its outer size,
    // so that the size a preset gave it stays exact.
    bool keepsClientAcrossScales() const { return m_fixedSize; }

    OleColor BackColor() const { return m_backColor; }
    void setBackColor(OleColor color);
    const String& Caption() const { return m_caption; }

    // Shows the window. The first showing raises Load (if not yet raised),
    // then Resize, then Activate.
    void Show();
    // Shows the window modally; returns once it has been hidden. The window
    // that was active before becomes active again and gets its Activate.
    void ShowModal();
    void Hide();
    bool Visible() const;

    // Raises Load once; Show does it if nobody did before.
    void load();

    // Sends what the handlers assigned to the window's rectangle, as one
    // request; the dispatcher calls it when the outermost handler returns.
    void commitGeometry();

    // Fails loudly, naming the control, when there is no such control.
    Control& control(const String& name, Integer index = -1) const;
    // The members of a control array in index order.
    std::vector<Control*> array(const String& name) const;
    MenuEntry& menu(const String& name) const;

    std::function<void()> Load;
    std::function<void()> Resize;
    // The client area changed while the outer size stayed: the window got
    // another frame (on a monitor of another scale, or from a window manager
    // that told its frame only as it framed the window). Resize is raised
    // instead where this has no handler.
    std::function<void()> FrameChange;
    std::function<void()> Activate;
    std::function<void()> Click;
    std::function<void(int keyCode, int shift)> KeyDown;

    // Closing this window by the platform's means ends the program;
    // otherwise closing only hides it.
    void setEndsProgramOnClose(bool ends) { m_endsProgramOnClose = ends; }

    // True while the layer itself sizes, shows or hides the window: a change
    // of size the platform reports meanwhile answers the layer and raises no
    // Resize of its own.
    bool changingItself() const { return m_ownChange > 0; }

    // What the backend reports.
    void platformResized();
    // The window stands on a monitor of another scale now (dpi): the system
    // scaled its title bar, menu bar and frame. outerBefore is the outer
    // size it had; corner, where the system suggests its outer corner. A
    // maximised or minimised window is left to the system.
    void platformDpiChanged(int dpi, PixelSize outerBefore, std::optional<PixelPoint> corner);
    void platformClicked();
    void platformKeyDown(int keyCode, int shift);
    void platformCloseRequested();
    void platformMenuChosen(MenuEntry& entry);

    // For the forms layer and its backends.
    WindowPeer& peer() const { return *m_peer; }
    const std::vector<std::unique_ptr<Control>>& controls() const { return m_controls; }
    const std::vector<std::unique_ptr<MenuEntry>>& menus() const { return m_menus; }
    void raiseEvent(const char* event, const std::function<void()>& handler);
    void holdPainting(bool hold);
    void closeForEnd();

private:
    void buildControls(const WindowSpec& layout);
    void buildMenus(const WindowSpec& layout);
    void finishBuilding();
    // The outer rectangle and client area the handlers see: what they
    // assigned, or else what the platform answered.
    PixelRect outer() const;
    PixelSize client() const;
    void assign(const std::function<void(PixelRect&)>& change);
    // True once the window has had its first Resize (it may not be mapped
    // yet), unless it is minimised.
    bool laidOut() const;
    void raiseResize();
    void raiseFrameChange();
    // After the platform answered: a Resize where the window has another
    // size than the handlers gave it, a FrameChange where only its client
    // area differs from the one they laid out.
    void takeAnswer(PixelSize outerSeen, PixelSize clientSeen);
    void firstActivation();
    void showAtFirst();

    String m_name;
    String m_caption;
    OleColor m_backColor;
    bool m_loaded = false;
    bool m_shown = false;
    bool m_showing = false;              // laid out for the first showing, not mapped yet
    bool m_startDeferred = false;        // shown minimised: Resize and Activate wait
    std::optional<PixelRect> m_assigned; // by the running handlers, not sent yet
    int m_dpi = 0;
    bool m_modal = false;
    bool m_endsProgramOnClose = false;
    bool m_fixedSize;                   // a dialog the user cannot size
    int m_ownChange = 0;                // > 0 while the layer itself changes the window
    std::unique_ptr<WindowPeer> m_peer; // before the controls: they go first
    std::vector<std::unique_ptr<Control>> m_controls;
    std::vector<std::unique_ptr<MenuEntry>> m_menus;
};

} // namespace forms
