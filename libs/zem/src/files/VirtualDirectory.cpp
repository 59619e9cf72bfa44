#include "zem/files/VirtualDirectory.h"

#include "zem/base/Crc.h"
#include "zem/base/Error.h"
#include "zem/files/FileIO.h"

namespace zem {

VirtualDirectory::VirtualDirectory(const wchar_t* path, std::vector<Directory*> listings)
    : m_path(path), m_listings(std::move(listings)) {}

VirtualDirectory::~VirtualDirectory() {
    for (Directory* d : m_listings)
        fileCloseDirectory(d);
}

bool VirtualDirectory::isOpen() const {
    if (m_current < m_listings.size())
        return m_listings[m_current]->isOpen();
    for (Directory* d : m_listings) {
        if (!d->isOpen())
            return false;
    }
    return true;
}

uint64_t VirtualDirectory::nameKey(const FileInfo& info) {
    // The key is the file system's own path key of the name; a name it cannot resolve
    // (no native device attached) still gets a case-blind key of its text, so that it is
    // not taken for a name already seen.
    uint64_t key = fileGetPathHash64(info.name, nullptr);
    if (key == 0xFFFFFFFFu)
        key = crc64StringNoCase(info.name);
    return key;
}

const FileInfo* VirtualDirectory::next() {
    while (m_current < m_listings.size()) {
        Directory* listing = m_listings[m_current];
        const FileInfo* info = listing->next();
        if (info) {
            ErrorRecord kept = currentError();
            uint64_t key = nameKey(*info);
            currentError() = kept;
            if (m_seen.insert(key).second)
                return info;
            continue;
        }
        if (!listing->isOpen())
            return nullptr;
        ++m_current;
    }
    return nullptr;
}

bool VirtualDirectory::rewind() {
    bool ok = true;
    for (Directory* d : m_listings)
        ok = d->rewind() && ok;
    m_seen.clear();
    m_current = 0;
    return ok;
}

} // namespace zem
