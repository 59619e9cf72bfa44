// The file manager's commands: saving, the questions before closing, closing, the recent
// files and the last session, and the action handlers.
#include "corvel/workspace/FileManager.h"

#include "../ClosePrompts.h"
#include "corvel/app/FileSelectWindow.h"
#include "corvel/config/Config.h"
#include "corvel/config/ConfigManager.h"
#include "corvel/config/ConfigValue.h"
#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/jasmine/JasmineValue.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afWindow.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afDialogFileBase.h"
#include "corvel/widgets/afDialogFileOptions.h"
#include "corvel/widgets/afDock.h"
#include "corvel/widgets/afDockSlot.h"
#include "corvel/widgets/afMenu.h"
#include "corvel/widgets/afMenuItem.h"
#include "corvel/widgets/afMessageBox.h"
#include "zem/base/Crc.h"
#include "zem/files/FileIO.h"
#include "zem/thread/CriticalSection.h"

#include <cwctype>

namespace corvel {

namespace {

constexpr int QUESTION_ICON = 14;
constexpr uint32_t RESULT_SAVE = 0x79DCDD47u;
constexpr uint32_t RESULT_DISCARD = 0x67AA281Fu;
constexpr uint32_t RESULT_CANCEL = 0x5616C572u;

uint32_t runBox(afMessageBox* box) {
    uint32_t answer = box->runModal();
    if (HWND handle = box->getHandle())
        DestroyWindow(handle);
    return answer;
}

bool samePathText(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    }
    return true;
}

// The open dialog starts where it was used last instead of at the active document.
bool useLastOpenFolder(ConfigManager* manager) {
    if (!manager)
        return false;
    Config& config = manager->getConfig();
    zem::CriticalSectionLock guard(config.getLock());
    ConfigValue* value = config.getValue(L"app.use_last_dir_in_open_dialog");
    return value && value->getType() == ConfigValue::TYPE_BOOL && value->asBool();
}

// Modified and shown by this controller only: what closing would lose. Only an untitled
// document may be empty and unasked; a file emptied on purpose would keep its old text.
bool needsAsking(DocumentController* controller) {
    EditBracket bracket(*controller, DocumentController::EDIT_READ);
    Document* document = controller->getDocument();
    return controller->isModified() && document && document->getControllers().size() == 1 &&
           (controller->getTextLength() > 0 || !controller->getFilePath().empty());
}

// A recent file in the menu: keeps its own copy of the entry.
class RecentItem : public afMenuItem {
public:
    RecentItem(const RecentFileEntry& entry, FileManager* manager)
        : afMenuItem(entry.filePath), m_entry(entry), m_manager(manager) {}
    void activate(void*) override { m_manager->openRecent(m_entry); }

private:
    RecentFileEntry m_entry;
    FileManager* m_manager;
};

} // namespace

// --- Saving --------------------------------------------------------------------------------

bool FileManager::save(DocumentController* controller) {
    if (!controller)
        return true;
    activateTab(controller);
    if (controller->getFilePath().empty())
        return saveAs(controller);
    std::unique_ptr<zem::ErrorObject> error;
    if (m_documents->saveDocument(controller->getDocument(), controller->getFilePath().c_str(), error))
        return true;
    reportFailure(L"Unable to save file", controller->getFilePath(), error.get());
    return false;
}

bool FileManager::saveAs(DocumentController* controller) {
    if (!controller)
        return false;
    afDialogFileSave dialog(m_mainWindow);
    afDialogFileOptions options;
    options.initialFileName = controller->getFilePath();
    buildFileFilters(controller->getLanguageName(), options);
    options.overwritePrompt = true;
    options.noReadOnlyReturn = false;
    options.multiSelect = false;
    // A new name does not exist yet.
    options.mustExist = false;
    if (dialog.show(options) != afWindow::RESULT_OK || options.selectedPaths.empty())
        return false;
    const std::wstring& path = options.selectedPaths.front();
    std::unique_ptr<zem::ErrorObject> error;
    if (m_documents->saveDocument(controller->getDocument(), path.c_str(), error)) {
        // A new name may mean a new file type.
        chooseGrammar(controller, true);
        return true;
    }
    reportFailure(L"Unable to save file", path, error.get());
    return false;
}

// --- Questions before closing ------------------------------------------------------------

