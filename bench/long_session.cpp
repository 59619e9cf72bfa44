// One long editor session: the program starts as a user starts it (its own folder, a
// fresh user folder), then 1,000 documents of mixed sizes are each opened in a tab,
// edited, searched with a replace-all, undone once, saved and closed. Every 100 documents
// it prints the process's private memory and its USER and GDI object counts against the
// figures after the first document (the baseline of the same run): a session that holds
// steady comes back to them within a small bound (2 MB, 10 objects).
//
// The program copies itself into a temporary folder beside a start-up configuration
// and runs the session in that copy, as the shipped program would run.
#include "BenchClock.h"
#include "BenchFiles.h"
#include "corvel/app/MainWindow.h"
#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/DocumentControllerSearchSession.h"
#include "corvel/program/App.h"
#include "corvel/program/runProgram.h"
#include "corvel/ui/afDeferredDelete.h"
#include "corvel/workspace/FileManager.h"

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <string>

namespace {

constexpr int DOCUMENTS = 1000;
constexpr int REPORT_EVERY = 100;
const size_t SIZES[] = {400, 4000, 40000, 400000}; // bytes, in turn

std::wstring g_folder; // the copy's folder, ending in '\'

struct Figures {
    double privateMb = 0;
    long user = 0;
    bool userAreWindows = false; // the system does not count USER objects: windows instead
    long gdi = 0;
};

// The windows of this process, children included: what the system counts as USER objects
// where it does not count them itself (Wine's GetGuiResources answers 0).
BOOL CALLBACK countChild(HWND, LPARAM count) {
    ++*reinterpret_cast<long*>(count);
    return TRUE;
}
BOOL CALLBACK countOwnWindow(HWND hwnd, LPARAM count) {
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == GetCurrentProcessId()) {
        ++*reinterpret_cast<long*>(count);
        EnumChildWindows(hwnd, countChild, count);
    }
    return TRUE;
}

Figures measure() {
    Figures out;
    // The plain counters: the extended ones are refused here; PagefileUsage is the private
    // commit charge.
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
        out.privateMb = static_cast<double>(counters.PagefileUsage) / (1024.0 * 1024.0);
    out.user = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    if (out.user == 0) {
        out.userAreWindows = true;
        EnumWindows(countOwnWindow, reinterpret_cast<LPARAM>(&out.user));
    }
    out.gdi = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    return out;
}

void pump() {
    MSG msg;
    for (int i = 0; i < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        // As the program's own loop does after each message: closed tabs' editors go here.
        corvel::afDeferredDelete::flush();
    }
}

// Lines of words, one in twenty "needle" (what the replace-all finds).
std::string makeDocument(size_t bytes, uint32_t seed) {
    bench::Random random;
    for (uint32_t i = 0; i < seed % 97; ++i)
        random.next();
    static const char* const words[] = {"alpha", "beta", "gamma", "delta", "needle", "(x)", "{ y }", "caf\xC3\xA9"};
    std::string text;
    text.reserve(bytes + 64);
    while (text.size() < bytes) {
        uint32_t count = 1 + random.below(12);
        for (uint32_t i = 0; i < count; ++i) {
            text += random.below(20) == 0 ? "needle" : words[random.below(8)];
            text += ' ';
        }
        text += random.below(3) == 0 ? "\r\n" : "\n";
    }
    return text;
}

bool oneDocument(corvel::FileManager& files, const std::wstring& path) {
    corvel::FileManager::OpenResult opened = files.open(path.c_str());
    corvel::DocumentController* controller = opened.second;
    if (!controller)
        return false;
    pump();
    {
        corvel::EditBracket bracket(*controller, corvel::DocumentController::EDIT_WRITE);
        controller->insertString(L"edited in a long session\n");
    }
    {
        corvel::EditBracket bracket(*controller, corvel::DocumentController::EDIT_WRITE);
        corvel::ChangeBatchScope batch(*controller);
        corvel::DocumentControllerSearchSession* search = controller->getSearchSession();
        if (search->setFinder(L"needle", false, true, false)) {
            search->setReplacer(L"pin", false);
            search->replaceAll();
        }
    }
    controller->undo();
    pump();
    bool saved = files.save(controller);
    files.closeAll(nullptr);
    pump();
    return saved;
}

void print(const char* label, int done, const Figures& now, const Figures& base, double seconds) {
    std::printf("%-9s %5d documents %8.1f s | private %8.2f MB (%+7.2f) | %s %5ld (%+4ld) | GDI ", label, done, seconds,
                now.privateMb, now.privateMb - base.privateMb, now.userAreWindows ? "windows" : "USER", now.user,
                now.user - base.user);
    if (now.gdi == 0 && base.gdi == 0)
        std::printf("not counted here\n");
    else
        std::printf("%5ld (%+4ld)\n", now.gdi, now.gdi - base.gdi);
    std::fflush(stdout);
}

