// Timing and a small repeatable random source for the benchmarks.
#pragma once
#include <chrono>
#include <cstdint>

namespace bench {

typedef std::chrono::steady_clock Clock;

inline double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A linear congruential sequence: the same numbers on every run.
class Random {
public:
    uint32_t next() { return m_state = m_state * 1664525u + 1013904223u; }
    uint32_t below(uint32_t n) { return (next() >> 8) % n; }

private:
    uint32_t m_state = 20261210u;
};

} // namespace bench
