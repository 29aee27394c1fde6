#pragma once
// The Qt window behind a Form: a top-level widget with the menu bar on top
// and the client area below it. Its work is split by concern, as in the
// Win32 backend:
//   qt_window.cpp     building, showing, the modal loop
//   qt_geometry.cpp   requests for the window's rectangle, the frame
//   qt_events.cpp     Qt's events: resizes, state changes, closing, clicks
//   qt_menus.cpp      the menu bar
//   qt_keyboard.cpp   key preview and key codes
// Sizes and positions are exact on X11: the frame is read from the window
// manager, and the answers are the window manager's notifications.

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
    PixelMargins frame() const override;
    bool visible() const override;
    bool minimised() const override;
    bool maximised() const override;
    PixelSize outerFor(PixelSize client) const override;
    bool showsMinimised() const override;
    void restoreIfMaximised(Millis limit) override;
    bool requestOuterRect(PixelRect outer, SizeHold hold) override;
    void releaseSize() override;
    unsigned long answers() const override;
    unsigned long resizes() const override;
    bool roundTrip(Millis limit) override;
    void setBackColor(OleColor color) override;

    void showFirst() override;
    void show() override;
    void hide() override;
    void prepareModal(WindowPeer* owner) override;
    void activate() override;
    void runModalLoop() override;
    void endModalLoop() override;
    void holdPainting(bool hold) override;

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
    PixelMargins hiddenExtents() const;
    void createNativeWindow() const;
    void focusFirstControl();

    Form& m_form;
    QtPlatform& m_platform;
    BorderStyle m_border;
    bool m_showInTaskbar;
    bool m_keyPreviewWanted;
    QSize m_designClient;
    mutable bool m_frameRequested = false;
    mutable std::optional<PixelMargins> m_predictedExtents;
    bool m_sizeHeld = false; // a minimum size held for a request
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
