// The program's own images travel in one raw data resource (175), indexed in place:
//   u32 count N, N u32 end offsets (from the first byte after this table), entry data.
// Entry 0 is the nine-patch behind hint popups; it is decoded once and kept here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

namespace corvel {

class afNinePatch;

class ImagePack {
public:
    static constexpr int RESOURCE_ID = 175;

    // Indexes the pack in the application's module; true when loaded now or before.
    // False when the resource is missing or malformed.
    static bool load();
    // Test seam: indexes bytes the caller keeps alive until release.
    static bool load(const void* bytes, size_t size);
    // The loaded pack, or null.
    static ImagePack* instance();
    // Drops the index and what was decoded from it (the resource stays the module's).
    static void release();

    uint32_t count() const { return m_count; }
    // Offsets from the first entry's start.
    uint32_t entryStart(uint32_t index) const;
    uint32_t entryEnd(uint32_t index) const;
    uint32_t entrySize(uint32_t index) const { return entryEnd(index) - entryStart(index); }
    const uint8_t* entryData(uint32_t index) const { return m_first + entryStart(index); }
    // Bytes after the offset table.
    size_t dataSize() const { return m_size - (m_first - m_bytes); }

    // Entry 0 as a nine-patch, decoded on first use; null when it is none.
    afNinePatch* ninePatch();

    ~ImagePack();
    ImagePack(const ImagePack&) = delete;
    ImagePack& operator=(const ImagePack&) = delete;

private:
    ImagePack(const uint8_t* bytes, size_t size, uint32_t count);

    const uint8_t* m_bytes; // the whole pack, not owned
    const uint8_t* m_ends;  // count end offsets, little-endian, non-decreasing, within the data
    const uint8_t* m_first; // first entry
    size_t m_size;
    uint32_t m_count;
    std::unique_ptr<afNinePatch> m_ninePatch;
    bool m_ninePatchDecoded = false;
};

} // namespace corvel
