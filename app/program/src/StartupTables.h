// What the program sets up before any of its threads starts and takes down after the
// last has ended: the handler every thread reports its failures to.
#pragma once
#include "zem/thread/Thread.h"

namespace corvel {

class StartupTables {
public:
    StartupTables() { zem::setThreadErrorHandler(&m_threadErrors); }
    ~StartupTables() { zem::setThreadErrorHandler(nullptr); }
    StartupTables(const StartupTables&) = delete;
    StartupTables& operator=(const StartupTables&) = delete;

private:
    // The base library's own handler: it logs what a thread let escape.
    zem::ThreadErrorHandler m_threadErrors;
};

} // namespace corvel
