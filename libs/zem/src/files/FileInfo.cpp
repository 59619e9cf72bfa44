#include "zem/files/File.h"

#include <cwchar>

namespace zem {

void FileInfo::setName(const wchar_t* text) {
    setName(text, text ? std::wcslen(text) : 0);
}

void FileInfo::setName(const wchar_t* text, size_t length) {
    if (length > NAME_CAPACITY - 1)
        length = NAME_CAPACITY - 1;
    if (length)
        std::wmemcpy(name, text, length);
    name[length] = 0;
}

FileAttributeChange FileAttributeChange::fromFlags(uint32_t flags) {
    const uint32_t attributeBits = 0x7E; // FileInfo bits 1-6
    FileAttributeChange change;
    change.setMask = static_cast<uint16_t>((flags & attributeBits) | FROM_FLAGS);
    change.clearMask = static_cast<uint16_t>(~flags & attributeBits);
    change.flags = flags;
    return change;
}

} // namespace zem
