// Reference counting with an interlocked counter whose starting value is part of the type.
#pragma once
#include "zem/base/Assert.h"

#include <windows.h>

namespace zem {

class AtomicCounter {
public:
    explicit AtomicCounter(LONG initial = 0) : m_value(initial) {}
    LONG increment() { return InterlockedIncrement(&m_value); }
    LONG decrement() { return InterlockedDecrement(&m_value); }
    LONG value() const { return InterlockedCompareExchange(const_cast<volatile LONG*>(&m_value), 0, 0); }
    void set(LONG v) { InterlockedExchange(&m_value, v); }

private:
    volatile LONG m_value;
};

// The object frees itself when its count drops to 0; releasing below 0 and destroying
// with a count other than 0 are programming errors.
template <int Initial> class MTRefObject {
public:
    MTRefObject() : m_counter(Initial) {}
    virtual ~MTRefObject() {
        // Not an assertion: destructors must not throw.
        if (m_counter.value() != 0)
            OutputDebugStringW(L"MTRefObject destroyed with references left\n");
    }
    MTRefObject(const MTRefObject&) = delete;
    MTRefObject& operator=(const MTRefObject&) = delete;

    void addRef() { m_counter.increment(); }
    void release() {
        LONG left = m_counter.decrement();
        ZEM_ASSERT_MSG(left >= 0, L"m_counter.value() >= 0");
        if (left == 0)
            destroy();
    }
    LONG getRefCount() const { return m_counter.value(); }

protected:
    virtual void destroy() { delete this; }

    AtomicCounter m_counter;
};

} // namespace zem
