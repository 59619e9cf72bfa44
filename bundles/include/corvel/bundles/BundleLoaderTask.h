// Runs a bundle load on a thread of its own: a fresh BundleLoader per run scans the
// folders, and the entries reach the manager on the main thread in batches of at most
// 50 per kind, bundles first; a last closure ends the load.
#pragma once
#include "corvel/bundles/BundleEntryTypeInfo.h"
#include "corvel/config/AsyncTask.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace corvel {

class BundleEntry;
class BundleLoader;
class BundleManager;

class BundleLoaderTask : public AsyncTask {
public:
    enum : size_t { BATCH_SIZE = 50 };

    explicit BundleLoaderTask(BundleManager& manager);
    ~BundleLoaderTask() override;

    // Stops a previous run, then scans with a new loader.
    void start() override;
    // Ends the run; batches not yet delivered are dropped and their references released.
    void stop() override;
    bool wasStopped() const { return m_stopped; }

private:
    struct Batch;
    struct Run;

    static void scanClosure(void* self, Run* run);
    static void receiveBatch(void* self, Batch* batch);
    static void endRun(void* self, Run* run);
    void deliver(Run* run);
    bool isCurrent(const Run* run) const { return run == m_run && !m_stopped; }

    BundleManager& m_manager;
    std::vector<BundleEntryTypeInfo> m_kinds;
    Run* m_run = nullptr; // the run under way, owned; main thread
    bool m_stopped = false;
};

} // namespace corvel
