#include "runtime_error.h"

namespace forms {

RuntimeError::RuntimeError(ErrorCode code, const String& text)
    : std::runtime_error(text.utf8())
    , m_code(code)
    , m_text(text) {}

String standardText(ErrorCode code) {
    switch (code) {
    case ErrorCode::InvalidCall:
        return "Invalid procedure call or argument";
    case ErrorCode::Overflow:
        return "Overflow";
    case ErrorCode::DivisionByZero:
        return "Division by zero";
    case ErrorCode::Internal:
        return "Internal error";
    case ErrorCode::InvalidFloat:
        return "Invalid floating-point operation";
    case ErrorCode::InvalidPropertyValue:
        return "Invalid property value";
    case ErrorCode::NotSupported:
        return "Object doesn't support this property or method";
    case ErrorCode::ControlNotFound:
        return "Control not found";
    case ErrorCode::WindowSystem:
        return "The window system refused the operation";
    }
    return "Application-defined error";
}

String reportText(const RuntimeError& error) {
    return "Run-time error '" + number(error.number()) + "':\n\n" + error.text();
}

void raiseError(ErrorCode code, const String& detail) {
    String text = standardText(code);
    if (!detail.empty())
        text += ": " + detail;
    throw RuntimeError(code, text);
}

} // namespace forms
