#include "zem/text/StreamTextWriter.h"

#include "zem/base/Assert.h"
#include "zem/base/Exception.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <cstring>

namespace zem {

namespace {

// Converters without a fixed byte order put their own mark before the first text they
// encode; the writer's preamble would double it.
bool converterWritesMark(UConverter* converter) {
    const UConverterType type = ucnv_getType(converter);
    return type == UCNV_UTF16 || type == UCNV_UTF32;
}

} // namespace

StreamTextWriter::StreamTextWriter(std::ostream& stream, TextEncodingPtr encoding) : m_stream(&stream) {
    if (!encoding)
        throw NullPointerException(L"Null reference.");
    m_encoding = std::move(encoding);
    ucnv_resetFromUnicode(m_encoding->getConverter());
    m_encoded.resize(static_cast<size_t>(m_encoding->getMaxCharSize()) * PENDING_SIZE);
}

StreamTextWriter::~StreamTextWriter() {
    if (!m_stream)
        return;
    try {
        flushOut(true);
    } catch (...) {
        // A destructor cannot report; close() is the way to learn of a failed final write.
    }
}

void StreamTextWriter::checkOpen() const {
    if (!m_stream)
        throw IllegalStateException(L"stream is closed");
}

int StreamTextWriter::put(wchar_t unit) {
    checkOpen();
    append(&unit, 1);
    flushOut(false);
    return 1;
}

int StreamTextWriter::write(const wchar_t* buffer, int count) {
    checkOpen();
    if (!buffer || count <= 0)
        return 0;
    append(buffer, count);
    flushOut(false);
    return count;
}

int StreamTextWriter::writeLine(const wchar_t* buffer, int count) {
    checkOpen();
    const wchar_t* lineBreak = nullptr;
    switch (m_lineEnding) {
    case LINE_ENDING_CRLF:
        lineBreak = L"\r\n";
        break;
    case LINE_ENDING_LF:
        lineBreak = L"\n";
        break;
    case LINE_ENDING_CR:
        lineBreak = L"\r";
        break;
    default:
        throw IllegalStateException(L"Unexpected state");
    }
    int written = 0;
    if (buffer && count > 0) {
        append(buffer, count);
        written = count;
    }
    const int breakLength = static_cast<int>(std::wcslen(lineBreak));
    append(lineBreak, breakLength);
    flushOut(false);
    return written + breakLength;
}

void StreamTextWriter::close() {
    checkOpen();
    flushOut(true);
    m_stream = nullptr;
}

void StreamTextWriter::flushOut(bool final) {
    convertPending(final);
    m_stream->flush();
    // A buffering stream learns that its bytes could not be stored only here.
    checkStream();
}

void StreamTextWriter::append(const wchar_t* buffer, int count) {
    while (count > 0) {
        if (m_pendingCount == PENDING_SIZE)
            convertPending(false);
        const int n = std::min(count, PENDING_SIZE - m_pendingCount);
        std::memcpy(m_pending + m_pendingCount, buffer, static_cast<size_t>(n) * sizeof(wchar_t));
        m_pendingCount += n;
        buffer += n;
        count -= n;
    }
}

void StreamTextWriter::convertPending(bool final) {
    UConverter* converter = m_encoding->getConverter();
    const UChar* source = reinterpret_cast<const UChar*>(m_pending);
    const UChar* sourceLimit = source + m_pendingCount;
    for (;;) {
        char* target = m_encoded.data();
        UErrorCode status = U_ZERO_ERROR;
        ucnv_fromUnicode(converter, &target, m_encoded.data() + m_encoded.size(), &source, sourceLimit, nullptr,
                         final ? 1 : 0, &status);
        const size_t produced = static_cast<size_t>(target - m_encoded.data());
        if (produced > 0) {
            if (!m_preambleWritten && converterWritesMark(converter))
                m_preambleWritten = true;
            writePreambleOnce();
            writeBytes(m_encoded.data(), produced);
        }
        // Stateful encodings may need more than the buffer holds: overflow means "again".
        if (status == U_BUFFER_OVERFLOW_ERROR)
            continue;
        ZEM_ASSERT_MSG(TextEncoding::isSuccess(status), L"status == TextEncoding::S_Success");
        break;
    }
    m_pendingCount = 0;
    if (final)
        writePreambleOnce();
}

void StreamTextWriter::writePreambleOnce() {
    if (m_preambleWritten)
        return;
    m_preambleWritten = true;
    size_t length = 0;
    const uint8_t* preamble = m_encoding->getPreamble(&length);
    if (preamble && length > 0)
        writeBytes(reinterpret_cast<const char*>(preamble), length);
}

void StreamTextWriter::writeBytes(const char* bytes, size_t count) {
    m_stream->write(bytes, static_cast<std::streamsize>(count));
    checkStream();
}

void StreamTextWriter::checkStream() const {
    // A silently short write would lose the user's text.
    if (m_stream->fail())
        throw IOException(L"StreamTextWriter: cannot write to the stream.");
}

} // namespace zem
