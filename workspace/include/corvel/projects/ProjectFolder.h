// A real disk folder in a project. Its children come from the updater's scans and keep
// their insertion order (the order of merges); the tree window sorts for display.
#pragma once
#include "corvel/projects/ProjectItem.h"

#include <memory>
#include <vector>

namespace corvel {

class ProjectFolder : public ProjectItem {
public:
    static constexpr uint32_t TYPE_ID = 0x9cebd282u;

    explicit ProjectFolder(Project* project) : ProjectItem(project) {}
    // Children first, in order.
    ~ProjectFolder() override;

    uint32_t getType() const override { return TYPE_ID; }
    int getKind() const override { return KIND_FOLDER; }
    bool isFolder() const override { return true; }
    void writeTo(JasmineValue& out) const override;
    void readFrom(const JasmineValue& in) override;
    using ProjectItem::getPath;
    void getPath(std::wstring& out) const override;
    // Stores the path less one trailing separator.
    void setPath(const std::wstring& path) override;
    ProjectItem* clone(uint32_t indexedFlag) const override;

    size_t childCount() const { return m_children.size(); }
    ProjectItem* childAt(size_t index) const { return m_children[index].get(); }
    // Bare child operations: no index, no notifications (Project adds those).
    void appendChild(ProjectItem* item);
    // Gives the child up to the caller and clears its parent; null when it is not ours.
    ProjectItem* takeChild(ProjectItem* item);
    ProjectItem* findChildByName(const wchar_t* name, bool ignoreCase) const;
    ProjectItem* findChildByKey(uint32_t key) const;
    bool hasChild(const ProjectItem* item) const;

protected:
    ProjectFolder(const ProjectFolder& other, uint32_t indexedFlag);
    void cloneChildrenInto(ProjectFolder* copy, uint32_t indexedFlag) const;

private:
    std::vector<std::unique_ptr<ProjectItem>> m_children; // owned, insertion order
};

} // namespace corvel
