#include "support/TempFolder.h"
#include "zem/base/Error.h"
#include "zem/base/Exception.h"
#include "zem/files/FileBuffer.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIFC.h"
#include "zem/files/FileIO.h"

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>
#include <vector>
#include <windows.h>

using namespace zem;

namespace {

using zemtest::readNativeFile;
using zemtest::writeNativeFile;

// A fresh folder in the temporary directory with a disk device rooted in it ("zd:"), a
// read-only one on the same folder ("zdro:") and a native-path device.
class DiskDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = zemtest::makeTempFolder(L"disk");
        ASSERT_FALSE(m_dir.empty());
        m_device.reset(new FileDeviceWin32(m_dir.c_str()));
        m_readOnly.reset(new FileDeviceWin32(m_dir.c_str(), FILEDEV_READ_ONLY));
        m_native.reset(new FileDeviceWin32(nullptr, FILEDEV_NATIVE));
        ASSERT_TRUE(fileAttachDevice(m_device.get(), L"zd", 200));
        ASSERT_TRUE(fileAttachDevice(m_readOnly.get(), L"zdro", 200));
        ASSERT_TRUE(fileAttachDevice(m_native.get(), L"__zwinfs", 256));
    }
    void TearDown() override {
        fileDetachDevice(L"zd");
        fileDetachDevice(L"zdro");
        fileDetachDevice(L"__zwinfs");
        EXPECT_EQ(0, m_device->getInfo().ref_count);
        EXPECT_EQ(0, m_native->getInfo().ref_count);
        m_device.reset();
        m_readOnly.reset();
        m_native.reset();
        zemtest::removeTree(m_dir);
    }
    std::wstring native(const std::wstring& local) const { return m_dir + local; }

    std::wstring m_dir; // ends in a backslash
    std::unique_ptr<FileDeviceWin32> m_device;
    std::unique_ptr<FileDeviceWin32> m_readOnly;
    std::unique_ptr<FileDeviceWin32> m_native;
};

bool writeText(const wchar_t* path, uint32_t mode, const std::string& text) {
    File* f = fileOpen(path, mode);
    if (!f)
        return false;
    uint32_t n = f->write(text.data(), static_cast<uint32_t>(text.size()));
    fileClose(f);
    return n == text.size();
}

TEST_F(DiskDeviceTest, WritesReadsAndListsRealFiles) {
    ASSERT_TRUE(fileCreateDirectories(L"zd:sub/deeper"));
    ASSERT_TRUE(writeText(L"zd:sub/deeper/a.txt", FILE_MODE_WRITE, "hello"));
    EXPECT_EQ("hello", readNativeFile(native(L"sub\\deeper\\a.txt")));
    File* f = fileOpen(L"zd:sub\\deeper\\a.txt", FILE_MODE_READ);
    ASSERT_NE(nullptr, f);
    EXPECT_STREQ(L"zd:sub\\deeper\\a.txt", f->getPath());
    char buf[16] = {};
    EXPECT_EQ(5u, f->read(buf, sizeof buf));
    EXPECT_STREQ("hello", buf);
    EXPECT_EQ(1, m_device->getInfo().ref_count);
    fileClose(f);

    FileInfo info;
    ASSERT_TRUE(fileGetAttributes(L"zd:sub/deeper/a.txt", &info));
    EXPECT_EQ(5u, info.size);
    EXPECT_STREQ(L"a.txt", info.name);
    EXPECT_EQ(FileInfo::VALID | FileInfo::WRITABLE, info.flags & ~uint32_t(FileInfo::ARCHIVE));
    ASSERT_TRUE(fileGetAttributes(L"zd:sub/deeper/", &info));
    EXPECT_STREQ(L"deeper", info.name);
    EXPECT_EQ(FileInfo::DIRECTORY | FileInfo::DIRECTORY_ENTRY | FileInfo::VALID | FileInfo::WRITABLE,
              info.flags & ~uint32_t(FileInfo::ARCHIVE));
    EXPECT_TRUE(fileIsDirectory(L"zd:sub"));
    EXPECT_FALSE(fileIsDirectory(L"zd:sub/deeper/a.txt"));
}

