#include "zem/files/RamDisk.h"
#include "support/FileApiTest.h"
#include "support/LogCapture.h"
#include "zem/base/Error.h"
#include "zem/files/FileIFC.h"
#include "zem/files/FileIO.h"
#include "zem/files/WorkString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using zem::File;
using zem::RamDisk;
using zemtest::failedWith;
using zemtest::narrow;

// A fresh RAM disk attached as "ramtest" for each test.
class RamDiskTest : public zemtest::FileApiTest {
protected:
    void SetUp() override {
        m_disk = new RamDisk();
        ASSERT_TRUE(zem::fileAttachDevice(m_disk, L"ramtest", 100));
    }
    void TearDown() override {
        closeLeftOpen();
        EXPECT_EQ(0, m_disk->getInfo().ref_count);
        EXPECT_TRUE(zem::fileDetachDevice(L"ramtest"));
        delete m_disk;
    }

    uint32_t memoryUsed() {
        uint32_t bytes = 0;
        EXPECT_TRUE(m_disk->control(RamDisk::CONTROL_MEMORY_USED, sizeof(bytes), &bytes));
        return bytes;
    }

    RamDisk* m_disk = nullptr;
};

struct ChunkCase {
    const wchar_t* path;
    uint32_t chunkSize;
    const wchar_t* logged; // start of the expected log line, or null
};

TEST_F(RamDiskTest, ChunkSizeComesFromTheDeviceParameter) {
    const ChunkCase cases[] = {
        {L"ramtest:plain", 4096, nullptr},
        {L"ramtest[1024]:k", 1024, nullptr},
        {L"ramtest[64]:smallest", 64, nullptr},
        {L"ramtest[32]:small", 64, L"RamDisk: chunk size 32 is too small, defaulting to 64 bytes"},
        {L"ramtest[100]:odd", 4096, L"RamDisk: bad chunk size 100, defaulting to 4096 bytes"},
        {L"ramtest[0]:zero", 4096, L"RamDisk: bad chunk size 0, defaulting to 4096 bytes"},
        {L"ramtest[abc]:word", 4096, L"RamDisk::openFile: unknown device param 'abc'"},
        {L"ramtest[99999999999]:huge", 4096, L"RamDisk::openFile: unknown device param '99999999999'"},
        {L"ramtest[+64]:signed", 4096, L"RamDisk::openFile: unknown device param '+64'"},
    };
    for (const ChunkCase& c : cases) {
        zemtest::LogCapture log(zem::FileIFC::instance().logSource());
        File* file = open(c.path, zem::FILE_MODE_WRITE);
        ASSERT_NE(nullptr, file) << narrow(c.path);
        EXPECT_EQ(c.chunkSize, static_cast<zem::RamDiskFile*>(file)->getChunkSize()) << narrow(c.path);
        bool found = false;
        for (const auto& line : log.lines())
            found = found || (c.logged && line.text.find(c.logged) == 0);
        EXPECT_EQ(c.logged != nullptr, found) << narrow(c.path);
        close(file);
    }
}

struct OpenCase {
    const char* what;
    bool exists;
    bool alreadyOpen;
    uint32_t mode;
    uint32_t error;     // 0: the open succeeds
    uint32_t sizeAfter; // of the existing 5-byte file, when the open succeeds
    uint32_t position;  // after the open
};

