#pragma once
// What a platform backend provides to the forms layer (qt/ on Linux, win32/
// on Windows). Internal to the layer: the windows' handlers never see it.
//
// The protocol is written once in the shared part (form_geometry.cpp,
// window_request.cpp): it collects what a handler assigns, sends one request
// for the window's rectangle when the handler returns, decides how long to
// wait for the answer, what counts as a refusal and when to ask again. A
// backend only performs requests and reports answers. It never runs a
// handler itself; it reports what happened (resized, clicked, key pressed,
// close asked for) through the Form's and Control's platform* calls, and the
// shared part decides which event that is. Every size and position here is
// in device pixels.

#include "layout.h"
#include "pixels.h"
#include "text.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace forms {

class Control;
class Form;
class MenuEntry;
class RuntimeError;

using Millis = std::chrono::milliseconds;

// How often a rectangle is asked for again when the answer shows that the
// frame or menu bar it was reckoned with was not the one the window got.
inline constexpr int kRequestAttempts = 3;
// How long the layer waits for the window system's answer to a request (and
// a backend for the frame a window is going to get).
inline constexpr Millis kAnswerTimeout{500};

// How a request holds the size it asks for: not at all, or as the window's
// minimum size, given just before the request or just after it. Window
// managers that keep windows within the screen still grant a window its own
// minimum size; some constrain a request before they look at a minimum given
// after it (metacity), others size a window to a minimum given before the
// request at once, a step of their own (openbox).
enum class SizeHold : std::uint8_t { None, Before, After };

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

    // The window as the platform last reported it: the outer rectangle on
    // the screen (frame, title bar and menu bar included) and the client
    // area below the menu bar. For a window not shown yet, the rectangle it
    // is to be shown at.
    virtual PixelRect outerRect() const = 0;
    virtual PixelSize clientSize() const = 0;
    // What lies between the outer rectangle and the rectangle the backend
    // asks the platform for: the window manager's frame (known, asked for
    // before the first showing, or the last one of a window of its kind),
    // or invisible borders. A request reckoned with one frame and answered
    // with another is asked again.
    virtual PixelMargins frame() const = 0;
    virtual bool visible() const = 0;
    virtual bool minimised() const = 0;
    virtual bool maximised() const = 0;
    // The outer size a window with this client area has, with the frame and
    // menu bar it has now.
    virtual PixelSize outerFor(PixelSize client) const = 0;
    // True when the first showing will show the window minimised (a
    // launcher set to run the program minimised).
    virtual bool showsMinimised() const = 0;

    // Puts a maximised window back to its normal size and waits, at most
    // limit, until the platform has done so.
    virtual void restoreIfMaximised(Millis limit) = 0;
    // Sends one request for the outer rectangle, size and place together,
    // and returns at once. A window not shown yet takes it for its first
    // showing; a minimised one takes the size for when it is restored and
    // keeps its place. A size held is to be granted even where it is larger
    // than the screen, until releaseSize. Returns true when the platform will
    // report its answer (counted by answers()), false when the window is
    // already as the platform answered.
    virtual bool requestOuterRect(PixelRect outer, SizeHold hold) = 0;
    virtual void releaseSize() = 0;
    // How many answers the platform has reported for the window: the
    // notifications of its size or place, whatever caused them.
    virtual unsigned long answers() const = 0;
    // How many of those changed its size.
    virtual unsigned long resizes() const = 0;
    // A request that changes nothing, whose answer comes after everything
    // the platform did before it; waits for it at most limit. Returns
    // whether it came.
    virtual bool roundTrip(Millis limit) = 0;

    virtual void setBackColor(OleColor color) = 0;

    // The first showing: maps the window where and as large as the last
    // request put it, waits until the platform has placed and framed it, and
    // gives the first control in tab order the focus. Later showings only
    // show it again.
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
    // The monitors, as rectangles of the desktop in device pixels, the
    // primary one first; never none.
    virtual std::vector<PixelRect> monitors() const = 0;
    // The screen's logical DPI.
    virtual double logicalDpiX() const = 0;
    virtual double logicalDpiY() const = 0;
    // Lets the platform's events other than user input run until done()
    // holds or limit has passed; returns done(). User input stays queued.
    virtual bool waitUntil(const std::function<bool()>& done, Millis limit) = 0;
    // Shows an untrapped runtime error to the user, modally.
    virtual void showError(const RuntimeError& error) = 0;
    // Ends every running event loop, modal ones included, with status.
    virtual void quit(int status) = 0;
    // Called when the dispatcher has run every queued handler.
    virtual void handlersDone() = 0;
};

Platform& platform();

} // namespace forms
