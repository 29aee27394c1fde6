// What the user does to a scripted window, reported to the layer as a real
// window system reports it.

#include "form.h"
#include "runtime_error.h"
#include "scripted_platform.h"
#include "scripted_window.h"

namespace forms::scripted {

void ScriptedWindow::pressKey(int keyCode, int shift) {
    if (m_keyPreview)
        m_form.platformKeyDown(keyCode, shift);
}

void ScriptedWindow::chooseMenu(const char* name) {
    for (MenuEntry* entry : m_menuEntries)
        if (entry->Name() == name) {
            m_form.platformMenuChosen(*entry);
            return;
        }
    raiseError(ErrorCode::ControlNotFound, String("menu ") + name);
}

void ScriptedWindow::clickClientArea() {
    m_form.platformClicked();
}

void ScriptedWindow::clickCloseBox() {
    m_form.platformCloseRequested();
}

// A border drag: the window manager sizes the window as the user pulls.
void ScriptedWindow::dragTo(PixelSize outer) {
    placed({m_client.x, m_client.y, outer.width - m_frame.left - m_frame.right,
            outer.height - m_frame.top - m_frame.bottom});
}

// Minimising and restoring change no geometry, yet they are resizes.
void ScriptedWindow::stateChanged() {
    ++m_answers;
    m_form.platformResized();
}

void ScriptedWindow::minimise() {
    m_minimised = true;
    stateChanged();
}

void ScriptedWindow::maximise() {
    if (m_maximised)
        return;
    m_normal = m_client;
    m_maximised = true;
    const PixelSize screen = m_platform.screenSize();
    placed({m_frame.left, m_frame.top, screen.width - m_frame.left - m_frame.right,
            screen.height - m_frame.top - m_frame.bottom});
}

void ScriptedWindow::restore() {
    if (m_minimised) {
        m_minimised = false;
        stateChanged();
    } else if (m_maximised) {
        m_maximised = false;
        placed(m_normal.value_or(m_client));
    }
}

} // namespace forms::scripted
