// What the main window asks of the application above it: the shell library cannot see
// the program's managers (files, projects, updates), so the window calls up through
// this interface and the application object implements it.
#pragma once

namespace corvel {

class MainWindowHost {
public:
    virtual ~MainWindowHost() = default;

    // A command line handed over by a second start, as sent without its NUL.
    virtual void handleCommandLine(const wchar_t* text) = 0;
    // The update check; manual when the user asked for it.
    virtual void checkForUpdates(bool manual) = 0;
    // Every open document view follows the window into or out of distraction-free mode.
    virtual void setDocumentsDistractionFree(bool on) = 0;
};

} // namespace corvel
