// Collects the log lines of one source while it lives, for tests that assert on logging.
#pragma once
#include "zem/log/LogManager.h"
#include "zem/thread/CriticalSection.h"

#include <string>
#include <vector>

namespace zemtest {

class LogCapture : public zem::LogListener {
public:
    // sourceId 0 captures every source.
    explicit LogCapture(uint32_t sourceId = 0) : m_source(sourceId) {
        zem::LogManager_Impl::instance().addListener(this, false);
    }
    ~LogCapture() override { zem::LogManager_Impl::instance().removeListener(this); }

    bool accept(zem::LogMessage* record) override { return m_source == 0 || record->sourceId() == m_source; }
    void onLog(zem::LogMessage* record) override {
        zem::CriticalSectionLock guard(m_lock);
        m_lines.push_back(Line{record->level(), record->sourceName() ? record->sourceName() : L"", record->text()});
    }

    struct Line {
        int level;
        std::wstring source;
        std::wstring text;
    };
    std::vector<Line> lines() {
        zem::CriticalSectionLock guard(m_lock);
        return m_lines;
    }

private:
    uint32_t m_source;
    zem::CriticalSection m_lock;
    std::vector<Line> m_lines; // guarded by m_lock
};

} // namespace zemtest
