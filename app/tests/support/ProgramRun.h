// Whole starts of the real program in a child process: corvel.exe copied into a fresh
// folder beside a start-up configuration that names a user folder of its own, so a run
// touches nothing outside that folder.
#pragma once
#include "../../../bench/BenchFiles.h"
#include "support/TempFolder.h"
#include "support/TestWidgets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>
#include <windows.h>

namespace apptest {

inline std::wstring programFolder() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path, length);
    return text.substr(0, text.find_last_of(L'\\') + 1);
}

inline std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += static_cast<char>(c);
    return out;
}

struct WindowSearch {
    DWORD process;
    const wchar_t* className; // null: any
    std::vector<HWND> found;
};

inline BOOL CALLBACK collectWindow(HWND window, LPARAM data) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process)
        return TRUE;
    wchar_t name[200] = L"";
    GetClassNameW(window, name, 200);
    if (!search->className || wcscmp(name, search->className) == 0)
        search->found.push_back(window);
    return TRUE;
}

inline std::wstring windowText(HWND window) {
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return text;
}

// One copy of the program in its own folder; the user folder is "<folder>user\".
class ProgramCopy {
public:
    ProgramCopy() {
        m_folder = zemtest::makeTempFolder(L"corvel");
        if (m_folder.empty())
            return;
        std::wstring program = programFolder() + L"corvel.exe";
        std::wstring copy = m_folder + L"corvel.exe";
        // The program is large (debug information); a link is enough where one can be made.
        if (!CreateHardLinkW(copy.c_str(), program.c_str(), nullptr))
            CopyFileW(program.c_str(), copy.c_str(), FALSE);
        CreateDirectoryW((m_folder + L"config").c_str(), nullptr);
        CreateDirectoryW((m_folder + L"user").c_str(), nullptr);
        setUserFolder(m_folder + L"user");
    }
    ~ProgramCopy() {
        for (PROCESS_INFORMATION& run : m_runs) {
            if (WaitForSingleObject(run.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(run.hProcess, 99);
            WaitForSingleObject(run.hProcess, 5000);
            CloseHandle(run.hProcess);
            CloseHandle(run.hThread);
        }
        zemtest::removeTree(m_folder);
    }
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    void setUserFolder(std::wstring folder) {
        std::replace(folder.begin(), folder.end(), L'\\', L'/');
        zemtest::writeNativeFile(m_folder + L"config\\startup.cvConfig",
                                 "{ version : '0 9 4 0' app.startup : { user_dir : '" + narrow(folder) + "' } }");
    }

    // The bundles shipped beside the test programs, copied beside this copy of the program.
    void addShippedBundles() { bench::copyTreeNative(programFolder() + L"bundles", m_folder + L"bundles"); }

    const std::wstring& folder() const { return m_folder; }
    std::wstring userFile(const std::wstring& name) const { return m_folder + L"user\\" + name; }

    // Starts the copy with the arguments; the index of the run, or -1.
    int start(const std::wstring& arguments = std::wstring()) {
        std::wstring line = L"\"" + m_folder + L"corvel.exe\"";
        if (!arguments.empty())
            line += L" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION run{};
        if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, m_folder.c_str(), &startup, &run))
            return -1;
        m_runs.push_back(run);
        return static_cast<int>(m_runs.size()) - 1;
    }

    DWORD processId(int run) const { return m_runs[run].dwProcessId; }

    // The first top-level window of the run with the class, within the time; null if none.
    HWND waitForWindow(int run, const wchar_t* className, DWORD timeoutMs = 20000) {
        WindowSearch search{processId(run), className, {}};
        uitest::pumpUntil(
            [&] {
                search.found.clear();
                EnumWindows(&collectWindow, reinterpret_cast<LPARAM>(&search));
                return !search.found.empty();
            },
            timeoutMs);
        return search.found.empty() ? nullptr : search.found[0];
    }

    // The exit code, or STILL_ACTIVE when the run did not end within the time.
    DWORD waitForExit(int run, DWORD timeoutMs = 20000) {
        HANDLE process = m_runs[run].hProcess;
        uitest::pumpUntil([&] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, timeoutMs);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process, &code);
        return code;
    }

private:
    std::wstring m_folder;
    std::vector<PROCESS_INFORMATION> m_runs;
};

} // namespace apptest
