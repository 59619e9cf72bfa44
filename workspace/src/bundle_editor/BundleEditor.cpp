// The bundle editor window: its layout, tool bar and actions, and the tabs of the open
// entries with their editing records.
#include "corvel/workspace/BundleEditor.h"

#include "../ClosePrompts.h"
#include "CurrentMessage.h"
#include "corvel/app/DockManager.h"
#include "corvel/app/Tabs.h"
#include "corvel/app/TabsSidebar.h"
#include "corvel/bundles/Bundle.h"
#include "corvel/bundles/BundleEntry.h"
#include "corvel/bundles/BundleItem.h"
#include "corvel/bundles/BundleManager.h"
#include "corvel/ui/afIcon.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/ToolBar.h"
#include "corvel/widgets/ViewVirtualButton.h"
#include "corvel/widgets/WidgetPalette.h"
#include "corvel/widgets/afActionTable.h"
#include "corvel/widgets/afControlSplitter.h"
#include "corvel/widgets/afDockSlot.h"
#include "corvel/widgets/afMenu.h"
#include "corvel/workspace/BundleEditorAllItemsWindow.h"
#include "corvel/workspace/BundleEditorDisabledItemsWindow.h"
#include "corvel/workspace/BundleEntryEditor.h"
#include "corvel/workspace/BundleEntryEditorState.h"
#include "corvel/workspace/registerBundleEntryEditors.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"

#include <algorithm>
#include <memory>

