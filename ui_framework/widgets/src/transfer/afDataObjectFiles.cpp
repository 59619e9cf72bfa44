#include "corvel/widgets/afDataObjectFiles.h"

#include "WidgetsLog.h"
#include "zem/log/LogManager.h"

#include <cstring>
#include <shellapi.h>
#include <shlobj.h>

namespace corvel {
namespace {

const size_t HEADER_SIZE = sizeof(DROPFILES); // 20 bytes

// Whether the names after the header end with an empty name inside the block: the shell
// walks the list without knowing the block's size.
template <class Unit> bool listEndsInside(const unsigned char* block, size_t size, size_t offset) {
    size_t units = (size - offset) / sizeof(Unit);
    const Unit* names = reinterpret_cast<const Unit*>(block + offset);
    bool atNameStart = true;
    for (size_t i = 0; i < units; ++i) {
        if (names[i] == 0) {
            if (atNameStart)
                return true;
            atNameStart = true;
        } else {
            atNameStart = false;
        }
    }
    return false;
}

bool isWellFormed(HGLOBAL drop) {
    size_t size = GlobalSize(drop);
    if (size < HEADER_SIZE)
        return false;
    const unsigned char* block = static_cast<const unsigned char*>(GlobalLock(drop));
    if (!block)
        return false;
    DROPFILES header;
    std::memcpy(&header, block, HEADER_SIZE);
    bool wellFormed = header.pFiles >= HEADER_SIZE && header.pFiles < size &&
                      (header.fWide ? listEndsInside<wchar_t>(block, size, header.pFiles)
                                    : listEndsInside<char>(block, size, header.pFiles));
    GlobalUnlock(drop);
    return wellFormed;
}

} // namespace

afDataObjectFiles::afDataObjectFiles() : afDataObjectSimple(CF_HDROP) {}

size_t afDataObjectFiles::getSize() {
    size_t size = HEADER_SIZE + sizeof(wchar_t);
    for (const std::wstring& path : m_paths)
        size += (path.size() + 1) * sizeof(wchar_t);
    return size;
}

bool afDataObjectFiles::getValue(void* destination) {
    if (!destination || m_paths.empty())
        return false;
    DROPFILES header{};
    header.pFiles = HEADER_SIZE;
    header.fNC = FALSE;
    header.fWide = TRUE;
    unsigned char* out = static_cast<unsigned char*>(destination);
    std::memcpy(out, &header, HEADER_SIZE);
    out += HEADER_SIZE;
    for (const std::wstring& path : m_paths) {
        size_t bytes = (path.size() + 1) * sizeof(wchar_t);
        std::memcpy(out, path.c_str(), bytes);
        out += bytes;
    }
    const wchar_t end = 0;
    std::memcpy(out, &end, sizeof(end));
    return true;
}

bool afDataObjectFiles::setValue(size_t, const void* source) {
    m_paths.clear();
    HDROP drop = static_cast<HDROP>(const_cast<void*>(source));
    if (!drop || !isWellFormed(drop))
        return false;
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    if (count == 0)
        return false;
    for (UINT i = 0; i < count; ++i) {
        UINT expected = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(expected + 1, L'\0');
        UINT returned = DragQueryFileW(drop, i, &path[0], expected + 1);
        if (returned != expected || expected == 0) {
            zem::logMessage(1, WIDGETS_LOG_SOURCE,
                            L"afDataObjectFiles::setData(): DragQueryFile returned %d, but %d was expected.\n",
                            static_cast<int>(returned), static_cast<int>(expected));
            continue;
        }
        path.resize(expected);
        m_paths.push_back(path);
    }
    m_empty = 0;
    return true;
}

void afDataObjectFiles::setPaths(const std::vector<std::wstring>& paths) {
    m_paths = paths;
    m_empty = 0;
}

void afDataObjectFiles::addPath(const std::wstring& path) {
    m_paths.push_back(path);
    m_empty = 0;
}

} // namespace corvel
