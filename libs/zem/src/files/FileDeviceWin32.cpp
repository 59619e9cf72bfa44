#include "zem/files/FileDeviceWin32.h"

#include "FileError.h"
#include "zem/base/Assert.h"
#include "zem/base/Error.h"
#include "zem/base/Exception.h"
#include "zem/files/DirWatchService.h"
#include "zem/files/FileBuffer.h"
#include "zem/files/FileIFC.h"
#include "zem/files/FileIO.h"
#include "zem/files/Path.h"

#include <cwchar>

namespace zem {
namespace {

constexpr size_t LONG_PATH_LIMIT = 260;

uint64_t fileTimeValue(const FILETIME& t) {
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

bool equalsNoCase(const wchar_t* a, const wchar_t* b) {
    return _wcsicmp(a, b) == 0;
}

// Runs GetFullPathNameW or GetLongPathNameW (call(buffer, capacity)) into out, growing out
// once to the size the system asks for. False, with GetLastError set, when it fails.
template <class Call> bool systemPathInto(WorkString& out, Call call) {
    DWORD n = call(out.data(), static_cast<DWORD>(out.capacity()));
    if (n >= out.capacity()) {
        out.reserve(n);
        n = call(out.data(), static_cast<DWORD>(out.capacity()));
    }
    if (n == 0 || n >= out.capacity()) {
        out.assign(L"", 0);
        return false;
    }
    out.syncLength();
    return true;
}

bool fullPathName(const wchar_t* path, WorkString& out) {
    return systemPathInto(
        out, [&](wchar_t* buffer, DWORD capacity) { return GetFullPathNameW(path, capacity, buffer, nullptr); });
}

bool longPathName(const wchar_t* path, WorkString& out) {
    return systemPathInto(out,
                          [&](wchar_t* buffer, DWORD capacity) { return GetLongPathNameW(path, buffer, capacity); });
}

// Win32 refuses paths of 260 characters or more unless they carry the long-path prefix,
// and the prefix switches off the system's own folding of "." and ".." and of '/': so a
// path only gets it once it is absolute and folded.
void addLongPathPrefix(WorkString& path) {
    if (path.length() < LONG_PATH_LIMIT || std::wcsncmp(path.c_str(), L"\\\\?", 3) == 0)
        return;
    WorkString full;
    if (fullPathName(path.c_str(), full))
        path.assign(full);
    if (isPathSeparator(path[0]) && isPathSeparator(path[1])) {
        path.assign(path.c_str() + 1, path.length() - 1);
        path.insert(0, L"\\\\?\\UNC");
        return;
    }
    path.insert(0, L"\\\\?\\");
}

// Open modes: access, share mode, creation.
struct ModeSpec {
    DWORD access;
    DWORD share;
    DWORD creation;
};

const ModeSpec kModes[] = {
    {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING},
    {GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS},
    {FILE_APPEND_DATA, FILE_SHARE_READ, OPEN_ALWAYS},
    {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS},
    {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS},
    {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW},
    {GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW},
};

// The system refuses to write or delete a read-only file with ERROR_ACCESS_DENIED; not
// every file system behind the Win32 calls does (a privileged user on a mapped Unix
// folder can write anyway), so the device checks the attribute itself first.
bool isReadOnlyFile(const wchar_t* nativePath) {
    DWORD attributes = GetFileAttributesW(nativePath);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

uint32_t sharedDiskDeviceId() {
    // Every disk device shares the id the first one took.
    static const uint32_t id = FileIFC::instance().nextDeviceId();
    return id;
}

} // namespace

uint32_t fileInfoFlagsFromAttributes(DWORD attributes, bool readOnlyDevice) {
    uint32_t flags = FileInfo::VALID;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        flags |= FileInfo::DIRECTORY | FileInfo::DIRECTORY_ENTRY;
    if (attributes & FILE_ATTRIBUTE_HIDDEN)
        flags |= FileInfo::HIDDEN;
    if (!(attributes & FILE_ATTRIBUTE_READONLY) && !readOnlyDevice)
        flags |= FileInfo::WRITABLE;
    if (attributes & FILE_ATTRIBUTE_SYSTEM)
        flags |= FileInfo::SYSTEM;
    if (attributes & FILE_ATTRIBUTE_ARCHIVE)
        flags |= FileInfo::ARCHIVE;
    if (attributes & FILE_ATTRIBUTE_ENCRYPTED)
        flags |= FileInfo::ENCRYPTED;
    if (attributes & FILE_ATTRIBUTE_COMPRESSED)
        flags |= FileInfo::COMPRESSED;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        flags |= FileInfo::REPARSE_POINT;
    return flags;
}

// ---- FileDeviceWin32 ----

FileDeviceWin32::FileDeviceWin32(const wchar_t* root, uint32_t flags) {
    m_info.flags = FILEDEV_VOLUME_LETTERED | (flags & (FILEDEV_NATIVE | FILEDEV_READ_ONLY));
    m_info.separator = L'\\';
    m_info.deviceId = sharedDiskDeviceId();
    m_valid = true;
    if (root && *root) {
        m_valid = fullPathName(root, m_root);
        if (!m_valid)
            m_root.assign(root);
        appendPathSeparator(m_root);
    }
    m_watchPool = watchPoolAcquire();
}

FileDeviceWin32::~FileDeviceWin32() {
    if (m_info.ref_count != 0)
        OutputDebugStringW(L"FileDeviceWin32 destroyed with open files: !m_info.ref_count\n");
    watchPoolRelease(m_watchPool);
}

void FileDeviceWin32::buildNativePath(const wchar_t* localPath, WorkString& out, bool directory) const {
    out.assign(m_root);
    out.append(localPath);
    for (size_t i = 0; i < out.length(); ++i) {
        if (out[i] == L'/')
            out[i] = L'\\';
    }
    if (directory && !out.empty() && out.back() != L'\\')
        out.append(L'\\');
    addLongPathPrefix(out);
}

bool FileDeviceWin32::failIfReadOnly(const FileRequest& request) {
    if (!(m_info.flags & FILEDEV_READ_ONLY))
        return false;
    fileFail(ERR_DEVICE_READ_ONLY, request.fullPath);
    return true;
}

bool FileDeviceWin32::createRootFolders() {
    WorkString prefix;
    for (size_t i = pathCreateSkipLength(m_root.c_str()); i < m_root.length(); ++i) {
        if (m_root[i] != L'\\')
            continue;
        prefix.assign(m_root.c_str(), i + 1);
        addLongPathPrefix(prefix);
        DWORD attributes = GetFileAttributesW(prefix.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        if (!CreateDirectoryW(prefix.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return true;
}

bool FileDeviceWin32::openFile(FileRequest& request, File*& out) {
    out = nullptr;
    if (request.mode >= sizeof(kModes) / sizeof(kModes[0]))
        return fileFail(ERR_OPERATION_NOT_SUPPORTED, request.fullPath, L"OpenFile - wrong opening mode");
    WorkString native;
    buildNativePath(request.localPath, native, false);
    bool writing = request.mode != FILE_MODE_READ;
    if (writing && failIfReadOnly(request))
        return false;
    if (writing && isReadOnlyFile(native.c_str())) {
        // A must-be-new open fails because the file exists, as the system reports it; the
        // replace questions depend on telling "exists" from "read-only".
        bool mustBeNew = request.mode == FILE_MODE_WRITE_NEW || request.mode == FILE_MODE_READ_WRITE_NEW;
        return fileFail(mustBeNew ? ERROR_FILE_EXISTS : ERROR_ACCESS_DENIED, native.c_str());
    }

    bool buffered = m_buffered && !equalsNoCase(request.deviceParam, L"nb");
    uint32_t systemMode = request.mode;
    if (buffered && systemMode == FILE_MODE_WRITE)
        systemMode = FILE_MODE_READ_WRITE_TRUNCATE; // the buffer reads back what it holds
    if (buffered && systemMode == FILE_MODE_WRITE_NEW)
        systemMode = FILE_MODE_READ_WRITE_NEW;

    int attempts = (m_createRootOnWrite && writing) ? 3 : 1;
    FileWin32* file = nullptr;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        file = new FileWin32(this, native.c_str(), request.fullPath, systemMode);
        if (file->isOpen())
            break;
        fileFailLastError(native.c_str());
        delete file;
        file = nullptr;
        if (attempt + 1 < attempts && !createRootFolders())
            break;
    }
    if (!file)
        return false;
    InterlockedIncrement(&m_info.ref_count);
    if (!buffered) {
        out = file;
        return true;
    }

    uint32_t bufferSize = m_bufferSize;
    if (request.deviceParam[0] >= L'0' && request.deviceParam[0] <= L'9')
        bufferSize = static_cast<uint32_t>(std::wcstoul(request.deviceParam, nullptr, 10));
    FileBuffer* buffer = new FileBuffer(file, request.mode, bufferSize, m_alignment, m_blockSize);
    if (!buffer->isOpen()) {
        delete buffer; // did not take the file
        closeFile(file);
        return false;
    }
    out = buffer;
    return true;
}

bool FileDeviceWin32::openDirectory(FileRequest& request, Directory*& out) {
    out = nullptr;
    WorkString native;
    buildNativePath(request.localPath, native, true);
    DirectoryWin32* directory =
        new DirectoryWin32(this, native.c_str(), request.fullPath, (m_info.flags & FILEDEV_READ_ONLY) != 0);
    if (!directory->isOpen()) {
        fileFailLastError(request.fullPath);
        delete directory;
        return false;
    }
    InterlockedIncrement(&m_info.ref_count);
    out = directory;
    return true;
}

bool FileDeviceWin32::openWatchHandle(FileRequest& request, DirObserver* observer, bool recursive,
                                      DirObserverHandle*& out) {
    out = nullptr;
    WorkString native;
    buildNativePath(request.localPath, native, true);
    DirObserverHandle* handle =
        watchPoolOpenHandle(m_watchPool, native.c_str(), request.fullPath, observer, recursive, 0);
    if (!handle)
        return fileFailLastError(request.fullPath);
    handle->setDevice(this);
    InterlockedIncrement(&m_info.ref_count);
    out = handle;
    return true;
}

bool FileDeviceWin32::getAttributes(FileRequest& request, FileInfo* out) {
    WorkString native;
    buildNativePath(request.localPath, native, false);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(native.c_str(), GetFileExInfoStandard, &data))
        return fileFailLastError(request.fullPath);
    if (!out)
        return true;
    out->flags = fileInfoFlagsFromAttributes(data.dwFileAttributes, (m_info.flags & FILEDEV_READ_ONLY) != 0);
    out->size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    out->lastWriteTime = fileTimeValue(data.ftLastWriteTime);
    out->lastAccessTime = fileTimeValue(data.ftLastAccessTime);
    out->creationTime = fileTimeValue(data.ftCreationTime);
    size_t end = native.length();
    while (end > 0 && native[end - 1] == L'\\')
        --end;
    int cut = lastSeparatorIndex(native.c_str(), static_cast<int>(end));
    out->setName(native.c_str() + cut + 1, end - (cut + 1));
    return true;
}

bool FileDeviceWin32::deleteFile(FileRequest& request) {
    if (failIfReadOnly(request))
        return false;
    WorkString native;
    buildNativePath(request.localPath, native, false);
    if (isReadOnlyFile(native.c_str()))
        return fileFail(ERROR_ACCESS_DENIED, request.fullPath);
    if (!DeleteFileW(native.c_str()))
        return fileFailLastError(request.fullPath);
    return true;
}

bool FileDeviceWin32::removeDirectory(FileRequest& request) {
    if (failIfReadOnly(request))
        return false;
    WorkString native;
    buildNativePath(request.localPath, native, true);
    if (!RemoveDirectoryW(native.c_str()))
        return fileFailLastError(request.fullPath);
    return true;
}

bool FileDeviceWin32::createDirectory(FileRequest& request) {
    if (failIfReadOnly(request))
        return false;
    WorkString native;
    buildNativePath(request.localPath, native, true);
    if (!CreateDirectoryW(native.c_str(), nullptr))
        return fileFailLastError(request.fullPath);
    return true;
}

bool FileDeviceWin32::setAttributes(FileRequest& request, const FileAttributeChange& change) {
    if (failIfReadOnly(request))
        return false;
    WorkString native;
    buildNativePath(request.localPath, native, false);
    DWORD attributes = 0;
    if (change.setMask & FileAttributeChange::FROM_FLAGS) {
        if (change.flags & FileInfo::ARCHIVE)
            attributes |= FILE_ATTRIBUTE_ARCHIVE;
        if (change.flags & FileInfo::SYSTEM)
            attributes |= FILE_ATTRIBUTE_SYSTEM;
        if (change.flags & FileInfo::HIDDEN)
            attributes |= FILE_ATTRIBUTE_HIDDEN;
        if (!(change.flags & FileInfo::WRITABLE))
            attributes |= FILE_ATTRIBUTE_READONLY;
    } else {
        attributes = GetFileAttributesW(native.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return fileFailLastError(request.fullPath);
    }

    if (change.setMask & 0x1) {
        attributes = FILE_ATTRIBUTE_NORMAL;
    } else {
        const struct {
            uint16_t bit;
            DWORD attribute;
        } kToggles[] = {{FileInfo::ARCHIVE, FILE_ATTRIBUTE_ARCHIVE},
                        {FileInfo::SYSTEM, FILE_ATTRIBUTE_SYSTEM},
                        {FileInfo::HIDDEN, FILE_ATTRIBUTE_HIDDEN}};
        for (const auto& t : kToggles) {
            if (change.setMask & t.bit)
                attributes |= t.attribute;
            if (change.clearMask & t.bit)
                attributes &= ~t.attribute;
        }
        attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY);
        if (change.setMask & FileInfo::WRITABLE)
            attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
        if (change.clearMask & FileInfo::WRITABLE)
            attributes |= FILE_ATTRIBUTE_READONLY;
        if (change.flags & FileInfo::DIRECTORY)
            attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
        if (attributes == 0)
            attributes = FILE_ATTRIBUTE_NORMAL;
    }
    if (!SetFileAttributesW(native.c_str(), attributes))
        return fileFailLastError(request.fullPath);
    return true;
}

bool FileDeviceWin32::getFullPath(FileRequest& request, WorkString& out, bool mustExist) {
    WorkString native;
    buildNativePath(request.localPath, native, false);
    WorkString full;
    if (!fullPathName(native.c_str(), full))
        return fileFailLastError(request.fullPath);
    if (!longPathName(full.c_str(), out))
        out.assign(full); // a path that does not exist (yet) has no long name
    if (mustExist && GetFileAttributesW(out.c_str()) == INVALID_FILE_ATTRIBUTES)
        return fileFailLastError(request.fullPath);
    return true;
}

bool FileDeviceWin32::normalizePath(FileRequest& request, WorkString& out) {
    // The root is part of the key: user:a and root:a are different files.
    out.assign(m_root);
    out.append(request.localPath);
    foldPathKey(out, L'\\');
    return true;
}

bool FileDeviceWin32::move(FileRequest& request, const wchar_t* source, const wchar_t* destination, uint32_t flags) {
    if (failIfReadOnly(request))
        return false;
    WorkString from;
    WorkString to;
    buildNativePath(source, from, false);
    buildNativePath(destination, to, false);
    DWORD systemFlags = 0;
    if (flags & 0x1)
        systemFlags |= MOVEFILE_COPY_ALLOWED;
    if (flags & 0x2)
        systemFlags |= MOVEFILE_REPLACE_EXISTING;
    if (!MoveFileExW(from.c_str(), to.c_str(), systemFlags))
        return fileFailLastError(request.fullPath);
    return true;
}

bool FileDeviceWin32::closeFile(File* file) {
    ZEM_ASSERT_MSG(file && file->getDevice() == this, L"file->getDevice() == this");
    delete file;
    InterlockedDecrement(&m_info.ref_count);
    return true;
}

bool FileDeviceWin32::closeDirectory(Directory* directory) {
    ZEM_ASSERT_MSG(directory && directory->getDevice() == this, L"directory->getDevice() == this");
    delete directory;
    InterlockedDecrement(&m_info.ref_count);
    return true;
}

bool FileDeviceWin32::closeWatchHandle(DirObserverHandle* handle) {
    if (!handle || handle->getDevice() != this)
        return fileFail(ERR_INVALID_CALL);
    InterlockedDecrement(&m_info.ref_count);
    return watchPoolCloseHandle(m_watchPool, handle);
}

// ---- FileWin32 ----

FileWin32::FileWin32(FileDevice* device, const wchar_t* nativePath, const wchar_t* fullPath, uint32_t mode)
    : m_device(device), m_path(fullPath) {
    ZEM_ASSERT(mode < sizeof(kModes) / sizeof(kModes[0]));
    const ModeSpec& spec = kModes[mode];
    m_handle = CreateFileW(nativePath, spec.access, spec.share, nullptr, spec.creation, FILE_ATTRIBUTE_NORMAL, nullptr);
}

FileWin32::~FileWin32() {
    if (m_handle != INVALID_HANDLE_VALUE)
        CloseHandle(m_handle);
}

uint32_t FileWin32::getSize() {
    if (!isOpen())
        return INVALID_POSITION;
    return GetFileSize(m_handle, nullptr);
}

uint32_t FileWin32::tell() {
    if (!isOpen())
        return INVALID_POSITION;
    return SetFilePointer(m_handle, 0, nullptr, FILE_CURRENT);
}

bool FileWin32::truncate() {
    if (!isOpen())
        return false;
    if (!SetEndOfFile(m_handle))
        return fileFailLastError(m_path.c_str());
    return true;
}

uint32_t FileWin32::read(void* buffer, uint32_t count) {
    if (!isOpen())
        return 0;
    DWORD done = 0;
    if (!ReadFile(m_handle, buffer, count, &done, nullptr))
        fileFailLastError(m_path.c_str());
    return done;
}

uint32_t FileWin32::write(const void* buffer, uint32_t count) {
    if (!isOpen())
        return 0;
    DWORD done = 0;
    if (!WriteFile(m_handle, buffer, count, &done, nullptr))
        fileFailLastError(m_path.c_str());
    return done;
}

uint32_t FileWin32::seek(int origin, int32_t offset) {
    if (!isOpen())
        return INVALID_POSITION;
    DWORD method = FILE_BEGIN;
    switch (origin) {
    case FILE_SEEK_BEGIN:
        method = FILE_BEGIN;
        break;
    case FILE_SEEK_END:
        method = FILE_END;
        break;
    case FILE_SEEK_CURRENT:
        method = FILE_CURRENT;
        break;
    default:
        ZEM_ASSERT_MSG(false, L"seek origin is 0, 1 or 2");
    }
    DWORD position = SetFilePointer(m_handle, offset, nullptr, method);
    if (position == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
        fileFailLastError(m_path.c_str());
        return INVALID_POSITION;
    }
    return position;
}

bool FileWin32::flush() {
    if (!isOpen())
        return false;
    if (!FlushFileBuffers(m_handle))
        return fileFailLastError(m_path.c_str());
    return true;
}

// ---- DirectoryWin32 ----

DirectoryWin32::DirectoryWin32(FileDevice* device, const wchar_t* nativePath, const wchar_t* path, bool readOnlyDevice)
    : m_device(device), m_path(path), m_readOnlyDevice(readOnlyDevice) {
    m_pattern.assign(nativePath);
    m_pattern.append(L'*');
    findFirst();
}

DirectoryWin32::~DirectoryWin32() {
    if (m_find != INVALID_HANDLE_VALUE)
        FindClose(m_find);
}

bool DirectoryWin32::findFirst() {
    WIN32_FIND_DATAW data;
    m_find = FindFirstFileW(m_pattern.c_str(), &data);
    if (m_find == INVALID_HANDLE_VALUE)
        return false;
    takeEntry(data);
    m_firstPending = true;
    return true;
}

void DirectoryWin32::takeEntry(const WIN32_FIND_DATAW& data) {
    m_current.flags = fileInfoFlagsFromAttributes(data.dwFileAttributes, m_readOnlyDevice);
    m_current.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    m_current.lastWriteTime = fileTimeValue(data.ftLastWriteTime);
    m_current.lastAccessTime = fileTimeValue(data.ftLastAccessTime);
    m_current.creationTime = fileTimeValue(data.ftCreationTime);
    m_current.setName(data.cFileName);
}

const FileInfo* DirectoryWin32::next() {
    if (!isOpen())
        return nullptr;
    if (m_firstPending) {
        m_firstPending = false;
        return &m_current;
    }
    WIN32_FIND_DATAW data;
    if (FindNextFileW(m_find, &data)) {
        takeEntry(data);
        return &m_current;
    }
    if (GetLastError() == ERROR_NO_MORE_FILES)
        fileClearError(); // the end of a listing is not a failure
    else
        fileFailLastError(m_path.c_str());
    return nullptr;
}

bool DirectoryWin32::rewind() {
    if (m_firstPending)
        return true;
    if (m_find != INVALID_HANDLE_VALUE)
        FindClose(m_find);
    m_find = INVALID_HANDLE_VALUE;
    if (!findFirst())
        return fileFailLastError(m_path.c_str());
    return true;
}

// ---- Win32 errors as exceptions ----

void throwFileError(uint32_t code, const wchar_t* path) {
    std::wstring message = path ? path : L"";
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
        throw FileNotFoundException(message);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case 1921: // ERROR_CANT_RESOLVE_FILENAME
        throw PathNotFoundException(message);
    case ERROR_ACCESS_DENIED:
        throw FileAccessDeniedException(message);
    case ERROR_WRITE_FAULT:
        throw WriteFileException(message);
    case ERROR_READ_FAULT:
        throw ReadFileException(message);
    case ERROR_SHARING_VIOLATION:
        throw FileSharingViolationException(message);
    case ERROR_LOCK_VIOLATION:
        throw FileLockViolationException(message);
    case ERROR_HANDLE_EOF:
        throw FileEOFException(message);
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
        throw DiskIsFullException(message);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        throw FileExistsException(message);
    case ERROR_CANNOT_MAKE:
        throw CreateFileException(message);
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
        throw PathSyntaxException(message);
    case ERROR_NEGATIVE_SEEK:
        throw FileNegativeSeekException(message);
    case ERROR_DIR_NOT_EMPTY:
        throw DirNotEmptyException(message);
    case 6009: // ERROR_FILE_READ_ONLY
        throw FileReadOnlyException(message);
    default:
        throw FileException(message);
    }
}

void throwFileError(const wchar_t* path) {
    throwFileError(GetLastError(), path);
}

} // namespace zem