TEST_F(RamDiskTest, OpenModesFollowTheirRules) {
    const OpenCase cases[] = {
        {"read missing", false, false, zem::FILE_MODE_READ, ERROR_FILE_NOT_FOUND, 0, 0},
        {"read existing", true, false, zem::FILE_MODE_READ, 0, 5, 0},
        {"write recreates", true, false, zem::FILE_MODE_WRITE, 0, 0, 0},
        {"append keeps and goes to the end", true, false, zem::FILE_MODE_APPEND, 0, 5, 5},
        {"read-write keeps", true, false, zem::FILE_MODE_READ_WRITE, 0, 5, 0},
        {"read-write truncate", true, false, zem::FILE_MODE_READ_WRITE_TRUNCATE, 0, 0, 0},
        {"read-write new on existing", true, false, zem::FILE_MODE_READ_WRITE_NEW, ERROR_FILE_EXISTS, 0, 0},
        {"write new on existing", true, false, zem::FILE_MODE_WRITE_NEW, ERROR_FILE_EXISTS, 0, 0},
        {"write new on missing", false, false, zem::FILE_MODE_WRITE_NEW, 0, 0, 0},
        {"bad mode", true, false, 7, zem::ERR_OPERATION_NOT_SUPPORTED, 0, 0},
        {"open twice for reading", true, true, zem::FILE_MODE_READ, ERROR_SHARING_VIOLATION, 0, 0},
        {"open twice for writing", true, true, zem::FILE_MODE_WRITE, ERROR_SHARING_VIOLATION, 0, 0},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.what);
        const wchar_t* path = L"ramtest:Case";
        zem::fileDelete(path);
        if (c.exists)
            make(path, "hello");
        File* first = c.alreadyOpen ? open(path, zem::FILE_MODE_READ) : nullptr;
        File* file = open(path, c.mode);
        if (c.error) {
            EXPECT_EQ(nullptr, file);
            EXPECT_TRUE(failedWith(c.error, path));
            if (c.mode == 7) {
                EXPECT_EQ(L"OpenFile - wrong opening mode", zem::currentError().params.get(2));
            }
            // A failed open changes nothing: the file keeps its content.
            if (c.exists && !c.alreadyOpen) {
                File* check = open(path, zem::FILE_MODE_READ);
                ASSERT_NE(nullptr, check);
                EXPECT_EQ("hello", readAll(check));
                close(check);
            }
        } else {
            ASSERT_NE(nullptr, file);
            EXPECT_EQ(c.sizeAfter, file->getSize());
            EXPECT_EQ(c.position, file->tell());
            EXPECT_STREQ(path, file->getPath());
            close(file);
        }
        if (first)
            close(first);
    }
}

TEST_F(RamDiskTest, ContentSurvivesCloseAndReopenAcrossChunks) {
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += static_cast<char>('a' + i % 26);
    make(L"ramtest[64]:big", text);
    File* file = open(L"ramtest:BIG", zem::FILE_MODE_READ);
    ASSERT_NE(nullptr, file);
    // The chunk size stays the one the file was made with.
    EXPECT_EQ(64u, static_cast<zem::RamDiskFile*>(file)->getChunkSize());
    EXPECT_EQ(5u, static_cast<zem::RamDiskFile*>(file)->getChunkCount());
    EXPECT_EQ(text, readAll(file));
    EXPECT_EQ(0u, file->read(&text[0], 10));
    EXPECT_EQ(static_cast<uint32_t>(zem::ERR_SUCCESS), zem::lastErrorCode());
    ASSERT_EQ(130u, file->seek(zem::FILE_SEEK_BEGIN, 130));
    char piece[70];
    ASSERT_EQ(70u, file->read(piece, 70));
    EXPECT_EQ(text.substr(130, 70), std::string(piece, 70));
    close(file);
    EXPECT_EQ(320u, memoryUsed());
}

struct SeekCase {
    int origin;
    int32_t offset;
    uint32_t expected; // INVALID_POSITION for a refused seek
};

