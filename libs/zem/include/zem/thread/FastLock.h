// A lock without owner that makes no system call while nobody waits for it: a count of
// the holder and the threads blocked in lock(), and a semaphore that only those threads
// sleep on. Taking and giving back a free lock is two interlocked operations, where a
// kernel semaphore costs a round trip to the system each way.
#pragma once
#include "zem/thread/Semaphore.h"

#include <windows.h>

namespace zem {

class FastLock {
public:
    FastLock();
    FastLock(const FastLock&) = delete;
    FastLock& operator=(const FastLock&) = delete;

    void lock();
    // Takes the lock if it is free within timeoutMs (0: only now). Such a caller does not
    // queue behind the threads blocked in lock(): it looks again until its time is up, so
    // giving up leaves nothing behind for unlock() to wake.
    bool tryLock(int timeoutMs);
    // Any thread may give the lock back; giving back a free lock is an assertion.
    void unlock();

private:
    volatile LONG m_count = 0; // the holder (1) plus the threads blocked in lock()
    Semaphore m_blocked;       // one release for each blocked thread to wake
};

} // namespace zem
