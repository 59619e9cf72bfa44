// Test entry: the main thread is recorded first, OLE is started and the common controls
// are registered, as the framework's start-up does.
#include "zem/thread/Thread.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include <commctrl.h>

int main(int argc, char** argv) {
    zem::recordMainThread();
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_USEREX_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
