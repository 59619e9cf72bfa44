#include "zem/files/WatchPoolEvent.h"

#include "zem/base/Crc.h"

namespace zem {

FileChangeEvent::FileChangeEvent(Kind kind, uint64_t time, const std::wstring& path, const std::wstring& secondPath)
    : m_kind(kind), m_time(time), m_path(path), m_secondPath(secondPath), m_nameHash(nameHashOf(path)) {}

FileChangeEvent* FileChangeEvent::copyWithInfo(const FileInfo& info) const {
    FileChangeEvent* copy = new FileChangeEvent(m_kind, m_time, m_path, m_secondPath);
    copy->m_info.reset(new FileInfo(info));
    return copy;
}

uint32_t FileChangeEvent::nameHashOf(const std::wstring& path) {
    if (path.find(L'\\') != std::wstring::npos)
        return 0;
    return crc32StringNoCase(path.c_str());
}

} // namespace zem
