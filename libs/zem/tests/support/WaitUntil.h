// A bounded wait for something another thread or a message brings about.
#pragma once
#include <windows.h>

namespace zemtest {

// Checks done() until it holds or timeoutMs pass; between checks, pause(milliseconds
// left) blocks until something may have changed. Returns whether done() held.
template <class Done, class Pause> bool waitUntil(Done done, DWORD timeoutMs, Pause pause) {
    DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs)
            return false;
        pause(timeoutMs - spent);
    }
}

} // namespace zemtest
