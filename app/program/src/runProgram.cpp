#include "corvel/program/runProgram.h"

#include "StartupTables.h"
#include "corvel/program/App.h"
#include "corvel/ui/afInstanceControl.h"
#include "corvel/widgets/afStandardWidgetKit.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"
#include "zem/thread/Thread.h"

#include <memory>
#include <oniguruma.h>

namespace corvel {

namespace {

const wchar_t STARTUP_CAPTION[] = L"Corvel startup";

void tellUser(const wchar_t* text) {
    MessageBoxW(nullptr, text, STARTUP_CAPTION, MB_OK | MB_ICONERROR);
}

int startAndRun(HINSTANCE instance, const wchar_t* commandLine) {
    afStandardWidgetKit kit;
    afApp::setWidgetKit(&kit);
    std::unique_ptr<App> app(new App(commandLine));
    App* running = app.get();
    if (!afApp::initialize(running, instance)) {
        afApp::setWidgetKit(nullptr);
        if (running->getState() == App::STATE_STARTING && afInstanceControl::instance() &&
            !afInstanceControl::instance()->isFirstInstance()) {
            if (running->handedOver())
                return 0;
            tellUser(L"Corvel is already running but did not answer.");
            return 1;
        }
        tellUser(L"Corvel could not start: its user folder or settings cannot be used.");
        return 1;
    }
    // From here the framework owns the application object and deletes it at shutdown.
    app.release();
    int code = afApp::run(running);
    afApp::shutdown();
    afApp::setWidgetKit(nullptr);
    return code;
}

} // namespace

int runProgram(HINSTANCE instance, const wchar_t* commandLine) {
    zem::recordMainThread();
    StartupTables tables;
    std::unique_ptr<afInstanceControl> control;
    if (!afInstanceControl::instance())
        control.reset(new afInstanceControl());
    int code;
    try {
        code = startAndRun(instance, commandLine);
    } catch (zem::Exception& e) {
        std::wstring text = e.message();
        afApp::panic(L"runProgram", text.c_str());
    } catch (std::exception& e) {
        zem::logMessage(zem::LOG_CRITICAL, zem::LOG_UNKNOWN_SOURCE, L"APPLICATION PANIC: %S\n", e.what());
        afApp::panic(L"runProgram", L"Unexpected failure.");
    }
    control.reset();
    onig_end();
    return code;
}

} // namespace corvel
