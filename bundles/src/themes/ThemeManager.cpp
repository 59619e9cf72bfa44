#include "corvel/bundles/ThemeManager.h"

#include "corvel/bundles/BundleManager.h"
#include "corvel/bundles/BundleUiHost.h"
#include "corvel/bundles/ThemeBundleItem.h"

namespace corvel {

ThemeManager::ThemeManager(BundleManager& bundles, BundleUiHost& host)
    : m_bundles(bundles), m_host(host), m_registration(bundles, *this) {
    m_host.requireIcon(THEME_ICON_RESOURCE, THEME_TYPE_ID);
    getEntryType(m_typeInfo);
    m_fallback = new ThemeBundleItem(&m_typeInfo, zem::Uuid());
    m_fallback->beginUpdate();
    m_fallback->setTitle(L"None");
    m_fallback->endUpdate();
    m_fallback->addRef();
    m_themes[zem::Uuid()] = m_fallback;
}

ThemeManager::~ThemeManager() {
    for (auto& theme : m_themes)
        theme.second->release();
    m_themes.clear();
    m_fallback->release();
}

BundleEntry* ThemeManager::createEntry(uint32_t, const zem::Uuid& uuid) {
    return new ThemeBundleItem(&m_typeInfo, uuid);
}

void ThemeManager::getEntryType(BundleEntryTypeInfo& out) {
    fillStandardEntryType(THEME_TYPE_ID, out);
    out.icon = m_host.loadIcon(THEME_ICON_RESOURCE, THEME_TYPE_ID);
}

bool ThemeManager::installEntry(BundleEntry* entry) {
    ThemeBundleItem* theme = dynamic_cast<ThemeBundleItem*>(entry);
    if (!theme)
        return true;
    if (m_themes.insert(std::make_pair(theme->getUuid(), theme)).second)
        theme->addRef();
    notify(theme->getUuid(), true);
    return true;
}

bool ThemeManager::uninstallEntry(BundleEntry* entry) {
    // Another entry of the same UUID may hold the slot; only the holder leaves it, and only
    // its leaving sends the subscribers to the fallback.
    auto found = m_themes.find(entry->getUuid());
    if (found == m_themes.end() || found->second == m_fallback || found->second != entry)
        return true;
    notify(entry->getUuid(), false);
    // A subscriber told may have changed the map.
    found = m_themes.find(entry->getUuid());
    if (found == m_themes.end() || found->second != entry)
        return true;
    ThemeBundleItem* theme = found->second;
    m_themes.erase(found);
    theme->release();
    return true;
}

void ThemeManager::onEntryUpdateBegin(BundleEntry* entry) {
    notify(entry->getUuid(), false);
}

void ThemeManager::onEntryChanged(BundleEntry* entry) {
    notify(entry->getUuid(), true);
}

ThemeBundleItem* ThemeManager::getTheme(const zem::Uuid& uuid, bool lookUp) const {
    if (!lookUp)
        return m_fallback;
    auto found = m_themes.find(uuid);
    return found == m_themes.end() ? m_fallback : found->second;
}

void ThemeManager::listThemes(std::vector<std::pair<std::wstring, zem::Uuid>>& out) const {
    out.clear();
    for (const auto& theme : m_themes)
        out.emplace_back(theme.second->getTitle(), theme.first);
}

void ThemeManager::notify(const zem::Uuid& uuid, bool lookUp) {
    ThemeBundleItem* theme = getTheme(uuid, lookUp);
    // A subscriber may subscribe or unsubscribe while told: walk a copy.
    std::vector<std::pair<Subscriber, void*>> subscribers;
    for (auto range = m_subscribers.equal_range(uuid); range.first != range.second; ++range.first)
        subscribers.push_back(range.first->second);
    for (const auto& subscriber : subscribers)
        subscriber.first(subscriber.second, uuid, theme);
}

void ThemeManager::subscribe(const zem::Uuid& uuid, Subscriber subscriber, void* data) {
    m_subscribers.insert(std::make_pair(uuid, std::make_pair(subscriber, data)));
}

void ThemeManager::unsubscribe(const zem::Uuid& uuid, Subscriber subscriber, void* data) {
    for (auto range = m_subscribers.equal_range(uuid); range.first != range.second; ++range.first) {
        if (range.first->second == std::make_pair(subscriber, data)) {
            m_subscribers.erase(range.first);
            return;
        }
    }
}

} // namespace corvel
