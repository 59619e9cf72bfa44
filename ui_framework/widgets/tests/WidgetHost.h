// A top-level framework window that hosts the controls under test, the resources they
// take their fonts from, and the helpers that drive them by messages.
#pragma once
#include "../../core/tests/support/TestWidgets.h"
#include "corvel/ui/afEvent.h"

namespace widgetstest {

// Unmapped unless a test shows it: a mapped top-level window is slow to destroy under a
// display without a window manager.
class HostWindow : public uitest::TestWidget {
public:
    HostWindow() : uitest::TestWidget(nullptr, false) {
        uitest::WithResources resources;
        create();
    }
};

// The core's tests' pump and drain serve here too.
using uitest::drainMessages;
using uitest::pumpUntil;

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
