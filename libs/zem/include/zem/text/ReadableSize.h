// Byte counts and spans of time in words for people: "1.5 KB", "4 MB", "2 minutes".
#pragma once
#include <cstdint>
#include <string>

namespace zem {

// The value in the largest fitting unit of 1024 ("B", "KB", "MB", "GB", "TB"): kilobytes
// to one decimal, the larger units truncated to whole numbers. Null outputs throw
// NullPointerException.
void splitByteSize(uint64_t size, double* value, const wchar_t** unit);
// Appends value, one space and unit: 1536 gives "1.5 KB".
void formatByteSize(std::wstring* out, uint64_t size);

// The count of seconds rounded to the nearest whole unit, in the unit whose band holds
// it (seconds below a minute, minutes below an hour, hours below a day, days below a
// week, weeks below 28 days, months of 28 days below 336 days, years of 336 days below
// 3360 days, decades beyond), and the unit's word, singular for exactly 1. False with
// nothing written for a negative count of seconds. Null outputs throw NullPointerException.
bool splitDuration(int64_t seconds, int64_t* count, const wchar_t** unit);
// Appends count, one space and unit ("90" gives "2 minutes"); "unknown time" when
// seconds is negative.
void formatDuration(std::wstring* out, int64_t seconds);

} // namespace zem
