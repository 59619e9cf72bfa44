#include "corvel/document/RecentFileEntry.h"

#include "corvel/jasmine/JasmineValue.h"

namespace corvel {

bool RecentFileEntry::read(const JasmineValue& dictionary) {
    const wchar_t* path = dictionary.find(L"file_path").asString(L"");
    if (path == nullptr || *path == 0)
        return false;
    filePath = path;
    line = dictionary.find(L"line").asInt(0);
    lineOffset = dictionary.find(L"line_offset").asInt(0);
    return true;
}

bool RecentFileEntry::write(JasmineValue& dictionary) const {
    if (filePath.empty())
        return false;
    dictionary.getOrAddEntry(L"file_path").setString(filePath);
    dictionary.getOrAddEntry(L"line").setInt(line);
    dictionary.getOrAddEntry(L"line_offset").setInt(lineOffset);
    return true;
}

} // namespace corvel
