// The bundle editor's "All items" view: a tree of the loaded bundles with their items
// beneath them, kept in step with the bundle manager. Rows are sorted, entries with
// unsaved changes are bold and entries with problems carry a warning icon; a double
// click opens an entry and the context menu disables one or adds items to its bundle.
#pragma once
#include "corvel/ui/Callback.h"
#include "corvel/widgets/afContainer.h"
#include "corvel/widgets/afImageList.h"
#include "zem/base/CallbackList.h"

#include <cstdint>
#include <map>
#include <unordered_map>
#include <vector>

namespace corvel {

class afControlTree;
class afControlTreeItem;
class afMenu;
class afMenuNode;
class Bundle;
class BundleEntry;
class BundleManager;

class BundleEditorAllItemsWindow : public afContainer {
public:
    typedef zem::CallbackList<void(BundleEditorAllItemsWindow*, BundleEntry*)> EntryEvents;
    // Appends the add-item commands for bundle to the context menu.
    typedef Callback<void(Bundle* bundle, afMenu* menu)> AddItemMenuFiller;

    static constexpr uint32_t WARNING_ICON = 0x904d7367u;
    static constexpr int ROW_HEIGHT = 20;

    // The manager must outlive the window.
    BundleEditorAllItemsWindow(afView* parent, BundleManager* manager);
    ~BundleEditorAllItemsWindow() override;

    // Builds the tree; shows the bundles at once unless the manager is loading them.
    void onCreated() override;
    void onBeforeDestroy() override;

    // The selected row's bundle (the row's entry, or its parent's); with nothing selected
    // the first bundle's; null when there is none.
    Bundle* getSelectedBundle() const;
    // Scrolls the entry's row into view and selects it; nothing for an entry without a row.
    void selectEntry(BundleEntry* entry);
    // Brings the entry's row up to date (title, bold, icons); the bundle editor calls it
    // when an entry or its editing state changed.
    void updateEntry(BundleEntry* entry);
    // updateEntry as a subscriber of the bundle editor's entry-changed list (self: the window).
    static void onEntryChanged(void* self, BundleEntry* entry);

    // Nested; the outermost end sorts what changed, then redraws.
    void beginUpdate();
    void endUpdate();

    afControlTree* getTree() const { return m_tree; }
    afControlTreeItem* rowOf(const BundleEntry* entry) const;
    BundleEntry* entryOf(const afControlTreeItem* row) const;

    // Bundles by title; items by their kind's rank, then by title; titles ignore case.
    static int compareEntries(const BundleEntry* a, const BundleEntry* b);

    // A row was double-clicked: the bundle editor opens the entry.
    EntryEvents entryActivated;
    AddItemMenuFiller addItemMenu;

protected:
    // Shows the context menu and returns the chosen node, or null.
    virtual afMenuNode* runMenu(afMenu* menu, int x, int y);

private:
    void fill();
    void clear();
    void follow(bool on);
    void addEntry(BundleEntry* entry);
    void removeEntry(BundleEntry* entry);
    void updateRow(BundleEntry* entry, afControlTreeItem* row, bool fresh);
    int imageOf(const BundleEntry* entry);
    void sortRows();
    void showMenu(afControlTreeItem* row, int x, int y);
    void unsubscribe();

    static void onLoadEnd(void* self, BundleManager* manager, bool stopped);
    static void onLoadStart(void* self, BundleManager* manager);
    static void onReset(void* self, BundleManager* manager);
    static void onEntryEvent(void* self, BundleManager* manager, uint32_t event,
                             const std::vector<BundleEntry*>& entries);
    static void onActivated(void* self, afControlTree* tree, afControlTreeItem* row);
    static void onRowDeleted(void* self, afControlTree* tree, afControlTreeItem* row);
    static void onContextMenu(void* self, afControlTree* tree, afControlTreeItem* row, int x, int y);
    static int compareRows(void* self, afControlTreeItem* a, afControlTreeItem* b);

    BundleManager* m_manager;        // not owned
    afControlTree* m_tree = nullptr; // child view
    afImageList m_images;            // the tree's list, owned by the tree
    std::map<HICON, int> m_imageOf;  // icon -> index in m_images, appended when first needed
    std::unordered_map<const BundleEntry*, afControlTreeItem*> m_rows; // entries shown; rows owned by the tree
    int m_updateDepth = 0;           // >= 0; redrawing is off while > 0
    bool m_needsSorting = false;
    bool m_following = false;        // subscribed to the manager's entry events
    bool m_subscribed = false;       // subscribed to the manager's load and reset lists
};

} // namespace corvel
