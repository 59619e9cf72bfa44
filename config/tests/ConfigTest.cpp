#include "corvel/config/Config.h"
#include "corvel/config/ConfigManager.h"

#include "RegistryFixture.h"
#include "support/LogCapture.h"
#include "support/TestWindow.h"
#include "zem/thread/MessageRegistry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace corvel;

namespace {

// Records every call as "now:<ns>" or "later:<ns>".
class RecordingListener : public ConfigListener {
public:
    void changedNow(Config&, const wchar_t* nameSpace) override { calls.push_back(L"now:" + std::wstring(nameSpace)); }
    void changedLater(Config&, const wchar_t* nameSpace) override {
        calls.push_back(L"later:" + std::wstring(nameSpace));
    }
    std::wstring joined() const {
        std::wstring out;
        for (const auto& call : calls)
            out += call + L" ";
        return out;
    }
    std::vector<std::wstring> calls;
};

// A registry bound to a hidden test window, and a Config registered with it.
class ConfigTest : public ::testing::Test, protected corveltest::RegistryFixture {
protected:
    void SetUp() override { setUpRegistry(); }
    void TearDown() override { tearDownRegistry(); }

    std::wstring logged() {
        std::wstring out;
        for (const auto& line : m_log.lines())
            out += std::to_wstring(line.level) + L":" + line.text + L"|";
        return out;
    }

    zemtest::LogCapture m_log{zem::LogManager_Impl::instance().registerSource(L"Config")};
};

} // namespace

TEST_F(ConfigTest, DeclarationsAndTheirRefusals) {
    Config& config = *m_config;
    ConfigValue* value = config.declareValue(L"app.x.y", ConfigValue::TYPE_INT);
    ASSERT_NE(nullptr, value);
    EXPECT_EQ(value, config.declareValue(L"app.x.y", ConfigValue::TYPE_INT));
    EXPECT_EQ(nullptr, config.declareValue(L"app.x.y", ConfigValue::TYPE_BOOL));
    EXPECT_EQ(nullptr, config.declareValue(L"nodot", ConfigValue::TYPE_INT));
    std::wstring atLimit = L"a." + std::wstring(256, L'k');
    EXPECT_NE(nullptr, config.declareValue(atLimit.c_str(), ConfigValue::TYPE_INT));
    std::wstring tooLong = atLimit + L"k";
    EXPECT_EQ(nullptr, config.declareValue(tooLong.c_str(), ConfigValue::TYPE_INT));
    EXPECT_EQ(L"2:Config: value 'app.x.y' is already defined, but with different type|"
              L"3:Config: Value identifier is too long|",
              logged());

    EXPECT_EQ(value, config.getValue(L"app.x.y"));
    EXPECT_EQ(nullptr, config.getValue(L"app.x.z"));
    EXPECT_EQ(L"y", value->getName());
    EXPECT_EQ(L"app.x", value->getNamespace()->getName());
    EXPECT_EQ(ConfigValue::FLAG_CHANGED, value->getFlags());
    // Keys differing only in a unit's high byte are one key.
    EXPECT_EQ(value, config.getValue(L"app.x.\x0179"));

    ConfigValue* list = config.declareValue(L"app.x.items", ConfigValue::TYPE_LIST);
    EXPECT_TRUE(list->hasFlags(ConfigValue::FLAG_HOLDS_VALUE));
    EXPECT_EQ(nullptr, config.getNamespace(L"app.none", false));
    EXPECT_NE(nullptr, config.getNamespace(L"app.none", true));
}

TEST_F(ConfigTest, DefaultIsAppliedOnlyToANewValue) {
    ConfigValue def(ConfigValue::TYPE_UNSET);
    def.setInt(300);
    ConfigValue* value = m_config->declareValueWithDefault(L"app.sidebar.width", def);
    ASSERT_NE(nullptr, value);
    EXPECT_EQ(300, value->asInt());
    EXPECT_TRUE(value->hasFlags(0x700));
    value->setInt(10);
    ConfigValue other(ConfigValue::TYPE_UNSET);
    other.setInt(5);
    EXPECT_EQ(value, m_config->declareValueWithDefault(L"app.sidebar.width", other));
    EXPECT_EQ(10, value->asInt());
}

