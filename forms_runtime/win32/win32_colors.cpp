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

namespace {

bool readHighContrast() {
    HIGHCONTRASTW setting{};
    setting.cbSize = sizeof setting;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) != FALSE &&
           (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

// Read once at start and again when the system says something changed:
// a call of the system for every control painted would cost a round trip
// to the Wine server each under Wine.
bool g_highContrast = readHighContrast();

class Win32Palette final : public SystemPalette {
public:
    Rgb systemColor(unsigned number) const override {
        const COLORREF c = GetSysColor(static_cast<int>(number));
        return {GetRValue(c), GetGValue(c), GetBValue(c)};
    }
    bool highContrast() const override { return g_highContrast; }
};

} // namespace

const SystemPalette& systemPalette() {
    static const Win32Palette palette;
    return palette;
}

void systemColorsChanged(HWND hwnd, bool colours) {
    const bool highContrast = readHighContrast();
    if (!colours && highContrast == g_highContrast)
        return; // another setting: nothing drawn changes
    g_highContrast = highContrast;
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

} // namespace forms::win32
