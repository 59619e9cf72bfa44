#include "corvel/bundles/BundleEntryLocation.h"

#include "corvel/bundles/BundleEntry.h"
#include "zem/base/Assert.h"
#include "zem/base/Exception.h"

namespace corvel {

std::wstring BundleEntryLocation::toString() const {
    std::wstring out;
    if (root == ENTRY_ROOT_INSTALL)
        out = L"root";
    else if (root == ENTRY_ROOT_USER)
        out = L"user";
    out += L':';
    out += folder;
    out += L'/';
    if (bundle.isEmpty())
        return out;
    out += bundle.toString();
    if (!kindFolder.empty()) {
        out += L'/';
        out += kindFolder;
    }
    if (!item.isEmpty()) {
        out += L'/';
        out += item.toString();
    }
    return out;
}

bool BundleEntryLocation::equals(const BundleEntryLocation& other) const {
    return root == other.root && folder == other.folder && bundle.equals(other.bundle) &&
           kindFolder == other.kindFolder && item.equals(other.item);
}

namespace {

void parseInto(const std::wstring& text, EntryFileName& out) {
    EntryFileName parsed;
    if (EntryFileName::parse(text, parsed) == 0)
        throw zem::InvalidArgumentException(L"Not a valid name.");
    out = parsed;
}

} // namespace

void BundleEntryLocation::parseItemFileName(const std::wstring& text) {
    parseInto(text, item);
}

void BundleEntryLocation::parseBundleFileName(const std::wstring& text) {
    parseInto(text, bundle);
}

void BundleEntryLocation::storeIn(BundleEntry& entry) const {
    if (bundle.isEmpty())
        throw zem::InvalidArgumentException(L"path is empty");
    ZEM_ASSERT_MSG(root == ENTRY_ROOT_INSTALL || root == ENTRY_ROOT_USER,
                   L"root == ENTRY_ROOT_INSTALL || root == ENTRY_ROOT_USER");
    std::vector<BundleEntryLocation>& slots = entry.locationSlots();
    if (slots.size() < static_cast<size_t>(root))
        slots.resize(static_cast<size_t>(root));
    slots[static_cast<size_t>(root) - 1] = *this;
}

} // namespace corvel
