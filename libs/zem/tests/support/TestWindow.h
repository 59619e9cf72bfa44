// A hidden window of the test's own with a message pump that waits with a bounded
// time-out, for code that delivers through the message registry.
#pragma once
#include "WaitUntil.h"

#include <functional>
#include <windows.h>

namespace zemtest {

class TestWindow {
public:
    TestWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ZemTestWindow";
        RegisterClassW(&wc); // fails harmlessly when already registered
        m_hwnd = CreateWindowExW(0, L"ZemTestWindow", L"zem test", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                 nullptr, wc.hInstance, nullptr);
    }
    ~TestWindow() {
        if (m_hwnd)
            DestroyWindow(m_hwnd);
        drain();
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND handle() const { return m_hwnd; }

    // Dispatches messages until done() holds or the time-out passes; returns done().
    bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
        auto drainedAndDone = [&] {
            drain();
            return done();
        };
        auto awaitMessages = [](DWORD left) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, left < 50 ? left : 50, QS_ALLINPUT);
        };
        return waitUntil(drainedAndDone, timeoutMs, awaitMessages);
    }

    void drain() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

private:
    HWND m_hwnd = nullptr;
};

} // namespace zemtest
