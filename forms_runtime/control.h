#pragma once
// One control of a window: its properties in twips and colour values, its
// Click, and the Qt widget that shows it. Every kind shares this one class;
// an operation a kind does not have raises "Object doesn't support this
// property or method" naming the control.

#include "layout.h"
#include "types.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

namespace forms {

class Form;

class Control {
public:
    Control(Form& form, const ControlSpec& layout, QWidget* parent);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const QString& Name() const { return m_name; }
    Integer Index() const { return m_index; }
    Kind kind() const { return m_kind; }
    QString displayName() const; // "ColorBox(3)"

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
    QString Caption() const;
    void setCaption(const QString& caption);
    QString Text() const { return Caption(); }

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
    // Text for assistive technology; defaults to the caption.
    void setAccessibleName(const QString& name);

    QWidget* widget() const { return m_widget; }

    void raiseClick(); // for the forms layer's widgets

private:
    [[noreturn]] void unsupported(const char* what) const;
    void applyGeometry();
    void applyColors();
    void applyCaption();

    Form& m_form;
    QString m_name;
    Integer m_index;
    Kind m_kind;
    Single m_left, m_top, m_width, m_height;
    QString m_caption;
    OleColor m_backColor;
    OleColor m_foreColor;
    unsigned m_flags;
    Integer m_tabIndex;
    Integer m_borderWidth;
    bool m_visible;
    bool m_customAccessibleName = false;
    QPointer<QWidget> m_widget;
};

} // namespace forms
