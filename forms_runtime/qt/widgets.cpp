#include "widgets.h"

#include "control.h"
#include "form.h"
#include "qt_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

namespace forms::qt::detail {

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

ShapeWidget::ShapeWidget(QWidget* parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeWidget::setLook(std::optional<QColor> fill, std::optional<QColor> border,
                          int borderWidth) {
    m_fill = fill;
    m_border = border;
    m_borderWidth = borderWidth;
    update();
}

void ShapeWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect r = rect();
    if (m_fill)
        painter.fillRect(r, *m_fill);
    if (m_border && m_borderWidth > 0) {
        // Inside the bounds, so the shape covers exactly its rectangle.
        const int b = std::min({m_borderWidth, r.width(), r.height()});
        painter.fillRect(QRect(r.left(), r.top(), r.width(), b), *m_border);
        painter.fillRect(QRect(r.left(), r.bottom() - b + 1, r.width(), b), *m_border);
        painter.fillRect(QRect(r.left(), r.top(), b, r.height()), *m_border);
        painter.fillRect(QRect(r.right() - b + 1, r.top(), b, r.height()), *m_border);
    }
}

LabelWidget::LabelWidget(bool bordered, QWidget* parent)
    : QLabel(parent)
    , m_bordered(bordered) {
    if (m_bordered)
        setContentsMargins(1, 1, 1, 1);
}

void LabelWidget::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (m_bordered) {
        QPainter painter(this);
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

FrameWidget::FrameWidget(QWidget* parent)
    : QGroupBox(parent) {
    setAutoFillBackground(true); // the interior: the frame's BackColor
}

void FrameWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int lineTop = metrics.height() / 2;
    // The button shadow and highlight, as the system colours 16 and 20.
    qDrawShadeRect(&painter, QRect(0, lineTop, width(), height() - lineTop), palette(), true);
    if (title().isEmpty())
        return;
    // Offsets at 96 DPI, grown with the screen's DPI like the fonts.
    const qreal scale = logicalDpiX() / 96.0;
    const int indent = qRound(8 * scale);
    const int gap = qRound(2 * scale);
    const bool underline = style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, this);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine |
                      (underline ? Qt::TextShowMnemonic : Qt::TextHideMnemonic);
    const QRect room(indent, 0, std::max(0, width() - 2 * indent), metrics.height());
    const QRect caption = metrics.boundingRect(room, flags, title()) & room;
    painter.fillRect(caption.adjusted(-gap, 0, gap, 0), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(room, flags, title());
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
