// What the document benchmarks share: the devices the document engine expects, and a
// generated text of random letter lines.
#pragma once
#include "BenchClock.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"
#include "zem/files/RamDisk.h"
#include "zem/files/TempDevice.h"

#include <windows.h>

#include <string>

namespace bench {

// "mem" (RAM disk), "tmp" (a folder of that name in the system's temporary directory) and
// "vtmp" (temporary files over the two), attached for the program's life.
inline void attachDocumentDevices(const wchar_t* folderName) {
    wchar_t folder[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, folder);
    std::wstring root = std::wstring(folder) + folderName;
    CreateDirectoryW(root.c_str(), nullptr);
    zem::fileAttachDevice(new zem::RamDisk(), L"mem", 100);
    zem::fileAttachDevice(new zem::FileDeviceWin32(root.c_str()), L"tmp", 100);
    zem::fileAttachDevice(new zem::TempDevice(L"mem:", L"tmp:"), L"vtmp", 100);
}

// At least units UTF-16 units of lines of random lowercase letters, each line shorter than
// lineLimit; with spaceOneIn > 0 about one character in spaceOneIn is a space instead.
inline std::wstring makeLetterLines(size_t units, uint32_t lineLimit, uint32_t spaceOneIn) {
    std::wstring text;
    text.reserve(units + lineLimit);
    Random random;
    while (text.size() < units) {
        const uint32_t length = random.below(lineLimit);
        for (uint32_t i = 0; i < length; ++i) {
            if (spaceOneIn > 0 && random.below(spaceOneIn) == 0)
                text += L' ';
            else
                text += static_cast<wchar_t>(L'a' + random.below(26));
        }
        text += L'\n';
    }
    return text;
}

} // namespace bench
