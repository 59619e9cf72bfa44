#include "zem/thread/CriticalSection.h"

#include "zem/log/LogManager.h"

namespace zem {

CriticalSection::CriticalSection(DWORD spinCount) {
    if (!InitializeCriticalSectionAndSpinCount(&m_section, spinCount)) {
        // Construction goes on: on the systems we run on the call cannot fail for lack of memory.
        logMessage(LOG_ERROR, LOG_INTERNAL_SOURCE, L"InitializeCriticalSectionAndSpinCount(%x) error %d\n",
                   static_cast<unsigned>(spinCount), static_cast<int>(GetLastError()));
    }
}

CriticalSection::~CriticalSection() { DeleteCriticalSection(&m_section); }

} // namespace zem
