#include "zem/files/FileBuffer.h"

#include "FileError.h"
#include "zem/base/Assert.h"
#include "zem/files/FileIFC.h"
#include "zem/files/FileIO.h"
#include "zem/log/LogManager.h"

#include <algorithm>
#include <cstring>

namespace zem {
namespace {

bool isPowerOfTwo(uint32_t n) {
    return n != 0 && (n & (n - 1)) == 0;
}

uint32_t logSource() {
    return FileIFC::instance().logSource();
}

} // namespace

FileBuffer::FileBuffer(File* inferior, uint32_t mode, uint32_t bufferSize, uint32_t alignment, uint32_t blockSize) {
    ZEM_ASSERT_MSG(inferior && inferior->isOpen(), L"m_file && m_file->isValid()");
    if (!isPowerOfTwo(alignment) || !isPowerOfTwo(blockSize) || bufferSize == 0 || bufferSize > MAX_BUFFER_SIZE) {
        fileFail(ERR_WRONG_DEVICE_PARAMETER, inferior->getPath());
        return;
    }
    switch (mode) {
    case FILE_MODE_READ:
        m_flags = READ;
        break;
    case FILE_MODE_WRITE:
    case FILE_MODE_WRITE_NEW:
        m_flags = WRITE;
        break;
    case FILE_MODE_APPEND:
        m_flags = WRITE | APPEND;
        break;
    case FILE_MODE_READ_WRITE:
    case FILE_MODE_READ_WRITE_TRUNCATE:
    case FILE_MODE_READ_WRITE_NEW:
        m_flags = READ | WRITE;
        break;
    default:
        ZEM_ASSERT_MSG(false, L"FileBuffer: open mode 0-6");
    }
    m_file = inferior;
    m_bufferSize = (bufferSize + blockSize - 1) & ~(blockSize - 1);
    m_blockMask = ~(blockSize - 1);
    m_raw = new uint8_t[m_bufferSize + alignment];
    uintptr_t address = reinterpret_cast<uintptr_t>(m_raw);
    m_window = m_raw + ((alignment - (address & (alignment - 1))) & (alignment - 1));

    m_size = m_file->getSize();
    m_inferiorPos = m_file->tell();
    if (m_inferiorPos == INVALID_POSITION)
        m_inferiorPos = 0;
    m_flags |= NOT_LOADED;
    if (m_flags & APPEND) {
        // The inferior puts every write at its end; a window that started below the end
        // would send its unread head along with the new bytes. So the window starts at
        // the end and only ever holds new bytes.
        m_windowStart = m_size;
        m_offset = 0;
        return;
    }
    m_windowStart = m_inferiorPos & m_blockMask;
    m_offset = m_inferiorPos - m_windowStart;
}

FileBuffer::~FileBuffer() {
    close();
    delete[] m_raw;
}

bool FileBuffer::close() {
    if (!m_file)
        return true;
    bool flushed = !(m_flags & DIRTY) || flushWindow();
    ErrorRecord failure = currentError();
    File* file = m_file;
    m_file = nullptr;
    bool closed = fileClose(file);
    if (!flushed)
        currentError() = failure; // the lost bytes matter more than the close's outcome
    return flushed && closed;
}

bool FileBuffer::isOpen() const {
    return m_file && m_file->isOpen();
}

const wchar_t* FileBuffer::getPath() const {
    return m_file ? m_file->getPath() : L"";
}

uint32_t FileBuffer::getSize() {
    return m_file ? m_size : INVALID_POSITION;
}

uint32_t FileBuffer::tell() {
    return m_file ? position() : INVALID_POSITION;
}

bool FileBuffer::seekInferior(uint32_t target) {
    // An appending inferior writes at its end wherever its pointer stands.
    if ((m_flags & APPEND) || m_inferiorPos == target)
        return true;
    if (m_file->seek(FILE_SEEK_BEGIN, static_cast<int32_t>(target)) != target) {
        m_inferiorPos = INVALID_POSITION;
        return false;
    }
    m_inferiorPos = target;
    return true;
}

uint32_t FileBuffer::expectedValid() const {
    return m_windowStart < m_size ? std::min(m_bufferSize, m_size - m_windowStart) : 0;
}

bool FileBuffer::load() {
    if ((m_flags & DIRTY) && !flushWindow())
        return false;
    uint32_t count = expectedValid();
    uint32_t got = 0;
    if (count && seekInferior(m_windowStart)) {
        got = m_file->read(m_window, count);
        m_inferiorPos += got;
    }
    m_valid = got;
    m_flags &= ~NOT_LOADED;
    if (got == count)
        return true;
    logMessage(LOG_INFO, logSource(), L"FileBuffer: cannot read required data from inferior file object\n");
    return false;
}

bool FileBuffer::flushWindow() {
    uint32_t count = expectedValid();
    ZEM_ASSERT_MSG(m_valid >= count, L"a dirty window holds every byte it writes out");
    uint32_t written = 0;
    if (count && seekInferior(m_windowStart)) {
        written = m_file->write(m_window, count);
        m_inferiorPos += written;
    }
    m_flags &= ~DIRTY;
    if (written == count)
        return true;
    m_inferiorPos = INVALID_POSITION;
    logMessage(LOG_INFO, logSource(), L"FileBuffer: Flush buffer failed. Your data may be inconsistent !\n");
    if (lastErrorCode() == ERR_SUCCESS)
        fileFail(ERROR_WRITE_FAULT, m_file->getPath()); // an inferior that came short without saying why
    return false;
}

void FileBuffer::moveWindowTo(uint32_t target) {
    m_flags |= NOT_LOADED;
    m_valid = 0;
    // Appended windows only ever hold new bytes, so they need no block alignment.
    m_windowStart = (m_flags & APPEND) ? target : target & m_blockMask;
    m_offset = target - m_windowStart;
}

// Whole windows are moved straight between the caller's memory and the inferior when
// the window holds nothing of value: the bytes reach the system at the same block-aligned
// offsets, without the extra copy.
bool FileBuffer::canBypass(uint32_t count) const {
    return (m_flags & NOT_LOADED) && m_offset == 0 && count >= m_bufferSize;
}

uint32_t FileBuffer::readDirect(uint8_t* out, uint32_t count) {
    uint32_t whole = count - count % m_bufferSize;
    if (!seekInferior(m_windowStart))
        return 0;
    uint32_t got = m_file->read(out, whole);
    m_inferiorPos += got;
    moveWindowTo(m_windowStart + got);
    return got;
}

uint32_t FileBuffer::writeDirect(const uint8_t* in, uint32_t count) {
    uint32_t whole = count - count % m_bufferSize;
    if (!seekInferior(m_windowStart))
        return 0;
    uint32_t written = m_file->write(in, whole);
    m_inferiorPos += written;
    uint32_t end = m_windowStart + written;
    if (end > m_size)
        m_size = end;
    moveWindowTo(end);
    return written;
}

bool FileBuffer::nextWindowIfUsedUp() {
    if (m_offset < m_bufferSize)
        return true;
    if ((m_flags & DIRTY) && !flushWindow())
        return false;
    moveWindowTo(m_windowStart + m_bufferSize);
    return true;
}

uint32_t FileBuffer::read(void* buffer, uint32_t count) {
    if (!m_file || !(m_flags & READ))
        return 0;
    uint32_t pos = position();
    if (pos >= m_size)
        return 0;
    count = std::min(count, m_size - pos);
    uint8_t* out = static_cast<uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < count) {
        if (!nextWindowIfUsedUp())
            break;
        if (canBypass(count - done)) {
            uint32_t want = (count - done) - (count - done) % m_bufferSize;
            uint32_t got = readDirect(out + done, count - done);
            done += got;
            if (got < want)
                break;
            continue;
        }
        if (m_flags & NOT_LOADED)
            load();
        // Only bytes the window really holds: a short load never hands out stale ones.
        uint32_t available = m_valid > m_offset ? m_valid - m_offset : 0;
        if (available == 0)
            break;
        uint32_t n = std::min(available, count - done);
        std::memcpy(out + done, m_window + m_offset, n);
        m_offset += n;
        done += n;
    }
    return done;
}

