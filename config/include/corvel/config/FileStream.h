// A Stream over an open file of the device layer. The file stays the caller's: the stream
// neither opens nor closes it.
#pragma once
#include "corvel/config/Stream.h"

namespace zem {
class File;
}

namespace corvel {

class FileStream : public Stream {
public:
    // Reads are split into pieces of this many bytes.
    static constexpr uint32_t PIECE_SIZE = 8192;

    explicit FileStream(zem::File* file) : m_file(file) {}

    uint32_t write(const void* buffer, uint32_t size) override;
    // Stops after the first piece that comes back short; returns what was delivered.
    uint32_t read(void* buffer, uint32_t size) override;

    zem::File* file() const { return m_file; }

private:
    zem::File* m_file; // not owned
};

} // namespace corvel
