#include "zem/files/FileBuffer.h"
#include "support/LogCapture.h"
#include "zem/base/Error.h"
#include "zem/files/FileIFC.h"
#include "zem/files/FileIO.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace zem;

namespace {

// An inferior file in memory that records every transfer and can be told to come short.
class MemoryFile : public File {
public:
    explicit MemoryFile(std::string content = std::string()) : bytes(std::move(content)) {}

    std::string bytes;
    uint32_t pos = 0;
    std::vector<std::pair<uint32_t, uint32_t>> writes; // (offset, count)
    std::vector<std::pair<uint32_t, uint32_t>> reads;
    uint32_t readLimit = 0xFFFFFFFFu;  // bytes a read may return at most
    uint32_t writeLimit = 0xFFFFFFFFu; // bytes a write may take at most
    int seeks = 0;
    bool* closed = nullptr;

    ~MemoryFile() override {
        if (closed)
            *closed = true;
    }
    bool isOpen() const override { return true; }
    const wchar_t* getPath() const override { return L"mem-test"; }
    uint32_t getSize() override { return static_cast<uint32_t>(bytes.size()); }
    uint32_t tell() override { return pos; }
    bool truncate() override {
        bytes.resize(pos);
        return true;
    }
    uint32_t read(void* buffer, uint32_t count) override {
        uint32_t n =
            std::min({count, readLimit, static_cast<uint32_t>(bytes.size()) - std::min<uint32_t>(pos, bytes.size())});
        std::memcpy(buffer, bytes.data() + pos, n);
        reads.emplace_back(pos, count);
        pos += n;
        return n;
    }
    uint32_t write(const void* buffer, uint32_t count) override {
        count = std::min(count, writeLimit);
        if (bytes.size() < pos + count)
            bytes.resize(pos + count);
        std::memcpy(&bytes[pos], buffer, count);
        writes.emplace_back(pos, count);
        pos += count;
        return count;
    }
    uint32_t seek(int origin, int32_t offset) override {
        ++seeks;
        int64_t target = origin == 0 ? offset : origin == 1 ? int64_t(bytes.size()) + offset : int64_t(pos) + offset;
        if (target < 0)
            return INVALID_POSITION;
        pos = static_cast<uint32_t>(target);
        return pos;
    }
    bool flush() override { return true; }
    FileDevice* getDevice() const override { return nullptr; }
};

std::string pattern(size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 131 + seed) % 251);
    return s;
}

TEST(FileBufferTest, SequentialWritesReachTheInferiorAsWholeWindows) {
    MemoryFile* inferior = new MemoryFile;
    FileBuffer buffer(inferior, FILE_MODE_WRITE);
    std::string data = pattern(100000, 1);
    for (size_t at = 0; at < data.size(); at += 1000)
        ASSERT_EQ(1000u, buffer.write(data.data() + at, 1000));
    EXPECT_EQ(100000u, buffer.getSize());
    ASSERT_TRUE(buffer.flush());
    std::vector<std::pair<uint32_t, uint32_t>> expected = {{0, 32768}, {32768, 32768}, {65536, 32768}, {98304, 1696}};
    EXPECT_EQ(expected, inferior->writes);
    EXPECT_EQ(data, inferior->bytes);
    EXPECT_EQ(0, inferior->seeks); // the inferior already stands at each next window
}

TEST(FileBufferTest, OverwritesLeaveEveryOtherByteAlone) {
    for (uint32_t at : {40000u, 32763u, 0u, 99990u}) {
        std::string original = pattern(100000, 7);
        MemoryFile* inferior = new MemoryFile(original);
        FileBuffer buffer(inferior, FILE_MODE_READ_WRITE);
        ASSERT_EQ(at, buffer.seek(FILE_SEEK_BEGIN, at));
        ASSERT_EQ(10u, buffer.write("0123456789", 10));
        ASSERT_TRUE(buffer.flush());
        std::string expected = original;
        expected.replace(at, 10, "0123456789");
        EXPECT_TRUE(expected == inferior->bytes) << "overwrite at " << at;
    }
}

TEST(FileBufferTest, CloseWritesTheWindowAndClosesTheInferior) {
    MemoryFile* inferior = new MemoryFile;
    bool closed = false;
    inferior->closed = &closed;
    FileBuffer buffer(inferior, FILE_MODE_WRITE);
    ASSERT_EQ(3u, buffer.write("abc", 3));
    EXPECT_TRUE(inferior->writes.empty());
    EXPECT_TRUE(buffer.close());
    EXPECT_TRUE(closed);
    EXPECT_FALSE(buffer.isOpen());
    EXPECT_EQ(File::INVALID_POSITION, buffer.tell());
}

