// The devices the projects expect at run time, for tests: native paths, and "user:" over
// a fresh folder in the temporary directory. Attached once per test program and left
// attached until it ends (objects destroyed late may still resolve paths).
#pragma once
#include "support/TempFolder.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"

#include <string>

namespace workspacetest {

// Whether a file or folder is there, asked of the system directly.
inline bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class WorkspaceDevices {
public:
    static WorkspaceDevices& ensure() {
        static WorkspaceDevices devices;
        return devices;
    }
    // Lends the name "user:" to a fixture with folders of its own; restoreUser puts this
    // device back.
    void releaseUser() { zem::fileDetachDevice(L"user"); }
    void restoreUser() { zem::fileAttachDevice(m_disk, L"user", 100); }
    // The native folder behind "user:", ending in '\'.
    const std::wstring& userFolder() const { return m_user; }

private:
    WorkspaceDevices() {
        m_user = zemtest::makeTempFolder(L"wsuser");
        m_native = new zem::FileDeviceWin32(nullptr, zem::FILEDEV_NATIVE);
        m_disk = new zem::FileDeviceWin32(m_user.c_str());
        zem::fileAttachDevice(m_native, L"__wsnative", 256);
        zem::fileAttachDevice(m_disk, L"user", 100);
    }
    ~WorkspaceDevices() { zemtest::removeTree(m_user); }

    std::wstring m_user;
    zem::FileDeviceWin32* m_native;
    zem::FileDeviceWin32* m_disk;
};

} // namespace workspacetest
