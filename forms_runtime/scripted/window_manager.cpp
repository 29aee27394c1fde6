#include "window_manager.h"

#include <algorithm>

namespace forms::scripted {

PixelSize grantedClient(const WindowManagerScript& script, PixelSize asked, PixelSize current,
                        PixelMargins frame, PixelSize screen) {
    const auto clampOuter = [&](PixelSize largest) {
        return PixelSize{std::min(asked.width, largest.width - frame.left - frame.right),
                         std::min(asked.height, largest.height - frame.top - frame.bottom)};
    };
    switch (script.sizes) {
    case SizeRule::Grant:
        return asked;
    case SizeRule::ClampToScreen:
        return clampOuter(screen);
    case SizeRule::ClampTo:
        return clampOuter(script.largest);
    case SizeRule::Refuse:
        return current;
    }
    return asked;
}

int dpiAt(const WindowManagerScript& script, PixelPoint point) {
    for (const auto& m : script.monitors)
        if (point.x >= m.area.x && point.x < m.area.x + m.area.width && point.y >= m.area.y &&
            point.y < m.area.y + m.area.height)
            return m.dpi;
    return 0;
}

PixelMargins scaledFrame(PixelMargins frame, int dpi) {
    const auto scale = [dpi](int pixels) { return (pixels * dpi + 48) / 96; };
    return {scale(frame.left), scale(frame.top), scale(frame.right), scale(frame.bottom)};
}

PixelPoint placedOuter(const WindowManagerScript& script, PixelPoint asked, PixelMargins frame) {
    PixelPoint at = asked;
    switch (script.places) {
    case PlaceRule::Exact:
        break;
    case PlaceRule::ClientAreaAtP:
        at = {asked.x - frame.left, asked.y - frame.top};
        break;
    case PlaceRule::FrameOffByEdge:
        at = {asked.x + frame.left, asked.y + frame.top};
        break;
    }
    if (script.keepsTitleBarOnScreen)
        at.y = std::max(0, at.y);
    return at;
}

} // namespace forms::scripted
