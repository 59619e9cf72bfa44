// The file manager's side of files changed on disk: the tab's mark, the bar with "&Reload"
// and "&Ignore" in the active document's editor area, and reloading with the question a
// modified document needs.
#include "corvel/workspace/FileManager.h"

#include "corvel/app/DockSimple.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/editor/EditorWrapper.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/ui/afWindow.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afDock.h"
#include "corvel/widgets/afDockSlot.h"
#include "corvel/widgets/afMessageBox.h"
#include "corvel/workspace/InlineMessage.h"

namespace corvel {

namespace {

constexpr wchar_t BAR_NAME[] = L"file_changed";
constexpr uint32_t RESULT_RELOAD = 0x79DCDD47u;
constexpr uint32_t RESULT_CANCEL = 0x5616C572u;

// Tells the dock the slot is of another kind: the tab strip marks a changed file's tab.
void markSlot(afDockSlot* slot, bool changed) {
    uint32_t id = changed ? FileManager::SLOT_CHANGED_ON_DISK : FileManager::SLOT_DOCUMENT;
    if (slot->getId() == id)
        return;
    slot->setId(id);
    afDock* dock = slot->getDock();
    if (!dock)
        return;
    dock->onSlotStateChanged(slot, static_cast<int>(changed ? DockSimple::STATE_WARNING : DockSimple::STATE_DEFAULT));
    dock->onSlotDecorationChanged(slot);
}

EditorWrapper* wrapperAbove(afView* view) {
    for (; view; view = view->getParent()) {
        if (auto* wrapper = dynamic_cast<EditorWrapper*>(view))
            return wrapper;
    }
    return nullptr;
}

// A bar's button took the focus and is hidden now: the editor below gets it back, so typing
// goes on where it was.
void focusEditorBelow(afView* button) {
    EditorWrapper* wrapper = wrapperAbove(button);
    if (wrapper && wrapper->isVisible())
        wrapper->requestFocus();
}

bool askBeforeReload(afView* owner, DocumentController* controller) {
    afMessageBox* box = afMessageBox::create(owner);
    if (!box)
        return false;
    box->setTitle(L"Reloading modified file...");
    box->addLabel(L"Reload this file and lose your changes?", 0, 2, 0);
    box->addLabel(controller->getTitle(), 1, 1, 0);
    box->addLabel(controller->getFilePath(), 2, 1, 0);
    box->addButton(L"&Reload", RESULT_RELOAD, false, 'Y');
    box->addButton(L"&Cancel", RESULT_CANCEL, true, 'N');
    uint32_t answer = box->runModal();
    if (HWND handle = box->getHandle())
        DestroyWindow(handle);
    return answer == RESULT_RELOAD;
}

} // namespace

void FileManager::onFileChangedOnDisk(void* self, DocumentController* controller) {
    static_cast<FileManager*>(self)->onFileChangedState(controller, false);
}

void FileManager::onFileChangedState(DocumentController* controller, bool hide) {
    afDockSlot* slot = slotOf(controller);
    if (!slot)
        return;
    bool changed = controller->isFileChangedPending();
    markSlot(slot, changed);
    auto* wrapper = dynamic_cast<EditorWrapper*>(slot->getView());
    if (!wrapper)
        return;
    if (hide)
        updateFileChangedMessage(wrapper, false);
    else if (controller == m_active)
        updateFileChangedMessage(wrapper, changed);
}

void FileManager::updateFileChangedMessage(EditorWrapper* wrapper, bool show) {
    afLayoutLinear* area = wrapper ? wrapper->getTopArea() : nullptr;
    if (!area)
        return;
    afView* bar = area->findChild(BAR_NAME);
    if (!show) {
        if (bar)
            bar->setVisible(false);
        return;
    }
    if (!bar) {
        auto* message = new InlineMessage(area->getOwner());
        message->setName(BAR_NAME);
        // In the tree first: its buttons are windows and need the host window above them.
        area->addChild(message, new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::WRAP_CONTENT));
        message->addText(L"The file has been changed.");
        if (afControlButton* reload = message->addButton(L"&Reload"))
            reload->clickCallback.set(this, &FileManager::onReloadClick);
        if (afControlButton* ignore = message->addButton(L"&Ignore"))
            ignore->clickCallback.set(this, &FileManager::onIgnoreClick);
        bar = message;
        }
    bar->setVisible(true);
}

DocumentController* FileManager::controllerOfView(afView* view) const {
    EditorWrapper* wrapper = wrapperAbove(view);
    if (!wrapper)
        return nullptr;
    for (DocumentController* controller : m_open) {
        afDockSlot* slot = slotOf(controller);
        if (slot && slot->getView() == wrapper)
            return controller;
    }
    return nullptr;
}

void FileManager::onReloadClick(void* self, afControlButton* button) {
    auto* manager = static_cast<FileManager*>(self);
    DocumentController* controller = manager->controllerOfView(button);
    if (controller && controller->isFileChangedPending())
        manager->reloadDocument(controller);
    focusEditorBelow(button);
}

void FileManager::onIgnoreClick(void* self, afControlButton* button) {
    // Clearing the flag tells the list, which takes the bar and the tab's mark away.
    if (DocumentController* controller = static_cast<FileManager*>(self)->controllerOfView(button))
        controller->clearFileChanged();
    focusEditorBelow(button);
}

bool FileManager::reloadDocument(DocumentController* controller) {
    if (!controller || controller->getFilePath().empty())
        return false;
    // A reload replaces the text: edits the user has not saved are lost only when he says so.
    if (controller->isModified() && !askBeforeReload(promptOwner(), controller))
        return false;
    std::unique_ptr<zem::ErrorObject> error;
    if (m_documents->reloadDocument(controller->getDocument(), error))
        return true;
    reportFailure(L"Unable to open file", controller->getFilePath(), error.get());
    return false;
}

} // namespace corvel
