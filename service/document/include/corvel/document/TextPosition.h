// A place in a document as a view sees it: a line, a column counted in UTF-16 units
// from the line's start, and whether the place lies beyond the end of its line.
#pragma once
#include <cstdint>

namespace corvel {

struct TextPosition {
    int32_t line = 0;
    int32_t offset = 0;      // units from the line's start
    uint8_t virtualFlag = 0; // 1: may lie past the line's end

    TextPosition() = default;
    TextPosition(int32_t l, int32_t o, uint8_t v = 0) : line(l), offset(o), virtualFlag(v) {}

    // Places compare by line, then column; the virtual flag takes no part.
    bool samePlace(const TextPosition& other) const { return line == other.line && offset == other.offset; }
    bool before(const TextPosition& other) const {
        return line < other.line || (line == other.line && offset < other.offset);
    }
    bool operator==(const TextPosition& other) const { return samePlace(other) && virtualFlag == other.virtualFlag; }
    bool operator!=(const TextPosition& other) const { return !(*this == other); }
};

} // namespace corvel
