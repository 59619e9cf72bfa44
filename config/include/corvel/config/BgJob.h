// One unit of background work: its place in a scheduler's priority list, its time slice
// and the commands queued for the worker that runs it. Owned by its client.
#pragma once
#include "zem/base/MTRefObject.h"

#include <atomic>
#include <cstdint>
#include <deque>

namespace corvel {

class BgClient;
class BgScheduler;
class BgWorker;

class BgJob {
public:
    enum : int32_t {
        STATE_IDLE = 0,
        STATE_QUEUED = 1, // eligible to run
        STATE_DEAD = 2,   // given up by the client; every request for it is ignored
    };
    enum : uint32_t { FLAG_DONE = 1, FLAG_CANCEL = 2 };
    enum : int32_t { DEFAULT_PRIORITY = 2 };

    struct Command {
        enum Type : int32_t { DATA = 0, DISCARD = 1, DEQUEUED = 2, QUEUED = 3 };
        Type type;
        void* data;
    };

    explicit BgJob(BgClient* client) : m_client(client) {}
    virtual ~BgJob() = default;
    BgJob(const BgJob&) = delete;
    BgJob& operator=(const BgJob&) = delete;

    BgClient* client() const { return m_client; }

    // From processJob: the job has no more work for now.
    void setDone() { m_flags.fetch_or(FLAG_DONE); }
    bool isDone() const { return (m_flags.load() & FLAG_DONE) != 0; }
    bool isCancelRequested() const { return (m_flags.load() & FLAG_CANCEL) != 0; }

    // The fields below are guarded by the scheduler's lock (BgScheduler::getLock).
    int32_t state() const { return m_state; }
    // A client gives a job up with STATE_DEAD, after BgScheduler::cancelJob.
    void setState(int32_t state) { m_state = state; }
    int32_t priority() const { return m_priority; }
    BgScheduler* scheduler() const { return m_scheduler; }
    BgWorker* currentWorker() const { return m_currentWorker; }
    BgWorker* lastWorker() const { return m_lastWorker; }
    uint32_t deadline() const { return m_deadline; }
    uint32_t carriedTime() const { return m_carried; }

    // Messages posted to the main thread and not yet delivered.
    LONG messageCount() const { return m_messages.value(); }

private:
    friend class BgScheduler;
    friend class BgWorker;

    BgClient* m_client; // not owned
    int32_t m_state = STATE_IDLE;
    int32_t m_priority = DEFAULT_PRIORITY; // lower is served first; 0 gets a longer slice
    std::atomic<uint32_t> m_flags{0};      // FLAG_DONE, FLAG_CANCEL
    BgWorker* m_currentWorker = nullptr;   // the worker holding the job, if any
    BgWorker* m_lastWorker = nullptr;
    BgScheduler* m_scheduler = nullptr; // null when detached
    uint32_t m_deadline = 0;            // tick at which the slice ends
    uint32_t m_carried = 0;             // milliseconds of an earlier slice left over
    std::deque<Command> m_commands;     // first in, first out
    zem::AtomicCounter m_messages;      // the one field changed without the lock
};

} // namespace corvel
