#include "qt_events.h"

#include "control.h"
#include "form.h"
#include "qt_window.h"

#include <QCloseEvent>
#include <QMouseEvent>

namespace forms::qt {

void QtWindow::onQtResize() {
    m_form.platformResized();
}

void QtWindow::onWindowStateChange(bool minimisedChanged) {
    // Minimising and restoring change no X geometry, yet they are resizes.
    if (minimisedChanged)
        m_form.platformResized();
}

void QtWindow::onFrameChanged() {
    if (!m_window->isVisible())
        return;
    const auto now = windowSystem().frameExtents(m_window);
    if (!now || now == m_lastExtents)
        return;
    m_lastExtents = now;
    m_platform.rememberFrame(m_border, *now);
    // A new frame changes the outer size although the client stayed.
    m_form.platformResized();
}

namespace detail {

FormWindow::FormWindow(QtWindow& owner, Qt::WindowFlags flags)
    : QWidget(nullptr, flags)
    , m_owner(owner) {}

void FormWindow::setParts(QWidget* menuBar, int menuHeight, QWidget* client) {
    m_menuBar = menuBar;
    m_menuHeight = menuHeight;
    m_client = client;
}

void FormWindow::resizeEvent(QResizeEvent* event) {
    // The menu bar keeps its height; the client area takes the rest.
    if (m_menuBar)
        m_menuBar->setGeometry(0, 0, width(), m_menuHeight);
    if (m_client)
        m_client->setGeometry(0, m_menuHeight, width(), std::max(0, height() - m_menuHeight));
    QWidget::resizeEvent(event);
    m_owner.onQtResize();
}

void FormWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        const auto old = static_cast<QWindowStateChangeEvent*>(event)->oldState();
        m_owner.onWindowStateChange((old & Qt::WindowMinimized) !=
                                    (windowState() & Qt::WindowMinimized));
    }
    QWidget::changeEvent(event);
}

void FormWindow::closeEvent(QCloseEvent* event) {
    // The forms layer decides: end the program or only hide.
    event->ignore();
    m_owner.form().platformCloseRequested();
}

ClientArea::ClientArea(QtWindow& owner, QWidget* parent)
    : QWidget(parent)
    , m_owner(owner) {
    setAutoFillBackground(true);
}

void ClientArea::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void ClientArea::mouseReleaseEvent(QMouseEvent* event) {
    if (m_pressed && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        m_owner.form().platformClicked();
    m_pressed = false;
    event->accept();
}

ClickFilter::ClickFilter(Control& control, QObject* parent)
    : QObject(parent)
    , m_control(control) {}

bool ClickFilter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        m_pressed = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        return true;
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* widget = static_cast<QWidget*>(watched);
        if (m_pressed && mouse->button() == Qt::LeftButton &&
            widget->rect().contains(mouse->position().toPoint()))
            m_control.raiseClick();
        m_pressed = false;
        return true;
    }
    case QEvent::MouseMove:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

} // namespace detail

} // namespace forms::qt
