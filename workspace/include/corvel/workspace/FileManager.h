// Turns file paths into document tabs and back: opens, saves and closes documents in the
// main window's document dock, asks before modified documents close, keeps the caption in
// step with the active document and remembers the recent files and the last session.
// One instance, made and deleted by the application. Main thread only.
#pragma once
#include "corvel/document/RecentFileEntry.h"
#include "corvel/widgets/afActionHandler.h"
#include "corvel/widgets/afDockSlotController.h"
#include "zem/base/Error.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace corvel {

class Config;
class ConfigManager;
class DocumentController;
class DocumentControllerManager;
class DocumentManager;
class Editor;
class EditorStatusController;
class EditorWrapper;
class ToolBar;
class FacePresetManager;
class Language;
class LanguageManager;
class ProjectManager;
struct afDialogFileOptions;
class afDataObject;
class afDataObjectFiles;
class ViewVirtualButton;
class afControlButton;
class afDock;
class afEvent;
class afMenu;
class afWindow;

class FileManager : public afActionHandler, public afDockSlotController {
public:
    static constexpr uint32_t CONTROLLER_ID = 0xA1429C82u;
    static constexpr uint32_t SLOT_DOCUMENT = 0xE35E00DFu;
    static constexpr uint32_t SLOT_CHANGED_ON_DISK = 0x404E9CC6u;
    static constexpr size_t RECENT_LIMIT = 10;

    // The error of a failed load (null on success) and the controller that shows the file.
    typedef std::pair<std::shared_ptr<zem::ErrorObject>, DocumentController*> OpenResult;

    FileManager(DocumentManager* documents, DocumentControllerManager* controllers,
                afActionRegistry* registry = nullptr, ConfigManager* configManager = nullptr);
    ~FileManager() override;

    // The document dock and the window whose caption follows the active document.
    void setDocumentDock(afDock* dock) { m_dock = dock; }
    afDock* getDocumentDock() const { return m_dock; }
    void setMainWindow(afWindow* window) { m_mainWindow = window; }
    // The grammar and face-preset managers give opened documents their grammar and look by
    // file type; the project manager lists project files in quick open and reveals files.
    // Any may be null. Set before createActions.
    void setLanguages(LanguageManager* languages) { m_languages = languages; }
    void setFacePresets(FacePresetManager* presets) { m_presets = presets; }
    void setProjects(ProjectManager* projects) { m_projects = projects; }
    // The strip whose caret, grammar and format buttons follow the active document.
    void setStatusStrip(ToolBar* strip) { m_statusStrip = strip; }
    EditorStatusController* getStatusController() const { return m_status.get(); }

    // The application runs this once the main window and its dock exist: the actions, the
    // close and exit hooks, and the recent list read from the settings.
    void createActions(Config* config);

    // A null path makes an untitled document; a null dock is the document dock; index -1
    // appends. Stays silent on failure: the caller tells the user.
    OpenResult open(const wchar_t* path, afDock* dock = nullptr, int index = -1);
    OpenResult openEntry(const RecentFileEntry& entry, afDock* dock = nullptr, int index = -1);
    // Side by side in the order given; the result of the last path.
    OpenResult openFiles(const std::vector<std::wstring>& paths, afDock* dock = nullptr, int index = -1);
    DocumentController* newDocument();
    // Opens what the user asked for, one error box per failed path; activates the last.
    void openPaths(const std::vector<std::wstring>& paths);
    void activateTab(DocumentController* controller);

    // False when the write failed or Save As was cancelled.
    bool save(DocumentController* controller);
    bool saveAs(DocumentController* controller);
    // Asks about the modified documents among them; false (and the list emptied) when the
    // user cancelled or a save failed.
    bool confirmClose(std::vector<DocumentController*>& controllers);
    bool confirmCloseOne(DocumentController* controller);
    // Closes every document but keep; false when the user cancelled.
    bool closeAll(DocumentController* keep);

