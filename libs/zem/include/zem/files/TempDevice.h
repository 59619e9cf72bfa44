// The temporary-file device ("vtmp"): scratch files that are usually small but may grow
// large. Each file keeps its first bytes, up to a threshold, in a part file on the RAM disk
// and the rest in a part file in the temporary folder; both parts are ordinary files of the
// device table. A closed file keeps its parts until it is deleted.
#pragma once
#include "zem/files/FlatFileDevice.h"

#include <cstdint>
#include <string>

namespace zem {

class TempDevice;

class TempFile : public FlatFile {
public:
    bool truncate() override;
    uint32_t read(void* buffer, uint32_t count) override;
    uint32_t write(const void* buffer, uint32_t count) override;
    // In append mode every write goes to the end: seeking answers 0 and does not move.
    uint32_t seek(int origin, int32_t offset) override;
    bool flush() override;
    FileDevice* getDevice() const override;

    uint32_t getThreshold() const { return m_threshold; }

private:
    friend class TempDevice;
    TempFile(TempDevice* device, uint32_t threshold, const wchar_t* fullPath, uint64_t now);
    ~TempFile() override;

    // The RAM part opens with the file; the disk part when first needed.
    bool openStorage() override { return openRamPart(); }
    // A part that fails to close (a last flush to a full disk) makes the close fail.
    bool closeStorage() override { return closeParts(); }
    void discardStorage() override;

    // Opens (or first creates) a part; false with the file layer's error set.
    bool openRamPart();
    bool openDiskPart();
    // False when a part failed to close; both are closed regardless.
    bool closeParts();

    TempDevice* m_device;
    // The RAM part holds bytes [0, min(m_size, m_threshold)), the disk part the bytes from
    // m_threshold on.
    File* m_ramPart = nullptr;  // open while the file is open
    File* m_diskPart = nullptr; // opened when first needed while the file is open
    std::wstring m_ramPath;     // once the part exists
    std::wstring m_diskPath;    // once the part exists
    uint32_t m_threshold;       // bytes kept in the RAM part
};

class TempDevice : public FlatFileDevice {
public:
    static constexpr uint32_t DEFAULT_THRESHOLD = 32768;

    // Both prefixes end in ':' and name the devices that hold the parts.
    explicit TempDevice(const wchar_t* ramdiskPrefix = L"mem:", const wchar_t* tempPrefix = L"tmp:");

    bool control(uint32_t code, uintptr_t argument, void* out) override;

protected:
    // The threshold: the device parameter is the number of bytes kept in the RAM part.
    uint32_t parameterFor(const FileRequest& request) override;
    FlatFile* createFile(uint32_t threshold, const wchar_t* fullPath, uint64_t now) override;

private:
    friend class TempFile;

    std::wstring m_ramdisk_prefix;
    std::wstring m_temp_prefix;
    uint32_t m_threshold = DEFAULT_THRESHOLD;
};

} // namespace zem
