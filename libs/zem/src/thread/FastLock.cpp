#include "zem/thread/FastLock.h"

#include "zem/base/Assert.h"

#include <climits>

namespace zem {

FastLock::FastLock() : m_blocked(0, LONG_MAX) {}

void FastLock::lock() {
    if (InterlockedIncrement(&m_count) > 1)
        m_blocked.wait(-1);
}

bool FastLock::tryLock(int timeoutMs) {
    const DWORD start = GetTickCount();
    for (int round = 0;; ++round) {
        if (InterlockedCompareExchange(&m_count, 1, 0) == 0)
            return true;
        if (timeoutMs <= 0 || GetTickCount() - start >= static_cast<DWORD>(timeoutMs))
            return false;
        // A holder on another core usually lets go within microseconds: yield a few
        // times before sleeping a tick.
        Sleep(round < 16 ? 0 : 1);
    }
}

void FastLock::unlock() {
    const LONG left = InterlockedDecrement(&m_count);
    if (left < 0) {
        InterlockedIncrement(&m_count);
        ZEM_ASSERT_MSG(false, L"a FastLock is given back only while it is held");
    }
    if (left > 0)
        m_blocked.release();
}

} // namespace zem
