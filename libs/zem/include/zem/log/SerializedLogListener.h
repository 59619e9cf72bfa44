// Collects log lines from any thread and hands them to the main thread in batches through
// the message registry; the receiver overrides onSerializedLog (the application's log
// view derives from it).
#pragma once
#include "zem/log/LogManager.h"
#include "zem/thread/CriticalSection.h"
#include "zem/thread/MessageRegistry.h"

#include <deque>

namespace zem {

class SerializedLogListener : public LogListener, public MessageListener {
public:
    // Main thread; the message registry must exist. Subscribing it to the log manager is
    // the owner's business.
    SerializedLogListener();
    // Main thread. Unsubscribes from the log manager and drops what was not delivered.
    ~SerializedLogListener() override;

    // Any thread, under the log lock.
    void onLog(LogMessage* record) override;
    bool accept(LogMessage*) override { return true; }

    // Main thread, no lock held, oldest line first.
    virtual void onSerializedLog(LogMessage* record) { (void)record; }

    // Lines waiting for the main thread.
    size_t queuedCount();

private:
    void onMessage(const MessagePayload* payload) override;

    CriticalSection m_lock;          // guards the two fields below
    std::deque<LogMessage*> m_queue; // each holds one reference
    bool m_outstanding = false;      // a delivery message is on its way
};

} // namespace zem
