#include "zem/files/RamDisk.h"

#include "FileError.h"
#include "zem/base/Assert.h"
#include "zem/base/Clock.h"
#include "zem/files/FileIFC.h"
#include "zem/files/WorkString.h"
#include "zem/log/LogManager.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>

namespace zem {

namespace {

constexpr size_t MAX_PATH_LENGTH = FileInfo::NAME_CAPACITY - 1;
// Positions and sizes are 32-bit, and 0xFFFFFFFF is the failed position.
constexpr uint32_t MAX_FILE_SIZE = 0xFFFFFFFEu;

bool isPowerOfTwo(uint32_t n) {
    return n != 0 && (n & (n - 1)) == 0;
}

// A decimal number of at most 32 bits; false for anything else.
bool parseDecimal(const wchar_t* text, uint32_t& out) {
    if (!*text)
        return false;
    uint64_t value = 0;
    for (const wchar_t* p = text; *p; ++p) {
        if (*p < L'0' || *p > L'9')
            return false;
        value = value * 10 + static_cast<uint64_t>(*p - L'0');
        if (value > 0xFFFFFFFFull)
            return false;
    }
    out = static_cast<uint32_t>(value);
    return true;
}

void lowerCase(WorkString& text) {
    if (!text.empty())
        CharLowerBuffW(text.data(), static_cast<DWORD>(text.length()));
}

} // namespace

// ---- RamDiskFile ----

RamDiskFile::RamDiskFile(RamDisk* disk, uint32_t chunkShift, const wchar_t* fullPath, uint64_t now)
    : m_shift(chunkShift), m_mask((1u << chunkShift) - 1), m_disk(disk) {
    m_info.lastWriteTime = now;
    m_info.lastAccessTime = now;
    m_info.creationTime = now;
    setName(fullPath);
}

RamDiskFile::~RamDiskFile() {
    for (uint8_t* chunk : m_chunks)
        delete[] chunk;
}

void RamDiskFile::setName(const wchar_t* fullPath) {
    m_info.setName(fullPath);
    const wchar_t* colon = std::wcschr(m_info.name, L':');
    m_localName = colon ? colon + 1 : m_info.name;
    m_key = RamDisk::keyOf(m_localName);
}

FileDevice* RamDiskFile::getDevice() const {
    return m_disk;
}

bool RamDiskFile::failUnless(uint32_t modeBit) {
    if (m_mode & modeBit)
        return false;
    fileFail(isOpen() ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE, m_info.name);
    return true;
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
    int64_t target = 0;
    bool valid = true;
    switch (origin) {
    case FILE_SEEK_BEGIN:
        target = offset;
        break;
    case FILE_SEEK_END:
        valid = offset <= 0;
        target = int64_t(m_size) + offset;
        break;
    case FILE_SEEK_CURRENT:
        target = int64_t(m_position) + offset;
        break;
    default:
        valid = false;
        break;
    }
    if (!valid || target < 0 || target > int64_t(m_size)) {
        logMessage(LOG_INFO, m_disk->logSource(), L"RamDiskFile: Seek position is out of range\n");
        fileFail(valid && target < 0 ? ERROR_NEGATIVE_SEEK : ERROR_INVALID_PARAMETER, m_info.name);
        return INVALID_POSITION;
    }
    m_position = static_cast<uint32_t>(target);
    return m_position;
}

bool RamDiskFile::flush() {
    if (isOpen())
        return true;
    return fileFail(ERROR_INVALID_HANDLE, m_info.name);
}

// ---- RamDisk ----

RamDisk::RamDisk() {
    m_info.flags = FILEDEV_CASE_SENSITIVE;
    m_info.separator = L'/';
    m_info.deviceId = FileIFC::instance().nextDeviceId();
}

RamDisk::~RamDisk() {
    CriticalSectionLock guard(m_lock);
    size_t open = std::count_if(m_files.begin(), m_files.end(), [](RamDiskFile* f) { return f->isOpen(); });
    if (open) {
        // Not an assertion: a destructor must not throw. The files go regardless.
        logMessage(LOG_CRITICAL, logSource(), L"RamDisk: destroyed with %d open files\n", static_cast<int>(open));
    }
    for (RamDiskFile* file : m_files)
        delete file;
    m_files.clear();
}

uint32_t RamDisk::logSource() const {
    return FileIFC::instance().logSource();
}

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

std::wstring RamDisk::keyOf(const wchar_t* localName) {
    std::wstring key = localName ? localName : L"";
    std::replace(key.begin(), key.end(), L'\\', L'/');
    if (!key.empty())
        CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
    return key;
}

RamDiskFile* RamDisk::find(const wchar_t* localPath) {
    std::wstring key = keyOf(localPath);
    for (RamDiskFile* file : m_files) {
        if (file->m_key == key)
            return file;
    }
    return nullptr;
}

void RamDisk::destroy(RamDiskFile* file) {
    m_files.erase(std::find(m_files.begin(), m_files.end(), file));
    delete file;
}

const FileDeviceInfo& RamDisk::getInfo() {
    CriticalSectionLock guard(m_lock);
    LONG open =
        static_cast<LONG>(std::count_if(m_files.begin(), m_files.end(), [](RamDiskFile* f) { return f->isOpen(); }));
    InterlockedExchange(&m_info.ref_count, open);
    return m_info;
}

uint32_t RamDisk::chunkShiftForRequest(const FileRequest& request) {
    if (!request.deviceParam[0])
        return m_chunkShift;
    uint32_t bytes = 0;
    if (!parseDecimal(request.deviceParam, bytes)) {
        logMessage(LOG_INFO, logSource(), L"RamDisk::openFile: unknown device param '%s'\n", request.deviceParam);
        return m_chunkShift;
    }
    return chunkShiftFor(bytes);
}

bool RamDisk::openFile(FileRequest& request, File*& out) {
    out = nullptr;
    if (!request.fullPath || !request.localPath)
        return fileFail(ERR_INVALID_CALL);
    if (std::wcslen(request.fullPath) > MAX_PATH_LENGTH)
        return fileFail(ERROR_INVALID_NAME, request.fullPath);
    CriticalSectionLock guard(m_lock);
    RamDiskFile* file = find(request.localPath);
    uint32_t shift = chunkShiftForRequest(request);
    if (file && file->isOpen())
        return fileFail(ERROR_SHARING_VIOLATION, request.fullPath);

    uint32_t mode = 0;
    bool recreate = false;
    switch (request.mode) {
    case FILE_MODE_READ:
        if (!file)
            return fileFail(ERROR_FILE_NOT_FOUND, request.fullPath);
        mode = RamDiskFile::MODE_READ;
        break;
    case FILE_MODE_WRITE:
        mode = RamDiskFile::MODE_WRITE;
        recreate = true;
        break;
    case FILE_MODE_APPEND:
        mode = RamDiskFile::MODE_WRITE | RamDiskFile::MODE_APPEND;
        break;
    case FILE_MODE_READ_WRITE:
        mode = RamDiskFile::MODE_READ | RamDiskFile::MODE_WRITE;
        break;
    case FILE_MODE_READ_WRITE_TRUNCATE:
        mode = RamDiskFile::MODE_READ | RamDiskFile::MODE_WRITE;
        recreate = true;
        break;
    case FILE_MODE_READ_WRITE_NEW:
    case FILE_MODE_WRITE_NEW:
        if (file)
            return fileFail(ERROR_FILE_EXISTS, request.fullPath);
        mode = request.mode == FILE_MODE_WRITE_NEW ? RamDiskFile::MODE_WRITE
                                                   : RamDiskFile::MODE_READ | RamDiskFile::MODE_WRITE;
        break;
    default:
        return fileFail(ERR_OPERATION_NOT_SUPPORTED, request.fullPath, L"OpenFile - wrong opening mode");
    }

    uint64_t now = currentFileTime();
    if (recreate && file) {
        destroy(file);
        file = nullptr;
    }
    if (file) {
        file->m_position = (mode & RamDiskFile::MODE_APPEND) ? file->m_size : 0;
        file->m_info.lastAccessTime = now;
        file->setName(request.fullPath);
    } else {
        file = new RamDiskFile(this, shift, request.fullPath, now);
        m_files.push_back(file);
    }
    file->m_mode = mode;
    InterlockedIncrement(&m_info.ref_count);
    out = file;
    return true;
}

bool RamDisk::closeFile(File* f) {
    CriticalSectionLock guard(m_lock);
    RamDiskFile* file = static_cast<RamDiskFile*>(f);
    ZEM_ASSERT_MSG(f && std::find(m_files.begin(), m_files.end(), file) != m_files.end(),
                   L"the file belongs to this RAM disk");
    if (!file->isOpen())
        return fileFail(ERROR_INVALID_HANDLE, file->m_info.name);
    if (file->m_mode & RamDiskFile::MODE_WRITE)
        file->m_info.lastWriteTime = currentFileTime();
    file->m_mode = RamDiskFile::MODE_CLOSED;
    InterlockedDecrement(&m_info.ref_count);
    return true;
}

bool RamDisk::getAttributes(FileRequest& request, FileInfo* out) {
    CriticalSectionLock guard(m_lock);
    RamDiskFile* file = find(request.localPath);
    if (!file)
        return fileFail(ERROR_FILE_NOT_FOUND, request.fullPath);
    if (out) {
        *out = file->m_info;
        out->flags = (out->flags | FileInfo::WRITABLE | FileInfo::VALID) & ~uint32_t(FileInfo::DIRECTORY_ENTRY);
        out->size = file->m_size;
    }
    return true;
}

bool RamDisk::deleteFile(FileRequest& request) {
    CriticalSectionLock guard(m_lock);
    RamDiskFile* file = find(request.localPath);
    if (!file)
        return fileFail(ERROR_FILE_NOT_FOUND, request.fullPath);
    if (file->isOpen())
        return fileFail(ERROR_ACCESS_DENIED, request.fullPath);
    destroy(file);
    return true;
}

bool RamDisk::getFullPath(FileRequest& request, WorkString& out, bool mustExist) {
    if (mustExist) {
        CriticalSectionLock guard(m_lock);
        if (!find(request.localPath))
            return fileFail(ERROR_FILE_NOT_FOUND, request.fullPath);
    }
    return normalizePath(request, out);
}

bool RamDisk::normalizePath(FileRequest& request, WorkString& out) {
    out.assign(request.deviceName);
    out.append(L':');
    out.append(request.localPath);
    for (size_t i = 0; i < out.length(); ++i) {
        if (out[i] == L'\\')
            out[i] = L'/';
    }
    lowerCase(out);
    return true;
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
        for (RamDiskFile* file : m_files)
            bytes += uint64_t(file->m_chunks.size()) * (file->m_mask + 1u);
        *static_cast<uint32_t*>(out) = static_cast<uint32_t>(std::min<uint64_t>(bytes, 0xFFFFFFFFu));
        return true;
    }
    return false;
}

