// A periodic callback on the UI thread, built on thread timers (no window). The handler
// is a member function of some object: bool T::method(afTimer*); returning false stops
// the timer. Main thread only: start, stop and the ticks all run there.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <windows.h>

namespace corvel {

class afTimer {
public:
    afTimer() = default;
    ~afTimer() { stop(); }
    afTimer(const afTimer&) = delete;
    afTimer& operator=(const afTimer&) = delete;

    // Milliseconds, kept within the window system's limits (10 to 0x7FFFFFFF). A running
    // timer takes a new interval at its next start.
    void setInterval(uint32_t milliseconds);
    uint32_t getInterval() const { return m_interval; }

    template <class T> void setHandler(T* object, bool (T::*method)(afTimer*)) {
        static_assert(sizeof(method) <= sizeof(m_method), "member function pointer too large");
        m_object = object;
        memcpy(m_method, &method, sizeof(method));
        m_call = &callMember<T>;
    }

    // Restarts a running timer; ticks count from 0 again. Throws IllegalStateException
    // "Unable to start the timer." when the window system refuses.
    void start();
    void stop();
    bool isRunning() const { return m_id != 0; }
    // Ticks handled since the last start.
    int getTicks() const { return m_ticks; }

    // The one timer procedure of all timers. Nothing escapes it: a tick for an id that is
    // not registered and a handler's exception are logged.
    static void CALLBACK onTimer(HWND hwnd, UINT message, UINT_PTR id, DWORD time);
    // Timers running now (the registry's size; 0 when there is no registry).
    static size_t runningCount();

private:
    typedef bool (*Call)(void* object, const void* method, afTimer* timer);
    template <class T> static bool callMember(void* object, const void* method, afTimer* timer) {
        bool (T::*member)(afTimer*);
        memcpy(&member, method, sizeof(member));
        return (static_cast<T*>(object)->*member)(timer);
    }
    void tick();

    int m_ticks = 0;
    uint32_t m_interval = 0;
    void* m_object = nullptr;
    alignas(void*) unsigned char m_method[16] = {}; // the member function pointer's bytes
    Call m_call = nullptr;
    UINT_PTR m_id = 0; // from SetTimer; 0 while stopped
};

} // namespace corvel