TEST_F(DiskDeviceTest, EmptyListingEndsWithoutAnError) {
    ASSERT_TRUE(fileCreateDirectory(L"zd:empty"));
    Directory* d = fileOpenDirectory(L"zd:empty");
    ASSERT_NE(nullptr, d);
    std::vector<std::wstring> names;
    for (int pass = 0; pass < 2; ++pass) {
        names.clear();
        while (const FileInfo* e = d->next())
            names.push_back(e->name);
        EXPECT_EQ(0u, lastErrorCode());
        EXPECT_TRUE(d->rewind());
    }
    std::vector<std::wstring> expected = {L".", L".."};
    EXPECT_EQ(expected, names);
    EXPECT_TRUE(fileCloseDirectory(d));
    EXPECT_EQ(nullptr, fileOpenDirectory(L"zd:nothing-here"));
    EXPECT_EQ(static_cast<uint32_t>(ERROR_PATH_NOT_FOUND), lastErrorCode());
}

// Result of one open: "-<code>" on failure, else "ok" once "new" was written (unless reading).
std::string openOutcome(const wchar_t* path, uint32_t mode) {
    File* f = fileOpen(path, mode);
    if (!f)
        return "-" + std::to_string(lastErrorCode());
    if (mode != FILE_MODE_READ)
        f->write("new", 3);
    fileClose(f);
    return "ok";
}

TEST_F(DiskDeviceTest, OpenModesOnExistingAndMissingFiles) {
    const struct {
        uint32_t mode;
        const char* existing; // content afterwards, or the failure
        const char* missing;
    } rows[] = {
        {0, "old-content", "-2"},  {1, "new", "new"}, {2, "old-contentnew", "new"},
        {3, "new-content", "new"}, {4, "new", "new"}, {5, "-80", "new"},
        {6, "-80", "new"},
    };
    for (const wchar_t* prefix : {L"zd:", L"zd[nb]:"}) {
        for (const auto& r : rows) {
            writeNativeFile(native(L"e.txt"), "old-content");
            DeleteFileW(native(L"m.txt").c_str());
            std::wstring e = std::wstring(prefix) + L"e.txt";
            std::wstring m = std::wstring(prefix) + L"m.txt";
            std::string got = openOutcome(e.c_str(), r.mode);
            std::string existing = got == "ok" ? readNativeFile(native(L"e.txt")) : got;
            got = openOutcome(m.c_str(), r.mode);
            std::string missing = got == "ok" ? readNativeFile(native(L"m.txt")) : got;
            EXPECT_EQ(r.existing, existing)
                << "mode " << r.mode << " on an existing file via " << ::testing::PrintToString(std::wstring(prefix));
            EXPECT_EQ(r.missing, missing)
                << "mode " << r.mode << " on a missing file via " << ::testing::PrintToString(std::wstring(prefix));
        }
    }
}

TEST_F(DiskDeviceTest, BufferingFollowsTheDeviceParameter) {
    File* f = fileOpen(L"zd[nb]:x.txt", FILE_MODE_WRITE);
    ASSERT_NE(nullptr, f);
    EXPECT_NE(nullptr, dynamic_cast<FileWin32*>(f));
    char c;
    EXPECT_EQ(0u, f->read(&c, 1)); // write only: CREATE_ALWAYS, GENERIC_WRITE
    fileClose(f);

    f = fileOpen(L"zd:x.txt", FILE_MODE_WRITE);
    FileBuffer* b = dynamic_cast<FileBuffer*>(f);
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(32768u, b->getBufferSize());
    fileClose(f);

    f = fileOpen(L"zd[65536]:x.txt", FILE_MODE_READ);
    b = dynamic_cast<FileBuffer*>(f);
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(65536u, b->getBufferSize());
    fileClose(f);

    EXPECT_EQ(nullptr, fileOpen(L"zd[0]:x.txt", FILE_MODE_READ));
    EXPECT_EQ(ERR_WRONG_DEVICE_PARAMETER, lastErrorCode());
    EXPECT_EQ(nullptr, fileOpen(L"zd:x.txt", 7));
    EXPECT_EQ(ERR_OPERATION_NOT_SUPPORTED, lastErrorCode());
}

