#include "checked.h"

#include "runtime_error.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace forms {

Single checked(Single value) {
    // The result alone proves the fault; the status flags only tell which one
    // it was, so they are read after the value and cleared for the next test.
    const bool divideByZero = std::fetestexcept(FE_DIVBYZERO) != 0;
    std::feclearexcept(FE_ALL_EXCEPT);
    if (std::isnan(value))
        raiseError(ErrorCode::InvalidFloat);
    if (std::isinf(value))
        raiseError(divideByZero ? ErrorCode::DivisionByZero : ErrorCode::Overflow);
    return value;
}

Integer nextCounter(Integer counter) {
    if (counter == std::numeric_limits<Integer>::max())
        raiseError(ErrorCode::Overflow, QStringLiteral("loop counter"));
    return static_cast<Integer>(counter + 1);
}

} // namespace forms
