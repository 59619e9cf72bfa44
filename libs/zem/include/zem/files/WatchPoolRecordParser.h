// Turns the FILE_NOTIFY_INFORMATION records of completed ReadDirectoryChangesW reads into
// change events, pairing the two halves of a rename. One parser per watched folder: an
// old name at the end of one read pairs with the new name at the start of the next.
#pragma once
#include "zem/files/WatchPoolEvent.h"

#include <cstdint>
#include <string>
#include <vector>
#include <windows.h>

namespace zem {

class WatchPoolRecordParser {
public:
    // Appends one event (holding one reference, the caller's) per change in the first
    // `bytes` bytes of records. Records that would run past `bytes` are ignored, as are
    // actions the system did not document.
    void parse(const void* records, DWORD bytes, uint64_t readTime, std::vector<FileChangeEvent*>& out);

private:
    void onRecord(DWORD action, const std::wstring& name, uint64_t readTime, std::vector<FileChangeEvent*>& out);
    // An old name that no new name followed: the entry left the folder.
    void flushOldName(std::vector<FileChangeEvent*>& out);

    uint64_t m_renameTime = 0; // the read time of m_oldFileName
    std::wstring m_oldFileName;
    bool m_hasOldName = false;
};

} // namespace zem
