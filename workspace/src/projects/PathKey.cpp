#include "PathKey.h"

#include "zem/base/Crc.h"
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

ChildKeys::ChildKeys(const wchar_t* folderPath) {
    zem::WorkString full;
    uint32_t key = zem::fileGetPathHash(folderPath, &full);
    if (key == 0xFFFFFFFFu)
        return;
    // The device's case rule shows in which of the two hashes the layer gave.
    m_caseSensitive = key != zem::crc32StringNoCase(full.c_str());
    m_prefix = full.str();
    if (m_prefix.empty() || (m_prefix.back() != L'\\' && m_prefix.back() != L'/'))
        m_prefix += L'\\';
    if (m_caseSensitive) {
        m_prefixCrc = zem::crc32Chars(m_prefix.size(), m_prefix.c_str());
    } else {
        m_prefixCrc = zem::crc32StringNoCase(m_prefix.c_str());
    }
    m_valid = true;
}

uint32_t ChildKeys::keyOf(const wchar_t* name) const {
    if (!m_valid)
        return 0xFFFFFFFFu;
    if (m_caseSensitive) {
        size_t length = 0;
        while (name[length])
            ++length;
        return zem::crc32UpdateChars(m_prefixCrc, length, name);
    }
    uint32_t crc = m_prefixCrc;
    for (; *name; ++name)
        crc = zem::crc32UpdateNoCase(crc, *name);
    return crc;
}

} // namespace corvel
