#include "corvel/document/IntList.h"

#include "zem/base/Assert.h"

#include <cstring>

namespace corvel {

IntList::IntList(int32_t capacity) {
    reallocate(capacity);
}

void IntList::reallocate(int32_t capacity) {
    std::unique_ptr<int32_t[]> items(capacity > 0 ? new int32_t[capacity] : nullptr);
    if (m_size > capacity)
        m_size = capacity;
    if (m_size > 0)
        std::memcpy(items.get(), m_items.get(), m_size * sizeof(int32_t));
    m_items = std::move(items);
    m_capacity = capacity;
}

void IntList::append(int32_t value) {
    insertRoom(m_size, 1);
    m_items[m_size - 1] = value;
}

void IntList::insertRoom(int32_t index, int32_t count) {
    ZEM_ASSERT(index >= 0 && index <= m_size && count >= 0);
    if (m_size + count > m_capacity)
        reallocate(roundUp(m_size + count));
    std::memmove(m_items.get() + index + count, m_items.get() + index, (m_size - index) * sizeof(int32_t));
    m_size += count;
}

void IntList::erase(int32_t index, int32_t count) {
    ZEM_ASSERT(index >= 0 && count >= 0 && index + count <= m_size);
    std::memmove(m_items.get() + index, m_items.get() + index + count, (m_size - index - count) * sizeof(int32_t));
    m_size -= count;
    int32_t capacity = m_capacity;
    while (capacity - m_size > SLACK)
        capacity -= STEP;
    if (capacity != m_capacity)
        reallocate(capacity);
}

} // namespace corvel
