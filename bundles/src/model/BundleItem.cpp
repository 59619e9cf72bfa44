#include "corvel/bundles/BundleItem.h"

#include "corvel/bundles/Bundle.h"
#include "zem/base/Assert.h"

namespace corvel {

BundleEntryLocation BundleItem::createLocation() const {
    zem::throwIfNull(m_bundle);
    BundleEntryLocation location = m_bundle->createLocation();
    if (const BundleEntryLocation* stored = getLocation()) {
        location.kindFolder = stored->kindFolder;
        location.item = stored->item;
    } else {
        std::wstring name = makeFileNameFromTitle(getTitle());
        if (name.empty())
            name = L"item";
        location.kindFolder = getTypeInfo()->folder;
        location.item = EntryFileName(name, getUuid(), getTypeInfo()->extension);
    }
    location.root = ENTRY_ROOT_USER;
    return location;
}

void BundleItem::setBundle(Bundle* bundle) {
    if (!canModify() || bundle == m_bundle)
        return;
    m_bundle = bundle;
    setModified();
}

} // namespace corvel
