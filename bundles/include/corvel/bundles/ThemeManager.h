// Keeps the installed themes by UUID with a built-in fallback ("None"), and tells the
// subscribers of a UUID whenever the theme behind it is installed, changes or goes, so
// stylers and views can switch their DocumentTheme. Main thread only.
#pragma once
#include "corvel/bundles/BundleEntryEditorMakers.h"
#include "corvel/bundles/BundleEntryManager.h"
#include "corvel/bundles/BundleEntryTypeInfo.h"
#include "corvel/bundles/EntryManagerRegistration.h"
#include "zem/base/Uuid.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace corvel {

class BundleManager;
class BundleUiHost;
class ThemeBundleItem;

class ThemeManager : public BundleEntryManager {
public:
    enum : int { THEME_ICON_RESOURCE = 140 };
    typedef void (*Subscriber)(void* data, const zem::Uuid& uuid, ThemeBundleItem* theme);

    // Registers the theme icon (raises "Cannot load image from a resource." without it),
    // makes the fallback and registers with the bundle manager once the configuration is
    // ready (the bundle manager then owns this manager).
    ThemeManager(BundleManager& bundles, BundleUiHost& host);
    ~ThemeManager() override;
    ThemeManager(const ThemeManager&) = delete;
    ThemeManager& operator=(const ThemeManager&) = delete;

    BundleEntry* createEntry(uint32_t typeId, const zem::Uuid& uuid) override;
    void getEntryType(BundleEntryTypeInfo& out) override;
    // A theme item joins the map under its UUID (one already there stays); its
    // subscribers hear the theme now found there. Other entries: nothing.
    bool installEntry(BundleEntry* entry) override;
    // Subscribers get the fallback, then the map entry goes, when it is this entry. Always true.
    bool uninstallEntry(BundleEntry* entry) override;
    // Themes are edited as source text; the source editor is the bundle editor's.
    BundleEntryEditorFactory getEditorFactory(BundleEntry*) override { return getBundleEntryEditorMakers().source; }
    // While a theme changes its subscribers hold the fallback; afterwards the re-read theme.
    void onEntryUpdateBegin(BundleEntry* entry) override;
    void onEntryChanged(BundleEntry* entry) override;

    ThemeBundleItem* getDefaultTheme() const { return m_fallback; }
    // Without look up the fallback; with it the installed theme of uuid, else the fallback.
    ThemeBundleItem* getTheme(const zem::Uuid& uuid, bool lookUp) const;
    // Every theme held, the fallback included, as (title, UUID) in UUID order.
    void listThemes(std::vector<std::pair<std::wstring, zem::Uuid>>& out) const;
    // Calls every subscriber of uuid, in the order they subscribed, with getTheme(uuid, lookUp).
    void notify(const zem::Uuid& uuid, bool lookUp);

    void subscribe(const zem::Uuid& uuid, Subscriber subscriber, void* data);
    void unsubscribe(const zem::Uuid& uuid, Subscriber subscriber, void* data);

private:
    BundleManager& m_bundles;
    BundleUiHost& m_host;
    EntryManagerRegistration m_registration;
    BundleEntryTypeInfo m_typeInfo;
    ThemeBundleItem* m_fallback = nullptr;          // holds a reference
    std::map<zem::Uuid, ThemeBundleItem*> m_themes; // each holds a reference; the fallback under the nil UUID
    std::multimap<zem::Uuid, std::pair<Subscriber, void*>> m_subscribers;
};

} // namespace corvel
