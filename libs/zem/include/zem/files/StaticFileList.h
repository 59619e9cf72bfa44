// The list of paths a copy, move or remove operation collects while walking its sources,
// kept in the order added, with per-entry flags, attributes and running totals.
#pragma once
#include "zem/files/File.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace zem {

struct FileListEntry {
    enum : uint32_t {
        DIRECTORY_BEFORE = 0x1, // a directory, placed before its content
        DIRECTORY_AFTER = 0x2,  // a directory, placed after its content
        GROUP_START = 0x4,      // first entry of one source of the operation
        SECTION_START = 0x8,    // a directory, or the first file after one or at a group start
        DESTINATION = 0x10,     // follows its source entry
        HAS_ATTRIBUTES = 0x20,
    };

    uint32_t flags = 0;
    uint32_t infoFlags = 0; // FileInfo flags, when HAS_ATTRIBUTES
    uint64_t size = 0;
    uint64_t lastWriteTime = 0;
    uint64_t lastAccessTime = 0;
    uint64_t creationTime = 0;
    const wchar_t* path = nullptr; // in the list's text storage
    uint32_t pathLength = 0;
    FileListEntry* prev = nullptr;
    FileListEntry* next = nullptr;
};

struct FileListStatistics {
    uint32_t directories = 0;
    uint32_t files = 0;
    uint64_t bytes = 0; // of the file entries
};

class FileList {
public:
    enum Operation : uint32_t { OperationCopyPath = 2, OperationMovePath = 3, OperationRemovePath = 4 };

    virtual uint32_t getOperation() const = 0;
    virtual FileListEntry* first() = 0;
    virtual const FileListEntry* first() const = 0;
    virtual FileListEntry* next(FileListEntry* entry) = 0;
    virtual const FileListEntry* next(const FileListEntry* entry) const = 0;
    virtual size_t count() const = 0;
    // attributes may be null (a destination entry, read later by entryExists).
    virtual FileListEntry* add(const wchar_t* path, const FileInfo* attributes) = 0;
    // The next added entry starts a group (GROUP_START).
    virtual void startGroup() = 0;
    virtual void clear() = 0;
    virtual const FileListStatistics& getStatistics() const = 0;
    virtual ~FileList() = default;
};

class StaticFileList : public FileList {
public:
    explicit StaticFileList(uint32_t operation);
    ~StaticFileList() override;
    StaticFileList(const StaticFileList&) = delete;
    StaticFileList& operator=(const StaticFileList&) = delete;

    uint32_t getOperation() const override { return m_operation; }
    FileListEntry* first() override { return m_first; }
    const FileListEntry* first() const override { return m_first; }
    FileListEntry* next(FileListEntry* entry) override { return entry ? entry->next : nullptr; }
    const FileListEntry* next(const FileListEntry* entry) const override { return entry ? entry->next : nullptr; }
    size_t count() const override { return m_count; }
    FileListEntry* add(const wchar_t* path, const FileInfo* attributes) override;
    void startGroup() override { m_groupStart = true; }
    void clear() override;
    const FileListStatistics& getStatistics() const override { return m_stats; }

    // True when the entry has attributes, or when they can be read now (and are stored).
    bool entryExists(FileListEntry* entry);

private:
    static constexpr size_t ENTRY_BLOCK = 64;
    static constexpr size_t TEXT_BLOCK = 8192; // characters

    FileListEntry* allocateEntry();
    const wchar_t* storeText(const wchar_t* text, size_t length);

    uint32_t m_operation;
    FileListEntry* m_first = nullptr;
    FileListEntry* m_last = nullptr;
    size_t m_count = 0;
    FileListStatistics m_stats;
    bool m_groupStart = true;
    std::vector<std::unique_ptr<FileListEntry[]>> m_entryBlocks;
    size_t m_entriesUsedInLast = ENTRY_BLOCK; // entries taken from the last block
    std::vector<std::unique_ptr<wchar_t[]>> m_textBlocks;
    size_t m_textUsedInLast = TEXT_BLOCK;
    size_t m_lastTextBlockSize = 0;
};

} // namespace zem