TEST_F(DiskDeviceTest, MissingRootIsCreatedOnWriteWhenAsked) {
    std::wstring root = native(L"later\\inside");
    FileDeviceWin32 lazy(root.c_str());
    ASSERT_TRUE(fileAttachDevice(&lazy, L"zlazy", 1));
    EXPECT_EQ(nullptr, fileOpen(L"zlazy:f.txt", FILE_MODE_WRITE));
    EXPECT_EQ(static_cast<uint32_t>(ERROR_PATH_NOT_FOUND), lastErrorCode());
    EXPECT_EQ(nullptr, fileOpen(L"zlazy:f.txt", FILE_MODE_READ));
    lazy.setCreateRootOnWrite(true);
    EXPECT_EQ(nullptr, fileOpen(L"zlazy:f.txt", FILE_MODE_READ)); // reading never creates
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(native(L"later").c_str()));
    ASSERT_TRUE(writeText(L"zlazy:f.txt", FILE_MODE_WRITE, "made"));
    EXPECT_EQ("made", readNativeFile(native(L"later\\inside\\f.txt")));
    fileDetachDevice(L"zlazy");
    EXPECT_EQ(0, lazy.getInfo().ref_count);
}

TEST_F(DiskDeviceTest, LongPathPrefixOnlyOnAbsoluteFoldedPaths) {
    FileDeviceWin32 bare(nullptr);
    WorkString out;
    std::wstring p259 = L"C:\\" + std::wstring(256, L'a');
    bare.buildNativePath(p259.c_str(), out, false);
    EXPECT_EQ(p259, out.str());
    std::wstring p260 = p259 + L"b";
    bare.buildNativePath(p260.c_str(), out, false);
    EXPECT_EQ(L"\\\\?\\" + p260, out.str());
    std::wstring unc = L"\\\\server\\share\\" + std::wstring(260 - 15, L'u');
    ASSERT_EQ(260u, unc.size());
    bare.buildNativePath(unc.c_str(), out, false);
    EXPECT_EQ(L"\\\\?\\UNC\\server\\share\\", out.str().substr(0, 21));
    // '/' and ".." are folded before the prefix switches the system's folding off.
    std::wstring dotted = L"C:/x/../" + std::wstring(260, L'c');
    bare.buildNativePath(dotted.c_str(), out, false);
    EXPECT_EQ(L"\\\\?\\C:\\" + std::wstring(260, L'c'), out.str());
}

TEST_F(DiskDeviceTest, DeepFoldersBeyondTheShortPathLimit) {
    std::wstring local;
    for (int i = 0; i < 12; ++i)
        local += std::wstring(30, static_cast<wchar_t>(L'a' + i)) + L"/";
    ASSERT_GT(m_dir.size() + local.size(), 300u);
    ASSERT_TRUE(fileCreateDirectories((L"zd:" + local).c_str())) << lastErrorCode();
    std::wstring file = L"zd:" + local + L"f.txt";
    ASSERT_TRUE(writeText(file.c_str(), FILE_MODE_WRITE, "deep"));
    FileInfo info;
    ASSERT_TRUE(fileGetAttributes(file.c_str(), &info));
    EXPECT_EQ(4u, info.size);
    WorkString full;
    ASSERT_TRUE(fileGetFullPath(file.c_str(), full));
    EXPECT_NE(0, wcsncmp(full.c_str(), L"\\\\?\\", 4)); // full paths come back without the prefix
    EXPECT_TRUE(fileDelete(file.c_str()));
}

