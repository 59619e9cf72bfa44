// The devices the document engine expects at run time, for tests: "mem" (RAM disk),
// "tmp" (a fresh folder in the system's temporary directory) and "vtmp" (temporary files
// over the two). Attached once per test program and left attached until it ends.
#pragma once
#include "support/TempFolder.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"
#include "zem/files/RamDisk.h"
#include "zem/files/TempDevice.h"

#include <string>

namespace documenttest {

class StandardDevices {
public:
    static void ensure() { static StandardDevices devices; }

private:
    StandardDevices() {
        m_root = zemtest::makeTempFolder(L"document");
        m_ram = new zem::RamDisk();
        m_disk = new zem::FileDeviceWin32(m_root.c_str());
        m_temp = new zem::TempDevice(L"mem:", L"tmp:");
        zem::fileAttachDevice(m_ram, L"mem", 100);
        zem::fileAttachDevice(m_disk, L"tmp", 100);
        zem::fileAttachDevice(m_temp, L"vtmp", 100);
    }
    ~StandardDevices() {
        // The devices stay attached: objects destroyed after this may still close files.
        zemtest::removeTree(m_root);
    }

    std::wstring m_root;
    zem::RamDisk* m_ram;
    zem::FileDeviceWin32* m_disk;
    zem::TempDevice* m_temp;
};

} // namespace documenttest
