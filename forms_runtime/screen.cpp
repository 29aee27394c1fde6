#include "screen.h"

#include "backend.h"
#include "checked.h"
#include "conversions.h"
#include "runtime_error.h"

#include <cmath>

namespace forms {

namespace {

Single twipsPerPixel(double logicalDpi) {
    return checked(static_cast<Single>(1440.0 / logicalDpi));
}

int toPixels(Single twips, Single perPixel) {
    const Single pixels = checked(twips / perPixel);
    // Far beyond any screen; also keeps the conversion to int defined.
    if (std::fabs(pixels) > 1.0e6F)
        raiseError(ErrorCode::Overflow, Str(twips) + " twips as pixels");
    return static_cast<int>(std::lround(pixels));
}

} // namespace

Single ScreenObject::Width() const {
    return twipsX(platform().screenSize().width);
}

Single ScreenObject::Height() const {
    return twipsY(platform().screenSize().height);
}

Single ScreenObject::TwipsPerPixelX() const {
    return m_fake ? *m_fake : twipsPerPixel(platform().logicalDpiX());
}

Single ScreenObject::TwipsPerPixelY() const {
    return m_fake ? *m_fake : twipsPerPixel(platform().logicalDpiY());
}

ScreenObject& Screen() {
    static ScreenObject screen;
    return screen;
}

int pixelsX(Single twips) {
    return toPixels(twips, Screen().TwipsPerPixelX());
}

int pixelsY(Single twips) {
    return toPixels(twips, Screen().TwipsPerPixelY());
}

Single twipsX(int pixels) {
    return checked(static_cast<Single>(pixels) * Screen().TwipsPerPixelX());
}

Single twipsY(int pixels) {
    return checked(static_cast<Single>(pixels) * Screen().TwipsPerPixelY());
}

} // namespace forms
