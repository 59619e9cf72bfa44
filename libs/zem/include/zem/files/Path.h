// Native path parsing (node, drive, directories, file name, with "." and ".." folded)
// and the small text functions every part of the file layer uses on paths.
// Both '\' and '/' are separators everywhere.
#pragma once
#include "zem/files/WorkString.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zem {

class Path {
public:
    Path();
    // Throws PathSyntaxException with the whole text as message on malformed text.
    explicit Path(const wchar_t* text);
    explicit Path(const std::wstring& text) : Path(text.c_str()) {}

    // Parses a new text; every part is cleared first.
    void assign(const wchar_t* text);

    const std::wstring& getNode() const { return m_node; }     // server of \\server\...
    const std::wstring& getDevice() const { return m_device; } // drive letter
    const std::wstring& getFileName() const { return m_fileName; }
    const std::vector<std::wstring>& getDirectories() const { return m_directories; }
    bool isAbsolute() const { return m_absolute; }
    // The normalised text with '\' separators.
    const std::wstring& toString() const;

private:
    void clear();

    std::wstring m_node;
    std::wstring m_device;
    std::wstring m_fileName;
    mutable std::wstring m_text; // built on demand from the parts
    mutable bool m_textValid = false;
    std::vector<std::wstring> m_directories;
    bool m_absolute = false;
};

inline bool isPathSeparator(wchar_t ch) {
    return ch == L'\\' || ch == L'/';
}

const wchar_t* getFileName(const wchar_t* text);
inline const wchar_t* getFileName(const WorkString& text) {
    return text.getFileName();
}
// The text up to and including the last separator (empty when there is none).
void getDirectory(const wchar_t* text, WorkString& out);
// The file name without its last extension.
void getBaseName(const wchar_t* text, WorkString& out);
// Cuts the string after its last separator and appends name.
void replaceFileName(WorkString& path, const wchar_t* name);
// Appends '\' unless the string is empty or already ends in a separator.
void appendPathSeparator(WorkString& path);
// Removes one trailing separator.
void removeTrailingSeparator(WorkString& path);
// Makes a path a comparison key: every separator becomes separator, and the letters lower
// case as the system folds them.
void foldPathKey(WorkString& path, wchar_t separator);
// Cuts the string just after its last separator; a string without one becomes ".\".
void removeFileName(WorkString& path);
// Puts '"' at both ends when the text holds a space or one of !%'{}()[]&^~+=_;,
void quotePathIfNeeded(WorkString& path);
// Index of the last separator before index (exclusive), or -1.
int lastSeparatorIndex(const wchar_t* text, int index);
// A heap copy of a zero-terminated text (null stays null); release it with strFree.
wchar_t* strDup(const wchar_t* text);
void strFree(wchar_t* text);
// Eight upper-case hexadecimal digits.
std::wstring formatHex32(uint32_t value);

} // namespace zem