TEST_F(RamDiskTest, SeeksStayWithinTheFile) {
    make(L"ramtest:s", "0123456789");
    File* file = open(L"ramtest:s", zem::FILE_MODE_READ);
    ASSERT_NE(nullptr, file);
    const uint32_t BAD = File::INVALID_POSITION;
    const SeekCase cases[] = {
        {zem::FILE_SEEK_END, 0, 10},
        {zem::FILE_SEEK_END, 1, BAD},
        {zem::FILE_SEEK_END, -10, 0},
        {zem::FILE_SEEK_END, -11, BAD},
        {zem::FILE_SEEK_BEGIN, 10, 10},
        {zem::FILE_SEEK_BEGIN, 11, BAD},
        {zem::FILE_SEEK_BEGIN, -1, BAD},
        {zem::FILE_SEEK_BEGIN, 4, 4},
        {zem::FILE_SEEK_CURRENT, 6, 10},
        {zem::FILE_SEEK_CURRENT, 1, BAD},
        {zem::FILE_SEEK_CURRENT, -10, 0},
        {zem::FILE_SEEK_CURRENT, -1, BAD},
        {9, 0, BAD},
    };
    for (const SeekCase& c : cases) {
        zemtest::LogCapture log(zem::FileIFC::instance().logSource());
        uint32_t before = file->tell();
        uint32_t result = file->seek(c.origin, c.offset);
        EXPECT_EQ(c.expected, result) << "origin " << c.origin << " offset " << c.offset;
        if (c.expected == BAD) {
            EXPECT_EQ(before, file->tell());
            EXPECT_NE(static_cast<uint32_t>(zem::ERR_SUCCESS), zem::lastErrorCode());
            ASSERT_EQ(1u, log.lines().size());
            EXPECT_EQ(L"RamDiskFile: Seek position is out of range", log.lines()[0].text);
        }
    }
    close(file);

    // Appending never moves: every write goes to the end.
    File* append = open(L"ramtest:s", zem::FILE_MODE_APPEND);
    ASSERT_NE(nullptr, append);
    EXPECT_EQ(0u, append->seek(zem::FILE_SEEK_BEGIN, 2));
    EXPECT_EQ(2u, append->write("ab", 2));
    close(append);
    File* check = open(L"ramtest:s", zem::FILE_MODE_READ);
    EXPECT_EQ("0123456789ab", readAll(check));
    close(check);
}

TEST_F(RamDiskTest, TruncateKeepsTheChunkHoldingThePosition) {
    make(L"ramtest[64]:t", std::string(200, 'x'));
    EXPECT_EQ(256u, memoryUsed());
    File* file = open(L"ramtest:t", zem::FILE_MODE_READ_WRITE);
    ASSERT_NE(nullptr, file);
    ASSERT_EQ(64u, file->seek(zem::FILE_SEEK_BEGIN, 64));
    EXPECT_TRUE(file->truncate());
    EXPECT_EQ(64u, file->getSize());
    EXPECT_EQ(128u, memoryUsed());
    // Writing on grows it again from the kept chunk.
    EXPECT_EQ(3u, file->write("abc", 3));
    EXPECT_EQ(67u, file->getSize());
    close(file);
}

TEST_F(RamDiskTest, WrongAccessFailsWithoutChangingTheFile) {
    make(L"ramtest:r", "data");
    File* reader = open(L"ramtest:r", zem::FILE_MODE_READ);
    ASSERT_NE(nullptr, reader);
    EXPECT_EQ(0u, reader->write("zz", 2));
    EXPECT_TRUE(failedWith(ERROR_ACCESS_DENIED, L"ramtest:r"));
    EXPECT_FALSE(reader->truncate());
    EXPECT_TRUE(failedWith(ERROR_ACCESS_DENIED));
    EXPECT_EQ("data", readAll(reader));
    close(reader);

    File* writer = open(L"ramtest:w", zem::FILE_MODE_WRITE);
    ASSERT_NE(nullptr, writer);
    char byte;
    EXPECT_EQ(0u, writer->read(&byte, 1));
    EXPECT_TRUE(failedWith(ERROR_ACCESS_DENIED));
    close(writer);
    // A closed file reports nothing and refuses work.
    EXPECT_FALSE(writer->isOpen());
    EXPECT_EQ(0u, writer->getSize());
    EXPECT_EQ(File::INVALID_POSITION, writer->seek(zem::FILE_SEEK_BEGIN, 0));
    EXPECT_TRUE(failedWith(ERROR_INVALID_HANDLE));
}