TEST_F(DiskDeviceTest, DeleteMoveAndRemoveWithTheirErrors) {
    ASSERT_TRUE(writeText(L"zd:a.txt", FILE_MODE_WRITE, "A"));
    ASSERT_TRUE(writeText(L"zd:b.txt", FILE_MODE_WRITE, "B"));
    ASSERT_TRUE(fileCreateDirectory(L"zd:dir"));

    EXPECT_FALSE(fileMove(L"zd:a.txt", L"zd:b.txt"));
    uint32_t code = lastErrorCode();
    EXPECT_TRUE(code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) << code;
    EXPECT_EQ("B", readNativeFile(native(L"b.txt")));
    ASSERT_TRUE(fileMove(L"zd:a.txt", L"zd:dir/moved.txt"));
    EXPECT_EQ("A", readNativeFile(native(L"dir\\moved.txt")));
    EXPECT_EQ("<missing>", readNativeFile(native(L"a.txt")));

    // The source vanished before the move.
    EXPECT_FALSE(fileMove(L"zd:a.txt", L"zd:c.txt"));
    EXPECT_EQ(static_cast<uint32_t>(ERROR_FILE_NOT_FOUND), lastErrorCode());
    EXPECT_FALSE(fileDelete(L"zd:a.txt"));
    EXPECT_EQ(static_cast<uint32_t>(ERROR_FILE_NOT_FOUND), lastErrorCode());
    EXPECT_EQ(L"zd:a.txt", currentError().params.get(1));

    EXPECT_FALSE(fileRemoveDirectory(L"zd:dir"));
    EXPECT_EQ(static_cast<uint32_t>(ERROR_DIR_NOT_EMPTY), lastErrorCode());
    EXPECT_EQ("A", readNativeFile(native(L"dir\\moved.txt")));
    EXPECT_TRUE(fileDelete(L"zd:dir/moved.txt"));
    EXPECT_TRUE(fileRemoveDirectory(L"zd:dir"));
    EXPECT_FALSE(fileIsDirectory(L"zd:dir"));
}

TEST_F(DiskDeviceTest, ReadOnlyFilesAndDevicesChangeNothing) {
    ASSERT_TRUE(writeText(L"zd:ro.txt", FILE_MODE_WRITE, "keep"));
    FileAttributeChange makeReadOnly;
    makeReadOnly.clearMask = FileInfo::WRITABLE;
    ASSERT_TRUE(fileSetAttributes(L"zd:ro.txt", makeReadOnly));
    FileInfo info;
    ASSERT_TRUE(fileGetAttributes(L"zd:ro.txt", &info));
    EXPECT_EQ(0u, info.flags & FileInfo::WRITABLE);

    for (uint32_t mode = FILE_MODE_WRITE; mode <= FILE_MODE_WRITE_NEW; ++mode) {
        File* f = fileOpen(L"zd:ro.txt", mode);
        EXPECT_EQ(nullptr, f) << "mode " << mode;
        if (f)
            fileClose(f);
        uint32_t code = lastErrorCode();
        EXPECT_TRUE(code == ERROR_ACCESS_DENIED || (mode >= 5 && code == ERROR_FILE_EXISTS)) << code;
    }
    EXPECT_FALSE(fileDelete(L"zd:ro.txt"));
    EXPECT_EQ(static_cast<uint32_t>(ERROR_ACCESS_DENIED), lastErrorCode());
    EXPECT_EQ("keep", readNativeFile(native(L"ro.txt")));

    // The read-only device refuses before touching the disk.
    EXPECT_EQ(nullptr, fileOpen(L"zdro:new.txt", FILE_MODE_WRITE));
    EXPECT_EQ(ERR_DEVICE_READ_ONLY, lastErrorCode());
    EXPECT_EQ("<missing>", readNativeFile(native(L"new.txt")));
    EXPECT_FALSE(fileCreateDirectory(L"zdro:newdir"));
    EXPECT_EQ(ERR_DEVICE_READ_ONLY, lastErrorCode());
    EXPECT_FALSE(fileIsDirectory(L"zd:newdir"));
    ASSERT_TRUE(fileGetAttributes(L"zdro:ro.txt", &info)); // reading still works

    ASSERT_TRUE(fileMakeWritable(L"zd:ro.txt"));
    ASSERT_TRUE(fileGetAttributes(L"zd:ro.txt", &info));
    EXPECT_NE(0u, info.flags & FileInfo::WRITABLE);
    EXPECT_TRUE(fileDelete(L"zd:ro.txt"));
}

