#include "zem/files/TempDevice.h"
#include "support/FileApiTest.h"
#include "support/LogCapture.h"
#include "support/TempFolder.h"
#include "zem/base/Error.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIFC.h"
#include "zem/files/FileIO.h"
#include "zem/files/RamDisk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <windows.h>

namespace {

using zem::File;
using zem::TempFile;
using zemtest::failedWith;
using zemtest::narrow;

std::string pattern(size_t size) {
    std::string text(size, '\0');
    for (size_t i = 0; i < size; ++i)
        text[i] = static_cast<char>('A' + (i * 7 + i / 251) % 26);
    return text;
}

// Size of a file, or -1 when it does not exist.
int64_t partSize(const std::wstring& path) {
    zem::FileInfo info;
    if (!zem::fileGetAttributes(path.c_str(), &info))
        return -1;
    return static_cast<int64_t>(info.size);
}

// The temporary device over its own RAM disk ("tdmem") and a disk device rooted in a fresh
// temporary folder ("tdtmp"), attached as "tdv".
class TempDeviceTest : public zemtest::FileApiTest {
protected:
    void SetUp() override {
        m_root = zemtest::makeTempFolder(L"tempdevice");
        ASSERT_FALSE(m_root.empty());
        m_ram = new zem::RamDisk();
        m_disk = new zem::FileDeviceWin32(m_root.c_str());
        m_temp = new zem::TempDevice(L"tdmem:", L"tdtmp:");
        ASSERT_TRUE(zem::fileAttachDevice(m_ram, L"tdmem", 100));
        ASSERT_TRUE(zem::fileAttachDevice(m_disk, L"tdtmp", 100));
        ASSERT_TRUE(zem::fileAttachDevice(m_temp, L"tdv", 100));
    }

    void TearDown() override {
        closeLeftOpen();
        EXPECT_EQ(0, m_temp->getInfo().ref_count);
        delete m_temp; // deletes the parts of every file left
        EXPECT_EQ(0, m_ram->getInfo().ref_count);
        EXPECT_TRUE(m_ram->control(zem::RamDisk::CONTROL_PURGE, 0, nullptr)) << "RAM parts left behind";
        zem::fileDetachDevice(L"tdv");
        zem::fileDetachDevice(L"tdtmp");
        zem::fileDetachDevice(L"tdmem");
        delete m_disk;
        delete m_ram;
        zemtest::removeTree(m_root);
    }

