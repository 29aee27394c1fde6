#include "qt_widgets.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

namespace forms::qt::detail {

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

} // namespace forms::qt::detail
