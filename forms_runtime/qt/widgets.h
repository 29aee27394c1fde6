#pragma once
// The Qt widgets behind windows and controls. Internal to the forms layer.

#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QObject>
#include <QPlainTextEdit>
#include <QWidget>
#include <optional>

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

// A rectangle with an optional solid fill and a border drawn inside its
// bounds. Mouse events pass through to whatever lies beneath.
class ShapeWidget : public QWidget {
    Q_OBJECT
public:
    explicit ShapeWidget(QWidget* parent);
    void setLook(std::optional<QColor> fill, std::optional<QColor> border, int borderWidth);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<QColor> m_fill;
    std::optional<QColor> m_border;
    int m_borderWidth = 1;
};

// A label whose optional border is a single flat black line.
class LabelWidget : public QLabel {
    Q_OBJECT
public:
    LabelWidget(bool bordered, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_bordered;
};

// A frame: its whole rectangle flat in its BackColor, and an etched line
// (a dark line with a light one below and right of it) around it. The top
// line runs through the middle of the caption and is broken behind it, so
// Top and Height still measure the whole frame. Style-independent, so that
// the controls inside, painted in the same colour, show no box of their own.
// Still a group box for the caption's access key and for what assistive
// technology reads (a panel named by the caption).
class FrameWidget : public QGroupBox {
    Q_OBJECT
public:
    explicit FrameWidget(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
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
