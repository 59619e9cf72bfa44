// Decodes a byte stream into UTF-16 through a TextEncoding, optionally choosing the
// encoding from a byte-order mark. The stream is not owned.
#pragma once
#include "zem/text/TextReader.h"

#include <cstdint>
#include <istream>
#include <vector>

namespace zem {

class StreamTextReader : public TextReader {
public:
    // Bytes taken from the stream at a time; large enough that a big file costs few
    // stream reads and converter calls.
    static constexpr int RAW_BUFFER_SIZE = 16384;

    // Reads UTF-16LE; only when that converter is missing does it detect a mark.
    explicit StreamTextReader(std::istream& stream);
    // Reads in the given encoding; with an empty one the encoding comes from the
    // byte-order mark, and text without a mark is read as UTF-8.
    StreamTextReader(std::istream& stream, TextEncodingPtr encoding);
    ~StreamTextReader() override;

    int read(wchar_t* buffer, int count) override;
    int readAll(std::wstring& text) override;
    int readLine(std::wstring& text) override;
    int peek() override;
    int read() override;
    void close() override;

    bool isClosed() const { return m_stream == nullptr; }

private:
    void checkOpen() const;
    // Makes decoded units available; false at the end of input.
    bool ensureDecoded();
    // Decodes into target (room units); returns the units produced, 0 only at the end
    // of input.
    int decodeInto(wchar_t* target, int room);
    // Reads the next bytes into the raw buffer; false when the stream gave none.
    bool fillRaw();
    // Reads until the mark can be told from text, then opens the encoding it names.
    void detectEncoding();
    void useEncoding(TextEncodingPtr encoding);

    std::istream* m_stream; // null once closed
    // Raw bytes read but not yet converted are m_raw[m_rawPos, m_rawEnd).
    std::vector<uint8_t> m_raw; // RAW_BUFFER_SIZE bytes
    int m_rawPos = 0;
    int m_rawEnd = 0;
    // Decoded units not yet delivered are m_decoded[m_readPos, m_decodedEnd).
    std::vector<wchar_t> m_decoded;
    int m_readPos = 0;
    int m_decodedEnd = 0;
    bool m_inputExhausted = false; // the stream has no more bytes to give
    bool m_flushed = false;        // the converter was told the input ended
    bool m_detecting = false;
};

} // namespace zem
