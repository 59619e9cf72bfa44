#include "corvel/config/FileStream.h"

#include "zem/files/File.h"

#include <algorithm>

namespace corvel {

uint32_t FileStream::write(const void* buffer, uint32_t size) {
    return m_file->write(buffer, size);
}

uint32_t FileStream::read(void* buffer, uint32_t size) {
    char* out = static_cast<char*>(buffer);
    uint32_t delivered = 0;
    while (delivered < size) {
        uint32_t asked = std::min(PIECE_SIZE, size - delivered);
        uint32_t got = m_file->read(out + delivered, asked);
        // A failed read reports INVALID_POSITION on some devices; it delivers nothing.
        if (got > asked)
            got = 0;
        delivered += got;
        if (got < asked)
            break;
    }
    return delivered;
}

} // namespace corvel
