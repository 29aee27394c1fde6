// The main window's state as its tests read it, the same on every platform:
// which presets are selected and which colour swatches carry the mark.
#pragma once

#include "form.h"

#include <QList>

namespace vt_main_state {

inline const forms::String kMark = "\u00D7";

inline QList<int> selectedPresets(forms::Form& form) {
    QList<int> selected;
    for (forms::Integer i = 0; i < 12; ++i)
        if (form.control("ScrSizeOpt", i).Value())
            selected << i;
    return selected;
}

// The marked swatches; a stray caption shows up as -1000 - index.
inline QList<int> marks(forms::Form& form) {
    QList<int> marked;
    for (forms::Integer i = 0; i < 24; ++i) {
        const forms::String caption = form.control("ColorBox", i).Caption();
        if (caption == kMark)
            marked << i;
        else if (!caption.empty())
            marked << -1000 - i;
    }
    return marked;
}

} // namespace vt_main_state
