#include "corvel/document/JournalCursor.h"

#include "undo/LittleEndian.h"
#include "zem/files/File.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace corvel {

namespace {

// Largest payload and back distance whose quarters fit one byte, then two bytes.
constexpr uint32_t CLASS0_MAX_PAYLOAD = 1016;
constexpr uint32_t CLASS0_MAX_BACK = 1020;
constexpr uint32_t CLASS1_MAX_PAYLOAD = 0x3FFF6;
constexpr uint32_t CLASS1_MAX_BACK = 262140;
constexpr uint32_t HEADER_SIZES[3] = {3, 5, 9};
constexpr uint32_t COPY_PIECE = 8192;
constexpr uint32_t PAD_PIECE = 32;

} // namespace

JournalCursor::JournalCursor(zem::File* file) : m_file(file) {}

uint32_t JournalCursor::classFor(uint32_t payloadSize, uint32_t backDistance) {
    if (payloadSize <= CLASS0_MAX_PAYLOAD && backDistance <= CLASS0_MAX_BACK)
        return 0;
    if (payloadSize > CLASS1_MAX_PAYLOAD || backDistance > CLASS1_MAX_BACK)
        return 2;
    return 1;
}

uint32_t JournalCursor::totalSizeFor(uint32_t headerClass, uint32_t payloadSize) {
    // Header plus payload rounded up to a multiple of 4.
    return (payloadSize + HEADER_SIZES[headerClass] + 3) & ~3u;
}

bool JournalCursor::seekFile(uint32_t position) {
    if (!m_file)
        return false;
    uint32_t target = m_at.base + position;
    if (m_file->tell() == target)
        return true;
    return m_file->seek(zem::FILE_SEEK_BEGIN, static_cast<int32_t>(target)) == target;
}

bool JournalCursor::writeFile(const void* bytes, uint32_t count) {
    return m_file && m_file->write(bytes, count) == count;
}

bool JournalCursor::beginRecord(uint32_t type, uint32_t payloadSize) {
    if (m_mode != IDLE || type > MAX_TYPE || payloadSize > 0xFFFFFFF0u - m_at.end)
        return false;
    uint32_t back = m_at.current - m_at.previous;
    uint32_t headerClass = classFor(payloadSize, back);
    uint32_t total = totalSizeFor(headerClass, payloadSize);
    uint8_t header[9];
    uint32_t headerSize = HEADER_SIZES[headerClass];
    header[0] = static_cast<uint8_t>(type | (headerClass << 6));
    if (headerClass == 0) {
        header[1] = static_cast<uint8_t>(back / 4);
        header[2] = static_cast<uint8_t>(total / 4);
    } else if (headerClass == 1) {
        putU16(header + 1, back / 4);
        putU16(header + 3, total / 4);
    } else {
        putU32(header + 1, back);
        putU32(header + 5, total);
    }
    m_at.type = static_cast<int32_t>(type);
    m_at.headerClass = headerClass;
    m_at.headerSize = headerSize;
    m_at.payloadArea = total - headerSize;
    m_remaining = m_at.payloadArea;
    m_mode = WRITING;
    m_writeFailed = !seekFile(m_at.current) || !writeFile(header, headerSize);
    return !m_writeFailed;
}

uint32_t JournalCursor::write(const void* bytes, uint32_t count) {
    if (m_mode != WRITING || m_writeFailed)
        return 0;
    count = std::min(count, m_remaining);
    uint32_t written = m_file->write(bytes, count);
    m_remaining -= std::min(written, count);
    if (written != count)
        m_writeFailed = true;
    return written;
}

bool JournalCursor::endRecord() {
    if (m_mode != WRITING) {
        m_mode = IDLE;
        return true;
    }
    uint8_t padding[PAD_PIECE];
    std::memset(padding, PADDING, sizeof padding);
    while (m_remaining > 0 && !m_writeFailed) {
        uint32_t piece = std::min(m_remaining, PAD_PIECE);
        if (!writeFile(padding, piece))
            m_writeFailed = true;
        else
            m_remaining -= piece;
    }
    m_mode = IDLE;
    bool written = !m_writeFailed;
    m_writeFailed = false;
    if (written) {
        m_at.previous = m_at.current;
        m_at.next = 0;
        m_at.current += m_at.headerSize + m_at.payloadArea;
        m_at.end = m_at.current;
    }
    m_at.headerSize = m_at.payloadArea = m_remaining = 0;
    m_at.headerClass = 0;
    return written;
}

bool JournalCursor::readHeader(uint32_t position, Header& out) {
    uint8_t bytes[9];
    if (position >= m_at.end || !seekFile(position) || m_file->read(bytes, 1) != 1)
        return false;
    out.headerClass = bytes[0] >> 6;
    out.type = bytes[0] & 0x3F;
    if (out.headerClass == 3)
        return false;
    out.headerSize = HEADER_SIZES[out.headerClass];
    if (m_file->read(bytes + 1, out.headerSize - 1) != out.headerSize - 1)
        return false;
    if (out.headerClass == 0) {
        out.backDistance = bytes[1] * 4u;
        out.totalSize = bytes[2] * 4u;
    } else if (out.headerClass == 1) {
        out.backDistance = getU16(bytes + 1) * 4;
        out.totalSize = getU16(bytes + 3) * 4;
    } else {
        out.backDistance = getU32(bytes + 1);
        out.totalSize = getU32(bytes + 5);
    }
    if (out.totalSize < out.headerSize || (out.totalSize & 3) || (out.backDistance & 3))
        return false;
    if (out.totalSize > m_at.end - position || out.backDistance > position)
        return false;
    // Only the first record stands at distance 0 from its predecessor.
    return (out.backDistance == 0) == (position == 0);
}

