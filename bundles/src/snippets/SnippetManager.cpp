#include "corvel/bundles/SnippetManager.h"

#include "corvel/bundles/Bundle.h"
#include "corvel/bundles/Snippet.h"
#include "corvel/bundles/SnippetValidator.h"
#include "corvel/document/SimpleFilterData.h"

#include <algorithm>

namespace corvel {

const wchar_t* const SnippetManager::HANDLER_CLASS = L"SnippetCommandsClass";
const wchar_t* const SnippetManager::CONTEXT_NAME = L"app.document.context.snippet";

SnippetManager::SnippetManager(BundleManager& bundles, BundleUiHost& host)
    : m_host(host), m_filter(new SimpleFilterData), m_registration(bundles, *this) {
    getEntryType(m_typeInfo);
    // The snippets' own descriptor names its manager too: their editor maker is asked here.
    m_typeInfo.manager = this;
}

SnippetAction::SnippetAction(Snippet* held) : snippet(held) {
    if (snippet)
        snippet->addRef();
}

SnippetAction::~SnippetAction() {
    if (snippet)
        snippet->release();
}

SnippetManager::~SnippetManager() {
    // The host's actions call back into this manager: they go with it.
    std::vector<std::unique_ptr<SnippetAction>> actions;
    actions.swap(m_actions);
    for (const std::unique_ptr<SnippetAction>& action : actions) {
        if (action->snippet->getAction() == action.get())
            action->snippet->setAction(nullptr);
        m_host.removeAction(action->name);
    }
}

BundleEntry* SnippetManager::createEntry(uint32_t, const zem::Uuid& uuid) {
    return new Snippet(&m_typeInfo, uuid);
}

void SnippetManager::getEntryType(BundleEntryTypeInfo& out) {
    static const std::shared_ptr<BundleEntryValidator> validator = std::make_shared<SnippetValidator>();
    fillStandardEntryType(SNIPPET_TYPE_ID, out);
    out.icon = m_host.loadIcon(SNIPPET_ICON_RESOURCE, SNIPPET_TYPE_ID);
    out.validator = validator;
}

bool SnippetManager::installEntry(BundleEntry* entry) {
    Snippet* snippet = dynamic_cast<Snippet*>(entry);
    if (!snippet)
        return true;
    removeAction(snippet);
    if (snippet->isLoaded())
        createAction(snippet);
    return true;
}

bool SnippetManager::uninstallEntry(BundleEntry* entry) {
    Snippet* snippet = dynamic_cast<Snippet*>(entry);
    if (!snippet)
        return false;
    removeAction(snippet);
    return true;
}

void SnippetManager::onEntryChanged(BundleEntry* entry) {
    Snippet* snippet = dynamic_cast<Snippet*>(entry);
    if (!snippet)
        return;
    removeAction(snippet);
    createAction(snippet);
}

void SnippetManager::createAction(Snippet* snippet) {
    std::unique_ptr<SnippetAction> action(new SnippetAction(snippet));
    action->name = snippet->getUuid().toString();
    action->title = snippet->getDisplayTitle();
    action->context = snippet->getScope();
    action->key = snippet->getShortcut();
    action->tabWord = snippet->getTabTrigger();
    action->group = snippet->getBundle() ? snippet->getBundle()->getTitle() : L"<Unknown>";
    action->kind = SNIPPET_TYPE_ID;
    action->run = [this, snippet] { runSnippet(snippet); };
    snippet->setAction(action.get());
    m_actions.push_back(std::move(action));
    m_host.addAction(*m_actions.back());
}

void SnippetManager::removeAction(Snippet* snippet) {
    SnippetAction* action = snippet->getAction();
    if (!action)
        return;
    auto found = std::find_if(m_actions.begin(), m_actions.end(),
                              [action](const std::unique_ptr<SnippetAction>& held) { return held.get() == action; });
    snippet->setAction(nullptr);
    if (found == m_actions.end())
        return;
    // The host's copy of the action runs the snippet: it goes before the snippet may.
    m_host.removeAction(action->name);
    m_actions.erase(found);
}

} // namespace corvel
