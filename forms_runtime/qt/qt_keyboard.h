#pragma once
// Keys as the forms layer sees them: every key pressed in a window with key
// preview goes to its KeyDown first, with the platform-neutral key code and
// shift state.

#include <QObject>

class QAbstractButton;
class QWidget;

namespace forms::qt {
class QtWindow;
} // namespace forms::qt

namespace forms::qt::detail {

// Delivers every key pressed in the window to its KeyDown first.
class KeyPreview : public QObject {
    Q_OBJECT
public:
    KeyPreview(QtWindow& owner, QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QtWindow& m_owner;
    QWidget* m_window;
};

// Presses a command button when its key reaches the window unused: Enter
// for the default button, Escape for the cancel button. A focused command
// button takes Enter itself, and a text box leaves both keys to its window.
class ButtonKey : public QObject {
    Q_OBJECT
public:
    ButtonKey(QAbstractButton* button, int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractButton* m_button;
    int m_key;
};

int virtualKeyCode(int qtKey);
int shiftState(Qt::KeyboardModifiers modifiers);

} // namespace forms::qt::detail