    std::wstring m_root;
    zem::RamDisk* m_ram = nullptr;
    zem::FileDeviceWin32* m_disk = nullptr;
    zem::TempDevice* m_temp = nullptr;
};

struct SplitCase {
    const wchar_t* path;
    size_t size;
    int64_t ramPart;  // bytes in the RAM part
    int64_t diskPart; // bytes in the disk part, -1 when it was never made
};

::testing::AssertionResult splitsAs(const SplitCase& c, const std::wstring& local) {
    int64_t ram = partSize(L"tdmem:" + local + L".vmtmpfs");
    int64_t disk = partSize(L"tdtmp:" + local + L".vdtmpfs");
    if (ram == c.ramPart && disk == c.diskPart)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << narrow(c.path) << " of " << c.size << " bytes: RAM part " << ram
                                         << " (expected " << c.ramPart << "), disk part " << disk << " (expected "
                                         << c.diskPart << ")";
}

TEST_F(TempDeviceTest, FileSplitsAtItsThresholdAndReadsBackWhole) {
    const SplitCase cases[] = {
        {L"tdv:x", 40000, 32768, 7232}, {L"tdv:small", 100, 100, -1},       {L"tdv:exact", 32768, 32768, -1},
        {L"tdv:over", 32769, 32768, 1}, {L"tdv[1000]:y", 5000, 1000, 4000}, {L"tdv[0]:disk-only", 10, 0, 10},
    };
    for (const SplitCase& c : cases) {
        std::string text = pattern(c.size);
        make(c.path, text);
        std::wstring local = std::wstring(c.path).substr(std::wstring(c.path).find(L':') + 1);
        EXPECT_TRUE(splitsAs(c, local));
        File* file = open(c.path, zem::FILE_MODE_READ);
        ASSERT_NE(nullptr, file);
        EXPECT_EQ(text, readAll(file)) << narrow(c.path);
        close(file);
    }
}

TEST_F(TempDeviceTest, SeekAtTheThresholdWritesToTheStartOfTheDiskPart) {
    std::string text = pattern(40000);
    make(L"tdv:s", text);
    File* file = open(L"tdv:s", zem::FILE_MODE_READ_WRITE);
    ASSERT_NE(nullptr, file);
    ASSERT_EQ(32768u, file->seek(zem::FILE_SEEK_BEGIN, 32768));
    ASSERT_EQ(10u, file->write("0123456789", 10));
    close(file);
    File* part = open(L"tdtmp:s.vdtmpfs", zem::FILE_MODE_READ);
    ASSERT_NE(nullptr, part);
    char head[10];
    ASSERT_EQ(10u, part->read(head, 10));
    EXPECT_EQ("0123456789", std::string(head, 10));
    close(part);
}

// Caught: after a reopen the disk part was not open, so every seek past the threshold failed.
TEST_F(TempDeviceTest, SeekPastTheThresholdWorksAfterAReopen) {
    std::string text = pattern(40000);
    make(L"tdv:r", text);
    File* file = open(L"tdv:r", zem::FILE_MODE_READ);
    ASSERT_NE(nullptr, file);
    ASSERT_EQ(39000u, file->seek(zem::FILE_SEEK_BEGIN, 39000));
    char tail[1000];
    ASSERT_EQ(1000u, file->read(tail, 1000));
    EXPECT_EQ(text.substr(39000), std::string(tail, 1000));
    // Back below the threshold and across it in one read.
    ASSERT_EQ(32760u, file->seek(zem::FILE_SEEK_BEGIN, 32760));
    char across[20];
    ASSERT_EQ(20u, file->read(across, 20));
    EXPECT_EQ(text.substr(32760, 20), std::string(across, 20));
    EXPECT_EQ(40000u, file->seek(zem::FILE_SEEK_END, 0));
    close(file);

    // Appending after a reopen goes on in the disk part.
    File* append = open(L"tdv:r", zem::FILE_MODE_APPEND);
    ASSERT_NE(nullptr, append);
    EXPECT_EQ(0u, append->seek(zem::FILE_SEEK_BEGIN, 5));
    ASSERT_EQ(3u, append->write("end", 3));
    close(append);
    EXPECT_EQ(7235, partSize(L"tdtmp:r.vdtmpfs"));
    File* check = open(L"tdv:r", zem::FILE_MODE_READ);
    EXPECT_EQ(text + "end", readAll(check));
    close(check);
}

TEST_F(TempDeviceTest, TruncateEmptiesTheDiskPartBelowTheThreshold) {
    make(L"tdv:t", pattern(40000));
    File* file = open(L"tdv:t", zem::FILE_MODE_READ_WRITE);
    ASSERT_EQ(10u, file->seek(zem::FILE_SEEK_BEGIN, 10));
    ASSERT_TRUE(file->truncate());
    EXPECT_EQ(10u, file->getSize());
    close(file);
    EXPECT_EQ(10, partSize(L"tdmem:t.vmtmpfs"));
    EXPECT_EQ(0, partSize(L"tdtmp:t.vdtmpfs"));

    make(L"tdv:u", pattern(40000));
    file = open(L"tdv:u", zem::FILE_MODE_READ_WRITE);
    ASSERT_EQ(33000u, file->seek(zem::FILE_SEEK_BEGIN, 33000));
    ASSERT_TRUE(file->truncate());
    EXPECT_EQ(33000u, file->getSize());
    close(file);
    EXPECT_EQ(32768, partSize(L"tdmem:u.vmtmpfs"));
    EXPECT_EQ(232, partSize(L"tdtmp:u.vdtmpfs"));
}

TEST_F(TempDeviceTest, DeleteRemovesBothPartsAndRecreateStartsEmpty) {
    make(L"tdv:d", pattern(40000));
    File* file = open(L"tdv:d", zem::FILE_MODE_READ);
    EXPECT_FALSE(zem::fileDelete(L"tdv:d"));
    EXPECT_TRUE(failedWith(ERROR_ACCESS_DENIED, L"tdv:d"));
    close(file);
    EXPECT_TRUE(zem::fileDelete(L"tdv:d"));
    EXPECT_EQ(-1, partSize(L"tdmem:d.vmtmpfs"));
    EXPECT_EQ(-1, partSize(L"tdtmp:d.vdtmpfs"));
    EXPECT_FALSE(zem::fileDelete(L"tdv:d"));
    EXPECT_TRUE(failedWith(ERROR_FILE_NOT_FOUND, L"tdv:d"));

    make(L"tdv:e", pattern(40000));
    file = open(L"tdv:e", zem::FILE_MODE_READ_WRITE_TRUNCATE);
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(0u, file->getSize());
    EXPECT_EQ(-1, partSize(L"tdtmp:e.vdtmpfs"));
    close(file);
}

struct OpenCase {
    const char* what;
    bool exists;
    bool alreadyOpen;
    uint32_t mode;
    uint32_t error;
};

TEST_F(TempDeviceTest, OpenModesFollowTheirRules) {
    const OpenCase cases[] = {
        {"read missing", false, false, zem::FILE_MODE_READ, ERROR_FILE_NOT_FOUND},
        {"write new on existing", true, false, zem::FILE_MODE_WRITE_NEW, ERROR_FILE_EXISTS},
        {"read-write new on existing", true, false, zem::FILE_MODE_READ_WRITE_NEW, ERROR_FILE_EXISTS},
        {"bad mode", true, false, 9, zem::ERR_OPERATION_NOT_SUPPORTED},
        {"open twice", true, true, zem::FILE_MODE_READ_WRITE, ERROR_SHARING_VIOLATION},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.what);
        const wchar_t* path = L"tdv:case";
        zem::fileDelete(path);
        if (c.exists)
            make(path, pattern(33000));
        File* first = c.alreadyOpen ? open(path, zem::FILE_MODE_READ) : nullptr;
        EXPECT_EQ(nullptr, open(path, c.mode));
        EXPECT_TRUE(failedWith(c.error, path));
        if (first)
            close(first);
        // Nothing else changed.
        EXPECT_EQ(c.exists ? 33000 : -1, partSize(path));
    }
    std::wstring longest = L"tdv:" + std::wstring(259 - 4, L'n');
    EXPECT_EQ(nullptr, open(longest + L"n", zem::FILE_MODE_WRITE));
    EXPECT_TRUE(failedWith(ERROR_INVALID_NAME));
}