namespace corvel {

namespace {

const wchar_t TYPE_NAME[] = L"ui.window.bundle_editor";
constexpr int TEXT_MODIFIED = 10;
constexpr int TEXT_SAVED = 9;
constexpr int INITIAL_WIDTH = 900;
constexpr int INITIAL_HEIGHT = 600;

BundleEntry* entryOf(const afDockSlot* slot) {
    if (!slot || !slot->getController() || slot->getController()->getControllerId() != BundleEditor::CONTROLLER_ID)
        return nullptr;
    if (slot->getId() == BundleEditor::SLOT_ALL_ITEMS || slot->getId() == BundleEditor::SLOT_DISABLED_ITEMS)
        return nullptr;
    return static_cast<BundleEntry*>(slot->getData());
}

BundleEntryEditor* editorOf(const afDockSlot* slot) {
    return slot ? dynamic_cast<BundleEntryEditor*>(slot->getView()) : nullptr;
}

} // namespace

BundleEditor::BundleEditor(afView* owner, const BundleEditorManagers& managers, afActionRegistry* registry)
    : afWindowDialog(owner), afDockSlotController(CONTROLLER_ID), afActionHandler(L"BundleEditor", registry),
      m_managers(managers) {
    m_title = L"Bundle editor";
    setName(L"bundles");
    setPlacementKey(L"bundle_editor");
    // The kinds hand out the editors made with these managers.
    registerBundleEntryEditors(m_managers);
    registerActions();
}

BundleEditor::~BundleEditor() {
    // Without a question: the program is going.
    for (BundleEntryEditorState* record : std::vector<BundleEntryEditorState*>(m_records))
        dropRecord(record);
    if (DockManager* docks = m_managers.docks) {
        if (m_sidebar)
            docks->unregisterDock(m_sidebar);
        if (m_tabs)
            docks->unregisterDock(m_tabs);
        docks->unregisterSlotController(this);
    }
    unregisterBundleEntryEditors();
}

BundleEditor* BundleEditor::create(afView* owner, const BundleEditorManagers& managers, afActionRegistry* registry) {
    auto* editor = new BundleEditor(owner, managers, registry);
    editor->afViewPlatform::create();
    return editor;
}

const wchar_t* BundleEditor::getTypeName() const {
    return TYPE_NAME;
}

bool BundleEditor::buildSeed(Seed& seed) {
    afWindowDialog::buildSeed(seed);
    seed.width = INITIAL_WIDTH;
    seed.height = INITIAL_HEIGHT;
    return true;
}

void BundleEditor::registerActions() {
    if (!getRegistry())
        return;
    const wchar_t* context = TYPE_NAME;
    const afActionTableRow rows[] = {
        {L"bundles.item.save", L"Save Bundle Item", context, L"Ctrl+S", nullptr, &BundleEditor::onSave},
        {L"bundles.item.close", L"Close Bundle Item", context, L"Ctrl+W", nullptr, &BundleEditor::onClose},
        {L"bundles.item.new", L"New Bundle Item", context, L"Ctrl+N", nullptr, &BundleEditor::onNew},
        {L"bundles.view.left_dock.toggle.bundle_editor", L"Toggle Left Sidebar in Bundle Editor", context, L"Ctrl+F9",
         nullptr, &BundleEditor::onToggleSidebar},
    };
    registerActionTable(*this, rows);
    activate();
}

void BundleEditor::onCreated() {
    buildLayout();
    if (const afIcon* icon = afResources::exists() ? afResources::find(BUNDLE_TYPE_ID) : nullptr)
        setIcon(icon->getHandle(), icon->getHandle());
    if (DockManager* docks = m_managers.docks) {
        docks->registerSlotController(this);
        docks->registerDock(L"bundle_editor.left", m_sidebar);
        docks->registerDock(L"bundle_editor.tabs", m_tabs);
    }
    afWindowDialog::onCreated();
}

void BundleEditor::buildLayout() {
    const int fill = afLayoutParams::FILL_PARENT;
    auto* root = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    setContentView(root);
    m_toolBar = ToolBar::create(this);
    m_toolBar->setEdges(ViewVirtualButton::EDGE_BOTTOM);
    root->addChild(m_toolBar, new afLayoutParamsLinear(fill, afLayoutParams::WRAP_CONTENT));
    auto* row = new afLayoutLinear(this, afLayoutLinear::HORIZONTAL);
    root->addChild(row, new afLayoutParamsLinear(fill, fill, 1.0));

    m_sidebar = TabsSidebar::create(this);
    m_sidebar->setMinimumSize(50, 50);
    row->addChild(m_sidebar, new afLayoutParamsLinear(SIDEBAR_WIDTH, fill));
    m_splitter = afControlSplitter::create(this, m_sidebar, afControlSplitter::HORIZONTAL);
    row->addChild(m_splitter, new afLayoutParamsLinear(4, fill));
    auto* column = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    row->addChild(column, new afLayoutParamsLinear(fill, fill, 1.0));
    m_tabs = Tabs::create(this);
    m_tabs->setMinimumSize(50, 50);
    column->addChild(m_tabs, new afLayoutParamsLinear(fill, fill, 1.0));
    if (WidgetPalette* palette = WidgetPalette::instance())
        m_splitter->setPainter(palette, &WidgetPalette::paintLeftSplitter);
    m_splitter->setSize(SIDEBAR_WIDTH);

    const afIcon* newIcon = afResources::exists() ? afResources::find(NEW_ITEM_ICON) : nullptr;
    m_newButton = addTool(L"New item", newIcon, &BundleEditor::onNewClicked);
    m_saveButton = addTool(L"Save", nullptr, &BundleEditor::onSaveClicked);
    m_saveAllButton = addTool(L"Save all", nullptr, &BundleEditor::onSaveAllClicked);
    // Nothing is active yet.
    setSaveEnabled(false);

    // Each list tab carries a word of its own: the dock keeps one view per word.
    afDockSlot* all = m_sidebar->addSlot(this, &m_allItems, SLOT_ALL_ITEMS).second;
    m_sidebar->addSlot(this, &m_disabledItems, SLOT_DISABLED_ITEMS);
    m_sidebar->setActiveSlot(all);
}

ViewVirtualButton* BundleEditor::addTool(const wchar_t* label, const afIcon* icon,
                                         void (*click)(void*, ViewVirtualButton*, afEvent*)) {
    auto* button = new ViewVirtualButton(m_toolBar);
    button->setLabel(label);
    if (icon)
        button->setIcon(icon);
    if (click)
        button->setClick(this, click);
    m_toolBar->addButton(button);
    return button;
}

void BundleEditor::setSaveEnabled(bool enabled) {
    for (ViewVirtualButton* button : {m_saveButton, m_saveAllButton}) {
        if (button) {
            button->setEnabled(enabled);
            button->invalidate();
        }
    }
}

void BundleEditor::onBeforeDestroy() {
    // The records' editors are views of this window: they go before it does.
    for (BundleEntryEditorState* record : std::vector<BundleEntryEditorState*>(m_records))
        dropRecord(record);
    m_active = nullptr;
    afWindowDialog::onBeforeDestroy();
}

bool BundleEditor::onCloseRequest() {
    if (!closeAllEditors())
        return false;
    return afWindowDialog::onCloseRequest();
}

void BundleEditor::toggle() {
    // Hidden with its tabs: they are there again when it comes back.
    if (isVisible()) {
        hide();
        // The keys go back to the window it was shown from.
        afView* owner = getOwner();
        if (owner && owner != this)
            owner->requestFocus();
        return;
    }
    show();
    requestFocus();
}

// --- Records -------------------------------------------------------------------------------

afDockSlot* BundleEditor::slotOf(const BundleEntry* entry) {
    return entry ? static_cast<afDockSlot*>(entry->getTag(ENTRY_TAB_TAG)) : nullptr;
}

bool BundleEditor::createRecord(afDockSlot* slot, BundleEntry* entry) {
    BundleEntryEditor* editor = editorOf(slot);
    if (!editor) {
        m_openFailure = L"Unknown error.";
        return false;
    }
    BundleEntryEditorState* record = nullptr;
    try {
        record = editor->createState(entry);
    } catch (...) {
        m_openFailure = currentMessageOr(L"Unknown error.");
        zem::logMessage(zem::LOG_WARNING, zem::LOG_UNKNOWN_SOURCE, L"BundleEditor: %s\n", m_openFailure.c_str());
        return false;
    }
    if (!record) {
        m_openFailure = L"Unknown error.";
        return false;
    }
    entry->setTag(EDITING_RECORD_TAG, record);
    entry->setTag(ENTRY_TAB_TAG, slot);
    record->setNotification(this, &BundleEditor::onRecordChanged);
    watchEntry(entry, true);
    m_records.push_back(record);
    return true;
}

void BundleEditor::dropRecord(BundleEntryEditorState* record) {
    BundleEntry* entry = record->getEntry();
    if (record->getEditor())
        record->detach();
    // The lists stop showing the entry as edited.
    if (record->isModified())
        record->setModified(false);
    record->setNotification(nullptr, nullptr);
    watchEntry(entry, false);
    entry->removeTag(EDITING_RECORD_TAG);
    entry->removeTag(ENTRY_TAB_TAG);
    if (m_active == entry)
        m_active = nullptr;
    m_records.erase(std::remove(m_records.begin(), m_records.end(), record), m_records.end());
    // The record holds the last reference of an entry that was never filed.
    delete record;
}

void BundleEditor::watchEntry(BundleEntry* entry, bool on) {
    for (BundleEntry::Callbacks* list : {&entry->onModifiedChanged(), &entry->onSaved(), &entry->onUpdateEnd(),
                                         &entry->onLoaded()}) {
        if (on)
            list->add(&BundleEditor::onEntryEvent, this);
        else
            list->remove(&BundleEditor::onEntryEvent, this);
    }
}

void BundleEditor::onEntryEvent(void* self, BundleEntry* entry) {
    auto* editor = static_cast<BundleEditor*>(self);
    editor->updateEntryTab(entry);
    editor->m_entryChanged.invoke(entry);
}

void BundleEditor::onRecordChanged(void* self, BundleEntryEditorState* state) {
    onEntryEvent(self, state->getEntry());
}

void BundleEditor::updateEntryTab(BundleEntry* entry) {
    ViewVirtualButton* button = Tabs::getButton(slotOf(entry));
    if (!button)
        return;
    button->setText(entry->getDisplayTitle());
    button->setTextFlags(entryCountsAsModified(entry) ? TEXT_MODIFIED : TEXT_SAVED);
}

// --- The docks' calls ----------------------------------------------------------------------

afView* BundleEditor::createSlotView(afDockSlot* slot) {
    if (slot->getId() == SLOT_ALL_ITEMS) {
        if (!m_allItems) {
            m_allItems = new BundleEditorAllItemsWindow(slot->getDock(), m_managers.bundles);
            m_allItems->afViewPlatform::create();
            m_allItems->entryActivated.add(&BundleEditor::onEntryActivated, this);
            m_allItems->addItemMenu = BundleEditorAllItemsWindow::AddItemMenuFiller(this, &BundleEditor::fillAddItemMenu);
            m_entryChanged.add(&BundleEditorAllItemsWindow::onEntryChanged, m_allItems);
        }
        return m_allItems;
    }
    if (slot->getId() == SLOT_DISABLED_ITEMS) {
        if (!m_disabledItems) {
            m_disabledItems = new BundleEditorDisabledItemsWindow(slot->getDock(), m_managers.bundles);
            m_disabledItems->afViewPlatform::create();
        }
        return m_disabledItems;
    }
    BundleEntry* entry = entryOf(slot);
    if (!entry)
        return nullptr;
    BundleEntryEditorFactory factory = entry->getEditorFactory();
    afView* view = factory ? factory(slot->getDock(), entry) : nullptr;
    if (view && !static_cast<afViewPlatform*>(view)->getHandle())
        static_cast<afViewPlatform*>(view)->create();
    return view;
}

void BundleEditor::onSlotInserted(afDockSlot* slot) {
    if (slot->getId() == SLOT_ALL_ITEMS || slot->getId() == SLOT_DISABLED_ITEMS) {
        if (ViewVirtualButton* button = TabsSidebar::getButton(slot)) {
            button->setLabel(slot->getId() == SLOT_ALL_ITEMS ? L"All items" : L"Disabled items");
            button->setIcon(afResources::exists() ? afResources::find(LIST_ICON) : nullptr);
        }
        return;
    }
    BundleEntry* entry = entryOf(slot);
    if (!entry)
        return;
    if (!editingStateOf(entry) && !createRecord(slot, entry))
        return;
    entry->setTag(ENTRY_TAB_TAG, slot);
    updateEntryTab(entry);
}

void BundleEditor::onSlotRemoved(afDockSlot* slot, bool deleting) {
    BundleEntry* entry = entryOf(slot);
    if (!entry || !deleting)
        return;
    // The entry lives at least as long as this call.
    entry->addRef();
    if (BundleEntryEditorState* record = editingStateOf(entry))
        dropRecord(record);
    // A new entry that was never written goes with its tab: nothing else shows it.
    if (entry->isNew()) {
        BundleManager* bundles = m_managers.bundles;
        bool filed = bundles && bundles->findEntry(entry->getUuid()) == entry;
        if (filed)
            bundles->beginUpdate();
        if (auto* item = dynamic_cast<BundleItem*>(entry)) {
            if (Bundle* bundle = item->getBundle())
                bundle->removeEntry(item);
        }
        if (filed) {
            bundles->removeEntry(entry);
            bundles->endUpdate();
        }
    }
    if (afView* view = slot->getView()) {
        slot->setView(nullptr);
        delete view;
    }
    entry->release();
}

void BundleEditor::onSlotsClosing(std::vector<afDockSlot*>& slots) {
    if (m_closeConfirmed)
        return;
    std::vector<BundleEntryEditorState*> records;
    for (afDockSlot* slot : slots) {
        if (BundleEntryEditorState* record = editingStateOf(entryOf(slot)))
            records.push_back(record);
    }
    // The lists close without a question.
    if (!records.empty() && !confirmCloseEntries(records))
        slots.clear();
}

void BundleEditor::onSlotActivated(afDockSlot* slot) {
    BundleEntry* entry = entryOf(slot);
    BundleEntryEditorState* record = editingStateOf(entry);
    if (!record)
        return;
    BundleEntryEditor* editor = editorOf(slot);
    if (editor && record->getEditor() != editor) {
        if (record->getEditor())
            record->detach();
        record->attach(editor);
    }
    m_active = entry;
    setSaveEnabled(true);
    if (editor) {
        editor->setVisible(true);
        editor->requestFocus();
    }
}

void BundleEditor::onSlotDeactivated(afDockSlot* slot) {
    BundleEntry* entry = entryOf(slot);
    if (!entry)
        return;
    BundleEntryEditorState* record = editingStateOf(entry);
    if (record && record->getEditor())
        record->detach();
    if (m_active == entry)
        m_active = nullptr;
    setSaveEnabled(false);
}

// --- Opening -------------------------------------------------------------------------------

BundleEntryEditor* BundleEditor::openEntry(BundleEntry* entry) {
    if (!entry || !m_tabs)
        return nullptr;
    if (afDockSlot* slot = slotOf(entry)) {
        if (afDock* dock = slot->getDock())
            dock->setActiveSlot(slot);
        return editorOf(slot);
    }
    m_openFailure.clear();
    afDockSlot* slot = nullptr;
    if (entry->getEditorFactory()) {
        try {
            slot = m_tabs->addSlot(this, entry, entry->getType()).second;
        } catch (...) {
            m_openFailure = currentMessageOr(L"Unknown error.");
            zem::logMessage(zem::LOG_WARNING, zem::LOG_UNKNOWN_SOURCE, L"BundleEditor: %s\n", m_openFailure.c_str());
        }
    }
    if (slot && !editingStateOf(entry)) {
        // The editor made no state: the tab goes again, without a question.
        m_closeConfirmed = true;
        m_tabs->removeSlot(slot);
        m_closeConfirmed = false;
        slot = nullptr;
    }
    if (!slot) {
        showOpenFailure(entry, m_openFailure);
        return nullptr;
    }
    m_tabs->setActiveSlot(slot);
    return editorOf(slot);
}

// --- Actions and tools ---------------------------------------------------------------------

bool BundleEditor::onSave(afActionEvent*) {
    if (m_active)
        saveEntry(m_active);
    return true;
}

bool BundleEditor::onClose(afActionEvent*) {
    closeActiveEntry();
    return true;
}

bool BundleEditor::onNew(afActionEvent*) {
    // Another item like the active one; otherwise the user chooses everything.
    BundleEntry* active = m_active;
    auto* item = dynamic_cast<BundleItem*>(active);
    if (item && item->getBundle())
        newEntry(item->getBundle(), item->getType());
    else
        newEntry(nullptr, NO_ENTRY_TYPE);
    return true;
}

void BundleEditor::onNewClicked(void* self, ViewVirtualButton* button, afEvent*) {
    auto* editor = static_cast<BundleEditor*>(self);
    Bundle* bundle = editor->m_allItems ? editor->m_allItems->getSelectedBundle() : nullptr;
    if (!bundle)
        return;
    std::unique_ptr<afMenu> menu(editor->buildAddItemMenu(bundle, nullptr, false, false));
    if (!menu)
        return;
    // Under the button.
    afRect frame = button->getFrame();
    POINT point{frame.left, frame.bottom};
    ClientToScreen(editor->m_toolBar->getHandle(), &point);
    if (afMenuNode* chosen = editor->runMenu(menu.get(), point.x, point.y))
        chosen->runCommand();
}

afMenuNode* BundleEditor::runMenu(afMenu* menu, int x, int y) {
    return menu->popup(getHandle(), x, y, false);
}

void BundleEditor::onEntryActivated(void* self, BundleEditorAllItemsWindow*, BundleEntry* entry) {
    static_cast<BundleEditor*>(self)->openEntry(entry);
}

void BundleEditor::fillAddItemMenu(void* self, Bundle* bundle, afMenu* menu) {
    static_cast<BundleEditor*>(self)->buildAddItemMenu(bundle, menu, true, true);
}

void BundleEditor::selectInAllItems(BundleEntry* entry) {
    if (m_allItems && entry)
        m_allItems->selectEntry(entry);
}

bool BundleEditor::onToggleSidebar(afActionEvent*) {
    if (!m_sidebar)
        return true;
    bool shown = !m_sidebar->isVisible();
    m_sidebar->setVisible(shown);
    m_splitter->setVisible(shown);
    if (shown)
        m_sidebar->requestFocus();
    else
        m_tabs->requestFocus();
    requestLayout("BundleEditor::onToggleSidebar");
    return true;
}

void BundleEditor::onSaveClicked(void* self, ViewVirtualButton*, afEvent*) {
    auto* editor = static_cast<BundleEditor*>(self);
    if (editor->m_active)
        editor->saveEntry(editor->m_active);
}

void BundleEditor::onSaveAllClicked(void* self, ViewVirtualButton*, afEvent*) {
    static_cast<BundleEditor*>(self)->saveAllEntries();
}

void BundleEditor::closeActiveEntry() {
    if (afDockSlot* slot = slotOf(m_active))
        m_tabs->removeSlot(slot);
}

bool BundleEditor::closeAllEditors() {
    std::vector<BundleEntryEditorState*> records(m_records);
    if (records.empty())
        return true;
    if (!confirmCloseEntries(records))
        return false;
    for (BundleEntryEditorState* record : records) {
        // An earlier removal may have taken it (a record goes with its tab).
        if (std::find(m_records.begin(), m_records.end(), record) == m_records.end())
            continue;
        if (afDockSlot* slot = slotOf(record->getEntry()))
            removeAskedSlot(slot, m_closeConfirmed);
    }
    return true;
}

} // namespace corvel
