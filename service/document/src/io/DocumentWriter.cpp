#include "DocumentWriter.h"

#include "corvel/document/Document.h"
#include "corvel/text/EncodingMark.h"
#include "corvel/text/TextEncoder.h"
#include "zem/base/Error.h"
#include "zem/files/File.h"

#include <windows.h>

#include <memory>

namespace corvel {

namespace {

const int32_t PIECE = 0x100000;

bool isHighSurrogate(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

class FileSink : public ByteSink {
public:
    explicit FileSink(zem::File* file) : m_file(file) {}

    bool writeBytes(const void* bytes, size_t count) override {
        if (count == 0)
            return true;
        if (m_file->write(bytes, static_cast<uint32_t>(count)) == count)
            return true;
        if (zem::lastErrorCode() == 0)
            zem::setError(ERROR_WRITE_FAULT);
        return false;
    }

private:
    zem::File* m_file;
};

// Hands the units to the encoder in pieces of at most PIECE units, never between the two
// halves of a surrogate pair.
bool encodePieces(TextEncoder& encoder, const wchar_t* units, size_t count, ByteSink& sink) {
    while (count > 0) {
        size_t piece = count < size_t(PIECE) ? count : size_t(PIECE);
        if (piece < count && isHighSurrogate(units[piece - 1]))
            --piece;
        if (!encoder.encode(units, piece, sink))
            return false;
        units += piece;
        count -= piece;
    }
    return true;
}

// Writes the units with every LF as CR LF or as CR; returns the units written.
size_t expandBreaks(const wchar_t* units, int32_t count, bool crlf, wchar_t* out) {
    wchar_t* start = out;
    for (int32_t i = 0; i < count; ++i) {
        const wchar_t unit = units[i];
        if (unit != L'\n') {
            *out++ = unit;
            continue;
        }
        *out++ = L'\r';
        if (crlf)
            *out++ = L'\n';
    }
    return static_cast<size_t>(out - start);
}

} // namespace

bool DocumentWriter::write(zem::File* file) {
    const DocumentState state = m_document->getState();
    std::unique_ptr<TextEncoder> encoder = TextEncoder::forCodePage(state.codePage);
    FileSink sink(file);
    const EncodingMark& mark = encodingMarkFor(state.codePage);
    if (mark.length != 0 && !sink.writeBytes(mark.bytes, mark.length))
        return false;

    // Each LF becomes the line-break units before encoding: every code page encodes CR and
    // LF as its line-break bytes, so the file is the same as when breaks are written
    // apart, at a fraction of the calls. LF breaks are encoded straight from the buffer.
    std::unique_ptr<wchar_t[]> expanded(new wchar_t[2 * PIECE]);
    const int32_t length = m_document->getLength();
    for (int32_t offset = 0; offset < length;) {
        int32_t count = length - offset < PIECE ? length - offset : PIECE;
        if (offset + count < length && isHighSurrogate(m_document->getChar(offset + count - 1)))
            --count;
        const GapBuffer::View view = m_document->readText(offset, count);
        const wchar_t* units = view.data();
        size_t unitCount = static_cast<size_t>(count);
        if (state.lineEnding != LINE_ENDING_LF) {
            unitCount = expandBreaks(units, count, state.lineEnding == LINE_ENDING_CRLF, expanded.get());
            units = expanded.get();
        }
        if (!encodePieces(*encoder, units, unitCount, sink))
            return false;
        offset += count;
    }
    return true;
}

} // namespace corvel
