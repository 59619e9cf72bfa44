// The process-wide table of attached file devices behind the functions of FileIO.h:
// named devices, mappings that share a prefix ("base:root", "base:user"), priorities,
// and the resolution of a path to the devices that may serve it.
#pragma once
#include "zem/files/File.h"
#include "zem/thread/CriticalSection.h"

#include <cstdint>
#include <vector>

namespace zem {

struct DeviceEntry {
    uint32_t prefixKey = 0; // crc32StringNoCase of the name before its first ':'
    FileDevice* device = nullptr;
    uint32_t nameKey = 0; // crc32StringNoCase of the whole name
    uint32_t priority = 0;
    wchar_t* name = nullptr; // owned copy

    bool isMapping() const { return nameKey != prefixKey; }
};

class FileIFC {
public:
    static FileIFC& instance();

    bool devAttach(FileDevice* device, const wchar_t* name, uint32_t priority);
    bool devDetach(const wchar_t* name);
    void detachAll();

    // A unique non-zero device id; every call also advances the unique-name counter.
    uint32_t nextDeviceId();
    // Steps the shared counter and returns its new value.
    uint32_t nextCounter();

    // Splits request.fullPath into device name, parameter and local path (see FileRequest).
    static bool parsePath(FileRequest& request);
    // Fills request.devices with the devices that serve it, in table order. Lock held.
    bool resolve(FileRequest& request);

    // The lock held while a path is resolved and its device operation runs. Re-entrant.
    CriticalSection& lock() { return m_lock; }
    size_t deviceCount();
    uint32_t logSource() const { return m_logSource; }

private:
    FileIFC();
    ~FileIFC();

    CriticalSection m_lock;
    std::vector<DeviceEntry> m_entries; // guarded by m_lock; priority order, highest first
    uint32_t m_counter = 0;             // guarded by m_lock; device ids and unique names
    uint32_t m_logSource = 0;
};

} // namespace zem
