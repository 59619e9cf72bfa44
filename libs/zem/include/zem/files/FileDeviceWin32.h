// The disk device: maps device paths onto the native file system below a root folder,
// or serves native paths as they are when it has no root. Also the mapping of Win32
// error codes onto the file exception classes.
#pragma once
#include "zem/files/File.h"
#include "zem/files/WorkString.h"

#include <cstdint>

namespace zem {

class WatchPool;

class FileDeviceWin32 : public FileDevice {
public:
    static constexpr uint32_t DEFAULT_BUFFER_SIZE = 32768;
    static constexpr uint32_t DEFAULT_ALIGNMENT = 16;
    static constexpr uint32_t DEFAULT_BLOCK_SIZE = 2048;

    // root: folder the device's paths are relative to, or null for a device that serves
    // native paths. flags: FILEDEV_NATIVE and FILEDEV_READ_ONLY are taken from it.
    explicit FileDeviceWin32(const wchar_t* root, uint32_t flags = 0);
    ~FileDeviceWin32() override;
    FileDeviceWin32(const FileDeviceWin32&) = delete;
    FileDeviceWin32& operator=(const FileDeviceWin32&) = delete;

    // Files are wrapped in a FileBuffer unless switched off (or the path says root[nb]:).
    void setBuffered(bool on) { m_buffered = on; }
    bool isBuffered() const { return m_buffered; }
    // A failed open for writing creates the root's missing folders and tries again.
    void setCreateRootOnWrite(bool on) { m_createRootOnWrite = on; }
    const WorkString& getRoot() const { return m_root; }

    // The Win32 path of a local path: root + path, '/' made '\', and the long-path prefix
    // when the result reaches 260 characters.
    void buildNativePath(const wchar_t* localPath, WorkString& out, bool directory) const;

    bool isValid() const override { return m_valid; }
    const FileDeviceInfo& getInfo() override { return m_info; }
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

private:
    bool failIfReadOnly(const FileRequest& request);
    bool createRootFolders();
    File* openSystemFile(const wchar_t* nativePath, const wchar_t* fullPath, uint32_t mode);

    FileDeviceInfo m_info;
    WorkString m_root; // absolute, with a trailing '\'; empty for a native-path device
    bool m_valid = false;
    bool m_buffered = true;
    bool m_createRootOnWrite = false;
    uint32_t m_bufferSize = DEFAULT_BUFFER_SIZE;
    uint32_t m_alignment = DEFAULT_ALIGNMENT;
    uint32_t m_blockSize = DEFAULT_BLOCK_SIZE;
    WatchPool* m_watchPool = nullptr; // one reference, released by the destructor
};

// An open Win32 file of the disk device.
class FileWin32 : public File {
public:
    // Opens with CreateFileW; isOpen() tells whether it worked (GetLastError has why).
    FileWin32(FileDevice* device, const wchar_t* nativePath, const wchar_t* fullPath, uint32_t mode);
    ~FileWin32() override;
    FileWin32(const FileWin32&) = delete;
    FileWin32& operator=(const FileWin32&) = delete;

    bool isOpen() const override { return m_handle != INVALID_HANDLE_VALUE; }
    const wchar_t* getPath() const override { return m_path.c_str(); }
    uint32_t getSize() override;
    uint32_t tell() override;
    bool truncate() override;
    uint32_t read(void* buffer, uint32_t count) override;
    uint32_t write(const void* buffer, uint32_t count) override;
    uint32_t seek(int origin, int32_t offset) override;
    bool flush() override;
    FileDevice* getDevice() const override { return m_device; }
    HANDLE handle() const { return m_handle; }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE; // owned
    FileDevice* m_device;
    WorkString m_path;
};

// A FindFirstFileW listing of the disk device; "." and ".." come like any entry.
class DirectoryWin32 : public Directory {
public:
    DirectoryWin32(FileDevice* device, const wchar_t* nativePath, const wchar_t* path, bool readOnlyDevice);
    ~DirectoryWin32() override;
    DirectoryWin32(const DirectoryWin32&) = delete;
    DirectoryWin32& operator=(const DirectoryWin32&) = delete;

    bool isOpen() const override { return m_find != INVALID_HANDLE_VALUE; }
    const wchar_t* getPath() const override { return m_path.c_str(); }
    const FileInfo* next() override;
    bool rewind() override;
    FileDevice* getDevice() const override { return m_device; }

private:
    bool findFirst();
    void takeEntry(const WIN32_FIND_DATAW& data);

    HANDLE m_find = INVALID_HANDLE_VALUE; // owned, FindClose
    FileDevice* m_device;
    WorkString m_pattern; // native path + "*"
    WorkString m_path;
    bool m_firstPending = false;
    bool m_readOnlyDevice;
    FileInfo m_current;
};

// FileInfo flags of a set of Win32 attributes.
uint32_t fileInfoFlagsFromAttributes(DWORD attributes, bool readOnlyDevice);

// Throws the file exception matching code, with the path as message.
[[noreturn]] void throwFileError(uint32_t code, const wchar_t* path);
// The same for GetLastError().
[[noreturn]] void throwFileError(const wchar_t* path);

} // namespace zem
