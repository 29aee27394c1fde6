#include "colors.h"

#include "runtime_error.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace forms {

bool isSystemColorKnown(unsigned number) {
    static constexpr std::array<unsigned, 8> kKnown{5, 8, 13, 14, 15, 16, 18, 20};
    return std::find(kKnown.begin(), kKnown.end(), number) != kKnown.end();
}

OleColor checkedColor(OleColor value) {
    const bool system = (value & kSystemColorFlag) != 0;
    const bool valid = system ? (value & 0x7FFFFF00U) == 0 && isSystemColorKnown(value & 0xFFU)
                              : (value & 0xFF000000U) == 0;
    if (!valid) {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(value));
        raiseError(ErrorCode::InvalidPropertyValue, String("colour ") + digits);
    }
    return value;
}

} // namespace forms
