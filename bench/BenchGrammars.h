// The shipped grammars compiled the way the program compiles them at start-up, for the
// benchmarks that type into highlighted documents, and a generated C text to type into.
#pragma once
#include "BenchEditor.h"
#include "corvel/bundles/BundleManager.h"
#include "corvel/bundles/LanguageManager.h"
#include "corvel/config/BgScheduler.h"
#include "corvel/config/Config.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/document/GrammarRegistry.h"
#include "corvel/document/ParserJob.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"

#include <windows.h>

#include <memory>
#include <string>

namespace bench {

// The bundles the build copies beside the program (build\app\bundles) on "root", an empty
// user folder on "user"; compiled into the registry before the constructor returns.
class ShippedGrammars {
public:
    explicit ShippedGrammars(corvel::GrammarRegistry& registry) {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring build = path;
        build = build.substr(0, build.find_last_of(L'\\'));
        build = build.substr(0, build.find_last_of(L'\\') + 1);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_userDir = std::wstring(temp) + L"bench-grammars-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(m_userDir.c_str(), nullptr);
        m_root.reset(new zem::FileDeviceWin32((build + L"app\\").c_str()));
        m_user.reset(new zem::FileDeviceWin32(m_userDir.c_str()));
        zem::fileAttachDevice(m_root.get(), L"root", 200);
        zem::fileAttachDevice(m_user.get(), L"user", 200);
        m_bundles.reset(new corvel::BundleManager());
        m_bundles->onConfigReady(m_config);
        m_languages = new corvel::LanguageManager(*m_bundles, registry); // owned by the bundle manager
        m_languages->onConfigReady(m_config);
        m_bundles->onLoadEnd.add([](void* self, corvel::BundleManager*, bool) { *static_cast<bool*>(self) = true; },
                                 &m_loaded);
        m_bundles->load();
        const DWORD start = GetTickCount();
        while ((!m_loaded || m_languages->isCompiling()) && GetTickCount() - start < 120000) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
        }
    }
    ~ShippedGrammars() {
        m_bundles.reset();
        zem::fileDetachDevice(L"root");
        zem::fileDetachDevice(L"user");
        std::wstring command = L"cmd /c rmdir /s /q \"" + m_userDir + L"\"";
        _wsystem(command.c_str());
    }

private:
    corvel::Config m_config;
    std::wstring m_userDir;
    std::unique_ptr<zem::FileDeviceWin32> m_root;
    std::unique_ptr<zem::FileDeviceWin32> m_user;
    std::unique_ptr<corvel::BundleManager> m_bundles;
    corvel::LanguageManager* m_languages = nullptr;
    bool m_loaded = false;
};

// Starts the parse workers the program starts with its settings.
inline void startParsers(corvel::DocumentManager& documents) {
    if (corvel::BgScheduler* scheduler = documents.getParserScheduler())
        scheduler->setWorkerCount(corvel::BgScheduler::defaultWorkerCount(0));
}

// Whether the document's parse job has nothing left to parse or to report.
inline bool parsed(const corvel::ParserJob* job) {
    return !job || (job->state() == corvel::BgJob::STATE_IDLE && job->messageCount() == 0);
}

// Pumps until the job has parsed and reported what an edit changed and the window has
// painted all of it; without a job, until the window has painted.
inline void pumpUntilSettled(HWND hwnd, const corvel::ParserJob* job) {
    for (;;) {
        const bool done = parsed(job);
        pumpUntilPainted(hwnd);
        if (done)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
}

// At least `units` UTF-16 units of C: functions with comments, strings, preprocessor lines
// and nested blocks, numbered so that no two are alike.
inline std::wstring makeCText(size_t units) {
    std::wstring text;
    text.reserve(units + 1024);
    for (unsigned n = 0; text.size() < units; ++n) {
        const std::wstring id = std::to_wstring(n);
        text += L"/* Part " + id + L" of the generated source: a comment over\n   two lines */\n";
        text += L"#define LIMIT_" + id + L" (" + id + L" * 4 + 0x1F)\n";
        text += L"static const char *label_" + id + L" = \"part " + id + L" \\\"quoted\\\"\\n\";\n\n";
        text += L"int part_" + id + L"(const int *values, int count) {\n";
        text += L"    int sum = 0; // the running sum\n";
        text += L"    for (int i = 0; i < count && i < LIMIT_" + id + L"; ++i) {\n";
        text += L"        if (values[i] > 'a' || (i % 3) == 0)\n";
        text += L"            sum += values[i] * 2.5e3;\n";
        text += L"        else\n            sum -= values[i];\n    }\n    return sum;\n}\n\n";
    }
    return text;
}

} // namespace bench
