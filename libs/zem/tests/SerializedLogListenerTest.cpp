#include "zem/log/SerializedLogListener.h"
#include "support/TestWindow.h"
#include "zem/base/Format.h"
#include "zem/thread/MessageRegistry.h"
#include "zem/thread/Thread.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class Receiver : public zem::SerializedLogListener {
public:
    std::vector<std::wstring> texts; // main thread
    std::vector<bool> onMainThread;
    std::wstring throwOn;

    void onSerializedLog(zem::LogMessage* record) override {
        texts.push_back(record->text());
        onMainThread.push_back(zem::is_main_thread());
        if (!throwOn.empty() && throwOn == record->text())
            throw std::runtime_error("receiver failed");
    }
    size_t countWith(const std::wstring& prefix) const {
        size_t n = 0;
        for (const std::wstring& t : texts)
            n += t.compare(0, prefix.size(), prefix) == 0;
        return n;
    }
};

class SerializedLogListenerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, window.handle()) << "windows need a display (run under Xvfb)";
        registry = std::make_unique<zem::MessageRegistry>();
        source = zem::LogManager_Impl::instance().registerSource(L"SerializedLogTest");
    }
    void TearDown() override {
        receiver.reset();
        if (registry && registry->isActive())
            registry->shutdown();
        registry.reset();
    }
    void subscribe() {
        receiver = std::make_unique<Receiver>();
        zem::LogManager_Impl::instance().addListener(receiver.get(), false);
    }

    zemtest::TestWindow window;
    std::unique_ptr<zem::MessageRegistry> registry;
    std::unique_ptr<Receiver> receiver;
    uint32_t source = 0;
};

struct Burst {
    uint32_t source;
    static void run(void* self) {
        for (int i = 0; i < 50; ++i)
            zem::logMessage(zem::LOG_INFO, static_cast<Burst*>(self)->source, L"burst#%02d", i);
    }
};

TEST_F(SerializedLogListenerTest, WorkerBurstArrivesInOneMessageInOrder) {
    registry->init(window.handle());
    subscribe();
    Burst burst{source};
    zem::Thread worker(L"LogBurst");
    worker.start(&Burst::run, &burst);
    worker.join();
    EXPECT_EQ(1, receiver->instance()->count.value()); // one delivery message for the whole burst
    ASSERT_TRUE(window.pumpUntil([&] { return receiver->countWith(L"burst#") == 50; }));
    std::vector<std::wstring> burstTexts;
    for (size_t i = 0; i < receiver->texts.size(); ++i) {
        if (receiver->texts[i].compare(0, 6, L"burst#") == 0) {
            burstTexts.push_back(receiver->texts[i]);
            EXPECT_TRUE(receiver->onMainThread[i]);
        }
    }
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(zem::format(L"burst#%02d", i), burstTexts[static_cast<size_t>(i)]);
    EXPECT_EQ(0u, receiver->queuedCount());
}

TEST_F(SerializedLogListenerTest, LinesWaitUntilARegistryCanDeliver) {
    subscribe(); // the registry is not bound: posting fails
    zem::logMessage(zem::LOG_INFO, source, L"early#1");
    zem::logMessage(zem::LOG_INFO, source, L"early#2");
    EXPECT_EQ(2u, receiver->queuedCount());
    registry->init(window.handle());
    zem::logMessage(zem::LOG_INFO, source, L"early#3"); // the next line posts for all
    ASSERT_TRUE(window.pumpUntil([&] { return receiver->countWith(L"early#") == 3; }));
    EXPECT_EQ(L"early#1", receiver->texts[receiver->texts.size() - 3]);
}

TEST_F(SerializedLogListenerTest, ReceiverThatThrowsKeepsTheRestOfTheBatch) {
    registry->init(window.handle());
    subscribe();
    receiver->throwOn = L"batch#1";
    zem::logMessage(zem::LOG_INFO, source, L"batch#1");
    zem::logMessage(zem::LOG_INFO, source, L"batch#2");
    ASSERT_TRUE(window.pumpUntil([&] { return receiver->countWith(L"batch#2") == 1; }));
}

TEST_F(SerializedLogListenerTest, DestroyedWithAMessageOnItsWay) {
    registry->init(window.handle());
    subscribe();
    zem::logMessage(zem::LOG_INFO, source, L"gone#1");
    size_t before = registry->listenerInstanceCount();
    receiver.reset(); // unsubscribes; the queued message is dropped on arrival
    zem::logMessage(zem::LOG_INFO, source, L"gone#2");
    EXPECT_TRUE(window.pumpUntil([&] { return registry->listenerInstanceCount() == before - 1; }));
}

} // namespace
