#include "corvel/workspace/FileManager.h"

#include "corvel/app/DockManager.h"
#include "corvel/app/DockSimple.h"
#include "corvel/app/Tabs.h"
#include "corvel/config/ConfigManager.h"
#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/document/Selection.h"
#include "corvel/editor/Editor.h"
#include "corvel/editor/EditorStatusController.h"
#include "corvel/editor/EditorWrapper.h"
#include "corvel/jasmine/JasmineValue.h"
#include "corvel/ui/afDeferredDelete.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afWindow.h"
#include "corvel/widgets/ViewVirtualButton.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionTable.h"
#include "corvel/widgets/afDataObjectFiles.h"
#include "corvel/widgets/afDock.h"
#include "corvel/widgets/afDockSlot.h"
#include "corvel/widgets/afMessageBox.h"
#include "zem/files/FileIO.h"

#include <algorithm>

namespace corvel {

namespace {

constexpr uint32_t UNTITLED_ICON = 0x5CBA1748u;
constexpr int TEXT_MODIFIED = 10;
constexpr int TEXT_SAVED = 9;

uint64_t pathKey(const std::wstring& path) {
    return zem::fileGetPathHash64(path.c_str(), nullptr);
}

DocumentController* controllerOf(const afDockSlot* slot) {
    return slot && slot->getController() && slot->getController()->getControllerId() == FileManager::CONTROLLER_ID
               ? static_cast<DocumentController*>(slot->getData())
               : nullptr;
}

EditorWrapper* wrapperOf(const afDockSlot* slot) {
    return slot ? dynamic_cast<EditorWrapper*>(slot->getView()) : nullptr;
}

} // namespace

FileManager::FileManager(DocumentManager* documents, DocumentControllerManager* controllers, afActionRegistry* registry,
                         ConfigManager* configManager)
    : afActionHandler(L"FileManager", registry), afDockSlotController(CONTROLLER_ID), m_documents(documents),
      m_controllers(controllers), m_configManager(configManager) {
    if (m_configManager)
        m_configManager->settingsLoaded.add(&FileManager::onSettingsLoaded, this);
}

FileManager::~FileManager() {
    if (m_configManager) {
        m_configManager->settingsLoaded.remove(&FileManager::onSettingsLoaded, this);
        m_configManager->settingsStore.remove(&FileManager::onSettingsStore, this);
        m_configManager->closeQuery.remove(&FileManager::onCloseQuery, this);
    }
    if (DockManager* docks = DockManager::instance())
        docks->unregisterSlotController(this);
    watchServices(false);
    // Its strip may be gone with the main window: deleting it lets go of the document only.
    m_status.reset();
    // Without a question: the program is going.
    for (DocumentController* controller : std::vector<DocumentController*>(m_open))
        removeDocument(controller);
}

void FileManager::onSettingsLoaded(void* self, Config* config) {
    static_cast<FileManager*>(self)->createActions(config);
}

void FileManager::onSettingsStore(void* self, Config* config) {
    auto* manager = static_cast<FileManager*>(self);
    if (config)
        manager->storeRecent(*config);
    // The program is going: new grammars are no business of the open documents any more, and
    // the status strip goes with the main window, before this manager.
    manager->watchServices(false);
    manager->m_status.reset();
}

bool FileManager::onCloseQuery(void* self) {
    return static_cast<FileManager*>(self)->closeAll(nullptr);
}

void FileManager::createActions(Config* config) {
    if (m_actionsCreated)
        return;
    m_actionsCreated = true;
    if (auto* tabs = dynamic_cast<Tabs*>(m_dock)) {
        tabs->setDoubleClick(this, [](void* self, Tabs*) {
            auto* manager = static_cast<FileManager*>(self);
            manager->activateTab(manager->newDocument());
        });
    }
    if (m_dock)
        m_dock->addDropHandler(new afDataObjectFiles(), this, &FileManager::onDockFileDrop);
    if (m_statusStrip && !m_status)
        m_status.reset(new EditorStatusController(m_statusStrip, m_languages));
    watchServices(true);
    if (m_configManager && !ConfigManager::isShuttingDown()) {
        m_configManager->settingsStore.add(&FileManager::onSettingsStore, this);
        m_configManager->closeQuery.add(&FileManager::onCloseQuery, this);
    }
    if (DockManager* docks = DockManager::instance())
        docks->registerSlotController(this);
    const wchar_t* main = L"ui.window.main";
    const afActionTableRow rows[] = {
        {L"file.new.default", L"New File", main, L"Ctrl+N", nullptr, &FileManager::onNew},
        {L"file.open.default", L"Open File", main, L"Ctrl+O", nullptr, &FileManager::onOpen},
        {L"file.open.quick", L"Quick Open File", main, L"Ctrl+Shift+O", L"Alt+Shift+O", &FileManager::onQuickOpen},
        {L"file.open.session.last", L"Open Last Session", main, nullptr, nullptr, &FileManager::onOpenLastSession},
        {L"file.save.default", L"Save File", main, L"Ctrl+S", nullptr, &FileManager::onSave},
        {L"file.save.select", L"Save File As", main, L"Ctrl+Shift+S", nullptr, &FileManager::onSaveAs},
        {L"file.show.in_project", L"Show File in Project", main, nullptr, nullptr, &FileManager::onShowInProject},
        {L"file.show.in_folder", L"Show File in Folder", main, nullptr, nullptr, &FileManager::onShowInFolder},
        {L"file.close", L"&Close", main, L"Ctrl+F4", L"Ctrl+W", &FileManager::onClose},
        {L"file.close.all", L"Close &All", main, L"Ctrl+Shift+F4", nullptr, &FileManager::onCloseAll},
        {L"file.close.all_others", L"Close All &Others", main, nullptr, nullptr, &FileManager::onCloseAllOthers},
        {L"file.reload", L"Reload Document", main, nullptr, nullptr, &FileManager::onReload},
    };
    registerActionTable(*this, rows);
    activate();
    if (config)
        loadRecent(*config);
}

// --- Opening -----------------------------------------------------------------------------

DocumentController* FileManager::findOpen(const std::wstring& path) const {
    uint64_t key = pathKey(path);
    for (DocumentController* controller : m_open) {
        if (!controller->getFilePath().empty() && pathKey(controller->getFilePath()) == key)
            return controller;
    }
    return nullptr;
}

FileManager::OpenResult FileManager::open(const wchar_t* path, afDock* dock, int index) {
    if (path) {
        RecentFileEntry entry;
        entry.filePath = path;
        return openEntry(entry, dock, index);
    }
    DocumentController* controller = m_controllers->createUntitledDocument();
    addDocument(controller, dock, index);
    return {nullptr, controller};
}

FileManager::OpenResult FileManager::openEntry(const RecentFileEntry& entry, afDock* dock, int index) {
    if (entry.filePath.empty())
        return {nullptr, nullptr};
    if (DocumentController* open = findOpen(entry.filePath))
        return {nullptr, open};
    std::unique_ptr<zem::ErrorObject> error;
    Document* document = m_documents->loadDocument(entry.filePath.c_str(), error);
    if (!document)
        return {std::shared_ptr<zem::ErrorObject>(error.release()), nullptr};
    DocumentController* controller = m_controllers->createController(document);
    {
        EditBracket bracket(*controller, DocumentController::EDIT_READ);
        TextPosition end = controller->getEndPosition();
        TextPosition caret(std::min(std::max(entry.line, 0), end.line), std::max(entry.lineOffset, 0));
        if (caret.line == end.line)
            caret.offset = std::min(caret.offset, end.offset);
        Selection* selection = controller->beginChangeBatch();
        selection->select(caret, caret, Selection::CARET_ANCHOR, Selection::ID_START_OVER);
        controller->endChangeBatch();
    }
    chooseGrammar(controller, false);
    // The new file takes the place of the empty start-up document.
    if (m_open.size() == 1 && m_open[0]->getFilePath().empty() && !m_open[0]->isModified()) {
        if (afDockSlot* slot = slotOf(m_open[0])) {
            if (index > 0)
                --index;
            slot->getDock()->removeSlot(slot);
        }
    }
    addDocument(controller, dock, index);
    return {nullptr, controller};
}

FileManager::OpenResult FileManager::openFiles(const std::vector<std::wstring>& paths, afDock* dock, int index) {
    OpenResult result{nullptr, nullptr};
    for (const std::wstring& path : paths) {
        result = open(path.c_str(), dock, index);
        if (result.second && index >= 0)
            index = m_lastSlotIndex + 1;
    }
    return result;
}

DocumentController* FileManager::newDocument() {
    return open(nullptr).second;
}

void FileManager::activateTab(DocumentController* controller) {
    if (afDockSlot* slot = slotOf(controller))
        slot->getDock()->setActiveSlot(slot);
}

void FileManager::addDocument(DocumentController* controller, afDock* dock, int index) {
    if (index < 0 || index > static_cast<int>(m_open.size()))
        m_open.push_back(controller);
    else
        m_open.insert(m_open.begin() + index, controller);
    if (!dock)
        dock = m_dock;
    applyFacePreset(controller);
    watchDocument(controller, true);
    if (dock)
        m_lastSlotIndex = dock->addSlot(this, controller, SLOT_DOCUMENT, index).first;
    updateTab(controller);
}

void FileManager::removeDocument(DocumentController* controller) {
    if (m_active == controller)
        m_active = nullptr;
    if (m_status && m_status->getDocumentController() == controller)
        m_status->setDocumentController(nullptr);
    watchDocument(controller, false);
    m_open.erase(std::remove(m_open.begin(), m_open.end(), controller), m_open.end());
    controller->setEditor(nullptr);
    m_controllers->destroyController(controller);
}

afDockSlot* FileManager::slotOf(DocumentController* controller) const {
    if (!controller || !m_dock)
        return nullptr;
    for (int i = 0; i < m_dock->getSlotCount(); ++i) {
        afDockSlot* slot = m_dock->getSlot(i);
        if (controllerOf(slot) == controller)
            return slot;
    }
    return nullptr;
}

// --- Tabs and caption ----------------------------------------------------------------------

void FileManager::watchDocument(DocumentController* controller, bool subscribe) {
    if (subscribe) {
        controller->titleChanged.add(&FileManager::onTitleChanged, this);
        controller->modifiedChanged.add(&FileManager::onModifiedChanged, this);
        controller->languageChanged.add(&FileManager::onLanguageChanged, this);
        controller->fileChangedOnDisk.add(&FileManager::onFileChangedOnDisk, this);
    } else {
        controller->titleChanged.remove(&FileManager::onTitleChanged, this);
        controller->modifiedChanged.remove(&FileManager::onModifiedChanged, this);
        controller->languageChanged.remove(&FileManager::onLanguageChanged, this);
        controller->fileChangedOnDisk.remove(&FileManager::onFileChangedOnDisk, this);
    }
}

void FileManager::onTitleChanged(void* self, DocumentController* controller, const wchar_t*) {
    auto* manager = static_cast<FileManager*>(self);
    manager->updateTab(controller);
    if (controller == manager->m_active)
        manager->updateWindowTitle(controller);
}

void FileManager::onModifiedChanged(void* self, DocumentController* controller, bool) {
    static_cast<FileManager*>(self)->updateTab(controller);
}

void FileManager::updateTab(DocumentController* controller) {
    ViewVirtualButton* button = DockSimple::getButton(slotOf(controller));
    if (!button)
        return;
    button->setText(controller->getTitle());
    button->setTextFlags(controller->isModified() ? TEXT_MODIFIED : TEXT_SAVED);
    bool untitled = controller->getFilePath().empty();
    button->setIcon(untitled && afResources::exists() ? afResources::find(UNTITLED_ICON) : nullptr);
}

std::wstring FileManager::captionOf(DocumentController* controller) {
    if (!controller)
        return std::wstring();
    std::wstring caption = controller->getTitle();
    const std::wstring& path = controller->getFilePath();
    size_t slash = path.find_last_of(L"\\/");
    if (!path.empty() && slash != std::wstring::npos)
        caption += L" - " + path.substr(0, slash + 1);
    return caption;
}

void FileManager::updateWindowTitle(DocumentController* controller) {
    if (m_mainWindow)
        m_mainWindow->setTitle(captionOf(controller).c_str());
}

// --- The dock's calls ----------------------------------------------------------------------

afView* FileManager::createSlotView(afDockSlot* slot) {
    afView* container = slot ? slot->getDock() : m_dock;
    auto* wrapper = new EditorWrapper(container);
    Editor* editor = wrapper->getEditor();
    editor->setName(L"main");
    editor->setDistractionFree(m_distractionFree);
    // The document editors are what Find and Replace work on.
    editor->registerSearchScopes();
    Editor::FileDropHandler drops;
    drops.object = this;
    drops.drop = &FileManager::onEditorFileDrop;
    editor->setFileDropHandler(drops);
    editor->contextMenuContributors.add(&FileManager::onEditorMenu, this);
    return wrapper;
}

bool FileManager::storeSlot(afDockSlot* slot, JasmineValue& value) {
    DocumentController* controller = controllerOf(slot);
    if (!controller || controller->getFilePath().empty())
        return false;
    return captureEntry(controller).write(value);
}

bool FileManager::restoreSlot(const JasmineValue& value, afDock*, int) {
    RecentFileEntry entry;
    if (!entry.read(value) || entry.filePath.empty())
        return false;
    // Every document of the last run is offered, even one whose file is gone now (opening
    // the session skips it then); the same file twice is offered once.
    for (const RecentFileEntry& waiting : m_lastSession) {
        if (zem::filePathsEqual(waiting.filePath.c_str(), entry.filePath.c_str()))
            return false;
    }
    m_lastSession.push_back(entry);
    return true;
}

void FileManager::onSlotInserted(afDockSlot* slot) {
    if (DocumentController* controller = controllerOf(slot))
        updateTab(controller);
    if (m_open.size() > 1)
        showSessionButton(false);
}

void FileManager::onSlotRemoved(afDockSlot* slot, bool deleting) {
    DocumentController* controller = controllerOf(slot);
    if (!controller)
        return;
    retireView(slot, controller);
    if (!deleting)
        return;
    addRecent(captureEntry(controller));
    removeDocument(controller);
    if (m_open.size() <= 1)
        showSessionButton(true);
}

void FileManager::retireView(afDockSlot* slot, DocumentController* controller) {
    // The dock keeps a view while another of its slots shows the document; a slot that moves
    // to another dock gets a new view there.
    EditorWrapper* wrapper = wrapperOf(slot);
    if (!wrapper || wrapper->getParent())
        return;
    if (controller->getEditor() == wrapper->getEditor())
        controller->setEditor(nullptr);
    wrapper->setVisible(false);
    // Keys typed next must reach the window rather than a window about to go.
    HWND editor = wrapper->getEditor()->getHandle();
    if (editor && GetFocus() == editor)
        SetFocus(GetParent(editor));
    // The close may have come from a key or a drop that the editor itself is still handling.
    afDeferredDelete::add(wrapper);
}

void FileManager::onSlotsClosing(std::vector<afDockSlot*>& slots) {
    if (m_closeConfirmed)
        return;
    std::vector<DocumentController*> controllers;
    for (afDockSlot* slot : slots) {
        if (DocumentController* controller = controllerOf(slot))
            controllers.push_back(controller);
    }
    if (!confirmClose(controllers))
        slots.clear();
}

void FileManager::onSlotActivated(afDockSlot* slot) {
    DocumentController* controller = controllerOf(slot);
    if (!controller)
        return;
    if (EditorWrapper* wrapper = wrapperOf(slot)) {
        controller->setEditor(wrapper->getEditor());
        wrapper->setVisible(true);
        wrapper->requestFocus();
    }
    m_active = controller;
    updateWindowTitle(controller);
    if (m_status)
        m_status->setDocumentController(controller);
    onFileChangedState(controller, false);
}

void FileManager::onSlotDeactivated(afDockSlot* slot) {
    DocumentController* controller = controllerOf(slot);
    if (!controller)
        return;
    onFileChangedState(controller, true);
    controller->setEditor(nullptr);
    if (m_open.size() == 1)
        updateWindowTitle(nullptr);
    if (m_status && m_status->getDocumentController() == controller)
        m_status->setDocumentController(nullptr);
    if (m_active == controller)
        m_active = nullptr;
}

RecentFileEntry FileManager::captureEntry(DocumentController* controller) const {
    RecentFileEntry entry;
    entry.filePath = controller->getFilePath();
    if (Selection* selection = controller->getSelection()) {
        entry.line = selection->getCaret().line;
        entry.lineOffset = selection->getCaret().offset;
    }
    return entry;
}

// --- Failures shown to the user -------------------------------------------------------------

afView* FileManager::promptOwner() const {
    if (m_dock)
        return m_dock;
    return m_mainWindow;
}

void FileManager::reportFailure(const wchar_t* what, const std::wstring& path, const zem::ErrorObject* error) {
    afMessageBox* box = afMessageBox::create(promptOwner());
    if (!box)
        return;
    box->setTitle(L"Error");
    box->addLabel(what, 0, 2, 0);
    box->addLabel(path, 2, 1, 0);
    if (error)
        box->addLabel(error->message(), 2, 1, 0);
    box->addButton(L"&OK", afWindow::RESULT_OK, true);
    box->runModal();
    if (HWND handle = box->getHandle())
        DestroyWindow(handle);
}

void FileManager::openPaths(const std::vector<std::wstring>& paths) {
    openDropped(paths, nullptr, -1);
}

} // namespace corvel
