#include "corvel/bundles/ScopePreferencesManager.h"

#include "corvel/bundles/BundleUiHost.h"
#include "corvel/bundles/ScopePreferencesBundleItem.h"
#include "corvel/document/CharPairSpan.h"
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

namespace {

BundleAction pairAction(const std::wstring& name, const std::wstring& context, const ScopePair& pair, bool closes) {
    BundleAction action;
    action.name = name;
    action.title = std::wstring(1, closes ? pair.closing : pair.opening);
    action.context = context;
    action.kind = SCOPE_PREFERENCES_TYPE_ID;
    action.opening = pair.opening;
    action.closing = pair.closing;
    action.block = pair.block;
    action.closes = closes;
    return action;
}

} // namespace

void ScopePreferencesManager::install(ScopePreferencesBundleItem& item, const BundleAction& action) {
    m_host.addAction(action);
    item.installedActions().push_back(action.name);
}

bool ScopePreferencesManager::installEntry(BundleEntry* entry) {
    ScopePreferencesBundleItem* item = dynamic_cast<ScopePreferencesBundleItem*>(entry);
    if (!item)
        return false;
    try {
        const std::wstring prefix = L"pair." + item->getUuid().toString() + L".";
        for (size_t i = 0; i < item->getPairs().size(); ++i) {
            const ScopePair& pair = item->getPairs()[i];
            const std::wstring name = prefix + std::to_wstring(i);
            install(*item, pairAction(name + L".open", item->getScope(), pair, false));
            install(*item, pairAction(name + L".close",
                                      charPairClosingSelector(item->getScope(), pair.opening, pair.closing, pair.block),
                                      pair, true));
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
