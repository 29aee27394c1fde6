#pragma once
// The Qt objects behind the forms layer's windows, controls and menu
// entries, for the tests that drive the Qt backend through its widgets.

#include "control.h"
#include "form.h"
#include "qt_controls.h"
#include "qt_window.h"

class QAction;
class QMenuBar;
class QWidget;

namespace forms::qt {

inline QWidget* widgetOf(const Control& control) {
    return static_cast<QtControl&>(control.peer()).widget();
}

inline QtWindow& windowPeer(const Form& form) {
    return static_cast<QtWindow&>(form.peer());
}

inline QWidget* windowOf(const Form& form) {
    return windowPeer(form).window();
}

inline QWidget* clientAreaOf(const Form& form) {
    return windowPeer(form).clientArea();
}

inline QMenuBar* menuBarOf(const Form& form) {
    return windowPeer(form).menuBar();
}

inline QAction* actionOf(const MenuEntry& entry) {
    return windowPeer(entry.form()).action(entry);
}

} // namespace forms::qt
