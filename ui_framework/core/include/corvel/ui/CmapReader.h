// Reads which code points a TrueType 'cmap' table maps, from the table's bytes alone:
// the bytes come from installed fonts, so every offset and count is checked before it
// is followed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvel {

struct CmapRange {
    uint32_t first;
    uint32_t last; // inclusive
};

// Uses the Windows subtable: symbol encoding (sets *symbol) or UCS-4 format 12 at once,
// else Unicode BMP format 4. Appends the mapped code points as ranges in table order.
// False for a table without a usable Windows subtable or with any structure that
// points outside its bytes.
bool readCmapRanges(const uint8_t* table, size_t size, std::vector<CmapRange>* ranges, bool* symbol);

} // namespace corvel
