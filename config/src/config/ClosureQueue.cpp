#include "corvel/config/ClosureQueue.h"

#include "corvel/config/Closure.h"

namespace corvel {

ClosureQueue::ClosureQueue() = default;

ClosureQueue::~ClosureQueue() {
    delete m_slot;
}

int ClosureQueue::push(Closure* closure, bool wait, HANDLE giveUp) {
    if (isClosing())
        return CLOSING;
    if (!wait) {
        if (m_free.tryWait() != zem::WAIT_OK)
            return FULL;
    } else if (giveUp) {
        HANDLE handles[2] = {m_free.handle(), giveUp};
        int index = -1;
        if (zem::waitForAny(handles, 2, index) != zem::WAIT_OK || index != 0)
            return FULL;
    } else if (m_free.wait(-1) != zem::WAIT_OK) {
        return FULL;
    }
    {
        zem::CriticalSectionLock guard(m_lock);
        if (m_closing) {
            m_free.release();
            return CLOSING;
        }
        m_slot = closure;
        m_writeIndex = 0;
        ++m_count;
    }
    m_filled.release();
    return PUSHED;
}

Closure* ClosureQueue::take() {
    Closure* closure;
    {
        zem::CriticalSectionLock guard(m_lock);
        closure = m_slot;
        m_slot = nullptr;
        m_readIndex = 0;
        --m_count;
    }
    m_free.release();
    return closure;
}

bool ClosureQueue::tryTake(Closure*& out) {
    out = nullptr;
    if (isClosing() || m_filled.tryWait() != zem::WAIT_OK)
        return false;
    out = take();
    return true;
}

bool ClosureQueue::waitTake(Closure*& out) {
    out = nullptr;
    if (m_filled.wait(-1) != zem::WAIT_OK) {
        close();
        return false;
    }
    out = take();
    return true;
}

void ClosureQueue::close() {
    zem::CriticalSectionLock guard(m_lock);
    m_closing = true;
}

bool ClosureQueue::isClosing() {
    zem::CriticalSectionLock guard(m_lock);
    return m_closing;
}

bool ClosureQueue::isEmpty() {
    zem::CriticalSectionLock guard(m_lock);
    return m_count == 0;
}

} // namespace corvel
