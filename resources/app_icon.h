#pragma once

#include <QIcon>

namespace vistrum {

// The program icon, a monitor on a stand, in its 16 x 16 and 32 x 32 sizes.
// The pictures are also reachable as ":/icons/vistrum-16.png" and
// ":/icons/vistrum-32.png" in any program that links vistrum_resources.
QIcon appIcon();

} // namespace vistrum
