#pragma once
// The Qt widgets behind the controls: one QtControl per control, made by
// its window's peer.

#include "backend.h"

#include <QPointer>
#include <QWidget>

namespace forms::qt {

class QtControl final : public ControlPeer {
public:
    QtControl(Control& control, const ControlSpec& layout, QWidget* parent);
    ~QtControl() override;
    QtControl(const QtControl&) = delete;
    QtControl& operator=(const QtControl&) = delete;

    void setGeometry(PixelRect rect) override;
    void setVisible(bool visible) override;
    bool enabled() const override;
    void setEnabled(bool enabled) override;
    void setCaption(const String& caption) override;
    String text() const override;
    void setAccessibleName(const String& name) override;
    void setColors(OleColor back, OleColor fore) override;
    bool checked() const override;
    void setChecked(bool checked) override;
    bool canTakeFocus() const override;
    void setFocus() override;

    QWidget* widget() const { return m_widget; }

private:
    Control& m_control;
    QPointer<QWidget> m_widget; // owned by its parent widget, which may go first
};

} // namespace forms::qt
