#include "zem/base/UniqueNameGenerator.h"

namespace zem {

std::wstring UniqueNameGenerator::make(const std::wstring& prefix) {
    unsigned n;
    {
        CriticalSectionLock guard(m_lock);
        n = ++m_counter;
    }
    return prefix + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(n);
}

} // namespace zem
