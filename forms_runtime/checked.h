#pragma once
// Checked arithmetic: a floating-point result is tested once, before it is
// used, and a fault becomes a runtime error instead of a wrong coordinate.

#include "types.h"

namespace forms {

// Returns value if it is a finite number; otherwise raises Division by zero,
// Overflow or Invalid floating-point operation, whichever produced it.
Single checked(Single value);

// The next value of a 16-bit loop counter, raising Overflow past 32767.
Integer nextCounter(Integer counter);

} // namespace forms
