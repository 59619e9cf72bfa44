// The temporary-file device ("vtmp"): scratch files that are usually small but may grow
// large. Each file keeps its first bytes, up to a threshold, in a part file on the RAM disk
// and the rest in a part file in the temporary folder; both parts are ordinary files of the
// device table. A closed file keeps its parts until it is deleted.
#pragma once
#include "zem/files/File.h"
#include "zem/thread/CriticalSection.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zem {

class TempDevice;

class TempFile : public File {
public:
    enum : uint32_t { MODE_CLOSED = 0, MODE_READ = 0x1, MODE_WRITE = 0x2, MODE_APPEND = 0x4 };

    bool isOpen() const override { return m_mode != MODE_CLOSED; }
    const wchar_t* getPath() const override { return m_info.name; }
    uint32_t getSize() override { return isOpen() ? m_size : 0; }
    uint32_t tell() override { return isOpen() ? m_position : 0; }
    bool truncate() override;
    uint32_t read(void* buffer, uint32_t count) override;
    uint32_t write(const void* buffer, uint32_t count) override;
    // In append mode every write goes to the end: seeking answers 0 and does not move.
    uint32_t seek(int origin, int32_t offset) override;
    bool flush() override;
    FileDevice* getDevice() const override;

    uint32_t getThreshold() const { return m_threshold; }
    // Full paths of the parts; empty until the part was first created.
    const std::wstring& getRamPartPath() const { return m_ramPath; }
    const std::wstring& getDiskPartPath() const { return m_diskPath; }

private:
    friend class TempDevice;
    TempFile(TempDevice* device, uint32_t threshold, const wchar_t* fullPath, uint64_t now);
    ~TempFile() override;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    void setName(const wchar_t* fullPath);
    bool failUnless(uint32_t modeBit);
    // Opens (or first creates) a part; false with the file layer's error set.
    bool openRamPart();
    bool openDiskPart();
    void closeParts();
    void deleteParts();

    TempDevice* m_device;
    uint32_t m_mode = MODE_CLOSED;
    File* m_ramPart = nullptr;  // open while the file is open
    File* m_diskPart = nullptr; // opened when first needed while the file is open
    std::wstring m_ramPath;     // once the part exists
    std::wstring m_diskPath;    // once the part exists
    uint32_t m_threshold;       // bytes kept in the RAM part
    // m_position <= m_size; the RAM part holds bytes [0, min(m_size, m_threshold)), the disk
    // part the bytes from m_threshold on.
    uint32_t m_position = 0;
    uint32_t m_size = 0;
    const wchar_t* m_localName = nullptr; // into m_info.name, behind the device's ':'
    std::wstring m_key;                   // m_localName as lookups compare it
    FileInfo m_info;                      // flags 0; the times; name = the full path last opened
};

class TempDevice : public FileDevice {
public:
    static constexpr uint32_t DEFAULT_THRESHOLD = 32768;

    // Both prefixes end in ':' and name the devices that hold the parts.
    explicit TempDevice(const wchar_t* ramdiskPrefix = L"mem:", const wchar_t* tempPrefix = L"tmp:");
    ~TempDevice() override;
    TempDevice(const TempDevice&) = delete;
    TempDevice& operator=(const TempDevice&) = delete;

    bool isValid() const override { return true; }
    const FileDeviceInfo& getInfo() override;
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
    bool control(uint32_t code, uintptr_t argument, void* out) override;

private:
    friend class TempFile;
    // Both under m_lock.
    TempFile* find(const wchar_t* localPath);
    void destroy(TempFile* file);
    uint32_t thresholdForRequest(const FileRequest& request);

    std::wstring m_ramdisk_prefix;
    std::wstring m_temp_prefix;
    uint32_t m_threshold = DEFAULT_THRESHOLD;
    FileDeviceInfo m_info;
    CriticalSection m_lock;
    std::vector<TempFile*> m_files; // guarded by m_lock; owned, in creation order
};

} // namespace zem
