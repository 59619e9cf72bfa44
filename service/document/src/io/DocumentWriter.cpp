#include "DocumentWriter.h"

#include "corvel/document/Document.h"
#include "corvel/text/EncodingMark.h"
#include "corvel/text/TextEncoder.h"
#include "zem/base/Error.h"
#include "zem/files/File.h"

#include <windows.h>

#include <cwchar>
#include <vector>

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

} // namespace

bool DocumentWriter::write(zem::File* file) {
    const DocumentState state = m_document->getState();
    std::unique_ptr<TextEncoder> encoder = TextEncoder::forCodePage(state.codePage);
    FileSink sink(file);
    const EncodingMark& mark = encodingMarkFor(state.codePage);
    if (mark.length != 0 && !sink.writeBytes(mark.bytes, mark.length))
        return false;

    const wchar_t crlf[] = {L'\r', L'\n'};
    const wchar_t* lineBreak = state.lineEnding == LINE_ENDING_CRLF ? crlf
                               : state.lineEnding == LINE_ENDING_LF ? crlf + 1
                                                                    : crlf;
    const size_t breakLength = state.lineEnding == LINE_ENDING_CRLF ? 2 : 1;

    // Each LF becomes the line-break units before encoding: every code page encodes CR and
    // LF as its line-break bytes, so the file is the same as when breaks are written
    // apart, at a fraction of the calls.
    std::vector<wchar_t> source(PIECE + 1);
    std::vector<wchar_t> expanded;
    expanded.reserve(2 * PIECE + 2);
    const int32_t length = m_document->getLength();
    for (int32_t offset = 0; offset < length;) {
        int32_t count = length - offset < PIECE ? length - offset : PIECE;
        m_document->getText(offset, count, source.data());
        if (offset + count < length && isHighSurrogate(source[count - 1]))
            --count;
        expanded.clear();
        const wchar_t* run = source.data();
        const wchar_t* end = run + count;
        while (run < end) {
            const wchar_t* lf = std::wmemchr(run, L'\n', end - run);
            const wchar_t* stop = lf ? lf : end;
            expanded.insert(expanded.end(), run, stop);
            if (lf)
                expanded.insert(expanded.end(), lineBreak, lineBreak + breakLength);
            run = lf ? lf + 1 : end;
        }
        if (!encodePieces(*encoder, expanded.data(), expanded.size(), sink))
            return false;
        offset += count;
    }
    return true;
}

} // namespace corvel
