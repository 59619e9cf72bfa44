// A Win32 critical section embedded in its owner, and the scope that holds it.
#pragma once
#include <windows.h>

namespace zem {

// Bit 31 asks the system to preallocate the wait event; the spin count is in the low bits.
constexpr DWORD DEFAULT_SPIN_COUNT = 0x80000000u;

class CriticalSection {
public:
    explicit CriticalSection(DWORD spinCount = DEFAULT_SPIN_COUNT);
    ~CriticalSection();
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void enter() { EnterCriticalSection(&m_section); }
    void leave() { LeaveCriticalSection(&m_section); }
    bool tryEnter() { return TryEnterCriticalSection(&m_section) != 0; }
    CRITICAL_SECTION* native() { return &m_section; }

private:
    CRITICAL_SECTION m_section;
};

class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CriticalSection& section) : m_section(section) { m_section.enter(); }
    ~CriticalSectionLock() { m_section.leave(); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    CriticalSection& m_section;
};

} // namespace zem