uint32_t FileBuffer::write(const void* buffer, uint32_t count) {
    if (!m_file || !(m_flags & WRITE))
        return 0;
    const uint8_t* in = static_cast<const uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < count) {
        if (!nextWindowIfUsedUp())
            break;
        if (canBypass(count - done)) {
            uint32_t want = (count - done) - (count - done) % m_bufferSize;
            uint32_t written = writeDirect(in + done, count - done);
            done += written;
            if (written < want)
                break;
            continue;
        }
        if (m_flags & NOT_LOADED) {
            // A window over existing bytes is read first, also when the write starts at
            // or past the end inside it: writing it out later must not put unread bytes
            // back over the file.
            if (m_windowStart < m_size && !(m_flags & APPEND)) {
                load();
            } else {
                m_flags &= ~NOT_LOADED;
                m_valid = 0;
            }
        }
        if (m_valid < expectedValid())
            break; // the window could not be read: writing it out would put garbage on disk
        uint32_t n = std::min(m_bufferSize - m_offset, count - done);
        std::memcpy(m_window + m_offset, in + done, n);
        m_offset += n;
        m_valid = std::max(m_valid, m_offset);
        m_flags |= DIRTY;
        done += n;
        if (position() > m_size)
            m_size = position();
    }
    return done;
}

