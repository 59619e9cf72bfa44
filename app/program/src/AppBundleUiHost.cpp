#include "corvel/program/AppBundleUiHost.h"

#include "corvel/app/MainWindow.h"
#include "corvel/bundles/BundleEntryTypeInfo.h"
#include "corvel/bundles/BundleManager.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/editor/EditorContext.h"
#include "corvel/editor/PairedCharacterAction.h"
#include "corvel/program/App.h"
#include "corvel/ui/afIcon.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/afActionInvokerKey.h"
#include "corvel/widgets/afActionMenuItem.h"
#include "corvel/widgets/afActionInvokerTab.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afActionSystem.h"
#include "corvel/widgets/afMenuDef.h"
#include "corvel/widgets/ToolStripStatus.h"
#include "corvel/workspace/BundleEditor.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"

#include <functional>
#include <memory>

namespace corvel {

namespace {

constexpr int BUNDLE_ICON_SIZE = 16;

afActionInvokerKey* keyInvoker(afActionRegistry* registry) {
    return registry ? dynamic_cast<afActionInvokerKey*>(registry->getInvoker(afIActionRegistry::EVENT_KEY)) : nullptr;
}

// The bundle manager's menu entries as native menu nodes.
class MenuFiller : public BundleMenuBuilder {
public:
    explicit MenuFiller(afMenu* menu) : m_menu(menu) {}
    void clear() override { m_menu->clear(); }
    void addItem(const std::wstring& title, const std::wstring& actionName, bool enabled) override {
        afMenuItem* item = m_menu->addItem(new afActionMenuItem(title, actionName));
        if (!enabled)
            m_menu->setItemEnabled(item, false);
    }
    void addSeparator() override { m_menu->addSeparator(); }
    void addSubMenu(const std::wstring& title, const void*, const MenuDefNodePtr& menu) override {
        m_menu->addMenu(new afMenuDef(title, menu));
    }

private:
    afMenu* m_menu;
};

// An action made from a bundle item: its source is the item's bundle, which the chooser
// shows beside its title (source kind 2), so two bundles' snippets of one title differ.
class BundleItemAction : public afAction {
public:
    BundleItemAction(const BundleAction& action, afActionHandlerClass* handlerClass, afActionMethod method)
        : afAction(1, handlerClass, action.name.c_str(), action.context.c_str(), BUNDLE_SOURCE_KIND,
                   std::move(method)),
          m_title(action.title), m_bundle(action.group) {}
    std::wstring getTitle() const override { return m_title; }
    const std::wstring& getSource() const override { return m_bundle; }

private:
    static constexpr int BUNDLE_SOURCE_KIND = 2;
    std::wstring m_title;
    std::wstring m_bundle;
};

} // namespace

void AppBundleUiHost::setMainWindow(MainWindow* window) {
    m_window = window;
    if (afMenu* menu = window ? window->getBundlesMenu() : nullptr)
        menu->prepareCallback = afMenu::PrepareCallback(this, &AppBundleUiHost::fillBundlesMenu);
}

void AppBundleUiHost::fillBundlesMenu(void* self, afMenu* menu) {
    AppBundleUiHost* host = static_cast<AppBundleUiHost*>(self);
    BundleManager* bundles = host->m_app ? host->m_app->getBundleManager() : nullptr;
    if (!bundles)
        return;
    MenuFiller filler(menu);
    bundles->buildBundlesMenu(filler);
}

AppBundleUiHost::AppBundleUiHost(App* app, afActionRegistry* registry, DocumentControllerManager* controllers)
    : afActionHandler(L"BundleUiHost",
                      registry ? registry : dynamic_cast<afActionRegistry*>(afApp::getActionRegistry())),
      m_app(app), m_controllers(controllers) {
    activate();
}

AppBundleUiHost::~AppBundleUiHost() {
    afActionRegistry* registry = getRegistry();
    if (!registry)
        return;
    for (auto& entry : m_actions) {
        for (afAction* action : entry.second)
            registry->removeAction(action);
    }
}

const void* AppBundleUiHost::loadIcon(int resourceId, uint32_t key) {
    if (const afIcon* icon = afResources::find(key))
        return icon;
    afResources::add(key, std::make_unique<afIcon>(resourceId, BUNDLE_ICON_SIZE));
    return afResources::find(key);
}

void AppBundleUiHost::addAction(const BundleAction& action) {
    afActionRegistry* registry = getRegistry();
    if (!registry || action.name.empty())
        return;
    removeAction(action.name);
    std::vector<afAction*> made;
    try {
        made = makeActions(registry, action);
    } catch (zem::Exception& e) {
        // A bundle's scope text may not compile; the command is then left out.
        std::wstring text = e.message();
        zem::logMessage(zem::LOG_WARNING, zem::LOG_UNKNOWN_SOURCE, L"Bundle action '%s' left out: %s\n",
                        action.name.c_str(), text.c_str());
        return;
    }
    if (!made.empty())
        m_actions[action.name] = made;
}

std::vector<afAction*> AppBundleUiHost::makeActions(afActionRegistry* registry, const BundleAction& action) {
    if (action.kind == SCOPE_PREFERENCES_TYPE_ID) {
        if (!action.opening || !action.closing)
            return {};
        // The editors' character action of one side of the pair, bound to its character.
        PairedCharacterAction* made = PairedCharacterAction::create(
            action.closes ? PairedCharacterAction::Side::CLOSING : PairedCharacterAction::Side::OPENING, action.opening,
            action.closing, action.block, action.context, registry);
        if (!made)
            return {};
        return {made};
    }
    std::function<void()> run = action.run;
    afActionMethod method(afActionMethod::Call([run](afActionHandler&, afActionEvent*) {
        if (run)
            run();
        return true;
    }));
    afAction* made = registry->addAction(
        action.group.empty() ? static_cast<afAction*>(new afActionSystem(action.title.c_str(), getHandlerClass(),
                                                                         action.name.c_str(), action.context.c_str(),
                                                                         method))
                             : new BundleItemAction(action, getHandlerClass(), method));
    // Built-in commands take their keys before snippets' key equivalents.
    if (afActionInvokerKey* keys = keyInvoker(registry); keys && !action.key.empty())
        keys->bindShortcut(made, action.key.c_str(), action.kind != SNIPPET_TYPE_ID);
    if (afActionInvokerTab* tabs = m_app ? m_app->getTabInvoker() : EditorContext::get().tabInvoker;
        tabs && !action.tabWord.empty())
        tabs->bindWord(action.tabWord.c_str(), made);
    return {made};
}

void AppBundleUiHost::removeAction(const std::wstring& name) {
    auto found = m_actions.find(name);
    if (found == m_actions.end())
        return;
    std::vector<afAction*> actions = found->second;
    m_actions.erase(found);
    if (afActionRegistry* registry = getRegistry()) {
        for (afAction* action : actions)
            registry->removeAction(action);
    }
}

intptr_t AppBundleUiHost::pushStatus(const std::wstring& text) {
    ToolStripStatus* status = m_app ? m_app->getStatusStrip() : nullptr;
    return status ? reinterpret_cast<intptr_t>(status->pushStatus(text)) : 0;
}

void AppBundleUiHost::popStatus(intptr_t handle) {
    // The strip ignores an entry it does not hold, so a stale handle does no harm.
    ToolStripStatus* status = m_app ? m_app->getStatusStrip() : nullptr;
    if (status && handle)
        status->popStatus(reinterpret_cast<ToolStripStatus::Entry*>(handle));
}

bool AppBundleUiHost::closeAllEditors() {
    BundleEditor* editor = m_app ? m_app->getBundleEditor() : nullptr;
    return !editor || editor->closeAllEditors();
}

void AppBundleUiHost::toggleEditor() {
    if (BundleEditor* editor = m_app ? m_app->getBundleEditor() : nullptr)
        editor->toggle();
}

DocumentController* AppBundleUiHost::getActiveController() {
    return m_controllers ? m_controllers->getActiveController() : nullptr;
}

} // namespace corvel
