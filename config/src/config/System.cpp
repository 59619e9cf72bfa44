#include "corvel/config/System.h"

#include "zem/log/LogManager.h"

#include <shellapi.h>
#include <windows.h>

namespace corvel {

namespace {

// Frees the argument array the system allocated.
struct ArgumentArray {
    LPWSTR* items;
    ~ArgumentArray() {
        if (items)
            LocalFree(items);
    }
};

} // namespace

bool System::getCommandLine(const wchar_t* commandLine, std::vector<std::wstring>& arguments) {
    if (!commandLine || !*commandLine)
        commandLine = GetCommandLineW();
    int count = 0;
    ArgumentArray split{CommandLineToArgvW(commandLine, &count)};
    if (!split.items) {
        zem::logMessage(zem::LOG_INFO, zem::LOG_UNKNOWN_SOURCE, L"System::getCommandLine: failed %d\n",
                        static_cast<int>(GetLastError()));
        arguments.push_back(L"corvel.exe");
        return false;
    }
    for (int i = 0; i < count; ++i)
        arguments.push_back(split.items[i]);
    return true;
}

} // namespace corvel
