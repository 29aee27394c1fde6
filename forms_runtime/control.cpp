#include "control.h"

#include "backend.h"
#include "colors.h"
#include "form.h"
#include "runtime_error.h"
#include "screen.h"
#include "text_colors.h"

namespace forms {

String accessibleText(Kind kind, const String& caption) {
    std::string shown;
    const std::string& text = caption.utf8();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        shown += text[i];
    }
    if (kind != Kind::OptionButton && kind != Kind::CommandButton && kind != Kind::Frame)
        return String(shown);
    std::string name;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == '&' && i + 1 < shown.size())
            ++i;
        else if (shown[i] == '&')
            continue;
        name += shown[i];
    }
    return String(name);
}

Control::Control(Form& form, const ControlSpec& layout)
    : m_form(form)
    , m_name(layout.name)
    , m_index(layout.index)
    , m_kind(layout.kind)
    , m_left(layout.left)
    , m_top(layout.top)
    , m_width(layout.width)
    , m_height(layout.height)
    , m_caption(layout.caption)
    , m_backColor(checkedColor(layout.backColor == kDefaultColor ? defaultBackColor(layout.kind)
                                                                 : layout.backColor))
    , m_foreColor(checkedColor(layout.foreColor == kDefaultColor ? kWindowText : layout.foreColor))
    , m_flags(layout.flags)
    , m_tabIndex(layout.tabIndex)
    , m_borderWidth(layout.borderWidth)
    , m_visible(!hasFlag(layout.flags, Hidden)) {}

Control::~Control() = default;

void Control::attach(std::unique_ptr<ControlPeer> peer) {
    m_peer = std::move(peer);
    if (m_kind != Kind::Shape)
        m_peer->setCaption(m_caption);
    if (namedByCaption())
        m_peer->setAccessibleName(accessibleText(m_kind, m_caption));
    m_peer->setColors(m_backColor, m_foreColor);
    applyGeometry();
    m_peer->setVisible(m_visible);
}

String Control::displayName() const {
    return m_index >= 0 ? m_name + "(" + number(m_index) + ")" : m_name;
}

bool Control::takesFocus() const {
    return m_kind == Kind::OptionButton || m_kind == Kind::TextBox || m_kind == Kind::CommandButton;
}

// An editable text box's text is its value, not its name: assistive
// technology reads that apart, and the name comes from setAccessibleName.
bool Control::namedByCaption() const {
    return m_kind != Kind::Shape && !hasFlag(m_flags, Editable);
}

void Control::unsupported(const char* what) const {
    raiseError(ErrorCode::NotSupported, String(what) + " of " + displayName());
}

PixelRect Control::pixelGeometry() const {
    if (m_width < 0 || m_height < 0)
        raiseError(ErrorCode::InvalidPropertyValue, "negative size of " + displayName());
    return {pixelsX(m_left), pixelsY(m_top), pixelsX(m_width), pixelsY(m_height)};
}

void Control::applyGeometry() {
    m_peer->setGeometry(pixelGeometry());
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
    m_peer->setVisible(visible);
}

bool Control::Enabled() const {
    return m_peer->enabled();
}

void Control::setEnabled(bool enabled) {
    m_peer->setEnabled(enabled);
}

const String& Control::Caption() const {
    if (m_kind == Kind::Shape)
        unsupported("Caption");
    return m_caption;
}

String Control::Text() const {
    if (m_kind != Kind::TextBox)
        unsupported("Text");
    return hasFlag(m_flags, Editable) ? m_peer->text() : m_caption;
}

void Control::setCaption(const String& caption) {
    if (m_kind == Kind::Shape)
        unsupported("Caption");
    m_caption = caption;
    m_peer->setCaption(m_caption);
    if (!m_customAccessibleName && namedByCaption())
        m_peer->setAccessibleName(accessibleText(m_kind, m_caption));
}

void Control::setAccessibleName(const String& name) {
    m_customAccessibleName = true;
    m_accessibleName = name;
    m_peer->setAccessibleName(name);
}

String Control::accessibleName() const {
    return m_customAccessibleName || m_kind == Kind::Shape ? m_accessibleName
                                                           : accessibleText(m_kind, m_caption);
}

void Control::setBackColor(OleColor color) {
    m_backColor = checkedColor(color); // raises before anything changes
    m_peer->setColors(m_backColor, m_foreColor);
}

bool Control::Value() const {
    if (m_kind != Kind::OptionButton)
        unsupported("Value");
    return m_peer->checked();
}

void Control::setValue(bool value) {
    if (m_kind != Kind::OptionButton)
        unsupported("Value");
    m_peer->setChecked(value); // selecting one deselects the others; its Click follows
}

void Control::SetFocus() {
    if (!takesFocus())
        unsupported("SetFocus");
    if (!m_visible || !m_peer->canTakeFocus())
        raiseError(ErrorCode::InvalidCall, displayName() + " cannot take the focus");
    m_peer->setFocus();
}

void Control::raiseClick() {
    if (Click)
        m_form.raiseEvent("Click", Click);
}

} // namespace forms
