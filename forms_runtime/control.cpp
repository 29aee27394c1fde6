#include "control.h"

#include "colors.h"
#include "form.h"
#include "runtime.h"
#include "runtime_error.h"
#include "screen.h"
#include "widgets.h"

#include <QApplication>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>

namespace forms {

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

bool has(unsigned flags, Flag flag) {
    return (flags & flag) != 0;
}

OleColor defaultBackColor(Kind kind) {
    return kind == Kind::TextBox ? 0x80000005U : kButtonFace;
}

// Text boxes hold "\r\n" line ends; Qt shows "\n".
QString shownText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

// What assistive technology reads: the text as shown, without the "&" that
// marks an access key in a caption ("&&" stands for one "&").
QString accessibleText(Kind kind, const QString& caption) {
    const QString shown = shownText(caption);
    if (kind != Kind::OptionButton && kind != Kind::CommandButton && kind != Kind::Frame)
        return shown;
    QString name;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (shown[i] == QLatin1Char('&') && i + 1 < shown.size())
            ++i;
        else if (shown[i] == QLatin1Char('&'))
            continue;
        name += shown[i];
    }
    return name;
}

QWidget* makeWidget(Kind kind, unsigned flags, QWidget* parent) {
    switch (kind) {
    case Kind::Frame: {
        auto* frame = new QGroupBox(parent);
        frame->setAutoFillBackground(true);
        return frame;
    }
    case Kind::OptionButton: {
        auto* option = new QRadioButton(parent);
        option->setStyle(compactOptionStyle());
        option->setAutoFillBackground(true);
        return option;
    }
    case Kind::Label: {
        auto* label = new detail::LabelWidget(has(flags, Bordered), parent);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignTop |
                            (has(flags, Centred) ? Qt::AlignHCenter : Qt::AlignLeft));
        label->setAutoFillBackground(true);
        return label;
    }
    case Kind::TextBox: {
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
        // Not a dialog's default button; but a focused button is pressed by
        // Enter as by Space.
        button->setAutoDefault(true);
        button->setDefault(false);
        return button;
    }
    }
    return nullptr;
}

bool takesFocus(Kind kind) {
    return kind == Kind::OptionButton || kind == Kind::TextBox || kind == Kind::CommandButton;
}

} // namespace

Control::Control(Form& form, const ControlSpec& layout, QWidget* parent)
    : m_form(form)
    , m_name(QString::fromUtf8(layout.name))
    , m_index(layout.index)
    , m_kind(layout.kind)
    , m_left(layout.left)
    , m_top(layout.top)
    , m_width(layout.width)
    , m_height(layout.height)
    , m_caption(QString::fromUtf8(layout.caption ? layout.caption : ""))
    , m_backColor(layout.backColor == kDefaultColor ? defaultBackColor(layout.kind)
                                                    : layout.backColor)
    , m_foreColor(layout.foreColor == kDefaultColor ? kWindowText : layout.foreColor)
    , m_flags(layout.flags)
    , m_tabIndex(layout.tabIndex)
    , m_borderWidth(layout.borderWidth)
    , m_visible(!has(layout.flags, Hidden))
    , m_widget(makeWidget(layout.kind, layout.flags, parent)) {
    m_widget->setObjectName(displayName());
    if (layout.font.face)
        m_widget->setFont(makeFont(layout.font));
    m_widget->setFocusPolicy(takesFocus(m_kind) ? Qt::StrongFocus : Qt::NoFocus);

    switch (m_kind) {
    case Kind::OptionButton:
        QObject::connect(static_cast<QRadioButton*>(m_widget.data()), &QRadioButton::toggled,
                         m_widget, [this](bool on) {
                             if (on)
                                 raiseClick();
                         });
        break;
    case Kind::CommandButton:
        QObject::connect(static_cast<QPushButton*>(m_widget.data()), &QPushButton::clicked,
                         m_widget, [this] { raiseClick(); });
        break;
    case Kind::TextBox:
        static_cast<QPlainTextEdit*>(m_widget.data())
            ->viewport()
            ->installEventFilter(new detail::ClickFilter(*this, m_widget));
        break;
    case Kind::Label:
    case Kind::Frame:
        m_widget->installEventFilter(new detail::ClickFilter(*this, m_widget));
        break;
    case Kind::Shape:
        break;
    }

    applyCaption();
    applyColors();
    applyGeometry();
    m_widget->setVisible(m_visible);
}

