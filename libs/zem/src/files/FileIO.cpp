#include "zem/files/FileIO.h"

#include "FileError.h"
#include "zem/base/Assert.h"
#include "zem/base/Crc.h"
#include "zem/base/Format.h"
#include "zem/files/FileBuffer.h"
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

// The start of every call on a path: the thread's error is cleared and a null path is
// refused (false, with the error set).
bool beginCall(const wchar_t* path) {
    fileClearError();
    if (path)
        return true;
    return fileFail(ERR_INVALID_CALL);
}

template <class Op> bool dispatchCall(FileRequest& request, uint32_t operation, const wchar_t* path, Op op) {
    return beginCall(path) && dispatch(request, operation, path, op);
}

// A change (delete, remove or create a directory) that needs nothing but the request.
bool dispatchChange(const wchar_t* path, bool (FileDevice::*change)(FileRequest&)) {
    FileRequest request;
    return dispatchCall(request, FILEOP_CHANGE, path, [&](FileDevice* d) { return (d->*change)(request); });
}

// Closes what a device handed out through that device; an object without one closes
// itself by being deleted.
template <class T> bool closeThroughDevice(T* object, bool (FileDevice::*close)(T*)) {
    fileClearError();
    if (!object)
        return fileFail(ERR_INVALID_CALL);
    FileDevice* device = object->getDevice();
    if (device)
        return (device->*close)(object);
    delete object;
    return true;
}

bool getFullPath(const wchar_t* path, WorkString& out, uint32_t* servedFlags) {
    FileRequest request;
    bool ok = dispatch(request, FILEOP_GET_FULL_PATH, path,
                       [&](FileDevice* d) { return d->getFullPath(request, out, false); });
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
    FileRequest request;
    request.mode = mode;
    File* file = nullptr;
    uint32_t operation = mode == FILE_MODE_READ ? FILEOP_OPEN_READ : FILEOP_OPEN_WRITE;
    dispatchCall(request, operation, path, [&](FileDevice* d) { return d->openFile(request, file); });
    return file;
}

Directory* fileOpenDirectory(const wchar_t* path) {
    if (!beginCall(path))
        return nullptr;
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
    FileRequest request;
    return dispatchCall(request, FILEOP_GET_ATTRIBUTES, path,
                        [&](FileDevice* d) { return d->getAttributes(request, info); });
}

bool fileIsDirectory(const wchar_t* path) {
    FileInfo info;
    return fileGetAttributes(path, &info) && (info.flags & FileInfo::DIRECTORY);
}

bool fileClose(File* file) {
    // A buffer writes its last window only now: deleting it would swallow that failure.
    if (FileBuffer* buffer = dynamic_cast<FileBuffer*>(file)) {
        fileClearError();
        bool ok = buffer->close();
        delete buffer;
        return ok;
    }
    return closeThroughDevice(file, &FileDevice::closeFile);
}

bool fileCloseDirectory(Directory* directory) {
    return closeThroughDevice(directory, &FileDevice::closeDirectory);
}

bool fileCloseWatchHandle(DirObserverHandle* handle) {
    fileClearError();
    if (!handle || !handle->getDevice())
        return fileFail(ERR_INVALID_CALL);
    return handle->getDevice()->closeWatchHandle(handle);
}

bool fileDelete(const wchar_t* path) {
    return dispatchChange(path, &FileDevice::deleteFile);
}

bool fileRemoveDirectory(const wchar_t* path) {
    return dispatchChange(path, &FileDevice::removeDirectory);
}

bool fileCreateDirectory(const wchar_t* path) {
    return dispatchChange(path, &FileDevice::createDirectory);
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
    if (!beginCall(path))
        return false;
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
    FileRequest request;
    return dispatchCall(request, FILEOP_SET_ATTRIBUTES, path,
                        [&](FileDevice* d) { return d->setAttributes(request, change); });
}

