// A byte input stream over memory the caller keeps alive; no copy is made.
#pragma once
#include <cstddef>
#include <istream>
#include <streambuf>

namespace zem {

class MemoryInputBuf : public std::streambuf {
public:
    MemoryInputBuf(const char* bytes, size_t length) {
        char* begin = const_cast<char*>(bytes); // the get area is only read
        setg(begin, begin, begin + length);
    }
};

class MemoryInputStream : public std::istream {
public:
    MemoryInputStream(const char* bytes, size_t length) : std::istream(nullptr), m_buf(bytes, length) { rdbuf(&m_buf); }

private:
    MemoryInputBuf m_buf;
};

} // namespace zem
