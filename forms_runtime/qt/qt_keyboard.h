#pragma once
// Keys as the forms layer sees them: every key pressed in a window with key
// preview goes to its KeyDown first, with the platform-neutral key code and
// shift state.

#include <QObject>

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

int virtualKeyCode(int qtKey);
int shiftState(Qt::KeyboardModifiers modifiers);

} // namespace forms::qt::detail
