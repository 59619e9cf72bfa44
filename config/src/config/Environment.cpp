#include "corvel/config/Environment.h"

#include "corvel/config/Timer.h"
#include "zem/base/Clock.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIFC.h"
#include "zem/files/FileIO.h"
#include "zem/files/FileUtils.h"
#include "zem/files/Path.h"
#include "zem/files/RamDisk.h"
#include "zem/files/TempDevice.h"
#include "zem/files/WorkString.h"
#include "zem/log/LogFile.h"
#include "zem/log/LogManager.h"

#include <cwctype>
#include <shlobj.h>
#include <windows.h>

namespace corvel {

namespace {

std::unique_ptr<Environment> g_environment; // main thread only

bool isDefaultText(const wchar_t* text) {
    const wchar_t* word = L"default";
    for (; *text && *word; ++text, ++word) {
        if (std::towlower(*text) != *word)
            return false;
    }
    return *text == 0 && *word == 0;
}

std::wstring programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0)
            return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

} // namespace

Environment::Environment() = default;
Environment::~Environment() = default;

Environment* environment() {
    return g_environment.get();
}

bool checkWindowsVersion() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    BOOL known = GetVersionExW(&info);
#pragma GCC diagnostic pop
    if (known && info.dwMajorVersion > 4)
        return true;
    MessageBoxW(nullptr, L"Unsupported Windows version.", L"Corvel startup", MB_ICONERROR);
    return false;
}

bool setupEnvironment() {
    if (!checkWindowsVersion())
        return false;
    initTimer();
    zem::Stopwatch stopwatch;
    stopwatch.start();
    g_environment = std::make_unique<Environment>();
    bool mounted = mountDevices();
    stopwatch.stop();
    return mounted;
}

bool mountDevices() {
    Environment& env = *g_environment;
    env.nativeDevice = std::make_unique<zem::FileDeviceWin32>(nullptr, zem::FILEDEV_NATIVE);
    bool ok = zem::fileAttachDevice(env.nativeDevice.get(), L"__winfs", 256);

    env.ramDisk = std::make_unique<zem::RamDisk>();
    ok = ok && zem::fileAttachDevice(env.ramDisk.get(), L"mem", 224);

    wchar_t temp[MAX_PATH + 1] = {};
    DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    zem::WorkString tempRoot(temp, length <= MAX_PATH ? length : 0);
    zem::appendPathSeparator(tempRoot);
    env.tempRoot = tempRoot.str() + L"Corvel_" + std::to_wstring(GetCurrentProcessId());
    zem::fileCreateDirectory(env.tempRoot.c_str());
    env.tempRootDevice = std::make_unique<zem::FileDeviceWin32>(env.tempRoot.c_str());
    env.tempRootDevice->setCreateRootOnWrite(true);
    ok = ok && zem::fileAttachDevice(env.tempRootDevice.get(), L"tmp", 224);

    std::wstring program = programFolder();
    env.programDevice = std::make_unique<zem::FileDeviceWin32>(program.c_str());
    ok = ok && zem::fileAttachDevice(env.programDevice.get(), L"root", 128);
    ok = ok && zem::fileAttachDevice(env.programDevice.get(), L"base:root", 128);

    env.tempDevice = std::make_unique<zem::TempDevice>();
    ok = ok && zem::fileAttachDevice(env.tempDevice.get(), L"vtmp", 225);
    return ok;
}

bool mountUserDirectory(const wchar_t* text) {
    Environment* env = g_environment.get();
    if (!env)
        return false;
    bool ok;
    if (text && !isDefaultText(text)) {
        zem::WorkString full;
        if (!zem::fileGetFullPath(text, full))
            return false;
        env->userDevice = std::make_unique<zem::FileDeviceWin32>(full.c_str());
        ok = zem::fileAttachDevice(env->userDevice.get(), L"user", 128) &&
             zem::fileAttachDevice(env->userDevice.get(), L"base:user", 129);
    } else {
        wchar_t appData[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, appData)))
            return false;
        std::wstring folder = std::wstring(appData) + L"\\Corvel";
        env->userDevice = std::make_unique<zem::FileDeviceWin32>(folder.c_str());
        ok = zem::fileAttachDevice(env->userDevice.get(), L"user", 128);
        if (ok && !zem::fileIsDirectory(folder.c_str()))
            zem::fileCreateDirectories(folder.c_str());
        ok = ok && zem::fileAttachDevice(env->userDevice.get(), L"base:user", 129);
    }
    if (!ok)
        return false;
    env->logFile = std::make_unique<zem::LogFile>();
    zem::LogManager_Impl::instance().addListener(env->logFile.get(), false);
    return true;
}

void shutdownEnvironment() {
    if (!g_environment)
        return;
    Environment& env = *g_environment;
    zem::logMessage(zem::LOG_INFO, zem::LOG_UNKNOWN_SOURCE, L"Good bye...\n");
    if (env.logFile) {
        zem::LogManager_Impl::instance().removeListener(env.logFile.get());
        env.logFile.reset();
    }
    for (const wchar_t* name : {L"vtmp", L"base:root", L"base:user", L"root", L"tmp"})
        zem::fileDetachDevice(name);
    // The temp root goes with everything in it: another run never reuses this process id's folder.
    if (!env.tempRoot.empty())
        zem::FileUtils::removePath(env.tempRoot.c_str(), nullptr);
    for (const wchar_t* name : {L"mem", L"user", L"__winfs"})
        zem::fileDetachDevice(name);
    env.tempDevice.reset();
    env.nativeDevice.reset();
    env.userDevice.reset();
    env.programDevice.reset();
    env.ramDisk.reset();
    env.tempRootDevice.reset();
    g_environment.reset();
    SetLastError(0);
    zem::FileIFC::instance().detachAll();
}

} // namespace corvel
