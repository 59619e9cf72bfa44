// Conversion of file bytes in one of the document code pages to UTF-16, chunk by chunk.
#pragma once
#include <cstddef>
#include <cstdint>

namespace corvel {

// Converts as much as fits. On entry `byteCount` holds the bytes offered and `unitCount`
// the room in `destination`; on return they hold the bytes consumed and the units
// written. Bytes that do not decode become U+FFFD; it never throws.
//
// Without `final`, an incomplete sequence at the end of the bytes (a cut UTF-8 sequence,
// an odd UTF-16 byte, a partial UTF-32 unit, a double-byte ANSI lead) stays unconsumed,
// for the caller to put in front of the next chunk. With `final`, such a tail gives one
// U+FFFD and is consumed.
void decodeToUtf16(wchar_t* destination, const uint8_t* source, size_t& byteCount, uint32_t codePage, size_t& unitCount,
                   bool final = false);

} // namespace corvel
