// Little-endian fields on a corvel::Stream: 32-bit numbers and counted UTF-16 texts, as
// the undo journal's records and the cache files hold them. Each returns false on a
// short write or read.
#pragma once
#include "corvel/config/Stream.h"

#include <cstdint>
#include <string>

namespace corvel {

bool writeUInt32(Stream& stream, uint32_t value);
bool readUInt32(Stream& stream, uint32_t& value);
inline bool writeInt32(Stream& stream, int32_t value) {
    return writeUInt32(stream, static_cast<uint32_t>(value));
}
inline bool readInt32(Stream& stream, int32_t& value) {
    uint32_t raw = 0;
    if (!readUInt32(stream, raw))
        return false;
    value = static_cast<int32_t>(raw);
    return true;
}
// A count of units, then the units.
bool writeText(Stream& stream, const std::wstring& text);
// The count comes from the stream: the text grows as units arrive, so a corrupt count
// ends in a short read rather than one huge allocation.
bool readText(Stream& stream, std::wstring& out);

} // namespace corvel