QString Control::displayName() const {
    return m_index >= 0 ? QStringLiteral("%1(%2)").arg(m_name).arg(m_index) : m_name;
}

void Control::unsupported(const char* what) const {
    raiseError(ErrorCode::NotSupported,
               QStringLiteral("%1 of %2").arg(QLatin1String(what), displayName()));
}

void Control::applyGeometry() {
    if (m_width < 0 || m_height < 0)
        raiseError(ErrorCode::InvalidPropertyValue,
                   QStringLiteral("negative size of %1").arg(displayName()));
    m_widget->setGeometry(pixelsX(m_left), pixelsY(m_top), pixelsX(m_width), pixelsY(m_height));
}

void Control::setLeft(Single twips) {
    m_left = twips;
    applyGeometry();
}

void Control::setTop(Single twips) {
    m_top = twips;
    applyGeometry();
}

void Control::setWidth(Single twips) {
    m_width = twips;
    applyGeometry();
}

void Control::setHeight(Single twips) {
    m_height = twips;
    applyGeometry();
}

void Control::setVisible(bool visible) {
    m_visible = visible;
    m_widget->setVisible(visible);
}

bool Control::Enabled() const {
    return !m_widget->testAttribute(Qt::WA_Disabled);
}

void Control::setEnabled(bool enabled) {
    m_widget->setEnabled(enabled);
}

QString Control::Caption() const {
    if (m_kind == Kind::Shape)
        unsupported("Caption");
    return m_caption;
}

void Control::setCaption(const QString& caption) {
    if (m_kind == Kind::Shape)
        unsupported("Caption");
    m_caption = caption;
    applyCaption();
}

void Control::applyCaption() {
    switch (m_kind) {
    case Kind::Frame:
        static_cast<QGroupBox*>(m_widget.data())->setTitle(m_caption);
        break;
    case Kind::OptionButton:
    case Kind::CommandButton:
        static_cast<QAbstractButton*>(m_widget.data())->setText(m_caption);
        break;
    case Kind::Label:
        static_cast<QLabel*>(m_widget.data())->setText(m_caption);
        break;
    case Kind::TextBox:
        static_cast<QPlainTextEdit*>(m_widget.data())->setPlainText(shownText(m_caption));
        break;
    case Kind::Shape:
        return;
    }
    if (!m_customAccessibleName) {
        m_widget->setAccessibleName(accessibleText(m_kind, m_caption));
    }
}

void Control::setAccessibleName(const QString& name) {
    m_customAccessibleName = true;
    m_widget->setAccessibleName(name);
}

void Control::setBackColor(OleColor color) {
    toQColor(color); // raises for a value that is no colour, before anything changes
    m_backColor = color;
    applyColors();
}

void Control::applyColors() {
    const QColor back = toQColor(m_backColor);
    const QColor fore = toQColor(m_foreColor);
    if (m_kind == Kind::Shape) {
        const bool filled = has(m_flags, Filled);
        const bool bordered = !has(m_flags, NoBorderLine);
        static_cast<detail::ShapeWidget*>(m_widget.data())
            ->setLook(filled ? std::optional(back) : std::nullopt,
                      bordered ? std::optional(fore) : std::nullopt, m_borderWidth);
        return;
    }
    QPalette palette = m_widget->palette();
    for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, back);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, fore);
    m_widget->setPalette(palette);
}

bool Control::Value() const {
    if (m_kind != Kind::OptionButton)
        unsupported("Value");
    return static_cast<QRadioButton*>(m_widget.data())->isChecked();
}

void Control::setValue(bool value) {
    if (m_kind != Kind::OptionButton)
        unsupported("Value");
    auto* option = static_cast<QRadioButton*>(m_widget.data());
    if (value) {
        option->setChecked(true); // deselects the others; its Click follows
    } else {
        // An exclusive group refuses to clear its selected button directly.
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

void Control::SetFocus() {
    if (!takesFocus(m_kind))
        unsupported("SetFocus");
    if (!m_widget->isVisibleTo(m_widget->window()) || !m_widget->isEnabled())
        raiseError(ErrorCode::InvalidCall,
                   QStringLiteral("%1 cannot take the focus").arg(displayName()));
    m_widget->setFocus(Qt::OtherFocusReason);
}

void Control::raiseClick() {
    if (Click)
        m_form.raiseEvent("Click", Click);
}

} // namespace forms
