#include "corvel/config/StreamFields.h"

#include <algorithm>

namespace corvel {

bool writeUInt32(Stream& stream, uint32_t value) {
    const uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
    return stream.write(bytes, 4) == 4;
}

bool readUInt32(Stream& stream, uint32_t& value) {
    uint8_t bytes[4];
    if (stream.read(bytes, 4) != 4)
        return false;
    value = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
    return true;
}

bool writeText(Stream& stream, const std::wstring& text) {
    const uint32_t count = static_cast<uint32_t>(text.size());
    if (!writeUInt32(stream, count))
        return false;
    const uint32_t bytes = count * 2;
    return bytes == 0 || stream.write(text.data(), bytes) == bytes;
}

bool readText(Stream& stream, std::wstring& out) {
    uint32_t count = 0;
    if (!readUInt32(stream, count))
        return false;
    out.clear();
    const uint32_t step = 4096;
    while (count > 0) {
        const uint32_t n = std::min(count, step);
        const size_t at = out.size();
        out.resize(at + n);
        if (stream.read(&out[at], n * 2) != n * 2)
            return false;
        count -= n;
    }
    return true;
}

} // namespace corvel
