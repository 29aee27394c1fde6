#pragma once
// The widgets that take Qt's events for a window and hand them to the forms
// layer: resizes, state changes and closing of the top-level window, and
// clicks on the client area and on controls that are no buttons.

#include <QObject>
#include <QWidget>

namespace forms {
class Control;
} // namespace forms

namespace forms::qt {
class QtWindow;
} // namespace forms::qt

namespace forms::qt::detail {

// The top-level window: the menu bar on top, the client area below it.
class FormWindow : public QWidget {
    Q_OBJECT
public:
    FormWindow(QtWindow& owner, Qt::WindowFlags flags);
    void setParts(QWidget* menuBar, int menuHeight, QWidget* client);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QtWindow& m_owner;
    QWidget* m_menuBar = nullptr;
    int m_menuHeight = 0;
    QWidget* m_client = nullptr;
};

// The window's client area: its background is the window's BackColor, and
// a click on it (or on a shape, which takes no clicks) is a Click of the
// window.
class ClientArea : public QWidget {
    Q_OBJECT
public:
    ClientArea(QtWindow& owner, QWidget* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QtWindow& m_owner;
    bool m_pressed = false;
};

// Turns a press and release of the left button on a widget into a Click of
// its control, and keeps the click from reaching the widget's parent.
class ClickFilter : public QObject {
    Q_OBJECT
public:
    ClickFilter(Control& control, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Control& m_control;
    bool m_pressed = false;
};

} // namespace forms::qt::detail