int runSession() {
    corvel::App* app = corvel::App::instance();
    corvel::FileManager* files = app ? app->getFileManager() : nullptr;
    if (!files) {
        std::printf("the program did not start\n");
        return 1;
    }
    const std::wstring docs = g_folder + L"docs\\";
    CreateDirectoryW(docs.c_str(), nullptr);
    for (int i = 0; i <= DOCUMENTS; ++i)
        bench::writeFile(docs + std::to_wstring(i) + L".txt", makeDocument(SIZES[i % 4], static_cast<uint32_t>(i)));
    for (int i = 0; i < 50; ++i)
        pump();
    // The first document warms what every later one reuses; the figures after it are the base.
    bench::Clock::time_point start = bench::Clock::now();
    int failed = oneDocument(*files, docs + L"0.txt") ? 0 : 1;
    const Figures base = measure();
    print("base", 1, base, base, bench::secondsSince(start));
    Figures last = base;
    for (int i = 1; i <= DOCUMENTS; ++i) {
        failed += oneDocument(*files, docs + std::to_wstring(i) + L".txt") ? 0 : 1;
        if (i % REPORT_EVERY == 0) {
            last = measure();
            print("after", i, last, base, bench::secondsSince(start));
        }
    }
    std::printf("growth over %d documents: private %+.2f MB, %s %+ld, GDI %+ld; %d documents failed\n", DOCUMENTS,
                last.privateMb - base.privateMb, last.userAreWindows ? "windows" : "USER", last.user - base.user, last.gdi - base.gdi, failed);
    std::fflush(stdout);
    return failed == 0 ? 0 : 1;
}

int g_result = 1;

// Runs once the program waits for input: the session happens inside its message loop.
void CALLBACK onStarted(HWND, UINT, UINT_PTR id, DWORD) {
    corvel::App* running = corvel::App::instance();
    if (!running || running->getState() != corvel::App::STATE_RUNNING)
        return;
    KillTimer(nullptr, id);
    try {
        g_result = runSession();
    } catch (...) {
        std::printf("the session threw\n");
        g_result = 1;
    }
    corvel::App* app = corvel::App::instance();
    if (app && app->getMainWindow())
        PostMessageW(app->getMainWindow()->getHandle(), WM_CLOSE, 0, 0);
    else
        PostQuitMessage(1);
}

std::wstring ownPath() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

std::wstring makeFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"corvel-long-session-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"config").c_str(), nullptr);
    CreateDirectoryW((folder + L"user").c_str(), nullptr);
    std::string user;
    for (wchar_t c : folder + L"user")
        user += c == L'\\' ? '/' : static_cast<char>(c);
    bench::writeFile(folder + L"config\\startup.cvConfig",
                     "{ version : '0 9 4 0' app.startup : { user_dir : '" + user + "' } }");
    return folder;
}

// Marks the copy that runs the session. Not an argument: the program takes every argument
// of its command line for a file to open.
const wchar_t SESSION_VARIABLE[] = L"CORVEL_LONG_SESSION_COPY";

// Runs the copy in the folder and waits for it; its exit code.
int runCopy(const std::wstring& folder) {
    std::wstring copy = folder + L"long_session.exe";
    if (!CreateHardLinkW(copy.c_str(), ownPath().c_str(), nullptr))
        CopyFileW(ownPath().c_str(), copy.c_str(), FALSE);
    SetEnvironmentVariableW(SESSION_VARIABLE, L"1");
    std::wstring line = L"\"" + copy + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(copy.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &startup,
                        &process)) {
        std::printf("cannot start the copy (%lu)\n", GetLastError());
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return static_cast<int>(code);
}

} // namespace

int main() {
    if (GetEnvironmentVariableW(SESSION_VARIABLE, nullptr, 0) > 0) {
        std::wstring self = ownPath();
        g_folder = self.substr(0, self.find_last_of(L'\\') + 1);
        SetTimer(nullptr, 0, 500, &onStarted);
        corvel::runProgram(GetModuleHandleW(nullptr), nullptr);
        return g_result;
    }
    std::printf("long session: %d documents of %zu to %zu bytes, each opened, edited, replaced in, undone, saved and "
                "closed\n",
                DOCUMENTS, SIZES[0], SIZES[3]);
    std::fflush(stdout);
    std::wstring folder = makeFolder();
    int code = runCopy(folder);
    bench::removeTree(folder.substr(0, folder.size() - 1));
    return code;
}
