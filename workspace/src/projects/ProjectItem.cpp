#include "corvel/projects/ProjectItem.h"

#include "PathKey.h"
#include "corvel/jasmine/JasmineValue.h"
#include "corvel/projects/ProjectFolder.h"
#include "zem/base/Error.h"
#include "zem/base/Format.h"
#include "zem/files/Path.h"

#include <algorithm>

namespace corvel {

ProjectItem::ProjectItem(Project* project) : m_project(project) {}

ProjectItem::ProjectItem(const ProjectItem& other, uint32_t indexedFlag)
    : TaggedObject(), m_project(other.m_project), m_path(other.m_path), m_nameOffset(other.m_nameOffset),
      m_key(other.m_key), m_flags((other.m_flags & ~FLAG_INDEXED) | ((indexedFlag & 1) ? uint32_t(FLAG_INDEXED) : 0u)) {
    if (const zem::ErrorObject* error = other.getError())
        setTag(ERROR_TAG, new zem::ErrorObject(*error));
}

ProjectItem::~ProjectItem() {
    delete getError();
}

bool ProjectItem::parentIsVirtual() const {
    return m_parent && m_parent->isVirtualFolder();
}

void ProjectItem::writeTo(JasmineValue& out) const {
    if (!parentIsVirtual())
        return;
    out.getOrAddEntry(L"file").setString(getPath());
}

void ProjectItem::readFrom(const JasmineValue& in) {
    setPath(in.find(L"file").asString(L""));
}

void ProjectItem::getPath(std::wstring& out) const {
    if (m_nameOffset != 0) {
        out = m_path;
        return;
    }
    if (!m_parent) {
        out = m_path.empty() ? std::wstring(L"empty_name")
                             : zem::format(L".\\ProjectItem_%p %s", static_cast<const void*>(this), getName());
        return;
    }
    m_parent->getPath(out);
    out += L'\\';
    out += m_path;
}

void ProjectItem::setPath(const std::wstring& path) {
    m_path = path;
    m_nameOffset = static_cast<size_t>(zem::getFileName(m_path.c_str()) - m_path.c_str());
    m_flags |= FLAG_KEY_STALE;
}

void ProjectItem::setName(const std::wstring& name) {
    m_path.erase(m_nameOffset);
    m_path += name;
    m_flags |= FLAG_KEY_STALE;
}

bool ProjectItem::overlapsPath(const wchar_t* path) const {
    if (!path)
        return false;
    std::wstring mine = normalizedPath(getPath().c_str());
    std::wstring theirs = normalizedPath(path);
    size_t length = std::min(mine.size(), theirs.size());
    return mine.compare(0, length, theirs, 0, length) == 0;
}

ProjectItem* ProjectItem::clone(uint32_t indexedFlag) const {
    return new ProjectItem(*this, indexedFlag);
}

void ProjectItem::setError(const zem::ErrorRecord& record) {
    setError(zem::ErrorObject(record));
}

void ProjectItem::setError(const zem::ErrorObject& error) {
    zem::ErrorObject* copy = new zem::ErrorObject(error);
    delete getError();
    setTag(ERROR_TAG, copy);
    m_flags |= FLAG_ERROR;
}

void ProjectItem::clearError() {
    delete getError();
    removeTag(ERROR_TAG);
    m_flags &= ~FLAG_ERROR;
}

const zem::ErrorObject* ProjectItem::getError() const {
    return static_cast<const zem::ErrorObject*>(getTag(ERROR_TAG));
}

} // namespace corvel
