#include "colors.h"

#include "runtime_error.h"

#include <QApplication>
#include <QPalette>
#include <optional>

namespace forms {

namespace {

// System colour numbers and the palette roles that play their part.
std::optional<QPalette::ColorRole> systemRole(unsigned number) {
    switch (number) {
    case 5: // window background
        return QPalette::Base;
    case 8: // window text
        return QPalette::WindowText;
    case 13: // highlight
        return QPalette::Highlight;
    case 14: // highlighted text
        return QPalette::HighlightedText;
    case 15: // button face
        return QPalette::Button;
    case 16: // button shadow
        return QPalette::Dark;
    case 18: // button text
        return QPalette::ButtonText;
    case 20: // button highlight
        return QPalette::Light;
    default:
        return std::nullopt;
    }
}

} // namespace

QColor toQColor(OleColor value) {
    if ((value & kSystemColorFlag) != 0) {
        const unsigned number = value & 0xFFU;
        const auto role = systemRole(number);
        if ((value & 0x7FFFFF00U) != 0 || !role)
            raiseError(ErrorCode::InvalidPropertyValue,
                       QStringLiteral("colour %1").arg(value, 8, 16, QLatin1Char('0')));
        return QApplication::palette().color(QPalette::Active, *role);
    }
    if ((value & 0xFF000000U) != 0)
        raiseError(ErrorCode::InvalidPropertyValue,
                   QStringLiteral("colour %1").arg(value, 8, 16, QLatin1Char('0')));
    return QColor(static_cast<int>(value & 0xFFU), static_cast<int>((value >> 8) & 0xFFU),
                  static_cast<int>((value >> 16) & 0xFFU));
}

} // namespace forms
