#include "zem/thread/FastLock.h"
#include "zem/base/Exception.h"
#include "zem/thread/Thread.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(FastLockTest, HasNoOwnerAndRefusesAFreeRelease) {
    zem::FastLock lock;
    lock.lock();
    EXPECT_FALSE(lock.tryLock(0));
    zem::Thread other;
    other.start([](void* l) { static_cast<zem::FastLock*>(l)->unlock(); }, &lock);
    other.join();
    EXPECT_TRUE(lock.tryLock(1000)) << "given back by another thread";
    lock.unlock();
    EXPECT_THROW(lock.unlock(), zem::AssertionViolationException);
    EXPECT_TRUE(lock.tryLock(0)) << "the refused release left the lock usable";
    lock.unlock();
}

struct Waiter {
    zem::FastLock* lock;
    HANDLE starting;
    HANDLE holding;
};

TEST(FastLockTest, AThreadBlockedInLockWakesWhenItIsGivenBack) {
    zem::FastLock lock;
    Waiter waiter{&lock, CreateEventW(nullptr, TRUE, FALSE, nullptr), CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    lock.lock();
    zem::Thread thread;
    thread.start(
        [](void* data) {
            Waiter* w = static_cast<Waiter*>(data);
            SetEvent(w->starting);
            w->lock->lock();
            SetEvent(w->holding);
        },
        &waiter);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(waiter.starting, 10000));
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(waiter.holding, 50)) << "held here";
    EXPECT_FALSE(lock.tryLock(20)) << "a try does not jump the queue while the lock is held";
    lock.unlock();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(waiter.holding, 10000));
    thread.join();
    EXPECT_FALSE(lock.tryLock(0)) << "the woken thread holds it";
    lock.unlock();
    EXPECT_TRUE(lock.tryLock(0));
    lock.unlock();
    CloseHandle(waiter.starting);
    CloseHandle(waiter.holding);
}

struct Counting {
    zem::FastLock lock;
    long counter = 0;
    long tries = 0;
};

TEST(FastLockTest, ExcludesEveryOtherHolder) {
    const int ROUNDS = 20000;
    Counting shared;
    auto blocking = [](void* data) {
        Counting* c = static_cast<Counting*>(data);
        for (int i = 0; i < ROUNDS; ++i) {
            c->lock.lock();
            c->counter = c->counter + 1;
            c->lock.unlock();
        }
    };
    auto trying = [](void* data) {
        Counting* c = static_cast<Counting*>(data);
        for (int i = 0; i < ROUNDS;) {
            if (!c->lock.tryLock(1000))
                continue;
            c->counter = c->counter + 1;
            ++c->tries;
            ++i;
            c->lock.unlock();
        }
    };
    zem::Thread threads[4];
    threads[0].start(blocking, &shared);
    threads[1].start(trying, &shared);
    threads[2].start(blocking, &shared);
    threads[3].start(trying, &shared);
    for (zem::Thread& thread : threads)
        thread.join();
    EXPECT_EQ(4L * ROUNDS, shared.counter);
    EXPECT_EQ(2L * ROUNDS, shared.tries);
}

} // namespace
