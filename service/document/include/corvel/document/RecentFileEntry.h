// Where the caret stood in a file, so that the file reopens at the same place; stored as
// a dictionary of "file_path", "line" and "line_offset".
#pragma once
#include <cstdint>
#include <string>

namespace corvel {

class JasmineValue;

class RecentFileEntry {
public:
    RecentFileEntry() = default;
    RecentFileEntry(const RecentFileEntry&) = default;
    RecentFileEntry& operator=(const RecentFileEntry&) = default;

    // False, changing nothing, when "file_path" is missing or empty.
    bool read(const JasmineValue& dictionary);
    // False for an empty path; a null value becomes a dictionary.
    bool write(JasmineValue& dictionary) const;

    std::wstring filePath;
    int32_t line = 0;
    int32_t lineOffset = 0; // units from the line's start
    uint8_t caretFlag = 0;  // the caret's third field; not stored
};

} // namespace corvel
