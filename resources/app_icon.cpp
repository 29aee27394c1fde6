#include "app_icon.h"

#include <QSize>
#include <QString>

namespace vistrum {

QIcon appIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/vistrum-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/vistrum-32.png"), QSize(32, 32));
    return icon;
}

} // namespace vistrum
