#pragma once
// For the tests that drive the Qt backend through its widgets: the Qt
// objects behind windows and controls, and forms::String in QCOMPARE.

#include "forms_qtest.h"
#include "qt_access.h"
#include "qt_look.h"
#include "qt_text.h"
#include "text.h"

#include <QByteArray>
#include <QString>

using forms::qt::actionOf;
using forms::qt::clientAreaOf;
using forms::qt::fromQString;
using forms::qt::installFontSubstitutes;
using forms::qt::menuBarOf;
using forms::qt::toQColor;
using forms::qt::toQString;
using forms::qt::widgetOf;
using forms::qt::windowOf;
