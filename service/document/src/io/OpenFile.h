// Owns a file of the file layer and closes it on every path out.
#pragma once
#include "zem/files/FileIO.h"

namespace corvel {

class OpenFile {
public:
    explicit OpenFile(zem::File* file) : m_file(file) {}
    ~OpenFile() { close(); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    zem::File* get() const { return m_file; }
    explicit operator bool() const { return m_file != nullptr; }
    // False when closing reported a failure (an unwritten buffer).
    bool close() {
        if (m_file == nullptr)
            return true;
        zem::File* file = m_file;
        m_file = nullptr;
        return zem::fileClose(file);
    }

private:
    zem::File* m_file;
};

} // namespace corvel
