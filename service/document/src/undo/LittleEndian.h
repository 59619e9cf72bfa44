// Reading and writing the little-endian fields of undo records and parser blocks, byte
// by byte, whatever the alignment.
#pragma once
#include <cstdint>

namespace corvel {

inline void putU16(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
}

inline void putU32(uint8_t* out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<uint8_t>(value >> (8 * i));
}

inline uint32_t getU16(const uint8_t* in) { return in[0] | (uint32_t(in[1]) << 8); }

inline uint32_t getU32(const uint8_t* in) {
    return in[0] | (uint32_t(in[1]) << 8) | (uint32_t(in[2]) << 16) | (uint32_t(in[3]) << 24);
}

inline void putI32(uint8_t* out, int32_t value) { putU32(out, static_cast<uint32_t>(value)); }
inline int32_t getI32(const uint8_t* in) { return static_cast<int32_t>(getU32(in)); }

} // namespace corvel
