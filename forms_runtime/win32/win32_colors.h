#pragma once
// Colour values as GDI colours and brushes, and the system's colours as the
// contrast rule reads them.

#include "text_colors.h"
#include "types.h"
#include "win32_api.h"

namespace forms::win32 {

// An explicit colour 0x00BBGGRR is a COLORREF already; system colour nn is
// what GetSysColor(nn) reports now.
COLORREF colorRef(OleColor color);

// A brush of the colour; owned by the backend, never to be deleted.
HBRUSH brush(OleColor color);

// The system's colours now, and whether high contrast was on when the
// system last told of a change.
const SystemPalette& systemPalette();

// The system's word that its colours (WM_SYSCOLORCHANGE, colours true) or
// its settings (WM_SETTINGCHANGE) changed, as the top-level window hwnd
// hears it: reads the high-contrast setting again and, where what is drawn
// changes, paints the window and its controls anew.
void systemColorsChanged(HWND hwnd, bool colours);

} // namespace forms::win32
