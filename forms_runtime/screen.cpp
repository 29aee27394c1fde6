#include "screen.h"

#include "checked.h"
#include "runtime_error.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace forms {

namespace {

QScreen* primaryScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        raiseError(ErrorCode::WindowSystem, QStringLiteral("no screen"));
    return screen;
}

Single twipsPerPixel(qreal logicalDpi) {
    return checked(static_cast<Single>(1440.0 / logicalDpi));
}

int toPixels(Single twips, Single perPixel) {
    const Single pixels = checked(twips / perPixel);
    // Far beyond any screen; also keeps the conversion to int defined.
    if (std::fabs(pixels) > 1.0e6F)
        raiseError(ErrorCode::Overflow, QStringLiteral("%1 twips as pixels").arg(twips));
    return static_cast<int>(std::lround(pixels));
}

} // namespace

Single ScreenObject::Width() const {
    return twipsX(primaryScreen()->geometry().width());
}

Single ScreenObject::Height() const {
    return twipsY(primaryScreen()->geometry().height());
}

Single ScreenObject::TwipsPerPixelX() const {
    return m_fake ? *m_fake : twipsPerPixel(primaryScreen()->logicalDotsPerInchX());
}

Single ScreenObject::TwipsPerPixelY() const {
    return m_fake ? *m_fake : twipsPerPixel(primaryScreen()->logicalDotsPerInchY());
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
