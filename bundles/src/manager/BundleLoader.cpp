#include "corvel/bundles/BundleLoader.h"

#include "../model/ExceptionText.h"
#include "corvel/bundles/Bundle.h"
#include "corvel/bundles/BundleManager.h"
#include "zem/base/Exception.h"
#include "zem/files/File.h"
#include "zem/files/FileIO.h"
#include "zem/log/LogManager.h"

#include <windows.h>

namespace corvel {

namespace {

// Closes a listing on every way out.
struct ListingGuard {
    zem::Directory* directory;
    ~ListingGuard() {
        if (directory)
            zem::fileCloseDirectory(directory);
    }
};

bool isHidden(const wchar_t* name) { return name[0] == L'.'; }

void readEntry(BundleEntry* entry) {
    entry->beginUpdate();
    try {
        entry->reload();
    } catch (...) {
        std::wstring where = entry->getLocation() ? entry->getLocation()->toString() : entry->getUuid().toString();
        zem::logMessage(3, BundleManager::logSource(), L"%s: %s", where.c_str(),
                        currentExceptionText(L"The entry could not be read.").c_str());
    }
    entry->endUpdate();
}

} // namespace

BundleLoader::BundleLoader(BundleManager& manager, std::vector<BundleEntryTypeInfo> kinds)
    : m_manager(manager), m_kinds(std::move(kinds)) {}

BundleLoader::~BundleLoader() {
    for (auto& entry : m_items)
        entry.second->release();
    for (auto& entry : m_bundles)
        entry.second->release();
}

void BundleLoader::scan() {
    scanRoot(ENTRY_ROOT_INSTALL);
    scanRoot(ENTRY_ROOT_USER);
    readAll();
}

void BundleLoader::scanRoot(int32_t root) {
    if (m_kinds.empty() || m_kinds.front().typeId != BUNDLE_TYPE_ID)
        return;
    BundleEntryLocation top;
    top.root = root;
    std::wstring path = top.toString();
    ListingGuard listing{zem::fileOpenDirectory(path.c_str())};
    if (!listing.directory) {
        // The user's folder starts without bundles; a program without its shipped ones has
        // no grammar and no snippet, which the log must name.
        if (root == ENTRY_ROOT_INSTALL)
            zem::logMessage(zem::LOG_WARNING, BundleManager::logSource(), L"No shipped bundles: %s cannot be read.",
                            path.c_str());
        return;
    }
    while (const zem::FileInfo* info = listing.directory->next()) {
        if (stopRequested())
            return;
        if (isHidden(info->name) || !info->isDirectory())
            continue;
        BundleEntryLocation location;
        location.root = root;
        try {
            location.parseBundleFileName(info->name);
        } catch (const zem::Exception&) {
            continue;
        }
        zem::Uuid uuid = entryUuidFor(location, true);
        location.item = EntryFileName(L"info", uuid, L"cvInfo");
        if (registerFound(m_kinds.front(), location))
            scanKinds(location);
    }
}

void BundleLoader::scanKinds(const BundleEntryLocation& bundleLocation) {
    for (const BundleEntryTypeInfo& kind : m_kinds) {
        if (kind.typeId == BUNDLE_TYPE_ID)
            continue;
        BundleEntryLocation folder = bundleLocation;
        folder.kindFolder = kind.folder;
        folder.item = EntryFileName();
        std::wstring path = folder.toString();
        ListingGuard listing{zem::fileOpenDirectory(path.c_str())};
        if (!listing.directory)
            continue;
        while (const zem::FileInfo* info = listing.directory->next()) {
            if (stopRequested())
                return;
            if (isHidden(info->name) || info->isDirectory())
                continue;
            BundleEntryLocation location = folder;
            try {
                location.parseItemFileName(info->name);
            } catch (const zem::InvalidArgumentException&) {
                continue;
            }
            if (_wcsicmp(location.item.extension.c_str(), kind.extension.c_str()) == 0)
                registerFound(kind, location);
        }
    }
}

bool BundleLoader::registerFound(const BundleEntryTypeInfo& kind, const BundleEntryLocation& location) {
    bool isBundle = kind.typeId == BUNDLE_TYPE_ID;
    zem::Uuid uuid = entryUuidFor(location, isBundle);
    if (m_disabled.count(uuid))
        return false;
    std::map<zem::Uuid, BundleEntry*>& found = isBundle ? m_bundles : m_items;
    auto it = found.find(uuid);
    if (it == found.end())
        it = found.insert(std::make_pair(uuid, m_manager.createEntry(kind.typeId, uuid))).first;
    location.storeIn(*it->second);
    return true;
}

void BundleLoader::readAll() {
    for (auto& entry : m_bundles) {
        if (stopRequested())
            return;
        readEntry(entry.second);
    }
    for (auto& entry : m_items) {
        if (stopRequested())
            return;
        readEntry(entry.second);
    }
}

void BundleLoader::getEntries(uint32_t typeId, std::vector<BundleEntry*>& out) const {
    if (typeId == BUNDLE_TYPE_ID) {
        for (auto& entry : m_bundles)
            out.push_back(entry.second);
        return;
    }
    for (auto& entry : m_items) {
        if (entry.second->getType() == typeId)
            out.push_back(entry.second);
    }
}

} // namespace corvel
