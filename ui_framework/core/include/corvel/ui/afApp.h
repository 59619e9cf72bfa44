// The framework's application object: the process's framework services are created
// behind it, every message of the GUI thread enters the system through it, and panic is
// the one exit for inconsistencies the program cannot survive. The application shell
// derives from it and fills in onInit and onExit.
#pragma once
#include <memory>
#include <windows.h>

namespace zem {
class MessageRegistry;
}

namespace corvel {

class afIActionRegistry;
class afIClipboard;
class afIKeyInvoker;
class afIWidgetKit;
class afUnicodeFontManager;
class afWindow;

class afApp {
public:
    afApp();
    virtual ~afApp();
    afApp(const afApp&) = delete;
    afApp& operator=(const afApp&) = delete;

    // The application creates its managers and windows here; false aborts start-up.
    virtual bool onInit() = 0;
    // The application deletes what onInit created.
    virtual void onExit() = 0;

    // Starts the framework for app: instance handle, OLE, the application pointer,
    // common controls, image pack, resources, font manager, message registry, and the
    // widget kit's clipboard, action registry and key invoker; then onInit. On false
    // everything this call made is undone again and the caller keeps app.
    static bool initialize(afApp* app, HINSTANCE instance);
    // The main loop; the exit code posted with PostQuitMessage.
    static int run(afApp* app);
    // True when the message was consumed and must be neither translated nor dispatched.
    static bool preTranslateMessage(MSG* message, afApp* app);
    // Drains the queue once; a WM_QUIT stops the draining and is posted again.
    static void processMessages(afApp* app);
    // onExit, then the services in reverse order, the application object, OLE.
    static void shutdown();

    // Logs "APPLICATION PANIC: method: message", shows the text to the user and ends the
    // process with exit code 1 at once: no destructor, no onExit, nothing saved.
    // Either argument may be null.
    [[noreturn]] static void panic(const wchar_t* method, const wchar_t* message);
    // Ends the process at once with exit code 1.
    [[noreturn]] static void exit();

    static afApp* getInstance();
    // The module whose resources and window classes the framework uses: the instance the
    // application named at start-up, or the program's own module until it does.
    static HINSTANCE getInstanceHandle();
    static void setInstanceHandle(HINSTANCE instance);
    static afIKeyInvoker* getKeyInvoker();
    static afIActionRegistry* getActionRegistry();
    static afIClipboard* getClipboard();
    static afUnicodeFontManager* getFontManager();

    // What the widgets library supplies (not owned); set before initialize.
    static void setWidgetKit(afIWidgetKit* kit);
    static afIWidgetKit* getWidgetKit();

    // Test seam: how panic shows its text (default: a message box). The process still ends.
    typedef void (*PanicNotice)(const wchar_t* text, const wchar_t* caption);
    static void setPanicNotice(PanicNotice notice);

    // Set and read by the application subclass only.
    afWindow* m_mainWindow = nullptr;
    void* m_appWord = nullptr;

private:
    // Services, created by initialize and deleted by shutdown.
    afIKeyInvoker* m_keyInvoker = nullptr;
    zem::MessageRegistry* m_messageRegistry = nullptr;
    afIClipboard* m_clipboard = nullptr;
    afIActionRegistry* m_actionRegistry = nullptr;
    afUnicodeFontManager* m_fontManager = nullptr; // a copy of the singleton's pointer

    static void destroyServices(afApp* app);
    static void pump(afApp* app, MSG& msg);
};

} // namespace corvel