void JournalCursor::takeHeader(uint32_t position, const Header& header) {
    m_at.current = position;
    m_at.type = static_cast<int32_t>(header.type);
    m_at.headerClass = header.headerClass;
    m_at.headerSize = header.headerSize;
    m_at.payloadArea = header.totalSize - header.headerSize;
    m_remaining = m_at.payloadArea;
    m_at.previous = position - header.backDistance;
    m_at.next = position + header.totalSize;
}

bool JournalCursor::seekTo(uint32_t position) {
    Header header;
    if (m_mode != IDLE || !readHeader(position, header))
        return false;
    takeHeader(position, header);
    return true;
}

bool JournalCursor::stepBack() {
    if (m_at.current == 0 || m_mode != IDLE)
        return false;
    Header header;
    // The record before must end exactly where the current one starts.
    if (!readHeader(m_at.previous, header) || m_at.previous + header.totalSize != m_at.current)
        return false;
    takeHeader(m_at.previous, header);
    return true;
}

bool JournalCursor::stepForward() {
    if (m_at.current == m_at.end || m_mode != IDLE)
        return false;
    uint32_t next = m_at.next;
    if (next == 0) {
        Header here;
        if (!readHeader(m_at.current, here))
            return false;
        next = m_at.current + here.totalSize;
    }
    if (next == m_at.end) {
        m_at.previous = m_at.current;
        m_at.current = m_at.end;
        m_at.next = 0;
        m_at.headerClass = m_at.headerSize = m_at.payloadArea = m_remaining = 0;
        return true;
    }
    Header header;
    if (!readHeader(next, header) || next - header.backDistance != m_at.current)
        return false;
    takeHeader(next, header);
    return true;
}

int JournalCursor::beginRead() {
    if (m_mode != IDLE || m_at.current == m_at.end)
        return -1;
    if (m_at.headerSize == 0) {
        // Positions restored from a mark may not carry the record's shape.
        Header header;
        if (!readHeader(m_at.current, header))
            return -1;
        takeHeader(m_at.current, header);
    }
    if (!seekFile(m_at.current + m_at.headerSize))
        return -1;
    m_remaining = m_at.payloadArea;
    m_mode = READING;
    return m_at.type;
}

uint32_t JournalCursor::read(void* bytes, uint32_t count) {
    if (m_mode != READING)
        return 0;
    count = std::min(count, m_remaining);
    if (count == 0)
        return 0;
    uint32_t got = m_file->read(bytes, count);
    got = std::min(got, count);
    m_remaining -= got;
    return got;
}

bool JournalCursor::rewritePayload(uint32_t position, const void* bytes, uint32_t count) {
    Header header;
    if (m_mode != IDLE || !readHeader(position, header) || count > header.totalSize - header.headerSize)
        return false;
    return seekFile(position + header.headerSize) && writeFile(bytes, count);
}

std::unique_ptr<JournalCursor> JournalCursor::clone() const {
    std::unique_ptr<JournalCursor> copy(new JournalCursor(*this));
    copy->m_at.base = m_at.end - m_at.current;
    copy->m_mode = IDLE;
    copy->m_writeFailed = false;
    return copy;
}

bool JournalCursor::adopt(const JournalCursor& clone) {
    if (clone.m_file != m_file || !m_file || m_mode != IDLE || clone.m_at.end < m_at.current)
        return false;
    uint32_t from = clone.m_at.base + m_at.current;
    uint32_t to = m_at.base + m_at.current;
    uint32_t left = clone.m_at.end - m_at.current;
    std::vector<uint8_t> piece(std::min(left, COPY_PIECE));
    // The destination lies below the source, so copying forward never reads what it wrote.
    while (left > 0) {
        uint32_t n = std::min(left, COPY_PIECE);
        if (m_file->seek(zem::FILE_SEEK_BEGIN, static_cast<int32_t>(from)) != from || m_file->read(piece.data(), n) != n)
            return false;
        if (m_file->seek(zem::FILE_SEEK_BEGIN, static_cast<int32_t>(to)) != to || m_file->write(piece.data(), n) != n)
            return false;
        from += n;
        to += n;
        left -= n;
    }
    JournalMark taken = clone.mark();
    taken.base = m_at.base;
    restore(taken);
    return true;
}

JournalMark JournalCursor::mark() const {
    return m_at;
}

void JournalCursor::restore(const JournalMark& mark) {
    m_at = mark;
    m_remaining = 0;
    m_mode = IDLE;
    m_writeFailed = false;
}

} // namespace corvel
