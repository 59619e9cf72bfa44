// What every kind of bundle entry is served by: a factory of its entries and a manager
// that describes the kind, takes loaded entries into use and names their editor. The
// bundle manager keeps these by type id.
#pragma once
#include "corvel/bundles/BundleEntryTypeInfo.h"

#include <cstdint>

namespace zem {
class Uuid;
}

namespace corvel {

class BundleEntry;
class afView;

// Makes the editor view of an entry under parent; the view belongs to the parent.
typedef afView* (*BundleEntryEditorFactory)(afView* parent, BundleEntry* entry);

class IBundleEntryFactory {
public:
    // A new entry of the kind registered under typeId, with a reference count of 1.
    virtual BundleEntry* createEntry(uint32_t typeId, const zem::Uuid& uuid) = 0;
    virtual ~IBundleEntryFactory() = default;
};

class BundleEntryManager : public IBundleEntryFactory {
public:
    ~BundleEntryManager() override = default;

    virtual void getEntryType(BundleEntryTypeInfo& out) = 0;
    // Takes a loaded entry into use; false when it is not of the kind.
    virtual bool installEntry(BundleEntry* entry) = 0;
    // Takes an entry out of use; false when it is not of the kind.
    virtual bool uninstallEntry(BundleEntry* entry) = 0;
    // Null when the kind has no editor for this entry.
    virtual BundleEntryEditorFactory getEditorFactory(BundleEntry* entry) = 0;
    // An update bracket opened on an entry of the kind.
    virtual void onEntryUpdateBegin(BundleEntry*) {}
    virtual void onEntryChanged(BundleEntry*) {}
};

} // namespace corvel
