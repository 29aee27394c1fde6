#pragma once
// What a platform backend provides to the forms layer (qt/ on Linux, win32/
// on Windows). Internal to the layer: the windows' handlers never see it.
//
// The protocol is written once in the shared part (form.cpp, control.cpp,
// runtime.cpp): it asks for a size, the backend performs the request and
// waits for the platform's answer, and the shared part raises the nested
// Resize once. A backend never runs a handler itself; it reports what
// happened (resized, clicked, key pressed, close asked for) through the
// Form's and Control's platform* calls, and the shared part decides which
// event that is. Every size and position here is in device pixels.

#include "layout.h"
#include "text.h"

#include <memory>
#include <optional>
#include <span>

namespace forms {

class Control;
class Form;
class MenuEntry;
class RuntimeError;

struct PixelSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    PixelSize size() const { return {width, height}; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// How far a window's outer rectangle reaches beyond an inner one: the
// frame around the client area, or invisible borders around the frame.
struct PixelMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const PixelMargins&, const PixelMargins&) = default;
};

// How often a backend asks for a size again when the answer shows that the
// frame or menu bar it reckoned with was not the one the window got.
inline constexpr int kRequestAttempts = 3;

// One native control. Made by its window's peer from the control's layout
// entry; the shared Control keeps the properties and calls these to show
// them. Right after the control is made, Control::attach calls the setters
// with the properties the control has from its layout: a peer that made the
// native control complete with them may skip calls that change nothing.
class ControlPeer {
public:
    virtual ~ControlPeer() = default;
    // Relative to the container's client area.
    virtual void setGeometry(PixelRect rect) = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    // The caption or text as the handlers set it ("\r\n" line ends, "&"
    // before an access key in the captions of buttons and frames).
    virtual void setCaption(const String& caption) = 0;
    // An editable text box's text as it stands, with what the user typed.
    virtual String text() const = 0;
    // What assistive technology reads instead of the caption.
    virtual void setAccessibleName(const String& name) = 0;
    // Checked colour values; for a shape, fill and border colours.
    virtual void setColors(OleColor back, OleColor fore) = 0;
    // Option buttons. Checking one unchecks the others of its container and,
    // when it was not checked before, reports its Click (Control::raiseClick).
    virtual bool checked() const = 0;
    virtual void setChecked(bool checked) = 0;
    // True when the control is shown (its window need not be) and enabled.
    virtual bool canTakeFocus() const = 0;
    // An editable text box selects its whole text as it takes the focus, so
    // that what the user types replaces it.
    virtual void setFocus() = 0;
};

// One top-level window.
class WindowPeer {
public:
    virtual ~WindowPeer() = default;

    // Building, in this order: every control from the top of the z-order
    // down (container before its contents), then every menu entry (parent
    // before its entries), then finishBuilding with the controls that take
    // part in tab order, sorted by tab index. When createControl is called,
    // control already holds its properties from the layout (caption,
    // colours, pixelGeometry(), visibility). finishBuilding also gives the
    // window its design size: the layout's client area below the menu bar
    // (fixed for a dialog).
    virtual std::unique_ptr<ControlPeer> createControl(Control& control, const ControlSpec& layout,
                                                       ControlPeer* container) = 0;
    virtual void addMenuEntry(MenuEntry& entry, const MenuSpec& layout) = 0;
    virtual void finishBuilding(std::span<Control* const> tabOrder) = 0;

    // The outer rectangle on the screen (frame, title bar and menu bar
    // included) and the client area below the menu bar.
    virtual PixelRect outerRect() const = 0;
    virtual PixelSize clientSize() const = 0;
    virtual bool visible() const = 0;
    virtual bool minimised() const = 0;

    // Puts a maximised window back to its normal size before a size is
    // assigned, and waits until the platform has done so.
    virtual void restoreIfMaximised() = 0;
    // Asks for a new outer size; for a visible window, waits (bounded) for
    // the platform's answer, which may be another size. A window not shown
    // yet takes the size for its first showing.
    virtual void requestOuterSize(PixelSize size) = 0;
    // Asks for the outer rectangle's top-left corner to stand at x, y (a
    // coordinate not given stays); waits (bounded) for the answer.
    virtual void requestOuterPosition(std::optional<int> x, std::optional<int> y) = 0;

    virtual void setBackColor(OleColor color) = 0;

    // The first showing: maps the window, waits until the platform has
    // placed and framed it, and gives the first control in tab order the
    // focus. Later showings only show it again.
    virtual void showFirst() = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    // Modal showing: owner (may be null) takes no input until the loop
    // ends; runModalLoop returns once endModalLoop is called or the program
    // ends.
    virtual void prepareModal(WindowPeer* owner) = 0;
    virtual void activate() = 0;
    virtual void runModalLoop() = 0;
    virtual void endModalLoop() = 0;

    // While held, changes are not painted; releasing paints the window once.
    virtual void holdPainting(bool hold) = 0;
};

// The platform as a whole. The backend's platform() gives the one instance.
class Platform {
public:
    virtual ~Platform() = default;
    virtual std::unique_ptr<WindowPeer> createWindow(Form& form, const WindowSpec& layout) = 0;
    // The primary screen, device pixels, and its logical DPI.
    virtual PixelSize screenSize() const = 0;
    virtual double logicalDpiX() const = 0;
    virtual double logicalDpiY() const = 0;
    // Shows an untrapped runtime error to the user, modally.
    virtual void showError(const RuntimeError& error) = 0;
    // Ends every running event loop, modal ones included, with status.
    virtual void quit(int status) = 0;
    // Called when the dispatcher has run every queued handler.
    virtual void handlersDone() = 0;
};

Platform& platform();

} // namespace forms
