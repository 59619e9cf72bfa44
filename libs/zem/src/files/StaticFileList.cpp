#include "zem/files/StaticFileList.h"

#include "zem/files/FileIO.h"

#include <cwchar>

namespace zem {
namespace {

void takeAttributes(FileListEntry& entry, const FileInfo& info) {
    entry.infoFlags = info.flags;
    entry.size = info.size;
    entry.lastWriteTime = info.lastWriteTime;
    entry.lastAccessTime = info.lastAccessTime;
    entry.creationTime = info.creationTime;
    entry.flags |= FileListEntry::HAS_ATTRIBUTES;
}

} // namespace

StaticFileList::StaticFileList(uint32_t operation) : m_operation(operation) {}

StaticFileList::~StaticFileList() = default;

FileListEntry* StaticFileList::allocateEntry() {
    if (m_entriesUsedInLast == ENTRY_BLOCK) {
        m_entryBlocks.emplace_back(new FileListEntry[ENTRY_BLOCK]);
        m_entriesUsedInLast = 0;
    }
    FileListEntry* entry = &m_entryBlocks.back()[m_entriesUsedInLast++];
    *entry = FileListEntry();
    return entry;
}

// Each text is stored with its length in the unit before it.
const wchar_t* StaticFileList::storeText(const wchar_t* text, size_t length) {
    size_t need = length + 2; // length unit, text, terminator
    if (m_textBlocks.empty() || m_lastTextBlockSize - m_textUsedInLast < need) {
        size_t size = need > TEXT_BLOCK ? need : TEXT_BLOCK;
        m_textBlocks.emplace_back(new wchar_t[size]);
        m_lastTextBlockSize = size;
        m_textUsedInLast = 0;
    }
    wchar_t* at = m_textBlocks.back().get() + m_textUsedInLast;
    at[0] = static_cast<wchar_t>(length > 0xFFFF ? 0xFFFF : length);
    std::wmemcpy(at + 1, text, length);
    at[1 + length] = 0;
    m_textUsedInLast += need;
    return at + 1;
}

FileListEntry* StaticFileList::add(const wchar_t* path, const FileInfo* attributes) {
    if (!path)
        path = L"";
    FileListEntry* entry = allocateEntry();
    size_t length = std::wcslen(path);
    entry->path = storeText(path, length);
    entry->pathLength = static_cast<uint32_t>(length);
    entry->prev = m_last;
    if (m_last)
        m_last->next = entry;
    else
        m_first = entry;
    m_last = entry;
    ++m_count;
    if (attributes) {
        takeAttributes(*entry, *attributes);
        if (attributes->flags & FileInfo::DIRECTORY) {
            ++m_stats.directories;
        } else {
            ++m_stats.files;
            m_stats.bytes += attributes->size;
        }
    }
    if (m_groupStart) {
        entry->flags |= FileListEntry::GROUP_START;
        m_groupStart = false;
    }
    return entry;
}

void StaticFileList::clear() {
    m_first = nullptr;
    m_last = nullptr;
    m_count = 0;
    m_stats = FileListStatistics();
    m_entryBlocks.clear();
    m_entriesUsedInLast = ENTRY_BLOCK;
    m_textBlocks.clear();
    m_textUsedInLast = TEXT_BLOCK;
    m_lastTextBlockSize = 0;
    m_groupStart = true;
}

bool StaticFileList::entryExists(FileListEntry* entry) {
    if (!entry)
        return false;
    if (entry->flags & FileListEntry::HAS_ATTRIBUTES)
        return true;
    FileInfo info;
    if (!fileGetAttributes(entry->path, &info))
        return false;
    takeAttributes(*entry, info);
    return true;
}

} // namespace zem
