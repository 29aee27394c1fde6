#include "scripted_controls.h"

#include "control.h"
#include "form.h"
#include "scripted_window.h"

namespace forms::scripted {

ScriptedControl::ScriptedControl(ScriptedWindow& window, Control& control,
                                 const ControlSpec& layout, ScriptedControl* container)
    : m_window(window)
    , m_control(control)
    , m_kind(layout.kind)
    , m_container(container) {}

ScriptedControl::~ScriptedControl() {
    m_window.forget(this);
}

ScriptedControl& peerOf(const Control& control) {
    return static_cast<ScriptedControl&>(control.peer());
}

// A control that goes while it has the focus hands it to the window, as a
// window system would.
void ScriptedControl::setVisible(bool visible) {
    m_visible = visible;
    if (!visible && m_window.focus() == this)
        m_window.setFocus(nullptr);
}

void ScriptedControl::setEnabled(bool enabled) {
    m_enabled = enabled;
    if (!enabled && m_window.focus() == this)
        m_window.setFocus(nullptr);
}

void ScriptedControl::setColors(OleColor back, OleColor fore) {
    m_back = back;
    m_fore = fore;
}

void ScriptedControl::setChecked(bool checked) {
    if (!checked) {
        m_checked = false;
        return;
    }
    if (m_checked)
        return;
    for (ScriptedControl* other : m_window.optionGroup(*this))
        other->m_checked = false;
    m_checked = true;
    m_control.raiseClick();
}

bool ScriptedControl::shown() const {
    return m_visible && (!m_container || m_container->shown());
}

bool ScriptedControl::canTakeFocus() const {
    return shown() && m_enabled && m_control.takesFocus();
}

void ScriptedControl::setFocus() {
    m_window.setFocus(this);
    m_allSelected = hasFlag(m_control.flags(), Editable);
}

void ScriptedControl::type(const String& text) {
    if (m_kind != Kind::TextBox || !hasFlag(m_control.flags(), Editable) ||
        m_window.focus() != this || !canTakeFocus())
        return;
    m_caption = m_allSelected ? text : m_caption + text;
    m_allSelected = false;
}

void ScriptedControl::click() {
    if (!shown() || !m_enabled)
        return;
    switch (m_kind) {
    case Kind::Shape:
        m_window.clickClientArea();
        return;
    case Kind::OptionButton:
        m_window.setFocus(this);
        setChecked(true);
        return;
    case Kind::CommandButton:
        m_window.setFocus(this);
        m_control.raiseClick();
        return;
    case Kind::TextBox:
        if (hasFlag(m_control.flags(), Editable)) {
            m_window.setFocus(this); // the caret goes after the text
            m_allSelected = false;
            return;
        }
        m_control.raiseClick();
        return;
    case Kind::Label:
    case Kind::Frame:
        m_control.raiseClick();
        return;
    }
}

} // namespace forms::scripted
