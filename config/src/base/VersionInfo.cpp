#include "corvel/base/VersionInfo.h"

#include "zem/base/Crc.h"

#include <cstring>
#include <cwchar>
#include <string>

namespace corvel {
namespace {

constexpr uint32_t MAJOR = 0;
constexpr uint32_t MINOR = 9;
constexpr uint32_t PATCH = 4;
constexpr uint32_t BUILD_NUMBER = 2308;
constexpr char BUILD_TEXT[] = "20120814-4";

void copyText(wchar_t (&out)[16], const wchar_t* text) {
    std::wcsncpy(out, text, 15);
    out[15] = 0;
}

} // namespace

void initVersionInfo(VersionInfo& info) {
    info.packedVersion = (MAJOR << 16) | (MINOR << 8) | PATCH;
    info.buildChecksum = zem::crc32(sizeof(BUILD_TEXT) - 1, BUILD_TEXT);
    info.buildNumber = BUILD_NUMBER;
    std::wstring version = std::to_wstring(MAJOR) + L"." + std::to_wstring(MINOR) + L"." + std::to_wstring(PATCH);
    copyText(info.versionText, version.c_str());
    std::wstring build(BUILD_TEXT, BUILD_TEXT + sizeof(BUILD_TEXT) - 1);
    copyText(info.buildText, build.c_str());
    copyText(info.channel, L"unstable");
    copyText(info.channelLabel, L"RC");
}

const VersionInfo& getVersionInfo() {
    static const VersionInfo info = [] {
        VersionInfo filled;
        initVersionInfo(filled);
        return filled;
    }();
    return info;
}

const wchar_t* getVersionStamp() {
    static const std::wstring stamp = [] {
        const VersionInfo& info = getVersionInfo();
        wchar_t buffer[64];
        std::swprintf(buffer, 64, L"%u %u %u %x", (info.packedVersion >> 16) & 0xFF, (info.packedVersion >> 8) & 0xFF,
                      info.packedVersion & 0xFF, info.buildChecksum);
        return std::wstring(buffer);
    }();
    return stamp.c_str();
}

uint32_t parseVersionStamp(const wchar_t* text) {
    if (!text)
        return 0;
    int major = 0;
    int minor = 0;
    int patch = 0;
    unsigned checksum = 0;
    if (std::swscanf(text, L"%d%d%d%x", &major, &minor, &patch, &checksum) != 4)
        return 0;
    return (static_cast<uint32_t>(major) << 16) | (static_cast<uint32_t>(minor) << 8) | static_cast<uint32_t>(patch);
}

} // namespace corvel
