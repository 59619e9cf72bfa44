#include "zem/files/WatchPoolRecordParser.h"

#include <cstddef>

namespace zem {

void WatchPoolRecordParser::parse(const void* records, DWORD bytes, uint64_t readTime,
                                  std::vector<FileChangeEvent*>& out) {
    const size_t header = offsetof(FILE_NOTIFY_INFORMATION, FileName);
    const BYTE* base = static_cast<const BYTE*>(records);
    size_t offset = 0;
    // A record that claims more than the read returned is not trusted: it would make us
    // read past the buffer.
    while (records && offset + header <= bytes) {
        const FILE_NOTIFY_INFORMATION* record = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(base + offset);
        if (offset + header + record->FileNameLength > bytes)
            break;
        onRecord(record->Action, std::wstring(record->FileName, record->FileNameLength / sizeof(wchar_t)), readTime,
                 out);
        if (record->NextEntryOffset == 0)
            break;
        offset += record->NextEntryOffset;
    }
}

void WatchPoolRecordParser::onRecord(DWORD action, const std::wstring& name, uint64_t readTime,
                                     std::vector<FileChangeEvent*>& out) {
    switch (action) {
    case FILE_ACTION_RENAMED_OLD_NAME:
        flushOldName(out);
        m_renameTime = readTime;
        m_oldFileName = name;
        m_hasOldName = true;
        return;
    case FILE_ACTION_RENAMED_NEW_NAME:
        if (!m_hasOldName) {
            // The old half was lost (an overflowed read): all we know is that the name appeared.
            out.push_back(new FileChangeEvent(FileChangeEvent::ADDED, readTime, name));
            return;
        }
        out.push_back(new FileChangeEvent(FileChangeEvent::RENAMED, m_renameTime, m_oldFileName, name));
        m_oldFileName.clear();
        m_hasOldName = false;
        return;
    case FILE_ACTION_ADDED:
        flushOldName(out);
        out.push_back(new FileChangeEvent(FileChangeEvent::ADDED, readTime, name));
        return;
    case FILE_ACTION_REMOVED:
        flushOldName(out);
        out.push_back(new FileChangeEvent(FileChangeEvent::REMOVED, readTime, name));
        return;
    case FILE_ACTION_MODIFIED:
        flushOldName(out);
        out.push_back(new FileChangeEvent(FileChangeEvent::MODIFIED, readTime, name));
        return;
    default:
        return;
    }
}

void WatchPoolRecordParser::flushOldName(std::vector<FileChangeEvent*>& out) {
    if (!m_hasOldName)
        return;
    out.push_back(new FileChangeEvent(FileChangeEvent::REMOVED, m_renameTime, m_oldFileName));
    m_oldFileName.clear();
    m_hasOldName = false;
}

} // namespace zem
