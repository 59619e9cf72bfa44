#include "corvel/program/App.h"

#include "corvel/app/ActionSelectWindow.h"
#include "corvel/app/DockManager.h"
#include "corvel/app/MainWindow.h"
#include "corvel/app/TabManager.h"
#include "corvel/app/Tabs.h"
#include "corvel/app/TabsSidebar.h"
#include "corvel/app/UpdateChecker.h"
#include "corvel/bundles/BundleManager.h"
#include "corvel/bundles/LanguageManager.h"
#include "corvel/bundles/ScopePreferencesManager.h"
#include "corvel/bundles/SnippetManager.h"
#include "corvel/bundles/ThemeManager.h"
#include "corvel/config/ConfigManager.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/document/FacePresetManager.h"
#include "corvel/document/GrammarRegistry.h"
#include "corvel/editor/EditorContext.h"
#include "corvel/editor/FacePresetManagerUI.h"
#include "corvel/editor/SearchManager.h"
#include "corvel/program/AppBundleUiHost.h"
#include "corvel/program/StandardIcons.h"
#include "corvel/projects/ProjectManager.h"
#include "corvel/ui/afUnicodeFontManager.h"
#include "corvel/widgets/PreferencesManager.h"
#include "corvel/widgets/ToolStrip.h"
#include "corvel/widgets/ToolStripStatus.h"
#include "corvel/widgets/WidgetPalette.h"
#include "corvel/widgets/afActionChooser.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionInvokerTab.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afMenu.h"
#include "corvel/workspace/BundleEditor.h"
#include "corvel/workspace/FileManager.h"
#include "zem/log/LogManager.h"
#include "zem/thread/CriticalSection.h"
#include "zem/thread/MessageRegistry.h"

