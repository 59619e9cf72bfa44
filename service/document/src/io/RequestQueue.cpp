#include "RequestQueue.h"

#include "zem/base/Assert.h"

namespace corvel {

RequestQueue::RequestQueue() {
    for (int i = 0; i < SIZE; ++i)
        m_freeSlots[i] = SIZE - 1 - i; // popped from the end: slot 0 first
}

int RequestQueue::acquire() {
    m_free.wait(-1);
    zem::CriticalSectionLock guard(m_poolLock);
    ZEM_ASSERT_MSG(m_freeCount > 0, L"m_alloc_ptr >= 0");
    return m_freeSlots[--m_freeCount];
}

void RequestQueue::release(int slot) {
    ZEM_ASSERT_MSG(slot >= 0 && slot < SIZE, L"tid >= 0 && tid < size");
    {
        zem::CriticalSectionLock guard(m_poolLock);
        ZEM_ASSERT_MSG(m_freeCount < SIZE, L"m_alloc_ptr <= size");
        m_freeSlots[m_freeCount++] = slot;
    }
    m_free.release();
}

int RequestQueue::put(int slot) {
    {
        zem::CriticalSectionLock guard(m_ringLock);
        if (m_closing)
            return CLOSING;
    }
    m_space.wait(-1);
    {
        zem::CriticalSectionLock guard(m_ringLock);
        m_ring[m_tail] = slot;
        m_tail = (m_tail + 1) % SIZE;
        ++m_count;
    }
    m_filled.release();
    return 0;
}

int RequestQueue::take() {
    const int waited = m_filled.wait(-1);
    int slot;
    {
        zem::CriticalSectionLock guard(m_ringLock);
        if (waited != zem::WAIT_OK)
            m_closing = true;
        if (m_closing) {
            // Passes the wake-up on to any other taker.
            m_filled.release();
            return CLOSING;
        }
        slot = m_ring[m_head];
        m_head = (m_head + 1) % SIZE;
        --m_count;
    }
    m_space.release();
    return slot;
}

void RequestQueue::close() {
    {
        zem::CriticalSectionLock guard(m_ringLock);
        m_closing = true;
    }
    m_filled.release();
}

} // namespace corvel
