// Bringing a value into a range. The value is 64-bit so that sums and
// products of 32-bit coordinates, scroll positions and ranges can be
// computed without wrapping and narrowed here.
#pragma once
#include <climits>
#include <cstdint>

namespace QuillUI {

// At least low, then at most high: when the bounds cross, high wins, as
// the layouts clamp a size to a child's minimum and then to its maximum.
inline int Clamp(int64_t value, int low, int high) {
    if (value < low) value = low;
    if (value > high) value = high;
    return static_cast<int>(value);
}

// The nearest int.
inline int ClampToInt(int64_t value) { return Clamp(value, INT_MIN, INT_MAX); }

}  // namespace QuillUI
