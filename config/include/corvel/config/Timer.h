// The process-wide high-resolution clock: whether the performance counter exists and how
// many microseconds one of its ticks lasts. Prepared once at start-up by initTimer();
// stopwatches that time short steps read it.
#pragma once
#include <cstdint>

namespace corvel {

// Reads the counter's frequency; when there is none, logs why and marks the timer
// unavailable. Safe to call again (the result is the same).
void initTimer();

bool timerAvailable();
// 1000000 / frequency; 0 while the timer is unavailable or not prepared.
double timerMicrosecondsPerTick();
// Microseconds from the counter when it is available, else GetTickCount() * 1000.
int64_t timerNowMicroseconds();

} // namespace corvel