uint32_t FileBuffer::seek(int origin, int32_t offset) {
    if (!m_file)
        return INVALID_POSITION;
    if (m_flags & APPEND)
        return static_cast<uint32_t>(offset);
    int64_t target = 0;
    switch (origin) {
    case FILE_SEEK_BEGIN:
        target = offset;
        break;
    case FILE_SEEK_END:
        target = offset > 0 ? -1 : static_cast<int64_t>(m_size) + offset;
        break;
    case FILE_SEEK_CURRENT:
        target = static_cast<int64_t>(position()) + offset;
        break;
    default:
        ZEM_ASSERT_MSG(false, L"seek origin is 0, 1 or 2");
    }
    if (target < 0 || target > static_cast<int64_t>(m_size)) {
        logMessage(LOG_INFO, logSource(), L"FileBuffer: Seek position is out of range\n");
        fileFail(target < 0 ? ERROR_NEGATIVE_SEEK : ERROR_SEEK, getPath());
        return INVALID_POSITION;
    }
    uint32_t to = static_cast<uint32_t>(target);
    if (to >= m_windowStart && to - m_windowStart < m_bufferSize) {
        m_offset = to - m_windowStart;
        return to;
    }
    if ((m_flags & DIRTY) && !flushWindow())
        return INVALID_POSITION;
    moveWindowTo(to);
    return to;
}

bool FileBuffer::truncate() {
    if (!m_file || !(m_flags & WRITE))
        return false;
    // Bytes of the window that stay must be in the file before it is cut.
    if ((m_flags & DIRTY) && !flushWindow())
        return false;
    uint32_t pos = position();
    if (!seekInferior(pos) || !m_file->truncate())
        return false;
    m_size = pos;
    uint32_t kept = m_windowStart < m_size ? m_size - m_windowStart : 0;
    m_valid = std::min(m_valid, kept);
    return true;
}

bool FileBuffer::flush() {
    if (!m_file)
        return false;
    if (!(m_flags & DIRTY))
        return true;
    bool written = flushWindow();
    return m_file->flush() && written;
}

} // namespace zem
