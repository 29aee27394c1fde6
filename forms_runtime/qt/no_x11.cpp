// A build without xcb: Qt's own view of windows is all there is, and Qt
// itself reports a display it cannot reach.

#include "window_system.h"

namespace forms::ws {

std::unique_ptr<WindowSystem> makeX11WindowSystem(std::function<void(quintptr)>) {
    return nullptr;
}

QString displayProblem() {
    return {};
}

} // namespace forms::ws
