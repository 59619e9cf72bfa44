#include "corvel/ui/afTimer.h"

#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"

#include <exception>
#include <map>
#include <memory>

namespace corvel {

namespace {

constexpr uint32_t FRAMEWORK_LOG_SOURCE = 0x629b9e5bu;

// Running timers by id; exists only while some timer runs.
std::unique_ptr<std::map<UINT_PTR, afTimer*>> g_registry;

afTimer* findTimer(UINT_PTR id) {
    if (!g_registry)
        return nullptr;
    auto found = g_registry->find(id);
    return found == g_registry->end() ? nullptr : found->second;
}

} // namespace

void afTimer::setInterval(uint32_t milliseconds) {
    if (milliseconds < USER_TIMER_MINIMUM)
        milliseconds = USER_TIMER_MINIMUM;
    if (milliseconds > USER_TIMER_MAXIMUM)
        milliseconds = USER_TIMER_MAXIMUM;
    m_interval = milliseconds;
}

void afTimer::start() {
    stop();
    UINT_PTR id = SetTimer(nullptr, 0, m_interval, &afTimer::onTimer);
    if (id == 0)
        throw zem::IllegalStateException(L"Unable to start the timer.");
    if (!g_registry)
        g_registry = std::make_unique<std::map<UINT_PTR, afTimer*>>();
    (*g_registry)[id] = this;
    m_id = id;
    m_ticks = 0;
}

void afTimer::stop() {
    if (m_id == 0)
        return;
    if (g_registry) {
        g_registry->erase(m_id);
        if (g_registry->empty())
            g_registry.reset();
    }
    KillTimer(nullptr, m_id);
    m_id = 0;
}

size_t afTimer::runningCount() {
    return g_registry ? g_registry->size() : 0;
}

void afTimer::tick() {
    UINT_PTR id = m_id;
    bool goOn = m_call ? m_call(m_object, m_method, this) : true;
    // The handler may have stopped, restarted or destroyed this timer: only a timer still
    // registered under the same id counts the tick.
    if (findTimer(id) != this)
        return;
    if (goOn)
        ++m_ticks;
    else
        stop();
}

void CALLBACK afTimer::onTimer(HWND, UINT, UINT_PTR id, DWORD) {
    if (!g_registry)
        return;
    try {
        afTimer* timer = findTimer(id);
        // A tick the window system queued before its timer was stopped.
        if (!timer)
            throw zem::IllegalStateException(L"Timer called, but not registered.");
        timer->tick();
    } catch (const zem::Exception& e) {
        zem::logMessage(3, FRAMEWORK_LOG_SOURCE, L"%s", e.message().c_str());
    } catch (const std::exception& e) {
        zem::logMessage(3, FRAMEWORK_LOG_SOURCE, L"afTimer: handler failed: %S", e.what());
    } catch (...) {
        zem::logMessage(3, FRAMEWORK_LOG_SOURCE, L"afTimer: handler failed with an unknown exception");
    }
}

} // namespace corvel
