// The program's bundle host running snippets: a snippet's action is bound to its tab word
// in the editors' tab invoker and inserts into the document of the editor that had the
// focus last.
#include "corvel/bundles/BundleManager.h"
#include "corvel/bundles/Snippet.h"
#include "corvel/bundles/SnippetManager.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/document/GrammarRegistry.h"
#include "corvel/document/ScopePath.h"
#include "corvel/document/Selection.h"
#include "corvel/editor/EditorContext.h"
#include "corvel/program/AppBundleUiHost.h"
#include "corvel/widgets/afAction.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionInvokerTab.h"
#include "corvel/widgets/afActionRegistry.h"
#include "support/TestWidgets.h"
#include "support/TestWindow.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/thread/MessageRegistry.h"
#include "zem/value/Values.h"

#include "../../service/document/tests/support/StandardDevices.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class AppSnippetHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        documenttest::StandardDevices::ensure();
        ASSERT_NE(nullptr, window.handle()) << "windows need a display (run under Xvfb)";
        messages.init(window.handle());
        tabs.reset(new corvel::afActionInvokerTab(&registry));
        registry.addInvoker(tabs.get(), corvel::afActionEventType::TAB);
        corvel::EditorContext::get().tabInvoker = tabs.get();
        documents.reset(new corvel::DocumentManager(nullptr, &grammars));
        controllers.reset(new corvel::DocumentControllerManager(documents.get()));
        controller = controllers->createUntitledDocument();
        host.reset(new corvel::AppBundleUiHost(nullptr, &registry, controllers.get()));
        bundles.reset(new corvel::BundleManager(host.get()));
        snippets.reset(new corvel::SnippetManager(*bundles, *host));
    }
    void TearDown() override {
        if (snippet) {
            snippets->uninstallEntry(snippet);
            snippet->release();
        }
        snippets.reset();
        bundles.reset();
        host.reset();
        corvel::EditorContext::get().tabInvoker = nullptr;
        registry.removeInvoker(tabs.get());
        controllers->destroyController(controller);
        controllers.reset();
        documents.reset();
        window.drain();
        if (messages.isActive())
            messages.shutdown();
    }

    std::wstring text() {
        std::wstring all;
        controller->getAllText(all);
        return all;
    }

    uitest::WithResources resources; // the host registers the snippets' icon
    zemtest::TestWindow window;
    zem::MessageRegistry messages;
    corvel::afActionRegistry registry;
    std::unique_ptr<corvel::afActionInvokerTab> tabs;
    corvel::GrammarRegistry grammars;
    std::unique_ptr<corvel::DocumentManager> documents;
    std::unique_ptr<corvel::DocumentControllerManager> controllers;
    corvel::DocumentController* controller = nullptr;
    std::unique_ptr<corvel::AppBundleUiHost> host;
    std::unique_ptr<corvel::BundleManager> bundles;
    std::unique_ptr<corvel::SnippetManager> snippets;
    corvel::Snippet* snippet = nullptr;
};

// Caught: the host named no active document, so a snippet's action ran and inserted nothing.
TEST_F(AppSnippetHostTest, ASnippetsTabWordRunsItInTheActiveDocument) {
    zem::Uuid id;
    id.create();
    snippet = static_cast<corvel::Snippet*>(snippets->createEntry(corvel::SNIPPET_TYPE_ID, id));
    std::unique_ptr<zem::Value> value(zem::parseJasmine(L"{title: 'Pair', tab_trigger: 'pr', content: '<$1>$0'}"));
    snippet->readProperties(static_cast<zem::DictionaryValue*>(value.get()));
    ASSERT_TRUE(snippets->installEntry(snippet));

    corvel::afActionMatchList matches;
    corvel::ScopePath path;
    const std::wstring before = L"x pr";
    ASSERT_EQ(1u, tabs->invoke(matches, path, before.c_str(), before.size()));
    corvel::afActionEventTab event;
    event.action = matches[0].action;
    event.trigger = matches[0].trigger;
    event.context = &path;

    controller->setText(L"ab");
    EXPECT_TRUE(matches[0].action->execute(&event));
    EXPECT_EQ(L"ab", text()) << "no editor had the focus";
    controllers->setActiveController(controller);
    EXPECT_TRUE(matches[0].action->execute(&event));
    EXPECT_EQ(L"<>ab", text());
    EXPECT_EQ(1, controller->getCaretOffset()) << "the caret in the first field";
}

// Caught: a snippet's action named the product as its source, so the chooser showed no
// bundle beside two snippets of one title from two bundles.
TEST_F(AppSnippetHostTest, ASnippetsActionNamesItsBundleForTheChooser) {
    zem::Uuid id;
    id.create();
    snippet = static_cast<corvel::Snippet*>(snippets->createEntry(corvel::SNIPPET_TYPE_ID, id));
    std::unique_ptr<zem::Value> value(zem::parseJasmine(L"{title: 'Pair', tab_trigger: 'pr', content: '<$1>$0'}"));
    snippet->readProperties(static_cast<zem::DictionaryValue*>(value.get()));
    ASSERT_TRUE(snippets->installEntry(snippet));
    corvel::afAction* action = registry.findAction(id.toString().c_str());
    ASSERT_NE(nullptr, action);
    EXPECT_EQ(2, action->getSourceKind());
    EXPECT_EQ(L"<Unknown>", action->getSource()) << "a snippet outside a bundle";
    EXPECT_EQ(L"Pair", action->getTitle());
}

} // namespace
