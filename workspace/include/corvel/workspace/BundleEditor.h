// The window in which the user browses the bundles and edits their entries: the item lists
// in a sidebar on the left, one editor tab per open entry on the right, and a tool bar with
// "New item", "Save" and "Save all". It keeps one editing record per open entry (the
// entry's editor state, tagged on the entry), saves entries through their kinds, and asks
// before modified entries close. One instance, made by the application; it hides instead
// of closing. Main thread only.
#pragma once
#include "corvel/ui/afWindowKinds.h"
#include "corvel/widgets/afActionHandler.h"
#include "corvel/widgets/afDockSlotController.h"
#include "corvel/workspace/BundleEditorManagers.h"
#include "corvel/workspace/BundleEditorTags.h"
#include "zem/base/CallbackList.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvel {

class Bundle;
class BundleEntry;
class BundleEntryEditor;
class BundleEntryEditorState;
class Tabs;
class TabsSidebar;
class ToolBar;
class ViewVirtualButton;
class afControlSplitter;
class afEvent;
class afIcon;
class afMenu;
class afMenuNode;
class BundleEditorAllItemsWindow;
class BundleEditorDisabledItemsWindow;

class BundleEditor : public afWindowDialog, public afDockSlotController, public afActionHandler {
public:
    static constexpr uint32_t CONTROLLER_ID = 0x8D6ED36Fu;
    // Slot ids of the sidebar's lists; entry tabs use their entry's type id.
    static constexpr uint32_t SLOT_ALL_ITEMS = 0xB73E5EDCu;
    static constexpr uint32_t SLOT_DISABLED_ITEMS = 0x84FE6EE3u;
    static constexpr uint32_t LIST_ICON = 0xBC6EF7FEu;
    static constexpr uint32_t NEW_ITEM_ICON = 0xFD1A73E7u;
    static constexpr int SIDEBAR_WIDTH = 256;

    typedef zem::CallbackList<void(BundleEntry*)> EntryChanged;

    // registry null: the application's. The managers' dock manager may be null.
    BundleEditor(afView* owner, const BundleEditorManagers& managers, afActionRegistry* registry = nullptr);
    ~BundleEditor() override;
    // A new editor whose (hidden) window exists.
    static BundleEditor* create(afView* owner, const BundleEditorManagers& managers,
                                afActionRegistry* registry = nullptr);

    const wchar_t* getTypeName() const override;
    bool buildSeed(Seed& seed) override;
    void onCreated() override;
    void onBeforeDestroy() override;
    // Closes the entry tabs (asking first) and hides; the window stays for later.
    bool onCloseRequest() override;

    // Activates the entry's tab, opening one at the end when it has none; an entry that
    // cannot be edited gets the "Cannot open entry" box. The editor view of its tab, or
    // null.
    BundleEntryEditor* openEntry(BundleEntry* entry);
    // Makes an entry of the kind titled title: a bundle joins the manager at once and is
    // written; an item is filed into bundle and opened in a tab. Null when the kind is
    // unknown, an item has no bundle or the entry cannot be opened.
    BundleEntry* createEntry(const std::wstring& title, uint32_t typeId, Bundle* bundle);

    // Runs the new-entry dialog preset with the bundle and kind (NO_ENTRY_TYPE for none) and
    // makes what it asked for (createEntry); null when cancelled.
    BundleEntry* newEntry(Bundle* bundle, uint32_t typeId);
    // The "Add item" menu for bundle: one item per entry kind (icon and name, "Add %s" with
    // prefix), the bundle kind first with a separator after it, or, with separatorFirst,
    // apart after a separator. Items run newEntry and select the new entry in "All items".
    // menu null: a new popup titled "Add item", which the caller deletes.
    afMenu* buildAddItemMenu(Bundle* bundle, afMenu* menu, bool separatorFirst, bool prefix);
    // Selects the entry in "All items" (nothing before that list is made).
    void selectInAllItems(BundleEntry* entry);

    // Writes the entry (its editor's pending changes first); false, after an error box,
    // when it could not be written or does not validate.
    bool saveEntry(BundleEntry* entry);
    // Saves every open entry that counts as modified; false at the first failure.
    bool saveAllEntries();
    // The one-entry question before closing: false for "&Cancel" and for a failed save.
    bool confirmCloseEntry(BundleEntry* entry);
    // Asks about the modified ones among records; false, with the list emptied, when the
    // user cancelled or a save failed.
    bool confirmCloseEntries(std::vector<BundleEntryEditorState*>& records);
    // Asks, then closes every entry tab; false when the user cancelled or a save failed.
    bool closeAllEditors();
    // Closes the active entry's tab (asking when it is modified).
    void closeActiveEntry();