namespace corvel {

namespace {

// Registered at the first start-up step; the program's own lines go under the first.
uint32_t g_programLog = 0;

} // namespace

App::App(const wchar_t* commandLine)
    : m_commandLine(commandLine ? commandLine : L""), m_ownCommandLine(commandLine == nullptr) {}

App::~App() = default;

App* App::instance() {
    return dynamic_cast<App*>(afApp::getInstance());
}

MainWindow* App::getMainWindow() const {
    return static_cast<MainWindow*>(m_mainWindow);
}

ToolStripStatus* App::getStatusStrip() const {
    MainWindow* window = getMainWindow();
    ToolStrip* strip = window ? window->getToolStrip() : nullptr;
    return strip ? strip->getStatus() : nullptr;
}

Config* App::getConfig() const {
    ConfigManager* manager = ConfigManager::current();
    return manager ? &manager->getConfig() : nullptr;
}

bool App::onInit() {
    zem::LogManager_Impl& log = zem::LogManager_Impl::instance();
    g_programLog = log.registerSource(L"Corvel");
    log.registerSource(L"UI");

    // A second start hands its line over before it touches the user folder: it must not
    // recreate the running instance's log file or save anything.
    m_state = STATE_STARTING;
    if (activateRunningInstance()) {
        onExit();
        return false;
    }
    if (!ConfigManager::instance())
        return false;
    m_environmentUp = true;
    // Logged once the log file exists, so that the file tells where this run began.
    zem::logMessage(zem::LOG_INFO, g_programLog, L"What a beautiful day today!\n");

    createManagers();
    registerStandardIcons();
    m_widgetPalette = new WidgetPalette();
    if (m_facePresetManager)
        m_facePresetManager->loadFromConfig();
    createMainWindow();
    if (zem::MessageRegistry* registry = zem::MessageRegistry::instance())
        registry->init(getMainWindow()->getHandle());

    Config& config = ConfigManager::current()->getConfig();
    {
        zem::CriticalSectionLock guard(config.getLock());
        ConfigManager::current()->settingsLoaded.invoke(&config);
        m_dockManager->restore(config);
        readStartSettings(config);
    }
    m_bundleManager->load();
    getMainWindow()->show();
    getMainWindow()->requestFocus();
    handleCommandLine(nullptr);
    if (m_fileManager)
        m_fileManager->restoreSession();
    paintFirstFrame();
    m_state = STATE_RUNNING;
    m_updateChecker = new UpdateChecker(getStatusStrip(), getMainWindow());
    m_updateChecker->run(false);
    return true;
}

void App::paintFirstFrame() {
    // The bundle loader's batches are posted messages, and a paint waits until none is
    // queued: left to the message loop, the window's first picture came only once every
    // bundle had been taken in. Laid out and painted now, it shows the documents while the
    // bundles still load; their grammars and theme repaint what they change.
    MainWindow* window = getMainWindow();
    if (window->isLayoutPending())
        window->validateLayout();
    RedrawWindow(window->getHandle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void App::createManagers() {
    ConfigManager* config = ConfigManager::current();
    afActionRegistry* actions = dynamic_cast<afActionRegistry*>(getActionRegistry());
    m_grammarRegistry = new GrammarRegistry();
    m_documentManager = new DocumentManager(config, m_grammarRegistry);
    m_preferencesManager = new PreferencesManager(actions);
    m_controllerManager = new DocumentControllerManager(m_documentManager);
    m_bundleHost.reset(new AppBundleUiHost(this, nullptr, m_controllerManager));
    m_bundleManager = new BundleManager(m_bundleHost.get());
    m_themeManager = new ThemeManager(*m_bundleManager, *m_bundleHost);
    m_snippetManager = new SnippetManager(*m_bundleManager, *m_bundleHost);
    m_languageManager = new LanguageManager(*m_bundleManager, *m_grammarRegistry, m_bundleHost.get());
    m_scopePreferencesManager = new ScopePreferencesManager(*m_bundleManager, *m_bundleHost);
    m_dockManager = new DockManager();
    m_projectManager = new ProjectManager(config, actions);
    m_projectManager->setDocuments(m_documentManager);
    m_fileManager = new FileManager(m_documentManager, m_controllerManager, actions, config);
    m_projectManager->setFileManager(m_fileManager);
    m_searchManager = new SearchManager(actions, config);
    m_searchManager->setControllerManager(m_controllerManager);
    m_facePresetManager = new FacePresetManager(getFontManager(), config);
    m_facePresetUI = new FacePresetManagerUI(m_facePresetManager, m_preferencesManager, m_themeManager, config);
    // A key or tab word that fits several actions asks which one.
    setActionChooser(&ActionSelectWindow::choose);
    if (actions) {
        m_tabInvoker = new afActionInvokerTab(actions);
        actions->addInvoker(m_tabInvoker, afActionEventType::TAB);
    }
    // Every editor finds its presets, theme, tab triggers and launcher entries here.
    EditorContext& editors = EditorContext::get();
    editors.facePresets = m_facePresetManager;
    editors.themes = m_themeManager;
    editors.tabInvoker = m_tabInvoker;
    editors.bundles = m_bundleManager;
}

void App::createMainWindow() {
    m_tabManager = new TabManager();
    MainWindow* window = new MainWindow(this);
    m_mainWindow = window;
    window->create();
    if (PreferencesManager* preferences = m_preferencesManager)
        preferences->setOwner(window);
    if (m_fileManager) {
        m_fileManager->setDocumentDock(window->getDocumentTabs());
        m_fileManager->setMainWindow(window);
        m_fileManager->setLanguages(m_languageManager);
        m_fileManager->setFacePresets(m_facePresetManager);
        m_fileManager->setProjects(m_projectManager);
        m_fileManager->setStatusStrip(window->getToolStrip());
        // Filled afresh each time it opens: the recent files and a waiting last session.
        if (afMenu* recent = window->getRecentFilesMenu()) {
            recent->prepareCallback = afMenu::PrepareCallback(
                m_fileManager, [](void* self, afMenu* menu) { static_cast<FileManager*>(self)->fillRecentMenu(menu); });
        }
    }
    if (m_projectManager) {
        m_projectManager->setOwner(window);
        m_projectManager->setDock(window->getSidebar());
        m_projectManager->setStatusStrip(getStatusStrip());
        m_dockManager->registerSlotController(m_projectManager);
    }
    m_bundleHost->setMainWindow(window);
    // Made hidden before the settings are loaded, like the bundle manager's other parts:
    // F4 shows it, and the exit's question about unsaved entries goes through it.
    BundleEditorManagers editorManagers;
    editorManagers.bundles = m_bundleManager;
    editorManagers.controllers = m_controllerManager;
    editorManagers.languages = m_languageManager;
    editorManagers.docks = m_dockManager;
    m_bundleEditor = BundleEditor::create(window, editorManagers, dynamic_cast<afActionRegistry*>(getActionRegistry()));
    if (m_searchManager)
        m_searchManager->setMainWindow(window, window->getInnerLayout());
}

void App::readStartSettings(Config& config) {
    ConfigValue* id = config.getValue(L"updates.statistics.id");
    m_statisticsId = id && id->getType() == ConfigValue::TYPE_STRING && id->getString() ? id->getString() : L"";
    ConfigValue* allowed = config.getValue(L"updates.statistics.allowed");
    m_statisticsAllowed = allowed && allowed->getType() == ConfigValue::TYPE_BOOL ? allowed->asBool() : true;
}

void App::checkForUpdates(bool manual) {
    if (m_updateChecker)
        m_updateChecker->run(manual);
}

void App::setDocumentsDistractionFree(bool on) {
    if (m_fileManager)
        m_fileManager->setDistractionFree(on);
}

} // namespace corvel
