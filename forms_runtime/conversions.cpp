#include "conversions.h"

#include "runtime_error.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace forms {

namespace {

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U;
}

} // namespace

String Str(Single value) {
    if (!std::isfinite(value))
        raiseError(ErrorCode::InvalidCall, "not a finite number");
    if (value == 0)
        return "0"; // also for -0
    // %G picks fixed or exponent form like the readouts expect and drops
    // trailing zeros and a bare decimal point.
    char text[32];
    std::snprintf(text, sizeof text, "%.7G", static_cast<double>(value));
    // Exponents keep two digits at least: "1E+07".
    return text;
}

String Hex(Long value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X",
                  static_cast<unsigned>(static_cast<std::uint32_t>(value)));
    return text;
}

String Right(const String& text, Long n) {
    if (n < 0)
        raiseError(ErrorCode::InvalidCall, "negative length");
    const std::string& bytes = text.utf8();
    std::size_t start = bytes.size();
    for (Long taken = 0; taken < n && start > 0; ++taken) {
        --start;
        while (start > 0 && isContinuationByte(bytes[start]))
            --start;
    }
    return String(bytes.substr(start));
}

} // namespace forms
