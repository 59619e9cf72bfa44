// Runs one test of this test program in a child process with a time-out, for tests
// whose fault would hang or crash the whole program.
#pragma once
#include <windows.h>

#include <string>

namespace uitest {

// fullName: "Suite.DISABLED_Name"; the child runs only that test. The child's exit code
// (0 when it passed), or -1 when it could not start or ran out of time.
inline int runTestInChild(const std::string& fullName, DWORD timeoutMs = 60000) {
    wchar_t exe[MAX_PATH];
    if (!GetModuleFileNameW(nullptr, exe, MAX_PATH))
        return -1;
    std::wstring command = L"\"" + std::wstring(exe) + L"\" --gtest_also_run_disabled_tests --gtest_filter=" +
                           std::wstring(fullName.begin(), fullName.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    // The child's report would interleave with the parent's: only its exit code counts.
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

} // namespace uitest