TEST_F(DiskDeviceTest, AttributeChanges) {
    ASSERT_TRUE(writeText(L"zd:f.txt", FILE_MODE_WRITE, "x"));
    std::wstring path = native(L"f.txt");
    FileAttributeChange hide;
    hide.setMask = FileInfo::HIDDEN | FileInfo::ARCHIVE;
    hide.clearMask = FileInfo::WRITABLE;
    ASSERT_TRUE(fileSetAttributes(L"zd:f.txt", hide));
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY),
              GetFileAttributesW(path.c_str()));

    FileAttributeChange normal;
    normal.setMask = 0x1 | FileInfo::HIDDEN | FileInfo::SYSTEM;
    ASSERT_TRUE(fileSetAttributes(L"zd:f.txt", normal));
    // Wine reports every plain file as ARCHIVE, whatever was set.
    DWORD plain = GetFileAttributesW(path.c_str()) & ~DWORD(FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_TRUE(plain == 0 || plain == FILE_ATTRIBUTE_NORMAL) << plain;

    FileAttributeChange fromFlags = FileAttributeChange::fromFlags(FileInfo::HIDDEN | FileInfo::WRITABLE);
    EXPECT_EQ(FileInfo::HIDDEN | FileInfo::WRITABLE | 0x80, fromFlags.setMask);
    EXPECT_EQ(FileInfo::SYSTEM | FileInfo::ARCHIVE | FileInfo::DIRECTORY_ENTRY | FileInfo::VALID, fromFlags.clearMask);
    ASSERT_TRUE(fileSetAttributes(L"zd:f.txt", fromFlags));
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_HIDDEN), GetFileAttributesW(path.c_str()) & ~DWORD(FILE_ATTRIBUTE_ARCHIVE));

    EXPECT_FALSE(fileSetAttributes(L"zd:gone.txt", hide));
    EXPECT_EQ(static_cast<uint32_t>(ERROR_FILE_NOT_FOUND), lastErrorCode());
}

TEST_F(DiskDeviceTest, PathKeysAndHashes) {
    ASSERT_TRUE(fileCreateDirectory(L"zd:Dir"));
    std::wstring upper = native(L"Dir\\");
    std::wstring lower = native(L"dir");
    for (auto& ch : lower)
        ch = towlower(ch);
    uint32_t h1 = fileGetPathHash(upper.c_str(), nullptr);
    EXPECT_NE(0xFFFFFFFFu, h1);
    EXPECT_EQ(h1, fileGetPathHash(lower.c_str(), nullptr));
    EXPECT_EQ(fileGetPathHash64(upper.c_str(), nullptr), fileGetPathHash64(lower.c_str(), nullptr));

    // Found: keys without the device root made user:a and root:a the same file.
    std::wstring otherRoot = native(L"Dir");
    FileDeviceWin32 other(otherRoot.c_str());
    ASSERT_TRUE(fileAttachDevice(&other, L"zd2", 1));
    EXPECT_FALSE(filePathsEqual(L"zd:a.txt", L"zd2:a.txt"));
    EXPECT_TRUE(filePathsEqual(L"zd:Dir/a.txt", L"zd2:A.TXT"));
    EXPECT_TRUE(filePathsEqual(L"zd:x/A.txt", L"ZD:X\\a.txt"));
    EXPECT_TRUE(filePathStartsWith(L"zd2:a.txt", L"zd:dir\\"));
    fileDetachDevice(L"zd2");
}

TEST_F(DiskDeviceTest, MovesAcrossVolumesAreRefused) {
    ASSERT_TRUE(writeText(L"zd:f.txt", FILE_MODE_WRITE, "x"));
    ASSERT_TRUE(fileCreateDirectory(L"zd:d"));
    // Wine maps Z: to the Unix root; the temporary folder lives on C:.
    ASSERT_EQ(L'C', towupper(m_dir[0]));
    EXPECT_FALSE(fileMove(native(L"f.txt").c_str(), L"Z:\\tmp\\zem-never-f.txt"));
    EXPECT_EQ(ERR_MOVE_FILE_ACROSS_DEVICES, lastErrorCode());
    EXPECT_FALSE(fileMove(native(L"d").c_str(), L"Z:\\tmp\\zem-never-d"));
    EXPECT_EQ(ERR_MOVE_DIR_ACROSS_DEVICES, lastErrorCode());
    EXPECT_EQ("x", readNativeFile(native(L"f.txt")));
}

