#include "corvel/document/ClosureBgJob.h"

#include "corvel/config/BgScheduler.h"

namespace corvel {

bool ClosureBgJob::postToMainThread(Closure* result) {
    BgScheduler* target = scheduler();
    if (target && m_worker && target->postJobMessage(this, m_worker, result))
        return true;
    delete result;
    return false;
}

void ClosureBgClient::processJob(BgWorker* worker, BgJob* job) {
    ClosureBgJob* closureJob = dynamic_cast<ClosureBgJob*>(job);
    if (closureJob && closureJob->m_closure) {
        closureJob->m_worker = worker;
        struct Clear {
            ClosureBgJob* job;
            ~Clear() { job->m_worker = nullptr; }
        } clear{closureJob};
        closureJob->m_closure->invoke();
    }
    job->setDone();
}

void ClosureBgClient::onJobMessage(BgScheduler*, BgJob*, void* data) {
    std::unique_ptr<Closure> closure(static_cast<Closure*>(data));
    if (closure)
        closure->invoke();
}

void ClosureBgClient::onJobMessageDropped(BgScheduler*, BgJob*, void* data) {
    delete static_cast<Closure*>(data);
}

} // namespace corvel
