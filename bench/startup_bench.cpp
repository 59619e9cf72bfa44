// Start-up time of corvel.exe: five starts with a fresh user folder each, timed from
// process creation until the main window is shown and the program waits for input; then
// it is closed. The baseline is this program started as a minimal window program the
// same way. Prints the medians and their ratio.
#include "BenchFiles.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <string>
#include <vector>
#include <windows.h>

namespace {

const wchar_t MINIMAL_CLASS[] = L"StartupBenchMinimal";
const wchar_t MAIN_CLASS[] = L"Corvel35WindowClass";
constexpr int RUNS = 5;

LRESULT CALLBACK minimalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int runMinimal(HINSTANCE instance) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &minimalProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = MINIMAL_CLASS;
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, MINIMAL_CLASS, L"Minimal", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 32, 32, 700,
                                  433, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

std::wstring folderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::wstring ownPath() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

struct Search {
    DWORD process;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK findVisible(HWND window, LPARAM data) {
    Search* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    if (owner == search->process && wcscmp(name, search->className) == 0 && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds until the window is shown and the program idles; -1 when it never was.
double timeStart(const std::wstring& program, const std::wstring& folder, const wchar_t* arguments,
                 const wchar_t* className) {
    std::wstring line = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION run{};
    auto begin = std::chrono::steady_clock::now();
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &run))
        return -1;
    Search search{run.dwProcessId, className, nullptr};
    for (int i = 0; i < 4000 && !search.found; ++i) {
        EnumWindows(&findVisible, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            Sleep(5);
    }
    WaitForInputIdle(run.hProcess, 20000);
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
    if (search.found)
        PostMessageW(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(run.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(run.hProcess, 1);
    CloseHandle(run.hProcess);
    CloseHandle(run.hThread);
    return search.found ? ms : -1;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--minimal")
        return runMinimal(GetModuleHandleW(nullptr));

    std::wstring build = folderOf(folderOf(ownPath()).substr(0, folderOf(ownPath()).size() - 1));
    std::wstring program = build + L"app\\corvel.exe";
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"corvel-startup-bench-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring copy = folder + L"\\corvel.exe";
    if (!CreateHardLinkW(copy.c_str(), program.c_str(), nullptr) && !CopyFileW(program.c_str(), copy.c_str(), FALSE)) {
        std::printf("cannot copy %ls\n", program.c_str());
        return 1;
    }
    bench::copyTreeNative(build + L"app\\bundles", folder + L"\\bundles");
    CreateDirectoryW((folder + L"\\config").c_str(), nullptr);

    std::vector<double> corvel;
    std::vector<double> minimal;
    for (int i = 0; i < RUNS; ++i) {
        // A fresh user folder each time: the first start of a new user.
        std::wstring user = folder + L"\\user" + std::to_wstring(i);
        CreateDirectoryW(user.c_str(), nullptr);
        std::string forward(user.begin(), user.end());
        std::replace(forward.begin(), forward.end(), '\\', '/');
        bench::writeFile(folder + L"\\config\\startup.cvConfig",
                  "{ version : '0 9 4 0' app.startup : { user_dir : '" + forward + "' } }");
        corvel.push_back(timeStart(copy, folder, L"", MAIN_CLASS));
        minimal.push_back(timeStart(ownPath(), folder, L"--minimal", MINIMAL_CLASS));
    }
    for (int i = 0; i < RUNS; ++i)
        std::printf("run %d: corvel %.1f ms, minimal window program %.1f ms\n", i + 1, corvel[i], minimal[i]);
    bench::removeTree(folder);
    double a = median(corvel);
    double b = median(minimal);
    std::printf("median start until shown and idle: corvel %.1f ms, minimal window program %.1f ms, ratio %.2f\n", a, b,
                b > 0 ? a / b : 0.0);
    return 0;
}
