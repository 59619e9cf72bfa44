// The memory device ("mem"): whole files kept in fixed-size chunks, known by their local
// path as flat names, with no directories. A file stays on the disk after it is closed
// until it is deleted or purged. Each file is open at most once at a time.
#pragma once
#include "zem/files/File.h"
#include "zem/thread/CriticalSection.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zem {

class RamDisk;

class RamDiskFile : public File {
public:
    enum : uint32_t { MODE_CLOSED = 0, MODE_READ = 0x1, MODE_WRITE = 0x2, MODE_APPEND = 0x4 };

    bool isOpen() const override { return m_mode != MODE_CLOSED; }
    const wchar_t* getPath() const override { return m_info.name; }
    uint32_t getSize() override { return isOpen() ? m_size : 0; }
    uint32_t tell() override { return isOpen() ? m_position : 0; }
    bool truncate() override;
    uint32_t read(void* buffer, uint32_t count) override;
    uint32_t write(const void* buffer, uint32_t count) override;
    // In append mode every write goes to the end: seeking answers 0 and does not move.
    uint32_t seek(int origin, int32_t offset) override;
    bool flush() override;
    FileDevice* getDevice() const override;

    uint32_t getChunkSize() const { return m_mask + 1; }
    uint32_t getChunkCount() const { return static_cast<uint32_t>(m_chunks.size()); }

private:
    friend class RamDisk;
    RamDiskFile(RamDisk* disk, uint32_t chunkShift, const wchar_t* fullPath, uint64_t now);
    ~RamDiskFile() override;
    RamDiskFile(const RamDiskFile&) = delete;
    RamDiskFile& operator=(const RamDiskFile&) = delete;

    void setName(const wchar_t* fullPath);
    bool failUnless(uint32_t modeBit);

    uint32_t m_mode = MODE_CLOSED;
    uint32_t m_position = 0; // m_position <= m_size
    uint32_t m_size = 0;     // m_size <= m_chunks.size() << m_shift
    uint32_t m_shift;
    uint32_t m_mask;                // (1 << m_shift) - 1
    std::vector<uint8_t*> m_chunks; // each 1 << m_shift bytes, in file order; never moved
    RamDisk* m_disk;
    // flags 0; the times; name = the full path the file was last opened with.
    FileInfo m_info;
    const wchar_t* m_localName = nullptr; // into m_info.name, behind the device's ':'
    std::wstring m_key;                   // m_localName as lookups compare it
};

class RamDisk : public FileDevice {
public:
    static constexpr uint32_t DEFAULT_CHUNK_SHIFT = 12;
    static constexpr uint32_t MIN_CHUNK_SHIFT = 6;
    // control(): destroy every closed file (true when none is left)...
    static constexpr uint32_t CONTROL_PURGE = 4097;
    // ... and, with argument 4, write the bytes held in chunks to a uint32_t output.
    static constexpr uint32_t CONTROL_MEMORY_USED = 4098;

    RamDisk();
    ~RamDisk() override;
    RamDisk(const RamDisk&) = delete;
    RamDisk& operator=(const RamDisk&) = delete;

    // The chunk shift for a requested chunk size in bytes: a power of two of at least 64;
    // anything else is logged and replaced.
    static uint32_t chunkShiftFor(uint32_t bytes);
    // The comparison key of a local name: case and the kind of separator do not matter.
    static std::wstring keyOf(const wchar_t* localName);

    bool isValid() const override { return true; }
    const FileDeviceInfo& getInfo() override;
    bool openFile(FileRequest& request, File*& out) override;
    bool openDirectory(FileRequest& request, Directory*& out) override;
    bool openWatchHandle(FileRequest& request, DirObserver* observer, bool recursive, DirObserverHandle*& out) override;
    bool getAttributes(FileRequest& request, FileInfo* out) override;
    bool deleteFile(FileRequest& request) override;
    bool removeDirectory(FileRequest& request) override;
    bool createDirectory(FileRequest& request) override;
    bool setAttributes(FileRequest& request, const FileAttributeChange& change) override;
    bool getFullPath(FileRequest& request, WorkString& out, bool mustExist) override;
    bool normalizePath(FileRequest& request, WorkString& out) override;
    bool move(FileRequest& request, const wchar_t* source, const wchar_t* destination, uint32_t flags) override;
    bool closeFile(File* file) override;
    bool closeDirectory(Directory* directory) override;
    bool closeWatchHandle(DirObserverHandle* handle) override;
    bool control(uint32_t code, uintptr_t argument, void* out) override;

private:
    friend class RamDiskFile;
    // Both under m_lock.
    RamDiskFile* find(const wchar_t* localPath);
    void destroy(RamDiskFile* file);
    uint32_t chunkShiftForRequest(const FileRequest& request);
    uint32_t logSource() const;

    FileDeviceInfo m_info;
    CriticalSection m_lock;
    uint32_t m_chunkShift = DEFAULT_CHUNK_SHIFT;
    std::vector<RamDiskFile*> m_files; // guarded by m_lock; owned, in creation order
};

} // namespace zem
