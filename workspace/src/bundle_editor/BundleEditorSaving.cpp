// The bundle editor's saving, its questions before modified entries close, the boxes that
// report failures, and the making of new entries.
#include "corvel/workspace/BundleEditor.h"

#include "../ClosePrompts.h"
#include "CurrentMessage.h"
#include "corvel/app/Tabs.h"
#include "corvel/bundles/Bundle.h"
#include "corvel/bundles/BundleEntry.h"
#include "corvel/bundles/BundleItem.h"
#include "corvel/bundles/BundleManager.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/afDockSlot.h"
#include "corvel/widgets/afLabel.h"
#include "corvel/widgets/afMessageBox.h"
#include "corvel/workspace/BundleEntryEditorState.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"

namespace corvel {

namespace {

constexpr int ERROR_ICON = 11;
constexpr int QUESTION_ICON = 14;

uint32_t runBox(afMessageBox* box) {
    uint32_t answer = box->runModal();
    if (HWND handle = box->getHandle())
        DestroyWindow(handle);
    delete box;
    return answer;
}

void giveIcon(afMessageBox* box, int index) {
    if (afResources::exists())
        box->setIcon(&afResources::getIcon(index));
}

std::wstring firstIssue(const BundleEntry* entry) {
    const ValidationErrorList& errors = entry->getErrors();
    return errors.empty() ? std::wstring() : errors.at(0)->getMessage();
}

// The kind's name in a sentence ("snippet"): the lower-case singular the kind registered.
std::wstring kindName(const BundleEntry* entry) {
    const BundleEntryTypeInfo* info = entry->getTypeInfo();
    return info && !info->name.empty() ? info->name : std::wstring(L"item");
}

// A new entry is in the manager once it is saved.
void fileInManager(BundleManager* bundles, BundleEntry* entry) {
    if (!bundles || bundles->findEntry(entry->getUuid()) == entry)
        return;
    bundles->beginUpdate();
    try {
        bundles->addEntry(entry);
    } catch (...) {
        bundles->endUpdate();
        throw;
    }
    bundles->endUpdate();
}

} // namespace

afView* BundleEditor::promptOwner() const {
    // The boxes belong to the editor's tabs while the window exists.
    if (m_tabs && m_tabs->getHandle())
        return m_tabs;
    return const_cast<BundleEditor*>(this);
}

void BundleEditor::showOpenFailure(BundleEntry* entry, const std::wstring& reason) {
    afMessageBox* box = afMessageBox::create(promptOwner());
    if (!box)
        return;
    box->setTitle(L"Cannot open entry");
    box->addLabel(L"An error occurred while opening this item.", 0, 2, afLabel::WRAP_WORDS);
    box->addLabel(entry->getDisplayTitle(), 1, 2, afLabel::WRAP_ELLIPSIS);
    giveIcon(box, ERROR_ICON);
    std::wstring issue = firstIssue(entry);
    if (issue.empty())
        issue = reason.empty() ? std::wstring(L"Unknown error.") : reason;
    box->addLabel(issue, 2, 1, afLabel::WRAP_WORDS);
    box->addButton(L"&OK", afWindow::RESULT_OK, true);
    runBox(box);
}

// --- Saving --------------------------------------------------------------------------------

bool BundleEditor::saveEntry(BundleEntry* entry) {
    if (!entry)
        return false;
    // The boxes run message loops: the entry stays while they do.
    entry->addRef();
    std::wstring failure;
    bool thrown = false;
    bool saved = false;
    try {
        BundleEntryEditorState* record = editingStateOf(entry);
        saved = !record || record->save();
        if (saved)
            saved = entry->save() && !entry->hasErrors();
        if (saved)
            fileInManager(m_managers.bundles, entry);
    } catch (...) {
        thrown = true;
        saved = false;
        failure = currentMessageOr(L"");
        zem::logMessage(zem::LOG_WARNING, zem::LOG_UNKNOWN_SOURCE, L"BundleEditor: %s\n", failure.c_str());
    }
    if (saved) {
        updateEntryTab(entry);
        entry->release();
        return true;
    }
    if (afDockSlot* slot = slotOf(entry)) {
        if (afDock* dock = slot->getDock())
            dock->setActiveSlot(slot);
    }
    afMessageBox* box = afMessageBox::create(promptOwner());
    if (box) {
        if (!thrown) {
            box->setTitle(L"Error while saving changes");
            box->addLabel(L"An error occurred while saving this item.", 0, 2, afLabel::WRAP_WORDS);
            box->addLabel(entry->getDisplayTitle(), 1, 2, afLabel::WRAP_ELLIPSIS);
        } else {
            box->setTitle(L"Cannot save entry");
            box->addLabel(L"An error occurred while saving", 0, 2, afLabel::WRAP_WORDS);
            box->addLabel(entry->getDisplayTitle(), 1, 2, afLabel::WRAP_ELLIPSIS);
            if (!failure.empty())
                box->addLabel(failure, 2, 1, afLabel::WRAP_WORDS);
            std::wstring issue = firstIssue(entry);
            if (!issue.empty())
                box->addLabel(issue, 2, 1, afLabel::WRAP_WORDS);
        }
        giveIcon(box, ERROR_ICON);
        box->addButton(L"&OK", afWindow::RESULT_OK, true);
        runBox(box);
    }
    entry->release();
    return false;
}

bool BundleEditor::saveAllEntries() {
    for (BundleEntryEditorState* record : std::vector<BundleEntryEditorState*>(m_records)) {
        BundleEntry* entry = record->getEntry();
        if (entryCountsAsModified(entry) && !saveEntry(entry))
            return false;
    }
    return true;
}

// --- Questions before closing ------------------------------------------------------------

bool BundleEditor::confirmCloseEntry(BundleEntry* entry) {
    show();
    if (afDockSlot* slot = slotOf(entry)) {
        if (afDock* dock = slot->getDock())
            dock->setActiveSlot(slot);
    }
    afMessageBox* box = afMessageBox::create(promptOwner());
    if (!box)
        return false;
    std::wstring kind = kindName(entry);
    box->setTitle((L"Closing modified " + kind + L"...").c_str());
    box->addLabel(L"Save this " + kind + L" before closing?", 0, 2, afLabel::WRAP_WORDS);
    box->addLabel(entry->getDisplayTitle(), 1, 1, afLabel::WRAP_ELLIPSIS);
    giveIcon(box, QUESTION_ICON);
    addCloseButtons(box, false);
    switch (runBox(box)) {
    case CLOSE_SAVE:
        // A failed save keeps the tab: closing it would lose the edit.
        return saveEntry(entry);
    case CLOSE_DISCARD:
        return true;
    default:
        return false;
    }
}

bool BundleEditor::confirmCloseEntries(std::vector<BundleEntryEditorState*>& records) {
    std::vector<BundleEntry*> asked;
    for (BundleEntryEditorState* record : records) {
        if (entryCountsAsModified(record->getEntry()))
            asked.push_back(record->getEntry());
    }
    if (asked.empty())
        return !records.empty();
    if (asked.size() == 1) {
        if (!confirmCloseEntry(asked.front()))
            records.clear();
        return !records.empty();
    }
    show();
    afMessageBox* box = afMessageBox::create(promptOwner());
    if (!box) {
        records.clear();
        return false;
    }
    box->setTitle(L"Closing modified items...");
    box->addLabel(L"Save these " + std::to_wstring(asked.size()) + L" items before closing?", 0, 2,
                  afLabel::WRAP_WORDS);
    for (BundleEntry* entry : asked)
        box->addLabel(entry->getDisplayTitle(), 2, 1, afLabel::WRAP_ELLIPSIS);
    addCloseButtons(box, true);
    switch (runBox(box)) {
    case CLOSE_SAVE:
        // A failed save keeps every tab open: nothing edited is lost.
        if (!saveAllEntries())
            records.clear();
        break;
    case CLOSE_DISCARD:
        break;
    default:
        records.clear();
        break;
    }
    return !records.empty();
}

// --- New entries ---------------------------------------------------------------------------

BundleEntry* BundleEditor::createEntry(const std::wstring& title, uint32_t typeId, Bundle* bundle) {
    BundleManager* bundles = m_managers.bundles;
    if (!bundles || !bundles->getEntryManager(typeId) || (typeId != BUNDLE_TYPE_ID && !bundle))
        return nullptr;
    zem::Uuid uuid;
    uuid.create();
    BundleEntry* entry = bundles->createEntry(typeId, uuid);
    entry->initFromTemplate(title);
    if (typeId == BUNDLE_TYPE_ID) {
        fileInManager(bundles, entry);
        entry->release();
        // Written at once, so that items can be filed into it.
        saveEntry(entry);
        return entry;
    }
    auto* item = dynamic_cast<BundleItem*>(entry);
    if (!item) {
        entry->release();
        return nullptr;
    }
    bundle->addEntry(item);
    // The tab's record holds the entry from here on.
    BundleEntryEditor* editor = openEntry(entry);
    if (!editor)
        bundle->removeEntry(item);
    entry->release();
    return editor ? entry : nullptr;
}

} // namespace corvel
