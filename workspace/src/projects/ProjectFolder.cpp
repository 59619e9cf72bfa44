#include "corvel/projects/ProjectFolder.h"

#include "corvel/jasmine/JasmineValue.h"
#include "zem/files/Path.h"

#include <algorithm>
#include <cwchar>

namespace corvel {

ProjectFolder::ProjectFolder(const ProjectFolder& other, uint32_t indexedFlag) : ProjectItem(other, indexedFlag) {}

ProjectFolder::~ProjectFolder() {
    for (auto& child : m_children)
        child.reset();
}

void ProjectFolder::writeTo(JasmineValue& out) const {
    out.getOrAddEntry(L"dir").setString(getPathText());
}

void ProjectFolder::readFrom(const JasmineValue& in) {
    setPath(in.find(L"dir").asString(L""));
}

void ProjectFolder::getPath(std::wstring& out) const {
    out = getPathText();
}

void ProjectFolder::setPath(const std::wstring& path) {
    // Every trailing separator goes: with one left over, the path would lose it on the
    // next save and load, and the folder would no longer match the one the file named.
    size_t end = path.size();
    while (end > 0 && zem::isPathSeparator(path[end - 1]))
        --end;
    ProjectItem::setPath(path.substr(0, end));
}

ProjectItem* ProjectFolder::clone(uint32_t indexedFlag) const {
    ProjectFolder* copy = new ProjectFolder(*this, indexedFlag);
    cloneChildrenInto(copy, indexedFlag);
    return copy;
}

void ProjectFolder::cloneChildrenInto(ProjectFolder* copy, uint32_t indexedFlag) const {
    for (const auto& child : m_children)
        copy->appendChild(child->clone(indexedFlag));
}

void ProjectFolder::appendChild(ProjectItem* item) {
    item->m_parent = this;
    m_children.emplace_back(item);
}

ProjectItem* ProjectFolder::takeChild(ProjectItem* item) {
    auto it = std::find_if(m_children.begin(), m_children.end(),
                           [item](const std::unique_ptr<ProjectItem>& child) { return child.get() == item; });
    if (it == m_children.end())
        return nullptr;
    it->release();
    m_children.erase(it);
    item->m_parent = nullptr;
    return item;
}

ProjectItem* ProjectFolder::findChildByName(const wchar_t* name, bool ignoreCase) const {
    for (const auto& child : m_children) {
        const wchar_t* childName = child->getName();
        if (ignoreCase ? _wcsicmp(childName, name) == 0 : std::wcscmp(childName, name) == 0)
            return child.get();
    }
    return nullptr;
}

ProjectItem* ProjectFolder::findChildByKey(uint32_t key) const {
    for (const auto& child : m_children) {
        if (child->getKey() == key)
            return child.get();
    }
    return nullptr;
}

bool ProjectFolder::hasChild(const ProjectItem* item) const {
    return std::any_of(m_children.begin(), m_children.end(),
                       [item](const std::unique_ptr<ProjectItem>& child) { return child.get() == item; });
}

} // namespace corvel
