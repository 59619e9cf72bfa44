#include "zem/base/Exception.h"
#include "zem/thread/Semaphore.h"
#include "zem/thread/Thread.h"

#include <gtest/gtest.h>

namespace {

TEST(SemaphoreTest, ResultCodesWithoutWaiting) {
    zem::Semaphore empty(0, 2);
    EXPECT_EQ(1, empty.tryWait());
    EXPECT_EQ(2, empty.wait(0));
    empty.release();
    EXPECT_EQ(0, empty.tryWait());
    empty.release();
    EXPECT_EQ(0, empty.wait(10000));
}

TEST(SemaphoreTest, ReleaseBeyondMaximumIsAnAssertion) {
    zem::LegacyMutex mutex;
    mutex.lock();
    mutex.unlock();
    EXPECT_THROW(mutex.unlock(), zem::AssertionViolationException);
}

TEST(SemaphoreTest, LegacyMutexHasNoOwner) {
    zem::LegacyMutex mutex;
    mutex.lock();
    EXPECT_EQ(zem::WAIT_TIMED_OUT, mutex.tryLock(0));
    zem::Thread other;
    other.start([](void* m) { static_cast<zem::LegacyMutex*>(m)->unlock(); }, &mutex);
    other.join();
    EXPECT_EQ(zem::WAIT_OK, mutex.tryLock(1000));
    mutex.unlock();
}

TEST(SemaphoreTest, WaitForAnyReportsTheSignalledHandle) {
    zem::Semaphore a(0, 1), b(1, 1);
    HANDLE handles[] = {a.handle(), b.handle()};
    int index = 99;
    EXPECT_EQ(0, zem::waitForAny(handles, 2, index));
    EXPECT_EQ(1, index);
    EXPECT_EQ(1, zem::waitForAny(handles, 0, index));
    EXPECT_EQ(-1, index);
}

} // namespace
