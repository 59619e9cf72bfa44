// Test entry: the main thread is recorded first and OLE is started, as the framework's
// start-up does.
#include "zem/thread/Thread.h"

#include <gtest/gtest.h>
#include <ole2.h>

int main(int argc, char** argv) {
    zem::recordMainThread();
    OleInitialize(nullptr);
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
