#include "qt_controls.h"

#include "control.h"
#include "qt_events.h"
#include "qt_keyboard.h"
#include "qt_look.h"
#include "qt_text.h"
#include "qt_widgets.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>

namespace forms::qt {

namespace {

// Option buttons with a compact indicator, as on the desktops the layouts
// were drawn for; with the wider indicator and spacing of Qt's styles the
// captions would be cut off.
class CompactOptionStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        // Sizes at 96 DPI, grown with the screen's DPI like the fonts.
        const qreal scale = (widget ? widget->logicalDpiX() : 96) / 96.0;
        switch (metric) {
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
            return qRound(13 * scale);
        case PM_RadioButtonLabelSpacing:
            return qRound(4 * scale);
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }
};

QStyle* compactOptionStyle() {
    static QPointer<CompactOptionStyle> style;
    if (!style) {
        style = new CompactOptionStyle;
        style->setParent(qApp); // lives as long as the application
    }
    return style;
}

// Text boxes hold "\r\n" line ends; Qt shows "\n".
QString shownText(const String& text) {
    QString shown = toQString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

QWidget* makeWidget(Kind kind, unsigned flags, QWidget* parent) {
    switch (kind) {
    case Kind::Frame:
        return new detail::FrameWidget(parent);
    case Kind::OptionButton: {
        auto* option = new QRadioButton(parent);
        option->setStyle(compactOptionStyle());
        option->setAutoFillBackground(true);
        return option;
    }
    case Kind::Label: {
        auto* label = new detail::LabelWidget(hasFlag(flags, Bordered), parent);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignTop |
                            (hasFlag(flags, Centred) ? Qt::AlignHCenter : Qt::AlignLeft));
        label->setAutoFillBackground(true);
        return label;
    }
    case Kind::TextBox: {
        if (hasFlag(flags, Editable))
            return new QLineEdit(parent);
        auto* text = new QPlainTextEdit(parent);
        text->setFrameShape(QFrame::NoFrame);
        text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        // The panes show fixed texts: no key press or paste may change them.
        text->setReadOnly(true);
        text->setTextInteractionFlags(Qt::TextSelectableByKeyboard);
        text->setContextMenuPolicy(Qt::NoContextMenu);
        text->document()->setDocumentMargin(2);
        text->setAutoFillBackground(true);
        return text;
    }
    case Kind::Shape:
        return new detail::ShapeWidget(parent);
    case Kind::CommandButton: {
        auto* button = new QPushButton(parent);
        // A focused button is pressed by Enter as by Space; the window's
        // default button (drawn as such) by an Enter that no other button
        // takes, its cancel button by Escape.
        button->setAutoDefault(true);
        button->setDefault(hasFlag(flags, DefaultButton));
        if (hasFlag(flags, DefaultButton))
            button->window()->installEventFilter(new detail::ButtonKey(button, Qt::Key_Return));
        if (hasFlag(flags, CancelButton))
            button->window()->installEventFilter(new detail::ButtonKey(button, Qt::Key_Escape));
        return button;
    }
    }
    return nullptr;
}

} // namespace

QtControl::QtControl(Control& control, const ControlSpec& layout, QWidget* parent)
    : m_control(control)
    , m_widget(makeWidget(layout.kind, layout.flags, parent)) {
    m_widget->setObjectName(toQString(control.displayName()));
    if (layout.font.face)
        m_widget->setFont(makeFont(layout.font));
    m_widget->setFocusPolicy(control.takesFocus() ? Qt::StrongFocus : Qt::NoFocus);

    switch (layout.kind) {
    case Kind::OptionButton:
        QObject::connect(static_cast<QRadioButton*>(m_widget.data()), &QRadioButton::toggled,
                         m_widget, [this](bool on) {
                             if (on)
                                 m_control.raiseClick();
                         });
        break;
    case Kind::CommandButton:
        QObject::connect(static_cast<QPushButton*>(m_widget.data()), &QPushButton::clicked,
                         m_widget, [this] { m_control.raiseClick(); });
        break;
    case Kind::TextBox:
        // The user types into an editable one, and clicks place the caret.
        if (auto* pane = qobject_cast<QPlainTextEdit*>(m_widget.data()))
            pane->viewport()->installEventFilter(new detail::ClickFilter(control, m_widget));
        break;
    case Kind::Label:
    case Kind::Frame:
        m_widget->installEventFilter(new detail::ClickFilter(control, m_widget));
        break;
    case Kind::Shape:
        break;
    }
}

