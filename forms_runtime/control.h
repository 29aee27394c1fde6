#pragma once
// One control of a window: its properties in twips and colour values, and
// its Click. Every kind shares this one class; an operation a kind does not
// have raises "Object doesn't support this property or method" naming the
// control. What it looks like on the screen is its backend peer's business.

#include "layout.h"
#include "text.h"
#include "types.h"

#include <functional>
#include <memory>

namespace forms {

class ControlPeer;
class Form;
struct PixelRect;

class Control {
public:
    Control(Form& form, const ControlSpec& layout);
    ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const String& Name() const { return m_name; }
    Integer Index() const { return m_index; }
    Kind kind() const { return m_kind; }
    String displayName() const; // "ColorBox(3)"

    Single Left() const { return m_left; }
    Single Top() const { return m_top; }
    Single Width() const { return m_width; }
    Single Height() const { return m_height; }
    void setLeft(Single twips);
    void setTop(Single twips);
    void setWidth(Single twips);
    void setHeight(Single twips);

    bool Visible() const { return m_visible; }
    void setVisible(bool visible);
    bool Enabled() const;
    void setEnabled(bool enabled);

    // The caption, or a text box's text, exactly as last set.
    const String& Caption() const;
    void setCaption(const String& caption);
    // A text box's text; for an editable one, what it holds now, typing
    // included.
    String Text() const;
    void setText(const String& text) { setCaption(text); }

    OleColor BackColor() const { return m_backColor; }
    void setBackColor(OleColor color);
    OleColor ForeColor() const { return m_foreColor; }

    // Option buttons: True selects this one, deselects the others of its
    // container and raises its Click.
    bool Value() const;
    void setValue(bool value);

    void SetFocus();

    // Raised by a click of the user (and by Value = True).
    std::function<void()> Click;

    // The tab index from the layout, -1 for none.
    Integer TabIndex() const { return m_tabIndex; }
    // True for the kinds that take the keyboard focus.
    bool takesFocus() const;
    // Text for assistive technology; defaults to the caption.
    void setAccessibleName(const String& name);
    String accessibleName() const;

    // For the backends.
    void attach(std::unique_ptr<ControlPeer> peer);
    // Left, Top, Width and Height in device pixels, relative to the
    // container's client area; raises for a negative size.
    PixelRect pixelGeometry() const;
    ControlPeer& peer() const { return *m_peer; }
    Form& form() const { return m_form; }
    unsigned flags() const { return m_flags; }
    Integer borderWidth() const { return m_borderWidth; }
    void raiseClick();

private:
    [[noreturn]] void unsupported(const char* what) const;
    void applyGeometry();
    bool namedByCaption() const;

    Form& m_form;
    String m_name;
    Integer m_index;
    Kind m_kind;
    Single m_left, m_top, m_width, m_height;
    String m_caption;
    OleColor m_backColor;
    OleColor m_foreColor;
    unsigned m_flags;
    Integer m_tabIndex;
    Integer m_borderWidth;
    bool m_visible;
    bool m_customAccessibleName = false;
    String m_accessibleName; // when custom
    std::unique_ptr<ControlPeer> m_peer;
};

// What assistive technology reads for a caption: the text without the "&"
// that marks an access key in buttons and frames ("&&" stands for one "&"),
// with "\r\n" shown as "\n".
String accessibleText(Kind kind, const String& caption);

} // namespace forms
