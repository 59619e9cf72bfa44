// An entry that lives inside a bundle (grammars, themes, scope preferences, executable
// items): its link to the bundle and where a new item's file goes.
#pragma once
#include "corvel/bundles/BundleEntry.h"

namespace corvel {

class Bundle;

class BundleItem : public BundleEntry {
public:
    BundleItem(const BundleEntryTypeInfo* typeInfo, const zem::Uuid& uuid) : BundleEntry(typeInfo, uuid) {}

    // The bundle's folder under "user:", the item's own kind folder and file name when it
    // has a stored location, else the kind's folder and a name from the title. A null
    // bundle throws NullPointerException.
    BundleEntryLocation createLocation() const override;
    bool isBundle() const override { return false; }

    Bundle* getBundle() const { return m_bundle; }
    // Nothing when the item may not be modified or the bundle is the same; otherwise marks it modified.
    void setBundle(Bundle* bundle);

private:
    Bundle* m_bundle = nullptr; // not owned; null until filed
};

} // namespace corvel
