#include "corvel/document/ParserJob.h"

#include "corvel/document/ParserClient.h"

#include <algorithm>

namespace corvel {

ParserJob::ParserJob(ParserClient* client, Document* document) : BgJob(client), m_document(document) {}

void ParserJob::widen(int32_t first, int32_t last) {
    if (currentLine < 0 || rangeEnd < 0) {
        currentLine = first;
        rangeEnd = last;
    } else {
        currentLine = std::min(currentLine, first);
        rangeEnd = std::max(rangeEnd, last);
    }
    firstUnreported = -1;
    lastLookedAt = -1;
    reportInterval = FIRST_REPORT_GAP;
    nextReportTime = 0;
    idle = false;
}

void ParserJob::noteProgress(int32_t line, uint32_t tick) {
    if (firstUnreported == -1) {
        firstUnreported = line;
        nextReportTime = tick + FIRST_REPORT_GAP;
        reportInterval = FIRST_REPORT_GAP;
    } else if (line < firstUnreported) {
        firstUnreported = line;
    }
    lastLookedAt = line;
}

bool ParserJob::takeReportTurn(bool finished, uint32_t tick) {
    // Ticks wrap: compare by difference.
    if (!finished && static_cast<int32_t>(tick - nextReportTime) <= 0)
        return false;
    nextReportTime = tick + reportInterval;
    uint32_t doubled = reportInterval * 2;
    reportInterval = doubled > LONGEST_REPORT_GAP + 1 ? LONGEST_REPORT_GAP : doubled;
    return true;
}

void ParserJob::reset() {
    endPatterns.clear();
    currentLine = 0;
    rangeEnd = 0;
    m_closing.store(false);
    name.clear();
    firstUnreported = -1;
    lastLookedAt = -1;
    reportInterval = FIRST_REPORT_GAP;
    nextReportTime = 0;
}

} // namespace corvel
