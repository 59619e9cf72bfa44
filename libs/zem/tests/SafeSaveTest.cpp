#include "support/TempFolder.h"
#include "zem/base/Error.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"
#include "zem/files/RamDisk.h"
#include "zem/files/SafeSave.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>
#include <string>
#include <windows.h>

using namespace zem;

namespace {

// The names in a folder, sorted and joined by ','.
std::wstring listFolder(const std::wstring& dir) {
    std::wstring names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    std::vector<std::wstring> all;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
            all.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(all.begin(), all.end());
    for (const std::wstring& name : all)
        names += name + L",";
    return names;
}

// A disk device "zsave:" on a fresh folder and a memory device "zsavemem:".
class SafeSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = zemtest::makeTempFolder(L"save");
        ASSERT_FALSE(m_dir.empty());
        m_disk.reset(new FileDeviceWin32(m_dir.c_str()));
        ASSERT_TRUE(fileAttachDevice(m_disk.get(), L"zsave", 200));
        ASSERT_TRUE(fileAttachDevice(&m_ram, L"zsavemem", 200));
        // Full paths of disk devices resolve through a native-path device.
        m_native.reset(new FileDeviceWin32(nullptr, FILEDEV_NATIVE));
        ASSERT_TRUE(fileAttachDevice(m_native.get(), L"__zsavefs", 256));
    }
    void TearDown() override {
        fileDetachDevice(L"zsave");
        fileDetachDevice(L"zsavemem");
        fileDetachDevice(L"__zsavefs");
        m_disk.reset();
        m_native.reset();
        zemtest::removeTree(m_dir);
    }

    std::wstring m_dir;
    std::unique_ptr<FileDeviceWin32> m_disk;
    std::unique_ptr<FileDeviceWin32> m_native;
    RamDisk m_ram;
};

std::string readThrough(const wchar_t* path) {
    File* file = fileOpen(path, FILE_MODE_READ);
    if (!file)
        return "<missing>";
    std::string text(file->getSize(), '\0');
    text.resize(file->read(&text[0], static_cast<uint32_t>(text.size())));
    fileClose(file);
    return text;
}

} // namespace

TEST_F(SafeSaveTest, CreatesAndReplacesOnDisk) {
    ASSERT_TRUE(fileSaveReplacing(L"zsave:a.txt", "first", 5));
    EXPECT_EQ("first", zemtest::readNativeFile(m_dir + L"a.txt"));
    ASSERT_TRUE(fileSaveReplacing(L"zsave:a.txt", "2nd", 3));
    EXPECT_EQ("2nd", zemtest::readNativeFile(m_dir + L"a.txt"));
    EXPECT_EQ(L"a.txt,", listFolder(m_dir));
    EXPECT_EQ(0u, lastErrorCode());
    ASSERT_TRUE(fileSaveReplacing(L"zsave:empty.txt", "", 0));
    EXPECT_EQ("", zemtest::readNativeFile(m_dir + L"empty.txt"));
}

TEST_F(SafeSaveTest, FailedWriteLeavesTargetAndNoTemporary) {
    zemtest::writeNativeFile(m_dir + L"keep.txt", "old content");
    // A writer that fails without saying why still reports a real code.
    EXPECT_FALSE(fileSaveReplacing(L"zsave:keep.txt", [](File& file) {
        file.write("partial", 7);
        return false;
    }));
    EXPECT_EQ(static_cast<uint32_t>(ERROR_WRITE_FAULT), lastErrorCode());
    EXPECT_EQ("old content", zemtest::readNativeFile(m_dir + L"keep.txt"));
    EXPECT_EQ(L"keep.txt,", listFolder(m_dir));

    // A writer that fails with a code keeps its code.
    EXPECT_FALSE(fileSaveReplacing(L"zsave:keep.txt", [](File&) {
        setError(ERROR_DISK_FULL);
        return false;
    }));
    EXPECT_EQ(static_cast<uint32_t>(ERROR_DISK_FULL), lastErrorCode());
    EXPECT_EQ(L"keep.txt,", listFolder(m_dir));

    // One that throws leaves nothing behind either.
    EXPECT_THROW(fileSaveReplacing(L"zsave:keep.txt", [](File&) -> bool { throw std::runtime_error("x"); }),
                 std::runtime_error);
    EXPECT_EQ(L"keep.txt,", listFolder(m_dir));
}

TEST_F(SafeSaveTest, ReadOnlyTargetRefusesBeforeWriting) {
    zemtest::writeNativeFile(m_dir + L"ro.txt", "locked");
    ASSERT_TRUE(SetFileAttributesW((m_dir + L"ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    bool called = false;
    EXPECT_FALSE(fileSaveReplacing(L"zsave:ro.txt", [&](File&) {
        called = true;
        return true;
    }));
    EXPECT_FALSE(called);
    EXPECT_EQ(static_cast<uint32_t>(ERROR_ACCESS_DENIED), lastErrorCode());
    EXPECT_EQ("locked", zemtest::readNativeFile(m_dir + L"ro.txt"));
    EXPECT_EQ(L"ro.txt,", listFolder(m_dir));
}

TEST_F(SafeSaveTest, MissingFolderFailsWithACode) {
    EXPECT_FALSE(fileSaveReplacing(L"zsave:no/such/dir/a.txt", "x", 1));
    EXPECT_NE(0u, lastErrorCode());
    EXPECT_EQ(L"", listFolder(m_dir));
}

TEST_F(SafeSaveTest, MemoryDeviceReplacesButStillRefusesAPlainMove) {
    ASSERT_TRUE(fileSaveReplacing(L"zsavemem:doc", "one", 3));
    ASSERT_TRUE(fileSaveReplacing(L"zsavemem:doc", "two!", 4));
    EXPECT_EQ("two!", readThrough(L"zsavemem:doc"));
    FileInfo info;
    EXPECT_TRUE(fileGetAttributes(L"zsavemem:doc", &info));
    EXPECT_EQ(4u, info.size);

    ASSERT_TRUE(fileSaveReplacing(L"zsavemem:other", "o", 1));
    EXPECT_FALSE(fileMove(L"zsavemem:other", L"zsavemem:third"));
    EXPECT_EQ(ERR_OPERATION_NOT_SUPPORTED, lastErrorCode());
    // Only the two files hold memory: no temporary was left.
    uint32_t used = 0;
    ASSERT_TRUE(m_ram.control(RamDisk::CONTROL_MEMORY_USED, sizeof(used), &used));
    EXPECT_EQ(2u << RamDisk::DEFAULT_CHUNK_SHIFT, used);
}

TEST_F(SafeSaveTest, FileReplaceOnDisk) {
    zemtest::writeNativeFile(m_dir + L"src.txt", "new");
    zemtest::writeNativeFile(m_dir + L"dst.txt", "old");
    EXPECT_FALSE(fileMove(L"zsave:src.txt", L"zsave:dst.txt")); // a plain move refuses an existing target
    ASSERT_TRUE(fileReplace(L"zsave:src.txt", L"zsave:dst.txt"));
    EXPECT_EQ("new", zemtest::readNativeFile(m_dir + L"dst.txt"));
    EXPECT_EQ(L"dst.txt,", listFolder(m_dir));
    EXPECT_FALSE(fileReplace(L"zsave:gone.txt", L"zsave:dst.txt"));
    EXPECT_NE(0u, lastErrorCode());
}
