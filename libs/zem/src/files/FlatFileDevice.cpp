#include "zem/files/FlatFileDevice.h"

#include "FileError.h"
#include "zem/base/Assert.h"
#include "zem/base/Clock.h"
#include "zem/files/FileIFC.h"
#include "zem/files/Path.h"
#include "zem/files/WorkString.h"
#include "zem/log/LogManager.h"
#include "zem/text/StringUtil.h"

#include <algorithm>
#include <cwchar>

namespace zem {

namespace {

constexpr size_t MAX_PATH_LENGTH = FileInfo::NAME_CAPACITY - 1;

uint32_t logSource() {
    return FileIFC::instance().logSource();
}

// The FlatFile mode bits of an open mode, and whether an existing file is made anew;
// false (with the error set) when the mode cannot open the file as it stands.
bool openModeBits(const FileRequest& request, bool exists, uint32_t& mode, bool& recreate) {
    recreate = false;
    switch (request.mode) {
    case FILE_MODE_READ:
        if (!exists)
            return fileFail(ERROR_FILE_NOT_FOUND, request.fullPath);
        mode = FlatFile::MODE_READ;
        return true;
    case FILE_MODE_WRITE:
        mode = FlatFile::MODE_WRITE;
        recreate = true;
        return true;
    case FILE_MODE_APPEND:
        mode = FlatFile::MODE_WRITE | FlatFile::MODE_APPEND;
        return true;
    case FILE_MODE_READ_WRITE:
        mode = FlatFile::MODE_READ | FlatFile::MODE_WRITE;
        return true;
    case FILE_MODE_READ_WRITE_TRUNCATE:
        mode = FlatFile::MODE_READ | FlatFile::MODE_WRITE;
        recreate = true;
        return true;
    case FILE_MODE_READ_WRITE_NEW:
    case FILE_MODE_WRITE_NEW:
        if (exists)
            return fileFail(ERROR_FILE_EXISTS, request.fullPath);
        mode = request.mode == FILE_MODE_WRITE_NEW ? FlatFile::MODE_WRITE : FlatFile::MODE_READ | FlatFile::MODE_WRITE;
        return true;
    default:
        return fileFail(ERR_OPERATION_NOT_SUPPORTED, request.fullPath, L"OpenFile - wrong opening mode");
    }
}

} // namespace

// ---- FlatFile ----

FlatFile::FlatFile(const wchar_t* fullPath, uint64_t now) {
    m_info.lastWriteTime = now;
    m_info.lastAccessTime = now;
    m_info.creationTime = now;
    setName(fullPath);
}

void FlatFile::setName(const wchar_t* fullPath) {
    m_info.setName(fullPath);
    const wchar_t* colon = std::wcschr(m_info.name, L':');
    m_localName = colon ? colon + 1 : m_info.name;
    m_key = FlatFileDevice::keyOf(m_localName);
}

bool FlatFile::failUnless(uint32_t modeBit) {
    if (m_mode & modeBit)
        return false;
    fileFail(isOpen() ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE, m_info.name);
    return true;
}

bool FlatFile::seekTarget(int origin, int32_t offset, const wchar_t* className, uint32_t& out) {
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
        logMessage(LOG_INFO, logSource(), L"%s: Seek position is out of range\n", className);
        return fileFail(valid && target < 0 ? ERROR_NEGATIVE_SEEK : ERROR_INVALID_PARAMETER, m_info.name);
    }
    out = static_cast<uint32_t>(target);
    return true;
}

// ---- FlatFileDevice ----

FlatFileDevice::FlatFileDevice(const wchar_t* name) : m_name(name) {
    m_info.flags = FILEDEV_CASE_SENSITIVE;
    m_info.separator = L'/';
    m_info.deviceId = FileIFC::instance().nextDeviceId();
}

