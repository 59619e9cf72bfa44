#include "zem/text/StreamTextWriter.h"

#include "zem/base/Exception.h"
#include "zem/text/StreamTextReader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

namespace {

std::string hexBytes(const std::string& bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size() && i < 24; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof(byte), "%02X ", static_cast<unsigned char>(bytes[i]));
        out += byte;
    }
    if (bytes.size() > 24)
        out += "... (" + std::to_string(bytes.size()) + " bytes)";
    return out;
}

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out += static_cast<char>(v);
    return out;
}

struct WriteCase {
    const wchar_t* encoding;
    std::wstring text;
    std::string expected;
};

::testing::AssertionResult encodes(const WriteCase& c) {
    std::ostringstream output;
    {
        zem::StreamTextWriter writer(output, zem::TextEncoding::forName(c.encoding));
        writer.write(c.text);
        writer.close();
    }
    if (output.str() == c.expected)
        return ::testing::AssertionSuccess();
    const std::wstring name = c.encoding;
    return ::testing::AssertionFailure() << std::string(name.begin(), name.end()) << " gave " << hexBytes(output.str())
                                         << ", expected " << hexBytes(c.expected);
}

TEST(StreamTextWriterTest, PreambleOnceThenTheEncodedText) {
    const WriteCase cases[] = {
        {L"UTF-8", L"x",
         "\xEF\xBB\xBF"
         "x"},
        {L"UTF-16LE", L"", bytes({0xFF, 0xFE})},
        {L"UTF-16LE", L"A\xD83D\xDE00", bytes({0xFF, 0xFE, 0x41, 0x00, 0x3D, 0xD8, 0x00, 0xDE})},
        {L"UTF16-LE", L"A", bytes({0xFF, 0xFE, 0x41, 0x00})},
        {L"UTF-16BE", L"A", bytes({0xFE, 0xFF, 0x00, 0x41})},
        {L"UTF-32LE", L"A", bytes({0xFF, 0xFE, 0x00, 0x00, 0x41, 0x00, 0x00, 0x00})},
        {L"UTF-32BE", L"A", bytes({0x00, 0x00, 0xFE, 0xFF, 0x00, 0x00, 0x00, 0x41})},
        {L"US-ASCII", L"ok", "ok"},
        {L"UTF-8", L"", "\xEF\xBB\xBF"},
        // A lone surrogate cannot be encoded; it becomes the replacement, not a failure.
        {L"UTF-8", L"a\xD800",
         "\xEF\xBB\xBF"
         "a\xEF\xBF\xBD"},
        {L"UTF-8", L"\xDC00z", "\xEF\xBB\xBF\xEF\xBF\xBDz"},
    };
    for (const WriteCase& c : cases)
        EXPECT_TRUE(encodes(c));
}

// Caught: the converters without a fixed byte order put their own mark before the text,
// and the writer's preamble doubled it.
TEST(StreamTextWriterTest, EncodingsWithoutFixedOrderGetOneMark) {
    const WriteCase cases[] = {
        {L"UTF-16", L"x", bytes({0xFF, 0xFE, 0x78, 0x00})},
        {L"UTF-16", L"", bytes({0xFF, 0xFE})},
        {L"UTF-32", L"x", bytes({0xFF, 0xFE, 0x00, 0x00, 0x78, 0x00, 0x00, 0x00})},
    };
    for (const WriteCase& c : cases)
        EXPECT_TRUE(encodes(c));
}

TEST(StreamTextWriterTest, WriteLineUsesTheWritersLineEnding) {
    struct Style {
        int style;
        const char* expected;
    };
    const Style styles[] = {
        {zem::LINE_ENDING_CRLF, "ab\r\n"}, {zem::LINE_ENDING_LF, "ab\n"}, {zem::LINE_ENDING_CR, "ab\r"}};
    for (const Style& s : styles) {
        std::ostringstream output;
        zem::StreamTextWriter writer(output, zem::TextEncoding::forName(L"US-ASCII"));
        EXPECT_EQ(zem::LINE_ENDING_CRLF, writer.getLineEnding());
        writer.setLineEnding(s.style);
        EXPECT_EQ(static_cast<int>(std::strlen(s.expected)), writer.writeLine(L"ab"));
        // Every call ends with the stream flushed: the bytes are there before close.
        EXPECT_EQ(s.expected, output.str());
    }
}

