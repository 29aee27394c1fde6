#pragma once
// The Qt window behind a Form: a top-level widget with the menu bar on top
// and the client area below it. Its work is split by concern, as in the
// Win32 backend:
//   qt_window.cpp     building, showing, the modal loop
//   qt_geometry.cpp   size and position requests, waiting for the answers,
//                     the frame
//   qt_events.cpp     Qt's events: resizes, state changes, closing, clicks
//   qt_menus.cpp      the menu bar
//   qt_keyboard.cpp   key preview and key codes
// Sizes and positions are exact on X11: the frame is read from the window
// manager, and every request waits (bounded) for the window manager's answer.

#include "backend.h"
#include "qt_platform.h"
#include "window_system.h"

#include <QPointer>
#include <QSize>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QEventLoop;
class QMenu;
class QMenuBar;
class QObject;
class QPoint;
class QWidget;

namespace forms::qt {

namespace detail {
class FormWindow;
class ClientArea;
} // namespace detail

class QtWindow final : public WindowPeer {
public:
    QtWindow(Form& form, const WindowSpec& layout, QtPlatform& platform);
    ~QtWindow() override;
    QtWindow(const QtWindow&) = delete;
    QtWindow& operator=(const QtWindow&) = delete;

    std::unique_ptr<ControlPeer> createControl(Control& control, const ControlSpec& layout,
                                               ControlPeer* container) override;
    void addMenuEntry(MenuEntry& entry, const MenuSpec& layout) override;
    void finishBuilding(std::span<Control* const> tabOrder) override;

    PixelRect outerRect() const override;
    PixelSize clientSize() const override;
    bool visible() const override;
    bool minimised() const override;
    void restoreIfMaximised() override;
    void requestOuterSize(PixelSize size) override;
    void requestOuterPosition(std::optional<int> x, std::optional<int> y) override;
    void setBackColor(OleColor color) override;

    void showFirst() override;
    void show() override;
    void hide() override;
    void prepareModal(WindowPeer* owner) override;
    void activate() override;
    void runModalLoop() override;
    void endModalLoop() override;
    void holdPainting(bool hold) override;

    // How long a request waits for the window manager's answer.
    static constexpr int kAnswerTimeoutMs = 500;
    // How long an answer that changed nothing waits for a later one.
    static constexpr int kRefusalGraceMs = 30;

    Form& form() const { return m_form; }
    QWidget* window() const;
    QWidget* clientArea() const;
    QMenuBar* menuBar() const { return m_menuBar; }
    QAction* action(const MenuEntry& entry) const;

    // From Qt's events and the window system.
    void onQtResize();
    void onWindowStateChange(bool minimisedChanged);
    void onFrameChanged();

private:
    ws::WindowSystem& windowSystem() const { return m_platform.windowSystem(); }
    PixelMargins extents() const;
    void createNativeWindow() const;
    void focusFirstControl();
    void requestClientSize(QSize client);
    void moveTo(QPoint outer, QPoint client);

    Form& m_form;
    QtPlatform& m_platform;
    BorderStyle m_border;
    bool m_showInTaskbar;
    bool m_keyPreviewWanted;
    QSize m_designClient;
    mutable bool m_frameRequested = false;
    QPointer<detail::FormWindow> m_window;
    detail::ClientArea* m_client = nullptr;
    QMenuBar* m_menuBar = nullptr;
    int m_menuHeight = 0;
    std::map<const MenuEntry*, QAction*> m_actions;
    std::map<std::string, QMenu*> m_menus;
    std::vector<QWidget*> m_controlWidgets; // in layout order, topmost first
    std::optional<PixelMargins> m_lastExtents;
    QEventLoop* m_modalLoop = nullptr;
    std::unique_ptr<QObject> m_keyPreview;
};

} // namespace forms::qt
