#include "DocumentReader.h"

#include "corvel/document/Document.h"
#include "corvel/document/DocumentIO.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/text/DecodeToUtf16.h"
#include "corvel/text/EncodingMark.h"
#include "corvel/text/Utf8Text.h"
#include "zem/base/Error.h"
#include "zem/files/File.h"
#include "zem/log/LogManager.h"

#include <windows.h>

#include <cstring>
#include <new>

namespace corvel {

namespace {

const uint32_t CHUNK = 0x100000;
// Units decoded at a time: few enough to stay in the cache until they are scanned.
const size_t BATCH = 8192;
const int64_t MIN_CAPACITY = 0x10000;
const uint32_t LOG_SOURCE_DOCUMENT = 0; // the general log source

bool isBreak(wchar_t unit) {
    return unit <= L'\r' && (unit == L'\r' || unit == L'\n');
}

} // namespace

DocumentReader::DocumentReader(Document* document, DocumentManager* manager)
    : m_document(document), m_manager(manager) {}

bool DocumentReader::fail(uint32_t code) {
    m_document->resetForLoad();
    zem::setError(code);
    return false;
}

bool DocumentReader::read(zem::File* file) {
    const uint32_t size = file->getSize();
    if (size == zem::File::INVALID_POSITION)
        return fail(zem::lastErrorCode() != 0 ? zem::lastErrorCode() : ERROR_READ_FAULT);
    if (size == 0) {
        DocumentState& state = m_document->lockState();
        state.loadConfidence = 0;
        state.detectedCodePage = 0;
        state.detection = FormatDetection();
        state.lineEndingVote = LineEndingVote();
        m_document->unlockState();
        return true;
    }
    try {
        if (!readChunks(file, size))
            return false;
        finish();
    } catch (const std::bad_alloc&) {
        m_text.reset();
        m_lineStarts.clear();
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    return true;
}

void DocumentReader::startText(const uint8_t* firstChunk, size_t length, uint32_t size) {
    const EncodingMark* mark = &findEncodingMark(length, firstChunk);
    if (mark->length == 0 && isUtf8Text(firstChunk, length))
        mark = &plainUtf8Mark();
    m_codePage = mark->codePage;
    m_skip = mark->length;
    int64_t capacity = int64_t(size) + size / 8;
    if (m_codePage == CP_UTF16_LE || m_codePage == CP_UTF16_BE)
        capacity /= 2;
    if (capacity < MIN_CAPACITY)
        capacity = MIN_CAPACITY;
    if (capacity > INT32_MAX / 2)
        throw std::bad_alloc();
    m_text = std::make_unique<GapBuffer>(static_cast<int32_t>(capacity));
}

bool DocumentReader::readChunks(zem::File* file, uint32_t size) {
    std::unique_ptr<uint8_t[]> raw(new uint8_t[size < CHUNK ? size : CHUNK]);
    std::unique_ptr<wchar_t[]> units(new wchar_t[BATCH]);
    size_t carry = 0;
    uint32_t remaining = size;
    bool first = true;
    while (remaining > 0) {
        uint32_t length = remaining < CHUNK ? remaining : CHUNK;
        if (length + carry > CHUNK)
            length = static_cast<uint32_t>(CHUNK - carry);
        const uint32_t got = file->read(raw.get() + carry, length);
        if (got != length) {
            // The code goes first: resetting the document makes file calls of its own.
            const uint32_t code = zem::lastErrorCode();
            return fail(code != 0 ? code : ERROR_READ_FAULT);
        }
        remaining -= length;
        size_t available = carry + length;
        size_t start = 0;
        if (first) {
            startText(raw.get(), available, size);
            start = m_skip;
            first = false;
        }
        const bool final = remaining == 0;
        const DWORD started = GetTickCount();
        while (start < available) {
            size_t byteCount = available - start;
            size_t unitCount = BATCH;
            decodeToUtf16(units.get(), raw.get() + start, byteCount, m_codePage, unitCount, final);
            if (byteCount == 0 && unitCount == 0)
                break; // an incomplete tail waits for the next chunk
            start += byteCount;
            scan(units.get(), unitCount);
        }
        m_appendTicks += GetTickCount() - started;
        carry = available - start;
        std::memmove(raw.get(), raw.get() + start, carry);
    }
    zem::logMessage(1, LOG_SOURCE_DOCUMENT, L"DocumentIO: Data read time: %d", static_cast<int>(m_appendTicks));
    return true;
}

void DocumentReader::emitBreak(int32_t kind) {
    *m_out++ = L'\n';
    m_lineStarts.append(m_outBase + static_cast<int32_t>(m_out - m_outStart));
    if (kind == LINE_ENDING_CR)
        ++m_crCount;
    else if (kind == LINE_ENDING_LF)
        ++m_lfCount;
    else
        ++m_crlfCount;
}

void DocumentReader::emitPendingBreak() {
    if (m_pendingCr)
        emitBreak(LINE_ENDING_CR);
    else if (m_pendingLf)
        emitBreak(LINE_ENDING_LF);
    m_pendingCr = false;
    m_pendingLf = false;
}

// Text goes straight into the gap buffer's room; a CR or LF stays pending until the next
// unit shows which break it belongs to, so CR LF split between chunks is still one break.
void DocumentReader::scan(const wchar_t* units, size_t count) {
    m_outBase = m_text->getLength();
    // Each unit gives at most one unit, and a break pending from the last chunk one more.
    m_outStart = m_text->appendRoom(static_cast<int32_t>(count + 1));
    m_out = m_outStart;
    const wchar_t* in = units;
    const wchar_t* const end = units + count;
    while (in < end) {
        if (!m_pendingCr && !m_pendingLf) {
            // The common case: copy up to the next break with nothing pending.
            wchar_t* out = m_out;
            while (in < end && !isBreak(*in))
                *out++ = *in++;
            m_out = out;
            if (in == end)
                break;
        }
        const wchar_t unit = *in++;
        if (unit == L'\n') {
            if (m_pendingLf) {
                emitBreak(LINE_ENDING_LF);
            } else if (m_pendingCr) {
                emitBreak(LINE_ENDING_CRLF);
                m_pendingLf = false;
            } else {
                m_pendingLf = true;
            }
            m_pendingCr = false;
        } else if (unit == L'\r') {
            emitPendingBreak();
            m_pendingCr = true;
        } else {
            emitPendingBreak();
            *m_out++ = unit;
        }
    }
    m_text->commitAppend(static_cast<int32_t>(m_out - m_outStart));
}

void DocumentReader::finishPending() {
    m_outBase = m_text->getLength();
    m_outStart = m_text->appendRoom(1);
    m_out = m_outStart;
    emitPendingBreak();
    m_text->commitAppend(static_cast<int32_t>(m_out - m_outStart));
}

void DocumentReader::finish() {
    finishPending();
    const size_t breaks = m_lineStarts.size();
    std::unique_ptr<int32_t[]> starts(new int32_t[breaks ? breaks : 1]);
    m_lineStarts.flatten(starts.get(), breaks);
    m_lineStarts.clear();
    // The estimate of one unit per byte plus an eighth is seldom all needed.
    m_text->releaseSpareRoom();
    m_document->installLoadedText(static_cast<int32_t>(breaks), std::move(m_text), starts.get());
    starts.reset();
    const FormatDetection detection = m_manager ? m_manager->detectFormat(m_document) : FormatDetection();
    DocumentState& state = m_document->lockState();
    state.loadConfidence = 1.0f;
    state.detectedCodePage = static_cast<int32_t>(m_codePage);
    state.detection = detection;
    state.lineEndingVote = voteLineEnding(m_crlfCount, m_crCount, m_lfCount);
    m_document->unlockState();
}

} // namespace corvel
