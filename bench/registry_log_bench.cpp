// Prints how many messages per second the message registry carries from four worker
// threads to the main thread, and how many log lines per second reach one listener.
#include "zem/base/Clock.h"
#include "zem/log/LogManager.h"
#include "zem/thread/MessageRegistry.h"
#include "zem/thread/Thread.h"

#include <cstdio>
#include <memory>
#include <vector>
#include <windows.h>

namespace {

constexpr int WORKERS = 4;
constexpr int MESSAGES_PER_WORKER = 20000;
constexpr int LOG_LINES = 200000;

class Counter : public zem::MessageListener {
public:
    volatile LONG delivered = 0;
    void onMessage(const zem::MessagePayload*) override { ++delivered; }
};

void postMany(void* p) {
    Counter* counter = static_cast<Counter*>(p);
    zem::MessagePayload payload{{1, 2, 3}};
    for (int i = 0; i < MESSAGES_PER_WORKER; ++i) {
        // The window's queue holds 10000 messages; a full queue is the normal back-pressure.
        while (!counter->post(&payload))
            Sleep(0);
    }
}

double benchRegistry() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &DefWindowProcW;
    wc.lpszClassName = L"RegistryBench";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    zem::MessageRegistry registry;
    registry.init(window);
    Counter counter;
    std::vector<std::unique_ptr<zem::Thread>> workers;
    zem::Stopwatch watch;
    watch.start();
    for (int i = 0; i < WORKERS; ++i) {
        workers.push_back(std::make_unique<zem::Thread>());
        workers.back()->start(&postMany, &counter);
    }
    const LONG total = WORKERS * MESSAGES_PER_WORKER;
    MSG msg;
    while (counter.delivered < total && GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    watch.stop();
    for (auto& w : workers)
        w->join();
    registry.shutdown();
    DestroyWindow(window);
    return total / (watch.elapsed() / 1e6);
}

class CountingListener : public zem::LogListener {
public:
    long lines = 0;
    void onLog(zem::LogMessage*) override { ++lines; }
};

void quietSink(const wchar_t*, void*) {}

double benchLog() {
    zem::LogManager_Impl& log = zem::LogManager_Impl::instance();
    uint32_t source = log.registerSource(L"Bench");
    // The debugger output is the same for every line and not what is measured here.
    log.setDebugSink(&quietSink, nullptr);
    CountingListener listener;
    log.addListener(&listener, false);
    zem::Stopwatch watch;
    watch.start();
    for (int i = 0; i < LOG_LINES; ++i)
        zem::logMessage(zem::LOG_DEBUG, source, L"line %d of %s\n", i, L"the benchmark");
    watch.stop();
    log.removeListener(&listener);
    log.setDebugSink(nullptr, nullptr);
    return listener.lines / (watch.elapsed() / 1e6);
}

} // namespace

int main() {
    zem::recordMainThread();
    std::printf("message registry: %.0f messages/s from %d workers to the main thread\n", benchRegistry(), WORKERS);
    std::printf("log manager: %.0f lines/s with one listener\n", benchLog());
    return 0;
}
