#include "zem/base/CharClass.h"

#include <vector>

namespace zem {
namespace {

struct CharClassRange {
    uint16_t last; // last code unit of the range
    uint16_t flags;
};

// Ranges are contiguous from 0; a unit belongs to the first range whose last unit is >= it.
const CharClassRange kCharClassTable[] = {
#include "base/CharClassTable.inc"
};

std::vector<uint16_t> buildLookup() {
    std::vector<uint16_t> lookup(0x10000, 0);
    unsigned unit = 0;
    for (const CharClassRange& range : kCharClassTable) {
        for (; unit <= range.last; ++unit)
            lookup[unit] = range.flags;
    }
    // The underscore joins words: it is a word character, not punctuation.
    lookup[L'_'] = static_cast<uint16_t>((lookup[L'_'] & ~CHAR_PUNCTUATION) | CHAR_WORD);
    return lookup;
}

} // namespace

uint16_t getCharFlags(wchar_t unit) {
    static const std::vector<uint16_t> lookup = buildLookup();
    return lookup[static_cast<uint16_t>(unit)];
}

bool isWordClassBoundary(uint16_t flagsA, uint16_t flagsB) {
    const uint16_t mask = CHAR_WORD | CHAR_SPACE;
    if ((flagsA & mask) && (flagsB & mask))
        return (flagsA & mask) != (flagsB & mask);
    return true;
}

} // namespace zem