TEST_F(TempDeviceTest, ThresholdParameterAndPaths) {
    zemtest::LogCapture log(zem::FileIFC::instance().logSource());
    File* file = open(L"tdv[abc]:p", zem::FILE_MODE_WRITE);
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(32768u, static_cast<TempFile*>(file)->getThreshold());
    bool logged = false;
    for (const auto& line : log.lines())
        logged = logged || line.text == L"TempDevice::openFile: unknown device param 'abc'";
    EXPECT_TRUE(logged);
    close(file);

    zem::FileInfo info;
    ASSERT_TRUE(zem::fileGetAttributes(L"tdv:P", &info));
    EXPECT_EQ(0xCu, info.flags);
    EXPECT_STREQ(L"tdv[abc]:p", info.name);
    zem::WorkString full;
    ASSERT_TRUE(zem::fileGetFullPath(L"TDV:Undo\\One", full));
    EXPECT_STREQ(L"tdv:undo/one", full.c_str());
    EXPECT_TRUE(zem::fileCreateDirectory(L"tdv:folder"));
    EXPECT_EQ(nullptr, zem::fileOpenDirectory(L"tdv:p"));
    EXPECT_TRUE(failedWith(zem::ERR_OPERATION_NOT_SUPPORTED));
    EXPECT_EQ(L"OpenDirectory", zem::currentError().params.get(2));
    EXPECT_FALSE(zem::fileMove(L"tdv:p", L"tdv:q"));
    EXPECT_EQ(L"MoveFile", zem::currentError().params.get(2));
}

