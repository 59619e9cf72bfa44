#include "zem/files/FileStream.h"

#include "zem/base/Assert.h"
#include "zem/base/Error.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace zem {
namespace {

// The thread's file-layer error, or the system's when the layer left none.
[[noreturn]] void throwCurrentFileError(const std::wstring& path) {
    uint32_t code = lastErrorCode();
    throwFileError(code ? code : GetLastError(), path.c_str());
}

} // namespace

// ---- TBasicBufferedBidirectionalStreamBuf ----

TBasicBufferedBidirectionalStreamBuf::TBasicBufferedBidirectionalStreamBuf(std::ios_base::openmode mode)
    : m_getBuffer(new char[BUFFER_SIZE]), m_putBuffer(new char[BUFFER_SIZE]), m_mode(mode) {
    resetAreas();
}

TBasicBufferedBidirectionalStreamBuf::~TBasicBufferedBidirectionalStreamBuf() {
    delete[] m_getBuffer;
    delete[] m_putBuffer;
}

void TBasicBufferedBidirectionalStreamBuf::resetAreas() {
    char* start = m_getBuffer + PUTBACK_SIZE;
    setg(start, start, start);
    // The last byte stays free for the character that overflow() is given.
    setp(m_putBuffer, m_putBuffer + BUFFER_SIZE - 1);
}

bool TBasicBufferedBidirectionalStreamBuf::flushPutArea() {
    std::streamsize n = pptr() - pbase();
    if (n == 0)
        return true;
    int written = writeToDevice(pbase(), n);
    setp(m_putBuffer, m_putBuffer + BUFFER_SIZE - 1);
    return written == n;
}

TBasicBufferedBidirectionalStreamBuf::int_type TBasicBufferedBidirectionalStreamBuf::underflow() {
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    if (!(m_mode & std::ios_base::in))
        return traits_type::eof();
    // Keep up to PUTBACK_SIZE bytes already read in front of the new ones.
    std::streamsize keep = std::min<std::streamsize>(gptr() - eback(), PUTBACK_SIZE);
    std::memmove(m_getBuffer + PUTBACK_SIZE - keep, gptr() - keep, static_cast<size_t>(keep));
    char* start = m_getBuffer + PUTBACK_SIZE;
    int n = readFromDevice(start, BUFFER_SIZE - PUTBACK_SIZE);
    if (n <= 0) {
        setg(start - keep, start, start);
        return traits_type::eof();
    }
    setg(start - keep, start, start + n);
    return traits_type::to_int_type(*gptr());
}

TBasicBufferedBidirectionalStreamBuf::int_type TBasicBufferedBidirectionalStreamBuf::overflow(int_type ch) {
    if (!(m_mode & std::ios_base::out))
        return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(ch);
        pbump(1);
    }
    if (!flushPutArea())
        return traits_type::eof();
    return traits_type::not_eof(ch);
}

int TBasicBufferedBidirectionalStreamBuf::sync() {
    return flushPutArea() ? 0 : -1;
}

// ---- FileStreamBuf ----

int FileStreamBuf::sync() {
    if (TBasicBufferedBidirectionalStreamBuf::sync() != 0)
        return -1;
    if (m_file && (getMode() & std::ios_base::out) && !m_file->flush())
        return -1;
    return 0;
}

FileStreamBuf::FileStreamBuf() : TBasicBufferedBidirectionalStreamBuf(std::ios_base::in | std::ios_base::out) {}

FileStreamBuf::~FileStreamBuf() {
    try {
        close();
    } catch (...) {
        // A destructor cannot report; the bytes that did not fit are lost either way.
        if (m_file) {
            fileClose(m_file);
            m_file = nullptr;
        }
    }
}

void FileStreamBuf::open(const std::wstring& path, std::ios_base::openmode mode) {
    ZEM_ASSERT_MSG(m_file == nullptr, L"m_file == NULL");
    m_path = path;
    setMode(mode);
    const bool in = (mode & std::ios_base::in) != 0;
    const bool out = (mode & std::ios_base::out) != 0;
    const bool trunc = (mode & std::ios_base::trunc) != 0;
    uint32_t fileMode = FILE_MODE_READ;
    if (in && out)
        fileMode = trunc ? FILE_MODE_READ_WRITE_TRUNCATE : FILE_MODE_READ_WRITE;
    else if (out)
        fileMode = trunc ? FILE_MODE_WRITE : FILE_MODE_APPEND;
    resetAreas();
    m_count = 0;
    m_file = fileOpen(path.c_str(), fileMode);
    if (!m_file)
        throwCurrentFileError(path);
    if (mode & (std::ios_base::ate | std::ios_base::app))
        seekFile(FILE_SEEK_END, 0);
}

