#include "UnitStorage.h"

#include <windows.h>

#include <new>

namespace corvel {

namespace {

// Below this the system's 64 KiB allocation granularity would waste address space.
const size_t SYSTEM_THRESHOLD = 256 * 1024;
const size_t PAGE_UNITS = 4096 / sizeof(wchar_t);

} // namespace

UnitStorage::UnitStorage(size_t units) : m_count(units) {
    if (units >= SYSTEM_THRESHOLD) {
        m_fromSystem = true;
        if (units <= SIZE_MAX / sizeof(wchar_t))
            m_units = static_cast<wchar_t*>(
                VirtualAlloc(nullptr, units * sizeof(wchar_t), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        return;
    }
    m_units = new (std::nothrow) wchar_t[units ? units : 1];
}

UnitStorage::~UnitStorage() {
    if (m_fromSystem) {
        if (m_units)
            VirtualFree(m_units, 0, MEM_RELEASE);
        return;
    }
    delete[] m_units;
}

size_t UnitStorage::shrinkTo(size_t keep) {
    if (!m_fromSystem || m_units == nullptr)
        return m_count;
    const size_t kept = (keep + PAGE_UNITS - 1) / PAGE_UNITS * PAGE_UNITS;
    if (kept >= m_count)
        return m_count;
    if (VirtualFree(m_units + kept, (m_count - kept) * sizeof(wchar_t), MEM_DECOMMIT))
        m_count = kept;
    return m_count;
}

} // namespace corvel
