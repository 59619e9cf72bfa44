#include "zem/base/Crc.h"

#include <array>

namespace zem {
namespace {

std::array<uint32_t, 256> makeCrc32Table() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

std::array<uint64_t, 256> makeCrc64Table() {
    const uint64_t poly = 0x42F0E1EBA9EA3693ull;
    std::array<uint64_t, 256> table{};
    for (uint64_t i = 0; i < 256; ++i) {
        uint64_t c = i << 56;
        for (int k = 0; k < 8; ++k)
            c = (c & 0x8000000000000000ull) ? (c << 1) ^ poly : c << 1;
        table[i] = c;
    }
    return table;
}

const std::array<uint32_t, 256>& crc32Table() {
    static const std::array<uint32_t, 256> table = makeCrc32Table();
    return table;
}

const std::array<uint64_t, 256>& crc64Table() {
    static const std::array<uint64_t, 256> table = makeCrc64Table();
    return table;
}

// Raw register steps: callers start from all ones and complement at the end.
inline uint32_t step32(uint32_t crc, uint8_t byte) { return crc32Table()[(crc ^ byte) & 0xFF] ^ (crc >> 8); }
inline uint64_t step64(uint64_t crc, uint8_t byte) { return crc64Table()[((crc >> 56) ^ byte) & 0xFF] ^ (crc << 8); }

inline uint32_t stepUnit32(uint32_t crc, wchar_t unit) {
    crc = step32(crc, static_cast<uint8_t>(unit & 0xFF));
    return step32(crc, static_cast<uint8_t>((unit >> 8) & 0xFF));
}

inline uint64_t stepUnit64(uint64_t crc, wchar_t unit) {
    crc = step64(crc, static_cast<uint8_t>(unit & 0xFF));
    return step64(crc, static_cast<uint8_t>((unit >> 8) & 0xFF));
}

inline wchar_t upperAscii(wchar_t c) { return (c >= L'a' && c <= L'z') ? wchar_t(c - 32) : c; }

} // namespace

uint32_t crc32(size_t length, const void* bytes) {
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i)
        crc = step32(crc, p[i]);
    return ~crc;
}

uint32_t crc32String(const wchar_t* text) {
    uint32_t crc = 0xFFFFFFFFu;
    for (; text && *text; ++text)
        crc = stepUnit32(crc, *text);
    return ~crc;
}

uint32_t crc32Chars(size_t count, const wchar_t* chars) { return crc32UpdateChars(0, count, chars); }

uint32_t crc32UpdateChars(uint32_t previous, size_t count, const wchar_t* chars) {
    uint32_t crc = ~previous;
    for (size_t i = 0; i < count; ++i)
        crc = stepUnit32(crc, chars[i]);
    return ~crc;
}

uint32_t crc32StringNoCase(const wchar_t* text) {
    uint32_t crc = 0xFFFFFFFFu;
    for (; text && *text; ++text)
        crc = stepUnit32(crc, upperAscii(*text));
    return ~crc;
}

uint32_t crc32UpdateNoCase(uint32_t previous, wchar_t unit) { return ~stepUnit32(~previous, upperAscii(unit)); }

uint32_t crc32UpdateLowBytes(uint32_t previous, const wchar_t* text) {
    uint32_t crc = ~previous;
    for (; text && *text; ++text)
        crc = step32(crc, static_cast<uint8_t>(*text & 0xFF));
    return ~crc;
}

uint64_t crc64String(const wchar_t* text) {
    uint64_t crc = ~0ull;
    for (; text && *text; ++text)
        crc = stepUnit64(crc, *text);
    return ~crc;
}

uint64_t crc64StringNoCase(const wchar_t* text) {
    uint64_t crc = ~0ull;
    for (; text && *text; ++text)
        crc = stepUnit64(crc, upperAscii(*text));
    return ~crc;
}

uint64_t crc64UpdateChar(uint64_t previous, wchar_t unit) { return ~stepUnit64(~previous, unit); }

} // namespace zem
