#pragma once
// A control of the scripted platform: its state as the layer set it, and
// what a click of the user on it does.

#include "backend.h"

namespace forms::scripted {

class ScriptedWindow;

class ScriptedControl final : public ControlPeer {
public:
    ScriptedControl(ScriptedWindow& window, Control& control, const ControlSpec& layout,
                    ScriptedControl* container);
    ~ScriptedControl() override;

    void setGeometry(PixelRect rect) override { m_rect = rect; }
    void setVisible(bool visible) override;
    bool enabled() const override { return m_enabled; }
    void setEnabled(bool enabled) override;
    void setCaption(const String& caption) override { m_caption = caption; }
    String text() const override { return m_caption; }
    void setAccessibleName(const String& name) override { m_accessibleName = name; }
    void setColors(OleColor back, OleColor fore) override;
    bool checked() const override { return m_checked; }
    void setChecked(bool checked) override;
    bool canTakeFocus() const override;
    void setFocus() override;
    // Whether its whole text is selected, as focusing an editable text box
    // leaves it.
    bool allSelected() const { return m_allSelected; }

    Control& control() const { return m_control; }
    ScriptedControl* container() const { return m_container; }
    // Relative to the container's client area.
    PixelRect rect() const { return m_rect; }
    // Shown with all its containers (the window itself may be hidden).
    bool shown() const;
    const String& caption() const { return m_caption; }
    const String& accessibleName() const { return m_accessibleName; }
    OleColor backColor() const { return m_back; }
    OleColor foreColor() const { return m_fore; }

    // The user clicks it: an option button is selected (its Click follows
    // when it was not selected), a command button, label, frame or text box
    // raises its Click, an editable text box takes the focus; a shape lets
    // the click through to the window. A disabled or hidden control takes
    // no click.
    void click();
    // The user types text into an editable text box that has the focus: it
    // replaces the selection (the whole text, as focusing leaves it), or
    // goes after the text. A text box that cannot be typed into ignores it.
    void type(const String& text);

private:
    ScriptedWindow& m_window;
    Control& m_control;
    Kind m_kind;
    ScriptedControl* m_container;
    PixelRect m_rect;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_checked = false;
    bool m_allSelected = false;
    String m_caption;
    String m_accessibleName;
    OleColor m_back = 0;
    OleColor m_fore = 0;
};

ScriptedControl& peerOf(const Control& control);

} // namespace forms::scripted
