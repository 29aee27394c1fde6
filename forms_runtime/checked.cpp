#include "checked.h"

#include "runtime_error.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace forms {

Single checked(Single value) {
    // The result alone proves the fault; the status flags only tell which one
    // it was. They are sticky, so an overflow flag wins over a division by
    // zero that may be left from earlier arithmetic; they are cleared here
    // and at the start of every handler.
    const int flags = std::fetestexcept(FE_OVERFLOW | FE_DIVBYZERO);
    std::feclearexcept(FE_ALL_EXCEPT);
    if (std::isnan(value))
        raiseError(ErrorCode::InvalidFloat);
    if (std::isinf(value))
        raiseError((flags & FE_OVERFLOW) == 0 && (flags & FE_DIVBYZERO) != 0
                       ? ErrorCode::DivisionByZero
                       : ErrorCode::Overflow);
    return value;
}

Integer nextCounter(Integer counter) {
    if (counter == std::numeric_limits<Integer>::max())
        raiseError(ErrorCode::Overflow, "loop counter");
    return static_cast<Integer>(counter + 1);
}

} // namespace forms
