#pragma once
// A window built from its static layout, with its controls, menus, events
// and properties.
//
// Left, Top, Width and Height are the window's outer rectangle on the screen,
// the window manager's frame and title bar and the menu bar included;
// ScaleWidth and ScaleHeight are the client area below the menu bar.
//
// Assigning Width or Height of a visible window asks the platform for the
// new size, waits (bounded, processing no user input) for its answer and
// raises Resize inside the assignment, once, with the size actually granted,
// and only when the size changed. Every other change of size, also one the
// window manager makes while that Resize runs, raises an ordinary Resize
// through the dispatcher. Assigning Left or Top asks for the outer corner to
// stand there, and asks once more where the answer shows the window manager
// put it elsewhere. What the properties read is always the platform's
// answer, never what was asked for.

#include "control.h"
#include "layout.h"
#include "text.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace forms {

class WindowPeer;
struct PixelPoint;
struct PixelSize;

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

    // Fails loudly, naming the control, when there is no such control.
    Control& control(const String& name, Integer index = -1) const;
    // The members of a control array in index order.
    std::vector<Control*> array(const String& name) const;
    MenuEntry& menu(const String& name) const;

    std::function<void()> Load;
    std::function<void()> Resize;
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
    // size it had; corner, where the system suggests its outer corner.
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
    PixelSize outerSize() const;
    void setOuterSize(std::optional<int> width, std::optional<int> height);
    void moveOuter(std::optional<int> x, std::optional<int> y);
    void raiseResize();
    void firstActivation();

    String m_name;
    String m_caption;
    OleColor m_backColor;
    bool m_loaded = false;
    bool m_shown = false;
    bool m_startDeferred = false; // shown minimised: Resize and Activate wait
    int m_dpi = 0;
    bool m_modal = false;
    bool m_endsProgramOnClose = false;
    int m_ownChange = 0;                // > 0 while the layer itself changes the window
    std::unique_ptr<WindowPeer> m_peer; // before the controls: they go first
    std::vector<std::unique_ptr<Control>> m_controls;
    std::vector<std::unique_ptr<MenuEntry>> m_menus;
};

} // namespace forms
