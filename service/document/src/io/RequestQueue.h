// The loader's 64 request slots: a pool of free slot numbers and a ring of queued ones,
// each counted by semaphores so that a full pool or an empty ring waits.
#pragma once
#include "zem/thread/CriticalSection.h"
#include "zem/thread/Semaphore.h"

#include <cstdint>

namespace corvel {

class RequestQueue {
public:
    static constexpr int SIZE = 64;
    static constexpr int CLOSING = -2;

    RequestQueue();

    // Pool: waits for a free slot number.
    int acquire();
    void release(int slot);

    // Ring: CLOSING when the queue is closing, else 0.
    int put(int slot);
    // Waits for a queued slot; CLOSING once the queue is closing.
    int take();
    void close();

private:
    zem::Semaphore m_free{SIZE, SIZE};
    zem::CriticalSection m_poolLock;
    int m_freeSlots[SIZE];
    int m_freeCount = SIZE; // guarded by m_poolLock; 0 <= m_freeCount <= SIZE

    zem::Semaphore m_space{SIZE, SIZE};
    zem::Semaphore m_filled{0, SIZE};
    zem::CriticalSection m_ringLock{0x80000FA0};
    int m_ring[SIZE];
    int m_head = 0; // guarded by m_ringLock, as the three below
    int m_tail = 0;
    int m_count = 0;
    bool m_closing = false;
};

} // namespace corvel
