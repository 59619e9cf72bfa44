// The entry that stands for a bundle folder: its title, its optional menu definition and
// the table of the items filed into it. Its own file is 'info.<uuid>.cvInfo' in the
// bundle's folder.
#pragma once
#include "corvel/bundles/BundleEntry.h"
#include "corvel/config/MenuDefNode.h"

#include <map>
#include <vector>

namespace corvel {

class BundleItem;

class Bundle : public BundleEntry {
public:
    typedef zem::CallbackList<void(Bundle*, BundleEntry*)> EntryCallbacks;

    Bundle(const BundleEntryTypeInfo* typeInfo, const zem::Uuid& uuid) : BundleEntry(typeInfo, uuid) {}

    uint32_t getType() const override { return BUNDLE_TYPE_ID; }
    // The stored location under "user:", or a new folder named from the title ("bundle"
    // when the title gives no name) with the information file in it.
    BundleEntryLocation createLocation() const override;
    // "title", then the menu.
    void readProperties(const zem::AbstractDictionaryValue* dictionary) override;
    bool isBundle() const override { return true; }

    // Files an item (once); an item that may be modified moves to this bundle.
    void addEntry(BundleItem* entry);
    // The item, taken out; null when it is not filed here.
    BundleItem* removeEntry(BundleItem* entry);
    bool hasEntry(const BundleEntry* entry) const;
    // Appends each kind present, once, in ascending type id.
    void getEntryTypes(std::vector<uint32_t>& out) const;
    // Appends the items of a kind in filing order.
    void getEntries(uint32_t typeId, std::vector<BundleItem*>& out) const;
    size_t getEntryCount() const;

    // Reads "menu" when present; a readable one replaces the current menu.
    void readMenu(const zem::AbstractDictionaryValue* dictionary);
    // The bundle's menu when it has children, otherwise the default menu (built once
    // until an item is added or removed).
    MenuDefNodePtr getMenu();

    EntryCallbacks& onEntryAdded() { return m_onEntryAdded; }
    EntryCallbacks& onEntryRemoved() { return m_onEntryRemoved; }

private:
    // A group per kind shown in menus, separated; items by title; item ids are UUIDs.
    MenuDefNodePtr buildDefaultMenu() const;

    EntryCallbacks m_onEntryAdded;
    EntryCallbacks m_onEntryRemoved;
    MenuDefNodePtr m_menu;
    MenuDefNodePtr m_defaultMenu;                           // dropped whenever an item comes or goes
    std::map<uint32_t, std::vector<BundleItem*>> m_entries; // by kind, in filing order; not owned
};

} // namespace corvel
