#pragma once
// A window built from its static layout, with its controls, menus, events
// and properties.
//
// Left, Top, Width and Height are the window's outer rectangle on the screen,
// the window manager's frame and title bar and the menu bar included;
// ScaleWidth and ScaleHeight are the client area below the menu bar. The
// frame is read from the window system, so the outer size is only exact once
// the window manager has framed the window; before that the last frame seen
// is assumed, and a size assignment corrects itself when the real frame
// turns out different.
//
// Assigning Width or Height of a visible window asks the window system for
// the new size, waits (bounded, processing no user input) for its answer and
// raises Resize inside the assignment, once, with the size actually granted,
// and only when the size changed. Every other change of size raises an
// ordinary Resize through the dispatcher.

#include "control.h"
#include "layout.h"
#include "window_system.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QEventLoop;
class QMenuBar;
class QWidget;

namespace forms {

namespace detail {
class FormWindow;
class ClientArea;
} // namespace detail

class MenuEntry {
public:
    MenuEntry(QString name, QAction* action)
        : m_name(std::move(name))
        , m_action(action) {}
    const QString& Name() const { return m_name; }
    QString Caption() const;
    QAction* action() const { return m_action; }

    std::function<void()> Click;

private:
    QString m_name;
    QAction* m_action;
};

class Form {
public:
    explicit Form(const WindowSpec& layout);
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const QString& Name() const { return m_name; }

    // Outer rectangle, twips.
    Single Left() const;
    Single Top() const;
    Single Width() const;
    Single Height() const;
    void setLeft(Single twips);
    void setTop(Single twips);
    void setWidth(Single twips);
    void setHeight(Single twips);

    // Client area below the menu bar, twips.
    Single ScaleWidth() const;
    Single ScaleHeight() const;

    OleColor BackColor() const { return m_backColor; }
    void setBackColor(OleColor color);
    QString Caption() const;

    // Shows the window. The first showing raises Load (if not yet raised),
    // then Resize, then Activate.
    void Show();
    // Shows the window modally; returns once it has been hidden. The window
    // that was active before becomes active again and gets its Activate.
    void ShowModal();
    void Hide();
    bool Visible() const;

    // Raises Load once; Show does it if nobody did before.
    void load();

    // Fails loudly, naming the control, when there is no such control.
    Control& control(const QString& name, Integer index = -1) const;
    // The members of a control array in index order.
    QList<Control*> array(const QString& name) const;
    MenuEntry& menu(const QString& name) const;

    std::function<void()> Load;
    std::function<void()> Resize;
    std::function<void()> Activate;
    std::function<void()> Click;
    std::function<void(int keyCode, int shift)> KeyDown;

    // Closing this window by the window manager's means ends the program;
    // otherwise closing only hides it.
    void setEndsProgramOnClose(bool ends) { m_endsProgramOnClose = ends; }

    // How long a size assignment waits for the window manager's answer.
    static constexpr int kAnswerTimeoutMs = 500;
    // How long an answer that changed nothing waits for a later one.
    static constexpr int kRefusalGraceMs = 30;

    QWidget* window() const;
    QWidget* clientArea() const;
    QMenuBar* menuBar() const { return m_menuBar; }

    // Called by the forms layer.
    void closeForEnd();
    void holdPainting(bool hold);
    void raiseEvent(const char* event, const std::function<void()>& handler);
    void onQtResize();
    void onWindowStateChange(bool minimisedChanged);
    void onFrameChanged();
    void onCloseRequest();
    void onKeyPress(int keyCode, int shift);

private:
    void build(const WindowSpec& layout);
    void buildControls(const WindowSpec& layout);
    void buildMenus(const WindowSpec& layout);
    void applyTabOrder();
    ws::FrameExtents extents() const;
    QSize outerPixels() const;
    void setOuterSize(std::optional<int> width, std::optional<int> height);
    void requestClientSize(QSize client);
    void moveClientTo(QPoint pos);
    void restoreIfMaximised();
    void firstShow();
    void createNativeWindow() const;
    void focusFirstControl();
    void raiseResize();

    QString m_name;
    OleColor m_backColor;
    bool m_sizable;
    bool m_showInTaskbar;
    bool m_loaded = false;
    bool m_shown = false;
    bool m_endsProgramOnClose = false;
    mutable bool m_frameRequested = false;
    int m_sizeChange = 0; // > 0 while the layer itself changes the size
    QPointer<detail::FormWindow> m_window;
    detail::ClientArea* m_client = nullptr;
    QMenuBar* m_menuBar = nullptr;
    int m_menuHeight = 0;
    std::vector<std::unique_ptr<Control>> m_controls;
    std::vector<std::unique_ptr<MenuEntry>> m_menus;
    std::optional<ws::FrameExtents> m_lastExtents;
    QEventLoop* m_modalLoop = nullptr;
    std::unique_ptr<QObject> m_keyPreview;
};

} // namespace forms
