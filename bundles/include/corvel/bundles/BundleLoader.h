// One scan of the bundle folders: walks "bundles" of "root:" then "user:", creates an
// entry per UUID found (a bundle or item present in both roots is one entry with two
// locations) and reads them all. Runs on the loader's thread; holds one reference on
// every entry it created until it is deleted.
#pragma once
#include "corvel/bundles/BundleEntryLocation.h"
#include "corvel/bundles/BundleEntryTypeInfo.h"
#include "zem/base/Uuid.h"

#include <functional>
#include <map>
#include <set>
#include <vector>

namespace corvel {

class Bundle;
class BundleEntry;
class BundleManager;

class BundleLoader {
public:
    // kinds: the bundle kind first, then by ascending type id.
    BundleLoader(BundleManager& manager, std::vector<BundleEntryTypeInfo> kinds);
    virtual ~BundleLoader();
    BundleLoader(const BundleLoader&) = delete;
    BundleLoader& operator=(const BundleLoader&) = delete;

    // Asked before each directory entry; true ends the scan.
    void setStopCheck(std::function<bool()> stop) { m_stop = std::move(stop); }
    void setDisabled(std::set<zem::Uuid> disabled) { m_disabled = std::move(disabled); }

    // Both roots, then reads every entry found (bundles first, each map in UUID order).
    void scan();
    void scanRoot(int32_t root);
    // Appends the created entries of the type, in UUID order.
    void getEntries(uint32_t typeId, std::vector<BundleEntry*>& out) const;
    const std::vector<BundleEntryTypeInfo>& getKinds() const { return m_kinds; }

private:
    bool stopRequested() const { return m_stop && m_stop(); }
    void scanKinds(const BundleEntryLocation& bundleLocation);
    bool registerFound(const BundleEntryTypeInfo& kind, const BundleEntryLocation& location);
    void readAll();

    BundleManager& m_manager;
    std::vector<BundleEntryTypeInfo> m_kinds;
    std::function<bool()> m_stop;
    std::map<zem::Uuid, BundleEntry*> m_items;
    std::map<zem::Uuid, BundleEntry*> m_bundles;
    std::set<zem::Uuid> m_disabled;
};

} // namespace corvel
