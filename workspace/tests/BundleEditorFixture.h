// A bundle manager over temporary folders with the snippet kind, a document engine for the
// entry editors' documents, and a host window they live in: the managers the bundle editor
// works with, built the way the program builds them.
#pragma once
#include "../../bundles/tests/support/ManagerFixture.h"
#include "../../service/document/tests/support/StandardDevices.h"
#include "../../ui_framework/core/tests/support/TestWidgets.h"
#include "WorkspaceDevices.h"

#include "corvel/bundles/BundleUiHost.h"
#include "corvel/bundles/Snippet.h"
#include "corvel/bundles/SnippetManager.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/document/GrammarRegistry.h"
#include "corvel/workspace/BundleEditorManagers.h"

#include <commctrl.h>

namespace workspacetest {

class BundleEditorFixture : public bundletest::ManagerFixture {
protected:
    void SetUp() override {
        // The bundle folders bring a "user:" of their own.
        WorkspaceDevices::ensure().releaseUser();
        ManagerFixture::SetUp();
        documenttest::StandardDevices::ensure();
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_USEREX_CLASSES};
        InitCommonControlsEx(&controls);
        uitest::WithResources resources;
        host.width = 700;
        host.height = 500;
        host.create();
        grammars.reset(new corvel::GrammarRegistry());
        documents.reset(new corvel::DocumentManager(nullptr, grammars.get()));
        controllers.reset(new corvel::DocumentControllerManager(documents.get()));
        makeManager(&uiHost);
        snippets = new corvel::SnippetManager(*m_manager, uiHost);
        ASSERT_TRUE(m_manager->registerEntryManager(snippets));
        managers.bundles = m_manager.get();
        managers.controllers = controllers.get();
    }
    void TearDown() override {
        DestroyWindow(host.getHandle());
        uitest::drainMessages();
        m_manager.reset();
        for (corvel::DocumentController* c : std::vector<corvel::DocumentController*>(controllers->getControllers()))
            controllers->destroyController(c);
        controllers.reset();
        documents.reset();
        grammars.reset();
        ManagerFixture::TearDown();
        WorkspaceDevices::ensure().restoreUser();
    }

    // The bundle "Web" (1) with the snippet "Table" (2) in user:, loaded.
    corvel::Snippet* loadSnippet(const std::wstring& text = L"{title: 'Table', scope: 'text.html', content: 'a$1b'}") {
        std::wstring folder = putBundle(L"user", L"web", 1, L"Web");
        putText(folder + L"/snippets/table." + uuidText(2) + L".cvSnippet", text);
        if (!loadAndWait())
            return nullptr;
        return dynamic_cast<corvel::Snippet*>(m_manager->findEntry(uuid(2)));
    }

    corvel::BundleUiHost uiHost;
    uitest::TestWidget host{nullptr, false};
    std::unique_ptr<corvel::GrammarRegistry> grammars;
    std::unique_ptr<corvel::DocumentManager> documents;
    std::unique_ptr<corvel::DocumentControllerManager> controllers;
    corvel::SnippetManager* snippets = nullptr; // owned by the bundle manager
    corvel::BundleEditorManagers managers;
};

} // namespace workspacetest
