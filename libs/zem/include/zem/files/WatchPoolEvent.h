// One change in a watched directory, as the watch pool reads it and hands it to every
// DirObserver of that directory. Shared by reference between threads: it starts with one
// reference, and whoever keeps it beyond onEvent takes one of its own.
#pragma once
#include "zem/base/MTRefObject.h"
#include "zem/files/File.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zem {

class FileChangeEvent : public MTRefObject<1> {
public:
    enum Kind : uint32_t { ADDED = 0, REMOVED = 1, RENAMED = 2, MODIFIED = 3 };

    // path is relative to the watched directory; for a rename it is the old name and
    // secondPath the new one. time is a FILETIME (100 ns units since 1601, UTC).
    FileChangeEvent(Kind kind, uint64_t time, const std::wstring& path, const std::wstring& secondPath = {});

    // A new event (one reference) with the same change and the given file information.
    FileChangeEvent* copyWithInfo(const FileInfo& info) const;

    Kind getKind() const { return m_kind; }
    uint64_t getTime() const { return m_time; }
    const std::wstring& getPath() const { return m_path; }
    const std::wstring& getSecondPath() const { return m_secondPath; }
    // crc32StringNoCase of the path, or 0 when the entry lies in a sub-folder (the path
    // holds a '\'), so that a file watch never matches a name deeper down.
    uint32_t getNameHash() const { return m_nameHash; }
    // Null unless someone attached the changed entry's information.
    const FileInfo* getFileInfo() const { return m_info.get(); }

    static uint32_t nameHashOf(const std::wstring& path);

private:
    ~FileChangeEvent() override = default;

    Kind m_kind;
    uint64_t m_time;
    std::wstring m_path;
    std::wstring m_secondPath;
    uint32_t m_nameHash;
    std::unique_ptr<FileInfo> m_info;
};

} // namespace zem
