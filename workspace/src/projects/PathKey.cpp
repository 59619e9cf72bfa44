#include "PathKey.h"

#include "zem/files/FileIO.h"

#include <cwctype>

namespace corvel {

uint32_t pathKeyOf(const wchar_t* path) {
    return zem::fileGetPathHash(path, nullptr);
}

std::wstring normalizedPath(const wchar_t* path) {
    zem::WorkString full;
    std::wstring out = zem::fileGetFullPath(path, full) ? full.str() : std::wstring(path);
    for (wchar_t& ch : out)
        ch = ch == L'/' ? L'\\' : static_cast<wchar_t>(std::towlower(ch));
    return out;
}

} // namespace corvel
