#include "zem/text/StreamTextReader.h"

#include "zem/base/Assert.h"
#include "zem/base/Exception.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <cstring>

namespace zem {

namespace {

// A mark is at most four bytes; with fewer in hand the text could still turn out to
// start with a longer one.
const int LONGEST_MARK = 4;
// readAll moves text in pieces of this many units.
const int READ_ALL_PIECE = 16384;

bool startsWith(const uint8_t* bytes, int count, const uint8_t* mark, int markLength) {
    return count >= markLength && std::memcmp(bytes, mark, static_cast<size_t>(markLength)) == 0;
}

} // namespace

StreamTextReader::StreamTextReader(std::istream& stream) : m_stream(&stream), m_raw(RAW_BUFFER_SIZE) {
    TextEncodingPtr encoding = TextEncoding::forName(L"UTF-16LE");
    if (encoding)
        useEncoding(encoding);
    else
        m_detecting = true;
}

StreamTextReader::StreamTextReader(std::istream& stream, TextEncodingPtr encoding)
    : m_stream(&stream), m_raw(RAW_BUFFER_SIZE) {
    if (encoding)
        useEncoding(std::move(encoding));
    else
        m_detecting = true;
}

StreamTextReader::~StreamTextReader() = default;

void StreamTextReader::checkOpen() const {
    if (!m_stream)
        throw IllegalStateException(L"stream is closed");
}

void StreamTextReader::useEncoding(TextEncodingPtr encoding) {
    ZEM_ASSERT(encoding != nullptr);
    m_encoding = std::move(encoding);
    ucnv_resetToUnicode(m_encoding->getConverter());
    m_decoded.assign(static_cast<size_t>(m_encoding->getMinCharSize()) * RAW_BUFFER_SIZE, 0);
    m_readPos = 0;
    m_decodedEnd = 0;
}

bool StreamTextReader::fillRaw() {
    if (m_rawPos > 0) {
        std::memmove(m_raw.data(), m_raw.data() + m_rawPos, static_cast<size_t>(m_rawEnd - m_rawPos));
        m_rawEnd -= m_rawPos;
        m_rawPos = 0;
    }
    if (m_inputExhausted || m_stream->eof()) {
        m_inputExhausted = true;
        return false;
    }
    const int wanted = RAW_BUFFER_SIZE - m_rawEnd;
    if (wanted == 0)
        return true;
    m_stream->read(reinterpret_cast<char*>(m_raw.data() + m_rawEnd), wanted);
    const int got = static_cast<int>(m_stream->gcount());
    // Ending early because the stream failed would pass a cut text off as whole.
    if (m_stream->bad())
        throw IOException(L"StreamTextReader: cannot read from the stream.");
    m_rawEnd += got;
    if (got < wanted)
        m_inputExhausted = true;
    return got > 0;
}

void StreamTextReader::detectEncoding() {
    // Short reads and tiny inputs ("{}") must not decide too early or not at all.
    while (m_rawEnd - m_rawPos < LONGEST_MARK && !m_inputExhausted)
        fillRaw();
    static const uint8_t UTF16BE[] = {0xFE, 0xFF};
    static const uint8_t UTF32LE[] = {0xFF, 0xFE, 0x00, 0x00};
    static const uint8_t UTF16LE[] = {0xFF, 0xFE};
    static const uint8_t UTF8[] = {0xEF, 0xBB, 0xBF};
    static const uint8_t UTF32BE[] = {0x00, 0x00, 0xFE, 0xFF};
    const uint8_t* bytes = m_raw.data() + m_rawPos;
    const int count = m_rawEnd - m_rawPos;
    const wchar_t* name = L"UTF-8";
    int markLength = 0;
    if (startsWith(bytes, count, UTF16BE, 2)) {
        name = L"UTF-16BE";
        markLength = 2;
    } else if (startsWith(bytes, count, UTF32LE, 4)) {
        name = L"UTF-32LE";
        markLength = 4;
    } else if (startsWith(bytes, count, UTF16LE, 2)) {
        name = L"UTF-16LE";
        markLength = 2;
    } else if (startsWith(bytes, count, UTF8, 3)) {
        markLength = 3;
    } else if (startsWith(bytes, count, UTF32BE, 4)) {
        name = L"UTF-32BE";
        markLength = 4;
    }
    m_rawPos += markLength;
    m_detecting = false;
    TextEncodingPtr encoding = TextEncoding::forName(name);
    ZEM_ASSERT_MSG(encoding != nullptr, L"the Unicode converters are built into the converter library");
    useEncoding(encoding);
}

int StreamTextReader::decodeInto(wchar_t* target, int room) {
    ZEM_ASSERT(room > 0);
    UConverter* converter = m_encoding->getConverter();
    for (;;) {
        if (m_rawPos == m_rawEnd) {
            if (m_flushed)
                return 0;
            if (!m_inputExhausted)
                fillRaw();
        }
        // Once the stream has nothing more, the converter must give up what it holds
        // back (a cut sequence), also when the input ended on a block boundary.
        const UBool flush = m_inputExhausted ? 1 : 0;
        UChar* out = reinterpret_cast<UChar*>(target);
        const char* in = reinterpret_cast<const char*>(m_raw.data() + m_rawPos);
        UErrorCode status = U_ZERO_ERROR;
        ucnv_toUnicode(converter, &out, reinterpret_cast<UChar*>(target + room), &in,
                       reinterpret_cast<const char*>(m_raw.data() + m_rawEnd), nullptr, flush, &status);
        m_rawPos = static_cast<int>(reinterpret_cast<const uint8_t*>(in) - m_raw.data());
        const int produced = static_cast<int>(reinterpret_cast<wchar_t*>(out) - target);
        // Overflow only means the room is used up; the rest stays for the next call.
        if (status != U_BUFFER_OVERFLOW_ERROR) {
            ZEM_ASSERT_MSG(TextEncoding::isSuccess(status), L"0 && \"Conversion failed\"");
            if (flush && m_rawPos == m_rawEnd)
                m_flushed = true;
        }
        if (produced > 0)
            return produced;
    }
}

bool StreamTextReader::ensureDecoded() {
    if (m_readPos < m_decodedEnd)
        return true;
    if (m_detecting)
        detectEncoding();
    m_readPos = 0;
    m_decodedEnd = decodeInto(m_decoded.data(), static_cast<int>(m_decoded.size()));
    return m_decodedEnd > 0;
}

int StreamTextReader::read(wchar_t* buffer, int count) {
    checkOpen();
    if (!buffer)
        throw NullPointerException(L"buffer");
    if (count < 0)
        throw RangeException(L"count");
    if (m_detecting)
        detectEncoding();
    int done = 0;
    while (done < count) {
        if (m_readPos < m_decodedEnd) {
            const int n = std::min(count - done, m_decodedEnd - m_readPos);
            std::memcpy(buffer + done, m_decoded.data() + m_readPos, static_cast<size_t>(n) * sizeof(wchar_t));
            m_readPos += n;
            done += n;
            continue;
        }
        const int room = count - done;
        if (room >= static_cast<int>(m_decoded.size())) {
            const int n = decodeInto(buffer + done, room);
            if (n == 0)
                break;
            done += n;
            continue;
        }
        if (!ensureDecoded())
            break;
    }
    return done;
}

int StreamTextReader::readAll(std::wstring& text) {
    checkOpen();
    text.clear();
    // Converting into a piece that stays in the cache and appending it costs less than
    // growing the string and having it filled with zeros first.
    std::vector<wchar_t> piece(READ_ALL_PIECE);
    for (;;) {
        const int n = read(piece.data(), READ_ALL_PIECE);
        if (n == 0)
            break;
        text.append(piece.data(), static_cast<size_t>(n));
    }
    return static_cast<int>(text.size());
}

int StreamTextReader::readLine(std::wstring& text) {
    checkOpen();
    if (!ensureDecoded())
        return -1;
    for (;;) {
        const wchar_t* begin = m_decoded.data() + m_readPos;
        const wchar_t* end = m_decoded.data() + m_decodedEnd;
        const wchar_t* stop = std::find_if(begin, end, [](wchar_t c) { return c == L'\r' || c == L'\n'; });
        text.append(begin, stop);
        if (stop != end) {
            const bool carriageReturn = *stop == L'\r';
            m_readPos = static_cast<int>(stop - m_decoded.data()) + 1;
            if (carriageReturn && ensureDecoded() && m_decoded[m_readPos] == L'\n')
                ++m_readPos;
            return static_cast<int>(text.size());
        }
        m_readPos = m_decodedEnd;
        if (!ensureDecoded())
            return static_cast<int>(text.size());
    }
}

int StreamTextReader::peek() {
    checkOpen();
    if (!ensureDecoded())
        return -1;
    return static_cast<uint16_t>(m_decoded[m_readPos]);
}

int StreamTextReader::read() {
    checkOpen();
    if (!ensureDecoded())
        return -1;
    return static_cast<uint16_t>(m_decoded[m_readPos++]);
}

void StreamTextReader::close() {
    checkOpen();
    m_stream = nullptr;
}

} // namespace zem
