#include "app_icon.h"

#include <QSize>
#include <QString>

namespace vistrum {

QIcon appIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/vistrum-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace vistrum
