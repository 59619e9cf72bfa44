#include "support/TempFolder.h"
#include "zem/base/Error.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"
#include "zem/files/StaticFileList.h"
#include "zem/files/VirtualDirectory.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

using namespace zem;

namespace {

// Two folders, "user" and "root", mapped as zbase:user over zbase:root.
class MergedListingTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_top = zemtest::makeTempFolder(L"merged");
        ASSERT_FALSE(m_top.empty());
        for (const wchar_t* side : {L"user", L"root"}) {
            std::wstring dir = m_top + side;
            ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
            ASSERT_TRUE(CreateDirectoryW((dir + L"\\dir").c_str(), nullptr));
        }
        zemtest::writeNativeFile(m_top + L"user\\dir\\a.txt", std::string(11, 'x'));
        zemtest::writeNativeFile(m_top + L"root\\dir\\A.TXT", std::string(22, 'x'));
        zemtest::writeNativeFile(m_top + L"root\\dir\\b.txt", std::string(3, 'x'));
        zemtest::writeNativeFile(m_top + L"user\\dir\\c.txt", std::string(4, 'x'));
        ASSERT_TRUE(CreateDirectoryW((m_top + L"root\\only").c_str(), nullptr));
        m_user.reset(new FileDeviceWin32((m_top + L"user").c_str()));
        m_root.reset(new FileDeviceWin32((m_top + L"root").c_str()));
        ASSERT_TRUE(fileAttachDevice(m_root.get(), L"zbase:root", 128));
        ASSERT_TRUE(fileAttachDevice(m_user.get(), L"zbase:user", 129));
    }
    void TearDown() override {
        fileDetachDevice(L"zbase:root");
        fileDetachDevice(L"zbase:user");
        EXPECT_EQ(0, m_user->getInfo().ref_count);
        EXPECT_EQ(0, m_root->getInfo().ref_count);
        m_user.reset();
        m_root.reset();
        zemtest::removeTree(m_top);
    }

    // Name (lower-cased) to size, in listing order.
    static std::vector<std::pair<std::wstring, uint64_t>> list(Directory* d) {
        std::vector<std::pair<std::wstring, uint64_t>> out;
        while (const FileInfo* e = d->next()) {
            std::wstring name = e->name;
            CharLowerBuffW(&name[0], static_cast<DWORD>(name.size()));
            out.emplace_back(name, e->isDirectory() ? 0 : e->size);
        }
        return out;
    }

    std::wstring m_top; // ends in a backslash
    std::unique_ptr<FileDeviceWin32> m_user;
    std::unique_ptr<FileDeviceWin32> m_root;
};

void expectEveryNameOnceWithTheUserSize(const std::vector<std::pair<std::wstring, uint64_t>>& entries) {
    std::map<std::wstring, uint64_t> seen;
    for (const auto& e : entries)
        EXPECT_TRUE(seen.emplace(e.first, e.second).second) << "listed twice: " << ::testing::PrintToString(e.first);
    std::map<std::wstring, uint64_t> expected = {{L".", 0}, {L"..", 0}, {L"a.txt", 11}, {L"b.txt", 3}, {L"c.txt", 4}};
    EXPECT_EQ(expected, seen);
}

TEST_F(MergedListingTest, EveryNameOnceFirstDeviceWinsStableOnRewind) {
    Directory* d = fileOpenDirectory(L"zbase:dir");
    ASSERT_NE(nullptr, d);
    EXPECT_NE(nullptr, dynamic_cast<VirtualDirectory*>(d));
    EXPECT_EQ(nullptr, d->getDevice());
    EXPECT_STREQ(L"zbase:dir", d->getPath());
    auto first = list(d);
    EXPECT_EQ(0u, lastErrorCode());
    expectEveryNameOnceWithTheUserSize(first);
    // The user folder's entries come first; b.txt, found only under root, last.
    EXPECT_EQ(L"b.txt", first.back().first);
    EXPECT_TRUE(d->isOpen());
    ASSERT_TRUE(d->rewind());
    EXPECT_EQ(first, list(d));
    EXPECT_TRUE(fileCloseDirectory(d));
}

