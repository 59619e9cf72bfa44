#include "corvel/config/Timer.h"

#include "zem/log/LogManager.h"

#include <windows.h>

namespace corvel {

namespace {

// Written once by initTimer on the main thread before any worker starts; read-only after.
bool s_available = false;
double s_microsecondsPerTick = 0.0;

} // namespace

void initTimer() {
    LARGE_INTEGER frequency;
    if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0) {
        s_available = true;
        s_microsecondsPerTick = 1000000.0 / static_cast<double>(frequency.QuadPart);
        return;
    }
    s_available = false;
    s_microsecondsPerTick = 0.0;
    zem::logMessage(zem::LOG_INFO, zem::LOG_UNKNOWN_SOURCE, L"Timer: QueryPerformanceCounter is not available\n");
}

bool timerAvailable() {
    return s_available;
}

double timerMicrosecondsPerTick() {
    return s_microsecondsPerTick;
}

int64_t timerNowMicroseconds() {
    LARGE_INTEGER counter;
    if (s_available && QueryPerformanceCounter(&counter))
        return static_cast<int64_t>(static_cast<double>(counter.QuadPart) * s_microsecondsPerTick);
    return static_cast<int64_t>(GetTickCount()) * 1000;
}

} // namespace corvel
