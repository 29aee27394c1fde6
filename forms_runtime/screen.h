#pragma once
// The screen object, and the one place where twips and pixels meet.
//
// One backend pixel is one device pixel (the Qt backend switches Qt's own
// high-DPI scaling off, the Win32 program is DPI aware), so window sizes
// given in pixels stay exact at any DPI, while layouts in twips and fonts in
// points grow with the screen's logical DPI.

#include "pixels.h"
#include "types.h"

#include <optional>

namespace forms {

// The screen the handlers see is the monitor that holds most of the active
// window (the primary one before there is one): its full rectangle, the
// parts a task bar or panel covers included. With one monitor, the screen.
class ScreenObject {
public:
    Single Left() const;   // the monitor's corner on the desktop, twips
    Single Top() const;    //
    Single Width() const;  // the whole monitor, twips
    Single Height() const; // the whole monitor, twips
    Single TwipsPerPixelX() const;
    Single TwipsPerPixelY() const;

    // Pretends the screen reports this many twips per pixel (tests only).
    void fakeTwipsPerPixel(std::optional<Single> twipsPerPixel) { m_fake = twipsPerPixel; }

private:
    std::optional<Single> m_fake;
};

ScreenObject& Screen();

// The monitor that holds most of the outer rectangle; where none holds any
// of it, the one nearest to it.
PixelRect monitorOf(const PixelRect& outer);

// Twips to whole device pixels (rounded to nearest) and back. A value that
// cannot be a pixel count raises Overflow or a floating-point error.
int pixelsX(Single twips);
int pixelsY(Single twips);
Single twipsX(int pixels);
Single twipsY(int pixels);

} // namespace forms
