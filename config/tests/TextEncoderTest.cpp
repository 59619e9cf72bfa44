#include "corvel/text/TextEncoder.h"

#include "corvel/text/CodePages.h"
#include "corvel/text/DecodeToUtf16.h"
#include "zem/base/Error.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

class StringSink : public corvel::ByteSink {
public:
    explicit StringSink(size_t limit = SIZE_MAX) : m_limit(limit) {}

    bool writeBytes(const void* bytes, size_t count) override {
        const size_t taken = count < m_limit - m_bytes.size() ? count : m_limit - m_bytes.size();
        m_bytes.append(static_cast<const char*>(bytes), taken);
        if (taken == count)
            return true;
        zem::setError(ERROR_WRITE_FAULT);
        return false;
    }

    const std::string& bytes() const { return m_bytes; }

private:
    size_t m_limit;
    std::string m_bytes;
};

std::string hexBytes(const std::string& bytes) {
    std::string out;
    char buffer[4];
    for (unsigned char byte : bytes) {
        snprintf(buffer, sizeof buffer, "%02X ", byte);
        out += buffer;
    }
    return out;
}

struct EncodeCase {
    uint32_t codePage;
    std::wstring text;
    std::string bytes;
};

::testing::AssertionResult encodesAs(const EncodeCase& c) {
    StringSink sink;
    if (!corvel::TextEncoder::forCodePage(c.codePage)->encode(c.text.data(), c.text.size(), sink))
        return ::testing::AssertionFailure() << "code page " << c.codePage << " failed";
    if (sink.bytes() != c.bytes)
        return ::testing::AssertionFailure()
               << "code page " << c.codePage << " gave " << hexBytes(sink.bytes()) << "expected " << hexBytes(c.bytes);
    // What was written reads back as the same text.
    std::vector<wchar_t> back(c.bytes.size() + 2);
    size_t byteCount = c.bytes.size();
    size_t unitCount = back.size();
    corvel::decodeToUtf16(back.data(), reinterpret_cast<const uint8_t*>(c.bytes.data()), byteCount, c.codePage,
                          unitCount, true);
    if (std::wstring(back.data(), unitCount) != c.text)
        return ::testing::AssertionFailure() << "code page " << c.codePage << " did not read back";
    return ::testing::AssertionSuccess();
}

TEST(TextEncoderTest, EveryCodePageByteForByteAndBack) {
    const std::wstring text = L"a\x00E9\x20AC\xD83D\xDE00";
    const EncodeCase cases[] = {
        {corvel::CP_UTF8_PLAIN, text, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
        {corvel::CP_UTF8_MARK, text, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
        {corvel::CP_UTF16_LE, text, std::string("a\0\xE9\0\xAC\x20\x3D\xD8\x00\xDE", 10)},
        {corvel::CP_UTF16_BE, text, std::string("\0a\0\xE9\x20\xAC\xD8\x3D\xDE\x00", 10)},
        {corvel::CP_UTF32_LE, text, std::string("a\0\0\0\xE9\0\0\0\xAC\x20\0\0\x00\xF6\x01\0", 16)},
        {corvel::CP_UTF32_BE, text, std::string("\0\0\0a\0\0\0\xE9\0\0\x20\xAC\0\x01\xF6\x00", 16)},
        {1252, L"a\x00E9\x20AC", "a\xE9\x80"},
    };
    for (const EncodeCase& c : cases)
        EXPECT_TRUE(encodesAs(c));
}

TEST(TextEncoderTest, LoneSurrogateBecomesReplacementInUtf32) {
    StringSink sink;
    const wchar_t text[] = {L'a', 0xD800, L'b'};
    ASSERT_TRUE(corvel::TextEncoder::forCodePage(corvel::CP_UTF32_BE)->encode(text, 3, sink));
    EXPECT_EQ(std::string("\0\0\0a\0\0\xFF\xFD\0\0\0b", 12), sink.bytes());
}

TEST(TextEncoderTest, ShortWriteFailsWithTheSinksCode) {
    const std::wstring text(100, L'x');
    const uint32_t codePages[] = {corvel::CP_UTF8_PLAIN, corvel::CP_UTF16_LE, corvel::CP_UTF16_BE, corvel::CP_UTF32_LE,
                                  corvel::CP_ANSI};
    for (uint32_t codePage : codePages) {
        StringSink sink(10);
        EXPECT_FALSE(corvel::TextEncoder::forCodePage(codePage)->encode(text.data(), text.size(), sink)) << codePage;
        EXPECT_EQ(uint32_t(ERROR_WRITE_FAULT), zem::lastErrorCode()) << codePage;
    }
}

// A save once wrote "?" for every character the code page lacked and reported success.
TEST(TextEncoderTest, CharacterTheCodePageCannotHoldFails) {
    StringSink sink;
    const std::wstring text = L"a\x4E2D";
    EXPECT_FALSE(corvel::TextEncoder::forCodePage(1252)->encode(text.data(), text.size(), sink));
    EXPECT_EQ(uint32_t(ERROR_NO_UNICODE_TRANSLATION), zem::lastErrorCode());
    EXPECT_TRUE(sink.bytes().empty());
}

TEST(TextEncoderTest, EmptyRunWritesNothing) {
    StringSink sink(0);
    EXPECT_TRUE(corvel::TextEncoder::forCodePage(corvel::CP_ANSI)->encode(L"", 0, sink));
    EXPECT_TRUE(corvel::TextEncoder::forCodePage(corvel::CP_UTF16_BE)->encode(L"", 0, sink));
}

struct BreakCase {
    uint32_t codePage;
    int32_t lineEnding;
    std::string bytes;
};

::testing::AssertionResult breaksAs(const BreakCase& c) {
    const corvel::LineBreakBytes result = corvel::lineBreakBytes(c.codePage, c.lineEnding);
    const std::string bytes(reinterpret_cast<const char*>(result.bytes), result.length);
    if (bytes == c.bytes)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "code page " << c.codePage << " ending " << c.lineEnding << " gave "
                                         << hexBytes(bytes) << "expected " << hexBytes(c.bytes);
}

TEST(TextEncoderTest, LineBreakBytesOfEveryCodePage) {
    const BreakCase cases[] = {
        {corvel::CP_ANSI, 0, "\r\n"},
        {corvel::CP_UTF8_MARK, 1, "\n"},
        {corvel::CP_UTF8_PLAIN, 2, "\r"},
        {corvel::CP_UTF8_PLAIN, 7, "\r"},
        {corvel::CP_UTF16_LE, 0, std::string("\r\0\n\0", 4)},
        {corvel::CP_UTF16_LE, 1, std::string("\n\0", 2)},
        {corvel::CP_UTF16_LE, 2, std::string("\r\0", 2)},
        {corvel::CP_UTF16_BE, 0, std::string("\0\r\0\n", 4)},
        {corvel::CP_UTF16_BE, 1, std::string("\0\n", 2)},
        {corvel::CP_UTF16_BE, 2, std::string("\0\r", 2)},
        {corvel::CP_UTF32_LE, 0, std::string("\r\0\0\0\n\0\0\0", 8)},
        {corvel::CP_UTF32_LE, 1, std::string("\n\0\0\0", 4)},
        {corvel::CP_UTF32_BE, 0, std::string("\0\0\0\r\0\0\0\n", 8)},
        {corvel::CP_UTF32_BE, 2, std::string("\0\0\0\r", 4)},
    };
    for (const BreakCase& c : cases)
        EXPECT_TRUE(breaksAs(c));
}

} // namespace
