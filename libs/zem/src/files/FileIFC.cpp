#include "zem/files/FileIFC.h"

#include "FileError.h"
#include "zem/base/Assert.h"
#include "zem/base/Crc.h"
#include "zem/files/Path.h"
#include "zem/log/LogManager.h"

#include <algorithm>
#include <cwchar>

namespace zem {
namespace {

bool isNameCharacterValid(wchar_t ch) {
    return ch > L' ' && ch != L'\\' && ch != L'/' && ch != L'[' && ch != L']' && ch != L':';
}

// A registered name is a device name of 2 to 63 characters, optionally followed by ':'
// and a label; anything else could never be reached through a path.
bool isRegisteredNameValid(const wchar_t* name) {
    const wchar_t* colon = std::wcschr(name, L':');
    size_t deviceLength = colon ? static_cast<size_t>(colon - name) : std::wcslen(name);
    if (deviceLength < 2)
        return false;
    for (size_t i = 0; i < deviceLength; ++i) {
        if (!isNameCharacterValid(name[i]))
            return false;
    }
    return !colon || colon[1] != 0;
}

} // namespace

FileIFC& FileIFC::instance() {
    // Lives to the end of the process: devices may still be closed from static destructors.
    static FileIFC* table = new FileIFC;
    return *table;
}

FileIFC::FileIFC() {
    m_logSource = LogManager_Impl::instance().registerSource(L"FileIO");
}

FileIFC::~FileIFC() {
    for (DeviceEntry& e : m_entries)
        strFree(e.name);
}

size_t FileIFC::deviceCount() {
    CriticalSectionLock guard(m_lock);
    return m_entries.size();
}

bool FileIFC::devAttach(FileDevice* device, const wchar_t* name, uint32_t priority) {
    if (!device || !name)
        return fileFail(ERR_INVALID_CALL);
    CriticalSectionLock guard(m_lock);
    if (m_entries.size() >= FILEDEV_MAX_COUNT)
        return fileFail(ERR_TOO_MANY_DEVICES);
    if (std::wcslen(name) > FILEDEV_MAX_NAME)
        return fileFail(ERR_DEVICE_NAME_TOO_LONG, name);
    if (!isRegisteredNameValid(name))
        return fileFail(ERR_INVALID_CALL, name);

    const wchar_t* colon = std::wcschr(name, L':');
    bool mapping = colon != nullptr;
    std::wstring prefix = mapping ? std::wstring(name, colon - name) : std::wstring(name);
    DeviceEntry entry;
    entry.prefixKey = crc32StringNoCase(prefix.c_str());
    entry.nameKey = crc32StringNoCase(name);
    entry.device = device;
    entry.priority = priority;
    const wchar_t* kind = mapping ? L" mapping " : L"";

    bool taken = std::any_of(m_entries.begin(), m_entries.end(), [&](const DeviceEntry& e) {
        return e.nameKey == entry.nameKey || (!mapping && e.prefixKey == entry.prefixKey);
    });
    if (taken) {
        logMessage(LOG_ERROR, m_logSource, L"devAttach: device%s'%s' is already registered\n", kind, name);
        return fileFail(ERROR_ALREADY_EXISTS, name);
    }
    auto at =
        std::find_if(m_entries.begin(), m_entries.end(), [&](const DeviceEntry& e) { return e.priority < priority; });
    entry.name = strDup(name);
    m_entries.insert(at, entry);
    logMessage(LOG_INFO, m_logSource, L"devAttach: device%s'%s' attached\n", kind, name);
    return true;
}

bool FileIFC::devDetach(const wchar_t* name) {
    if (!name)
        return fileFail(ERR_INVALID_CALL);
    uint32_t key = crc32StringNoCase(name);
    CriticalSectionLock guard(m_lock);
    auto it = std::find_if(m_entries.begin(), m_entries.end(), [&](const DeviceEntry& e) { return e.nameKey == key; });
    if (it == m_entries.end())
        return fileFail(ERR_UNKNOWN_DEVICE, name);
    bool mapping = it->isMapping();
    strFree(it->name);
    m_entries.erase(it);
    if (mapping)
        logMessage(LOG_INFO, m_logSource, L"Device mapping '%s' detached\n", name);
    else
        logMessage(LOG_INFO, m_logSource, L"Device '%s' detached\n", name);
    return true;
}

void FileIFC::detachAll() {
    CriticalSectionLock guard(m_lock);
    for (DeviceEntry& e : m_entries)
        strFree(e.name);
    m_entries.clear();
}

uint32_t FileIFC::nextCounter() {
    CriticalSectionLock guard(m_lock);
    return ++m_counter;
}

uint32_t FileIFC::nextDeviceId() {
    uint64_t n = nextCounter();
    uint32_t id = static_cast<uint32_t>((n * 47) % 1085801);
    ZEM_ASSERT(id != 0);
    return id;
}

bool FileIFC::parsePath(FileRequest& request) {
    const wchar_t* text = request.fullPath;
    request.deviceName[0] = 0;
    request.deviceParam[0] = 0;
    request.localPath = text;
    const wchar_t* colon = std::wcschr(text, L':');
    // One character before the ':' is a drive letter. A separator before it makes the
    // text a native path too (\\?\C:\...), since no device name holds one.
    if (!colon || colon - text < 2)
        return true;
    for (const wchar_t* p = text; p < colon; ++p) {
        if (isPathSeparator(*p))
            return true;
    }
    if (colon - text > static_cast<ptrdiff_t>(FILEDEV_MAX_NAME))
        return fileFail(ERR_DEVICE_NAME_TOO_LONG, text);

    size_t n = 0;
    for (const wchar_t* p = text; p < colon; ++p) {
        if (*p == L'[') {
            const wchar_t* close = std::find(p + 1, colon, L']');
            if (close == colon)
                return fileFail(ERR_WRONG_DEVICE_PARAMETER, text);
            size_t m = static_cast<size_t>(close - (p + 1));
            std::wmemcpy(request.deviceParam, p + 1, m);
            request.deviceParam[m] = 0;
            break; // characters between ']' and ':' are ignored
        }
        wchar_t ch = *p;
        request.deviceName[n++] = (ch >= L'A' && ch <= L'Z') ? static_cast<wchar_t>(ch - L'A' + L'a') : ch;
    }
    request.deviceName[n] = 0;
    if (n == 0) // "[x]:path" names no device
        return fileFail(ERR_UNKNOWN_DEVICE, request.deviceName);
    request.localPath = colon + 1;
    return true;
}

bool FileIFC::resolve(FileRequest& request) {
    CriticalSectionLock guard(m_lock);
    request.deviceCount = 0;
    bool native = request.isNative();
    uint32_t key = native ? 0 : crc32StringNoCase(request.deviceName);
    for (const DeviceEntry& e : m_entries) {
        bool match = native ? (e.device->getInfo().flags & FILEDEV_NATIVE) != 0 : e.prefixKey == key;
        if (!match)
            continue;
        ZEM_ASSERT_MSG(request.deviceCount < FILEDEV_MAX_COUNT, L"count <= FILEDEV_MAX_COUNT");
        request.devices[request.deviceCount++] = e.device;
    }
    if (request.deviceCount != 0)
        return true;
    if (native)
        return fileFail(ERR_NO_ROOT_DEVICE);
    return fileFail(ERR_UNKNOWN_DEVICE, request.deviceName);
}

} // namespace zem
