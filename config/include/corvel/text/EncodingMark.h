// Byte-order marks: which code page a file's first bytes announce, and which mark a
// code page is saved with.
#pragma once
#include <cstddef>
#include <cstdint>

namespace corvel {

struct EncodingMark {
    uint8_t bytes[4];
    uint32_t length; // 0 for the rows without a mark
    uint32_t codePage;
};

// The first row whose mark starts the bytes (UTF-32 marks are tried before UTF-16 ones),
// else the row without a mark (length 0, code page 0 = ANSI). Never fails.
const EncodingMark& findEncodingMark(size_t count, const uint8_t* bytes);
// The row taken for UTF-8 text without a mark (length 0, CP_UTF8_PLAIN).
const EncodingMark& plainUtf8Mark();
// The mark a code page is written with; length 0 for code pages saved without one.
const EncodingMark& encodingMarkFor(uint32_t codePage);

} // namespace corvel
