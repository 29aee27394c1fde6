#pragma once
// For the tests that drive the Qt backend through its widgets: the Qt
// objects behind windows and controls, and forms::String in QCOMPARE.

#include "qt_access.h"
#include "qt_look.h"
#include "qt_text.h"
#include "text.h"

#include <QByteArray>
#include <QString>

namespace forms {

inline char* toString(const String& text) {
    return qstrdup(text.c_str());
}

inline bool operator==(const String& text, const QString& other) {
    return qt::toQString(text) == other;
}

} // namespace forms

using forms::qt::actionOf;
using forms::qt::clientAreaOf;
using forms::qt::fromQString;
using forms::qt::installFontSubstitutes;
using forms::qt::menuBarOf;
using forms::qt::toQColor;
using forms::qt::toQString;
using forms::qt::widgetOf;
using forms::qt::windowOf;