TEST_F(DiskDeviceTest, AppendModeKeepsTheOldBytes) {
    // Found: a buffered append wrote the unread window head back onto the file's end.
    writeNativeFile(native(L"log.txt"), std::string(5000, 'o'));
    File* f = fileOpen(L"zd:log.txt", FILE_MODE_APPEND);
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(5000u, f->tell());
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(500u, f->write(std::string(500, static_cast<char>('a' + i % 26)).data(), 500));
    fileClose(f);
    std::string got = readNativeFile(native(L"log.txt"));
    ASSERT_EQ(55000u, got.size());
    EXPECT_EQ(std::string(5000, 'o'), got.substr(0, 5000));
    EXPECT_EQ(std::string(500, 'a'), got.substr(5000, 500));
    EXPECT_EQ(std::string(500, 'v'), got.substr(54500));
}

template <class E> bool throwsAs(uint32_t code) {
    try {
        throwFileError(code, L"p");
    } catch (const E& e) {
        return typeid(e) == typeid(E) && e.message() == L"p";
    } catch (...) {
    }
    return false;
}

TEST(FileErrorMapTest, Win32CodesToExceptionClasses) {
    EXPECT_TRUE(throwsAs<FileNotFoundException>(2));
    EXPECT_TRUE(throwsAs<PathNotFoundException>(3));
    EXPECT_TRUE(throwsAs<PathNotFoundException>(15));
    EXPECT_TRUE(throwsAs<PathNotFoundException>(53));
    EXPECT_TRUE(throwsAs<PathNotFoundException>(1921));
    EXPECT_TRUE(throwsAs<FileAccessDeniedException>(5));
    EXPECT_TRUE(throwsAs<WriteFileException>(29));
    EXPECT_TRUE(throwsAs<ReadFileException>(30));
    EXPECT_TRUE(throwsAs<FileSharingViolationException>(32));
    EXPECT_TRUE(throwsAs<FileLockViolationException>(33));
    EXPECT_TRUE(throwsAs<FileEOFException>(38));
    EXPECT_TRUE(throwsAs<DiskIsFullException>(39));
    EXPECT_TRUE(throwsAs<DiskIsFullException>(112));
    EXPECT_TRUE(throwsAs<FileExistsException>(80));
    EXPECT_TRUE(throwsAs<FileExistsException>(183));
    EXPECT_TRUE(throwsAs<CreateFileException>(82));
    EXPECT_TRUE(throwsAs<PathSyntaxException>(123));
    EXPECT_TRUE(throwsAs<PathSyntaxException>(161));
    EXPECT_TRUE(throwsAs<PathSyntaxException>(206));
    EXPECT_TRUE(throwsAs<PathSyntaxException>(267));
    EXPECT_TRUE(throwsAs<FileNegativeSeekException>(131));
    EXPECT_TRUE(throwsAs<DirNotEmptyException>(145));
    EXPECT_TRUE(throwsAs<FileReadOnlyException>(6009));
    EXPECT_TRUE(throwsAs<FileException>(0x20001005));
    EXPECT_TRUE(throwsAs<FileException>(87));
}

} // namespace

// Walks that must not enter links read the mark from every listing and attribute query.
TEST(FileInfoFlagsTest, ReparsePointsAreMarked) {
    const struct {
        DWORD attributes;
        uint32_t expected;
    } rows[] = {
        {FILE_ATTRIBUTE_DIRECTORY, zem::FileInfo::DIRECTORY | zem::FileInfo::DIRECTORY_ENTRY},
        {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT,
         zem::FileInfo::DIRECTORY | zem::FileInfo::DIRECTORY_ENTRY | zem::FileInfo::REPARSE_POINT},
        {FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_REPARSE_POINT, zem::FileInfo::WRITABLE | zem::FileInfo::REPARSE_POINT},
    };
    for (const auto& row : rows) {
        uint32_t flags = zem::fileInfoFlagsFromAttributes(row.attributes, false) & ~zem::FileInfo::VALID;
        uint32_t wanted = row.expected;
        if (row.attributes & FILE_ATTRIBUTE_DIRECTORY)
            wanted |= zem::FileInfo::WRITABLE;
        EXPECT_EQ(wanted, flags) << "attributes " << row.attributes;
    }
}
