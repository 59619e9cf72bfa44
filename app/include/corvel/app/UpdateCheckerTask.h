// The update check's own thread: posts the program's version to the update server as a
// form, reads the JSON answer and hands the result back to the main thread.
#pragma once
#include "corvel/app/UpdateInfo.h"
#include "corvel/config/AsyncTask.h"
#include "zem/thread/CriticalSection.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zem {
namespace net {
class HTTPClientSession;
}
} // namespace zem

namespace corvel {

struct VersionInfo;

class UpdateCheckerTask : public AsyncTask {
public:
    static constexpr uint32_t TIMEOUT_MS = 20000;

    // Main thread, with the receiver of the results: null info for "up to date"; the info
    // is deleted after the call.
    typedef void (*ResultFunction)(void* receiver, UpdateInfo* info);

    // Copies the version, build and branch texts.
    explicit UpdateCheckerTask(const VersionInfo& version);
    ~UpdateCheckerTask() override;

    // The server's "host[:port]" made at build time, unless the environment variable
    // CORVEL_UPDATE_SERVER names another.
    static void getDefaultServer(std::wstring& host, uint16_t& port);

    // Main thread, between checks.
    void setServer(const std::wstring& host, uint16_t port);
    const std::wstring& getHost() const { return m_host; }
    uint16_t getPort() const { return m_port; }
    // Main thread. A null function drops the results that arrive from then on.
    void setReceiver(ResultFunction function, void* receiver);

    // Main thread: hands one check to the task's thread; false when it is not running.
    bool queueCheck();
    // Any thread: ends the request under way (its result is an error) and every later one.
    void abort();

    // The exchange itself, on the calling thread: null when the server knows no newer
    // build; otherwise the update, or an error text (logged as "UpdateChecker: %s").
    std::unique_ptr<UpdateInfo> check();
    // IllegalStateException unless url is an http or https URL on host; then rewritten
    // to the URI's normal form.
    static void checkUpdateUrl(std::wstring& url, const std::wstring& host);

    const std::wstring& getVersionText() const { return m_version; }
    const std::wstring& getBuildText() const { return m_build; }
    const std::wstring& getBranchText() const { return m_branch; }

private:
    class ResultClosure;
    static void runCheck(void* self);
    // Leaves result null for "up to date"; throws on any failure.
    void exchange(std::unique_ptr<UpdateInfo>& result);
    void deliver(UpdateInfo* info);

    std::wstring m_version;
    std::wstring m_build;
    std::wstring m_branch;
    std::wstring m_host; // set on the main thread while no check runs
    uint16_t m_port = 80;
    ResultFunction m_function = nullptr; // main thread only
    void* m_receiver = nullptr;

    zem::CriticalSection m_sessionLock;               // guards the two fields below
    zem::net::HTTPClientSession* m_session = nullptr; // the exchange's own, while it runs
    bool m_aborted = false;
};

} // namespace corvel