bool fileGetFullPath(const wchar_t* path, WorkString& out) {
    return beginCall(path) && getFullPath(path, out, nullptr);
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

// The full paths of a move that can stay on one device; false with the error set.
bool resolveMove(const wchar_t* source, const wchar_t* destination, WorkString& from, WorkString& to) {
    fileClearError();
    if (!source || !destination)
        return fileFail(ERR_INVALID_CALL);
    if (!getFullPath(source, from, nullptr) || !getFullPath(destination, to, nullptr))
        return false;
    if (!onSameDevice(from.c_str(), to.c_str())) {
        if (lastErrorCode() != ERR_TWO_DEVICES)
            return false;
        FileInfo info;
        if (fileGetAttributes(from.c_str(), &info))
            return fileFail(info.isDirectory() ? ERR_MOVE_DIR_ACROSS_DEVICES : ERR_MOVE_FILE_ACROSS_DEVICES);
        return fileFail(ERR_TWO_DEVICES);
    }
    return true;
}

// flags as FileDevice::move takes them.
bool moveWithFlags(const wchar_t* source, const wchar_t* destination, uint32_t flags) {
    WorkString from;
    WorkString to;
    if (!resolveMove(source, destination, from, to))
        return false;

    FileIFC& table = FileIFC::instance();
    CriticalSectionLock guard(table.lock());
    // Only the device names are compared here; dispatch resolves the source itself.
    FileRequest target;
    target.fullPath = to.c_str();
    FileRequest request;
    request.fullPath = from.c_str();
    if (!FileIFC::parsePath(target) || !FileIFC::parsePath(request))
        return false;
    if (std::wcscmp(request.deviceName, target.deviceName) != 0) {
        fileFail(ERR_INTERNAL, ZEM_WIDEN(__FILE__), format(L"%d", __LINE__).c_str());
        ZEM_ASSERT_MSG(false, L"a move between devices reached the dispatch step");
    }
    const wchar_t* destinationLocal = target.localPath;
    return dispatch(request, FILEOP_CHANGE, from.c_str(),
                    [&](FileDevice* d) { return d->move(request, request.localPath, destinationLocal, flags); });
}

} // namespace

bool fileMove(const wchar_t* source, const wchar_t* destination) {
    return moveWithFlags(source, destination, 0);
}

bool fileCanMove(const wchar_t* source, const wchar_t* destination) {
    WorkString from;
    WorkString to;
    return resolveMove(source, destination, from, to);
}

bool fileReplace(const wchar_t* source, const wchar_t* destination) {
    return moveWithFlags(source, destination, FileDevice::MOVE_REPLACE);
}

bool fileMakeUniqueName(const wchar_t* base, WorkString& out) {
    fileClearError();
    uint32_t n = FileIFC::instance().nextCounter();
    out.assign(base ? base : L"");
    out.append(format(L"-%u-%u", static_cast<unsigned>(GetCurrentProcessId()), n));
    return true;
}

File* fileCreateUnique(const wchar_t* path) {
    if (!beginCall(path))
        return nullptr;
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

namespace {

// The hash of a path's full path (left in out when given), taken without a trailing
// separator and case-folded unless the device compares case-sensitively; 0xFFFFFFFF with
// the error set when the path has none.
template <class Hash>
Hash hashFullPath(const wchar_t* path, WorkString* out, Hash (*hash)(const wchar_t*),
                  Hash (*hashNoCase)(const wchar_t*)) {
    if (!beginCall(path))
        return 0xFFFFFFFFu;
    WorkString scratch;
    WorkString& full = out ? *out : scratch;
    uint32_t flags = 0;
    if (!getFullPath(path, full, &flags))
        return 0xFFFFFFFFu;
    removeTrailingSeparator(full);
    return (flags & FILEDEV_CASE_SENSITIVE) ? hash(full.c_str()) : hashNoCase(full.c_str());
}

// The comparison keys of two paths; false with the error set.
bool normalizePair(const wchar_t* a, const wchar_t* b, WorkString& keyA, WorkString& keyB) {
    fileClearError();
    if (!a || !b)
        return fileFail(ERR_INVALID_CALL);
    return normalize(a, keyA) && normalize(b, keyB);
}

} // namespace

uint32_t fileGetPathHash(const wchar_t* path, WorkString* out) {
    return hashFullPath(path, out, crc32String, crc32StringNoCase);
}

uint64_t fileGetPathHash64(const wchar_t* path, WorkString* out) {
    return hashFullPath(path, out, crc64String, crc64StringNoCase);
}

bool filePathsEqual(const wchar_t* a, const wchar_t* b) {
    WorkString keyA;
    WorkString keyB;
    if (!normalizePair(a, b, keyA, keyB))
        return false;
    return keyA.length() == keyB.length() && std::wmemcmp(keyA.c_str(), keyB.c_str(), keyA.length()) == 0;
}

bool filePathStartsWith(const wchar_t* path, const wchar_t* prefix) {
    WorkString keyPath;
    WorkString keyPrefix;
    if (!normalizePair(path, prefix, keyPath, keyPrefix))
        return false;
    if (keyPrefix.length() > keyPath.length())
        return false;
    return std::wmemcmp(keyPath.c_str(), keyPrefix.c_str(), keyPrefix.length()) == 0;
}

} // namespace zem
