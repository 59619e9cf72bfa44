// The start-up environment: the Windows version check and the named devices through
// which every file of the program is reached (the program folder, a per-process
// temporary folder, memory disks, the user's data folder), set up before any
// configuration is read and taken down at exit.
//
// Mounts, highest priority first: "__winfs" 256 (native paths), "vtmp" 225 (memory,
// spilling to disk), "mem" 224, "tmp" 224 ("<TEMP>\Corvel_<pid>"), "base:user" 129,
// "root" and "base:root" 128 (the program folder), "user" 128.
#pragma once
#include <memory>
#include <string>

namespace zem {
class FileDeviceWin32;
class LogFile;
class RamDisk;
class TempDevice;
} // namespace zem

namespace corvel {

struct Environment {
    Environment();
    ~Environment();

    std::unique_ptr<zem::FileDeviceWin32> nativeDevice;
    std::unique_ptr<zem::FileDeviceWin32> tempRootDevice;
    std::unique_ptr<zem::FileDeviceWin32> userDevice;
    std::unique_ptr<zem::FileDeviceWin32> programDevice;
    std::unique_ptr<zem::RamDisk> ramDisk;
    std::unique_ptr<zem::TempDevice> tempDevice;
    std::unique_ptr<zem::LogFile> logFile;
    std::wstring tempRoot; // native path of the temp root folder
};

// The record of this process; null before setupEnvironment and after shutdownEnvironment.
Environment* environment();

// Checks the Windows version, prepares the timer, makes the record and mounts the
// devices; false when the version is unsupported or a mount failed.
bool setupEnvironment();
bool mountDevices();
// The configured user folder: null or "default" (in any case) means
// "<APPDATA>\Corvel", made when missing; another text is made a full path, not created.
// On success the log file "user:debug.log" starts.
bool mountUserDirectory(const wchar_t* text);
// Logs "Good bye...", detaches everything, removes the temp root with its contents and
// deletes the record. A second call does nothing.
void shutdownEnvironment();
bool checkWindowsVersion();

} // namespace corvel
