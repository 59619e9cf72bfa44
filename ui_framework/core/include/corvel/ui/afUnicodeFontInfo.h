// What the font enumeration reported about one installed face.
#pragma once
#include "corvel/ui/CmapReader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvel {

struct afUnicodeFontInfo {
    std::wstring name;               // at most 31 characters
    uint16_t fontType = 0;           // as the enumeration reported it
    uint32_t charsets[8] = {};       // bit n set: the face was reported for character set n
    uint32_t unicodeRanges[4] = {};  // the face's Unicode subrange bits
    uint16_t weightClasses = 0;      // bit n set: a weight of class n (1..9) exists
    uint16_t weight = 0;
    bool hasCoverage = false;        // subrange bits were reported and the 'cmap' was usable
    bool symbol = false;             // Type 1 face, or a 'cmap' with the symbol encoding
    uint8_t family = 0;              // lfPitchAndFamily & 0xF0
    uint8_t pitch = 0;               // lfPitchAndFamily & 0x0F
    // What the face draws, read from its 'cmap' the first time a character of no listed
    // face is looked for; empty for a face whose table is unusable or a symbol table.
    std::vector<CmapRange> fallbackCoverage; // sorted by first code point
    bool fallbackCoverageRead = false;
};

} // namespace corvel
