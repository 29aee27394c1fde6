#pragma once
// Colours and fonts of the layouts, and the window icon, as Qt values.

#include "fonts.h"
#include "text_colors.h"
#include "types.h"

#include <QColor>
#include <QFont>
#include <QIcon>

namespace forms::qt {

// A checked colour value; system colours through the application's palette.
QColor toQColor(OleColor value);

// The application's palette as the contrast rule reads it. Qt has no
// portable high-contrast setting; a high-contrast desktop theme comes as its
// palette, which the rule then reads like any other.
const SystemPalette& systemPalette();

// Registers stand-ins for faces that free desktops lack; idempotent.
void installFontSubstitutes();

QFont makeFont(const FontSpec& wanted);

// The program's icon from its Qt resources ":/icons/<name>-<size>.png", in
// the sizes that title bars, task bars and window switchers show; the larger
// ones are the desktop's, from the installed theme.
QIcon windowIcon(const char* name);

} // namespace forms::qt
