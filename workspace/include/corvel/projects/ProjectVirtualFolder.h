// A folder that exists only in the project: the root (named by the project's title) and
// the user's groupings. Only virtual folders hold virtual folders.
#pragma once
#include "corvel/projects/ProjectFolder.h"

namespace corvel {

class ProjectVirtualFolder : public ProjectFolder {
public:
    static constexpr uint32_t TYPE_ID = 0xbdbba33cu;

    explicit ProjectVirtualFolder(Project* project) : ProjectFolder(project) {}

    uint32_t getType() const override { return TYPE_ID; }
    int getKind() const override { return KIND_VIRTUAL_FOLDER; }
    void writeTo(JasmineValue& out) const override;
    void readFrom(const JasmineValue& in) override;
    using ProjectFolder::getPath;
    void getPath(std::wstring& out) const override;
    bool overlapsPath(const wchar_t* path) const override;
    ProjectItem* clone(uint32_t indexedFlag) const override;

    // Reads a whole tree from a project file, to a bounded depth: deeper nesting is skipped.
    void readTree(const JasmineValue& in, int depth);
    static constexpr int MAX_DEPTH = 256;

private:
    ProjectVirtualFolder(const ProjectVirtualFolder& other, uint32_t indexedFlag) : ProjectFolder(other, indexedFlag) {}
};

} // namespace corvel
