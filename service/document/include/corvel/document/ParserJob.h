// The background parse of one document: which lines are still to be looked at, what has
// been reported to the main thread, and the end patterns compiled for this document.
// Created by the ParserClient, run one line per step on the "parser" scheduler.
#pragma once
#include "corvel/config/BgJob.h"
#include "corvel/document/EndPatternCache.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace corvel {

class Document;
class ParserClient;

class ParserJob : public BgJob {
public:
    static constexpr uint32_t FIRST_REPORT_GAP = 20;
    static constexpr uint32_t LONGEST_REPORT_GAP = 1000;
    enum : int32_t { PRIORITY_ACTIVE = 2, PRIORITY_INACTIVE = 3 };

    ParserJob(ParserClient* client, Document* document);

    Document* getDocument() const { return m_document; }

    // The fields below change on the worker holding the job, with the document's edit
    // lock held, or under the scheduler lock while the job's data items are handed over.
    bool lockHeld = false;    // the job holds the document's edit lock (worker only)
    bool idle = false;        // set when queued without a request
    int32_t currentLine = 0;  // the next line to look at
    int32_t rangeEnd = 0;     // the last line looked at even if it is current
    int32_t firstUnreported = -1;
    int32_t lastLookedAt = -1;
    uint32_t nextReportTime = 0; // tick, milliseconds
    uint32_t reportInterval = FIRST_REPORT_GAP;
    EndPatternCache endPatterns;
    std::wstring name;

    // The document is going away: the job does nothing more.
    void setClosing(bool closing) { m_closing.store(closing); }
    bool isClosing() const { return m_closing.load(); }

    // Widens the range to parse over [first, last], starting the reports afresh.
    void widen(int32_t first, int32_t last);
    // Notes that the line is being looked at, in a step that started at tick.
    void noteProgress(int32_t line, uint32_t tick);
    // Whether the step that started at tick reports (always when finished); when it does,
    // the gap to the next report doubles up to LONGEST_REPORT_GAP.
    bool takeReportTurn(bool finished, uint32_t tick);
    // Back to the start, for a grammar change: no results, nothing to look at.
    void reset();

private:
    Document* m_document;
    std::atomic<bool> m_closing{false};
};

} // namespace corvel