TEST(StreamTextWriterTest, BadLineEndingStyleAndMissingEncoding) {
    std::ostringstream output;
    zem::StreamTextWriter writer(output, zem::TextEncoding::forName(L"UTF-8"));
    writer.setLineEnding(3);
    try {
        writer.writeLine(L"x");
        FAIL() << "no exception";
    } catch (const zem::IllegalStateException& e) {
        EXPECT_EQ(L"Unexpected state", e.message());
    }
    EXPECT_THROW(zem::StreamTextWriter(output, zem::TextEncodingPtr()), zem::NullPointerException);
}

TEST(StreamTextWriterTest, ClosedWriterRefusesEverything) {
    std::ostringstream output;
    zem::StreamTextWriter writer(output, zem::TextEncoding::forName(L"UTF-8"));
    EXPECT_EQ(1, writer.put(L'a'));
    EXPECT_EQ(0, writer.write(nullptr, 5));
    EXPECT_EQ(3, writer.writeLine(nullptr, 0) + 1);
    writer.close();
    EXPECT_TRUE(writer.isClosed());
    EXPECT_THROW(writer.put(L'a'), zem::IllegalStateException);
    EXPECT_THROW(writer.write(L"a"), zem::IllegalStateException);
    EXPECT_THROW(writer.writeLine(L"a"), zem::IllegalStateException);
    EXPECT_THROW(writer.close(), zem::IllegalStateException);
    EXPECT_EQ("\xEF\xBB\xBF"
              "a\r\n",
              output.str());
}

TEST(StreamTextWriterTest, DestructorPerformsTheFinalFlush) {
    std::ostringstream output;
    { zem::StreamTextWriter writer(output, zem::TextEncoding::forName(L"UTF-16LE")); }
    EXPECT_EQ(bytes({0xFF, 0xFE}), output.str());
}

// Caught: a failing stream swallowed the text while the writer reported it as written.
TEST(StreamTextWriterTest, FailingStreamIsAnError) {
    std::ostringstream output;
    zem::StreamTextWriter writer(output, zem::TextEncoding::forName(L"UTF-8"));
    output.setstate(std::ios::badbit);
    EXPECT_THROW(writer.write(L"text"), zem::IOException);
}

// Takes the bytes but cannot pass them on, as a full disk under a buffered file.
class UnflushableBuf : public std::stringbuf {
protected:
    int sync() override { return -1; }
};

// Caught: a flush that failed left close() reporting the text as stored.
TEST(StreamTextWriterTest, FailedFlushIsAnError) {
    UnflushableBuf buf;
    std::ostream output(&buf);
    zem::StreamTextWriter writer(output, zem::TextEncoding::forName(L"UTF-8"));
    EXPECT_THROW(writer.write(L"text"), zem::IOException);
    EXPECT_THROW(writer.close(), zem::IOException);
}

// Text longer than the pending buffer, with surrogate pairs across its edge, comes back
// unchanged through the reader in every Unicode encoding.
TEST(StreamTextWriterTest, LongTextRoundTripsThroughTheReader) {
    std::wstring text;
    for (int i = 0; i < 2000; ++i)
        text += (i % 3 == 0) ? L"\xD83D\xDE00" : (i % 3 == 1 ? L"\x00E9\x4E2D" : L"abc\r\n");
    for (const wchar_t* name : {L"UTF-8", L"UTF-16LE", L"UTF-16BE", L"UTF-32LE", L"UTF-32BE"}) {
        std::stringstream stream;
        zem::StreamTextWriter writer(stream, zem::TextEncoding::forName(name));
        for (size_t at = 0; at < text.size(); at += 127)
            writer.write(text.data() + at, static_cast<int>(std::min<size_t>(127, text.size() - at)));
        writer.close();
        zem::StreamTextReader reader(stream, zem::TextEncodingPtr());
        std::wstring back;
        reader.readAll(back);
        EXPECT_TRUE(back == text) << std::string(name, name + std::wcslen(name)) << ": " << back.size() << " units";
    }
}

} // namespace
