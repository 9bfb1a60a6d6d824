// Turning a computed pixel coordinate into an int.
#pragma once

#include <cstdint>

namespace sorvel {

// Truncates toward zero. Converting a NaN or a value outside the int range is undefined
// behaviour in C++, so those are clamped: NaN gives 0, the rest the nearest end of the range.
constexpr int32_t TruncateToPixel(double v)
{
    if (v != v) {
        return 0;
    }
    if (v <= -2147483649.0) {
        return INT32_MIN;
    }
    if (v >= 2147483648.0) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(v);
}

}  // namespace sorvel
