#include "corvel/document/JournalCursor.h"
#include "support/ShortFile.h"
#include "support/StandardDevices.h"
#include "zem/files/FileIO.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using corvel::JournalCursor;
typedef std::vector<uint8_t> Bytes;

std::string hex(const Bytes& bytes) {
    std::ostringstream out;
    for (uint8_t b : bytes)
        out << std::hex << (b < 16 ? "0" : "") << int(b) << ' ';
    return out.str();
}

// Payload bytes that differ per record and per position, to see what a read returned.
Bytes payload(uint32_t type, uint32_t size) {
    Bytes bytes(size);
    for (uint32_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(type * 31 + i);
    return bytes;
}

class JournalCursorTest : public ::testing::Test {
protected:
    void SetUp() override {
        documenttest::StandardDevices::ensure();
        m_file = zem::fileOpen(L"mem:journal-cursor-test", zem::FILE_MODE_READ_WRITE_TRUNCATE);
        ASSERT_NE(nullptr, m_file);
    }
    void TearDown() override {
        if (m_file) {
            zem::fileClose(m_file);
            zem::fileDelete(L"mem:journal-cursor-test");
        }
    }

    static bool put(JournalCursor& cursor, uint32_t type, uint32_t size) {
        Bytes bytes = payload(type, size);
        return cursor.beginRecord(type, size) && cursor.write(bytes.data(), size) == size && cursor.endRecord();
    }

    Bytes fileBytes(uint32_t from, uint32_t count) {
        Bytes out(count);
        m_file->seek(zem::FILE_SEEK_BEGIN, static_cast<int32_t>(from));
        out.resize(m_file->read(out.data(), count));
        return out;
    }

    void poke(uint32_t at, const Bytes& bytes) {
        m_file->seek(zem::FILE_SEEK_BEGIN, static_cast<int32_t>(at));
        m_file->write(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }

    // The types of the records before the cursor, nearest first, stepping back to the start
    // or to a record that cannot be read.
    static std::vector<int> typesBackward(JournalCursor& cursor) {
        std::vector<int> types;
        while (cursor.stepBack())
            types.push_back(cursor.type());
        return types;
    }

    // Reads the current record's whole payload area.
    static Bytes readRecord(JournalCursor& cursor) {
        if (cursor.beginRead() < 0)
            return Bytes();
        Bytes out(cursor.payloadArea() + 16);
        out.resize(cursor.read(out.data(), static_cast<uint32_t>(out.size())));
        cursor.endRecord();
        return out;
    }

    zem::File* m_file = nullptr;
};

struct LayoutCase {
    const char* name;
    std::vector<uint32_t> before; // payload sizes of the records written first
    uint32_t payloadSize;         // of the record checked
    Bytes header;                 // its header bytes
    uint32_t total;               // its total size
};

TEST_F(JournalCursorTest, RecordsAreLaidOutByteForByte) {
    const LayoutCase cases[] = {
        {"first record, 4 bytes", {}, 4, {5, 0, 2}, 8},
        {"4 bytes after a 16-byte record", {13}, 4, {5, 4, 2}, 8},
        {"9 bytes after an 8-byte record", {4}, 9, {5, 2, 3}, 12},
        {"largest class 0 payload", {}, 1016, {5, 0, 255}, 1020},
        {"1017 bytes take class 1", {}, 1017, {0x45, 0, 0, 0, 1}, 1024},
        {"a back distance of 1024 takes class 1", {1017}, 4, {0x45, 0, 1, 3, 0}, 12},
        {"0x3FFF6 bytes stay in class 1", {}, 0x3FFF6, {0x45, 0, 0, 0xFF, 0xFF}, 0x3FFFC},
        {"0x3FFF7 bytes take class 2", {}, 0x3FFF7, {0x85, 0, 0, 0, 0, 0, 0, 4, 0}, 0x40000},
        {"empty payload", {}, 0, {5, 0, 1}, 4},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_file->seek(zem::FILE_SEEK_BEGIN, 0);
        m_file->truncate();
        JournalCursor cursor(m_file);
        for (uint32_t size : c.before)
            ASSERT_TRUE(put(cursor, 1, size));
        uint32_t at = cursor.end();
        ASSERT_TRUE(put(cursor, 5, c.payloadSize));
        EXPECT_EQ(at + c.total, cursor.end());
        EXPECT_EQ(at + c.total, m_file->getSize());
        EXPECT_EQ(hex(c.header), hex(fileBytes(at, static_cast<uint32_t>(c.header.size()))));
        Bytes expected = payload(5, c.payloadSize);
        expected.resize(c.total - c.header.size(), JournalCursor::PADDING);
        EXPECT_TRUE(expected == fileBytes(at + static_cast<uint32_t>(c.header.size()), c.total - c.header.size()))
            << "payload or padding differs";
    }
}

TEST_F(JournalCursorTest, WalksBothWaysAndReadsOnlyItsOwnPayload) {
    JournalCursor cursor(m_file);
    const uint32_t sizes[] = {4, 1017, 0x3FFF7, 9, 0};
    for (uint32_t i = 0; i < 5; ++i)
        ASSERT_TRUE(put(cursor, i + 1, sizes[i]));
    ASSERT_TRUE(cursor.atEnd());
    EXPECT_FALSE(cursor.stepForward()) << "nothing lies past the end";
    for (int i = 4; i >= 0; --i) {
        ASSERT_TRUE(cursor.stepBack()) << i;
        EXPECT_EQ(i + 1, cursor.type());
        Bytes expected = payload(i + 1, sizes[i]);
        expected.resize(cursor.payloadArea(), JournalCursor::PADDING);
        EXPECT_TRUE(expected == readRecord(cursor)) << "record " << i << " read beyond its padding";
    }
    EXPECT_TRUE(cursor.atStart());
    EXPECT_FALSE(cursor.stepBack()) << "stepping back at the first record";
    EXPECT_EQ(0u, cursor.current());
    for (int i = 1; i < 5; ++i) {
        ASSERT_TRUE(cursor.stepForward());
        EXPECT_EQ(i + 1, cursor.type());
    }
    ASSERT_TRUE(cursor.stepForward()) << "from the last record to the end";
    EXPECT_TRUE(cursor.atEnd());

    ASSERT_TRUE(cursor.seekTo(8));
    EXPECT_EQ(2, cursor.type());
    EXPECT_EQ(0u, cursor.previous());
    EXPECT_EQ(8u + 1024u, cursor.next());
}

TEST_F(JournalCursorTest, WritingAfterSteppingBackCutsOffTheRest) {
    JournalCursor cursor(m_file);
    for (uint32_t type = 1; type <= 3; ++type)
        ASSERT_TRUE(put(cursor, type, 4));
    ASSERT_TRUE(cursor.stepBack());
    ASSERT_TRUE(cursor.stepBack());
    ASSERT_TRUE(put(cursor, 9, 20));
    EXPECT_EQ(8u + 24u, cursor.end());
    EXPECT_TRUE(cursor.atEnd());
    EXPECT_EQ((std::vector<int>{9, 1}), typesBackward(cursor));
}

TEST_F(JournalCursorTest, CloneWritesBehindTheRedoTailAndAdoptMovesItDown) {
    JournalCursor cursor(m_file);
    for (uint32_t type = 1; type <= 3; ++type)
        ASSERT_TRUE(put(cursor, type, 100));
    ASSERT_TRUE(cursor.stepBack());
    ASSERT_TRUE(cursor.stepBack()); // on record 2: records 2 and 3 are the redo tail
    Bytes tail = fileBytes(104, 208);

    std::unique_ptr<JournalCursor> clone = cursor.clone();
    EXPECT_EQ(cursor.end() - cursor.current(), clone->base());
    ASSERT_TRUE(put(*clone, 7, 2000));
    ASSERT_TRUE(put(*clone, 8, 9000)); // moved in more than one piece
    EXPECT_TRUE(tail == fileBytes(104, 208)) << "the clone touched the redo tail";

    ASSERT_TRUE(cursor.adopt(*clone));
    EXPECT_EQ(0u, cursor.base());
    EXPECT_EQ(clone->end(), cursor.end());
    EXPECT_TRUE(cursor.atEnd());
    EXPECT_EQ((std::vector<int>{8, 7, 1}), typesBackward(cursor));
    ASSERT_TRUE(cursor.stepForward());
    Bytes expected = payload(7, 2000);
    expected.resize(cursor.payloadArea(), JournalCursor::PADDING);
    EXPECT_TRUE(expected == readRecord(cursor));
}

TEST_F(JournalCursorTest, MarksRestorePositions) {
    JournalCursor cursor(m_file);
    ASSERT_TRUE(put(cursor, 1, 4));
    corvel::JournalMark mark = cursor.mark();
    ASSERT_TRUE(put(cursor, 2, 4));
    cursor.restore(mark);
    EXPECT_EQ(8u, cursor.end());
    EXPECT_EQ(8u, cursor.current());
    EXPECT_EQ(0u, cursor.previous());
    ASSERT_TRUE(put(cursor, 3, 4));
    ASSERT_TRUE(cursor.stepBack());
    EXPECT_EQ(3, cursor.type());
}

struct CorruptCase {
    const char* name;
    uint32_t at;   // where the bytes are written over the second record's header
    Bytes bytes;
};

// Records 1 (8 bytes at 0), 2 (8 bytes at 8), 3 (8 bytes at 16); the second record's
// header is damaged and must stop every walk that would read it.
TEST_F(JournalCursorTest, DamagedHeadersStopTheWalk) {
    const CorruptCase cases[] = {
        {"class 3", 8, {0xC2}},
        {"total size past the journal's end", 8, {0x02, 2, 200}},
        {"total size below the header size", 8, {0x02, 2, 0}},
        {"back distance before the journal's start", 8, {0x02, 9, 2}},
        {"back distance 0 after the first record", 8, {0x02, 0, 2}},
    };
    for (const CorruptCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_file->seek(zem::FILE_SEEK_BEGIN, 0);
        m_file->truncate();
        JournalCursor cursor(m_file);
        for (uint32_t type = 1; type <= 3; ++type)
            ASSERT_TRUE(put(cursor, type, 4));
        poke(c.at, c.bytes);
        EXPECT_FALSE(cursor.seekTo(8));
        ASSERT_TRUE(cursor.stepBack());
        EXPECT_EQ(3, cursor.type());
        EXPECT_FALSE(cursor.stepBack());
        EXPECT_EQ(16u, cursor.current()) << "the cursor left the last record it could trust";
        ASSERT_TRUE(cursor.seekTo(0));
        EXPECT_FALSE(cursor.stepForward());
        EXPECT_EQ(0u, cursor.current());
    }
}

TEST_F(JournalCursorTest, ShortWritesAreReportedAndLeaveNoRecord) {
    documenttest::ShortFile shortFile(m_file);
    JournalCursor cursor(&shortFile);
    ASSERT_TRUE(put(cursor, 1, 4));
    const uint32_t budgets[] = {0, 2, 3 + 10, 3 + 100}; // header, payload, padding
    for (uint32_t budget : budgets) {
        SCOPED_TRACE(budget);
        shortFile.setWriteBudget(budget);
        Bytes bytes = payload(2, 101);
        bool begun = cursor.beginRecord(2, 101);
        cursor.write(bytes.data(), 101);
        EXPECT_FALSE(begun && cursor.endRecord());
        cursor.endRecord();
        EXPECT_EQ(8u, cursor.end());
        EXPECT_EQ(JournalCursor::IDLE, cursor.mode());
    }
    shortFile.setWriteBudget(documenttest::ShortFile::UNLIMITED);
    ASSERT_TRUE(put(cursor, 3, 4));
    EXPECT_EQ((std::vector<int>{3, 1}), typesBackward(cursor));
}

TEST_F(JournalCursorTest, RefusesTypesAbove63) {
    JournalCursor cursor(m_file);
    EXPECT_FALSE(cursor.beginRecord(64, 4));
    EXPECT_TRUE(cursor.beginRecord(63, 4));
    EXPECT_TRUE(cursor.endRecord());
    EXPECT_EQ(hex({0x3F, 0, 2}), hex(fileBytes(0, 3)));
}

} // namespace
