#include "corvel/ui/afApp.h"

#include "zem/log/LogManager.h"

#include <string>

namespace corvel {

namespace {

constexpr uint32_t FRAMEWORK_LOG_SOURCE = 0x629b9e5bu;

HINSTANCE g_instance = nullptr; // named by the application at start-up

void showPanicBox(const wchar_t* text, const wchar_t* caption) {
    MessageBoxW(nullptr, text, caption, MB_OK);
}

afApp::PanicNotice g_panicNotice = &showPanicBox;

} // namespace

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

HINSTANCE afApp::getInstanceHandle() {
    return g_instance ? g_instance : GetModuleHandleW(nullptr);
}

void afApp::setInstanceHandle(HINSTANCE instance) {
    g_instance = instance;
}

void afApp::setPanicNotice(PanicNotice notice) {
    g_panicNotice = notice ? notice : &showPanicBox;
}

} // namespace corvel
