// The application object: owns every manager and the main window, brings them up in the
// order the program relies on, hands a second start's command line to the running
// instance, and takes everything down again at exit. Other code reaches it through
// App::instance().
#pragma once
#include "corvel/app/MainWindowHost.h"
#include "corvel/ui/afApp.h"

#include <cstdint>
#include <memory>
#include <string>

namespace corvel {

class AppBundleUiHost;
class BundleEditor;
class BundleManager;
class Config;
class ConfigManager;
class DockManager;
class DocumentControllerManager;
class DocumentManager;
class FacePresetManager;
class FacePresetManagerUI;
class GrammarRegistry;
class LanguageManager;
class MainWindow;
class PreferencesManager;
class ProjectManager;
class ScopePreferencesManager;
class FileManager;
class SearchManager;
class SnippetManager;
class TabManager;
class ThemeManager;
class ToolStripStatus;
class UpdateChecker;
class WidgetPalette;
class afActionInvokerTab;

class App : public afApp, public MainWindowHost {
public:
    enum State { STATE_MADE = 0, STATE_STARTING = 1, STATE_RUNNING = 2 };

    // commandLine: the text handleCommandLine(null) and the hand-over use; null for the
    // process's own.
    explicit App(const wchar_t* commandLine = nullptr);
    ~App() override;

    // The running application, or null.
    static App* instance();

    bool onInit() override;
    void onExit() override;

    // True when another instance owns the single-instance mutex: the command line was
    // offered to it (or could not be).
    bool activateRunningInstance();
    // False when another instance runs but no main window of it took the command line.
    bool handedOver() const { return m_handedOver; }
    // Opens the files and projects a command line names; null: this process's own.
    void handleCommandLine(const wchar_t* text) override;
    void checkForUpdates(bool manual) override;
    void setDocumentsDistractionFree(bool on) override;

    int getState() const { return m_state; }
    MainWindow* getMainWindow() const;
    // The main window's status part of the tool strip; null without a main window.
    ToolStripStatus* getStatusStrip() const;
    Config* getConfig() const;
    DocumentManager* getDocumentManager() const { return m_documentManager; }
    DocumentControllerManager* getControllerManager() const { return m_controllerManager; }
    PreferencesManager* getPreferencesManager() const { return m_preferencesManager; }
    BundleManager* getBundleManager() const { return m_bundleManager; }
    ThemeManager* getThemeManager() const { return m_themeManager; }
    SnippetManager* getSnippetManager() const { return m_snippetManager; }
    LanguageManager* getLanguageManager() const { return m_languageManager; }
    ScopePreferencesManager* getScopePreferencesManager() const { return m_scopePreferencesManager; }
    GrammarRegistry* getGrammarRegistry() const { return m_grammarRegistry; }
    FileManager* getFileManager() const { return m_fileManager; }
    SearchManager* getSearchManager() const { return m_searchManager; }
    FacePresetManager* getFacePresetManager() const { return m_facePresetManager; }
    FacePresetManagerUI* getFacePresetUI() const { return m_facePresetUI; }
    afActionInvokerTab* getTabInvoker() const { return m_tabInvoker; }
    WidgetPalette* getWidgetPalette() const { return m_widgetPalette; }
    DockManager* getDockManager() const { return m_dockManager; }
    ProjectManager* getProjectManager() const { return m_projectManager; }
    TabManager* getTabManager() const { return m_tabManager; }
    UpdateChecker* getUpdateChecker() const { return m_updateChecker; }
    AppBundleUiHost* getBundleUiHost() const { return m_bundleHost.get(); }
    BundleEditor* getBundleEditor() const { return m_bundleEditor; }
    const std::wstring& getStatisticsId() const { return m_statisticsId; }
    bool getStatisticsAllowed() const { return m_statisticsAllowed; }

private:
    void createManagers();
    void createMainWindow();
    void paintFirstFrame();
    void readStartSettings(Config& config);
    void deleteManagers();
    // The kind managers belong to the bundle manager once they registered with it.
    void deleteUnregisteredKindManagers();

    std::wstring m_commandLine; // empty: the process's own
    bool m_ownCommandLine;
    int m_state = STATE_MADE;
    bool m_handedOver = false;
    bool m_environmentUp = false; // the configuration holder mounted the devices

    std::unique_ptr<AppBundleUiHost> m_bundleHost;
    BundleEditor* m_bundleEditor = nullptr; // its window is owned by the main window; hidden until asked for
    UpdateChecker* m_updateChecker = nullptr;
    PreferencesManager* m_preferencesManager = nullptr;
    DocumentManager* m_documentManager = nullptr;
    BundleManager* m_bundleManager = nullptr;
    ThemeManager* m_themeManager = nullptr;
    SnippetManager* m_snippetManager = nullptr;
    LanguageManager* m_languageManager = nullptr;
    GrammarRegistry* m_grammarRegistry = nullptr; // the document engine context
    ScopePreferencesManager* m_scopePreferencesManager = nullptr;
    DocumentControllerManager* m_controllerManager = nullptr;
    FileManager* m_fileManager = nullptr;
    SearchManager* m_searchManager = nullptr;
    FacePresetManager* m_facePresetManager = nullptr;
    FacePresetManagerUI* m_facePresetUI = nullptr;
    afActionInvokerTab* m_tabInvoker = nullptr;
    WidgetPalette* m_widgetPalette = nullptr;
    DockManager* m_dockManager = nullptr;
    ProjectManager* m_projectManager = nullptr;
    TabManager* m_tabManager = nullptr;

    std::wstring m_statisticsId;
    bool m_statisticsAllowed = true;
};

} // namespace corvel