TEST(FileBufferTest, FileCloseReportsALastWindowThatCouldNotBeWritten) {
    // Caught: fileClose deleted the buffer and answered true although its window never reached the file.
    for (uint32_t limit : {0xFFFFFFFFu, 2u}) {
        MemoryFile* inferior = new MemoryFile;
        inferior->writeLimit = limit;
        bool closed = false;
        inferior->closed = &closed;
        File* buffer = new FileBuffer(inferior, FILE_MODE_WRITE);
        ASSERT_EQ(5u, buffer->write("abcde", 5));
        bool complete = limit >= 5;
        EXPECT_EQ(complete, fileClose(buffer)) << "write limit " << limit;
        EXPECT_EQ(complete ? 0u : static_cast<uint32_t>(ERROR_WRITE_FAULT), lastErrorCode()) << "write limit " << limit;
        EXPECT_TRUE(closed) << "write limit " << limit;
    }
}

TEST(FileBufferTest, SeekRangeAndLogging) {
    MemoryFile* inferior = new MemoryFile(pattern(100, 3));
    FileBuffer buffer(inferior, FILE_MODE_READ);
    zemtest::LogCapture log(FileIFC::instance().logSource());
    EXPECT_EQ(90u, buffer.seek(FILE_SEEK_END, -10));
    EXPECT_EQ(100u, buffer.seek(FILE_SEEK_BEGIN, 100));
    EXPECT_EQ(File::INVALID_POSITION, buffer.seek(FILE_SEEK_BEGIN, 101));
    EXPECT_NE(0u, lastErrorCode());
    EXPECT_EQ(File::INVALID_POSITION, buffer.seek(FILE_SEEK_END, 1));
    EXPECT_EQ(File::INVALID_POSITION, buffer.seek(FILE_SEEK_CURRENT, -101));
    EXPECT_EQ(100u, buffer.tell());
    EXPECT_EQ(50u, buffer.seek(FILE_SEEK_CURRENT, -50));
    auto lines = log.lines();
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(L"FileBuffer: Seek position is out of range", lines[0].text);
    char c = 0;
    EXPECT_EQ(1u, buffer.read(&c, 1));
    EXPECT_EQ(pattern(100, 3)[50], c);
    EXPECT_EQ(0u, buffer.write("x", 1)); // read-only buffer
}

TEST(FileBufferTest, ShortInferiorReadGivesAShortCount) {
    // Found: a short read from the inferior handed out stale window bytes.
    MemoryFile* inferior = new MemoryFile(pattern(50000, 5));
    FileBuffer buffer(inferior, FILE_MODE_READ_WRITE);
    std::vector<char> out(40000, 'Z');
    uint32_t got = buffer.read(out.data(), 1000);
    ASSERT_EQ(1000u, got);
    inferior->readLimit = 100; // the next window comes short
    ASSERT_EQ(32768u, buffer.seek(FILE_SEEK_BEGIN, 32768));
    zemtest::LogCapture log(FileIFC::instance().logSource());
    std::fill(out.begin(), out.end(), 'Z');
    got = buffer.read(out.data(), 5000);
    EXPECT_EQ(100u, got);
    EXPECT_EQ(pattern(50000, 5).substr(32768, 100), std::string(out.data(), 100));
    EXPECT_EQ('Z', out[100]);
    ASSERT_FALSE(log.lines().empty());
    EXPECT_EQ(L"FileBuffer: cannot read required data from inferior file object", log.lines()[0].text);
    // Nor may a write go into a window that could not be read: its unread part would go back to disk.
    EXPECT_EQ(0u, buffer.write("abc", 3));
    ASSERT_TRUE(buffer.flush());
    EXPECT_EQ(pattern(50000, 5), inferior->bytes);
}

TEST(FileBufferTest, WriteAtTheEndOfAPartialBlockKeepsTheBlock) {
    // Found: seeking to the end and writing flushed the unread head of the window as garbage.
    std::string original = pattern(100, 11);
    MemoryFile* inferior = new MemoryFile(original);
    FileBuffer buffer(inferior, FILE_MODE_READ_WRITE);
    ASSERT_EQ(100u, buffer.seek(FILE_SEEK_END, 0));
    ASSERT_EQ(5u, buffer.write("tail!", 5));
    ASSERT_TRUE(buffer.flush());
    EXPECT_EQ(original + "tail!", inferior->bytes);
}

