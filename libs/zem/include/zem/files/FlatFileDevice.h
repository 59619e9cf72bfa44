// The common part of the devices that keep a table of whole files known by their local
// path as flat names, with no directories (the memory and temporary-file devices): the
// table and its lookups, the open modes, closing, and the operations such a device does
// not support. Each device keeps its file's content its own way in a FlatFile subclass.
#pragma once
#include "zem/files/File.h"
#include "zem/thread/CriticalSection.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zem {

class FlatFileDevice;

// A file of a FlatFileDevice's table. It stays in the table after it is closed until it
// is deleted, and is open at most once at a time.
class FlatFile : public File {
public:
    enum : uint32_t { MODE_CLOSED = 0, MODE_READ = 0x1, MODE_WRITE = 0x2, MODE_APPEND = 0x4 };

    bool isOpen() const override { return m_mode != MODE_CLOSED; }
    const wchar_t* getPath() const override { return m_info.name; }
    uint32_t getSize() override { return isOpen() ? m_size : 0; }
    uint32_t tell() override { return isOpen() ? m_position : 0; }

protected:
    // Positions and sizes are 32-bit, and 0xFFFFFFFF is the failed position.
    static constexpr uint32_t MAX_FILE_SIZE = 0xFFFFFFFEu;

    FlatFile(const wchar_t* fullPath, uint64_t now);
    ~FlatFile() override = default;
    FlatFile(const FlatFile&) = delete;
    FlatFile& operator=(const FlatFile&) = delete;

    void setName(const wchar_t* fullPath);
    // True, with the error set, unless the file is open with modeBit.
    bool failUnless(uint32_t modeBit);
    // The position in [0, m_size] a seek from origin by offset reaches; false for any
    // other, with the error set and the line "<className>: Seek position is out of range".
    bool seekTarget(int origin, int32_t offset, const wchar_t* className, uint32_t& out);

    // What the device calls under its lock. Opening: false refuses the open.
    virtual bool openStorage() { return true; }
    // After the file was marked closed: false makes the close fail.
    virtual bool closeStorage() { return true; }
    // The file leaves the table for good and is deleted next.
    virtual void discardStorage() {}

    uint32_t m_mode = MODE_CLOSED;
    uint32_t m_position = 0; // m_position <= m_size
    uint32_t m_size = 0;
    // flags 0; the times; name = the full path the file was last opened with.
    FileInfo m_info;
    const wchar_t* m_localName = nullptr; // into m_info.name, behind the device's ':'
    std::wstring m_key;                   // m_localName as lookups compare it

private:
    friend class FlatFileDevice;
};

class FlatFileDevice : public FileDevice {
public:
    // Every file goes, open or not (open ones are logged), with what it stored.
    ~FlatFileDevice() override;
    FlatFileDevice(const FlatFileDevice&) = delete;
    FlatFileDevice& operator=(const FlatFileDevice&) = delete;

    // The comparison key of a local name: case and the kind of separator do not matter.
    static std::wstring keyOf(const wchar_t* localName);

    bool isValid() const override { return true; }
    const FileDeviceInfo& getInfo() override;
    bool openFile(FileRequest& request, File*& out) override;
    bool closeFile(File* file) override;
    bool getAttributes(FileRequest& request, FileInfo* out) override;
    bool deleteFile(FileRequest& request) override;
    bool getFullPath(FileRequest& request, WorkString& out, bool mustExist) override;
    bool normalizePath(FileRequest& request, WorkString& out) override;
    // Succeeds without making anything: there are no folders to make.
    bool createDirectory(FileRequest& request) override;
    // The rest are not supported.
    bool openDirectory(FileRequest& request, Directory*& out) override;
    bool openWatchHandle(FileRequest& request, DirObserver* observer, bool recursive, DirObserverHandle*& out) override;
    bool removeDirectory(FileRequest& request) override;
    bool setAttributes(FileRequest& request, const FileAttributeChange& change) override;
    bool move(FileRequest& request, const wchar_t* source, const wchar_t* destination, uint32_t flags) override;
    bool closeDirectory(Directory* directory) override;
    bool closeWatchHandle(DirObserverHandle* handle) override;

protected:
    // name: the class name that starts the device's log lines.
    explicit FlatFileDevice(const wchar_t* name);

    // The request's device parameter as a decimal number of at most 32 bits; false when
    // there is none, or when it is anything else (logged).
    bool parseDeviceParam(const FileRequest& request, uint32_t& out) const;
    // What a new file is made with, from the request's device parameter; asked on every
    // open, before the lock is taken.
    virtual uint32_t parameterFor(const FileRequest& request) = 0;
    virtual FlatFile* createFile(uint32_t parameter, const wchar_t* fullPath, uint64_t now) = 0;

    // Gives the closed file at source the name destination, replacing a closed file there;
    // for devices whose files keep nothing under their name.
    bool replaceFile(FileRequest& request, const wchar_t* source, const wchar_t* destination);

    // Both under m_lock.
    FlatFile* find(const wchar_t* localPath);
    void destroy(FlatFile* file);

    CriticalSection m_lock;
    std::vector<FlatFile*> m_files; // guarded by m_lock; owned, in creation order

private:
    const wchar_t* m_name;
    FileDeviceInfo m_info;
};

} // namespace zem