TEST_F(MergedListingTest, NamesAreKeyedThroughTheNativeDeviceWhenThereIsOne) {
    FileDeviceWin32 native(nullptr, FILEDEV_NATIVE);
    ASSERT_TRUE(fileAttachDevice(&native, L"__zmergefs", 256));
    Directory* d = fileOpenDirectory(L"zbase:dir");
    ASSERT_NE(nullptr, d);
    expectEveryNameOnceWithTheUserSize(list(d));
    fileCloseDirectory(d);
    fileDetachDevice(L"__zmergefs");
}

TEST_F(MergedListingTest, OneServingDeviceGivesItsOwnListing) {
    Directory* d = fileOpenDirectory(L"zbase:only");
    ASSERT_NE(nullptr, d);
    EXPECT_EQ(nullptr, dynamic_cast<VirtualDirectory*>(d));
    EXPECT_EQ(m_root.get(), d->getDevice());
    EXPECT_EQ(0u, lastErrorCode());
    fileCloseDirectory(d);
    EXPECT_EQ(nullptr, fileOpenDirectory(L"zbase:none"));
    EXPECT_NE(0u, lastErrorCode());
}

TEST(StaticFileListTest, GroupsFlagsAndTotals) {
    StaticFileList list(FileList::OperationCopyPath);
    EXPECT_EQ(2u, list.getOperation());
    FileInfo dir;
    dir.flags = FileInfo::DIRECTORY | FileInfo::VALID;
    FileInfo file;
    file.flags = FileInfo::VALID;
    file.size = 1000;
    list.add(L"src1", &dir);
    list.add(L"src1/a", &file);
    list.startGroup();
    FileListEntry* second = list.add(L"src2/b", &file);
    FileListEntry* dest = list.add(L"dst/b", nullptr);
    for (int i = 0; i < 100; ++i) // past one block of entries
        list.add((L"more/" + std::to_wstring(i)).c_str(), &file);
    EXPECT_EQ(104u, list.count());
    EXPECT_EQ(1u, list.getStatistics().directories);
    EXPECT_EQ(102u, list.getStatistics().files);
    EXPECT_EQ(102000u, list.getStatistics().bytes);

    std::vector<std::wstring> groupStarts;
    size_t n = 0;
    for (const FileListEntry* e = list.first(); e; e = list.next(e), ++n) {
        if (e->flags & FileListEntry::GROUP_START)
            groupStarts.push_back(e->path);
    }
    EXPECT_EQ(104u, n);
    EXPECT_EQ((std::vector<std::wstring>{L"src1", L"src2/b"}), groupStarts);
    EXPECT_EQ(second, dest->prev);
    EXPECT_STREQ(L"dst/b", dest->path);
    EXPECT_EQ(5u, dest->pathLength);
    EXPECT_EQ(0u, dest->flags & FileListEntry::HAS_ATTRIBUTES);
    EXPECT_FALSE(list.entryExists(dest)); // no device serves "dst/b"

    list.clear();
    EXPECT_EQ(0u, list.count());
    EXPECT_EQ(nullptr, list.first());
    EXPECT_EQ(0u, list.getStatistics().bytes);
    FileListEntry* again = list.add(L"x", nullptr);
    EXPECT_NE(0u, again->flags & FileListEntry::GROUP_START);
}

TEST_F(MergedListingTest, EntryExistsReadsAndKeepsTheAttributes) {
    StaticFileList list(FileList::OperationMovePath);
    FileListEntry* e = list.add(L"zbase:dir/c.txt", nullptr);
    ASSERT_TRUE(list.entryExists(e));
    EXPECT_NE(0u, e->flags & FileListEntry::HAS_ATTRIBUTES);
    EXPECT_EQ(4u, e->size);
    DeleteFileW((m_top + L"user\\dir\\c.txt").c_str());
    EXPECT_TRUE(list.entryExists(e)); // already known
    EXPECT_FALSE(list.entryExists(list.add(L"zbase:dir/c.txt", nullptr)));
}

} // namespace
