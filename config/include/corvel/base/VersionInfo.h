// The running program's version: its texts for the about box and the update check, and
// the stamp that configuration and project files carry.
#pragma once
#include <cstdint>

namespace corvel {

struct VersionInfo {
    uint32_t packedVersion;  // patch in bits 0-7, minor 8-15, major 16-23
    uint32_t buildChecksum;  // CRC-32 of the build text's ASCII bytes
    uint32_t buildNumber;    // the build's running number
    wchar_t versionText[16]; // "major.minor.patch"
    wchar_t buildText[16];
    wchar_t channel[16];
    wchar_t channelLabel[16];
};

// Filled on first use and never changed afterwards.
const VersionInfo& getVersionInfo();
void initVersionInfo(VersionInfo& info);
// "%d %d %d %x": major, minor, patch, build checksum; made once.
const wchar_t* getVersionStamp();
// The packed version of a stamp, or 0 when its four fields do not all read (the
// checksum must be there, in hexadecimal, but its value is not checked).
uint32_t parseVersionStamp(const wchar_t* text);

} // namespace corvel
