#include "qt_keyboard.h"

#include "form.h"
#include "qt_window.h"
#include "types.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace forms::qt::detail {

KeyPreview::KeyPreview(QtWindow& owner, QWidget* window)
    : QObject(nullptr)
    , m_owner(owner)
    , m_window(window) {}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != m_window)
        return false;
    // A key event travels from the focus widget up through its parents; the
    // window sees it once, at the first of them.
    QWidget* first = QApplication::focusWidget();
    if (widget != (first ? first : m_window))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    m_owner.form().platformKeyDown(virtualKeyCode(key->key()), shiftState(key->modifiers()));
    return false;
}

// Made a child of the button, so that it goes with it.
ButtonKey::ButtonKey(QAbstractButton* button, int key)
    : QObject(button)
    , m_button(button)
    , m_key(key) {}

bool ButtonKey::eventFilter(QObject*, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const bool wanted = m_key == Qt::Key_Return ? enter : key->key() == m_key;
    if (!wanted || key->modifiers() & ~Qt::KeypadModifier || !m_button->isVisible() ||
        !m_button->isEnabled())
        return false;
    m_button->click();
    return true;
}

int virtualKeyCode(int qtKey) {
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return qtKey; // the same codes
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 0x70 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace:
        return 0x08;
    case Qt::Key_Tab:
        return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 0x0D;
    case Qt::Key_Shift:
        return 0x10;
    case Qt::Key_Control:
        return 0x11;
    case Qt::Key_Alt:
        return 0x12;
    case Qt::Key_Escape:
        return 0x1B;
    case Qt::Key_Space:
        return 0x20;
    case Qt::Key_Left:
        return 0x25;
    case Qt::Key_Up:
        return 0x26;
    case Qt::Key_Right:
        return 0x27;
    case Qt::Key_Down:
        return 0x28;
    case Qt::Key_Delete:
        return 0x2E;
    default:
        return qtKey & 0xFFFF;
    }
}

int shiftState(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? kShiftMask : 0) |
           (modifiers & Qt::ControlModifier ? kCtrlMask : 0) |
           (modifiers & Qt::AltModifier ? kAltMask : 0);
}

} // namespace forms::qt::detail
