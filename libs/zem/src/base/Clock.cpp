#include "zem/base/Clock.h"

#include <windows.h>

namespace zem {

uint64_t currentFileTime() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

uint64_t currentTimeMs() { return fileTimeToUnixMs(currentFileTime()); }
int64_t currentTimeUs() { return fileTimeToUnixUs(currentFileTime()); }
int64_t microsecondsSince(int64_t startUs) { return currentTimeUs() - startUs; }

Stopwatch::Stopwatch() : m_start(currentTimeUs()), m_accumulated(0), m_running(false) {}

void Stopwatch::start() {
    if (m_running)
        return;
    m_start = currentTimeUs();
    m_running = true;
}

void Stopwatch::stop() {
    if (!m_running)
        return;
    m_accumulated += currentTimeUs() - m_start;
    m_running = false;
}

void Stopwatch::reset() {
    m_accumulated = 0;
    m_start = currentTimeUs();
}

int64_t Stopwatch::elapsed() const { return m_running ? m_accumulated + (currentTimeUs() - m_start) : m_accumulated; }

} // namespace zem
