// Names unique within the process: prefix, process id and a counter.
#pragma once
#include "zem/thread/CriticalSection.h"

#include <string>

namespace zem {

class UniqueNameGenerator {
public:
    UniqueNameGenerator() = default;
    // prefix-<process id>-<counter>, the counter starting at 1.
    std::wstring make(const std::wstring& prefix);

private:
    CriticalSection m_lock;
    unsigned m_counter = 0; // guarded by m_lock
};

} // namespace zem
