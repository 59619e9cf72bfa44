// End patterns filled in from begin matches, compiled once per (rule, begin text) and
// shared by every line of one document's parse. Only the worker running the document's
// parse job touches it.
#pragma once
#include "corvel/text/RegEx.h"

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace corvel {

class EndPatternCache {
public:
    // An index no entry has: the pattern that never matches (the cache is full).
    static constexpr uint16_t NO_ENTRY = 0xFFFF;
    // Indices stay below this: the line parser keeps a flag in the top bit beside them.
    static constexpr uint16_t MAX_ENTRIES = 0x7FFF;

    // The entry of (rule id, CRC-32 of the begin text), or NO_ENTRY.
    uint16_t find(uint16_t ruleId, uint32_t textCrc) const;
    // Adds an entry (a null pattern never matches); NO_ENTRY when the cache is full.
    uint16_t add(uint16_t ruleId, uint32_t textCrc, RegExPtr pattern);
    // Null for an entry that never matches and for an index outside the cache.
    const RegEx* get(uint16_t index) const;
    // The entry's pattern where \G cannot match (the pattern itself when it holds no \G).
    const RegEx* getElsewhere(uint16_t index) const;
    size_t size() const { return m_patterns.size(); }
    void clear();

private:
    std::vector<RegExPtr> m_patterns;
    std::vector<RegExPtr> m_elsewhere;                        // beside m_patterns; null where the pattern holds no \G
    std::map<std::pair<uint16_t, uint32_t>, uint16_t> m_keys; // by rule id, then CRC
};

} // namespace corvel
