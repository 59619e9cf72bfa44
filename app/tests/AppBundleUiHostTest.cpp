// The program's bundle host turning the bundles' commands into actions: the scope
// preferences' pairs become the editors' paired-character actions, bound to their
// characters, and go again with their entry.
#include "corvel/bundles/BundleEntryTypeInfo.h"
#include "corvel/bundles/BundleManager.h"
#include "corvel/bundles/ScopePreferencesBundleItem.h"
#include "corvel/bundles/ScopePreferencesManager.h"
#include "corvel/editor/PairedCharacterAction.h"
#include "corvel/program/AppBundleUiHost.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionInvokerKey.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afActionTriggerKey.h"
#include "support/TestWidgets.h"
#include "support/TestWindow.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/thread/MessageRegistry.h"
#include "zem/value/Values.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using corvel::PairedCharacterAction;

class AppBundleUiHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The bundle manager reports through the message registry.
        ASSERT_NE(nullptr, window.handle()) << "windows need a display (run under Xvfb)";
        messages.init(window.handle());
        keys.reset(new corvel::afActionInvokerKey(&registry));
        registry.addInvoker(keys.get(), corvel::afActionEventType::KEY);
        registry.addInvoker(keys.get(), corvel::afActionEventType::CHARACTER);
        host.reset(new corvel::AppBundleUiHost(nullptr, &registry));
        bundles.reset(new corvel::BundleManager(host.get()));
        preferences.reset(new corvel::ScopePreferencesManager(*bundles, *host));
    }
    void TearDown() override {
        for (corvel::ScopePreferencesBundleItem* item : items)
            item->release();
        preferences.reset();
        bundles.reset();
        host.reset();
        registry.removeInvoker(keys.get());
        window.drain();
        if (messages.isActive())
            messages.shutdown();
    }

    corvel::ScopePreferencesBundleItem* item(const wchar_t* text) {
        zem::Uuid id;
        id.create();
        auto* made = static_cast<corvel::ScopePreferencesBundleItem*>(
            preferences->createEntry(corvel::SCOPE_PREFERENCES_TYPE_ID, id));
        std::unique_ptr<zem::Value> value(zem::parseJasmine(text));
        made->readProperties(static_cast<zem::DictionaryValue*>(value.get()));
        items.push_back(made);
        return made;
    }
    // "(" for an opening action, ")" ... as "<character> <scope> <block>" of every paired action.
    std::vector<std::wstring> pairActions() const {
        std::vector<std::wstring> out;
        for (corvel::afAction* action : registry.getActions()) {
            if (action->getTypeTag() != PairedCharacterAction::TYPE_TAG)
                continue;
            auto* pair = static_cast<PairedCharacterAction*>(action);
            auto* trigger = static_cast<corvel::afActionTriggerKey*>(action->findTrigger(
                corvel::afActionEventType::CHARACTER));
            std::wstring line(1, trigger ? static_cast<wchar_t>(trigger->getCharacter()) : L'?');
            line += L" " + action->getScopeText() + (pair->isBlock() ? L" block" : L"");
            out.push_back(line);
        }
        return out;
    }

    uitest::WithResources resources; // the host registers the kinds' icons
    zemtest::TestWindow window;
    zem::MessageRegistry messages;
    corvel::afActionRegistry registry;
    std::unique_ptr<corvel::afActionInvokerKey> keys;
    std::unique_ptr<corvel::AppBundleUiHost> host;
    std::unique_ptr<corvel::BundleManager> bundles;
    std::unique_ptr<corvel::ScopePreferencesManager> preferences;
    std::vector<corvel::ScopePreferencesBundleItem*> items;
};

