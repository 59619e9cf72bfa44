#include "zem/log/SerializedLogListener.h"

#include "zem/thread/Thread.h"

namespace zem {

namespace {

struct Delivery {
    SerializedLogListener* listener;
    LogMessage* record;

    static void run(void* self) {
        Delivery* delivery = static_cast<Delivery*>(self);
        delivery->listener->onSerializedLog(delivery->record);
    }
};

} // namespace

SerializedLogListener::SerializedLogListener() = default;

SerializedLogListener::~SerializedLogListener() {
    // After this no logging thread can be inside onLog.
    LogManager_Impl::instance().removeListener(this);
    CriticalSectionLock guard(m_lock);
    for (LogMessage* record : m_queue)
        record->release();
    m_queue.clear();
}

void SerializedLogListener::onLog(LogMessage* record) {
    CriticalSectionLock guard(m_lock);
    record->addRef();
    m_queue.push_back(record);
    // A post that fails (registry not bound, queue full) is tried again with the next line.
    if (!m_outstanding && post(nullptr))
        m_outstanding = true;
}

size_t SerializedLogListener::queuedCount() {
    CriticalSectionLock guard(m_lock);
    return m_queue.size();
}

void SerializedLogListener::onMessage(const MessagePayload*) {
    std::deque<LogMessage*> batch;
    {
        CriticalSectionLock guard(m_lock);
        batch.swap(m_queue);
        m_outstanding = false;
    }
    for (LogMessage* record : batch) {
        // A receiver that throws must not cost the rest of the batch their references.
        Delivery delivery{this, record};
        runGuarded(&Delivery::run, &delivery);
        record->release();
    }
}

} // namespace zem