    // Recent files and the last session.
    void addRecent(const RecentFileEntry& entry);
    void loadRecent(Config& config);
    void storeRecent(Config& config);
    void fillRecentMenu(afMenu* menu);
    // A recent item chosen: the file at its stored caret, or the error box.
    void openRecent(const RecentFileEntry& entry);
    void openLastSession();
    void restoreSession();
    // Shown only while a last session waits; made on first showing.
    void showSessionButton(bool show);
    ViewVirtualButton* getSessionButton() const { return m_sessionButton; }
    const std::deque<RecentFileEntry>& getRecent() const { return m_recent; }
    const std::vector<RecentFileEntry>& getLastSession() const { return m_lastSession; }

    // The grammar of the file's type, when forced or the document has none yet.
    void chooseGrammar(DocumentController* controller, bool forced);
    // The preset of the document's grammar, into the controller and its editor.
    void applyFacePreset(DocumentController* controller);
    // "All Files", then one filter per grammar with file patterns; the filter of the
    // grammar named is preselected (none for an empty name).
    void buildFileFilters(const std::wstring& grammarName, afDialogFileOptions& options) const;
    // The candidates of quick open, in order, without repeats: the active project's files,
    // the recent files newest first, the open documents last to first.
    std::vector<std::wstring> quickOpenCandidates() const;
    // Whether the active project holds the document's file.
    bool isInActiveProject(DocumentController* controller) const;
    // Shows the project window with the document's file selected; false when it is not there.
    bool showInProject(DocumentController* controller);
    // Every document view, and those made later, shown distraction-free or as usual.
    void setDistractionFree(bool on);
    bool isDistractionFree() const { return m_distractionFree; }
    // Shows the file in the system's file browser; false with the thread's error set when the
    // browser could not be started.
    typedef bool (*FolderShower)(const std::wstring& path);
    static bool showInSystemFolder(const std::wstring& path);
    // The command line that asks the browser to select the file.
    static std::wstring folderSelectParameters(const std::wstring& path);
    void setFolderShower(FolderShower shower) { m_folderShower = shower; }
    // The document's file in the system's file browser; an untitled document has none, a
    // file that is gone or a browser that does not start gets the error box.
    void showInFolder(DocumentController* controller);

    const std::vector<DocumentController*>& getOpen() const { return m_open; }
    DocumentController* getActive() const { return m_active; }
    // The document dock's slot of the controller, or null.
    afDockSlot* slotOf(DocumentController* controller) const;
    // "name - folder\" for a document with a path, the name otherwise.
    static std::wstring captionOf(DocumentController* controller);

    // The document dock's handler of dropped files (data is its file list): they open side by
    // side at position and the last is shown.
    static int onDockFileDrop(void* self, afDock* dock, afDataObject* data, int position, afEvent* event, int allowed,
                              int last);
    // Files changed on disk: the tab's mark and, while the tab is active, the bar in its
    // editor area. hide takes the bar away whatever the flag says.
    void onFileChangedState(DocumentController* controller, bool hide);
    void updateFileChangedMessage(EditorWrapper* wrapper, bool show);
    // Reads the document's file again; a modified document asks first. False when the
    // user cancelled or the file could not be read (the text stays).
    bool reloadDocument(DocumentController* controller);

    // afDockSlotController
    afView* createSlotView(afDockSlot* slot) override;
    bool storeSlot(afDockSlot* slot, JasmineValue& value) override;
    bool restoreSlot(const JasmineValue& value, afDock* dock, int position) override;
    void onSlotInserted(afDockSlot* slot) override;
    void onSlotRemoved(afDockSlot* slot, bool deleting) override;
    void onSlotsClosing(std::vector<afDockSlot*>& slots) override;
    void onSlotActivated(afDockSlot* slot) override;
    void onSlotDeactivated(afDockSlot* slot) override;
    void fillSlotMenu(afDockSlot* slot, afMenu* menu) override;
    int getSlotDragData(afDockSlot* slot, afDataObjectComposite* data) override;
    void getSlotScope(afDockSlot* slot, ScopePath& path) override;
    void onDockEvent(uint32_t eventId, void* detail) override;

