#pragma once
// Runtime errors. Every failing operation of the forms layer throws one; the
// event dispatcher catches it at the handler boundary, reports it to the user
// and ends the program (no handler traps errors).

#include "text.h"

#include <stdexcept>

namespace forms {

enum class ErrorCode : int {
    InvalidCall = 5,     // invalid procedure call or argument
    Overflow = 6,        // floating-point or integer overflow
    DivisionByZero = 11, //
    InvalidFloat = 16,   // invalid floating-point operation (NaN)
    Internal = 51,       // an exception that is no runtime error (out of memory, a library's)
    InvalidPropertyValue = 380,
    NotSupported = 438,    // object doesn't support this property or method
    ControlNotFound = 730, // no control of that name (and index) on the window
    WindowSystem = 1000,   // the window system refused an operation
};

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(ErrorCode code, const String& text);

    int number() const { return static_cast<int>(m_code); }
    ErrorCode code() const { return m_code; }
    const String& text() const { return m_text; }

private:
    ErrorCode m_code;
    String m_text;
};

String standardText(ErrorCode code);

// What the user reads when an error ends the program: its number and text.
String reportText(const RuntimeError& error);

// Throws the error with the standard text, followed by detail when given.
[[noreturn]] void raiseError(ErrorCode code, const String& detail = {});

} // namespace forms
