// Counting semaphores with explicit result codes, and LegacyMutex: a semaphore of one
// used as a lock without owner. Holders that need nesting keep their own counter.
#pragma once
#include <windows.h>

namespace zem {

enum WaitResult { WAIT_OK = 0, WAIT_BUSY = 1, WAIT_TIMED_OUT = 2, WAIT_ABANDONED_RESULT = 3 };

class Semaphore_Impl {
public:
    Semaphore_Impl() = default;
    virtual ~Semaphore_Impl();
    Semaphore_Impl(const Semaphore_Impl&) = delete;
    Semaphore_Impl& operator=(const Semaphore_Impl&) = delete;

    void create(LONG initial, LONG maximum);
    void release();
    // A negative time-out waits for ever. 0 signalled, 2 timed out, 3 abandoned.
    int wait(int timeoutMs);
    // 0 taken, 1 not available, 3 abandoned.
    int tryWait();
    HANDLE handle() const { return m_handle; }

private:
    HANDLE m_handle = nullptr;
};

class Semaphore : public Semaphore_Impl {
public:
    Semaphore(LONG initial, LONG maximum) { create(initial, maximum); }
};

class LegacyMutex : public Semaphore_Impl {
public:
    LegacyMutex() { create(1, 1); }
    void lock() { wait(-1); }
    void unlock() { release(); }
    // The wait's result: 0 (WAIT_OK) when acquired within the time-out, 2 timed out,
    // 3 abandoned; so `tryLock(5) != 0` means "busy, skip this step".
    int tryLock(int timeoutMs) { return wait(timeoutMs); }
};

// Waits without time-out for the first of up to 64 handles. 0 with the index of the
// signalled handle, 3 with the index of an abandoned one, 2 on time-out, 1 on failure;
// outIndex is -1 unless an index is reported.
int waitForAny(const HANDLE* handles, int count, int& outIndex);

} // namespace zem