FlatFileDevice::~FlatFileDevice() {
    std::vector<FlatFile*> files;
    {
        CriticalSectionLock guard(m_lock);
        size_t open = std::count_if(m_files.begin(), m_files.end(), [](FlatFile* f) { return f->isOpen(); });
        if (open) {
            // Not an assertion: a destructor must not throw. The files go regardless.
            logMessage(LOG_CRITICAL, logSource(), L"%s: destroyed with %d open files\n", m_name,
                       static_cast<int>(open));
        }
        files.swap(m_files);
    }
    // What a file stored may be deleted through the device table, whose lock comes before ours.
    for (FlatFile* file : files) {
        file->m_mode = FlatFile::MODE_CLOSED;
        file->discardStorage();
        delete file;
    }
}

std::wstring FlatFileDevice::keyOf(const wchar_t* localName) {
    WorkString key(localName ? localName : L"");
    foldPathKey(key, L'/');
    return key.str();
}

FlatFile* FlatFileDevice::find(const wchar_t* localPath) {
    std::wstring key = keyOf(localPath);
    for (FlatFile* file : m_files) {
        if (file->m_key == key)
            return file;
    }
    return nullptr;
}

void FlatFileDevice::destroy(FlatFile* file) {
    m_files.erase(std::find(m_files.begin(), m_files.end(), file));
    file->discardStorage();
    delete file;
}

bool FlatFileDevice::parseDeviceParam(const FileRequest& request, uint32_t& out) const {
    if (!request.deviceParam[0])
        return false;
    // Digits only: parseUInt would also take a sign, and "-1" would wrap to a huge size.
    const wchar_t* text = request.deviceParam;
    unsigned value = 0;
    if (text[0] >= L'0' && text[0] <= L'9' && parseUInt(text, std::wcslen(text), &value)) {
        out = value;
        return true;
    }
    logMessage(LOG_INFO, logSource(), L"%s::openFile: unknown device param '%s'\n", m_name, request.deviceParam);
    return false;
}

const FileDeviceInfo& FlatFileDevice::getInfo() {
    CriticalSectionLock guard(m_lock);
    LONG open =
        static_cast<LONG>(std::count_if(m_files.begin(), m_files.end(), [](FlatFile* f) { return f->isOpen(); }));
    InterlockedExchange(&m_info.ref_count, open);
    return m_info;
}

bool FlatFileDevice::openFile(FileRequest& request, File*& out) {
    out = nullptr;
    if (!request.fullPath || !request.localPath)
        return fileFail(ERR_INVALID_CALL);
    if (std::wcslen(request.fullPath) > MAX_PATH_LENGTH)
        return fileFail(ERROR_INVALID_NAME, request.fullPath);
    uint32_t parameter = parameterFor(request);
    CriticalSectionLock guard(m_lock);
    FlatFile* file = find(request.localPath);
    if (file && file->isOpen())
        return fileFail(ERROR_SHARING_VIOLATION, request.fullPath);
    uint32_t mode = 0;
    bool recreate = false;
    if (!openModeBits(request, file != nullptr, mode, recreate))
        return false;

    uint64_t now = currentFileTime();
    if (recreate && file) {
        destroy(file);
        file = nullptr;
    }
    bool created = !file;
    if (created) {
        file = createFile(parameter, request.fullPath, now);
        m_files.push_back(file);
    }
    if (!file->openStorage()) {
        if (created) {
            m_files.pop_back();
            delete file;
        }
        return fileFail(ERROR_ACCESS_DENIED, request.fullPath);
    }
    file->m_mode = mode;
    file->m_position = (mode & FlatFile::MODE_APPEND) ? file->m_size : 0;
    file->m_info.lastAccessTime = now;
    file->setName(request.fullPath);
    out = file;
    return true;
}

bool FlatFileDevice::closeFile(File* f) {
    CriticalSectionLock guard(m_lock);
    FlatFile* file = static_cast<FlatFile*>(f);
    ZEM_ASSERT_MSG(f && std::find(m_files.begin(), m_files.end(), file) != m_files.end(),
                   L"the file belongs to this device");
    if (!file->isOpen())
        return fileFail(ERROR_INVALID_HANDLE, file->m_info.name);
    if (file->m_mode & FlatFile::MODE_WRITE)
        file->m_info.lastWriteTime = currentFileTime();
    file->m_mode = FlatFile::MODE_CLOSED;
    return file->closeStorage();
}

