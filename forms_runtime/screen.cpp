#include "screen.h"

#include "backend.h"
#include "checked.h"
#include "conversions.h"
#include "form.h"
#include "runtime.h"
#include "runtime_error.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace forms {

namespace {

// 1440 / DPI to the nearest 1/64 twip. At the DPIs whose quotient is exact
// (96, 120, 144, 192, ...) that is the quotient itself; at the others (108,
// 132, 168, 216 for 112.5, 137.5, 175 and 225 %) the quotient has no end in
// binary, and a whole number of pixels times it, divided back in single
// precision, may come out a hair below the whole number: a window of 956
// pixels would read 955.9999. With ten binary digits at most, a number of
// pixels up to 16383 times it is exact, and so is the way back. The layout
// grows by at most 1/128 twip per pixel more or less than the DPI says.
Single twipsPerPixel(double logicalDpi) {
    const Single exact = checked(static_cast<Single>(1440.0 / logicalDpi));
    return checked(static_cast<Single>(std::round(static_cast<double>(exact) * 64.0) / 64.0));
}

int toPixels(Single twips, Single perPixel) {
    const Single pixels = checked(twips / perPixel);
    // Far beyond any screen; also keeps the conversion to int defined.
    if (std::fabs(pixels) > 1.0e6F)
        raiseError(ErrorCode::Overflow, Str(twips) + " twips as pixels");
    return static_cast<int>(std::lround(pixels));
}

// The monitor of the active window, as the platform last placed it: one
// handler's assignments, not sent yet, do not take the window to another.
PixelRect activeMonitor() {
    const Form* active = Runtime::get().activeForm();
    return active ? monitorOf(active->peer().outerRect()) : platform().monitors().front();
}

} // namespace

PixelRect monitorOf(const PixelRect& outer) {
    const std::vector<PixelRect> monitors = platform().monitors();
    const auto overlap = [&outer](const PixelRect& m) {
        const long long w = std::min(outer.x + outer.width, m.x + m.width) - std::max(outer.x, m.x);
        const long long h =
            std::min(outer.y + outer.height, m.y + m.height) - std::max(outer.y, m.y);
        return w > 0 && h > 0 ? w * h : 0;
    };
    // Squared distance from the window's centre to the monitor.
    const auto distance = [&outer](const PixelRect& m) {
        const long long cx = outer.x + outer.width / 2;
        const long long cy = outer.y + outer.height / 2;
        const long long dx = std::max({0LL, m.x - cx, cx - (m.x + m.width)});
        const long long dy = std::max({0LL, m.y - cy, cy - (m.y + m.height)});
        return dx * dx + dy * dy;
    };
    return *std::min_element(monitors.begin(), monitors.end(),
                             [&](const PixelRect& a, const PixelRect& b) {
                                 const long long oa = overlap(a), ob = overlap(b);
                                 return oa != ob ? oa > ob : distance(a) < distance(b);
                             });
}

Single ScreenObject::Left() const {
    return twipsX(activeMonitor().x);
}

Single ScreenObject::Top() const {
    return twipsY(activeMonitor().y);
}

Single ScreenObject::Width() const {
    return twipsX(activeMonitor().width);
}

Single ScreenObject::Height() const {
    return twipsY(activeMonitor().height);
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