bool FileManager::confirmCloseOne(DocumentController* controller) {
    afMessageBox* box = afMessageBox::create(promptOwner());
    if (!box)
        return false;
    box->setTitle(L"Closing modified file...");
    box->addLabel(L"Save this file before closing?", 0, 2, 0);
    box->addLabel(controller->getTitle(), 1, 1, 0);
    const std::wstring& path = controller->getFilePath();
    box->addLabel(path.empty() ? std::wstring(L"File has not been saved yet.") : path, 2, 1, 0);
    if (afResources::exists())
        box->setIcon(&afResources::getIcon(QUESTION_ICON));
    addCloseButtons(box, false);
    activateTab(controller);
    switch (runBox(box)) {
    case RESULT_SAVE:
        return save(controller);
    case RESULT_DISCARD:
        return true;
    default:
        return false;
    }
}

bool FileManager::confirmClose(std::vector<DocumentController*>& controllers) {
    if (controllers.empty())
        return true;
    std::vector<DocumentController*> asked;
    for (DocumentController* controller : controllers) {
        if (needsAsking(controller))
            asked.push_back(controller);
    }
    if (asked.empty())
        return true;
    if (asked.size() == 1) {
        if (!confirmCloseOne(asked.front()))
            controllers.clear();
        return !controllers.empty();
    }
    afMessageBox* box = afMessageBox::create(promptOwner());
    if (!box) {
        controllers.clear();
        return false;
    }
    box->setTitle(L"Closing modified files...");
    box->addLabel(L"Save these " + std::to_wstring(asked.size()) + L" files before closing?", 0, 2, 0);
    size_t untitled = 0;
    for (DocumentController* controller : asked) {
        if (controller->getFilePath().empty()) {
            ++untitled;
            continue;
        }
        box->addLabel(controller->getTitle(), 2, 1, 0);
        box->addLabel(controller->getFilePath(), 3, 1, 0);
    }
    bool named = untitled < asked.size();
    // Left out when every document asked about has a file.
    if (untitled > 0)
        box->addLabel((named ? L"and " : L"") + std::to_wstring(untitled) + L" untitled file(s).", named ? 2 : 1, 2, 0);
    addCloseButtons(box, true);
    switch (runBox(box)) {
    case RESULT_SAVE:
        for (DocumentController* controller : asked) {
            if (!save(controller)) {
                controllers.clear();
                return false;
            }
        }
        return true;
    case RESULT_DISCARD:
        return true;
    default:
        controllers.clear();
        return false;
    }
}

bool FileManager::closeAll(DocumentController* keep) {
    std::vector<DocumentController*> closing;
    for (DocumentController* controller : m_open) {
        if (controller != keep)
            closing.push_back(controller);
    }
    if (closing.empty())
        return true;
    if (!confirmClose(closing))
        return false;
    for (DocumentController* controller : closing) {
        afDockSlot* slot = slotOf(controller);
        if (!slot) {
            addRecent(captureEntry(controller));
            removeDocument(controller);
            continue;
        }
        removeAskedSlot(slot, m_closeConfirmed);
    }
    return true;
}

// --- Recent files and the last session ---------------------------------------------------

void FileManager::addRecent(const RecentFileEntry& entry) {
    if (entry.filePath.empty())
        return;
    for (auto it = m_recent.begin(); it != m_recent.end(); ++it) {
        if (samePathText(it->filePath, entry.filePath)) {
            m_recent.erase(it);
            break;
        }
    }
    if (zem::fileGetAttributes(entry.filePath.c_str(), nullptr))
        m_recent.push_back(entry);
    while (m_recent.size() > RECENT_LIMIT)
        m_recent.pop_front();
}

void FileManager::loadRecent(Config& config) {
    ConfigValue* value = config.getValue(L"app.files.recent");
    if (!value)
        return;
    for (const ConfigValue& element : value->getList()) {
        const JasmineValue* dictionary = element.getJasmine();
        RecentFileEntry entry;
        if (dictionary && entry.read(*dictionary))
            addRecent(entry);
    }
}

void FileManager::storeRecent(Config& config) {
    ConfigValue* value = config.getValue(L"app.files.recent");
    if (!value)
        return;
    ConfigValue::List list;
    for (const RecentFileEntry& entry : m_recent) {
        JasmineValue dictionary;
        if (!entry.write(dictionary))
            continue;
        ConfigValue element(ConfigValue::TYPE_JASMINE);
        element.setJasmine(dictionary);
        list.push_back(std::move(element));
    }
    value->setList(list);
}

