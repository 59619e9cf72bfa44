// One entry of a project tree: a single disk file. Folders and virtual folders derive
// from it. A file found by a scan stores only its name and follows its folder; a file
// the user placed stores its full path.
#pragma once
#include "corvel/config/TaggedObject.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zem {
class ErrorObject;
struct ErrorRecord;
} // namespace zem

namespace corvel {

class JasmineValue;
class Project;
class ProjectFolder;

class ProjectItem : public TaggedObject {
public:
    enum Kind : int { KIND_FILE = 0, KIND_FOLDER = 1, KIND_VIRTUAL_FOLDER = 2 };
    enum Flags : uint32_t {
        FLAG_ERROR = 0x01,      // an error record hangs under ERROR_TAG
        FLAG_READ_ONLY = 0x04,  // the file's attributes say it is not writable
        FLAG_KEY_STALE = 0x08,  // the path changed since the key was computed
        FLAG_INDEXED = 0x10,    // registered in the project's key index
        FLAG_MERGE_MARK = 0x20, // only inside Project::mergeSubTree
        FLAG_NEW_COPY = 0x40,   // just copied in: its real folders still need a first scan
    };
    static constexpr uint32_t TYPE_ID = 0xe9bc9fe9u;
    static constexpr uint32_t ERROR_TAG = 0x5dddbc71u; // "error": the zem::ErrorObject of a failed scan

    explicit ProjectItem(Project* project);
    // Also frees an attached error record.
    ~ProjectItem() override;
    ProjectItem& operator=(const ProjectItem&) = delete;

    uint32_t getType() const override { return TYPE_ID; }
    virtual int getKind() const { return KIND_FILE; }
    virtual bool isFolder() const { return false; }
    bool isVirtualFolder() const { return getKind() == KIND_VIRTUAL_FOLDER; }
    bool isRealFolder() const { return getKind() == KIND_FOLDER; }

    // Serialisation into / from one dictionary of a project file.
    virtual void writeTo(JasmineValue& out) const;
    virtual void readFrom(const JasmineValue& in);

    virtual void getPath(std::wstring& out) const;
    std::wstring getPath() const {
        std::wstring out;
        getPath(out);
        return out;
    }
    // The text as stored, which for a scanned file is only its name.
    const std::wstring& getPathText() const { return m_path; }
    virtual void setPath(const std::wstring& path);
    // True when one of the two paths contains the other (or they are the same).
    virtual bool overlapsPath(const wchar_t* path) const;
    // A copy without parent; FLAG_INDEXED is replaced by bit 0 of indexedFlag.
    virtual ProjectItem* clone(uint32_t indexedFlag) const;

    // The name is the end of the path text; its directory part stays.
    void setName(const std::wstring& name);
    const wchar_t* getName() const { return m_path.c_str() + m_nameOffset; }
    std::wstring name() const { return m_path.substr(m_nameOffset); }

    Project* getProject() const { return m_project; }
    ProjectFolder* getParent() const { return m_parent; }
    bool parentIsVirtual() const;
    uint32_t getKey() const { return m_key; }
    // For scans, which compute keys on their worker thread: only for items not indexed.
    void setScannedKey(uint32_t key) {
        m_key = key;
        m_flags &= ~FLAG_KEY_STALE;
    }
    uint32_t getFlags() const { return m_flags; }
    bool hasFlag(uint32_t flag) const { return (m_flags & flag) != 0; }
    void setFlags(uint32_t flags) { m_flags |= flags; }
    void clearFlags(uint32_t flags) { m_flags &= ~flags; }

    // A failed scan: FLAG_ERROR and the record go together.
    void setError(const zem::ErrorRecord& record);
    void setError(const zem::ErrorObject& error);
    void clearError();
    const zem::ErrorObject* getError() const;

protected:
    // For clone: the same project, path, key and flags, no parent, no tags but the error.
    ProjectItem(const ProjectItem& other, uint32_t indexedFlag);

private:
    friend class Project;
    friend class ProjectFolder;

    Project* m_project;                // not owned
    ProjectFolder* m_parent = nullptr; // not owned; null for the root and unattached items
    std::wstring m_path;
    size_t m_nameOffset = 0; // m_nameOffset <= m_path.size(); the name runs to the end
    uint32_t m_key = 0;      // fileGetPathHash of the full path; 0 until indexed
    uint32_t m_flags = 0;
};

} // namespace corvel
