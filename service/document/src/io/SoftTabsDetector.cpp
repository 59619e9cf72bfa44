#include "corvel/document/SoftTabsDetector.h"

#include "corvel/document/Document.h"

#include <utility>

namespace corvel {

namespace {

typedef int32_t Histogram[SoftTabsDetector::COUNTERS];

bool countLine(void* context, const wchar_t* text, int32_t length) {
    Histogram& counters = *static_cast<Histogram*>(context);
    const int32_t looked = length < SoftTabsDetector::COUNTERS ? length : SoftTabsDetector::COUNTERS;
    if (looked == 0)
        return true;
    if (text[0] == L'\t') {
        ++counters[0];
        return true;
    }
    int32_t blanks = 0;
    while (blanks < looked && text[blanks] == L' ')
        ++blanks;
    if (blanks >= 1 && blanks < looked)
        ++counters[blanks];
    return true;
}

// Negative when b should come before a: the width that explains more lines on its own,
// and the larger width when both explain the lines equally.
int compareWidths(const Histogram& counters, int a, int b) {
    int onlyA = 0;
    int onlyB = 0;
    int both = 0;
    for (int n = 1; n < SoftTabsDetector::COUNTERS; ++n) {
        const bool ofA = n % a == 0;
        const bool ofB = n % b == 0;
        if (ofA && ofB)
            both += counters[n];
        else if (ofA)
            onlyA += counters[n];
        else if (ofB)
            onlyB += counters[n];
    }
    if (onlyA + onlyB < both)
        return a < b ? -1 : 1;
    if (onlyA == onlyB)
        return a - b;
    return onlyA - onlyB;
}

} // namespace

bool SoftTabsDetector::decide(const int32_t (&counters)[COUNTERS], FormatDetection& result) {
    bool any = false;
    for (int n = 0; n < COUNTERS; ++n)
        any = any || counters[n] != 0;
    if (!any)
        return false;
    int candidates[] = {2, 3, 4, 8};
    const int count = sizeof candidates / sizeof candidates[0];
    for (int i = 0; i < count; ++i) {
        for (int j = i + 1; j < count; ++j) {
            if (compareWidths(counters, candidates[i], candidates[j]) < 0)
                std::swap(candidates[i], candidates[j]);
        }
    }
    const int width = candidates[0];
    int32_t atWidth = 0;
    for (int n = width; n < COUNTERS; n += width)
        atWidth += counters[n];
    if (atWidth < counters[0]) {
        result = FormatDetection{0.8f, 0, 0.0f, 0};
        return true;
    }
    result = FormatDetection{0.8f, 1, 0.8f, width};
    return true;
}

bool SoftTabsDetector::detect(Document* document, FormatDetection& result) {
    Histogram counters = {};
    document->forEachLine(countLine, &counters);
    return decide(counters, result);
}

} // namespace corvel
