#include "corvel/ui/afApp.h"

#include "zem/log/LogManager.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// In the dying child, what the user would see goes to stderr, where the parent reads it.
void noticeToStderr(const wchar_t* text, const wchar_t* caption) {
    fwprintf(stderr, L"[%ls] %ls\n", caption, text);
    fflush(stderr);
}

class StderrLog : public zem::LogListener {
public:
    void onLog(zem::LogMessage* record) override {
        fwprintf(stderr, L"log %d %08x %ls\n", record->level(), record->sourceId(), record->text());
        fflush(stderr);
    }
};

void panicWith(const wchar_t* method, const wchar_t* message) {
    static StderrLog log;
    zem::LogManager_Impl::instance().addListener(&log, false);
    corvel::afApp::setPanicNotice(&noticeToStderr);
    corvel::afApp::panic(method, message);
}

TEST(afAppPanicDeathTest, LogsShowsAndExitsWithOne) {
    EXPECT_EXIT(panicWith(L"afIcon::afIcon( resource constructor )", L"Cannot load image from a resource."),
                ::testing::ExitedWithCode(1),
                "log 1 629b9e5b APPLICATION PANIC: afIcon::afIcon\\( resource constructor \\): Cannot load image from "
                "a resource\\.\\s*\\[Application Panic\\] afIcon::afIcon\\( resource constructor \\): Cannot load "
                "image from a resource\\.");
}

TEST(afAppPanicDeathTest, MissingPartsGetDefaultWords) {
    EXPECT_EXIT(panicWith(nullptr, nullptr), ::testing::ExitedWithCode(1),
                "\\[Application Panic\\] NO_METHOD_SPECIFIED: NO_MESSAGE_SPECIFIED");
    EXPECT_EXIT(panicWith(L"m", nullptr), ::testing::ExitedWithCode(1),
                "\\[Application Panic\\] m: NO_MESSAGE_SPECIFIED");
}

TEST(afAppTest, InstanceHandleFallsBackToTheProgram) {
    EXPECT_EQ(GetModuleHandleW(nullptr), corvel::afApp::getInstanceHandle());
}

} // namespace
