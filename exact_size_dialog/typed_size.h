#pragma once
// A width or height as the user types it, in the Exact Size dialog or on
// the command line: a whole number of pixels within fixed limits. Below the
// least a window has no room for its menu bar; above the most it would be
// larger than any screen made.

#include <string_view>

namespace vistrum {

inline constexpr int kLeastPixels = 100;
inline constexpr int kMostPixels = 16384;
inline constexpr char kPixelsRange[] = "100 to 16,384"; // the two limits, as the user reads them

struct TypedPixels {
    enum Problem { None, NotWhole, OutOfRange };
    Problem problem = None;
    int pixels = 0; // when there is no problem
};

// Decimal digits, with blanks around them allowed; nothing else.
TypedPixels readPixels(std::string_view text);

} // namespace vistrum
