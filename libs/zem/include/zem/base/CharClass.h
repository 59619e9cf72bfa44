// Character-class flags of UTF-16 code units, as whole-word search and the
// transliterator see them.
#pragma once
#include <cstdint>

namespace zem {

enum CharFlags : uint16_t {
    CHAR_ASCII = 0x0001,
    CHAR_LETTER = 0x0002,
    CHAR_PRINTABLE = 0x0004, // printable or white space
    CHAR_WORD = 0x0008,
    CHAR_BLANK = 0x0010,
    CHAR_PUNCTUATION = 0x0020,
    CHAR_CONTROL = 0x0040,
    CHAR_SPACE = 0x0080,
    CHAR_DIGIT = 0x0100,
    CHAR_UPPER = 0x0200,
    CHAR_GRAPHIC = 0x0400,
    CHAR_HEX_DIGIT = 0x0800,
    CHAR_ALNUM = 0x1000,
    CHAR_LOWER = 0x2000,
};

uint16_t getCharFlags(wchar_t unit);

// True where a word search sees a boundary between two units of these classes.
bool isWordClassBoundary(uint16_t flagsA, uint16_t flagsB);

} // namespace zem