QtControl::~QtControl() {
    delete m_widget.data();
}

void QtControl::setGeometry(PixelRect rect) {
    m_widget->setGeometry(rect.x, rect.y, rect.width, rect.height);
}

void QtControl::setVisible(bool visible) {
    m_widget->setVisible(visible);
}

bool QtControl::enabled() const {
    return !m_widget->testAttribute(Qt::WA_Disabled);
}

void QtControl::setEnabled(bool enabled) {
    m_widget->setEnabled(enabled);
}

void QtControl::setCaption(const String& caption) {
    switch (m_control.kind()) {
    case Kind::Frame:
        static_cast<QGroupBox*>(m_widget.data())->setTitle(toQString(caption));
        break;
    case Kind::OptionButton:
    case Kind::CommandButton:
        static_cast<QAbstractButton*>(m_widget.data())->setText(toQString(caption));
        break;
    case Kind::Label:
        static_cast<QLabel*>(m_widget.data())->setText(toQString(caption));
        break;
    case Kind::TextBox:
        if (auto* line = qobject_cast<QLineEdit*>(m_widget.data()))
            line->setText(toQString(caption));
        else
            static_cast<QPlainTextEdit*>(m_widget.data())->setPlainText(shownText(caption));
        break;
    case Kind::Shape:
        break;
    }
}

String QtControl::text() const {
    const auto* line = qobject_cast<const QLineEdit*>(m_widget.data());
    return line ? fromQString(line->text()) : String();
}

void QtControl::setAccessibleName(const String& name) {
    m_widget->setAccessibleName(toQString(name));
}

void QtControl::setColors(OleColor backColor, OleColor foreColor) {
    const DrawnColors drawn =
        drawnColors(m_control.kind(), m_control.flags(), backColor, foreColor, systemPalette());
    const QColor back = toQColor(drawn.back);
    const QColor fore = toQColor(drawn.fore);
    if (m_control.kind() == Kind::Shape) {
        const unsigned flags = m_control.flags();
        static_cast<detail::ShapeWidget*>(m_widget.data())
            ->setLook(hasFlag(flags, Filled) ? std::optional(back) : std::nullopt,
                      hasFlag(flags, NoBorderLine) ? std::nullopt : std::optional(fore),
                      m_control.borderWidth());
        return;
    }
    QPalette palette = m_widget->palette();
    for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, back);
    // A disabled control is drawn in the platform's disabled text colour,
    // whatever text colour the layout gives it.
    const QPalette& platform = QApplication::palette();
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Active, role, fore);
        palette.setColor(QPalette::Inactive, role, fore);
        palette.setColor(QPalette::Disabled, role, platform.color(QPalette::Disabled, role));
    }
    m_widget->setPalette(palette);
}

bool QtControl::checked() const {
    return static_cast<QRadioButton*>(m_widget.data())->isChecked();
}

void QtControl::setChecked(bool checked) {
    auto* option = static_cast<QRadioButton*>(m_widget.data());
    if (checked) {
        option->setChecked(true); // deselects the others; its Click follows
    } else {
        // An exclusive group refuses to clear its selected button directly.
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

bool QtControl::canTakeFocus() const {
    return m_widget->isVisibleTo(m_widget->window()) && m_widget->isEnabled();
}

void QtControl::setFocus() {
    m_widget->setFocus(Qt::OtherFocusReason);
    if (auto* line = qobject_cast<QLineEdit*>(m_widget.data()))
        line->selectAll();
}

} // namespace forms::qt
