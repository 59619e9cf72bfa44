// The end of a run: the settings are stored once and written, then the windows and the
// managers go in the order in which nothing is left pointing at something freed: the
// managers that own views and controllers first (they close their documents), the
// documents left over, then the controllers' and documents' managers, the grammar
// registry last. Any member may be null (a start that ended early).
#include "corvel/program/App.h"

#include "corvel/app/DockManager.h"
#include "corvel/app/MainWindow.h"
#include "corvel/app/TabManager.h"
#include "corvel/app/UpdateChecker.h"
#include "corvel/bundles/BundleEntryTypeInfo.h"
#include "corvel/bundles/BundleManager.h"
#include "corvel/bundles/LanguageManager.h"
#include "corvel/bundles/ScopePreferencesManager.h"
#include "corvel/bundles/SnippetManager.h"
#include "corvel/bundles/ThemeManager.h"
#include "corvel/config/ConfigManager.h"
#include "corvel/config/Environment.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/document/FacePresetManager.h"
#include "corvel/document/GrammarRegistry.h"
#include "corvel/editor/EditorContext.h"
#include "corvel/editor/FacePresetManagerUI.h"
#include "corvel/editor/SearchManager.h"
#include "corvel/program/AppBundleUiHost.h"
#include "corvel/projects/ProjectManager.h"
#include "corvel/widgets/PreferencesManager.h"
#include "corvel/widgets/WidgetPalette.h"
#include "corvel/widgets/afActionChooser.h"
#include "corvel/widgets/afActionInvokerTab.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/workspace/BundleEditor.h"
#include "corvel/workspace/FileManager.h"
#include "zem/base/Format.h"
#include "zem/files/FileIO.h"
#include "zem/log/LogManager.h"
#include "zem/thread/CriticalSection.h"
#include "zem/thread/MessageRegistry.h"

namespace corvel {

namespace {

template <class T> void release(T*& member) {
    delete member;
    member = nullptr;
}

// A kind manager that registered is the bundle manager's to delete; one that never got
// the settings-loaded call (a start that failed half-way) is still ours.
template <class T> void releaseUnlessRegistered(BundleManager* bundles, uint32_t typeId, T*& member) {
    if (!member)
        return;
    const BundleEntryTypeInfo* info = bundles ? bundles->getEntryManager(typeId) : nullptr;
    if (!info || info->manager != member)
        delete member;
    member = nullptr;
}

void storeSettings(ConfigManager* manager) {
    Config& config = manager->getConfig();
    {
        zem::CriticalSectionLock guard(config.getLock());
        manager->settingsStore.invoke(&config);
    }
    std::vector<std::wstring> failed;
    {
        zem::CriticalSectionLock guard(config.getLock());
        config.saveAll(&failed);
    }
    // The old file is kept whole (it is replaced only once the new one is written); the
    // user must still learn that this run's changes are not in it.
    for (const std::wstring& name : failed) {
        zem::WorkString full;
        std::wstring path = zem::fileGetFullPath(name.c_str(), full) ? std::wstring(full.c_str()) : name;
        std::wstring text = zem::format(L"Settings could not be saved to '%s'.", path.c_str());
        zem::logMessage(zem::LOG_ERROR, config.logSource(), L"%s\n", text.c_str());
        MessageBoxW(nullptr, text.c_str(), L"Corvel", MB_OK | MB_ICONERROR);
    }
}

} // namespace

void App::onExit() {
    ConfigManager* config = ConfigManager::current();
    if (m_updateChecker) {
        delete m_updateChecker;
        m_updateChecker = nullptr;
    }
    if (m_state > STATE_STARTING && config) {
        ConfigManager::setShuttingDown(true);
        storeSettings(config);
    }
    if (m_state > STATE_MADE) {
        // Its entry editors hold controllers and entries: it goes before their managers,
        // and before the main window that owns its window.
        release(m_bundleEditor);
        if (MainWindow* window = getMainWindow()) {
            delete window;
            m_mainWindow = nullptr;
        }
        release(m_widgetPalette);
        if (m_bundleHost)
            m_bundleHost->setMainWindow(nullptr);
        deleteManagers();
        if (zem::MessageRegistry* registry = zem::MessageRegistry::instance())
            registry->shutdown();
    }
    if (m_state > STATE_MADE && m_environmentUp) {
        ConfigManager::destroy();
        ConfigManager::setCurrent(nullptr);
        shutdownEnvironment();
        m_environmentUp = false;
    }
    ConfigManager::setShuttingDown(false);
}

void App::deleteManagers() {
    EditorContext& editors = EditorContext::get();
    editors.facePresets = nullptr;
    editors.themes = nullptr;
    editors.tabInvoker = nullptr;
    setActionChooser(nullptr);
    editors.bundles = nullptr;
    release(m_tabManager);
    release(m_facePresetUI);
    // The file manager outlives the presets and the projects: it lets go of them first.
    if (m_fileManager) {
        m_fileManager->setFacePresets(nullptr);
        m_fileManager->setProjects(nullptr);
    }
    release(m_facePresetManager);
    release(m_preferencesManager);
    // After the main window: its project tabs are gone; the updater stops first.
    if (m_dockManager && m_projectManager)
        m_dockManager->unregisterSlotController(m_projectManager);
    release(m_projectManager);
    release(m_searchManager);
    // Its documents close with their controllers, before the documents left over.
    release(m_fileManager);
    deleteUnregisteredKindManagers();
    release(m_bundleManager);
    m_bundleHost.reset();
    release(m_dockManager);
    // What the managers above left open goes before the controllers' manager.
    if (m_documentManager)
        m_documentManager->closeAll();
    if (m_tabInvoker) {
        if (afActionRegistry* actions = dynamic_cast<afActionRegistry*>(getActionRegistry()))
            actions->removeInvoker(m_tabInvoker);
        release(m_tabInvoker);
    }
    release(m_controllerManager);
    release(m_documentManager);
    release(m_grammarRegistry);
}

void App::deleteUnregisteredKindManagers() {
    releaseUnlessRegistered(m_bundleManager, THEME_TYPE_ID, m_themeManager);
    releaseUnlessRegistered(m_bundleManager, SNIPPET_TYPE_ID, m_snippetManager);
    releaseUnlessRegistered(m_bundleManager, LANGUAGE_TYPE_ID, m_languageManager);
    releaseUnlessRegistered(m_bundleManager, SCOPE_PREFERENCES_TYPE_ID, m_scopePreferencesManager);
}

} // namespace corvel
