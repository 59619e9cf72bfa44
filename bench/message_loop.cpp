// Cost of the framework's message path: 100,000 WM_KEYDOWN of an unbound key posted to a
// widget eight levels deep in a window's view tree and drained through
// afApp::processMessages (pre-translation up the window chain, the key bubbling through
// every view as the action system's invoker does for a key it does not know, the window
// procedure), against the same messages to a plain window drained by a hand-written
// Peek/Translate/Dispatch loop, and against a bare PeekMessageW loop. Prints µs per
// message and the ratios.
#include "corvel/ui/afApp.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afLayout.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afWidgetKit.h"
#include "corvel/ui/afWindow.h"
#include "zem/thread/Thread.h"

#include <cstdio>
#include <memory>
#include <windows.h>

using namespace corvel;

namespace {

const int MESSAGES = 100000;
const int BATCH = 5000; // well below the queue's limit of posted messages
const WPARAM UNBOUND_KEY = VK_F13;

double now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Bubbles key messages through the view tree and consumes nothing: what the action
// system does with a key that no action is bound to.
class BubblingInvoker : public afIKeyInvoker {
public:
    static bool s_bubble;
    bool preTranslateMessage(afView* target, const MSG& message) override {
        if (!s_bubble || !target || message.message != WM_KEYDOWN)
            return false;
        MSG copy = message;
        afEvent event(copy, static_cast<unsigned>(message.wParam));
        return target->dispatchKeyDown(&event);
    }
};

bool BubblingInvoker::s_bubble = true;

class BenchApp : public afApp {
public:
    bool onInit() override { return true; }
    void onExit() override {}
};

class BenchRegistry : public afIActionRegistry {
public:
    void addInvoker(afIKeyInvoker*, uint32_t) override {}
    void removeInvoker(afIKeyInvoker*) override {}
};

class BenchKit : public afIWidgetKit {
public:
    std::unique_ptr<afIClipboard> createClipboard() override { return nullptr; }
    std::unique_ptr<afIActionRegistry> createActionRegistry() override {
        return std::unique_ptr<afIActionRegistry>(new BenchRegistry());
    }
    std::unique_ptr<afIKeyInvoker> createKeyInvoker(afIActionRegistry&) override {
        return std::unique_ptr<afIKeyInvoker>(new BubblingInvoker());
    }
    afILabel* createLabel(afView*) override { return nullptr; }
};

class BenchWidget : public afWidget {
public:
    explicit BenchWidget(afView* owner) : afWidget(owner) {}
    bool buildSeed(Seed& seed) override {
        static bool registered = false;
        afWindowClass windowClass;
        windowClass.className = L"corvelBenchWidget";
        registerClass(windowClass, registered);
        seed.className = L"corvelBenchWidget";
        seed.style = WS_CHILD | WS_VISIBLE;
        seed.width = 50;
        seed.height = 20;
        return true;
    }
};

template <class Drain> double timeMessages(HWND target, Drain drain) {
    double start = now();
    for (int sent = 0; sent < MESSAGES; sent += BATCH) {
        for (int i = 0; i < BATCH; ++i)
            PostMessageW(target, WM_KEYDOWN, UNBOUND_KEY, 1);
        drain();
    }
    return (now() - start) * 1e6 / MESSAGES;
}

void plainDrain() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void bareDrain() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

} // namespace

int main() {
    zem::recordMainThread();
    BenchKit kit;
    afApp::setWidgetKit(&kit);
    auto* app = new BenchApp();
    if (!afApp::initialize(app, GetModuleHandleW(nullptr))) {
        fprintf(stderr, "start-up failed\n");
        return 1;
    }
    {
        afWindow window(nullptr);
        window.create();
        auto* content = new afLayout(&window);
        window.setContentView(content);
        afView* parent = content;
        for (int level = 0; level < 6; ++level) {
            auto* box = new afLayout(&window);
            parent->addChild(box, -1);
            parent = box;
        }
        auto* widget = new BenchWidget(&window);
        widget->create();
        parent->addChild(widget, -1);
        plainDrain();

        WNDCLASSW plainClass{};
        plainClass.lpfnWndProc = &DefWindowProcW;
        plainClass.hInstance = GetModuleHandleW(nullptr);
        plainClass.lpszClassName = L"corvelBenchPlain";
        RegisterClassW(&plainClass);
        HWND plain = CreateWindowExW(0, L"corvelBenchPlain", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                     plainClass.hInstance, nullptr);

        double framework = timeMessages(widget->getHandle(), [app] { afApp::processMessages(app); });
        BubblingInvoker::s_bubble = false;
        double preTranslation = timeMessages(widget->getHandle(), [app] { afApp::processMessages(app); });
        double plainLoop = timeMessages(plain, plainDrain);
        double bare = timeMessages(plain, bareDrain);
        printf("message_loop: %d WM_KEYDOWN of an unbound key\n", MESSAGES);
        printf("  widget 8 levels deep, afApp::processMessages: %8.3f us/message\n", framework);
        printf("  the same without the key bubbling:           %8.3f us/message\n", preTranslation);
        printf("  plain window, Peek/Translate/Dispatch:       %8.3f us/message\n", plainLoop);
        printf("  bare PeekMessageW loop:                      %8.3f us/message\n", bare);
        printf("  ratio framework / plain window: %.2fx   framework / bare loop: %.2fx\n", framework / plainLoop,
               framework / bare);
        printf("  ratio without bubbling / plain window: %.2fx\n", preTranslation / plainLoop);
        // What building one key event costs: its cursor position and modifier keys.
        double start = now();
        POINT cursor;
        for (int i = 0; i < 10000; ++i)
            GetCursorPos(&cursor);
        double cursorCost = (now() - start) * 1e6 / 10000;
        start = now();
        for (int i = 0; i < 10000; ++i)
            GetKeyState(VK_SHIFT);
        double keyStateCost = (now() - start) * 1e6 / 10000;
        printf("  per call: GetCursorPos %.3f us, GetKeyState %.3f us\n", cursorCost, keyStateCost);
        DestroyWindow(plain);
        window.setContentView(nullptr);
    }
    afApp::shutdown();
    return 0;
}
