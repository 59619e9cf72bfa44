// Wall-clock time stamps and a stopwatch, all from the system's file time (100 ns
// units since 1601-01-01 UTC).
#pragma once
#include <cstdint>

namespace zem {

constexpr uint64_t FILETIME_UNIX_EPOCH = 116444736000000000ull;

// Milliseconds since 1970-01-01 UTC of a file time.
inline uint64_t fileTimeToUnixMs(uint64_t fileTime) { return (fileTime - FILETIME_UNIX_EPOCH) / 10 / 1000; }
inline int64_t fileTimeToUnixUs(uint64_t fileTime) {
    return static_cast<int64_t>((fileTime - FILETIME_UNIX_EPOCH) / 10);
}

uint64_t currentFileTime();
uint64_t currentTimeMs();
int64_t currentTimeUs();
int64_t microsecondsSince(int64_t startUs);

class Stopwatch {
public:
    Stopwatch();
    void start();
    void stop();
    void reset();
    bool isRunning() const { return m_running; }
    // Microseconds: the accumulated time, plus the current run while running.
    int64_t elapsed() const;

private:
    int64_t m_start;       // microseconds
    int64_t m_accumulated; // microseconds
    bool m_running;
};

} // namespace zem