TEST_F(ConfigTest, ListenersHearAtOnceAndOnceMoreOnTheMainThread) {
    RecordingListener listener;
    m_config->getNamespace(L"app.a", true)->addListener(&listener);
    m_config->getNamespace(L"app.b", true)->addListener(&listener);
    ConfigValue* a = m_config->declareValue(L"app.a.v", ConfigValue::TYPE_INT);
    a->setInt(1);
    EXPECT_TRUE(m_config->notifyChanged(L"app.a"));
    EXPECT_TRUE(m_config->notifyChanged(L"app.b"));
    EXPECT_EQ(L"now:app.a now:app.b ", listener.joined());
    EXPECT_TRUE(a->hasFlags(ConfigValue::FLAG_CHANGED));
    // Two changes, one message: both delivered in order when it arrives.
    ASSERT_TRUE(m_window.pumpUntil([&] { return listener.calls.size() == 4; }));
    EXPECT_EQ(L"now:app.a now:app.b later:app.a later:app.b ", listener.joined());
    EXPECT_FALSE(a->hasFlags(ConfigValue::FLAG_CHANGED));
    m_window.drain();
    EXPECT_EQ(4u, listener.calls.size());
    EXPECT_FALSE(m_config->notifyChanged(L"app.none"));
    EXPECT_EQ(L"3:Config: Name space 'app.none' not found|", logged());
}

TEST_F(ConfigTest, WithoutAPostTheMainThreadDeliversAtOnce) {
    m_config.reset();
    m_registry->shutdown();
    m_config.reset(new Config());
    RecordingListener listener;
    m_config->getNamespace(L"app.a", true)->addListener(&listener);
    EXPECT_TRUE(m_config->notifyChanged(L"app.a"));
    EXPECT_EQ(L"now:app.a later:app.a ", listener.joined());
}

TEST_F(ConfigTest, AChangeOffTheMainThreadThatCannotPostWaitsForTheNextChange) {
    // Caught: after a failed post nothing was ever posted again for that Config.
    m_config.reset();
    zem::MessageRegistry* bound = m_registry.release();
    bound->shutdown();
    delete bound;
    m_config.reset(new Config()); // no registry at all
    RecordingListener listener;
    m_config->getNamespace(L"app.a", true)->addListener(&listener);
    std::thread worker([&] { m_config->notifyChanged(L"app.a"); });
    worker.join();
    EXPECT_EQ(L"now:app.a ", listener.joined());

    m_registry.reset(new zem::MessageRegistry());
    m_registry->init(m_window.handle());
    std::thread again([&] { m_config->notifyChanged(L"app.a"); });
    again.join();
    // The second change registered nothing off the main thread; a main-thread change does,
    // and delivers everything pending.
    EXPECT_TRUE(m_config->notifyChanged(L"app.a"));
    ASSERT_TRUE(m_window.pumpUntil([&] { return listener.calls.size() == 6; }));
    EXPECT_EQ(L"now:app.a now:app.a now:app.a later:app.a later:app.a later:app.a ", listener.joined());
}

TEST(ConfigManagerTest, OwnsTheConfigAndFiveLists) {
    zem::MessageRegistry registry;
    ConfigManager manager;
    EXPECT_EQ(nullptr, ConfigManager::current());
    ConfigManager::setCurrent(&manager);
    EXPECT_EQ(&manager, ConfigManager::current());
    EXPECT_NE(nullptr, manager.getConfig().declareValue(L"app.x.y", ConfigValue::TYPE_INT));
    int closes = 0;
    manager.closeQuery.add([](void* n) { return ++*static_cast<int*>(n) < 2; }, &closes);
    EXPECT_TRUE(manager.closeQuery.invokeWhileTrue());
    EXPECT_FALSE(manager.closeQuery.invokeWhileTrue());
    manager.activated.add([](void* n, int arg) { *static_cast<int*>(n) = arg; }, &closes);
    manager.activated.invoke(1);
    EXPECT_EQ(1, closes);
}