TEST_F(AppBundleUiHostTest, PairsBecomeTheEditorsCharacterActionsAndGoWithTheirEntry) {
    corvel::ScopePreferencesBundleItem* c =
        item(L"{title: 'C', scope: 'source.c', settings: {pairs: [['(', ')'], ['{', '}', block], ['\"', '\"']]}}");
    ASSERT_TRUE(preferences->installEntry(c));
    EXPECT_EQ(
        (std::vector<std::wstring>{
            L"( source.c",
            L") document.context.char_pair.2829 source.c, source.c document.context.char_pair.2829",
            L"{ source.c block",
            L"} document.context.char_pair.block.7b7d source.c, source.c document.context.char_pair.block.7b7d block",
            L"\" source.c",
            L"\" document.context.char_pair.2222 source.c, source.c document.context.char_pair.2222",
        }),
        pairActions());
    EXPECT_EQ(6u, keys->charBindingCount());
    EXPECT_EQ(nullptr, registry.findAction((L"pair." + c->getUuid().toString() + L".0").c_str()))
        << "the pair's actions carry no name of their own";

    // A change makes them again, once; uninstalling takes them and their keys away.
    preferences->onEntryChanged(c);
    EXPECT_EQ(6u, pairActions().size());
    EXPECT_EQ(6u, keys->charBindingCount());
    preferences->uninstallEntry(c);
    EXPECT_TRUE(pairActions().empty());
    EXPECT_EQ(0u, keys->charBindingCount());
}

// Caught: the host made both actions of a pair from one it was handed; the manager makes
// the two now, and the host registers each as it comes, with its scope as given.
TEST_F(AppBundleUiHostTest, EachPairActionHandedIsRegisteredAlone) {
    struct Case {
        const wchar_t* name;
        const wchar_t* context;
        bool closes;
        std::vector<std::wstring> expected;
    };
    const Case cases[] = {
        {L"pair.a.open", L"source.c", false, {L"( source.c"}},
        {L"pair.a.close",
         L"source.c document.context.char_pair.2829",
         true,
         {L"( source.c", L") source.c document.context.char_pair.2829"}},
        {L"pair.b.close", L"text", true, {L"( source.c", L") source.c document.context.char_pair.2829", L") text"}},
    };
    for (const Case& c : cases) {
        corvel::BundleAction action;
        action.name = c.name;
        action.context = c.context;
        action.kind = corvel::SCOPE_PREFERENCES_TYPE_ID;
        action.opening = L'(';
        action.closing = L')';
        action.closes = c.closes;
        host->addAction(action);
        EXPECT_EQ(c.expected, pairActions()) << std::wstring(c.name).c_str();
        EXPECT_EQ(c.expected.size(), keys->charBindingCount());
    }
    host->removeAction(L"pair.a.close");
    EXPECT_EQ((std::vector<std::wstring>{L"( source.c", L") text"}), pairActions());
}

TEST_F(AppBundleUiHostTest, AScopeThatDoesNotCompileLeavesItsPairsOut) {
    corvel::ScopePreferencesBundleItem* bad = item(L"{title: 'Bad', scope: 'source.c (', settings: {pairs: [['(', ')']]}}");
    corvel::ScopePreferencesBundleItem* good = item(L"{title: 'Py', scope: 'source.python', settings: {pairs: [['[', ']']]}}");
    preferences->installEntry(bad);
    ASSERT_TRUE(preferences->installEntry(good));
    EXPECT_EQ((std::vector<std::wstring>{
                  L"[ source.python",
                  L"] document.context.char_pair.5b5d source.python, source.python document.context.char_pair.5b5d"}),
              pairActions());
    EXPECT_EQ(2u, keys->charBindingCount());
    preferences->uninstallEntry(bad);
    EXPECT_EQ(2u, pairActions().size());
}

TEST_F(AppBundleUiHostTest, OtherCommandsStayNamedActionsWithTheirKeys) {
    bool ran = false;
    host->addAction(corvel::BundleAction{L"bundles.test", L"Test", L"ui.editor", L"Ctrl+Alt+T", [&ran] { ran = true; }});
    corvel::afAction* action = registry.findAction(L"bundles.test");
    ASSERT_NE(nullptr, action);
    EXPECT_EQ(L"Test", action->getTitle());
    EXPECT_NE(nullptr, action->findTrigger(corvel::afActionEventType::KEY));
    corvel::afActionEvent event;
    event.action = action;
    EXPECT_TRUE(action->execute(&event));
    EXPECT_TRUE(ran);
    host->removeAction(L"bundles.test");
    EXPECT_EQ(nullptr, registry.findAction(L"bundles.test"));
}

} // namespace
