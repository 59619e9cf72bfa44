#include "corvel/text/EncodingMark.h"

#include "corvel/text/CodePages.h"

#include <cstring>

namespace corvel {

namespace {

// Searched in order: the four-byte UTF-32 marks first, so FF FE 00 00 is never UTF-16 LE.
const EncodingMark MARKS[] = {
    {{0xFF, 0xFE, 0x00, 0x00}, 4, CP_UTF32_LE},
    {{0x00, 0x00, 0xFE, 0xFF}, 4, CP_UTF32_BE},
    {{0xEF, 0xBB, 0xBF, 0x00}, 3, CP_UTF8_MARK},
    {{0xFE, 0xFF, 0x00, 0x00}, 2, CP_UTF16_BE},
    {{0xFF, 0xFE, 0x00, 0x00}, 2, CP_UTF16_LE},
    {{0, 0, 0, 0}, 0, CP_ANSI},
    {{0, 0, 0, 0}, 0, CP_UTF8_PLAIN},
};

const size_t MARKED_ROWS = 5;
const size_t NO_MARK_ROW = 5;
const size_t PLAIN_UTF8_ROW = 6;

} // namespace

const EncodingMark& findEncodingMark(size_t count, const uint8_t* bytes) {
    for (size_t row = 0; row < MARKED_ROWS; ++row) {
        const EncodingMark& mark = MARKS[row];
        if (mark.length <= count && std::memcmp(mark.bytes, bytes, mark.length) == 0)
            return mark;
    }
    return MARKS[NO_MARK_ROW];
}

const EncodingMark& plainUtf8Mark() {
    return MARKS[PLAIN_UTF8_ROW];
}

const EncodingMark& encodingMarkFor(uint32_t codePage) {
    for (size_t row = 0; row < MARKED_ROWS; ++row) {
        if (MARKS[row].codePage == codePage)
            return MARKS[row];
    }
    return codePage == CP_UTF8_PLAIN ? MARKS[PLAIN_UTF8_ROW] : MARKS[NO_MARK_ROW];
}

} // namespace corvel
