// The entry manager of snippets: one action per installed snippet, named by its UUID,
// bound by the host to the snippet's shortcut and tab word in the snippet's scope.
// Running it inserts the snippet into the active document at every selection range.
#pragma once
#include "corvel/bundles/BundleEntryEditorMakers.h"
#include "corvel/bundles/BundleEntryManager.h"
#include "corvel/bundles/BundleUiHost.h"
#include "corvel/bundles/EntryManagerRegistration.h"

#include <memory>
#include <vector>

namespace corvel {

class DocumentController;
class SimpleFilterData;
class Snippet;
struct SnippetModel;

// A snippet's action: the host binds it and runs it. It holds a reference to its snippet,
// so a snippet its other owners let go of while it is installed stays alive until the
// action goes.
struct SnippetAction : BundleAction {
    SnippetAction() = default;
    explicit SnippetAction(Snippet* held);
    ~SnippetAction();
    SnippetAction(const SnippetAction&) = delete;
    SnippetAction& operator=(const SnippetAction&) = delete;

    Snippet* snippet = nullptr; // referenced when given to the constructor
};

class SnippetManager : public BundleEntryManager {
public:
    enum : int { SNIPPET_ICON_RESOURCE = 103 };
    static const wchar_t* const HANDLER_CLASS; // "SnippetCommandsClass"
    static const wchar_t* const CONTEXT_NAME;  // "app.document.context.snippet"

    SnippetManager(BundleManager& bundles, BundleUiHost& host);
    ~SnippetManager() override;
    SnippetManager(const SnippetManager&) = delete;
    SnippetManager& operator=(const SnippetManager&) = delete;

    BundleEntry* createEntry(uint32_t typeId, const zem::Uuid& uuid) override;
    void getEntryType(BundleEntryTypeInfo& out) override;
    // A snippet's old action goes; a loaded snippet gets a new one. Always true.
    bool installEntry(BundleEntry* entry) override;
    // A snippet's action goes; false for an entry of another kind.
    bool uninstallEntry(BundleEntry* entry) override;
    BundleEntryEditorFactory getEditorFactory(BundleEntry*) override { return getBundleEntryEditorMakers().snippet; }
    void onEntryChanged(BundleEntry* entry) override;

    // Parses the snippet when needed (parser exceptions pass to the caller) and inserts it
    // into the host's active document in one write bracket; nothing without one.
    void runSnippet(Snippet* snippet);
    // Inserts model at every selection range of controller (see SnippetInsertion.h).
    static void insertSnippet(DocumentController& controller, const SnippetModel& model);

    SimpleFilterData& getFilterData() { return *m_filter; }
    const std::vector<std::unique_ptr<SnippetAction>>& getActions() const { return m_actions; }

private:
    void createAction(Snippet* snippet);
    void removeAction(Snippet* snippet);

    BundleUiHost& m_host;
    BundleEntryTypeInfo m_typeInfo;
    std::unique_ptr<SimpleFilterData> m_filter;
    std::vector<std::unique_ptr<SnippetAction>> m_actions;
    EntryManagerRegistration m_registration;
};

} // namespace corvel
