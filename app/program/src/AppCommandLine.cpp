// The command line: what a start names is opened, and a second start hands its line to
// the instance that runs.
#include "corvel/program/App.h"

#include "corvel/config/CommandLine.h"
#include "corvel/config/Environment.h"
#include "corvel/config/System.h"
#include "corvel/projects/ProjectManager.h"
#include "corvel/ui/afInstanceControl.h"
#include "corvel/workspace/FileManager.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"

#include <vector>

namespace corvel {

namespace {

// The running instance may still be starting: its main window appears within this.
constexpr DWORD WINDOW_WAIT_MS = 10000;
constexpr DWORD WINDOW_POLL_MS = 100;

std::vector<HWND> waitForMainWindows(afInstanceControl& control) {
    std::vector<HWND> windows;
    DWORD start = GetTickCount();
    for (;;) {
        control.findWindows(windows);
        if (!windows.empty() || GetTickCount() - start >= WINDOW_WAIT_MS)
            return windows;
        Sleep(WINDOW_POLL_MS);
    }
}

} // namespace

bool App::activateRunningInstance() {
    afInstanceControl* control = afInstanceControl::instance();
    if (!control || control->isFirstInstance())
        return false;
    std::vector<std::wstring> arguments;
    System::getCommandLine(m_ownCommandLine ? nullptr : m_commandLine.c_str(), arguments);
    std::wstring text;
    // Paths are made full through the devices; the user folder stays unmounted, so this
    // start writes nothing of the running instance's.
    setupEnvironment();
    CommandLine::buildHandOverText(arguments, text);
    shutdownEnvironment();
    for (HWND window : waitForMainWindows(*control)) {
        if (!control->sendData(window, text.c_str(), (text.size() + 1) * sizeof(wchar_t)))
            continue;
        m_handedOver = true;
        control->activateWindow(window);
    }
    return true;
}

void App::handleCommandLine(const wchar_t* text) {
    std::vector<std::wstring> arguments;
    const wchar_t* line = text ? text : (m_ownCommandLine ? nullptr : m_commandLine.c_str());
    System::getCommandLine(line, arguments);
    std::vector<CommandLineEntry> entries;
    CommandLine::parse(arguments, entries);
    for (const CommandLineEntry& entry : entries) {
        if (entry.index >= arguments.size())
            continue;
        const std::wstring& argument = arguments[entry.index];
        if (entry.id == CommandLineSwitch::PROJECT && m_projectManager) {
            m_projectManager->openProjectFile(argument);
            continue;
        }
        if (entry.id != CommandLineSwitch::PROJECT && m_fileManager) {
            m_fileManager->openPaths({argument});
            continue;
        }
        zem::logMessage(zem::LOG_INFO, zem::LOG_UNKNOWN_SOURCE, L"App: command line names %s '%s'\n",
                        entry.id == CommandLineSwitch::PROJECT ? L"project" : L"file", argument.c_str());
    }
}

} // namespace corvel
