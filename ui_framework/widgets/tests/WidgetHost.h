// A top-level framework window that hosts the controls under test, the resources they
// take their fonts from, and the helpers that drive them by messages.
#pragma once
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afWidget.h"
#include "support/WaitUntil.h"

#include <functional>

namespace widgetstest {

class HostWindow : public corvel::afWidget {
public:
    HostWindow() : corvel::afWidget(nullptr) {
        if (!corvel::afResources::exists())
            corvel::afResources::create();
        afViewPlatform::create();
    }
    bool buildSeed(Seed& seed) override {
        static bool registered = false;
        corvel::afWindowClass windowClass;
        windowClass.className = L"corvelWidgetsTestHost";
        windowClass.cursor = LoadCursorW(nullptr, IDC_ARROW);
        registerClass(windowClass, registered);
        seed.className = L"corvelWidgetsTestHost";
        seed.windowName = L"widgets test";
        // Unmapped unless a test shows it: a mapped top-level window is slow to destroy
        // under a display without a window manager.
        seed.style = WS_POPUP | WS_CLIPCHILDREN;
        seed.x = 50;
        seed.y = 50;
        seed.width = 400;
        seed.height = 300;
        return true;
    }
};

inline void drainMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

inline bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
    return zemtest::waitUntil(
        [&] {
            drainMessages();
            return done();
        },
        timeoutMs,
        [](DWORD left) { MsgWaitForMultipleObjects(0, nullptr, FALSE, left < 50 ? left : 50, QS_ALLINPUT); });
}

// A key or mouse event as the window procedure would build it.
inline corvel::afEvent makeEvent(HWND hwnd, UINT message, unsigned detail, int x = 0, int y = 0, int modifiers = 0,
                                 unsigned clicks = 1) {
    MSG msg{};
    msg.hwnd = hwnd;
    msg.message = message;
    msg.lParam = MAKELPARAM(x, y);
    corvel::afEvent event(msg, detail);
    event.code = (static_cast<uint32_t>(modifiers) << 8) | (detail & 0xFF);
    event.setClickCount(clicks);
    return event;
}

} // namespace widgetstest
