// The framework's application object: the process's framework services live behind it,
// and panic is the one exit for inconsistencies the program cannot survive.
#pragma once
#include <windows.h>

namespace corvel {

class afApp {
public:
    virtual ~afApp() = default;
    // The application creates its managers and windows here; false aborts start-up.
    virtual bool onInit() = 0;
    // The application deletes what onInit created.
    virtual void onExit() = 0;

    // Logs "APPLICATION PANIC: method: message", shows the text to the user and ends the
    // process with exit code 1 at once: no destructor, no onExit, nothing saved.
    // Either argument may be null.
    [[noreturn]] static void panic(const wchar_t* method, const wchar_t* message);
    // Ends the process at once with exit code 1.
    [[noreturn]] static void exit();

    // The module whose resources and window classes the framework uses: the instance the
    // application named at start-up, or the program's own module until it does.
    static HINSTANCE getInstanceHandle();
    static void setInstanceHandle(HINSTANCE instance);

    // Test seam: how panic shows its text (default: a message box). The process still ends.
    typedef void (*PanicNotice)(const wchar_t* text, const wchar_t* caption);
    static void setPanicNotice(PanicNotice notice);
};

} // namespace corvel
