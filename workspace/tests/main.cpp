// Test entry: the main thread is recorded first, as the program entry does.
#include "zem/thread/Thread.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    zem::recordMainThread();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
