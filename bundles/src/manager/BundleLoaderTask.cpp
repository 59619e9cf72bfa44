#include "corvel/bundles/BundleLoaderTask.h"

#include "../model/ExceptionText.h"
#include "corvel/bundles/Bundle.h"
#include "corvel/bundles/BundleItem.h"
#include "corvel/bundles/BundleLoader.h"
#include "corvel/bundles/BundleManager.h"
#include "corvel/config/Closure.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"
#include "zem/thread/Thread.h"

namespace corvel {

// The entries of one kind on their way to the main thread; holds a reference on each
// until it is freed, delivered or not.
struct BundleLoaderTask::Batch {
    uint32_t runId = 0;
    uint32_t typeId = 0;
    std::vector<BundleEntry*> entries;
    ~Batch() {
        for (BundleEntry* entry : entries)
            entry->release();
    }
};

// One load: its loader lives until the run ends on the main thread.
struct BundleLoaderTask::Run {
    uint32_t id = 0;
    std::unique_ptr<BundleLoader> loader;
};

namespace {

uint32_t g_nextRunId = 0; // main thread

// Owns what it carries, so a closure deleted uninvoked still frees it.
class BatchClosure : public Closure {
public:
    typedef void (*Function)(void* self, void* batch);
    BatchClosure(BundleLoaderTask* task, void (*receive)(BundleLoaderTask*, void*), void* batch, void (*free)(void*))
        : m_task(task), m_receive(receive), m_batch(batch), m_free(free) {}
    ~BatchClosure() override { m_free(m_batch); }
    void invoke() override { m_receive(m_task, m_batch); }

private:
    BundleLoaderTask* m_task;
    void (*m_receive)(BundleLoaderTask*, void*);
    void* m_batch;
    void (*m_free)(void*);
};

} // namespace

BundleLoaderTask::BundleLoaderTask(BundleManager& manager) : m_manager(manager) { manager.getEntryTypes(m_kinds); }

BundleLoaderTask::~BundleLoaderTask() { BundleLoaderTask::stop(); }

void BundleLoaderTask::start() {
    // The base start stops through the virtual stop: the run is made after it.
    AsyncTask::start();
    m_stopped = false;
    std::unique_ptr<Run> run(new Run());
    run->id = ++g_nextRunId;
    run->loader.reset(new BundleLoader(m_manager, m_kinds));
    run->loader->setStopCheck([this] { return isStopping(); });
    std::vector<DisabledEntryRecord> disabled;
    m_manager.getDisabledEntries(disabled);
    std::set<zem::Uuid> uuids;
    for (const DisabledEntryRecord& record : disabled)
        uuids.insert(record.uuid);
    run->loader->setDisabled(std::move(uuids));
    m_run = run.release();
    m_manager.onLoadStarted();
    if (!postToTaskThread(new Closure_1<Run*>(&scanClosure, this, m_run)))
        zem::logMessage(3, BundleManager::logSource(), L"BundleLoaderTask: the scan could not be started.");
}

void BundleLoaderTask::stop() {
    if (m_run)
        m_stopped = true;
    AsyncTask::stop();
    delete m_run;
    m_run = nullptr;
}

void BundleLoaderTask::scanClosure(void* self, Run* run) {
    BundleLoaderTask* task = static_cast<BundleLoaderTask*>(self);
    try {
        run->loader->scan();
    } catch (...) {
        // What was found so far is still delivered, and the load still ends.
        zem::logMessage(3, BundleManager::logSource(), L"Bundle scan ended early: %s",
                        currentExceptionText(L"unknown error").c_str());
    }
    task->deliver(run);
}

void BundleLoaderTask::deliver(Run* run) {
    auto freeBatch = [](void* batch) { delete static_cast<Batch*>(batch); };
    auto receive = [](BundleLoaderTask* task, void* batch) { receiveBatch(task, static_cast<Batch*>(batch)); };
    for (const BundleEntryTypeInfo& kind : m_kinds) {
        std::vector<BundleEntry*> left;
        run->loader->getEntries(kind.typeId, left);
        while (!left.empty() && !isStopping()) {
            Batch* batch = new Batch();
            batch->runId = run->id;
            batch->typeId = kind.typeId;
            while (!left.empty() && batch->entries.size() < BATCH_SIZE) {
                left.back()->addRef();
                batch->entries.push_back(left.back());
                left.pop_back();
            }
            BatchClosure* closure = new BatchClosure(this, receive, batch, freeBatch);
            if (!postToUiThread(closure)) {
                delete closure;
                return;
            }
        }
    }
    Closure* end = new Closure_1<uint32_t>(
        [](void* self, uint32_t id) {
            BundleLoaderTask* task = static_cast<BundleLoaderTask*>(self);
            if (!task->m_run || task->m_run->id != id)
                return;
            bool stopped = task->m_stopped;
            // The loader's references go with the run: no later load sees its entries.
            delete task->m_run;
            task->m_run = nullptr;
            task->m_manager.onLoadFinished(stopped);
        },
        this, run->id);
    if (!postToUiThread(end))
        delete end;
}

void BundleLoaderTask::receiveBatch(void* self, Batch* batch) {
    zem::checkMainThread();
    BundleLoaderTask* task = static_cast<BundleLoaderTask*>(self);
    if (!task->m_run || task->m_run->id != batch->runId || task->m_stopped)
        return;
    BundleManager& manager = task->m_manager;
    manager.beginUpdate();
    try {
        std::vector<BundleEntry*> accepted;
        accepted.reserve(batch->entries.size());
        for (BundleEntry* entry : batch->entries) {
            if (batch->typeId == BUNDLE_TYPE_ID) {
                accepted.push_back(entry);
                continue;
            }
            const BundleEntryLocation* location = entry->getLocation();
            Bundle* bundle = location ? manager.getBundle(entryUuidFor(*location, true)) : nullptr;
            if (!bundle) {
                zem::logMessage(3, BundleManager::logSource(), L"No loaded bundle for the item %s",
                                location ? location->toString().c_str() : entry->getUuid().toString().c_str());
                continue;
            }
            entry->beginUpdate();
            bundle->addEntry(static_cast<BundleItem*>(entry));
            entry->clearModified();
            entry->endUpdate();
            accepted.push_back(entry);
        }
        manager.addEntries(accepted);
    } catch (...) {
        manager.endUpdate();
        throw;
    }
    manager.endUpdate();
}

} // namespace corvel