    // Shows the window when hidden, hides it (its tabs stay open) when shown.
    void toggle();

    // The entry's tab, or null when it has none (its record: editingStateOf).
    static afDockSlot* slotOf(const BundleEntry* entry);

    BundleEntry* getActiveEntry() const { return m_active; }
    const std::vector<BundleEntryEditorState*>& getRecords() const { return m_records; }
    const BundleEditorManagers& getManagers() const { return m_managers; }
    TabsSidebar* getSidebar() const { return m_sidebar; }
    Tabs* getTabs() const { return m_tabs; }
    ToolBar* getToolBar() const { return m_toolBar; }
    // Null until their tabs are first shown.
    BundleEditorAllItemsWindow* getAllItems() const { return m_allItems; }
    BundleEditorDisabledItemsWindow* getDisabledItems() const { return m_disabledItems; }
    ViewVirtualButton* getNewButton() const { return m_newButton; }
    ViewVirtualButton* getSaveButton() const { return m_saveButton; }
    ViewVirtualButton* getSaveAllButton() const { return m_saveAllButton; }
    // Told of every change of an open entry (its title, its flags, its record's).
    EntryChanged& entryChanged() { return m_entryChanged; }
    // The entry's tab text and flags brought up to date.
    void updateEntryTab(BundleEntry* entry);

    // afDockSlotController
    afView* createSlotView(afDockSlot* slot) override;
    void onSlotInserted(afDockSlot* slot) override;
    void onSlotRemoved(afDockSlot* slot, bool deleting) override;
    void onSlotsClosing(std::vector<afDockSlot*>& slots) override;
    void onSlotActivated(afDockSlot* slot) override;
    void onSlotDeactivated(afDockSlot* slot) override;

    // Action handlers.
    bool onSave(afActionEvent* event);
    bool onClose(afActionEvent* event);
    bool onNew(afActionEvent* event);
    bool onToggleSidebar(afActionEvent* event);

protected:
    // Shows the "Add item" menu at a screen point; the chosen node, or null.
    virtual afMenuNode* runMenu(afMenu* menu, int x, int y);

private:
    static void onEntryEvent(void* self, BundleEntry* entry);
    static void onRecordChanged(void* self, BundleEntryEditorState* state);
    static void onNewClicked(void* self, ViewVirtualButton* button, afEvent* event);
    static void onEntryActivated(void* self, BundleEditorAllItemsWindow* window, BundleEntry* entry);
    static void fillAddItemMenu(void* self, Bundle* bundle, afMenu* menu);
    static void onSaveClicked(void* self, ViewVirtualButton* button, afEvent* event);
    static void onSaveAllClicked(void* self, ViewVirtualButton* button, afEvent* event);

    void buildLayout();
    ViewVirtualButton* addTool(const wchar_t* label, const afIcon* icon, void (*click)(void*, ViewVirtualButton*, afEvent*));
    void registerActions();
    void setSaveEnabled(bool enabled);
    // The record of a new tab, made on the entry's first slot; false when the editor made
    // no state.
    bool createRecord(afDockSlot* slot, BundleEntry* entry);
    void dropRecord(BundleEntryEditorState* record);
    void watchEntry(BundleEntry* entry, bool on);
    afView* promptOwner() const;
    void showOpenFailure(BundleEntry* entry, const std::wstring& reason);

    BundleEditorManagers m_managers;
    std::vector<BundleEntryEditorState*> m_records; // owned, in opening order
    BundleEntry* m_active = nullptr;                // the entry of the active tab
    TabsSidebar* m_sidebar = nullptr;
    BundleEditorAllItemsWindow* m_allItems = nullptr;           // a view of the sidebar
    BundleEditorDisabledItemsWindow* m_disabledItems = nullptr; // a view of the sidebar
    Tabs* m_tabs = nullptr;
    ToolBar* m_toolBar = nullptr;
    afControlSplitter* m_splitter = nullptr;
    ViewVirtualButton* m_newButton = nullptr;
    ViewVirtualButton* m_saveButton = nullptr;
    ViewVirtualButton* m_saveAllButton = nullptr;
    EntryChanged m_entryChanged;
    bool m_closeConfirmed = false; // closeAllEditors asked already: the dock does not ask again
    std::wstring m_openFailure;    // why the last record could not be made
};

} // namespace corvel
