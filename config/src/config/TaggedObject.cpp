#include "corvel/config/TaggedObject.h"

namespace corvel {

bool TaggedObject::setTag(uint32_t key, void* data) {
    bool removed = removeTag(key);
    if (!data)
        return removed;
    if (!m_tags)
        m_tags = std::make_unique<std::map<uint32_t, void*>>();
    (*m_tags)[key] = data;
    return true;
}

bool TaggedObject::removeTag(uint32_t key) {
    return m_tags && m_tags->erase(key) != 0;
}

void* TaggedObject::getTag(uint32_t key) const {
    if (!m_tags)
        return nullptr;
    auto it = m_tags->find(key);
    return it == m_tags->end() ? nullptr : it->second;
}

} // namespace corvel
