#include "zem/files/TempDevice.h"

#include "FileError.h"
#include "zem/base/Assert.h"
#include "zem/base/Clock.h"
#include "zem/files/FileIFC.h"
#include "zem/files/FileIO.h"
#include "zem/files/Path.h"
#include "zem/files/RamDisk.h"
#include "zem/files/WorkString.h"
#include "zem/log/LogManager.h"

#include <algorithm>
#include <cwchar>

namespace zem {

namespace {

constexpr size_t MAX_PATH_LENGTH = FileInfo::NAME_CAPACITY - 1;
constexpr uint32_t MAX_FILE_SIZE = 0xFFFFFFFEu;
const wchar_t* const RAM_PART_SUFFIX = L".vmtmpfs";
const wchar_t* const DISK_PART_SUFFIX = L".vdtmpfs";

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

bool endsWithColon(const std::wstring& prefix) {
    return !prefix.empty() && prefix.back() == L':';
}

// Opens a part that was made before. It must still be there: opening it anew would
// create it empty and hand back zeros in place of the lost bytes.
File* reopenPart(const std::wstring& path) {
    if (!fileGetAttributes(path.c_str(), nullptr)) {
        fileFail(ERROR_FILE_NOT_FOUND, path.c_str());
        return nullptr;
    }
    return fileOpen(path.c_str(), FILE_MODE_READ_WRITE);
}

} // namespace

// ---- TempFile ----

TempFile::TempFile(TempDevice* device, uint32_t threshold, const wchar_t* fullPath, uint64_t now)
    : m_device(device), m_threshold(threshold) {
    m_info.lastWriteTime = now;
    m_info.lastAccessTime = now;
    m_info.creationTime = now;
    setName(fullPath);
}

TempFile::~TempFile() {
    closeParts();
}

void TempFile::setName(const wchar_t* fullPath) {
    m_info.setName(fullPath);
    const wchar_t* colon = std::wcschr(m_info.name, L':');
    m_localName = colon ? colon + 1 : m_info.name;
    m_key = RamDisk::keyOf(m_localName);
}

FileDevice* TempFile::getDevice() const {
    return m_device;
}

bool TempFile::failUnless(uint32_t modeBit) {
    if (m_mode & modeBit)
        return false;
    fileFail(isOpen() ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE, m_info.name);
    return true;
}

bool TempFile::openRamPart() {
    if (!m_ramPath.empty()) {
        m_ramPart = reopenPart(m_ramPath);
        return m_ramPart != nullptr;
    }
    std::wstring path = m_device->m_ramdisk_prefix + m_localName + RAM_PART_SUFFIX;
    m_ramPart = fileOpen(path.c_str(), FILE_MODE_READ_WRITE_NEW);
    if (!m_ramPart)
        return false;
    m_ramPath = path;
    return true;
}

bool TempFile::openDiskPart() {
    if (m_diskPart)
        return true;
    if (!m_diskPath.empty()) {
        m_diskPart = reopenPart(m_diskPath);
        return m_diskPart != nullptr;
    }
    std::wstring path = m_device->m_temp_prefix + m_localName + DISK_PART_SUFFIX;
    File* part = fileOpen(path.c_str(), FILE_MODE_READ_WRITE_NEW);
    uint32_t error = lastErrorCode();
    if (!part && (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)) {
        // Left over by an earlier run. A part someone still has open cannot be deleted.
        if (fileDelete(path.c_str()))
            part = fileOpen(path.c_str(), FILE_MODE_READ_WRITE_NEW);
    } else if (!part && error == ERROR_PATH_NOT_FOUND) {
        // A local name with folders ("undo/1") needs them in the temporary folder.
        WorkString folder;
        getDirectory(path.c_str(), folder);
        if (fileCreateDirectories(folder.c_str()))
            part = fileOpen(path.c_str(), FILE_MODE_READ_WRITE_NEW);
    }
    if (!part)
        return false;
    m_diskPart = part;
    m_diskPath = path;
    return true;
}

void TempFile::closeParts() {
    if (m_ramPart)
        fileClose(m_ramPart);
    if (m_diskPart)
        fileClose(m_diskPart);
    m_ramPart = nullptr;
    m_diskPart = nullptr;
}

void TempFile::deleteParts() {
    closeParts();
    if (!m_ramPath.empty())
        fileDelete(m_ramPath.c_str());
    if (!m_diskPath.empty())
        fileDelete(m_diskPath.c_str());
}

uint32_t TempFile::read(void* buffer, uint32_t count) {
    if (failUnless(MODE_READ))
        return 0;
    uint32_t total = std::min(count, m_size - m_position);
    uint8_t* out = static_cast<uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < total) {
        uint32_t wanted = total - done;
        uint32_t got = 0;
        // Each part is positioned before it is used, so the two stay in step with the
        // file's position whatever happened before.
        if (m_position < m_threshold) {
            wanted = std::min(wanted, m_threshold - m_position);
            if (m_ramPart->seek(FILE_SEEK_BEGIN, static_cast<int32_t>(m_position)) == INVALID_POSITION)
                break;
            got = m_ramPart->read(out + done, wanted);
        } else {
            if (!openDiskPart() ||
                m_diskPart->seek(FILE_SEEK_BEGIN, static_cast<int32_t>(m_position - m_threshold)) == INVALID_POSITION)
                break;
            got = m_diskPart->read(out + done, wanted);
        }
        m_position += got;
        done += got;
        if (got < wanted)
            break;
    }
    return done;
}

