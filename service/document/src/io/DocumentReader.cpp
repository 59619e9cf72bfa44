#include "DocumentReader.h"

#include "corvel/document/Document.h"
#include "corvel/document/DocumentIO.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/text/DecodeToUtf16.h"
#include "corvel/text/EncodingMark.h"
#include "corvel/text/Utf8Decoder.h"
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
        m_scanner.lineStarts().clear();
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
        start += decodeChunk(raw.get() + start, available - start, units.get(), final);
        m_appendTicks += GetTickCount() - started;
        carry = available - start;
        std::memmove(raw.get(), raw.get() + start, carry);
    }
    zem::logMessage(1, LOG_SOURCE_DOCUMENT, L"DocumentIO: Data read time: %d", static_cast<int>(m_appendTicks));
    return true;
}

size_t DocumentReader::decodeChunk(const uint8_t* bytes, size_t count, wchar_t* units, bool final) {
    if (m_codePage == CP_UTF8_PLAIN || m_codePage == CP_UTF8_MARK) {
        // Straight from the bytes into the text: a UTF-8 byte gives at most one unit.
        m_scanner.begin(*m_text, count);
        const size_t consumed = m_scanner.putUtf8(bytes, count, final);
        m_scanner.end();
        return consumed;
    }
    size_t start = 0;
    while (start < count) {
        size_t byteCount = count - start;
        size_t unitCount = BATCH;
        decodeToUtf16(units, bytes + start, byteCount, m_codePage, unitCount, final);
        if (byteCount == 0 && unitCount == 0)
            break; // an incomplete tail waits for the next chunk
        start += byteCount;
        m_scanner.begin(*m_text, unitCount);
        for (size_t i = 0; i < unitCount; ++i)
            m_scanner.put(units[i]);
        m_scanner.end();
    }
    return start;
}

void DocumentReader::finish() {
    m_scanner.begin(*m_text, 0);
    m_scanner.flushPending();
    m_scanner.end();
    BlockList& lineStarts = m_scanner.lineStarts();
    const size_t breaks = lineStarts.size();
    std::unique_ptr<int32_t[]> starts(new int32_t[breaks ? breaks : 1]);
    lineStarts.flatten(starts.get(), breaks);
    lineStarts.clear();
    // The estimate of one unit per byte plus an eighth is seldom all needed.
    m_text->releaseSpareRoom();
    m_document->installLoadedText(static_cast<int32_t>(breaks), std::move(m_text), starts.get());
    starts.reset();
    FormatDetection detection;
    if (m_manager)
        m_manager->detectFormat(m_document, detection);
    DocumentState& state = m_document->lockState();
    state.loadConfidence = 1.0f;
    state.detectedCodePage = static_cast<int32_t>(m_codePage);
    state.detection = detection;
    state.lineEndingVote = voteLineEnding(m_scanner.crlfCount(), m_scanner.crCount(), m_scanner.lfCount());
    m_document->unlockState();
}

} // namespace corvel
