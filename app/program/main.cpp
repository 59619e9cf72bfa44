// Program entry. Until the application shell exists it brings up what is built, proves
// the hand-off to the main thread works, and exits cleanly.
#include "zem/base/Crc.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"
#include "zem/thread/MessageRegistry.h"
#include "zem/thread/Thread.h"

#include <windows.h>

namespace {

class StartupProbe : public zem::MessageListener {
public:
    void onMessage(const zem::MessagePayload*) override { PostQuitMessage(0); }
};

LRESULT CALLBACK hostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int run(HINSTANCE instance) {
    zem::logMessage(zem::LOG_INFO, zem::symbolId(L"Corvel"), L"Corvel is starting\n");
    WNDCLASSW wc{};
    wc.lpfnWndProc = &hostProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"Corvel35WindowClass";
    RegisterClassW(&wc);
    // Message-only: there is no user interface to show yet.
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"Corvel", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (!window)
        return 1;
    int code = 0;
    {
        zem::MessageRegistry registry;
        registry.init(window);
        StartupProbe probe;
        if (!probe.post())
            code = 1;
        MSG msg;
        while (code == 0 && GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        registry.shutdown();
    }
    DestroyWindow(window);
    zem::logMessage(zem::LOG_INFO, zem::symbolId(L"Corvel"), L"Corvel has stopped\n");
    return code;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    zem::recordMainThread();
    try {
        return run(instance);
    } catch (zem::Exception& e) {
        std::wstring text = e.message();
        zem::logMessage(zem::LOG_CRITICAL, zem::LOG_UNKNOWN_SOURCE, L"APPLICATION PANIC: %s\n", text.c_str());
        return 1;
    }
}