TEST(FileBufferTest, AppendStartsAtTheEndAndIgnoresSeeks) {
    std::string original = pattern(3000, 2);
    MemoryFile* inferior = new MemoryFile(original);
    inferior->pos = 0;
    FileBuffer buffer(inferior, FILE_MODE_APPEND);
    EXPECT_EQ(3000u, buffer.tell());
    EXPECT_EQ(0u, buffer.seek(FILE_SEEK_BEGIN, 0)); // returns the offset, does not move
    EXPECT_EQ(3u, buffer.write("abc", 3));
    char c;
    EXPECT_EQ(0u, buffer.read(&c, 1));
    ASSERT_TRUE(buffer.flush());
    ASSERT_EQ(1u, inferior->writes.size());
    EXPECT_EQ(3u, inferior->writes[0].second);
}

TEST(FileBufferTest, BadParametersLeaveTheBufferClosed) {
    MemoryFile inferior(pattern(10, 1));
    for (auto params : {std::make_pair(3u, 2048u), std::make_pair(16u, 1000u), std::make_pair(0u, 2048u)}) {
        FileBuffer buffer(&inferior, FILE_MODE_READ, 32768, params.first, params.second);
        EXPECT_FALSE(buffer.isOpen());
        EXPECT_EQ(ERR_WRONG_DEVICE_PARAMETER, lastErrorCode());
        EXPECT_EQ(L"mem-test", currentError().params.get(1));
        EXPECT_EQ(File::INVALID_POSITION, buffer.getSize());
    }
    // A window smaller than a block is rounded up, so positions always fit in it.
    MemoryFile* small = new MemoryFile(pattern(5000, 4));
    FileBuffer buffer(small, FILE_MODE_READ_WRITE, 1000);
    EXPECT_EQ(2048u, buffer.getBufferSize());
    ASSERT_EQ(3000u, buffer.seek(FILE_SEEK_BEGIN, 3000));
    ASSERT_EQ(3u, buffer.write("xyz", 3));
    ASSERT_TRUE(buffer.flush());
    std::string expected = pattern(5000, 4);
    expected.replace(3000, 3, "xyz");
    EXPECT_EQ(expected, small->bytes);
}

TEST(FileBufferTest, TruncateCutsAtThePosition) {
    MemoryFile* inferior = new MemoryFile(pattern(70000, 6));
    FileBuffer buffer(inferior, FILE_MODE_READ_WRITE);
    ASSERT_EQ(40000u, buffer.seek(FILE_SEEK_BEGIN, 40000));
    ASSERT_EQ(2u, buffer.write("!!", 2));
    ASSERT_TRUE(buffer.truncate());
    EXPECT_EQ(40002u, buffer.getSize());
    ASSERT_TRUE(buffer.flush());
    std::string expected = pattern(70000, 6).substr(0, 40002);
    expected.replace(40000, 2, "!!");
    EXPECT_EQ(expected, inferior->bytes);
}

// Random reads, writes, seeks and truncations against a plain string as the model.
TEST(FileBufferTest, AgreesWithAModelUnderRandomOperations) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 rng(seed);
        std::string model = pattern(rng() % 90000, seed);
        MemoryFile* inferior = new MemoryFile(model);
        FileBuffer buffer(inferior, FILE_MODE_READ_WRITE, seed % 2 ? 32768 : 4096);
        uint32_t pos = 0;
        for (int step = 0; step < 400; ++step) {
            int op = rng() % 10;
            uint32_t n = rng() % (op < 2 ? 70000 : 6000);
            if (op < 4) {
                std::vector<char> out(n);
                uint32_t expect = std::min<uint32_t>(n, static_cast<uint32_t>(model.size()) - pos);
                ASSERT_EQ(expect, buffer.read(out.data(), n)) << "seed " << seed << " step " << step;
                ASSERT_EQ(model.substr(pos, expect), std::string(out.data(), expect))
                    << "seed " << seed << " step " << step;
                pos += expect;
            } else if (op < 8) {
                std::string data = pattern(n, step);
                ASSERT_EQ(n, buffer.write(data.data(), n));
                if (model.size() < pos + n)
                    model.resize(pos + n);
                model.replace(pos, n, data);
                pos += n;
            } else if (op < 9) {
                uint32_t to = model.empty() ? 0 : rng() % (model.size() + 1);
                ASSERT_EQ(to, buffer.seek(FILE_SEEK_BEGIN, static_cast<int32_t>(to)));
                pos = to;
            } else {
                ASSERT_TRUE(buffer.truncate());
                model.resize(pos);
            }
            ASSERT_EQ(pos, buffer.tell());
            ASSERT_EQ(model.size(), buffer.getSize());
        }
        ASSERT_TRUE(buffer.flush());
        EXPECT_EQ(model, inferior->bytes) << "seed " << seed;
    }
}

} // namespace