TEST_F(TempDeviceTest, LocalNamesWithFoldersSpillIntoTheirFolder) {
    std::string text = pattern(33000);
    make(L"tdv:undo/1", text);
    EXPECT_EQ(232, partSize(L"tdtmp:undo/1.vdtmpfs"));
    File* file = open(L"tdv:UNDO\\1", zem::FILE_MODE_READ);
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(text, readAll(file));
    close(file);
}

// Caught: a disk part left by an earlier run made every later spill fail.
TEST_F(TempDeviceTest, LeftoverDiskPartIsReplaced) {
    make(L"tdtmp:old.vdtmpfs", "stale");
    std::string text = pattern(33000);
    make(L"tdv:old", text);
    EXPECT_EQ(232, partSize(L"tdtmp:old.vdtmpfs"));
    File* file = open(L"tdv:old", zem::FILE_MODE_READ);
    EXPECT_EQ(text, readAll(file));
    close(file);
}

TEST_F(TempDeviceTest, VanishedPartsFailInsteadOfReadingZeros) {
    // A RAM part name taken by someone else: the file cannot be made, and is not left half-made.
    make(L"tdmem:taken.vmtmpfs", "x");
    EXPECT_EQ(nullptr, open(L"tdv:taken", zem::FILE_MODE_WRITE));
    EXPECT_TRUE(failedWith(ERROR_ACCESS_DENIED, L"tdv:taken"));
    EXPECT_FALSE(zem::fileGetAttributes(L"tdv:taken", nullptr));
    EXPECT_TRUE(zem::fileDelete(L"tdmem:taken.vmtmpfs"));

    // The disk part deleted behind the device's back while the file was closed.
    std::string text = pattern(40000);
    make(L"tdv:v", text);
    ASSERT_TRUE(zem::fileDelete(L"tdtmp:v.vdtmpfs"));
    File* file = open(L"tdv:v", zem::FILE_MODE_READ);
    ASSERT_NE(nullptr, file);
    std::string back(40000, '\0');
    EXPECT_EQ(32768u, file->read(&back[0], 40000));
    EXPECT_TRUE(failedWith(ERROR_FILE_NOT_FOUND, L"tdtmp:v.vdtmpfs"));
    EXPECT_EQ(File::INVALID_POSITION, file->seek(zem::FILE_SEEK_BEGIN, 35000));
    close(file);
    EXPECT_EQ(-1, partSize(L"tdtmp:v.vdtmpfs"));

    // The RAM part purged while the file was closed: the reopen fails.
    ASSERT_TRUE(zem::fileDelete(L"tdmem:v.vmtmpfs"));
    EXPECT_EQ(nullptr, open(L"tdv:v", zem::FILE_MODE_READ));
    EXPECT_TRUE(failedWith(ERROR_ACCESS_DENIED, L"tdv:v"));
}

TEST_F(TempDeviceTest, WrongAccessAndClosedFiles) {
    make(L"tdv:a", "abc");
    File* file = open(L"tdv:a", zem::FILE_MODE_READ);
    EXPECT_EQ(0u, file->write("x", 1));
    EXPECT_TRUE(failedWith(ERROR_ACCESS_DENIED, L"tdv:a"));
    EXPECT_FALSE(file->truncate());
    EXPECT_EQ("abc", readAll(file));
    zemtest::LogCapture log(zem::FileIFC::instance().logSource());
    EXPECT_EQ(File::INVALID_POSITION, file->seek(zem::FILE_SEEK_END, 1));
    ASSERT_EQ(1u, log.lines().size());
    EXPECT_EQ(L"TempFile: Seek position is out of range", log.lines()[0].text);
    close(file);
    EXPECT_EQ(0u, file->getSize());
    EXPECT_EQ(0u, file->tell());
    EXPECT_EQ(File::INVALID_POSITION, file->seek(zem::FILE_SEEK_BEGIN, 0));
    EXPECT_TRUE(failedWith(ERROR_INVALID_HANDLE));
}

} // namespace
