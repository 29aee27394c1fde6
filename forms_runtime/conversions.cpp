#include "conversions.h"

#include "runtime_error.h"

#include <cmath>

namespace forms {

QString Str(Single value) {
    if (!std::isfinite(value))
        raiseError(ErrorCode::InvalidCall, QStringLiteral("not a finite number"));
    if (value == 0)
        return QStringLiteral("0"); // also for -0
    // %G picks fixed or exponent form like the readouts expect and drops
    // trailing zeros and a bare decimal point.
    return QString::number(static_cast<double>(value), 'G', 7);
}

QString Hex(Long value) {
    return QString::number(static_cast<quint32>(value), 16).toUpper();
}

QString Right(const QString& text, Long n) {
    if (n < 0)
        raiseError(ErrorCode::InvalidCall, QStringLiteral("negative length"));
    return text.right(n);
}

} // namespace forms
