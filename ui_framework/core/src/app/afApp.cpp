#include "corvel/ui/afApp.h"

#include "corvel/ui/ImagePack.h"
#include "corvel/ui/afDeferredDelete.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afUnicodeFontManager.h"
#include "corvel/ui/afViewPlatform.h"
#include "corvel/ui/afWidgetKit.h"
#include "zem/log/LogManager.h"
#include "zem/thread/MessageRegistry.h"

#include <commctrl.h>
#include <ole2.h>
#include <string>

namespace corvel {

namespace {

constexpr uint32_t FRAMEWORK_LOG_SOURCE = 0x629b9e5bu;
constexpr uint32_t PROCESS_MESSAGES_LOG_SOURCE = 0x891542dau;
constexpr DWORD WHEEL_SEND_TIMEOUT_MS = 1000;

HINSTANCE g_instance = nullptr; // named by the application at start-up
afApp* g_app = nullptr;         // between initialize and shutdown
afIWidgetKit* g_kit = nullptr;  // not owned

void showPanicBox(const wchar_t* text, const wchar_t* caption) {
    MessageBoxW(nullptr, text, caption, MB_OK);
}

afApp::PanicNotice g_panicNotice = &showPanicBox;

} // namespace

afApp::afApp() = default;
afApp::~afApp() = default;

void afApp::panic(const wchar_t* method, const wchar_t* message) {
    std::wstring text = method ? method : L"NO_METHOD_SPECIFIED";
    text += L": ";
    text += message ? message : L"NO_MESSAGE_SPECIFIED";
    zem::logMessage(1, FRAMEWORK_LOG_SOURCE, L"APPLICATION PANIC: %s\n", text.c_str());
    g_panicNotice(text.c_str(), L"Application Panic");
    ExitProcess(1);
}

void afApp::exit() {
    ExitProcess(1);
}

afApp* afApp::getInstance() {
    return g_app;
}

HINSTANCE afApp::getInstanceHandle() {
    return g_instance ? g_instance : GetModuleHandleW(nullptr);
}

void afApp::setInstanceHandle(HINSTANCE instance) {
    g_instance = instance;
}

afIKeyInvoker* afApp::getKeyInvoker() {
    return g_app ? g_app->m_keyInvoker : nullptr;
}

afIActionRegistry* afApp::getActionRegistry() {
    return g_app ? g_app->m_actionRegistry : nullptr;
}

afIClipboard* afApp::getClipboard() {
    return g_app ? g_app->m_clipboard : nullptr;
}

afUnicodeFontManager* afApp::getFontManager() {
    return g_app ? g_app->m_fontManager : nullptr;
}

void afApp::setWidgetKit(afIWidgetKit* kit) {
    g_kit = kit;
}

afIWidgetKit* afApp::getWidgetKit() {
    return g_kit;
}

void afApp::setPanicNotice(PanicNotice notice) {
    g_panicNotice = notice ? notice : &showPanicBox;
}

bool afApp::initialize(afApp* app, HINSTANCE instance) {
    g_instance = instance;
    HRESULT ole = OleInitialize(nullptr);
    if (FAILED(ole))
        return false;
    if (g_app || !app) {
        OleUninitialize();
        return false;
    }
    g_app = app;
    InitCommonControls();
    bool madeImagePack = !ImagePack::instance();
    if (madeImagePack)
        ImagePack::load();
    bool madeResources = !afResources::exists();
    if (madeResources)
        afResources::create();
    app->m_fontManager = afUnicodeFontManager::instance();
    app->m_messageRegistry = new zem::MessageRegistry();
    if (g_kit) {
        app->m_clipboard = g_kit->createClipboard().release();
        app->m_actionRegistry = g_kit->createActionRegistry().release();
        if (app->m_actionRegistry)
            app->m_keyInvoker = g_kit->createKeyInvoker(*app->m_actionRegistry).release();
        if (app->m_actionRegistry && app->m_keyInvoker) {
            app->m_actionRegistry->addInvoker(app->m_keyInvoker, afIActionRegistry::EVENT_KEY);
            app->m_actionRegistry->addInvoker(app->m_keyInvoker, afIActionRegistry::EVENT_CHAR);
        }
    }
    if (app->onInit())
        return true;
    // A refused start-up leaves nothing behind: the caller keeps its object and the
    // process can start again.
    destroyServices(app);
    if (madeResources)
        afResources::destroy();
    if (madeImagePack)
        ImagePack::release();
    g_app = nullptr;
    OleUninitialize();
    return false;
}

void afApp::destroyServices(afApp* app) {
    if (app->m_actionRegistry && app->m_keyInvoker)
        app->m_actionRegistry->removeInvoker(app->m_keyInvoker);
    delete app->m_keyInvoker;
    app->m_keyInvoker = nullptr;
    delete app->m_actionRegistry;
    app->m_actionRegistry = nullptr;
    delete app->m_messageRegistry;
    app->m_messageRegistry = nullptr;
    delete app->m_clipboard;
    app->m_clipboard = nullptr;
    afUnicodeFontManager::destroy();
    app->m_fontManager = nullptr;
}

void afApp::shutdown() {
    afApp* app = g_app;
    if (app) {
        // Retired views go while the managers they were bound to still exist.
        afDeferredDelete::flush();
        app->onExit();
        destroyServices(app);
        afResources::destroy();
        ImagePack::release();
        delete app;
        g_app = nullptr;
    }
    OleUninitialize();
}

void afApp::pump(afApp* app, MSG& msg) {
    if (preTranslateMessage(&msg, app))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

int afApp::run(afApp* app) {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        pump(app, msg);
        // Nothing of a handler is left on the stack here.
        afDeferredDelete::flush();
    }
    return static_cast<int>(msg.wParam);
}

void afApp::processMessages(afApp* app) {
    MSG msg;
    int count = 0;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ++count;
        if (msg.message == WM_QUIT) {
            // The loop that owns the quit must still see it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        pump(app, msg);
    }
    zem::logMessage(1, PROCESS_MESSAGES_LOG_SOURCE, L"afApp::processMessages: Processed %d messages.", count);
}

bool afApp::preTranslateMessage(MSG* message, afApp* app) {
    if (message->message == WM_MOUSEWHEEL) {
        POINT point{static_cast<short>(LOWORD(message->lParam)), static_cast<short>(HIWORD(message->lParam))};
        if (HWND under = WindowFromPoint(point)) {
            // A hung program under the pointer must not freeze the editor.
            if (GetWindowThreadProcessId(under, nullptr) == GetCurrentThreadId()) {
                SendMessageW(under, message->message, message->wParam, message->lParam);
            } else {
                DWORD_PTR ignored = 0;
                SendMessageTimeoutW(under, message->message, message->wParam, message->lParam, SMTO_ABORTIFHUNG,
                                    WHEEL_SEND_TIMEOUT_MS, &ignored);
            }
            return true;
        }
    }
    afViewPlatform* target = afViewPlatform::viewFromHandle(message->hwnd);
    afIKeyInvoker* invoker = app ? app->m_keyInvoker : nullptr;
    if (invoker && invoker->preTranslateMessage(target, *message))
        return true;
    // The desktop holds no framework view: each property read is a trip to the window system.
    static const HWND desktop = GetDesktopWindow();
    for (HWND hwnd = message->hwnd; hwnd && hwnd != desktop; hwnd = GetAncestor(hwnd, GA_PARENT)) {
        afViewPlatform* view = hwnd == message->hwnd ? target : afViewPlatform::viewFromHandle(hwnd);
        if (view && view->preTranslate(message))
            return true;
    }
    return false;
}

} // namespace corvel
