#include "zem/files/FileIO.h"

#include "FileError.h"
#include "zem/base/Assert.h"
#include "zem/base/Crc.h"
#include "zem/base/Format.h"
#include "zem/files/FileIFC.h"
#include "zem/files/Path.h"
#include "zem/files/VirtualDirectory.h"

#include <cwchar>
#include <vector>

namespace zem {
namespace {

// Prepares a request on path; false (with the error set) when the path names no device.
// The table lock must be held.
bool prepare(FileRequest& request, uint32_t operation, const wchar_t* path) {
    request.operation = operation;
    request.fullPath = path;
    return FileIFC::parsePath(request) && FileIFC::instance().resolve(request);
}

// Tries the resolved devices in table order until one serves the request. A failure
// always leaves a real code: every device skipped as read-only reports 0x20001005, and
// a device that declined without saying why (a missing RAM file) reports "not found".
template <class Op> bool dispatch(FileRequest& request, uint32_t operation, const wchar_t* path, Op op) {
    FileIFC& table = FileIFC::instance();
    CriticalSectionLock guard(table.lock());
    if (!prepare(request, operation, path))
        return false;
    bool modifying = (operation & FILEOP_MODIFYING) != 0;
    bool tried = false;
    for (uint32_t i = 0; i < request.deviceCount; ++i) {
        FileDevice* device = request.devices[i];
        uint32_t flags = device->getInfo().flags;
        if (modifying && (flags & FILEDEV_READ_ONLY))
            continue;
        tried = true;
        fileClearError();
        if (op(device)) {
            request.servedFlags = flags;
            fileClearError();
            return true;
        }
    }
    if (!tried)
        return fileFail(ERR_DEVICE_READ_ONLY, path);
    if (lastErrorCode() == ERR_SUCCESS)
        return fileFail(ERROR_FILE_NOT_FOUND, path);
    return false;
}

// Drops the long-path prefix a full path may come back with, so that full paths of one
// file always compare and hash alike; the device adds it again when it needs it.
void stripLongPathPrefix(WorkString& path) {
    const wchar_t* p = path.c_str();
    if (std::wcsncmp(p, L"\\\\?\\UNC\\", 8) == 0) {
        path.assign(std::wstring(L"\\\\") + (p + 8));
        return;
    }
    if (std::wcsncmp(p, L"\\\\?\\", 4) == 0 && p[4] && p[5] == L':')
        path.assign(std::wstring(p + 4));
}

bool getFullPath(const wchar_t* path, WorkString& out, bool mustExist, uint32_t* servedFlags) {
    FileRequest request;
    bool ok = dispatch(request, FILEOP_GET_FULL_PATH, path,
                       [&](FileDevice* d) { return d->getFullPath(request, out, mustExist); });
    if (!ok)
        return false;
    stripLongPathPrefix(out);
    if (servedFlags)
        *servedFlags = request.servedFlags;
    return true;
}

bool normalize(const wchar_t* path, WorkString& out) {
    FileRequest request;
    return dispatch(request, FILEOP_NORMALIZE, path, [&](FileDevice* d) { return d->normalizePath(request, out); });
}

} // namespace

bool fileAttachDevice(FileDevice* device, const wchar_t* name, uint32_t priority) {
    fileClearError();
    return FileIFC::instance().devAttach(device, name, priority);
}

bool fileDetachDevice(const wchar_t* name) {
    fileClearError();
    return FileIFC::instance().devDetach(name);
}

File* fileOpen(const wchar_t* path, uint32_t mode) {
    fileClearError();
    if (!path) {
        fileFail(ERR_INVALID_CALL);
        return nullptr;
    }
    FileRequest request;
    request.mode = mode;
    File* file = nullptr;
    uint32_t operation = mode == FILE_MODE_READ ? FILEOP_OPEN_READ : FILEOP_OPEN_WRITE;
    dispatch(request, operation, path, [&](FileDevice* d) { return d->openFile(request, file); });
    return file;
}

Directory* fileOpenDirectory(const wchar_t* path) {
    fileClearError();
    if (!path) {
        fileFail(ERR_INVALID_CALL);
        return nullptr;
    }
    FileRequest request;
    FileIFC& table = FileIFC::instance();
    CriticalSectionLock guard(table.lock());
    if (!prepare(request, FILEOP_OPEN_DIRECTORY, path))
        return nullptr;
    std::vector<Directory*> opened;
    for (uint32_t i = 0; i < request.deviceCount; ++i) {
        Directory* directory = nullptr;
        fileClearError();
        if (request.devices[i]->openDirectory(request, directory) && directory)
            opened.push_back(directory);
    }
    if (opened.empty()) {
        if (lastErrorCode() == ERR_SUCCESS)
            fileFail(ERROR_PATH_NOT_FOUND, path);
        return nullptr;
    }
    fileClearError();
    if (opened.size() == 1)
        return opened[0];
    return new VirtualDirectory(path, std::move(opened));
}

DirObserverHandle* fileOpenWatchHandle(const wchar_t* path, DirObserver* observer, bool recursive) {
    fileClearError();
    if (!path || !observer) {
        fileFail(ERR_INVALID_CALL);
        return nullptr;
    }
    FileRequest request;
    DirObserverHandle* handle = nullptr;
    dispatch(request, FILEOP_OPEN_WATCH, path,
             [&](FileDevice* d) { return d->openWatchHandle(request, observer, recursive, handle); });
    return handle;
}

bool fileGetAttributes(const wchar_t* path, FileInfo* info) {
    fileClearError();
    if (!path)
        return fileFail(ERR_INVALID_CALL);
    FileRequest request;
    return dispatch(request, FILEOP_GET_ATTRIBUTES, path,
                    [&](FileDevice* d) { return d->getAttributes(request, info); });
}

bool fileIsDirectory(const wchar_t* path) {
    FileInfo info;
    return fileGetAttributes(path, &info) && (info.flags & FileInfo::DIRECTORY);
}

bool fileClose(File* file) {
    fileClearError();
    if (!file)
        return fileFail(ERR_INVALID_CALL);
    FileDevice* device = file->getDevice();
    if (device)
        return device->closeFile(file);
    delete file;
    return true;
}

bool fileCloseDirectory(Directory* directory) {
    fileClearError();
    if (!directory)
        return fileFail(ERR_INVALID_CALL);
    FileDevice* device = directory->getDevice();
    if (device)
        return device->closeDirectory(directory);
    delete directory;
    return true;
}

bool fileCloseWatchHandle(DirObserverHandle* handle) {
    fileClearError();
    if (!handle || !handle->getDevice())
        return fileFail(ERR_INVALID_CALL);
    return handle->getDevice()->closeWatchHandle(handle);
}

bool fileDelete(const wchar_t* path) {
    fileClearError();
    if (!path)
        return fileFail(ERR_INVALID_CALL);
    FileRequest request;
    return dispatch(request, FILEOP_CHANGE, path, [&](FileDevice* d) { return d->deleteFile(request); });
}

bool fileRemoveDirectory(const wchar_t* path) {
    fileClearError();
    if (!path)
        return fileFail(ERR_INVALID_CALL);
    FileRequest request;
    return dispatch(request, FILEOP_CHANGE, path, [&](FileDevice* d) { return d->removeDirectory(request); });
}

bool fileCreateDirectory(const wchar_t* path) {
    fileClearError();
    if (!path)
        return fileFail(ERR_INVALID_CALL);
    FileRequest request;
    return dispatch(request, FILEOP_CHANGE, path, [&](FileDevice* d) { return d->createDirectory(request); });
}

size_t pathCreateSkipLength(const wchar_t* path) {
    const wchar_t* colon = std::wcschr(path, L':');
    if (colon && colon - path >= 2) {
        bool separatorBefore = false;
        for (const wchar_t* p = path; p < colon; ++p)
            separatorBefore = separatorBefore || isPathSeparator(*p);
        if (!separatorBefore)
            return static_cast<size_t>(colon - path) + 1;
    }
    size_t start = 0;
    if (std::wcsncmp(path, L"\\\\?\\", 4) == 0) {
        start = 4;
        if (std::wcsncmp(path + 4, L"UNC\\", 4) != 0)
            return start + 1; // \\?\C:\ keeps its drive like a plain drive path
        start = 8;
    } else if (isPathSeparator(path[0]) && isPathSeparator(path[1])) {
        start = 2;
    } else {
        return 1;
    }
    // \\server\share\: both components stand, only what follows can be created.
    size_t i = start;
    for (int component = 0; component < 2; ++component) {
        while (path[i] && !isPathSeparator(path[i]))
            ++i;
        if (!path[i])
            return i;
        ++i;
    }
    return i;
}

namespace {

bool ensureDirectory(const wchar_t* path) {
    if (fileGetAttributes(path, nullptr))
        return true;
    return fileCreateDirectory(path);
}

} // namespace

bool fileCreateDirectories(const wchar_t* path) {
    fileClearError();
    if (!path)
        return fileFail(ERR_INVALID_CALL);
    size_t length = std::wcslen(path);
    WorkString prefix;
    for (size_t i = pathCreateSkipLength(path); i < length; ++i) {
        if (!isPathSeparator(path[i]))
            continue;
        prefix.assign(path, i + 1);
        if (!ensureDirectory(prefix.c_str()))
            return false;
    }
    if (length && !isPathSeparator(path[length - 1]) && !ensureDirectory(path))
        return false;
    fileClearError();
    return true;
}

bool fileMakeWritable(const wchar_t* path) {
    FileAttributeChange change;
    change.setMask = FileInfo::WRITABLE;
    return fileSetAttributes(path, change);
}

bool fileSetAttributes(const wchar_t* path, const FileAttributeChange& change) {
    fileClearError();
    if (!path)
        return fileFail(ERR_INVALID_CALL);
    FileRequest request;
    return dispatch(request, FILEOP_SET_ATTRIBUTES, path,
                    [&](FileDevice* d) { return d->setAttributes(request, change); });
}

bool fileGetFullPath(const wchar_t* path, WorkString& out) {
    fileClearError();
    if (!path)
        return fileFail(ERR_INVALID_CALL);
    return getFullPath(path, out, false, nullptr);
}

namespace {

wchar_t upperAscii(wchar_t ch) {
    return (ch >= L'a' && ch <= L'z') ? static_cast<wchar_t>(ch - L'a' + L'A') : ch;
}

// Both full paths must resolve to one device (and, on a lettered device, one drive).
bool onSameDevice(const wchar_t* source, const wchar_t* destination) {
    FileIFC& table = FileIFC::instance();
    CriticalSectionLock guard(table.lock());
    FileRequest a;
    FileRequest b;
    if (!prepare(a, FILEOP_CHANGE, source) || !prepare(b, FILEOP_CHANGE, destination))
        return false;
    const FileDeviceInfo& info = a.devices[0]->getInfo();
    if (info.deviceId != b.devices[0]->getInfo().deviceId)
        return fileFail(ERR_TWO_DEVICES);
    if (!(info.flags & FILEDEV_VOLUME_LETTERED))
        return true;
    if (isPathSeparator(source[0]) || isPathSeparator(destination[0]) ||
        upperAscii(source[0]) != upperAscii(destination[0]))
        return fileFail(ERR_TWO_DEVICES);
    return true;
}

} // namespace

bool fileMove(const wchar_t* source, const wchar_t* destination) {
    fileClearError();
    if (!source || !destination)
        return fileFail(ERR_INVALID_CALL);
    WorkString from;
    WorkString to;
    if (!getFullPath(source, from, false, nullptr) || !getFullPath(destination, to, false, nullptr))
        return false;
    if (!onSameDevice(from.c_str(), to.c_str())) {
        if (lastErrorCode() != ERR_TWO_DEVICES)
            return false;
        FileInfo info;
        if (fileGetAttributes(from.c_str(), &info))
            return fileFail(info.isDirectory() ? ERR_MOVE_DIR_ACROSS_DEVICES : ERR_MOVE_FILE_ACROSS_DEVICES);
        return fileFail(ERR_TWO_DEVICES);
    }

    FileIFC& table = FileIFC::instance();
    CriticalSectionLock guard(table.lock());
    FileRequest target;
    target.fullPath = to.c_str();
    if (!FileIFC::parsePath(target))
        return false;
    FileRequest request;
    if (!prepare(request, FILEOP_CHANGE, from.c_str()))
        return false;
    if (std::wcscmp(request.deviceName, target.deviceName) != 0) {
        fileFail(ERR_INTERNAL, ZEM_WIDEN(__FILE__), format(L"%d", __LINE__).c_str());
        ZEM_ASSERT_MSG(false, L"a move between devices reached the dispatch step");
    }
    const wchar_t* destinationLocal = target.localPath;
    return dispatch(request, FILEOP_CHANGE, from.c_str(),
                    [&](FileDevice* d) { return d->move(request, request.localPath, destinationLocal, 0); });
}

bool fileMakeUniqueName(const wchar_t* base, WorkString& out) {
    fileClearError();
    uint32_t n = FileIFC::instance().nextCounter();
    out.assign(base ? base : L"");
    out.append(format(L"-%u-%u", static_cast<unsigned>(GetCurrentProcessId()), n));
    return true;
}

File* fileCreateUnique(const wchar_t* path) {
    fileClearError();
    if (!path) {
        fileFail(ERR_INVALID_CALL);
        return nullptr;
    }
    File* file = fileOpen(path, FILE_MODE_WRITE_NEW);
    if (file)
        return file;
    WorkString name(path);
    const wchar_t* extension = name.getExtension();
    size_t insertAt = static_cast<size_t>(extension - name.c_str());
    if (*extension || (insertAt > 0 && name[insertAt - 1] == L'.'))
        --insertAt; // before the '.'
    WorkString candidate;
    for (int i = 1; i <= 98; ++i) {
        candidate.assign(name.c_str(), insertAt);
        candidate.append(format(L"_%d", i));
        candidate.append(name.c_str() + insertAt);
        file = fileOpen(candidate.c_str(), FILE_MODE_WRITE_NEW);
        if (file)
            return file;
    }
    fileFail(ERR_UNIQUE_FILE_FAILED, path);
    return nullptr;
}

uint32_t fileGetPathHash(const wchar_t* path, WorkString* out) {
    fileClearError();
    if (!path) {
        fileFail(ERR_INVALID_CALL);
        return 0xFFFFFFFFu;
    }
    WorkString scratch;
    WorkString& full = out ? *out : scratch;
    uint32_t flags = 0;
    if (!getFullPath(path, full, false, &flags))
        return 0xFFFFFFFFu;
    removeTrailingSeparator(full);
    return (flags & FILEDEV_CASE_SENSITIVE) ? crc32String(full.c_str()) : crc32StringNoCase(full.c_str());
}

uint64_t fileGetPathHash64(const wchar_t* path, WorkString* out) {
    fileClearError();
    if (!path) {
        fileFail(ERR_INVALID_CALL);
        return 0xFFFFFFFFu;
    }
    WorkString scratch;
    WorkString& full = out ? *out : scratch;
    uint32_t flags = 0;
    if (!getFullPath(path, full, false, &flags))
        return 0xFFFFFFFFu;
    removeTrailingSeparator(full);
    return (flags & FILEDEV_CASE_SENSITIVE) ? crc64String(full.c_str()) : crc64StringNoCase(full.c_str());
}

bool filePathsEqual(const wchar_t* a, const wchar_t* b) {
    fileClearError();
    if (!a || !b)
        return fileFail(ERR_INVALID_CALL);
    WorkString keyA;
    WorkString keyB;
    if (!normalize(a, keyA) || !normalize(b, keyB))
        return false;
    return keyA.length() == keyB.length() && std::wmemcmp(keyA.c_str(), keyB.c_str(), keyA.length()) == 0;
}

bool filePathStartsWith(const wchar_t* path, const wchar_t* prefix) {
    fileClearError();
    if (!path || !prefix)
        return fileFail(ERR_INVALID_CALL);
    WorkString keyPath;
    WorkString keyPrefix;
    if (!normalize(path, keyPath) || !normalize(prefix, keyPrefix))
        return false;
    if (keyPrefix.length() > keyPath.length())
        return false;
    return std::wmemcmp(keyPath.c_str(), keyPrefix.c_str(), keyPrefix.length()) == 0;
}

} // namespace zem
