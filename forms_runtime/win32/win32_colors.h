#pragma once
// Colour values as GDI colours and brushes.

#include "types.h"
#include "win32_api.h"

namespace forms::win32 {

// An explicit colour 0x00BBGGRR is a COLORREF already; system colour nn is
// what GetSysColor(nn) reports now.
COLORREF colorRef(OleColor color);

// A brush of the colour; owned by the backend, never to be deleted.
HBRUSH brush(OleColor color);

} // namespace forms::win32
