#include "corvel/ui/CmapReader.h"

namespace corvel {

namespace {

constexpr uint32_t LAST_CODE_POINT = 0x10FFFF;

class BigEndian {
public:
    BigEndian(const uint8_t* bytes, size_t size) : m_bytes(bytes), m_size(size) {}
    bool has(uint64_t offset, uint64_t count) const { return offset + count <= m_size; }
    uint16_t u16(size_t offset) const { return static_cast<uint16_t>(m_bytes[offset] << 8 | m_bytes[offset + 1]); }
    uint32_t u32(size_t offset) const { return static_cast<uint32_t>(u16(offset)) << 16 | u16(offset + 2); }
    size_t size() const { return m_size; }

private:
    const uint8_t* m_bytes;
    size_t m_size;
};

void appendRange(std::vector<CmapRange>* ranges, uint32_t first, uint32_t last) {
    if (first > last || first > LAST_CODE_POINT)
        return;
    if (last > LAST_CODE_POINT)
        last = LAST_CODE_POINT;
    if (!ranges->empty() && ranges->back().last + 1 == first) {
        ranges->back().last = last;
        return;
    }
    ranges->push_back(CmapRange{first, last});
}

bool readFormat12(const BigEndian& table, size_t at, std::vector<CmapRange>* ranges) {
    if (!table.has(at, 16) || table.u16(at) != 12 || table.u16(at + 2) != 0)
        return false;
    uint32_t length = table.u32(at + 4);
    uint32_t groups = table.u32(at + 12);
    if (length < 16 || !table.has(at, length) || table.u32(at + 8) != 0 ||
        length < static_cast<uint64_t>(groups) * 12 + 16)
        return false;
    for (uint32_t g = 0; g < groups; ++g) {
        size_t record = at + 16 + static_cast<size_t>(g) * 12;
        appendRange(ranges, table.u32(record), table.u32(record + 4));
    }
    return true;
}

bool readFormat4(const BigEndian& table, size_t at, std::vector<CmapRange>* ranges) {
    if (!table.has(at, 14) || table.u16(at) != 4)
        return false;
    uint32_t length = table.u16(at + 2);
    uint32_t segCountX2 = table.u16(at + 6);
    if (length <= 16 || !table.has(at, length) || table.u16(at + 4) != 0 || length < segCountX2 * 4 + 16)
        return false;
    size_t ends = at + 14;
    size_t starts = ends + segCountX2 + 2;
    size_t rangeOffsets = starts + 2 * static_cast<size_t>(segCountX2);
    for (uint32_t seg = 0; seg < segCountX2 / 2; ++seg) {
        uint32_t end = table.u16(ends + 2 * seg);
        uint32_t start = table.u16(starts + 2 * seg);
        size_t rangeOffsetAt = rangeOffsets + 2 * seg;
        uint32_t rangeOffset = table.u16(rangeOffsetAt);
        if (rangeOffset == 0) {
            appendRange(ranges, start, end);
            continue;
        }
        // Glyph ids live in the array the offset points into; 0xFFFF only ends the table.
        for (uint32_t code = start; code <= end && code < 0xFFFF; ++code) {
            uint64_t address = rangeOffsetAt + rangeOffset + 2 * static_cast<uint64_t>(code - start);
            if (!table.has(address, 2))
                return false;
            if (table.u16(static_cast<size_t>(address)) != 0)
                appendRange(ranges, code, code);
        }
    }
    return true;
}

} // namespace

bool readCmapRanges(const uint8_t* bytes, size_t size, std::vector<CmapRange>* ranges, bool* symbol) {
    BigEndian table(bytes, size);
    if (!bytes || !table.has(0, 4))
        return false;
    uint32_t count = table.u16(2);
    size_t bmpSubtable = 0;
    for (uint32_t i = 0; i < count; ++i) {
        size_t record = 4 + static_cast<size_t>(i) * 8;
        if (!table.has(record, 8))
            return false;
        if (table.u16(record) != 3)
            continue;
        uint32_t encoding = table.u16(record + 2);
        uint32_t offset = table.u32(record + 4);
        if (offset >= size || !table.has(offset, 2))
            return false;
        uint32_t format = table.u16(offset);
        if (encoding == 0) {
            *symbol = true;
            return format == 12 ? readFormat12(table, offset, ranges) : readFormat4(table, offset, ranges);
        }
        if (encoding == 10 && format == 12)
            return readFormat12(table, offset, ranges);
        if (encoding == 1 && format == 4 && bmpSubtable == 0)
            bmpSubtable = offset;
    }
    return bmpSubtable != 0 && readFormat4(table, bmpSubtable, ranges);
}

} // namespace corvel
