// Encodes UTF-16 into a byte stream through a TextEncoding, with the encoding's
// preamble written once before the text. Every call ends with the stream flushed.
// The stream is not owned.
#pragma once
#include "zem/text/TextWriter.h"

#include <cstdint>
#include <ostream>
#include <vector>

namespace zem {

class StreamTextWriter : public TextWriter {
public:
    static constexpr int PENDING_SIZE = 128;

    // Throws NullPointerException when encoding is empty.
    StreamTextWriter(std::ostream& stream, TextEncodingPtr encoding);
    // Flushes the converter's last state when the stream is still open.
    ~StreamTextWriter() override;

    using TextWriter::write;
    using TextWriter::writeLine;
    int put(wchar_t unit) override;
    int write(const wchar_t* buffer, int count) override;
    int writeLine(const wchar_t* buffer, int count) override;
    void close() override;

    bool isClosed() const { return m_stream == nullptr; }

private:
    void checkOpen() const;
    // Every call ends here: the writer flushes automatically.
    void flushOut(bool final);
    void append(const wchar_t* buffer, int count);
    // Converts the pending units and writes the bytes; final also drains the converter.
    void convertPending(bool final);
    void writeBytes(const char* bytes, size_t count);
    // Throws IOException when the stream failed.
    void checkStream() const;
    void writePreambleOnce();

    std::ostream* m_stream; // null once closed
    wchar_t m_pending[PENDING_SIZE];
    int m_pendingCount = 0;      // 0 <= m_pendingCount <= PENDING_SIZE
    std::vector<char> m_encoded; // max char size x PENDING_SIZE bytes
    bool m_preambleWritten = false;
};

} // namespace zem
