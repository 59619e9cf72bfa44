#include "zem/net/HTTPStream.h"

#include "zem/base/Allocator.h"
#include "zem/base/Assert.h"
#include "zem/net/HTTPClientSession.h"

#include <algorithm>
#include <cstring>

namespace zem {
namespace net {

namespace {

// The pools live as long as the process: a stream released during exit still finds its pool.
MemoryPool& bufferPool() {
    static MemoryPool* pool = new MemoryPool(HTTPStreamBuf::BUFFER_SIZE, 16);
    return *pool;
}

MemoryPool& inputStreamPool() {
    static MemoryPool* pool = new MemoryPool(sizeof(HTTPInputStream));
    return *pool;
}

MemoryPool& outputStreamPool() {
    static MemoryPool* pool = new MemoryPool(sizeof(HTTPOutputStream));
    return *pool;
}

} // namespace

HTTPStreamBuf::HTTPStreamBuf(HTTPClientSession& session, Mode mode)
    : m_session(session), m_mode(mode), m_buffer(static_cast<char*>(bufferPool().get())) {
    if (mode == INPUT)
        setg(m_buffer + PUT_BACK, m_buffer + PUT_BACK, m_buffer + PUT_BACK);
    else
        setp(m_buffer, m_buffer + BUFFER_SIZE);
}

HTTPStreamBuf::~HTTPStreamBuf() {
    bufferPool().release(m_buffer);
}

HTTPStreamBuf::int_type HTTPStreamBuf::underflow() {
    if (m_mode != INPUT)
        return traits_type::eof();
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    // Keep the last few bytes in front so that a put-back still finds them.
    int keep = static_cast<int>(std::min<std::ptrdiff_t>(gptr() - eback(), PUT_BACK));
    std::memmove(m_buffer + PUT_BACK - keep, gptr() - keep, static_cast<size_t>(keep));
    int got = m_session.readData(m_buffer + PUT_BACK, BUFFER_SIZE - PUT_BACK);
    if (got <= 0)
        return traits_type::eof();
    setg(m_buffer + PUT_BACK - keep, m_buffer + PUT_BACK, m_buffer + PUT_BACK + got);
    return traits_type::to_int_type(*gptr());
}

bool HTTPStreamBuf::flushBuffer() {
    int pending = static_cast<int>(pptr() - pbase());
    if (pending == 0)
        return true;
    int written = m_session.writeData(pbase(), pending);
    setp(m_buffer, m_buffer + BUFFER_SIZE);
    return written == pending;
}

HTTPStreamBuf::int_type HTTPStreamBuf::overflow(int_type ch) {
    if (m_mode != OUTPUT || !flushBuffer())
        return traits_type::eof();
    if (traits_type::eq_int_type(ch, traits_type::eof()))
        return traits_type::not_eof(ch);
    *pptr() = traits_type::to_char_type(ch);
    pbump(1);
    return ch;
}

int HTTPStreamBuf::sync() {
    if (m_mode != OUTPUT)
        return 0;
    return flushBuffer() ? 0 : -1;
}

HTTPIOS::HTTPIOS(HTTPClientSession& session, HTTPStreamBuf::Mode mode) : m_buffer(session, mode) {
    init(&m_buffer);
}

HTTPInputStream::HTTPInputStream(HTTPClientSession& session)
    : HTTPIOS(session, HTTPStreamBuf::INPUT), std::istream(&m_buffer) {
    // A failing read raises its HTTPException to the reader instead of only setting badbit.
    exceptions(std::ios::badbit);
}

void* HTTPInputStream::operator new(size_t size) {
    ZEM_ASSERT(size == sizeof(HTTPInputStream));
    return inputStreamPool().get();
}

void HTTPInputStream::operator delete(void* block) {
    if (block)
        inputStreamPool().release(block);
}

void* HTTPOutputStream::operator new(size_t size) {
    ZEM_ASSERT(size == sizeof(HTTPOutputStream));
    return outputStreamPool().get();
}

void HTTPOutputStream::operator delete(void* block) {
    if (block)
        outputStreamPool().release(block);
}

HTTPOutputStream::HTTPOutputStream(HTTPClientSession& session)
    : HTTPIOS(session, HTTPStreamBuf::OUTPUT), std::ostream(&m_buffer) {
    exceptions(std::ios::badbit);
}

HTTPOutputStream::~HTTPOutputStream() {
    // A destructor must not throw: a failed last write is dropped, the request still closed.
    try {
        exceptions(std::ios::goodbit);
        flush();
    } catch (...) {
    }
    m_buffer.session().closeRequest();
}

} // namespace net
} // namespace zem