    // Action handlers.
    bool onNew(afActionEvent* event);
    bool onOpen(afActionEvent* event);
    bool onQuickOpen(afActionEvent* event);
    bool onOpenLastSession(afActionEvent* event);
    bool onSave(afActionEvent* event);
    bool onSaveAs(afActionEvent* event);
    bool onShowInProject(afActionEvent* event);
    bool onShowInFolder(afActionEvent* event);
    bool onClose(afActionEvent* event);
    bool onCloseAll(afActionEvent* event);
    bool onCloseAllOthers(afActionEvent* event);
    bool onReload(afActionEvent* event);

private:
    static void onSettingsLoaded(void* self, Config* config);
    static void onSettingsStore(void* self, Config* config);
    static bool onCloseQuery(void* self);
    static void onTitleChanged(void* self, DocumentController* controller, const wchar_t* title);
    static void onModifiedChanged(void* self, DocumentController* controller, bool modified);
    static void onLanguageChanged(void* self, DocumentController* controller, const wchar_t* name);
    static void onGrammarsChanged(void* self, LanguageManager* languages);
    static void onPresetsChanged(void* self, FacePresetManager* presets);
    static void onEditorFileDrop(void* self, Editor* editor, const std::vector<std::wstring>& paths);
    static void onEditorMenu(void* self, Editor* editor, afMenu* menu);
    // Dropped or otherwise handed paths, side by side at position; the last one activated
    // and one error box per path that failed.
    void openDropped(const std::vector<std::wstring>& paths, afDock* dock, int position);
    // Adds the separator and "Show in &Project" for the document when the project holds it.
    void addShowInProject(DocumentController* controller, afMenu* menu);
    void watchServices(bool subscribe);
    static void onFileChangedOnDisk(void* self, DocumentController* controller);
    static void onReloadClick(void* self, afControlButton* button);
    static void onIgnoreClick(void* self, afControlButton* button);
    static void onSessionClick(void* self, ViewVirtualButton* button, afEvent* event);
    // The open document whose editor area holds the view.
    DocumentController* controllerOfView(afView* view) const;
    // The tab's document the action was invoked on, else the active one.
    DocumentController* actionDocument(afActionEvent* event) const;

    void addDocument(DocumentController* controller, afDock* dock, int index);
    void removeDocument(DocumentController* controller);
    // Frees the slot's editor once its dock no longer shows it.
    void retireView(afDockSlot* slot, DocumentController* controller);
    void watchDocument(DocumentController* controller, bool subscribe);
    void updateTab(DocumentController* controller);
    void updateWindowTitle(DocumentController* controller);
    DocumentController* findOpen(const std::wstring& path) const;
    RecentFileEntry captureEntry(DocumentController* controller) const;
    afView* promptOwner() const;
    // Shows "Unable to open file", "Unable to save file" or "Unable to show file" for the path.
    void reportFailure(const wchar_t* what, const std::wstring& path, const zem::ErrorObject* error);

    DocumentManager* m_documents;             // not owned
    DocumentControllerManager* m_controllers; // not owned
    ConfigManager* m_configManager;           // not owned; may be null
    afDock* m_dock = nullptr;                 // the document dock; not owned
    afWindow* m_mainWindow = nullptr;
    LanguageManager* m_languages = nullptr; // not owned; may be null
    FacePresetManager* m_presets = nullptr; // not owned; may be null
    ProjectManager* m_projects = nullptr;   // not owned; may be null
    ToolBar* m_statusStrip = nullptr;       // not owned; may be null
    std::unique_ptr<EditorStatusController> m_status;
    bool m_servicesWatched = false;
    bool m_actionsCreated = false;
    bool m_distractionFree = false;
    bool m_closeConfirmed = false; // closeAll asked already; the dock's closing does not ask again
    std::vector<RecentFileEntry> m_lastSession;
    // Owned by the tab strip's view tree; null until first shown.
    ViewVirtualButton* m_sessionButton = nullptr;
    std::deque<RecentFileEntry> m_recent;    // oldest first, at most RECENT_LIMIT
    std::vector<DocumentController*> m_open; // in tab order
    DocumentController* m_active = nullptr;
    int m_lastSlotIndex = -1; // position of the slot added last
    std::wstring m_quickOpenQuery;
    FolderShower m_folderShower = &FileManager::showInSystemFolder;
};

} // namespace corvel
