#include "zem/thread/Semaphore.h"

#include "zem/base/Assert.h"

namespace zem {

Semaphore_Impl::~Semaphore_Impl() {
    if (m_handle && !CloseHandle(m_handle)) {
        // A destructor must not throw; a failing close means a handle was corrupted.
        OutputDebugStringW(L"Semaphore_Impl: CloseHandle failed\n");
    }
}

void Semaphore_Impl::create(LONG initial, LONG maximum) {
    ZEM_ASSERT(!m_handle);
    m_handle = CreateSemaphoreW(nullptr, initial, maximum, nullptr);
    ZEM_ASSERT(m_handle);
}

void Semaphore_Impl::release() {
    ZEM_ASSERT(m_handle);
    BOOL released = ReleaseSemaphore(m_handle, 1, nullptr);
    ZEM_ASSERT_MSG(released, L"ReleaseSemaphore succeeds (count below its maximum)");
}

int Semaphore_Impl::wait(int timeoutMs) {
    ZEM_ASSERT(m_handle);
    DWORD r = WaitForSingleObject(m_handle, timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
    switch (r) {
    case WAIT_OBJECT_0:
        return WAIT_OK;
    case WAIT_TIMEOUT:
        return WAIT_TIMED_OUT;
    case WAIT_ABANDONED:
        return WAIT_ABANDONED_RESULT;
    default:
        ZEM_ASSERT_MSG(false, L"WaitForSingleObject does not fail on a live semaphore");
    }
}

int Semaphore_Impl::tryWait() {
    ZEM_ASSERT(m_handle);
    DWORD r = WaitForSingleObject(m_handle, 0);
    if (r == WAIT_OBJECT_0)
        return WAIT_OK;
    if (r == WAIT_ABANDONED)
        return WAIT_ABANDONED_RESULT;
    return WAIT_BUSY;
}

int waitForAny(const HANDLE* handles, int count, int& outIndex) {
    outIndex = -1;
    if (!handles || count <= 0 || count > MAXIMUM_WAIT_OBJECTS)
        return WAIT_BUSY;
    DWORD r = WaitForMultipleObjects(static_cast<DWORD>(count), handles, FALSE, INFINITE);
    if (r < WAIT_OBJECT_0 + static_cast<DWORD>(count)) {
        outIndex = static_cast<int>(r - WAIT_OBJECT_0);
        return WAIT_OK;
    }
    if (r >= WAIT_ABANDONED_0 && r < WAIT_ABANDONED_0 + static_cast<DWORD>(count)) {
        outIndex = static_cast<int>(r - WAIT_ABANDONED_0);
        return WAIT_ABANDONED_RESULT;
    }
    if (r == WAIT_TIMEOUT)
        return WAIT_TIMED_OUT;
    return WAIT_BUSY;
}

} // namespace zem
