#include "runtime_error.h"

namespace forms {

RuntimeError::RuntimeError(ErrorCode code, const QString& text)
    : std::runtime_error(text.toStdString())
    , m_code(code)
    , m_text(text) {}

QString standardText(ErrorCode code) {
    switch (code) {
    case ErrorCode::InvalidCall:
        return QStringLiteral("Invalid procedure call or argument");
    case ErrorCode::Overflow:
        return QStringLiteral("Overflow");
    case ErrorCode::DivisionByZero:
        return QStringLiteral("Division by zero");
    case ErrorCode::Internal:
        return QStringLiteral("Internal error");
    case ErrorCode::InvalidFloat:
        return QStringLiteral("Invalid floating-point operation");
    case ErrorCode::InvalidPropertyValue:
        return QStringLiteral("Invalid property value");
    case ErrorCode::NotSupported:
        return QStringLiteral("Object doesn't support this property or method");
    case ErrorCode::ControlNotFound:
        return QStringLiteral("Control not found");
    case ErrorCode::WindowSystem:
        return QStringLiteral("The window system refused the operation");
    }
    return QStringLiteral("Application-defined error");
}

void raiseError(ErrorCode code, const QString& detail) {
    QString text = standardText(code);
    if (!detail.isEmpty())
        text += QStringLiteral(": ") + detail;
    throw RuntimeError(code, text);
}

} // namespace forms
