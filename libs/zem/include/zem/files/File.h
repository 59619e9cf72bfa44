// The file layer's interfaces: open files, directory listings, watch handles and the
// devices that serve them, with the records they exchange. Devices are attached to the
// device table (FileIO.h), which routes every path to them.
#pragma once
#include <cstdint>
#include <windows.h>

namespace zem {

class WorkString;
class FileDevice;
class FileChangeEvent;

// At most this many devices and mappings are attached at once.
constexpr uint32_t FILEDEV_MAX_COUNT = 32;
// A device name (the text before ':') has at most this many characters.
constexpr uint32_t FILEDEV_MAX_NAME = 63;

// Device flags (FileDeviceInfo::flags).
enum : uint32_t {
    FILEDEV_NATIVE = 0x1,          // serves paths that carry no device prefix
    FILEDEV_READ_ONLY = 0x2,       // modifying operations skip it
    FILEDEV_CASE_SENSITIVE = 0x4,  // path hashes are taken case-sensitively
    FILEDEV_VOLUME_LETTERED = 0x8, // a move stays on it only within one drive letter
};

struct FileDeviceInfo {
    uint32_t flags = 0;
    uint32_t deviceId = 0;
    wchar_t separator = L'\\';
    volatile LONG ref_count = 0; // open files, listings and watch handles; interlocked
};

// What getAttributes and directory listings report about one entry.
struct FileInfo {
    enum : uint32_t {
        DIRECTORY = 0x1,
        HIDDEN = 0x2,
        WRITABLE = 0x4, // not read-only, and the device not read-only
        VALID = 0x8,    // set by every device
        DIRECTORY_ENTRY = 0x10,
        SYSTEM = 0x20,
        ARCHIVE = 0x40,
        ENCRYPTED = 0x80,
        COMPRESSED = 0x100,
        REPARSE_POINT = 0x200, // a link or junction; walks must not follow it blindly
    };
    static constexpr size_t NAME_CAPACITY = 260; // 259 characters and the terminator

    uint32_t flags = 0;
    uint64_t size = 0;
    uint64_t lastWriteTime = 0; // FILETIME, 100 ns units since 1601-01-01 UTC
    uint64_t lastAccessTime = 0;
    uint64_t creationTime = 0;
    // Last component for disk entries; the full device path for RAM and temporary files.
    wchar_t name[NAME_CAPACITY] = {};

    bool isDirectory() const { return (flags & DIRECTORY) != 0; }
    // Copies at most 259 characters.
    void setName(const wchar_t* text);
    void setName(const wchar_t* text, size_t length);
};

// Masks use the FileInfo flag bits. Bit 7 of setMask: start from flags instead of the
// file's current attributes; bit 0 of setMask: make the file "normal".
struct FileAttributeChange {
    static constexpr uint16_t FROM_FLAGS = 0x80;

    uint16_t setMask = 0;
    uint16_t clearMask = 0;
    uint32_t flags = 0;

    // A change that reproduces the attribute bits 1-6 of a FileInfo flags word.
    static FileAttributeChange fromFlags(uint32_t flags);
};

// Seek origins of File::seek.
enum : int { FILE_SEEK_BEGIN = 0, FILE_SEEK_END = 1, FILE_SEEK_CURRENT = 2 };

// Open modes of fileOpen: 0 read; 1 write, truncate; 2 append; 3 read-write, keep;
// 4 read-write, truncate; 5 read-write, must be new; 6 write, must be new.
enum : uint32_t {
    FILE_MODE_READ = 0,
    FILE_MODE_WRITE = 1,
    FILE_MODE_APPEND = 2,
    FILE_MODE_READ_WRITE = 3,
    FILE_MODE_READ_WRITE_TRUNCATE = 4,
    FILE_MODE_READ_WRITE_NEW = 5,
    FILE_MODE_WRITE_NEW = 6,
};

// An open file. Sizes and positions are 32-bit; INVALID_POSITION reports a failure.
class File {
public:
    static constexpr uint32_t INVALID_POSITION = 0xFFFFFFFFu;

