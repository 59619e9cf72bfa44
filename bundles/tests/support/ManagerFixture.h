// A bundle manager over temporary "root:" and "user:" folders, with a message registry
// on a hidden window (loads deliver through it) and a Config; helpers that write bundles
// and items and run a load to its end.
#pragma once
#include "BundleFolders.h"
#include "TestKinds.h"
#include "support/TestWindow.h"

#include "corvel/bundles/Bundle.h"
#include "corvel/bundles/BundleItem.h"
#include "corvel/bundles/BundleManager.h"
#include "corvel/bundles/BundleUiHost.h"
#include "corvel/config/Config.h"
#include "zem/base/Exception.h"
#include "zem/thread/MessageRegistry.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace bundletest {

// Serves one item kind with plain items; counts installs.
class ItemKindManager : public corvel::BundleEntryManager {
public:
    ItemKindManager(corvel::BundleManager& owner, uint32_t typeId) : m_owner(owner), m_typeId(typeId) {}
    corvel::BundleEntry* createEntry(uint32_t typeId, const zem::Uuid& uuid) override {
        return new corvel::BundleItem(m_owner.getEntryManager(typeId), uuid);
    }
    void getEntryType(corvel::BundleEntryTypeInfo& out) override {
        corvel::fillStandardEntryType(m_typeId, out);
        static const int icon = 0;
        out.icon = &icon;
        out.label.clear();
    }
    bool installEntry(corvel::BundleEntry*) override {
        ++installed;
        return true;
    }
    bool uninstallEntry(corvel::BundleEntry*) override {
        ++uninstalled;
        return true;
    }
    corvel::BundleEntryEditorFactory getEditorFactory(corvel::BundleEntry*) override { return nullptr; }
    int installed = 0;
    int uninstalled = 0;

private:
    corvel::BundleManager& m_owner;
    uint32_t m_typeId;
};

// A host whose icons cannot be loaded.
class NoIconHost : public corvel::BundleUiHost {
public:
    const void* loadIcon(int, uint32_t) override { return nullptr; }
};

// construct, given a NoIconHost, ends with the kinds' error for a missing icon.
inline ::testing::AssertionResult failsWithoutIcon(const std::function<void()>& construct) {
    try {
        construct();
    } catch (const zem::Exception& e) {
        if (e.message() == L"Cannot load image from a resource.")
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "raised another error";
    }
    return ::testing::AssertionFailure() << "constructed without an icon";
}

class ManagerFixture : public BundleFolders {
protected:
    void SetUp() override {
        BundleFolders::SetUp();
        ASSERT_NE(nullptr, m_window.handle()) << "windows need a display (run under Xvfb)";
        m_registry.reset(new zem::MessageRegistry());
        m_registry->init(m_window.handle());
        m_config.reset(new corvel::Config());
    }
    void TearDown() override {
        m_manager.reset();
        m_config.reset();
        m_window.drain();
        m_registry->shutdown();
        m_registry.reset();
        BundleFolders::TearDown();
    }

    // A manager with the bundle kind and (unless the test brings the real theme manager)
    // a plain theme kind registered.
    void makeManager(corvel::BundleUiHost* host = nullptr, bool plainThemeKind = true) {
        m_manager.reset(new corvel::BundleManager(host));
        m_manager->onConfigReady(*m_config);
        if (plainThemeKind) {
            m_themes = new ItemKindManager(*m_manager, corvel::THEME_TYPE_ID);
            ASSERT_TRUE(m_manager->registerEntryManager(m_themes));
        }
        m_manager->onLoadEnd.add(
            [](void* self, corvel::BundleManager*, bool stopped) {
                static_cast<ManagerFixture*>(self)->m_loadsEnded++;
                static_cast<ManagerFixture*>(self)->m_lastStopped = stopped;
            },
            this);
    }

    static std::wstring uuidText(int n) {
        wchar_t text[40];
        swprintf(text, 40, L"%08x-0000-4000-8000-000000000000", n);
        return text;
    }
    // root or user:bundles/<name>.<uuid n>.cvBundle with its information file.
    std::wstring putBundle(const std::wstring& root, const std::wstring& name, int n, const std::wstring& title) {
        std::wstring folder = root + L":bundles/" + name + L"." + uuidText(n) + L".cvBundle";
        putText(folder + L"/info." + uuidText(n) + L".cvInfo", L"{ title: \"" + title + L"\" }");
        return folder;
    }
    void putItem(const std::wstring& bundleFolder, const std::wstring& file, const std::wstring& title) {
        putText(bundleFolder + L"/" + file, L"{ title: \"" + title + L"\" }");
    }
    static zem::Uuid uuid(int n) {
        zem::Uuid u;
        u.fromString(uuidText(n));
        return u;
    }

    // Starts a load and pumps until it ended.
    bool loadAndWait() {
        int before = m_loadsEnded;
        if (!m_manager->load())
            return false;
        return m_window.pumpUntil([&] { return m_loadsEnded > before; });
    }

    zemtest::TestWindow m_window;
    std::unique_ptr<zem::MessageRegistry> m_registry;
    std::unique_ptr<corvel::Config> m_config;
    std::unique_ptr<corvel::BundleManager> m_manager;
    ItemKindManager* m_themes = nullptr; // owned by the manager
    int m_loadsEnded = 0;
    bool m_lastStopped = false;
};

} // namespace bundletest
