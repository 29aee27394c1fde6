// The window's building, showing and modal loop.

#include "qt_window.h"

#include "control.h"
#include "form.h"
#include "qt_controls.h"
#include "qt_events.h"
#include "qt_keyboard.h"
#include "qt_look.h"
#include "qt_text.h"
#include "screen.h"

#include <QApplication>
#include <QEventLoop>
#include <QMenuBar>
#include <QWindow>

namespace forms::qt {

namespace {

using namespace std::chrono_literals;

Qt::WindowFlags windowFlags(BorderStyle border) {
    if (border == BorderStyle::FixedDialog)
        return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return Qt::Window;
}

} // namespace

QtWindow::QtWindow(Form& form, const WindowSpec& layout, QtPlatform& platform)
    : m_form(form)
    , m_platform(platform)
    , m_border(layout.border)
    , m_showInTaskbar(layout.showInTaskbar)
    , m_keyPreviewWanted(layout.keyPreview)
    , m_designClient(pixelsX(layout.clientWidth), pixelsY(layout.clientHeight))
    , m_window(new detail::FormWindow(*this, windowFlags(layout.border))) {
    const QString name = toQString(form.Name());
    m_window->setObjectName(name);
    m_window->setWindowTitle(toQString(layout.caption));
    m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    m_client = new detail::ClientArea(*this, m_window);
    m_client->setObjectName(name + QStringLiteral(".client"));
}

QtWindow::~QtWindow() {
    if (m_keyPreview)
        qApp->removeEventFilter(m_keyPreview.get());
    delete m_window.data();
}

QWidget* QtWindow::window() const {
    return m_window;
}

QWidget* QtWindow::clientArea() const {
    return m_client;
}

// Building --------------------------------------------------------------------

std::unique_ptr<ControlPeer> QtWindow::createControl(Control& control, const ControlSpec& layout,
                                                     ControlPeer* container) {
    QWidget* parent = container ? static_cast<QtControl*>(container)->widget() : m_client;
    auto made = std::make_unique<QtControl>(control, layout, parent);
    m_controlWidgets.push_back(made->widget());
    return made;
}

void QtWindow::finishBuilding(std::span<Control* const> tabOrder) {
    // The layout lists the topmost control first; raising from the last to
    // the first leaves each control above those listed after it.
    for (auto it = m_controlWidgets.rbegin(); it != m_controlWidgets.rend(); ++it)
        (*it)->raise();
    for (size_t i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(static_cast<QtControl&>(tabOrder[i - 1]->peer()).widget(),
                             static_cast<QtControl&>(tabOrder[i]->peer()).widget());
    if (m_menuBar)
        m_menuHeight = m_menuBar->sizeHint().height();
    m_window->setParts(m_menuBar, m_menuHeight, m_client);
    if (m_keyPreviewWanted) {
        m_keyPreview = std::make_unique<detail::KeyPreview>(*this, m_window);
        qApp->installEventFilter(m_keyPreview.get());
    }
    const QSize window(m_designClient.width(), m_designClient.height() + m_menuHeight);
    if (m_border == BorderStyle::Sizable)
        m_window->resize(window);
    else
        m_window->setFixedSize(window);
}

void QtWindow::createNativeWindow() const {
    if (m_window->testAttribute(Qt::WA_WState_Created))
        return;
    m_window->winId();
    // Qt names a window without a caption after the application; the caption
    // is the title, also when empty.
    if (m_window->windowTitle().isEmpty())
        windowSystem().setTitle(m_window, QString());
    if (!m_showInTaskbar)
        windowSystem().skipTaskbar(m_window);
}

void QtWindow::setBackColor(OleColor color) {
    QPalette palette = m_client->palette();
    palette.setColor(QPalette::Window, toQColor(color));
    m_client->setPalette(palette);
}

// Showing -------------------------------------------------------------------

// The first control in tab order that can take the focus gets it, as when a
// window is first shown.
void QtWindow::focusFirstControl() {
    if (m_window->focusWidget())
        return;
    for (QWidget* w = m_window->nextInFocusChain(); w && w != m_window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(m_window) && w->isEnabled()) {
            w->setFocus(Qt::ActiveWindowFocusReason);
            return;
        }
    }
}

void QtWindow::showFirst() {
    m_window->show();
    windowSystem().flush();
    const bool framed = windowSystem().reportsFrames();
    ws::waitUntil(
        [this, framed] {
            QWindow* handle = m_window->windowHandle();
            return handle && handle->isExposed() &&
                   (!framed || windowSystem().frameExtents(m_window).has_value());
        },
        1000ms);
    ws::processEventsExceptInput();
    m_lastExtents = windowSystem().frameExtents(m_window);
    if (m_lastExtents)
        m_platform.rememberFrame(m_border, *m_lastExtents);
    focusFirstControl();
    ws::releaseHeldInput();
}

void QtWindow::show() {
    m_window->show();
}

void QtWindow::hide() {
    m_window->hide();
}

void QtWindow::prepareModal(WindowPeer* owner) {
    m_window->setWindowModality(Qt::ApplicationModal);
    createNativeWindow(); // so that it can name its owner
    auto* ownerWindow = static_cast<QtWindow*>(owner);
    if (ownerWindow && ownerWindow->window()->windowHandle())
        m_window->windowHandle()->setTransientParent(ownerWindow->window()->windowHandle());
}

void QtWindow::activate() {
    m_window->raise();
    m_window->activateWindow();
    focusFirstControl();
}

void QtWindow::runModalLoop() {
    QEventLoop loop;
    m_modalLoop = &loop;
    m_platform.pushLoop(&loop);
    loop.exec();
    m_platform.popLoop(&loop);
    m_modalLoop = nullptr;
}

void QtWindow::endModalLoop() {
    if (m_modalLoop)
        m_modalLoop->quit();
}

void QtWindow::holdPainting(bool hold) {
    if (!m_window || m_window->updatesEnabled() == !hold)
        return;
    if (hold) {
        m_window->setUpdatesEnabled(false);
        return;
    }
    m_window->setUpdatesEnabled(true);
    // Qt drops the exposures and resizes it is told about while a window's
    // updates are off (a tiling window manager exposes the window it has
    // just resized); paint the whole window now, once.
    if (m_window->isVisible())
        m_window->repaint();
}

} // namespace forms::qt