    virtual bool isOpen() const = 0;
    // The full path the file was opened with.
    virtual const wchar_t* getPath() const = 0;
    virtual uint32_t getSize() = 0;
    virtual uint32_t tell() = 0;
    // Ends the file at the current position.
    virtual bool truncate() = 0;
    virtual uint32_t read(void* buffer, uint32_t count) = 0;
    virtual uint32_t write(const void* buffer, uint32_t count) = 0;
    // Returns the new position or INVALID_POSITION.
    virtual uint32_t seek(int origin, int32_t offset) = 0;
    virtual bool flush() = 0;
    // The owning device; null for a file that closes itself (fileClose deletes it).
    virtual FileDevice* getDevice() const = 0;
    virtual ~File() = default;
};

// An open directory listing. next() returns null at the end without setting an error.
class Directory {
public:
    virtual bool isOpen() const = 0;
    virtual const wchar_t* getPath() const = 0;
    virtual const FileInfo* next() = 0;
    virtual bool rewind() = 0;
    // Null for a listing that closes itself (fileCloseDirectory deletes it).
    virtual FileDevice* getDevice() const = 0;
    virtual ~Directory() = default;
};

class DirObserverHandle;

// Receives the raw change events of a watched directory, on a watch-pool thread.
class DirObserver {
public:
    virtual void onEvent(DirObserverHandle* handle, FileChangeEvent* event) = 0;

protected:
    ~DirObserver() = default;
};

// One watch on a directory, as returned by fileOpenWatchHandle.
class DirObserverHandle {
public:
    virtual bool isValid() const = 0;
    // The path the caller asked to watch.
    virtual const wchar_t* getPath() const = 0;
    virtual DirObserver* getObserver() const = 0;
    virtual uintptr_t getUserValue() const = 0;
    virtual void setUserValue(uintptr_t value) = 0;
    virtual FileDevice* getDevice() const = 0;
    // Set by the device that handed the handle out.
    virtual void setDevice(FileDevice* device) = 0;
    virtual ~DirObserverHandle() = default;
};

// Operation codes of a request; bit 7 marks a modifying operation, which skips
// read-only devices.
enum : uint32_t {
    FILEOP_MODIFYING = 0x80,
    FILEOP_OPEN_READ = 1,
    FILEOP_OPEN_WRITE = 129,
    FILEOP_OPEN_DIRECTORY = 3,
    FILEOP_OPEN_WATCH = 4,
    FILEOP_GET_ATTRIBUTES = 5,
    FILEOP_GET_FULL_PATH = 6,
    FILEOP_NORMALIZE = 7,
    FILEOP_CHANGE = 130, // delete, remove or create a directory, move
    FILEOP_SET_ATTRIBUTES = 137,
};

// One dispatched call, built on the stack by the device table and handed to the device.
struct FileRequest {
    uint32_t operation = 0;
    FileDevice* devices[FILEDEV_MAX_COUNT] = {};
    uint32_t deviceCount = 0;
    // The device name from the path, A-Z lower-cased (empty for a native path), and the
    // bracketed parameter (empty when none): root[nb]:x gives "root" and "nb".
    wchar_t deviceName[FILEDEV_MAX_NAME + 1] = {};
    wchar_t deviceParam[FILEDEV_MAX_NAME + 1] = {};
    // Behind the prefix's ':' (the whole text for a native path).
    const wchar_t* localPath = nullptr;
    // The path as the caller gave it.
    const wchar_t* fullPath = nullptr;
    // Flags of the device that served the request, filled in on success.
    uint32_t servedFlags = 0;
    uint32_t mode = 0; // open mode of FILEOP_OPEN_READ / FILEOP_OPEN_WRITE

    bool isNative() const { return deviceName[0] == 0; }
};

// A file system reachable through the device table.
class FileDevice {
public:
    virtual bool isValid() const = 0;
    virtual const FileDeviceInfo& getInfo() = 0;
    // Opens request.localPath in request.mode; raises ref_count on success.
    virtual bool openFile(FileRequest& request, File*& out) = 0;
    virtual bool openDirectory(FileRequest& request, Directory*& out) = 0;
    virtual bool openWatchHandle(FileRequest& request, DirObserver* observer, bool recursive,
                                 DirObserverHandle*& out) = 0;
    // A null output makes it an existence test.
    virtual bool getAttributes(FileRequest& request, FileInfo* out) = 0;
    virtual bool deleteFile(FileRequest& request) = 0;
    // The directory must be empty.
    virtual bool removeDirectory(FileRequest& request) = 0;
    // One level.
    virtual bool createDirectory(FileRequest& request) = 0;
    virtual bool setAttributes(FileRequest& request, const FileAttributeChange& change) = 0;
    virtual bool getFullPath(FileRequest& request, WorkString& out, bool mustExist) = 0;
    // The comparison key of a path: equal keys name the same file.
    virtual bool normalizePath(FileRequest& request, WorkString& out) = 0;
    enum : uint32_t { MOVE_COPY_ALLOWED = 0x1, MOVE_REPLACE = 0x2 };
    // source and destination are local paths on this device. Flag bit 0 allows a copy,
    // bit 1 replaces an existing destination.
    virtual bool move(FileRequest& request, const wchar_t* source, const wchar_t* destination, uint32_t flags) = 0;
    // The file must belong to this device; lowers ref_count.
    virtual bool closeFile(File* file) = 0;
    virtual bool closeDirectory(Directory* directory) = 0;
    virtual bool closeWatchHandle(DirObserverHandle* handle) = 0;
    virtual bool control(uint32_t code, uintptr_t argument, void* out) {
        (void)code;
        (void)argument;
        (void)out;
        return false;
    }
    virtual ~FileDevice() = default;
};

} // namespace zem
