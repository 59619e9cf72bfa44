#include "corvel/ui/afUnicodeFontGroup.h"

#include <algorithm>
#include <cstring>

namespace corvel {

afUnicodeFontGroup::afUnicodeFontGroup(uint8_t variant, uint16_t size)
    : m_variant(variant), m_size(size), m_faces(1, nullptr), m_fonts(1, nullptr), m_ascents(1, 0) {}

uint8_t afUnicodeFontGroup::addFace(const afUnicodeFontInfo* info) {
    if (faceCount() >= MAX_FACES)
        return 0;
    m_faces.push_back(info);
    m_fonts.push_back(nullptr);
    m_ascents.push_back(0);
    return static_cast<uint8_t>(m_faces.size() - 1);
}

uint8_t afUnicodeFontGroup::resolveSlot(uint8_t slot) const {
    if (slot == PRIMARY_SLOT)
        return m_primary ? m_primary : static_cast<uint8_t>(m_faces.size() - 1);
    return slot;
}

const afUnicodeFontInfo* afUnicodeFontGroup::face(uint8_t slot) const {
    return slot < m_faces.size() ? m_faces[slot] : nullptr;
}

const uint8_t* afUnicodeFontGroup::findPage(uint32_t page) const {
    auto found = m_pages.find(page);
    return found == m_pages.end() ? nullptr : found->second.get();
}

uint8_t* afUnicodeFontGroup::pageFor(uint32_t page) {
    std::unique_ptr<uint8_t[]>& bytes = m_pages[page];
    if (!bytes) {
        bytes.reset(new uint8_t[256]);
        memset(bytes.get(), 0, 256);
        if (page < DIRECT_PAGES)
            m_direct[page] = bytes.get();
    }
    return bytes.get();
}

void afUnicodeFontGroup::markRange(uint32_t first, uint32_t last, uint8_t slot) {
    for (uint32_t at = first; at <= last;) {
        uint32_t pageEnd = (at | 0xFF);
        uint32_t end = std::min(last, pageEnd);
        memset(pageFor(at >> 8) + (at & 0xFF), slot, end - at + 1);
        if (end == 0xFFFFFFFFu)
            break;
        at = end + 1;
    }
}

void afUnicodeFontGroup::markOpen(const std::vector<CmapRange>& ranges, uint8_t slot) {
    for (const CmapRange& range : ranges) {
        for (uint32_t at = range.first; at <= range.last;) {
            uint32_t end = std::min(range.last, at | 0xFF);
            uint8_t* bytes = pageFor(at >> 8);
            for (uint32_t code = at; code <= end; ++code) {
                if (bytes[code & 0xFF] == 0)
                    bytes[code & 0xFF] = slot;
            }
            if (end == 0xFFFFFFFFu)
                break;
            at = end + 1;
        }
    }
}

} // namespace corvel
