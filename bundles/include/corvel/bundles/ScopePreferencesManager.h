// The entry manager of scope preferences: installing an entry makes, per pair, an action
// for its opening character in the entry's scope and one for its closing character inside
// the pair, and hands both to the host, which registers them bound to their characters.
#pragma once
#include "corvel/bundles/BundleEntryEditorMakers.h"
#include "corvel/bundles/BundleEntryManager.h"
#include "corvel/bundles/EntryManagerRegistration.h"

namespace corvel {

class BundleUiHost;
class ScopePreferencesBundleItem;
struct BundleAction;

class ScopePreferencesManager : public BundleEntryManager {
public:
    enum : int { PREFERENCES_ICON_RESOURCE = 141 };

    // Raises "Cannot load image from a resource." when the host has no icon for the kind.
    ScopePreferencesManager(BundleManager& bundles, BundleUiHost& host);
    ~ScopePreferencesManager() override;

    BundleEntry* createEntry(uint32_t typeId, const zem::Uuid& uuid) override;
    void getEntryType(BundleEntryTypeInfo& out) override;
    // False for another kind of entry, or when the host refuses an action (logged; the
    // actions made before stay).
    bool installEntry(BundleEntry* entry) override;
    // The entry's actions go; false for another kind of entry.
    bool uninstallEntry(BundleEntry* entry) override;
    BundleEntryEditorFactory getEditorFactory(BundleEntry*) override { return getBundleEntryEditorMakers().source; }
    // A changed entry's actions are made again.
    void onEntryChanged(BundleEntry* entry) override;

private:
    void install(ScopePreferencesBundleItem& item, const BundleAction& action);

    BundleUiHost& m_host;
    BundleEntryTypeInfo m_typeInfo;
    EntryManagerRegistration m_registration;
};

} // namespace corvel
