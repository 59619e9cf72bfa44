// A queue of exactly one closure between two threads, so a fast producer is held to the
// consumer's pace. Two semaphores carry the hand-over; the lock guards the slot.
#pragma once
#include "zem/thread/CriticalSection.h"
#include "zem/thread/Semaphore.h"

#include <cstdint>

namespace corvel {

class Closure;

class ClosureQueue {
public:
    enum : int { PUSHED = 0, FULL = -1, CLOSING = -2 };

    ClosureQueue();
    // A closure still in the slot is deleted uninvoked.
    ~ClosureQueue();
    ClosureQueue(const ClosureQueue&) = delete;
    ClosureQueue& operator=(const ClosureQueue&) = delete;

    // PUSHED (the slot index), FULL when the slot is taken (without wait, or when giveUp
    // was signalled first), CLOSING. On anything but PUSHED the closure stays the caller's.
    int push(Closure* closure, bool wait, HANDLE giveUp = nullptr);
    // Takes the closure when the slot is filled, without waiting; false when empty or closing.
    bool tryTake(Closure*& out);
    // Waits without time-out; false when the wait was abandoned (the queue then closes).
    bool waitTake(Closure*& out);

    void close();
    bool isClosing();
    bool isEmpty();

private:
    Closure* take();

    zem::Semaphore m_free{1, 1};
    zem::Semaphore m_filled{0, 1};
    zem::CriticalSection m_lock{0x80000fa0};
    // Guarded by m_lock; one slot, so both indexes stay 0.
    uint32_t m_writeIndex = 0;
    uint32_t m_readIndex = 0;
    uint32_t m_count = 0; // 0 or 1
    bool m_closing = false;
    Closure* m_slot = nullptr;
};

} // namespace corvel
