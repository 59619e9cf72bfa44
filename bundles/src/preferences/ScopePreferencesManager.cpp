#include "corvel/bundles/ScopePreferencesManager.h"

#include "corvel/bundles/BundleUiHost.h"
#include "corvel/bundles/ScopePreferencesBundleItem.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"

namespace corvel {

ScopePreferencesManager::ScopePreferencesManager(BundleManager& bundles, BundleUiHost& host)
    : m_host(host), m_registration(bundles, *this) {
    m_host.requireIcon(PREFERENCES_ICON_RESOURCE, SCOPE_PREFERENCES_TYPE_ID);
    getEntryType(m_typeInfo);
}

ScopePreferencesManager::~ScopePreferencesManager() = default;

BundleEntry* ScopePreferencesManager::createEntry(uint32_t, const zem::Uuid& uuid) {
    return new ScopePreferencesBundleItem(&m_typeInfo, uuid);
}

void ScopePreferencesManager::getEntryType(BundleEntryTypeInfo& out) {
    fillStandardEntryType(SCOPE_PREFERENCES_TYPE_ID, out);
    out.icon = m_host.loadIcon(PREFERENCES_ICON_RESOURCE, SCOPE_PREFERENCES_TYPE_ID);
}

bool ScopePreferencesManager::installEntry(BundleEntry* entry) {
    ScopePreferencesBundleItem* item = dynamic_cast<ScopePreferencesBundleItem*>(entry);
    if (!item)
        return false;
    try {
        const std::wstring prefix = L"pair." + item->getUuid().toString() + L".";
        // One action per pair: the host makes the two character actions of it.
        for (size_t i = 0; i < item->getPairs().size(); ++i) {
            const ScopePair& pair = item->getPairs()[i];
            BundleAction action;
            action.name = prefix + std::to_wstring(i);
            action.title = std::wstring(1, pair.opening) + pair.closing;
            action.context = item->getScope();
            action.kind = SCOPE_PREFERENCES_TYPE_ID;
            action.opening = pair.opening;
            action.closing = pair.closing;
            action.block = pair.block;
            m_host.addAction(action);
            item->installedActions().push_back(action.name);
        }
        return true;
    } catch (const zem::Exception& e) {
        zem::logMessage(zem::LOG_ERROR, BUNDLES_LOG_SOURCE, L"ScopePreferencesManager::installEntry: %s",
                        e.message().c_str());
        return false;
    }
}

bool ScopePreferencesManager::uninstallEntry(BundleEntry* entry) {
    ScopePreferencesBundleItem* item = dynamic_cast<ScopePreferencesBundleItem*>(entry);
    if (!item)
        return false;
    for (const std::wstring& name : item->installedActions())
        m_host.removeAction(name);
    item->installedActions().clear();
    return true;
}

void ScopePreferencesManager::onEntryChanged(BundleEntry* entry) {
    if (entry->getType() != SCOPE_PREFERENCES_TYPE_ID)
        return;
    uninstallEntry(entry);
    installEntry(entry);
}

} // namespace corvel