TEST_F(RamDiskTest, DeleteRefusesOpenFilesAndReportsMissingOnes) {
    make(L"ramtest:d", "x");
    File* file = open(L"ramtest:d", zem::FILE_MODE_READ);
    EXPECT_FALSE(zem::fileDelete(L"ramtest:d"));
    EXPECT_TRUE(failedWith(ERROR_ACCESS_DENIED, L"ramtest:d"));
    close(file);
    EXPECT_TRUE(zem::fileDelete(L"ramtest:D"));
    EXPECT_FALSE(zem::fileGetAttributes(L"ramtest:d", nullptr));
    // Caught: deleting a missing file failed with the error still "Success.".
    EXPECT_FALSE(zem::fileDelete(L"ramtest:d"));
    EXPECT_TRUE(failedWith(ERROR_FILE_NOT_FOUND, L"ramtest:d"));
}

TEST_F(RamDiskTest, PurgeKeepsOpenFiles) {
    make(L"ramtest:a", "1");
    make(L"ramtest:b", "2");
    File* kept = open(L"ramtest:b", zem::FILE_MODE_READ);
    EXPECT_FALSE(m_disk->control(RamDisk::CONTROL_PURGE, 0, nullptr));
    EXPECT_FALSE(zem::fileGetAttributes(L"ramtest:a", nullptr));
    EXPECT_TRUE(zem::fileGetAttributes(L"ramtest:b", nullptr));
    close(kept);
    EXPECT_TRUE(m_disk->control(RamDisk::CONTROL_PURGE, 0, nullptr));
    EXPECT_FALSE(m_disk->control(12345, 0, nullptr));
}

TEST_F(RamDiskTest, AttributesAndPaths) {
    make(L"ramtest:Dir/File.TXT", "12345");
    zem::FileInfo info;
    ASSERT_TRUE(zem::fileGetAttributes(L"ramtest:dir\\file.txt", &info));
    EXPECT_EQ(0xCu, info.flags);
    EXPECT_EQ(5u, info.size);
    EXPECT_STREQ(L"ramtest:Dir/File.TXT", info.name);
    EXPECT_NE(0u, info.lastWriteTime);

    zem::WorkString full;
    ASSERT_TRUE(zem::fileGetFullPath(L"RAMTEST:Sub\\A.Txt", full));
    EXPECT_STREQ(L"ramtest:sub/a.txt", full.c_str());
    EXPECT_TRUE(zem::filePathsEqual(L"ramtest:x/Y", L"RamTest:X\\y"));

    // The longest name that fits, and one more.
    std::wstring longest = L"ramtest:" + std::wstring(259 - 8, L'n');
    File* file = open(longest, zem::FILE_MODE_WRITE);
    EXPECT_NE(nullptr, file);
    EXPECT_EQ(nullptr, open(longest + L"n", zem::FILE_MODE_WRITE));
    EXPECT_TRUE(failedWith(ERROR_INVALID_NAME, (longest + L"n").c_str()));
}

struct UnsupportedCase {
    const char* what;
    bool (*call)();
    const wchar_t* operation;
};

TEST_F(RamDiskTest, UnsupportedOperationsSayWhich) {
    make(L"ramtest:f", "1");
    const UnsupportedCase cases[] = {
        {"list", [] { return zem::fileOpenDirectory(L"ramtest:f") != nullptr; }, L"OpenDirectory"},
        {"remove directory", [] { return zem::fileRemoveDirectory(L"ramtest:f"); }, L"RemoveDirectory"},
        {"move", [] { return zem::fileMove(L"ramtest:f", L"ramtest:g"); }, L"MoveFile"},
        {"attributes", [] { return zem::fileMakeWritable(L"ramtest:f"); }, L"SetAttributes"},
    };
    for (const UnsupportedCase& c : cases) {
        EXPECT_FALSE(c.call()) << c.what;
        EXPECT_TRUE(failedWith(zem::ERR_OPERATION_NOT_SUPPORTED)) << c.what;
        EXPECT_EQ(c.operation, zem::currentError().params.get(2)) << c.what;
    }
    EXPECT_TRUE(zem::fileCreateDirectory(L"ramtest:folder"));
}

} // namespace
