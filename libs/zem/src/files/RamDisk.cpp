#include "zem/files/RamDisk.h"

#include "FileError.h"
#include "zem/files/FileIFC.h"
#include "zem/log/LogManager.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace zem {

namespace {

bool isPowerOfTwo(uint32_t n) {
    return n != 0 && (n & (n - 1)) == 0;
}

} // namespace

// ---- RamDiskFile ----

RamDiskFile::RamDiskFile(RamDisk* disk, uint32_t chunkShift, const wchar_t* fullPath, uint64_t now)
    : FlatFile(fullPath, now), m_shift(chunkShift), m_mask((1u << chunkShift) - 1), m_disk(disk) {}

RamDiskFile::~RamDiskFile() {
    for (uint8_t* chunk : m_chunks)
        delete[] chunk;
}

FileDevice* RamDiskFile::getDevice() const {
    return m_disk;
}

uint32_t RamDiskFile::read(void* buffer, uint32_t count) {
    if (failUnless(MODE_READ))
        return 0;
    uint32_t total = std::min(count, m_size - m_position);
    uint8_t* out = static_cast<uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < total) {
        uint32_t offset = m_position & m_mask;
        uint32_t n = std::min(total - done, m_mask + 1 - offset);
        std::memcpy(out + done, m_chunks[m_position >> m_shift] + offset, n);
        m_position += n;
        done += n;
    }
    return done;
}

uint32_t RamDiskFile::write(const void* buffer, uint32_t count) {
    if (failUnless(MODE_WRITE))
        return 0;
    uint32_t total = std::min(count, MAX_FILE_SIZE - m_position);
    const uint8_t* in = static_cast<const uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < total) {
        uint32_t index = m_position >> m_shift;
        if (index >= m_chunks.size()) {
            uint8_t* chunk = new (std::nothrow) uint8_t[m_mask + 1u];
            bool added = false;
            if (chunk) {
                try {
                    m_chunks.push_back(chunk);
                    added = true;
                } catch (std::bad_alloc&) {
                    delete[] chunk;
                }
            }
            if (!added)
                break;
        }
        uint32_t offset = m_position & m_mask;
        uint32_t n = std::min(total - done, m_mask + 1 - offset);
        std::memcpy(m_chunks[index] + offset, in + done, n);
        m_position += n;
        done += n;
    }
    m_size = std::max(m_size, m_position);
    if (done < count)
        fileFail(ERROR_DISK_FULL, m_info.name);
    return done;
}

bool RamDiskFile::truncate() {
    if (failUnless(MODE_WRITE))
        return false;
    size_t keep = std::min<size_t>(m_chunks.size(), (m_position >> m_shift) + 1u);
    for (size_t i = keep; i < m_chunks.size(); ++i)
        delete[] m_chunks[i];
    m_chunks.resize(keep);
    m_size = m_position;
    return true;
}

uint32_t RamDiskFile::seek(int origin, int32_t offset) {
    if (!isOpen()) {
        fileFail(ERROR_INVALID_HANDLE, m_info.name);
        return INVALID_POSITION;
    }
    if (m_mode & MODE_APPEND)
        return 0;
    uint32_t target = 0;
    if (!seekTarget(origin, offset, L"RamDiskFile", target))
        return INVALID_POSITION;
    m_position = target;
    return m_position;
}

bool RamDiskFile::flush() {
    if (isOpen())
        return true;
    return fileFail(ERROR_INVALID_HANDLE, m_info.name);
}

// ---- RamDisk ----

RamDisk::RamDisk() : FlatFileDevice(L"RamDisk") {}

uint32_t RamDisk::chunkShiftFor(uint32_t bytes) {
    uint32_t source = FileIFC::instance().logSource();
    if (!isPowerOfTwo(bytes)) {
        logMessage(LOG_INFO, source, L"RamDisk: bad chunk size %d, defaulting to %d bytes\n", static_cast<int>(bytes),
                   1 << DEFAULT_CHUNK_SHIFT);
        return DEFAULT_CHUNK_SHIFT;
    }
    if (bytes < (1u << MIN_CHUNK_SHIFT)) {
        logMessage(LOG_INFO, source, L"RamDisk: chunk size %d is too small, defaulting to %d bytes\n",
                   static_cast<int>(bytes), 1 << MIN_CHUNK_SHIFT);
        return MIN_CHUNK_SHIFT;
    }
    uint32_t shift = 0;
    while ((1u << shift) < bytes)
        ++shift;
    return shift;
}

uint32_t RamDisk::parameterFor(const FileRequest& request) {
    uint32_t bytes = 0;
    return parseDeviceParam(request, bytes) ? chunkShiftFor(bytes) : m_chunkShift;
}

FlatFile* RamDisk::createFile(uint32_t chunkShift, const wchar_t* fullPath, uint64_t now) {
    return new RamDiskFile(this, chunkShift, fullPath, now);
}

bool RamDisk::move(FileRequest& request, const wchar_t* source, const wchar_t* destination, uint32_t flags) {
    if (!(flags & MOVE_REPLACE))
        return FlatFileDevice::move(request, source, destination, flags);
    return replaceFile(request, source, destination);
}

bool RamDisk::control(uint32_t code, uintptr_t argument, void* out) {
    CriticalSectionLock guard(m_lock);
    if (code == CONTROL_PURGE) {
        for (size_t i = m_files.size(); i-- > 0;) {
            if (!m_files[i]->isOpen())
                destroy(m_files[i]);
        }
        return m_files.empty();
    }
    if (code == CONTROL_MEMORY_USED && argument == sizeof(uint32_t) && out) {
        uint64_t bytes = 0;
        for (FlatFile* entry : m_files) {
            // Every file of the table was made by createFile.
            const RamDiskFile* file = static_cast<const RamDiskFile*>(entry);
            bytes += uint64_t(file->m_chunks.size()) * (file->m_mask + 1u);
        }
        *static_cast<uint32_t*>(out) = static_cast<uint32_t>(std::min<uint64_t>(bytes, 0xFFFFFFFFu));
        return true;
    }
    return false;
}

} // namespace zem
