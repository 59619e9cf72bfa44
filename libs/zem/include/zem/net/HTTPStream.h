// The body streams of an HTTP exchange: buffered byte streams over a client session, with
// their 4096-byte buffers taken from a shared pool.
#pragma once
#include <cstddef>
#include <istream>
#include <ostream>
#include <streambuf>

namespace zem {
namespace net {

class HTTPClientSession;

class HTTPStreamBuf : public std::streambuf {
public:
    enum Mode { INPUT, OUTPUT };
    static constexpr int BUFFER_SIZE = 4096;
    static constexpr int PUT_BACK = 4;

    HTTPStreamBuf(HTTPClientSession& session, Mode mode);
    ~HTTPStreamBuf() override;
    HTTPStreamBuf(const HTTPStreamBuf&) = delete;
    HTTPStreamBuf& operator=(const HTTPStreamBuf&) = delete;

    HTTPClientSession& session() { return m_session; }

protected:
    int_type underflow() override;
    int_type overflow(int_type ch) override;
    int sync() override;

private:
    // Writes the whole pending buffer; false when the session took less.
    bool flushBuffer();

    HTTPClientSession& m_session;
    Mode m_mode;
    char* m_buffer; // BUFFER_SIZE bytes from the pool
};

class HTTPIOS : public virtual std::ios {
public:
    HTTPIOS(HTTPClientSession& session, HTTPStreamBuf::Mode mode);
    HTTPStreamBuf* rdbuf() { return &m_buffer; }

protected:
    HTTPStreamBuf m_buffer;
};

// Stream objects come from a pool of their own type, as their buffers do.
class HTTPInputStream : public HTTPIOS, public std::istream {
public:
    explicit HTTPInputStream(HTTPClientSession& session);
    static void* operator new(size_t size);
    static void operator delete(void* block);
};

// Destroying the stream flushes it and closes the session's request.
class HTTPOutputStream : public HTTPIOS, public std::ostream {
public:
    explicit HTTPOutputStream(HTTPClientSession& session);
    ~HTTPOutputStream() override;
    static void* operator new(size_t size);
    static void operator delete(void* block);
};

} // namespace net
} // namespace zem
