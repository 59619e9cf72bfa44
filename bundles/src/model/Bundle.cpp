#include "corvel/bundles/Bundle.h"

#include "corvel/bundles/BundleItem.h"
#include "corvel/config/MenuDefReader.h"
#include "zem/value/AbstractDictionaryValue.h"

#include <algorithm>

namespace corvel {

BundleEntryLocation Bundle::createLocation() const {
    BundleEntryLocation location;
    if (const BundleEntryLocation* stored = getLocation()) {
        location = *stored;
    } else {
        std::wstring name = makeFileNameFromTitle(getTitle());
        // A folder '.<uuid>.cvBundle' would never load again.
        if (name.empty())
            name = L"bundle";
        location.bundle = EntryFileName(name, getUuid(), L"cvBundle");
        location.item = EntryFileName(L"info", getUuid(), L"cvInfo");
    }
    location.root = ENTRY_ROOT_USER;
    return location;
}

void Bundle::readProperties(const zem::AbstractDictionaryValue* dictionary) {
    BundleEntry::readProperties(dictionary);
    readMenu(dictionary);
}

void Bundle::readMenu(const zem::AbstractDictionaryValue* dictionary) {
    const zem::Value* menu = dictionary ? dictionary->find(L"menu") : nullptr;
    if (!menu)
        return;
    MenuDefNodePtr root = MenuDefNode::makeMenu(std::wstring());
    if (MenuDefReader::read(menu, *root))
        m_menu = root;
}

void Bundle::addEntry(BundleItem* entry) {
    if (!entry || hasEntry(entry))
        return;
    if (entry->canModify() && entry->getBundle() != this)
        entry->setBundle(this);
    m_entries[entry->getType()].push_back(entry);
    m_defaultMenu.reset();
    m_onEntryAdded.invoke(this, entry);
}

BundleItem* Bundle::removeEntry(BundleItem* entry) {
    if (!entry || entry->getBundle() != this)
        return nullptr;
    auto kind = m_entries.find(entry->getType());
    if (kind == m_entries.end())
        return nullptr;
    std::vector<BundleItem*>& items = kind->second;
    auto it = std::find(items.begin(), items.end(), entry);
    if (it == items.end())
        return nullptr;
    items.erase(it);
    if (items.empty())
        m_entries.erase(kind);
    m_defaultMenu.reset();
    m_onEntryRemoved.invoke(this, entry);
    return entry;
}

bool Bundle::hasEntry(const BundleEntry* entry) const {
    if (!entry)
        return false;
    auto kind = m_entries.find(entry->getType());
    if (kind == m_entries.end())
        return false;
    return std::find(kind->second.begin(), kind->second.end(), entry) != kind->second.end();
}

void Bundle::getEntryTypes(std::vector<uint32_t>& out) const {
    for (const auto& kind : m_entries)
        out.push_back(kind.first);
}

void Bundle::getEntries(uint32_t typeId, std::vector<BundleItem*>& out) const {
    auto kind = m_entries.find(typeId);
    if (kind != m_entries.end())
        out.insert(out.end(), kind->second.begin(), kind->second.end());
}

size_t Bundle::getEntryCount() const {
    size_t count = 0;
    for (const auto& kind : m_entries)
        count += kind.second.size();
    return count;
}

MenuDefNodePtr Bundle::getMenu() {
    if (m_menu && !m_menu->children.empty())
        return m_menu;
    if (!m_defaultMenu)
        m_defaultMenu = buildDefaultMenu();
    return m_defaultMenu;
}

MenuDefNodePtr Bundle::buildDefaultMenu() const {
    MenuDefNodePtr root = MenuDefNode::makeMenu(std::wstring());
    for (const auto& kind : m_entries) {
        if (kind.second.empty() || !kind.second.front()->getTypeInfo()->inMenus)
            continue;
        std::vector<BundleItem*> items = kind.second;
        std::stable_sort(items.begin(), items.end(), [](const BundleItem* a, const BundleItem* b) {
            return a->getTitle().compare(b->getTitle()) < 0;
        });
        if (!root->children.empty())
            root->children.push_back(MenuDefNode::makeSeparator());
        for (const BundleItem* item : items)
            root->children.push_back(MenuDefNode::makeItem(item->getUuid().toString()));
    }
    return root;
}

} // namespace corvel
