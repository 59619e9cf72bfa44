#include "corvel/document/EndPatternCache.h"

namespace corvel {

uint16_t EndPatternCache::find(uint16_t ruleId, uint32_t textCrc) const {
    auto found = m_keys.find(std::make_pair(ruleId, textCrc));
    return found == m_keys.end() ? NO_ENTRY : found->second;
}

uint16_t EndPatternCache::add(uint16_t ruleId, uint32_t textCrc, RegExPtr pattern) {
    if (m_patterns.size() >= NO_ENTRY)
        return NO_ENTRY;
    uint16_t index = static_cast<uint16_t>(m_patterns.size());
    m_patterns.push_back(std::move(pattern));
    m_keys[std::make_pair(ruleId, textCrc)] = index;
    return index;
}

const RegEx* EndPatternCache::get(uint16_t index) const {
    if (index >= m_patterns.size())
        return nullptr;
    const RegEx* pattern = m_patterns[index].get();
    return pattern && pattern->isCompiled() ? pattern : nullptr;
}

void EndPatternCache::clear() {
    m_patterns.clear();
    m_keys.clear();
}

} // namespace corvel
