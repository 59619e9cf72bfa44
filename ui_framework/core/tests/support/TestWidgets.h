// Platform views of the tests' own: a top-level or child widget of a private class that
// records what the window procedure tells it, and a bounded pump.
#pragma once
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afWidget.h"
#include "support/WaitUntil.h"

#include <functional>
#include <stdexcept>
#include <string>

namespace uitest {

class TestWidget : public corvel::afWidget {
public:
    TestWidget(corvel::afView* owner, bool child) : corvel::afWidget(owner), m_child(child) {}

    bool buildSeed(Seed& seed) override {
        static bool registered = false;
        corvel::afWindowClass windowClass;
        windowClass.className = L"corvelTestWidget";
        windowClass.cursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.style = CS_DBLCLKS;
        registerClass(windowClass, registered);
        seed.className = L"corvelTestWidget";
        seed.windowName = title;
        // A mapped top-level window costs seconds to destroy under a display without a
        // window manager: top-level test windows stay unmapped unless a test shows them.
        seed.style = m_child ? (WS_CHILD | WS_VISIBLE | extraStyle) : WS_POPUP;
        seed.x = x;
        seed.y = y;
        seed.width = width;
        seed.height = height;
        return true;
    }
    void onCreated() override {
        if (failOnCreate)
            throw std::runtime_error("refused");
    }
    void onDestroy() override {
        ++destroys;
        corvel::afWidget::onDestroy();
    }
    void onDestroyed() override {
        ++destroyeds;
        corvel::afWidget::onDestroyed();
    }
    bool onMouseWheel(corvel::afEvent*, int notches) override {
        wheelNotches.push_back(notches);
        return true;
    }
    bool onMouseDown(corvel::afEvent* event) override {
        lastClicks = static_cast<int>(event->getClickCount());
        return true;
    }

    std::wstring title = L"test";
    int x = 100, y = 100, width = 200, height = 150;
    bool failOnCreate = false;
    DWORD extraStyle = 0; // of child widgets
    int destroys = 0;
    int destroyeds = 0;
    int lastClicks = 0;
    std::vector<int> wheelNotches;

private:
    bool m_child;
};

inline bool hasVisibleStyle(HWND hwnd) {
    return (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

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

// The font registry platform views take their font from.
struct WithResources {
    WithResources() {
        if (!corvel::afResources::exists())
            corvel::afResources::create();
    }
};

} // namespace uitest
