#pragma once
// Fonts by face, size in points and weight. Where a face is missing, the
// backend uses a face of the same size (a metric-compatible one where there
// is one).

#include "types.h"

namespace forms {

struct FontSpec {
    const char* face = nullptr; // nullptr: the control draws no text
    Single points = 0;
    bool bold = false;
};

} // namespace forms
