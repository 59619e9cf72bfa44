// The test that tells UTF-8 text without a mark from text in the ANSI code page.
#pragma once
#include <cstddef>
#include <cstdint>

namespace corvel {

// True when the bytes are well-formed UTF-8 holding at least one multi-byte sequence.
// A zero byte, an overlong form, an encoded surrogate or a value above U+10FFFF make it
// false. A sequence cut off by the end counts only when a complete multi-byte sequence
// came before it, so a short ANSI text ending in one accented letter stays ANSI.
bool isUtf8Text(const uint8_t* bytes, size_t count);

} // namespace corvel
