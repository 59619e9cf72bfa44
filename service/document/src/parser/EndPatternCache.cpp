#include "corvel/document/EndPatternCache.h"

#include "corvel/document/ParserRule.h"

namespace corvel {

uint16_t EndPatternCache::find(uint16_t ruleId, uint32_t textCrc) const {
    auto found = m_keys.find(std::make_pair(ruleId, textCrc));
    return found == m_keys.end() ? NO_ENTRY : found->second;
}

uint16_t EndPatternCache::add(uint16_t ruleId, uint32_t textCrc, RegExPtr pattern) {
    if (m_patterns.size() >= MAX_ENTRIES)
        return NO_ENTRY;
    uint16_t index = static_cast<uint16_t>(m_patterns.size());
    m_elsewhere.push_back(pattern && pattern->isCompiled() ? ParserRule::withoutAnchor(*pattern) : nullptr);
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

const RegEx* EndPatternCache::getElsewhere(uint16_t index) const {
    const RegEx* pattern = get(index);
    return pattern && m_elsewhere[index] ? m_elsewhere[index].get() : pattern;
}

void EndPatternCache::clear() {
    m_elsewhere.clear();
    m_patterns.clear();
    m_keys.clear();
}

} // namespace corvel
