#pragma once
// Colours and fonts of the layouts, as Qt values.

#include "fonts.h"
#include "types.h"

#include <QColor>
#include <QFont>

namespace forms::qt {

// A checked colour value; system colours through the application's palette.
QColor toQColor(OleColor value);

// Registers stand-ins for faces that free desktops lack; idempotent.
void installFontSubstitutes();

QFont makeFont(const FontSpec& wanted);

} // namespace forms::qt
