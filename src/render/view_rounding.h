#pragma once
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace hc {

// Rounds to the nearest integer with halves to even, for |x| < 2^22: adding 1.5 * 2^23
// leaves a float whose unit is 1, so the addition itself rounds (to even, the default
// mode), and the integer sits in the low mantissa bits. Used in the per-pixel loops
// where a library call would cost more than the pixel.
inline int32_t roundSmall(float x) {
    const float shifted = x + 12582912.0f;
    int32_t bits;
    std::memcpy(&bits, &shifted, sizeof bits);
    return bits - 0x4B400000;
}

// The same for any value: halves to even, clamped to the 32-bit range (NaN gives 0).
inline int32_t roundAny(double x) {
    if (!(x == x)) return 0;
    const double r = std::nearbyint(x);
    if (r >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (r <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(r);
}

// The same into 64 bits, clamped to +-2^60 so that differences of two results cannot
// overflow either (NaN gives 0). Face ends of a face a hair from the eye lie far
// beyond the 32-bit range.
inline int64_t roundWide(double x) {
    constexpr double limit = 1152921504606846976.0;  // 2^60
    if (!(x == x)) return 0;
    const double r = std::nearbyint(x);
    if (r >= limit) return static_cast<int64_t>(limit);
    if (r <= -limit) return -static_cast<int64_t>(limit);
    return static_cast<int64_t>(r);
}

}  // namespace hc