void FileStreamBuf::close() {
    if (!m_file)
        return;
    bool flushed = true;
    if (getMode() & std::ios_base::out)
        flushed = flushPutArea();
    File* file = m_file;
    m_file = nullptr;
    ErrorRecord failure = currentError();
    bool closed = fileClose(file);
    resetAreas();
    if (!flushed)
        currentError() = failure; // the close's outcome would hide why the put area was lost
    if (!flushed || !closed)      // closing writes out the file's own buffer, which can fail too
        throwCurrentFileError(m_path);
}

int FileStreamBuf::readFromDevice(char* buffer, std::streamsize count) {
    if (!m_file || !(getMode() & std::ios_base::in))
        return -1;
    if ((getMode() & std::ios_base::out) && !flushPutArea())
        return -1;
    uint32_t n = m_file->read(buffer, static_cast<uint32_t>(count));
    m_count += n;
    return static_cast<int>(n);
}

int FileStreamBuf::writeToDevice(const char* buffer, std::streamsize count) {
    if (!m_file || !(getMode() & std::ios_base::out))
        return -1;
    if ((getMode() & std::ios_base::app) && m_file->seek(FILE_SEEK_END, 0) == File::INVALID_POSITION)
        throwCurrentFileError(m_path);
    uint32_t n = m_file->write(buffer, static_cast<uint32_t>(count));
    m_count += n;
    return static_cast<int>(n);
}

FileStreamBuf::pos_type FileStreamBuf::seekFile(int origin, off_type offset) {
    if (offset < INT32_MIN || offset > INT32_MAX) {
        setError(ERROR_NEGATIVE_SEEK);
        throwCurrentFileError(m_path);
    }
    uint32_t position = m_file->seek(origin, static_cast<int32_t>(offset));
    if (position == File::INVALID_POSITION)
        throwCurrentFileError(m_path);
    m_count = position;
    return pos_type(static_cast<off_type>(position));
}

FileStreamBuf::pos_type FileStreamBuf::seekoff(off_type offset, std::ios_base::seekdir direction,
                                               std::ios_base::openmode which) {
    const std::ios_base::openmode areas = which & (std::ios_base::in | std::ios_base::out);
    if (!m_file || (areas & ~getMode()) != 0)
        return pos_type(off_type(-1));
    if ((getMode() & std::ios_base::out) && !flushPutArea())
        return pos_type(off_type(-1));
    off_type unread = (which & std::ios_base::in) ? unreadCount() : 0;
    resetAreas();
    if (direction == std::ios_base::beg)
        return seekFile(FILE_SEEK_BEGIN, offset);
    if (direction == std::ios_base::end)
        return seekFile(FILE_SEEK_END, offset);
    // The file stands after the read-ahead; the stream stands where the reader is.
    return seekFile(FILE_SEEK_CURRENT, offset - unread);
}

FileStreamBuf::pos_type FileStreamBuf::seekpos(pos_type position, std::ios_base::openmode which) {
    return seekoff(off_type(position), std::ios_base::beg, which);
}

// ---- FileIOS and FileOutputStream ----

FileIOS::FileIOS() {
    init(&m_buf);
}

FileIOS::~FileIOS() = default;

void FileIOS::open(const std::wstring& path, std::ios_base::openmode mode) {
    try {
        m_buf.open(path, mode);
    } catch (...) {
        setstate(std::ios_base::badbit);
        throw;
    }
    clear();
}

void FileIOS::close() {
    try {
        m_buf.close();
    } catch (...) {
        setstate(std::ios_base::badbit);
        throw;
    }
}

FileOutputStream::FileOutputStream() : std::ostream(&m_buf) {}

FileOutputStream::FileOutputStream(const std::wstring& path, std::ios_base::openmode mode) : std::ostream(&m_buf) {
    open(path, mode | std::ios_base::out | std::ios_base::trunc);
}

FileOutputStream::~FileOutputStream() = default;

} // namespace zem