uint32_t TempFile::write(const void* buffer, uint32_t count) {
    if (failUnless(MODE_WRITE))
        return 0;
    uint32_t total = std::min(count, MAX_FILE_SIZE - m_position);
    const uint8_t* in = static_cast<const uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < total) {
        uint32_t wanted = total - done;
        uint32_t put = 0;
        if (m_position < m_threshold) {
            wanted = std::min(wanted, m_threshold - m_position);
            if (m_ramPart->seek(FILE_SEEK_BEGIN, static_cast<int32_t>(m_position)) == INVALID_POSITION)
                break;
            put = m_ramPart->write(in + done, wanted);
        } else {
            if (!openDiskPart() ||
                m_diskPart->seek(FILE_SEEK_BEGIN, static_cast<int32_t>(m_position - m_threshold)) == INVALID_POSITION)
                break;
            put = m_diskPart->write(in + done, wanted);
        }
        m_position += put;
        done += put;
        m_size = std::max(m_size, m_position);
        if (put < wanted)
            break;
    }
    if (done < count && lastErrorCode() == ERR_SUCCESS)
        fileFail(ERROR_DISK_FULL, m_info.name);
    return done;
}

uint32_t TempFile::seek(int origin, int32_t offset) {
    if (!isOpen() || !m_ramPart) {
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
        logMessage(LOG_INFO, FileIFC::instance().logSource(), L"TempFile: Seek position is out of range\n");
        fileFail(valid && target < 0 ? ERROR_NEGATIVE_SEEK : ERROR_INVALID_PARAMETER, m_info.name);
        return INVALID_POSITION;
    }
    uint32_t position = static_cast<uint32_t>(target);
    if (position > m_threshold) {
        // After a reopen the disk part is not open yet: it opens here.
        if (!openDiskPart() ||
            m_diskPart->seek(FILE_SEEK_BEGIN, static_cast<int32_t>(position - m_threshold)) == INVALID_POSITION)
            return INVALID_POSITION;
    } else {
        if (m_ramPart->seek(FILE_SEEK_BEGIN, static_cast<int32_t>(position)) == INVALID_POSITION)
            return INVALID_POSITION;
        if (m_diskPart && m_diskPart->seek(FILE_SEEK_BEGIN, 0) == INVALID_POSITION)
            return INVALID_POSITION;
    }
    m_position = position;
    return m_position;
}

bool TempFile::truncate() {
    if (failUnless(MODE_WRITE))
        return false;
    if (m_position < m_threshold) {
        if (m_ramPart->seek(FILE_SEEK_BEGIN, static_cast<int32_t>(m_position)) == INVALID_POSITION ||
            !m_ramPart->truncate())
            return false;
        if (!m_diskPath.empty()) {
            if (!openDiskPart() || m_diskPart->seek(FILE_SEEK_BEGIN, 0) == INVALID_POSITION || !m_diskPart->truncate())
                return false;
        }
    } else if (m_size > m_threshold) {
        if (!openDiskPart() ||
            m_diskPart->seek(FILE_SEEK_BEGIN, static_cast<int32_t>(m_position - m_threshold)) == INVALID_POSITION ||
            !m_diskPart->truncate())
            return false;
    }
    m_size = m_position;
    return true;
}

bool TempFile::flush() {
    if (!isOpen())
        return fileFail(ERROR_INVALID_HANDLE, m_info.name);
    return m_diskPart ? m_diskPart->flush() : true;
}

// ---- TempDevice ----