void FileManager::fillRecentMenu(afMenu* menu) {
    if (!menu)
        return;
    menu->clear();
    if (!m_lastSession.empty()) {
        auto* session = new afMenuItem(L"Op&en Last Session (" + std::to_wstring(m_lastSession.size()) + L")");
        session->activateCallback = afMenuItem::ActivateCallback(
            this, [](void* self, void*, afMenuItem*) { static_cast<FileManager*>(self)->openLastSession(); });
        menu->addItem(session);
        menu->addSeparator();
    }
    if (m_recent.empty()) {
        menu->addItem(new afMenuItem(L"No recent files."));
        return;
    }
    for (auto it = m_recent.rbegin(); it != m_recent.rend(); ++it) {
        auto* item = new RecentItem(*it, this);
        menu->addItem(item);
    }
}

void FileManager::openRecent(const RecentFileEntry& entry) {
    OpenResult result = openEntry(entry);
    if (result.second)
        activateTab(result.second);
    else
        reportFailure(L"Unable to open file", entry.filePath, result.first.get());
}

void FileManager::openLastSession() {
    if (m_lastSession.empty())
        return;
    std::vector<RecentFileEntry> session;
    session.swap(m_lastSession);
    int index = -1;
    DocumentController* last = nullptr;
    for (const RecentFileEntry& entry : session) {
        // A file gone since the last run is skipped without a word: the rest still open.
        OpenResult result = open(entry.filePath.c_str(), nullptr, index);
        if (!result.second)
            continue;
        last = result.second;
        index = m_lastSlotIndex + 1;
    }
    if (!m_active && last)
        activateTab(last);
    showSessionButton(false);
}

void FileManager::restoreSession() {
    if (m_open.empty())
        showSessionButton(true);
    if (m_open.empty())
        activateTab(newDocument());
}

// --- Actions -------------------------------------------------------------------------------

bool FileManager::onNew(afActionEvent*) {
    activateTab(newDocument());
    return true;
}

bool FileManager::onOpen(afActionEvent*) {
    afDialogFileOpen dialog(m_mainWindow);
    afDialogFileOptions options;
    buildFileFilters(std::wstring(), options);
    if (m_active && !useLastOpenFolder(m_configManager))
        options.initialFileName = m_active->getFilePath();
    if (dialog.show(options) == afWindow::RESULT_OK)
        openPaths(options.selectedPaths);
    return true;
}

bool FileManager::onQuickOpen(afActionEvent*) {
    if (!m_mainWindow)
        return true;
    auto* window = new FileSelectWindow(m_mainWindow);
    for (const std::wstring& path : quickOpenCandidates())
        window->addFile(zem::fileGetPathHash(path.c_str(), nullptr), path, true);
    window->setFilterText(m_quickOpenQuery);
    window->afViewPlatform::create();
    std::wstring path;
    bool picked = window->runModal() == afWindow::RESULT_OK && window->getSelectedPath(path);
    m_quickOpenQuery = window->getFilterText();
    if (HWND handle = window->getHandle())
        DestroyWindow(handle);
    if (picked)
        openPaths({path});
    return true;
}

bool FileManager::onOpenLastSession(afActionEvent*) {
    openLastSession();
    return true;
}

bool FileManager::onSave(afActionEvent*) {
    if (m_active)
        save(m_active);
    return true;
}

bool FileManager::onSaveAs(afActionEvent*) {
    if (m_active)
        saveAs(m_active);
    return true;
}

bool FileManager::onClose(afActionEvent*) {
    if (afDockSlot* slot = slotOf(m_active))
        slot->getDock()->removeSlot(slot);
    return true;
}

bool FileManager::onCloseAll(afActionEvent* event) {
    if (event && event->type == afActionEventType::KEY) {
        afMessageBox* box = afMessageBox::create(promptOwner());
        if (!box)
            return true;
        box->setTitle(L"Closing all tabs...");
        box->addLabel(L"Do you want to close all " + std::to_wstring(m_open.size()) + L" tabs?", 0, 2, 0);
        if (afResources::exists())
            box->setIcon(&afResources::getIcon(QUESTION_ICON));
        box->addButton(L"Close &All", RESULT_SAVE, true, 'Y');
        box->addButton(L"&Cancel", RESULT_CANCEL, false, 'N');
        if (runBox(box) != RESULT_SAVE)
            return true;
    }
    closeAll(nullptr);
    return true;
}

bool FileManager::onCloseAllOthers(afActionEvent*) {
    closeAll(m_active);
    return true;
}

bool FileManager::onReload(afActionEvent*) {
    reloadDocument(m_active);
    return true;
}

} // namespace corvel
