#include "support/TestWindow.h"
#include "zem/base/Exception.h"
#include "zem/thread/MessageRegistry.h"
#include "zem/thread/Thread.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

class Recorder : public zem::MessageListener {
public:
    std::vector<std::vector<uintptr_t>> received; // empty entry: no payload
    void onMessage(const zem::MessagePayload* payload) override {
        if (!payload) {
            received.push_back({});
            return;
        }
        received.push_back({payload->words[0], payload->words[1], payload->words[2]});
    }
};

class MessageRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, window.handle()) << "windows need a display (run under Xvfb)";
        registry = std::make_unique<zem::MessageRegistry>();
        ASSERT_EQ(registry.get(), zem::MessageRegistry::instance());
    }
    void TearDown() override {
        if (registry && registry->isActive())
            registry->shutdown();
        registry.reset();
    }

    zemtest::TestWindow window;
    std::unique_ptr<zem::MessageRegistry> registry;
};

TEST_F(MessageRegistryTest, PostBeforeInitFailsAndCountsNothing) {
    Recorder listener;
    zem::MessagePayload p{{1, 2, 3}};
    EXPECT_FALSE(listener.post(&p));
    EXPECT_EQ(0, listener.instance()->count.value());
    EXPECT_EQ(0u, registry->payloadRecordsInUse());
}

TEST_F(MessageRegistryTest, DeliversPayloadsInOrderAndNullWithout) {
    registry->init(window.handle());
    Recorder listener;
    zem::MessagePayload a{{1, 2, 3}}, b{{4, 5, 6}};
    ASSERT_TRUE(listener.post(&a));
    ASSERT_TRUE(listener.post(nullptr));
    ASSERT_TRUE(listener.post(&b));
    ASSERT_TRUE(window.pumpUntil([&] { return listener.received.size() == 3; }));
    EXPECT_EQ((std::vector<uintptr_t>{1, 2, 3}), listener.received[0]);
    EXPECT_TRUE(listener.received[1].empty());
    EXPECT_EQ((std::vector<uintptr_t>{4, 5, 6}), listener.received[2]);
    EXPECT_EQ(0, listener.instance()->count.value());
    EXPECT_EQ(0u, registry->payloadRecordsInUse());
}

TEST_F(MessageRegistryTest, ListenerGoneWithMessagesQueued) {
    registry->init(window.handle());
    size_t before = registry->listenerInstanceCount();
    auto listener = std::make_unique<Recorder>();
    zem::MessagePayload p{{7, 8, 9}};
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(listener->post(&p));
    EXPECT_EQ(3u, registry->payloadRecordsInUse());
    listener.reset();
    // The instance stays until the last of its messages has arrived.
    EXPECT_EQ(before + 1, registry->listenerInstanceCount());
    ASSERT_TRUE(window.pumpUntil([&] { return registry->listenerInstanceCount() == before; }));
    EXPECT_EQ(0u, registry->payloadRecordsInUse());
}

TEST_F(MessageRegistryTest, SecondInitIsAnAssertion) {
    registry->init(window.handle());
    EXPECT_THROW(registry->init(window.handle()), zem::AssertionViolationException);
}

TEST_F(MessageRegistryTest, OtherMessagesReachThePreviousProcedure) {
    registry->init(window.handle());
    SetWindowTextW(window.handle(), L"renamed");
    wchar_t title[32] = {};
    GetWindowTextW(window.handle(), title, 32);
    EXPECT_STREQ(L"renamed", title);
}

TEST_F(MessageRegistryTest, WorkersPostToTheMainThread) {
    registry->init(window.handle());
    struct Counter : zem::MessageListener {
        int delivered = 0;
        bool onMainThread = true;
        void onMessage(const zem::MessagePayload*) override {
            ++delivered;
            onMainThread = onMainThread && zem::is_main_thread();
        }
    } counter;
    std::vector<std::unique_ptr<zem::Thread>> workers;
    for (int t = 0; t < 4; ++t) {
        workers.push_back(std::make_unique<zem::Thread>());
        workers.back()->start(
            [](void* p) {
                zem::MessagePayload payload{{1, 0, 0}};
                DWORD deadline = GetTickCount() + 10000;
                for (int i = 0; i < 100; ++i) {
                    // A full queue: try again, but not for ever.
                    while (!static_cast<Counter*>(p)->post(&payload) && GetTickCount() < deadline)
                        Sleep(1);
                }
            },
            &counter);
    }
    for (auto& w : workers)
        w->join();
    ASSERT_TRUE(window.pumpUntil([&] { return counter.delivered == 400; }));
    EXPECT_TRUE(counter.onMainThread);
}

TEST_F(MessageRegistryTest, ShutdownDropsEverythingSafely) {
    registry->init(window.handle());
    Recorder kept;
    auto removedLater = std::make_unique<Recorder>();
    zem::MessagePayload p{{1, 1, 1}};
    ASSERT_TRUE(kept.post(&p));
    registry->shutdown();
    EXPECT_FALSE(kept.post(&p));
    removedLater.reset(); // removal after shutdown must not touch the freed instance
    window.drain();       // the queued message now reaches the previous procedure untouched
    EXPECT_TRUE(kept.received.empty());
    Recorder late; // a listener made after shutdown has no instance
    EXPECT_EQ(nullptr, late.instance());
    EXPECT_FALSE(late.post(nullptr));
}

TEST_F(MessageRegistryTest, ListenersAreMainThreadOnly) {
    registry->init(window.handle());
    std::wstring message;
    zem::Thread worker;
    worker.start(
        [](void* out) {
            try {
                zem::MessageRegistry::instance()->addListener(nullptr);
            } catch (zem::IllegalStateException& e) {
                *static_cast<std::wstring*>(out) = e.message();
            }
        },
        &message);
    worker.join();
    EXPECT_EQ(L"Not a main thread.", message);
}

} // namespace
