#pragma once
// Fonts by face, size in points and weight. Where a face is missing, a
// metric-compatible face of the same size serves.

#include "types.h"

#include <QFont>

namespace forms {

struct FontSpec {
    const char* face = nullptr; // nullptr: the control draws no text
    Single points = 0;
    bool bold = false;
};

// Registers stand-ins for faces that free desktops lack; idempotent.
void installFontSubstitutes();

QFont makeFont(const FontSpec& wanted);

} // namespace forms
