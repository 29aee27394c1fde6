#pragma once
// A window of the scripted platform. Its split follows the other backends:
//   scripted_window.cpp     building, showing, the modal loop
//   scripted_geometry.cpp   size and position requests and the window
//                           manager's answers to them
//   scripted_events.cpp     what the user does: clicks, keys, menus, border
//                           drags, minimising, maximising, closing
// The window's true state is what the window manager last did to it; the
// layer reads it through the peer's calls like any other platform's.

#include "backend.h"
#include "window_manager.h"

#include <functional>
#include <optional>
#include <vector>

namespace forms::scripted {

class ScriptedControl;
class ScriptedPlatform;

class ScriptedWindow final : public WindowPeer {
public:
    ScriptedWindow(Form& form, const WindowSpec& layout, ScriptedPlatform& platform);
    ~ScriptedWindow() override;

    std::unique_ptr<ControlPeer> createControl(Control& control, const ControlSpec& layout,
                                               ControlPeer* container) override;
    void addMenuEntry(MenuEntry& entry, const MenuSpec& layout) override;
    void finishBuilding(std::span<Control* const> tabOrder) override;

    PixelRect outerRect() const override;
    PixelSize clientSize() const override;
    PixelMargins frame() const override;
    bool visible() const override { return m_visible; }
    bool minimised() const override { return m_minimised; }
    bool maximised() const override { return m_maximised; }
    PixelSize outerFor(PixelSize client) const override;
    bool showsMinimised() const override;
    void restoreIfMaximised(Millis limit) override;
    bool requestOuterRect(PixelRect outer, SizeHold hold) override;
    void releaseSize() override;
    unsigned long answers() const override { return m_answers; }
    unsigned long resizes() const override { return m_resizes; }
    bool roundTrip(Millis limit) override;
    void setBackColor(OleColor color) override { m_backColor = color; }

    void showFirst() override;
    void show() override;
    void hide() override;
    void prepareModal(WindowPeer* owner) override;
    void activate() override;
    void runModalLoop() override;
    void endModalLoop() override { m_modalDone = true; }
    void holdPainting(bool hold) override;

    // The menu bar's height, when the window has one.
    static constexpr int kMenuBarHeight = 20;

    Form& form() const { return m_form; }
    // The window as the window manager keeps it: the client area (menu bar
    // included) on the screen, and the frame around it.
    PixelRect client() const { return m_client; }
    int dpi() const { return m_dpi; }
    OleColor backColor() const { return m_backColor; }
    int paints() const { return m_paints; }
    int requests() const { return m_requests; }
    int moveRequests() const { return m_moveRequests; }
    // Every outer rectangle the window was seen at, from its mapping on:
    // each is a picture the user saw.
    const std::vector<PixelRect>& shownRects() const { return m_shownRects; }
    // Called when the window manager maps the window, before it answers:
    // what the test reads there is the first picture the user sees.
    std::function<void()> whenMapped;
    const std::vector<MenuEntry*>& menuEntries() const { return m_menuEntries; }
    const std::vector<ScriptedControl*>& tabOrder() const { return m_tabOrder; }
    ScriptedControl* focus() const { return m_focus; }
    void setFocus(ScriptedControl* control) { m_focus = control; }
    std::vector<ScriptedControl*> optionGroup(const ScriptedControl& member) const;
    void forget(ScriptedControl* control);

    // What the user does (scripted_events.cpp).
    void pressKey(int keyCode, int shift = 0);
    void chooseMenu(const char* name);
    void clickClientArea();
    void clickCloseBox();
    void dragTo(PixelSize outer);
    void minimise();
    void maximise();
    void restore();

    // What the window manager does to the window: each reports like a
    // configure notification, after the event that caused it.
    void placed(PixelRect client);
    void framed(PixelMargins frame);

private:
    PixelMargins frameFor() const;
    PixelSize granted(PixelSize asked, SizeHold hold) const;
    void growToHeld(PixelSize client);
    PixelPoint keptOnScreen(PixelPoint outer, PixelSize client) const;
    void noteShown();
    void focusFirst();
    void stateChanged();
    void followMonitor();

    Form& m_form;
    ScriptedPlatform& m_platform;
    BorderStyle m_border;
    bool m_keyPreview;
    PixelSize m_designClient;
    int m_menuHeight = 0;
    std::vector<ScriptedControl*> m_controls;
    std::vector<ScriptedControl*> m_tabOrder;
    std::vector<MenuEntry*> m_menuEntries;
    ScriptedControl* m_focus = nullptr;

    PixelRect m_client;                // on the screen, menu bar included
    PixelMargins m_frame;              // as last reported; none before mapping
    bool m_frameKnown = false;         // reported, or told before mapping
    std::optional<PixelRect> m_normal; // before maximising
    bool m_visible = false;
    bool m_mapped = false;
    bool m_minimised = false;
    bool m_maximised = false;
    unsigned long m_answers = 0;    // notifications of size or place
    unsigned long m_resizes = 0;    // those of them that changed the size
    unsigned long m_roundTrips = 0; // answers to requests that change nothing
    bool m_sizeHeld = false;        // the program holds the size it asked for
    std::vector<PixelRect> m_shownRects;
    OleColor m_backColor = 0;
    bool m_paintHeld = false;
    int m_paints = 0;
    int m_requests = 0;
    int m_moveRequests = 0;
    bool m_modalDone = true;
    int m_dpi = 0; // of the monitor the window stands on, where there are monitors
};

// The scripted peer behind a form.
ScriptedWindow& windowOf(const Form& form);

} // namespace forms::scripted
