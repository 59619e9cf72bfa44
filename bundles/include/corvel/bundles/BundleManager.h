// Owns every loaded bundle and entry: the registry of entry kinds and their managers,
// the indexes of loaded entries, the disabled entries, the update bracket with its
// notifications and the background load. Main thread, except the kind registry, which
// the loader thread reads under its lock.
#pragma once
#include "corvel/bundles/BundleEntryTypeInfo.h"
#include "corvel/bundles/BundleUiHost.h"
#include "corvel/bundles/DisabledEntryRecord.h"
#include "zem/base/CallbackList.h"
#include "zem/base/Uuid.h"
#include "zem/thread/CriticalSection.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace corvel {

class BgScheduler;
class Bundle;
class BundleEntry;
class BundleLoaderTask;
class Config;
class ConfigManager;
template <class Owner> class ConfigHooks;

class BundleManager {
public:
    // Events of the entry notification list (CRC-32 of their names).
    enum : uint32_t {
        EVENT_INSTALLED = 0x58a10a18u,
        EVENT_UNINSTALLED = 0x95746528u,
        EVENT_UPDATED = 0xc69b96f7u,
        EVENT_STATE_CHANGED = 0xe593475cu,
    };
    enum : int { BUNDLE_ICON_RESOURCE = 104 };
    static const wchar_t* const CACHE_PATH;     // "user:bundles.cvCache"
    static const wchar_t* const DISABLED_KEY;   // "app.bundles.disabled"
    static uint32_t logSource();                // "bundles"

    typedef zem::CallbackList<void(BundleManager*)> Notify;
    typedef zem::CallbackList<void(BundleManager*, bool)> LoadFinished;
    typedef zem::CallbackList<void(BundleManager*, uint32_t, const std::vector<BundleEntry*>&)> EntryEvents;
    typedef zem::CallbackList<void(BundleManager*, Bundle*)> BundleEvents;

    // Registers the two actions and subscribes to the configuration manager when one
    // exists. A null host is the host that does nothing.
    explicit BundleManager(BundleUiHost* host = nullptr);
    // Resets, then deletes every registered kind manager.
    ~BundleManager();
    BundleManager(const BundleManager&) = delete;
    BundleManager& operator=(const BundleManager&) = delete;

    // Configuration ready: registers the bundle kind; the disabled entries are read when
    // the first load starts, once every kind has registered.
    void onConfigReady(Config& config);
    // Exit: stops the load, writes the disabled entries.
    void onConfigExit(Config& config);
    // The bundle editor closes its editors; false keeps the program open.
    bool onCloseQuery();

    // False without an icon or a name, or when the type is registered already. Takes
    // ownership of the manager when it returns true.
    bool registerEntryManager(BundleEntryManager* manager);
    // The registry's descriptor (with its manager), or null. Any thread.
    const BundleEntryTypeInfo* getEntryManager(uint32_t typeId);
    // Copies: the bundle kind first, then by ascending type id. Any thread.
    void getEntryTypes(std::vector<BundleEntryTypeInfo>& out);
    // A new entry (reference count 1); IllegalStateException "Type is unknown.". Any thread.
    BundleEntry* createEntry(uint32_t typeId, const zem::Uuid& uuid);

    BundleEntry* findEntry(const zem::Uuid& uuid) const;
    Bundle* getBundle(const zem::Uuid& uuid) const;
    void getEntriesOfType(uint32_t typeId, std::vector<BundleEntry*>& out) const;
    void getBundles(std::vector<Bundle*>& out) const;
    const std::vector<BundleEntry*>& getEntries() const { return m_entries; }

    // Takes a reference on each entry it adds; always true.
    bool addEntries(const std::vector<BundleEntry*>& entries);
    bool addEntry(BundleEntry* entry);
    // Releases the manager's reference, or with keep hands it to the caller.
    void removeEntries(const std::vector<BundleEntry*>& entries, bool keep);
    void removeEntry(BundleEntry* entry, bool keep = false);

    void beginUpdate();
    // IllegalStateException "Unbalanced update end." below 0 (the depth stays 0).
    void endUpdate();
    int32_t getUpdateDepth() const { return m_updateDepth; }

    bool load();
    bool reload();
    bool reset();
    bool isLoading() const { return m_loading; }

    bool disableEntry(const zem::Uuid& uuid);
    bool enableEntry(const zem::Uuid& uuid);
    void getDisabledEntries(std::vector<DisabledEntryRecord>& out) const;
    bool isDisabled(const zem::Uuid& uuid) const { return m_disabled.count(uuid) != 0; }

    void buildBundlesMenu(BundleMenuBuilder& menu);

    BgScheduler& getClosureScheduler() { return *m_scheduler; }
    BundleUiHost& getHost() { return *m_host; }

    // 0 when equal, 1 when b ranks lower than a, else -1. IllegalStateException "Invalid
    // bundle entry type to rank." for a type outside the table.
    static int compareTypeRank(uint32_t a, uint32_t b);

    // Called by the loader task.
    void onLoadStarted();
    void onLoadFinished(bool stopped);

    Notify onUpdate;        // the depth leaves 0
    Notify onUpdateEnd;     // the depth returns to 0
    Notify onReset;         // at the start of every reset
    Notify onLoadStart;
    LoadFinished onLoadEnd; // with the stop flag
    Notify onDisabledChanged;
    EntryEvents onEntryEvent;
    BundleEvents onBundleAdded;
    BundleEvents onBundleRemoved;

private:
    class BundleKindManager;

    void registerBundleKind();
    BundleEntryManager* kindManager(const BundleEntry* entry);
    void removeOne(BundleEntry* entry, std::vector<BundleEntry*>& removed);
    bool restoreFromCache();
    void readDisabled(Config& config);
    void writeDisabled(Config& config);
    void clearDisabled();
    void stopRun();

    static void onEntryModifiedChanged(void* self, BundleEntry* entry);
    static void onEntryUpdateBegin(void* self, BundleEntry* entry);
    static void onEntryUpdateEnd(void* self, BundleEntry* entry);

    BundleUiHost* m_host; // never null, not owned
    int32_t m_updateDepth = 0;
    std::unique_ptr<BgScheduler> m_scheduler;
    std::unique_ptr<BundleLoaderTask> m_loader;
    bool m_loading = false;
    bool m_runActive = false; // a loader run started and has not finished
    intptr_t m_status = 0;
    Config* m_config = nullptr;      // from onConfigReady; not owned
    bool m_disabledRead = false;     // the setting was read into m_disabled
    std::unique_ptr<ConfigHooks<BundleManager>> m_configHooks;
    std::map<zem::Uuid, std::unique_ptr<DisabledEntryRecord>> m_disabled;
    std::map<zem::Uuid, Bundle*> m_bundles;
    std::map<zem::Uuid, BundleEntry*> m_byUuid;
    std::multimap<uint32_t, BundleEntry*> m_byType;
    std::vector<BundleEntry*> m_entries; // in loading order; each holds one reference of ours
    zem::CriticalSection m_registryLock;
    // Guarded by m_registryLock; managers owned.
    std::map<uint32_t, std::unique_ptr<BundleEntryTypeInfo>> m_registry;
};

} // namespace corvel
