// What a parent offers a child while measuring: a mode in the top 4 bits (0 unspecified,
// 4 exactly, 8 at most) and a signed 28-bit size in the rest.
#pragma once
#include <cstdint>

namespace corvel {

typedef uint32_t afViewMeasureSpec;

namespace afMeasureSpec {

constexpr uint32_t UNSPECIFIED = 0x00000000u;
constexpr uint32_t EXACTLY = 0x40000000u;
constexpr uint32_t AT_MOST = 0x80000000u;
constexpr uint32_t MODE_MASK = 0xF0000000u;
constexpr uint32_t SIZE_MASK = 0x0FFFFFFFu;

inline afViewMeasureSpec make(uint32_t mode, int size) {
    return mode | (static_cast<uint32_t>(size) & SIZE_MASK);
}
inline uint32_t getMode(afViewMeasureSpec spec) {
    return spec & MODE_MASK;
}
// The size with bit 27 extended, whatever the mode.
inline int getRawSize(afViewMeasureSpec spec) {
    uint32_t size = spec & SIZE_MASK;
    if (size & 0x08000000u)
        size |= MODE_MASK;
    return static_cast<int>(size);
}
inline bool isValidMode(uint32_t mode) {
    return mode == UNSPECIFIED || mode == EXACTLY || mode == AT_MOST;
}
// The size of an exact or at-most spec; InvalidArgumentException "Invalid
// afViewMeasureSpec mode specified." for any other mode.
int getSize(afViewMeasureSpec spec);
// The wanted size resolved against spec: unspecified keeps it, exactly gives the measure spec's
// size, at most gives the smaller of the two.
int resolveSize(int wanted, afViewMeasureSpec spec);

} // namespace afMeasureSpec
} // namespace corvel
