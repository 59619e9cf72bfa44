#include "corvel/document/PositionManager.h"

#include <algorithm>

namespace corvel {

void PositionManager::add(void* object, Callback callback) {
    m_entries.push_back({object, callback});
}

void PositionManager::remove(void* object) {
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [object](const Entry& entry) { return entry.object == object; }),
                    m_entries.end());
}

void PositionManager::fixUp(int32_t offset, int32_t delta) {
    if (delta == 0)
        return;
    for (const Entry& entry : m_entries)
        entry.callback(entry.object, offset, delta);
}

} // namespace corvel
