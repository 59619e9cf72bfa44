#include "corvel/ui/afInstanceControl.h"

#include "corvel/ui/afApp.h"

namespace corvel {

namespace {
const wchar_t* g_name = L"Corvel35WindowClass";
afInstanceControl* g_instance = nullptr;
constexpr UINT SEND_TIMEOUT_MS = 5000;
} // namespace

afInstanceControl::afInstanceControl() {
    SetLastError(ERROR_SUCCESS);
    // The handle is neither kept nor closed: the mutex lives until the process ends.
    CreateMutexW(nullptr, FALSE, g_name);
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        m_first = false;
    g_instance = this;
}

afInstanceControl::~afInstanceControl() {
    if (g_instance == this)
        g_instance = nullptr;
}

afInstanceControl* afInstanceControl::instance() {
    return g_instance;
}

const wchar_t* afInstanceControl::getWindowClassName() {
    return g_name;
}

void afInstanceControl::setNameForTests(const wchar_t* name) {
    g_name = name;
}

BOOL CALLBACK afInstanceControl::collect(HWND window, LPARAM list) {
    wchar_t className[200];
    UINT length = RealGetWindowClassW(window, className, 199);
    if (length == 0)
        return TRUE;
    className[length < 199 ? length : 199] = 0;
    if (wcscmp(className, g_name) == 0)
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

void afInstanceControl::findWindows(std::vector<HWND>& out) {
    EnumWindows(&collect, reinterpret_cast<LPARAM>(&out));
}

bool afInstanceControl::sendData(HWND window, const void* data, size_t size) {
    COPYDATASTRUCT copy{};
    copy.dwData = 0;
    copy.cbData = static_cast<DWORD>(size);
    copy.lpData = const_cast<void*>(data);
    // A hung instance must not keep the new process waiting for ever.
    DWORD_PTR answer = 0;
    LRESULT sent = SendMessageTimeoutW(window, WM_COPYDATA, reinterpret_cast<WPARAM>(afApp::getInstanceHandle()),
                                       reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &answer);
    return sent != 0 && answer == 1;
}

void afInstanceControl::activateWindow(HWND window) {
    if (IsIconic(window))
        OpenIcon(window);
    SetForegroundWindow(window);
}

} // namespace corvel
