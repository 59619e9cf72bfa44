#include "zem/text/ReadableSize.h"

#include "zem/base/Exception.h"
#include "zem/text/StringUtil.h"

#include <cmath>

namespace zem {

namespace {

const uint64_t KB = 1024;
const uint64_t MB = KB * 1024;
const uint64_t GB = MB * 1024;
const uint64_t TB = GB * 1024;

struct DurationBand {
    int64_t below; // the band holds seconds below this
    int64_t divisor;
    const wchar_t* singular;
    const wchar_t* plural;
};

const int64_t MINUTE = 60;
const int64_t HOUR = 3600;
const int64_t DAY = 86400;
const int64_t WEEK = 7 * DAY;
const int64_t MONTH = 4 * WEEK;
const int64_t YEAR = 12 * MONTH;
const int64_t DECADE = 10 * YEAR;

// Each band counts in the unit it spans, so two days read "2 days", not "0 weeks".
const DurationBand DURATION_BANDS[] = {
    {MINUTE, 1, L"second", L"seconds"}, {HOUR, MINUTE, L"minute", L"minutes"},      {DAY, HOUR, L"hour", L"hours"},
    {WEEK, DAY, L"day", L"days"},       {MONTH, WEEK, L"week", L"weeks"},           {YEAR, MONTH, L"month", L"months"},
    {DECADE, YEAR, L"year", L"years"},  {INT64_MAX, DECADE, L"decade", L"decades"},
};

void checkOutput(const void* pointer) {
    if (!pointer)
        throw NullPointerException(L"Null reference.");
}

} // namespace

void splitByteSize(uint64_t size, double* value, const wchar_t** unit) {
    checkOutput(value);
    checkOutput(unit);
    if (size < KB) {
        *value = static_cast<double>(size);
        *unit = L"B";
    } else if (size < MB) {
        *value = std::floor(static_cast<double>(size) / KB * 10 + 0.5) / 10;
        *unit = L"KB";
    } else if (size < GB) {
        *value = static_cast<double>(size >> 20);
        *unit = L"MB";
    } else if (size < TB) {
        *value = static_cast<double>(size >> 30);
        *unit = L"GB";
    } else {
        *value = static_cast<double>(size >> 40);
        *unit = L"TB";
    }
}

void formatByteSize(std::wstring* out, uint64_t size) {
    checkOutput(out);
    double value = 0;
    const wchar_t* unit = nullptr;
    splitByteSize(size, &value, &unit);
    formatDouble(value, *out);
    *out += L' ';
    *out += unit;
}

bool splitDuration(int64_t seconds, int64_t* count, const wchar_t** unit) {
    checkOutput(count);
    checkOutput(unit);
    if (seconds < 0)
        return false;
    for (const DurationBand& band : DURATION_BANDS) {
        if (seconds >= band.below && band.below != INT64_MAX)
            continue;
        // Adding half the divisor rounds to the nearest unit; done in unsigned so the
        // last band cannot overflow near the top of the range.
        const uint64_t rounded = (static_cast<uint64_t>(seconds) + static_cast<uint64_t>(band.divisor / 2)) /
                                 static_cast<uint64_t>(band.divisor);
        *count = static_cast<int64_t>(rounded);
        *unit = *count == 1 ? band.singular : band.plural;
        return true;
    }
    return false;
}

void formatDuration(std::wstring* out, int64_t seconds) {
    checkOutput(out);
    int64_t count = 0;
    const wchar_t* unit = nullptr;
    if (!splitDuration(seconds, &count, &unit)) {
        *out += L"unknown time";
        return;
    }
    formatInt64(*out, count);
    *out += L' ';
    *out += unit;
}

} // namespace zem
