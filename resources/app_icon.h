#pragma once

#include <QIcon>

namespace vistrum {

// The program icon, a monitor on a stand, in the sizes a window carries: 16,
// 32, 48 and 64 pixels (task bars, title bars and window switchers). The
// pictures are also reachable as ":/icons/vistrum-<size>.png" in any program
// that links vistrum_resources.
QIcon appIcon();

} // namespace vistrum
