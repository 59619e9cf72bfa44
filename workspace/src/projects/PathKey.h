// The file layer's view of a path, for the project's comparisons: keys from the full path,
// and the normalised text (full path, lower case, '\' separators).
#pragma once
#include <cstdint>
#include <string>

namespace corvel {

// zem::fileGetPathHash of the path: 0xFFFFFFFF when it cannot be resolved.
uint32_t pathKeyOf(const wchar_t* path);
// The full path folded for comparison; the text itself folded when it cannot be resolved.
std::wstring normalizedPath(const wchar_t* path);

// The keys of a folder's entries without resolving each entry's path: the folder's full
// path is resolved once and the CRC continued over "\" and the name, which gives what
// zem::fileGetPathHash gives for the entry. Scans of large folders spend most of their
// time resolving paths otherwise.
class ChildKeys {
public:
    explicit ChildKeys(const wchar_t* folderPath);
    // 0xFFFFFFFF when the folder could not be resolved.
    uint32_t keyOf(const wchar_t* name) const;
    bool valid() const { return m_valid; }

private:
    std::wstring m_prefix; // the folder's full path and a separator
    uint32_t m_prefixCrc = 0;
    bool m_caseSensitive = false;
    bool m_valid = false;
};

} // namespace corvel
