#include "corvel/config/FileStream.h"

#include "zem/files/File.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// A file of `size` bytes (byte i holds i & 0xFF) that records the size of every piece
// it delivered; writes take at most `writeLimit` bytes.
class RecordingFile : public zem::File {
public:
    explicit RecordingFile(uint32_t size, uint32_t writeLimit = 0xFFFFFFFFu) : m_size(size), m_writeLimit(writeLimit) {}

    std::vector<uint32_t> reads;
    std::vector<uint8_t> written;

    bool isOpen() const override { return true; }
    const wchar_t* getPath() const override { return L"fake"; }
    uint32_t getSize() override { return m_size; }
    uint32_t tell() override { return m_position; }
    bool truncate() override { return false; }
    uint32_t read(void* buffer, uint32_t count) override {
        uint32_t n = std::min(count, m_size - m_position);
        reads.push_back(n);
        for (uint32_t i = 0; i < n; ++i)
            static_cast<uint8_t*>(buffer)[i] = static_cast<uint8_t>((m_position + i) & 0xFF);
        m_position += n;
        return n;
    }
    uint32_t write(const void* buffer, uint32_t count) override {
        uint32_t n = std::min(count, m_writeLimit);
        const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
        written.insert(written.end(), bytes, bytes + n);
        return n;
    }
    uint32_t seek(int, int32_t) override { return INVALID_POSITION; }
    bool flush() override { return true; }
    zem::FileDevice* getDevice() const override { return nullptr; }

private:
    uint32_t m_size;
    uint32_t m_writeLimit;
    uint32_t m_position = 0;
};

struct ReadCase {
    uint32_t fileSize;
    uint32_t asked;
    uint32_t delivered;
    std::vector<uint32_t> pieces;
};

::testing::AssertionResult readsAs(const ReadCase& c) {
    RecordingFile file(c.fileSize);
    corvel::FileStream stream(&file);
    std::vector<uint8_t> buffer(c.asked + 1, 0xEE);
    uint32_t got = stream.read(buffer.data(), c.asked);
    if (got != c.delivered)
        return ::testing::AssertionFailure()
               << "read(" << c.asked << ") of " << c.fileSize << " bytes gave " << got << ", expected " << c.delivered;
    if (file.reads != c.pieces)
        return ::testing::AssertionFailure()
               << "read(" << c.asked << ") of " << c.fileSize << " bytes asked " << ::testing::PrintToString(file.reads)
               << ", expected " << ::testing::PrintToString(c.pieces);
    for (uint32_t i = 0; i < got; ++i)
        if (buffer[i] != (i & 0xFF))
            return ::testing::AssertionFailure() << "byte " << i << " is wrong";
    if (buffer[c.asked] != 0xEE)
        return ::testing::AssertionFailure() << "wrote past the caller's buffer";
    return ::testing::AssertionSuccess();
}

TEST(FileStreamTest, ReadsInPiecesAndStopsAfterAShortOne) {
    const ReadCase cases[] = {
        {100, 0, 0, {}},
        {20000, 20000, 20000, {8192, 8192, 3616}},
        {10000, 20000, 10000, {8192, 1808}},
        {8192, 8192, 8192, {8192}},
        {8192, 16384, 8192, {8192, 0}},
        {0, 10, 0, {0}},
        {50000, 16384, 16384, {8192, 8192}},
    };
    for (const ReadCase& c : cases)
        EXPECT_TRUE(readsAs(c));
}

TEST(FileStreamTest, WriteReportsWhatTheFileTook) {
    RecordingFile file(0, 3);
    corvel::FileStream stream(&file);
    const char bytes[] = "abcdef";
    // A journal writer must see that only part of its record reached the file.
    EXPECT_EQ(3u, stream.write(bytes, 6));
    EXPECT_EQ((std::vector<uint8_t>{'a', 'b', 'c'}), file.written);
}

TEST(FileStreamTest, LeavesTheFileOpen) {
    RecordingFile file(10);
    { corvel::FileStream stream(&file); }
    EXPECT_TRUE(file.isOpen());
    EXPECT_EQ(0u, file.tell());
}

} // namespace
