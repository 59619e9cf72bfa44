#include "corvel/bundles/BundleUiHost.h"

#include "zem/base/Exception.h"

namespace corvel {

const void* BundleUiHost::requireIcon(int resourceId, uint32_t key) {
    const void* icon = loadIcon(resourceId, key);
    // A kind without its icon would never be registered: its entries could not load.
    if (!icon)
        throw zem::RuntimeException(L"Cannot load image from a resource.");
    return icon;
}

} // namespace corvel
