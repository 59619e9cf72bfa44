#include "corvel/projects/ProjectBgJob.h"

#include "PathKey.h"
#include "corvel/projects/ProjectFolder.h"
#include "zem/base/Error.h"
#include "zem/files/FileIO.h"
#include "zem/log/LogManager.h"

#include <cwchar>

namespace corvel {

ProjectBgJob::ProjectBgJob(BgClient* client, ProjectFolder* folder)
    : BgJob(client), m_folder(folder), m_project(folder->getProject()), m_result(new ProjectFolder(nullptr)) {
    m_result->setPath(folder->getPath());
    m_result->clearFlags(ProjectItem::FLAG_KEY_STALE);
}

ProjectBgJob::~ProjectBgJob() {
    if (!m_result->getParent())
        delete m_result;
}

void ProjectBgJob::scan() {
    std::wstring path = m_result->getPathText();
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/')
        path += L'\\';
    if (!scanListing(path.c_str(), m_result, path)) {
        zem::logMessage(zem::LOG_ERROR, zem::LOG_UNKNOWN_SOURCE, L"Unable to scan project directory %s",
                        m_result->getPathText().c_str());
        // The project's folder is marked on the main thread, from the result.
        m_result->setError(zem::currentError());
    }
    setDone();
}

// path holds the listing's folder and a separator; entries are appended behind it and
// cut off again, so deep trees reuse one buffer.
bool ProjectBgJob::scanListing(const wchar_t* listingPath, ProjectFolder* into, std::wstring& path) {
    zem::Directory* listing = zem::fileOpenDirectory(listingPath);
    if (!listing)
        return false;
    size_t base = path.size();
    ChildKeys keys(listingPath);
    while (!isCancelRequested()) {
        const zem::FileInfo* entry = listing->next();
        if (!entry)
            break;
        const wchar_t* name = entry->name;
        if (std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0 || (entry->flags & zem::FileInfo::HIDDEN))
            continue;
        path.resize(base);
        path += name;
        uint32_t key = keys.valid() ? keys.keyOf(name) : pathKeyOf(path.c_str());
        if (entry->isDirectory()) {
            ProjectFolder* folder = new ProjectFolder(m_project);
            into->appendChild(folder);
            folder->setPath(path);
            folder->setScannedKey(key);
            // Links and junctions are shown but not entered: a link to a parent would
            // never end.
            if (entry->flags & zem::FileInfo::REPARSE_POINT)
                continue;
            path += L'\\';
            if (!scanListing(path.c_str(), folder, path)) {
                zem::logMessage(zem::LOG_ERROR, zem::LOG_UNKNOWN_SOURCE, L"Unable to scan project sub-directory %s",
                                path.c_str());
                folder->setError(zem::currentError());
            }
            continue;
        }
        ProjectItem* file = new ProjectItem(m_project);
        file->setName(name);
        file->setScannedKey(key);
        if (!(entry->flags & zem::FileInfo::WRITABLE))
            file->setFlags(ProjectItem::FLAG_READ_ONLY);
        into->appendChild(file);
    }
    zem::fileCloseDirectory(listing);
    return true;
}

} // namespace corvel
