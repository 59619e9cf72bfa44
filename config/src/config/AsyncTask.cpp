#include "corvel/config/AsyncTask.h"

#include "RunReported.h"
#include "corvel/config/Closure.h"
#include "zem/base/Exception.h"

namespace corvel {

AsyncTask::AsyncTask()
    : m_ended(CreateEventW(nullptr, TRUE, TRUE, nullptr), &CloseHandle),
      m_stopSignal(CreateEventW(nullptr, TRUE, FALSE, nullptr), &CloseHandle) {
    if (!m_ended || !m_stopSignal)
        throw zem::SystemException(L"cannot create event");
}

AsyncTask::~AsyncTask() {
    try {
        AsyncTask::stop();
    } catch (...) {
        // A destructor must not throw; the queues below still release what they hold.
    }
}

bool AsyncTask::isStopping() {
    zem::CriticalSectionLock guard(m_lock);
    return m_stopping;
}

void AsyncTask::start() {
    stop();
    drainInbox();
    while (m_ack.tryWait() == zem::WAIT_OK) {
        // an answer left by a thread that ended mid-request
    }
    m_thread = std::make_unique<zem::Thread>(L"AsyncTask");
    {
        zem::CriticalSectionLock guard(m_lock);
        m_stopping = false;
    }
    ResetEvent(m_stopSignal.get());
    ResetEvent(m_ended.get());
    try {
        m_thread->start(this);
    } catch (...) {
        SetEvent(m_ended.get());
        m_thread.reset();
        throw;
    }
}

void AsyncTask::stop() {
    if (!m_thread)
        return;
    {
        zem::CriticalSectionLock guard(m_lock);
        m_stopping = true;
    }
    SetEvent(m_stopSignal.get());
    if (m_inbox.push(nullptr, true, m_ended.get()) == ClosureQueue::PUSHED)
        awaitAcknowledge();
    m_thread->join();
    m_thread.reset();
    drainInbox();
}

void AsyncTask::run() {
    struct SignalEnd {
        HANDLE event;
        ~SignalEnd() { SetEvent(event); }
    } signalEnd{m_ended.get()};
    for (;;) {
        Closure* taken = nullptr;
        if (!m_inbox.waitTake(taken))
            return; // abandoned: nothing will arrive any more
        std::unique_ptr<Closure> closure(taken);
        if (m_inbox.isClosing())
            continue;
        if (isStopping()) {
            m_ack.release();
            return; // the closure goes uninvoked
        }
        m_ack.release();
        if (closure)
            runReported([&] { closure->invoke(); });
    }
}

void AsyncTask::awaitAcknowledge() {
    HANDLE handles[2] = {m_ack.handle(), m_ended.get()};
    int index = -1;
    zem::waitForAny(handles, 2, index);
}

void AsyncTask::drainInbox() {
    Closure* left = nullptr;
    while (m_inbox.tryTake(left))
        delete left;
}

bool AsyncTask::postToTaskThread(Closure* closure) {
    if (!m_thread)
        return false;
    if (m_inbox.push(closure, true, m_ended.get()) != ClosureQueue::PUSHED)
        return false;
    awaitAcknowledge();
    return true;
}

bool AsyncTask::postToUiThread(Closure* closure) {
    for (;;) {
        if (m_outbox.push(closure, true, m_stopSignal.get()) == ClosureQueue::PUSHED)
            break;
        if (isStopping())
            return false;
        Sleep(RETRY_MS); // a closing queue: only while the task is torn down
    }
    // The closure is queued; the message that wakes the main thread is retried until it
    // goes, or the task stops (the closure then runs with the next message).
    while (!zem::MessageListener::post(nullptr)) {
        Sleep(RETRY_MS);
        if (isStopping())
            break;
    }
    return true;
}

void AsyncTask::onMessage(const zem::MessagePayload* payload) {
    (void)payload;
    Closure* taken = nullptr;
    while (m_outbox.tryTake(taken)) {
        std::unique_ptr<Closure> closure(taken);
        if (closure)
            closure->invoke();
    }
}

} // namespace corvel