TempDevice::TempDevice(const wchar_t* ramdiskPrefix, const wchar_t* tempPrefix)
    : m_ramdisk_prefix(ramdiskPrefix ? ramdiskPrefix : L""), m_temp_prefix(tempPrefix ? tempPrefix : L"") {
    ZEM_ASSERT_MSG(endsWithColon(m_ramdisk_prefix), L"m_ramdisk_prefix[tcslen(m_ramdisk_prefix) - 1] == ':'");
    ZEM_ASSERT_MSG(endsWithColon(m_temp_prefix), L"m_temp_prefix[tcslen(m_temp_prefix) - 1] == ':'");
    m_info.flags = FILEDEV_CASE_SENSITIVE;
    m_info.separator = L'/';
    m_info.deviceId = FileIFC::instance().nextDeviceId();
}

TempDevice::~TempDevice() {
    std::vector<TempFile*> files;
    {
        CriticalSectionLock guard(m_lock);
        size_t open = std::count_if(m_files.begin(), m_files.end(), [](TempFile* f) { return f->isOpen(); });
        if (open) {
            // Not an assertion: a destructor must not throw. The files go regardless.
            logMessage(LOG_CRITICAL, FileIFC::instance().logSource(), L"TempDevice: destroyed with %d open files\n",
                       static_cast<int>(open));
        }
        files.swap(m_files);
    }
    // The parts are deleted through the device table, whose lock comes before ours.
    for (TempFile* file : files) {
        file->m_mode = TempFile::MODE_CLOSED;
        file->deleteParts();
        delete file;
    }
}

const FileDeviceInfo& TempDevice::getInfo() {
    CriticalSectionLock guard(m_lock);
    LONG open =
        static_cast<LONG>(std::count_if(m_files.begin(), m_files.end(), [](TempFile* f) { return f->isOpen(); }));
    InterlockedExchange(&m_info.ref_count, open);
    return m_info;
}

TempFile* TempDevice::find(const wchar_t* localPath) {
    std::wstring key = RamDisk::keyOf(localPath);
    for (TempFile* file : m_files) {
        if (file->m_key == key)
            return file;
    }
    return nullptr;
}

void TempDevice::destroy(TempFile* file) {
    m_files.erase(std::find(m_files.begin(), m_files.end(), file));
    file->deleteParts();
    delete file;
}

uint32_t TempDevice::thresholdForRequest(const FileRequest& request) {
    if (!request.deviceParam[0])
        return m_threshold;
    uint32_t threshold = 0;
    if (!parseDecimal(request.deviceParam, threshold)) {
        logMessage(LOG_INFO, FileIFC::instance().logSource(), L"TempDevice::openFile: unknown device param '%s'\n",
                   request.deviceParam);
        return m_threshold;
    }
    return threshold;
}

bool TempDevice::openFile(FileRequest& request, File*& out) {
    out = nullptr;
    if (!request.fullPath || !request.localPath)
        return fileFail(ERR_INVALID_CALL);
    if (std::wcslen(request.fullPath) > MAX_PATH_LENGTH)
        return fileFail(ERROR_INVALID_NAME, request.fullPath);
    uint32_t threshold = thresholdForRequest(request);
    CriticalSectionLock guard(m_lock);
    TempFile* file = find(request.localPath);
    if (file && file->isOpen())
        return fileFail(ERROR_SHARING_VIOLATION, request.fullPath);

    uint32_t mode = 0;
    bool recreate = false;
    switch (request.mode) {
    case FILE_MODE_READ:
        if (!file)
            return fileFail(ERROR_FILE_NOT_FOUND, request.fullPath);
        mode = TempFile::MODE_READ;
        break;
    case FILE_MODE_WRITE:
        mode = TempFile::MODE_WRITE;
        recreate = true;
        break;
    case FILE_MODE_APPEND:
        mode = TempFile::MODE_WRITE | TempFile::MODE_APPEND;
        break;
    case FILE_MODE_READ_WRITE:
        mode = TempFile::MODE_READ | TempFile::MODE_WRITE;
        break;
    case FILE_MODE_READ_WRITE_TRUNCATE:
        mode = TempFile::MODE_READ | TempFile::MODE_WRITE;
        recreate = true;
        break;
    case FILE_MODE_READ_WRITE_NEW:
    case FILE_MODE_WRITE_NEW:
        if (file)
            return fileFail(ERROR_FILE_EXISTS, request.fullPath);
        mode = request.mode == FILE_MODE_WRITE_NEW ? TempFile::MODE_WRITE : TempFile::MODE_READ | TempFile::MODE_WRITE;
        break;
    default:
        return fileFail(ERR_OPERATION_NOT_SUPPORTED, request.fullPath, L"OpenFile - wrong opening mode");
    }

    uint64_t now = currentFileTime();
    if (recreate && file) {
        destroy(file);
        file = nullptr;
    }
    bool created = !file;
    if (created) {
        file = new TempFile(this, threshold, request.fullPath, now);
        m_files.push_back(file);
    }
    if (!file->openRamPart()) {
        if (created) {
            m_files.pop_back();
            delete file;
        }
        return fileFail(ERROR_ACCESS_DENIED, request.fullPath);
    }
    file->m_mode = mode;
    file->m_position = (mode & TempFile::MODE_APPEND) ? file->m_size : 0;
    file->m_info.lastAccessTime = now;
    file->setName(request.fullPath);
    InterlockedIncrement(&m_info.ref_count);
    out = file;
    return true;
}

