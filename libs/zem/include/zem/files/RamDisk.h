// The memory device ("mem"): whole files kept in fixed-size chunks, known by their local
// path as flat names, with no directories. A file stays on the disk after it is closed
// until it is deleted or purged. Each file is open at most once at a time.
#pragma once
#include "zem/files/FlatFileDevice.h"

#include <cstdint>
#include <vector>

namespace zem {

class RamDisk;

class RamDiskFile : public FlatFile {
public:
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

    uint32_t m_shift;
    uint32_t m_mask; // (1 << m_shift) - 1
    // Each 1 << m_shift bytes, in file order; never moved. m_size <= m_chunks.size() << m_shift
    std::vector<uint8_t*> m_chunks;
    RamDisk* m_disk;
};

class RamDisk : public FlatFileDevice {
public:
    static constexpr uint32_t DEFAULT_CHUNK_SHIFT = 12;
    static constexpr uint32_t MIN_CHUNK_SHIFT = 6;
    // control(): destroy every closed file (true when none is left)...
    static constexpr uint32_t CONTROL_PURGE = 4097;
    // ... and, with argument 4, write the bytes held in chunks to a uint32_t output.
    static constexpr uint32_t CONTROL_MEMORY_USED = 4098;

    RamDisk();

    // The chunk shift for a requested chunk size in bytes: a power of two of at least 64;
    // anything else is logged and replaced.
    static uint32_t chunkShiftFor(uint32_t bytes);

    bool control(uint32_t code, uintptr_t argument, void* out) override;
    // Only a replacing move (MOVE_REPLACE) of a closed file: what saves through a
    // temporary file need. A plain rename stays unsupported.
    bool move(FileRequest& request, const wchar_t* source, const wchar_t* destination, uint32_t flags) override;

protected:
    // The chunk shift: the device parameter is the chunk size in bytes.
    uint32_t parameterFor(const FileRequest& request) override;
    FlatFile* createFile(uint32_t chunkShift, const wchar_t* fullPath, uint64_t now) override;

private:
    uint32_t m_chunkShift = DEFAULT_CHUNK_SHIFT;
};

} // namespace zem
