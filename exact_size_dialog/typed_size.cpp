#include "typed_size.h"

namespace vistrum {

TypedPixels readPixels(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {TypedPixels::NotWhole};
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return {TypedPixels::NotWhole};
        if (value <= kMostPixels) // more digits cannot bring it back into range
            value = value * 10 + (c - '0');
    }
    if (value < kLeastPixels || value > kMostPixels)
        return {TypedPixels::OutOfRange};
    return {TypedPixels::None, static_cast<int>(value)};
}

} // namespace vistrum
