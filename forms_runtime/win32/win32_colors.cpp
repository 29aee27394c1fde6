#include "win32_colors.h"

#include "colors.h"

#include <map>

namespace forms::win32 {

COLORREF colorRef(OleColor color) {
    if ((color & kSystemColorFlag) != 0)
        return GetSysColor(static_cast<int>(color & 0xFFU));
    return static_cast<COLORREF>(color);
}

HBRUSH brush(OleColor color) {
    // The system keeps its own brushes for its colours, following changes
    // of the colour scheme.
    if ((color & kSystemColorFlag) != 0)
        return GetSysColorBrush(static_cast<int>(color & 0xFFU));
    // A handful of explicit colours over a run (the ribbon's 24 and a few
    // more): kept until the program ends.
    static std::map<COLORREF, HBRUSH> brushes;
    const COLORREF ref = colorRef(color);
    auto it = brushes.find(ref);
    if (it == brushes.end())
        it = brushes.emplace(ref, CreateSolidBrush(ref)).first;
    return it->second;
}

} // namespace forms::win32