bool TempDevice::closeFile(File* f) {
    CriticalSectionLock guard(m_lock);
    TempFile* file = static_cast<TempFile*>(f);
    ZEM_ASSERT_MSG(f && std::find(m_files.begin(), m_files.end(), file) != m_files.end(),
                   L"the file belongs to this temporary device");
    if (!file->isOpen())
        return fileFail(ERROR_INVALID_HANDLE, file->m_info.name);
    if (file->m_mode & TempFile::MODE_WRITE)
        file->m_info.lastWriteTime = currentFileTime();
    file->m_mode = TempFile::MODE_CLOSED;
    InterlockedDecrement(&m_info.ref_count);
    // A part that fails to close (a last flush to a full disk) makes the close fail.
    bool ok = true;
    if (file->m_ramPart)
        ok = fileClose(file->m_ramPart) && ok;
    if (file->m_diskPart)
        ok = fileClose(file->m_diskPart) && ok;
    file->m_ramPart = nullptr;
    file->m_diskPart = nullptr;
    return ok;
}

bool TempDevice::getAttributes(FileRequest& request, FileInfo* out) {
    CriticalSectionLock guard(m_lock);
    TempFile* file = find(request.localPath);
    if (!file)
        return fileFail(ERROR_FILE_NOT_FOUND, request.fullPath);
    if (out) {
        *out = file->m_info;
        out->flags = (out->flags | FileInfo::WRITABLE | FileInfo::VALID) & ~uint32_t(FileInfo::DIRECTORY_ENTRY);
        out->size = file->m_size;
    }
    return true;
}

bool TempDevice::deleteFile(FileRequest& request) {
    CriticalSectionLock guard(m_lock);
    TempFile* file = find(request.localPath);
    if (!file)
        return fileFail(ERROR_FILE_NOT_FOUND, request.fullPath);
    if (file->isOpen())
        return fileFail(ERROR_ACCESS_DENIED, request.fullPath);
    destroy(file);
    return true;
}

bool TempDevice::getFullPath(FileRequest& request, WorkString& out, bool mustExist) {
    if (mustExist) {
        CriticalSectionLock guard(m_lock);
        if (!find(request.localPath))
            return fileFail(ERROR_FILE_NOT_FOUND, request.fullPath);
    }
    return normalizePath(request, out);
}

bool TempDevice::normalizePath(FileRequest& request, WorkString& out) {
    out.assign(request.deviceName);
    out.append(L':');
    out.append(request.localPath);
    for (size_t i = 0; i < out.length(); ++i) {
        if (out[i] == L'\\')
            out[i] = L'/';
    }
    if (!out.empty())
        CharLowerBuffW(out.data(), static_cast<DWORD>(out.length()));
    return true;
}

bool TempDevice::createDirectory(FileRequest& request) {
    (void)request;
    return true;
}

bool TempDevice::openDirectory(FileRequest& request, Directory*& out) {
    out = nullptr;
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, request.fullPath, L"OpenDirectory");
}

bool TempDevice::openWatchHandle(FileRequest& request, DirObserver* observer, bool recursive, DirObserverHandle*& out) {
    (void)observer;
    (void)recursive;
    out = nullptr;
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, request.fullPath, L"OpenWatchHandle");
}

bool TempDevice::removeDirectory(FileRequest& request) {
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, request.fullPath, L"RemoveDirectory");
}

bool TempDevice::setAttributes(FileRequest& request, const FileAttributeChange& change) {
    (void)change;
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, request.fullPath, L"SetAttributes");
}

bool TempDevice::move(FileRequest& request, const wchar_t* source, const wchar_t* destination, uint32_t flags) {
    (void)source;
    (void)destination;
    (void)flags;
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, request.fullPath, L"MoveFile");
}

bool TempDevice::closeDirectory(Directory* directory) {
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, directory ? directory->getPath() : L"", L"CloseDirectory");
}

bool TempDevice::closeWatchHandle(DirObserverHandle* handle) {
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, handle ? handle->getPath() : L"", L"CloseWatchHandle");
}

bool TempDevice::control(uint32_t code, uintptr_t argument, void* out) {
    (void)code;
    (void)argument;
    (void)out;
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, L"", L"Control");
}

} // namespace zem