bool RamDisk::createDirectory(FileRequest& request) {
    (void)request;
    return true;
}

bool RamDisk::openDirectory(FileRequest& request, Directory*& out) {
    out = nullptr;
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, request.fullPath, L"OpenDirectory");
}

bool RamDisk::openWatchHandle(FileRequest& request, DirObserver* observer, bool recursive, DirObserverHandle*& out) {
    (void)observer;
    (void)recursive;
    out = nullptr;
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, request.fullPath, L"OpenWatchHandle");
}

bool RamDisk::removeDirectory(FileRequest& request) {
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, request.fullPath, L"RemoveDirectory");
}

bool RamDisk::setAttributes(FileRequest& request, const FileAttributeChange& change) {
    (void)change;
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, request.fullPath, L"SetAttributes");
}

bool RamDisk::move(FileRequest& request, const wchar_t* source, const wchar_t* destination, uint32_t flags) {
    (void)source;
    (void)destination;
    (void)flags;
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, request.fullPath, L"MoveFile");
}

bool RamDisk::closeDirectory(Directory* directory) {
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, directory ? directory->getPath() : L"", L"CloseDirectory");
}

bool RamDisk::closeWatchHandle(DirObserverHandle* handle) {
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, handle ? handle->getPath() : L"", L"CloseWatchHandle");
}

} // namespace zem
