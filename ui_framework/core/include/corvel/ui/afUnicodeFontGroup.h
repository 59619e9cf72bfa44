// The faces of one face list in one style variant, and for every code point the slot of
// the face that draws it. Slot 0 is reserved; faces take slots 1..254 in the order they
// are added; slot 255 asks for the primary face (the last one added). A code point no
// face has marked yet is open: it reads as slot 1 until the font manager finds it an
// installed face that has it.
#pragma once
#include "corvel/ui/afUnicodeFontInfo.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace corvel {

class afUnicodeFont;

class afUnicodeFontGroup {
public:
    static constexpr uint8_t PRIMARY_SLOT = 255;
    static constexpr size_t MAX_FACES = 254;

    afUnicodeFontGroup(uint8_t variant, uint16_t size);
    afUnicodeFontGroup(const afUnicodeFontGroup&) = delete;
    afUnicodeFontGroup& operator=(const afUnicodeFontGroup&) = delete;

    uint8_t variant() const { return m_variant; }
    uint16_t size() const { return m_size; }

    // The new face's slot, or 0 when the group is full.
    uint8_t addFace(const afUnicodeFontInfo* info);
    size_t faceCount() const { return m_faces.size() - 1; }
    // PRIMARY_SLOT resolves to the last slot of the list's faces; 0 when the group has none.
    uint8_t resolveSlot(uint8_t slot) const;
    // The faces added from now on are fallbacks: the primary face stays the list's first.
    void endListedFaces() {
        if (!m_primary)
            m_primary = static_cast<uint8_t>(faceCount());
    }
    const afUnicodeFontInfo* face(uint8_t slot) const;
    afUnicodeFont* font(uint8_t slot) const { return slot < m_fonts.size() ? m_fonts[slot] : nullptr; }
    void setFont(uint8_t slot, afUnicodeFont* font) { m_fonts[slot] = font; }
    int ascent(uint8_t slot) const { return slot < m_ascents.size() ? m_ascents[slot] : 0; }
    void setAscent(uint8_t slot, int ascent) { m_ascents[slot] = ascent; }

    // Later marks overwrite earlier ones.
    void markRange(uint32_t first, uint32_t last, uint8_t slot);
    // Marks only the open code points of the ranges: a face added as a fallback never
    // takes a character from a face of the list.
    void markOpen(const std::vector<CmapRange>& ranges, uint8_t slot);
    uint8_t slotForChar(uint32_t codePoint) const {
        uint8_t slot = markedSlot(codePoint);
        return slot ? slot : 1;
    }
    // The slot marked for the code point; 0 while it is open.
    uint8_t markedSlot(uint32_t codePoint) const {
        uint32_t page = codePoint >> 8;
        const uint8_t* bytes = page < DIRECT_PAGES ? m_direct[page] : findPage(page);
        return bytes ? bytes[codePoint & 0xFF] : 0;
    }

private:
    static constexpr uint32_t DIRECT_PAGES = 4;
    const uint8_t* findPage(uint32_t page) const;
    uint8_t* pageFor(uint32_t page);

    uint8_t m_variant; // bit 0 bold, bit 1 italic, bit 2 underline; 8 = plain
    uint16_t m_size;   // points
    std::vector<const afUnicodeFontInfo*> m_faces; // by slot; [0] is the reserved null entry
    std::vector<afUnicodeFont*> m_fonts;           // parallel to m_faces, made on first use
    std::vector<int> m_ascents;                    // parallel to m_faces
    uint8_t m_primary = 0;                         // the first listed face's slot once fallbacks follow; 0 before
    // Coverage: page (code point >> 8) -> 256 slots (0: open); pages 0-3 also through m_direct.
    std::unordered_map<uint32_t, std::unique_ptr<uint8_t[]>> m_pages;
    uint8_t* m_direct[DIRECT_PAGES] = {};
};

} // namespace corvel