bool FlatFileDevice::getAttributes(FileRequest& request, FileInfo* out) {
    CriticalSectionLock guard(m_lock);
    FlatFile* file = find(request.localPath);
    if (!file)
        return fileFail(ERROR_FILE_NOT_FOUND, request.fullPath);
    if (out) {
        *out = file->m_info;
        out->flags = (out->flags | FileInfo::WRITABLE | FileInfo::VALID) & ~uint32_t(FileInfo::DIRECTORY_ENTRY);
        out->size = file->m_size;
    }
    return true;
}

bool FlatFileDevice::deleteFile(FileRequest& request) {
    CriticalSectionLock guard(m_lock);
    FlatFile* file = find(request.localPath);
    if (!file)
        return fileFail(ERROR_FILE_NOT_FOUND, request.fullPath);
    if (file->isOpen())
        return fileFail(ERROR_ACCESS_DENIED, request.fullPath);
    destroy(file);
    return true;
}

bool FlatFileDevice::replaceFile(FileRequest& request, const wchar_t* source, const wchar_t* destination) {
    // The file keeps the device part of the path it was opened with; only the local name changes.
    CriticalSectionLock guard(m_lock);
    FlatFile* file = find(source);
    if (!file)
        return fileFail(ERROR_FILE_NOT_FOUND, request.fullPath);
    if (file->isOpen())
        return fileFail(ERROR_SHARING_VIOLATION, request.fullPath);
    std::wstring name(static_cast<const wchar_t*>(file->m_info.name), file->m_localName);
    name += destination;
    if (name.size() > MAX_PATH_LENGTH)
        return fileFail(ERROR_INVALID_NAME, destination);
    FlatFile* target = find(destination);
    if (target && target != file) {
        if (target->isOpen())
            return fileFail(ERROR_SHARING_VIOLATION, destination);
        destroy(target);
    }
    file->setName(name.c_str());
    file->m_info.lastWriteTime = currentFileTime();
    return true;
}

bool FlatFileDevice::getFullPath(FileRequest& request, WorkString& out, bool mustExist) {
    if (mustExist) {
        CriticalSectionLock guard(m_lock);
        if (!find(request.localPath))
            return fileFail(ERROR_FILE_NOT_FOUND, request.fullPath);
    }
    return normalizePath(request, out);
}

bool FlatFileDevice::normalizePath(FileRequest& request, WorkString& out) {
    out.assign(request.deviceName);
    out.append(L':');
    out.append(request.localPath);
    foldPathKey(out, L'/');
    return true;
}

bool FlatFileDevice::createDirectory(FileRequest& request) {
    (void)request;
    return true;
}

bool FlatFileDevice::openDirectory(FileRequest& request, Directory*& out) {
    out = nullptr;
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, request.fullPath, L"OpenDirectory");
}

bool FlatFileDevice::openWatchHandle(FileRequest& request, DirObserver* observer, bool recursive,
                                     DirObserverHandle*& out) {
    (void)observer;
    (void)recursive;
    out = nullptr;
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, request.fullPath, L"OpenWatchHandle");
}

bool FlatFileDevice::removeDirectory(FileRequest& request) {
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, request.fullPath, L"RemoveDirectory");
}

bool FlatFileDevice::setAttributes(FileRequest& request, const FileAttributeChange& change) {
    (void)change;
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, request.fullPath, L"SetAttributes");
}

bool FlatFileDevice::move(FileRequest& request, const wchar_t* source, const wchar_t* destination, uint32_t flags) {
    (void)source;
    (void)destination;
    (void)flags;
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, request.fullPath, L"MoveFile");
}

bool FlatFileDevice::closeDirectory(Directory* directory) {
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, directory ? directory->getPath() : L"", L"CloseDirectory");
}

bool FlatFileDevice::closeWatchHandle(DirObserverHandle* handle) {
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, handle ? handle->getPath() : L"", L"CloseWatchHandle");
}

} // namespace zem
