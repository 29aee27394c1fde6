#pragma once
// The widgets the backend paints itself: shapes, bordered labels and frames,
// drawn alike on every style.

#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>
#include <optional>

namespace forms::qt::detail {

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

} // namespace forms::qt::detail
