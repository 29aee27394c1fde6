#pragma once
// The Qt backend's edge for text: forms::String is UTF-8, Qt speaks QString.

#include "text.h"

#include <QString>

namespace forms::qt {

inline QString toQString(const String& text) {
    return QString::fromUtf8(text.utf8().data(), static_cast<qsizetype>(text.utf8().size()));
}

inline String fromQString(const QString& text) {
    return String(text.toStdString());
}

} // namespace forms::qt
